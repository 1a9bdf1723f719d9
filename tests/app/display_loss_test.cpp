// The program on an X display that goes away: the process ends at once, with its settings written and
// its database committed and closed, and the next program opens the database.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

#include <xcb/xcb.h>

#include "platform/ini_file.h"
#include "tests/support/temp_database.h"

namespace {

struct FreeDeleter
{
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeDeleter>;

// Xvfb on a display number that it picks among the free ones. It does not reset when its last client
// goes, so that a look at its windows never makes the program's connection fail.
class XServer
{
public:
    XServer()
    {
        process_.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1366x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset")});
        while (!process_.canReadLine() && process_.waitForReadyRead(30'000)) {
        }
        display_ = QStringLiteral(":") + QString::fromLatin1(process_.readLine().trimmed());
    }
    ~XServer() { stop(); }

    // ":N", or ":" when the server did not start.
    const QString& display() const { return display_; }

    void stop()
    {
        process_.terminate();
        process_.waitForFinished(30'000);
    }

    // Whether a top-level window is mapped and viewable on the display.
    bool showsAWindow() const
    {
        xcb_connection_t* connection = xcb_connect(display_.toLatin1().constData(), nullptr);
        const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> closer(connection, xcb_disconnect);
        if (xcb_connection_has_error(connection))
            return false;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const ReplyPtr<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
        if (!tree)
            return false;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const ReplyPtr<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[i]), nullptr));
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                return true;
        }
        return false;
    }

private:
    QProcess process_;
    QString display_;
};

TEST(DisplayLoss, TheProgramEndsWithItsSettingsAndDatabaseWrittenAndFreesTheDatabase)
{
    test_support::TempDatabase db;
    db.execute("insert into PICTURES (ID) values (1)");
    db.dm().IBDatabase1.close();
    // A copy of the program in the directory, which is then the program's own.
    const QString program = db.appDir() + QStringLiteral("/photoledger");
    ASSERT_TRUE(QFile::copy(QStringLiteral(PROGRAM), program));

    XServer server;
    ASSERT_NE(server.display(), QStringLiteral(":")) << "Xvfb did not start";
    QProcess running;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), server.display());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    running.setProcessEnvironment(environment);
    running.start(program, {});
    ASSERT_TRUE(running.waitForStarted());
    const QDeadlineTimer startUp(120'000);
    while (!server.showsAWindow() && !running.waitForFinished(50) && !startUp.hasExpired()) {
    }
    ASSERT_TRUE(server.showsAWindow()) << "no window on " << server.display().toStdString() << ", program "
                                       << (running.state() == QProcess::Running ? "running" : "ended") << ": "
                                       << running.readAllStandardError().constData();

    server.stop();
    EXPECT_TRUE(running.waitForFinished(5'000)) << "still running 5 s after its display went away";
    running.kill();
    running.waitForFinished();

    const platform::IniFile settings(db.appDir() + QStringLiteral("/conf.ini"));
    EXPECT_TRUE(settings.sectionExists("MainForm")) << "the settings were written at the end";
    EXPECT_TRUE(settings.sectionExists("PicGrid"));
    EXPECT_EQ(db.committedValue("select count(*) from PICTURES"), 1) << "another attachment opens the database";
}

} // namespace
