#pragma once
// What the panel shows, for the window to draw after each Host::Repaint and for panel scripts to
// report: the texts of the position and state labels, and a readout of any shown control by its
// name. The window draws; the simulator decides every text.
//
// Label formats: coordinates "%3.3f" in mm (X a diameter), empty while the position is unknown
// (Reference, DriveSync or TotalStop pending); tool "%.2d%.2d" of T and D; feed and speed whole
// numbers; modal functions "G00 G97 ... " each followed by a blank; overrides "%d%%"; machining
// time "%.2d:%.2d" of minutes and seconds.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace soustruh {

class Simulator;
struct MachineState;

// The texts of the position and state labels, as the display writes them.
struct DisplayState {
  // MANUAL and EXECUTE page (TS_ManExec).
  std::string SourXM, SourZM, NastrojM, PosuvM, OtackyM;
  // AUTOMAT page (TS_Automat): present, target ("Pojede:"), remaining ("K dojetí:").
  std::string SourXA, SourZA, SourXcA, SourZcA, Sour_dXA, Sour_dZA;
  std::string NastrojA, PosuvA, OtackyA, ModG, ModM;
  std::string CasObr = "00:00";  // machining time
  std::string ProcPosuvu = "100%";
  std::string Otacky = "100%";
};

inline constexpr std::size_t kDisplayLabelCount = 19;
using DisplayLabels =
    std::array<std::pair<std::string_view, const std::string*>, kDisplayLabelCount>;

// Every label with its control name ("L_SourXM", ...), in page order: TS_ManExec, TS_Automat,
// then the two override percentages. The pointers refer into `display`.
DisplayLabels Labels(const DisplayState& display);

// The page of PageControl1 shown: "TS_ManExec" (MANUAL, EXECUTE), "TS_Automat", or in EDIT and
// RS232 "TS_Program", "TS_Korekce" or "TS_NulaObr".
std::string_view ShownPage(const MachineState& state);

// Whether the entry control `name` (EntryFields.h, "M_Program", "LB_Korekce") is on the page
// shown, so that it can have the focus and be typed into. E_PrikazE shows only in EXECUTE.
bool ControlShown(const MachineState& state, std::string_view name);

// What the control `name` shows now, as text, or nullopt for a name the panel does not have:
//   labels "L_..."                        their text
//   "P_Rezim", "P_Stav"                   the mode line and the status line
//   "B_Fn1" .. "B_Fn5"                    the soft key's caption ("\r\n" breaks a line)
//   entry fields "E_..."                  their text
//   "LB_Korekce", "LB_PrgMon"             the selected row's text, "" with none selected
//   "I_Poloha"                            the number of the tip-position picture
//   "S_Wok"                               the quill lamp, "green" or "red"
//   "Sh_Total"                            the TOTAL lamp, "yellow" or "red"
//   "M_Program"                           "read-only" or "editable"
//   "PageControl1"                        the page shown: "TS_ManExec", "TS_Automat",
//                                         "TS_Program", "TS_Korekce" or "TS_NulaObr"
//   "ActiveControl"                       the control with the focus, "" for none
std::optional<std::string> ControlReadout(const Simulator& simulator, std::string_view name);

}  // namespace soustruh
