#include "browser/sales_strip.h"

#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

#include "browser/diagram_text.h"
#include "platform/day_bands.h"

namespace browser {

namespace {

const QColor White(255, 255, 255);
const QColor LineGrey(243, 243, 243);
const QColor LabelGrey(128, 128, 128);
const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

// The date system's day 0: the date of columns whose picture has no first sale, and the "previous
// column" of the first one (its day of the month, 30, makes no month begin there).
const QDate ZeroDate(1899, 12, 30);

// Monday to Sunday.
const std::array<QString, 7> WeekdayLetters = {QStringLiteral("п"), QStringLiteral("в"), QStringLiteral("с"),
                                               QStringLiteral("ч"), QStringLiteral("п"), QStringLiteral("с"),
                                               QStringLiteral("в")};

// The month label of a new month is written this far left of its first column, at this height.
constexpr int MonthLabelOffset = 75;
constexpr int MonthLabelTop = 40;
// A label that would start at x = 40 or further left is not written: no room for it there.
constexpr int MonthLabelMinLeft = 40;
// No text of a column reaches further right of it than this, so columns further left of a window
// leave no pixel in it.
constexpr int TextReach = 240;
// Enough for every letter and day number in each colour and shading, and a few hundred month labels.
constexpr int MaxTextStamps = 1024;
// Coordinates are held within this distance of the window; the canvas draws nothing that far out.
constexpr qint64 CoordinateLimit = 1'000'000'000;

QFont stripFont(const char* family, int points)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSize(points);
    return font;
}

// floor(value) as a pixel distance, held within the coordinate limit.
int floorPixels(double value)
{
    return static_cast<int>(std::clamp(std::floor(value), -double(CoordinateLimit), double(CoordinateLimit)));
}

// Days beyond the scroll range's limit can never be scrolled to.
constexpr qint64 MaxDays = (SalesStrip::RangeLimit - 30) / SalesStrip::ColumnWidth;

} // namespace

