#include "vcl/controls/date_time_picker.h"

#include "platform/controls/date_time_picker.h"
#include "platform/user/user.h"
#include "vcl/system/date_utils.h"

namespace vcl {

std::vector<TPropInfo> TDateTimePicker::Published() {
    using P = TDateTimePicker;
    return {Property("Kind", &P::Kind, &P::SetKind),
            Property("DateTime", &P::DateTime, &P::SetDateTime),
            Property("Time", &P::Time, &P::SetTime)};
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner), dateTime_(Now()) {
    SetBounds(0, 0, 186, 21);
    SetTabStop(true);
}

void TDateTimePicker::SetKind(TDateTimeKind kind) {
    if (kind != dtkTime) throw EInvalidOperation("The date and time picker has no date mode");
}

TTime TDateTimePicker::Time() const {
    // Decoded, so the date's magnitude costs the time no precision.
    int h, mi, s, ms;
    DecodeTime(dateTime_, h, mi, s, ms);
    return EncodeTime(h, mi, s, ms);
}

void TDateTimePicker::SetTime(TTime value) {
    int y, mo, d, h, mi, s, ms;
    DecodeDate(dateTime_, y, mo, d);
    DecodeTime(value, h, mi, s, ms);
    SetDateTime(EncodeDateTime(y, mo, d, h, mi, s, ms));
}

void TDateTimePicker::SetDateTime(TDateTime value) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(value, y, mo, d, h, mi, s, ms);
    if (y < 1 || y > 9999) throw EConvertError("Invalid date and time");
    dateTime_ = value;
    SendValue();
}

void TDateTimePicker::SendValue() {
    if (!HandleAllocated()) return;
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(dateTime_, y, mo, d, h, mi, s, ms);
    win::SYSTEMTIME st;
    st.wYear = static_cast<win::WORD>(y);
    st.wMonth = static_cast<win::WORD>(mo);
    st.wDay = static_cast<win::WORD>(d);
    st.wHour = static_cast<win::WORD>(h);
    st.wMinute = static_cast<win::WORD>(mi);
    st.wSecond = static_cast<win::WORD>(s);
    st.wMilliseconds = static_cast<win::WORD>(ms);
    win::SendMessageA(Handle(), win::DTM_SETSYSTEMTIME, win::GDT_VALID,
                      reinterpret_cast<win::LPARAM>(&st));
}

void TDateTimePicker::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, win::DATETIMEPICK_CLASSA);
    p.Style |= win::DTS_TIMEFORMAT;
    p.ExStyle |= win::WS_EX_CLIENTEDGE;
}

void TDateTimePicker::CreateWnd() {
    TWinControl::CreateWnd();
    SendValue();
}

void TDateTimePicker::Dispatch(TMessage& m) {
    if (m.Msg == CN_NOTIFY && m.LParam &&
        reinterpret_cast<const win::NMHDR*>(m.LParam)->code == win::DTN_DATETIMECHANGE) {
        const win::SYSTEMTIME& st = reinterpret_cast<const win::NMDATETIMECHANGE*>(m.LParam)->st;
        dateTime_ = EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                                   st.wMilliseconds);
        Change();
        return;
    }
    TWinControl::Dispatch(m);
}

}  // namespace vcl
