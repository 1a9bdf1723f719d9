#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "browser/diagram_text.h"

using browser::DiagramToken;
using browser::readDiagramToken;
using browser::splitDiagramText;

namespace {

// The tokens in a short form: "" empty, "d3" a day with 3 downloads, "g12" a gap of 12 days.
std::vector<std::string> readAll(const char* text)
{
    std::vector<std::string> tokens;
    for (const QString& token : splitDiagramText(QString::fromLatin1(text))) {
        const DiagramToken read = readDiagramToken(token);
        const char* kind = read.kind == DiagramToken::Kind::Gap   ? "g"
                           : read.kind == DiagramToken::Kind::Day ? "d"
                                                                  : "";
        tokens.push_back(*kind ? kind + std::to_string(read.value) : std::string());
    }
    return tokens;
}

} // namespace

TEST(DiagramText, TokensKeepTheirNumbersAndAGapAlwaysOpensAnItem)
{
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {"#12,3,1,#5,2", {"", "g12", "d3", "d1", "", "g5", "d2"}},
        {"3#5,2", {"d3", "g5", "d2"}},
        {"#3,2,#2,4", {"", "g3", "d2", "", "g2", "d4"}},
        {"", {""}},
        {"7", {"d7"}},
        {"#2000000000,1", {"", "g2000000000", "d1"}},
        {"5000000000", {"d5000000000"}},
    };
    for (const auto& [text, tokens] : cases)
        EXPECT_EQ(readAll(text), tokens) << text;
}

TEST(DiagramText, ATokenThatIsNoWholeNumberIsAnErrorNamingIt)
{
    for (const char* token : {"x", "#", "#a", "1.5", "99999999999999999999"}) {
        try {
            readDiagramToken(QString::fromLatin1(token));
            ADD_FAILURE() << token << " was read";
        } catch (const std::runtime_error& error) {
            const QString number = QString::fromLatin1(token).remove(QLatin1Char('#'));
            EXPECT_NE(std::string(error.what()).find("'" + number.toStdString() + "'"), std::string::npos)
                << error.what();
        }
    }
}

TEST(DiagramText, StatementNamesTheWholePictureIdAndThePeriod)
{
    EXPECT_EQ(browser::diagramStatement(3'000'000'123LL, QDate(2009, 3, 1), QDate(2010, 1, 31)),
              QByteArray("select IDPICTURE, \"DIAGRAM\" from DIAGRAM(3000000123, '01.03.2009', '31.01.2010')"));
}
