#include "ui/ProgramEditor.h"

#include <QTextBlock>

#include "ui/Fonts.h"
#include "ui/IsoHighlighter.h"

namespace soustruh::ui {

ProgramEditor::ProgramEditor(const NcLimits& limits, QWidget* parent)
    : QPlainTextEdit(parent), highlighter_(new TSynCNC_ISOSyn(limits, document())) {
  setObjectName(QStringLiteral("M_Program"));
  setAccessibleName(QStringLiteral("NC program"));
  setFont(FixedFont(14));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setWordWrapMode(QTextOption::NoWrap);
  setTabChangesFocus(false);
  document()->setDocumentMargin(2);
}

ProgramEditor::~ProgramEditor() = default;

std::vector<std::string> ProgramEditor::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(blockCount()));
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
    lines.push_back(block.text().toStdString());
  // An empty document, or a final line end, leaves one empty block that is no line.
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

void ProgramEditor::SetLines(const std::vector<std::string>& lines) {
  QStringList text;
  text.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) text << QString::fromStdString(line);
  setPlainText(text.join('\n'));
}

}  // namespace soustruh::ui
