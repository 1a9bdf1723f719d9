// The folder tree built from SHOW_TREE's levels, and the statements of the folder commands.

#include <gtest/gtest.h>

#include "browser/folder_tree.h"
#include "platform/win1251.h"

namespace {

using browser::FolderNode;
using browser::FolderRow;

// Each node as "id<parent id" (top-level nodes as "id<top"), in row order.
std::vector<std::string> placement(const std::vector<FolderRow>& rows)
{
    const std::vector<FolderNode> nodes = browser::buildFolderTree(rows);
    std::vector<std::string> placed;
    for (const FolderNode& node : nodes)
        placed.push_back(std::to_string(node.id) + "<" +
                         (node.parent < 0 ? std::string("top")
                                          : std::to_string(nodes[static_cast<std::size_t>(node.parent)].id)));
    return placed;
}

std::vector<FolderRow> levels(std::initializer_list<std::pair<int, int>> idAndLevel)
{
    std::vector<FolderRow> rows;
    for (auto [id, level] : idAndLevel)
        rows.push_back({id, QString::number(id), level});
    return rows;
}

TEST(FolderTree, EachNodeLandsUnderTheNearestEarlierNodeOneLevelUp)
{
    EXPECT_EQ(placement(levels({{-1, 1}, {0, 1}, {5, 2}, {6, 3}, {7, 2}, {8, 1}})),
              (std::vector<std::string>{"-1<top", "0<top", "5<0", "6<5", "7<0", "8<top"}));
}

TEST(FolderTree, ClimbsSeveralLevelsAtOnce)
{
    EXPECT_EQ(placement(levels({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 2}, {5, 3}, {6, 4}, {7, 3}})),
              (std::vector<std::string>{"0<top", "1<0", "2<1", "3<2", "4<0", "5<4", "6<5", "7<4"}));
}

TEST(FolderTree, ToleratesRowsThatStartBelowTheTop)
{
    EXPECT_EQ(placement(levels({{3, 2}, {4, 2}, {5, 1}})), (std::vector<std::string>{"3<top", "4<top", "5<top"}));
    EXPECT_TRUE(browser::buildFolderTree({}).empty());
}

TEST(FolderTree, KeepsTitles)
{
    const std::vector<FolderNode> nodes = browser::buildFolderTree({{-1, QStringLiteral("Все изображения"), 1}});
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].title, QStringLiteral("Все изображения"));
}

TEST(FolderStatements, AreTheFixedTexts)
{
    EXPECT_EQ(browser::loadFoldersStatement(), "select ID, IDPARENT, TITLE, LEVEL_NUM from  SHOW_TREE(0, 0)");
    EXPECT_EQ(browser::addFolderStatement(5),
              "insert into FOLDERS (IDPARENT, TITLE) values (5, '" +
                  platform::toWin1251(QStringLiteral("Новая папка")) + "')");
    EXPECT_EQ(browser::deleteFolderStatement(6), "delete from FOLDERS where ID = 6");
    EXPECT_EQ(browser::movePicturesStatement(7, "101,102,103"),
              "update PICTURES set IDFOLDER = 7 where ID in (101,102,103)");
    EXPECT_EQ(browser::movePicturesStatement(-1, "101,102,103"),
              "update PICTURES set IDFOLDER = NULL where ID in (101,102,103)");
    EXPECT_EQ(browser::joinIdList({QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("103")}),
              "101,102,103");
}

TEST(FolderStatements, RenameKeepsAnApostropheInsideTheTitle)
{
    EXPECT_EQ(browser::renameFolderStatement(5, QStringLiteral("Children's")),
              "update FOLDERS set TITLE = 'Children''s' where ID = 5");
    EXPECT_EQ(browser::renameFolderStatement(5, QStringLiteral("Зима")),
              "update FOLDERS set TITLE = '" + platform::toWin1251(QStringLiteral("Зима")) + "' where ID = 5");
}

} // namespace