// The standalone month name is the nominative one; a date format's "MMMM" gives the genitive "марта".
QString stripMonthLabel(QDate date)
{
    QString month = QLocale(QLocale::Russian).standaloneMonthName(date.month(), QLocale::LongFormat);
    if (!month.isEmpty())
        month[0] = month[0].toUpper();
    return month + QLatin1Char('.') + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

StripDays readStripDays(const QString& diagramText, QDate firstSale)
{
    StripDays days;
    days.firstDate = firstSale.isValid() ? firstSale : ZeroDate;
    const QStringList tokens = splitDiagramText(diagramText);
    for (int i = 0; i < tokens.size(); ++i) {
        const QString& token = tokens[i];
        const bool gap = token.startsWith(QLatin1Char('#'));
        // The strip always drops the leading gap: its first column is the first sale.
        if (token.isEmpty() || (gap && i <= LeadingGapToken))
            continue;
        const DiagramToken read = readDiagramToken(token);
        if (read.kind == DiagramToken::Kind::Day) {
            if (days.dayCount < MaxDays)
                days.sales.push_back({days.dayCount, read.value});
            days.dayCount = std::min(days.dayCount + 1, MaxDays);
        } else {
            days.dayCount = std::min(days.dayCount + std::clamp<qint64>(read.value, 0, MaxDays), MaxDays);
        }
    }
    return days;
}

// Draws the columns of one painting, in the surface's coordinates turned into the window's.
class SalesStrip::Painter
{
public:
    Painter(QImage& image, QPainter& painter, platform::CanvasTools& tools, QHash<QString, QImage>& textStamps,
            qint64 left)
        : image_(image), painter_(painter), canvas_(painter, tools), textStamps_(textStamps), left_(left),
          height_(image.height()),
          letterFont_(stripFont("MS Sans Serif", 8)), numberFont_(stripFont("Times New Roman", 7))
    {
    }

    // The window's x of a surface x.
    int toWindow(qint64 x) const { return static_cast<int>(std::clamp(x - left_, -CoordinateLimit, CoordinateLimit)); }

    // The column of one day at x: its letter, shading, day number and, where a month begins, the
    // name of the month that has ended.
    void DrawStripDay(qint64 x, QDate date, QDate previousDate)
    {
        const int left = toWindow(x);
        const bool weekend = date.dayOfWeek() >= 6;
        canvas_.setFontColor(weekend ? Red : Black);
        canvas_.setBrushColor(platform::dayBandColor(date));
        canvas_.setPenColor(LineGrey);
        canvas_.rectangle(left, 1, left + 9, height_ - 2);
        canvas_.moveTo(left, height_ - 2);
        canvas_.lineTo(left, 1);
        canvas_.setFont(letterFont_);
        textOut(left, 0, WeekdayLetters[std::size_t(date.dayOfWeek() - 1)]);
        const int day = date.day();
        if (day % 2 == 1) {
            canvas_.setFont(numberFont_);
            textOut(day <= 9 ? left + 2 : left - 1, 13, QString::number(day));
        }
        if (day < previousDate.day()) {
            canvas_.setFont(letterFont_);
            canvas_.setFontColor(LabelGrey);
            canvas_.setBrushColor(platform::monthBandColor(date.addMonths(-1).month()));
            if (x - MonthLabelOffset > MonthLabelMinLeft)
                textOut(left - MonthLabelOffset, MonthLabelTop, stripMonthLabel(date.addDays(-1)));
        }
    }

    // The day's bar, drawn with the column's outline pen.
    void bar(qint64 x, int barHeight)
    {
        const int left = toWindow(x);
        canvas_.setBrushColor(Red);
        canvas_.rectangle(left + 1, height_ - barHeight, left + 7, height_ - 1);
    }

    // A guide line across the surface with its value at the left edge, in the last column's font.
    void guideLine(qint64 value, int y, qint64 surfaceWidth)
    {
        canvas_.setPenColor(LineGrey);
        canvas_.setBrushColor(White);
        canvas_.moveTo(toWindow(0), y);
        canvas_.lineTo(toWindow(surfaceWidth), y);
        textOut(toWindow(3), y - 5, QString::number(value));
    }

private:
    // Writes a text as the canvas does, from the stamp of the same text in the same font and colours.
    void textOut(int x, int y, const QString& text)
    {
        const platform::CanvasTools& tools = canvas_.tools();
        const QString key = tools.font.key() + QLatin1Char('|') + QString::number(tools.fontColor.rgba(), 16) +
                            QLatin1Char('|') + QString::number(tools.brushColor.rgba(), 16) + QLatin1Char('|') + text;
        auto stamp = textStamps_.constFind(key);
        if (stamp == textStamps_.cend()) {
            if (textStamps_.size() >= MaxTextStamps)
                textStamps_.clear();
            stamp = textStamps_.insert(key, textStamp(tools, text));
        }
        painter_.drawImage(x, y, *stamp);
    }

    QImage textStamp(platform::CanvasTools tools, const QString& text) const
    {
        const QFontMetrics metrics(tools.font, &image_);
        QImage stamp(std::max(1, metrics.horizontalAdvance(text)), std::max(1, metrics.height()), image_.format());
        stamp.setDotsPerMeterX(image_.dotsPerMeterX());
        stamp.setDotsPerMeterY(image_.dotsPerMeterY());
        QPainter painter(&stamp);
        platform::Canvas(painter, tools).textOut(0, 0, text);
        return stamp;
    }

    const QImage& image_;
    QPainter& painter_;
    platform::Canvas canvas_;
    QHash<QString, QImage>& textStamps_;
    qint64 left_;
    int height_;
    QFont letterFont_;
    QFont numberFont_;
};

void SalesStrip::showDays(StripDays days, qint64 bestDay)
{
    drawing_ = Drawing{std::move(days), bestDay, tools_};
}

void SalesStrip::showBlank()
{
    drawing_.reset();
}

int SalesStrip::scrollRange() const
{
    const qint64 dayCount = drawing_ ? drawing_->days.dayCount : 0;
    return static_cast<int>(std::min<qint64>(dayCount * ColumnWidth + 30, RangeLimit));
}

qint64 SalesStrip::surfaceWidth() const
{
    return std::max(ImageWidth, scrollRange());
}

void SalesStrip::paint(QImage& image, qint64 left)
{
    image.fill(White);
    if (!drawing_)
        return;
    const StripDays& days = drawing_->days;
    const int height = image.height();
    const qint64 bestDay = drawing_->bestDay;
    // A strip lower than the room for the texts gets no bars rather than bars turned upside down.
    const double scale = std::max(0.0, double(height - TopRoom) / double(std::max<qint64>(bestDay, 1)));

    tools_ = drawing_->toolsAtStart;
    QPainter painter(&image);
    Painter columns(image, painter, tools_, textStamps_, left);
    const qint64 first = std::max<qint64>(0, (left - TextReach - LeftMargin) / ColumnWidth);
    const qint64 end =
        std::min(days.dayCount, (left + image.width() + MonthLabelOffset - LeftMargin) / ColumnWidth + 1);
    auto sale = std::lower_bound(days.sales.begin(), days.sales.end(), first,
                                 [](const StripDays::Sale& s, qint64 day) { return s.day < day; });
    const auto columnX = [](qint64 day) { return LeftMargin + day * ColumnWidth; };
    const auto dateOf = [&](qint64 day) { return days.firstDate.addDays(day); };
    for (qint64 day = first; day < end; ++day) {
        const QDate date = dateOf(day);
        columns.DrawStripDay(columnX(day), date, day == 0 ? ZeroDate : date.addDays(-1));
        if (sale != days.sales.end() && sale->day == day) {
            columns.bar(columnX(day), floorPixels(double(sale->downloads) * scale));
            ++sale;
        }
    }
    // The last column is drawn also when it lies outside the window (where it leaves no pixel): the
    // guide labels are written in the font it leaves.
    const qint64 last = days.dayCount - 1;
    if (last >= 0 && (last < first || last >= end))
        columns.DrawStripDay(columnX(last), dateOf(last), last == 0 ? ZeroDate : dateOf(last - 1));
    for (const qint64 value : {qint64(1), bestDay, bestDay / 2})
        columns.guideLine(value, height - floorPixels(double(value) * scale), surfaceWidth());
}

} // namespace browser
