#include <gtest/gtest.h>

#include "platform/html_entities.h"

using platform::decodeHtmlEntities;

TEST(HtmlEntities, DecodesReferencesAndLeavesMalformedOnesAsTheyStand)
{
    struct Case
    {
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {"teapot &amp; sailboat", "teapot & sailboat"},
        {"&quot;Queen's&quot;", "\"Queen's\""},
        {"&#1058;&#x0435;&#X441;t", "Тесt"},
        {"&lt;b&gt; &apos;x&apos; &nbsp;|&copy;&eacute;&mdash;&euro;", "<b> 'x' \u00A0|©é—€"},
        {"&amp;amp;", "&amp;"},                        // decoded once, not twice
        {"fish &amp chips", "fish &amp chips"},         // no ";"
        {"AT&T; R&D", "AT&T; R&D"},                     // unknown names
        {"&AMP; &Amp;", "&AMP; &Amp;"},                 // names are case-sensitive
        {"&#; &#x; &#-65; &# 65; &#+65;", "&#; &#x; &#-65; &# 65; &#+65;"},
        {"&#0; &#xD800; &#x110000; &#99999999999;", "&#0; &#xD800; &#x110000; &#99999999999;"},
        {"&#12a; &#xZ1;", "&#12a; &#xZ1;"},
        {"&&amp;;", "&&;"},
        {"& ; &; ;&", "& ; &; ;&"},
        {"trailing &", "trailing &"},
        {"&#128512;", "\U0001F600"},
        {"a &verylongnamethatisnot; b", "a &verylongnamethatisnot; b"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeHtmlEntities(QString::fromUtf8(c.stored)), QString::fromUtf8(c.shown)) << c.stored;
}
