// Synthetic 1H and 13C datasets with known multiplets, as a modern Bruker console records
// them: for the tests of processing and analysis, which check what was made, not what the
// code finds. The solvents' residual lines follow the literature (Fulmer et al.,
// Organometallics 29 (2010) 2176), written out here, not taken from the program's table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.hpp"
#include "processing/spectrum.hpp"
#include "spectrum/trace.hpp"

namespace testsupport {

// A multiplet made: its centre, its couplings (equal ones repeated: {7.8, 7.8, 1.7} is a
// td), its protons (for 13C, its carbons' share), and its lines' full width at half height
// before any broadening.
struct MadeMultiplet {
  double ppm = 0;
  std::vector<double> couplings;
  int protons = 1;
  double widthHz = 0.5;
};

struct MadeSpectrum {
  std::vector<MadeMultiplet> multiplets;
  double frequencyMHz = 400.13;
  double sweepHz = 8000;
  double carrierPpm = 5.0;        // O1 / BF1
  double axisErrorPpm = 0;        // acqus's O1 off by this: every line that far off on BF1's axis
  std::size_t points = 32768;     // complex points of the FID
  double groupDelay = 67.9842;    // points, as GRPDLY says: the signal starts there
  double zeroPhase = 0;           // radians, the receiver's phase
  double noise = 2e-4;            // relative to one proton's first point
  double tmsProtons = 0.5;        // TMS at 0.00 ppm (0: none)
  // The solvent's residual line, its pattern as its deuterons split it (CHCl3's singlet at
  // 7.26 ppm in CDCl3, DMSO-d5's 1:2:3:2:1 quintet of 1.9 Hz at 2.50, ...; for 13C its
  // carbons' line, CDCl3's 1:1:1 triplet of 32 Hz at 77.16, DMSO-d6's septet of 21 Hz at
  // 39.52, ...), of so many protons (0: none).
  double solventProtons = 0.15;
  std::string solvent = "CDCl3";
  std::string solventInAcqus = "";  // what acqus's SOLVENT says; "-": no such line; "": the solvent
  double waterProtons = 0;          // the water dissolved in the solvent, a broad singlet
  double referenceWidthHz = 0.4;    // the full width of TMS's and the solvent's lines
  std::string nucleus = "1H";       // or "13C", whose lines are singlets (decoupled)
  unsigned seed = 1;
};

// The FID's complex points, before they are stored as words.
std::vector<std::pair<double, double>> made_fid(const MadeSpectrum& made);

// A dataset folder: fid as little-endian 32-bit words (the largest near 2^28), acqus with
// BYTORDA 0, DTYPA 0, TD, SW_h, O1, BF1, SFO1, NUC1, SOLVENT, GRPDLY, DECIM and DSPFVS 20,
// and a title. Returns the fid's path.
std::filesystem::path make_spectrum_dataset(const std::filesystem::path& folder, const MadeSpectrum& made,
                                            const std::string& title = "synthetic");

// A dataset whose FID is float words (DTYPA 2), as a corrupted or hostile file may hold
// them: a made ethyl group's (a q of 2H at 4.12, a t of 3H at 1.26 ppm) times scale, every
// 97th word replaced by special when there is one; acqus's GRPDLY as given. Returns the
// fid's path.
std::string hostile_dataset(const std::filesystem::path& folder, double scale, std::optional<double> special,
                            const std::string& grpdly = "67.9842");

// The trace that intake draws from the scratch FID, acqus and title (and the processed
// folder given): what a picture test compares the GIF with.
std::optional<spectrum::Trace> scratch_trace(platform::FileSystem& files, const std::string& processed = "");

// The shared real datasets, when they lie beside the checkout.
std::filesystem::path shared_datasets();

// A shared Bruker dataset ("aspirin-1h/1") copied under root without its 1r (its procs
// kept), and processed from its FID as intake processes it.
std::optional<processing::Spectrum> processed_without_1r(platform::FileSystem& files, const std::filesystem::path& root,
                                                         const std::string& dataset);

// The name a chemist gives the couplings: "s", "d", "td", "ddd", "qd", ...
std::string pattern_name(const std::vector<double>& couplings);

}  // namespace testsupport
