#include "vcl/controls/date_time_picker.h"

#include <gtest/gtest.h>

#include "platform/controls/date_time_picker.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/system/date_utils.h"

namespace vcl::testing {
namespace {

using DateTimePickerTest = FormTest;

TEST_F(DateTimePickerTest, TimeKeepsTheDateAndOnlyTheOperatorsChangesFireOnChange) {
    auto* picker = Place<TDateTimePicker>(form, Bounds(10, 10, 120, 22));
    int changes = 0;
    picker->OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    EXPECT_EQ(picker->Kind(), dtkTime);
    EXPECT_THROW(picker->SetKind(dtkDate), EInvalidOperation);
    picker->SetDateTime(EncodeDateTime(2024, 5, 17, 8, 30, 0, 0));
    picker->SetTime(EncodeTime(23, 59, 58, 0));
    EXPECT_EQ(picker->DateTime(), EncodeDateTime(2024, 5, 17, 23, 59, 58, 0));
    EXPECT_DOUBLE_EQ(picker->Time(), EncodeTime(23, 59, 58, 0));
    form->Show();
    Pump();
    win::SYSTEMTIME st;
    win::SendMessageA(picker->Handle(), win::DTM_GETSYSTEMTIME, 0,
                      reinterpret_cast<win::LPARAM>(&st));
    EXPECT_EQ(st.wDay, 17);
    EXPECT_EQ(st.wSecond, 58);
    EXPECT_EQ(changes, 0);
    // The operator steps the hours round past midnight: the date stays.
    picker->SetFocus();
    QueueKey(win::VK_UP);
    Pump();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picker->DateTime(), EncodeDateTime(2024, 5, 17, 0, 59, 58, 0));
    EXPECT_TRUE(win::GetWindowLongPtrA(picker->Handle(), win::GWL_EXSTYLE) & win::WS_EX_CLIENTEDGE);
    // A window made again shows the value it had.
    picker->Perform(CM_RECREATEWND);
    win::SendMessageA(picker->Handle(), win::DTM_GETSYSTEMTIME, 0,
                      reinterpret_cast<win::LPARAM>(&st));
    EXPECT_EQ(st.wHour, 0);
    EXPECT_EQ(st.wMinute, 59);
}

}  // namespace
}  // namespace vcl::testing
