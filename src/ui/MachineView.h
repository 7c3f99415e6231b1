#pragma once
// I_Stroj: the machine view. The scene (view/MachineScene.h) draws the machine into an off-screen
// QImage through the Qt canvas; the widget shows the last finished picture. A resize re-creates
// the picture and rescales the view; the middle button pans and the wheel zooms about the pointer
// (view/ViewMapping.h). Until the simulator has started, resizes only re-create the picture.

#include <QWidget>
#include <memory>

#include "ui/QtCanvas.h"
#include "view/MachineScene.h"
#include "view/ViewMapping.h"

namespace soustruh::ui {

class MachineView : public QWidget {
  Q_OBJECT

 public:
  MachineView(Simulator& simulator, QWidget* parent = nullptr);
  ~MachineView() override;

  MachineScene& scene() { return scene_; }
  const QtCanvas& canvas() const { return canvas_; }
  // Start-up is done: fit the view to the machine and draw it (the first FormResize).
  void Started();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  Simulator& sim_;
  QtCanvas canvas_;
  MachineScene scene_;
  ViewNavigator navigator_;
  bool started_ = false;
  int wheelRest_ = 0;  // wheel distance not yet used, in eighths of a degree
};

}  // namespace soustruh::ui
