// Opening a document through xdg-open.
#include <sys/wait.h>

#include <algorithm>
#include <thread>

#include "platform/drive.hpp"
#include "platform/process.hpp"
#include "platform/shell.hpp"

namespace platform {

void XdgShell::shellopen(const std::string& url, std::int16_t /*mode*/) {
  const std::string path = drive_.resolve(url).string();
  if (path.empty()) return;
  const pid_t pid = start_process({"xdg-open", path});
  if (pid < 0) {
    if (notice_) notice_(path, -1);
    return;
  }
  openers_.push_back({pid, path});
}

void XdgShell::collect() {
  std::erase_if(openers_, [this](const Opener& opener) {
    int status = 0;
    const pid_t ended = ::waitpid(opener.pid, &status, WNOHANG);
    if (ended == 0) return false;  // still running
    const int code = ended < 0 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (code != 0 && notice_) notice_(opener.path, code);
    return true;
  });
}

void XdgShell::wait(std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  for (collect(); !openers_.empty() && std::chrono::steady_clock::now() < until; collect()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace platform
