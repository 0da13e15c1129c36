// fid-song-bench: times the conversion against sox on the same FIDs, and measures the
// console front end's peak memory.
//
// Two kinds of FID: a realistic one (the demo's decaying FID of ethanol, over and over)
// and one of random words. For each it prints the median time of
// (a) a sound request on the FID already in the scratch folder, (b) the whole intake of a
// dataset holding it, and (c) sox making a 16-bit WAVE of the second word of each pair,
// the three alternated run by run; then the ratios a/c and b/c and the peak resident
// memory of fid-song-cli taking the dataset in; and the time the picture takes once the
// sound plays (the FID's transform, drawn as GIF and EPS). The last lines sum up 64 MiB.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>

#include "bench/window_latency.hpp"
#include "intake/dataset_intake.hpp"
#include "platform/file_system.hpp"
#include "platform/process.hpp"
#include "analysis/analysis.hpp"
#include "processing/processing.hpp"
#include "analysis/report.hpp"
#include "bruker/word_format.hpp"
#include "spectrum/drawing.hpp"
#include "spectrum/trace.hpp"
#include "window/control_state.hpp"
#include "window/form.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

enum class Kind { Decaying, Random };

// Big-endian 32-bit words. Realistic: the demo's FID of ethanol over and over, as a 2D
// dataset holds its FIDs one after the other, so that its samples take every length of
// listing line; random: the listing's worst case.
void write_fid(const fs::path& path, std::size_t bytes, Kind kind) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (kind == Kind::Decaying) {
    std::ifstream in(DEMO_FID, std::ios::binary);
    const std::string demo{std::istreambuf_iterator<char>(in), {}};
    for (std::size_t written = 0; written < bytes && !demo.empty(); written += demo.size()) {
      out.write(demo.data(), static_cast<std::streamsize>(std::min(demo.size(), bytes - written)));
    }
    return;
  }
  std::string block;
  std::uint32_t noise = 1;
  for (std::size_t w = 0; w < bytes / 4; ++w) {
    noise = noise * 1664525u + 1013904223u;
    bruker::append_word(block, bruker::ByteOrder::Big, static_cast<std::int32_t>(noise));
    if (block.size() >= (1 << 20)) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

fs::path make_dataset(const fs::path& folder, std::size_t bytes, Kind kind) {
  fs::create_directories(folder / "pdata/1");
  write_fid(folder / "fid", bytes, kind);
  std::ofstream(folder / "acqus") << "##TITLE= benchmark\n##$TD= " << bytes / 4 << "\n##END=\n";
  std::ofstream(folder / "pdata/1/title") << "benchmark FID of " << bytes << " bytes\n";
  std::ofstream(folder / "pdata/1/plot.ps") << "%!PS\nshowpage\n";
  return folder / "fid";
}

// Runs a program and waits; false when it failed.
bool run(const std::vector<std::string>& argv) {
  return platform::run_process(argv, {.env = {}, .capture = false}).status == 0;
}

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A 1H FID of ethanol at 400 MHz, as a modern console writes it: little-endian words
// behind a digital filter's delay of 67.98 points, with noise; its acqus says so.
fs::path make_proton_dataset(const fs::path& folder, std::size_t points) {
  constexpr double kMHz = 400.13, kSweep = 8000, kCarrierPpm = 4.7, kDelay = 67.98;
  struct Line {
    double ppm, amplitude;
  };
  std::vector<Line> lines = {{7.26, 0.1}, {2.61, 1}};
  for (int k = -1; k <= 1; ++k) lines.push_back({1.22 + k * 7.0 / kMHz, (k == 0 ? 1.5 : 0.75)});
  for (int k = 0; k < 4; ++k) lines.push_back({3.69 + (k - 1.5) * 7.0 / kMHz, (k == 0 || k == 3 ? 0.25 : 0.75)});
  std::string bytes;
  std::uint32_t noise = 12345;
  const auto next_noise = [&] {
    noise = noise * 1664525u + 1013904223u;
    return (static_cast<double>(noise >> 8) / (1 << 24) - 0.5) * 2e4;
  };
  for (std::size_t k = 0; k < points; ++k) {
    double re = next_noise(), im = next_noise();
    const double t = (static_cast<double>(k) - kDelay) / kSweep;
    for (const Line& l : lines) {
      if (t < 0) break;
      const double phase = 2 * M_PI * (l.ppm - kCarrierPpm) * kMHz * t;
      const double v = 5e7 * l.amplitude * std::exp(-t / 0.6);
      re += v * std::cos(phase);
      im += v * std::sin(phase);
    }
    bruker::append_word(bytes, bruker::ByteOrder::Little, static_cast<std::int32_t>(std::lround(re)));
    bruker::append_word(bytes, bruker::ByteOrder::Little, static_cast<std::int32_t>(std::lround(im)));
  }
  fs::create_directories(folder / "pdata/1");
  std::ofstream(folder / "fid", std::ios::binary) << bytes;
  std::ofstream(folder / "acqus") << "##TITLE= benchmark\n##$BF1= 400.13\n##$BYTORDA= 0\n##$DTYPA= 0\n##$GRPDLY= 67.98\n"
                                  << "##$NUC1= <1H>\n##$O1= " << kCarrierPpm * kMHz << "\n##$SOLVENT= <CDCl3>\n##$SW_h= 8000\n"
                                  << "##$TD= " << 2 * points << "\n##END=\n";
  return folder / "fid";
}

// The spectrum made from an FID of 65536 and of 262144 points as intake makes it, once
// its sound plays: processed, analysed and reported; in milliseconds and against the sound
// request of the same FID. False when no spectrum could be made.
bool print_processing(const fs::path& root, platform::Services& services, common::FormMemory& memory) {
  bool made = true;
  std::printf("\n%-18s %15s %12s %10s %11s %13s\n", "FID", "processing ms", "analysis ms", "total ms", "request ms",
              "total/request");
  for (const std::size_t points : {std::size_t{65536}, std::size_t{262144}}) {
    const fs::path vFN = make_proton_dataset(root / ("proton-" + std::to_string(points)) / "1", points);
    (void)intake::loadFIDfile(services, memory, vFN.string(), intake::IntakeOptions::without_picture());
    std::vector<double> processed, analysed, total, request;
    for (int run = 0; run < 11; ++run) {
      auto start = Clock::now();
      const auto s = processing::spectrum_of(services.files, {"", "C:\\temp\\fid", "C:\\temp\\acqus", "C:\\temp\\title"});
      processed.push_back(ms_since(start));
      const auto middle = Clock::now();
      made &= s.has_value() && !analysis::report_of(*s, analysis::analyse(*s)).empty();
      analysed.push_back(ms_since(middle));
      total.push_back(ms_since(start));
      start = Clock::now();
      (void)sound::createsound(services, memory, "fid", 0, 0);
      request.push_back(ms_since(start));
    }
    const std::string label = std::to_string(points) + " points";
    std::printf("%-18s %15.2f %12.2f %10.2f %11.2f %13.3f\n", label.c_str(), median(processed), median(analysed),
                median(total), median(request), median(total) / median(request));
  }
  return made;
}

std::string size_name(std::size_t bytes) {
  return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MiB" : std::to_string(bytes >> 10) + " KiB";
}

}  // namespace

