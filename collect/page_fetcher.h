#pragma once

#include <QByteArray>
#include <QString>

#include "collect/agency_site.h"
#include "platform/downloader.h"

namespace collect {

// The one scratch file that every page is downloaded to: appDir/Temp/temp.html.
QString scratchFilePath(const QString& appDir);

// The preview file of a picture: appDir/PREVIEW/<id>.jpg. The id must be a whole decimal number,
// so that no page can name a file outside PREVIEW.
QString previewFilePath(const QString& appDir, const QByteArray& pictureId);

// Downloads the agency's pages and previews with the browser login. The results may be ignored:
// the readers judge by the files.
class PageFetcher
{
public:
    // Reads the agency section of conf.ini in appDir and prepares the login cookies (see
    // prepareCookieJar, with the user's home folder). With abortOn, a termination signal cuts the
    // downloads (platform::DownloadAborted).
    static PageFetcher create(const QString& appDir, const platform::TerminationRequest* abortOn = nullptr);

    PageFetcher(QString appDir, AgencySite site, platform::DownloadOptions options);

    const AgencySite& site() const { return site_; }
    const QString& scratchFile() const { return scratchFile_; }

    // Downloads the address to the scratch file. The previous page is removed first, so a page that
    // did not arrive leaves no scratch file and can never be taken for another one.
    platform::DownloadResult fetchPage(const QByteArray& address) const;

    // Downloads a picture's preview unless its preview file exists already: a present preview is
    // never fetched again.
    platform::DownloadResult fetchPreview(const QByteArray& pictureId, const QByteArray& previewAddress) const;

private:
    QString appDir_;
    QString scratchFile_;
    AgencySite site_;
    platform::Downloader downloader_;
};

} // namespace collect
