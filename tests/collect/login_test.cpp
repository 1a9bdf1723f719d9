#include <gtest/gtest.h>

#include <QList>

#include "collect/login.h"
#include "tests/collection/recording_context.h"

using collect::StartPageSign;

namespace {

// Answers the prompt as told and records what was asked and opened.
class AnsweringContext : public collection_tests::RecordingContext
{
public:
    explicit AnsweringContext(bool answer) : answer(answer) {}

    bool askYesNo(const QString& caption, const QString& text) override
    {
        questions.append({caption, text});
        return answer;
    }
    void openUrl(const QByteArray& address) override { opened.append(address); }

    bool answer;
    QList<std::pair<QString, QString>> questions;
    QList<QByteArray> opened;
};

const QString PromptText = QStringLiteral(u"Необходимо в браузере войти в свой аккаунт на фотобанке.\n\r"
                                          u"Вы можете запустить браузер сами или запустить его из этой программы.\n\r"
                                          u"Запустить браузер?");

} // namespace

TEST(Login, StartPageSigns)
{
    const struct
    {
        QByteArray text;
        StartPageSign sign;
    } cases[] = {
        {"<form action=\"/login.mhtml\">", StartPageSign::LoginRequired},
        {"<a href=\"/stats.mhtml\"></a><a href=\"/login.mhtml\">", StartPageSign::LoginRequired},
        {"<a href=\"/stats.mhtml\">Statistics</a>", StartPageSign::LoggedIn},
        {"<form action=\"/LOGIN.MHTML\"><a href=\"/STATS.MHTML\">", StartPageSign::Unknown},
        {"", StartPageSign::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(collect::startPageSign(c.text), c.sign) << c.text.constData();
    EXPECT_FALSE(collect::isLoginPage("<a href=\"/LOGIN.MHTML\">"));
}

TEST(Login, PromptAsksAndOpensTheAddressOnYes)
{
    AnsweringContext yes(true);
    EXPECT_TRUE(collect::showLoginPrompt(yes, "http://127.0.0.1:8080/stats.mhtml"));
    ASSERT_EQ(yes.questions.size(), 1);
    EXPECT_EQ(yes.questions[0].first, QStringLiteral(u"Ошибка"));
    EXPECT_EQ(yes.questions[0].second, PromptText);
    EXPECT_EQ(yes.opened, QList<QByteArray>{"http://127.0.0.1:8080/stats.mhtml"});

    AnsweringContext no(false);
    EXPECT_FALSE(collect::showLoginPrompt(no, "http://127.0.0.1:8080/stats.mhtml"));
    EXPECT_EQ(no.questions.size(), 1);
    EXPECT_TRUE(no.opened.isEmpty());
}
