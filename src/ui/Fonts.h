#pragma once
// The window's fonts. The panel was designed for Tahoma and Courier New at fixed pixel sizes; where
// they are not installed, the closest fonts a Debian desktop has take their place at the same
// pixel size: Liberation Sans (or DejaVu Sans) for Tahoma and Liberation Mono (metrically equal to
// Courier New, or DejaVu Sans Mono) for the fixed-pitch lists and the editor.

#include <QFont>

namespace soustruh::ui {

QFont SansFont(int pixelSize, bool bold = false);
QFont FixedFont(int pixelSize, bool bold = false);

}  // namespace soustruh::ui
