#pragma once
// MessageHook on the window side: an application-wide event filter that sees every key press and
// release as the system delivers it to a window, before the focused control, turns it into the
// core's KeyEvent (the key, the focused control's name, the dialog shown, the lines the program
// monitor shows) and lets Simulator::MessageHook act on it. The key then goes on to the focused
// control, unless the core asks to clear it (the arrows outside the entry controls).
//
// Message boxes run their own loop and see no panel keys. Keys typed into the find and replace
// dialog act on the panel like any other, but its arrows are never cleared: they move the caret
// in its text fields.

#include <QObject>

namespace soustruh::ui {

class TForm1;

class KeyboardHook : public QObject {
  Q_OBJECT

 public:
  explicit KeyboardHook(TForm1& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TForm1& window_;
};

}  // namespace soustruh::ui
