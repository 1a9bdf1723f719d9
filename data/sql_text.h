#pragma once

#include <QByteArray>

namespace data {

// The text with every "'" doubled, so that it stays inside a single-quoted SQL literal.
inline QByteArray doubledQuotes(const QByteArray& text)
{
    return QByteArray(text).replace('\'', "''");
}

} // namespace data
