// The controls of the main window in their design states.
#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "platform/click_label.h"
#include "browser/folder_tree_view.h"
#include "browser/period_presets.h"
#include "browser/picture_grid.h"
#include "browser/sales_strip_box.h"
#include "platform/window_font.h"

namespace app {

namespace {

const int FolderPanelWidth = 145;
const int RightPanelWidth = 118;
const int BottomPanelHeight = 82;
const int SplitterWidth = 5;
// The grid and the upper part take what the design size of the window leaves them.
const int GridWidth = 882 - FolderPanelWidth - SplitterWidth - RightPanelWidth;
const int UpperPartHeight = 472;
const int PreviewSize = 113;
const QColor Navy(0, 0, 128);
const QColor Grey(128, 128, 128);

template <typename Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QCheckBox* checkBox(const char* name, const QString& caption, bool checked)
{
    auto* box = named(new QCheckBox(caption), name);
    box->setChecked(checked);
    return box;
}

QDateTimeEdit* datePicker(const char* name, QDate date)
{
    auto* picker = named(new QDateTimeEdit, name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QLocale(QLocale::Russian).dateFormat(QLocale::ShortFormat));
    picker->setDateTime(QDateTime(date, QTime(14, 39, 26)));
    QPalette palette = picker->palette();
    palette.setColor(QPalette::Text, Navy);
    picker->setPalette(palette);
    return picker;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QVBoxLayout* tightColumn(QWidget* owner, int spacing)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(spacing);
    return layout;
}

QSplitter* splitter(Qt::Orientation orientation)
{
    auto* bar = new QSplitter(orientation);
    bar->setHandleWidth(SplitterWidth);
    bar->setChildrenCollapsible(false);
    return bar;
}

} // namespace

void TfmMain::buildMenu()
{
    QMenu* operations = menuBar()->addMenu(QStringLiteral("Операции"));
    operations->setObjectName(QStringLiteral("miOperations"));
    N3 = named(operations->addAction(QStringLiteral("Обновить статистику")), "N3");
    miGaps = named(operations->addAction(QStringLiteral("Пробелы")), "miGaps");
    operations->addSeparator();
    N2 = named(operations->addAction(QStringLiteral("Выход")), "N2");
    N10 = named(menuBar()->addAction(QStringLiteral("График")), "N10");
    miAnalytics = named(menuBar()->addAction(QStringLiteral("Аналитика")), "miAnalytics");
    QMenu* help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->setObjectName(QStringLiteral("miHelp"));
    N101 = named(help->addAction(QStringLiteral("О программе")), "N101");
}

QWidget* TfmMain::buildCentre()
{
    Panel1 = named(new QWidget, "Panel1");
    QSplitter* folderSplitter = splitter(Qt::Horizontal);
    folderSplitter->addWidget(buildLeftPanel());
    folderSplitter->addWidget(buildGrid());
    folderSplitter->setStretchFactor(1, 1);
    folderSplitter->setSizes({FolderPanelWidth, GridWidth});
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(folderSplitter, 1);
    row->addWidget(buildRightPanel());

    QSplitter* stripSplitter = splitter(Qt::Vertical);
    stripSplitter->addWidget(Panel1);
    stripSplitter->addWidget(buildBottomPanel());
    stripSplitter->setStretchFactor(0, 1);
    stripSplitter->setSizes({UpperPartHeight, BottomPanelHeight});

    Button1 = named(new QPushButton(QStringLiteral("Button1"), this), "Button1");
    Button1->hide();
    return stripSplitter;
}

QWidget* TfmMain::buildLeftPanel()
{
    pnLeft = named(new QFrame, "pnLeft");
    tvFolders = named(new browser::FolderTreeView, "tvFolders");
    auto* layout = new QVBoxLayout(pnLeft);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tvFolders);
    return pnLeft;
}

QWidget* TfmMain::buildGrid()
{
    picGrid = named(new browser::PictureGrid, "picGrid");
    return picGrid;
}

QWidget* TfmMain::buildRightPanel()
{
    Panel3 = named(new QFrame, "Panel3");
    Panel3->setFixedWidth(RightPanelWidth);
    EDBImage1 = named(new QLabel, "EDBImage1");
    EDBImage1->setFixedSize(PreviewSize, PreviewSize);
    EDBImage1->setFrameShape(QFrame::Box);
    EDBImage1->setAlignment(Qt::AlignCenter);
    chNoFolder = checkBox("chNoFolder", QStringLiteral("без папок"), false);
    // Enabled only while the all-pictures entry of the folder tree is the current folder.
    chNoFolder->setEnabled(false);

    QVBoxLayout* layout = tightColumn(Panel3, 4);
    layout->addWidget(EDBImage1, 0, Qt::AlignHCenter);
    layout->addWidget(buildFilterGroup());
    layout->addWidget(buildCountRow());
    layout->addWidget(chNoFolder);
    layout->addStretch();
    return Panel3;
}

