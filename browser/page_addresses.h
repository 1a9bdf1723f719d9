#pragma once

#include <QString>
#include <QtGlobal>

namespace browser {

// The picture's pages that the grid's pop-up menu opens.
enum class PicturePage { View, Edit, Delete };

// The page's address for a picture id: the public site for viewing, the contributor site for editing
// and deleting. A site is a base address such as http://host:port, with or without a final "/".
QString picturePageAddress(PicturePage page, qint64 pictureId, const QString& publicSite,
                           const QString& contributorSite);

} // namespace browser
