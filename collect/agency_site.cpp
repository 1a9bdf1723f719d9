#include "collect/agency_site.h"

#include <algorithm>
#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QUrl>

#include "data/ids.h"
#include "platform/ascii_text.h"
#include "platform/ini_file.h"

namespace collect {
namespace {

constexpr const char* Section = "Agency";

std::string whereToSet(const char* key)
{
    return std::string("укажите его в conf.ini, раздел [") + Section + "], ключ " + key +
           " (например, http://127.0.0.1:8080)";
}

bool isWebAddress(const QByteArray& address)
{
    const bool webScheme = platform::indexOfIgnoreAsciiCase(address, "http://") == 0 ||
                           platform::indexOfIgnoreAsciiCase(address, "https://") == 0;
    const bool printable = std::none_of(address.begin(), address.end(),
                                        [](char c) { return static_cast<unsigned char>(c) <= 32; });
    return webScheme && printable;
}

// The base address as configured, without a trailing "/"; an error saying where to set it when it
// is missing or is no web address.
QByteArray baseAddress(const QByteArray& configured, const char* key, const char* what)
{
    if (configured.isEmpty())
        throw std::runtime_error(std::string("Не задан адрес ") + what + ": " + whereToSet(key));
    if (!isWebAddress(configured))
        throw std::runtime_error(std::string("Адрес ") + what + " \"" + configured.toStdString() +
                                 "\" должен начинаться с http:// или https://: " + whereToSet(key));
    QByteArray base = configured;
    while (base.endsWith('/'))
        base.chop(1);
    return base;
}

} // namespace

AgencySite AgencySite::load(const QString& appDir)
{
    const platform::IniFile conf(QDir(appDir).filePath(QStringLiteral("conf.ini")));
    const QString cookieFile = QFile::decodeName(conf.value(Section, "CookieFile"));
    return AgencySite(conf.value(Section, "ContributorSite"), conf.value(Section, "PublicSite"),
                      cookieFile.isEmpty() ? QString() : QDir(appDir).absoluteFilePath(cookieFile));
}

AgencySite::AgencySite(QByteArray contributorSite, QByteArray publicSite, QString cookieFile)
    : contributorSite_(std::move(contributorSite)), publicSite_(std::move(publicSite)),
      cookieFile_(std::move(cookieFile))
{
}

QByteArray AgencySite::contributorAddress(const QByteArray& pathAndQuery) const
{
    return baseAddress(contributorSite_, "ContributorSite", "сайта фотобанка для авторов") +
           pathAndQuery;
}

QByteArray AgencySite::startPage() const
{
    return contributorAddress("/main.mhtml");
}

QByteArray AgencySite::statsPage() const
{
    return contributorAddress("/stats.mhtml");
}

QByteArray AgencySite::monthStats(const QByteArray& month) const
{
    return contributorAddress("/stats.mhtml?year_month=" + month);
}

QByteArray AgencySite::dayStats(const QByteArray& day) const
{
    return contributorAddress("/stats_date.mhtml?date=" + day);
}

QByteArray AgencySite::approvedBatches() const
{
    return contributorAddress("/review.mhtml?approved=1&type=photos");
}

QByteArray AgencySite::batchPage(const QByteArray& batchId, int page) const
{
    return batchInBrowser(batchId) + "&pg=" + QByteArray::number(page);
}

QByteArray AgencySite::batchInBrowser(const QByteArray& batchId) const
{
    return contributorAddress("/review_batch.mhtml?id=" + data::requireDecimalId(batchId, "Номер пакета") +
                              "&approved=1&type=photos");
}

QByteArray AgencySite::editPicture(const QByteArray& pictureId) const
{
    return contributorAddress("/edit.mhtml?id=" + data::requireDecimalId(pictureId, "Номер изображения") + "&type=photos");
}

QByteArray AgencySite::deletePicture(const QByteArray& pictureId) const
{
    return contributorAddress("/delete.mhtml?id=" + data::requireDecimalId(pictureId, "Номер изображения") + "&type=photos");
}

QByteArray AgencySite::picturePage(const QByteArray& pictureId) const
{
    return baseAddress(publicSite_, "PublicSite", "публичного сайта фотобанка") + "/pic.mhtml?id=" +
           data::requireDecimalId(pictureId, "Номер изображения");
}

QByteArray AgencySite::contributorHost() const
{
    return QUrl::fromEncoded(contributorAddress({})).host(QUrl::FullyEncoded).toLatin1();
}

} // namespace collect
