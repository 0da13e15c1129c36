// The environment every test process runs in.
#include "tests/support/environment.hpp"

#include <cstdlib>
#include <string>

namespace testsupport {

void prepare_environment() {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  const char* path = std::getenv("PATH");
  ::setenv("PATH", (std::string(FAKE_BIN_DIR) + ":" + (path ? path : "")).c_str(), 1);
}

}  // namespace testsupport
