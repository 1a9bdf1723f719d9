#pragma once

#include <QByteArray>
#include <QString>

namespace collect {

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
};

} // namespace collect
