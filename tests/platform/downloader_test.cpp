#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <QFile>
#include <QTemporaryDir>

#include <httplib.h>

#include "platform/downloader.h"

using namespace std::chrono_literals;
using platform::DownloadOptions;
using platform::Downloader;

namespace {

// An HTTP server on 127.0.0.1 with the routes a test needs, on a free port.
class LoopbackServer
{
public:
    LoopbackServer()
    {
        server.Get("/page", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html>new page</html>", "text/html");
        });
        server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("<html>not found</html>", "text/html");
        });
        server.Get("/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page"); });
        server.Get("/cookies", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        });
        server.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(mutex);
            released.wait_for(lock, 30s, [this] { return release; });
            res.set_content("late", "text/plain");
        });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }

    ~LoopbackServer()
    {
        {
            std::lock_guard lock(mutex);
            release = true;
        }
        released.notify_all();
        server.stop();
        thread.join();
    }

    QByteArray address(const char* path) const
    {
        return "http://127.0.0.1:" + QByteArray::number(port) + path;
    }

    httplib::Server server;
    int port = 0;

private:
    std::thread thread;
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
};

class DownloaderTest : public ::testing::Test
{
protected:
    void SetUp() override { writeFile(target(), "old page"); }

    QString target() const { return dir.filePath(QStringLiteral("temp.html")); }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

    QStringList leftovers() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    LoopbackServer server;
};

} // namespace

TEST_F(DownloaderTest, SuccessfulAnswerReplacesTheTarget)
{
    const auto result = Downloader({}).download(server.address("/page"), target());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(readFile(target()), "<html>new page</html>");
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("temp.html")});
}

TEST_F(DownloaderTest, RedirectsAreFollowed)
{
    const auto result = Downloader({}).download(server.address("/moved"), target());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(readFile(target()), "<html>new page</html>");
}

TEST_F(DownloaderTest, FailuresLeaveTheTargetAsItWas)
{
    DownloadOptions quick;
    quick.totalTimeout = 300ms;
    const QByteArray deadAddress = []() -> QByteArray {
        httplib::Server closed;
        const int port = closed.bind_to_any_port("127.0.0.1");
        closed.stop();
        return "http://127.0.0.1:" + QByteArray::number(port) + "/page";
    }();

    const struct
    {
        const char* name;
        QByteArray address;
    } cases[] = {
        {"404", server.address("/missing")},
        {"dead port", deadAddress},
        {"total timeout", server.address("/slow")},
        {"not a web address", "file:///etc/hostname"},
    };
    for (const auto& c : cases) {
        const auto result = Downloader(quick).download(c.address, target());
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_FALSE(result.error.empty()) << c.name;
        EXPECT_EQ(readFile(target()), "old page") << c.name;
        EXPECT_EQ(leftovers(), QStringList{QStringLiteral("temp.html")}) << c.name;
    }
}

TEST_F(DownloaderTest, FailureLeavesAnAbsentTargetAbsent)
{
    QFile::remove(target());
    EXPECT_FALSE(Downloader({}).download(server.address("/missing"), target()).ok);
    EXPECT_FALSE(QFile::exists(target()));
}

TEST_F(DownloaderTest, CookiesOfTheJarAreSent)
{
    const QString jar = dir.filePath(QStringLiteral("cookies.txt"));
    writeFile(jar, "# Netscape HTTP Cookie File\n"
                   "127.0.0.1\tFALSE\t/\tFALSE\t0\tsession\tabc123\n"
                   "#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t4102444800\tuser\tphotographer\n"
                   "other.example\tFALSE\t/\tFALSE\t0\tforeign\tno\n");
    DownloadOptions options;
    options.cookieFile = jar;

    const auto result = Downloader(options).download(server.address("/cookies"), target());
    ASSERT_TRUE(result.ok) << result.error;
    const QByteArray sent = readFile(target());
    EXPECT_TRUE(sent.contains("session=abc123")) << sent.constData();
    EXPECT_TRUE(sent.contains("user=photographer")) << sent.constData();
    EXPECT_FALSE(sent.contains("foreign")) << sent.constData();
    EXPECT_EQ(readFile(jar).count('\n'), 4); // the jar is read, never written
}
