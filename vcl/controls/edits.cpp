#include "vcl/controls/edits.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/controls/edit_control.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace vcl {

// --- TCustomEdit ---

std::vector<TPropInfo> TCustomEdit::Published() {
    return {Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength),
            Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly),
            Property("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar),
            Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase),
            Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect),
            Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection),
            Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle),
            Property("Ctl3D", &TCustomEdit::Ctl3D, &TCustomEdit::SetCtl3D),
            Property("BevelKind", &TCustomEdit::BevelKind, &TCustomEdit::SetBevelKind),
            Property("BevelInner", &TCustomEdit::BevelInner, &TCustomEdit::SetBevelInner),
            Property("BevelOuter", &TCustomEdit::BevelOuter, &TCustomEdit::SetBevelOuter)};
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    ControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "Edit");
    p.Style |= win::ES_AUTOHSCROLL | win::ES_AUTOVSCROLL;
    if (charCase_ == ecUpperCase) p.Style |= win::ES_UPPERCASE;
    if (charCase_ == ecLowerCase) p.Style |= win::ES_LOWERCASE;
    if (!hideSelection_) p.Style |= win::ES_NOHIDESEL;
    if (readOnly_) p.Style |= win::ES_READONLY;
    if (borderStyle_ == bsSingle) {
        if (ctl3D_)
            p.ExStyle |= win::WS_EX_CLIENTEDGE;
        else
            p.Style |= win::WS_BORDER;
    }
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    win::HWND h = Handle();
    win::SendMessageA(h, win::EM_LIMITTEXT, static_cast<win::WPARAM>(maxLength_), 0);
    if (passwordChar_)
        win::SendMessageA(h, win::EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    win::SendMessageA(h, win::EM_SETMODIFY, modified_, 0);
}

