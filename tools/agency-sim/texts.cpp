#include "tools/agency-sim/texts.h"

#include "tools/agency-sim/random.h"

#include <array>
#include <string_view>

namespace agencysim {

namespace {

constexpr std::uint64_t TitleStream = 0x7469746c65;
constexpr std::uint64_t KeywordStream = 0x6b6579776f7264;
constexpr std::size_t LongTitleLimit = 480;

constexpr std::array<std::string_view, 16> Adjectives = {
    "Red",    "Golden", "Quiet", "Old",     "Fresh", "Misty", "Bright",  "Wooden",
    "Frozen", "Tiny",   "Happy", "Ancient", "Urban", "Wild",  "Vintage", "Colorful"};

constexpr std::array<std::string_view, 16> Nouns = {
    "apple",  "lighthouse", "bridge",      "cat",    "coffee cup",  "mountain lake", "bicycle",  "sunflower",
    "harbor", "violin",     "forest path", "teapot", "city street", "horse",         "sailboat", "pumpkin"};

constexpr std::array<std::string_view, 10> Places = {
    "at sunset",  "in the fog",      "on a wooden table",   "in winter", "under the rain",
    "by the sea", "in the old town", "on white background", "at night",  "in spring"};

// Windows-1251 bytes, as the agency's pages carry them.
constexpr std::array<std::string_view, 12> CyrillicPhrases = {
    "\xC7\xE8\xEC\xED\xE8\xE9 \xEB\xE5\xF1",                              // Зимний лес
    "\xD1\xF2\xE0\xF0\xFB\xE9 \xEC\xEE\xF1\xF2",                          // Старый мост
    "\xCC\xEE\xF1\xEA\xEE\xE2\xF1\xEA\xE8\xE9 \xE4\xE2\xEE\xF0\xE8\xEA",  // Московский дворик
    "\xC1\xE5\xF0\xB8\xE7\xEE\xE2\xE0\xFF \xF0\xEE\xF9\xE0",              // Берёзовая роща
    "\xCE\xF1\xE5\xED\xED\xE8\xE9 \xEF\xE0\xF0\xEA",                      // Осенний парк
    "\xCA\xEE\xF2 \xED\xE0 \xEF\xEE\xE4\xEE\xEA\xEE\xED\xED\xE8\xEA\xE5", // Кот на подоконнике
    "\xC4\xE5\xF0\xE5\xE2\xFF\xED\xED\xE0\xFF \xF6\xE5\xF0\xEA\xEE\xE2\xFC", // Деревянная церковь
    "\xD0\xE5\xEA\xE0 \xED\xE0 \xF0\xE0\xF1\xF1\xE2\xE5\xF2\xE5",            // Река на рассвете
    "\xD7\xE0\xF8\xEA\xE0 \xF7\xE0\xFF",                                     // Чашка чая
    "\xCB\xE5\xF2\xED\xE8\xE9 \xEB\xF3\xE3",                                 // Летний луг
    "\xCC\xE0\xFF\xEA \xF3 \xEC\xEE\xF0\xFF",                                // Маяк у моря
    "\xCD\xEE\xF7\xED\xEE\xE9 \xE3\xEE\xF0\xEE\xE4",                         // Ночной город
};

constexpr std::array<std::string_view, 5> CyrillicPlaces = {
    "\xE7\xE8\xEC\xEE\xE9",                      // зимой
    "\xED\xE0 \xE7\xE0\xEA\xE0\xF2\xE5",         // на закате
    "\xE2 \xF2\xF3\xEC\xE0\xED\xE5",             // в тумане
    "\xEB\xE5\xF2\xEE\xEC",                      // летом
    "\xEF\xEE\xF1\xEB\xE5 \xE4\xEE\xE6\xE4\xFF", // после дождя
};

constexpr std::string_view OpeningGuillemet = "\xAB"; // «
constexpr std::string_view ClosingGuillemet = "\xBB"; // »

// 61 entries (a prime), so that any stride from 1 to 60 visits distinct keywords.
constexpr std::array<std::string_view, 61> Keywords = {
    "nature", "landscape", "travel",       "summer",   "winter",  "autumn",     "spring",          "sky",
    "water",  "sea",       "beach",        "mountain", "forest",  "tree",       "flower",          "garden",
    "city",   "street",    "architecture", "building", "old",     "vintage",    "retro",           "color",
    "red",    "blue",      "green",        "yellow",   "light",   "sunset",     "morning",         "night",
    "animal", "cat",       "dog",          "horse",    "bird",    "food",       "fruit",           "apple",
    "coffee", "tea",       "cup",          "table",    "wood",    "background", "texture",         "closeup",
    "macro",  "isolated",  "children's",   "family",   "holiday", "christmas",  "rock &amp; roll", "music",
    "violin", "boat",      "harbor",       "bridge",   "river"};

template <typename Table> std::string pick(Draws& draws, const Table& table)
{
    return std::string(table[static_cast<std::size_t>(draws.below(static_cast<int>(table.size())))]);
}

std::string plainTitle(Draws& d)
{
    return pick(d, Adjectives) + " " + pick(d, Nouns) + " " + pick(d, Places);
}
std::string cyrillicTitle(Draws& d)
{
    return pick(d, CyrillicPhrases) + " " + pick(d, CyrillicPlaces);
}

// A panorama description of clauses until it is somewhere between 300 and 480 bytes long.
std::string longTitle(Draws& d)
{
    const std::size_t wanted = 300 + static_cast<std::size_t>(d.below(180));
    std::string title = "Panorama of " + plainTitle(d);
    for (;;) {
        std::string clause =
            ", with " + std::string(Nouns[static_cast<std::size_t>(d.below(16))]) + " " + pick(d, Places);
        if (title.size() >= wanted || title.size() + clause.size() > LongTitleLimit)
            return title;
        title += clause;
    }
}

std::string hostileTitle(Draws& d, int variant)
{
    switch (variant) {
    case 0:
        return "Children's " + pick(d, Nouns) + " " + pick(d, Places);
    case 1:
        return pick(d, Adjectives) + " " + pick(d, Nouns) + " at St. John's";
    case 2:
        return "&quot;" + pick(d, Adjectives) + "&quot; " + pick(d, Nouns) + " " + pick(d, Places);
    case 3:
        return "The &quot;Queen's&quot; " + pick(d, Nouns);
    case 4:
        return pick(d, Nouns) + " &amp; " + pick(d, Nouns) + " " + pick(d, Places);
    case 5:
        return "Arrow -&gt; " + pick(d, Nouns) + " &lt;3";
    case 6:
        return pick(d, Adjectives) + " " + pick(d, Nouns) + "'); DROP TABLE PICTURES; --";
    case 7:
        return std::string(OpeningGuillemet) + pick(d, CyrillicPhrases) + std::string(ClosingGuillemet) +
               " " + pick(d, CyrillicPlaces);
    default:
        return "100% " + pick(d, Nouns) + " \\ " + pick(d, Nouns);
    }
}

} // namespace

std::string pictureTitle(std::uint64_t seed, std::int64_t pictureId)
{
    Draws draws(hashOf({seed, TitleStream, static_cast<std::uint64_t>(pictureId)}));
    const int roll = draws.below(100);
    if (roll < 55)
        return plainTitle(draws);
    if (roll < 67)
        return cyrillicTitle(draws);
    if (roll < 94)
        return hostileTitle(draws, (roll - 67) / 3);
    return longTitle(draws);
}

std::string pictureKeywords(std::uint64_t seed, std::int64_t pictureId)
{
    Draws draws(hashOf({seed, KeywordStream, static_cast<std::uint64_t>(pictureId)}));
    const int count = draws.between(7, 45);
    const int size = static_cast<int>(Keywords.size());
    const int stride = draws.between(1, size - 1);
    int index = draws.below(size);
    std::string keywords;
    for (int i = 0; i < count; ++i, index = (index + stride) % size) {
        if (i > 0)
            keywords += ", ";
        keywords += Keywords[static_cast<std::size_t>(index)];
    }
    return keywords;
}

} // namespace agencysim
