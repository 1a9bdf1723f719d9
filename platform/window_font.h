#pragma once

#include <QFont>
#include <QStringList>

namespace platform {

// The font the program's windows are laid out for. The layouts were drawn for a narrow 8-point face;
// the condensed DejaVu face at 7.5 points is as narrow on Linux, so that every caption fits its
// control at the design sizes. Plain DejaVu Sans stands in where the condensed face is missing.
inline QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(7.5);
    return font;
}

} // namespace platform
