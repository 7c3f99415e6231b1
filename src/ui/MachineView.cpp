#include "ui/MachineView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cstdlib>

#include "view/PartReadout.h"

namespace soustruh::ui {

MachineView::MachineView(Simulator& simulator, QWidget* parent)
    : QWidget(parent), sim_(simulator), scene_(simulator, &canvas_), navigator_(simulator) {
  setObjectName(QStringLiteral("I_Stroj"));
  setAccessibleName(QStringLiteral("Simulace stroje"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(100, 100);
  setMouseTracking(true);
  canvas_.SetPresentCallback([this] {
    UpdateReadout();
    update();
  });
  sim_.SetScene(&scene_);
}

MachineView::~MachineView() {
  sim_.SetScene(nullptr);
}

void MachineView::Started() {
  started_ = true;
  canvas_.Resize(width(), height());
  navigator_.FormResize(0, 0, width(), height());
  if (overlayShown_) SetOverlayShown(true);
}

void MachineView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (canvas_.image().isNull()) {
    p.fillRect(rect(), Qt::white);
  } else {
    p.drawImage(0, 0, canvas_.image());
  }
  if (readout_.isEmpty()) return;
  const QRect text = p.fontMetrics().boundingRect(readout_).adjusted(-4, -2, 4, 2);
  const QRect box(4, height() - 4 - text.height(), text.width(), text.height());
  p.fillRect(box, QColor(255, 255, 255, 220));
  p.setPen(Qt::black);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.drawText(box, Qt::AlignCenter, readout_);
}

void MachineView::UpdateReadout() {
  QString text;
  if (started_ && pointer_) {
    const WorkpieceFrame frame = ReadoutFrame(sim_);
    const auto reading = ReadPartAt(MappingOf(sim_.state()), ProfileOf(sim_.stock(), frame), frame,
                                    pointer_->x(), pointer_->y());
    if (reading) text = QString::fromStdString(ReadoutText(*reading));
  }
  if (text == readout_) return;
  readout_ = text;
  update();
}

void MachineView::leaveEvent(QEvent*) {
  pointer_.reset();
  UpdateReadout();
}

void MachineView::SetOverlayShown(bool shown) {
  overlayShown_ = shown;
  if (shown) {
    Retrace();
    scene_.SetOverlay(
        [this](Canvas& canvas) { DrawProgramOverlay(canvas, MappingOf(sim_.state()), overlay_); });
  } else {
    scene_.SetOverlay(nullptr);
    overlay_ = ProgramOverlay{};
    tracedInputs_.clear();
  }
  if (started_) scene_.ScenePicture();
}

void MachineView::Refresh() {
  if (!overlayShown_ || sim_.state().ProgramRunning || OverlayInputs() == tracedInputs_) return;
  Retrace();
  scene_.ScenePicture();
}

std::vector<std::string> MachineView::OverlayInputs() const {
  std::vector<std::string> inputs = sim_.state().Program;
  const MachineData& tables = sim_.data();
  inputs.insert(inputs.end(), tables.corrections.rows.begin(), tables.corrections.rows.end());
  for (const WorkOffset& offset : tables.offsets.offsets()) {
    inputs.push_back(offset.X);
    inputs.push_back(offset.Z);
  }
  return inputs;
}

void MachineView::Retrace() {
  tracedInputs_ = OverlayInputs();
  overlay_ = started_ ? TraceProgram(sim_, sim_.state().Program) : ProgramOverlay{};
}

void MachineView::resizeEvent(QResizeEvent*) {
  const int oldWidth = canvas_.Width();
  const int oldHeight = canvas_.Height();
  canvas_.Resize(width(), height());
  if (started_) navigator_.FormResize(oldWidth, oldHeight, width(), height());
}

void MachineView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::MiddleButton)
    navigator_.I_StrojMouseDown(MouseButton::Middle, at.x(), at.y());
}

void MachineView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (started_) navigator_.I_StrojMouseMove(event->buttons() & Qt::MiddleButton, at.x(), at.y());
  pointer_ = at;
  UpdateReadout();
}

void MachineView::wheelEvent(QWheelEvent* event) {
  // Only the direction of a notch counts; a touchpad's small steps add up to a notch first.
  wheelRest_ += event->angleDelta().y();
  const QPoint at = event->position().toPoint();
  while (started_ && std::abs(wheelRest_) >= QWheelEvent::DefaultDeltasPerStep) {
    const bool up = wheelRest_ > 0;
    wheelRest_ -= up ? QWheelEvent::DefaultDeltasPerStep : -QWheelEvent::DefaultDeltasPerStep;
    navigator_.MouseWheel(up, at.x(), at.y(), canvas_.Width(), canvas_.Height());
  }
  // The wheel never scrolls anything else while the pointer is over the view.
  event->accept();
}

}  // namespace soustruh::ui
