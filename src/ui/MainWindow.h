#pragma once
// TForm1: the simulator's main window. The machine view ("Simulace stroje:") on the left takes
// whatever width the control system ("Řídicí systém:", 600 pixels) on the right leaves. The window
// owns the host, the simulator and every panel. It draws what the simulator's state holds (Refresh
// after each Host::Repaint and each forwarded action) and forwards every action of the learner to
// the simulator's handler of the same name: the panel's keys (PanelController), the keyboard
// (KeyboardHook), the entry fields and lists (FieldChange, LB_KorekceClick), the focus
// (FocusChanged) and the editor's edits (M_ProgramChange). It decides nothing itself. Right of
// the view's two buttons sit the simulation speed (QtHost::SetSpeed) and the path overlay switch
// (MachineView::SetOverlayShown); neither takes the focus.
//
// Lifecycle: created → first shown (start-up from the data folder, the view fitted) → in use →
// closed (asks to save an edited program first) → destroyed (timers stopped before anything else).

#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "control/DisplayModel.h"
#include "control/KeyMap.h"
#include "control/Simulator.h"
#include "ui/QtHost.h"

class QLabel;
class QLineEdit;
class QStackedWidget;

namespace soustruh::ui {

class AutomatPage;
class CorrectionPage;
class FindReplaceDialog;
class KeyboardHook;
class MachineView;
class ManExecPage;
class PanelController;
class PanelKeys;
class ProgramEditor;
class TForm2;
class TForm3;
class TForm4;
class WorkOffsetPage;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // `dataDirectory` holds the four data files (normally the program's own directory).
  explicit TForm1(std::filesystem::path dataDirectory, QWidget* parent = nullptr);
  ~TForm1() override;

  static QString Title() { return QStringLiteral("Soustruh – simulátor CNC soustruhu"); }

  // Start-up ran (after the first show); false also when it failed.
  bool started() const { return started_; }
  // A missing GeoStroj.dat: the program must end.
  bool startFailed() const { return startFailed_; }

  Simulator& simulator() { return *sim_; }
  QtHost& host() { return *host_; }
  ProgramEditor& editor() { return *editor_; }
  TForm2& fileDialog() { return *fileDialog_; }
  MachineView& machineView() { return *view_; }

  // Shows the core's state in every panel, and moves the focus where the core asked for it.
  void Refresh();
  // Hands an edited program to the core (before any key acts).
  void FlushProgram();

  // For the key map: the secondary window shown, the focused control's name when it is one of the
  // core's entry controls ("" otherwise), and the whole lines the program monitor shows.
  ShownDialog shownDialog() const;
  std::string FocusedControl() const;
  int MonitorPageLines() const;

  // B_PolotovarClick and B_OPrgClick.
  void ShowStockDialog();
  void ShowAboutDialog();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormShow();
  QWidget* BuildMachineSide();
  void BuildViewAids(QWidget* panel);
  QWidget* BuildControlSide();
  void ShowStatus();
  void ShowPages(const MachineState& s);
  void ShowKeys(const MachineState& s);
  void ShowEditor(const MachineState& s);
  void ShowFocus(const MachineState& s);
  void ReportFocus(QWidget* now);

  std::unique_ptr<QtHost> host_;
  std::unique_ptr<Simulator> sim_;
  std::filesystem::path dataDirectory_;
  bool programDirty_ = false;  // the editor's text changed since it went to the core
  bool started_ = false;
  bool startFailed_ = false;
  ControlMode shownMode_ = ControlMode::Rs232;
  std::uint32_t shownProgramVersion_ = 0;
  std::uint32_t shownFocusRequests_ = 0;

  MachineView* view_ = nullptr;
  QLabel* modeLine_ = nullptr;
  QLabel* status_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QStackedWidget* editPages_ = nullptr;
  QWidget* programPage_ = nullptr;
  std::array<QLabel*, kDisplayLabelCount> labels_{};  // in the order of Labels()
  ManExecPage* manExec_ = nullptr;
  AutomatPage* automat_ = nullptr;
  ProgramEditor* editor_ = nullptr;
  CorrectionPage* corrections_ = nullptr;
  WorkOffsetPage* offsets_ = nullptr;
  PanelKeys* keys_ = nullptr;
  PanelController* controller_ = nullptr;
  KeyboardHook* hook_ = nullptr;
  TForm2* fileDialog_ = nullptr;
  TForm3* stockDialog_ = nullptr;
  TForm4* aboutDialog_ = nullptr;
  FindReplaceDialog* findDialog_ = nullptr;
};

}  // namespace soustruh::ui
