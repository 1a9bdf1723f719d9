#pragma once

#include <QFont>

namespace platform {

// The font the program's windows are laid out for; Qt substitutes a similar face where the system
// lacks this one.
inline QFont windowFont()
{
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

} // namespace platform
