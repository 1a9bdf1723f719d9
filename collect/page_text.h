#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Values cut out of page texts by markers.
namespace collect {

// The piece of text between the first start marker and the next end marker after it, with
// characters of codes 0 to 32 trimmed from both ends. Markers match without regard to the case of
// ASCII letters; the piece keeps its case. An empty end marker means to the end of the text. A
// missing start or end marker gives an empty text; never fails.
QByteArray ExtractBetween(QByteArrayView text, QByteArrayView startMarker, QByteArrayView endMarker);

// The text read as a whole decimal number (an optional sign and up to 18 digits, nothing else), or
// fallback when it is none.
qint64 wholeNumberOr(QByteArrayView text, qint64 fallback);

} // namespace collect
