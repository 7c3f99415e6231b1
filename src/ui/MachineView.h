#pragma once
// I_Stroj: the machine view. The scene (view/MachineScene.h) draws the machine into an off-screen
// QImage through the Qt canvas; the widget shows the last finished picture. A resize re-creates
// the picture and rescales the view; the middle button pans and the wheel zooms about the pointer
// (view/ViewMapping.h). Until the simulator has started, resizes only re-create the picture.
//
// Two aids for the learner that leave the machine alone: while the pointer is over the turned
// part, its diameter and Z there (view/PartReadout.h) show in the view's lower left corner; and
// while the path overlay is on, the programmed contour and the nose path of the current program
// (view/ProgramOverlay.h) are drawn over the scene, traced again whenever the program or a table
// has changed and no program runs.

#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/QtCanvas.h"
#include "view/MachineScene.h"
#include "view/ProgramOverlay.h"
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

  // The path overlay on or off (off at start); the picture follows at once.
  void SetOverlayShown(bool shown);
  bool overlayShown() const { return overlayShown_; }
  const ProgramOverlay& overlay() const { return overlay_; }
  // After the core's state changed: traces the overlay again when it is on, no program runs and
  // the program or a table differs from the traced one.
  void Refresh();
  // The read-out in the corner ("" while the pointer is not over the part).
  const QString& readout() const { return readout_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  Simulator& sim_;
  QtCanvas canvas_;
  MachineScene scene_;
  ViewNavigator navigator_;
  void UpdateReadout();
  std::vector<std::string> OverlayInputs() const;
  void Retrace();

  bool started_ = false;
  std::optional<QPoint> pointer_;  // over the view, while it is
  QString readout_;
  bool overlayShown_ = false;
  ProgramOverlay overlay_;
  std::vector<std::string> tracedInputs_;  // the program, then the tables' texts
  int wheelRest_ = 0;                      // wheel distance not yet used, in eighths of a degree
};

}  // namespace soustruh::ui
