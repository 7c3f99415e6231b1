#pragma once
// Forwards the panel's keys, bars and command line to the simulator and has the window show the
// result. Mode keys, Start, Stop, Reset, TOTAL and the spindle keys map one to one onto the
// simulator's handlers.
//
// SECOND WAVE: the soft keys (captions and actions per mode and EDIT page), the EDIT page state,
// jogging, the quill and the turret change move into the core. Until then the soft keys run an
// interim table (InterimSoftKeys.cpp) and the hold buttons and the turret key do nothing; each
// place to wire is marked "SECOND WAVE".

#include <QObject>
#include <QString>
#include <array>

#include "ui/PanelKeys.h"

namespace soustruh {
class Simulator;
}

namespace soustruh::ui {

class QtHost;
class TForm1;

// The page of the EDIT area and whether the program is being edited (the second key set).
enum class EditPage { Program, Korekce, NulaObr };

class PanelController : public QObject {
  Q_OBJECT

 public:
  PanelController(Simulator& simulator, QtHost& host, TForm1& window);

  // A key of the panel, clicked or pressed on the keyboard.
  void Press(PanelKey key);
  // A jog or quill button went down or up.
  void Hold(HoldButton button, bool down);
  void FeedOverride(int position);
  void SpindleOverride(int position);
  // M_ProgramEnter: the editor got the focus.
  void EditorEntered();

  // The captions of Fn1..Fn5 for the current mode and page ("\r\n" breaks a line).
  std::array<QString, 5> SoftKeyCaptions() const;
  EditPage editPage() const { return editPage_; }
  bool programEditing() const { return programEditing_; }

 private:
  void SoftKey(int number);
  void EditSoftKey(int number);
  void Toggle(int number);

  Simulator& sim_;
  QtHost& host_;
  TForm1& window_;
  EditPage editPage_ = EditPage::Program;
  bool programEditing_ = false;
};

}  // namespace soustruh::ui
