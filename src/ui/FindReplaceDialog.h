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

  // ReplaceDialogFind: the next occurrence, selected in the editor. False when there is nothing
  // to search for (the caller beeps) or nothing was found (NotFound() was emitted).
  bool Find();
  // ReplaceDialogReplace: replaces the occurrence selected (or the next one) and moves on; with
  // `all`, every occurrence from the caret on. Returns how many were replaced; -1 without text.
  int Replace(bool all);

 Q_SIGNALS:
  void NotFound(const QString& text);
  void NothingToFind();

 private:
  bool Search(bool forward);

  QPlainTextEdit& editor_;
  QLineEdit* find_;
  QLineEdit* replace_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWord_;
  QRadioButton* down_;
};

}  // namespace soustruh::ui
