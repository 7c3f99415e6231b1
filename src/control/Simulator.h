#pragma once
// One simulated lathe with its control: the data files, the interpreter, the machine state, the
// panel actions, the program driver and the motion tick. It reaches the platform only through
// its Host, and the view only through its Scene, so it runs headless; several simulators can
// live side by side.
//
// A window forwards every panel event to the handler of the same name (B_StartClick,
// SB_ZminusMouseDown, B_Fn3Click, FieldChange, FocusChanged, MessageHook for the keyboard, ...)
// and after each Host::Repaint draws what state() holds: the mode line, the status line, the
// labels (DisplayModel.h), the soft keys (SoftKeys.h with SoftKeys), the page (ShownPage), the
// EDIT pages (state().Pages and FieldText), the lamps, and the focus when FocusRequests moved.
//
// Units: length units of 0.0001 mm; X of Active/Target is a diameter, path points and
// corrections are radii; feeds mm/min, speeds 1/min, times ms of Host::Now().

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "control/Jogging.h"
#include "control/KeyMap.h"
#include "control/MachineState.h"
#include "control/SoftKeys.h"
#include "machine/MachineData.h"
#include "machine/StartupLoading.h"
#include "nc/Interpreter.h"
#include "platform/Host.h"
#include "workpiece/StockSection.h"

namespace soustruh {

// The machine view: repaints the scene (and, once the view exists, removes material and tests
// collisions on the way) and rebuilds the chuck drawing.
class Scene {
 public:
  virtual ~Scene() = default;
  virtual void SceneRedraw() = 0;
  // Above 1x a motion tick moves in several steps (Simulator::SetMaxTickStep): every step but the
  // picture's work is done by SceneCut (the removal pass and the collision test, with their
  // alarms), and the picture of where the tick left the machine once at its end by ScenePicture
  // (nothing cut or tested). A scene that does not tell them apart redraws fully in both.
  virtual void SceneCut() { SceneRedraw(); }
  virtual void ScenePicture() { SceneRedraw(); }
  virtual void ChuckBuild() = 0;
  // A motion of the tool carrier, the quill or a jog has just been started: state() holds its
  // start (Active), its block (Target) and any path. For views that trace the motion.
  virtual void MotionStarted() {}
};

// The effective spindle speed (1/min) and feed (mm/min) under the overrides.
struct Rates {
  std::int32_t speed = 0;
  std::int32_t feed = 0;
};

class Simulator {
 public:
  Simulator(Host& host, std::filesystem::path dataDirectory);
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // The view, when there is one; without it redraws only refresh the status and numbers.
  void SetScene(Scene* scene) { scene_ = scene; }

  // Start-up, as when the main window is first shown: reads the machine parameters, puts the
  // machine 2 mm inside its upper limits with tool 1 and the quill forward, loads the data
  // files, raises "Najet reference" and enters MANUAL. MachineMissing means the program must end.
  // `repair` says whether missing or malformed tables are repaired on disk (the window) or only
  // in memory (headless commands, which never write into the data folder).
  StartupStatus Start(TableRepair repair = TableRepair::OnDisk);
  // The window closes: a running motion or program ends where it is (a turret change stops at
  // the place it has reached), and neither timer fires any more.
  void FormClose();
  // Instead of Start, for a headless twin that looks ahead (the window's path overlay): the data
  // of `other` copied (no file is read or written), the machine standing where `other` stands
  // with its tool and quill, the modal state as after Reset, no alarm, MANUAL, nothing running.
  // `other` is not changed.
  void StartAsTwinOf(const Simulator& other);

