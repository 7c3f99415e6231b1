#include "ui/MachineView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cstdlib>

namespace soustruh::ui {

MachineView::MachineView(Simulator& simulator, QWidget* parent)
    : QWidget(parent), sim_(simulator), scene_(simulator, &canvas_), navigator_(simulator) {
  setObjectName(QStringLiteral("I_Stroj"));
  setAccessibleName(QStringLiteral("Simulace stroje"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(100, 100);
  canvas_.SetPresentCallback([this] { update(); });
  sim_.SetScene(&scene_);
}

MachineView::~MachineView() {
  sim_.SetScene(nullptr);
}

void MachineView::Started() {
  started_ = true;
  canvas_.Resize(width(), height());
  navigator_.FormResize(0, 0, width(), height());
}

void MachineView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (canvas_.image().isNull()) {
    p.fillRect(rect(), Qt::white);
  } else {
    p.drawImage(0, 0, canvas_.image());
  }
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
