// A dataset's spectrum worked out beside its sound.
#include "intake/spectrum_work.hpp"

#include "analysis/report.hpp"
#include "common/scratch_paths.hpp"
#include "intake/dataset_intake.hpp"
#include "intake/exported_spectrum.hpp"
#include "processing/processing.hpp"
#include "spectrum/drawing.hpp"

namespace intake {

SpectrumWork::SpectrumWork(const platform::Drive& drive, std::string processed, bool hasPlot, const IntakeOptions& options,
                           std::function<void()> done)
    : done_(std::move(done)),
      thread_([this, drive, processed = std::move(processed), hasPlot, protons = options.protons] {
        // A file system of its own: the front end's keeps its failures and locks to itself.
        platform::FileSystem files(drive);
        run(files, processed, hasPlot, protons);
        const std::lock_guard<std::mutex> hold(writing_);
        finished_ = true;
        if (!cancelled_ && done_) done_();
      }) {}

SpectrumWork::~SpectrumWork() { cancel(); }

void SpectrumWork::cancel() {
  const std::lock_guard<std::mutex> hold(writing_);
  cancelled_ = true;
}

bool SpectrumWork::cancelled() {
  const std::lock_guard<std::mutex> hold(writing_);
  return cancelled_;
}

const SpectrumMade& SpectrumWork::made() {
  if (thread_.joinable()) thread_.join();
  return made_;
}

bool SpectrumWork::put(platform::FileSystem& files, const char* path, const std::optional<std::string>& bytes) {
  const std::lock_guard<std::mutex> hold(writing_);
  if (cancelled_ || !bytes) return false;
  platform::Replacement file = files.replace(path);
  file.file().write(*bytes);
  return bool(file.commit());
}

void SpectrumWork::run(platform::FileSystem& files, const std::string& processed, bool hasPlot, std::optional<int> protons) {
  SpectrumMade& m = made_;
  processing::Processed p =
      processing::processed(files, {processed, common::kScratchFid, common::kScratchAcqus, common::kScratchTitle});
  m.refusal = std::move(p.refusal);
  m.spectrum = std::move(p.spectrum);
  if (!m.spectrum || cancelled()) return;
  m.trace = spectrum::trace_of(*m.spectrum, spectrum::kColumns);
  if (!m.trace) return;
  {
    // What is read off the spectrum beside its drawing: two cores, both at work.
    std::jthread reading([&] {
      if (!cancelled()) put(files, common::kScratchExport, formats::jcamp_spectrum(exported(*m.spectrum)));
      if (cancelled()) return;
      m.analysis = analysis::analyse(*m.spectrum, protons);
      put(files, common::kScratchReport, analysis::report_of(*m.spectrum, m.analysis));
    });
    m.picture = put(files, common::kScratchPicture, spectrum::gif_of(*m.trace));
    if (!hasPlot) m.plotDrawn = put(files, common::kScratchSpectrum, spectrum::eps_of(*m.trace));
    m.peaks = spectrum::peaks_of(*m.trace);
    put(files, common::kScratchPeaks, spectrum::peaks_file(m.peaks, m.trace->axis));
  }
}

}  // namespace intake
