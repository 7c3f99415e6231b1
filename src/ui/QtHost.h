#pragma once
// The simulator's host in the window: real timers (QTimer, 50 and 250 ms), a monotonic millisecond
// clock (QElapsedTimer), the message loop for pauses, message boxes with Czech buttons, tones and
// the system's alert.
//
// Tones are sine waves generated on the spot and pushed to one audio output opened at the first
// tone. Without an audio device (a server, a test run) tones are skipped silently.
//
// GUI thread only. The simulator must be attached before any timer is started, and detached (or
// the host destroyed) before the simulator dies; Detach() stops both timers.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "platform/Host.h"
#include "platform/SimulationSpeed.h"

class QWidget;

namespace soustruh {
class Simulator;
}

namespace soustruh::ui {

class FindReplaceDialog;
class TForm2;
class TonePlayer;

// The answer to a three-way question.
enum class Answer { Yes, No, Cancel };

class QtHost : public QObject, public Host {
  Q_OBJECT

 public:
  explicit QtHost(QObject* parent = nullptr);
  ~QtHost() override;

  void Attach(Simulator* simulator) { simulator_ = simulator; }
  // Stops both timers and forgets the simulator.
  void Detach();
  // Message boxes are centred on this window (may be null).
  void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }
  // Called (coalesced, from the event loop) when the core asks for a repaint.
  void SetRepaintHandler(std::function<void()> handler) { onRepaint_ = std::move(handler); }

  void ShowMessage(std::string_view text) override;
  std::uint32_t Now() override;
  void SetTimerEnabled(HostTimer timer, bool enabled) override;
  void Beep(int hertz, int milliseconds) override;
  void DefaultAlert() override;
  void ProcessPendingMessages() override;
  void Repaint() override;

  // The editor's dialogs, owned by the window (either may be null).
  void SetEditorDialogs(TForm2* fileDialog, FindReplaceDialog* findDialog) {
    fileDialog_ = fileDialog;
    findDialog_ = findDialog;
  }
  std::string ShowProgramFileDialog(ProgramFileDialogMode mode,
                                    std::string_view suggestedName) override;
  void CloseProgramFileDialog() override;
  void SetWaitCursor(bool on) override;
  std::string SearchText() override;
  void ShowReplaceDialog() override;
  bool FindInProgram() override;
  bool ReplaceInProgram() override;

  // Questions: Ano / Ne, and (the window's close question) Ano / Ne / Storno.
  bool AskYesNo(std::string_view text) override;
  Answer AskYesNoCancel(const QString& text);

  // The simulation speed (SimulationSpeed.h): from now on Now() runs `factor` times faster than
  // the wall clock, the machining clock timer fires `factor` times as often, and the simulator
  // moves in 1x steps. 1, the default, is real time.
  void SetSpeed(int factor);
  int speed() const { return scaled_.speed(); }

  bool TimerActive(HostTimer timer) const;
  // Whether tones reach an audio device (false until the first tone has tried).
  bool AudioAvailable() const;

 private:
  void FireRepaint();

  Simulator* simulator_ = nullptr;
  QWidget* dialogParent_ = nullptr;
  TForm2* fileDialog_ = nullptr;
  FindReplaceDialog* findDialog_ = nullptr;
  QElapsedTimer clock_;
  ScaledClock scaled_;
  QTimer motionTimer_;
  QTimer clockTimer_;
  std::unique_ptr<TonePlayer> tones_;
  std::function<void()> onRepaint_;
  bool repaintPending_ = false;
};

}  // namespace soustruh::ui
