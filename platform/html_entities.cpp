#include "platform/html_entities.h"

#include <QHash>
#include <QStringView>

#include <array>
#include <cctype>
#include <optional>

#include "platform/win1251.h"

namespace platform {
namespace {

// The names of code points 160 to 255, in order.
constexpr std::array<const char*, 96> latin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedCharacter
{
    const char* name;
    char32_t codePoint;
};

constexpr NamedCharacter otherNames[] = {
    {"quot", 34},     {"amp", 38},      {"apos", 39},     {"lt", 60},       {"gt", 62},
    {"OElig", 338},   {"oelig", 339},   {"Scaron", 352},  {"scaron", 353},  {"Yuml", 376},
    {"fnof", 402},    {"circ", 710},    {"tilde", 732},   {"ensp", 8194},   {"emsp", 8195},
    {"thinsp", 8201}, {"zwnj", 8204},   {"zwj", 8205},    {"lrm", 8206},    {"rlm", 8207},
    {"ndash", 8211},  {"mdash", 8212},  {"lsquo", 8216},  {"rsquo", 8217},  {"sbquo", 8218},
    {"ldquo", 8220},  {"rdquo", 8221},  {"bdquo", 8222},  {"dagger", 8224}, {"Dagger", 8225},
    {"bull", 8226},   {"hellip", 8230}, {"permil", 8240}, {"prime", 8242},  {"Prime", 8243},
    {"lsaquo", 8249}, {"rsaquo", 8250}, {"oline", 8254},  {"frasl", 8260},  {"euro", 8364},
    {"trade", 8482},  {"larr", 8592},   {"uarr", 8593},   {"rarr", 8594},   {"darr", 8595},
    {"harr", 8596},   {"minus", 8722},  {"infin", 8734},  {"asymp", 8776},  {"ne", 8800},
    {"le", 8804},     {"ge", 8805},     {"hearts", 9829}};

} // namespace

const QHash<QString, char32_t>& htmlNamedCharacters()
{
    static const QHash<QString, char32_t> table = [] {
        QHash<QString, char32_t> names;
        for (std::size_t i = 0; i < latin1Names.size(); ++i)
            names.insert(QString::fromLatin1(latin1Names[i]), char32_t(160 + i));
        for (const NamedCharacter& named : otherNames)
            names.insert(QString::fromLatin1(named.name), named.codePoint);
        return names;
    }();
    return table;
}

namespace {

bool isCharacter(char32_t codePoint)
{
    return codePoint > 0 && codePoint <= 0x10FFFF && !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
}

std::optional<char32_t> numericReference(QStringView digits)
{
    const bool hex = digits.startsWith(u'x') || digits.startsWith(u'X');
    if (hex)
        digits = digits.mid(1);
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    for (QChar c : digits) // toUInt would also take signs and blanks
        if (c.unicode() > 127 || !(hex ? isxdigit(c.unicode()) : isdigit(c.unicode())))
            return std::nullopt;
    const uint codePoint = digits.toUInt(nullptr, hex ? 16 : 10);
    if (!isCharacter(codePoint))
        return std::nullopt;
    return char32_t(codePoint);
}

// The character of the reference body between "&" and ";", if it is one.
std::optional<char32_t> referencedCharacter(QStringView body)
{
    if (body.startsWith(u'#'))
        return numericReference(body.mid(1));
    const auto& names = htmlNamedCharacters();
    const auto found = names.constFind(body.toString());
    if (found == names.constEnd())
        return std::nullopt;
    return *found;
}

// References are short; a ";" further away belongs to other text.
constexpr qsizetype longestReferenceBody = 10;

} // namespace

QString decodeHtmlEntities(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    QString decoded;
    decoded.reserve(text.size());
    qsizetype position = 0;
    while (position < text.size()) {
        const qsizetype ampersand = text.indexOf(u'&', position);
        if (ampersand < 0)
            break;
        decoded.append(QStringView(text).mid(position, ampersand - position));
        const qsizetype semicolon = text.indexOf(u';', ampersand + 1);
        const std::optional<char32_t> character =
            semicolon > ampersand + 1 && semicolon - ampersand - 1 <= longestReferenceBody
                ? referencedCharacter(QStringView(text).mid(ampersand + 1, semicolon - ampersand - 1))
                : std::nullopt;
        if (character) {
            decoded.append(QString::fromUcs4(&*character, 1));
            position = semicolon + 1;
        } else {
            decoded.append(u'&');
            position = ampersand + 1;
        }
    }
    decoded.append(QStringView(text).mid(position));
    return decoded;
}

QString readableText(const QByteArray& win1251)
{
    return decodeHtmlEntities(fromWin1251(win1251));
}

} // namespace platform
