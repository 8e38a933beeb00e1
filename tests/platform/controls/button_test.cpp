#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

using ButtonTest = ControlsTest;

TEST_F(ButtonTest, ClickedOnlyWhenReleasedOverTheButton) {
    HWND b = Child("Button", "OK", BS_PUSHBUTTON, 7, 10, 10, 75, 23);
    Press(b);
    EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_TRUE(Clicks().empty());
    ReleaseAt(200, 200);  // dragged off: no click
    EXPECT_FALSE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_TRUE(Clicks().empty());
    Click(b);
    EXPECT_EQ(Clicks(), std::vector<int>{7});
    // The space bar clicks on release; BM_CLICK clicks at once; a disabled button never.
    Key(VK_SPACE, true, ' ');
    EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    Key(VK_SPACE, false);
    SendMessageA(b, BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks(), (std::vector<int>{7, 7, 7}));
    EnableWindow(b, FALSE);
    SendMessageA(b, BM_CLICK, 0, 0);
    Click(b);
    EXPECT_EQ(Clicks().size(), 3u);
}

TEST_F(ButtonTest, CheckBoxesAndRadioGroups) {
    HWND check = Child("Button", "Check", BS_AUTOCHECKBOX, 1, 10, 10, 100, 20);
    HWND three = Child("Button", "Three", BS_AUTO3STATE, 2, 10, 40, 100, 20);
    Click(check);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    Click(check);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
    SendMessageA(check, BM_SETCHECK, BST_INDETERMINATE, 0);  // two states only
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    Click(three);
    Click(three);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), LRESULT(BST_INDETERMINATE));
    Click(three);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));

    // Two groups of automatic radio buttons: a click unchecks only its own group.
    HWND a1 = Child("Button", "A1", BS_AUTORADIOBUTTON | WS_GROUP, 11, 150, 10, 80, 20);
    HWND a2 = Child("Button", "A2", BS_AUTORADIOBUTTON, 12, 150, 30, 80, 20);
    HWND b1 = Child("Button", "B1", BS_AUTORADIOBUTTON | WS_GROUP, 21, 250, 10, 80, 20);
    Click(b1);
    Click(a1);
    Click(a2);
    EXPECT_EQ(SendMessageA(a1, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
    EXPECT_EQ(SendMessageA(a2, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    EXPECT_EQ(SendMessageA(b1, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    EXPECT_EQ(SendMessageA(a1, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
}

TEST_F(ButtonTest, DialogCodesAndOwnerDrawing) {
    HWND def = Child("Button", "Def", BS_DEFPUSHBUTTON, 1, 10, 10, 75, 23);
    HWND group = Child("Button", "Group", BS_GROUPBOX, 2, 100, 10, 150, 100);
    EXPECT_EQ(SendMessageA(def, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    SendMessageA(def, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageA(def, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(group, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(SendMessageA(group, WM_NCHITTEST, 0, 0), HTTRANSPARENT);

    HWND od = Child("Button", "", BS_OWNERDRAW, 3, 10, 150, 60, 30);
    UpdateWindow(od);
    Notes().clear();
    Press(od);
    UpdateWindow(od);
    bool sawSelected = false;
    for (const Note& n : Notes())
        if (n.msg == WM_DRAWITEM && n.ctlType == ODT_BUTTON && (n.itemState & ODS_SELECTED))
            sawSelected = true;
    EXPECT_TRUE(sawSelected);
    ReleaseAt(Centre(od).x, Centre(od).y);
    EXPECT_EQ(Clicks(), std::vector<int>{3});
}

TEST_F(ButtonTest, ClassicFacePaintsItsBevel) {
    HWND b = Child("Button", "", BS_PUSHBUTTON, 1, 20, 20, 40, 20);
    UpdateWindow(b);
    HDC dc = GetDC(b);
    // Light top-left edge, dark bottom-right edge, face colour inside.
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 39, 19), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(dc, 20, 10), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(b, dc);
}

}  // namespace
}  // namespace win::testing
