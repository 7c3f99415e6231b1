// Closing the window at awkward moments: during a run, during a turret change's pause (the event
// loop runs inside the block) and with a modal dialog open. Afterwards no timer may run, and
// destroying the window leaves nothing that fires into it (the sanitizer build would report it).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "UiTestMain.h"
#include "ui/MainWindow.h"

namespace soustruh::ui::test {

class WindowLifecycleTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<TForm1> window_;

  void Press(Qt::Key key) {
    QWindow* target = QGuiApplication::focusWindow();
    QTest::keyClick(target ? target : window_->windowHandle(), key);
  }
  bool AnyTimer() {
    return window_->host().TimerActive(HostTimer::Motion) ||
           window_->host().TimerActive(HostTimer::MachiningClock);
  }
  // After the close: nothing runs, and the window goes with every event still queued for it.
  void ExpectClosedCleanly() {
    QVERIFY(!window_->isVisible());
    QVERIFY(!AnyTimer());
    window_.reset();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  void RunProgram(std::vector<std::string> lines) {
    window_->simulator().SetProgram(std::move(lines));
    Press(Qt::Key_F6);
    Press(Qt::Key_F11);
  }

 private Q_SLOTS:
  void init() {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir().mkpath(dir_.path()));  // the previous test's cleanup removed it
    const QDir from(QStringLiteral(SOUSTRUH_BIN_DIR));
    for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
      QVERIFY(QFile::copy(from.filePath(name), dir_.path() + "/" + name));
    window_ = std::make_unique<TForm1>(dir_.path().toStdString());
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QTRY_VERIFY(window_->started());
    Press(Qt::Key_F5);
    Press(Qt::Key_F11);
    QTRY_VERIFY_WITH_TIMEOUT(!window_->simulator().state().ProgramRunning, 30000);
  }

  void cleanup() {
    window_.reset();
    QVERIFY(dir_.remove());
  }

  void closedDuringARun() {
    RunProgram({"G01 X100. Z100. F100", "M30"});
    QTRY_VERIFY(window_->host().TimerActive(HostTimer::Motion));
    window_->close();
    ExpectClosedCleanly();
  }

  // The close comes while the turret pauses inside the block (it has turned one place of four):
  // the turret stops there, and the run does not go on to the next block once the pause is over.
  void closedDuringATurretPause() {
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [this, &watch] {
      if (window_->simulator().state().Active.T != 2) return;
      watch.stop();
      window_->close();
    });
    watch.start(0);
    RunProgram({"T0505", "G00 X100. Z100.", "M30"});
    QTRY_VERIFY(!watch.isActive());
    QCOMPARE(window_->simulator().state().Active.T, 2);
    ExpectClosedCleanly();
  }

  void closedWithAModalDialogOpen() {
    RunProgram({"G01 X100. Z100. F100", "M30"});
    QTRY_VERIFY(window_->host().TimerActive(HostTimer::Motion));
    QTimer::singleShot(0, this, [this] {
      QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
      window_->close();
      QApplication::activeModalWidget()->close();
    });
    window_->host().ShowMessage("Zpráva, která zůstane otevřená");
    ExpectClosedCleanly();
  }
};
SOUSTRUH_UI_TEST(WindowLifecycleTest);

}  // namespace soustruh::ui::test

#include "window_lifecycle_test.moc"
