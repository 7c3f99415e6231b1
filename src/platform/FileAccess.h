#pragma once
// Bytes to and from files, with the guarantees the rest of the program relies on: a read never
// throws, never hangs on a pipe nobody writes and never swallows more than its bound; a save
// never leaves a torn file, never turns a device or a symbolic link into a regular file, and a
// backup never replaces an earlier backup. POSIX only (the program runs on Linux).
//
// Failures are reported as errno values, so that the window can word them in Czech
// (SystemErrorText) and the CLI in the system's own words (std::strerror).

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace soustruh {

// What a read accepts. A read past maxBytes, or text of more than maxLines lines, is refused
// whole: half a program or half a table would be worse than none.
struct ReadLimits {
  std::size_t maxBytes = 0;
  std::size_t maxLines = 0;
  // Refuse anything but a regular file (a device, a pipe, a socket) without reading it. The data
  // files are never anything else; a part program given to the CLI may come through a pipe.
  bool regularOnly = true;
};

// The four data files: real ones are a few kilobytes.
inline constexpr ReadLimits kDataFileLimits{4u << 20, 100'000, true};
// Part programs: far beyond anything a lathe runs (a million blocks), yet small enough that a
// refused file near the bound costs no more than about a hundred megabytes while it is read.
inline constexpr ReadLimits kProgramLimits{64u << 20, 1'000'000, false};

enum class ReadStatus {
  Ok,
  Missing,       // the file does not exist (ENOENT, or a path through a non-folder)
  Unreadable,    // it exists but cannot be opened or read; `error` says why (EISDIR for a folder)
  NotRegular,    // a device, pipe or socket where only a regular file is accepted
  TooLarge,      // more than maxBytes
  TooManyLines,  // more than maxLines (set by the text layer, which counts lines)
};

struct ByteRead {
  ReadStatus status = ReadStatus::Ok;
  int error = 0;  // errno for Missing and Unreadable
  std::string bytes;

  bool ok() const { return status == ReadStatus::Ok; }
};

// Reads a whole file within `limits`. A regular file larger than the bound is refused from its
// size without reading; anything else is read up to one byte past the bound.
ByteRead ReadFileBytes(const std::filesystem::path& path, const ReadLimits& limits);
// The same from an open descriptor (standard input), which is neither opened nor closed here.
ByteRead ReadDescriptorBytes(int fd, const ReadLimits& limits);

// Why a read failed, in Czech, without the file name: "je to složka", "soubor je větší než
// 4 MiB", ... Empty for Ok.
std::string ReadFailureText(const ByteRead& read, const ReadLimits& limits);
// The same in English for the CLI's own messages ("is a directory", "larger than 64 MiB").
std::string ReadFailureTextEnglish(const ByteRead& read, const ReadLimits& limits);

// A Czech description of an errno value for the user's messages; the system's text for the
// values without one of ours.
std::string SystemErrorText(int error);

// Writes `bytes` to `path` and returns 0, or the errno of the failure.
// - A regular file (also one reached through symbolic links) is replaced atomically: a file in
//   the same folder is written, flushed and renamed over the link's final target, so the target
//   is always whole (old or new) and the links stay links. Its permissions are kept.
// - A path that does not exist is created the same way; a dangling symbolic link creates its
//   target.
// - Anything else that exists and is not a folder (a device such as /dev/null, a pipe) is written
//   straight into, never replaced.
// - A folder is refused with EISDIR.
// A temporary file left by a process that was killed in the middle of a save of the same file is
// removed by the next save of it.
int WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Keeps `bytes` as a new backup of `fileName` in `directory`, named fileName + "." + the present
// local date and time + ".bak" (korekce.txt.2025-03-01_14-05-09.bak), with "-2", "-3", ... before
// ".bak" when that name is taken. It never replaces an existing file and never leaves a partial
// one: the copy is complete and flushed before its name appears. `name` is the bare file name
// chosen; on failure it is empty and `error` is the errno.
struct BackupResult {
  std::string name;
  int error = 0;
};
BackupResult WriteNewBackup(const std::filesystem::path& directory, std::string_view fileName,
                            std::string_view bytes);

// An exclusive advisory lock on a folder, so that two instances starting over the same data
// folder do not repair its tables at the same time. It takes no file in the folder (it locks the
// folder itself), so a read-only folder can be locked too. Released by the destructor.
class FolderLock {
 public:
  // Tries for up to `wait`; locked() tells whether it succeeded.
  FolderLock(const std::filesystem::path& directory, std::chrono::milliseconds wait);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool locked() const { return locked_; }
  // Another process held the lock for the whole wait (rather than the folder being unopenable or
  // its file system having no locks).
  bool busy() const { return busy_; }

 private:
  int fd_ = -1;
  bool locked_ = false;
  bool busy_ = false;
};

}  // namespace soustruh
