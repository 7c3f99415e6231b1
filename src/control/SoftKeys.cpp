// The soft keys Fn1 to Fn5: captions by mode and page, and what each does.

#include "control/SoftKeys.h"

#include <algorithm>

#include "control/Simulator.h"
#include "nc/FunctionGroups.h"

namespace soustruh {
namespace {

constexpr std::array<SoftKeyCaptions, 8> kCaptions = {{
    {"Reverzace\r\not. vřetena", "", "", "", "Reference"},
    {"", "", "", "", ""},
    {"NC\r\nprogram", "Korekce\r\nnástrojů", "Nulový\r\nbod obrobku", "", ""},
    {"Otevřít...", "Uložit...", "Najít\r\ndalší", "Dialog najít,\r\nnahradit...", "RS232..."},
    {"", "Uložit", "", "", ""},
    {"", "Uložit", "", "", "Učit\r\nsouřadnici"},
    {"Načíst", "Poslat", "", "", "Nastavení"},
    {"Blok po\r\nbloku", "/ skip\r\nblok", "M01\r\nstop", "Dry Run", "Restart..."},
}};

}  // namespace

const SoftKeyCaptions& Captions(SoftKeySet set) {
  return kCaptions[static_cast<std::size_t>(set)];
}

SoftKeySet CurrentSoftKeySet(ControlMode mode, const EditPagesState& pages) {
  switch (mode) {
    case ControlMode::Manual:
      return SoftKeySet::Manual;
    case ControlMode::Execute:
      return SoftKeySet::Execute;
    case ControlMode::Automat:
      return SoftKeySet::Automat;
    case ControlMode::Rs232:
      return SoftKeySet::Rs232;
    case ControlMode::Edit:
      break;
  }
  switch (pages.Page) {
    case EditPage::Corrections:
      return SoftKeySet::EditCorrections;
    case EditPage::Offsets:
      return SoftKeySet::EditOffsets;
    case EditPage::Program:
      break;
  }
  return pages.EditorReadOnly ? SoftKeySet::Edit : SoftKeySet::EditProgram;
}

void Simulator::SoftKeyClick(int number) {
  if (number < 1 || number > kSoftKeyCount) return;
  switch (state_.Mode) {
    case ControlMode::Manual:
      ManualSoftKey(number);
      break;
    case ControlMode::Automat:
      AutomatSoftKey(number);
      break;
    case ControlMode::Edit:
      EditSoftKey(number);
      break;
    case ControlMode::Rs232:
      // No transfer is simulated: the keys only answer that they are not available.
      if (number == 1 || number == 2 || number == 5) host_.DefaultAlert();
      break;
    case ControlMode::Execute:
      break;
  }
  host_.Repaint();
}

void Simulator::ManualSoftKey(int number) {
  MachineState& s = state_;
  bool& checked = s.SoftKeys[static_cast<std::size_t>(number - 1)];
  if (number == 5) {
    checked = !checked;  // arms the reference run for Start
  } else if (number == 1 && s.Active.M[kMSpindle] == 5) {
    checked = !checked;  // the direction the spindle will turn
    if (static_cast<long long>(s.SpindleOverride) * s.Active.S / 100 > 0) {
      ChuckBuild();
      SceneRedraw();
    }
  }
}

void Simulator::AutomatSoftKey(int number) {
  MachineState& s = state_;
  bool& checked = s.SoftKeys[static_cast<std::size_t>(number - 1)];
  if (number <= 3) {
    checked = !checked;  // single block, block skip and optional stop act at the next block
    return;
  }
  if (s.ProgramRunning) return;
  checked = !checked;
  if (number == 5 && checked) {
    s.MonitorSelection = s.Program.empty() ? -1 : 0;
    s.MonitorTop = 0;
  }
}

void Simulator::EditSoftKey(int number) {
  switch (softKeySet()) {
    case SoftKeySet::Edit:
      if (number == 1) MakeEditorEditable();
      if (number == 2) ShowCorrectionPage();
      if (number == 3) ShowOffsetPage();
      break;
    case SoftKeySet::EditProgram:
      ProgramSoftKey(number);
      break;
    case SoftKeySet::EditCorrections:
      if (number == 2) data_.corrections.Save(data_.directory, host_);
      break;
    case SoftKeySet::EditOffsets:
      if (number == 2) data_.offsets.Save(data_.directory, host_);
      if (number == 5) TeachCoordinate();
      break;
    default:
      break;
  }
}

void Simulator::ProgramSoftKey(int number) {
  switch (number) {
    case 1:
      OpenProgramFile();
      break;
    case 2:
      SaveProgramFile();
      break;
    case 3:
      if (host_.SearchText().empty())
        host_.ShowReplaceDialog();
      else
        ReplaceDialogFind();
      break;
    case 4:
      host_.ShowReplaceDialog();
      break;
    default:
      // RS232 is a mode of its own without a row of saved soft keys, so it is entered directly.
      state_.Mode = ControlMode::Rs232;
      state_.ModeLine = kRs232ModeLine;
      break;
  }
}

void Simulator::MoveMonitorSelection(int lines, int pageLines) {
  MachineState& s = state_;
  const int last = static_cast<int>(s.Program.size()) - 1;
  if (last < 0) return;
  s.MonitorSelection = std::clamp(s.MonitorSelection + lines, 0, last);
  if (s.MonitorSelection < s.MonitorTop) {
    s.MonitorTop = s.MonitorSelection;
  } else if (pageLines > 0 && s.MonitorSelection >= s.MonitorTop + pageLines) {
    s.MonitorTop = s.MonitorSelection - pageLines + 1;
  }
  host_.Repaint();
}

}  // namespace soustruh
