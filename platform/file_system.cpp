// File operations by path.
#include "platform/file_system.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <system_error>

namespace platform {
namespace fs = std::filesystem;
namespace {

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view name) {
  // Greedy matching with one backtrack point: the last "*" seen.
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

BinaryFile FileSystem::open_binary(std::string_view path) {
  return BinaryFile(drive_.resolve(path), BinaryFile::Mode::Binary, failures_);
}

BinaryFile FileSystem::open_for_writing(std::string_view path) {
  return BinaryFile(drive_.resolve(path), BinaryFile::Mode::Writing, failures_);
}

BinaryFile FileSystem::open_for_reading(std::string_view path) {
  return BinaryFile(drive_.resolve(path), BinaryFile::Mode::Reading, failures_);
}

BinaryFile FileSystem::open_for_reading_created(std::string_view path) {
  return BinaryFile(drive_.resolve(path), BinaryFile::Mode::ReadingCreated, failures_);
}

bool FileSystem::is_folder(std::string_view path) const {
  std::error_code ec;
  const fs::path resolved = drive_.resolve(path);
  return !resolved.empty() && fs::is_directory(resolved, ec);
}

bool FileSystem::is_file(std::string_view path) const {
  std::error_code ec;
  const fs::path resolved = drive_.resolve(path);
  return !resolved.empty() && fs::is_regular_file(resolved, ec);
}

std::string FileSystem::read_start(std::string_view path, std::size_t mostBytes) const {
  FailureFlag passedOver;
  BinaryFile file(drive_.resolve(path), BinaryFile::Mode::Reading, passedOver);
  const std::int64_t length = file.length();
  if (length <= 0) return {};
  std::string bytes(std::min(static_cast<std::size_t>(length), mostBytes), '\0');
  bytes.resize(file.read(bytes.data(), bytes.size()));
  return bytes;
}

std::int64_t FileSystem::length_of(std::string_view path) {
  std::error_code ec;
  const auto size = fs::file_size(drive_.resolve(path), ec);
  if (ec) {
    failures_.raise();
    return -1;
  }
  return static_cast<std::int64_t>(size);
}

Status FileSystem::copy_file(std::string_view from, std::string_view to) {
  BinaryFile source(drive_.resolve(from), BinaryFile::Mode::Reading, failures_);
  if (!source.is_open()) return Status::failure(source.error());
  // Written beside the destination and renamed into place: a copy that fails half way
  // (a full disk) leaves the destination as it was. A new file: always readable and
  // writable by its owner, so that a write-protected dataset is replaced by the next.
  Replacement copy = replace(to);
  source.copy_rest_to(copy.file());
  source.close();
  if (source.error()) return Status::failure(source.error());
  return copy.commit();
}

Replacement FileSystem::replace(std::string_view path) { return Replacement(drive_.resolve(path), failures_); }

void FileSystem::remove_leftovers(std::string_view folder) {
  const fs::path resolved = drive_.resolve(folder);
  if (!resolved.empty()) platform::remove_leftovers(resolved);
}

Status FileSystem::delete_file(std::string_view path) {
  const fs::path target = drive_.resolve(path);
  std::error_code ec;
  if (target.empty()) return failed(std::make_error_code(std::errc::no_such_file_or_directory));
  if (fs::is_directory(fs::symlink_status(target, ec))) {
    return failed(std::make_error_code(std::errc::is_a_directory));
  }
  if (!fs::remove(target, ec) && !ec) ec = std::make_error_code(std::errc::no_such_file_or_directory);
  return ec ? failed(ec) : Status();
}

Status FileSystem::create_folder(std::string_view path) {
  const fs::path target = drive_.resolve(path);
  std::error_code ec;
  if (target.empty()) return failed(std::make_error_code(std::errc::no_such_file_or_directory));
  if (!fs::create_directory(target, ec) && !ec) ec = std::make_error_code(std::errc::file_exists);
  return ec ? failed(ec) : Status();
}

Status FileSystem::create_folders(std::string_view path) {
  const fs::path target = drive_.resolve(path);
  std::error_code ec;
  if (target.empty()) return failed(std::make_error_code(std::errc::no_such_file_or_directory));
  fs::create_directories(target, ec);
  if (!ec && !fs::is_directory(target, ec) && !ec) ec = std::make_error_code(std::errc::not_a_directory);
  return ec ? failed(ec) : Status();
}

Status FileSystem::failed(const std::error_code& ec) {
  failures_.raise();
  return Status::from(ec);
}

Lock::~Lock() {
  if (owner_) owner_->unlock();
}

Lock FileSystem::lock(std::string_view path) {
  if (lockDepth_++ > 0) return Lock(this);
  const fs::path resolved = drive_.resolve(path);
  lockFile_ = resolved.empty() ? -1 : ::open(resolved.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  const auto held = [&] {
    if (!resolved.empty()) platform::remove_leftovers(resolved.parent_path());
    return Lock(this);
  };
  if (lockFile_ < 0 || ::flock(lockFile_, LOCK_EX | LOCK_NB) == 0) return held();
  // Held elsewhere: a moment's wait is not worth a word, a longer one is.
  using namespace std::chrono_literals;
  const auto noticeAt = std::chrono::steady_clock::now() + 1s;
  while (std::chrono::steady_clock::now() < noticeAt) {
    std::this_thread::sleep_for(20ms);
    if (::flock(lockFile_, LOCK_EX | LOCK_NB) == 0) return held();
  }
  if (waitingNotice_) waitingNotice_();
  while (::flock(lockFile_, LOCK_EX) != 0 && errno == EINTR) {
  }
  return held();
}

void FileSystem::unlock() {
  if (--lockDepth_ > 0) return;
  if (lockFile_ >= 0) ::close(lockFile_);  // which releases the lock
  lockFile_ = -1;
}

std::string FileSystem::first_match(std::string_view pattern) const {
  const std::vector<std::string> first = matches(pattern, 1);
  return first.empty() ? std::string() : first.front();
}

std::vector<std::string> FileSystem::matches(std::string_view pattern, std::size_t most) const {
  std::vector<std::string> names;
  const fs::path resolved = drive_.resolve(pattern);
  if (resolved.empty()) return names;
  const std::string glob = resolved.filename().string();
  const fs::path folder = resolved.has_parent_path() ? resolved.parent_path() : fs::path(".");
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end && names.size() < most; it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (name.front() != '.' && it->is_regular_file(type_ec) && wildcard_match(glob, name)) names.push_back(std::move(name));
  }
  return names;
}

}  // namespace platform
