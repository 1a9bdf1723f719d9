#include "browser/diagram_text.h"

#include <stdexcept>

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

} // namespace browser
