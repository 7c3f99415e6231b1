#include "ui/StockForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Fonts.h"
#include "ui/RealEdit.h"

namespace soustruh::ui {
namespace {

TRealEdit* StockEntry(const QString& name, const QString& accessible, QWidget* parent) {
  auto* edit = new TRealEdit(parent);
  edit->setObjectName(name);
  edit->setAccessibleName(accessible);
  edit->SetTypeEdit(TTypeEdit::teFloat);
  edit->SetEnableMinus(false);
  edit->setMaxLength(7);
  edit->setFixedWidth(90);
  return edit;
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm3"));
  setWindowTitle(QStringLiteral("Polotovar"));
  setFont(SansFont(13, true));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(16, 16, 16, 12);
  grid->setVerticalSpacing(10);
  prumer_ = StockEntry(QStringLiteral("E_Prumer"), QStringLiteral("Průměr polotovaru v mm"), this);
  delka_ = StockEntry(QStringLiteral("E_Delka"), QStringLiteral("Vysunutí polotovaru v mm"), this);
  auto* label1 = new QLabel(QStringLiteral("Průměr polotovaru [mm]:"), this);
  label1->setObjectName(QStringLiteral("Label1"));
  auto* label2 = new QLabel(QStringLiteral("Vysunutí polotovaru [mm]:"), this);
  label2->setObjectName(QStringLiteral("Label2"));
  label1->setBuddy(prumer_);
  label2->setBuddy(delka_);
  grid->addWidget(label1, 0, 0);
  grid->addWidget(prumer_, 0, 1);
  grid->addWidget(label2, 1, 0);
  grid->addWidget(delka_, 1, 1);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("B_OK"));
  auto* storno = new QPushButton(QStringLiteral("Storno"), this);
  storno->setObjectName(QStringLiteral("B_Storno"));
  for (QPushButton* b : {ok, storno}) {
    b->setAutoDefault(false);
    b->setMinimumWidth(80);
  }
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(storno, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(storno);
  grid->addLayout(buttons, 2, 0, 1, 2);
  prumer_->setText(QStringLiteral("19.000"));
  delka_->setText(QStringLiteral("45.000"));
  setFixedSize(sizeHint());
}

bool TForm3::Ask(const QString& diameter, const QString& protrusion) {
  prumer_->setText(diameter);
  delka_->setText(protrusion);
  prumer_->setFocus();
  prumer_->selectAll();
  return exec() == QDialog::Accepted;
}

QString TForm3::diameter() const {
  return prumer_->text();
}

QString TForm3::protrusion() const {
  return delka_->text();
}

void TForm3::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      accept();
      return;
    case Qt::Key_Escape:
      reject();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm4"));
  setWindowTitle(QStringLiteral("O programu"));
  setFont(SansFont(13));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 16, 20, 12);
  auto* title = new QLabel(QStringLiteral("Soustruh"), this);
  title->setFont(SansFont(22, true));
  auto* version =
      new QLabel(QStringLiteral("Verze %1").arg(QStringLiteral(SOUSTRUH_VERSION)), this);
  auto* what = new QLabel(
      QStringLiteral("Výukový simulátor dvouosého CNC soustruhu s revolverovou hlavou: "
                     "programování v ISO kódu, korekce nástrojů, nulové body obrobku a ruční, "
                     "MDI a automatický provoz s obráběním polotovaru."),
      this);
  what->setWordWrap(true);
  auto* terms = new QLabel(
      QStringLiteral("Data stroje a nástrojů (GeoStroj.dat, GeoNastr.dat), tabulky korekcí a "
                     "nulových bodů a ukázkové programy jsou vlastní dílo projektu soustruh a "
                     "šíří se spolu s programem za stejných podmínek jako program."),
      this);
  terms->setWordWrap(true);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("B_OK"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  for (QWidget* w : std::initializer_list<QWidget*>{title, version, what, terms})
    layout->addWidget(w);
  layout->addSpacing(8);
  layout->addWidget(ok, 0, Qt::AlignRight);
  setFixedWidth(420);
}

}  // namespace soustruh::ui
