// Opening a document with the application the desktop associates with its type.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace platform {

class Drive;

// The show command that both callers pass: start the application minimised. Linux
// desktops have no such request, so the implementations pass it over.
inline constexpr std::int16_t kShowMinimized = 6;

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the desktop to open the document at url (a path, resolved through the drive)
  // and returns without waiting for the application.
  virtual void shellopen(const std::string& url, std::int16_t mode) = 0;
};

// Hands the document to xdg-open, as a desktop's file manager would. xdg-open's exit
// status says whether the desktop could open it; that may come at once, or only when a
// viewer that xdg-open waits for ends, so it is collected later.
class XdgShell final : public Shell {
 public:
  // notice: told of each document that the desktop could not open, with xdg-open's exit
  // status (-1 when xdg-open could not be started at all).
  using FailureNotice = std::function<void(const std::string& path, int status)>;
  XdgShell(const Drive& drive, FailureNotice notice) : drive_(drive), notice_(std::move(notice)) {}

  void shellopen(const std::string& url, std::int16_t mode) override;

  // Collects the openers that have ended, telling of failures; returns at once.
  void collect();
  // Whether an opener has not ended yet.
  bool awaiting() const { return !openers_.empty(); }
  // Collects them as they end, for at most limit; the ones still running are left to
  // the system.
  void wait(std::chrono::milliseconds limit);

 private:
  struct Opener {
    pid_t pid;
    std::string path;
  };

  const Drive& drive_;
  FailureNotice notice_;
  std::vector<Opener> openers_;
};

}  // namespace platform
