#include "collect/page_fetcher.h"

#include <stdexcept>

#include <QFile>

#include "collect/login_cookies.h"
#include "data/ids.h"

namespace collect {

QString scratchFilePath(const QString& appDir)
{
    return appDir + QStringLiteral("/Temp/temp.html");
}

QString previewFilePath(const QString& appDir, const QByteArray& pictureId)
{
    return appDir + QStringLiteral("/PREVIEW/") +
           QString::fromLatin1(data::requireDecimalId(pictureId, "Номер изображения")) + QStringLiteral(".jpg");
}

PageFetcher PageFetcher::create(const QString& appDir, const platform::TerminationRequest* abortOn)
{
    AgencySite site = AgencySite::load(appDir);
    platform::DownloadOptions options;
    options.cookieFile = prepareCookieJar(site, appDir, platform::UserFolders::current());
    options.abortOn = abortOn;
    return PageFetcher(appDir, std::move(site), std::move(options));
}

PageFetcher::PageFetcher(QString appDir, AgencySite site, platform::DownloadOptions options)
    : appDir_(std::move(appDir)), scratchFile_(scratchFilePath(appDir_)), site_(std::move(site)),
      downloader_(std::move(options))
{
}

platform::DownloadResult PageFetcher::fetchPage(const QByteArray& address) const
{
    if (QFile::exists(scratchFile_) && !QFile::remove(scratchFile_))
        throw std::runtime_error("Не удалось удалить файл " + scratchFile_.toStdString());
    return downloader_.download(address, scratchFile_);
}

platform::DownloadResult PageFetcher::fetchPreview(const QByteArray& pictureId, const QByteArray& previewAddress) const
{
    const QString preview = previewFilePath(appDir_, pictureId);
    if (QFile::exists(preview))
        return {true, {}};
    return downloader_.download(previewAddress, preview);
}

} // namespace collect