void TCustomEdit::DestroyWnd() {
    if (HandleAllocated()) modified_ = win::SendMessageA(Handle(), win::EM_GETMODIFY, 0, 0) != 0;
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetMaxLength(int n) {
    n = std::max(n, 0);
    if (n == maxLength_) return;
    maxLength_ = n;
    if (HandleAllocated())
        win::SendMessageA(Handle(), win::EM_LIMITTEXT, static_cast<win::WPARAM>(n), 0);
}

void TCustomEdit::SetReadOnly(bool on) {
    if (on == readOnly_) return;
    readOnly_ = on;
    if (HandleAllocated()) win::SendMessageA(Handle(), win::EM_SETREADONLY, on, 0);
}

void TCustomEdit::SetPasswordChar(char c) {
    if (c == passwordChar_) return;
    passwordChar_ = c;
    if (HandleAllocated()) {
        win::SendMessageA(Handle(), win::EM_SETPASSWORDCHAR, static_cast<unsigned char>(c), 0);
        Invalidate();
    }
}

void TCustomEdit::SetCharCase(TEditCharCase c) {
    if (c == charCase_) return;
    charCase_ = c;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool on) {
    if (on == hideSelection_) return;
    hideSelection_ = on;
    RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle s) {
    s = s == bsNone ? bsNone : bsSingle;
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

void TCustomEdit::SetCtl3D(bool on) {
    if (on == ctl3D_) return;
    ctl3D_ = on;
    RecreateWnd();
}

void TCustomEdit::SetBevelKind(TBevelKind k) {
    if (k == bevelKind_) return;
    bevelKind_ = k;
    FrameChanged();
}

void TCustomEdit::SetBevelInner(TBevelCut c) {
    if (c == bevelInner_) return;
    bevelInner_ = c;
    FrameChanged();
}

void TCustomEdit::SetBevelOuter(TBevelCut c) {
    if (c == bevelOuter_) return;
    bevelOuter_ = c;
    FrameChanged();
}

int TCustomEdit::BevelWidth() const {
    if (bevelKind_ == bkNone) return 0;
    return (bevelInner_ != bvNone ? 1 : 0) + (bevelOuter_ != bvNone ? 1 : 0);
}

void TCustomEdit::FrameChanged() {
    if (!HandleAllocated()) return;
    win::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                      win::SWP_NOACTIVATE | win::SWP_NOZORDER | win::SWP_NOMOVE | win::SWP_NOSIZE |
                          win::SWP_FRAMECHANGED);
    Invalidate();
}

// The bevel outermost, then the border or edge the window's styles give, around the client.
void TCustomEdit::PaintBevel() {
    win::HWND h = Handle();
    win::RECT wr, cr;
    win::GetWindowRect(h, &wr);
    win::GetClientRect(h, &cr);
    win::POINT origin{0, 0};
    win::ClientToScreen(h, &origin);
    win::OffsetRect(&cr, origin.x - wr.left, origin.y - wr.top);
    win::HDC dc = win::GetWindowDC(h);
    win::ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
    win::RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    win::FillRect(dc, &r, win::GetSysColorBrush(win::COLOR_BTNFACE));
    static constexpr win::UINT kInner[] = {0, win::BDR_SUNKENINNER, win::BDR_RAISEDINNER, 0};
    static constexpr win::UINT kOuter[] = {0, win::BDR_SUNKENOUTER, win::BDR_RAISEDOUTER, 0};
    const win::UINT look = bevelKind_ == bkFlat   ? win::BF_FLAT
                           : bevelKind_ == bkSoft ? win::BF_SOFT
                                                  : 0;
    const win::UINT edges = kInner[bevelInner_] | kOuter[bevelOuter_];
    if (edges) win::DrawEdge(dc, &r, edges, win::BF_RECT | look);
    win::InflateRect(&r, -BevelWidth(), -BevelWidth());
    const auto style = static_cast<uint32_t>(win::GetWindowLongPtrA(h, win::GWL_STYLE));
    const auto ex = static_cast<uint32_t>(win::GetWindowLongPtrA(h, win::GWL_EXSTYLE));
    if (ex & win::WS_EX_CLIENTEDGE)
        win::DrawEdge(dc, &r, win::EDGE_SUNKEN, win::BF_RECT);
    else if (style & win::WS_BORDER)
        win::FrameRect(dc, &r, win::GetSysColorBrush(win::COLOR_WINDOWFRAME));
    win::ReleaseDC(h, dc);
}

void TCustomEdit::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND:
            if (m.WParamHi() == win::EN_CHANGE) {
                if (!ControlState.Contains(csCreating)) Change();
                return;
            }
            TWinControl::Dispatch(m);
            return;
        case CM_ENTER:
            if (autoSelect_ && !ControlState.Contains(csLButtonDown) &&
                !(win::GetWindowLongPtrA(Handle(), win::GWL_STYLE) & win::ES_MULTILINE))
                SelectAll();
            TWinControl::Dispatch(m);
            return;
        case win::WM_NCCALCSIZE:
            if (const int b = BevelWidth()) {
                auto* r = m.WParam ? &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                                   : reinterpret_cast<win::RECT*>(m.LParam);
                win::InflateRect(r, -b, -b);
            }
            DefaultHandler(m);
            return;
        case win::WM_NCPAINT:
            if (BevelWidth() == 0) {
                DefaultHandler(m);
                return;
            }
            PaintBevel();
            m.Result = 0;
            return;
        default:
            TWinControl::Dispatch(m);
            return;
    }
}

void TCustomEdit::Change() {
    Changed();
    OnChange(this);
}

