#include "collect/page_text.h"

#include "platform/ascii_text.h"

namespace collect {

QByteArray ExtractBetween(QByteArrayView text, QByteArrayView startMarker, QByteArrayView endMarker)
{
    const qsizetype start = platform::indexOfIgnoreAsciiCase(text, startMarker);
    if (start < 0)
        return {};
    QByteArrayView rest = text.sliced(start + startMarker.size());
    if (!endMarker.isEmpty()) {
        const qsizetype end = platform::indexOfIgnoreAsciiCase(rest, endMarker);
        if (end < 0)
            return {};
        rest = rest.first(end);
    }
    return platform::trimmedControl(rest).toByteArray();
}

qint64 wholeNumberOr(QByteArrayView text, qint64 fallback)
{
    const QByteArrayView digits = text.startsWith('-') || text.startsWith('+') ? text.sliced(1) : text;
    if (digits.isEmpty() || digits.size() > 18)
        return fallback;
    qint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return fallback;
        value = value * 10 + (c - '0');
    }
    return text.startsWith('-') ? -value : value;
}

} // namespace collect
