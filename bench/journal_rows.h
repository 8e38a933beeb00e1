// A folder whose journal holds a million rows, filled once per benchmark program: three modems,
// a hundred runs of ten thousand messages, ten lists; every fifth row waits for its report, the
// others spread over the status classes.
#pragma once

#include <string>

#include "bench/bench_folder.h"

namespace bench {

inline constexpr int kMillionRows = 1000000;

inline Folder& MillionJournalRows() {
    static Folder folder;
    static const bool filled = [] {
        auto db = sql::SharedDatabase(folder.path());
        db->ExecuteRaw(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
            std::to_string(kMillionRows) +
            ") insert into NumberLog (NumID, Number, SendResultOK, SendTime, ReceiveTimeClient, "
            "StatusSC, TextSMS, Name, StartTime, IMEI, MR, ListID) select i, "
            "'7916' || (1000000 + i), i % 50 <> 0, datetime('2024-01-01', '+' || i || ' "
            "seconds'), case when i % 5 = 0 then null else datetime('2024-01-01', '+' || (i + "
            "20) || ' seconds') end, case when i % 5 = 0 then null else (i * 7) % 128 end, "
            "'Добрый день, клиент ' || i || '! Ваш заказ готов к выдаче.', 'Список ' || (i % "
            "10), strftime('%Y.%m.%d %H:%M:%S', '2024-01-01', '+' || (i / 10000) || ' hours'), "
            "'35693803564380' || (7 + i % 3), i % 256, i % 10 from n");
        return true;
    }();
    (void)filled;
    return folder;
}

}  // namespace bench
