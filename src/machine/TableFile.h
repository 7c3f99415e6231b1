#pragma once
// The start-up check of the two table files (korekce.txt, nulbody.txt): reading, deciding whether
// the file is good, and the repair of a missing or malformed one, without ever losing what the
// user wrote.
//
// A repair on disk happens under an exclusive lock of the data folder (FolderLock), so that two
// simulators starting over the same folder never repair it at once: the second waits and then
// finds the repaired file good. A malformed file is first kept as a new backup with the date and
// time in its name (an older backup is never replaced) and is overwritten only once that copy is
// safely on disk. A file that cannot be read is never overwritten: it may be perfectly good.
// Headless commands repair in memory only and say so; they never write into the data folder.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace soustruh {

// What a start-up check of a table file found.
enum class TableLoadResult { Ok, Missing, Malformed, Unreadable };

// Whether a start-up may repair a table file on disk.
enum class TableRepair {
  OnDisk,    // the window: the file is rebuilt (a malformed one kept as a backup first)
  InMemory,  // headless commands: only the table in memory is rebuilt
};

struct TableLoad {
  TableLoadResult result = TableLoadResult::Ok;
  std::string reason;  // why an Unreadable file could not be read, in Czech
  std::string note;    // lines for the user's message, each starting with "\r\n"
};

// Checks directory/fileName. `accept` is given the file's lines and returns whether they are a
// good table (it may take them over). For a file that is missing, malformed or unreadable,
// `rebuild` makes the zero table and returns the lines to write; the file is then repaired as
// `repair` allows (see above) and `note` says what became of the file.
TableLoad LoadTableFile(const std::filesystem::path& directory, std::string_view fileName,
                        TableRepair repair,
                        const std::function<bool(std::vector<std::string>&)>& accept,
                        const std::function<std::vector<std::string>()>& rebuild);

// The user's message for a table that was not Ok: `what` names the table ("Soubor korekcí
// nástrojů"), followed by the bare file name, what was found, and the note.
std::string TableMessage(std::string_view what, std::string_view fileName, const TableLoad& load);

// The message for a failed write of `fileName`, bare file name only; `reason` (Czech, may be
// empty) is added in parentheses.
std::string WriteFailedMessage(std::string_view fileName, std::string_view reason = {});

}  // namespace soustruh
