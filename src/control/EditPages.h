#pragma once
// The state of the EDIT area: which page is shown (the program, the tool correction table or the
// work offset table), whether the program editor may be edited, the program file, and the
// correction page's selected row with its entry texts. The work offset fields are the texts of
// the work offset table itself (MachineData::offsets).

#include <cstdint>
#include <string>

#include "machine/CorrectionTable.h"

namespace soustruh {

enum class EditPage { Program, Corrections, Offsets };

struct EditPagesState {
  EditPage Page = EditPage::Program;
  bool EditorReadOnly = true;  // M_Program: browsing until Fn1 or a click into it
  // The full name of the program file last opened or saved; empty while none is known.
  std::string ProgramFileName;
  // Counts the times the core replaced the program text (a file opened, SetProgram), so the
  // window knows when to reload its editor.
  std::uint32_t ProgramVersion = 0;
  // The program text differs from what was last opened or saved (the window asks before it is
  // lost on closing).
  bool ProgramModified = false;
  // Whether the opened program file ended with a line end, so that saving it unchanged gives back
  // the same bytes.
  bool ProgramFinalLineEnd = true;
  bool FileDialogShown = false;  // the program file dialog is up (Fn1 or Fn2 closes it)

  int CorrectionRow = -1;       // selected row of LB_Korekce (0-based), -1 none
  CorrectionFields Correction;  // E_KorX, E_KorZ, E_KorR, E_KorL, E_KorPopis
  int TipPicture = 0;           // picture of I_Poloha: 0 blank, k the tip position k - 1
};

// The mode line of EDIT on the program page: " EDIT", or " EDIT - " and the file name.
std::string EditModeLine(const EditPagesState& pages);

// Texts of the EDIT area shown in the mode line and the status line.
inline constexpr std::string_view kCorrectionPageModeLine = " EDIT - tabulka korekcí nástrojů";
inline constexpr std::string_view kOffsetPageModeLine = " EDIT - tabulka nulových bodů obrobku";
inline constexpr std::string_view kRs232ModeLine = " EDIT - přenos NC programu přes linku RS232";
inline constexpr std::string_view kOverwriteQuestion = "Soubor již existuje, chcete jej přepsat?";

// "Hledané slovo '<text>' nebylo nalezeno": a search that found nothing.
std::string NotFoundText(std::string_view searchText);
// The message when a program file cannot be read: the bare file name and, when known, the reason
// in Czech.
std::string ReadFailedMessage(std::string_view fileName, std::string_view reason = {});

}  // namespace soustruh