QWidget* TfmMain::buildFilterGroup()
{
    GroupBox1 = named(new QGroupBox(QStringLiteral(" Фильтр ")), "GroupBox1");
    edKeywords = named(new QLineEdit, "edKeywords");
    Label5 = named(new platform::ClickLabel(QStringLiteral("очистить")), "Label5");
    Label5->setCursor(Qt::PointingHandCursor);
    setTextColour(Label5, Grey);
    QFont small = Label5->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    Label5->setFont(small);
    chWithoutFirstDays = checkBox("chWithoutFirstDays", QStringLiteral("график с начала"), true);
    chShowZero = checkBox("chShowZero", QStringLiteral("0-е продажи"), false);
    chOnlyNew = checkBox("chOnlyNew", QStringLiteral("только новое"), false);
    Button2 = named(new QPushButton(QStringLiteral("Применить")), "Button2");
    Button2->setDefault(true);

    QVBoxLayout* layout = tightColumn(GroupBox1, 2);
    layout->addWidget(buildPeriodPanel());
    layout->addWidget(buildKeywordRow());
    layout->addWidget(edKeywords);
    layout->addWidget(Label5, 0, Qt::AlignRight);
    layout->addWidget(chWithoutFirstDays);
    layout->addWidget(chShowZero);
    layout->addWidget(chOnlyNew);
    layout->addWidget(Button2);
    return GroupBox1;
}

QWidget* TfmMain::buildPeriodPanel()
{
    Panel2 = named(new QFrame, "Panel2");
    Panel2->setFrameShape(QFrame::StyledPanel);
    edFrom = datePicker("edFrom", QDate(2005, 1, 1));
    edTill = datePicker("edTill", QDate(2010, 1, 1));
    cbPeriod = named(new QComboBox, "cbPeriod");
    cbPeriod->addItems(browser::periodPresetNames());
    cbPeriod->setCurrentIndex(-1);
    // A narrow drop-down button leaves the longest preset room to show whole in the narrow panel. A
    // style sheet fixes the font that the box has when it is set, so the window's font is given first.
    cbPeriod->setFont(platform::windowFont());
    cbPeriod->setStyleSheet(QStringLiteral("QComboBox { padding-left: 1px; } QComboBox::drop-down { width: 10px; }"));

    auto* layout = new QGridLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(1);
    layout->setVerticalSpacing(2);
    layout->addWidget(named(new QLabel(QStringLiteral("с")), "Label1"), 0, 0);
    layout->addWidget(edFrom, 0, 1);
    layout->addWidget(named(new QLabel(QStringLiteral("по")), "Label2"), 1, 0);
    layout->addWidget(edTill, 1, 1);
    layout->addWidget(cbPeriod, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    return Panel2;
}

QWidget* TfmMain::buildKeywordRow()
{
    auto* row = new QWidget;
    Label4 = named(new QLabel(QStringLiteral("?")), "Label4");
    setTextColour(Label4, Grey);
    Label4->setToolTip(QStringLiteral("через запятую, знак \"минус\" - невхождение слова"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(named(new QLabel(QStringLiteral("+/- ключевые")), "Label3"));
    layout->addWidget(Label4);
    layout->addStretch();
    return row;
}

QWidget* TfmMain::buildCountRow()
{
    auto* row = new QWidget;
    lbCount = named(new QLabel(QStringLiteral("?")), "lbCount");
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(named(new QLabel(QStringLiteral("Кол-во:")), "Label6"));
    layout->addWidget(lbCount, 1);
    return row;
}

QWidget* TfmMain::buildBottomPanel()
{
    pnBottom = named(new QFrame, "pnBottom");
    ScrollBox1 = new browser::SalesStripBox;
    auto* layout = new QVBoxLayout(pnBottom);
    layout->setContentsMargins(0, 0, 0, 0);
    // The box's minimum height keeps the strip's texts and some bar in view however far the
    // splitter is moved.
    layout->addWidget(ScrollBox1);
    return pnBottom;
}

} // namespace app
