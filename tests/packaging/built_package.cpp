#include "tests/packaging/built_package.hpp"

#include "tests/support/process.hpp"

namespace testsupport {

std::string debian_architecture() {
  std::string arch = run_process({"dpkg", "--print-architecture"}).out;
  while (!arch.empty() && arch.back() == '\n') arch.pop_back();
  return arch;
}

std::variant<std::filesystem::path, std::string> built_package(const std::filesystem::path& folder) {
  const ProcessResult run = run_process({CPACK_COMMAND, "-G", "DEB", "--config", CPACK_CONFIG, "-B", folder.string()});
  const auto deb = folder / ("fid-song_" PROJECT_VERSION "_" + debian_architecture() + ".deb");
  if (run.status != 0 || !std::filesystem::is_regular_file(deb)) return run.out + run.err;
  return deb;
}

}  // namespace testsupport
