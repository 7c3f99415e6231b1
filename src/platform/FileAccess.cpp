#include "platform/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <thread>

namespace soustruh {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr int kMaxLinkHops = 40;
constexpr int kMaxNameTries = 1000;

std::string SizeText(std::size_t bytes) {
  return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MiB" : std::to_string(bytes) + " B";
}

ByteRead Failed(ReadStatus status, int error) {
  ByteRead read;
  read.status = status;
  read.error = error;
  return read;
}

ByteRead OpenFailed(int error) {
  return Failed(error == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable, error);
}

// Waits until a non-blocking descriptor (a terminal or pipe someone set so) has data.
bool WaitReadable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, -1) >= 0 || errno == EINTR;
}

bool WriteAll(int fd, std::string_view bytes, int& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

fs::path FolderOf(const fs::path& path) {
  const fs::path dir = path.parent_path();
  return dir.empty() ? fs::path(".") : dir;
}

// The name of a temporary file of this process for `target`: ".korekce.txt.1234.0.tmp".
std::string TemporaryName(const fs::path& target, int attempt) {
  return "." + target.filename().string() + "." + std::to_string(getpid()) + "." +
         std::to_string(attempt) + ".tmp";
}

// Removes the temporary files of `target` left by processes that no longer run (killed in the
// middle of a save). Files of live processes, ours included, are left alone.
void RemoveStaleTemporaries(const fs::path& dir, const fs::path& target) {
  const std::string prefix = "." + target.filename().string() + ".";
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() + 4 || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - 4) != ".tmp")
      continue;
    const std::string middle(name.substr(prefix.size()));
    char* end = nullptr;
    const long pid = std::strtol(middle.c_str(), &end, 10);
    if (end == middle.c_str() || *end != '.' || pid <= 0 || pid > INT_MAX) continue;
    if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    unlinkat(dirfd(listing), entry->d_name, 0);
  }
  closedir(listing);
}

// A file being written before it gets its name: an unnamed file of the folder where the system
// has them (nothing is left behind if the process dies), else a named temporary file.
struct PendingFile {
  int fd = -1;
  fs::path named;  // the temporary name, when the file has one

  ~PendingFile() {
    if (fd >= 0) close(fd);
    if (!named.empty()) unlink(named.c_str());
  }
};

bool CreatePending(const fs::path& dir, const fs::path& target, PendingFile& file, int& error) {
  file.fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (file.fd >= 0) return true;
  for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
    const fs::path name = dir / TemporaryName(target, attempt);
    file.fd = open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (file.fd >= 0) {
      file.named = name;
      return true;
    }
    if (errno != EEXIST) break;
  }
  error = errno;
  return false;
}

// Gives the pending file the name `name` without replacing anything there (EEXIST when taken).
int LinkPending(const PendingFile& file, const fs::path& name) {
  if (!file.named.empty()) return link(file.named.c_str(), name.c_str()) == 0 ? 0 : errno;
  const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
  return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// Gives the pending file a temporary name of its own (an unnamed file needs one to be renamed).
int NamePending(PendingFile& file, const fs::path& dir, const fs::path& target) {
  if (!file.named.empty()) return 0;
  for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
    const fs::path name = dir / TemporaryName(target, attempt);
    const int error = LinkPending(file, name);
    if (error == 0) {
      file.named = name;
      return 0;
    }
    if (error != EEXIST) return error;
  }
  return EEXIST;
}

void SyncFolder(const fs::path& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

int ReplaceAtomically(const fs::path& target, std::string_view bytes,
                      std::optional<mode_t> keepMode) {
  const fs::path dir = FolderOf(target);
  RemoveStaleTemporaries(dir, target);
  PendingFile file;
  int error = 0;
  if (!CreatePending(dir, target, file, error)) return error;
  if (!WriteAll(file.fd, bytes, error)) return error;
  if (keepMode) fchmod(file.fd, *keepMode & 07777);
  if (fsync(file.fd) != 0) return errno;
  if ((error = NamePending(file, dir, target)) != 0) return error;
  if (rename(file.named.c_str(), target.c_str()) != 0) return errno;
  file.named.clear();  // it is the target now
  SyncFolder(dir);
  return 0;
}

int WriteStraight(const fs::path& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno;
  int error = 0;
  const bool written = WriteAll(fd, bytes, error);
  if (close(fd) != 0 && written) return errno;
  return written ? 0 : error;
}

// The file a dangling symbolic link points to (the path itself when it is no link).
std::optional<fs::path> FinalLinkTarget(fs::path path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::error_code ec;
    const fs::path next = fs::read_symlink(path, ec);
    if (ec) return std::nullopt;
    path = next.is_absolute() ? next : FolderOf(path) / next;
  }
  return std::nullopt;
}

}  // namespace

ByteRead ReadDescriptorBytes(int fd, const ReadLimits& limits) {
  ByteRead read;
  std::array<char, kChunk> buffer{};
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitReadable(fd)) continue;
      return Failed(ReadStatus::Unreadable, errno);
    }
    if (n == 0) return read;
    if (read.bytes.size() + static_cast<std::size_t>(n) > limits.maxBytes)
      return Failed(ReadStatus::TooLarge, 0);
    read.bytes.append(buffer.data(), static_cast<std::size_t>(n));
  }
}

