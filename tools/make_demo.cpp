// make-demo: writes the bundled demo dataset, a synthetic 1H spectrum of ethanol.
//
// usage: make-demo DATASET-FOLDER
// Writes fid, acqus, pdata/1/title and pdata/1/ethanol_1h.ps into the folder. The output
// depends only on this file, so the committed demo can be checked by regenerating it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bruker/word_format.hpp"

namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;
constexpr double kSpectrometerMHz = 400.13;
constexpr double kSweepHz = 32768 / 3.9584243;  // complex points per second
constexpr double kCarrierPpm = 4.70;
constexpr int kComplexPoints = 32768;  // 65536 words, 262144 bytes
constexpr int kLeadInPoints = 40;         // the digital filter's 320-byte lead-in
constexpr double kFullScale = 2.0e6;      // a typical receiver level

struct Line {
  double ppm;
  double amplitude;  // relative
  double t2;         // seconds
};

// Ethanol: CH3 triplet, CH2 quartet (J = 7 Hz), OH singlet, and the CDCl3 residual.
std::vector<Line> lines() {
  const double j = 7.0 / kSpectrometerMHz;
  std::vector<Line> out;
  for (int k = -1; k <= 1; ++k) out.push_back({1.22 + k * j, (k == 0 ? 2.0 : 1.0) * 3 / 4, 0.30});
  for (int k = 0; k < 4; ++k) {
    out.push_back({3.69 + (k - 1.5) * j, (k == 0 || k == 3 ? 1.0 : 3.0) * 2 / 8, 0.25});
  }
  out.push_back({2.61, 1.0, 0.12});
  out.push_back({7.26, 0.15, 0.50});
  return out;
}

double offset_hz(double ppm) { return (ppm - kCarrierPpm) * kSpectrometerMHz; }

std::string fid() {
  const auto spectrum = lines();
  std::string bytes;
  std::uint32_t noise = 12345;  // a fixed linear congruential sequence
  const auto next_noise = [&] {
    noise = noise * 1664525u + 1013904223u;
    return (static_cast<double>(noise >> 8) / (1 << 24) - 0.5) * 2400.0;
  };
  for (int p = 0; p < kComplexPoints; ++p) {
    double re = 0, im = 0;
    if (p < kLeadInPoints) {
      // The filter's ramp: small, ringing values.
      re = 3000.0 * std::sin(0.9 * p) * (p / double(kLeadInPoints)) * (p / double(kLeadInPoints));
      im = -re / 2;
    } else {
      const double t = (p - kLeadInPoints) / kSweepHz;
      for (const Line& l : spectrum) {
        const double phase = 2 * kPi * offset_hz(l.ppm) * t;
        const double a = kFullScale / 3.0 * l.amplitude * std::exp(-t / l.t2);
        re += a * std::cos(phase);
        im += a * std::sin(phase);
      }
      re += next_noise();
      im += next_noise();
    }
    bruker::append_word(bytes, bruker::ByteOrder::Big, static_cast<std::int32_t>(std::lround(re)));
    bruker::append_word(bytes, bruker::ByteOrder::Big, static_cast<std::int32_t>(std::lround(im)));
  }
  return bytes;
}

std::string acqus() {
  char numbers[512];
  std::snprintf(numbers, sizeof numbers,
                "##$BF1= %.2f\n##$O1= %.2f\n##$SFO1= %.7f\n##$SW= %.4f\n##$SW_h= %.3f\n"
                "##$DW= %.2f\n##$TD= %d\n",
                kSpectrometerMHz, kCarrierPpm * kSpectrometerMHz,
                kSpectrometerMHz + kCarrierPpm * kSpectrometerMHz * 1e-6,
                kSweepHz / kSpectrometerMHz, kSweepHz, 1e6 / (2 * kSweepHz), 2 * kComplexPoints);
  return std::string("##TITLE= Parameter file, FID-Song demo dataset\n"
                     "##JCAMPDX= 5.0\n"
                     "##DATATYPE= Parameter Values\n"
                     "##ORIGIN= FID-Song make-demo\n"
                     "##OWNER= demo\n"
                     "$$ synthetic 1H spectrum of ethanol in CDCl3\n"
                     "##$AQ_mod= 3\n") +
         numbers +
         "##$BYTORDA= 1\n"
         "##$DTYPA= 0\n"
         "##$NS= 8\n"
         "##$NUC1= <1H>\n"
         "##$PULPROG= <zg30>\n"
         "##$SOLVENT= <CDCl3>\n"
         "##$TE= 298\n"
         "##END=\n";
}