  // ----- Panel keys (the handlers keep the names of the keys they serve).
  void B_ManualClick() { ModeKey(ControlMode::Manual); }
  void B_ExecClick() { ModeKey(ControlMode::Execute); }
  void B_EditClick() { ModeKey(ControlMode::Edit); }
  void B_AutomatClick() { ModeKey(ControlMode::Automat); }
  void B_StartClick();
  void B_StopClick();
  void B_ResetClick();
  void B_TotalClick();
  void B_ZapSClick();
  void B_VypSClick();
  // The checked state of soft key Fn`number` (1..5) of the current mode, set directly.
  void SetSoftKey(int number, bool checked);
  bool SoftKey(int number) const;
  // The override bars SB_Posuv and SB_Otacky (0..150; 96..104 snap to 100).
  void SB_PosuvChange(int position);
  void SB_OtackyChange(int position);
  // The MDI command line and the part program. SetProgram replaces the program text as a file
  // load does (the window reloads its editor); M_ProgramChange takes the editor's own edits
  // (different lines mark the program modified).
  void SetCommand(std::string text) { state_.Command = std::move(text); }
  void SetProgram(std::vector<std::string> lines);
  void M_ProgramChange(std::vector<std::string> lines);
  // Saves the program through the host's file dialog, asking before an existing file is
  // replaced; true when it was written. Fn2 of program editing uses it, and the window before
  // an edited program would be lost on closing.
  bool SaveProgramAs();

  // ----- Soft keys Fn1..Fn5 (SoftKeys.h gives the captions): what each does depends on the mode
  // and, in EDIT, on the page. Refusals sound the host's tones.
  void B_Fn1Click() { SoftKeyClick(1); }
  void B_Fn2Click() { SoftKeyClick(2); }
  void B_Fn3Click() { SoftKeyClick(3); }
  void B_Fn4Click() { SoftKeyClick(4); }
  void B_Fn5Click() { SoftKeyClick(5); }
  void SoftKeyClick(int number);
  SoftKeySet softKeySet() const { return CurrentSoftKeySet(state_.Mode, state_.Pages); }

  // ----- Jog, quill and turret buttons (Jogging.h); MANUAL only, while no sequence runs.
  void SB_XplusMouseDown() { MotionButtonDown(MotionButton::Xplus); }
  void SB_XminusMouseDown() { MotionButtonDown(MotionButton::Xminus); }
  void SB_ZplusMouseDown() { MotionButtonDown(MotionButton::Zplus); }
  void SB_ZminusMouseDown() { MotionButtonDown(MotionButton::Zminus); }
  void SB_WvpredMouseDown() { MotionButtonDown(MotionButton::Wvpred); }
  void SB_WvzadMouseDown() { MotionButtonDown(MotionButton::Wvzad); }
  void MotionButtonDown(MotionButton button);
  // Release of any of the six: the motion stops where it is at the next tick.
  void SB_TlPohybyMouseUp();
  // Indexes the turret by one place, with its pauses (the message loop runs during them).
  void SB_VymTClick();
  // Keyboard jogging: an arrow key held or let go (the key map calls these).
  void JogKeyDown(JogKey key);
  void JogKeyUp(JogKey key);

  // ----- Keyboard map (KeyMap.h): acts on a key event; true when the window must clear the key.
  bool MessageHook(const KeyEvent& event);
  // Moves the restart selection of LB_PrgMon by `lines` (clamped to the program), keeping it
  // within the `pageLines` the list shows.
  void MoveMonitorSelection(int lines, int pageLines);

  // ----- EDIT pages and entry controls (EditPages.h, EntryFields.h).
  // The focus moved to `control` ("" for none of ours): leaving a work offset field records it
  // for teach (E_G5xExit); entering the read-only editor makes it editable (M_ProgramEnter).
  void FocusChanged(std::string_view control);
  // The change event of an entry field: the correction fields rewrite the selected row, the work
  // offset fields are the table, E_PrikazE is the command line. Unknown names do nothing.
  void FieldChange(std::string_view control, std::string text);
  std::string FieldText(std::string_view control) const;
  // A click on row `row` (0-based) of LB_Korekce: selects it and fills the entry fields.
  void LB_KorekceClick(int row);
  // The find and replace dialog's buttons (and Fn3): search or replace in the editor.
  void ReplaceDialogFind();
  void ReplaceDialogReplace();

  // The only way the mode changes (besides the step into RS232).
  void SetMode(ControlMode mode);

  // ----- Timers: the host calls this for each expiry of an enabled timer.
  void OnTimer(HostTimer timer);
  // The longest machine time (ms) one motion step may cover; a tick that measured more moves in
  // several steps. 0, the default, takes each tick in one step however long it was. A host that
  // runs the clock faster than real time sets the timer's interval here (SimulationSpeed.h).
  void SetMaxTickStep(std::uint32_t milliseconds) { maxTickStep_ = milliseconds; }
  void TimerTimer();
  void T_CasObrTimer();
  // T_CasObrTimer's count up to machine time `now`.
  void CountMachiningTime(std::uint32_t now);

