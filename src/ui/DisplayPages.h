#pragma once
// The display pages of PageControl1 that show what the machine does: TS_ManExec (MANUAL and
// EXECUTE: the position in large figures and, in EXECUTE, the MDI command line E_PrikazE) and
// TS_Automat (AUTOMAT: present, target and remaining position, tool, feed, speed, modal functions,
// machining time, and the program monitor LB_PrgMon). They only show the core's DisplayState.

#include <QWidget>
#include <string>
#include <vector>

#include "control/MachineState.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace soustruh::ui {

// A label showing a core text; repainted only when the text really changes.
void SetLabelText(QLabel* label, const std::string& text);

class ManExecPage : public QWidget {
  Q_OBJECT

 public:
  explicit ManExecPage(QWidget* parent = nullptr);

  void Show(const DisplayState& display);
  // The command line and its label are shown only in EXECUTE.
  void SetCommandLineVisible(bool visible);
  QLineEdit* commandLine() const { return command_; }

 private:
  QLabel* sourX_;
  QLabel* sourZ_;
  QLabel* nastroj_;
  QLabel* posuv_;
  QLabel* otacky_;
  QLabel* commandLabel_;
  QLineEdit* command_;
};

class AutomatPage : public QWidget {
  Q_OBJECT

 public:
  explicit AutomatPage(QWidget* parent = nullptr);

  void Show(const DisplayState& display);
  // The monitor's lines (the program's lines when AUTOMAT is entered).
  void SetProgram(const std::vector<std::string>& lines);
  // The line of the block being executed (-1: none) and the top line shown; when a run ends
  // (`lineIndex` back to -1) the list returns to its top.
  void ShowMonitor(int selection, int top, int lineIndex);
  QListWidget* monitor() const { return monitor_; }

 private:
  QLabel* sourXA_;
  QLabel* sourZA_;
  QLabel* sourXcA_;
  QLabel* sourZcA_;
  QLabel* sourDXA_;
  QLabel* sourDZA_;
  QLabel* nastrojA_;
  QLabel* posuvA_;
  QLabel* otackyA_;
  QLabel* modG_;
  QLabel* modM_;
  QLabel* casObr_;
  QListWidget* monitor_;
  int shownSelection_ = -2;
  int shownTop_ = -1;
  int shownLineIndex_ = -1;
};

}  // namespace soustruh::ui
