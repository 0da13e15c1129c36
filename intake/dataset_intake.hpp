// Takes a spectrometer dataset into the scratch folder and sounds it.
#pragma once

#include <string>

#include "common/form_memory.hpp"
#include "platform/file_system.hpp"
#include "platform/services.hpp"
#include "sound/sound_request.hpp"

namespace intake {

// What an intake took in.
struct IntakeResult {
  std::string dataFile;      // the file taken in: the path given, or its folder's fid or ser
  platform::Status copied;   // the data file's copy into the scratch folder
  bool title = false;        // pdata/1/title copied
  bool parameters = false;   // acqus copied
  std::string plot;          // the name of the plot listed in pdata/1; empty when none
  sound::SoundResult sound;  // the request that sounded it
};

// The data file that a path given by the user stands for: a dataset folder stands for
// its fid, or its ser (a 2D dataset's FIDs one after the other) when it has no fid; any
// other path for itself.
std::string dataset_file(const platform::FileSystem& files, const std::string& path);

// path: a dataset's fid or ser file, or its folder. Copies the data file, the title, the
// acquisition parameters and the first PostScript plot from the file's folder into the
// scratch folder, enables "view Spectrum" when a plot was listed, and asks for the
// dataset's sound under the data file's path. Every step runs whatever became of the one
// before; a step that fails leaves its file as the previous dataset left it, except the
// title and parameters, which are never inherited.
[[nodiscard]] IntakeResult loadFIDfile(platform::Services& services, common::FormMemory& memory,
                                       const std::string& path);

}  // namespace intake
