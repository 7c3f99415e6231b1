#include "ui/SpcButton.h"

#include <QEvent>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

namespace soustruh::ui {
namespace {

// The classic two-pixel push-button frame; `r` shrinks to its inside.
void DrawPushFrame(QPainter& p, QRect& r, bool pressed) {
  const QColor light(227, 227, 227), white(Qt::white), shadow(128, 128, 128), dark(Qt::black);
  auto frame = [&p](const QRect& box, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(box.topLeft(), box.topRight());
    p.drawLine(box.topLeft(), box.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(box.bottomLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomRight());
  };
  if (pressed) {
    frame(r, dark, dark);
    frame(r.adjusted(1, 1, -1, -1), shadow, shadow);
  } else {
    frame(r, light, dark);
    frame(r.adjusted(1, 1, -1, -1), white, shadow);
  }
  r.adjust(2, 2, -2, -2);
}

}  // namespace

TSpcButton::TSpcButton(QWidget* parent) : QPushButton(parent) {
  backColor_ = palette().color(QPalette::Button);
  setFocusPolicy(Qt::ClickFocus);  // panel keys take no part in Tab navigation
  setAutoDefault(false);
}

int TSpcButton::BarHeight(int keyHeight, int textHeight, int lines) {
  return std::clamp(keyHeight - (textHeight + 4) * lines - 8, 3, 20);
}

QStringList TSpcButton::CaptionLines(const QString& caption) {
  static const QRegularExpression kBreak("\r\n|\n");
  return caption.split(kBreak);
}

void TSpcButton::SetCaption(const QString& caption) {
  if (caption == text()) return;
  setText(caption);
  UpdateAccessibleName();
}

void TSpcButton::UpdateAccessibleName() {
  QString name = CaptionLines(text()).join(' ').simplified();
  if (!btnHintText_.isEmpty())
    name = name.isEmpty() ? btnHintText_ : name + " (" + btnHintText_ + ")";
  if (name.isEmpty()) name = objectName();
  setAccessibleName(name);
}

void TSpcButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
}

void TSpcButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect item = rect();
  QRect r = item;
  DrawPushFrame(p, r, isDown() || down_);
  p.fillRect(r, backColor_);

  const QFontMetrics fm(font());
  const QStringList lines = CaptionLines(text());
  const int h = fm.height();
  const int bar = BarHeight(height(), h, static_cast<int>(lines.size()));
  if (checked_) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), bar), Qt::white);
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, bar - 1),
               isEnabled() ? barColor_ : QColor(128, 128, 128));
  }

  const int barBottom = r.top() + bar;
  for (int k = 0; k < lines.size(); ++k) {
    const QString& line = lines[k];
    const int x = r.left() + (r.width() - fm.horizontalAdvance(line)) / 2 + 1;
    const int top = barBottom + 4 + (h + 4) * k;
    const int baseline = top + fm.ascent();
    if (isEnabled()) {
      p.setPen(palette().color(QPalette::ButtonText));
      p.drawText(x, baseline, line);
    } else {  // embossed: a white relief below right, the letters in grey
      p.setPen(Qt::white);
      p.drawText(x + 1, baseline + 1, line);
      p.setPen(QColor(128, 128, 128));
      p.drawText(x, baseline, line);
    }
  }

  if (showBtnHint_ && !btnHintText_.isEmpty()) {
    QFont hintFont = font();
    hintFont.setBold(false);
    p.setFont(hintFont);
    const QFontMetrics hm(hintFont);
    const int x = r.left() + (r.width() - hm.horizontalAdvance(btnHintText_)) / 2;
    const int y = r.top() + (bar - hm.height()) / 2 + 1 + hm.ascent();
    p.setPen(btnHintColor_);
    p.drawText(x, y, btnHintText_);
  }

  if (hasFocus() && drawSelection_) {
    QPen dotted(palette().color(QPalette::ButtonText), 1, Qt::DotLine);
    p.setPen(dotted);
    p.setBrush(Qt::NoBrush);
    p.drawRect(item.adjusted(4, 4, -5, -5));
  }
}

}  // namespace soustruh::ui
