#include "tests/support/roll_up_recount.h"

#include <QStringBuilder>

namespace test_support {

const std::vector<RollUpRecount>& rollUpRecounts()
{
    static const QByteArray totals = "sum(coalesce(\"COUNT\", 0)), sum(cast(coalesce(\"SUM\", 0) as MONEY_TOTAL)),"
                                     " sum(cast(coalesce(ON_DEMAND, 0) as MONEY_TOTAL)),"
                                     " sum(cast(coalesce(ENHANCED, 0) as MONEY_TOTAL))";
    static const QByteArray saleDays = "max(iif(\"COUNT\" > 0, \"COUNT\", null)),"
                                       " min(iif(\"COUNT\" > 0, SALE_DATE, null)),"
                                       " max(iif(\"COUNT\" > 0, SALE_DATE, null))";
    static const std::vector<RollUpRecount> recounts = {
        {"select IDPICTURE, MONTH_START, COUNT_SALES, SUM_SALES, SUM_ON_DEMAND, SUM_ENHANCED, MAX_DLS, FIRST_SALE,"
         " LAST_SALE from SALES_BY_MONTH order by 1, 2",
         QByteArray("select IDPICTURE, dateadd(1 - extract(day from SALE_DATE) day to SALE_DATE), ") + totals + ", " + saleDays +
             " from SALES group by 1, 2 order by 1, 2"},
        {"select * from SALES_BY_PICTURE order by 1",
         QByteArray("select IDPICTURE, ") + totals + ", " + saleDays + " from SALES group by 1 order by 1"},
        {"select * from SALES_BY_DAY order by 1",
         QByteArray("select SALE_DATE, count(*), ") + totals + " from SALES group by 1 order by 1"},
    };
    return recounts;
}

} // namespace test_support
