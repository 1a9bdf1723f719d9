#include "tests/support/temp_database.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

#include "data/database_file.h"
#include "data/database_location.h"
#include "data/program_directory.h"
#include "tests/support/firebird_server.h"

namespace test_support {

TempDatabase::TempDatabase() : dir_(QDir::tempPath() + QStringLiteral("/photoledger-test-XXXXXX"))
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary directory: " + dir_.errorString().toStdString());
    appDir_ = dir_.path();
    QDir(appDir_).mkdir(QStringLiteral("PREVIEW"));
    QDir(appDir_).mkdir(QStringLiteral("Temp"));
    data::createDatabaseFile(databasePath());
    openDataModule();
}

void TempDatabase::openDataModule()
{
    if (data::dm == dm_.get())
        data::dm = nullptr;
    dm_.reset();
    dm_ = std::make_unique<data::Tdm>(appDir_);
    dm_->setServerPassword(password_);
    dm_->DataModuleCreate();
    data::dm = dm_.get();
}

void TempDatabase::useServer(const FirebirdServer& server)
{
    dm_->IBDatabase1.close();
    QFile::remove(databasePath());
    writeDatabaseSection(appDir_, server.address(), FirebirdServer::User, databasePath());
    password_ = QLatin1String(FirebirdServer::Password);
    data::Connection connection;
    data::setLocation(connection, data::readDatabaseLocation(appDir_), password_);
    data::createDatabase(connection);
    openDataModule();
}

QProcessEnvironment TempDatabase::processEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (onServer())
        environment.insert(QStringLiteral("ISC_PASSWORD"), password_);
    return environment;
}

TempDatabase::~TempDatabase()
{
    if (data::dm == dm_.get())
        data::dm = nullptr;
    dm_.reset();
}

QString TempDatabase::databasePath() const
{
    return data::databasePath(appDir_);
}

void TempDatabase::execute(const QByteArray& sql)
{
    dm_->qrExecute.setText(sql);
    dm_->qrExecute.execute();
    dm_->Transaction.commit();
}

std::vector<QByteArrayList> TempDatabase::rows(const QByteArray& sql)
{
    data::Query& query = dm_->qrExecute;
    query.setText(sql);
    std::vector<QByteArrayList> result;
    for (query.open(); !query.eof(); query.next()) {
        QByteArrayList row;
        for (int column = 0; column < static_cast<int>(query.columns().size()); ++column)
            row.append(query.field(column).asText());
        result.push_back(row);
    }
    query.close();
    return result;
}

qint64 TempDatabase::committedValue(const QByteArray& sql) const
{
    data::Connection other;
    data::setLocation(other, data::readDatabaseLocation(appDir_), password_);
    data::Query query(other, other.defaultTransaction());
    query.setText(sql);
    query.open();
    return query.field(0).asInt64();
}

} // namespace test_support
