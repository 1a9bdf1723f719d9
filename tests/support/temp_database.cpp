#include "tests/support/temp_database.h"

#include <QDir>

#include <stdexcept>

#include "data/database_file.h"

namespace test_support {

TempDatabase::TempDatabase() : dir_(QDir::tempPath() + QStringLiteral("/photoledger-test-XXXXXX"))
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary directory: " + dir_.errorString().toStdString());
    appDir_ = dir_.path();
    QDir(appDir_).mkdir(QStringLiteral("PREVIEW"));
    QDir(appDir_).mkdir(QStringLiteral("Temp"));
    data::createDatabaseFile(databasePath());
    dm_ = std::make_unique<data::Tdm>(appDir_);
    dm_->DataModuleCreate();
    data::dm = dm_.get();
}

TempDatabase::~TempDatabase()
{
    if (data::dm == dm_.get())
        data::dm = nullptr;
    dm_.reset();
}

QString TempDatabase::databasePath() const
{
    return appDir_ + QLatin1Char('/') + QLatin1String(data::Tdm::DatabaseFileName);
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
    other.setDatabaseName(databasePath().toStdString());
    data::Query query(other, other.defaultTransaction());
    query.setText(sql);
    query.open();
    return query.field(0).asInt64();
}

} // namespace test_support
