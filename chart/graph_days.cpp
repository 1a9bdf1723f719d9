#include "chart/graph_days.h"

#include "data/dataset.h"
#include "platform/canvas.h"

namespace chart {

namespace {

const QDate ZeroDate(1899, 12, 30);

int whole(const data::Value& value)
{
    return platform::nearestInt(value.asDouble());
}

QDate dayOf(const data::Value& value)
{
    return value.isNull() ? ZeroDate : value.asDate();
}

} // namespace

std::vector<ChartDay> readGraphDays(data::Query& query)
{
    query.close();
    query.setText(GraphStatement);
    query.open();
    query.fetchAll();
    query.first();
    const int count = query.fieldIndex("COUNT_SALES");
    const int regular = query.fieldIndex("SUM_SALES");
    const int onDemand = query.fieldIndex("SUM_ONDEMAND");
    const int enhanced = query.fieldIndex("SUM_ENHANCED");
    const int date = query.fieldIndex("DATE_SALES");
    std::vector<ChartDay> days;
    days.reserve(std::size_t(query.recordCount()));
    for (; !query.eof(); query.next())
        days.push_back({dayOf(query.field(date)), whole(query.field(count)), whole(query.field(regular)),
                        whole(query.field(onDemand)), whole(query.field(enhanced))});
    return days;
}

} // namespace chart
