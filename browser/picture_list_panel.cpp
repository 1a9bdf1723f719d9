#include "browser/picture_list_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include "browser/count_label.h"
#include "browser/folder_tree.h"
#include "browser/folder_tree_view.h"
#include "browser/jpeg_image.h"
#include "browser/period_presets.h"
#include "browser/picture_fields.h"
#include "browser/picture_grid.h"
#include "browser/picture_list_export.h"
#include "browser/picture_list_model.h"
#include "browser/sort_marker_header.h"
#include "collect/agency_site.h"
#include "data/dm.h"
#include "platform/desktop.h"
#include "platform/file_dialog.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"

namespace browser {

namespace {

constexpr int SortDelayMs = 250;

QPixmap fittedPreview(const QImage& image, const QSize& room)
{
    QPixmap pixmap = QPixmap::fromImage(image);
    if (pixmap.width() > room.width() || pixmap.height() > room.height())
        pixmap = pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return pixmap;
}

// The documents folder when there is one, else the home folder.
QString firstExportDir()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

PictureListPanel::PictureListPanel(data::Tdm& dm, BrowserState& state, const PictureListControls& controls)
    : QObject(controls.window), dm_(dm), state_(state), controls_(controls),
      model_(new PictureListModel(dm.qrPictureInfo, this))
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(SortDelayMs);
    controls_.picGrid->setPictureModel(model_);
    dm_.qrPictureInfo.afterScroll = [this] { qrPictureInfoAfterScroll(); };
    buildPopupMenu();
    connectControls();
}

PictureListPanel::~PictureListPanel()
{
    dm_.qrPictureInfo.afterScroll = nullptr;
}

void PictureListPanel::connectControls()
{
    using platform::connectGuarded;
    PictureGrid* grid = controls_.picGrid;
    connectGuarded(grid, &PictureGrid::currentRowMoved, this, [](PictureListPanel* self, int row) {
        self->dm_.qrPictureInfo.moveTo(row);
    });
    connectGuarded(grid->titles(), &SortMarkerHeader::titleButtonClicked, this,
                   &PictureListPanel::picGridTitleBtnClick);
    connectGuarded(model_, &PictureListModel::rowsFetched, this, &PictureListPanel::showKeywordCount);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (dm_.qrPictureInfo.currentIndex() < 0)
            controls_.EDBImage1->clear();
    });
    connectGuarded(Timer1, &QTimer::timeout, this, &PictureListPanel::Timer1Timer);
    connectGuarded(controls_.cbPeriod, &QComboBox::activated, this,
                   [](PictureListPanel* self) { self->cbPeriodChange(QDateTime::currentDateTime()); });
    connectGuarded(controls_.chNoFolder, &QCheckBox::clicked, this, &PictureListPanel::chNoFolderClick);
}

void PictureListPanel::buildPopupMenu()
{
    PictureGrid* grid = controls_.picGrid;
    PopupMenu1 = new QMenu(grid);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(QStringLiteral("Обновить данные"))->setEnabled(false);
    PopupMenu1->addSeparator();
    QAction* view = PopupMenu1->addAction(QStringLiteral("Просмотр  (через IE)"));
    QAction* edit = PopupMenu1->addAction(QStringLiteral("Редактировать (через IE)"));
    QAction* remove = PopupMenu1->addAction(QStringLiteral("Удалить  (через IE)"));
    view->setObjectName(QStringLiteral("IE3"));
    edit->setObjectName(QStringLiteral("IE1"));
    remove->setObjectName(QStringLiteral("IE2"));
    platform::connectGuarded(view, &QAction::triggered, this, &PictureListPanel::IE3Click);
    platform::connectGuarded(edit, &QAction::triggered, this, &PictureListPanel::IE1Click);
    platform::connectGuarded(remove, &QAction::triggered, this, &PictureListPanel::IE2Click);
    PopupMenu1->addSeparator();
    QAction* exportCsv = PopupMenu1->addAction(QStringLiteral("Экспорт в CSV…"));
    exportCsv->setObjectName(QStringLiteral("miExportCsv"));
    platform::connectGuarded(exportCsv, &QAction::triggered, this, &PictureListPanel::miExportCsvClick);
    connect(PopupMenu1, &QMenu::aboutToShow, this,
            [this, exportCsv] { exportCsv->setEnabled(dm_.qrPictureInfo.isOpen()); });
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this, grid](const QPoint& point) { PopupMenu1->popup(grid->viewport()->mapToGlobal(point)); });
}

