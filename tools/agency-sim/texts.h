#pragma once

#include <cstdint>
#include <string>

namespace agencysim {

// A picture's title and keywords exactly as the agency's pages write them: Windows-1251 bytes,
// HTML-escaped for an attribute (&quot; &amp; &lt; &gt;; apostrophes stand as they are), single blanks,
// nothing to trim. They never contain a marker that the page readers look for.
// Mostly plain English; some Cyrillic, some with apostrophes, quotes, ampersands or SQL-looking text,
// and some very long ones (up to 480 bytes: still within the database's 500-character title).
std::string pictureTitle(std::uint64_t seed, std::int64_t pictureId);

// 7 to 45 distinct keywords joined by ", " (at most about 700 bytes).
std::string pictureKeywords(std::uint64_t seed, std::int64_t pictureId);

} // namespace agencysim
