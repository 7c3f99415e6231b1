#include "control/DisplayModel.h"

#include "control/EntryFields.h"
#include "control/Simulator.h"
#include "platform/Numbers.h"

namespace soustruh {

DisplayLabels Labels(const DisplayState& d) {
  return {{
      {"L_SourXM", &d.SourXM},     {"L_SourZM", &d.SourZM},     {"L_NastrojM", &d.NastrojM},
      {"L_PosuvM", &d.PosuvM},     {"L_OtackyM", &d.OtackyM},   {"L_SourXA", &d.SourXA},
      {"L_SourZA", &d.SourZA},     {"L_SourXcA", &d.SourXcA},   {"L_SourZcA", &d.SourZcA},
      {"L_Sour_dXA", &d.Sour_dXA}, {"L_Sour_dZA", &d.Sour_dZA}, {"L_NastrojA", &d.NastrojA},
      {"L_PosuvA", &d.PosuvA},     {"L_OtackyA", &d.OtackyA},   {"L_ModG", &d.ModG},
      {"L_ModM", &d.ModM},         {"L_CasObr", &d.CasObr},     {"L_ProcPosuvu", &d.ProcPosuvu},
      {"L_Otacky", &d.Otacky},
  }};
}

std::string_view ShownPage(const MachineState& s) {
  switch (s.Mode) {
    case ControlMode::Manual:
    case ControlMode::Execute:
      return "TS_ManExec";
    case ControlMode::Automat:
      return "TS_Automat";
    default:
      break;
  }
  switch (s.Pages.Page) {
    case EditPage::Corrections:
      return "TS_Korekce";
    case EditPage::Offsets:
      return "TS_NulaObr";
    default:
      return "TS_Program";
  }
}

bool ControlShown(const MachineState& s, std::string_view name) {
  const std::string_view page = ShownPage(s);
  if (name == "E_PrikazE") return s.Mode == ControlMode::Execute;
  if (name == "M_Program") return page == "TS_Program";
  if (IsOffsetField(name)) return page == "TS_NulaObr";
  if (name == "LB_Korekce" || FindEntryField(name)) return page == "TS_Korekce";
  return false;
}

namespace {

std::string SelectedLine(const std::vector<std::string>& lines, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) return {};
  return lines[static_cast<std::size_t>(index)];
}

}  // namespace

std::optional<std::string> ControlReadout(const Simulator& sim, std::string_view name) {
  const MachineState& s = sim.state();
  for (const auto& [label, text] : Labels(s.Display))
    if (label == name) return *text;
  if (FindEntryField(name)) return sim.FieldText(name);
  if (name == "P_Rezim") return s.ModeLine;
  if (name == "P_Stav") return s.Status.text;
  if (name.size() == 5 && name.starts_with("B_Fn") && name[4] >= '1' && name[4] <= '5')
    return std::string(Captions(sim.softKeySet())[static_cast<std::size_t>(name[4] - '1')]);
  if (name == "LB_Korekce") return SelectedLine(sim.data().corrections.rows, s.Pages.CorrectionRow);
  if (name == "LB_PrgMon") return SelectedLine(s.Program, s.MonitorSelection);
  if (name == "I_Poloha") return FormatInt(s.Pages.TipPicture);
  if (name == "S_Wok") return s.QuillLampGreen ? "green" : "red";
  if (name == "Sh_Total") return s.TotalLampRed ? "red" : "yellow";
  if (name == "M_Program") return s.Pages.EditorReadOnly ? "read-only" : "editable";
  if (name == "PageControl1") return std::string(ShownPage(s));
  if (name == "ActiveControl") return s.Focus;
  return std::nullopt;
}

}  // namespace soustruh