PictureListFilter PictureListPanel::currentFilter(int folderId) const
{
    PictureListFilter filter;
    filter.folderId = folderId;
    filter.from = controls_.edFrom->date();
    filter.till = controls_.edTill->date();
    filter.onlyNew = controls_.chOnlyNew->isChecked();
    filter.showZero = controls_.chShowZero->isChecked();
    filter.noFolder = controls_.chNoFolder->isChecked();
    filter.keywords = controls_.edKeywords->text();
    // Set only for all pictures: RefreshPictureList ends the batch for any other folder.
    filter.batchId = batchId_;
    return filter;
}

void PictureListPanel::RefreshPictureList(int folderId)
{
    // The list and its counts take a noticeable moment on a large portfolio.
    const platform::WaitCursor waitCursor;
    if (folderId != AllPicturesFolderId)
        batchId_.reset();
    PictureListFilter filter = currentFilter(folderId);
    int markedPosition = -1;
    filter.sort = controls_.picGrid->firstMarkedColumn(&markedPosition);
    dm_.Transaction.commitIfActive();
    dm_.qrPictureInfo.close();
    controls_.lbCount->setText(unknownCountText());
    dm_.qrPictureInfo.setText(pictureListStatement(filter));
    listFrom_ = filter.from;
    listTill_ = filter.till;
    dm_.qrPictureInfo.open();
    if (dm_.qrPictureInfo.eof())
        forgetCurrentPicture();
    // The counts below read the whole SALES table on a large portfolio: show the rows before them.
    controls_.window->repaint();
    UpdateCountLabel();
    prepareColumnTitles();
    if (filter.sort) {
        SortMarkerHeader* titles = controls_.picGrid->titles();
        titles->setMarker(titles->logicalIndex(markedPosition), filter.sort->marker);
    }
}

void PictureListPanel::prepareColumnTitles()
{
    SortMarkerHeader* titles = controls_.picGrid->titles();
    const std::vector<PictureField>& fields = pictureFields();
    for (int column = 0; column < static_cast<int>(fields.size()); ++column) {
        titles->setTitleButton(column, isSortableField(fields[static_cast<std::size_t>(column)].name));
        titles->setTitleTip(column, true);
        controls_.picGrid->setCellTips(column, true);
    }
}

int PictureListPanel::countFromExecute(const QByteArray& sql)
{
    dm_.qrExecute.close();
    dm_.qrExecute.setText(sql);
    dm_.qrExecute.open();
    return dm_.qrExecute.eof() ? 0 : dm_.qrExecute.field(0).asInt32();
}

void PictureListPanel::UpdateCountLabel()
{
    QLabel* label = controls_.lbCount;
    state_.ZeroSalesCount = 0;
    label->setText(unknownCountText());
    if (batchId_ && state_.CurrentFolderId == AllPicturesFolderId) {
        dm_.qrPictureInfo.fetchAll();
        label->setText(batchCountText(*batchId_, dm_.qrPictureInfo.recordCount()));
        return;
    }
    if (hasKeywords(controls_.edKeywords->text()))
        label->setText(partialCountText(dm_.qrPictureInfo.recordCount()));
    else
        label->setText(countText(
            countFromExecute(soldPicturesCountStatement(controls_.edFrom->date(), controls_.edTill->date()))));
    if (controls_.chShowZero->isChecked()) {
        state_.ZeroSalesCount = countFromExecute(zeroSalesCountStatement());
        label->setText(withZeroSales(label->text(), state_.ZeroSalesCount));
    }
}

void PictureListPanel::qrPictureInfoAfterScroll()
{
    data::Dataset& list = dm_.qrPictureInfo;
    model_->followCurrentRow();
    controls_.picGrid->followListRow(list.currentIndex());
    state_.CurrentPictureId = list.field("IDPICTURE").asInt64();
    showKeywordCount();
    platform::guarded([this] { showPreview(); });
    if (list.isOpen() && data::Starting == 0)
        Q_EMIT salesStripNeeded();
}

