#pragma once
// Hands the panel's keys, hold buttons and override bars to the simulator's handlers of the same
// names, then has the window show the result. Every decision is the simulator's; an edited program
// reaches it before any key acts.

#include <QObject>

#include "control/Jogging.h"
#include "ui/PanelKeys.h"

namespace soustruh {
class Simulator;
}

namespace soustruh::ui {

class TForm1;

class PanelController : public QObject {
  Q_OBJECT

 public:
  PanelController(Simulator& simulator, TForm1& window);

  // A key of the panel was clicked.
  void Press(PanelKey key);
  // A jog or quill button went down or up.
  void Hold(MotionButton button, bool down);
  void FeedOverride(int position);
  void SpindleOverride(int position);

 private:
  Simulator& sim_;
  TForm1& window_;
};

}  // namespace soustruh::ui
