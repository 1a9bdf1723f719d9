#pragma once

#include <QDialog>

#include "chart/portfolio_chart.h"

class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;

namespace platform {
class ClickLabel;
} // namespace platform

namespace chart {

class ChartScrollBox;
class ChartSurface;

// A label's font colour: the colour its text is written in, and the colour of its series.
QColor labelFontColor(const QLabel* label);
void setLabelFontColor(QLabel* label, const QColor& color);

// The chart window "График": the whole portfolio's downloads and earnings per day over all time, with
// a legend whose labels choose the series' colours and whose number boxes lift the series. Every
// showing and "Обновить" read GRAPH anew and draw the chart; a new colour shows at the next drawing.
//
// The controls sit where the settings file looks for them: ScrollBox1 holds Image1 (inside its
// scrolled area), Label1 and Panel1, and Panel1 holds the four labels, the four number boxes and
// Button1. Label1 and Panel1 stay put over the visible area while the chart scrolls beneath them.
class TfmGraph : public QDialog
{
    Q_OBJECT

public:
    explicit TfmGraph(QWidget* parent = nullptr);

    void FormShow();
    void FormResize();
    void Button1Click();
    void lbDownloadsClick();
    void lbSalesClick();
    void lbOnDemandClick();
    void lbEnhancedClick();
    // Reads GRAPH through the data module's qrExecute and draws it with the legend's looks. A database
    // error propagates and leaves the surface white and the scroll range as it was.
    void DrawPortfolioChart();

    // The colours and offsets that the legend gives now.
    ChartLook currentLook() const;

    ChartScrollBox* ScrollBox1;
    ChartSurface* Image1;
    QLabel* Label1;
    QFrame* Panel1;
    platform::ClickLabel* lbDownloads;
    platform::ClickLabel* lbSales;
    platform::ClickLabel* lbOnDemand;
    platform::ClickLabel* lbEnhanced;
    QSpinBox* edDownloads;
    QSpinBox* edSales;
    QSpinBox* edOnDemand;
    QSpinBox* edEnhanced;
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildLegend();
    platform::ClickLabel* addLegendRow(const QString& name, const QString& caption, const QColor& color,
                                       int labelTop, QSpinBox*& offsetBox, const QString& boxName,
                                       int offset);
    void chooseColorOf(QLabel* label);
};

} // namespace chart
