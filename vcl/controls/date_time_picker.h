// TDateTimePicker over the native "SysDateTimePick32" in time mode: the operator sets hours,
// minutes and seconds; the date part of DateTime stays as the program set it. OnChange fires
// for the operator's changes, not for the program's.
#pragma once

#include "vcl/controls/controls.h"
#include "vcl/system/sysutils.h"

namespace vcl {

// Only dtkTime: the program's dates are edited in date edits.
enum TDateTimeKind : uint8_t { dtkDate, dtkTime };
using TTime = TDateTime;

class TDateTimePicker : public TWinControl {
public:
    VCL_CLASS_PUBLISHED(TDateTimePicker, TWinControl)
    explicit TDateTimePicker(TComponent* owner);

    TDateTimeKind Kind() const { return dtkTime; }
    void SetKind(TDateTimeKind kind);  // EInvalidOperation for dtkDate
    TDateTime DateTime() const { return dateTime_; }
    void SetDateTime(TDateTime value);
    // The time of day alone; setting it keeps the date.
    TTime Time() const;
    void SetTime(TTime value);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    virtual void Change() { OnChange(this); }

private:
    void SendValue();

    TDateTime dateTime_;
};

}  // namespace vcl