  // ----- Shared routines.
  // Shows the highest pending alarm, or fetches a pending interpreter error into
  // InterpreterError; true when something is reported.
  bool ShowAlarms(bool inMdi);
  void RefreshDisplay();
  Rates EffectiveRates(std::int32_t feed, std::int32_t speed);
  void SceneRedraw();
  void ChuckBuild();
  // Processes pending messages for `milliseconds`, so Stop and Reset can act in a pause.
  void WaitPumping(std::uint32_t milliseconds);

  // The coordinate shift of Active: workpiece = machine + (2 ×) shift.
  std::int32_t ShiftX() const { return state_.Active.CorrX - state_.Active.OffsetX; }
  std::int32_t ShiftZ() const { return state_.Active.CorrZ - state_.Active.OffsetZ; }
  std::int32_t WorkpieceX() const;
  std::int32_t WorkpieceZ() const;

  // The stock's section in the model plane (Z horizontal, radius vertical), both sides of the
  // axis; cut by the view's removal pass.
  StockSection& stock() { return stock_; }
  const StockSection& stock() const { return stock_; }
  // The stock dialog's two entries, kept between openings: diameter and protrusion in mm.
  std::string stockDiameterText{StockDiameterDefaultText};
  std::string stockProtrusionText{StockProtrusionDefaultText};

  MachineState& state() { return state_; }
  const MachineState& state() const { return state_; }
  MachineData& data() { return data_; }
  const MachineData& data() const { return data_; }
  NcInterpreter& interpreter() { return interp_; }
  Host& host() { return host_; }
  const MachineConfig& config() const { return data_.config; }

 private:
  // control panel
  void ModeKey(ControlMode mode);
  void EnterModePage(ControlMode mode);
  void AutomatStart();
  void ReferenceLeg();
  void ManualRates();
  void RequestFocus(std::string_view control);

  // soft keys and EDIT pages
  void ManualSoftKey(int number);
  void AutomatSoftKey(int number);
  void EditSoftKey(int number);
  void ProgramSoftKey(int number);
  void ShowCorrectionPage();
  void ShowOffsetPage();
  void TeachCoordinate();
  void OpenProgramFile();
  void SaveProgramFile();
  void MakeEditorEditable();

  // jogging
  bool ManualMotionAllowed() const;
  void JogFromKeys();
  void TurretStep();

  // motion
  void StartMotion(bool sequence);
  void SetMotionTimer(bool on);
  void SetClockTimer(bool on);
  void QuillStep(std::uint32_t dt);
  void CarrierStep(std::uint32_t dt);
  void PathStep(double feed, std::uint32_t dt);
  void EndCarrierMotion();
  void StepToward(std::int64_t rTarget, std::int64_t zTarget, double distance);
  void SetPosition(std::int32_t z, std::int32_t x);
  void CheckTravelLimits(std::int32_t& x, std::int32_t& z);
  void MotionFinished();
  // Stops the quill on the stock face and sets the quill state; true on contact.
  bool QuillContact();
  void BuildStartupStock();

  // program driver
  void ExecuteBlock(const std::string& text, bool mdi);
  bool SkipBlock(bool mdi);
  bool FlowFunctions(bool mdi);
  void JumpOrCall();
  void TurretChange();
  void StartBlockMotion(bool mdi);
  void StartCompensatedMotion(bool mdi);
  void LoadTool(int tool);
  void NoteToolWithoutDrawing();
  bool ProgramLoopDetected();

  Host& host_;
  Scene* scene_ = nullptr;
  MachineData data_;
  NcInterpreter interp_;
  MachineState state_;
  StockSection stock_;
  std::uint32_t maxTickStep_ = 0;
  bool pictureDeferred_ = false;  // inside a tick of several steps: redraws only cut
  std::uint64_t pauses_ = 0;      // WaitPumping calls so far
  // Endless-loop detection: (line, return stack) pairs seen since the last motion started.
  std::vector<std::array<std::int32_t, 5>> flowSinceMotion_;
};

}  // namespace soustruh
