// The window's actions behind the soft keys and the buttons under the machine view: program
// files, search, the table pages, the teach key, the stock and about dialogs.

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>

#include "control/ProgramFile.h"
#include "machine/WorkOffsetTable.h"
#include "platform/TextFile.h"
#include "ui/DisplayPages.h"
#include "ui/FindReplaceDialog.h"
#include "ui/MainWindow.h"
#include "ui/ProgramEditor.h"
#include "ui/ProgramFileDialog.h"
#include "ui/RealEdit.h"
#include "ui/StockForm.h"
#include "ui/TablePages.h"
#include "view/StockDialog.h"

namespace soustruh::ui {
namespace {

std::filesystem::path ToPath(const QString& file) {
  return std::filesystem::path(file.toStdString());
}

}  // namespace

bool TForm1::OpenProgram() {
  const QString file = fileDialog_->Open();
  if (file.isEmpty()) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  LoadProgramFile(file);
  QApplication::restoreOverrideCursor();
  return true;
}

void TForm1::LoadProgramFile(const QString& file) {
  const std::optional<std::vector<std::string>> lines = ReadLines(ToPath(file));
  if (!lines) {
    host_->ShowMessage(
        ("Soubor programu '" + QFileInfo(file).fileName() + "' nelze přečíst.").toStdString());
    return;
  }
  editor_->SetLines(*lines);
  programFile_ = file;
  programDirty_ = true;
  FlushProgram();
  ShowProgramFileInModeLine();
  Refresh();
}

void TForm1::ShowProgramFileInModeLine() {
  if (!programFile_.isEmpty()) sim_->state().ModeLine = " EDIT - " + programFile_.toStdString();
}

bool TForm1::SaveProgramAs() {
  const QString file = fileDialog_->SaveAs(programFile_);
  if (file.isEmpty()) return false;
  if (QFileInfo::exists(file) && !host_->AskYesNo("Soubor již existuje, chcete jej přepsat?"))
    return false;
  if (!SaveProgram(ToPath(file), editor_->Lines(), *host_)) return false;
  editor_->SetUnchanged();
  programFile_ = file;
  ShowProgramFileInModeLine();
  Refresh();
  return true;
}

bool TForm1::FileDialogShown() const {
  return fileDialog_->isVisible();
}

void TForm1::CancelFileDialog() {
  fileDialog_->reject();
}

bool TForm1::ModalDialogShown() const {
  return stockDialog_->isVisible() || aboutDialog_->isVisible();
}

void TForm1::FindNext() {
  if (findDialog_->findText().isEmpty()) {
    ShowFindDialog();
  } else {
    sim_->ReplaceDialogFind();
    Refresh();
  }
}

void TForm1::ShowFindDialog() {
  findDialog_->show();
  findDialog_->raise();
  findDialog_->activateWindow();
}

void TForm1::ShowCorrectionPage() {
  corrections_->SelectRow(0);
  Refresh();
  corrections_->field(0)->setFocus();
}

void TForm1::ShowWorkOffsetPage() {
  Refresh();
  if (auto* first = offsets_->findChild<TRealEdit*>(QStringLiteral("E_G54x"))) first->setFocus();
}

void TForm1::TeachCoordinate() {
  const MachineState& s = sim_->state();
  if (s.Alarms.Has(AlarmKind::Reference) || s.Alarms.Has(AlarmKind::TotalStop)) {
    host_->Beep(500, 30);
    return;
  }
  auto* field = qobject_cast<TRealEdit*>(QApplication::focusWidget());
  if (!field || !offsets_->isAncestorOf(field))
    field = offsets_->findChild<TRealEdit*>(QString::fromStdString(s.LastOffsetEdit));
  if (!field) {
    host_->Beep(500, 30);
    return;
  }
  const TeachPosition at{s.Active.X,     s.Active.Z,       s.Active.CorrX,
                         s.Active.CorrZ, s.Active.OffsetX, s.Active.OffsetZ};
  const auto text = TeachCoordinateText(field->objectName().toStdString(), at);
  if (!text) {
    host_->Beep(500, 30);
    return;
  }
  field->setText(QString::fromStdString(*text));
  field->setFocus();
  field->deselect();
  field->end(false);
}

void TForm1::FocusEditor() {
  Refresh();
  editor_->setFocus();
}

void TForm1::FocusCommandLine() {
  manExec_->commandLine()->setFocus();
}

void TForm1::ShowStockDialog() {
  if (!StockDialogAvailable(*sim_)) return;
  if (!stockDialog_->Ask(QString::fromStdString(sim_->stockDiameterText),
                         QString::fromStdString(sim_->stockProtrusionText)))
    return;
  B_PolotovarClick(*sim_, stockDialog_->diameter().toStdString(),
                   stockDialog_->protrusion().toStdString());
  Refresh();
}

void TForm1::ShowAboutDialog() {
  aboutDialog_->exec();
}

}  // namespace soustruh::ui
