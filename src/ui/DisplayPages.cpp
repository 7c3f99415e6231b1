#include "ui/DisplayPages.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/Fonts.h"

namespace soustruh::ui {
namespace {

QLabel* Text(QWidget* parent, const QString& text, const QFont& font, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setFont(font);
  label->move(x, y);
  label->adjustSize();
  return label;
}

// A value label of fixed size, right-aligned so the decimal points line up.
QLabel* Value(QWidget* parent, const char* name, const QFont& font, const QRect& box,
              const QString& accessible) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAccessibleName(accessible);
  label->setFont(font);
  label->setGeometry(box);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

}  // namespace

void SetLabelText(QLabel* label, const std::string& text) {
  const QString value = QString::fromStdString(text);
  if (label->text() != value) label->setText(value);
}

ManExecPage::ManExecPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TS_ManExec"));
  const QFont big = SansFont(26, true);
  const QFont middle = SansFont(22, true);
  const QFont unit = SansFont(13);
  Text(this, "X", big, 16, 6);
  Text(this, "Z", big, 16, 46);
  Text(this, "T", middle, 18, 92);
  Text(this, "F", middle, 18, 124);
  Text(this, "S", middle, 18, 156);
  Value(this, "L_SourXM", big, QRect(56, 4, 230, 36), "Souřadnice X");
  Value(this, "L_SourZM", big, QRect(56, 44, 230, 36), "Souřadnice Z");
  Value(this, "L_NastrojM", middle, QRect(56, 90, 230, 30), "Nástroj a korekce");
  Value(this, "L_PosuvM", middle, QRect(56, 122, 230, 30), "Posuv");
  Value(this, "L_OtackyM", middle, QRect(56, 154, 230, 30), "Otáčky");
  Text(this, "[mm]", unit, 296, 18);
  Text(this, "[mm]", unit, 296, 58);
  Text(this, "[mm/min]", unit, 296, 132);
  Text(this, "[ot/min]", unit, 296, 164);
  commandLabel_ = Text(this, QStringLiteral("Zápis příkazu:"), SansFont(13, true), 16, 196);
  commandLabel_->setObjectName(QStringLiteral("L_PrikazE"));
  command_ = new QLineEdit(this);
  command_->setObjectName(QStringLiteral("E_PrikazE"));
  command_->setAccessibleName(QStringLiteral("Zápis příkazu"));
  command_->setFont(SansFont(19));
  command_->setGeometry(16, 216, 361, 31);
  commandLabel_->setBuddy(command_);
}

void ManExecPage::SetCommandLineVisible(bool visible) {
  commandLabel_->setVisible(visible);
  command_->setVisible(visible);
}

AutomatPage::AutomatPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TS_Automat"));
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel5"));
  panel->setFixedHeight(153);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(panel);
  const QFont heading = SansFont(13, true);
  const QFont figure = SansFont(17, true);
  const QFont letter = SansFont(19, true);
  const QFont unit = SansFont(13);
  Text(panel, QStringLiteral("Aktuálně:"), heading, 62, 2);
  Text(panel, QStringLiteral("Pojede:"), heading, 182, 2);
  Text(panel, QStringLiteral("K dojetí:"), heading, 302, 2);
  Text(panel, "X", letter, 8, 22);
  Text(panel, "Z", letter, 8, 48);
  Value(panel, "L_SourXA", figure, QRect(26, 20, 110, 26), "Aktuální X");
  Value(panel, "L_SourZA", figure, QRect(26, 46, 110, 26), "Aktuální Z");
  Value(panel, "L_SourXcA", figure, QRect(146, 20, 110, 26), "Cílové X");
  Value(panel, "L_SourZcA", figure, QRect(146, 46, 110, 26), "Cílové Z");
  Value(panel, "L_Sour_dXA", figure, QRect(266, 20, 110, 26), "X k dojetí");
  Value(panel, "L_Sour_dZA", figure, QRect(266, 46, 110, 26), "Z k dojetí");
  Text(panel, "[mm]", unit, 382, 27);
  Text(panel, "[mm]", unit, 382, 53);
  Text(panel, "T", letter, 8, 80);
  Value(panel, "L_NastrojA", figure, QRect(26, 78, 60, 26), "Nástroj a korekce");
  Text(panel, "F", letter, 100, 80);
  Value(panel, "L_PosuvA", figure, QRect(116, 78, 70, 26), "Posuv");
  Text(panel, "[mm/min]", unit, 190, 85);
  Text(panel, "S", letter, 262, 80);
  Value(panel, "L_OtackyA", figure, QRect(278, 78, 60, 26), "Otáčky");
  Text(panel, "[ot/min]", unit, 342, 85);
  Text(panel, QStringLiteral("Čas obrábění:"), heading, 8, 118);
  Value(panel, "L_CasObr", figure, QRect(106, 112, 70, 26), "Čas obrábění");
  Text(panel, "[min:sek]", unit, 182, 119);

  auto* modal = new QGroupBox(QStringLiteral("Modální funkce:"), panel);
  modal->setFont(heading);
  modal->setGeometry(430, 0, 158, 150);
  QLabel* modG = Value(modal, "L_ModG", FixedFont(14), QRect(8, 20, 142, 84), "Modální funkce G");
  QLabel* modM = Value(modal, "L_ModM", FixedFont(14), QRect(8, 106, 142, 38), "Modální funkce M");
  for (QLabel* l : {modG, modM}) {
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
  }

  monitor_ = new QListWidget(this);
  monitor_->setObjectName(QStringLiteral("LB_PrgMon"));
  monitor_->setAccessibleName(QStringLiteral("Monitor programu"));
  monitor_->setFont(FixedFont(16));
  monitor_->setUniformItemSizes(true);
  monitor_->setFocusPolicy(Qt::NoFocus);
  // Not selectable by the user: the selection marks the block being executed.
  monitor_->setAttribute(Qt::WA_TransparentForMouseEvents);
  monitor_->setSelectionMode(QAbstractItemView::SingleSelection);
  monitor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  layout->addWidget(monitor_, 1);
}

void AutomatPage::SetProgram(const std::vector<std::string>& lines) {
  monitor_->clear();
  for (const std::string& line : lines) {
    auto* item = new QListWidgetItem(QString::fromStdString(line));
    item->setSizeHint(QSize(0, kMonitorItemHeight));
    monitor_->addItem(item);
  }
  shownSelection_ = -2;
  shownTop_ = -1;
  shownLineIndex_ = -1;
}

void AutomatPage::ShowMonitor(int selection, int top, int lineIndex) {
  if (selection != shownSelection_) {
    shownSelection_ = selection;
    if (selection >= 0 && selection < monitor_->count()) {
      monitor_->setCurrentRow(selection);
      monitor_->scrollToItem(monitor_->item(selection));
    } else {
      monitor_->clearSelection();
      monitor_->setCurrentRow(-1);
    }
  }
  const bool runEnded = lineIndex < 0 && shownLineIndex_ >= 0;
  shownLineIndex_ = lineIndex;
  if (top != shownTop_ || runEnded) {
    shownTop_ = top;
    monitor_->verticalScrollBar()->setValue(top);
  }
}

}  // namespace soustruh::ui
