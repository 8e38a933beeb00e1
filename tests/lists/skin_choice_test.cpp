// The skins list of the main window's skinned system menu, on the program's own manager: with a
// second skin in the skin folder, choosing it from the menu while the journal and its question
// are open loads it and repaints the three windows and their controls in its colours; choosing
// the internal skin again brings the first look back.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "lists/form_number_log.h"
#include "main_window_rig.h"
#include "platform/display/screenshot.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"
#include "tests/support/temp_dir.h"

namespace {

using lists_test::FindForm;
using lists_test::MainWindowRig;

// Colours of the internal skin (skin colours, red low) and the second skin's in their place.
struct Recolour {
    int topaz, ember;
};
constexpr Recolour kSurface{0xF7F5F4, 0xD8E8F7}, kBar{0xECE8E6, 0xC8DCEE},
    kWindow{0xFFFFFF, 0xEEF6FA};

uint32_t Rgb(int skinColour) {
    return uint32_t(skinColour & 0xFF) << 16 | uint32_t(skinColour & 0xFF00) |
           uint32_t(skinColour >> 16 & 0xFF);
}

// The internal skin's pictures with its surfaces, bars and windows recoloured, as the folder
// skin "Ember".
void WriteEmber(const std::string& skins) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(skins) / "Ember";
    fs::create_directories(folder);
    fs::copy(testing_support::TestDataDir() + "../../skin/topaz/topaz", folder,
             fs::copy_options::recursive);
    std::string options = os::ReadWholeFile((folder / "Options.dat").string()).value_or("");
    for (const Recolour& c : {kSurface, kBar, kWindow}) {
        const std::string from = "=" + std::to_string(c.topaz), to = "=" + std::to_string(c.ember);
        int replaced = 0;
        for (auto at = options.find(from); at != std::string::npos; at = options.find(from, at)) {
            options.replace(at, from.size(), to);
            ++replaced;
        }
        ASSERT_GT(replaced, 0) << from;
    }
    ASSERT_TRUE(os::WriteFileAtomically((folder / "Options.dat").string(), options));
}

// A pixel of the screen, as 0xRRGGBB.
uint32_t ScreenPixel(int x, int y) {
    const win::RECT r{x, y, x + 1, y + 1};
    const display::Rgb shot = display::CaptureScreen(&r);
    if (shot.pixels.size() < 3) return 0xFFFFFFFF;
    return uint32_t(shot.pixels[0]) << 16 | uint32_t(shot.pixels[1]) << 8 | shot.pixels[2];
}

bool MenuShown() {
    const win::HWND menu = win::FindWindowA("#32768", nullptr);
    return menu && win::IsWindowVisible(menu);
}

