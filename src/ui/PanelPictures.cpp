#include "ui/PanelPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <cmath>

#include "machine/CorrectionTable.h"

namespace soustruh::ui {
namespace {

QPixmap Blank(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// An arrow about `centre` of a 32 × 32 picture pointing along `angle` degrees (0 = right, 90 =
// up), a little smaller than the picture so that its axis letters fit beside it.
void DrawArrow(QPainter& p, QPointF centre, double angle, const QColor& colour) {
  p.save();
  p.translate(centre);
  p.rotate(-angle);
  p.scale(0.8, 0.8);
  const QPolygonF arrow({{-11, -4}, {2, -4}, {2, -10}, {13, 0}, {2, 10}, {2, 4}, {-11, 4}});
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(colour);
  p.drawPolygon(arrow);
  p.restore();
}

void DrawLetter(QPainter& p, const QString& text, const QRect& box) {
  QFont font = p.font();
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(box, Qt::AlignCenter, text);
}

// The quill: a tailstock body on the right with its quill pointing left, and an arrow.
void DrawQuill(QPainter& p, bool forward) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(160, 160, 160));
  p.drawRect(20, 8, 10, 18);
  p.setBrush(QColor(210, 210, 210));
  p.drawRect(10, 13, 10, 8);
  p.drawPolygon(QPolygonF({{10, 13}, {4, 17}, {10, 21}}));
  const QPolygonF arrow = forward ? QPolygonF({{18, 28}, {6, 28}, {10, 25}, {10, 31}, {6, 28}})
                                  : QPolygonF({{6, 28}, {18, 28}, {14, 25}, {14, 31}, {18, 28}});
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(arrow);
}

void DrawTurret(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(190, 190, 190));
  QPolygonF hexagon;
  for (int i = 0; i < 6; ++i) {
    const double a = M_PI / 3 * i;
    hexagon << QPointF(16 + 11 * std::cos(a), 16 + 11 * std::sin(a));
  }
  p.drawPolygon(hexagon);
  p.setBrush(QColor(60, 60, 60));
  p.drawEllipse(QPointF(16, 16), 3, 3);
  p.setBrush(QColor(230, 170, 40));
  p.drawRect(25, 14, 6, 4);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRect(6, 6, 20, 20), 200 * 16, 100 * 16);
}

}  // namespace

QIcon PanelIcon(PanelPicture picture) {
  QPixmap pixmap = Blank(32);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor arrow(60, 140, 220);
  switch (picture) {
    case PanelPicture::XPlus:
      DrawArrow(p, {22, 16}, 90, arrow);
      DrawLetter(p, "+X", QRect(0, 20, 17, 12));
      break;
    case PanelPicture::XMinus:
      DrawArrow(p, {22, 16}, -90, arrow);
      DrawLetter(p, "-X", QRect(0, 0, 17, 12));
      break;
    case PanelPicture::ZPlus:
      DrawArrow(p, {16, 21}, 0, arrow);
      DrawLetter(p, "+Z", QRect(0, 0, 16, 11));
      break;
    case PanelPicture::ZMinus:
      DrawArrow(p, {16, 21}, 180, arrow);
      DrawLetter(p, "-Z", QRect(16, 0, 16, 11));
      break;
    case PanelPicture::ToolChange:
      DrawTurret(p);
      break;
    case PanelPicture::QuillForward:
      DrawQuill(p, true);
      break;
    case PanelPicture::QuillBack:
      DrawQuill(p, false);
      break;
  }
  return QIcon(pixmap);
}

QPixmap TipPositionPicture(int k) {
  QPixmap pixmap(40, 40);
  pixmap.fill(Qt::white);
  if (k <= 0 || k > 9) return pixmap;
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // The nose circle in the middle, axes for orientation (+X up, +Z right).
  p.setPen(QPen(QColor(170, 170, 170), 1, Qt::DashLine));
  p.drawLine(20, 3, 20, 37);
  p.drawLine(3, 20, 37, 20);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(230, 230, 230));
  p.drawEllipse(QPointF(20, 20), 11, 11);
  // The imaginary tip lies opposite the nose offset (tip + offset = nose centre); positions 0
  // and 9 have no offset and are drawn at the centre. Picture y grows downward, X upward.
  const int position = k - 1;
  const NoseOffset offset = NoseOffsets(position, 1);
  const int dz = -offset.Z;
  const int dx = -offset.X;
  const double len = (dz != 0 && dx != 0) ? 11 / std::sqrt(2.0) : 11;
  const QPointF tip(20 + dz * len, 20 - dx * len);
  p.setBrush(Qt::red);
  p.setPen(Qt::NoPen);
  p.drawEllipse(tip, 3, 3);
  QFont font = p.font();
  font.setPixelSize(10);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(QRect(0, 0, 12, 12), Qt::AlignCenter, QString::number(position));
  return pixmap;
}

QPixmap EntryIcon(int kind) {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  auto drive = [&p](const QColor& body, const QColor& lamp) {
    p.setBrush(body);
    p.drawRect(1, 5, 13, 7);
    p.setBrush(lamp);
    p.drawRect(11, 9, 2, 1);
  };
  switch (kind) {
    case 1:  // floppy
      p.setBrush(QColor(40, 40, 140));
      p.drawRect(2, 2, 11, 11);
      p.setBrush(Qt::white);
      p.drawRect(4, 2, 7, 4);
      break;
    case 2:
      drive(QColor(200, 200, 200), Qt::green);
      break;
    case 3:  // optical disc
      p.setBrush(QColor(220, 220, 240));
      p.drawEllipse(1, 1, 13, 13);
      p.setBrush(Qt::white);
      p.drawEllipse(6, 6, 3, 3);
      break;
    case 4:  // removable medium
      p.setBrush(QColor(90, 140, 220));
      p.drawRect(4, 1, 7, 10);
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(5, 11, 5, 3);
      break;
    case 5:
      drive(QColor(200, 200, 200), Qt::green);
      p.drawLine(7, 12, 7, 15);
      p.drawLine(2, 15, 13, 15);
      break;
    case 6:
      drive(QColor(240, 220, 120), Qt::red);
      break;
    case 7:  // parent folder: a folder with an arrow up
    case 8:
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(1, 4, 13, 9);
      p.drawRect(1, 2, 5, 2);
      if (kind == 7) {
        p.setPen(QPen(Qt::darkBlue, 2));
        p.drawLine(8, 11, 8, 6);
        p.drawLine(8, 6, 5, 9);
        p.drawLine(8, 6, 11, 9);
      }
      break;
    default:  // program file: a page with lines
      p.setBrush(Qt::white);
      p.drawRect(2, 1, 11, 13);
      p.setPen(Qt::blue);
      for (int y = 4; y <= 11; y += 2) p.drawLine(4, y, 11, y);
      break;
  }
  return pixmap;
}

}  // namespace soustruh::ui
