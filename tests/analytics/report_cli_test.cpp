// photoledger-report on a real program directory: each report's CSV, and the exit status and message of
// bad arguments and of a period that ends before it begins.

#include <gtest/gtest.h>

#include <QProcess>

#include "tests/support/temp_database.h"

namespace {

using namespace Qt::Literals::StringLiterals;

// Picture 1 of batch 77 accepted 02.03.2010 sold in March 2010; picture 2 without batch or acceptance
// date sold in May 2010.
class ReportCli : public test_support::DatabaseTest
{
protected:
    void SetUp() override
    {
        db.execute(
            "insert into PICTURES (ID, IDBATCH, ACCEPT_DATE, KEYWORDS) values (1, 77, '02.03.2010', 'sea')");
        db.execute("insert into PICTURES (ID, KEYWORDS) values (2, ' , ,')");
        db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values "
                   "(gen_id(GEN_SALES_ID, 1), 1, 3, 1.5, '15.03.2010')");
        db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ENHANCED, SALE_DATE) values "
                   "(gen_id(GEN_SALES_ID, 1), 2, 1, 0, 28, '20.05.2010')");
        dm().IBDatabase1.close();
    }

    // Runs the program on the test's directory; its exit status.
    int run(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(REPORT_CLI), QStringList{db.appDir()} + arguments);
        EXPECT_TRUE(process.waitForFinished(60'000));
        output = process.readAllStandardOutput();
        errors = QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QByteArray output;
    QString errors;
};

TEST_F(ReportCli, PrintsEachReportAsCsv)
{
    const std::pair<QStringList, QString> cases[] = {
        {{u"batches"_s},
         u"\uFEFFПартия;Дата приемки;Изображений;Продано, %;Продаж;Заработок;На изображение;"
         "Индекс\r\n77;02.03.2010;1;100,0;3;1,50;1,50;10,2\r\nбез партии;;1;100,0;1;28,00;28,00;189,8\r\n"_s},
        {{u"seasonality"_s, u"--from"_s, u"01.04.2010"_s, u"--without-single-licences"_s},
         u"\uFEFFМесяц;2010\r\nЯнварь;0,00\r\nФевраль;0,00\r\nМарт;0,00\r\nАпрель;0,00\r\nМай;0,00\r\n"
         "Июнь;0,00\r\nИюль;0,00\r\nАвгуст;0,00\r\nСентябрь;0,00\r\nОктябрь;0,00\r\nНоябрь;0,00\r\n"
         "Декабрь;0,00\r\nИтого;0,00\r\n"_s},
        {{u"cohorts"_s, u"--till"_s, u"31.03.2010"_s, u"--cells"_s, u"downloads"_s},
         u"\uFEFFМесяц приемки;Изображений;Продано, %;Заработок;На изображение;"
         "Дней до продажи;03.2010\r\n03.2010;1;100,0;1,50;1,50;13,0;3\r\n"
         "без даты приемки;1;0,0;0,00;0,00;;0\r\n"_s},
        {{u"keywords"_s, u"--min"_s, u"2"_s},
         u"\uFEFFКлючевое слово;Изображений;Продано, %;Продаж;"
         "Заработок;На изображение;Индекс\r\n"_s},
    };
    for (const auto& [arguments, csv] : cases) {
        EXPECT_EQ(run(arguments), 0) << errors.toStdString();
        EXPECT_EQ(output.toStdString(), csv.toUtf8().toStdString()) << arguments.join(u' ').toStdString();
    }
}

TEST_F(ReportCli, RefusesBadArgumentsAndABackwardPeriod)
{
    const std::pair<QStringList, QString> cases[] = {
        {{u"cohorts"_s, u"--from"_s, u"02.02.2024"_s, u"--till"_s, u"01.02.2024"_s},
         u"Конец периода (01.02.2024) раньше его начала (02.02.2024)"_s},
        {{u"sales"_s}, u"unknown report \"sales\""_s},
        {{u"batches"_s, u"--from"_s, u"2024-02-01"_s}, u"a date is written dd.mm.yyyy"_s},
        {{u"keywords"_s, u"--min"_s, u"0"_s}, u"--min takes a whole number of at least 1"_s},
        {{u"folders"_s, u"--till"_s}, u"--till needs a value"_s},
    };
    for (const auto& [arguments, message] : cases) {
        EXPECT_EQ(run(arguments), 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(errors.contains(message)) << errors.toStdString();
        EXPECT_TRUE(output.isEmpty());
    }
}

} // namespace
