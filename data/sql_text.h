#pragma once

#include <QByteArray>

namespace data {

// The text with every "'" doubled, so that it stays inside a single-quoted SQL literal.
inline QByteArray doubledQuotes(const QByteArray& text)
{
    return QByteArray(text).replace('\'', "''");
}

// A page's money text as the fields read it: empty becomes 0, the decimal point the decimal comma.
inline QByteArray moneyToField(const QByteArray& money)
{
    if (money.isEmpty())
        return "0";
    QByteArray converted = money;
    const qsizetype point = converted.indexOf('.');
    if (point >= 0)
        converted[point] = ',';
    return converted;
}

} // namespace data
