// A database on a Firebird server: the connection is encrypted; every refusal is told in Russian
// naming the server, with nothing opened in the server's place; a server that goes away keeps what
// was committed.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include "data/dm.h"
#include "data/program_directory.h"
#include "tests/support/application_environment.h"
#include "tests/support/firebird_server.h"
#include "tests/support/temp_database.h"

namespace {

using test_support::FirebirdServer;

// The desktop's secret store answers through the application's event loop.
const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new test_support::ApplicationEnvironment<QCoreApplication>);

// ISC_PASSWORD as a case needs it, put back as it was afterwards.
class PasswordVariable
{
public:
    explicit PasswordVariable(const char* value)
        : saved_(qgetenv("ISC_PASSWORD")), wasSet_(qEnvironmentVariableIsSet("ISC_PASSWORD"))
    {
        if (value)
            qputenv("ISC_PASSWORD", value);
        else
            qunsetenv("ISC_PASSWORD");
    }
    ~PasswordVariable()
    {
        if (wasSet_)
            qputenv("ISC_PASSWORD", saved_);
        else
            qunsetenv("ISC_PASSWORD");
    }

private:
    QByteArray saved_;
    bool wasSet_;
};

struct Refusal
{
    const char* name;
    QString server; // "%1": the shared test server, "%2": the one that does not encrypt
    const char* user;
    const char* password; // ISC_PASSWORD; null: unset
    QString expected;     // the beginning of the message
};

TEST(DatabaseServer, EveryRefusalNamesTheServerAndNothingOpensInItsPlace)
{
    const FirebirdServer& server = FirebirdServer::shared();
    const FirebirdServer plainServer(false);
    const QString good = server.address();
    const Refusal refusals[] = {
        {"wrong password", good, "LEDGER_TEST", "wrong",
         QStringLiteral("Сервер базы данных %1 не принял пользователя LEDGER_TEST с этим паролем").arg(good)},
        {"unknown user", good, "NOBODY", FirebirdServer::Password,
         QStringLiteral("Сервер базы данных %1 не принял пользователя NOBODY с этим паролем").arg(good)},
        {"unknown host", QStringLiteral("no-such-host.invalid"), "LEDGER_TEST", "x",
         QStringLiteral("Сервер базы данных no-such-host.invalid не найден")},
        {"nothing listening", QStringLiteral("127.0.0.1/1"), "LEDGER_TEST", "x",
         QStringLiteral("Сервер базы данных 127.0.0.1/1 не отвечает")},
        {"no encryption", plainServer.address(), "LEDGER_TEST", FirebirdServer::Password,
         QStringLiteral("Сервер базы данных %1 не шифрует соединение").arg(plainServer.address())},
        {"no database there", good, "LEDGER_TEST", FirebirdServer::Password,
         QStringLiteral("Не удалось открыть базу данных на сервере %1").arg(good)},
        {"no password", good, "LEDGER_TEST", nullptr,
         QStringLiteral("Нет пароля пользователя LEDGER_TEST для сервера базы данных %1").arg(good)},
        {"no user", good, "", "x",
         QStringLiteral("conf.ini, раздел [Database]: для сервера %1 ключ User").arg(good)},
        {"port out of range", QStringLiteral("127.0.0.1/70000"), "LEDGER_TEST", "x",
         QStringLiteral("conf.ini, раздел [Database]: ключ Server \"127.0.0.1/70000\"")},
        {"a connection string", QStringLiteral("host:/etc/passwd"), "LEDGER_TEST", "x",
         QStringLiteral("conf.ini, раздел [Database]: ключ Server \"host:/etc/passwd\"")},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        QTemporaryDir dir;
        test_support::writeDatabaseSection(dir.path(), refusal.server, refusal.user,
                                           dir.filePath(QStringLiteral("none.gdb")));
        const PasswordVariable password(refusal.password);
        QString message;
        try {
            data::prepareProgramDirectory(dir.path());
            data::Tdm dm(dir.path());
            dm.DataModuleCreate();
            ADD_FAILURE() << "connected";
        } catch (const std::runtime_error& e) {
            message = QString::fromUtf8(e.what());
        }
        EXPECT_TRUE(message.startsWith(refusal.expected)) << message.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QLatin1String(data::Tdm::DatabaseFileName))));
    }
}

TEST(DatabaseServer, TheConnectionIsEncryptedAndWhatWasCommittedOutlivesTheServerGoingAway)
{
    FirebirdServer server;
    test_support::TempDatabase db;
    db.useServer(server);
    EXPECT_EQ(db.rows("select rdb$get_context('SYSTEM', 'WIRE_ENCRYPTED'), rdb$get_context('SYSTEM', "
                      "'NETWORK_PROTOCOL') from RDB$DATABASE"),
              (std::vector<QByteArrayList>{{"TRUE", "TCPv4"}}));
    db.dm().StoreSale("7", "t", "3", "1.5", "2010-03-20", 0);
    db.dm().Transaction.commit();
    db.dm().StoreSale("8", "t", "4", "1.5", "2010-03-20", 0);

    server.kill();
    QString message;
    try {
        db.rows("select count(*) from SALES");
    } catch (const data::DbError& e) {
        message = QString::fromUtf8(e.what());
    }
    EXPECT_TRUE(
        message.startsWith(QStringLiteral("Связь с сервером базы данных %1 прервана").arg(server.address())))
        << message.toStdString();

    server.start();
    EXPECT_EQ(db.committedValue("select count(*) from SALES"), 1);
    EXPECT_EQ(db.committedValue("select sum(\"COUNT\") from SALES where IDPICTURE = 7"), 3);
}

} // namespace
