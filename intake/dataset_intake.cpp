// Dataset intake.
#include "intake/dataset_intake.hpp"

#include "common/scratch_paths.hpp"
#include "picture/drawing.hpp"
#include "picture/reading.hpp"

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

namespace {

// Writes bytes over the file at path, whole or not at all; says whether it did.
bool put(platform::FileSystem& files, const char* path, const std::optional<std::string>& bytes) {
  if (!bytes) return false;
  platform::Replacement file = files.replace(path);
  file.file().write(*bytes);
  return bool(file.commit());
}

// Draws the dataset's spectrum as the scratch picture and, for a dataset without a plot
// of its own, as the plot that "view Spectrum" opens.
void draw_picture(platform::Services& s, const std::string& folder, IntakeResult& result) {
  const auto drawn = picture::read_spectrum(
      s.files, {folder + "pdata/1/", common::kScratchFid, common::kScratchAcqus, common::kScratchTitle},
      picture::kColumns);
  if (!drawn) return;
  result.picture = put(s.files, common::kScratchPicture, picture::gif_of(*drawn));
  if (result.plot.empty() && put(s.files, common::kScratchSpectrum, picture::eps_of(*drawn))) {
    s.window.enable(platform::Button::Command3, true);
  }
}

}  // namespace

IntakeResult loadFIDfile(platform::Services& s, common::FormMemory& memory, const std::string& path,
                         const IntakeOptions& options) {
  auto& files = s.files;
  const platform::Lock scratch = files.lock(common::kScratchLock);
  IntakeResult result;
  result.dataFile = dataset_file(files, path);
  const std::string& vFN = result.dataFile;
  // The dataset's other files lie beside the given one, whatever it is called and
  // whatever the folders above it are called.
  const std::string folder = vFN.substr(0, vFN.rfind('/') + 1);

  result.copied = files.copy_file(vFN, common::kScratchFid);
  files.delete_file(common::kScratchTitle);
  result.title = bool(files.copy_file(folder + "pdata/1/title", common::kScratchTitle));
  files.delete_file(common::kScratchAcqus);
  result.parameters = bool(files.copy_file(folder + "acqus", common::kScratchAcqus));

  result.plot = files.first_match(folder + "pdata/1/*.ps");
  if (!result.plot.empty()) {
    files.copy_file(folder + "pdata/1/" + result.plot, common::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, true);
  } else {
    files.delete_file(common::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, false);
  }

  result.sound = sound::createsound(s, memory, vFN, 0, 0);

  // After the sound has gone to playback, which never waits for the picture.
  // The previous dataset's picture goes in any case: it must not be archived with this one.
  files.delete_file(common::kScratchPicture);
  if (options.picture) draw_picture(s, folder, result);
  return result;
}

}  // namespace intake
