#include "ui/Fonts.h"

#include <QStringList>

namespace soustruh::ui {
namespace {

QFont Make(const QStringList& families, QFont::StyleHint hint, int pixelSize, bool bold) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(hint);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QFont SansFont(int pixelSize, bool bold) {
  return Make({"Tahoma", "Liberation Sans", "DejaVu Sans"}, QFont::SansSerif, pixelSize, bold);
}

QFont FixedFont(int pixelSize, bool bold) {
  QFont font = Make({"Courier New", "Liberation Mono", "DejaVu Sans Mono"}, QFont::TypeWriter,
                    pixelSize, bold);
  font.setFixedPitch(true);
  return font;
}

}  // namespace soustruh::ui
