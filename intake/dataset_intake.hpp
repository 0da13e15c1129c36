// Takes a spectrometer dataset into the scratch folder and sounds it.
#pragma once

#include <string>

#include "platform/services.hpp"
#include "sound/sound_request.hpp"

namespace intake {

// vFN: the path of a dataset's fid file. Copies the FID, its title, its acquisition
// parameters and its first PostScript plot into the scratch folder, enables
// "view Spectrum" when a plot was listed, and asks for the dataset's sound. The dataset's
// other paths come from vFN by replacing every "/fid" in it, so a folder whose name starts
// with "fid" misleads them. Reports nothing; a step that fails leaves its file as the
// previous dataset left it, except the title and parameters, which are never inherited.
void loadFIDfile(platform::Services& services, sound::FormMemory& memory, const std::string& vFN);

}  // namespace intake
