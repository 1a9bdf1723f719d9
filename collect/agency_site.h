#pragma once

#include <QByteArray>
#include <QString>

namespace collect {

// The agency's web addresses and the source of the browser login, configured in section "Agency" of
// conf.ini beside the program:
//   ContributorSite  base address of the contributor site, e.g. http://127.0.0.1:8080
//   PublicSite       base address of the public site with the picture pages
//   CookieFile       a Netscape cookies.txt with the login (relative: beside the program); empty or
//                    absent: the cookies of the user's Firefox profile
// There is no built-in address: an address that is used but not configured is an error that says
// where to set it.
class AgencySite
{
public:
    // Reads conf.ini in appDir; a missing file or section leaves everything unset.
    static AgencySite load(const QString& appDir);

    AgencySite(QByteArray contributorSite, QByteArray publicSite, QString cookieFile);

    // Contributor pages. Ids must be whole decimal numbers.
    QByteArray startPage() const;
    QByteArray statsPage() const;
    QByteArray monthStats(const QByteArray& month) const; // month: yyyy-mm
    QByteArray dayStats(const QByteArray& day) const;     // day: yyyy-mm-dd
    QByteArray approvedBatches() const;
    QByteArray batchPage(const QByteArray& batchId, int page) const;
    QByteArray batchInBrowser(const QByteArray& batchId) const;
    QByteArray editPicture(const QByteArray& pictureId) const;
    QByteArray deletePicture(const QByteArray& pictureId) const;

    // The public page of a picture.
    QByteArray picturePage(const QByteArray& pictureId) const;

    // The host name of the contributor site, whose cookies the downloads need.
    QByteArray contributorHost() const;

    // The configured cookie file as an absolute path; empty when the cookies come from Firefox.
    const QString& cookieFile() const { return cookieFile_; }

private:
    QByteArray contributorAddress(const QByteArray& pathAndQuery) const;

    QByteArray contributorSite_;
    QByteArray publicSite_;
    QString cookieFile_;
};

} // namespace collect
