#include "tests/browser/browser_harness.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "browser/period_presets.h"
#include "browser/picture_list_model.h"
#include "browser/sort_marker_header.h"
#include "data/dm.h"

namespace browser_tests {

namespace {

class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { application_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[13] = "browser_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

template <typename Widget> Widget* named(Widget* widget, const char* name, QWidget* parent)
{
    widget->setObjectName(QLatin1String(name));
    widget->setParent(parent);
    return widget;
}

} // namespace

BrowserHarness::BrowserHarness()
    : picGrid(named(new browser::PictureGrid, "picGrid", &window)),
      tvFolders(named(new browser::FolderTreeView, "tvFolders", &window)),
      EDBImage1(named(new QLabel, "EDBImage1", &window)), edFrom(named(new QDateTimeEdit, "edFrom", &window)),
      edTill(named(new QDateTimeEdit, "edTill", &window)), cbPeriod(named(new QComboBox, "cbPeriod", &window)),
      edKeywords(named(new QLineEdit, "edKeywords", &window)),
      chShowZero(named(new QCheckBox, "chShowZero", &window)), chOnlyNew(named(new QCheckBox, "chOnlyNew", &window)),
      chNoFolder(named(new QCheckBox, "chNoFolder", &window)), lbCount(named(new QLabel(QStringLiteral("?")), "lbCount", &window))
{
    window.resize(900, 600);
    tvFolders->setGeometry(0, 0, 145, 400);
    picGrid->setGeometry(150, 0, 600, 400);
    EDBImage1->setGeometry(760, 0, 113, 113);
    cbPeriod->addItems(browser::periodPresetNames());
    cbPeriod->setCurrentIndex(-1);
    setPeriod(QDate(2010, 3, 1), QDate(2010, 3, 31));
    list = new browser::PictureListPanel(dm(), state,
                                         {&window, picGrid, tvFolders, EDBImage1, edFrom, edTill, cbPeriod,
                                          edKeywords, chShowZero, chOnlyNew, chNoFolder, lbCount});
    folders = new browser::FolderPanel(dm(), state, tvFolders, picGrid, chNoFolder, *list);
    data::Starting = 0;
    window.show();
}

void BrowserHarness::seed(std::initializer_list<QByteArray> statements)
{
    for (const QByteArray& sql : statements) {
        dm().qrExecute.setText(sql);
        dm().qrExecute.execute();
    }
    dm().Transaction.commit();
}

void BrowserHarness::setPeriod(QDate from, QDate till)
{
    edFrom->setDateTime(QDateTime(from, QTime(14, 39, 26)));
    edTill->setDateTime(QDateTime(till, QTime(14, 39, 26)));
}

int BrowserHarness::rowOf(qint64 pictureId)
{
    browser::PictureListModel* model = list->model();
    model->fetchAll();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->valueAt(row, browser::ColIdPicture).asInt64() == pictureId)
            return row;
    return -1;
}

QList<qint64> BrowserHarness::listedIds()
{
    QList<qint64> ids;
    browser::PictureListModel* model = list->model();
    model->fetchAll();
    for (int row = 0; row < model->rowCount(); ++row)
        ids.append(model->valueAt(row, browser::ColIdPicture).asInt64());
    return ids;
}

void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
}

void clickAt(QWidget* widget, QPoint point, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    const QPointF local(point);
    const QPointF global = widget->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, modifiers);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, modifiers);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

void clickTitle(browser::PictureGrid* grid, int column, Qt::KeyboardModifiers modifiers)
{
    browser::SortMarkerHeader* titles = grid->titles();
    const int x = titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2;
    clickAt(titles->viewport(), QPoint(x, titles->height() / 2), modifiers);
}

QPoint nodeCentre(browser::FolderTreeView* tree, int folderId)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (browser::FolderTreeView::nodeId(*it) == folderId)
            return tree->visualItemRect(*it).center();
    return {};
}

bool dropOnTree(browser::FolderTreeView* tree, QPoint point)
{
    QMimeData mime;
    mime.setData(QString::fromLatin1(browser::PictureGrid::DragFormat), QByteArray());
    QDragEnterEvent enter(point, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &enter);
    QDropEvent drop(QPointF(point), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &drop);
    return drop.isAccepted();
}

} // namespace browser_tests