bool TCustomEdit::Modified() {
    if (!HandleAllocated()) return modified_;
    return win::SendMessageA(Handle(), win::EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool on) {
    modified_ = on;
    if (HandleAllocated()) win::SendMessageA(Handle(), win::EM_SETMODIFY, on, 0);
}

int TCustomEdit::SelStart() {
    win::DWORD start = 0;
    win::SendMessageA(Handle(), win::EM_GETSEL, reinterpret_cast<win::WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int pos) {
    win::SendMessageA(Handle(), win::EM_SETSEL, static_cast<win::WPARAM>(pos), pos);
}

int TCustomEdit::SelLength() {
    win::DWORD start = 0, end = 0;
    win::SendMessageA(Handle(), win::EM_GETSEL, reinterpret_cast<win::WPARAM>(&start),
                      reinterpret_cast<win::LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int n) {
    const int start = SelStart();
    win::SendMessageA(Handle(), win::EM_SETSEL, static_cast<win::WPARAM>(start),
                      start + std::max(n, 0));
}

std::string TCustomEdit::SelText() {
    const int start = SelStart(), n = SelLength();
    const std::string text = GetText();
    return text.substr(std::min<std::size_t>(start, text.size()), static_cast<std::size_t>(n));
}

void TCustomEdit::SetSelText(const std::string& s) {
    win::SendMessageA(Handle(), win::EM_REPLACESEL, 0, reinterpret_cast<win::LPARAM>(s.c_str()));
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) win::SendMessageA(Handle(), win::EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() {
    win::SendMessageA(Handle(), win::WM_CLEAR, 0, 0);
}

void TCustomEdit::Clear() {
    SetText("");
}

void TCustomEdit::CopyToClipboard() {
    win::SendMessageA(Handle(), win::WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
    win::SendMessageA(Handle(), win::WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
    win::SendMessageA(Handle(), win::WM_PASTE, 0, 0);
}

bool TCustomEdit::CanUndo() {
    return HandleAllocated() && win::SendMessageA(Handle(), win::EM_CANUNDO, 0, 0) != 0;
}

void TCustomEdit::Undo() {
    if (HandleAllocated()) win::SendMessageA(Handle(), win::WM_UNDO, 0, 0);
}

void TCustomEdit::ClearUndo() {
    if (HandleAllocated()) win::SendMessageA(Handle(), win::EM_EMPTYUNDOBUFFER, 0, 0);
}

// --- TMemoStrings ---

// The lines of a memo: through the window's line messages while it has a window, else over
// the memo's text. Lines added one by one each end in CR LF, so an empty last line is no line.
class TMemoStrings : public TStrings {
public:
    VCL_CLASS(TMemoStrings, TStrings)
    explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override { memo_->Clear(); }
    std::string Text() const override { return memo_->Text(); }
    void SetText(std::string_view text) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    win::HWND Window() const { return memo_->HandleAllocated() ? memo_->Handle() : nullptr; }
    win::LRESULT Send(win::UINT msg, win::WPARAM wp = 0, win::LPARAM lp = 0) const {
        return win::SendMessageA(Window(), msg, wp, lp);
    }
    int LineIndex(int line) const {
        return static_cast<int>(Send(win::EM_LINEINDEX, static_cast<win::WPARAM>(line)));
    }
    int LineLength(int start) const {
        return static_cast<int>(Send(win::EM_LINELENGTH, static_cast<win::WPARAM>(start)));
    }
    void Replace(int from, int to, const std::string& s) {
        Send(win::EM_SETSEL, static_cast<win::WPARAM>(from), to);
        Send(win::EM_REPLACESEL, 0, reinterpret_cast<win::LPARAM>(s.c_str()));
    }
    std::vector<std::string> Split() const;
    void Store(const std::vector<std::string>& lines);

    TCustomMemo* memo_;
};

std::vector<std::string> TMemoStrings::Split() const {
    const std::string text = memo_->Text();
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t brk = text.find(sLineBreak, at);
        if (brk == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, brk - at));
        at = brk + sLineBreak.size();
    }
    return lines;
}

void TMemoStrings::Store(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) {
        text += l;
        text += sLineBreak;
    }
    memo_->SetText(text);
}

int TMemoStrings::Count() const {
    if (!Window()) return static_cast<int>(Split().size());
    int n = static_cast<int>(Send(win::EM_GETLINECOUNT));
    if (LineLength(LineIndex(n - 1)) == 0) --n;
    return n;
}

std::string TMemoStrings::Get(int index) const {
    if (!Window()) {
        const std::vector<std::string> lines = Split();
        return index >= 0 && index < static_cast<int>(lines.size()) ? lines[index] : std::string();
    }
    const int start = index >= 0 ? LineIndex(index) : -1;
    if (start < 0) return {};
    const int len = LineLength(start);
    if (len > 0xFFFF) return memo_->Text().substr(static_cast<std::size_t>(start), len);
    std::string line(std::max(len, 2), '\0');
    const auto room = static_cast<win::WORD>(len);
    std::memcpy(line.data(), &room, sizeof room);
    line.resize(static_cast<std::size_t>(Send(win::EM_GETLINE, static_cast<win::WPARAM>(index),
                                              reinterpret_cast<win::LPARAM>(line.data()))));
    return line;
}

void TMemoStrings::Put(int index, const std::string& s) {
    if (!Window()) {
        std::vector<std::string> lines = Split();
        if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
        lines[index] = s;
        Store(lines);
        return;
    }
    const int start = index >= 0 ? LineIndex(index) : -1;
    if (start >= 0) Replace(start, start + LineLength(start), s);
}

void TMemoStrings::Insert(int index, const std::string& s) {
    if (index < 0) return;
    if (!Window()) {
        std::vector<std::string> lines = Split();
        if (index > static_cast<int>(lines.size())) IndexError(index);
        lines.insert(lines.begin() + index, s);
        Store(lines);
        return;
    }
    int start = LineIndex(index);
    if (start >= 0) {
        Replace(start, start, s + std::string(sLineBreak));
        return;
    }
    // Past the last line: after the end of the one before.
    start = LineIndex(index - 1);
    if (start < 0) return;
    start += LineLength(start);
    Replace(start, start, std::string(sLineBreak) + s);
}

void TMemoStrings::Delete(int index) {
    if (!Window()) {
        std::vector<std::string> lines = Split();
        if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
        lines.erase(lines.begin() + index);
        Store(lines);
        return;
    }
    const int start = index >= 0 ? LineIndex(index) : -1;
    if (start < 0) return;
    int end = LineIndex(index + 1);
    if (end < 0) end = start + LineLength(start);
    Replace(start, end, {});
}

// All at once, line breaks made CR LF.
void TMemoStrings::SetText(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            s += sLineBreak;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            s += text[i];
        }
    }
    memo_->SetText(s);
}

void TMemoStrings::SetUpdateState(bool updating) {
    if (!Window()) return;
    Send(win::WM_SETREDRAW, !updating);
    if (!updating) memo_->Refresh();
}

// --- TCustomMemo ---

std::vector<TPropInfo> TCustomMemo::Published() {
    return {Property("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines),
            Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap),
            Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars),
            Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns),
            Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs)};
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(new TMemoStrings(this)) {
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() {
    lines_->Free();
}

TStrings* TCustomMemo::Lines() const {
    return lines_;
}

void TCustomMemo::SetLines(TStrings* lines) {
    lines_->Assign(lines);
}

void TCustomMemo::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle s) {
    if (s == scrollBars_) return;
    scrollBars_ = s;
    RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    p.Style |= win::ES_MULTILINE;
    if (wordWrap_) p.Style &= ~win::ES_AUTOHSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.Style |= win::WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.Style |= win::WS_HSCROLL;
    if (Alignment() == taCenter) p.Style |= win::ES_CENTER;
    if (Alignment() == taRightJustify) p.Style |= win::ES_RIGHT;
}

void TCustomMemo::Dispatch(TMessage& m) {
    TCustomEdit::Dispatch(m);
    if (m.Msg != win::WM_GETDLGCODE) return;
    if (wantTabs_)
        m.Result |= win::DLGC_WANTTAB;
    else
        m.Result &= ~win::DLGC_WANTTAB;
    if (!wantReturns_) m.Result &= ~win::DLGC_WANTALLKEYS;
}

bool TCustomMemo::DoKeyPress(char& key) {
    if (TCustomEdit::DoKeyPress(key)) return true;
    if (key == '\r' && !wantReturns_) {
        key = 0;
        return true;
    }
    return false;
}

}  // namespace vcl
