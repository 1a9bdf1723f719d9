#pragma once

#include <QSet>
#include <QString>

#include <optional>

#include "data/connection.h"
#include "data/dataset.h"
#include "data/table.h"

namespace data {

// Program-wide flag: 1 from the data module's creation until the main window's first show has
// applied the period preset; the daily strip is not drawn while it is 1.
extern int Starting;

// Joins a dataset to the views that show it (the grid and the preview image, or the hidden image
// control of the collection window).
struct DataSource
{
    Dataset* dataSet;
};

// The data module: the program's only way into the statistics database.
class Tdm
{
public:
    static constexpr const char* DatabaseFileName = "PHOTOLEDGER.GDB";

    // Loads the client library (an error naming it when it is missing); does not connect.
    explicit Tdm(QString appDir);
    Tdm(const Tdm&) = delete;
    Tdm& operator=(const Tdm&) = delete;

    // Sets Starting, names the database (beside the program, or on the server conf.ini names), connects
    // and starts the transaction.
    void DataModuleCreate();
    // The password of the server's user, asked for by the program's window (empty when the user gave
    // none); unless set, a database on a server is opened with toolPassword's (database_location.h).
    void setServerPassword(QString password) { serverPassword_ = std::move(password); }

    const QString& appDir() const { return appDir_; }
    // AppDir + "/PREVIEW/" + id + ".jpg"; the id must be a whole decimal number.
    QString previewPath(const QByteArray& pictureId) const;

    // The record store: every value arrives as text cut from a page.
    void InsertPicture(const QByteArray& pictureId, const QByteArray& title, const QByteArray& acceptDate,
                       const QByteArray& keywords, const QByteArray& batchId);
    void UpdatePicture(const QByteArray& pictureId, const QByteArray& title, const QByteArray& acceptDate,
                       const QByteArray& keywords, const QByteArray& batchId);
    void StoreSale(const QByteArray& pictureId, const QByteArray& title, const QByteArray& count,
                   const QByteArray& money, const QByteArray& saleDate, int kind);

private:
    void storeSaleOnce(const QByteArray& pictureId, const QByteArray& title, std::int64_t downloads,
                       const QByteArray& moneyText, const QByteArray& date, int kind);
    // The columns of a SALES row that storing an entry sets.
    struct SaleAmounts
    {
        Value count, sum, onDemand, enhanced;
        friend bool operator==(const SaleAmounts&, const SaleAmounts&) = default;
    };
    // What is stored of an entry's picture and day: whether PICTURES holds the picture, and the day's
    // SALES row (its ID null when there is none).
    struct StoredEntry
    {
        bool pictureStored = false;
        Value saleId;
        SaleAmounts amounts;
    };
    // Both read by one statement in the running transaction.
    StoredEntry lookUpEntry(std::int64_t pictureId, QDate date);
    // Inserts the day's SALES row, or updates the stored one when the amounts differ from it.
    void writeSale(std::int64_t pictureId, QDate date, const StoredEntry& entry, const SaleAmounts& amounts);
    bool countWrittenThisCollection(const QByteArray& pictureId, const QByteArray& date) const;
    void rememberCountWritten(const QByteArray& pictureId, const QByteArray& date);

    QString appDir_;
    std::optional<QString> serverPassword_;
    // The pictures whose COUNT the regular or on-demand entries of the day being collected have
    // written; an enhanced entry adds to such a COUNT and replaces any other.
    QByteArray countedDate_;
    QSet<QByteArray> countedIds_;
    ReusedStatement entryLookup_, saleInsert_, saleUpdate_;

public:
    Connection IBDatabase1;
    data::Transaction& Transaction;
    Table tbPictures;
    Table tbSales;
    Query qrExecute;
    Query qrPictureInfo;
    DataSource dsPictureInfo{&qrPictureInfo};
    DataSource dsPictures{&tbPictures};
};

// The program-wide data module instance (null until start-up creates it).
extern Tdm* dm;

TableDef picturesTableDef();
TableDef salesTableDef();

} // namespace data
