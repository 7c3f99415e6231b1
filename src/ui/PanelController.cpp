#include "ui/PanelController.h"

#include "control/Simulator.h"
#include "ui/MainWindow.h"

namespace soustruh::ui {

PanelController::PanelController(Simulator& simulator, TForm1& window)
    : QObject(&window), sim_(simulator), window_(window) {}

void PanelController::Press(PanelKey key) {
  window_.FlushProgram();
  switch (key) {
    case PanelKey::Fn1:
    case PanelKey::Fn2:
    case PanelKey::Fn3:
    case PanelKey::Fn4:
    case PanelKey::Fn5:
      sim_.SoftKeyClick(static_cast<int>(key) - static_cast<int>(PanelKey::Fn1) + 1);
      break;
    case PanelKey::Automat:
      sim_.B_AutomatClick();
      break;
    case PanelKey::Edit:
      sim_.B_EditClick();
      break;
    case PanelKey::Exec:
      sim_.B_ExecClick();
      break;
    case PanelKey::Manual:
      sim_.B_ManualClick();
      break;
    case PanelKey::Reset:
      sim_.B_ResetClick();
      break;
    case PanelKey::Start:
      sim_.B_StartClick();
      break;
    case PanelKey::Stop:
      sim_.B_StopClick();
      break;
    case PanelKey::Total:
      sim_.B_TotalClick();
      break;
    case PanelKey::ZapS:
      sim_.B_ZapSClick();
      break;
    case PanelKey::VypS:
      sim_.B_VypSClick();
      break;
    case PanelKey::VymT:
      sim_.SB_VymTClick();
      break;
  }
  window_.Refresh();
}

void PanelController::Hold(MotionButton button, bool down) {
  if (down) {
    sim_.MotionButtonDown(button);
  } else {
    sim_.SB_TlPohybyMouseUp();
  }
  window_.Refresh();
}

void PanelController::FeedOverride(int position) {
  sim_.SB_PosuvChange(position);
  window_.Refresh();
}

void PanelController::SpindleOverride(int position) {
  sim_.SB_OtackyChange(position);
  window_.Refresh();
}

}  // namespace soustruh::ui
