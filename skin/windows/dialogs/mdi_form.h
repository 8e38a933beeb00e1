// The skinned client area of an MDI parent form: TsMDIForm, which the form's provider keeps,
// puts a TacMDIWnd on the form's client window, so the area round the child windows shows the
// form's skinned background, its edge and scroll bars are skinned, and tiling, cascading and
// menu changes repaint the provider's frame.
//
// The class library makes no MDI client window (a form's ClientHandle is null), so in this
// program TsMDIForm connects nothing; the adapter works on whatever window stands in as the
// client and speaks to it by the MDI messages' numbers.
#pragma once

#include "skin/windows/scroll/edit_wnd.h"
#include "vcl/system/persistent.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;

// The MDI messages, which the windowing layer does not define.
inline constexpr uint32_t WM_MDIGETACTIVE = 0x229;  // lParam a BOOL*: the child is maximized
inline constexpr uint32_t WM_MDITILE = 0x226;
inline constexpr uint32_t WM_MDICASCADE = 0x227;
inline constexpr uint32_t WM_MDISETMENU = 0x230;
inline constexpr uint32_t WM_MDIREFRESHMENU = 0x234;

class TacMDIWnd : public TacBaseWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;

    // The form's skinned background at the client's place into `dc`; for a background (not a
    // print) the picture moves by the client edge.
    void PaintClientBackground(win::HDC dc, bool forPrint);
    // The client's edge on its window DC `dc`, from the form's frame image.
    void PaintClientBorder(win::HDC dc);
    // The active child, or null; `maximized` tells whether it covers the client.
    win::HWND ActiveChild(bool* maximized) const;
    // Where the client's top-left lies in the form's frame image.
    vcl::TPoint FormCacheOffset() const;

    vcl::TCustomForm* MDIForm = nullptr;
    TsCommonData* FormSkinData = nullptr;
    TsSkinProvider* Provider = nullptr;

private:
    bool ChildMaximized() const;
    // Without an "MDIAREA" section and with a plain form background the client is one colour.
    bool PlainArea() const;
    void TileOrCascade(vcl::TMessage& m);
    void ThumbReleased(vcl::TMessage& m);
};

class TsMDIForm : public vcl::TPersistent {
public:
    VCL_CLASS(TsMDIForm, vcl::TPersistent)
    explicit TsMDIForm(TsSkinProvider* provider);
    ~TsMDIForm() override;

    // At run time and when no adapter exists yet, connects to the client window.
    void ConnectIfNeeded();
    // Releases any adapter, then attaches a new one when the provider is skinned and the form
    // has a client window.
    void ConnectToClient();
    // Frees the adapter's own skin state, then the adapter.
    void Release();
    // The provider repaints the whole frame.
    void RedrawFormFrame();

    vcl::TCustomForm* Form = nullptr;
    TacMDIWnd* Adapter = nullptr;  // owned
    TsSkinProvider* Provider = nullptr;
};

}  // namespace skin
