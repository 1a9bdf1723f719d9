#include "analytics/group_figures.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <map>

#include "platform/html_entities.h"
#include "platform/win1251.h"

namespace analytics {

namespace {

using SalesByPicture = QHash<std::int64_t, Sales>;

SalesByPicture salesByPicture(const std::vector<PictureSales>& sales)
{
    SalesByPicture byPicture;
    byPicture.reserve(qsizetype(sales.size()));
    for (const PictureSales& picture : sales)
        byPicture.insert(picture.pictureId, picture.sales);
    return byPicture;
}

GroupFigures groupNamed(const QString& name)
{
    GroupFigures group;
    group.name = name;
    return group;
}

void addPicture(GroupFigures& group, const Sales& sales)
{
    ++group.pictures;
    group.sales += sales;
    if (sales.downloads > 0)
        ++group.picturesSold;
}

// The whole portfolio's earnings per picture: every picture of the database, with its sales.
double portfolioEarningsPerPicture(const std::vector<PictureFacts>& pictures, const SalesByPicture& sales)
{
    double earnings = 0;
    for (const PictureFacts& picture : pictures)
        earnings += sales.value(picture.id).earnings;
    return pictures.empty() ? 0 : earnings / double(pictures.size());
}

std::vector<GroupFigures> withIndexes(std::vector<GroupFigures> groups, double portfolioPerPicture)
{
    for (GroupFigures& group : groups)
        if (portfolioPerPicture > 0)
            group.index = 100 * group.earningsPerPicture() / portfolioPerPicture;
    return groups;
}

} // namespace

std::vector<GroupFigures> batchFigures(const std::vector<PictureFacts>& pictures,
                                       const std::vector<PictureSales>& sales)
{
    const SalesByPicture byPicture = salesByPicture(sales);
    std::map<std::int64_t, GroupFigures> batches;
    GroupFigures noBatch = groupNamed(NoBatchName);
    for (const PictureFacts& picture : pictures) {
        const Sales pictureSales = byPicture.value(picture.id);
        if (!picture.batchId) {
            addPicture(noBatch, pictureSales);
            continue;
        }
        GroupFigures& batch = batches[*picture.batchId];
        batch.batchId = picture.batchId;
        batch.name = QString::number(*picture.batchId);
        if (picture.accepted && (!batch.accepted || *picture.accepted < *batch.accepted))
            batch.accepted = picture.accepted;
        addPicture(batch, pictureSales);
    }
    std::vector<GroupFigures> groups;
    for (auto& [id, batch] : batches)
        groups.push_back(std::move(batch));
    // Newest first; batches without a date after them, by id.
    std::stable_sort(groups.begin(), groups.end(), [](const GroupFigures& a, const GroupFigures& b) {
        return a.accepted.value_or(QDate()) > b.accepted.value_or(QDate());
    });
    if (noBatch.pictures > 0)
        groups.push_back(std::move(noBatch));
    return withIndexes(std::move(groups), portfolioEarningsPerPicture(pictures, byPicture));
}

std::vector<GroupFigures> folderFigures(const std::vector<PictureFacts>& pictures,
                                        const std::vector<FolderFacts>& folders,
                                        const std::vector<PictureSales>& sales)
{
    const SalesByPicture byPicture = salesByPicture(sales);
    std::vector<GroupFigures> groups;
    QHash<int, std::size_t> groupOfFolder;
    for (const FolderFacts& folder : folders) {
        groupOfFolder.insert(folder.id, groups.size());
        groups.push_back(groupNamed(folder.path));
    }
    GroupFigures noFolder = groupNamed(NoFolderName);
    for (const PictureFacts& picture : pictures) {
        const auto group =
            picture.folderId ? groupOfFolder.constFind(*picture.folderId) : groupOfFolder.cend();
        addPicture(group == groupOfFolder.cend() ? noFolder : groups[*group], byPicture.value(picture.id));
    }
    if (noFolder.pictures > 0)
        groups.push_back(std::move(noFolder));
    return withIndexes(std::move(groups), portfolioEarningsPerPicture(pictures, byPicture));
}

QStringList splitKeywords(const QByteArray& stored)
{
    QStringList keywords;
    QSet<QString> seen;
    const QString text = platform::decodeHtmlEntities(platform::fromWin1251(stored));
    for (const QString& entry : text.split(QLatin1Char(','))) {
        const QString keyword = entry.trimmed().toCaseFolded();
        if (!keyword.isEmpty() && !seen.contains(keyword)) {
            seen.insert(keyword);
            keywords.append(keyword);
        }
    }
    return keywords;
}

std::vector<GroupFigures> keywordFigures(const std::vector<PictureFacts>& pictures,
                                         const std::vector<PictureKeywords>& keywords,
                                         const std::vector<PictureSales>& sales, int minimumPictures)
{
    const SalesByPicture byPicture = salesByPicture(sales);
    QHash<QString, GroupFigures> groups;
    for (const PictureKeywords& picture : keywords) {
        const Sales pictureSales = byPicture.value(picture.pictureId);
        for (const QString& keyword : splitKeywords(picture.keywords)) {
            GroupFigures& group = groups[keyword];
            group.name = keyword;
            addPicture(group, pictureSales);
        }
    }
    std::vector<GroupFigures> result;
    for (GroupFigures& group : groups)
        if (group.pictures >= minimumPictures)
            result.push_back(std::move(group));
    std::sort(result.begin(), result.end(), [](const GroupFigures& a, const GroupFigures& b) {
        return a.sales.earnings != b.sales.earnings ? a.sales.earnings > b.sales.earnings : a.name < b.name;
    });
    return withIndexes(std::move(result), portfolioEarningsPerPicture(pictures, byPicture));
}

std::vector<GroupFigures> readBatchFigures(data::Connection& connection, data::Transaction& transaction,
                                           const Period& period)
{
    const std::vector<PictureSales> sales = readPictureSales(connection, transaction, period);
    return batchFigures(readPictures(connection, transaction), sales);
}

std::vector<GroupFigures> readFolderFigures(data::Connection& connection, data::Transaction& transaction,
                                            const Period& period)
{
    const std::vector<PictureSales> sales = readPictureSales(connection, transaction, period);
    return folderFigures(readPictures(connection, transaction), readFolders(connection, transaction), sales);
}

std::vector<GroupFigures> readKeywordFigures(data::Connection& connection, data::Transaction& transaction,
                                             const Period& period, int minimumPictures)
{
    const std::vector<PictureSales> sales = readPictureSales(connection, transaction, period);
    return keywordFigures(readPictures(connection, transaction), readKeywords(connection, transaction), sales,
                          minimumPictures);
}

} // namespace analytics
