#include "analytics/line_chart.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

#include "analytics/lifecycle.h"
#include "analytics/seasonality.h"
#include "platform/canvas.h"
#include "platform/spreadsheet_text.h"

namespace analytics {

namespace {

constexpr int LeftMargin = 64, RightMargin = 12, TopMargin = 12, BottomMargin = 22;
const QColor TintedBand(255, 255, 224);
const QColor GuideGrey(192, 192, 192);
const QColor LabelGrey(128, 128, 128);
const QColor Palette[] = {QColor(0, 0, 255),   QColor(255, 0, 0),   QColor(0, 128, 0),  QColor(255, 128, 0),
                          QColor(128, 0, 128), QColor(0, 128, 128), QColor(128, 64, 0), QColor(255, 0, 255),
                          QColor(0, 0, 128),   QColor(128, 128, 0), QColor(64, 64, 64), QColor(0, 192, 255)};

QColor paletteColor(std::size_t index)
{
    return Palette[index % std::size(Palette)];
}

QFont labelFont()
{
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

double topValue(const LineChart& chart)
{
    double top = 0;
    for (const ChartSeries& series : chart.series)
        for (const std::optional<double>& value : series.values)
            if (value)
                top = std::max(top, *value);
    return top;
}

} // namespace

LineChart lifecycleChart(const std::vector<LifecycleYear>& years)
{
    LineChart chart;
    const std::size_t ages = years.empty() ? 0 : years.front().earnings.size();
    for (std::size_t age = 0; age < ages; ++age)
        chart.pointLabels.append(QString::number(age));
    for (std::size_t i = 0; i < years.size(); ++i) {
        ChartSeries series{QString::number(years[i].year), paletteColor(i), {}};
        for (std::size_t age = 0; age < ages; ++age)
            series.values.push_back(years[i].earningsPerPicture(age));
        chart.series.push_back(std::move(series));
    }
    return chart;
}

LineChart seasonalityChart(const Seasonality& seasonality)
{
    LineChart chart;
    for (int month = 1; month <= 12; ++month)
        chart.pointLabels.append(QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
    for (std::size_t i = 0; i < seasonality.years.size(); ++i) {
        ChartSeries series{QString::number(seasonality.years[i].year), paletteColor(i), {}};
        for (double earnings : seasonality.years[i].months)
            series.values.push_back(earnings);
        chart.series.push_back(std::move(series));
    }
    return chart;
}

double guideStep(double top)
{
    if (!(top > 0))
        return 1;
    const double rough = top / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough)
            return factor * power;
    return 10 * power;
}

void drawLineChart(platform::Canvas& canvas, QSize size, const LineChart& chart)
{
    canvas.setBrushColor(Qt::white);
    canvas.fillRect(0, 0, size.width(), size.height());
    const int points = int(chart.pointLabels.size());
    const QRect plot(QPoint(LeftMargin, TopMargin),
                     QPoint(size.width() - RightMargin, size.height() - BottomMargin));
    if (points == 0 || plot.width() < 2 || plot.height() < 2)
        return;
    const double band = double(plot.width()) / points;
    const auto bandLeft = [&](int point) { return plot.left() + platform::nearestInt(point * band); };
    const auto pointX = [&](int point) { return plot.left() + platform::nearestInt((point + 0.5) * band); };
    canvas.setBrushColor(TintedBand);
    for (int point = 1; point < points; point += 2)
        canvas.fillRect(bandLeft(point), plot.top(), bandLeft(point + 1), plot.bottom() + 1);

    const double highest = topValue(chart);
    const double step = guideStep(highest);
    const double top = std::max(step, std::ceil(highest / step) * step);
    const auto valueY = [&](double value) {
        return plot.bottom() - platform::nearestInt(value / top * (plot.bottom() - plot.top()));
    };
    const QFont font = labelFont();
    canvas.setFont(font);
    const QFontMetrics metrics(font);
    canvas.setBrushColor(Qt::white);
    canvas.setFontColor(LabelGrey);
    canvas.setPenColor(GuideGrey);
    for (double value = 0; value <= top + step / 2; value += step) {
        const int y = valueY(value);
        canvas.moveTo(plot.left(), y);
        canvas.lineTo(plot.right() + 1, y);
        const QString text = platform::decimalComma(value, step < 1 ? 2 : 0);
        canvas.textOut(plot.left() - 4 - metrics.horizontalAdvance(text), y - metrics.height() / 2, text);
    }
    const int labelEvery =
        std::max(1, int(std::ceil((metrics.horizontalAdvance(QStringLiteral("0000")) + 6) / band)));
    for (int point = 0; point < points; point += labelEvery) {
        const QString& text = chart.pointLabels[point];
        canvas.textOut(pointX(point) - metrics.horizontalAdvance(text) / 2, plot.bottom() + 4, text);
    }

    int legendX = plot.left() + 6;
    for (const ChartSeries& series : chart.series) {
        canvas.setPenColor(series.color);
        canvas.setBrushColor(series.color);
        std::optional<QPoint> previous;
        for (int point = 0; point < points && point < int(series.values.size()); ++point) {
            if (!series.values[std::size_t(point)]) {
                previous.reset();
                continue;
            }
            const QPoint here(pointX(point), valueY(*series.values[std::size_t(point)]));
            if (previous) {
                canvas.moveTo(previous->x(), previous->y());
                canvas.lineTo(here.x(), here.y());
            }
            canvas.fillRect(here.x() - 1, here.y() - 1, here.x() + 2, here.y() + 2);
            previous = here;
        }
        canvas.setFontColor(series.color);
        canvas.setBrushColor(Qt::white);
        canvas.textOut(legendX, plot.top() + 2, series.name);
        legendX += metrics.horizontalAdvance(series.name) + 10;
    }
}

} // namespace analytics
