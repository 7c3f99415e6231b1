// The main window driven through its widgets and keys as a learner drives it: the start-up state,
// the reference run, an MDI command, jogging by keys and buttons, the quill and the turret, a
// program opened through the file dialog and run block by block, the correction and work offset
// pages with teach, and the question before an edited program is lost. The core's own tests decide
// what the panel does; these check that the window hands it every action and shows the result.
//
// With SOUSTRUH_SCREENSHOT_DIR set, the tour also runs an example program to its end and leaves
// pictures of the window there (for looking at it, not for checking).

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "UiTestMain.h"
#include "ui/MachineView.h"
#include "ui/MainWindow.h"
#include "ui/ProgramEditor.h"
#include "ui/ProgramFileDialog.h"
#include "ui/RealEdit.h"
#include "ui/SpcButton.h"
#include "view/ViewMapping.h"

namespace soustruh::ui::test {
namespace {

constexpr int kMotionTimeout = 30000;  // ms: the longest real-time motion a test waits for

// The data folder beside the built program, copied so that nothing a test saves reaches it.
bool CopyData(const QString& to) {
  const QDir from(QStringLiteral(SOUSTRUH_BIN_DIR));
  QDir(to).mkpath("examples");
  for (const char* name :
       {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt",
        "examples/01_osazeny_hridel.nc", "examples/05_konstantni_rezna_rychlost.nc"})
    if (!QFile::copy(from.filePath(name), to + "/" + name)) return false;
  return true;
}

// Clicks the button captioned `text` of the next message box, once it is shown.
void AnswerMessage(const QString& text) {
  QTimer::singleShot(10, [text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return AnswerMessage(text);
    for (QAbstractButton* b : box->buttons())
      if (b->text() == text) b->click();
  });
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<TForm1> window_;

  template <typename T = QWidget>
  T* Child(const char* name) {
    T* child = window_->findChild<T*>(QString::fromLatin1(name));
    if (!child) qWarning("no widget %s", name);
    return child;
  }
  QString Text(const char* label) { return Child<QLabel>(label)->text(); }
  double Number(const char* label) { return Text(label).toDouble(); }
  bool QuillLampGreen() {
    return Child("S_Wok")->palette().color(QPalette::Window) == QColor(0, 128, 0);
  }
  // A key as the learner presses it: the system hands it to the active window.
  void Press(Qt::Key key) {
    QWindow* target = QGuiApplication::focusWindow();
    QTest::keyClick(target ? target : window_->windowHandle(), key);
  }
  void ReferenceRun() {
    Press(Qt::Key_F5);
    Press(Qt::Key_F11);
    QTRY_VERIFY_WITH_TIMEOUT(!window_->simulator().state().ProgramRunning, kMotionTimeout);
    QTRY_COMPARE(Text("P_Stav"), QString());
  }
  // The panel shows the core's state through a queued repaint: a check of a label right after a
  // wait on the state would otherwise race it on a slow machine.
  void Shown() { QCoreApplication::sendPostedEvents(); }
  // A program typed into the editor, handed to the core.
  void TypeProgram(const char* text) {
    Press(Qt::Key_F7);
    Press(Qt::Key_F1);
    window_->editor().setPlainText(QString::fromUtf8(text));
    window_->FlushProgram();
  }
  bool ViewShows(QRgb colour) {
    const QImage& image = window_->machineView().canvas().image();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
    return false;
  }
  void Shot(const char* name) {
    const QString folder = qEnvironmentVariable("SOUSTRUH_SCREENSHOT_DIR");
    if (!folder.isEmpty()) window_->grab().save(folder + "/" + name + ".png");
  }

 private Q_SLOTS:
  void init() {
    QVERIFY(dir_.isValid());
    QVERIFY(CopyData(dir_.path()));
    window_ = std::make_unique<TForm1>(dir_.path().toStdString());
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QTRY_VERIFY(window_->started());
  }

  void cleanup() {
    window_.reset();  // stops the timers before the panels go
    QVERIFY(dir_.remove());
  }

  void startsInManualWaitingForTheReference() {
    QCOMPARE(window_->windowTitle(), QString("Soustruh – simulátor CNC soustruhu"));
    QCOMPARE(Text("P_Rezim"), QString(" MANUAL"));
    QCOMPARE(Text("P_Stav"), QString("Najet reference"));
    QCOMPARE(Child("P_Stav")->palette().color(QPalette::Window), QColor(Qt::blue));
    QCOMPARE(Child<TSpcButton>("B_Fn1")->text(), QString("Reverzace\r\not. vřetena"));
    QCOMPARE(Child<TSpcButton>("B_Fn5")->text(), QString("Reference"));
    QVERIFY(Child<TSpcButton>("B_Manual")->Checked());
    QCOMPARE(Child("GroupBox1")->width(), 600);
    QCOMPARE(window_->minimumSize(), QSize(1024, 720));
    // Every key and entry field can be named by assistive technology.
    for (QWidget* w : window_->findChildren<QWidget*>())
      if (qobject_cast<TSpcButton*>(w) || qobject_cast<QLineEdit*>(w))
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    // Nothing drawn on the panel sticks out of its parent.
    for (QWidget* w : Child("Panel2")->findChildren<QWidget*>())
      QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
  }

  void referenceRunThenMdiCommand() {
    ReferenceRun();
    Press(Qt::Key_F8);
    QCOMPARE(Text("P_Rezim"), QString(" EXECUTE"));
    auto* command = Child<QLineEdit>("E_PrikazE");
    QTRY_VERIFY(command->hasFocus());
    QTest::keyClicks(command, "G00 X240. Z260.");
    Press(Qt::Key_F11);

    QTRY_COMPARE_WITH_TIMEOUT(Text("L_SourXM"), QString("240.000"), kMotionTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(Text("L_SourZM"), QString("260.000"), kMotionTimeout);
    QCOMPARE(command->text(), QString("G00 X240. Z260."));  // Start repeats it
    QVERIFY(command->hasFocus());
    // A faulty command is refused with the interpreter's message; Esc resets.
    command->setText("G00 Q5");
    Press(Qt::Key_F11);
    QVERIFY(!Text("P_Stav").isEmpty());
    Press(Qt::Key_Escape);
    QCOMPARE(Text("P_Stav"), QString());
    // The focus leaving with the command line does not fall into the editor and start editing.
    Press(Qt::Key_F7);
    QVERIFY(!command->hasFocus());
    QVERIFY(window_->editor().isReadOnly());
  }

  void jogKeysButtonsQuillAndTurret() {
    ReferenceRun();
    const double z = Number("L_SourZM");
    // An arrow held outside the entry controls jogs until it is let go.
    QWindow* window = window_->windowHandle();
    QTest::keyPress(window, Qt::Key_Left);
    QTRY_VERIFY(Number("L_SourZM") < z - 0.5);
    QTest::keyRelease(window, Qt::Key_Left);
    QTRY_VERIFY(window_->simulator().state().MotionDone);
    Shown();
    const double stopped = Number("L_SourZM");
    const double x = Number("L_SourXM");
    QTest::mousePress(Child("SB_Xminus"), Qt::LeftButton);
    QTRY_VERIFY(Number("L_SourXM") < x - 0.5);
    QTest::mouseRelease(Child("SB_Xminus"), Qt::LeftButton);
    QTRY_VERIFY(window_->simulator().state().MotionDone);
    Shown();
    QCOMPARE(Number("L_SourZM"), stopped);
    // The quill leaves its retracted position (lamp red) and comes back (green).
    QVERIFY(QuillLampGreen());
    QTest::mousePress(Child("SB_Wvpred"), Qt::LeftButton);
    QTRY_VERIFY(!QuillLampGreen());
    QTest::mouseRelease(Child("SB_Wvpred"), Qt::LeftButton);
    QTest::mousePress(Child("SB_Wvzad"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(QuillLampGreen(), kMotionTimeout);
    QTest::mouseRelease(Child("SB_Wvzad"), Qt::LeftButton);
    const QString tool = Text("L_NastrojM");
    QTest::mouseClick(Child("SB_VymT"), Qt::LeftButton);
    QCOMPARE(Text("L_NastrojM").left(2), QString("02"));
    QCOMPARE(Text("L_NastrojM").mid(2), tool.mid(2));
  }

  void programFromFileDialogRunsBlockByBlock() {
    ReferenceRun();
    Press(Qt::Key_F7);
    Press(Qt::Key_F1);  // the program can be edited
    QVERIFY(!window_->editor().isReadOnly());
    // The key that opened the dialog closes it again; the other soft key does not.
    QTimer::singleShot(0, this, [this] {
      QTRY_VERIFY(QGuiApplication::focusWindow() == window_->fileDialog().windowHandle());
      Press(Qt::Key_F2);
      QVERIFY(window_->fileDialog().isVisible());
      Press(Qt::Key_F1);
    });
    Press(Qt::Key_F1);
    QVERIFY(!window_->fileDialog().isVisible());
    QCOMPARE(Text("P_Rezim"), QString(" EDIT"));
    QTimer::singleShot(0, this, [this] {
      QListWidget* list = window_->fileDialog().list();
      list->setCurrentRow(list->row(list->findItems("examples", Qt::MatchExactly)[0]));
      QTest::keyClick(list, Qt::Key_Return);
      list->setCurrentRow(
          list->row(list->findItems("05_konstantni_rezna_rychlost.nc", Qt::MatchExactly)[0]));
      QTest::keyClick(list, Qt::Key_Return);
    });
    Press(Qt::Key_F1);  // Otevřít...
    QVERIFY(Text("P_Rezim").endsWith("05_konstantni_rezna_rychlost.nc"));
    QVERIFY(window_->editor().LineCount() > 10);
    Press(Qt::Key_F6);
    auto* monitor = Child<QListWidget>("LB_PrgMon");
    QCOMPARE(monitor->count(), window_->editor().LineCount());
    // The restart selection moves by the page the list shows, less one line.
    Press(Qt::Key_F5);
    QCOMPARE(monitor->currentRow(), 0);
    Press(Qt::Key_PageDown);
    QCOMPARE(monitor->currentRow(), monitor->viewport()->height() / 18 - 1);
    Press(Qt::Key_F5);
    Press(Qt::Key_F1);  // Blok po bloku
    QVERIFY(Child<TSpcButton>("B_Fn1")->Checked());
    for (int line = 0; line < 3; ++line) {
      Press(Qt::Key_F11);
      QTRY_VERIFY_WITH_TIMEOUT(window_->simulator().state().MotionDone, kMotionTimeout);
      Shown();
      QCOMPARE(monitor->currentRow(), line);
    }
    QCOMPARE(Text("P_Stav"), QString());
    if (qEnvironmentVariableIsEmpty("SOUSTRUH_SCREENSHOT_DIR")) return;
    Press(Qt::Key_F1);
    Child<QScrollBar>("SB_Posuv")->setValue(150);
    Press(Qt::Key_F11);
    QTRY_VERIFY_WITH_TIMEOUT(window_->simulator().state().LineIndex < 0, 120000);
    Shot("automat");
    window_->setGeometry(window_->screen()->availableGeometry());
    QTest::qWait(200);  // a picture for people, not a check: let the resize settle
    Shot("automat-screen");
    for (Qt::Key key : {Qt::Key_F9, Qt::Key_F7, Qt::Key_F2, Qt::Key_F7, Qt::Key_F3}) {
      Press(key);
      Shot(qPrintable(QString("page-%1").arg(key - Qt::Key_F1 + 1)));
    }
    QTimer::singleShot(100, this, [this] {
      QApplication::activeModalWidget()->grab().save(
          qEnvironmentVariable("SOUSTRUH_SCREENSHOT_DIR") + "/stock.png");
      QApplication::activeModalWidget()->close();
    });
    window_->ShowStockDialog();
  }

  void tablePagesTakeEditsAndTeach() {
    ReferenceRun();
    const QString z = Text("L_SourZM");
    Press(Qt::Key_F7);
    Press(Qt::Key_F2);
    QCOMPARE(Text("P_Rezim"), QString(" EDIT - tabulka korekcí nástrojů"));
    auto* korX = Child<TRealEdit>("E_KorX");
    QTRY_VERIFY(korX->hasFocus());
    korX->clear();
    QTest::keyClicks(korX, "5");
    auto* list = Child<QListWidget>("LB_Korekce");
    QTRY_COMPARE(list->item(0)->text().mid(4, 9), QString("    0.005"));
    // A row chosen by keyboard fills the fields.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTRY_COMPARE(Child<TRealEdit>("E_KorZ")->text(), QString("9.000"));

    Press(Qt::Key_F7);
    Press(Qt::Key_F3);
    QTRY_VERIFY(Child("E_G54x")->hasFocus());
    QCOMPARE(Child<TSpcButton>("B_Fn5")->text(), QString("Učit\r\nsouřadnici"));
    auto* g55z = Child<TRealEdit>("E_G55z");
    QTest::mouseClick(g55z, Qt::LeftButton);
    QTest::mouseClick(Child("B_Fn5"), Qt::LeftButton);  // the mouse takes the focus away
    QCOMPARE(g55z->text(), z);  // the present position as the display shows it
    QTRY_VERIFY(g55z->hasFocus());
    QCOMPARE(g55z->cursorPosition(), g55z->text().size());
    QVERIFY(!g55z->hasSelectedText());
    auto* popis = Child<TRealEdit>("E_G55popis");
    popis->setFocus();
    QTest::keyClicks(popis, "osa");
    Press(Qt::Key_F5);  // a description takes no coordinate
    QCOMPARE(popis->text(), QString("osa"));
    Press(Qt::Key_F2);
    QFile saved(dir_.filePath("nulbody.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().split('\n')[1].contains(g55z->text().toLatin1()));
  }

  void tenTimesSpeedKeepsTheMachinesTime() {
    auto* speed = Child<QComboBox>("CB_Rychlost");
    QCOMPARE(speed->currentText(), QString("1×"));
    speed->setCurrentIndex(speed->findData(10));
    ReferenceRun();
    TypeProgram("N10 G91 G94 F600\nN20 G01 Z-100.\nN30 M30");  // 10 s of the machine's time
    Press(Qt::Key_F6);
    QElapsedTimer wall;
    wall.start();
    Press(Qt::Key_F11);
    QTRY_VERIFY(!window_->simulator().state().ProgramRunning);
    const qint64 ms = wall.elapsed();
    QTRY_COMPARE(Text("L_CasObr"), QString("00:10"));
    QVERIFY2(ms >= 950 && ms < 2500, qPrintable(QString::number(ms)));
  }

  void readoutAndPathOverlay() {
    MachineView& view = window_->machineView();
    const QRgb contour = ToQColor(kOverlayContourColour).rgb();
    TypeProgram("G54 G90 G95 T0101\nG97 S1500 M03\nG00 X30. Z5.\nG01 Z-20. F100\nM30");
    auto* paths = Child<QCheckBox>("CHB_Drahy");
    QVERIFY(!ViewShows(contour));
    paths->click();
    QCOMPARE(view.overlay().outcome, RunOutcome::Finished);
    QCOMPARE(view.overlay().elements.size(), std::size_t{2});
    QTRY_VERIFY(ViewShows(contour));

    // The start-up stock: 19 mm across, its free end 125 mm from the spindle's face.
    const ViewMapping mapping = MappingOf(window_->simulator().state());
    const ScreenPoint above = ModelToScreen(mapping, 1200000, 120000);
    QTest::mouseMove(&view, QPoint(above.x, above.y));
    QTRY_VERIFY(view.readout().isEmpty());
    const ScreenPoint over = ModelToScreen(mapping, 1200000, 50000);
    QTest::mouseMove(&view, QPoint(over.x, over.y));
    QTRY_VERIFY(view.readout().endsWith(QString("Ø 19.000")));
    Shot("view-aids");

    paths->click();
    QTRY_VERIFY(!ViewShows(contour));
    // Both sit beside the view's buttons, inside their panel.
    for (QWidget* w : {static_cast<QWidget*>(paths), Child("CB_Rychlost")}) {
      QVERIFY(w->parentWidget()->rect().contains(w->geometry()));
      QVERIFY(!w->geometry().intersects(Child("B_Polotovar")->geometry()));
    }
  }

  void closingAsksOnlyForAnEditedProgram() {
    struct Case {
      bool edit;
      const char* answer;
      bool closed;
    };
    for (const Case c : {Case{false, nullptr, true}, Case{true, "Storno", false},
                         Case{true, "Ano", false}, Case{true, "Ne", true}}) {
      if (!window_->isVisible()) {
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
      }
      if (c.edit) {  // a click into the browsing editor starts editing
        Press(Qt::Key_F7);
        QTest::mouseClick(window_->editor().viewport(), Qt::LeftButton);
        QTest::keyClicks(&window_->editor(), "N10 G00 X20");
      }
      if (c.answer) AnswerMessage(c.answer);
      if (c.answer == QString("Ano")) {  // the save dialog comes; the learner cancels it
        QTimer::singleShot(50, this, [this] {
          QTRY_VERIFY(window_->fileDialog().isVisible());
          window_->fileDialog().reject();
        });
      }
      window_->close();
      QCOMPARE(window_->isVisible(), !c.closed);
    }
  }
};
SOUSTRUH_UI_TEST(WindowTest);

}  // namespace soustruh::ui::test

#include "window_test.moc"
