#pragma once

#include <memory>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace test {

// A Firefox cookie store in write-ahead-log mode whose rows stay in its -wal file while it is open,
// as they do while Firefox runs.
class FirefoxStore
{
public:
    explicit FirefoxStore(const QString& path)
    {
        QDir().mkpath(QFileInfo(path).path());
        sqlite3* opened = nullptr;
        EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &opened), SQLITE_OK);
        db.reset(opened);
        exec("pragma journal_mode=wal; pragma wal_autocheckpoint=0;"
             "create table moz_cookies (id integer primary key, originAttributes text not null default '',"
             " name text, value text, host text, path text, expiry integer, lastAccessed integer,"
             " creationTime integer, isSecure integer, isHttpOnly integer, inBrowserElement integer default 0,"
             " sameSite integer default 0, rawSameSite integer default 0, schemeMap integer default 0)");
    }

    void add(const char* host, const char* name, const char* value, qint64 expiry, bool secure = false,
             bool httpOnly = false)
    {
        exec(QByteArray("insert into moz_cookies (name, value, host, path, expiry, isSecure, isHttpOnly) values ('") +
             name + "', '" + value + "', '" + host + "', '/', " + QByteArray::number(expiry) + ", " +
             QByteArray::number(secure) + ", " + QByteArray::number(httpOnly) + ")");
    }

private:
    void exec(const QByteArray& sql)
    {
        ASSERT_EQ(sqlite3_exec(db.get(), sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }

    struct Closer
    {
        void operator()(sqlite3* db) const { sqlite3_close(db); }
    };
    std::unique_ptr<sqlite3, Closer> db;
};

} // namespace test
