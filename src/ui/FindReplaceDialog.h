#pragma once
// ReplaceDialog: search and replace in the program editor with the options of the platform's
// find and replace dialog: match case, whole words, direction (Find searches backwards unless
// "Dolů" is chosen; Replace always searches forwards) and replace all. The dialog stays open
// beside the editor; "Najít\r\ndalší" repeats the last search.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace soustruh::ui {

class FindReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  FindReplaceDialog(QPlainTextEdit& editor, QWidget* parent = nullptr);

  QString findText() const;
  void SetFindText(const QString& text);
  void SetReplaceText(const QString& text);
  void SetOptions(bool matchCase, bool wholeWord, bool down);

  // The search itself (the simulator's ReplaceDialogFind decides about an empty text and the
  // not-found message): selects the next occurrence in the editor; false when there is none.
  bool Find();
  // Replaces the occurrence selected (or the next one), or with "Nahradit vše" every occurrence
  // from the caret on; false when there was none.
  bool Replace();

 Q_SIGNALS:
  // The dialog's buttons: the window hands them to the simulator.
  void FindClicked();
  void ReplaceClicked();

 private:
  bool Search(bool forward);

  QPlainTextEdit& editor_;
  QLineEdit* find_;
  QLineEdit* replace_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWord_;
  QRadioButton* down_;
  bool replaceAll_ = false;  // which replace button was pressed last
};

}  // namespace soustruh::ui