int main(int argc, char** argv) {
  // The window's part runs offscreen: no display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const fs::path root = fs::temp_directory_path() / ("song-bench-" + std::to_string(::getpid()));
  fs::create_directories(root);

  platform::FileSystem files(platform::Drive(root / "drive_c"));
  window::ControlState window;
  platform::SilentMedia silent;
  platform::XdgShell shell(files.drive(), nullptr);
  platform::Services services{files, window, silent, shell};
  window::Form form(services);
  form.prepare_controls();
  common::FormMemory memory;

  std::printf("%-17s %11s %10s %8s %12s %11s %11s %13s %12s\n", "FID", "request ms", "intake ms", "sox ms",
              "request/sox", "intake/sox", "picture ms", "peak_rss_kib", "+picture kib");
  std::vector<std::string> summary;
  bool soxOk = true, drawnOk = true;
  const struct {
    Kind kind;
    const char* name;
    std::size_t bytes;
  } fids[] = {{Kind::Decaying, "decaying", std::size_t{256} << 10},
              {Kind::Decaying, "decaying", std::size_t{4} << 20},
              {Kind::Decaying, "decaying", std::size_t{64} << 20},
              {Kind::Random, "random words", std::size_t{64} << 20}};
  for (const auto& [kind, name, bytes] : fids) {
    const int runs = bytes > (std::size_t{8} << 20) ? 7 : 11;
    const fs::path vFN = make_dataset(root / ("dataset-" + std::to_string(bytes) + name) / "1", bytes, kind);
    const std::string sound = (root / "sox.wav").string();

    // Alternated, so that the machine's moods fall on all three alike.
    std::vector<double> intake, request, sox, picture;
    for (int i = 0; i < runs; ++i) {
      auto start = Clock::now();
      (void)intake::loadFIDfile(services, memory, vFN.string());
      intake.push_back(ms_since(start));
      start = Clock::now();
      (void)sound::createsound(services, memory, "fid", 0, 0);
      request.push_back(ms_since(start));
      // The picture as intake draws it, once the sound is playing: the spectrum (here the
      // FID processed) as GIF and as EPS.
      start = Clock::now();
      const auto processed = processing::spectrum_of(
          files, {(vFN.parent_path() / "pdata/1/").string(), "C:\\temp\\fid", "C:\\temp\\acqus", "C:\\temp\\title"});
      const auto drawn = processed ? spectrum::trace_of(*processed, spectrum::kColumns) : std::nullopt;
      drawnOk &= drawn && spectrum::gif_of(*drawn) && spectrum::eps_of(*drawn);
      picture.push_back(ms_since(start));
      start = Clock::now();
      soxOk &= run({"sox", "-t", "raw", "-r", "8278", "-e", "signed", "-b", "32", "-B", "-c", "2",
                    vFN.string(), "-b", "16", sound, "remix", "2"});
      sox.push_back(ms_since(start));
    }
    const auto peak_of = [&](const std::vector<std::string>& command) {
      return platform::run_process(command, {.env = {{"XDG_DATA_HOME", (root / "xdg").string()}},
                                          .capture = false,
                                          .measurePeak = true})
          .peakKib;
    };
    // The conversion's own, and with the picture's libraries and drawing on top.
    const long peak = peak_of({FID_SONG_CLI, "--no-play", "--no-picture", vFN.string()});
    const long withPicture = peak_of({FID_SONG_CLI, "--no-play", vFN.string()});
    const std::string label = std::string(name) + " " + size_name(bytes);
    const double a = median(request), b = median(intake), c = median(sox);
    std::printf("%-17s %11.2f %10.2f %8.2f %12.3f %11.3f %11.2f %13ld %12ld\n", label.c_str(), a, b, c, a / c,
                b / c, median(picture), peak, withPicture);
    if (bytes == (std::size_t{64} << 20)) {
      char line[200];
      std::snprintf(line, sizeof line,
                    "bench %s: request/sox=%.3f intake/sox=%.3f picture_ms=%.2f peak_rss_kib=%ld (%ld with the picture)",
                    label.c_str(), a / c, b / c, median(picture), peak, withPicture);
      summary.push_back(line);
    }
  }
  for (const auto& line : summary) std::printf("%s\n", line.c_str());
  drawnOk &= print_processing(root, services, memory);
  const bool windowOk = bench::print_window_latency(root) &&
                        bench::print_view_latency(root, root / "proton-262144/1/fid");

  std::error_code ignored;
  fs::remove_all(root, ignored);
  if (!soxOk) std::fprintf(stderr, "fid-song-bench: sox failed; its times are not comparable\n");
  if (!drawnOk) std::fprintf(stderr, "fid-song-bench: a spectrum could not be drawn\n");
  if (!windowOk) std::fprintf(stderr, "fid-song-bench: the window played nothing\n");
  return soxOk && drawnOk && windowOk ? 0 : 1;
}
