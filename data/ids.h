#pragma once

#include <QByteArray>

namespace data {

// True when the text is one or more ASCII decimal digits and nothing else.
bool isDecimalId(const QByteArray& text);

// Ids taken from web pages become SQL literals and file names: anything but a whole decimal number
// is refused with DbError ("what" names the id in the message) before it gets near either.
const QByteArray& requireDecimalId(const QByteArray& text, const char* what);

} // namespace data
