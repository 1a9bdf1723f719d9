#include "browser/diagram_text.h"

#include <stdexcept>

#include "data/dataset.h"
#include "data/value.h"

namespace browser {

QStringList splitDiagramText(const QString& text)
{
    QString items = text;
    items.replace(QLatin1Char('#'), QStringLiteral(",#"));
    return items.split(QLatin1Char(','));
}

DiagramToken readDiagramToken(const QString& token)
{
    if (token.isEmpty())
        return {};
    const bool gap = token.startsWith(QLatin1Char('#'));
    const QString number = gap ? token.mid(1) : token;
    bool whole = false;
    const qint64 value = number.toLongLong(&whole);
    if (!whole)
        throw std::runtime_error("'" + number.toStdString() + "' is not a valid integer value");
    return {gap ? DiagramToken::Kind::Gap : DiagramToken::Kind::Day, value};
}

QByteArray diagramStatement(qint64 pictureId, QDate from, QDate till)
{
    return "select IDPICTURE, \"DIAGRAM\" from DIAGRAM(" + QByteArray::number(pictureId) + ", '" +
           data::formatDate(from) + "', '" + data::formatDate(till) + "')";
}

std::optional<QString> readDiagramText(data::Query& query, qint64 pictureId, QDate from, QDate till)
{
    query.setText(diagramStatement(pictureId, from, till));
    query.open();
    if (query.eof())
        return std::nullopt;
    return QString::fromLatin1(query.field("DIAGRAM").asText());
}

} // namespace browser
