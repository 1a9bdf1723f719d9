#include "browser/page_addresses.h"

namespace browser {

namespace {

QString withoutFinalSlash(QString site)
{
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

} // namespace

QString picturePageAddress(PicturePage page, qint64 pictureId, const QString& publicSite,
                           const QString& contributorSite)
{
    const QString id = QString::number(pictureId);
    switch (page) {
    case PicturePage::View:
        return withoutFinalSlash(publicSite) + QStringLiteral("/pic.mhtml?id=") + id;
    case PicturePage::Edit:
        return withoutFinalSlash(contributorSite) + QStringLiteral("/edit.mhtml?id=") + id +
               QStringLiteral("&type=photos");
    case PicturePage::Delete:
        return withoutFinalSlash(contributorSite) + QStringLiteral("/delete.mhtml?id=") + id +
               QStringLiteral("&type=photos");
    }
    return {};
}

} // namespace browser
