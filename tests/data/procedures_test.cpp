#include <gtest/gtest.h>

#include "data/database_file.h"
#include "tests/support/temp_database.h"

namespace {

using test_support::DatabaseTest;

TEST_F(DatabaseTest, CreateDatabaseFileRefusesAnExistingFile)
{
    EXPECT_THROW(data::createDatabaseFile(db.databasePath()), data::DbError);
    dm().qrExecute.setText("select count(*) from FOLDERS");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.field(0).asInt64(), 2);
}

} // namespace
