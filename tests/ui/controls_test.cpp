// The panel key and the entry field: the face geometry and colours of a key, and the typing,
// filtering, focus and arrow rules of an entry field.

#include <QTest>
#include <QVBoxLayout>

#include "UiTestMain.h"
#include "ui/Fonts.h"
#include "ui/RealEdit.h"
#include "ui/SpcButton.h"

namespace soustruh::ui::test {

class SpcButtonTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void barHeightFollowsCaptionLines() {
    struct Case {
      int key, text, lines, bar;
    };
    for (const Case c : {Case{70, 16, 1, 20}, Case{70, 16, 2, 20}, Case{40, 16, 1, 12},
                         Case{70, 16, 3, 3}, Case{49, 15, 1, 20}, Case{65, 15, 2, 19}}) {
      QCOMPARE(TSpcButton::BarHeight(c.key, c.text, c.lines), c.bar);
    }
  }

  // Samples the bar on the left, clear of the centred hint, and its white right and bottom edges.
  void checkedBarColours() {
    struct Case {
      bool checked, enabled;
      QColor bar;
    };
    for (const Case c : {Case{false, true, QColor(128, 128, 128)}, Case{true, true, Qt::blue},
                         Case{true, false, QColor(128, 128, 128)}}) {
      TSpcButton key;
      key.resize(105, 70);
      key.setFont(SansFont(13, true));
      key.SetCaption("Blok po\r\nbloku");
      key.SetBackColor(c.checked && !c.enabled ? Qt::darkGreen : QColor(128, 128, 128));
      key.SetBarColor(Qt::blue);
      key.SetShowBtnHint(true);
      key.SetBtnHintText("F1");
      key.SetChecked(c.checked);
      key.setEnabled(c.enabled);
      const QImage face = key.grab().toImage();
      const int bar = TSpcButton::BarHeight(70, QFontMetrics(key.font()).height(), 2);
      QCOMPARE(face.pixelColor(5, 2 + bar / 2), c.bar);
      if (c.checked) {
        QCOMPARE(face.pixelColor(102, 2 + bar / 2), QColor(Qt::white));  // right edge
        QCOMPARE(face.pixelColor(5, 2 + bar - 1), QColor(Qt::white));    // bottom edge
        QCOMPARE(face.pixelColor(5, 2 + bar), key.BackColor());
      }
    }
  }

  void accessibleNameHasCaptionAndKey() {
    TSpcButton key;
    key.SetBtnHintText("F11");
    key.SetCaption("Cycle\r\nstart");
    QCOMPARE(key.accessibleName(), QString("Cycle start (F11)"));
  }
};
SOUSTRUH_UI_TEST(SpcButtonTest);

class RealEditTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void typingAndPastingAreFiltered() {
    struct Case {
      TTypeEdit type;
      bool minus;
      QString typed, pasted, result;
    };
    using enum TTypeEdit;
    const Case cases[] = {
        {teFloat, true, "1,5", "", "1.5"},
        {teFloat, true, "1.5.", "", "1.5"},
        {teFloat, true, "5-", "", "5"},
        {teFloat, true, "-2,5", "", "-2.5"},
        {teFloat, false, "-3", "", "3"},
        {teInteger, true, "-12.", "", "-12"},
        {teHex, true, "1g-Fa", "", "1Fa"},
        {teString, true, "a-b,c", "", "a-b,c"},
        {teFloat, true, "", "-12a.3.4", "-12.34"},
        {teFloat, false, "", "-12a.3.4", "12.34"},
        {teHex, true, "", "-1f", "1f"},
        {teInteger, true, "", "4-5,6", "456"},
    };
    for (const Case& c : cases) {
      TRealEdit edit;
      edit.SetTypeEdit(c.type);
      edit.SetEnableMinus(c.minus);
      QTest::keyClicks(&edit, c.typed);
      if (!c.pasted.isEmpty()) edit.setText(c.pasted);
      QCOMPARE(edit.text(), c.result);
    }
  }

  void refusedTextKeepsTheLastAcceptedOne() {
    TRealEdit edit;
    edit.SetTypeEdit(TTypeEdit::teString);
    edit.SetEntryCheck([](const QString& text) { return !text.contains(QChar(0x20AC)); });
    int changes = 0;
    connect(&edit, &TRealEdit::Change, [&changes] { ++changes; });
    QTest::keyClicks(&edit, "ab");
    edit.insert(QString(QChar(0x20AC)));
    QCOMPARE(edit.text(), QString("ab"));
    QCOMPARE(changes, 2);
  }

  void minusOnlyAtTheStartAndOnce() {
    TRealEdit edit;
    QTest::keyClicks(&edit, "5");
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClicks(&edit, "-");
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClicks(&edit, "-");
    QCOMPARE(edit.text(), QString("-5"));
  }

  void focusColourEmptyFillAndArrows() {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    TRealEdit* edits[3];
    for (TRealEdit*& e : edits) layout->addWidget(e = new TRealEdit(&form));
    edits[1]->SetTypeEdit(TTypeEdit::teInteger);
    edits[2]->SetTypeEdit(TTypeEdit::teString);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QColor before = edits[2]->palette().color(QPalette::Base);
    edits[0]->setFocus();
    QTRY_VERIFY(edits[0]->hasFocus());
    QCOMPARE(edits[0]->palette().color(QPalette::Base), QColor(Qt::yellow));
    QTest::keyClick(edits[0], Qt::Key_Down);  // like Tab
    QTRY_VERIFY(edits[1]->hasFocus());
    QCOMPARE(edits[0]->palette().color(QPalette::Base), before);
    QCOMPARE(edits[0]->text(), QString("0.0"));
    QTest::keyClick(edits[1], Qt::Key_Down);
    QTRY_VERIFY(edits[2]->hasFocus());
    QCOMPARE(edits[1]->text(), QString("0"));
    QTest::keyClick(edits[2], Qt::Key_Up);  // like Shift+Tab
    QTRY_VERIFY(edits[1]->hasFocus());
    QCOMPARE(edits[2]->text(), QString());
  }
};
SOUSTRUH_UI_TEST(RealEditTest);

}  // namespace soustruh::ui::test

#include "controls_test.moc"