// While a keyword-filtered list is read further, the label follows the rows fetched so far.
void PictureListPanel::showKeywordCount()
{
    if (!hasKeywords(controls_.edKeywords->text()))
        return;
    const data::Dataset& list = dm_.qrPictureInfo;
    // At the end of data: the last row is current and no further row follows. Having read every row
    // is not enough, since rows are read ahead of the current one.
    const bool atEnd = list.allFetched() && list.currentIndex() == list.recordCount() - 1;
    QString text = scrolledKeywordCountText(controls_.lbCount->text(), list.recordCount(), atEnd);
    if (controls_.chShowZero->isChecked())
        text = withZeroSales(text, state_.ZeroSalesCount);
    controls_.lbCount->setText(text);
}

// The preview shows the stored image of the current row, and nothing while no row is current.
void PictureListPanel::showPreview()
{
    const data::Dataset& list = dm_.qrPictureInfo;
    controls_.EDBImage1->clear();
    if (!list.isOpen() || list.currentIndex() < 0)
        return;
    const QImage image = decodeJpeg(model_->imageAt(list.currentIndex()));
    if (!image.isNull())
        controls_.EDBImage1->setPixmap(fittedPreview(image, controls_.EDBImage1->contentsRect().size()));
}

void PictureListPanel::forgetCurrentPicture()
{
    state_.CurrentPictureId = 0;
    Q_EMIT salesStripCleared();
}

void PictureListPanel::cbPeriodChange(const QDateTime& now)
{
    const std::optional<Period> period = presetPeriod(controls_.cbPeriod->currentIndex(), now);
    if (!period)
        return;
    controls_.edFrom->setDateTime(period->from);
    controls_.edTill->setDateTime(period->till);
}

void PictureListPanel::Button2Click()
{
    RefreshPictureList(state_.CurrentFolderId);
}

void PictureListPanel::Label5Click()
{
    controls_.edKeywords->clear();
}

void PictureListPanel::chNoFolderClick()
{
    if (state_.CurrentFolderId == AllPicturesFolderId)
        RefreshPictureList(AllPicturesFolderId);
    else
        controls_.tvFolders->SelectFolderNode(AllPicturesFolderId);
}

void PictureListPanel::picGridTitleBtnClick()
{
    if (!Timer1->isActive())
        Timer1->start();
}

void PictureListPanel::Timer1Timer()
{
    Timer1->stop();
    RefreshPictureList(state_.CurrentFolderId);
}

void PictureListPanel::openPicturePage(QByteArray (collect::AgencySite::*page)(const QByteArray&) const)
{
    if (state_.CurrentPictureId <= 0)
        return;
    const collect::AgencySite site = collect::AgencySite::load(dm_.appDir());
    const QByteArray address = (site.*page)(QByteArray::number(state_.CurrentPictureId));
    platform::openAddress(QUrl(QString::fromLatin1(address)));
}

void PictureListPanel::IE3Click()
{
    openPicturePage(&collect::AgencySite::picturePage);
}

void PictureListPanel::IE1Click()
{
    openPicturePage(&collect::AgencySite::editPicture);
}

void PictureListPanel::IE2Click()
{
    openPicturePage(&collect::AgencySite::deletePicture);
}

void PictureListPanel::miExportCsvClick()
{
    if (!dm_.qrPictureInfo.isOpen())
        return;
    if (exportDir_.isEmpty())
        exportDir_ = firstExportDir();
    const QString path = platform::askSaveFileName(
        controls_.window,
        {QStringLiteral("Экспорт в CSV"), QDir(exportDir_).filePath(csvFileName(listFrom_, listTill_)),
         QStringLiteral("CSV (*.csv)")});
    if (path.isEmpty())
        return;
    exportDir_ = QFileInfo(path).absolutePath();
    int rows = 0;
    {
        const platform::WaitCursor waitCursor;
        rows = saveCsvFile(path, dm_.IBDatabase1, dm_.Transaction, dm_.qrPictureInfo.text(),
                           exportedColumns(controls_.picGrid->columnOrder()));
    }
    platform::showMessageBox(
        {QMessageBox::Information, QStringLiteral("Экспорт в CSV"),
         QStringLiteral("Записано строк: %1\nФайл: %2").arg(rows).arg(QDir::toNativeSeparators(path)),
         QMessageBox::Ok, QMessageBox::Ok});
}

} // namespace browser
