#pragma once
// TSynCNC_ISOSyn: colours the lines of the program editor with the interpreter's own parser. For
// every line the block parser runs in analysis mode (execute off, MDI off, on a scratch record in
// the default modal state), which marks the columns of each accepted word, number, variable and
// comment; the line is then cut into tokens by those marks. What the parser did not accept (the
// rest of a faulty line, characters outside the language, anything past column 126) is red.
//
// The highlighter has an interpreter of its own, so colouring never disturbs the error code of
// the machine's interpreter. Columns are characters; lines hold no state for the next line.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>
#include <vector>

#include "nc/Interpreter.h"

namespace soustruh::ui {

// The token kinds, numbered as the editor's highlighter interface numbers them.
enum class IsoTokenKind {
  Comment = 0,
  Reserved = 1,
  EndOfLine = 2,
  Number = 3,
  Identifier = 4,
  Space = 5,
  Invalid = 6,
};

struct IsoToken {
  IsoTokenKind kind = IsoTokenKind::EndOfLine;
  int start = 0;   // 0-based column
  int length = 0;  // 0 for the end of line
};

// Cuts a line into tokens by the parser's four column sets (`sets` indexed by HighlightClass);
// the last token is always the end of line.
std::vector<IsoToken> ScanIsoLine(const QString& line,
                                  const std::array<ColumnSet, kHighlightClassCount>& sets);

class TSynCNC_ISOSyn : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  // `limits` (the machine configuration) must outlive the highlighter.
  TSynCNC_ISOSyn(const NcLimits& limits, QTextDocument* document);

  static QString GetLanguageName() { return QStringLiteral("CNC programy dle ISO"); }
  // The tokens of one line, as highlightBlock colours them.
  std::vector<IsoToken> Tokens(const QString& line);
  const QTextCharFormat& Attribute(IsoTokenKind kind) const {
    return attributes_[static_cast<std::size_t>(kind)];
  }

 protected:
  void highlightBlock(const QString& text) override;

 private:
  NcInterpreter interpreter_;
  std::array<QTextCharFormat, 7> attributes_;
};

}  // namespace soustruh::ui
