#pragma once

#include <QDateTime>
#include <QObject>

#include "browser/browser_state.h"
#include "browser/picture_list_statement.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QWidget;

namespace collect {
class AgencySite;
} // namespace collect

namespace data {
class Tdm;
} // namespace data

namespace browser {

class FolderTreeView;
class PictureGrid;
class PictureListModel;

// The main window's controls that the picture list reads and fills.
struct PictureListControls
{
    QWidget* window = nullptr;
    PictureGrid* picGrid = nullptr;
    FolderTreeView* tvFolders = nullptr;
    QLabel* EDBImage1 = nullptr;
    QDateTimeEdit* edFrom = nullptr;
    QDateTimeEdit* edTill = nullptr;
    QComboBox* cbPeriod = nullptr;
    QLineEdit* edKeywords = nullptr;
    QCheckBox* chShowZero = nullptr;
    QCheckBox* chOnlyNew = nullptr;
    QCheckBox* chNoFolder = nullptr;
    QLabel* lbCount = nullptr;
};

// The picture list of the main window: its statement from the filter group, the count label, the
// preview of the current row, the period presets, sorting by a title (deferred by Timer1) and the
// grid's pop-up menu with the picture's pages and the export of the whole list to a CSV file.
class PictureListPanel : public QObject
{
    Q_OBJECT

public:
    PictureListPanel(data::Tdm& dm, BrowserState& state, const PictureListControls& controls);
    ~PictureListPanel() override;

    // Rebuilds the list of this folder with the period, the switches, the keywords and the sort
    // marker of the grid; commits a running transaction first. Any folder but all pictures ends the
    // showing of a batch.
    void RefreshPictureList(int folderId);
    // The list of all pictures shows only this batch's pictures, with or without downloads, from its
    // next rebuild until a folder other than all pictures is chosen.
    void setBatch(std::int64_t batchId) { batchId_ = batchId; }
    void UpdateCountLabel();
    void qrPictureInfoAfterScroll();

    // Applies the selected preset relative to "now" to the two date pickers.
    void cbPeriodChange(const QDateTime& now);
    void Button2Click();
    void Label5Click();
    void chNoFolderClick();
    void picGridTitleBtnClick();
    void Timer1Timer();
    void IE3Click();
    void IE1Click();
    void IE2Click();
    // Writes every row of the list's statement to a CSV file that the user chooses.
    void miExportCsvClick();

    PictureListModel* model() const { return model_; }
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

Q_SIGNALS:
    // The current row has changed: the daily sales strip is to be drawn for it.
    void salesStripNeeded();
    // The list has opened without rows: no picture is current any more.
    void salesStripCleared();

private:
    PictureListFilter currentFilter(int folderId) const;
    void prepareColumnTitles();
    void showKeywordCount();
    void showPreview();
    void forgetCurrentPicture();
    int countFromExecute(const QByteArray& sql);
    // Opens the current picture's page, built from its id by the agency's configured addresses.
    void openPicturePage(QByteArray (collect::AgencySite::*page)(const QByteArray&) const);
    void buildPopupMenu();
    void connectControls();

    data::Tdm& dm_;
    BrowserState& state_;
    PictureListControls controls_;
    PictureListModel* model_;
    // The period of the list as last built, for the suggested file name.
    QDate listFrom_, listTill_;
    std::optional<std::int64_t> batchId_;
    QString exportDir_;
};

} // namespace browser
