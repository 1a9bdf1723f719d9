#include "browser/cell_painter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

#include "browser/diagram_text.h"
#include "browser/jpeg_image.h"
#include "browser/picture_fields.h"
#include "browser/picture_list_model.h"
#include "data/dm.h"
#include "platform/canvas.h"

namespace browser {

namespace {

constexpr int TextMargin = 2;

// The pixels drawing may touch, for as long as it lives: the cell.
class ClipToCell
{
public:
    ClipToCell(QPainter& painter, const QRect& cell) : painter_(painter)
    {
        painter_.save();
        painter_.setClipRect(cell, Qt::IntersectClip);
    }
    ~ClipToCell() { painter_.restore(); }
    ClipToCell(const ClipToCell&) = delete;
    ClipToCell& operator=(const ClipToCell&) = delete;

private:
    QPainter& painter_;
};

// x + n, held at the limits of the type instead of overflowing.
qint64 addHeld(qint64 x, qint64 n)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(x, n, &sum))
        return n > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

// The top end of a day's red bar, B - 2v, held just outside the cell: the clip makes the pixels the
// same as for the far end, and the coordinate stays a small int for any v.
int barTop(const QRect& cell, qint64 downloads)
{
    const qint64 bottom = qint64(cell.y()) + cell.height();
    const qint64 twice = downloads > 0 ? std::min(downloads, qint64(1) << 40) * 2
                                       : std::max(downloads, -(qint64(1) << 40)) * 2;
    return int(std::clamp(bottom - twice, qint64(cell.y()) - 1, bottom + 1));
}

} // namespace

QSize previewBitmapSize(QSize picture, int cellWidth, int cellHeight)
{
    const int smaller = std::min(cellWidth, cellHeight);
    if (picture.isEmpty() || cellWidth <= 0 || smaller <= 0)
        return {};
    double k = 1;
    int width = picture.width();
    if (cellWidth < picture.width()) {
        width = cellWidth;
        k = double(cellWidth) / picture.width();
    }
    int height = platform::nearestInt(picture.height() * k);
    if (height > smaller) {
        const double k2 = double(smaller) / height;
        height = smaller;
        width = platform::nearestInt(width * k2);
    }
    return {width, height};
}

QString pictureTypeWord(qint64 type)
{
    static const QString Words[] = {QStringLiteral("Фото"), QStringLiteral("Вектор"),
                                    QStringLiteral("Иллюстрация"), QStringLiteral("Флэш"),
                                    QStringLiteral("Видео")};
    return type >= 0 && type < qint64(std::size(Words)) ? Words[type] : QString();
}

void drawMiniChart(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, const QStringList& tokens,
                   bool withoutFirstDays)
{
    // Bars taller than the cell and an end marker beyond its right edge are clipped to the cell, so
    // that a cell never draws over its neighbours (which would show or not depending on paint order).
    const ClipToCell clip(painter, cell);
    platform::Canvas canvas(painter, tools);
    const int left = cell.x(), top = cell.y(), bottom = cell.y() + cell.height();
    const qint64 width = cell.width();

    qint64 x = 0;
    for (int i = 0; i < tokens.size() && x <= width; ++i) {
        const DiagramToken token = readDiagramToken(tokens[i]);
        if (token.kind == DiagramToken::Kind::Empty)
            continue;
        if (token.kind == DiagramToken::Kind::Gap) {
            if (!(i == LeadingGapToken && withoutFirstDays))
                x = addHeld(x, token.value);
            continue;
        }
        // x may lie left of the cell after a negative gap: such columns are clipped away.
        const int at = int(std::max(addHeld(left, x), qint64(left) - 1));
        canvas.setPenColor(cell_colours::BarRed);
        canvas.moveTo(at, bottom - 2);
        canvas.lineTo(at, barTop(cell, token.value));
        canvas.setPenColor(cell_colours::NoBatchPink);
        canvas.lineTo(at, top);
        x = addHeld(x, 1);
    }
    const int marker = left + int(std::clamp(x, qint64(-1), width + 1));
    canvas.setPenColor(cell_colours::EndMarkerYellow);
    canvas.moveTo(marker, bottom - 2);
    canvas.lineTo(marker, top + 1);
    if (x < width) {
        canvas.setPenColor(cell_colours::White);
        canvas.setBrushColor(cell_colours::White);
        canvas.rectangle(marker + 1, top + 1, cell.x() + cell.width(), bottom - 1);
    }
}

CellPainter::CellPainter(data::Tdm& dm, const PictureListModel& model, QStringList& diagramTokens)
    : dm_(dm), model_(model), diagramTokens_(diagramTokens), previews_(PreviewBudget), diagrams_(DiagramBudget)
{
}

void CellPainter::listReset()
{
    previews_.clear();
    diagrams_.clear();
    reported_.clear();
}

QStringList CellPainter::takeNewProblems()
{
    for (const QString& problem : std::as_const(newProblems_))
        reported_.insert(problem);
    return std::exchange(newProblems_, {});
}

void CellPainter::noteProblem(const QString& message)
{
    if (!reported_.contains(message) && !newProblems_.contains(message))
        newProblems_.append(message);
}

void CellPainter::keepSettings(const CellSettings& settings)
{
    if (keptFor_ == settings)
        return;
    previews_.clear();
    diagrams_.clear();
    keptFor_ = settings;
}

