// A file written beside its final name and moved into place whole, or not at all.
#include "platform/replacement.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kPart = ".part-";
constexpr std::string_view kAside = "-previous";

// The temporary files not yet renamed or removed, so that an ending program can remove
// them. Held while a commit moves files about: an ending program never sees a previous
// file stepped aside.
struct Pending {
  std::mutex mutex;
  std::set<std::string> paths;
};
Pending& pending() {
  static Pending p;
  return p;
}

// ".NAME.part-PID-N": hidden, and never a name the program itself uses.
std::filesystem::path temporary_beside(const std::filesystem::path& finalPath) {
  static std::atomic<unsigned> counter{0};
  const std::string name = "." + finalPath.filename().string() + std::string(kPart) +
                           std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return finalPath.parent_path() / name;
}

bool all_digits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A descriptor of the regular file at path, locked exclusively: then its writer is gone
// (the lock ends with the process that held it, however it ends). -1 when the writer
// still holds it, or the file cannot be checked (and is then left alone).
int lock_abandoned(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool name_taken(const std::filesystem::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

}  // namespace

std::optional<LeftoverName> leftover_name(std::string_view name) {
  LeftoverName parts;
  std::string_view stem = name;
  if (stem.ends_with(kAside)) {
    stem.remove_suffix(kAside.size());
    parts.steppedAside = true;
  }
  // The last ".part-" starts the writer's suffix, whatever the final name holds.
  const std::size_t part = stem.rfind(kPart);
  if (!stem.starts_with('.') || part == std::string_view::npos || part < 2) return std::nullopt;
  const std::string_view suffix = stem.substr(part + kPart.size());
  const std::size_t dash = suffix.find('-');
  if (dash == std::string_view::npos || !all_digits(suffix.substr(0, dash)) || !all_digits(suffix.substr(dash + 1))) {
    return std::nullopt;
  }
  parts.finalName = std::string(stem.substr(1, part - 1));
  parts.temporaryName = std::string(stem);
  return parts;
}

Replacement::Replacement(std::filesystem::path finalPath, FailureFlag& failures)
    : final_(std::move(finalPath)), failures_(&failures) {
  if (final_.empty() || !final_.has_filename()) {
    file_ = BinaryFile({}, BinaryFile::Mode::CreatedNew, failures);
    return;
  }
  // Made and listed in one step: an ending program never misses it.
  const std::lock_guard<std::mutex> listing(pending().mutex);
  temporary_ = temporary_beside(final_);
  file_ = BinaryFile(temporary_, BinaryFile::Mode::CreatedNew, failures);
  if (!file_.is_open()) {
    temporary_.clear();
    return;
  }
  // A second description of the file holds the lock, so that it outlives the writing
  // one, which commit() closes before the rename.
  lock_ = ::open(temporary_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (lock_ >= 0) ::flock(lock_, LOCK_EX | LOCK_NB);
  pending().paths.insert(temporary_.string());
}

Replacement::Replacement(Replacement&& other) noexcept
    : final_(std::move(other.final_)),
      temporary_(std::exchange(other.temporary_, {})),
      failures_(other.failures_),
      file_(std::move(other.file_)),
      lock_(std::exchange(other.lock_, -1)) {}

Replacement::~Replacement() { discard(); }

Status Replacement::close() {
  file_.close();
  return file_.error() ? Status::failure(file_.error()) : Status();
}

Status Replacement::commit() {
  Status status = close();
  if (status && !temporary_.empty()) {
    const std::lock_guard<std::mutex> moving(pending().mutex);
    // The previous file steps aside first: renaming over it would make the file system
    // write the new one out at once (ext4 does, for safety), which costs more than the
    // conversion's own writing. Should the new one not take its place, it steps back.
    // A folder in its place stays there, and the rename below fails on it.
    const std::filesystem::path aside = temporary_.string() + std::string(kAside);
    struct stat st {};
    const bool stepped = ::lstat(final_.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
                         ::rename(final_.c_str(), aside.c_str()) == 0;
    if (::rename(temporary_.c_str(), final_.c_str()) == 0) {
      if (stepped) ::unlink(aside.c_str());
      pending().paths.erase(temporary_.string());
      temporary_.clear();
      ::close(std::exchange(lock_, -1));
      return status;
    }
    status = Status::failure(errno);
    if (stepped) ::rename(aside.c_str(), final_.c_str());
  }
  if (!status && failures_) failures_->raise();
  discard();
  return status;
}

void Replacement::discard() {
  file_.close();
  if (!temporary_.empty()) {
    const std::lock_guard<std::mutex> removing(pending().mutex);
    ::unlink(temporary_.c_str());
    pending().paths.erase(temporary_.string());
    temporary_.clear();
  }
  if (lock_ >= 0) ::close(std::exchange(lock_, -1));
}

void abandon_replacements() {
  // Never released: whatever would create or rename a file after this waits for ever,
  // and the program ends meanwhile.
  pending().mutex.lock();
  for (const std::string& path : pending().paths) ::unlink(path.c_str());
  pending().paths.clear();
}

int remove_leftovers(const std::filesystem::path& folder) {
  std::vector<LeftoverName> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (auto name = leftover_name(it->path().filename().string())) found.push_back(std::move(*name));
  }
  int dealt = 0;
  // Stepped-aside files first, while their writers' temporary files still tell whether
  // the writers run.
  for (const LeftoverName& name : found) {
    if (!name.steppedAside) continue;
    const std::filesystem::path aside = folder / (name.temporaryName + std::string(kAside));
    const std::filesystem::path temporary = folder / name.temporaryName;
    if (name_taken(temporary)) {
      const int fd = lock_abandoned(temporary);
      if (fd < 0) continue;  // its writer is in the middle of its commit
      ::close(fd);
    }
    // Killed between the two renames: the final name is empty, and the previous file
    // is all there is of it.
    const std::filesystem::path final = folder / name.finalName;
    const int done = name_taken(final) ? ::unlink(aside.c_str()) : ::rename(aside.c_str(), final.c_str());
    if (done == 0) ++dealt;
  }
  for (const LeftoverName& name : found) {
    if (name.steppedAside) continue;
    const std::filesystem::path temporary = folder / name.temporaryName;
    const int fd = lock_abandoned(temporary);
    if (fd < 0) continue;
    if (::unlink(temporary.c_str()) == 0) ++dealt;
    ::close(fd);
  }
  return dealt;
}

}  // namespace platform
