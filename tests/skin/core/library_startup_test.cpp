#include "skin/core/state/library_startup.h"

#include <gtest/gtest.h>

#include "platform/user/dialog_manager.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/png_reference.h"
#include "vcl/graphics/picture.h"
#include "vcl/system/resources.h"
#include "vcl/system/sysutils.h"

namespace skin {
namespace {

// Counts the message boxes that come up and closes each at once.
class BoxWatch {
public:
    BoxWatch() {
        count_ = 0;
        hook_ = win::SetWindowsHookExA(win::WH_CBT, Proc, nullptr, win::GetCurrentThreadId());
    }
    ~BoxWatch() { win::UnhookWindowsHookEx(hook_); }
    static inline int count_ = 0;
    static inline std::string text_;

private:
    static win::LRESULT Proc(int code, win::WPARAM w, win::LPARAM l) {
        if (code == win::HCBT_ACTIVATE) {
            const auto h = reinterpret_cast<win::HWND>(w);
            char buf[64] = {};
            if (win::GetDlgItemTextA(h, win::kMessageBoxTextId, buf, sizeof buf) > 0) {
                ++count_;
                text_ = buf;
                win::PostMessageA(h, win::WM_COMMAND, win::IDOK, 0);
            }
        }
        return win::CallNextHookEx(nullptr, code, w, l);
    }
    win::HHOOK hook_;
};

class LibraryStartup : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        bool found = false;
        vcl::FindResourceData(vcl::RT_RCDATA, "acSHDA", &found);
        if (!found) {
            // Built without the program's resources: stand-ins of the same kind.
            static const std::string shadow = skin_test::WriteSolidPng(30, 30, 0x40000000);
            vcl::RegisterResource(vcl::RT_RCDATA, "acSHDA", shadow.data(), shadow.size());
            vcl::RegisterResource(vcl::RT_RCDATA, "acSHDI", shadow.data(), shadow.size());
        }
    }
    void TearDown() override {
        while (SkinLibraryStarts() > 0)
            FinalizeSkinLibrary();
        vcl::SetCommandLine(0, nullptr);
        vcl::DoneApplication();
        win::ResetWindowing();
    }
};

TEST_F(LibraryStartup, UnitsStartOnceInOrderAndEndInReverse) {
    InitSkinLibrary();
    InitSkinLibrary();
    EXPECT_EQ(SkinLibraryStarts(), 2);
    const std::vector<std::string> units = SkinLibraryUnits();
    std::vector<std::string> expected;
    for (const std::string& u : units)
        expected.push_back("init " + u);
    EXPECT_EQ(SkinLibraryTrace(), expected);
    EXPECT_EQ(units.front(), "sConst");
    EXPECT_EQ(units.back(), "sSkinManager");

    ASSERT_NE(BuiltInShadowActive, nullptr);
    EXPECT_GT(BuiltInShadowActive->Width(), 0);
    EXPECT_EQ(BuiltInShadowActive->PixelFormat(), pf32bit);
    ASSERT_NE(BuiltInShadowInactive, nullptr);
    std::unique_ptr<vcl::TGraphic, vcl::FreeDeleter> png(vcl::CreateGraphicForExtension("PNG"));
    EXPECT_NE(dynamic_cast<TPNGGraphic*>(png.get()), nullptr);
    EXPECT_TRUE(IsNTFamily);

    FinalizeSkinLibrary();  // balances the second start: nothing yet
    EXPECT_EQ(SkinLibraryTrace().size(), units.size());
    EXPECT_NE(BuiltInShadowActive, nullptr);
    FinalizeSkinLibrary();
    for (size_t i = 0; i < units.size(); ++i) {
        EXPECT_EQ(SkinLibraryTrace()[units.size() + i], "done " + units[units.size() - 1 - i]);
    }
    EXPECT_EQ(BuiltInShadowActive, nullptr);
    EXPECT_EQ(vcl::CreateGraphicForExtension("png"), nullptr);
    FinalizeSkinLibrary();  // one too many: nothing
    EXPECT_EQ(SkinLibraryTrace().size(), 2 * units.size());
}

TEST_F(LibraryStartup, TheVersionSwitchShowsItsBannerOnce) {
    const struct {
        std::vector<const char*> args;
        int banners;
    } cases[] = {
        {{"tessary", "/ACVER"}, 1}, {{"tessary", "/acver", "/AcVer"}, 1},
        {{"tessary", "-acver"}, 0}, {{"tessary", "/acverx"}, 0},
        {{"tessary"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        vcl::SetCommandLine(int(c.args.size()), c.args.data());
        BoxWatch watch;
        InitSkinLibrary();
        InitSkinLibrary();  // a second start shows nothing
        EXPECT_EQ(BoxWatch::count_, c.banners);
        if (c.banners) {
            EXPECT_EQ(BoxWatch::text_, kVersionBanner);
        }
        FinalizeSkinLibrary();
        FinalizeSkinLibrary();
    }
}

TEST_F(LibraryStartup, GlowingNeedsLayeredWindows) {
    InitSkinLibrary();
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> m(new TsSkinManager(nullptr));
    EXPECT_TRUE(m->AllowGlowing());
    SetLayeredWindowsAvailable(false);
    EXPECT_FALSE(m->AllowGlowing());
    m->SetExtendedBorders(true);
    EXPECT_FALSE(m->ExtendedBorders());
    SetLayeredWindowsAvailable(true);
    EXPECT_TRUE(m->ExtendedBorders());
    m->SetAllowGlowing(false);
    EXPECT_FALSE(m->AllowGlowing());
}

}  // namespace
}  // namespace skin