TEST(ProgramSkins, ChoosingASkinFromTheSystemMenuRepaintsEveryOpenWindowAndTheWayBack) {
    MainWindowRig rig;
    rig.stepLimit = 300;
    rig.giveUp = [&rig] {
        if (MenuShown()) rig.Key(win::VK_ESCAPE);
        if (auto* j = FindForm<lists::TformNumberLog>()) j->SetModalResult(vcl::mrCancel);
    };
    rig.answerBoxes = false;
    lists::TformMain* f = rig.form;
    skin::TsSkinManager* m = f->sSkinManager1;
    WriteEmber(rig.dir / "skins");
    m->SetSkinDirectory(rig.dir / "skins");
    f->sSkinProvider1->MakeSkinMenu = true;
    // The main window at the left of a wide screen, the journal beside it and its question below
    // that: all in sight.
    rig.screen.Resize(1800, 900);
    f->SetBounds(0, 0, f->Width(), f->Height());
    const std::string internal = skin::InternalSkinName();
    const auto journal = [] { return FindForm<lists::TformNumberLog>(); };
    win::HWND question = nullptr;

    // A point of a control's client, from its right and bottom edges, on the screen.
    const auto in = [](vcl::TControl* c, int fromRight, int fromBottom) {
        return c->ClientToScreen({c->ClientWidth() - fromRight, c->ClientHeight() - fromBottom});
    };
    struct Probe {
        const char* what;
        std::function<vcl::TPoint()> at;
        Recolour colour;
    };
    const Probe probes[] = {
        {"the main window's client",
         [&] { return in(f, 20, f->ClientHeight() - f->labTextSMS->Top() - 4); }, kSurface},
        {"the main window's menu bar", [&] { return in(f, 300, f->ClientHeight() + 4); }, kSurface},
        {"the main window's tool bar", [&] { return in(f->pnlTools, 20, 15); }, kSurface},
        {"the main window's grid", [&] { return in(f->grid, 20, 20); }, kWindow},
        {"the journal's tool bar", [&] { return in(journal()->panTools, 20, 15); }, kSurface},
        {"the journal's grid", [&] { return in(journal()->Grid, 20, 20); }, kWindow},
        {"the journal's status bar", [&] { return in(journal()->StatusBar, 20, 10); }, kBar},
        {"the question's background",
         [&] {
             win::RECT r{};
             win::GetWindowRect(question, &r);
             return vcl::TPoint{r.left + 20, r.bottom - 20};
         },
         kSurface},
    };
    // Each look as the screen shows it: the skin in force, then each probe's pixel.
    struct Look {
        std::string skin;
        std::vector<uint32_t> pixels;
    };
    std::vector<Look> looks;
    const auto look = [&] {
        vcl::Application()->ProcessMessages();
        Look l{m->SkinName(), {}};
        for (win::HWND w : {f->Handle(), journal()->Handle(), question})
            win::UpdateWindow(w);
        for (const Probe& p : probes) {
            const vcl::TPoint at = p.at();
            l.pixels.push_back(ScreenPixel(at.X, at.Y));
        }
        looks.push_back(l);
    };
    // Each drop of the menu: its skins in order with the one checked, and the colour of its
    // last item (the pop-up is painted by the skin in force).
    std::vector<std::vector<std::pair<std::string, bool>>> lists;
    std::vector<uint32_t> popups;
    const auto drop = [&] {
        win::RECT r{};
        win::GetWindowRect(f->Handle(), &r);
        f->sSkinProvider1->DropSysMenu(r.left + 20, r.top + 30);
    };
    // The skins' entry is the menu's first; its list opens on its first skin.
    const auto choose = [&](int downs) {
        return [&, downs] {
            win::RECT r{};
            win::GetWindowRect(win::FindWindowA("#32768", nullptr), &r);
            popups.push_back(ScreenPixel(r.right - 10, r.bottom - 12));
            auto& list = lists.emplace_back();
            vcl::TMenuItem* skins = f->sSkinProvider1->SystemMenu->SkinItem();
            for (int i = 0; skins && i < skins->Count(); ++i)
                list.emplace_back(skins->Items(i)->Caption(), skins->Items(i)->Checked());
            rig.Key(win::VK_DOWN);
            rig.Key(win::VK_RIGHT);
            for (int i = 0; i < downs; ++i)
                rig.Key(win::VK_DOWN);
            rig.Key(win::VK_RETURN);
        };
    };
    const auto settled = [&](const std::string& name) {
        return [&, name] { return m->SkinName() == name && !MenuShown(); };
    };

    rig.Then(
        "the journal", [&] { return journal() && journal()->Visible(); },
        [&] {
            journal()->SetBounds(f->Width() + 8, 0, 900, 520);
            rig.Click(journal()->btnDelete);
        });
    rig.Then(
        "the question",
        [&] {
            const win::HWND active = win::GetActiveWindow();
            return active && win::GetDlgItem(active, win::kMessageBoxTextId);
        },
        [&] {
            question = win::GetActiveWindow();
            win::SetWindowPos(question, nullptr, f->Width() + 8, 600, 0, 0,
                              win::SWP_NOSIZE | win::SWP_NOZORDER);
            look();
            drop();
        });
    rig.Then("the menu over the internal skin", MenuShown, choose(0));
    rig.Then("the second skin", settled("Ember"), [&] {
        look();
        drop();
    });
    rig.Then("the menu over the second skin", MenuShown, choose(1));
    rig.Then("the internal skin again", settled(internal), [&] {
        look();
        win::RECT r{};
        win::GetWindowRect(win::GetDlgItem(question, win::IDNO), &r);
        rig.screen.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    });
    rig.Then(
        "the journal again", [&] { return !win::IsWindow(question); },
        [&] { journal()->SetModalResult(vcl::mrCancel); });
    f->btnNumberLogClick(f);
    for (int turns = 0; !rig.ScriptDone() && turns < 100000; ++turns)
        rig.Idle();
    ASSERT_TRUE(rig.ScriptDone());

    const std::vector<std::pair<std::string, bool>> beforeChoice = {{"Ember", false},
                                                                    {internal, true}},
                                                    afterChoice = {{"Ember", true},
                                                                   {internal, false}};
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0], beforeChoice);
    EXPECT_EQ(lists[1], afterChoice);
    EXPECT_EQ(popups, (std::vector<uint32_t>{Rgb(kSurface.topaz), Rgb(kSurface.ember)}));
    ASSERT_EQ(looks.size(), 3u);
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const bool ember = i == 1;
        EXPECT_EQ(looks[i].skin, ember ? "Ember" : internal);
        for (std::size_t k = 0; k < std::size(probes); ++k) {
            const Recolour& c = probes[k].colour;
            EXPECT_EQ(looks[i].pixels[k], Rgb(ember ? c.ember : c.topaz))
                << probes[k].what << " under " << looks[i].skin;
        }
    }
    EXPECT_TRUE(m->Active());
    EXPECT_EQ(uint32_t(vcl::ColorToRGB(m->GetGlobalColor())), uint32_t(kSurface.topaz));
}

}  // namespace
