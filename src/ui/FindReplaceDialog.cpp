#include "ui/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ui/Fonts.h"

namespace soustruh::ui {

FindReplaceDialog::FindReplaceDialog(QPlainTextEdit& editor, QWidget* parent)
    : QDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("ReplaceDialog"));
  setWindowTitle(QStringLiteral("Najít a nahradit"));
  setFont(SansFont(13));
  auto* grid = new QGridLayout(this);
  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("E_Najit"));
  find_->setAccessibleName(QStringLiteral("Najít"));
  replace_ = new QLineEdit(this);
  replace_->setObjectName(QStringLiteral("E_Nahradit"));
  replace_->setAccessibleName(QStringLiteral("Nahradit čím"));
  auto* findLabel = new QLabel(QStringLiteral("&Najít:"), this);
  auto* replaceLabel = new QLabel(QStringLiteral("Nahradit &čím:"), this);
  findLabel->setBuddy(find_);
  replaceLabel->setBuddy(replace_);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(find_, 0, 1);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replace_, 1, 1);

  matchCase_ = new QCheckBox(QStringLiteral("&Rozlišovat velká a malá písmena"), this);
  wholeWord_ = new QCheckBox(QStringLiteral("Jen &celá slova"), this);
  auto* direction = new QGroupBox(QStringLiteral("Směr"), this);
  auto* directionRow = new QHBoxLayout(direction);
  auto* up = new QRadioButton(QStringLiteral("Nahor&u"), direction);
  down_ = new QRadioButton(QStringLiteral("&Dolů"), direction);
  down_->setChecked(true);
  directionRow->addWidget(up);
  directionRow->addWidget(down_);
  grid->addWidget(matchCase_, 2, 0, 1, 2);
  grid->addWidget(wholeWord_, 3, 0, 1, 2);
  grid->addWidget(direction, 4, 0, 1, 2);

  auto* buttons = new QVBoxLayout;
  auto* findNext = new QPushButton(QStringLiteral("Najít &další"), this);
  auto* replaceOne = new QPushButton(QStringLiteral("Na&hradit"), this);
  auto* replaceAll = new QPushButton(QStringLiteral("Nahradit &vše"), this);
  auto* close = new QPushButton(QStringLiteral("Zavřít"), this);
  findNext->setDefault(true);
  for (QPushButton* b : {findNext, replaceOne, replaceAll, close}) buttons->addWidget(b);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 2, 5, 1);
  connect(findNext, &QPushButton::clicked, this, &FindReplaceDialog::FindClicked);
  connect(replaceOne, &QPushButton::clicked, this, [this] {
    replaceAll_ = false;
    Q_EMIT ReplaceClicked();
  });
  connect(replaceAll, &QPushButton::clicked, this, [this] {
    replaceAll_ = true;
    Q_EMIT ReplaceClicked();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

QString FindReplaceDialog::findText() const {
  return find_->text();
}

void FindReplaceDialog::SetFindText(const QString& text) {
  find_->setText(text);
}

void FindReplaceDialog::SetReplaceText(const QString& text) {
  replace_->setText(text);
}

void FindReplaceDialog::SetOptions(bool matchCase, bool wholeWord, bool down) {
  matchCase_->setChecked(matchCase);
  wholeWord_->setChecked(wholeWord);
  down_->setChecked(down);
}

bool FindReplaceDialog::Search(bool forward) {
  QTextDocument::FindFlags flags;
  if (!forward) flags |= QTextDocument::FindBackward;
  if (matchCase_->isChecked()) flags |= QTextDocument::FindCaseSensitively;
  if (wholeWord_->isChecked()) flags |= QTextDocument::FindWholeWords;
  return editor_.find(find_->text(), flags);
}

bool FindReplaceDialog::Find() {
  return !find_->text().isEmpty() && Search(down_->isChecked());
}

bool FindReplaceDialog::Replace() {
  if (find_->text().isEmpty()) return false;
  const Qt::CaseSensitivity cs = matchCase_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
  int count = 0;
  QTextCursor edit = editor_.textCursor();
  edit.beginEditBlock();  // one undo step for the whole replacement
  // The occurrence already selected (by the last Find) is replaced first.
  if (editor_.textCursor().selectedText().compare(find_->text(), cs) == 0) {
    editor_.textCursor().insertText(replace_->text());
    ++count;
  }
  while ((replaceAll_ || count == 0) && Search(true)) {
    QTextCursor found = editor_.textCursor();
    found.insertText(replace_->text());
    ++count;
  }
  edit.endEditBlock();
  return count > 0;
}

}  // namespace soustruh::ui
