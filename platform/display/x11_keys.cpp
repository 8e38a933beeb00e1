// X keysyms to virtual keys and characters.
#include "platform/display/x11_keys.h"

#include <X11/keysym.h>

#include "platform/os/cp1251.h"
#include "platform/user/styles.h"

namespace display {
namespace {

// Cyrillic keysyms 0x6a1..0x6ff: the Serbian, Macedonian, Ukrainian and Belarusian letters,
// then the Russian alphabet lower and upper case in KOI8 order.
constexpr char16_t kCyrillic[] = {
    0x0452, 0x0453, 0x0451, 0x0454, 0x0455, 0x0456, 0x0457, 0x0458,  // 6a1..6a8
    0x0459, 0x045A, 0x045B, 0x045C, 0x0491, 0x045E, 0x045F, 0x2116,  // 6a9..6b0
    0x0402, 0x0403, 0x0401, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408,  // 6b1..6b8
    0x0409, 0x040A, 0x040B, 0x040C, 0x0490, 0x040E, 0x040F,          // 6b9..6bf
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,  // 6c0..6c7
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,  // 6c8..6cf
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,  // 6d0..6d7
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,  // 6d8..6df
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413,  // 6e0..6e7
    0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,  // 6e8..6ef
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,  // 6f0..6f7
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,  // 6f8..6ff
};
static_assert(sizeof kCyrillic / sizeof kCyrillic[0] == 0x6ff - 0x6a1 + 1);

}  // namespace

unsigned VirtualKeyFor(unsigned long ks) {
    using namespace win;
    if (ks >= XK_a && ks <= XK_z) return unsigned('A' + (ks - XK_a));
    if (ks >= XK_A && ks <= XK_Z) return unsigned(ks);
    if (ks >= XK_0 && ks <= XK_9) return unsigned(ks);
    if (ks >= XK_F1 && ks <= XK_F12) return VK_F1 + unsigned(ks - XK_F1);
    if (ks >= XK_KP_0 && ks <= XK_KP_9) return 0x60 + unsigned(ks - XK_KP_0);
    switch (ks) {
        case XK_BackSpace:
            return VK_BACK;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VK_TAB;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_Escape:
            return VK_ESCAPE;
        case XK_space:
            return VK_SPACE;
        case XK_Prior:
        case XK_KP_Prior:
            return VK_PRIOR;
        case XK_Next:
        case XK_KP_Next:
            return VK_NEXT;
        case XK_End:
        case XK_KP_End:
            return VK_END;
        case XK_Home:
        case XK_KP_Home:
            return VK_HOME;
        case XK_Left:
        case XK_KP_Left:
            return VK_LEFT;
        case XK_Up:
        case XK_KP_Up:
            return VK_UP;
        case XK_Right:
        case XK_KP_Right:
            return VK_RIGHT;
        case XK_Down:
        case XK_KP_Down:
            return VK_DOWN;
        case XK_Insert:
        case XK_KP_Insert:
            return VK_INSERT;
        case XK_Delete:
        case XK_KP_Delete:
            return VK_DELETE;
        case XK_Pause:
            return VK_PAUSE;
        case XK_Caps_Lock:
            return VK_CAPITAL;
        case XK_Shift_L:
            return VK_LSHIFT;
        case XK_Shift_R:
            return VK_RSHIFT;
        case XK_Control_L:
            return VK_LCONTROL;
        case XK_Control_R:
            return VK_RCONTROL;
        case XK_Alt_L:
        case XK_Meta_L:
            return VK_LMENU;
        case XK_Alt_R:
        case XK_Meta_R:
        case XK_ISO_Level3_Shift:
            return VK_RMENU;
        case XK_Menu:
            return VK_APPS;
        case XK_KP_Multiply:
            return 0x6A;
        case XK_KP_Add:
            return 0x6B;
        case XK_KP_Subtract:
            return 0x6D;
        case XK_KP_Decimal:
            return 0x6E;
        case XK_KP_Divide:
            return 0x6F;
        case XK_semicolon:
            return 0xBA;
        case XK_equal:
            return 0xBB;
        case XK_comma:
            return 0xBC;
        case XK_minus:
            return 0xBD;
        case XK_period:
            return 0xBE;
        case XK_slash:
            return 0xBF;
        case XK_grave:
            return 0xC0;
        case XK_bracketleft:
            return 0xDB;
        case XK_backslash:
            return 0xDC;
        case XK_bracketright:
            return 0xDD;
        case XK_apostrophe:
            return 0xDE;
        default:
            return 0;
    }
}

char32_t KeysymToUnicode(unsigned long ks) {
    if ((ks >= 0x20 && ks <= 0x7E) || (ks >= 0xA0 && ks <= 0xFF)) return char32_t(ks);
    if ((ks & 0xFF000000) == 0x01000000) return char32_t(ks & 0x00FFFFFF);
    if (ks >= 0x6A1 && ks <= 0x6FF) return kCyrillic[ks - 0x6A1];
    if (ks >= XK_KP_0 && ks <= XK_KP_9) return char32_t('0' + (ks - XK_KP_0));
    switch (ks) {
        case XK_BackSpace:
            return 0x08;
        case XK_Tab:
            return 0x09;
        case XK_Return:
        case XK_KP_Enter:
            return 0x0D;
        case XK_Escape:
            return 0x1B;
        case XK_KP_Space:
            return ' ';
        case XK_KP_Multiply:
            return '*';
        case XK_KP_Add:
            return '+';
        case XK_KP_Subtract:
            return '-';
        case XK_KP_Decimal:
            return '.';
        case XK_KP_Divide:
            return '/';
        default:
            return 0;
    }
}

unsigned char KeysymToCp1251(unsigned long ks) {
    char32_t c = KeysymToUnicode(ks);
    if (c == 0) return 0;
    return os::UnicodeToCp1251(c).value_or(0);
}

}  // namespace display
