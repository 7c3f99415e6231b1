// The main window driven through its widgets and keys as a learner drives it: the start-up state,
// the reference run, an MDI command, a program opened through the file dialog and run block by
// block, and the question before an edited program is lost.
//
// With SOUSTRUH_SCREENSHOT_DIR set, the tour also runs an example program to its end and leaves
// pictures of the window there (for looking at it, not for checking).

#include <QApplication>
#include <QDir>
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
#include "ui/MainWindow.h"
#include "ui/ProgramEditor.h"
#include "ui/ProgramFileDialog.h"
#include "ui/RealEdit.h"
#include "ui/SpcButton.h"

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
  // A key as the learner presses it: the system hands it to the active window.
  void Press(Qt::Key key) {
    QWindow* target = QGuiApplication::focusWindow();
    QTest::keyClick(target ? target : window_->windowHandle(), key);
  }
  void ReferenceRun() {
    Press(Qt::Key_F5);
    Press(Qt::Key_F11);
    QTRY_VERIFY_WITH_TIMEOUT(!window_->simulator().state().ProgramRunning, kMotionTimeout);
    QCOMPARE(Text("P_Stav"), QString());
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
  }

  void programFromFileDialogRunsBlockByBlock() {
    ReferenceRun();
    Press(Qt::Key_F7);
    Press(Qt::Key_F1);  // the program can be edited
    QVERIFY(!window_->editor().isReadOnly());
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
    Press(Qt::Key_F1);  // Blok po bloku
    QVERIFY(Child<TSpcButton>("B_Fn1")->Checked());
    for (int line = 0; line < 3; ++line) {
      Press(Qt::Key_F11);
      QTRY_VERIFY_WITH_TIMEOUT(window_->simulator().state().MotionDone, kMotionTimeout);
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
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
      }
      if (c.edit) {
        Press(Qt::Key_F7);
        Press(Qt::Key_F1);
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
