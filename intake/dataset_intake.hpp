// Takes a spectrometer dataset into the scratch folder and sounds it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/form_memory.hpp"
#include "formats/dataset.hpp"
#include "intake/spectrum_work.hpp"
#include "platform/file_system.hpp"
#include "platform/services.hpp"
#include "sound/sound_request.hpp"
#include "analysis/analysis.hpp"
#include "processing/spectrum.hpp"
#include "spectrum/peaks.hpp"
#include "spectrum/trace.hpp"

namespace intake {

// What an intake took in.
struct IntakeResult {
  std::string dataFile;      // the file taken in: the path given, or the data file of its folder
  formats::Maker maker = formats::Maker::Bruker;  // who wrote it, told by its content
  // Another maker's file that was not taken in (a damaged one, or one that holds only a
  // spectrum): why. Then nothing in the scratch folder changed and nothing was sounded.
  std::string refusal;
  platform::Status copied;   // the data file's copy (or conversion) into the scratch folder
  bool title = false;        // pdata/1/title copied
  bool parameters = false;   // acqus copied
  std::string plot;          // the name of the plot listed in pdata/1; empty when none
  std::optional<sound::SoundResult> sound;  // the request that sounded it; none when refused
  // The spectrum's work, beside the sound; none when refused or not asked for. What it
  // made is below once finish_spectrum() took it.
  std::shared_ptr<SpectrumWork> work;
  bool picture = false;      // the spectrum drawn as spectrum.gif (and, without a plot, .eps)
  std::optional<processing::Spectrum> spectrum;  // processed, at full resolution
  std::string spectrumRefusal;                 // why there is none, when the dataset says
  analysis::Analysis analysis;                 // its multiplets or lines, in report.txt
  std::optional<spectrum::Trace> trace;  // what was drawn, to hear it and step through its peaks
  std::vector<spectrum::Peak> peaks;     // written to peaks.txt
};

struct IntakeOptions {
  bool picture = true;            // process and draw the spectrum; a batch run may rather save the time
  std::optional<int> protons;     // the compound's protons, which the integrals add up to
  // Whether the intake waits for its spectrum's work (a console run) or returns as soon
  // as the sound plays (the window), done being called on the work's thread when it ends.
  bool waitForSpectrum = true;
  std::function<void()> spectrumDone;

  static IntakeOptions without_picture() {
    IntakeOptions o;
    o.picture = false;
    return o;
  }
};

// The data file that a path given by the user stands for: a dataset folder stands for
// its fid, else its ser (a 2D dataset's FIDs one after the other), else its data.1d or
// data.2d, else its one .jdf, .jdx or .dx file; any other path for itself.
std::string dataset_file(const platform::FileSystem& files, const std::string& path);

// path: a dataset's fid or ser file, or its folder. Copies the data file, the title, the
// acquisition parameters and the first PostScript plot from the file's folder into the
// scratch folder, enables "view Spectrum" when a plot was listed, and asks for the
// dataset's sound under the data file's path. Every step runs whatever became of the one
// before; a step that fails leaves its file as the previous dataset left it, except the
// title and parameters, which are never inherited.
// Beside the sound, on a thread of its own (see SpectrumWork), the spectrum (its 1r, else
// its FID processed) is drawn as "C:\temp\spectrum.gif" and, for a dataset without a
// plot, as "C:\temp\spectrum.eps", which "view Spectrum" then opens; its peaks are
// written to "C:\temp\peaks.txt", its report to "C:\temp\report.txt", the spectrum
// itself as JCAMP-DX to "C:\temp\spectrum.dx"; the previous dataset's are gone before.
// A dataset whose spectrum cannot be made has none of them. With waitForSpectrum, the
// intake waits for it and finishes it (finish_spectrum()).
// A data file of another maker (told by its content) is converted instead of copied: its
// points (times the power of two that makes them as loud as a Bruker console's),
// parameters and title become the scratch FID (doubles), acqus and title, and
// the file itself is kept under its own name in "C:\temp\original"; the caption shows
// the path as given. One that cannot be converted changes nothing and is not sounded.
[[nodiscard]] IntakeResult loadFIDfile(platform::Services& services, common::FormMemory& memory,
                                       const std::string& path, const IntakeOptions& options = {});

// Once the intake's spectrum work has finished (it waits for it): what it made, into the
// result; "view Spectrum" enabled for the plot it drew, "hear Spectrum" for its picture.
void finish_spectrum(platform::Services& services, IntakeResult& result);

}  // namespace intake
