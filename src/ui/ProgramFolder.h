#pragma once
// The listing behind the program file dialog (TForm2), without any widget, so it can be tested
// headless. One list shows the places, the parent folder, the sub-folders and the program files
// of the current folder; acting on an entry changes the folder or chooses a file.
//
// Linux has no drive letters. The drive entries are the places a learner recognises: the root
// folder "/", the home folder, and removable media mounted under /media, /run/media and /mnt.
// The root folder is the only "drive root": there the list has no ".." and the places come first;
// everywhere else the order is "..", folders, files, places.
//
// Paths are absolute and always end with "/". Names that begin with "." are never listed. A file
// is a program file when its name matches "*.*nc*" case-insensitively (PROG.NC, x.anc, a.b.nc1).

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace soustruh::ui {

// TPolozka kinds; the number is also the icon's index + 1.
enum class EntryKind : std::uint8_t {
  FloppyDrive = 1,  // not found on Linux; kept so that the icon table stays complete
  FixedDrive = 2,   // the root folder and the home folder
  CdRomDrive = 3,
  RemovableDrive = 4,  // a medium under /media, /run/media or /mnt
  NetworkDrive = 5,
  RamDisk = 6,
  Parent = 7,
  Folder = 8,
  ProgramFile = 9,
};

struct TPolozka {
  QString name;  // as listed; for a place, its path
  EntryKind kind = EntryKind::Folder;
};

// The places of this computer: "/", the home folder, and every mounted medium in the usual mount
// folders (a sub-folder that is a mount point of its own). `home` empty: none.
std::vector<TPolozka> FindPlaces(const QString& home);

// The path with "//" collapsed and a trailing "/" (empty stays empty).
QString NormaliseFolder(QString path);
// "*.*nc*", case-insensitive.
bool MatchesProgramMask(const QString& name);
// A save name: not empty, none of " * / : < > ? \ |.
bool IsValidFileName(const QString& name);
// The path up to and including its second-to-last "/"; "/" stays "/".
QString ParentFolder(const QString& path);

// Fills the list for `path` (normalised): places, "..", folders and program files, grouped and
// each group sorted by the lower-cased names with the locale's collation (stable).
std::vector<TPolozka> ListFolder(const QString& path, const std::vector<TPolozka>& places);

// The state of the dialog's list: the current folder (kept between openings), the entries and
// the chosen file.
class ProgramFolderBrowser {
 public:
  explicit ProgramFolderBrowser(std::vector<TPolozka> places) : places_(std::move(places)) {}

  void Fill(const QString& path);
  const QString& folder() const { return folder_; }
  const std::vector<TPolozka>& entries() const { return entries_; }

  // What acting on an entry did.
  struct Outcome {
    bool chosen = false;  // a file was chosen (the chosen name is set)
    QString refusal;      // a message to show (inaccessible place); nothing changed
    int select = 0;       // the entry to select in the refilled list
  };
  // Acts on entry `index` (Enter, Space or a double click): a place or a folder is entered, ".."
  // goes up and selects the folder it left, a file is chosen. Out-of-range: nothing.
  Outcome Activate(int index);
  const QString& chosenFile() const { return chosen_; }
  void ClearChosen() { chosen_.clear(); }

  // The save button's check: the folder exists and `name` is a valid file name. On success the
  // chosen file is the folder + name.
  bool AcceptSaveName(const QString& name);

 private:
  std::vector<TPolozka> places_;
  QString folder_;
  std::vector<TPolozka> entries_;
  QString chosen_;
};

}  // namespace soustruh::ui
