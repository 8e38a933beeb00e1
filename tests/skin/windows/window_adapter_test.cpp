// The adapter base: its place in the chain of window procedures, the property, the skin state it
// owns or borrows, the skin commands it answers, and every way of letting go of a window.
#include "skin/windows/adapters/window_adapter.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/edits.h"

namespace skin::testing {
namespace {

// Who heard what, in order.
std::vector<std::pair<char, uint32_t>>& Heard() {
    static std::vector<std::pair<char, uint32_t>> heard;
    return heard;
}

// A plain subclass layer that notes each message under its tag and passes it on.
template <char Tag>
struct Layer {
    static inline std::map<win::HWND, win::WNDPROC> prev;
    static win::LRESULT Proc(win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
        Heard().push_back({Tag, m});
        return win::CallWindowProcA(prev[h], h, m, w, l);
    }
    static void Put(win::HWND h) {
        prev[h] = reinterpret_cast<win::WNDPROC>(
            win::SetWindowLongPtrA(h, win::GWL_WNDPROC, reinterpret_cast<intptr_t>(&Proc)));
    }
};

// Notes what it hears before the base does; frees itself on skin command 2 through its
// owner's variable, as the memo does, and goes on using its members afterwards.
class NotingAdapter : public TacMainWnd {
public:
    static inline int alive = 0;
    NotingAdapter() { ++alive; }
    ~NotingAdapter() override { --alive; }
    void RestoreStdParams() override { ++restored; }
    void AdapterWindowProc(vcl::TMessage& m) override {
        Heard().push_back({'A', m.Msg});
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_REMOVESKIN && owner) {
            FreeAdapter(*owner);
            owner = nullptr;
        }
        TacMainWnd::AdapterWindowProc(m);
        afterBase = Caption.size();  // the object must still be there
    }
    TacMainWnd** owner = nullptr;
    int restored = 0;
    size_t afterBase = 0;
};

std::vector<char> Tags(uint32_t msg) {
    std::vector<char> out;
    for (auto [tag, m] : Heard())
        if (m == msg) out.push_back(tag);
    return out;
}

class AdapterTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        Heard().clear();
        edit = win::CreateWindowExA(0, "Edit", "text", win::WS_CHILD | win::WS_VISIBLE, 5, 5, 100,
                                    20, form->Handle(), nullptr, nullptr, nullptr);
        Layer<'E'>::Put(edit);  // the window's own procedure, as far as the adapter knows
    }
    void TearDown() override {
        if (adapter) FreeAdapter(adapter);
        WindowsTest::TearDown();
        EXPECT_EQ(NotingAdapter::alive, 0);
    }
    NotingAdapter* Attach(win::HWND wnd, TsCommonData* data = nullptr) {
        auto* a = AttachAdapter<NotingAdapter>(wnd, data, nullptr, "edit");
        adapter = a;
        return a;
    }
    static void Send(win::HWND h, uint32_t msg) { win::SendMessageA(h, msg, 0, 0); }

    win::HWND edit = nullptr;
    TacMainWnd* adapter = nullptr;
};

TEST_F(AdapterTest, BindsOnTopOfAPlainWindowAndLetsGoAtDestroy) {
    NotingAdapter* a = Attach(edit);
    EXPECT_EQ(FindWindowAdapter(edit), a);
    EXPECT_TRUE(a->OwnSkinData);
    EXPECT_EQ(a->SkinData->SkinSection(), "EDIT");
    EXPECT_EQ(a->Caption, "text");
    Send(edit, win::WM_USER + 1);
    EXPECT_EQ(Tags(win::WM_USER + 1), (std::vector<char>{'A', 'E'}));
    // Swallowed while bound; answered for the window.
    Send(edit, win::WM_UPDATEUISTATE);
    EXPECT_EQ(Tags(win::WM_UPDATEUISTATE), std::vector<char>{'A'});
    EXPECT_EQ(Command(edit, SKC_ISSKINAWARE), 1);
    EXPECT_EQ(Command(edit, SKC_GETAPPLICATION), reinterpret_cast<intptr_t>(vcl::Application()));
    win::SetWindowTextA(edit, "new");
    EXPECT_EQ(a->Caption, "new");
    win::DestroyWindow(edit);
    EXPECT_TRUE(a->Unhooked);
    EXPECT_EQ(LiveAdapterLinks(), 0);
}

