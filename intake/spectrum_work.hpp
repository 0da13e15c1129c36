// A dataset's spectrum worked out beside its sound, on a thread of its own: processed,
// drawn, read off, reported and exported into the scratch folder.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysis.hpp"
#include "platform/drive.hpp"
#include "platform/file_system.hpp"
#include "processing/spectrum.hpp"
#include "spectrum/peaks.hpp"
#include "spectrum/trace.hpp"

namespace intake {

struct IntakeOptions;

// What the work made of the scratch dataset.
struct SpectrumMade {
  std::optional<processing::Spectrum> spectrum;  // processed, at full resolution
  std::string refusal;     // why there is none, when the dataset says ("its FID holds values that are not numbers")
  std::optional<spectrum::Trace> trace;          // what was drawn
  analysis::Analysis analysis;                   // its multiplets or lines, in report.txt
  std::vector<spectrum::Peak> peaks;             // written to peaks.txt
  bool picture = false;    // drawn as spectrum.gif
  bool plotDrawn = false;  // drawn as spectrum.eps too, for a dataset without a plot of its own
};

class SpectrumWork {
 public:
  // Starts the work on the scratch FID, acqus and title (and the processed folder given,
  // empty for none) of the drive: the spectrum drawn as "C:\temp\spectrum.gif" and, when
  // hasPlot is false, as "C:\temp\spectrum.eps"; its peaks in "C:\temp\peaks.txt", its
  // report in "C:\temp\report.txt", the spectrum as JCAMP-DX in "C:\temp\spectrum.dx",
  // each whole or not at all. done, when given, is called on the work's thread once it
  // has finished, unless it was cancelled first.
  SpectrumWork(const platform::Drive& drive, std::string processed, bool hasPlot, const IntakeOptions& options,
               std::function<void()> done = {});
  // Cancels the work and waits for its thread.
  ~SpectrumWork();
  SpectrumWork(const SpectrumWork&) = delete;
  SpectrumWork& operator=(const SpectrumWork&) = delete;

  // Once it returns, the work writes nothing more and calls nothing; it stops at its next step.
  void cancel();
  bool finished() const { return finished_; }
  // What it made, once finished: waits for it.
  const SpectrumMade& made();

 private:
  void run(platform::FileSystem& files, const std::string& processed, bool hasPlot, std::optional<int> protons);
  // Writes bytes over the scratch file at path, whole; not once cancelled. Says whether it did.
  bool put(platform::FileSystem& files, const char* path, const std::optional<std::string>& bytes);
  bool cancelled();

  std::mutex writing_;  // held while a file is written, and by cancel()
  bool cancelled_ = false;
  std::atomic<bool> finished_ = false;
  std::function<void()> done_;
  SpectrumMade made_;
  std::jthread thread_;  // last: started once everything it uses is there
};

}  // namespace intake
