#include "browser/folder_tree.h"

#include "data/sql_text.h"
#include "platform/win1251.h"

namespace browser {

namespace {

int parentOf(const std::vector<FolderNode>& nodes, int node)
{
    return node < 0 ? -1 : nodes[static_cast<std::size_t>(node)].parent;
}

int parentForLevel(const std::vector<FolderNode>& nodes, int lastNode, int previousLevel, int level)
{
    if (level == 1)
        return -1;
    if (level > previousLevel)
        return lastNode;
    if (level == previousLevel)
        return parentOf(nodes, lastNode);
    int reached = lastNode;
    for (int climb = previousLevel - level + 1; climb > 0 && reached >= 0; --climb)
        reached = parentOf(nodes, reached);
    return reached;
}

} // namespace

std::vector<FolderNode> buildFolderTree(const std::vector<FolderRow>& rows)
{
    std::vector<FolderNode> nodes;
    nodes.reserve(rows.size());
    int previousLevel = 0;
    int lastNode = -1;
    for (const FolderRow& row : rows) {
        nodes.push_back({row.id, row.title, parentForLevel(nodes, lastNode, previousLevel, row.level)});
        lastNode = static_cast<int>(nodes.size()) - 1;
        previousLevel = row.level;
    }
    return nodes;
}

QByteArray loadFoldersStatement()
{
    return "select ID, IDPARENT, TITLE, LEVEL_NUM from  SHOW_TREE(0, 0)";
}

QByteArray addFolderStatement(int parentId)
{
    return "insert into FOLDERS (IDPARENT, TITLE) values (" + QByteArray::number(parentId) + ", '" +
           platform::toWin1251(QStringLiteral("Новая папка")) + "')";
}

QByteArray renameFolderStatement(int folderId, const QString& title)
{
    return "update FOLDERS set TITLE = '" + data::doubledQuotes(platform::toWin1251(title)) + "' " +
           "where ID = " + QByteArray::number(folderId);
}

QByteArray deleteFolderStatement(int folderId)
{
    return "delete from FOLDERS where ID = " + QByteArray::number(folderId);
}

QByteArray movePicturesStatement(int folderId, const QByteArray& idList)
{
    if (folderId == AllPicturesFolderId)
        return "update PICTURES set IDFOLDER = NULL where ID in (" + idList + ")";
    return "update PICTURES set IDFOLDER = " + QByteArray::number(folderId) + " where ID in (" + idList + ")";
}

QByteArray joinIdList(const QStringList& ids)
{
    return ids.join(QLatin1Char(',')).toLatin1();
}

} // namespace browser