TEST_F(AdapterTest, SkinCommandsFollowTheManagerTheyCarry) {
    NotingAdapter* a = Attach(edit);
    auto paints = [&] { return Tags(win::WM_PAINT).size(); };
    // Refresh for its own manager: answered, with one WM_PAINT; for another: passed on.
    Heard().clear();
    Command(edit, SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(Tags(SM_ALPHACMD), std::vector<char>{'A'});
    EXPECT_EQ(paints(), 2u);  // the adapter, then the window
    Heard().clear();
    Command(edit, SKC_REFRESH, reinterpret_cast<intptr_t>(other.get()));
    EXPECT_EQ(Tags(SM_ALPHACMD), (std::vector<char>{'A', 'E'}));
    EXPECT_EQ(paints(), 0u);
    Command(edit, SKC_REMOVESKIN, reinterpret_cast<intptr_t>(other.get()));
    EXPECT_EQ(a->restored, 0);
    // WM_PRINT paints through WM_PAINT.
    Heard().clear();
    Send(edit, win::WM_PRINT);
    EXPECT_EQ(Tags(win::WM_PRINT), std::vector<char>{'A'});
    EXPECT_EQ(paints(), 2u);
    // With the manager switched off, every skin command goes to the window unchanged.
    manager->SetActive(false);
    Heard().clear();
    EXPECT_EQ(Command(edit, SKC_ISSKINAWARE), 0);
    EXPECT_EQ(Tags(SM_ALPHACMD), (std::vector<char>{'A', 'E'}));
}

TEST_F(AdapterTest, BorrowedSkinStateOutlivesTheAdapter) {
    TsCommonData data(nullptr, false);
    data.SetSkinSection("PANEL");
    Attach(edit, &data);
    EXPECT_FALSE(adapter->OwnSkinData);
    EXPECT_EQ(adapter->SkinData->SkinSection(), "PANEL");  // its own section stays
    FreeAdapter(adapter);
    EXPECT_EQ(data.SkinSection(), "PANEL");
}

// Rule: a procedure put on top after the adapter is never dropped, and never calls a freed
// adapter: the adapter's place becomes a pass-through until the window goes.
TEST_F(AdapterTest, AHookOnTopKeepsWorkingAfterTheAdapterGoes) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        Heard().clear();
        NotingAdapter* a = Attach(edit);
        Layer<'T'>::Put(edit);
        if (way == 0) {
            a->Unhook(false);
            FreeAdapter(adapter);
        } else if (way == 1) {
            FreeAdapter(adapter);
        } else {
            AdapterItemsFreeing = true;
            FreeAdapter(adapter);
            AdapterItemsFreeing = false;
        }
        EXPECT_EQ(FindWindowAdapter(edit), nullptr);
        Heard().clear();
        Send(edit, win::WM_USER + 2);
        EXPECT_EQ(Tags(win::WM_USER + 2), (std::vector<char>{'T', 'E'}));
        EXPECT_EQ(LiveAdapterLinks(), 1);
        win::DestroyWindow(edit);
        EXPECT_EQ(LiveAdapterLinks(), 0);
        edit = win::CreateWindowExA(0, "Edit", "", win::WS_CHILD, 0, 0, 50, 20, form->Handle(),
                                    nullptr, nullptr, nullptr);
        Layer<'E'>::Put(edit);
    }
}

