// What a reader makes of a dataset that is not Bruker's: its points, its acquisition
// parameters and its title, whatever maker wrote it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace formats {

enum class Maker { Bruker, JeolDelta, JcampDx, VarianVnmrj, MagritekSpinsolve };

// What the sound and the picture need of an acquisition.
struct Acquisition {
  double sweepHz = 0;       // the spectral width
  double frequencyMHz = 0;  // the spectrometer's reference frequency
  double offsetHz = 0;      // the carrier's offset: ppm = (offset + f) / frequency
  std::string nucleus;      // "1H"; empty when unknown
  std::int64_t points = 0;  // complex points of each FID
  std::int64_t fids = 1;    // FIDs one after the other, as a ser holds them
  std::string solvent;      // as chemists name it ("CDCl3"); empty when unknown
  // A Bruker console's digital filter, as a JCAMP-DX export of its FID records it: its delay
  // in points (-1: not recorded), else its decimation and firmware (0: not recorded).
  double groupDelay = -1;
  long long decimation = 0, dspVersion = 0;
  double referenceMHz = 0;  // the frequency the operator calibrated as 0 ppm; 0 when none
};

struct Description {
  Maker maker = Maker::Bruker;
  Acquisition acquisition;
  std::string title;  // empty when the dataset has none
};

// Receives the complex points as (real, imaginary) pairs, FID after FID, with the sign
// of the imaginary part as Bruker's spectrometers record it: the sense in which the
// picture reads an FID, so that no maker's spectrum comes out mirrored.
class PointSink {
 public:
  virtual ~PointSink() = default;
  virtual void put(const double* pairs, std::size_t count) = 0;
};

// What a reader made of a file: a description, whose points went to the sink, or why
// the file was refused. A refused file may have sent some points: they are not to be used.
struct Reading {
  std::optional<Description> description;
  std::string refusal;
  static Reading refused(std::string why) { return {std::nullopt, std::move(why)}; }
};

// Why a file that holds only a spectrum is refused: there is nothing to sound.
inline constexpr const char* kProcessedOnly = "holds a processed spectrum, not an FID";

// Beyond this many complex points in all (16 GiB as doubles) a file is refused.
inline constexpr std::int64_t kMostPoints = std::int64_t{1} << 30;

}  // namespace formats
