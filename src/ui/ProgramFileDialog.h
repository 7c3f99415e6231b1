#pragma once
// TForm2: the program file dialog, made to be driven from the panel's keys: one list of places,
// "..", folders and program files (ProgramFolder.h), Enter or Space acts on the selected entry,
// Esc cancels. For saving, the panel P_Ulozit at its foot holds the name field E_JmPrg and the
// button B_Uloz. The folder is kept between openings (the dialog reopens where it was); the
// chosen file is cleared at every opening.

#include <QDialog>
#include <functional>

#include "ui/ProgramFolder.h"

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace soustruh::ui {

class TRealEdit;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // `places`: the drive entries (FindPlaces() in the window, chosen folders in tests).
  TForm2(std::vector<TPolozka> places, QWidget* parent = nullptr);

  // The folder shown at the next opening (the window gives the data folder at start-up).
  void SetFolder(const QString& folder);
  const QString& folder() const { return browser_.folder(); }

  // Shows the dialog modally for opening or saving; `suggestedName` prefills the save name.
  // Returns the chosen full file name, or an empty string when cancelled.
  QString Open();
  QString SaveAs(const QString& suggestedName);

  // Called instead of a beep when a save name is refused (the window plays its 500 Hz tone).
  void SetRefusalSound(std::function<void()> sound) { refusalSound_ = std::move(sound); }
  // Shows messages (an inaccessible place); the window routes them through its host.
  void SetMessageSink(std::function<void(const QString&)> sink) { messageSink_ = std::move(sink); }

  QListWidget* list() const { return list_; }
  bool saveMode() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString Run(bool save, const QString& suggestedName);
  void ShowList(int select);
  void ActivateSelected();
  void SaveClicked();

  ProgramFolderBrowser browser_;
  QString startFolder_;
  QLabel* path_;
  QListWidget* list_;
  QWidget* savePanel_;
  TRealEdit* name_;
  QPushButton* saveButton_;
  std::function<void()> refusalSound_;
  std::function<void(const QString&)> messageSink_;
};

}  // namespace soustruh::ui
