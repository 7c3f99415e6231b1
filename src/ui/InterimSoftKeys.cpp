// SECOND WAVE: this whole file goes when the core's soft keys land (captions and actions per mode
// and EDIT page, the EDIT page state). It gives the window the soft keys a learner needs until
// then: the reference run and spindle reversal in MANUAL, the program settings in AUTOMAT, and the
// pages, files, search, tables and teach key of EDIT. The window-side actions it calls (file
// dialog, search, pages) stay.

#include "control/Simulator.h"
#include "machine/WorkOffsetTable.h"
#include "nc/FunctionGroups.h"
#include "ui/MainWindow.h"
#include "ui/PanelController.h"
#include "ui/QtHost.h"

namespace soustruh::ui {
namespace {

using Captions = std::array<QString, 5>;

const Captions kManual = {"Reverzace\r\not. vřetena", "", "", "", "Reference"};
const Captions kEdit = {"NC\r\nprogram", "Korekce\r\nnástrojů", "Nulový\r\nbod obrobku", "", ""};
const Captions kProgramEditing = {"Otevřít...", "Uložit...", "Najít\r\ndalší",
                                  "Dialog najít,\r\nnahradit...", "RS232..."};
const Captions kKorekce = {"", "Uložit", "", "", ""};
const Captions kNulaObr = {"", "Uložit", "", "", "Učit\r\nsouřadnici"};
const Captions kRs232 = {"Načíst", "Poslat", "", "", "Nastavení"};
const Captions kAutomat = {"Blok po\r\nbloku", "/ skip\r\nblok", "M01\r\nstop", "Dry Run",
                           "Restart..."};

}  // namespace

std::array<QString, 5> PanelController::SoftKeyCaptions() const {
  switch (sim_.state().Mode) {
    case ControlMode::Manual:
      return kManual;
    case ControlMode::Execute:
      return {};
    case ControlMode::Automat:
      return kAutomat;
    case ControlMode::Rs232:
      return kRs232;
    case ControlMode::Edit:
      break;
  }
  if (editPage_ == EditPage::Korekce) return kKorekce;
  if (editPage_ == EditPage::NulaObr) return kNulaObr;
  return programEditing_ ? kProgramEditing : kEdit;
}

void PanelController::Toggle(int number) {
  sim_.SetSoftKey(number, !sim_.SoftKey(number));
}

void PanelController::SoftKey(int number) {
  MachineState& s = sim_.state();
  switch (s.Mode) {
    case ControlMode::Manual:
      if (number == 1 && s.Active.M[kMSpindle] == 5) {
        Toggle(1);
        sim_.ChuckBuild();
        sim_.SceneRedraw();
      }
      if (number == 5) Toggle(5);
      break;
    case ControlMode::Automat:
      if (number <= 3 || !s.ProgramRunning) Toggle(number);
      if (number == 5 && sim_.SoftKey(5)) {
        s.MonitorSelection = 0;
        s.MonitorTop = 0;
      }
      break;
    case ControlMode::Rs232:
      if (number == 1 || number == 2 || number == 5) host_.DefaultAlert();
      break;
    case ControlMode::Edit:
      EditSoftKey(number);
      break;
    case ControlMode::Execute:
      break;
  }
}

void PanelController::EditSoftKey(int number) {
  MachineState& s = sim_.state();
  if (editPage_ == EditPage::Program && !programEditing_) {
    if (number == 1) {
      programEditing_ = true;
      window_.FocusEditor();
    } else if (number == 2) {
      editPage_ = EditPage::Korekce;
      s.ModeLine = " EDIT - tabulka korekcí nástrojů";
      window_.ShowCorrectionPage();
    } else if (number == 3) {
      editPage_ = EditPage::NulaObr;
      s.ModeLine = " EDIT - tabulka nulových bodů obrobku";
      window_.ShowWorkOffsetPage();
    }
    return;
  }
  if (editPage_ == EditPage::Program) {
    switch (number) {
      case 1:
      case 2:
        if (window_.FileDialogShown()) {
          window_.CancelFileDialog();
        } else {
          sim_.SetSoftKey(number, true);
          window_.Refresh();
          if (number == 1) {
            window_.OpenProgram();
          } else {
            window_.SaveProgramAs();
          }
          sim_.SetSoftKey(number, false);
          window_.FocusEditor();
        }
        break;
      case 3:
        window_.FindNext();
        break;
      case 4:
        window_.ShowFindDialog();
        break;
      case 5:
        s.Mode = ControlMode::Rs232;
        s.ModeLine = " EDIT - přenos NC programu přes linku RS232";
        break;
    }
    return;
  }
  if (number == 2 && editPage_ == EditPage::Korekce)
    sim_.data().corrections.Save(sim_.data().directory, host_);
  if (number == 2 && editPage_ == EditPage::NulaObr)
    sim_.data().offsets.Save(sim_.data().directory, host_);
  if (number == 5 && editPage_ == EditPage::NulaObr) window_.TeachCoordinate();
}

}  // namespace soustruh::ui
