#include "ui/KeyboardHook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWindow>
#include <string>

#include "control/KeyMap.h"
#include "control/Simulator.h"
#include "ui/MainWindow.h"

namespace soustruh::ui {
namespace {

Key KeyOf(int key) {
  switch (key) {
    case Qt::Key_Escape:
      return Key::Escape;
    case Qt::Key_Up:
      return Key::Up;
    case Qt::Key_Down:
      return Key::Down;
    case Qt::Key_Left:
      return Key::Left;
    case Qt::Key_Right:
      return Key::Right;
    case Qt::Key_PageUp:
      return Key::PageUp;
    case Qt::Key_PageDown:
      return Key::PageDown;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
    return static_cast<Key>(static_cast<int>(Key::F1) + (key - Qt::Key_F1));
  return Key::Other;
}

}  // namespace

KeyboardHook::KeyboardHook(TForm1& window) : QObject(&window), window_(window) {}

bool KeyboardHook::eventFilter(QObject* watched, QEvent* event) {
  // A key comes from the system to a top-level window first and then travels from the focused
  // control up to its parents; acting at the first stop acts once per key, even when the action
  // moves the focus (a dialog opened and closed meanwhile).
  const bool down = event->type() == QEvent::KeyPress;
  if ((!down && event->type() != QEvent::KeyRelease) || !watched->isWindowType()) return false;
  if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) return false;
  // An open list of the speed choice takes its own keys; an arrow there must not jog.
  if (QApplication::activePopupWidget()) return false;
  const auto* keyEvent = static_cast<QKeyEvent*>(event);
  const Key key = KeyOf(keyEvent->key());
  // Auto-repeat comes as release and press pairs; only the presses count, as repeated key downs.
  if (key == Key::Other || (!down && keyEvent->isAutoRepeat())) return false;

  window_.FlushProgram();
  const std::string focus = window_.FocusedControl();
  const KeyEvent mapped{key, down, focus, window_.shownDialog(), window_.MonitorPageLines()};
  const bool clear = window_.simulator().MessageHook(mapped);
  window_.Refresh();
  return clear && watched == window_.windowHandle();
}

}  // namespace soustruh::ui
