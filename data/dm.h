#pragma once

#include <QString>

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

    // Sets Starting, names the database beside the program, connects and starts the transaction.
    void DataModuleCreate();

    const QString& appDir() const { return appDir_; }

private:
    QString appDir_;

public:
    Connection IBDatabase1;
    data::Transaction& Transaction;
    Table tbPictures;
    Table tbSales;
    Query qrExecute;
    Query qrExecute2;
    Query qrPictureInfo;
    DataSource dsPictureInfo{&qrPictureInfo};
    DataSource dsPictures{&tbPictures};
};

// The program-wide data module instance (null until start-up creates it).
extern Tdm* dm;

TableDef picturesTableDef();
TableDef salesTableDef();

} // namespace data
