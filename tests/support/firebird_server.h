#pragma once

#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

namespace test_support {

// A Firebird server process of the test's own on 127.0.0.1: a free port, a configuration root and a
// security database in a temporary directory (never the system's service), with one user who may
// create databases. Stopped and removed on destruction.
class FirebirdServer
{
public:
    static constexpr const char* User = "LEDGER_TEST";
    static constexpr const char* Password = "wire-Pass-7";
    // The server's administrator, who may open any database on it (such as one made by the embedded
    // engine, which SYSDBA owns).
    static constexpr const char* AdminUser = "SYSDBA";
    static constexpr const char* AdminPassword = "master-Key-3";

    // encryptWire false: the server refuses to encrypt connections (WireCrypt = Disabled).
    explicit FirebirdServer(bool encryptWire = true);
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    // Ends the server at once, as a power cut or a killed service would; start() starts it again on
    // the same port and files.
    void kill();
    void start();

    int port() const { return port_; }
    // "127.0.0.1/port", as conf.ini's key Server names it.
    QString address() const;

    // The server of the whole test program, started on first use.
    static FirebirdServer& shared();

private:
    void writeConfiguration(bool encryptWire);
    void createSecurityDatabase();
    void waitUntilListening();

    QTemporaryDir dir_;
    int port_ = 0;
    pid_t pid_ = 0;
};

// Writes the section [Database] of conf.ini in the program directory: the database on the server,
// opened as the user.
void writeDatabaseSection(const QString& programDir, const QString& server, const QByteArray& user,
                          const QString& database);

} // namespace test_support