void CellPainter::picGridDrawDataCell(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row,
                                      int column, bool selected, const CellSettings& settings)
{
    keepSettings(settings);
    const ClipToCell clip(painter, cell);
    platform::Canvas canvas(painter, tools);
    canvas.fillRect(cell);
    if (selected) {
        QFont bold = tools.font;
        bold.setBold(true);
        canvas.setFont(bold);
    }
    if (model_.valueAt(row, ColIdBatch).isNull()) {
        // The pink replaces the selection colour; the text on it keeps the plain text colour.
        canvas.setBrushColor(cell_colours::NoBatchPink);
        canvas.setFontColor(Qt::black);
        canvas.fillRect(cell);
    }
    try {
        paintContent(painter, tools, cell, row, column, settings);
    } catch (const std::exception& error) {
        canvas.setBrushColor(cell_colours::White);
        canvas.fillRect(cell);
        noteProblem(QString::fromUtf8(error.what()));
    }
}

void CellPainter::paintContent(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row,
                               int column, const CellSettings& settings)
{
    const data::Value& value = model_.valueAt(row, static_cast<PictureColumn>(column));
    if (column == ColImage && !value.isNull()) {
        drawPreview(painter, tools, cell, row);
    } else if (column == ColType && !value.isNull()) {
        platform::Canvas(painter, tools).textOut(cell.x(), cell.y(), pictureTypeWord(value.asInt64()));
    } else if (column == ColDiagram) {
        drawChartCell(painter, tools, cell, row, settings);
    } else {
        drawDefaultCell(painter, tools, cell, row, column);
    }
}

void CellPainter::drawDefaultCell(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row,
                                  int column)
{
    const QString text = model_.displayText(row, column);
    if (text.isEmpty())
        return;
    int x = cell.x() + TextMargin;
    if (pictureFields()[std::size_t(column)].numeric)
        x = cell.x() + cell.width() - TextMargin - QFontMetrics(tools.font, painter.device()).horizontalAdvance(text);
    platform::Canvas(painter, tools).textOut(x, cell.y() + TextMargin, text);
}

void CellPainter::drawPreview(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row)
{
    const qint64 pictureId = model_.valueAt(row, ColIdPicture).asInt64();
    const QImage bitmap = scaledPreview(pictureId, row, QSize(cell.width(), std::min(cell.width(), cell.height())));
    platform::Canvas canvas(painter, tools);
    canvas.setPenColor(cell_colours::White);
    canvas.setBrushColor(cell_colours::White);
    canvas.rectangle(cell.x(), cell.y(), cell.x() + cell.width(), cell.y() + cell.height());
    canvas.stretchDraw(QRect(cell.topLeft(), bitmap.size()), bitmap);
}

QImage CellPainter::scaledPreview(qint64 pictureId, int row, QSize cell)
{
    if (const KeptPreview* kept = previews_.object(pictureId); kept && kept->cell == cell)
        return kept->bitmap;
    const QImage picture = loadPreview(pictureId, row);
    const QSize size = previewBitmapSize(picture.size(), cell.width(), cell.height());
    if (size.isEmpty())
        return {};
    QImage bitmap(size, QImage::Format_RGB32);
    {
        QPainter painter(&bitmap);
        platform::Canvas(painter).stretchDraw(bitmap.rect(), picture);
    }
    previews_.insert(pictureId, new KeptPreview{cell, bitmap}, bitmap.sizeInBytes());
    return bitmap;
}

QImage CellPainter::loadPreview(qint64 pictureId, int row)
{
    const QString path = dm_.previewPath(QByteArray::number(pictureId));
    QByteArray bytes;
    if (QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(QString(path + QStringLiteral(": ") + file.errorString()).toStdString());
        bytes = file.readAll();
    } else {
        // The stored preview is drawn even when its file cannot be written.
        bytes = model_.imageAt(row);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            noteProblem(QStringLiteral("Превью не записано в папку %1: %2")
                            .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), file.errorString()));
        }
    }
    try {
        const QImage picture = decodeJpeg(bytes);
        if (picture.isNull())
            throw std::runtime_error("файл пуст");
        return picture;
    } catch (const std::exception& error) {
        throw std::runtime_error(QString(QDir::toNativeSeparators(path) + QStringLiteral(": ")).toStdString() +
                                 error.what());
    }
}

void CellPainter::drawChartCell(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row,
                                const CellSettings& settings)
{
    const data::Value& count = model_.valueAt(row, ColCountSales);
    if (count.isNull() || count.asInt64() == 0)
        return;
    platform::Canvas canvas(painter, tools);
    canvas.setBrushColor(cell_colours::ChartYellow);
    canvas.fillRect(cell);
    const qint64 pictureId = model_.valueAt(row, ColIdPicture).asInt64();
    try {
        if (diagramTokens(pictureId, settings))
            drawMiniChart(painter, tools, cell, diagramTokens_, settings.withoutFirstDays);
    } catch (const std::exception& error) {
        throw std::runtime_error(QStringLiteral("DIAGRAM(%1): ").arg(pictureId).toStdString() + error.what());
    }
}

bool CellPainter::diagramTokens(qint64 pictureId, const CellSettings& settings)
{
    if (const KeptDiagram* kept = diagrams_.object(pictureId)) {
        diagramTokens_ = kept->tokens;
        return kept->found;
    }
    data::Query& query = dm_.qrExecute;
    query.setText("select IDPICTURE, \"DIAGRAM\" from DIAGRAM(" + QByteArray::number(pictureId) + ", '" +
                  data::formatDate(settings.from) + "', '" + data::formatDate(settings.till) + "')");
    query.open();
    const bool found = !query.eof();
    diagramTokens_ = found ? splitDiagramText(QString::fromLatin1(query.field("DIAGRAM").asText())) : QStringList();
    // A token's share of the heap: its entry in the list, the string's header and characters, and the
    // allocator's overhead.
    qsizetype cost = 64;
    for (const QString& token : std::as_const(diagramTokens_))
        cost += qsizetype(sizeof(QString)) + 32 + token.size() * 2;
    diagrams_.insert(pictureId, new KeptDiagram{found, diagramTokens_}, cost);
    return found;
}

} // namespace browser
