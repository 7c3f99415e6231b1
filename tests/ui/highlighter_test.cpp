// The ISO highlighter: the parser's column sets turned into coloured tokens.

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "UiTestMain.h"
#include "ui/IsoHighlighter.h"

namespace soustruh::ui::test {
namespace {

// One letter per column: K reserved word, N number, I identifier, C comment, _ blank, R invalid.
QString Pattern(const std::vector<IsoToken>& tokens) {
  static const char kLetters[] = "CK?NI_R";
  QString pattern;
  for (const IsoToken& t : tokens)
    pattern += QString(t.length, QChar(kLetters[static_cast<int>(t.kind)]));
  return pattern;
}

}  // namespace

class HighlighterTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void linesColouredByTheParser() {
    const NcLimits limits{12, 5000, 4000};
    QTextDocument document;
    TSynCNC_ISOSyn highlighter(limits, &document);
    const QString longLine = "N10" + QString(122, ' ') + "X12.5";
    struct Case {
      QString line, pattern;
    };
    const Case cases[] = {
        {"N10 G01 X20.5 Z-3", "KNN_KKK_KNNNN_KNN"},
        {"G00 X10 ; najet", "KKK_KNN_CCCCCCC"},
        {"G01 Q5 X10", "KKK_RR_RRR"},
        {longLine, "KNN" + QString(122, '_') + "KRRRR"},
        {"", ""},
    };
    for (const Case& c : cases) {
      const std::vector<IsoToken> tokens = highlighter.Tokens(c.line);
      QCOMPARE(Pattern(tokens), c.pattern);
      QCOMPARE(tokens.back().kind, IsoTokenKind::EndOfLine);
    }
    QCOMPARE(highlighter.Tokens("").size(), std::size_t{1});
  }

  void documentGetsTheAttributeColours() {
    const NcLimits limits{12, 5000, 4000};
    QTextDocument document;
    TSynCNC_ISOSyn highlighter(limits, &document);
    document.setPlainText("N10 G01 Q5 ;x");
    highlighter.rehighlight();
    const QList<QTextLayout::FormatRange> formats = document.begin().layout()->formats();
    const auto at = [&formats](int column) {
      for (const QTextLayout::FormatRange& r : formats)
        if (column >= r.start && column < r.start + r.length) return r.format;
      return QTextCharFormat();
    };
    QCOMPARE(at(0).foreground().color(), QColor(Qt::black));
    QCOMPARE(at(0).fontWeight(), int(QFont::Bold));
    QCOMPARE(at(1).foreground().color(), QColor(0, 128, 0));
    QCOMPARE(at(8).foreground().color(), QColor(Qt::red));
  }
};
SOUSTRUH_UI_TEST(HighlighterTest);

}  // namespace soustruh::ui::test

#include "highlighter_test.moc"
