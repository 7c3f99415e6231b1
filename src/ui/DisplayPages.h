#pragma once
// The display pages of PageControl1 that show what the machine does: TS_ManExec (MANUAL and
// EXECUTE: the position in large figures and, in EXECUTE, the MDI command line E_PrikazE) and
// TS_Automat (AUTOMAT: present, target and remaining position, tool, feed, speed, modal functions,
// machining time, and the program monitor LB_PrgMon). The value labels carry the names of the
// core's DisplayState texts (Labels()), which the window writes into them.

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;

namespace soustruh::ui {

// The item height of the program monitor and the correction list, in pixels.
inline constexpr int kMonitorItemHeight = 18;

// A label showing a core text; repainted only when the text really changes.
void SetLabelText(QLabel* label, const std::string& text);

class ManExecPage : public QWidget {
  Q_OBJECT

 public:
  explicit ManExecPage(QWidget* parent = nullptr);

  // The command line and its label are shown only in EXECUTE.
  void SetCommandLineVisible(bool visible);
  QLineEdit* commandLine() const { return command_; }

 private:
  QLabel* commandLabel_;
  QLineEdit* command_;
};

class AutomatPage : public QWidget {
  Q_OBJECT

 public:
  explicit AutomatPage(QWidget* parent = nullptr);

  // The monitor's lines (the program's lines when AUTOMAT is entered).
  void SetProgram(const std::vector<std::string>& lines);
  // The line of the block being executed (-1: none) and the top line shown; when a run ends
  // (`lineIndex` back to -1) the list returns to its top.
  void ShowMonitor(int selection, int top, int lineIndex);
  QListWidget* monitor() const { return monitor_; }

 private:
  QListWidget* monitor_;
  int shownSelection_ = -2;
  int shownTop_ = -1;
  int shownLineIndex_ = -1;
};

}  // namespace soustruh::ui
