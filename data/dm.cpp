#include "data/dm.h"

#include "data/database_location.h"
#include "data/schema_upgrade.h"

namespace data {

int Starting = 0;
Tdm* dm = nullptr;

TableDef picturesTableDef()
{
    return {"PICTURES",
            {{"ID", FieldKind::BigInt, 0, true},
             {"IDFOLDER", FieldKind::Integer},
             {"TYPE", FieldKind::Integer},
             {"IMAGE", FieldKind::Blob},
             {"TITLE", FieldKind::Text, 500},
             {"KEYWORDS", FieldKind::Text, 1000},
             {"ACCEPT_DATE", FieldKind::Date},
             {"IDBATCH", FieldKind::BigInt}},
            {"ID", "IMAGE", "TITLE", "KEYWORDS", "IDFOLDER", "ACCEPT_DATE", "IDBATCH"},
            {},
            {},
            {}};
}

TableDef salesTableDef()
{
    return {"SALES",
            {{"ID", FieldKind::Integer, 0, true},
             {"IDPICTURE", FieldKind::BigInt},
             {"COUNT", FieldKind::Integer},
             {"SUM", FieldKind::Double},
             {"ON_DEMAND", FieldKind::Double},
             {"ENHANCED", FieldKind::Double},
             {"SALE_DATE", FieldKind::Date, 0, true}},
            {"ID", "IDPICTURE", "COUNT", "SUM", "ON_DEMAND", "ENHANCED", "SALE_DATE"},
            {"IDPICTURE", "COUNT", "SUM", "ON_DEMAND", "ENHANCED", "SALE_DATE"},
            "GEN_SALES_ID",
            // Stored sales are found through the index on (IDPICTURE, SALE_DATE), not by a scan.
            {"IDPICTURE", "SALE_DATE"}};
}

Tdm::Tdm(QString appDir)
    : appDir_((FbClient::instance(), std::move(appDir))), Transaction(IBDatabase1.defaultTransaction()),
      tbPictures(IBDatabase1, Transaction, picturesTableDef()),
      tbSales(IBDatabase1, Transaction, salesTableDef()), qrExecute(IBDatabase1, Transaction),
      qrPictureInfo(IBDatabase1, Transaction)
{
}

void Tdm::DataModuleCreate()
{
    Starting = 1;
    if (serverPassword_)
        setLocation(IBDatabase1, readDatabaseLocation(appDir_), *serverPassword_);
    else
        setToolLocation(IBDatabase1, appDir_);
    IBDatabase1.connect();
    upgradeDatabase(IBDatabase1, appDir_);
    Transaction.activate();
}

} // namespace data
