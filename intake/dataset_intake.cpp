// Dataset intake.
#include "intake/dataset_intake.hpp"

#include "platform/text.hpp"
#include "sound/scratch_paths.hpp"

namespace intake {
namespace {

// A path inside the dataset, written with "\" as separator, in native form.
std::string native(std::string_view relative) {
  return platform::replace_all(relative, "\\", platform::kSeparator);
}

}  // namespace

void loadFIDfile(platform::Services& s, sound::FormMemory& memory, const std::string& vFN) {
  auto& files = s.files;
  const std::string fid = native("\\fid");
  const auto sibling = [&](std::string_view relative) {
    return platform::replace_all(vFN, fid, native(relative));
  };

  files.copy_file(vFN, sound::kScratchFid);
  files.delete_file(sound::kScratchTitle);
  files.copy_file(sibling("\\pdata\\1\\title"), sound::kScratchTitle);
  files.delete_file(sound::kScratchAcqus);
  files.copy_file(sibling("\\acqus"), sound::kScratchAcqus);

  const std::string plotName = files.first_match(sibling("\\pdata\\1\\*.ps"));
  if (!plotName.empty()) {
    files.copy_file(sibling("\\pdata\\1\\") + plotName, sound::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, true);
  } else {
    files.delete_file(sound::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, false);
  }

  sound::createsound(s, memory, vFN, 0, 0);
}

}  // namespace intake
