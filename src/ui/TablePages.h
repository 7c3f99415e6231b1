#pragma once
// The two table pages of the EDIT area: TS_Korekce (the tool correction list LB_Korekce with the
// entry fields of the selected row and the tip position picture I_Poloha) and TS_NulaObr (the five
// work offset boxes G54, G55, G57, G58, G59 and the information panel P_InfoW).
//
// The pages edit the simulator's tables directly: a click on a correction row fills the fields,
// every field change rewrites the selected row; an offset field change sets the offset's texts,
// and leaving an offset field records its name in LastOffsetEdit for the teach key.

#include <QWidget>
#include <array>

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

  // Shows the table's rows again (after start-up loading).
  void Reload();
  // LB_KorekceClick: selects `row` (0-based) and fills the fields from it.
  void SelectRow(int row);
  QListWidget* list() const { return list_; }
  TRealEdit* field(int index) const { return fields_[static_cast<std::size_t>(index)]; }

 private:
  void FieldsChanged(bool fromL);

  Simulator& sim_;
  QListWidget* list_;
  std::array<TRealEdit*, 5> fields_{};  // E_KorX, E_KorZ, E_KorR, E_KorL, E_KorPopis
  QLabel* picture_;
};

class WorkOffsetPage : public QWidget {
  Q_OBJECT

 public:
  WorkOffsetPage(Simulator& simulator, QWidget* parent = nullptr);

  // Shows the table's texts again (after start-up loading).
  void Reload();

 private:
  void FieldChanged(int code);

  Simulator& sim_;
  bool filling_ = false;
};

}  // namespace soustruh::ui
