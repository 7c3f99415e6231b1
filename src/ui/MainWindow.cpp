#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "control/EntryFields.h"
#include "platform/SimulationSpeed.h"
#include "ui/DisplayPages.h"
#include "ui/FindReplaceDialog.h"
#include "ui/Fonts.h"
#include "ui/KeyboardHook.h"
#include "ui/MachineView.h"
#include "ui/PanelController.h"
#include "ui/PanelKeys.h"
#include "ui/ProgramEditor.h"
#include "ui/ProgramFileDialog.h"
#include "ui/SpcButton.h"
#include "ui/StockForm.h"
#include "ui/TablePages.h"
#include "view/StockDialog.h"

namespace soustruh::ui {
namespace {

QColor ToQt(Colour colour, const QPalette& palette) {
  switch (colour) {
    case Colour::ButtonFace:
      return palette.color(QPalette::Button);
    case Colour::WindowText:
      return palette.color(QPalette::WindowText);
    case Colour::Black:
      return Qt::black;
    case Colour::White:
      return Qt::white;
    case Colour::Blue:
      return Qt::blue;
    case Colour::Yellow:
      return Qt::yellow;
    case Colour::Red:
      return Qt::red;
  }
  return Qt::black;
}

QGroupBox* Box(const QString& title, const char* name, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setFont(SansFont(13, true));
  return box;
}

// The inside of a bold group box in the window's regular font.
QWidget* Inside(QGroupBox* box) {
  auto* inside = new QWidget(box);
  inside->setFont(SansFont(13));
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(inside);
  return inside;
}

QLabel* PanelLabel(const char* name, int height, Qt::Alignment alignment, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFixedHeight(height);
  label->setFont(SansFont(13, true));
  label->setAlignment(alignment | Qt::AlignVCenter);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setAutoFillBackground(true);
  return label;
}

}  // namespace

TForm1::TForm1(std::filesystem::path dataDirectory, QWidget* parent)
    : QWidget(parent),
      host_(std::make_unique<QtHost>()),
      sim_(std::make_unique<Simulator>(*host_, dataDirectory)),
      dataDirectory_(std::move(dataDirectory)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(Title());
  setFont(SansFont(13));
  setMinimumSize(1024, 720);
  resize(1024, 760);
  host_->Attach(sim_.get());
  host_->SetDialogParent(this);
  host_->SetRepaintHandler([this] { Refresh(); });

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(BuildMachineSide(), 1);
  layout->addWidget(BuildControlSide(), 0);

  for (std::size_t i = 0; i < labels_.size(); ++i)
    labels_[i] = findChild<QLabel*>(QString::fromUtf8(Labels(DisplayState{})[i].first));

  controller_ = new PanelController(*sim_, *this);
  connect(keys_, &PanelKeys::Clicked, controller_, &PanelController::Press);
  connect(keys_, &PanelKeys::Held, controller_, &PanelController::Hold);
  connect(keys_, &PanelKeys::FeedOverrideChanged, controller_, &PanelController::FeedOverride);
  connect(keys_, &PanelKeys::SpindleOverrideChanged, controller_,
          &PanelController::SpindleOverride);
  connect(editor_, &QPlainTextEdit::textChanged, this, [this] { programDirty_ = true; });
  connect(manExec_->commandLine(), &QLineEdit::textChanged, this,
          [this](const QString& text) { sim_->FieldChange("E_PrikazE", text.toStdString()); });
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { ReportFocus(now); });

  fileDialog_ = new TForm2(FindPlaces(QDir::homePath()), this);
  fileDialog_->SetRefusalSound([this] { host_->Beep(kRefusalToneHz, kRefusalToneMs); });
  fileDialog_->SetMessageSink(
      [this](const QString& text) { host_->ShowMessage(text.toStdString()); });
  stockDialog_ = new TForm3(this);
  aboutDialog_ = new TForm4(this);
  findDialog_ = new FindReplaceDialog(*editor_, this);
  connect(findDialog_, &FindReplaceDialog::FindClicked, this, [this] {
    sim_->ReplaceDialogFind();
    Refresh();
  });
  connect(findDialog_, &FindReplaceDialog::ReplaceClicked, this, [this] {
    sim_->ReplaceDialogReplace();
    Refresh();
  });
  host_->SetEditorDialogs(fileDialog_, findDialog_);

  hook_ = new KeyboardHook(*this);
  qApp->installEventFilter(hook_);
}

