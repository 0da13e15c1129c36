// Opening a document with the application the desktop associates with its type.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The show command that both callers pass: start the application minimised. Linux
// desktops have no such request, so the implementations pass it over.
inline constexpr std::int16_t kShowMinimized = 6;

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the desktop to open the document at url (a path, resolved through the drive)
  // and returns without waiting for the application. Reports nothing: a missing document
  // or a type without an application is the desktop's to show.
  virtual void shellopen(const std::string& url, std::int16_t mode) = 0;
};

// Hands the document to xdg-open, as a desktop's file manager would.
class XdgShell final : public Shell {
 public:
  explicit XdgShell(const class Drive& drive) : drive_(drive) {}
  void shellopen(const std::string& url, std::int16_t mode) override;

 private:
  const class Drive& drive_;
};

}  // namespace platform
