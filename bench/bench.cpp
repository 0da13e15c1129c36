// fid-song-bench: times the conversion against sox on the same FIDs, and measures the
// console front end's peak memory.
//
// For each FID size it prints the median time of (a) a sound request on the FID already
// in the scratch folder, (b) the whole intake of a dataset holding it, and (c) sox making
// a 16-bit WAVE of the second word of each pair; then the ratios a/c and b/c and the peak
// resident memory of fid-song-cli taking the dataset in. The last line sums up 64 MiB.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "intake/dataset_intake.hpp"
#include "platform/file_system.hpp"
#include "platform/process.hpp"
#include "sound/word_format.hpp"
#include "window/control_state.hpp"
#include "window/form.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A decaying FID of three lines with a little noise, written in 1 MiB pieces.
void write_fid(const fs::path& path, std::size_t bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string block;
  std::uint32_t noise = 1;
  const std::size_t pairs = bytes / 8;
  for (std::size_t p = 0; p < pairs; ++p) {
    const double t = static_cast<double>(p) / 8278.0;
    double re = 0, im = 0;
    for (const auto& [hz, amplitude] : {std::pair{-1404.0, 3e6}, {-416.0, 2e6}, {-836.0, 1e6}}) {
      const double a = amplitude * std::exp(-t / 0.8);
      re += a * std::cos(2 * M_PI * hz * t);
      im += a * std::sin(2 * M_PI * hz * t);
    }
    for (double v : {re, im}) {
      noise = noise * 1664525u + 1013904223u;
      sound::append_word(block, sound::ByteOrder::Big,
                         static_cast<std::int32_t>(v) + static_cast<std::int32_t>(noise >> 20) - 2048);
    }
    if (block.size() >= (1 << 20)) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

fs::path make_dataset(const fs::path& folder, std::size_t bytes) {
  fs::create_directories(folder / "pdata/1");
  write_fid(folder / "fid", bytes);
  std::ofstream(folder / "acqus") << "##TITLE= benchmark\n##$TD= " << bytes / 4 << "\n##END=\n";
  std::ofstream(folder / "pdata/1/title") << "benchmark FID of " << bytes << " bytes\n";
  std::ofstream(folder / "pdata/1/plot.ps") << "%!PS\nshowpage\n";
  return folder / "fid";
}

// Runs a program and waits; false when it failed.
bool run(const std::vector<std::string>& argv) {
  return platform::run_process(argv, {.env = {}, .capture = false}).status == 0;
}

double median_ms(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::string size_name(std::size_t bytes) {
  return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MiB" : std::to_string(bytes >> 10) + " KiB";
}

}  // namespace

int main() {
  const fs::path root = fs::temp_directory_path() / ("song-bench-" + std::to_string(::getpid()));
  fs::create_directories(root);

  platform::FileSystem files(platform::Drive(root / "drive_c"));
  window::ControlState window;
  platform::SilentMedia silent;
  platform::XdgShell shell(files.drive());
  platform::Services services{files, window, silent, shell};
  window::Form form(services);
  form.prepare_controls();
  common::FormMemory memory;

  std::printf("%-8s %12s %12s %12s %12s %11s %14s\n", "FID", "request ms", "intake ms", "sox ms",
              "request/sox", "intake/sox", "peak_rss_kib");
  double lastA = 0, lastB = 0;
  long lastPeak = 0;
  bool soxOk = true;
  for (const std::size_t bytes : {std::size_t{256} << 10, std::size_t{4} << 20, std::size_t{64} << 20}) {
    const int runs = bytes > (std::size_t{8} << 20) ? 5 : 9;
    const fs::path vFN = make_dataset(root / ("dataset-" + std::to_string(bytes)) / "1", bytes);
    const std::string sound = (root / "sox.wav").string();

    const double intake = median_ms(runs, [&] { (void)intake::loadFIDfile(services, memory, vFN.string()); });
    const double request = median_ms(runs, [&] { (void)sound::createsound(services, memory, "fid", 0, 0); });
    const double sox = median_ms(runs, [&] {
      soxOk &= run({"sox", "-t", "raw", "-r", "8278", "-e", "signed", "-b", "32", "-B", "-c", "2",
                    vFN.string(), "-b", "16", sound, "remix", "2"});
    });
    const long peak = platform::run_process({FID_SONG_CLI, "--no-play", vFN.string()},
                                            {.env = {{"XDG_DATA_HOME", (root / "xdg").string()}},
                                             .capture = false,
                                             .measurePeak = true})
                          .peakKib;
    std::printf("%-8s %12.2f %12.2f %12.2f %12.3f %11.3f %14ld\n", size_name(bytes).c_str(), request,
                intake, sox, request / sox, intake / sox, peak);
    lastA = request / sox;
    lastB = intake / sox;
    lastPeak = peak;
  }
  std::printf("peak resident memory of fid-song-cli on the 64 MiB FID: %ld KiB\n", lastPeak);
  std::printf("bench: request/sox=%.3f intake/sox=%.3f peak_rss_kib=%ld\n", lastA, lastB, lastPeak);

  std::error_code ignored;
  fs::remove_all(root, ignored);
  if (!soxOk) std::fprintf(stderr, "fid-song-bench: sox failed; its times are not comparable\n");
  return soxOk ? 0 : 1;
}
