#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "app/about_box.h"
#include "app/calendar_fill.h"
#include "app/grid_layout_settings.h"
#include "app/program.h"
#include "app/window_placement.h"
#include "app/window_settings.h"
#include "analytics/analytics_window.h"
#include "browser/folder_panel.h"
#include "browser/folder_tree.h"
#include "browser/picture_cell_delegate.h"
#include "browser/picture_grid.h"
#include "browser/picture_list_panel.h"
#include "browser/sales_strip_panel.h"
#include "collect/explorer_window.h"
#include "collect/gaps_window.h"
#include "data/dm.h"
#include "platform/click_label.h"
#include "platform/handler_guard.h"
#include "platform/ini_file.h"
#include "platform/window_font.h"

namespace app {

TfmMain* fmMain = nullptr;

namespace {

const QSize DesignSize(882, 584);
// "за все время": the first start, with no stored preset, shows every collected sale.
const int AllTimePreset = 8;

void connectDatabase(data::Tdm& module)
{
    module.IBDatabase1.connect();
    module.Transaction.activate();
}

// Loads a window section; what cannot be read is shown in the error box, and the caller goes on.
SectionLoad loadReportingProblems(WindowSettings& settings)
{
    SectionLoad stored;
    if (platform::guarded([&] { stored = settings.load(); }) && !stored.problems.isEmpty())
        platform::reportError(std::make_exception_ptr(std::runtime_error(stored.problems.toStdString())));
    return stored;
}

} // namespace

TfmMain::TfmMain(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), AppDir(QDir::cleanPath(programDir))
{
    settings_ = new WindowSettings(*this, mainFormSection(), settingsFilePath(AppDir));
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Список объектов"));
    resize(DesignSize);
    setFont(platform::windowFont());
    buildMenu();
    setCentralWidget(buildCentre());
    connectHandlers();
}

void TfmMain::connectHandlers()
{
    platform::connectGuarded(N3, &QAction::triggered, this, &TfmMain::N3Click);
    platform::connectGuarded(miGaps, &QAction::triggered, this, &TfmMain::miGapsClick);
    platform::connectGuarded(N2, &QAction::triggered, this, &TfmMain::N2Click);
    platform::connectGuarded(N10, &QAction::triggered, this, &TfmMain::N10Click);
    platform::connectGuarded(N101, &QAction::triggered, this, &TfmMain::N101Click);
    platform::connectGuarded(miAnalytics, &QAction::triggered, this, &TfmMain::miAnalyticsClick);
    platform::connectGuarded(Button1, &QPushButton::clicked, this, &TfmMain::Button1Click);
}

void TfmMain::joinDataModule(data::Tdm& module)
{
    pictureList = new browser::PictureListPanel(module, *this,
                                                {this, picGrid, tvFolders, EDBImage1, edFrom, edTill, cbPeriod,
                                                 edKeywords, chShowZero, chOnlyNew, chNoFolder, lbCount});
    folderPanel = new browser::FolderPanel(module, *this, tvFolders, picGrid, chNoFolder, *pictureList);
    picGrid->setItemDelegate(
        new browser::PictureCellDelegate(module, picGrid, DiagramTokens, {edFrom, edTill, chWithoutFirstDays}));
    platform::connectGuarded(Button2, &QPushButton::clicked, pictureList, &browser::PictureListPanel::Button2Click);
    platform::connectGuarded(Label5, &platform::ClickLabel::clicked, pictureList, &browser::PictureListPanel::Label5Click);
    salesStrip = new browser::SalesStripPanel(module, ScrollBox1, edFrom, edTill);
    platform::connectGuarded(pictureList, &browser::PictureListPanel::salesStripNeeded, salesStrip,
                             &browser::SalesStripPanel::DrawSalesStrip);
    platform::connectGuarded(pictureList, &browser::PictureListPanel::salesStripCleared, salesStrip,
                             &browser::SalesStripPanel::ClearSalesStrip);
}

void TfmMain::FormShow()
{
    const SectionLoad stored = loadReportingProblems(*settings_);
    if (!settings_->sectionFound())
        resize(firstStartSize(DesignSize, screen()->availableGeometry().size()));
    centreOnScreen(this);
    if (updateFormSettings)
        loadReportingProblems(*updateFormSettings);
    if (!stored.wasApplied(cbPeriod, QStringLiteral("ItemIndex")))
        cbPeriod->setCurrentIndex(AllTimePreset);
    pictureList->cbPeriodChange(QDateTime::currentDateTime());
    data::Starting = 0;
    connectDatabase(*data::dm);
    tvFolders->setFocus();
    folderPanel->LoadFolderTree();
    platform::guarded([this] {
        if (!restoreGridLayout(platform::IniFile(settingsFilePath(AppDir)), *picGrid))
            picGrid->fitColumnsToViewport();
        gridLayoutLoaded_ = true;
    });
    RefreshPictureList(CurrentFolderId);
}

void TfmMain::RefreshPictureList(int folderId)
{
    pictureList->RefreshPictureList(folderId);
}

// The three sections go to the file in one write, so a file that cannot be written is reported once
// ("Не удалось записать файл ...") and the program ends all the same; the stored file stays as it was.
void TfmMain::FormClose()
{
    platform::IniFile file(settingsFilePath(AppDir));
    if (gridLayoutLoaded_)
        saveGridLayout(file, *picGrid);
    settings_->writeTo(file);
    if (updateFormSettings)
        updateFormSettings->writeTo(file);
    file.save();
}

void TfmMain::N3Click()
{
    showModally(fmExplorer);
}

void TfmMain::miGapsClick()
{
    if (!data::dm)
        return;
    collect::TfmGaps gaps(data::dm->IBDatabase1, this);
    gaps.openCollection = [](const QList<QByteArray>& months, const QList<QByteArray>& days) {
        if (auto* explorer = qobject_cast<collect::TfmExplorer*>(fmExplorer))
            explorer->tickOnNextShow(months, days);
        showModally(fmExplorer);
    };
    showModally(&gaps);
}

void TfmMain::N2Click()
{
    close();
}

void TfmMain::N10Click()
{
    showModally(fmGraph);
}

void TfmMain::N101Click()
{
    showModally(fmAbout);
}

void TfmMain::miAnalyticsClick()
{
    if (!fmAnalytics) {
        fmAnalytics = new analytics::AnalyticsWindow(*data::dm, this);
        platform::connectGuarded(fmAnalytics, &analytics::AnalyticsWindow::batchChosen, this,
                                 &TfmMain::showBatch);
    }
    fmAnalytics->openFor(edFrom->date(), edTill->date());
}

void TfmMain::showBatch(std::int64_t batchId, QDate from, QDate till)
{
    edFrom->setDate(from);
    edTill->setDate(till);
    pictureList->setBatch(batchId);
    // Choosing the all-pictures folder rebuilds the list; when it is chosen already, so does this.
    if (CurrentFolderId == browser::AllPicturesFolderId ||
        !folderPanel->SelectFolderNode(browser::AllPicturesFolderId))
        RefreshPictureList(browser::AllPicturesFolderId);
    raise();
    activateWindow();
}

void TfmMain::Button1Click()
{
    fillCalendar(data::dm->qrExecute, data::dm->Transaction);
}

void TfmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (std::exchange(shown_, true))
        return;
    platform::guarded([this] { FormShow(); });
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    platform::guarded([this] { FormClose(); });
    event->accept();
}

void TfmMain::keyPressEvent(QKeyEvent* event)
{
    const bool enter = (event->key() == Qt::Key_Return && event->modifiers() == Qt::NoModifier) ||
                       (event->key() == Qt::Key_Enter && (event->modifiers() & ~Qt::KeypadModifier) == 0);
    if (enter) {
        Button2->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace app