// The absorption spectrum, a sum of Lorentzian lines, drawn from 8 ppm down to 0 ppm.
std::string plot() {
  const auto spectrum = lines();
  constexpr double left = 50, right = 562, base = 60, height = 200, high = 8.0, low = 0.0;
  const auto x_of = [&](double ppm) { return left + (high - ppm) / (high - low) * (right - left); };
  constexpr int steps = 4000;  // 0.8 Hz a step, finer than the lines are wide
  std::vector<double> intensity(steps + 1);
  double peak = 0;
  for (int i = 0; i <= steps; ++i) {
    const double hz = offset_hz(high - (high - low) * i / steps);
    for (const Line& l : spectrum) {
      const double x = 2 * kPi * (hz - offset_hz(l.ppm)) * l.t2;
      intensity[i] += l.amplitude * l.t2 / (1 + x * x);
    }
    peak = std::max(peak, intensity[i]);
  }
  std::string ps =
      "%!PS-Adobe-3.0 EPSF-3.0\n"
      "%%BoundingBox: 0 0 612 300\n"
      "%%Title: (Ethanol in CDCl3, 1H, 400 MHz - FID-Song demo)\n"
      "%%Creator: (FID-Song make-demo)\n"
      "%%EndComments\n"
      "/Helvetica findfont 10 scalefont setfont\n"
      "0.6 setlinewidth\n"
      "newpath\n";
  char buffer[128];
  for (int i = 0; i <= steps; ++i) {
    const double ppm = high - (high - low) * i / steps;
    std::snprintf(buffer, sizeof buffer, "%.2f %.2f %s\n", x_of(ppm),
                  base + height * intensity[i] / peak, i == 0 ? "moveto" : "lineto");
    ps += buffer;
  }
  ps += "stroke\n0.4 setlinewidth\n";
  std::snprintf(buffer, sizeof buffer, "newpath %.2f %.2f moveto %.2f %.2f lineto stroke\n", left,
                base - 10, right, base - 10);
  ps += buffer;
  for (int ppm = 0; ppm <= 8; ++ppm) {
    const double x = x_of(ppm);
    std::snprintf(buffer, sizeof buffer,
                  "newpath %.2f %.2f moveto 0 -5 rlineto stroke %.2f %.2f moveto (%d) show\n", x,
                  base - 10, x - 3, base - 27, ppm);
    ps += buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%.2f %.2f moveto (ppm) show\n", x_of(4.1), base - 42);
  ps += buffer;
  std::snprintf(buffer, sizeof buffer, "%.2f %.2f moveto (Ethanol in CDCl3, 1H, 400 MHz) show\n",
                left, base + height + 20);
  ps += buffer;
  ps += "showpage\n%%EOF\n";
  return ps;
}

bool write(const fs::path& path, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make-demo DATASET-FOLDER\n";
    return 2;
  }
  const fs::path folder = argv[1];
  const bool ok = write(folder / "fid", fid()) && write(folder / "acqus", acqus()) &&
                  write(folder / "pdata/1/title", "Ethanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n") &&
                  write(folder / "pdata/1/ethanol_1h.ps", plot());
  if (!ok) std::cerr << "make-demo: cannot write into " << folder << "\n";
  return ok ? 0 : 1;
}
