#pragma once

#include <QByteArrayList>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/dm.h"

namespace test_support {

class FirebirdServer;

// A program directory of its own in a fresh temporary directory: PHOTOLEDGER.GDB created from the
// schema script, PREVIEW/ and Temp/, and a connected data module over it (also installed as the
// program-wide data::dm while this object lives). Everything is removed again on destruction.
class TempDatabase
{
public:
    TempDatabase();
    ~TempDatabase();
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    // Moves the database onto the server: a new one there from the schema script, named in conf.ini's
    // section [Database], and the data module reconnected to it. Processes started with
    // serverEnvironment() open it with the server's password.
    void useServer(const FirebirdServer& server);
    bool onServer() const { return !password_.isEmpty(); }
    // The system environment, with the server user's password in ISC_PASSWORD once on a server.
    QProcessEnvironment processEnvironment() const;

    const QString& appDir() const { return appDir_; }
    QString databasePath() const;
    data::Tdm& dm() { return *dm_; }

    // Runs one statement on qrExecute and commits it.
    void execute(const QByteArray& sql);
    // Every row of a select run on qrExecute, each column as text (Value::asText).
    std::vector<QByteArrayList> rows(const QByteArray& sql);
    // The first column of a select's first row, read through a connection of its own, so that only
    // committed rows count.
    qint64 committedValue(const QByteArray& sql) const;

private:
    QTemporaryDir dir_;
    void openDataModule();

    QString appDir_;
    QString password_;
    std::unique_ptr<data::Tdm> dm_;
};

// A GoogleTest fixture giving every test a TempDatabase of its own.
class DatabaseTest : public ::testing::Test
{
protected:
    TempDatabase db;
    data::Tdm& dm() { return db.dm(); }
};

} // namespace test_support