TForm1::~TForm1() {
  // FormClose/FormDestroy: no timer, key or focus change may reach a half-destroyed window, and
  // the panels go before the simulator they show.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
  qApp->removeEventFilter(hook_);
  sim_->FormClose();
  host_->Detach();
  for (QObject* child : children()) {
    if (child->isWidgetType()) delete child;
  }
}

QWidget* TForm1::BuildMachineSide() {
  QGroupBox* box = Box(QStringLiteral("Simulace stroje:"), "GroupBox2", this);
  QWidget* inside = Inside(box);
  auto* layout = new QVBoxLayout(inside);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* pages = new QStackedWidget(inside);
  pages->setObjectName(QStringLiteral("PC_Stroj"));
  auto* page = new QWidget(pages);
  page->setObjectName(QStringLiteral("TS_Stroj"));
  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  view_ = new MachineView(*sim_, page);
  pageLayout->addWidget(view_);
  pages->addWidget(page);
  layout->addWidget(pages, 1);

  auto* panel = new QWidget(inside);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFixedHeight(47);
  auto* about = new QPushButton(QStringLiteral("&O programu..."), panel);
  about->setObjectName(QStringLiteral("B_OPrg"));
  about->setGeometry(8, 8, 105, 33);
  auto* stock = new QPushButton(QStringLiteral("&Polotovar..."), panel);
  stock->setObjectName(QStringLiteral("B_Polotovar"));
  stock->setGeometry(152, 8, 105, 33);
  for (QPushButton* b : {about, stock}) {
    b->setAccessibleName(b->text().remove('&').remove(QStringLiteral("...")));
    b->setAutoDefault(false);
  }
  connect(about, &QPushButton::clicked, this, &TForm1::ShowAboutDialog);
  connect(stock, &QPushButton::clicked, this, &TForm1::ShowStockDialog);
  BuildViewAids(panel);
  layout->addWidget(panel);
  return box;
}

void TForm1::BuildViewAids(QWidget* panel) {
  // Right of the two buttons, where the panel has room at the window's smallest width. Neither
  // takes the focus, so the keyboard stays with the panel's keys.
  auto* speed = new QComboBox(panel);
  speed->setObjectName(QStringLiteral("CB_Rychlost"));
  for (int factor : kSimulationSpeeds) speed->addItem(QStringLiteral("%1×").arg(factor), factor);
  speed->setGeometry(266, 11, 58, 27);
  speed->setToolTip(QStringLiteral("Rychlost simulace (čas obrábění zůstává časem stroje)"));
  speed->setAccessibleName(QStringLiteral("Rychlost simulace"));
  auto* paths = new QCheckBox(QStringLiteral("Dráhy"), panel);
  paths->setObjectName(QStringLiteral("CHB_Drahy"));
  paths->setGeometry(330, 11, 66, 27);
  paths->setToolTip(QStringLiteral("Programovaný obrys (modře) a dráha středu špičky nože"));
  paths->setAccessibleName(QStringLiteral("Dráhy programu"));
  for (QWidget* w : std::initializer_list<QWidget*>{speed, paths}) w->setFocusPolicy(Qt::NoFocus);
  connect(speed, &QComboBox::currentIndexChanged, this,
          [this, speed](int index) { host_->SetSpeed(speed->itemData(index).toInt()); });
  connect(paths, &QCheckBox::toggled, this, [this](bool on) { view_->SetOverlayShown(on); });
}

