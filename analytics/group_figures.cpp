#include "analytics/group_figures.h"

#include <QHash>

#include <algorithm>
#include <map>

#include "platform/html_entities.h"
#include "platform/win1251.h"

namespace analytics {

namespace {

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

// A picture's sales in the period read; nothing when it has none.
Sales salesOf(const PictureFacts& picture)
{
    return picture.sales.value_or(Sales{});
}

// The whole portfolio's earnings per picture: every picture of the database, with its sales.
double portfolioEarningsPerPicture(const std::vector<PictureFacts>& pictures)
{
    double earnings = 0;
    for (const PictureFacts& picture : pictures)
        earnings += salesOf(picture).earnings;
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

std::vector<GroupFigures> batchFigures(const std::vector<PictureFacts>& pictures)
{
    std::map<std::int64_t, GroupFigures> batches;
    GroupFigures noBatch = groupNamed(NoBatchName);
    for (const PictureFacts& picture : pictures) {
        const Sales pictureSales = salesOf(picture);
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
    return withIndexes(std::move(groups), portfolioEarningsPerPicture(pictures));
}

std::vector<GroupFigures> folderFigures(const std::vector<PictureFacts>& pictures,
                                        const std::vector<FolderFacts>& folders)
{
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
        addPicture(group == groupOfFolder.cend() ? noFolder : groups[*group], salesOf(picture));
    }
    if (noFolder.pictures > 0)
        groups.push_back(std::move(noFolder));
    return withIndexes(std::move(groups), portfolioEarningsPerPicture(pictures));
}

QStringList splitKeywords(const QByteArray& stored)
{
    QStringList keywords;
    const QString text = platform::decodeHtmlEntities(platform::fromWin1251(stored));
    // A picture has a few dozen keywords at most, looked through faster than a set is built.
    for (const QStringView entry : QStringView(text).split(u',')) {
        QString keyword = entry.trimmed().toString().toCaseFolded();
        if (!keyword.isEmpty() && !keywords.contains(keyword))
            keywords.append(std::move(keyword));
    }
    return keywords;
}

std::vector<GroupFigures> keywordFigures(const std::vector<PictureFacts>& pictures, int minimumPictures)
{
    QHash<QString, GroupFigures> groups;
    for (const PictureFacts& picture : pictures) {
        if (picture.keywords.isEmpty())
            continue;
        const Sales pictureSales = salesOf(picture);
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
    return withIndexes(std::move(result), portfolioEarningsPerPicture(pictures));
}

std::vector<GroupFigures> readBatchFigures(data::Connection& connection, data::Transaction& transaction,
                                           const Period& period)
{
    return batchFigures(readPictures(connection, transaction, period));
}

std::vector<GroupFigures> readFolderFigures(data::Connection& connection, data::Transaction& transaction,
                                            const Period& period)
{
    const std::vector<PictureFacts> pictures = readPictures(connection, transaction, period);
    return folderFigures(pictures, readFolders(connection, transaction));
}

std::vector<GroupFigures> readKeywordFigures(data::Connection& connection, data::Transaction& transaction,
                                             const Period& period, int minimumPictures)
{
    return keywordFigures(readPictures(connection, transaction, period, WithKeywords::Yes), minimumPictures);
}

} // namespace analytics
