#include "ui/TablePages.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "control/Simulator.h"
#include "platform/TextFile.h"
#include "ui/Fonts.h"
#include "ui/PanelPictures.h"
#include "ui/RealEdit.h"

namespace soustruh::ui {
namespace {

// A field of a table file: what it holds must fit the file's code page.
TRealEdit* Field(QWidget* parent, const QString& name, const QString& accessible, TTypeEdit type,
                 int maxLength, const QRect& box, Host& host) {
  auto* edit = new TRealEdit(parent);
  edit->SetEntryCheck(
      [&host](const QString& text) { return AcceptEntry(host, text.toStdString()); });
  edit->setObjectName(name);
  edit->setAccessibleName(accessible);
  edit->SetTypeEdit(type);
  edit->SetEnableMinus(type == TTypeEdit::teFloat);
  edit->setMaxLength(maxLength);
  edit->setGeometry(box);
  return edit;
}

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, QWidget* buddy = nullptr) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  label->adjustSize();
  if (buddy) label->setBuddy(buddy);
  return label;
}

// The column header over the correction rows: each caption ends where its column ends.
QString CorrectionHeader() {
  QString line(44, ' ');
  const auto put = [&line](int lastColumn, const QString& text) {
    line.replace(lastColumn + 1 - static_cast<int>(text.size()), static_cast<int>(text.size()),
                 text);
  };
  put(3, QStringLiteral("kor."));
  put(12, QStringLiteral("X"));
  put(22, QStringLiteral("Z"));
  put(32, QStringLiteral("R"));
  put(35, QStringLiteral("L"));
  line.replace(38, 5, QStringLiteral("Popis"));
  while (line.endsWith(' ')) line.chop(1);
  return QStringLiteral(" Č.\n") + line;
}

}  // namespace

CorrectionPage::CorrectionPage(Simulator& simulator, QWidget* parent)
    : QWidget(parent), sim_(simulator) {
  setObjectName(QStringLiteral("TS_Korekce"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* top = new QWidget(this);
  top->setFixedHeight(161);
  layout->addWidget(top);

  static const std::array<const char*, 5> kNames = {"E_KorX", "E_KorZ", "E_KorR", "E_KorL",
                                                    "E_KorPopis"};
  static const std::array<const char*, 5> kLabels = {
      "Délka v ose X:", "Délka v ose Z:", "Poloměr nástroje R:", "Poloha nástroje L:", "Popis:"};
  static const std::array<TTypeEdit, 5> kTypes = {TTypeEdit::teFloat, TTypeEdit::teFloat,
                                                  TTypeEdit::teFloat, TTypeEdit::teInteger,
                                                  TTypeEdit::teString};
  static const std::array<int, 5> kLengths = {8, 8, 8, 1, 15};
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const int y = 4 + 22 * static_cast<int>(i);
    const QString label = QString::fromUtf8(kLabels[i]);
    fields_[i] = Field(top, QString::fromLatin1(kNames[i]), label.chopped(1), kTypes[i],
                       kLengths[i], QRect(150, y, i == 4 ? 160 : 90, 20), sim_.host());
    Caption(top, label, 10, y + 2, fields_[i]);
    const bool fromL = i == 3;
    connect(fields_[i], &TRealEdit::Change, this, [this, fromL] { FieldsChanged(fromL); });
  }
  fields_[3]->SetEnableMinus(false);
  picture_ = new QLabel(top);
  picture_->setObjectName(QStringLiteral("I_Poloha"));
  picture_->setAccessibleName(QStringLiteral("Poloha nástroje"));
  picture_->setGeometry(250, 58, 40, 40);
  picture_->setPixmap(TipPositionPicture(0));

  auto* header = new QLabel(CorrectionHeader(), top);
  header->setFont(FixedFont(16, true));
  header->move(4, 161 - 40);
  header->adjustSize();

  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("LB_Korekce"));
  list_->setAccessibleName(QStringLiteral("Tabulka korekcí nástrojů"));
  list_->setFont(FixedFont(16));
  list_->setUniformItemSizes(true);
  layout->addWidget(list_, 1);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { SelectRow(row); });
}

void CorrectionPage::Reload() {
  list_->clear();
  for (const std::string& row : sim_.data().corrections.rows) {
    auto* item = new QListWidgetItem(QString::fromStdString(row));
    item->setSizeHint(QSize(0, 18));
    list_->addItem(item);
  }
}

