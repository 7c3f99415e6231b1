#pragma once
// MessageHook on the window side: an application-wide event filter that sees every key as the
// system delivers it to a window, before the focused control, and presses the panel's keys for Esc,
// F1 to F9, F11 and F12. The key still reaches the focused control afterwards. Nothing is mapped
// while the stock or about dialog is open; while the program file dialog is open only F1 or F2 of a
// checked soft key pass, so the same key closes the dialog again.
//
// SECOND WAVE: the mapping itself (and the arrow keys for jogging and the program monitor) moves
// into the core's key map; this filter then only translates Qt's key codes for it.

#include <QObject>

namespace soustruh::ui {

class PanelController;
class TForm1;

class KeyboardHook : public QObject {
  Q_OBJECT

 public:
  KeyboardHook(PanelController& controller, TForm1& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  PanelController& controller_;
  TForm1& window_;
};

}  // namespace soustruh::ui
