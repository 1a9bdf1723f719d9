// The about box: its size and place, the text carried over from Memo1, and the two ways to close it.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include "app/about_box.h"
#include "platform/click_label.h"
#include "tests/app/gui_test_support.h"

namespace {

TEST(AboutBox, IsCentredOnTheScreenWhenShown)
{
    app::TfmAbout box;
    box.move(0, 0);
    box.show();
    EXPECT_EQ(box.size(), QSize(335, 266));
    EXPECT_EQ(box.frameGeometry().center(), box.screen()->availableGeometry().center());
}

TEST(AboutBox, ShowsTheHiddenMemosLinesInTheLabel)
{
    app::TfmAbout box;
    EXPECT_TRUE(box.Label1->text().isEmpty());
    box.show();

    EXPECT_FALSE(box.Memo1->isVisible());
    EXPECT_TRUE(box.Label1->wordWrap());
    EXPECT_EQ(box.Label1->text(), box.Memo1->toPlainText());
    EXPECT_TRUE(box.Label1->text().contains(QStringLiteral("1.1.9")));
    EXPECT_GT(box.Label1->text().count(QLatin1Char('\n')), 2) << "several paragraphs";
    for (const char* address : {"http", "www.", "@"})
        EXPECT_FALSE(box.Label1->text().contains(QLatin1String(address))) << address;
}

TEST(AboutBox, ClosesOnOkAndOnAClickOnTheText)
{
    app::TfmAbout box;
    const std::pair<const char*, QWidget*> closers[] = {{"OK", box.Button1}, {"text", box.Label1}};
    for (const auto& [name, closer] : closers) {
        box.show();
        ASSERT_TRUE(box.isVisible()) << name;
        app_tests::click(closer);
        EXPECT_FALSE(box.isVisible()) << name;
    }
}

} // namespace
