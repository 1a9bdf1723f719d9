// The error box's wording and caption, and the guard that brings every handler's error to it.

#include <QCoreApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/error_box.h"
#include "data/fb_client.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"

namespace {

using platform::MessageBoxRecorder;

struct TextCase
{
    const char* name;
    QString message;
    QString shown;
};

TEST(ErrorBoxText, AppendsAPeriodOnlyAfterCharactersThatSortAfterIt)
{
    const TextCase cases[] = {
        {"latin letter", QStringLiteral("Table unknown"), QStringLiteral("Table unknown.")},
        {"cyrillic letter", QStringLiteral("Ошибка записи"), QStringLiteral("Ошибка записи.")},
        {"digit", QStringLiteral("line 12"), QStringLiteral("line 12.")},
        {"question mark sorts after", QStringLiteral("why?"), QStringLiteral("why?.")},
        {"period itself", QStringLiteral("Done."), QStringLiteral("Done.")},
        {"exclamation sorts before", QStringLiteral("Stop!"), QStringLiteral("Stop!")},
        {"closing parenthesis sorts before", QStringLiteral("(code 5)"), QStringLiteral("(code 5)")},
        {"comma sorts before", QStringLiteral("a,"), QStringLiteral("a,")},
        {"line break sorts before", QStringLiteral("text\n"), QStringLiteral("text\n")},
        {"empty message", QString(), QString()},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(app::errorBoxText(c.message), c.shown) << c.name;
}

TEST(ApplicationTitle, IsTheProgramNameUpToItsFirstPeriodWithOneCapital)
{
    const TextCase cases[] = {
        {"plain name", QStringLiteral("/opt/photoledger/photoledger"), QStringLiteral("Photoledger")},
        {"capitals and extension", QStringLiteral("C:/x/PHOTOLEDGER.EXE"), QStringLiteral("Photoledger")},
        {"cut at the first period", QStringLiteral("/x/Photo.Ledger.bin"), QStringLiteral("Photo")},
        {"mixed case", QStringLiteral("/x/pHoToLeDgEr"), QStringLiteral("Photoledger")},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(app::applicationTitle(c.message), c.shown) << c.name;
}

TEST(ErrorBox, ShowsTheTextUnderTheApplicationTitleWithTheErrorIconAndOk)
{
    MessageBoxRecorder boxes;
    app::showErrorBox(QStringLiteral("Файл не найден"));

    ASSERT_EQ(boxes.requests().size(), 1u);
    const platform::MessageBoxRequest& box = boxes.requests().front();
    EXPECT_EQ(box.text, QStringLiteral("Файл не найден."));
    EXPECT_EQ(box.caption, app::applicationTitle(QCoreApplication::applicationFilePath()));
    EXPECT_EQ(box.caption, QStringLiteral("App_test"));
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

// A receiver whose handlers fail the way the program's handlers can.
class FailingReceiver : public QObject
{
public:
    void failWithDatabaseError() { throw data::DbError("Table unknown PICTURE"); }
    void failWithSomethingElse() { throw 42; }
    int calls = 0;
    void count(bool checked) { calls += checked ? 10 : 1; }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("unhandled in an event handler");
        return QObject::event(event);
    }
};

TEST(GuardedHandlers, AConnectedHandlersErrorGoesToTheErrorBoxAndTheNextActionRuns)
{
    MessageBoxRecorder boxes;
    QPushButton button;
    button.setCheckable(true);
    FailingReceiver receiver;
    platform::connectGuarded(&button, &QPushButton::clicked, &receiver,
                             &FailingReceiver::failWithDatabaseError);
    platform::connectGuarded(&button, &QPushButton::clicked, &receiver, &FailingReceiver::count);

    button.click();
    button.click();

    ASSERT_EQ(boxes.requests().size(), 2u);
    EXPECT_EQ(boxes.requests()[0].text, QStringLiteral("Table unknown PICTURE."));
    EXPECT_EQ(receiver.calls, 11) << "the second handler still runs, with the signal's argument";
}

TEST(GuardedHandlers, AnErrorOfNoKnownTypeIsStillReported)
{
    MessageBoxRecorder boxes;
    FailingReceiver receiver;
    EXPECT_FALSE(platform::guarded([&] { receiver.failWithSomethingElse(); }));
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_FALSE(boxes.requests()[0].text.isEmpty());
}

TEST(GuardedHandlers, TheApplicationReportsAnErrorThatAnEventHandlerLetThrough)
{
    MessageBoxRecorder boxes;
    FailingReceiver receiver;
    QEvent event(QEvent::User);

    EXPECT_FALSE(QCoreApplication::sendEvent(&receiver, &event));

    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].text, QStringLiteral("unhandled in an event handler."));
}

} // namespace
