#pragma once
// Pictures drawn by the program: the jog, quill and tool change buttons, the tool tip positions
// of the correction page (IL_Polohy) and the nine entry icons of the program file dialog.

#include <QIcon>
#include <QPixmap>

namespace soustruh::ui {

enum class PanelPicture { XPlus, XMinus, ZPlus, ZMinus, ToolChange, QuillForward, QuillBack };

QIcon PanelIcon(PanelPicture picture);
// Picture k (0..9) of IL_Polohy, 40 × 40: 0 is blank, k shows the tip position k − 1 around
// the nose circle (0 and 9: the centre, no offset).
QPixmap TipPositionPicture(int k);
// The icon of a file dialog entry kind (1..9), 16 × 16.
QPixmap EntryIcon(int kind);

}  // namespace soustruh::ui
