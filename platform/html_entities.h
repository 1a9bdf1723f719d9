#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace platform {

// Titles and keywords are stored as the agency's pages give them, with HTML character references
// ("&amp;", "&quot;", "&#1058;", "&#x422;"). This is the text a person reads: named references of
// HTML 4 and numeric ones decoded; a reference without its ";", an unknown name or a number that is
// no character stays as it stands.
QString decodeHtmlEntities(const QString& text);

// A stored Windows-1251 title or keyword text as a person reads it.
QString readableText(const QByteArray& win1251);

// The named references that decodeHtmlEntities knows, with their code points.
const QHash<QString, char32_t>& htmlNamedCharacters();

} // namespace platform
