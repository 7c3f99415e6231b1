// The EDIT area: the correction and work offset pages, the entry fields, teach, the program
// file and the search in the editor.

#include "control/EditPages.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "control/EntryFields.h"
#include "control/ProgramFile.h"
#include "control/Simulator.h"
#include "platform/TextFile.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

// The text behind a correction field name, or nullptr.
template <typename Fields>
auto* CorrectionText(Fields& f, std::string_view name) {
  using Text = decltype(&f.X);
  if (name == "E_KorX") return &f.X;
  if (name == "E_KorZ") return &f.Z;
  if (name == "E_KorR") return &f.R;
  if (name == "E_KorL") return &f.L;
  if (name == "E_KorPopis") return &f.Popis;
  return Text{nullptr};
}

// The text behind a work offset field name, or nullptr.
template <typename Offset>
auto* OffsetText(Offset* offset, std::string_view name) {
  using Text = decltype(&offset->X);
  if (offset == nullptr) return Text{nullptr};
  if (name.ends_with("popis")) return &offset->Popis;
  return name.back() == 'x' ? &offset->X : &offset->Z;
}

std::string BareName(const std::string& path) {
  return fs::path(path).filename().string();
}

}  // namespace

std::string EditModeLine(const EditPagesState& pages) {
  if (pages.ProgramFileName.empty()) return " EDIT";
  return " EDIT - " + pages.ProgramFileName;
}

std::string NotFoundText(std::string_view searchText) {
  return "Hledané slovo '" + std::string(searchText) + "' nebylo nalezeno";
}

std::string ReadFailedMessage(std::string_view fileName, std::string_view reason) {
  std::string text = "Soubor '" + std::string(fileName) + "' se nepodařilo přečíst";
  if (!reason.empty()) text += " (" + std::string(reason) + ")";
  return text + ".";
}

void Simulator::SetProgram(std::vector<std::string> lines) {
  state_.Program = std::move(lines);
  state_.Pages.ProgramFinalLineEnd = true;
  ++state_.Pages.ProgramVersion;
  state_.Pages.ProgramModified = false;
  host_.Repaint();
}

void Simulator::M_ProgramChange(std::vector<std::string> lines) {
  if (lines == state_.Program) return;
  state_.Program = std::move(lines);
  state_.Pages.ProgramModified = true;
}

void Simulator::RequestFocus(std::string_view control) {
  FocusChanged(control);
  ++state_.FocusRequests;
}

void Simulator::FocusChanged(std::string_view control) {
  MachineState& s = state_;
  if (control == s.Focus) return;
  const std::string left = std::exchange(s.Focus, std::string(control));
  if (const EntryField* field = FindEntryField(left); field && FieldText(left).empty())
    FieldChange(left, LeftEntryText(*field, ""));
  // E_G5xExit: teach finds the field after the mouse took the focus away.
  if (IsOffsetField(left)) s.LastOffsetEdit = left;
  // M_ProgramEnter: a click into the browsing editor starts editing.
  if (control == "M_Program" && s.Mode == ControlMode::Edit && s.Pages.Page == EditPage::Program &&
      s.Pages.EditorReadOnly)
    MakeEditorEditable();
  host_.Repaint();
}

void Simulator::MakeEditorEditable() {
  state_.Pages.EditorReadOnly = false;
  RequestFocus("M_Program");
}

void Simulator::FieldChange(std::string_view control, std::string text) {
  MachineState& s = state_;
  EditPagesState& p = s.Pages;
  if (control == "E_PrikazE") {
    s.Command = std::move(text);
  } else if (std::string* correction = CorrectionText(p.Correction, control)) {
    *correction = std::move(text);
    data_.corrections.RewriteRow(p.CorrectionRow, p.Correction, interp_);
    if (control == "E_KorL") p.TipPicture = TipPicture(p.Correction.L);
  } else if (IsOffsetField(control)) {
    *OffsetText(data_.offsets.Find(OffsetFieldCode(control)), control) = std::move(text);
  } else {
    return;
  }
  host_.Repaint();
}

std::string Simulator::FieldText(std::string_view control) const {
  if (control == "E_PrikazE") return state_.Command;
  if (const std::string* correction = CorrectionText(state_.Pages.Correction, control))
    return *correction;
  if (!IsOffsetField(control)) return {};
  const WorkOffsetTable& offsets = data_.offsets;
  return *OffsetText(offsets.Find(OffsetFieldCode(control)), control);
}

void Simulator::ShowCorrectionPage() {
  state_.Pages.Page = EditPage::Corrections;
  state_.ModeLine = kCorrectionPageModeLine;
  LB_KorekceClick(0);
  RequestFocus("E_KorX");
}

void Simulator::ShowOffsetPage() {
  state_.Pages.Page = EditPage::Offsets;
  state_.ModeLine = kOffsetPageModeLine;
  RequestFocus("E_G54x");
}

