#include "ui/KeyboardHook.h"

#include <QApplication>
#include <QKeyEvent>
#include <optional>

#include "control/Simulator.h"
#include "ui/MainWindow.h"
#include "ui/PanelController.h"

namespace soustruh::ui {
namespace {

std::optional<PanelKey> MappedKey(int key) {
  switch (key) {
    case Qt::Key_Escape:
      return PanelKey::Reset;
    case Qt::Key_F1:
      return PanelKey::Fn1;
    case Qt::Key_F2:
      return PanelKey::Fn2;
    case Qt::Key_F3:
      return PanelKey::Fn3;
    case Qt::Key_F4:
      return PanelKey::Fn4;
    case Qt::Key_F5:
      return PanelKey::Fn5;
    case Qt::Key_F6:
      return PanelKey::Automat;
    case Qt::Key_F7:
      return PanelKey::Edit;
    case Qt::Key_F8:
      return PanelKey::Exec;
    case Qt::Key_F9:
      return PanelKey::Manual;
    case Qt::Key_F11:
      return PanelKey::Start;
    case Qt::Key_F12:
      return PanelKey::Stop;
    default:
      return std::nullopt;
  }
}

}  // namespace

KeyboardHook::KeyboardHook(PanelController& controller, TForm1& window)
    : QObject(&window), controller_(controller), window_(window) {}

bool KeyboardHook::eventFilter(QObject* watched, QEvent* event) {
  // A key comes from the system to a top-level window first and then travels from the focused
  // control up to its parents; acting at the first stop only acts once per key, even when the
  // action moves the focus (a dialog opened and closed meanwhile).
  if (event->type() != QEvent::KeyPress || !watched->isWindowType()) return false;
  if (window_.ModalDialogShown()) return false;
  const auto key = MappedKey(static_cast<QKeyEvent*>(event)->key());
  if (!key) return false;
  if (window_.FileDialogShown()) {
    const Simulator& sim = window_.simulator();
    const bool reopenKey =
        (*key == PanelKey::Fn1 && sim.SoftKey(1)) || (*key == PanelKey::Fn2 && sim.SoftKey(2));
    if (!reopenKey) return false;
  }
  controller_.Press(*key);
  return false;
}

}  // namespace soustruh::ui
