#include "ui/ProgramFileDialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Fonts.h"
#include "ui/PanelPictures.h"
#include "ui/RealEdit.h"

namespace soustruh::ui {

TForm2::TForm2(std::vector<TPolozka> places, QWidget* parent)
    : QDialog(parent), browser_(std::move(places)) {
  setObjectName(QStringLiteral("TForm2"));
  setModal(true);
  setFont(SansFont(13));
  auto* layout = new QVBoxLayout(this);

  auto* pathRow = new QHBoxLayout;
  auto* pathLabel = new QLabel(QStringLiteral("Cesta:"), this);
  path_ = new QLabel(this);
  path_->setObjectName(QStringLiteral("L_Cesta"));
  path_->setFont(SansFont(13, true));
  path_->setTextInteractionFlags(Qt::NoTextInteraction);
  pathRow->addWidget(pathLabel);
  pathRow->addWidget(path_, 1);
  layout->addLayout(pathRow);

  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("LB_Seznam"));
  list_->setAccessibleName(QStringLiteral("Seznam souborů a složek"));
  list_->setIconSize(QSize(16, 16));
  list_->setUniformItemSizes(true);
  list_->installEventFilter(this);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ActivateSelected(); });
  layout->addWidget(list_, 1);

  savePanel_ = new QWidget(this);
  savePanel_->setObjectName(QStringLiteral("P_Ulozit"));
  auto* saveRow = new QHBoxLayout(savePanel_);
  saveRow->setContentsMargins(0, 0, 0, 0);
  auto* nameLabel = new QLabel(QStringLiteral("Jméno souboru:"), savePanel_);
  name_ = new TRealEdit(savePanel_);
  name_->setObjectName(QStringLiteral("E_JmPrg"));
  name_->setAccessibleName(QStringLiteral("Jméno souboru"));
  name_->SetTypeEdit(TTypeEdit::teString);
  name_->setMaxLength(30);
  nameLabel->setBuddy(name_);
  saveButton_ = new QPushButton(QStringLiteral("Uložit"), savePanel_);
  saveButton_->setObjectName(QStringLiteral("B_Uloz"));
  saveButton_->setAutoDefault(false);
  connect(saveButton_, &QPushButton::clicked, this, &TForm2::SaveClicked);
  saveRow->addWidget(nameLabel);
  saveRow->addWidget(name_, 1);
  saveRow->addWidget(saveButton_);
  layout->addWidget(savePanel_);
  resize(460, 420);
}

void TForm2::SetFolder(const QString& folder) {
  startFolder_ = NormaliseFolder(folder);
}

bool TForm2::saveMode() const {
  return !savePanel_->isHidden();
}

QString TForm2::Open() {
  return Run(false, QString());
}

QString TForm2::SaveAs(const QString& suggestedName) {
  return Run(true, suggestedName);
}

QString TForm2::Run(bool save, const QString& suggestedName) {
  browser_.ClearChosen();
  savePanel_->setVisible(save);
  name_->setText(save ? QFileInfo(suggestedName).fileName() : QString());
  setWindowTitle(save ? QStringLiteral("Uložit soubor programu jako...")
                      : QStringLiteral("Otevřít soubor programu"));
  browser_.Fill(startFolder_);
  ShowList(0);
  if (save) {
    name_->setFocus();
  } else {
    list_->setFocus();
  }
  const int result = exec();
  startFolder_ = browser_.folder();
  list_->clear();  // the entries live only while the dialog is shown
  return result == QDialog::Accepted ? browser_.chosenFile() : QString();
}

void TForm2::ShowList(int select) {
  path_->setText(browser_.folder());
  list_->clear();
  for (const TPolozka& entry : browser_.entries()) {
    auto* item = new QListWidgetItem(QIcon(EntryIcon(static_cast<int>(entry.kind))), entry.name);
    item->setSizeHint(QSize(0, 20));
    list_->addItem(item);
  }
  if (list_->count() > 0) list_->setCurrentRow(std::min(select, list_->count() - 1));
}

void TForm2::ActivateSelected() {
  const int row = list_->currentRow();
  if (row < 0) return;
  const ProgramFolderBrowser::Outcome outcome = browser_.Activate(row);
  if (!outcome.refusal.isEmpty() && messageSink_) messageSink_(outcome.refusal);
  ShowList(outcome.select);
  if (!outcome.chosen) return;
  if (saveMode()) {
    name_->setText(QFileInfo(browser_.chosenFile()).fileName());
  } else {
    accept();
  }
}

void TForm2::SaveClicked() {
  if (browser_.AcceptSaveName(name_->text())) {
    accept();
  } else if (refusalSound_) {
    refusalSound_();
  } else {
    QApplication::beep();
  }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
      ActivateSelected();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // Enter in the name field saves; elsewhere Enter must not close the dialog by default.
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter)) {
    if (saveMode() && name_->hasFocus()) SaveClicked();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace soustruh::ui
