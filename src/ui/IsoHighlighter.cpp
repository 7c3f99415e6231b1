#include "ui/IsoHighlighter.h"

#include <QGuiApplication>
#include <QPalette>

namespace soustruh::ui {
namespace {

constexpr int kLastColumn = kHighlightColumns - 1;  // 0-based column 125

// White space of the scanner: the codes 1 to 32 without CR and LF.
bool IsBlank(QChar c) {
  const char16_t u = c.unicode();
  return u >= 1 && u <= 32 && u != 10 && u != 13;
}

bool InSet(const ColumnSet& set, int column) {
  return column <= kLastColumn && set.test(static_cast<std::size_t>(column + 1));
}

QTextCharFormat Format(const QColor& foreground, bool bold) {
  QTextCharFormat format;
  format.setForeground(foreground);
  format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  return format;
}

}  // namespace

std::vector<IsoToken> ScanIsoLine(const QString& line,
                                  const std::array<ColumnSet, kHighlightClassCount>& sets) {
  static constexpr std::array<std::pair<HighlightClass, IsoTokenKind>, 4> kOrder = {{
      {HighlightClass::Word, IsoTokenKind::Reserved},
      {HighlightClass::Number, IsoTokenKind::Number},
      {HighlightClass::Variable, IsoTokenKind::Identifier},
      {HighlightClass::Comment, IsoTokenKind::Comment},
  }};
  std::vector<IsoToken> tokens;
  const int size = static_cast<int>(line.size());
  int run = 0;
  while (run < size) {
    const int start = run;
    IsoTokenKind kind = IsoTokenKind::Invalid;
    bool marked = false;
    for (const auto& [cls, setKind] : kOrder) {
      const ColumnSet& set = sets[static_cast<std::size_t>(cls)];
      if (!InSet(set, run)) continue;
      kind = setKind;
      while (run < size && InSet(set, run)) ++run;
      marked = true;
      break;
    }
    if (!marked) {
      const QChar c = line[run];
      if (IsBlank(c)) {
        kind = IsoTokenKind::Space;
        while (run < size && IsBlank(line[run])) ++run;
      } else {
        kind = (c == '\r' || c == '\n') ? IsoTokenKind::Space : IsoTokenKind::Invalid;
        ++run;
      }
    }
    tokens.push_back({kind, start, run - start});
  }
  tokens.push_back({IsoTokenKind::EndOfLine, size, 0});
  return tokens;
}

TSynCNC_ISOSyn::TSynCNC_ISOSyn(const NcLimits& limits, QTextDocument* document)
    : QSyntaxHighlighter(document), interpreter_(limits) {
  const QColor window = QGuiApplication::palette().color(QPalette::Base);
  attributes_[static_cast<std::size_t>(IsoTokenKind::Comment)] = Format(Qt::blue, false);
  attributes_[static_cast<std::size_t>(IsoTokenKind::Reserved)] = Format(Qt::black, true);
  attributes_[static_cast<std::size_t>(IsoTokenKind::Number)] = Format(QColor(0, 128, 0), false);
  attributes_[static_cast<std::size_t>(IsoTokenKind::Identifier)] = Format(QColor(0, 128, 0), true);
  attributes_[static_cast<std::size_t>(IsoTokenKind::Space)] = Format(window, false);
  attributes_[static_cast<std::size_t>(IsoTokenKind::Invalid)] = Format(Qt::red, false);
}

std::vector<IsoToken> TSynCNC_ISOSyn::Tokens(const QString& line) {
  NcBlock scratch;  // the default modal state, discarded after the parse
  interpreter_.ParseBlock(line.toStdString(), /*execute=*/false, /*mdi=*/false, scratch);
  std::array<ColumnSet, kHighlightClassCount> sets;
  for (int c = 0; c < kHighlightClassCount; ++c)
    sets[static_cast<std::size_t>(c)] = interpreter_.highlight(static_cast<HighlightClass>(c));
  return ScanIsoLine(line, sets);
}

void TSynCNC_ISOSyn::highlightBlock(const QString& text) {
  for (const IsoToken& token : Tokens(text)) {
    if (token.kind == IsoTokenKind::EndOfLine || token.length == 0) continue;
    setFormat(token.start, token.length, Attribute(token.kind));
  }
}

}  // namespace soustruh::ui
