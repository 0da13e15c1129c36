// Opening a document with the desktop's associated application, through Qt.
#pragma once

#include "platform/drive.hpp"
#include "platform/shell.hpp"

namespace window {

class QtShell final : public platform::Shell {
 public:
  explicit QtShell(const platform::Drive& drive) : drive_(drive) {}
  // QDesktopServices has no show command; mode is passed over.
  void shellopen(const std::string& url, std::int16_t mode) override;

 private:
  const platform::Drive& drive_;
};

}  // namespace window
