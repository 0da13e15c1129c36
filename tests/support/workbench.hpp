// A program's services over a temporary drive folder: the fixture most tests start from.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_system.hpp"
#include "platform/services.hpp"
#include "tests/support/files.hpp"
#include "tests/support/recorders.hpp"
#include "window/control_state.hpp"

namespace testsupport {

class Workbench {
 public:
  // A drive folder with "C:\temp" and "C:\temp\fidsong", an empty executable folder, and
  // the controls as start-up leaves them ("440", "445", "x 1"), with a fixed clock.
  Workbench();

  // The native path of a fixed path such as "C:\temp\fid.wav".
  std::filesystem::path resolve(const std::string& path) const { return files.drive().resolve(path); }
  std::filesystem::path scratch(const std::string& name) const { return resolve("C:\\temp\\" + name); }

  TempDir root;
  platform::FileSystem files;
  window::ControlState window;
  RecordingMedia media;
  RecordingShell shell;
  platform::Services services{files, window, media, shell};
};

// A spectrometer dataset folder: <folder>/fid, acqus, pdata/1/title and plots. An empty
// title or acqus text leaves that file out.
struct Dataset {
  std::string fid;
  std::string title;
  std::string acqus;
  std::vector<std::string> plots;  // names inside pdata/1
};
std::filesystem::path make_dataset(const std::filesystem::path& folder, const Dataset& d);

// A copy of the demo dataset as <folder>/1; returns the copy's fid path.
std::filesystem::path copy_demo(const std::filesystem::path& folder);

// The words of an FID with the 320-byte lead-in of zeros and the given pairs behind it.
std::string fid_with_pairs(const std::vector<std::pair<std::int32_t, std::int32_t>>& pairs);

}  // namespace testsupport
