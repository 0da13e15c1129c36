// Dataset intake.
#include "intake/dataset_intake.hpp"

#include "sound/scratch_paths.hpp"

namespace intake {

std::string dataset_file(const platform::FileSystem& files, const std::string& vFN) {
  if (!files.is_folder(vFN)) return vFN;
  std::string folder = vFN;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.back() != '/') folder += '/';
  for (const char* name : {"fid", "ser"}) {
    if (files.is_file(folder + name)) return folder + name;
  }
  return vFN;
}

void loadFIDfile(platform::Services& s, sound::FormMemory& memory, const std::string& path) {
  auto& files = s.files;
  const std::string vFN = dataset_file(files, path);
  // The dataset's other files lie beside the given one, whatever it is called and
  // whatever the folders above it are called.
  const std::string folder = vFN.substr(0, vFN.rfind('/') + 1);

  files.copy_file(vFN, sound::kScratchFid);
  files.delete_file(sound::kScratchTitle);
  files.copy_file(folder + "pdata/1/title", sound::kScratchTitle);
  files.delete_file(sound::kScratchAcqus);
  files.copy_file(folder + "acqus", sound::kScratchAcqus);

  const std::string plotName = files.first_match(folder + "pdata/1/*.ps");
  if (!plotName.empty()) {
    files.copy_file(folder + "pdata/1/" + plotName, sound::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, true);
  } else {
    files.delete_file(sound::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, false);
  }

  sound::createsound(s, memory, vFN, 0, 0);
}

}  // namespace intake