QWidget* TForm1::BuildControlSide() {
  QGroupBox* box = Box(QStringLiteral("Řídicí systém:"), "GroupBox1", this);
  box->setFixedWidth(600);
  QWidget* inside = Inside(box);
  auto* layout = new QVBoxLayout(inside);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  modeLine_ = PanelLabel("P_Rezim", 23, Qt::AlignLeft, inside);
  modeLine_->setAccessibleName(QStringLiteral("Režim"));
  layout->addWidget(modeLine_);

  auto* middle = new QWidget(inside);
  middle->setObjectName(QStringLiteral("Panel3"));
  auto* middleLayout = new QVBoxLayout(middle);
  middleLayout->setContentsMargins(0, 0, 0, 0);
  middleLayout->setSpacing(0);
  pages_ = new QStackedWidget(middle);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  manExec_ = new ManExecPage(pages_);
  auto* editPage = new QWidget(pages_);
  editPage->setObjectName(QStringLiteral("TS_Edit"));
  auto* editLayout = new QVBoxLayout(editPage);
  editLayout->setContentsMargins(0, 0, 0, 0);
  editPages_ = new QStackedWidget(editPage);
  editPages_->setObjectName(QStringLiteral("PageControl2"));
  programPage_ = new QWidget(editPages_);
  programPage_->setObjectName(QStringLiteral("TS_Program"));
  auto* programLayout = new QVBoxLayout(programPage_);
  programLayout->setContentsMargins(0, 0, 0, 0);
  editor_ = new ProgramEditor(sim_->config(), programPage_);
  editor_->setReadOnly(true);
  programLayout->addWidget(editor_);
  corrections_ = new CorrectionPage(*sim_, editPages_);
  offsets_ = new WorkOffsetPage(*sim_, editPages_);
  for (QWidget* w : std::initializer_list<QWidget*>{programPage_, corrections_, offsets_})
    editPages_->addWidget(w);
  editLayout->addWidget(editPages_);
  automat_ = new AutomatPage(pages_);
  for (QWidget* w : std::initializer_list<QWidget*>{manExec_, editPage, automat_})
    pages_->addWidget(w);
  middleLayout->addWidget(pages_, 1);
  status_ = PanelLabel("P_Stav", 24, Qt::AlignHCenter, middle);
  status_->setAccessibleName(QStringLiteral("Stav"));
  middleLayout->addWidget(status_);
  layout->addWidget(middle, 1);

  keys_ = new PanelKeys(inside);
  layout->addWidget(keys_);
  return box;
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The start-up runs once the window is on the screen, so its messages have a parent to sit on.
  if (!started_ && !startFailed_) QTimer::singleShot(0, this, &TForm1::FormShow);
}

void TForm1::FormShow() {
  if (started_ || startFailed_) return;
  fileDialog_->SetFolder(QString::fromStdString(dataDirectory_.string()));
  if (sim_->Start() == StartupStatus::MachineMissing) {
    startFailed_ = true;
    close();
    return;
  }
  started_ = true;
  view_->Started();
  Refresh();
}

void TForm1::FlushProgram() {
  if (!programDirty_) return;
  programDirty_ = false;
  sim_->M_ProgramChange(editor_->Lines());
}

void TForm1::Refresh() {
  const MachineState& s = sim_->state();
  ShowPages(s);
  ShowStatus();
  SetLabelText(modeLine_, s.ModeLine);
  const DisplayLabels texts = Labels(s.Display);
  for (std::size_t i = 0; i < labels_.size(); ++i) SetLabelText(labels_[i], *texts[i].second);
  ShowKeys(s);
  ShowEditor(s);
  ShowFocus(s);
  view_->Refresh();
}

void TForm1::ShowPages(const MachineState& s) {
  const std::string_view name = ShownPage(s);
  QWidget* page = name == "TS_ManExec"   ? static_cast<QWidget*>(manExec_)
                  : name == "TS_Automat" ? static_cast<QWidget*>(automat_)
                  : name == "TS_Korekce" ? static_cast<QWidget*>(corrections_)
                  : name == "TS_NulaObr" ? static_cast<QWidget*>(offsets_)
                                         : programPage_;
  const bool commandShown = ControlShown(s, "E_PrikazE");
  // The focus must not fall by itself into a control of the page that shows next (the browsing
  // editor would start editing): it waits on the window until the core moves it.
  if (QWidget* focus = QApplication::focusWidget();
      focus && pages_->isAncestorOf(focus) &&
      (!page->isAncestorOf(focus) || (focus == manExec_->commandLine() && !commandShown)))
    setFocus(Qt::OtherFocusReason);
  if (page == manExec_ || page == automat_) {
    pages_->setCurrentWidget(page);
  } else {
    pages_->setCurrentIndex(1);
    editPages_->setCurrentWidget(page);
  }
  manExec_->SetCommandLineVisible(commandShown);
  const QString command = QString::fromStdString(s.Command);
  if (manExec_->commandLine()->text() != command) manExec_->commandLine()->setText(command);
  if (page == corrections_) corrections_->Show();
  if (page == offsets_) offsets_->Show();

  // Entering AUTOMAT (also afresh, after TOTAL) shows the program's lines in the monitor.
  const bool entered = s.Mode != shownMode_;
  shownMode_ = s.Mode;
  if (page == automat_ &&
      (entered || automat_->monitor()->count() != static_cast<int>(s.Program.size())))
    automat_->SetProgram(s.Program);
  automat_->ShowMonitor(s.MonitorSelection, s.MonitorTop, s.LineIndex);
}

