#include "tests/skin/windows/provider_fixture.h"

#include <cstdio>

#include "platform/user/menus.h"
#include "tests/skin/core/png_reference.h"
#include "tests/skin/core/skin_writer.h"
#include "vcl/controls/menus.h"

namespace skin::testing {

const SynthMaskInfo kSynthMasks[kSynMaskCount] = {
    {"FORM", "BORDERSMASK", 0, 0, 2, 24, 24, 6},
    {"FORMTITLE", "BORDERSMASK", 0, 24, 2, 24, 24, 6},
    {"GLOBALINFO", "TITLEBUTTON", 0, 48, 3, 20, 18, 4},
    {"GLOBALINFO", "BICONCLOSE", 0, 72, 3, 18, 16, 0},
    {"GLOBALINFO", "BICONMAX", 54, 72, 3, 18, 16, 0},
    {"GLOBALINFO", "BICONMIN", 108, 72, 3, 18, 16, 0},
    {"GLOBALINFO", "BICONNORM", 162, 72, 3, 18, 16, 0},
    {"GLOBALINFO", "BICONHELP", 216, 72, 3, 18, 16, 0},
    {"GLOBALINFO", "BICLOSEALONE", 270, 72, 3, 24, 16, 0},
    {"GLOBALINFO", "SICONCLOSE", 0, 90, 3, 14, 12, 0},
    {"GLOBALINFO", "SICONMAX", 42, 90, 3, 14, 12, 0},
    {"GLOBALINFO", "SICONMIN", 84, 90, 3, 14, 12, 0},
    {"GLOBALINFO", "SICONNORM", 126, 90, 3, 14, 12, 0},
    {"GLOBALINFO", "SICONHELP", 168, 90, 3, 14, 12, 0},
    {"GLOBALINFO", "GRIPIMAGE", 0, 104, 1, 12, 12, 0},
};

namespace {

constexpr int kMasterW = 342, kMasterH = 116;
constexpr uint32_t kKey = 0xFF00FF;

// Which zone (0 near, 1 middle, 2 far) of a frame axis a position lies in.
int Zone(int v, int size, int border) {
    return v < border ? 0 : v >= size - border ? 2 : 1;
}

// The master picture's pixel: the piece colour of the mask that covers it, the key in round
// corners, black elsewhere.
uint32_t MasterPixel(int x, int y) {
    for (int m = 0; m < kSynMaskCount; ++m) {
        const SynthMaskInfo& i = kSynthMasks[m];
        if (x < i.X || y < i.Y || x >= i.X + i.States * i.FrameW || y >= i.Y + i.FrameH) continue;
        const int state = (x - i.X) / i.FrameW, fx = (x - i.X) % i.FrameW, fy = y - i.Y;
        if (i.Border == 0) return PieceColour(m, state, 0);
        const int zx = Zone(fx, i.FrameW, i.Border), zy = Zone(fy, i.FrameH, i.Border);
        const bool round = m == kSynForm || (m == kSynTitle && zy == 0);
        if (round && zx != 1 && zy != 1) {
            const int col = zx == 0 ? fx : i.FrameW - 1 - fx;
            const int row = zy == 0 ? fy : i.FrameH - 1 - fy;
            if (col < CornerRun(row)) return kKey;
        }
        return PieceColour(m, state, zy * 3 + zx);
    }
    return 0;
}

std::string MaskValue(const SynthMaskInfo& i) {
    char buf[96];
    const int r = i.X + i.States * i.FrameW, b = i.Y + i.FrameH;
    if (i.Border == 0) {
        std::snprintf(buf, sizeof buf, "@%04d@%04d@%04d@%04d@%d@0", i.X, i.Y, r, b, i.States);
    } else {
        const int w = i.Border;
        std::snprintf(buf, sizeof buf, "^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%d^0^0^0", i.X,
                      i.Y, r, b, w, w, w, w, i.States);
    }
    return buf;
}

std::string Hex(uint32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", c);
    return buf;
}

}  // namespace

int CornerRun(int row) {
    return row < 3 ? 3 - row : 0;
}

win::COLORREF PieceColour(int mask, int state, int piece) {
    return RGB(0x20 + mask * 12, 0x18 + state * 0x40, 0x10 + piece * 0x1A);
}

std::string SynthSkin::Packed() const {
    std::map<std::string, std::string> global = {
        {"MASTERBITMAP", "MASTER.BMP"},
        {"VERSION", "6.5"},
        {"COLOR", Hex(kSynthClientColour)},
        {"FONTCOLOR", "0x101010"},
        {"BORDERWIDTH", "4"},
        {"TITLEHEIGHT", "24"},
        {"BIRIGHT", "3"},
        {"BISPACE", "1"},
        {"BILEFT", "2"},
        {"BITOP", "2"},
        {"BIVALIGN", "0"},
        {"BICONCLOSEGLOW", "1"},
        {"BICONCLOSEGLOWMARGIN", "6"},
        {"BICONCLOSEGLOW0", "!CLOSEGLOW.PNG!1!0!3"},
    };
    for (const auto& [key, value] : Global)
        global[key] = value;
    std::map<std::string, std::string> sections[2];  // FORM, FORMTITLE
    for (const SynthMaskInfo& i : kSynthMasks) {
        if (Omit.count(i.Name)) continue;
        const std::string name = i.Section;
        (name == "GLOBALINFO" ? global : sections[name == "FORM" ? 0 : 1])[i.Name] = MaskValue(i);
    }
    auto text = [](const char* name, const std::map<std::string, std::string>& keys) {
        std::string s = std::string("[") + name + "]\n";
        for (const auto& [key, value] : keys)
            s += key + "=" + value + "\n";
        return s;
    };
    sections[0]["COLOR"] = Hex(kSynthClientColour);
    sections[0]["FONTCOLOR"] = "0x101010";
    sections[0]["TITLEBAR"] = "FORMTITLE";
    sections[1]["COLOR"] = "0x806040";
    sections[1]["FONTCOLOR"] = "0xF0F0F0";
    skin_test::TestSkin s;
    s.Options =
        text("GLOBALINFO", global) + text("FORM", sections[0]) + text("FORMTITLE", sections[1]);
    s.Add("MASTER.BMP", skin_test::Bmp24(kMasterW, kMasterH, MasterPixel));
    s.Add("CLOSEGLOW.PNG", skin_test::WriteSolidPng(kSynthGlowW, kSynthGlowH, 0x800000FF));
    return s.Packed();
}

void ProviderTest::UseSynthetic(const SynthSkin& skin) {
    static int serial = 0;
    TsStoredSkin* item = manager->InternalSkins()->Add();
    item->Name = "Synthetic " + std::to_string(++serial);
    const std::string blob = skin.Packed();
    item->Data.reset(new vcl::TMemoryStream);
    item->Data->WriteBuffer(blob.data(), int64_t(blob.size()));
    manager->SetSkinName(item->Name);
    ASSERT_TRUE(manager->SkinData().Active);
}

vcl::TForm* ProviderTest::MakeForm(const FormShape& shape) {
    vcl::TForm* f = nullptr;
    vcl::Application()->CreateForm(f);
    f->SetBorderStyle(shape.Border);
    f->SetBorderIcons(shape.Icons);
    f->SetBounds(60, 40, shape.Width, shape.Height);
    provider = vcl::New<TsSkinProvider>(f);
    f->SetWindowState(shape.State);
    if (shape.Show) {
        f->Show();
        Pump();
    }
    if (shape.MenuRows > 0) {
        auto* menu = vcl::New<vcl::TMainMenu>(f);
        f->SetMenu(menu);
        // Items are added until the bar, at the window's present width, wraps into the rows.
        for (int n = 1; n < 400 && MenuBarRows(f) < shape.MenuRows; ++n) {
            auto* item = vcl::New<vcl::TMenuItem>(f);
            item->SetCaption("Item " + std::to_string(n));
            menu->Items()->Add(item);
        }
        EXPECT_EQ(shape.MenuRows, MenuBarRows(f));
        Pump();
    }
    return f;
}

int ProviderTest::MenuBarRows(vcl::TForm* f) {
    win::RECT r{};
    win::GetWindowRect(f->Handle(), &r);
    return win::detail::MenuBarRows(f->Handle(), r.right - r.left);
}

}  // namespace skin::testing
