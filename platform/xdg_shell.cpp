// Opening a document through xdg-open.
#include "platform/drive.hpp"
#include "platform/process.hpp"
#include "platform/shell.hpp"

namespace platform {

void XdgShell::shellopen(const std::string& url, std::int16_t /*mode*/) {
  const std::string path = drive_.resolve(url).string();
  // Not waited for: xdg-open may itself wait for the viewer. The console front end that
  // uses this ends soon after, and its children pass to the system.
  if (!path.empty()) start_process({"xdg-open", path});
}

}  // namespace platform
