#pragma once
// TForm3, "Polotovar": asks for the stock's diameter and protrusion. Enter closes it with OK and
// Esc with Storno wherever the focus is. The entries keep the last texts typed; the window checks
// and clamps the stock afterwards (view/StockDialog.h).

#include <QDialog>

namespace soustruh::ui {

class TRealEdit;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  // Shows the dialog modally with the given entry texts; true on OK.
  bool Ask(const QString& diameter, const QString& protrusion);
  QString diameter() const;
  QString protrusion() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TRealEdit* prumer_;
  TRealEdit* delka_;
};

// TForm4: the about dialog (program name, version, what it is, the terms of the bundled data).
class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace soustruh::ui
