// Takes a spectrometer dataset into the scratch folder and sounds it.
#pragma once

#include <string>

#include "platform/file_system.hpp"
#include "platform/services.hpp"
#include "sound/sound_request.hpp"

namespace intake {

// The data file that a path given by the user stands for: a dataset folder stands for
// its fid, or its ser (a 2D dataset's FIDs one after the other) when it has no fid; any
// other path for itself.
std::string dataset_file(const platform::FileSystem& files, const std::string& path);

// path: a dataset's fid or ser file, or its folder. Copies the data file, the title, the
// acquisition parameters and the first PostScript plot from the file's folder into the
// scratch folder, enables "view Spectrum" when a plot was listed, and asks for the
// dataset's sound under the data file's path. Reports nothing; a step that fails leaves
// its file as the previous dataset left it, except the title and parameters, which are
// never inherited.
void loadFIDfile(platform::Services& services, sound::FormMemory& memory, const std::string& path);

}  // namespace intake
