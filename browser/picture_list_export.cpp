#include "browser/picture_list_export.h"

#include <QIODevice>

#include "data/connection.h"
#include "data/statement.h"
#include "data/value.h"
#include "platform/html_entities.h"

namespace browser {

namespace {

const data::Value NullValue;

QString cellText(PictureColumn column, const data::Value& value)
{
    if (value.isNull())
        return {};
    switch (pictureFields()[static_cast<std::size_t>(column)].display) {
    case FieldDisplay::Money:
        return platform::decimalComma(value.asDouble(), 2);
    case FieldDisplay::Date:
        return QString::fromLatin1(data::formatDate(value.asDate()));
    case FieldDisplay::Painted:
        return {};
    case FieldDisplay::Plain:
        break;
    }
    if (!value.isBytes())
        return QString::fromLatin1(value.asText());
    return platform::sheetText(platform::readableText(value.asText()));
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
    return platform::sheetLine(form_, titles);
}

QString PictureListWriter::rowLine(const ValueOf& valueOf) const
{
    QStringList cells;
    for (PictureColumn column : columns_)
        cells.append(cellText(column, valueOf(column)));
    return platform::sheetLine(form_, cells);
}

QString csvFileName(QDate from, QDate till)
{
    return QStringLiteral("photoledger-%1-%2.csv")
        .arg(QString::fromLatin1(data::formatDate(from)), QString::fromLatin1(data::formatDate(till)));
}

std::optional<int> writeCsv(data::Connection& connection, data::Transaction& transaction,
                            const QByteArray& statement, const std::vector<PictureColumn>& columns,
                            QIODevice& out)
{
    const PictureListWriter writer(ListTextForm::Csv, columns);
    data::Statement select(connection, transaction.handle(), statement);
    select.open(transaction.handle());
    const std::vector<int> positions = resultColumns(select.columns());
    if (!writeAll(out, platform::Utf8ByteOrderMark + writer.titleLine().toUtf8()))
        return std::nullopt;
    data::Row row;
    const auto valueOf = [&](PictureColumn column) -> const data::Value& {
        const int position = positions[static_cast<std::size_t>(column)];
        return position < 0 ? NullValue : row[static_cast<std::size_t>(position)];
    };
    int rows = 0;
    for (; select.fetch(row); ++rows)
        if (!writeAll(out, writer.rowLine(valueOf).toUtf8()))
            return std::nullopt;
    return rows;
}

int saveCsvFile(const QString& path, data::Connection& connection, data::Transaction& transaction,
                const QByteArray& statement, const std::vector<PictureColumn>& columns)
{
    std::optional<int> rows;
    platform::saveWholeFile(path, [&](QIODevice& file) {
        rows = writeCsv(connection, transaction, statement, columns, file);
        return rows.has_value();
    });
    return rows.value_or(0);
}

} // namespace browser
