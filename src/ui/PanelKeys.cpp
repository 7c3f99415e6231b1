#include "ui/PanelKeys.h"

#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include "ui/Fonts.h"
#include "ui/PanelPictures.h"
#include "ui/SpcButton.h"

namespace soustruh::ui {
namespace {

struct KeyLook {
  QColor back, bar, hint;
  const char* hintText;
};

const QColor kModeBlue(0, 128, 255);
const QColor kGreen(0, 128, 0);

void Colour(QFrame* lamp, const QColor& colour) {
  QPalette pal = lamp->palette();
  pal.setColor(QPalette::Window, colour);
  lamp->setPalette(pal);
}

QScrollBar* OverrideBar(QWidget* parent, const char* name, const QString& hint, int y) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setToolTip(hint);
  bar->setAccessibleName(hint);
  bar->setRange(0, 150);
  bar->setSingleStep(5);
  bar->setPageStep(10);
  bar->setValue(100);
  bar->setGeometry(240, y, 121, 19);
  bar->setFocusPolicy(Qt::NoFocus);
  return bar;
}

}  // namespace

PanelKeys::PanelKeys(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Panel2"));
  setFixedHeight(351);
  setMinimumWidth(596);

  for (int i = 0; i < 5; ++i) {
    TSpcButton* fn = MakeKey(static_cast<PanelKey>(i), nullptr, QRect(8 + 120 * i, 9, 105, 70));
    fn->setObjectName(QStringLiteral("B_Fn%1").arg(i + 1));
    fn->SetBackColor(QColor(128, 128, 128));
    fn->SetBarColor(Qt::black);
    fn->SetBtnHintColor(Qt::white);
    fn->SetBtnHintText(QStringLiteral("F%1").arg(i + 1));
  }
  struct KeyDesign {
    PanelKey key;
    const char* name;
    const char* caption;
    QRect box;
    KeyLook look;
  };
  const std::array<KeyDesign, 11> designs = {{
      {PanelKey::Automat,
       "B_Automat",
       " Automat",
       {496, 102, 97, 49},
       {kModeBlue, Qt::blue, Qt::cyan, "F6"}},
      {PanelKey::Edit,
       "B_Edit",
       " Edit",
       {496, 158, 97, 49},
       {kModeBlue, Qt::blue, Qt::cyan, "F7"}},
      {PanelKey::Exec,
       "B_Exec",
       " MDI (Exec)",
       {496, 214, 97, 49},
       {kModeBlue, Qt::blue, Qt::cyan, "F8"}},
      {PanelKey::Manual,
       "B_Manual",
       " Manual",
       {496, 270, 97, 49},
       {kModeBlue, Qt::blue, Qt::cyan, "F9"}},
      {PanelKey::Reset,
       "B_Reset",
       " Reset",
       {152, 278, 65, 65},
       {Qt::red, Qt::blue, Qt::white, "Esc"}},
      {PanelKey::Start,
       "B_Start",
       "Cycle\r\nstart",
       {272, 278, 65, 65},
       {kGreen, Qt::blue, Qt::white, "F11"}},
      {PanelKey::Stop,
       "B_Stop",
       "Feed\r\nstop",
       {400, 278, 65, 65},
       {Qt::red, Qt::red, Qt::white, "F12"}},
      {PanelKey::Total,
       "B_Total",
       "TOTAL\r\nSTOP",
       {16, 272, 65, 65},
       {Qt::red, Qt::blue, Qt::green, ""}},
      {PanelKey::VypS, "B_VypS", "vyp", {321, 166, 40, 40}, {Qt::red, Qt::blue, Qt::white, "S"}},
      {PanelKey::ZapS, "B_ZapS", "zap", {240, 166, 40, 40}, {kGreen, Qt::blue, Qt::white, "S"}},
      {PanelKey::VymT, "SB_VymT", "", {176, 214, 40, 40}, {}},
  }};

  // The TOTAL lamp lies under its key, so it is made first.
  totalLamp_ = new QFrame(this);
  totalLamp_->setObjectName(QStringLiteral("Sh_Total"));
  totalLamp_->setGeometry(8, 264, 81, 81);
  totalLamp_->setAutoFillBackground(true);
  totalLamp_->setFrameShape(QFrame::Box);
  SetTotalLamp(false);

  for (const KeyDesign& s : designs) {
    if (s.key == PanelKey::VymT) continue;
    TSpcButton* b = MakeKey(s.key, s.name, s.box);
    b->SetCaption(QString::fromUtf8(s.caption));
    b->SetBackColor(s.look.back);
    b->SetBarColor(s.look.bar);
    b->SetBtnHintColor(s.look.hint);
    b->SetBtnHintText(QString::fromLatin1(s.look.hintText));
    b->SetShowBtnHint(s.key != PanelKey::Total);
  }
  key(PanelKey::ZapS)->setToolTip(QStringLiteral("Roztočit vřeteno"));
  key(PanelKey::VypS)->setToolTip(QStringLiteral("Zastavit vřeteno"));
  key(PanelKey::ZapS)->setAccessibleName(QStringLiteral("Roztočit vřeteno"));
  key(PanelKey::VypS)->setAccessibleName(QStringLiteral("Zastavit vřeteno"));

  MakeHold(MotionButton::Xplus, "SB_Xplus", QStringLiteral("Pohyb v ose +X (průměrová osa)"),
           {67, 102});
  MakeHold(MotionButton::Zminus, "SB_Zminus", QStringLiteral("Pohyb v ose -Z"), {19, 150});
  MakeHold(MotionButton::Zplus, "SB_Zplus", QStringLiteral("Pohyb v ose +Z"), {115, 150});
  MakeHold(MotionButton::Xminus, "SB_Xminus", QStringLiteral("Pohyb v ose -X (průměrová osa)"),
           {67, 198});
  MakeHold(MotionButton::Wvpred, "SB_Wvpred", QStringLiteral("Pinola koníku vpřed"), {240, 214});
  MakeHold(MotionButton::Wvzad, "SB_Wvzad", QStringLiteral("Pinola koníku vzad"), {321, 214});

  auto* toolChange = new QToolButton(this);
  toolChange->setObjectName(QStringLiteral("SB_VymT"));
  toolChange->setToolTip(QStringLiteral("Výměna nástroje"));
  toolChange->setAccessibleName(QStringLiteral("Výměna nástroje"));
  toolChange->setIcon(PanelIcon(PanelPicture::ToolChange));
  toolChange->setIconSize(QSize(32, 32));
  toolChange->setGeometry(176, 214, 40, 40);
  toolChange->setFocusPolicy(Qt::NoFocus);
  connect(toolChange, &QToolButton::clicked, this, [this] { Q_EMIT Clicked(PanelKey::VymT); });

  quillLamp_ = new QFrame(this);
  quillLamp_->setObjectName(QStringLiteral("S_Wok"));
  quillLamp_->setAccessibleName(QStringLiteral("Pinola v definované poloze"));
  quillLamp_->setGeometry(293, 214, 15, 10);
  quillLamp_->setAutoFillBackground(true);
  quillLamp_->setFrameShape(QFrame::Box);
  SetQuillLamp(false);

  const QFont letter = SansFont(13, true);
  auto* f = new QLabel(QStringLiteral("F"), this);
  f->setObjectName(QStringLiteral("Label28"));
  f->setFont(letter);
  f->move(218, 96 + 4);
  auto* s = new QLabel(QStringLiteral("S"), this);
  s->setObjectName(QStringLiteral("Label1"));
  s->setFont(letter);
  s->move(218, 128 + 4);
  feedBar_ =
      OverrideBar(this, "SB_Posuv", QStringLiteral("Procento nastavení posuvů (0-120%)"), 100);
  spindleBar_ = OverrideBar(
      this, "SB_Otacky",
      QStringLiteral("Procento nastavení otáček / ruční nastavení otáček vřetena"), 132);
  // The percentages: the core writes them (DisplayModel.h), the window shows them by name.
  for (const auto& [name, y] : {std::pair{"L_ProcPosuvu", 100}, std::pair{"L_Otacky", 132}}) {
    auto* percent = new QLabel(QStringLiteral("100%"), this);
    percent->setObjectName(QString::fromLatin1(name));
    percent->setGeometry(368, y, 56, 20);
  }
  for (QLabel* l : {f, s}) l->adjustSize();
  connect(feedBar_, &QScrollBar::valueChanged, this, &PanelKeys::FeedOverrideChanged);
  connect(spindleBar_, &QScrollBar::valueChanged, this, &PanelKeys::SpindleOverrideChanged);
}

