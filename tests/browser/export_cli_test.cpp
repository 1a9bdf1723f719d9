// photoledger-export on a real program directory: the rows each filter selects, and the exit status
// and message of bad arguments and of a missing database.

#include <gtest/gtest.h>

#include <QProcess>

#include "tests/support/temp_database.h"

namespace {

using namespace Qt::Literals::StringLiterals;

// Pictures 1 to 3 sold in March 2010 (1 most, 3 least), picture 2 in folder 5 with the keyword sea;
// picture 4, in folder 5 too, never sold; picture 5 sold in 2008 only.
class ExportCli : public test_support::DatabaseTest
{
protected:
    void SetUp() override
    {
        db.execute("insert into FOLDERS (ID, IDPARENT, TITLE) values (5, null, 'Five')");
        for (const char* values :
             {"1, null, null", "2, 5, 'sea, sky'", "3, null, null", "4, 5, null", "5, null, null"})
            db.execute(QByteArray("insert into PICTURES (ID, IDFOLDER, KEYWORDS) values (") + values + ")");
        for (const char* values :
             {"1, 9, '03.03.2010'", "2, 5, '15.03.2010'", "3, 2, '31.03.2010'", "5, 7, '10.06.2008'"})
            db.execute(QByteArray("insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values "
                                  "(gen_id(GEN_SALES_ID, 1), ") +
                       values + ")");
        dm().IBDatabase1.close();
    }

    // Runs the program; its exit status, and its output cut to the first field of every row.
    int run(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(EXPORT_CLI), arguments);
        EXPECT_TRUE(process.waitForFinished(60'000));
        const QByteArray output = process.readAllStandardOutput();
        errors = process.readAllStandardError();
        ids.clear();
        for (const QByteArray& record : output.split('\n').mid(1))
            if (!record.isEmpty())
                ids << record.split(';').front();
        titled = output.startsWith("\xEF\xBB\xBFID;");
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QByteArrayList ids;
    bool titled = false;
    QByteArray errors;
};

TEST_F(ExportCli, PrintsTheRowsOfTheFilterAsCsv)
{
    const QStringList march{u"--from"_s, u"01.03.2010"_s, u"--till"_s, u"31.03.2010"_s};
    const QStringList folder5{u"--folder"_s, u"5"_s};
    const std::pair<QStringList, QByteArrayList> cases[] = {
        {{}, {"1", "5", "2", "3"}}, // the whole period up to today, all pictures
        {march, {"1", "2", "3"}},
        {march + folder5, {"2"}},
        {march + folder5 + QStringList{u"--zero"_s}, {"2", "4"}},
        {{u"--keywords"_s, u"SEA"_s}, {"2"}},
        {{u"--keywords"_s, u"-sky, o'clock"_s}, {}},
    };
    for (const auto& [arguments, expectedIds] : cases) {
        EXPECT_EQ(run(QStringList{db.appDir()} + arguments), 0) << errors.constData();
        EXPECT_TRUE(titled);
        EXPECT_EQ(ids, expectedIds) << arguments.join(u' ').toStdString();
    }
}

TEST_F(ExportCli, BadArgumentsAndAMissingDatabaseEndWithStatus1AndAMessage)
{
    const QString dir = db.appDir();
    const std::pair<QStringList, const char*> cases[] = {
        {{dir, u"--from"_s, u"31.02.2010"_s}, "a date is written dd.mm.yyyy, not \"31.02.2010\""},
        {{dir, u"--till"_s, u"2010-03-31"_s}, "a date is written dd.mm.yyyy"},
        {{dir, u"--folder"_s, u"5 or 1=1"_s}, "a folder is a whole number"},
        {{dir, u"--folder"_s, u"99999999999"_s}, "a folder is a whole number"},
        {{dir, u"--keywords"_s}, "--keywords needs a value"},
        {{dir, u"--all"_s}, "unknown argument \"--all\""},
        {{dir + u"/PREVIEW"_s}, "PREVIEW/PHOTOLEDGER.GDB"},
    };
    for (const auto& [arguments, message] : cases) {
        EXPECT_EQ(run(arguments), 1) << message;
        EXPECT_TRUE(errors.startsWith("photoledger-export: ")) << errors.constData();
        EXPECT_TRUE(errors.contains(message)) << errors.constData();
        EXPECT_FALSE(titled) << message;
    }
}

} // namespace
