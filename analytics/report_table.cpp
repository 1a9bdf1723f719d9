#include "analytics/report_table.h"

#include <numeric>

#include "analytics/cohorts.h"
#include "analytics/group_figures.h"
#include "analytics/lifecycle.h"
#include "analytics/seasonality.h"

namespace analytics {

namespace {

const QStringList MonthNames{QStringLiteral("Январь"),  QStringLiteral("Февраль"), QStringLiteral("Март"),
                             QStringLiteral("Апрель"),  QStringLiteral("Май"),     QStringLiteral("Июнь"),
                             QStringLiteral("Июль"),    QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
                             QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь")};

QString monthTitle(QDate month)
{
    return month.toString(QStringLiteral("MM.yyyy"));
}

ReportCell cohortCell(const Sales& sales, int pictures, CohortValue value)
{
    switch (value) {
    case CohortValue::Downloads:
        return ReportCell::count(double(sales.downloads));
    case CohortValue::EarningsPerPicture:
        return ReportCell::money(pictures ? sales.earnings / pictures : 0);
    case CohortValue::Earnings:
        break;
    }
    return ReportCell::money(sales.earnings);
}

QString groupTitle(GroupKind kind)
{
    switch (kind) {
    case GroupKind::Batch:
        return QStringLiteral("Партия");
    case GroupKind::Keyword:
        return QStringLiteral("Ключевое слово");
    case GroupKind::Folder:
        break;
    }
    return QStringLiteral("Папка");
}

} // namespace

ReportCell ReportCell::decimal(std::optional<double> value)
{
    return value ? ReportCell{Kind::Decimal, *value, {}} : ReportCell{};
}

QString ReportCell::display() const
{
    switch (kind) {
    case Kind::Empty:
        return {};
    case Kind::Text:
        return platform::sheetText(text);
    case Kind::Count:
        return QString::number(number, 'f', 0);
    case Kind::Money:
        return platform::decimalComma(number, 2);
    case Kind::Percent:
        return platform::decimalComma(100 * number, 1);
    case Kind::Decimal:
        break;
    }
    return platform::decimalComma(number, 1);
}

ReportTable cohortTable(const Cohorts& cohorts, CohortValue value)
{
    ReportTable table;
    table.titles = QStringList{QStringLiteral("Месяц приемки"),  QStringLiteral("Изображений"),
                               QStringLiteral("Продано, %"),     QStringLiteral("Заработок"),
                               QStringLiteral("На изображение"), QStringLiteral("Дней до продажи")};
    for (QDate month : cohorts.saleMonths)
        table.titles.append(monthTitle(month));
    for (const CohortRow& row : cohorts.rows) {
        std::vector<ReportCell> cells{ReportCell::label(row.acceptMonth.isValid()
                                                            ? monthTitle(row.acceptMonth)
                                                            : QStringLiteral("без даты приемки")),
                                      ReportCell::count(row.pictures),
                                      ReportCell::percent(row.shareSold()),
                                      ReportCell::money(row.sales.earnings),
                                      ReportCell::money(row.earningsPerPicture()),
                                      ReportCell::decimal(row.medianDaysToFirstSale)};
        for (const Sales& cell : row.cells)
            cells.push_back(cohortCell(cell, row.pictures, value));
        table.rows.push_back(std::move(cells));
    }
    return table;
}

ReportTable lifecycleTable(const std::vector<LifecycleYear>& years)
{
    ReportTable table;
    table.titles = QStringList{QStringLiteral("Год приемки"), QStringLiteral("Изображений"),
                               QStringLiteral("Полураспад, мес.")};
    const std::size_t ages = years.empty() ? 0 : years.front().earnings.size();
    for (std::size_t age = 0; age < ages; ++age)
        table.titles.append(QString::number(age));
    for (const LifecycleYear& year : years) {
        std::vector<ReportCell> cells{
            ReportCell::label(QString::number(year.year)), ReportCell::count(year.pictures),
            year.halfLife ? ReportCell::count(*year.halfLife) : ReportCell::empty()};
        for (std::size_t age = 0; age < ages; ++age) {
            const std::optional<double> average = year.earningsPerPicture(age);
            cells.push_back(average ? ReportCell::money(*average) : ReportCell::empty());
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

ReportTable groupTable(const std::vector<GroupFigures>& groups, GroupKind kind)
{
    ReportTable table;
    table.titles = QStringList{groupTitle(kind)};
    if (kind == GroupKind::Batch)
        table.titles.append(QStringLiteral("Дата приемки"));
    table.titles += QStringList{QStringLiteral("Изображений"),    QStringLiteral("Продано, %"),
                                QStringLiteral("Продаж"),         QStringLiteral("Заработок"),
                                QStringLiteral("На изображение"), QStringLiteral("Индекс")};
    for (const GroupFigures& group : groups) {
        std::vector<ReportCell> cells{ReportCell::label(group.name)};
        if (kind == GroupKind::Batch)
            cells.push_back(group.accepted
                                ? ReportCell::label(group.accepted->toString(QStringLiteral("dd.MM.yyyy")))
                                : ReportCell::empty());
        cells.push_back(ReportCell::count(group.pictures));
        cells.push_back(ReportCell::percent(group.shareSold()));
        cells.push_back(ReportCell::count(double(group.sales.downloads)));
        cells.push_back(ReportCell::money(group.sales.earnings));
        cells.push_back(ReportCell::money(group.earningsPerPicture()));
        cells.push_back(ReportCell::decimal(group.index));
        table.rows.push_back(std::move(cells));
        table.rowBatches.push_back(group.batchId);
    }
    return table;
}

ReportTable seasonalityTable(const Seasonality& seasonality)
{
    ReportTable table;
    table.titles = QStringList{QStringLiteral("Месяц")};
    for (const Seasonality::Year& year : seasonality.years)
        table.titles.append(QString::number(year.year));
    for (std::size_t month = 0; month < 12; ++month) {
        std::vector<ReportCell> cells{ReportCell::label(MonthNames[qsizetype(month)])};
        for (const Seasonality::Year& year : seasonality.years)
            cells.push_back(ReportCell::money(year.months[month]));
        table.rows.push_back(std::move(cells));
    }
    std::vector<ReportCell> total{ReportCell::label(QStringLiteral("Итого"))};
    for (const Seasonality::Year& year : seasonality.years)
        total.push_back(ReportCell::money(std::accumulate(year.months.begin(), year.months.end(), 0.0)));
    table.rows.push_back(std::move(total));
    return table;
}

QString tableText(const ReportTable& table, platform::SheetForm form, const std::vector<int>& rows)
{
    std::vector<int> chosen = rows;
    if (chosen.empty()) {
        chosen.resize(table.rows.size());
        std::iota(chosen.begin(), chosen.end(), 0);
    }
    QString text = platform::sheetLine(form, table.titles);
    for (int row : chosen) {
        QStringList fields;
        for (const ReportCell& cell : table.rows[std::size_t(row)])
            fields.append(cell.display());
        text += platform::sheetLine(form, fields);
    }
    return text;
}

} // namespace analytics
