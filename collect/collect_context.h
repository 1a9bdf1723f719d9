#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace collect {

// A colour of the collection log, as red, green and blue from 0 to 255.
struct LogColor
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const LogColor&, const LogColor&) = default;
};

// Day headings, regular sales and every line of the batch run; on-demand sales; enhanced sales.
inline constexpr LogColor LogGreen{0, 128, 0};
inline constexpr LogColor LogBlue{0, 0, 255};
inline constexpr LogColor LogRed{255, 0, 0};

// What the collection code needs from whoever runs it: the collection window implements it with its
// controls and message boxes, a command-line collector with its console. The collection code itself
// shows no window.
class CollectContext
{
public:
    virtual ~CollectContext() = default;

    // Asks a question in a box with the question icon and the buttons Yes and No (Yes the default);
    // true when the user answered Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;

    // Opens a web address with the system's handler (the user's browser) without waiting for it.
    virtual void openUrl(const QByteArray& address) = 0;

    // The choice, read when a run starts: the ticked months (yyyy-mm) from the top of the month list
    // down, and the ticked days of the month ("31" to "01").
    virtual QList<QByteArray> tickedMonths() const = 0;
    virtual QList<QByteArray> tickedDays() const = 0;

    // The cancel flag: set by the user, cleared by a run as it starts.
    virtual bool stopRequested() const = 0;
    virtual void clearStopRequest() = 0;

    // The log. A line is Windows-1251 text, shown with its HTML character references decoded; the
    // colour applies to the lines appended after it is set.
    virtual void clearLog() = 0;
    virtual void setLogColor(LogColor color) = 0;
    virtual void appendLogLine(const QByteArray& line) = 0;
    virtual void scrollLogPageDown() = 0;

    // The progress bar. A step never takes the position beyond the maximum.
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void stepProgress() = 0;
    virtual int progressMaximum() const = 0;

    // The label that shows the day or batch date being collected.
    virtual void setDateLabel(const QByteArray& text) = 0;

    // A box with the caption "Ошибка", the error icon and an OK button.
    virtual void showError(const QString& text) = 0;
    // A box with the application's title as caption, the information icon and an OK button.
    virtual void showInformation(const QString& text) = 0;

    // Lets the user interface handle what is pending (repaints, the cancel button).
    virtual void processPendingMessages() = 0;

    // Rebuilds the main window's picture list for its current folder, after a run has stored its data.
    virtual void refreshPictureList() = 0;
};

} // namespace collect