TSpcButton* PanelKeys::MakeKey(PanelKey k, const char* name, const QRect& box) {
  auto* b = new TSpcButton(this);
  if (name) b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(box);
  b->setFont(SansFont(13, true));
  QPalette pal = b->palette();
  pal.setColor(QPalette::ButtonText, Qt::white);
  b->setPalette(pal);
  b->SetShowBtnHint(true);
  b->SetDrawSelection(true);
  keys_[static_cast<std::size_t>(k)] = b;
  connect(b, &QPushButton::clicked, this, [this, k] { Q_EMIT Clicked(k); });
  return b;
}

QToolButton* PanelKeys::MakeHold(MotionButton which, const char* name, const QString& hint,
                                 const QPoint& at) {
  static const std::array<PanelPicture, 6> kPictures = {
      PanelPicture::XPlus,  PanelPicture::XMinus,       PanelPicture::ZPlus,
      PanelPicture::ZMinus, PanelPicture::QuillForward, PanelPicture::QuillBack};
  auto* b = new QToolButton(this);
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(hint);
  b->setAccessibleName(hint);
  b->setIcon(PanelIcon(kPictures[static_cast<std::size_t>(which)]));
  b->setIconSize(QSize(32, 32));
  const bool quill = which == MotionButton::Wvpred || which == MotionButton::Wvzad;
  b->setGeometry(QRect(at, quill ? QSize(40, 40) : QSize(45, 45)));
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QToolButton::pressed, this, [this, which] { Q_EMIT Held(which, true); });
  connect(b, &QToolButton::released, this, [this, which] { Q_EMIT Held(which, false); });
  return b;
}

TSpcButton* PanelKeys::softKey(int number) const {
  return number >= 1 && number <= 5 ? keys_[static_cast<std::size_t>(number - 1)] : nullptr;
}

void PanelKeys::SetTotalLamp(bool red) {
  Colour(totalLamp_, red ? Qt::red : Qt::yellow);
}

void PanelKeys::SetQuillLamp(bool green) {
  Colour(quillLamp_, green ? QColor(0, 128, 0) : Qt::red);
}

}  // namespace soustruh::ui
