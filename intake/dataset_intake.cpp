// Dataset intake.
#include "intake/dataset_intake.hpp"

#include <vector>

#include "common/scratch_paths.hpp"
#include "formats/detection.hpp"
#include "intake/converted_dataset.hpp"
#include "intake/exported_spectrum.hpp"
#include "processing/processing.hpp"
#include "analysis/report.hpp"
#include "spectrum/drawing.hpp"
#include "spectrum/peaks.hpp"
#include "spectrum/trace.hpp"

namespace intake {
namespace {

// The one .jdf, .jdx or .dx file in folder; empty when there is none, or more than one.
std::string only_exchange_file(const platform::FileSystem& files, const std::string& folder) {
  std::vector<std::string> found;
  for (const char* pattern : {"*.jdf", "*.jdx", "*.dx"}) {
    for (std::string& name : files.matches(folder + pattern, 2)) found.push_back(std::move(name));
  }
  return found.size() == 1 ? found.front() : std::string();
}

// Writes bytes over the file at path, whole or not at all; says whether it did.
bool put(platform::FileSystem& files, const char* path, const std::optional<std::string>& bytes) {
  if (!bytes) return false;
  platform::Replacement file = files.replace(path);
  file.file().write(*bytes);
  return bool(file.commit());
}

// The dataset's sound, and its spectrum worked out beside it. The previous dataset's
// picture, peaks, report, export and sounds of its spectrum go first: they must not be
// archived with this one, nor heard as its own. A front end that waits for the spectrum
// has it started first, so that both take the time of the longer; one that does not, once
// the sound plays, which comes first. processed: the dataset's processed folder, or
// nothing to make it from its FID alone.
void sound_and_spectrum(platform::Services& s, common::FormMemory& memory, const std::string& sounded,
                        const std::string& processed, const IntakeOptions& options, IntakeResult& result) {
  for (const char* path : {common::kScratchPicture, common::kScratchPeaks, common::kScratchSpectrumSound,
                           common::kScratchPeakSound, common::kScratchReport, common::kScratchExport,
                           common::kScratchMultipletSound}) {
    s.files.delete_file(path);
  }
  s.window.enable(platform::Button::Command5, false);
  const auto start = [&] {
    if (!options.picture) return;
    result.work = std::make_shared<SpectrumWork>(s.files.drive(), processed, !result.plot.empty(), options,
                                                 options.waitForSpectrum ? std::function<void()>() : options.spectrumDone);
  };
  if (options.waitForSpectrum) start();
  result.sound = sound::createsound(s, memory, sounded, 0, 0);
  if (!options.waitForSpectrum) start();
}

// The original data file of a converted dataset goes in "C:\temp\original", alone; any
// other intake leaves that folder empty, so that no dataset is archived with another's.
void keep_original(platform::FileSystem& files, const std::string& dataFile) {
  const std::string folder = std::string(common::kScratchOriginal) + "\\";
  files.remove_leftovers(common::kScratchOriginal);
  for (std::string name; !(name = files.first_match(folder + "*")).empty();) {
    if (!files.delete_file(folder + name)) break;
  }
  if (dataFile.empty()) return;
  files.create_folder(common::kScratchOriginal);
  files.copy_file(dataFile, folder + dataFile.substr(dataFile.rfind('/') + 1));
}

// A dataset of another maker: converted whole before anything in the scratch folder
// changes, then written where a Bruker dataset's files go, in the same order.
void take_in_converted(platform::Services& s, common::FormMemory& memory, const std::string& given,
                       formats::Source& source, const IntakeOptions& options, IntakeResult& result) {
  auto& files = s.files;
  platform::Replacement fid = files.replace(common::kScratchFid);
  DoublesFile points(fid.file());
  const formats::Reading reading = formats::read_dataset(result.maker, source, points);
  if (!reading.description) {
    result.refusal = reading.refusal;
    return;
  }
  const formats::Description& d = *reading.description;
  const int exponent = points.loudness_exponent();
  points.finish(exponent, points.turn());
  result.copied = fid.commit();
  files.delete_file(common::kScratchTitle);
  if (!d.title.empty()) result.title = put(files, common::kScratchTitle, d.title);
  files.delete_file(common::kScratchAcqus);
  result.parameters = put(files, common::kScratchAcqus, converted_acqus(d, exponent, points.turn()));
  keep_original(files, result.dataFile);
  // No maker but Bruker leaves a PostScript plot: "view Spectrum" shows the one drawn.
  files.delete_file(common::kScratchSpectrum);
  s.window.enable(platform::Button::Command3, false);
  sound_and_spectrum(s, memory, given, {}, options, result);
}

// The copies (or the conversion) and the sound, with the scratch folder locked; the
// spectrum's work started beside the sound.
IntakeResult take_in(platform::Services& s, common::FormMemory& memory, const std::string& path, const IntakeOptions& options) {
  auto& files = s.files;
  const platform::Lock scratch = files.lock(common::kScratchLock);
  IntakeResult result;
  result.dataFile = dataset_file(files, path);
  const std::string& vFN = result.dataFile;
  formats::Source source(files, vFN);
  if (source.is_open()) result.maker = formats::maker_of(source);
  if (result.maker != formats::Maker::Bruker) {
    take_in_converted(s, memory, path, source, options, result);
    return result;
  }
  // The dataset's other files lie beside the given one, whatever it is called and
  // whatever the folders above it are called.
  const std::string folder = vFN.substr(0, vFN.rfind('/') + 1);

  result.copied = files.copy_file(vFN, common::kScratchFid);
  files.delete_file(common::kScratchTitle);
  result.title = bool(files.copy_file(folder + "pdata/1/title", common::kScratchTitle));
  files.delete_file(common::kScratchAcqus);
  result.parameters = bool(files.copy_file(folder + "acqus", common::kScratchAcqus));
  keep_original(files, {});

  result.plot = files.first_match(folder + "pdata/1/*.ps");
  if (!result.plot.empty()) {
    files.copy_file(folder + "pdata/1/" + result.plot, common::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, true);
  } else {
    files.delete_file(common::kScratchSpectrum);
    s.window.enable(platform::Button::Command3, false);
  }

  sound_and_spectrum(s, memory, vFN, folder + "pdata/1/", options, result);
  return result;
}

}  // namespace

std::string dataset_file(const platform::FileSystem& files, const std::string& vFN) {
  if (!files.is_folder(vFN)) return vFN;
  std::string folder = vFN;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.back() != '/') folder += '/';
  for (const char* name : {"fid", "ser", "data.1d", "data.2d"}) {
    if (files.is_file(folder + name)) return folder + name;
  }
  const std::string exchange = only_exchange_file(files, folder);
  return exchange.empty() ? vFN : folder + exchange;
}

IntakeResult loadFIDfile(platform::Services& s, common::FormMemory& memory, const std::string& path,
                         const IntakeOptions& options) {
  IntakeResult result = take_in(s, memory, path, options);
  // Waited for once the scratch folder is free again: the work writes there too.
  if (options.waitForSpectrum && result.work) finish_spectrum(s, result);
  return result;
}

void finish_spectrum(platform::Services& s, IntakeResult& result) {
  if (!result.work) return;
  const SpectrumMade& made = result.work->made();
  result.spectrum = made.spectrum;
  result.spectrumRefusal = made.refusal;
  result.trace = made.trace;
  result.analysis = made.analysis;
  result.peaks = made.peaks;
  result.picture = made.picture;
  if (made.plotDrawn) s.window.enable(platform::Button::Command3, true);
  s.window.enable(platform::Button::Command5, made.picture);
}

}  // namespace intake
