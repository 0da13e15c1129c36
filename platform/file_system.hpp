// File operations by path, on native paths and on the "C:\..." paths of the drive folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/binary_file.hpp"
#include "platform/drive.hpp"
#include "platform/failure_flag.hpp"
#include "platform/replacement.hpp"
#include "platform/status.hpp"

namespace platform {

class FileSystem;

// Holds the lock that FileSystem::lock() took, until it ends.
class [[nodiscard]] Lock {
 public:
  explicit Lock(FileSystem* owner) : owner_(owner) {}
  Lock(Lock&& other) noexcept : owner_(std::exchange(other.owner_, nullptr)) {}
  Lock& operator=(Lock&&) = delete;
  ~Lock();

 private:
  FileSystem* owner_;
};

// Every operation resolves its paths through the drive, never throws, and raises the
// failure flag when it fails; a failed operation leaves its target as it was and says
// why, with the system's reason.
class FileSystem {
 public:
  explicit FileSystem(Drive drive) : drive_(std::move(drive)) {}
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;

  const Drive& drive() const { return drive_; }
  FailureFlag& failures() { return failures_; }

  // Read and write at 1-based positions; creates a missing file.
  BinaryFile open_binary(std::string_view path);
  // Write only; creates the file or empties it.
  BinaryFile open_for_writing(std::string_view path);
  // Read only: for files that are only read. The second creates a missing file empty
  // first (never through a link), where the folder allows it.
  BinaryFile open_for_reading(std::string_view path);
  BinaryFile open_for_reading_created(std::string_view path);

  // Whether path names a folder, or a regular file (links followed). Probes: they never
  // raise the flag.
  bool is_folder(std::string_view path) const;
  bool is_file(std::string_view path) const;

  // The file's bytes, at most its first mostBytes; empty when it cannot be opened for
  // reading (missing, unreadable, not a regular file). Never raises the flag.
  std::string read_start(std::string_view path, std::size_t mostBytes) const;

  // Length of the file at path; -1 when there is no such file.
  std::int64_t length_of(std::string_view path);
  // Replaces the destination whole, or leaves it as it was when anything fails (the
  // source missing or not a regular file, a full disk). The copy is always readable and
  // writable by its owner.
  Status copy_file(std::string_view from, std::string_view to);
  // A file to be written beside path and renamed into place (see Replacement).
  Replacement replace(std::string_view path);
  // Removes what interrupted runs left in the folder (see platform::remove_leftovers).
  void remove_leftovers(std::string_view folder);
  // Fails when there is no such file; never deletes a folder.
  Status delete_file(std::string_view path);
  // Fails when the folder exists or its parent does not.
  Status create_folder(std::string_view path);
  // The folder and every missing folder above it; an existing folder is fine.
  Status create_folders(std::string_view path);

  // The name of the first ordinary file in the pattern's folder that its last component
  // matches ("*" and "?", letter case not significant), in the folder's own order; names
  // that begin with "." are not listed. Empty when none matches or the folder is missing.
  std::string first_match(std::string_view pattern) const;
  // Every such name, in the same order, the first most of them.
  std::vector<std::string> matches(std::string_view pattern, std::size_t most) const;

  // An advisory lock (flock) on the file at path, created when missing, held until the
  // returned Lock ends: one holder at a time across processes, while holds nested in
  // this one are free. When another process holds it for more than a second, the
  // waiting notice is given once, and the wait goes on. A lock file that cannot be made
  // locks nothing. Once taken (by the outermost hold), what interrupted runs left in the
  // lock file's folder is removed, before the holder writes anything there.
  Lock lock(std::string_view path);
  void set_waiting_notice(std::function<void()> notice) { waitingNotice_ = std::move(notice); }

 private:
  friend class Lock;
  void unlock();
  Status failed(const std::error_code& ec);  // raises the flag

  Drive drive_;
  FailureFlag failures_;
  int lockFile_ = -1;
  int lockDepth_ = 0;
  std::function<void()> waitingNotice_;
};

// Whether name matches a pattern of "*" (any run) and "?" (any one byte), ASCII letters
// compared without regard to case.
bool wildcard_match(std::string_view pattern, std::string_view name);

}  // namespace platform
