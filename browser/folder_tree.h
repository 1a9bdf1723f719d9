#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace browser {

// The id of the tree's all-pictures entry: it lists every picture and cannot be changed.
constexpr int AllPicturesFolderId = -1;

// One row of SHOW_TREE: nodes depth-first, each followed by its subtree, level 1 at the top.
struct FolderRow
{
    int id = 0;
    QString title;
    int level = 1;
};

// A tree node: its parent is an index into the node list, -1 at the top level. Children keep the
// order of the rows.
struct FolderNode
{
    int id = 0;
    QString title;
    int parent = -1;
};

// Places each row by its level relative to the row before it: a deeper row goes under the last node,
// an equal one beside it, a shallower one under the ancestor reached by climbing the difference + 1.
std::vector<FolderNode> buildFolderTree(const std::vector<FolderRow>& rows);

// Statements of the folder tree and of moving pictures; ids in decimal, titles as Windows-1251.
QByteArray loadFoldersStatement();
QByteArray addFolderStatement(int parentId);
// The title's apostrophes are doubled, so that any title is stored as typed.
QByteArray renameFolderStatement(int folderId, const QString& title);
QByteArray deleteFolderStatement(int folderId);
// Into a folder, or out of every folder for the all-pictures entry.
QByteArray movePicturesStatement(int folderId, const QByteArray& idList);

// Picture ids joined by "," without blanks.
QByteArray joinIdList(const QStringList& ids);

} // namespace browser
