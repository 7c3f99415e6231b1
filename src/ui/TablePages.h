#pragma once
// The two table pages of the EDIT area: TS_Korekce (the tool correction list LB_Korekce with the
// entry fields of the selected row and the tip position picture I_Poloha) and TS_NulaObr (the five
// work offset boxes G54, G55, G57, G58, G59 and the information panel P_InfoW).
//
// The pages only show the simulator's tables and forward the learner's edits: a row chosen in the
// list (by mouse or keyboard) goes to LB_KorekceClick, every field change to FieldChange; Show()
// then writes back what the core made of it (the rewritten row, the normalised fields, the taught
// coordinate, the picture).

#include <QWidget>
#include <array>
#include <vector>

class QLabel;
class QListWidget;

namespace soustruh {
class Simulator;
}

namespace soustruh::ui {

class TRealEdit;

class CorrectionPage : public QWidget {
  Q_OBJECT

 public:
  CorrectionPage(Simulator& simulator, QWidget* parent = nullptr);

  // Shows the table's rows, the selected row, its fields and the tip picture as the core has them.
  void Show();
  QListWidget* list() const { return list_; }

 private:
  Simulator& sim_;
  QListWidget* list_;
  std::array<TRealEdit*, 5> fields_{};  // E_KorX, E_KorZ, E_KorR, E_KorL, E_KorPopis
  QLabel* picture_;
  int shownPicture_ = -1;
  bool filling_ = false;  // Show() is writing: nothing goes back to the core
};

class WorkOffsetPage : public QWidget {
  Q_OBJECT

 public:
  WorkOffsetPage(Simulator& simulator, QWidget* parent = nullptr);

  // Shows the texts of the work offset table as the core has them.
  void Show();

 private:
  Simulator& sim_;
  std::vector<TRealEdit*> fields_;
  bool filling_ = false;
};

}  // namespace soustruh::ui
