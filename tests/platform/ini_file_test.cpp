#include <gtest/gtest.h>

#include <QDir>

#include <QFile>
#include <QTemporaryDir>

#include "platform/ini_file.h"

using platform::IniFile;

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(QStringLiteral("conf.ini")); }

    void writeFile(const QByteArray& text) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray readFile() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(IniFileTest, MissingFileIsEmptyAndFirstSaveCreatesIt)
{
    IniFile ini(path());
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_EQ(ini.value("Agency", "ContributorSite", "none"), "none");

    ini.setValue("UpdateForm", "Line0", "'object fmExplorer: TfmExplorer'");
    ini.save();
    EXPECT_EQ(readFile(), "[UpdateForm]\nLine0='object fmExplorer: TfmExplorer'\n");
}

TEST_F(IniFileTest, KeepsSectionsAndKeysInFileOrder)
{
    writeFile("[PicGrid]\r\npicGrid.TITLE=0,120,0,1,0,7,0\r\npicGrid.ID=1,60,2,1,1,7,0\r\n"
              "[MainForm]\r\nLine0=a\r\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.sections(), (QList<QByteArray>{"PicGrid", "MainForm"}));
    EXPECT_EQ(ini.keys("PicGrid"), (QList<QByteArray>{"picGrid.TITLE", "picGrid.ID"}));
    EXPECT_EQ(ini.value("PicGrid", "picGrid.ID"), "1,60,2,1,1,7,0");
}

TEST_F(IniFileTest, NamesMatchWithoutAsciiCaseAndFirstDuplicateWins)
{
    writeFile("[Agency]\nCookieFile = first\ncookiefile=second\n[agency]\nPublicSite=p\n");
    IniFile ini(path());
    EXPECT_EQ(ini.value("AGENCY", "COOKIEFILE"), "first");
    EXPECT_EQ(ini.value("Agency", "PublicSite"), "p");
    ini.setValue("agency", "cookieFILE", "third");
    EXPECT_EQ(ini.value("Agency", "CookieFile"), "third");
    EXPECT_EQ(ini.sections().size(), 1);
}

TEST_F(IniFileTest, BytesRoundTripUnchanged)
{
    // Windows-1251 and UTF-8 values, "=" inside a value, quotes that keep leading blanks.
    const QByteArray cp1251 = "\xCE\xE1\xED\xEE\xE2\xEB\xE5\xED\xEE";
    const QByteArray utf8 = "Обновлено";
    IniFile ini(path());
    ini.setValue("S", "cp1251", cp1251);
    ini.setValue("S", "utf8", utf8);
    ini.setValue("S", "url", "http://127.0.0.1:8080/a?b=c");
    ini.setValue("S", "quoted", "'    Height = 584'");
    ini.save();

    const IniFile reread(path());
    EXPECT_EQ(reread.value("S", "cp1251"), cp1251);
    EXPECT_EQ(reread.value("S", "utf8"), utf8);
    EXPECT_EQ(reread.value("S", "url"), "http://127.0.0.1:8080/a?b=c");
    EXPECT_EQ(reread.value("S", "quoted"), "'    Height = 584'");
}

TEST_F(IniFileTest, RemovesKeysAndErasesSectionsKeepingTheRest)
{
    writeFile("; written by hand\n[UpdateForm]\nLine0=a\nLine1=b\nOther=x\n[PicGrid]\nc=1\n[Agency]\nk=v\n");
    IniFile ini(path());
    ini.removeKey("UpdateForm", "Line1");
    ini.removeKey("UpdateForm", "Missing");
    ini.removeKey("NoSection", "Line0");
    ini.eraseSection("PicGrid");
    ini.save();

    EXPECT_EQ(readFile(), "; written by hand\n\n[UpdateForm]\nLine0=a\nOther=x\n\n[Agency]\nk=v\n");
}

TEST_F(IniFileTest, CommentsAndStrayLinesSurviveASave)
{
    writeFile("[Agency]\n; the contributor site\nContributorSite=http://h\nstray line\n");
    IniFile ini(path());
    EXPECT_EQ(ini.keys("Agency"), QList<QByteArray>{"ContributorSite"});
    ini.setValue("Agency", "PublicSite", "http://p");
    ini.save();
    EXPECT_EQ(readFile(),
              "[Agency]\n; the contributor site\nContributorSite=http://h\nstray line\nPublicSite=http://p\n");
}

TEST_F(IniFileTest, ByteOrderMarkIsSkipped)
{
    writeFile("\xEF\xBB\xBF[Agency]\r\nCookieFile=cookies.txt\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.sections(), QList<QByteArray>{"Agency"});
    EXPECT_EQ(ini.value("Agency", "CookieFile"), "cookies.txt");
    ini.save();
    EXPECT_EQ(readFile(), "[Agency]\nCookieFile=cookies.txt\n");
}

TEST_F(IniFileTest, UnreadableAndUnwritableFilesFailInRussianWithTheirPath)
{
    IniFile ini(dir.filePath(QStringLiteral("no-such-folder/conf.ini")));
    ini.setValue("A", "k", "new");
    try {
        ini.save();
        FAIL() << "save into a missing folder succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Не удалось записать файл " + ini.path().toStdString());
    }
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkdir(folder));
    try {
        IniFile unreadable(folder);
        FAIL() << "a folder was read as a file";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Не удалось прочитать файл " + folder.toStdString());
    }
}
