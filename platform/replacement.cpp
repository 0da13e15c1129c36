// A file written beside its final name and moved into place whole, or not at all.
#include "platform/replacement.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <utility>

namespace platform {
namespace {

// ".NAME.part-PID-N": hidden, and never a name the program itself uses.
std::filesystem::path temporary_beside(const std::filesystem::path& finalPath) {
  static std::atomic<unsigned> counter{0};
  const std::string name = "." + finalPath.filename().string() + ".part-" +
                           std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return finalPath.parent_path() / name;
}

}  // namespace

Replacement::Replacement(std::filesystem::path finalPath, FailureFlag& failures)
    : final_(std::move(finalPath)), failures_(&failures) {
  if (final_.empty() || !final_.has_filename()) {
    file_ = BinaryFile({}, BinaryFile::Mode::CreatedNew, failures);
    return;
  }
  temporary_ = temporary_beside(final_);
  file_ = BinaryFile(temporary_, BinaryFile::Mode::CreatedNew, failures);
  if (!file_.is_open()) temporary_.clear();
}

Replacement::Replacement(Replacement&& other) noexcept
    : final_(std::move(other.final_)),
      temporary_(std::exchange(other.temporary_, {})),
      failures_(other.failures_),
      file_(std::move(other.file_)) {}

Replacement::~Replacement() { discard(); }

Status Replacement::close() {
  file_.close();
  return file_.error() ? Status::failure(file_.error()) : Status();
}

Status Replacement::commit() {
  Status status = close();
  if (status && !temporary_.empty()) {
    // The previous file steps aside first: renaming over it would make the file system
    // write the new one out at once (ext4 does, for safety), which costs more than the
    // conversion's own writing. Should the new one not take its place, it steps back.
    // A folder in its place stays there, and the rename below fails on it.
    const std::filesystem::path aside = temporary_.string() + "-previous";
    struct stat st {};
    const bool stepped = ::lstat(final_.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
                         ::rename(final_.c_str(), aside.c_str()) == 0;
    if (::rename(temporary_.c_str(), final_.c_str()) == 0) {
      temporary_.clear();
      if (stepped) ::unlink(aside.c_str());
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
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace platform
