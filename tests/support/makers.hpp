// Synthetic datasets of the makers other than Bruker, built from their formats' layouts,
// with lines at known frequencies, for tests.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "formats/dataset.hpp"
#include "platform/file_system.hpp"

namespace testsupport {

using Fid = std::vector<std::complex<double>>;

// What a reader made of a file, told and read as intake does: the maker, the reading and
// the points it sent, as (real, imaginary) pairs one after the other.
struct ReadBack {
  formats::Maker maker = formats::Maker::Bruker;
  formats::Reading reading;
  std::vector<double> pairs;
  const formats::Acquisition& acquisition() const { return reading.description->acquisition; }
};
ReadBack read_back(platform::FileSystem& files, const std::filesystem::path& path);

// The points of FIDs as such pairs.
std::vector<double> pairs_of(const std::vector<Fid>& fids);

// Values as 32-bit floats hold them. (GCC 12 at -O2 drops a float conversion made inside
// a std::complex assignment, so these round through memory.)
double in_float(double value);
Fid in_floats(Fid fid);
std::vector<double> in_floats(std::vector<double> values);

// A line of a synthetic spectrum: its offset from the carrier and its height.
struct SpectralLine {
  double hz = 0;
  double amplitude = 1;
};

// n complex points sampled at sweepHz, each line a decaying rotation in the sense that
// Bruker's spectrometers record (the picture puts positive offsets at high ppm).
Fid fid_of_lines(const std::vector<SpectralLine>& lines, std::size_t n, double sweepHz, double decaySeconds = 0.2);

// The points as the scratch FID holds them: behind 40 points of zeros (the 80 words that
// the sound never sounds), little-endian doubles, real then imaginary, times 2^exponent,
// as a converted dataset's are made as loud as a Bruker FID, and turned by i^turn.
std::string scratch_doubles(const std::vector<Fid>& fids, int exponent = 0, int turn = 0);
// The k of a converted acqus's "##$FIDSONG_SCALE= 2^k"; nothing when it has none.
std::optional<int> scale_exponent(const std::string& acqus);
// The k of a converted acqus's "##$FIDSONG_TURN= k"; 0 when it has none.
int turn_of(const std::string& acqus);
// Of the points of a scratch FID whose words set the sound's scale (its first 500 words),
// the largest magnitude of the real parts, and of the imaginary parts: the second, the
// sounded channel.
std::pair<double, double> channels_of(const std::string& scratchFid);

// Agilent/Varian VnmrJ: a fid file of 32-bit integers (or 16-bit, or floats: ebytes 2 and
// 4, floats true), fidsPerBlock traces a block, imaginary parts in VnmrJ's sense.
enum class VnmrjWords { Int16, Int32, Float32 };
std::string vnmrj_fid(const std::vector<Fid>& fids, VnmrjWords words, int tracesPerBlock = 1);
// procpar with the parameters given as (name, value): a number or a quoted string.
std::string procpar(const std::vector<std::pair<std::string, std::string>>& parameters);

// Magritek Spinsolve: data.1d (or .2d) with its time axis of the given dwell (or none),
// the points' rotation in the maker's sense (imaginary parts negated against Bruker's).
std::string spinsolve_data(const std::vector<Fid>& fids, bool withAxis, double dwell);

// JEOL Delta: a time-domain .jdf of doubles in the given byte order, 1D (one FID) or 2D
// (in 32 x 32 submatrices, the FIDs its rows; points a multiple of 32), imaginary parts
// in JEOL's sense, with X_SWEEP, X_FREQ, X_OFFSET and X_DOMAIN among its parameters.
struct JeolParameters {
  double sweepHz = 5000;
  double frequencyHz = 400e6;
  double offsetPpm = 5;
  std::string domain = "Proton";
  std::string title = "synthetic";
  bool littleEndian = true;
  std::uint8_t firstAxisUnit = 28;  // seconds; 13 (Hz) or 26 (ppm) for a spectrum
  // The axes' types as the header gives them (complex 3, real 1, TPPI 2, real-complex 4);
  // the data are written complex along the first axis and real along the second whatever
  // they say, as Delta writes a 2D of any of the types that hold such data.
  std::array<std::uint8_t, 2> axisTypes = {3, 1};
};
std::string jeol_jdf(const std::vector<Fid>& fids, const JeolParameters& p);

// JCAMP-DX NTUPLES "NMR FID": a page of real and one of imaginary parts for each FID,
// the integers written in the compressed form given.
enum class AsdfForm { Affn, Pac, Sqz, Dif, DifDup };
std::string jcamp_fid(const std::vector<std::vector<std::int64_t>>& reals,
                      const std::vector<std::vector<std::int64_t>>& imaginaries, AsdfForm form,
                      const std::string& extraRecords = "", double dwell = 1e-4);
// One table line's ordinates in a form, behind the abscissa x: for the tests of the forms.
std::string asdf_line(std::int64_t x, const std::vector<std::int64_t>& ys, AsdfForm form);

}  // namespace testsupport
