#pragma once

#include <QObject>

class QDateTimeEdit;

namespace data {
class Tdm;
} // namespace data

namespace browser {

class SalesStripBox;

// Draws the daily sales strip for the picture list's current row: its days in the period of the two
// date pickers, read through the DIAGRAM procedure.
class SalesStripPanel : public QObject
{
    Q_OBJECT

public:
    SalesStripPanel(data::Tdm& dm, SalesStripBox* box, QDateTimeEdit* edFrom, QDateTimeEdit* edTill);

    // Paints the strip for the current row of the picture list; a row without a picture leaves the
    // strip as it was. The strip turns white first, so that a failure (a database error, a DIAGRAM
    // text that is no number) leaves nothing of the previous picture on it; the error goes to the
    // caller.
    void DrawSalesStrip();
    // The list has opened without rows: the strip shows no picture's days any more.
    void ClearSalesStrip();

private:
    data::Tdm& dm_;
    SalesStripBox* box_;
    QDateTimeEdit* edFrom_;
    QDateTimeEdit* edTill_;
};

} // namespace browser
