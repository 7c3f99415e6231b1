#include "ui/TablePages.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "control/EntryFields.h"
#include "control/Simulator.h"
#include "platform/TextFile.h"
#include "ui/DisplayPages.h"
#include "ui/Fonts.h"
#include "ui/PanelPictures.h"
#include "ui/RealEdit.h"

namespace soustruh::ui {
namespace {

// A field of a table: its kind, length and minus come from the core's table of entry fields,
// and what it holds must fit the file's code page. Every change goes to the simulator.
TRealEdit* Field(QWidget* parent, const std::string& name, const QString& accessible,
                 const QRect& box, Simulator& sim, const bool& filling) {
  const EntryField* field = FindEntryField(name);
  auto* edit = new TRealEdit(parent);
  Host& host = sim.host();
  edit->SetEntryCheck(
      [&host](const QString& text) { return AcceptEntry(host, text.toStdString()); });
  edit->setObjectName(QString::fromStdString(name));
  edit->setAccessibleName(accessible);
  edit->SetTypeEdit(field->kind == EntryKind::Float     ? TTypeEdit::teFloat
                    : field->kind == EntryKind::Integer ? TTypeEdit::teInteger
                                                        : TTypeEdit::teString);
  edit->SetEnableMinus(field->minus);
  edit->setMaxLength(static_cast<int>(field->maxLength));
  edit->setGeometry(box);
  QObject::connect(edit, &TRealEdit::Change, edit, [edit, &sim, &filling, name] {
    if (!filling) sim.FieldChange(name, edit->text().toStdString());
  });
  return edit;
}

// Writes the core's text into a field whose text differs.
void ShowText(TRealEdit* field, const std::string& text) {
  const QString value = QString::fromStdString(text);
  if (field->text() != value) field->setText(value);
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
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const int y = 4 + 22 * static_cast<int>(i);
    const QString label = QString::fromUtf8(kLabels[i]);
    fields_[i] = Field(top, kNames[i], label.chopped(1), QRect(150, y, i == 4 ? 160 : 90, 20), sim_,
                       filling_);
    Caption(top, label, 10, y + 2, fields_[i]);
  }
  picture_ = new QLabel(top);
  picture_->setObjectName(QStringLiteral("I_Poloha"));
  picture_->setAccessibleName(QStringLiteral("Poloha nástroje"));
  picture_->setGeometry(250, 49, 40, 40);  // beside R and L, clear of Popis

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
  // A row chosen by mouse or keyboard (LB_KorekceClick).
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!filling_ && row >= 0) sim_.LB_KorekceClick(row);
  });
}

void CorrectionPage::Show() {
  const std::vector<std::string>& rows = sim_.data().corrections.rows;
  const QSignalBlocker block(list_);
  filling_ = true;
  if (list_->count() != static_cast<int>(rows.size())) {
    list_->clear();
    for (const std::string& row : rows) {
      auto* item = new QListWidgetItem(QString::fromStdString(row));
      item->setSizeHint(QSize(0, kMonitorItemHeight));
      list_->addItem(item);
    }
  }
  for (int i = 0; i < list_->count(); ++i) {
    const QString text = QString::fromStdString(rows[static_cast<std::size_t>(i)]);
    if (list_->item(i)->text() != text) list_->item(i)->setText(text);
  }
  const int row = sim_.state().Pages.CorrectionRow;
  if (list_->currentRow() != row) {
    list_->setCurrentRow(row);
    if (row >= 0) list_->scrollToItem(list_->item(row));
  }
  for (TRealEdit* field : fields_)
    ShowText(field, sim_.FieldText(field->objectName().toStdString()));
  filling_ = false;
  if (const int picture = sim_.state().Pages.TipPicture; picture != shownPicture_) {
    shownPicture_ = picture;
    picture_->setPixmap(TipPositionPicture(picture));
  }
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
    const auto name = [&b](const char* suffix) { return "E_G" + std::to_string(b.code) + suffix; };
    auto* x = Field(box, name("x"), g + " X", QRect(30, 22, 90, 22), sim_, filling_);
    auto* z = Field(box, name("z"), g + " Z", QRect(160, 22, 90, 22), sim_, filling_);
    auto* popis = Field(box, name("popis"), g + " popis", QRect(60, 52, 190, 22), sim_, filling_);
    Caption(box, "X:", 12, 25, x);
    Caption(box, "Z:", 142, 25, z);
    Caption(box, QStringLiteral("Popis:"), 12, 55, popis);
    fields_.insert(fields_.end(), {x, z, popis});
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

void WorkOffsetPage::Show() {
  filling_ = true;
  for (TRealEdit* field : fields_)
    ShowText(field, sim_.FieldText(field->objectName().toStdString()));
  filling_ = false;
}

}  // namespace soustruh::ui
