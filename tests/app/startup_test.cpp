// Start-up and program end: the order of creation, an unreachable database, the final commit, and a
// collection run from the menu that the main list shows.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include "app/about_box.h"
#include "app/error_box.h"
#include "app/main_window.h"
#include "app/program.h"
#include "browser/folder_panel.h"
#include "browser/picture_list_model.h"
#include "browser/picture_list_panel.h"
#include "collect/explorer_window.h"
#include "data/dm.h"
#include "platform/ini_file.h"
#include "platform/message_box.h"
#include "platform/password_dialog.h"
#include "tests/collection/collection_fixture.h"
#include "tests/support/firebird_server.h"
#include "tests/support/temp_database.h"
#include "tools/agency-sim/calendar.h"

namespace {

// What the engine says when the database file beside the program cannot be opened.
QString engineMessageForMissingFile(const QString& path)
{
    data::Connection connection;
    connection.setDatabaseName(path.toStdString());
    try {
        connection.connect();
    } catch (const data::DbError& e) {
        return QString::fromUtf8(e.what());
    }
    ADD_FAILURE() << "the engine opened " << path.toStdString();
    return {};
}

TEST(StartUp, WithoutADatabaseFileShowsTheEnginesMessageTwiceAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString databasePath = dir.path() + QStringLiteral("/PHOTOLEDGER.GDB");
    const QString expected = app::errorBoxText(engineMessageForMissingFile(databasePath));
    platform::MessageBoxRecorder boxes;
    {
        app::Program program(dir.path());
        ASSERT_TRUE(program.started()) << "start-up goes on unconnected";
        ASSERT_EQ(boxes.requests().size(), 1u);
        EXPECT_EQ(boxes.requests()[0].text, expected);
        EXPECT_EQ(data::Starting, 1);
        EXPECT_FALSE(data::dm->IBDatabase1.connected());
        EXPECT_NE(app::fmAbout, nullptr);

        app::fmMain->show();
        ASSERT_EQ(boxes.requests().size(), 2u) << "the first show connects again";
        EXPECT_EQ(boxes.requests()[1].text, expected);
        EXPECT_EQ(data::Starting, 0);
        app::fmMain->close();
    }
    EXPECT_EQ(boxes.requests().size(), 2u);
    EXPECT_FALSE(QFile::exists(databasePath));
    EXPECT_EQ(data::dm, nullptr);
    EXPECT_EQ(app::fmMain, nullptr);
}

class StartUpWithDatabase : public ::testing::Test
{
protected:
    test_support::TempDatabase db;
    platform::MessageBoxRecorder boxes;

    void insertUncommittedRow()
    {
        data::dm->qrExecute.setText(
            "insert into CALENDAR (\"DATE\", WEEK_NUM, DOW) values ('01.01.2005', 53, 'x')");
        data::dm->qrExecute.execute();
    }

    qint64 committedRows()
    {
        db.dm().Transaction.commit();
        db.dm().qrExecute.setText("select count(*) from CALENDAR");
        db.dm().qrExecute.open();
        return db.dm().qrExecute.field(0).asInt64();
    }
};

TEST_F(StartUpWithDatabase, ConnectsCreatesTheWindowsInOrderAndOpensTheAboutBoxAndTheChartFromTheMenu)
{
    app::Program program(db.appDir());
    ASSERT_TRUE(program.started());
    EXPECT_NE(data::dm, &db.dm());
    EXPECT_EQ(data::dm->appDir(), db.appDir());
    EXPECT_TRUE(data::dm->IBDatabase1.connected());
    EXPECT_TRUE(data::dm->Transaction.inTransaction());
    EXPECT_EQ(app::fmMain->AppDir, db.appDir());

    app::fmMain->show();
    EXPECT_EQ(data::Starting, 0);

    const std::pair<QAction*, QWidget*> menuWindows[] = {{app::fmMain->N101, app::fmAbout},
                                                         {app::fmMain->N10, app::fmGraph}};
    for (const auto& [item, window] : menuWindows) {
        ASSERT_NE(window, nullptr);
        QWidget* shownModally = nullptr;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            shownModally = QApplication::activeModalWidget();
            if (shownModally)
                shownModally->close();
        });
        item->trigger();
        EXPECT_EQ(shownModally, window) << item->text().toStdString();
    }
    EXPECT_EQ(app::fmGraph->objectName(), QStringLiteral("fmGraph"));
    EXPECT_EQ(data::dm->qrExecute.text(),
              QByteArray("select COUNT_SALES, SUM_SALES, SUM_ONDEMAND, SUM_ENHANCED, "
                         "DATE_SALES  from GRAPH"))
        << "the chart window drew on its showing";
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(StartUpWithDatabase, ProgramEndCommitsTheRunningTransaction)
{
    {
        app::Program program(db.appDir());
        insertUncommittedRow();
    }
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_EQ(committedRows(), 1);
}