void CorrectionPage::SelectRow(int row) {
  if (row < 0 || row >= list_->count()) return;
  if (list_->currentRow() != row) list_->setCurrentRow(row);  // comes back here
  const CorrectionFields f = FieldsFromRow(list_->item(row)->text().toStdString());
  // Each assignment rewrites the row, as the original does; the row ends up normalised.
  fields_[0]->setText(QString::fromStdString(f.X));
  fields_[1]->setText(QString::fromStdString(f.Z));
  fields_[2]->setText(QString::fromStdString(f.R));
  fields_[3]->setText(QString::fromStdString(f.L));
  fields_[4]->setText(QString::fromStdString(f.Popis));
}

void CorrectionPage::FieldsChanged(bool fromL) {
  const int row = list_->currentRow();
  CorrectionFields f;
  f.X = fields_[0]->text().toStdString();
  f.Z = fields_[1]->text().toStdString();
  f.R = fields_[2]->text().toStdString();
  f.L = fields_[3]->text().toStdString();
  f.Popis = fields_[4]->text().toStdString();
  CorrectionTable& table = sim_.data().corrections;
  table.RewriteRow(row, f, sim_.interpreter());
  if (row >= 0 && static_cast<std::size_t>(row) < table.rows.size())
    list_->item(row)->setText(QString::fromStdString(table.rows[static_cast<std::size_t>(row)]));
  if (fromL) picture_->setPixmap(TipPositionPicture(TipPicture(f.L)));
}

WorkOffsetPage::WorkOffsetPage(Simulator& simulator, QWidget* parent)
    : QWidget(parent), sim_(simulator) {
  setObjectName(QStringLiteral("TS_NulaObr"));
  struct Box {
    int code;
    QPoint at;
  };
  static const std::array<Box, 5> kBoxes = {
      {{54, {16, -3}}, {55, {296, -3}}, {57, {296, 81}}, {58, {16, 166}}, {59, {296, 166}}}};
  for (const Box& b : kBoxes) {
    auto* box = new QGroupBox(QStringLiteral(" G%1 ").arg(b.code), this);
    box->setObjectName(QStringLiteral("GB_G%1").arg(b.code));
    box->setGeometry(QRect(b.at + QPoint(0, 3), QSize(265, 84)));
    const QString g = QStringLiteral("G%1").arg(b.code);
    auto* x = Field(box, QStringLiteral("E_G%1x").arg(b.code), g + " X", TTypeEdit::teFloat, 8,
                    QRect(30, 22, 90, 22), sim_.host());
    auto* z = Field(box, QStringLiteral("E_G%1z").arg(b.code), g + " Z", TTypeEdit::teFloat, 8,
                    QRect(160, 22, 90, 22), sim_.host());
    auto* popis = Field(box, QStringLiteral("E_G%1popis").arg(b.code), g + " popis",
                        TTypeEdit::teString, 15, QRect(60, 52, 190, 22), sim_.host());
    Caption(box, "X:", 12, 25, x);
    Caption(box, "Z:", 142, 25, z);
    Caption(box, QStringLiteral("Popis:"), 12, 55, popis);
    for (TRealEdit* field : {x, z, popis}) {
      connect(field, &TRealEdit::Change, this, [this, code = b.code] { FieldChanged(code); });
      connect(field, &TRealEdit::Exit, this,
              [this, field] { sim_.state().LastOffsetEdit = field->objectName().toStdString(); });
    }
  }
  auto* info = new QLabel(this);
  info->setObjectName(QStringLiteral("P_InfoW"));
  info->setFrameShape(QFrame::Panel);
  info->setFrameShadow(QFrame::Sunken);
  info->setGeometry(16, 90, 265, 72);
  info->setText(QStringLiteral(
      "<table cellspacing=4><tr><td><b>Skupina 1:</b></td><td>G54, G55</td><td>(vyp. G53)</td></tr>"
      "<tr><td><b>Skupina 2:</b></td><td>G57, G58, G59</td><td>(vyp. G56)</td></tr></table>"));
  info->setAlignment(Qt::AlignCenter);
}

void WorkOffsetPage::Reload() {
  filling_ = true;
  for (const WorkOffset& o : sim_.data().offsets.offsets()) {
    const auto set = [this, &o](const char* suffix, const std::string& text) {
      if (auto* e = findChild<TRealEdit*>(QStringLiteral("E_G%1%2").arg(o.Code).arg(suffix)))
        e->setText(QString::fromStdString(text));
    };
    set("x", o.X);
    set("z", o.Z);
    set("popis", o.Popis);
  }
  filling_ = false;
}

void WorkOffsetPage::FieldChanged(int code) {
  if (filling_) return;
  const auto text = [this, code](const char* suffix) {
    auto* e = findChild<TRealEdit*>(QStringLiteral("E_G%1%2").arg(code).arg(suffix));
    return e ? e->text().toStdString() : std::string();
  };
  sim_.data().offsets.SetOffsetFields(code, text("x"), text("z"), text("popis"));
}

}  // namespace soustruh::ui
