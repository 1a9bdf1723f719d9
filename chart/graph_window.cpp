#include "chart/graph_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <stdexcept>

#include "chart/chart_surface.h"
#include "chart/graph_days.h"
#include "data/dm.h"
#include "platform/click_label.h"
#include "platform/color_dialog.h"
#include "platform/handler_guard.h"
#include "platform/window_font.h"

namespace chart {

namespace {

const QSize WindowSize(903, 414);
const QRect LegendGeometry(8, 8, 177, 106);
const QPoint TitlePosition(208, 8);
const int TopAfterResize = 15;
const int LabelLeft = 4;
const int BoxLeft = 132;
const QSize BoxSize(41, 19);
const QRect ButtonGeometry(97, 85, 75, 17);
const int MaximumOffset = 300;

// The narrowest a legend caption is condensed to when the system's face for the window font is wider
// than the one the legend was laid out for.
const int NarrowestStretch = QFont::ExtraCondensed;

template <typename Widget> Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

// Condenses a label's font step by step until its caption fits the width, so that it ends before the
// offset box right of it.
void condenseToFit(QLabel* label, int width)
{
    label->adjustSize();
    for (int stretch = QFont::SemiCondensed; label->width() > width && stretch >= NarrowestStretch; stretch -= 6) {
        QFont font = label->font();
        font.setStretch(stretch);
        label->setFont(font);
        label->adjustSize();
    }
}

} // namespace

QColor labelFontColor(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

void setLabelFontColor(QLabel* label, const QColor& color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

TfmGraph::TfmGraph(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmGraph"));
    setWindowTitle(QStringLiteral("График"));
    setFont(platform::windowFont());
    resize(WindowSize);

    ScrollBox1 = new ChartScrollBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBox1);
    Image1 = ScrollBox1->surface();
    Label1 = named(new QLabel(QStringLiteral("График закачек и продаж по всему портфолио за все время"),
                              ScrollBox1),
                   QStringLiteral("Label1"));
    Label1->move(TitlePosition);
    Label1->adjustSize();
    buildLegend();

    platform::connectGuarded(Button1, &QPushButton::clicked, this, &TfmGraph::Button1Click);
    platform::connectGuarded(lbDownloads, &platform::ClickLabel::clicked, this, &TfmGraph::lbDownloadsClick);
    platform::connectGuarded(lbSales, &platform::ClickLabel::clicked, this, &TfmGraph::lbSalesClick);
    platform::connectGuarded(lbOnDemand, &platform::ClickLabel::clicked, this, &TfmGraph::lbOnDemandClick);
    platform::connectGuarded(lbEnhanced, &platform::ClickLabel::clicked, this, &TfmGraph::lbEnhancedClick);
}

void TfmGraph::buildLegend()
{
    Panel1 = named(new QFrame(ScrollBox1), QStringLiteral("Panel1"));
    Panel1->setGeometry(LegendGeometry);
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);

    lbDownloads = addLegendRow(QStringLiteral("lbDownloads"), QStringLiteral("закачки"), QColor(128, 128, 128),
                               6, edDownloads, QStringLiteral("edDownloads"), 150);
    lbSales = addLegendRow(QStringLiteral("lbSales"), QStringLiteral("25-a-day + общая сумма"),
                           QColor(255, 0, 0), 26, edSales, QStringLiteral("edSales"), 50);
    lbOnDemand = addLegendRow(QStringLiteral("lbOnDemand"), QStringLiteral("on demand"), QColor(0, 128, 0), 45,
                              edOnDemand, QStringLiteral("edOnDemand"), 25);
    lbEnhanced = addLegendRow(QStringLiteral("lbEnhanced"), QStringLiteral("расширенные"),
                              palette().color(QPalette::WindowText), 65, edEnhanced,
                              QStringLiteral("edEnhanced"), 0);

    Button1 = named(new QPushButton(QStringLiteral("Обновить"), Panel1), QStringLiteral("Button1"));
    Button1->setGeometry(ButtonGeometry);
    Button1->setAutoDefault(false);
}

// One legend row: the label in its series' colour, and right of it the series' offset box two pixels
// higher.
platform::ClickLabel* TfmGraph::addLegendRow(const QString& name, const QString& caption, const QColor& color,
                                             int labelTop, QSpinBox*& offsetBox, const QString& boxName,
                                             int offset)
{
    auto* label = named(new platform::ClickLabel(caption, Panel1), name);
    label->move(LabelLeft, labelTop);
    condenseToFit(label, BoxLeft - LabelLeft - 2);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(QStringLiteral("щелкните для выбора цвета"));
    setLabelFontColor(label, color);

    offsetBox = named(new QSpinBox(Panel1), boxName);
    offsetBox->setGeometry(QRect(QPoint(BoxLeft, labelTop - 2), BoxSize));
    offsetBox->setAlignment(Qt::AlignRight);
    offsetBox->setRange(0, MaximumOffset);
    offsetBox->setValue(offset);
    offsetBox->setToolTip(QStringLiteral("отступ по вертикали"));
    return label;
}

ChartLook TfmGraph::currentLook() const
{
    return {{labelFontColor(lbDownloads), edDownloads->value()},
            {labelFontColor(lbSales), edSales->value()},
            {labelFontColor(lbOnDemand), edOnDemand->value()},
            {labelFontColor(lbEnhanced), edEnhanced->value()}};
}

void TfmGraph::DrawPortfolioChart()
{
    Image1->clear();
    if (!data::dm)
        throw std::runtime_error("The statistics database is not open.");
    std::vector<ChartDay> days = readGraphDays(data::dm->qrExecute);
    ScrollBox1->setHorizontalRange(chartScrollRange(qsizetype(days.size())));
    Image1->showChart(std::move(days), currentLook());
}

void TfmGraph::FormShow()
{
    DrawPortfolioChart();
}

void TfmGraph::FormResize()
{
    Panel1->move(Panel1->x(), TopAfterResize);
    Label1->move(Label1->x(), TopAfterResize);
}

void TfmGraph::Button1Click()
{
    DrawPortfolioChart();
}

void TfmGraph::lbDownloadsClick()
{
    chooseColorOf(lbDownloads);
}

void TfmGraph::lbSalesClick()
{
    chooseColorOf(lbSales);
}

void TfmGraph::lbOnDemandClick()
{
    chooseColorOf(lbOnDemand);
}

void TfmGraph::lbEnhancedClick()
{
    chooseColorOf(lbEnhanced);
}

void TfmGraph::chooseColorOf(QLabel* label)
{
    if (const std::optional<QColor> chosen = platform::chooseColor(labelFontColor(label), this))
        setLabelFontColor(label, *chosen);
}

void TfmGraph::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    platform::guarded([this] { FormShow(); });
}

void TfmGraph::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    platform::guarded([this] { FormResize(); });
}

} // namespace chart
