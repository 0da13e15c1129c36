// The environment every test process runs in, however it is started.
#pragma once

namespace testsupport {

// No sound card is ever reached (SDL's dummy driver), and a stand-in xdg-open comes
// first on PATH, so that no test opens a real viewer.
void prepare_environment();

}  // namespace testsupport
