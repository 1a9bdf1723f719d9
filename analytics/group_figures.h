#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

#include "analytics/portfolio_facts.h"

namespace analytics {

// What a group of pictures (a batch, a keyword, a folder) sold in a period.
struct GroupFigures
{
    // The batch id, the keyword or the folder's path; "без партии" and "без папки" for the pictures
    // without one.
    QString name;
    // The batch's id; none for other groups and the pictures without a batch.
    std::optional<std::int64_t> batchId;
    // The earliest acceptance date of the group's pictures (batches only).
    std::optional<QDate> accepted;
    int pictures = 0;
    int picturesSold = 0;
    Sales sales;
    // 100 × the group's earnings per picture / the whole portfolio's; none when the portfolio earned
    // nothing.
    std::optional<double> index;

    double earningsPerPicture() const { return pictures ? sales.earnings / pictures : 0; }
    double shareSold() const { return pictures ? double(picturesSold) / pictures : 0; }
};

inline const QString NoBatchName = QStringLiteral("без партии");
inline const QString NoFolderName = QStringLiteral("без папки");
inline constexpr int DefaultMinimumPictures = 5;

// One group per batch, newest acceptance first, then the pictures without a batch.
std::vector<GroupFigures> batchFigures(const std::vector<PictureFacts>& pictures);
// One group per folder in the folders' order, then the pictures without a folder.
std::vector<GroupFigures> folderFigures(const std::vector<PictureFacts>& pictures,
                                        const std::vector<FolderFacts>& folders);
// One group per keyword with at least minimumPictures pictures, by earnings, most first (then by name).
// The stored keywords have their HTML character references decoded and are split on commas, trimmed
// and case-folded; a keyword counts once per picture, and empty entries count not at all.
std::vector<GroupFigures> keywordFigures(const std::vector<PictureFacts>& pictures, int minimumPictures);

// The distinct keywords of one stored KEYWORDS text, as keywordFigures counts them, in order of
// first appearance.
QStringList splitKeywords(const QByteArray& stored);

std::vector<GroupFigures> readBatchFigures(data::Connection& connection, data::Transaction& transaction,
                                           const Period& period);
std::vector<GroupFigures> readFolderFigures(data::Connection& connection, data::Transaction& transaction,
                                            const Period& period);
std::vector<GroupFigures> readKeywordFigures(data::Connection& connection, data::Transaction& transaction,
                                             const Period& period, int minimumPictures);

} // namespace analytics