void Simulator::LB_KorekceClick(int row) {
  EditPagesState& p = state_.Pages;
  CorrectionTable& table = data_.corrections;
  if (row < 0 || static_cast<std::size_t>(row) >= table.rows.size()) return;
  p.CorrectionRow = row;
  CorrectionFields fields = FieldsFromRow(table.rows[static_cast<std::size_t>(row)]);
  // The fields hold what their kind accepts, and filling them rewrites the row in the program's
  // own layout.
  for (std::string_view name : {"E_KorX", "E_KorZ", "E_KorR", "E_KorL"}) {
    std::string* text = CorrectionText(fields, name);
    *text = FilterEntryText(*FindEntryField(name), *text);
  }
  p.Correction = std::move(fields);
  table.RewriteRow(row, p.Correction, interp_);
  p.TipPicture = TipPicture(p.Correction.L);
  host_.Repaint();
}

void Simulator::TeachCoordinate() {
  MachineState& s = state_;
  // The position is not known before the reference run, nor after TOTAL.
  if (s.Alarms.Has(AlarmKind::Reference) || s.Alarms.Has(AlarmKind::TotalStop)) {
    host_.Beep(kRefusalToneHz, kRefusalToneMs);
    return;
  }
  const std::string field = IsOffsetField(s.Focus) ? s.Focus : s.LastOffsetEdit;
  if (!IsOffsetField(field)) {
    host_.Beep(kRefusalToneHz, kRefusalToneMs);  // no field to teach into yet
    return;
  }
  const NcBlock& a = s.Active;
  const auto text =
      TeachCoordinateText(field, TeachPosition{a.X, a.Z, a.CorrX, a.CorrZ, a.OffsetX, a.OffsetZ});
  if (text)
    FieldChange(field, *text);
  else
    host_.Beep(kRefusalToneHz, kRefusalToneMs);  // a description takes no coordinate
  RequestFocus(field);
}

void Simulator::OpenProgramFile() {
  MachineState& s = state_;
  EditPagesState& p = s.Pages;
  if (p.FileDialogShown) {
    host_.CloseProgramFileDialog();
    return;
  }
  s.SoftKeys[0] = true;
  host_.Repaint();
  p.FileDialogShown = true;
  const std::string path = host_.ShowProgramFileDialog(ProgramFileDialogMode::Open, {});
  p.FileDialogShown = false;
  if (!path.empty()) {
    host_.SetWaitCursor(true);
    // A program file is an ordinary file; a device or pipe could hold the dialog for ever.
    ReadLimits limits = kProgramLimits;
    limits.regularOnly = true;
    TextRead read = ReadText(fs::path(path), limits);
    host_.SetWaitCursor(false);
    if (read.ok()) {
      SetProgram(std::move(read.content.lines));
      p.ProgramFinalLineEnd = read.content.finalLineEnd;
      p.ProgramFileName = path;
      s.ModeLine = EditModeLine(p);
    } else {
      host_.ShowMessage(ReadFailedMessage(BareName(path), ReadFailureText(read.raw, limits)));
    }
  }
  RequestFocus("M_Program");
  s.SoftKeys[0] = false;
}

void Simulator::SaveProgramFile() {
  MachineState& s = state_;
  if (s.Pages.FileDialogShown) {
    host_.CloseProgramFileDialog();
    return;
  }
  s.SoftKeys[1] = true;
  host_.Repaint();
  SaveProgramAs();
  RequestFocus("M_Program");
  s.SoftKeys[1] = false;
}

bool Simulator::SaveProgramAs() {
  MachineState& s = state_;
  EditPagesState& p = s.Pages;
  p.FileDialogShown = true;
  const std::string path =
      host_.ShowProgramFileDialog(ProgramFileDialogMode::Save, BareName(p.ProgramFileName));
  p.FileDialogShown = false;
  std::error_code ec;
  if (path.empty() || (fs::exists(fs::path(path), ec) && !host_.AskYesNo(kOverwriteQuestion)))
    return false;
  if (!SaveProgram(fs::path(path), s.Program, host_, p.ProgramFinalLineEnd)) return false;
  p.ProgramFileName = path;
  p.ProgramModified = false;
  if (s.Mode == ControlMode::Edit) s.ModeLine = EditModeLine(p);
  host_.Repaint();
  return true;
}

void Simulator::ReplaceDialogFind() {
  const std::string text = host_.SearchText();
  if (text.empty()) {
    host_.DefaultAlert();
  } else if (!host_.FindInProgram()) {
    state_.Status = StatusLine{NotFoundText(text)};
    host_.Repaint();
  }
}

void Simulator::ReplaceDialogReplace() {
  const std::string text = host_.SearchText();
  if (text.empty()) {
    host_.DefaultAlert();
  } else if (!host_.ReplaceInProgram()) {
    state_.Status = StatusLine{NotFoundText(text)};
    host_.Repaint();
  }
}

}  // namespace soustruh