void TForm1::ShowKeys(const MachineState& s) {
  const SoftKeyCaptions& captions = Captions(sim_->softKeySet());
  for (int n = 1; n <= kSoftKeyCount; ++n) {
    const auto i = static_cast<std::size_t>(n - 1);
    keys_->softKey(n)->SetCaption(
        QString::fromUtf8(captions[i].data(), static_cast<qsizetype>(captions[i].size())));
    keys_->softKey(n)->SetChecked(s.SoftKeys[i]);
  }
  const ControlMode mode = s.Mode;
  keys_->key(PanelKey::Manual)->SetChecked(mode == ControlMode::Manual);
  keys_->key(PanelKey::Exec)->SetChecked(mode == ControlMode::Execute);
  keys_->key(PanelKey::Edit)->SetChecked(mode == ControlMode::Edit || mode == ControlMode::Rs232);
  keys_->key(PanelKey::Automat)->SetChecked(mode == ControlMode::Automat);
  // The bars snap to 100 %: show where the core put them.
  for (auto [bar, value] : {std::pair{keys_->feedBar(), s.FeedOverride},
                            std::pair{keys_->spindleBar(), s.SpindleOverride}}) {
    if (bar->value() != value && !bar->isSliderDown()) {
      const QSignalBlocker block(bar);
      bar->setValue(value);
    }
  }
  keys_->SetTotalLamp(s.TotalLampRed);
  keys_->SetQuillLamp(s.QuillLampGreen);
}

void TForm1::ShowEditor(const MachineState& s) {
  if (s.Pages.ProgramVersion != shownProgramVersion_) {
    // The core replaced the program (a file opened): the editor shows it afresh.
    shownProgramVersion_ = s.Pages.ProgramVersion;
    editor_->SetLines(s.Program);
    programDirty_ = false;
  }
  if (editor_->isReadOnly() != s.Pages.EditorReadOnly) editor_->setReadOnly(s.Pages.EditorReadOnly);
}

void TForm1::ShowFocus(const MachineState& s) {
  if (s.FocusRequests == shownFocusRequests_) return;
  shownFocusRequests_ = s.FocusRequests;
  QWidget* target =
      s.Focus.empty() ? nullptr : findChild<QWidget*>(QString::fromStdString(s.Focus));
  if (!target || !target->isVisible()) return;
  target->setFocus(Qt::OtherFocusReason);
  if (auto* line = qobject_cast<QLineEdit*>(target)) {
    line->deselect();
    line->end(false);
  }
}

void TForm1::ReportFocus(QWidget* now) {
  if (!started_) return;
  const std::string name = now && isAncestorOf(now) ? now->objectName().toStdString() : "";
  sim_->FocusChanged(IsEntryControl(name) ? name : "");
  // A click into the browsing editor makes it editable before the first key reaches it.
  if (editor_->isReadOnly() != sim_->state().Pages.EditorReadOnly)
    editor_->setReadOnly(sim_->state().Pages.EditorReadOnly);
}

ShownDialog TForm1::shownDialog() const {
  if (fileDialog_->isVisible()) return ShownDialog::ProgramFile;
  if (stockDialog_->isVisible()) return ShownDialog::Stock;
  if (aboutDialog_->isVisible()) return ShownDialog::About;
  return ShownDialog::None;
}

std::string TForm1::FocusedControl() const {
  QWidget* focus = QApplication::focusWidget();
  const std::string name =
      focus && isAncestorOf(focus) ? focus->objectName().toStdString() : std::string();
  return IsEntryControl(name) ? name : std::string();
}

int TForm1::MonitorPageLines() const {
  return automat_->monitor()->viewport()->height() / kMonitorItemHeight;
}

void TForm1::ShowStatus() {
  const StatusLine& line = sim_->state().Status;
  QPalette pal = status_->palette();
  pal.setColor(QPalette::Window, ToQt(line.background, palette()));
  pal.setColor(QPalette::WindowText, ToQt(line.foreground, palette()));
  if (pal != status_->palette()) status_->setPalette(pal);
  SetLabelText(status_, line.text);
}

void TForm1::closeEvent(QCloseEvent* event) {
  FlushProgram();
  if (started_ && sim_->state().Pages.ProgramModified) {
    // Closing must never lose an edited program without asking.
    switch (host_->AskYesNoCancel(QStringLiteral("Program byl změněn. Uložit změny?"))) {
      case Answer::Yes:
        if (!sim_->SaveProgramAs()) {
          event->ignore();
          return;
        }
        break;
      case Answer::No:
        break;
      case Answer::Cancel:
        event->ignore();
        return;
    }
  }
  sim_->FormClose();
  findDialog_->hide();
  event->accept();
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
