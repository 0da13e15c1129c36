// Opening a document through xdg-open.
#include <spawn.h>

#include "platform/drive.hpp"
#include "platform/shell.hpp"

extern char** environ;

namespace platform {

void XdgShell::shellopen(const std::string& url, std::int16_t /*mode*/) {
  std::string path = drive_.resolve(url).string();
  if (path.empty()) return;
  char program[] = "xdg-open";
  char* argv[] = {program, path.data(), nullptr};
  // Not waited for: xdg-open may itself wait for the viewer. The console front end that
  // uses this ends soon after, and its children pass to the system.
  pid_t opener = 0;
  posix_spawnp(&opener, program, nullptr, nullptr, argv, environ);
}

}  // namespace platform