ByteRead ReadFileBytes(const fs::path& path, const ReadLimits& limits) {
  // Without O_NONBLOCK a pipe nobody writes into would hold the open for ever.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return OpenFailed(errno);
  struct stat st {};
  ByteRead read;
  if (fstat(fd, &st) != 0) {
    read = Failed(ReadStatus::Unreadable, errno);
  } else if (S_ISDIR(st.st_mode)) {
    read = Failed(ReadStatus::Unreadable, EISDIR);
  } else if (!S_ISREG(st.st_mode) && limits.regularOnly) {
    read = Failed(ReadStatus::NotRegular, 0);
  } else if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > limits.maxBytes) {
    read = Failed(ReadStatus::TooLarge, 0);
  } else {
    // A pipe is read as its writer delivers, so it blocks again from here on.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    read = ReadDescriptorBytes(fd, limits);
  }
  close(fd);
  return read;
}

std::string SystemErrorText(int error) {
  switch (error) {
    case ENOENT:
      return "soubor nebo složka neexistuje";
    case EACCES:
    case EPERM:
      return "přístup byl odepřen";
    case EISDIR:
      return "je to složka";
    case ENOTDIR:
      return "část cesty není složka";
    case ENOSPC:
      return "na disku není místo";
    case EDQUOT:
      return "byla překročena kvóta disku";
    case EROFS:
      return "disk je jen pro čtení";
    case EIO:
      return "chyba vstupu nebo výstupu";
    case EFBIG:
      return "soubor je příliš velký";
    case ENAMETOOLONG:
      return "jméno je příliš dlouhé";
    case ELOOP:
      return "příliš mnoho symbolických odkazů";
    case EMFILE:
    case ENFILE:
      return "je otevřeno příliš mnoho souborů";
    case ENOMEM:
      return "nedostatek paměti";
    case EBUSY:
    case ETXTBSY:
      return "soubor je používán";
    case ENXIO:
      return "zařízení není připojeno";
    default:
      return std::strerror(error);
  }
}

std::string ReadFailureText(const ByteRead& read, const ReadLimits& limits) {
  switch (read.status) {
    case ReadStatus::Ok:
      return {};
    case ReadStatus::Missing:
    case ReadStatus::Unreadable:
      return SystemErrorText(read.error);
    case ReadStatus::NotRegular:
      return "není to obyčejný soubor";
    case ReadStatus::TooLarge:
      return "soubor je větší než " + SizeText(limits.maxBytes);
    case ReadStatus::TooManyLines:
      return "soubor má více než " + std::to_string(limits.maxLines) + " řádků";
  }
  return {};
}

std::string ReadFailureTextEnglish(const ByteRead& read, const ReadLimits& limits) {
  switch (read.status) {
    case ReadStatus::Ok:
      return {};
    case ReadStatus::Missing:
    case ReadStatus::Unreadable:
      return std::strerror(read.error);
    case ReadStatus::NotRegular:
      return "not a regular file";
    case ReadStatus::TooLarge:
      return "larger than " + SizeText(limits.maxBytes);
    case ReadStatus::TooManyLines:
      return "more than " + std::to_string(limits.maxLines) + " lines";
  }
  return {};
}

int WriteFileBytes(const fs::path& path, std::string_view bytes) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return WriteStraight(path, bytes);
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return errno;
    const fs::path target(real);
    std::free(real);
    return ReplaceAtomically(target, bytes, st.st_mode);
  }
  if (errno != ENOENT) return errno;
  const auto target = FinalLinkTarget(path);
  if (!target) return ELOOP;
  return ReplaceAtomically(*target, bytes, std::nullopt);
}

BackupResult WriteNewBackup(const fs::path& directory, std::string_view fileName,
                            std::string_view bytes) {
  const std::time_t when = std::time(nullptr);
  std::tm local{};
  localtime_r(&when, &local);
  std::array<char, 32> stamp{};
  std::strftime(stamp.data(), stamp.size(), "%Y-%m-%d_%H-%M-%S", &local);
  const fs::path dir = directory.empty() ? fs::path(".") : directory;
  const std::string base = std::string(fileName) + "." + stamp.data();
  // The copy is written under the temporary name of the table itself, so a copy cut short by a
  // kill is removed by the next save of the table.
  const fs::path tempFor = dir / fileName;
  RemoveStaleTemporaries(dir, tempFor);

  BackupResult result;
  PendingFile file;
  if (!CreatePending(dir, tempFor, file, result.error)) return result;
  if (!WriteAll(file.fd, bytes, result.error)) return result;
  if (fsync(file.fd) != 0) {
    result.error = errno;
    return result;
  }
  for (int k = 1; k <= kMaxNameTries; ++k) {
    std::string name = base + (k > 1 ? "-" + std::to_string(k) : std::string()) + ".bak";
    const int error = LinkPending(file, dir / name);
    if (error == EEXIST) continue;
    if (error != 0) {
      result.error = error;
      return result;
    }
    SyncFolder(dir);
    result.name = std::move(name);
    return result;
  }
  result.error = EEXIST;
  return result;
}

FolderLock::FolderLock(const fs::path& directory, std::chrono::milliseconds wait) {
  fd_ = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      locked_ = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= deadline) {
      busy_ = true;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);  // closing releases the lock
}

}  // namespace soustruh
