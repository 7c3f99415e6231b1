#include "machine/TableFile.h"

#include <chrono>
#include <optional>

#include "platform/FileAccess.h"
#include "platform/TextFile.h"

namespace soustruh {

namespace fs = std::filesystem;

namespace {

// Another instance repairs in milliseconds; a lock held longer belongs to a process that hangs.
constexpr std::chrono::milliseconds kLockWait{10000};

constexpr std::string_view kOnlyInMemory =
    "\r\nTabulka s nulovými hodnotami platí jen v paměti, soubor zůstal beze změny.";

std::string InParentheses(std::string_view reason) {
  return reason.empty() ? std::string() : " (" + std::string(reason) + ")";
}

// The repair on disk of a file that is missing or malformed (`original` holds its bytes).
std::string RepairOnDisk(const fs::path& directory, std::string_view fileName,
                         TableLoadResult found, std::string_view original,
                         const std::vector<std::string>& lines) {
  std::string note;
  if (found == TableLoadResult::Malformed) {
    const BackupResult backup = WriteNewBackup(directory, fileName, original);
    if (backup.name.empty())
      return "\r\nPůvodní soubor se nepodařilo zálohovat" +
             InParentheses(SystemErrorText(backup.error)) + ", proto nebyl přepsán.";
    note = "\r\nPůvodní soubor byl uložen jako '" + backup.name + "'.";
  }
  if (const int error = WriteTextLines(directory / fileName, lines); error != 0)
    note += "\r\n" + WriteFailedMessage(fileName, SystemErrorText(error));
  return note;
}

TableLoad Check(const fs::path& directory, std::string_view fileName, ByteRead& original,
                const std::function<bool(std::vector<std::string>&)>& accept) {
  TableLoad load;
  TextRead read = ReadText(directory / fileName, kDataFileLimits);
  if (read.raw.status == ReadStatus::Missing) {
    load.result = TableLoadResult::Missing;
  } else if (!read.ok()) {
    load.result = TableLoadResult::Unreadable;
    load.reason = ReadFailureText(read.raw, kDataFileLimits);
  } else if (!accept(read.content.lines)) {
    load.result = TableLoadResult::Malformed;
  }
  original = std::move(read.raw);
  return load;
}

}  // namespace

TableLoad LoadTableFile(const fs::path& directory, std::string_view fileName, TableRepair repair,
                        const std::function<bool(std::vector<std::string>&)>& accept,
                        const std::function<std::vector<std::string>()>& rebuild) {
  std::optional<FolderLock> lock;
  if (repair == TableRepair::OnDisk) lock.emplace(directory, kLockWait);
  ByteRead original;
  TableLoad load = Check(directory, fileName, original, accept);
  if (load.result == TableLoadResult::Ok) return load;
  const std::vector<std::string> lines = rebuild();
  if (load.result == TableLoadResult::Unreadable || repair == TableRepair::InMemory) {
    load.note = kOnlyInMemory;
  } else if (lock->busy()) {
    load.note =
        "\r\nSložku s daty právě opravuje jiná spuštěná instance simulátoru; tabulka s nulovými "
        "hodnotami platí jen v paměti.";
  } else {
    load.note = RepairOnDisk(directory, fileName, load.result, original.bytes, lines);
  }
  return load;
}

std::string TableMessage(std::string_view what, std::string_view fileName, const TableLoad& load) {
  std::string message = std::string(what) + " '" + std::string(fileName) + "'";
  switch (load.result) {
    case TableLoadResult::Ok:
      return {};
    case TableLoadResult::Missing:
      message += " nebyl nalezen.";
      break;
    case TableLoadResult::Malformed:
      message += " nemá správný formát!";
      break;
    case TableLoadResult::Unreadable:
      message += " se nepodařilo přečíst" + InParentheses(load.reason) + ".";
      break;
  }
  return message + load.note;
}

std::string WriteFailedMessage(std::string_view fileName, std::string_view reason) {
  return "Soubor '" + std::string(fileName) + "' se nepodařilo zapsat" + InParentheses(reason) +
         ".";
}

}  // namespace soustruh