// Freeing from inside its own message: the window is let go at once, the object when the
// outermost call returns.
TEST_F(AdapterTest, AnAdapterFreedInsideItsOwnMessageLivesUntilItReturns) {
    NotingAdapter* a = Attach(edit);
    a->owner = &adapter;
    Command(edit, SKC_REMOVESKIN, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(adapter, nullptr);
    EXPECT_EQ(NotingAdapter::alive, 0);
    EXPECT_EQ(FindWindowAdapter(edit), nullptr);
    Heard().clear();
    Send(edit, win::WM_USER + 3);
    EXPECT_EQ(Tags(win::WM_USER + 3), std::vector<char>{'E'});
    EXPECT_EQ(LiveAdapterLinks(), 0);
}

// A class-library memo is subclassed through its WindowProc delegate, with the same rules.
TEST_F(AdapterTest, AMemoIsSubclassedThroughItsWindowProc) {
    auto* memo = Place<vcl::TMemo>(form, vcl::Bounds(10, 40, 120, 60));
    vcl::TWndMethod own = memo->WindowProc;
    TsCommonData data(memo, false);
    NotingAdapter* a = Attach(memo->Handle(), &data);
    EXPECT_EQ(FindWindowAdapter(memo->Handle()), a);
    EXPECT_TRUE(memo->ControlStyle.Contains(vcl::csOpaque));
    Heard().clear();
    memo->Perform(win::WM_USER + 4);
    EXPECT_EQ(Tags(win::WM_USER + 4), std::vector<char>{'A'});
    FreeAdapter(adapter);
    EXPECT_TRUE(memo->WindowProc == own);

    // A hook on top, then the adapter freed under the item-freeing flag: both pass-throughs.
    a = Attach(memo->Handle(), &data);
    vcl::TWndMethod under = memo->WindowProc;
    memo->WindowProc = vcl::TWndMethod::FromCallable([under](vcl::TMessage& m) {
        Heard().push_back({'T', m.Msg});
        under(m);
    });
    AdapterItemsFreeing = true;
    FreeAdapter(adapter);
    AdapterItemsFreeing = false;
    Heard().clear();
    memo->SetText("still typed");
    EXPECT_EQ(memo->Text(), "still typed");
    EXPECT_FALSE(Tags(win::WM_SETTEXT).empty());
    memo->Free();  // the window's WM_NCDESTROY goes through the pass-through
}

// A provider's form: the adapter goes between the provider and the form's own procedure.
class ProviderDouble : public vcl::TObject, public TsSkinProviderBase {
public:
    explicit ProviderDouble(vcl::TForm* f) : form_(f) {
        saved_ = f->WindowProc;
        f->WindowProc = vcl::TWndMethod(this, &ProviderDouble::Proc);
    }
    void Proc(vcl::TMessage& m) {
        Heard().push_back({'P', m.Msg});
        saved_(m);
    }
    vcl::TCustomForm* Form() const override { return form_; }
    TsSkinManager* SkinManager() const override { return DefaultManager; }
    void BuildRegionCuts() override {}
    void UpdateFormRegion(bool) override {}
    vcl::TWndMethod SavedFormProc() const override { return saved_; }
    void SetSavedFormProc(const vcl::TWndMethod& p) override { saved_ = p; }

private:
    vcl::TForm* form_;
    vcl::TWndMethod saved_;
};

TEST_F(AdapterTest, AProvidersFormHearsTheProviderFirst) {
    int links = LiveAdapterLinks();
    ProviderDouble provider(form);
    TsCommonData data(&provider, false);
    Attach(form->Handle(), &data);
    Heard().clear();
    win::SendMessageA(form->Handle(), win::WM_USER + 5, 0, 0);
    EXPECT_EQ(Tags(win::WM_USER + 5), (std::vector<char>{'P', 'A'}));
    FreeAdapter(adapter);
    Heard().clear();
    win::SendMessageA(form->Handle(), win::WM_USER + 5, 0, 0);
    EXPECT_EQ(Tags(win::WM_USER + 5), std::vector<char>{'P'});
    EXPECT_EQ(LiveAdapterLinks(), links);
    form->WindowProc = provider.SavedFormProc();
}

}  // namespace
}  // namespace skin::testing
