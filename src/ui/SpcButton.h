#pragma once
// TSpcButton: a key of the control panel. A push button drawn by the program with a coloured face,
// a status bar along its top edge that lights up while the key is marked checked (the active
// mode, a toggled function), a small key-hint text in the bar naming the keyboard key that works
// it ("F1", "Esc"), and a caption of one or more lines ("\r\n" or "\n" breaks a line).
//
// The properties keep the names the panel's description uses. `Checked` and `Down` are this
// key's own marks and are unrelated to QAbstractButton's checkable state and isDown(): the key is
// drawn pressed while the mouse holds it or while Down is set. Setting a property to a new value
// repaints the key; setting the same value does nothing.
//
// Geometry of the face (h = the caption font's text height, n = caption lines): the status bar is
// height − (h + 4) × n − 8 pixels high, held to 3..20; caption line k starts 4 + (h + 4) × (k − 1)
// pixels below the bar.

#include <QColor>
#include <QPushButton>
#include <QStringList>

namespace soustruh::ui {

class TSpcButton : public QPushButton {
  Q_OBJECT

 public:
  explicit TSpcButton(QWidget* parent = nullptr);

  // The status bar height for a key `keyHeight` pixels high with `lines` caption lines in a font
  // whose text height is `textHeight`.
  static int BarHeight(int keyHeight, int textHeight, int lines);
  static QStringList CaptionLines(const QString& caption);

  QColor BackColor() const { return backColor_; }
  void SetBackColor(const QColor& colour) { Change(backColor_, colour); }
  QColor BarColor() const { return barColor_; }
  void SetBarColor(const QColor& colour) { Change(barColor_, colour); }
  QColor BtnHintColor() const { return btnHintColor_; }
  void SetBtnHintColor(const QColor& colour) { Change(btnHintColor_, colour); }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { Change(checked_, checked); }
  bool ShowBtnHint() const { return showBtnHint_; }
  void SetShowBtnHint(bool show) { Change(showBtnHint_, show); }
  bool Down() const { return down_; }
  // Ignored while the key is disabled.
  void SetDown(bool down) {
    if (isEnabled()) Change(down_, down);
  }
  bool DrawSelection() const { return drawSelection_; }
  void SetDrawSelection(bool draw) { Change(drawSelection_, draw); }
  QString BtnHintText() const { return btnHintText_; }
  void SetBtnHintText(const QString& text) {
    Change(btnHintText_, text);
    UpdateAccessibleName();
  }

  // The caption; also names the key for assistive technology (caption and key hint).
  void SetCaption(const QString& caption);

  QSize sizeHint() const override { return size(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  template <typename T>
  void Change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    update();
  }
  void UpdateAccessibleName();

  QColor backColor_;
  QColor barColor_{255, 0, 255};
  QColor btnHintColor_{60, 60, 60};
  bool checked_ = false;
  bool showBtnHint_ = false;
  bool down_ = false;
  bool drawSelection_ = true;
  QString btnHintText_;
};

}  // namespace soustruh::ui
