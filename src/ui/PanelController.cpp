#include "ui/PanelController.h"

#include "control/Simulator.h"
#include "ui/MainWindow.h"
#include "ui/QtHost.h"

namespace soustruh::ui {

PanelController::PanelController(Simulator& simulator, QtHost& host, TForm1& window)
    : QObject(&window), sim_(simulator), host_(host), window_(window) {}

void PanelController::Press(PanelKey key) {
  window_.FlushProgram();
  switch (key) {
    case PanelKey::Fn1:
    case PanelKey::Fn2:
    case PanelKey::Fn3:
    case PanelKey::Fn4:
    case PanelKey::Fn5:
      SoftKey(static_cast<int>(key) - static_cast<int>(PanelKey::Fn1) + 1);
      break;
    case PanelKey::Automat:
      sim_.B_AutomatClick();
      break;
    case PanelKey::Edit:
      sim_.B_EditClick();
      // SECOND WAVE: the core sets up the EDIT page and key set (back to the program page).
      if (sim_.state().Mode == ControlMode::Edit) {
        editPage_ = EditPage::Program;
        programEditing_ = false;
        window_.ShowProgramFileInModeLine();
      }
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
      // SECOND WAVE: sim_.SB_VymTClick() once the core has the turret change key.
      break;
  }
  window_.Refresh();
  if (key == PanelKey::Start && sim_.state().Mode == ControlMode::Execute)
    window_.FocusCommandLine();
}

void PanelController::Hold(HoldButton button, bool down) {
  // SECOND WAVE: jog buttons (SB_XplusMouseDown ... and SB_TlPohybyMouseUp) and the quill buttons
  // (SB_WvpredMouseDown, SB_WvzadMouseDown) go to the core's manual motion handlers here.
  (void)button;
  (void)down;
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

void PanelController::EditorEntered() {
  // M_ProgramEnter: a click into the read-only editor acts as Fn1 of the first EDIT key set.
  if (sim_.state().Mode == ControlMode::Edit && editPage_ == EditPage::Program &&
      !programEditing_) {
    programEditing_ = true;
    window_.Refresh();
  }
}

}  // namespace soustruh::ui
