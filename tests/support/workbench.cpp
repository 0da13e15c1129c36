// A program's services over a temporary drive folder.
#include "tests/support/workbench.hpp"

namespace testsupport {

Workbench::Workbench() : files(platform::Drive(root.path() / "drive_c")) {
  std::filesystem::create_directories(scratch("fidsong"));
  std::filesystem::create_directories(root.path() / "exe");
  window.exeFolder = (root.path() / "exe").string();
  window.tones = {{platform::ToneBox::First, "440"}, {platform::ToneBox::Second, "445"}};
  window.speed = "x 1";
  window.dateTime = "12/8/26 4:57:22 AM";
}

std::filesystem::path make_dataset(const std::filesystem::path& folder, const Dataset& d) {
  std::filesystem::create_directories(folder);
  write_file(folder / "fid", d.fid);
  if (!d.acqus.empty()) write_file(folder / "acqus", d.acqus);
  if (!d.title.empty()) write_file(folder / "pdata/1/title", d.title);
  for (const auto& plot : d.plots) write_file(folder / "pdata/1" / plot, "%!PS " + plot);
  return folder / "fid";
}

std::filesystem::path copy_demo(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  std::filesystem::copy(DEMO_DIR "/1", folder / "1", std::filesystem::copy_options::recursive);
  return folder / "1/fid";
}

std::string fid_with_pairs(const std::vector<std::pair<std::int32_t, std::int32_t>>& pairs) {
  std::string bytes(320, '\0');
  for (const auto& [first, second] : pairs) bytes += be32(first) + be32(second);
  return bytes;
}

}  // namespace testsupport
