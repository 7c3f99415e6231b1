#include "ui/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace soustruh::ui {
namespace {

const QStringList kMountFolders = {"/media/", "/run/media/", "/mnt/"};

bool Hidden(const QString& name) {
  return name.startsWith('.');
}

void SortGroup(std::vector<TPolozka>& group) {
  std::stable_sort(group.begin(), group.end(), [](const TPolozka& a, const TPolozka& b) {
    return QString::localeAwareCompare(a.name.toLower(), b.name.toLower()) < 0;
  });
}

}  // namespace

std::vector<TPolozka> FindPlaces(const QString& home) {
  std::vector<TPolozka> places{{"/", EntryKind::FixedDrive}};
  const QString homeFolder = NormaliseFolder(home);
  if (!homeFolder.isEmpty() && homeFolder != "/")
    places.push_back({homeFolder, EntryKind::FixedDrive});
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = NormaliseFolder(volume.rootPath());
    const bool underMountFolder = std::any_of(kMountFolders.begin(), kMountFolders.end(),
                                              [&](const QString& f) { return root.startsWith(f); });
    if (underMountFolder && volume.isValid() && root != homeFolder)
      places.push_back({root, EntryKind::RemovableDrive});
  }
  return places;
}

QString NormaliseFolder(QString path) {
  while (path.contains("//")) path.replace("//", "/");
  if (!path.isEmpty() && !path.endsWith('/')) path += '/';
  return path;
}

bool MatchesProgramMask(const QString& name) {
  const qsizetype dot = name.indexOf('.');
  return dot >= 0 && name.indexOf(QStringLiteral("nc"), dot + 1, Qt::CaseInsensitive) >= 0;
}

bool IsValidFileName(const QString& name) {
  static const QString kForbidden = QStringLiteral("\"*/:<>?\\|");
  return !name.isEmpty() &&
         std::none_of(name.begin(), name.end(), [](QChar c) { return kForbidden.contains(c); });
}

QString ParentFolder(const QString& path) {
  const qsizetype last = path.lastIndexOf('/', path.endsWith('/') ? -2 : -1);
  return last < 0 ? path : path.left(last + 1);
}

std::vector<TPolozka> ListFolder(const QString& path, const std::vector<TPolozka>& places) {
  std::vector<TPolozka> drives = places, folders, files;
  const QDir dir(path);
  for (const QFileInfo& info : dir.entryInfoList(QDir::AllDirs | QDir::NoDotAndDotDot)) {
    if (!Hidden(info.fileName())) folders.push_back({info.fileName(), EntryKind::Folder});
  }
  for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::System)) {
    const QString name = info.fileName();
    if (!Hidden(name) && MatchesProgramMask(name)) files.push_back({name, EntryKind::ProgramFile});
  }
  SortGroup(drives);
  SortGroup(folders);
  SortGroup(files);
  std::vector<TPolozka> list;
  const bool root = path == "/";
  if (root) list.insert(list.end(), drives.begin(), drives.end());
  if (!root) list.push_back({"..", EntryKind::Parent});
  list.insert(list.end(), folders.begin(), folders.end());
  list.insert(list.end(), files.begin(), files.end());
  if (!root) list.insert(list.end(), drives.begin(), drives.end());
  return list;
}

void ProgramFolderBrowser::Fill(const QString& path) {
  folder_ = NormaliseFolder(path);
  entries_ = ListFolder(folder_, places_);
}

ProgramFolderBrowser::Outcome ProgramFolderBrowser::Activate(int index) {
  Outcome outcome;
  if (index < 0 || index >= static_cast<int>(entries_.size())) return outcome;
  const TPolozka entry = entries_[static_cast<std::size_t>(index)];
  QString path = folder_;
  QString left;
  switch (entry.kind) {
    case EntryKind::Parent:
      left = folder_.section('/', -2, -2);
      path = ParentFolder(folder_);
      break;
    case EntryKind::Folder:
      path = folder_ + entry.name + '/';
      break;
    case EntryKind::ProgramFile:
      if (QFileInfo::exists(folder_ + entry.name)) {
        chosen_ = folder_ + entry.name;
        outcome.chosen = true;
      }
      outcome.select = index;
      break;
    default:  // a place
      if (QFileInfo(entry.name).isDir() && QDir(entry.name).isReadable()) {
        path = entry.name;
      } else {
        outcome.refusal = QStringLiteral("Disk %1 není přístupný").arg(entry.name);
      }
      break;
  }
  Fill(path);
  if (!left.isEmpty()) {
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i].name == left) outcome.select = static_cast<int>(i);
  }
  if (outcome.select >= static_cast<int>(entries_.size())) outcome.select = 0;
  return outcome;
}

bool ProgramFolderBrowser::AcceptSaveName(const QString& name) {
  if (!QFileInfo(folder_).isDir() || !IsValidFileName(QFileInfo(name).fileName()) ||
      !IsValidFileName(name))
    return false;
  chosen_ = folder_ + name;
  return true;
}

}  // namespace soustruh::ui
