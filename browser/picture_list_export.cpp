#include "browser/picture_list_export.h"

#include <QDir>
#include <QIODevice>
#include <QSaveFile>

#include <stdexcept>

#include "data/connection.h"
#include "data/statement.h"
#include "data/value.h"
#include "platform/win1251.h"

namespace browser {

namespace {

const data::Value NullValue;

const QByteArray ByteOrderMark = "\xEF\xBB\xBF";

bool looksLikeFormula(const QString& text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front());
}

QString cellText(PictureColumn column, const data::Value& value)
{
    if (value.isNull())
        return {};
    switch (pictureFields()[static_cast<std::size_t>(column)].display) {
    case FieldDisplay::Money:
        return QString::number(value.asDouble(), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
    case FieldDisplay::Date:
        return QString::fromLatin1(data::formatDate(value.asDate()));
    case FieldDisplay::Painted:
        return {};
    case FieldDisplay::Plain:
        break;
    }
    if (!value.isBytes())
        return QString::fromLatin1(value.asText());
    const QString text = platform::fromWin1251(value.asText());
    return looksLikeFormula(text) ? QLatin1Char('\'') + text : text;
}

// Per field of the picture list, its column in the statement's result; -1 when not selected.
std::vector<int> resultColumns(const std::vector<data::Column>& result)
{
    std::vector<int> positions(PictureColumnCount, -1);
    for (std::size_t field = 0; field < positions.size(); ++field)
        for (std::size_t i = 0; i < result.size(); ++i)
            if (result[i].name == pictureFields()[field].name)
                positions[field] = static_cast<int>(i);
    return positions;
}

bool writeAll(QIODevice& out, const QByteArray& bytes)
{
    return out.write(bytes) == bytes.size();
}

[[noreturn]] void fileNotWritten(const QString& path, const QString& reason)
{
    throw std::runtime_error(
        QStringLiteral("Файл не записан: %1 (%2)").arg(QDir::toNativeSeparators(path), reason).toStdString());
}

} // namespace

std::vector<PictureColumn> exportedColumns(const std::vector<int>& columnOrder)
{
    std::vector<PictureColumn> columns;
    for (int logical : columnOrder) {
        if (logical < 0 || logical >= PictureColumnCount)
            continue;
        const PictureField& field = pictureFields()[static_cast<std::size_t>(logical)];
        if (field.visible && field.display != FieldDisplay::Painted)
            columns.push_back(static_cast<PictureColumn>(logical));
    }
    return columns;
}

PictureListWriter::PictureListWriter(ListTextForm form, std::vector<PictureColumn> columns)
    : form_(form), columns_(std::move(columns))
{
}

QString PictureListWriter::titleLine() const
{
    QStringList titles;
    for (PictureColumn column : columns_)
        titles.append(pictureFields()[static_cast<std::size_t>(column)].title);
    return line(titles);
}

QString PictureListWriter::rowLine(const ValueOf& valueOf) const
{
    QStringList cells;
    for (PictureColumn column : columns_)
        cells.append(cellText(column, valueOf(column)));
    return line(cells);
}

QString PictureListWriter::line(const QStringList& fields) const
{
    const bool csv = form_ == ListTextForm::Csv;
    QString text;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(csv ? ';' : '\t');
        text += quoted(fields[i]);
    }
    return text + QLatin1String(csv ? "\r\n" : "\n");
}

// A field that holds the separator, a double quote or a line break is put in double quotes, and its
// double quotes are doubled.
QString PictureListWriter::quoted(const QString& field) const
{
    const QLatin1Char separator(form_ == ListTextForm::Csv ? ';' : '\t');
    const bool needsQuotes = field.contains(separator) || field.contains(QLatin1Char('"')) ||
                             field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return field;
    return QLatin1Char('"') + QString(field).replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QString csvFileName(QDate from, QDate till)
{
    return QStringLiteral("photoledger-%1-%2.csv")
        .arg(QString::fromLatin1(data::formatDate(from)), QString::fromLatin1(data::formatDate(till)));
}

bool writeCsv(data::Connection& connection, data::Transaction& transaction, const QByteArray& statement,
              const std::vector<PictureColumn>& columns, QIODevice& out)
{
    const PictureListWriter writer(ListTextForm::Csv, columns);
    data::Statement select(connection, transaction.handle(), statement);
    select.open(transaction.handle());
    const std::vector<int> positions = resultColumns(select.columns());
    if (!writeAll(out, ByteOrderMark + writer.titleLine().toUtf8()))
        return false;
    data::Row row;
    const auto valueOf = [&](PictureColumn column) -> const data::Value& {
        const int position = positions[static_cast<std::size_t>(column)];
        return position < 0 ? NullValue : row[static_cast<std::size_t>(position)];
    };
    while (select.fetch(row))
        if (!writeAll(out, writer.rowLine(valueOf).toUtf8()))
            return false;
    return true;
}

void saveCsvFile(const QString& path, data::Connection& connection, data::Transaction& transaction,
                 const QByteArray& statement, const std::vector<PictureColumn>& columns)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fileNotWritten(path, file.errorString());
    if (!writeCsv(connection, transaction, statement, columns, file) || !file.commit())
        fileNotWritten(path, file.errorString());
}

} // namespace browser