// The program started on its own start-up path in a program directory whose conf.ini names a
// simulated agency.
class ProgramOnAnAgency : public collection_tests::CollectionTest
{
protected:
    void SetUp() override
    {
        startAgency();
        configureProgramDir();
    }

    static QList<qint64> mainListIds()
    {
        browser::PictureListModel* model = app::fmMain->pictureList->model();
        model->fetchAll();
        QList<qint64> ids;
        for (int row = 0; row < model->rowCount(); ++row)
            ids.append(model->valueAt(row, browser::ColIdPicture).asInt64());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    platform::MessageBoxRecorder boxes;
};

TEST_F(ProgramOnAnAgency, ASalesRunFromTheMenuShowsTheNewPicturesInTheMainList)
{
    const agencysim::Day day = portfolio().saleDays(*agencysim::parseIsoMonth("2008-04")).front();
    QList<qint64> sold;
    for (const agencysim::DaySale& sale : portfolio().expectedSales(day))
        sold.append(sale.pictureId);
    std::sort(sold.begin(), sold.end());

    app::Program program(db.appDir());
    ASSERT_TRUE(program.started());
    app::fmMain->show();
    app::fmMain->folderPanel->SelectFolderNode(-1);
    ASSERT_TRUE(mainListIds().isEmpty());

    // Inside the collection window's modal loop: wait for its login check to enable "Продажи", run the
    // day's collection with it, and close the window, as a user does.
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto* explorer = static_cast<collect::TfmExplorer*>(app::fmExplorer);
        EXPECT_TRUE(QTest::qWaitFor([&] { return explorer->btUpdateSales->isEnabled(); }, 20'000));
        for (QListWidgetItem* month :
             explorer->chListMonth->findItems(QStringLiteral("2008-04"), Qt::MatchExactly))
            month->setCheckState(Qt::Checked);
        const QString dayRow = QString::fromLatin1(collection_tests::isoDay(day).mid(8, 2));
        for (QListWidgetItem* dayItem : explorer->chListDay->findItems(dayRow, Qt::MatchExactly))
            dayItem->setCheckState(Qt::Checked);
        QTest::mouseClick(explorer->btUpdateSales, Qt::LeftButton);
        explorer->close();
    });
    app::fmMain->N3->trigger();

    ASSERT_FALSE(boxes.requests().empty());
    EXPECT_EQ(boxes.requests().back().text, QStringLiteral("Обновлено!"));
    EXPECT_EQ(mainListIds(), sold);
}

// A desktop session that ends during a sales run: the run is cancelled as "Отменить" would, the main
// window closes and saves the settings, and the program ends normally once the run is over.
TEST_F(ProgramOnAnAgency, ASignalDuringASalesRunCancelsItAndEndsTheProgram)
{
    app::Program program(db.appDir());
    ASSERT_TRUE(program.started());
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        QTimer::singleShot(0, &context, [&] {
            auto* explorer = static_cast<collect::TfmExplorer*>(app::fmExplorer);
            EXPECT_TRUE(QTest::qWaitFor([&] { return explorer->btUpdateSales->isEnabled(); }, 20'000));
            for (QListWidgetItem* month :
                 explorer->chListMonth->findItems(QStringLiteral("2008-"), Qt::MatchStartsWith))
                month->setCheckState(Qt::Checked);
            QTimer::singleShot(0, &context, [] { ::raise(SIGTERM); });
            QTest::mouseClick(explorer->btUpdateSales, Qt::LeftButton);
        });
        app::fmMain->N3->trigger();
    });
    EXPECT_EQ(program.run(), 0);
    EXPECT_FALSE(app::fmExplorer->isVisible());
    for (const platform::MessageBoxRequest& box : boxes.requests())
        EXPECT_NE(box.text, QStringLiteral("Обновлено!")) << "the run was cancelled";
    EXPECT_EQ(platform::IniFile(db.appDir() + QStringLiteral("/conf.ini")).sections().size(), 4)
        << "Agency, PicGrid, MainForm, UpdateForm";
}

// The program on a database server, another process collecting into the same database: the password
// is asked for again after the server's refusal, and the main list shows what the collector stored.
TEST_F(ProgramOnAnAgency, OnAServerAsksAgainForARefusedPasswordAndListsWhatTheCollectorStored)
{
    const test_support::FirebirdServer& server = test_support::FirebirdServer::shared();
    db.useServer(server);
    platform::PasswordRecorder passwords;
    passwords.queueAnswer(QStringLiteral("wrong"));
    passwords.queueAnswer(QLatin1String(test_support::FirebirdServer::Password));

    app::Program program(db.appDir());
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(data::dm->IBDatabase1.connected());
    ASSERT_EQ(passwords.requests().size(), 2u);
    const QString asked =
        QStringLiteral("Пароль пользователя LEDGER_TEST на сервере базы данных %1:").arg(server.address());
    EXPECT_EQ(passwords.requests()[0].caption, QStringLiteral("Сервер базы данных"));
    EXPECT_TRUE(passwords.requests()[0].text.endsWith(asked)) << passwords.requests()[0].text.toStdString();
    EXPECT_TRUE(passwords.requests()[1].text.startsWith(
        QStringLiteral("Сервер базы данных %1 не принял пользователя LEDGER_TEST с этим паролем")
            .arg(server.address())))
        << passwords.requests()[1].text.toStdString();
    app::fmMain->show();
    app::fmMain->folderPanel->SelectFolderNode(-1);
    ASSERT_TRUE(mainListIds().isEmpty());

    const agencysim::Day day = portfolio().saleDays(*agencysim::parseIsoMonth("2008-04")).front();
    QProcess collector;
    collector.setProcessEnvironment(db.processEnvironment());
    collector.start(QStringLiteral(COLLECT_CLI),
                    {db.appDir(), QStringLiteral("sales"), QStringLiteral("2008-04"),
                     QStringLiteral("--days"), QString::fromLatin1(collection_tests::isoDay(day).mid(8, 2))});
    ASSERT_TRUE(collector.waitForFinished(240'000));
    ASSERT_EQ(collector.exitCode(), 0) << collector.readAllStandardError().constData();

    app::fmMain->RefreshPictureList(app::fmMain->CurrentFolderId);
    QList<qint64> sold;
    for (const agencysim::DaySale& sale : portfolio().expectedSales(day))
        sold.append(sale.pictureId);
    std::sort(sold.begin(), sold.end());
    EXPECT_EQ(mainListIds(), sold);
    EXPECT_TRUE(boxes.requests().empty()) << boxes.requests().front().text.toStdString();
}

// Without a password the program opens nothing in the server's place and says so, naming the server.
TEST_F(ProgramOnAnAgency, OnAServerACancelledPasswordLeavesTheProgramUnconnected)
{
    const test_support::FirebirdServer& server = test_support::FirebirdServer::shared();
    db.useServer(server);
    platform::PasswordRecorder passwords;
    app::Program program(db.appDir());
    ASSERT_TRUE(program.started());
    EXPECT_FALSE(data::dm->IBDatabase1.connected());
    EXPECT_EQ(passwords.requests().size(), 1u);
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].text,
              QStringLiteral("Пароль пользователя LEDGER_TEST для сервера базы данных %1 не введён: база "
                             "данных не открыта.")
                  .arg(server.address()));
}

} // namespace
