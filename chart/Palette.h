#pragma once
// The program's two colours: the ink of every line and text, and the teal of
// the somatochart's triangle and of the icons.

#include <QColor>

namespace Palette {
inline const QColor ink(43, 48, 58);
inline const QColor teal(31, 111, 120);
} // namespace Palette
