#include "ui/QtHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <algorithm>

#include "control/Simulator.h"
#include "ui/FindReplaceDialog.h"
#include "ui/ProgramFileDialog.h"
#include "ui/TonePlayer.h"

namespace soustruh::ui {
namespace {

// "\r\n" breaks a line in the core's texts.
QString MessageText(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

}  // namespace

QtHost::QtHost(QObject* parent) : QObject(parent) {
  clock_.start();
  motionTimer_.setInterval(static_cast<int>(TimerInterval(HostTimer::Motion)));
  clockTimer_.setInterval(static_cast<int>(TimerInterval(HostTimer::MachiningClock)));
  motionTimer_.setTimerType(Qt::PreciseTimer);
  connect(&motionTimer_, &QTimer::timeout, this, [this] {
    if (simulator_) simulator_->OnTimer(HostTimer::Motion);
  });
  connect(&clockTimer_, &QTimer::timeout, this, [this] {
    if (simulator_) simulator_->OnTimer(HostTimer::MachiningClock);
  });
}

QtHost::~QtHost() {
  Detach();
}

void QtHost::Detach() {
  motionTimer_.stop();
  clockTimer_.stop();
  simulator_ = nullptr;
  onRepaint_ = nullptr;
}

void QtHost::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), MessageText(text),
                  QMessageBox::NoButton, dialogParent_);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

bool QtHost::AskYesNo(std::string_view text) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), MessageText(text),
                  QMessageBox::NoButton, dialogParent_);
  QPushButton* yes = box.addButton(QStringLiteral("Ano"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("Ne"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

Answer QtHost::AskYesNoCancel(const QString& text) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                  QMessageBox::NoButton, dialogParent_);
  QPushButton* yes = box.addButton(QStringLiteral("Ano"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("Ne"), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(QStringLiteral("Storno"), QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return Answer::Yes;
  if (box.clickedButton() == no) return Answer::No;
  return Answer::Cancel;
}

std::string QtHost::ShowProgramFileDialog(ProgramFileDialogMode mode,
                                          std::string_view suggestedName) {
  if (!fileDialog_) return {};
  const QString file =
      mode == ProgramFileDialogMode::Open
          ? fileDialog_->Open()
          : fileDialog_->SaveAs(QString::fromUtf8(suggestedName.data(),
                                                  static_cast<qsizetype>(suggestedName.size())));
  return file.toStdString();
}

void QtHost::CloseProgramFileDialog() {
  if (fileDialog_ && fileDialog_->isVisible()) fileDialog_->reject();
}

void QtHost::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

std::string QtHost::SearchText() {
  return findDialog_ ? findDialog_->findText().toStdString() : std::string();
}

void QtHost::ShowReplaceDialog() {
  if (!findDialog_) return;
  findDialog_->show();
  findDialog_->raise();
  findDialog_->activateWindow();
}

bool QtHost::FindInProgram() {
  return findDialog_ && findDialog_->Find();
}

bool QtHost::ReplaceInProgram() {
  return findDialog_ && findDialog_->Replace();
}

std::uint32_t QtHost::Now() {
  return scaled_.Now(static_cast<std::uint64_t>(clock_.elapsed()));
}

void QtHost::SetSpeed(int factor) {
  scaled_.SetSpeed(factor, static_cast<std::uint64_t>(clock_.elapsed()));
  const int speed = scaled_.speed();
  clockTimer_.setInterval(
      std::max(1, static_cast<int>(TimerInterval(HostTimer::MachiningClock)) / speed));
  if (simulator_) simulator_->SetMaxTickStep(speed > 1 ? TimerInterval(HostTimer::Motion) : 0);
}

void QtHost::SetTimerEnabled(HostTimer timer, bool enabled) {
  QTimer& t = timer == HostTimer::Motion ? motionTimer_ : clockTimer_;
  if (enabled && simulator_) {
    t.start();
  } else {
    t.stop();
  }
}

bool QtHost::TimerActive(HostTimer timer) const {
  return (timer == HostTimer::Motion ? motionTimer_ : clockTimer_).isActive();
}

void QtHost::Beep(int hertz, int milliseconds) {
  if (!tones_) tones_ = std::make_unique<TonePlayer>();
  tones_->Play(hertz, milliseconds);
}

bool QtHost::AudioAvailable() const {
  return tones_ && tones_->available();
}

void QtHost::DefaultAlert() {
  QApplication::beep();
}

void QtHost::ProcessPendingMessages() {
  // The caller loops until its pause is over; a short sleep between rounds keeps it from
  // spinning a core at full speed meanwhile.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QThread::msleep(2);
}

void QtHost::Repaint() {
  if (repaintPending_ || !onRepaint_) return;
  repaintPending_ = true;
  QMetaObject::invokeMethod(this, &QtHost::FireRepaint, Qt::QueuedConnection);
}

void QtHost::FireRepaint() {
  repaintPending_ = false;
  if (onRepaint_) onRepaint_();
}

}  // namespace soustruh::ui
