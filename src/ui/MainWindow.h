#pragma once
// TForm1: the simulator's main window. The machine view ("Simulace stroje:") on the left takes
// whatever width the control system ("Řídicí systém:", 600 pixels) on the right leaves. The window
// owns the host, the simulator and every panel; the panels only show the core's state and forward
// the user's actions (PanelController).
//
// Lifecycle: created → first shown (start-up from the data folder, the view fitted) → in use →
// closed (asks to save an edited program first) → destroyed (timers stopped before anything else).

#include <QWidget>
#include <filesystem>
#include <memory>

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
  PanelController& controller() { return *controller_; }
  ProgramEditor& editor() { return *editor_; }
  TForm2& fileDialog() { return *fileDialog_; }

  // Shows the core's state in every panel.
  void Refresh();
  // Hands an edited program to the core (before any key acts).
  void FlushProgram();

  // Window-side actions of the soft keys and the key map.
  bool OpenProgram();
  bool SaveProgramAs();
  bool FileDialogShown() const;
  void CancelFileDialog();
  bool ModalDialogShown() const;  // the stock or the about dialog
  void FindNext();
  void ShowFindDialog();
  void ShowCorrectionPage();
  void ShowWorkOffsetPage();
  void TeachCoordinate();
  void FocusEditor();
  void FocusCommandLine();
  void ShowStockDialog();
  // " EDIT - " and the program's file name once one is known.
  void ShowProgramFileInModeLine();
  void ShowAboutDialog();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormShow();
  QWidget* BuildMachineSide();
  QWidget* BuildControlSide();
  void ShowStatus();
  void ShowModePage(ControlMode mode);
  void LoadProgramFile(const QString& path);

  std::unique_ptr<QtHost> host_;
  std::unique_ptr<Simulator> sim_;
  std::filesystem::path dataDirectory_;
  QString programFile_;
  bool programDirty_ = false;
  bool started_ = false;
  bool startFailed_ = false;
  ControlMode shownMode_ = ControlMode::Rs232;

  MachineView* view_ = nullptr;
  QLabel* modeLine_ = nullptr;
  QLabel* status_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QStackedWidget* editPages_ = nullptr;
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
