#include "platform/ascii_text.h"

#include <algorithm>
#include <functional>

namespace platform {
namespace {

struct FoldedEqual
{
    bool operator()(char a, char b) const { return asciiLower(a) == asciiLower(b); }
};

struct FoldedHash
{
    std::size_t operator()(char c) const { return std::hash<char>{}(asciiLower(c)); }
};

bool isControlOrBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

bool equalsIgnoreAsciiCase(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), FoldedEqual{});
}

qsizetype indexOfIgnoreAsciiCase(QByteArrayView text, QByteArrayView needle, qsizetype from)
{
    if (from < 0 || from > text.size())
        return -1;
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end(), FoldedHash{},
                                                      FoldedEqual{});
    const auto found = std::search(text.begin() + from, text.end(), searcher);
    if (found == text.end() && !needle.isEmpty())
        return -1;
    return found - text.begin();
}

QByteArrayView trimmedControl(QByteArrayView text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), isControlOrBlank);
    const auto last = std::find_if_not(text.rbegin(), std::make_reverse_iterator(first), isControlOrBlank);
    return QByteArrayView(first, last.base());
}

} // namespace platform
