#include "ui/RealEdit.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace soustruh::ui {
namespace {

bool IsHexLetter(QChar c) {
  return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool InTypeSet(QChar c, TTypeEdit type, bool enableMinus) {
  const bool digit = c >= '0' && c <= '9';
  switch (type) {
    case TTypeEdit::teFloat:
      return digit || c == ',' || c == '.' || (enableMinus && c == '-');
    case TTypeEdit::teInteger:
      return digit || (enableMinus && c == '-');
    case TTypeEdit::teHex:
      return digit || IsHexLetter(c);
    case TTypeEdit::teString:
      return true;
  }
  return true;
}

}  // namespace

TRealEdit::TRealEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, &TRealEdit::OnTextChanged);
}

QString TRealEdit::Filtered(const QString& text, TTypeEdit type, bool enableMinus) {
  if (type == TTypeEdit::teString) return text;
  if (type == TTypeEdit::teHex) enableMinus = false;
  QString out;
  out.reserve(text.size());
  bool separator = false;
  for (const QChar c : text) {
    if (!InTypeSet(c, type, enableMinus)) continue;
    if (c == '-') {
      if (out.isEmpty()) out += c;
    } else if (c == ',' || c == '.') {
      if (!separator) out += '.';
      separator = true;
    } else {
      out += c;
    }
  }
  return out;
}

void TRealEdit::SetTypeEdit(TTypeEdit type) {
  typeEdit_ = type;
  if (type == TTypeEdit::teHex) enableMinus_ = false;
  Refilter();
}

void TRealEdit::SetEnableMinus(bool enable) {
  enableMinus_ = enable && typeEdit_ != TTypeEdit::teHex;
  Refilter();
}

void TRealEdit::Refilter() {
  const QString filtered = Filtered(text(), typeEdit_, enableMinus_);
  if (filtered != text()) setText(filtered);
}

void TRealEdit::OnTextChanged() {
  if (filtering_) return;
  QString filtered = Filtered(text(), typeEdit_, enableMinus_);
  // The caret stays behind the same kept characters.
  int caret =
      static_cast<int>(Filtered(text().left(cursorPosition()), typeEdit_, enableMinus_).size());
  if (check_ && !check_(filtered)) {
    filtered = accepted_;
    caret = static_cast<int>(accepted_.size());
  }
  if (filtered != text()) {
    filtering_ = true;
    setText(filtered);
    setCursorPosition(std::min(caret, static_cast<int>(filtered.size())));
    filtering_ = false;
  }
  if (filtered == accepted_ && check_) return;  // refused: nothing changed
  accepted_ = filtered;
  Q_EMIT Change();
}

bool TRealEdit::Accepts(QChar c) const {
  if (!InTypeSet(c, typeEdit_, enableMinus_)) return false;
  if (c == '-') return cursorPosition() == 0 && !text().contains('-');
  return true;
}

void TRealEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (arrowLikeTab_ && (key == Qt::Key_Down || key == Qt::Key_Up) &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    focusNextPrevChild(key == Qt::Key_Down);
    event->accept();
    return;
  }
  const QString typed = event->text();
  const bool control = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
  if (typed.size() != 1 || control || !typed[0].isPrint() || typeEdit_ == TTypeEdit::teString) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QChar c = typed[0];
  if (!Accepts(c)) {
    event->accept();  // swallowed
    return;
  }
  if (typeEdit_ == TTypeEdit::teFloat && (c == ',' || c == '.')) {
    // The system's separator is "."; a second one is refused.
    if (!text().contains('.')) insert(QStringLiteral("."));
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TRealEdit::focusInEvent(QFocusEvent* event) {
  QPalette pal = palette();
  colorBeforeFocus_ = pal.color(QPalette::Base);
  pal.setColor(QPalette::Base, colorOnFocus_);
  setPalette(pal);
  QLineEdit::focusInEvent(event);
}

void TRealEdit::focusOutEvent(QFocusEvent* event) {
  if (colorBeforeFocus_.isValid()) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, colorBeforeFocus_);
    setPalette(pal);
  }
  if (text().isEmpty()) {
    if (typeEdit_ == TTypeEdit::teFloat) setText(QStringLiteral("0.0"));
    if (typeEdit_ == TTypeEdit::teInteger || typeEdit_ == TTypeEdit::teHex)
      setText(QStringLiteral("0"));
  }
  QLineEdit::focusOutEvent(event);
  Q_EMIT Exit();
}

}  // namespace soustruh::ui
