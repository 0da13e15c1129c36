// The spectrum exported as JCAMP-DX, read back by the program's own reader and by a
// decoding of the table written here from the standard's rules, to the same points.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "formats/jcamp_dx.hpp"
#include "formats/jcamp_dx_writer.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

// "##LABEL= value" records and the (X++(Y..Y)) table's ordinates, decoded as the standard
// describes its forms: AFFN, SQZ (@A-I a-i), DIF (%J-R j-r) and DUP (S-Z s); a line after a
// DIF line repeats the last ordinate first.
struct Decoded {
  std::map<std::string, std::string> records;
  std::vector<double> xs;  // each line's abscissa
  std::vector<long long> ys;
};
Decoded decode(const std::string& text) {
  Decoded d;
  bool table = false, checkNext = false;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("##", 0) == 0) {
      const auto eq = line.find('=');
      d.records[line.substr(2, eq - 2)] = line.substr(eq + 1 + (line.size() > eq + 1 && line[eq + 1] == ' '));
      table = line.rfind("##XYDATA=", 0) == 0;
      continue;
    }
    if (!table) continue;
    std::size_t at = 0;
    while (at < line.size() && (std::isdigit(static_cast<unsigned char>(line[at])) || line[at] == '.' || line[at] == '-')) ++at;
    d.xs.push_back(std::stod(line.substr(0, at)));
    std::vector<long long> values;
    long long lastDifference = 0;
    bool lastWasDifference = false;
    while (at < line.size()) {
      const char c = line[at++];
      std::string digits;
      while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) digits += line[at++];
      const auto tail = [&](int first) { return std::stoll(std::to_string(first) + digits); };
      if (c == '@' || (c >= 'A' && c <= 'I') || (c >= 'a' && c <= 'i')) {
        values.push_back(c == '@' ? 0 : c <= 'I' ? tail(c - 'A' + 1) : -tail(c - 'a' + 1));
        lastWasDifference = false;
      } else if (c == '%' || (c >= 'J' && c <= 'R') || (c >= 'j' && c <= 'r')) {
        lastDifference = c == '%' ? 0 : c <= 'R' ? tail(c - 'J' + 1) : -tail(c - 'j' + 1);
        values.push_back(values.back() + lastDifference);
        lastWasDifference = true;
      } else if ((c >= 'S' && c <= 'Z') || c == 's') {
        const long long count = tail(c == 's' ? 9 : c - 'S' + 1);
        for (long long k = 1; k < count; ++k) values.push_back(values.back() + (lastWasDifference ? lastDifference : 0));
      }
    }
    if (checkNext) {
      EXPECT_EQ(values.front(), d.ys.back()) << "the check value repeats the last ordinate";
      values.erase(values.begin());
    }
    d.ys.insert(d.ys.end(), values.begin(), values.end());
    checkNext = lastWasDifference;
  }
  return d;
}

TEST(Export, TheSpectrumReadsBackToTheSamePointsByTheProgramsReaderAndByTheStandard) {
  std::vector<double> points;
  for (int i = 0; i < 20000; ++i) {
    const double a = (i - 5000) / 3.0, b = (i - 14000) / 2.0;
    points.push_back(1e9 / (1 + a * a) + 4e8 / (1 + b * b) + (i % 7) * 1e4 - 3e4 + (i > 19000 ? 0 : 1));
  }
  formats::ExportedSpectrum s;
  s.observeMHz = 400.13;
  s.firstHz = 4001.3;  // 10 ppm
  s.lastHz = 4001.3 - 19999 * 0.25;
  s.nucleus = "1H";
  s.solvent = "CDCl3";
  s.title = "two lines";
  s.reference = formats::ShiftReference{"INTERNAL", "TMS", 16005, 0};
  s.scale = std::ldexp(1.0, -10);  // a converted FID's points were 2^10 times the maker's
  s.points = points;
  const std::string text = formats::jcamp_spectrum(s);
  Decoded d = decode(text);
  EXPECT_EQ(d.records["JCAMP-DX"], "5.01 $$ FID-Song");
  EXPECT_EQ(d.records["DATA TYPE"], "NMR SPECTRUM");
  EXPECT_EQ(d.records["XUNITS"], "HZ");
  EXPECT_EQ(d.records[".OBSERVE FREQUENCY"], "400.13");
  EXPECT_EQ(d.records[".OBSERVE NUCLEUS"], "^1H");
  EXPECT_EQ(d.records[".SHIFT REFERENCE"], "INTERNAL, TMS, 16005, 0");
  EXPECT_EQ(d.records[".SOLVENT NAME"], "CDCl3");
  EXPECT_EQ(d.records["TITLE"], "two lines");
  EXPECT_EQ(d.records["NPOINTS"], "20000");
  ASSERT_EQ(d.ys.size(), 20000u);
  const double factor = std::stod(d.records["YFACTOR"]);
  for (std::size_t i = 0; i < points.size(); i += 7) {
    EXPECT_NEAR(static_cast<double>(d.ys[i]) * factor, points[i] * s.scale, factor) << i;
  }
  // Each line's abscissa is its first point's.
  const double firstX = std::stod(d.records["FIRSTX"]), lastX = std::stod(d.records["LASTX"]);
  EXPECT_DOUBLE_EQ(firstX, 4001.3);
  EXPECT_DOUBLE_EQ(lastX, 4001.3 - 19999 * 0.25);
  for (const std::string& line : {text}) {
    for (std::size_t at = 0, end; (end = line.find('\n', at)) != std::string::npos; at = end + 1) {
      EXPECT_LE(end - at, 80u) << "lines of 80 characters at most";
    }
  }

  // The program's own reader of JCAMP-DX spectra: the same points.
  Workbench bench;
  write_file(bench.root.path() / "spectrum.dx", text);
  formats::Source source(bench.files, (bench.root.path() / "spectrum.dx").string());
  std::string why;
  const auto back = formats::read_jcamp_spectrum(source, why);
  ASSERT_TRUE(back) << why;
  ASSERT_EQ(back->y.size(), d.ys.size());
  for (std::size_t i = 0; i < d.ys.size(); ++i) ASSERT_EQ(back->y[i], static_cast<double>(d.ys[i]) * factor) << i;
  EXPECT_EQ(back->firstX, firstX);
  EXPECT_EQ(back->lastX, lastX);
  EXPECT_EQ(back->xUnits, "HZ");
  EXPECT_EQ(back->observeMHz, 400.13);
}

TEST(Export, ADamagedTableIsRefusedWithWhy) {
  Workbench bench;
  std::vector<double> points;
  for (int i = 0; i < 50; ++i) points.push_back(i * i);
  formats::ExportedSpectrum s;
  s.observeMHz = 100;
  s.lastHz = -49;
  s.points = points;
  std::string text = formats::jcamp_spectrum(s);
  text.replace(text.find("##NPOINTS= 50"), 13, "##NPOINTS= 51");
  write_file(bench.root.path() / "bad.dx", text);
  formats::Source source(bench.files, (bench.root.path() / "bad.dx").string());
  std::string why;
  EXPECT_FALSE(formats::read_jcamp_spectrum(source, why));
  EXPECT_NE(why.find("its table holds 50 points, ##NPOINTS says 51"), std::string::npos) << why;
}

}  // namespace
