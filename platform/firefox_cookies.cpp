#include "platform/firefox_cookies.h"

#include <memory>
#include <stdexcept>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "platform/ini_file.h"

namespace platform {
namespace {

constexpr const char* CookieStoreName = "cookies.sqlite";
constexpr const char* WalSuffix = "-wal";

// Expiry values above this are milliseconds: as seconds they would lie thousands of years ahead.
constexpr qint64 MillisecondThreshold = 100'000'000'000;

// A profile path of profiles.ini: relative ones (IsRelative=1, and those of the Install sections)
// lie under the root.
QString profileDir(const QString& root, const QByteArray& path)
{
    return QDir(root).filePath(QFile::decodeName(path));
}

// The default profile of one profiles.ini, or empty.
QString defaultProfile(const QString& root)
{
    const IniFile profiles(QDir(root).filePath(QStringLiteral("profiles.ini")));
    for (const QByteArray& section : profiles.sections())
        if (section.startsWith("Install") && !profiles.value(section, "Default").isEmpty())
            return profileDir(root, profiles.value(section, "Default"));
    QString first;
    for (const QByteArray& section : profiles.sections()) {
        if (!section.startsWith("Profile") || profiles.value(section, "Path").isEmpty())
            continue;
        const QString dir = profileDir(root, profiles.value(section, "Path"));
        if (profiles.value(section, "Default") == "1")
            return dir;
        if (first.isEmpty())
            first = dir;
    }
    return first;
}

QDateTime lastWritten(const QString& cookieStore)
{
    const QFileInfo wal(cookieStore + QLatin1String(WalSuffix));
    const QDateTime store = QFileInfo(cookieStore).lastModified();
    return wal.exists() ? std::max(store, wal.lastModified()) : store;
}

struct DatabaseCloser
{
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer
{
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

[[noreturn]] void fail(const QString& cookieStore, sqlite3* db)
{
    throw std::runtime_error("Не удалось прочитать cookies Firefox из " + cookieStore.toStdString() + ": " +
                             (db ? sqlite3_errmsg(db) : "нехватка памяти"));
}

QByteArray textColumn(sqlite3_stmt* statement, int column)
{
    return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                      sqlite3_column_bytes(statement, column));
}

Cookie cookieOfRow(sqlite3_stmt* statement)
{
    const qint64 expiry = sqlite3_column_int64(statement, 4);
    return {textColumn(statement, 0),
            textColumn(statement, 1),
            textColumn(statement, 2),
            textColumn(statement, 3),
            expiry > MillisecondThreshold ? expiry / 1000 : expiry,
            sqlite3_column_int(statement, 5) != 0,
            sqlite3_column_int(statement, 6) != 0};
}

void copyInto(const QString& from, const QString& to, const QString& cookieStore)
{
    if (!QFile::copy(from, to))
        throw std::runtime_error("Не удалось скопировать cookies Firefox из " + cookieStore.toStdString());
}

// A copy of the store and its write-ahead log in a private folder; returns the copied store.
QString privateCopy(const QString& cookieStore, const QTemporaryDir& dir)
{
    const QString copy = dir.filePath(QLatin1String(CookieStoreName));
    copyInto(cookieStore, copy, cookieStore);
    const QString wal = cookieStore + QLatin1String(WalSuffix);
    if (QFile::exists(wal))
        copyInto(wal, copy + QLatin1String(WalSuffix), cookieStore);
    return copy;
}

} // namespace

UserFolders UserFolders::current()
{
    const QString home = QDir::homePath();
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative path.
    return {home, QDir::isAbsolutePath(xdg) ? xdg : QDir(home).filePath(QStringLiteral(".config"))};
}

QStringList firefoxProfileRoots(const UserFolders& folders)
{
    const QDir dir(folders.home);
    return {QDir(folders.configHome).filePath(QStringLiteral("mozilla/firefox")),
            dir.filePath(QStringLiteral(".mozilla/firefox")),
            dir.filePath(QStringLiteral("snap/firefox/common/.mozilla/firefox")),
            dir.filePath(QStringLiteral(".var/app/org.mozilla.firefox/.mozilla/firefox"))};
}

QString findFirefoxCookieStore(const UserFolders& folders)
{
    QString newest;
    for (const QString& root : firefoxProfileRoots(folders)) {
        const QString profile = defaultProfile(root);
        const QString store = profile.isEmpty() ? QString() : QDir(profile).filePath(QLatin1String(CookieStoreName));
        if (!store.isEmpty() && QFile::exists(store) && (newest.isEmpty() || lastWritten(store) > lastWritten(newest)))
            newest = store;
    }
    return newest;
}

QList<Cookie> readFirefoxCookies(const QString& cookieStore)
{
    const QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("Не удалось создать временную папку для cookies Firefox");
    const QByteArray copy = QFile::encodeName(privateCopy(cookieStore, dir));

    sqlite3* opened = nullptr;
    const int openResult = sqlite3_open_v2(copy.constData(), &opened, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, DatabaseCloser> db(opened);
    if (openResult != SQLITE_OK)
        fail(cookieStore, db.get());

    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(db.get(),
                           "select host, path, name, value, expiry, isSecure, isHttpOnly from moz_cookies",
                           -1, &prepared, nullptr) != SQLITE_OK)
        fail(cookieStore, db.get());
    const std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(prepared);

    QList<Cookie> cookies;
    int step;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW)
        cookies.append(cookieOfRow(statement.get()));
    if (step != SQLITE_DONE)
        fail(cookieStore, db.get());
    return cookies;
}

} // namespace platform
