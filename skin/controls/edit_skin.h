// TsEditSkinned<Base>: what every skinned edit-like control (edits, memo, combo box, list
// boxes, list view) adds to its class library base: the skin state (SkinData, with its kind and
// default section), the disabled look and the bound label, made and freed in the right order.
// Every message passes the skin state first and the bound label after the control's own
// handling; a move or a new parent without a window to tell re-places the label as well.
#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "platform/controls/edit_control.h"
#include "platform/user/clipboard.h"
#include "platform/user/message_queue.h"
#include "platform/user/styles.h"
#include "skin/controls/labels.h"
#include "skin/controls/skin_types.h"
#include "skin/core/state/common_data.h"
#include "vcl/controls/controls.h"

namespace skin {

template <class Base>
class TsEditSkinned : public Base {
public:
    // `section` is the control's default when the form gives none.
    TsEditSkinned(vcl::TComponent* owner, int kind, const char* section = nullptr)
        : Base(owner),
          data_(std::make_unique<TsCommonData>(this, true)),
          boundLabel_(std::make_unique<TsBoundLabel>(data_.get())) {
        data_->COC = kind;
        if (section) data_->SetSkinSection(section);
    }
    ~TsEditSkinned() override { boundLabel_.reset(); }

    TsCommonData* SkinData() const { return data_.get(); }
    TsBoundLabel* BoundLabel() const { return boundLabel_.get(); }
    TsDisabledKind DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(TsDisabledKind kind) {
        if (kind == disabledKind_) return;
        disabledKind_ = kind;
        data_->Invalidate();
    }

    void AfterConstruction() override {
        Base::AfterConstruction();
        data_->Loaded();
    }
    void Loaded() override {
        Base::Loaded();
        data_->Loaded();
    }
    void WndProc(vcl::TMessage& m) override {
        CommonWndProc(m, data_.get());
        Base::WndProc(m);
        boundLabel_->FollowEdit(m, disabledKind_);
    }
    void SetParent(vcl::TWinControl* parent) override {
        Base::SetParent(parent);
        boundLabel_->AlignLabel();
    }
    void SetBounds(int left, int top, int width, int height) override {
        Base::SetBounds(left, top, width, height);
        boundLabel_->AlignLabel();
    }

    // The published properties SkinData, BoundLabel and DisabledKind of a control C.
    template <class C>
    static std::vector<vcl::TPropInfo> SkinProperties() {
        return {vcl::Property("SkinData", &C::SkinData),
                vcl::Property("BoundLabel", &C::BoundLabel),
                SetProperty("DisabledKind", &C::DisabledKind, &C::SetDisabledKind)};
    }

protected:
    // The class library's handling, without the skin state.
    void InheritedWndProc(vcl::TMessage& m) { Base::WndProc(m); }
    // The bound label follows the control after its own handling of `m`.
    void FollowLabel(const vcl::TMessage& m) { boundLabel_->FollowEdit(m, disabledKind_); }

private:
    std::unique_ptr<TsCommonData> data_;
    std::unique_ptr<TsBoundLabel> boundLabel_;
    TsDisabledKind disabledKind_{dkBlended};
};

// The window style an edit with buttons inside it adds: several lines (so that its formatting
// rectangle may stop before the buttons), its children clipped, the text aligned.
inline uint32_t EditWithButtonsStyle(vcl::TAlignment alignment) {
    return win::ES_MULTILINE | win::WS_CLIPCHILDREN |
           (alignment == vcl::taRightJustify ? win::ES_RIGHT
            : alignment == vcl::taCenter     ? win::ES_CENTER
                                             : 0);
}

// Pastes the clipboard's text into an edit with buttons as a one-line edit takes it: up to its
// first line break (the window itself keeps line breaks, being several lines).
inline void PasteFirstLine(win::HWND edit) {
    std::string text = win::GetClipboardText(edit);
    text.resize(std::min(text.size(), text.find_first_of("\r\n")));
    if (!text.empty())
        win::SendMessageA(edit, win::EM_REPLACESEL, win::TRUE,
                          reinterpret_cast<win::LPARAM>(text.c_str()));
}

}  // namespace skin
