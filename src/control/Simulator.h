#pragma once
// One simulated lathe with its control: the data files, the interpreter, the machine state, the
// panel actions, the program driver and the motion tick. It reaches the platform only through
// its Host, and the view only through its Scene, so it runs headless; several simulators can
// live side by side.
//
// Units: length units of 0.0001 mm; X of Active/Target is a diameter, path points and
// corrections are radii; feeds mm/min, speeds 1/min, times ms of Host::Now().

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "control/MachineState.h"
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
  virtual void ChuckBuild() = 0;
};

// The effective spindle speed (1/min) and feed (mm/min) under the overrides.
struct Rates {
  std::int32_t speed = 0;
  std::int32_t feed = 0;
};

// The jog targets lie this far away on their axis, beyond any travel.
inline constexpr std::int32_t kJogDistanceZ = 10000000;
inline constexpr std::int32_t kJogDistanceX = 20000000;

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
  StartupStatus Start();

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
  // The checked state of soft key Fn`number` (1..5) of the current mode.
  void SetSoftKey(int number, bool checked);
  bool SoftKey(int number) const;
  // The override bars SB_Posuv and SB_Otacky (0..150; 96..104 snap to 100).
  void SB_PosuvChange(int position);
  void SB_OtackyChange(int position);
  // The MDI command line and the part program.
  void SetCommand(std::string text) { state_.Command = std::move(text); }
  void SetProgram(std::vector<std::string> lines) { state_.Program = std::move(lines); }

  // The only way the mode changes (besides the step into RS232).
  void SetMode(ControlMode mode);

  // ----- Timers: the host calls this for each expiry of an enabled timer.
  void OnTimer(HostTimer timer);
  void TimerTimer();
  void T_CasObrTimer();

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
  bool ProgramLoopDetected();

  Host& host_;
  Scene* scene_ = nullptr;
  MachineData data_;
  NcInterpreter interp_;
  MachineState state_;
  StockSection stock_;
  // Endless-loop detection: (line, return stack) pairs seen since the last motion started.
  std::vector<std::array<std::int32_t, 5>> flowSinceMotion_;
};

}  // namespace soustruh
