#pragma once
// TRealEdit: a one-line entry field that accepts only what its type allows (decimal number,
// integer, hexadecimal number or free text), turns ColorOnFocus (yellow) while it has the focus,
// fills in a zero when left empty, and moves the focus with the up and down arrow keys as Tab and
// Shift+Tab would.
//
// Typed characters: teFloat takes digits, "," and "." (both entered as ".", refused when the text
// has one) and "-"; teInteger digits and "-"; teHex digits and A-F/a-f; teString anything. A "-"
// needs EnableMinus, the caret at the very start and no "-" in the text yet. Ctrl+C, Ctrl+V,
// Ctrl+X and Backspace always pass.
//
// Every change of the text (typing, pasting, setText) is filtered before Change() is emitted:
// characters outside the type are dropped, a "-" survives only as the first character, the first
// "," or "." becomes "." and later ones are dropped. Listen to Change() and Exit(), not to
// textChanged/editingFinished, to see only filtered text.

#include <QColor>
#include <QLineEdit>
#include <functional>

namespace soustruh::ui {

enum class TTypeEdit { teFloat, teInteger, teHex, teString };

class TRealEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TRealEdit(QWidget* parent = nullptr);

  TTypeEdit TypeEdit() const { return typeEdit_; }
  // teHex switches EnableMinus off. Refilters the text.
  void SetTypeEdit(TTypeEdit type);
  bool EnableMinus() const { return enableMinus_; }
  void SetEnableMinus(bool enable);
  QColor ColorOnFocus() const { return colorOnFocus_; }
  void SetColorOnFocus(const QColor& colour) { colorOnFocus_ = colour; }
  bool ArrowLikeTab() const { return arrowLikeTab_; }
  void SetArrowLikeTab(bool on) { arrowLikeTab_ = on; }

  // A further check of every new text (the window refuses characters its files cannot hold);
  // a refused text is replaced by the last accepted one and no Change() is emitted.
  void SetEntryCheck(std::function<bool(const QString&)> check) { check_ = std::move(check); }

  // The text filter on its own: what `text` becomes in a field of this type.
  static QString Filtered(const QString& text, TTypeEdit type, bool enableMinus);

 signals:
  // The (filtered) text changed.
  void Change();
  // The field lost the focus; an empty number field has been given its zero.
  void Exit();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void OnTextChanged();
  void Refilter();
  bool Accepts(QChar c) const;

  TTypeEdit typeEdit_ = TTypeEdit::teFloat;
  bool enableMinus_ = true;
  bool arrowLikeTab_ = true;
  bool filtering_ = false;
  QColor colorOnFocus_{Qt::yellow};
  QColor colorBeforeFocus_;
  QString accepted_;  // the last text that passed the entry check
  std::function<bool(const QString&)> check_;
};

}  // namespace soustruh::ui
