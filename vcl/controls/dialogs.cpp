#include "vcl/controls/dialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/controls/file_dialog.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/std_ctrls.h"

namespace vcl {

namespace {

// The line of text of the input dialog: typing, Backspace and Delete, the arrows, Home and End,
// and a click to place the caret. The text starts selected, so the first key typed replaces
// it. (The standard edit control belongs with the other standard controls; this dialog needs
// only this much of one.)
class TInputLine : public TCustomControl {
public:
    VCL_CLASS(TInputLine, TCustomControl)

    explicit TInputLine(TComponent* owner) : TCustomControl(owner) {
        SetTabStop(true);
        SetColor(clWindow);
        SetCursor(crIBeam);
    }

    const std::string& Value() const { return value_; }
    void SetValue(const std::string& v) {
        value_ = v;
        caret_ = v.size();
        selected_ = !v.empty();
        Invalidate();
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TCustomControl::CreateParams(p);
        p.ExStyle |= win::WS_EX_CLIENTEDGE;
    }

    void Dispatch(TMessage& m) override {
        switch (m.Msg) {
            case win::WM_GETDLGCODE:
                m.Result = win::DLGC_WANTCHARS | win::DLGC_WANTARROWS;
                return;
            case win::WM_SETFOCUS:
            case win::WM_KILLFOCUS:
                TCustomControl::Dispatch(m);
                Invalidate();
                return;
            case win::WM_LBUTTONDOWN:
                if (CanFocus()) SetFocus();
                PlaceCaret(static_cast<int16_t>(m.LParam & 0xFFFF));
                TCustomControl::Dispatch(m);
                return;
            default:
                TCustomControl::Dispatch(m);
                return;
        }
    }

    bool DoKeyDown(uint16_t& key, TShiftState shift) override {
        if (TCustomControl::DoKeyDown(key, shift)) return true;
        switch (key) {
            case win::VK_LEFT:
                MoveCaret(selected_ ? 0 : caret_ - (caret_ > 0 ? 1 : 0));
                return true;
            case win::VK_RIGHT:
                MoveCaret(selected_ ? value_.size() : std::min(caret_ + 1, value_.size()));
                return true;
            case win::VK_HOME:
                MoveCaret(0);
                return true;
            case win::VK_END:
                MoveCaret(value_.size());
                return true;
            case win::VK_DELETE:
                if (!DeleteSelection() && caret_ < value_.size()) value_.erase(caret_, 1);
                Invalidate();
                return true;
            default:
                return false;
        }
    }

    bool DoKeyPress(char& key) override {
        if (TCustomControl::DoKeyPress(key)) return true;
        const auto c = static_cast<unsigned char>(key);
        if (c == '\b') {
            if (!DeleteSelection() && caret_ > 0) value_.erase(--caret_, 1);
        } else if (c >= ' ') {
            DeleteSelection();
            value_.insert(caret_++, 1, key);
        } else {
            return false;
        }
        Invalidate();
        return true;
    }

    void Paint() override {
        TCanvas* c = Canvas();
        c->SetFont(Font());
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
        const int th = c->TextHeight("Wg");
        const int y = (ClientHeight() - th) / 2;
        const int caretX = c->TextWidth(std::string_view(value_).substr(0, caret_));
        // The text moves left when the caret would leave the box.
        const int x = 2 - std::max(0, caretX - (ClientWidth() - 5));
        const bool focused = Focused();
        if (selected_ && focused) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetStyle(bsClear);
        }
        c->TextOut(x, y, value_);
        if (focused && !selected_) {
            c->Pen()->SetColor(clWindowText);
            c->MoveTo(x + caretX, y);
            c->LineTo(x + caretX, y + th);
        }
    }

private:
    bool DeleteSelection() {
        if (!selected_) return false;
        selected_ = false;
        value_.clear();
        caret_ = 0;
        return true;
    }
    void MoveCaret(std::size_t at) {
        selected_ = false;
        caret_ = std::min(at, value_.size());
        Invalidate();
    }
    void PlaceCaret(int x) {
        TCanvas* c = Canvas();
        c->SetFont(Font());
        std::size_t at = 0;
        while (at < value_.size() &&
               2 + c->TextWidth(std::string_view(value_).substr(0, at + 1)) <= x)
            ++at;
        MoveCaret(at);
    }

    std::string value_;
    std::size_t caret_ = 0;
    bool selected_ = false;
};

}  // namespace

void ShowMessage(const std::string& text) {
    Application()->MessageBox(text, Application()->Title(), win::MB_OK);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    std::unique_ptr<TForm, FreeDeleter> form(New<TForm>(Application()));
    form->SetBorderStyle(bsDialog);
    form->SetCaption(caption);
    form->SetPosition(poScreenCenter);
    auto* label = New<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetLeft(8);
    label->SetTop(8);
    label->SetCaption(prompt);
    auto* line = New<TInputLine>(form.get());
    line->SetParent(form.get());
    line->SetBounds(8, label->Top() + label->Height() + 4, 233, 21);
    line->SetValue(value);
    const int buttonTop = line->Top() + line->Height() + 15;
    auto* ok = New<TButton>(form.get());
    ok->SetParent(form.get());
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    ok->SetBounds(41, buttonTop, 75, 25);
    auto* cancel = New<TButton>(form.get());
    cancel->SetParent(form.get());
    cancel->SetCaption("Cancel");
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    cancel->SetBounds(125, buttonTop, 75, 25);
    form->SetClientSize(249, buttonTop + 25 + 13);
    form->SetActiveControl(line);
    if (form->ShowModal() != mrOk) return false;
    value = line->Value();
    return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultText) {
    std::string value = defaultText;
    InputQuery(caption, prompt, value);
    return value;
}

bool TOpenDialog::Execute() {
    // "Title|masks|..." becomes the system's NUL-separated pairs.
    std::string filter = filter_;
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.append(2, '\0');
    std::vector<char> file(std::max<std::size_t>(4096, fileName_.size() + 1), '\0');
    std::copy(fileName_.begin(), fileName_.end(), file.begin());
    win::OPENFILENAMEA ofn;
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<win::DWORD>(std::max(filterIndex_, 0));
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<win::DWORD>(file.size());
    ofn.lpstrInitialDir = initialDir_.c_str();
    ofn.lpstrTitle = title_.c_str();
    ofn.lpstrDefExt = defaultExt_.c_str();
    if (options_.Contains(ofOverwritePrompt)) ofn.Flags |= win::OFN_OVERWRITEPROMPT;
    if (options_.Contains(ofFileMustExist)) ofn.Flags |= win::OFN_FILEMUSTEXIST;
    const bool ok = RunSystemModal([&](win::HWND owner) {
                        ofn.hwndOwner = owner;
                        return ShowDialog(ofn) ? 1 : 0;
                    }) != 0;
    filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    if (ok) fileName_ = file.data();
    return ok;
}

bool TOpenDialog::ShowDialog(win::OPENFILENAMEA& ofn) {
    return win::GetOpenFileNameA(&ofn) != 0;
}

bool TSaveDialog::ShowDialog(win::OPENFILENAMEA& ofn) {
    return win::GetSaveFileNameA(&ofn) != 0;
}

}  // namespace vcl
