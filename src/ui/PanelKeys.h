#pragma once
// Panel2: the keyboard of the control panel, every key at its design position: the soft keys
// B_Fn1..B_Fn5, the jog buttons, the feed and spindle override bars, the spindle keys, the tool
// change and quill buttons with the quill lamp, the mode keys, TOTAL with its lamp, and Reset,
// Start and Stop. The panel only draws and forwards (PanelController hands it to the simulator).

#include <QWidget>
#include <array>

#include "control/Jogging.h"

class QFrame;
class QLabel;
class QScrollBar;
class QToolButton;

namespace soustruh::ui {

class TSpcButton;

// The keys of the panel that act on a click (jog and quill buttons act on press and release).
enum class PanelKey {
  Fn1,
  Fn2,
  Fn3,
  Fn4,
  Fn5,
  Automat,
  Edit,
  Exec,
  Manual,
  Reset,
  Start,
  Stop,
  Total,
  ZapS,
  VypS,
  VymT,
};

class PanelKeys : public QWidget {
  Q_OBJECT

 public:
  explicit PanelKeys(QWidget* parent = nullptr);

  TSpcButton* key(PanelKey k) const { return keys_[static_cast<std::size_t>(k)]; }
  TSpcButton* softKey(int number) const;  // 1..5
  QScrollBar* feedBar() const { return feedBar_; }
  QScrollBar* spindleBar() const { return spindleBar_; }

  // Sh_Total: yellow when released, red while TOTAL is engaged.
  void SetTotalLamp(bool red);
  // S_Wok: green while the quill is in a defined position, red otherwise.
  void SetQuillLamp(bool green);

 Q_SIGNALS:
  void Clicked(PanelKey key);
  void Held(MotionButton button, bool down);
  void FeedOverrideChanged(int position);
  void SpindleOverrideChanged(int position);

 private:
  TSpcButton* MakeKey(PanelKey k, const char* name, const QRect& box);
  QToolButton* MakeHold(MotionButton b, const char* name, const QString& hint, const QPoint& at);

  std::array<TSpcButton*, 16> keys_{};
  QScrollBar* feedBar_;
  QScrollBar* spindleBar_;
  QFrame* totalLamp_;
  QFrame* quillLamp_;
};

}  // namespace soustruh::ui
