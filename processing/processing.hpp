// A dataset's spectrum as a chemist reads it: its processed spectrum when it has one, else
// its FID processed as an NMR program does.
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "processing/spectrum.hpp"

namespace processing {

// Lines are broadened by this much (exponential apodization): little for protons, whose
// lines are narrow, more for the other nuclei, whose spectra are noisier.
inline constexpr double kProtonBroadeningHz = 0.3;
inline constexpr double kOtherBroadeningHz = 1.0;

// Where a dataset's spectrum comes from.
struct Sources {
  std::string processed;  // the dataset's processed folder, "FOLDER/pdata/1/"; empty: none
  std::string fid;        // its FID (the scratch copy)
  std::string acqus;      // its acquisition parameters (the scratch copy)
  std::string title;      // its title (the scratch copy)
};

// A dataset's spectrum, or why it has none.
struct Processed {
  std::optional<Spectrum> spectrum;
  std::string refusal;  // "its FID holds values that are not numbers"; empty otherwise
};

// The processed spectrum when the folder holds 1r and a procs that says how to read it
// (SI, BYTORDP, DTYPP, NC_proc, OFFSET, SW_p, SF): its points from OFFSET ppm down.
// Otherwise the first FID of the FID file, processed: the digital filter's delay,
// exponential apodization, zero filling to twice its points or more, the transform,
// automatic phase correction, baseline correction; in ppm when acqus gives SW_h, O1 and
// BF1, in Hz from the carrier without them. Either is referenced (see reference()): to
// the operator's 0 ppm where they calibrated one (procs's SF, or FIDSONG_SF of a converted
// acqus, differing from BF1), else to TMS, else to the residual line of the solvent that
// acqus names (else the title), else not at all. Nothing when neither has two points, or
// when the FID holds a word that is no finite number (and the 1r too, or there is none).
// Parameters that cannot be meant (a GRPDLY beyond the FID; an SW_h, O1 or BF1 that makes
// no axis a spectrometer has) are not used, and the spectrum's notes say what was instead.
// A converted FID's lead-in (FIDSONG_LEADIN) is left out and its turn (FIDSONG_TURN) undone.
Processed processed(platform::FileSystem& files, const Sources& sources);
inline std::optional<Spectrum> spectrum_of(platform::FileSystem& files, const Sources& sources) {
  return processed(files, sources).spectrum;
}

}  // namespace processing
