#pragma once
// M_Program: the part program editor. A plain-text editor in a fixed-pitch font without line
// wrapping, gutter or right-edge line, coloured by the ISO highlighter, with a read-only switch
// and the lines by index. Whether the text was changed since it was loaded or saved, and what
// a focus into it means, are the simulator's (EditPagesState::ProgramModified, FocusChanged).
//
// Undo: Qt's text document keeps its own undo stack and offers no depth limit, so the editor
// undoes without a step limit (more steps are never less useful to a learner).

#include <QPlainTextEdit>
#include <memory>
#include <string>
#include <vector>

#include "nc/NcLimits.h"

namespace soustruh::ui {

class TSynCNC_ISOSyn;

class ProgramEditor : public QPlainTextEdit {
  Q_OBJECT

 public:
  // `limits` (the machine configuration) must outlive the editor.
  ProgramEditor(const NcLimits& limits, QWidget* parent = nullptr);
  ~ProgramEditor() override;

  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  int LineCount() const { return blockCount(); }

  TSynCNC_ISOSyn& highlighter() { return *highlighter_; }

 private:
  TSynCNC_ISOSyn* highlighter_;
};

}  // namespace soustruh::ui
