#pragma once

#include <QDate>
#include <QMainWindow>

#include <cstdint>
#include <QStringList>

#include "browser/browser_state.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace browser {
class FolderPanel;
class FolderTreeView;
class PictureGrid;
class PictureListPanel;
class SalesStripBox;
class SalesStripPanel;
} // namespace browser

namespace data {
class Tdm;
} // namespace data

namespace analytics {
class AnalyticsWindow;
} // namespace analytics

namespace platform {
class ClickLabel;
} // namespace platform

namespace app {

class WindowSettings;

// The main window "Список объектов": folder tree on the left, picture grid in the centre, preview and
// filter group on the right, daily sales strip at the bottom, and the main menu. Its controls carry
// the names by which the rest of the program (and the settings file) finds them.
//
// Creation (the constructor) builds the controls in their design states and takes the program's
// directory; nothing here touches the data module before the first show.
class TfmMain : public QMainWindow, public browser::BrowserState
{
    Q_OBJECT

public:
    explicit TfmMain(const QString& programDir, QWidget* parent = nullptr);

    // Joins the grid, the preview and the folder tree to the data module's picture list, once the data
    // module has been created.
    void joinDataModule(data::Tdm& module);

    // The first show: loads the stored settings of this window and of the collection window, centres
    // the window, applies the period preset (the stored one, else "за все время"), clears Starting,
    // connects the database and starts the transaction, gives the folder tree the focus, loads it
    // (which selects a folder and so fills the picture list), restores the grid's column layout and
    // builds the list once more in the grid's sort order. Settings that cannot be read are reported and
    // the sequence goes on without them; any other error ends it at the failed step.
    void FormShow();
    // Rebuilds the picture list of the folder with the filter group's settings.
    void RefreshPictureList(int folderId);
    // Runs as the window closes, before the program ends: saves the grid's column layout, this window's
    // settings and the collection window's, each only once this run has loaded it.
    void FormClose();

    void N3Click();
    // "Пробелы": the calendar of collected days and gaps, from which the collection window opens with
    // the gaps ticked.
    void miGapsClick();
    void N2Click();
    void N10Click();
    void N101Click();
    // Opens the analytics window (made at its first opening) for the period of the date pickers.
    void miAnalyticsClick();
    // Shows the pictures of a batch in the grid: all pictures' folder, the analytics' period.
    void showBatch(std::int64_t batchId, QDate from, QDate till);
    // Maintenance command of the hidden Button1: fills the CALENDAR table.
    void Button1Click();

    // The program's directory, without a trailing separator.
    QString AppDir;
    // Tokens of the DIAGRAM text of the mini-chart cell being painted.
    QStringList DiagramTokens;

    // Controls, owned by the window.
    QWidget* Panel1 = nullptr;
    QFrame* pnLeft = nullptr;
    browser::FolderTreeView* tvFolders = nullptr;
    browser::PictureGrid* picGrid = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* EDBImage1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QFrame* Panel2 = nullptr;
    QDateTimeEdit* edFrom = nullptr;
    QDateTimeEdit* edTill = nullptr;
    QComboBox* cbPeriod = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* edKeywords = nullptr;
    platform::ClickLabel* Label5 = nullptr;
    QCheckBox* chWithoutFirstDays = nullptr;
    QCheckBox* chShowZero = nullptr;
    QCheckBox* chOnlyNew = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* lbCount = nullptr;
    QCheckBox* chNoFolder = nullptr;
    QFrame* pnBottom = nullptr;
    browser::SalesStripBox* ScrollBox1 = nullptr;
    QPushButton* Button1 = nullptr;

    QAction* N3 = nullptr;
    QAction* miGaps = nullptr;
    QAction* N2 = nullptr;
    QAction* N10 = nullptr;
    QAction* N101 = nullptr;
    QAction* miAnalytics = nullptr;
    // The analytics window; not modal, made at its first opening.
    analytics::AnalyticsWindow* fmAnalytics = nullptr;

    // The collection window's settings, loaded at the first show and saved at close with this
    // window's; set by the program.
    WindowSettings* updateFormSettings = nullptr;

    // The picture list, the folder tree and the daily strip over the controls; created with the data
    // module.
    browser::PictureListPanel* pictureList = nullptr;
    browser::FolderPanel* folderPanel = nullptr;
    browser::SalesStripPanel* salesStrip = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter in a control that does not use it presses the default button "Применить".
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenu();
    QWidget* buildCentre();
    QWidget* buildLeftPanel();
    QWidget* buildGrid();
    QWidget* buildRightPanel();
    QWidget* buildFilterGroup();
    QWidget* buildPeriodPanel();
    QWidget* buildKeywordRow();
    QWidget* buildCountRow();
    QWidget* buildBottomPanel();
    void connectHandlers();

    bool shown_ = false;
    WindowSettings* settings_;
    bool gridLayoutLoaded_ = false;
};

// The main window; created first at start-up.
extern TfmMain* fmMain;

} // namespace app
