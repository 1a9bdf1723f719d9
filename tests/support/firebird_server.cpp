#include "tests/support/firebird_server.h"

#include "platform/ini_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace test_support {

namespace {

constexpr const char* ServerProgram = "/usr/sbin/firebird";
constexpr int StartAttempts = 600;
constexpr auto AttemptPause = std::chrono::milliseconds(50);

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error("test Firebird server: " + text.toStdString());
}

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port that nothing listens on now: the one the system gives a socket bound to port 0.
int freePort()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    const bool bound = ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(socket);
    if (!bound)
        fail(QStringLiteral("no free port"));
    return ntohs(address.sin_port);
}

bool accepts(int port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool connected =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return connected;
}

} // namespace

FirebirdServer::FirebirdServer(bool encryptWire)
    : dir_(QDir::tempPath() + QStringLiteral("/photoledger-server-XXXXXX"))
{
    if (!dir_.isValid())
        fail(dir_.errorString());
    port_ = freePort();
    writeConfiguration(encryptWire);
    createSecurityDatabase();
    start();
}

FirebirdServer::~FirebirdServer()
{
    kill();
}

void FirebirdServer::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
}

QString FirebirdServer::address() const
{
    return QStringLiteral("127.0.0.1/%1").arg(port_);
}

FirebirdServer& FirebirdServer::shared()
{
    static FirebirdServer server;
    return server;
}

// The root holds the configuration and the character sets, which the engine does not load through a
// symbolic link.
void FirebirdServer::writeConfiguration(bool encryptWire)
{
    const QDir root(dir_.filePath(QStringLiteral("root")));
    root.mkpath(QStringLiteral("intl"));
    QFile conf(root.filePath(QStringLiteral("firebird.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        fail(conf.errorString());
    conf.write(QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\nServerMode = Super\n"
                              "SecurityDatabase = %2\nWireCrypt = %3\n")
                   .arg(port_)
                   .arg(dir_.filePath(QStringLiteral("security3.fdb")),
                        encryptWire ? QStringLiteral("Required") : QStringLiteral("Disabled"))
                   .toUtf8());
    const QFileInfo module(QStringLiteral(FIREBIRD_INTL_MODULE));
    for (const QString& name : {module.fileName(), QStringLiteral("fbintl.conf")})
        QFile::copy(module.dir().filePath(name), root.filePath(QStringLiteral("intl/") + name));
}

// The security database is made by isql in embedded mode with the server's configuration, before the
// server holds it: SYSDBA, and the test user with the right to create databases.
void FirebirdServer::createSecurityDatabase()
{
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isql.isEmpty())
        fail(QStringLiteral("isql-fb is not installed"));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), dir_.filePath(QStringLiteral("root")));
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), dir_.filePath(QStringLiteral("lock")));
    process.setProcessEnvironment(environment);
    process.start(isql, {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA")});
    process.write(QStringLiteral("create database '%1';\n"
                                 "create user %2 password '%3';\n"
                                 "create user %4 password '%5';\n"
                                 "grant create database to user %4;\n"
                                 "commit;\n")
                      .arg(dir_.filePath(QStringLiteral("security3.fdb")), QLatin1String(AdminUser),
                           QLatin1String(AdminPassword), QLatin1String(User), QLatin1String(Password))
                      .toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(120'000) || process.exitCode() != 0 ||
        !process.readAllStandardError().isEmpty())
        fail(QStringLiteral("isql could not make the security database: ") +
             QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput()));
}

// Returns once the server listens. Its environment is made before the fork: the child only executes
// the program.
void FirebirdServer::start()
{
    std::vector<std::string> settings{"FIREBIRD=" + dir_.filePath(QStringLiteral("root")).toStdString(),
                                      "FIREBIRD_LOCK=" + dir_.filePath(QStringLiteral("lock")).toStdString()};
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "FIREBIRD", 8) != 0)
            settings.emplace_back(*entry);
    std::vector<char*> environment;
    for (std::string& setting : settings)
        environment.push_back(setting.data());
    environment.push_back(nullptr);
    char* const arguments[] = {const_cast<char*>(ServerProgram), nullptr};
    pid_ = ::fork();
    if (pid_ < 0)
        fail(QStringLiteral("fork failed"));
    if (pid_ == 0) {
        // The server ends with the test program, and keeps nothing of its output channels open.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execve(ServerProgram, arguments, environment.data());
        ::_exit(127);
    }
    waitUntilListening();
}

void FirebirdServer::waitUntilListening()
{
    for (int attempt = 0; attempt < StartAttempts; ++attempt) {
        if (accepts(port_))
            return;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            fail(QStringLiteral("%1 ended at its start (status %2)")
                     .arg(QLatin1String(ServerProgram))
                     .arg(status));
        }
        std::this_thread::sleep_for(AttemptPause);
    }
    fail(QStringLiteral("nothing listens on port %1").arg(port_));
}

void writeDatabaseSection(const QString& programDir, const QString& server, const QByteArray& user,
                          const QString& database)
{
    platform::IniFile conf(QDir(programDir).filePath(QStringLiteral("conf.ini")));
    conf.setValue("Database", "Server", server.toUtf8());
    conf.setValue("Database", "User", user);
    conf.setValue("Database", "Database", database.toUtf8());
    conf.save();
}

} // namespace test_support
