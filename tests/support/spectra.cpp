// Synthetic 1H datasets with known multiplets.
#include "tests/support/spectra.hpp"

#include <algorithm>
#include <cmath>
#include <regex>
#include <complex>
#include <random>

#include "processing/processing.hpp"
#include "bruker/word_format.hpp"
#include "spectrum/drawing.hpp"
#include "tests/support/files.hpp"
#include "tests/support/workbench.hpp"

namespace testsupport {
namespace {

constexpr double kTmsPpm = 0, kWaterWidthHz = 3;

// A solvent's residual line: where it lies and how many deuterons of what coupling split it.
struct Residual {
  double ppm;
  int deuterons;
  double couplingHz;
};
struct KnownSolvent {
  const char* name;
  Residual proton, carbon;
  double waterPpm;
};
constexpr KnownSolvent kKnownSolvents[] = {
    {"CDCl3", {7.26, 0, 0}, {77.16, 1, 32.0}, 1.56},     {"DMSO-d6", {2.50, 2, 1.9}, {39.52, 3, 21.0}, 3.33},
    {"CD3OD", {3.31, 2, 1.7}, {49.00, 3, 21.4}, 4.87},   {"acetone-d6", {2.05, 2, 2.2}, {29.84, 3, 19.4}, 2.84},
    {"C6D6", {7.16, 0, 0}, {128.06, 1, 24.3}, 0.40},    {"CD3CN", {1.94, 2, 2.5}, {1.32, 3, 21.0}, 2.13},
};

// Each line of a residual pattern: its offset and its share, each deuteron splitting every
// line into three of equal height.
std::vector<std::pair<double, double>> deuterium_lines(const Residual& r) {
  std::vector<double> shares = {1};
  for (int d = 0; d < r.deuterons; ++d) {
    std::vector<double> next(shares.size() + 2, 0);
    for (std::size_t k = 0; k < shares.size(); ++k) next[k] += shares[k], next[k + 1] += shares[k], next[k + 2] += shares[k];
    shares = next;
  }
  double total = 0;
  for (const double v : shares) total += v;
  std::vector<std::pair<double, double>> lines;
  for (std::size_t k = 0; k < shares.size(); ++k) {
    lines.push_back({(static_cast<double>(k) - static_cast<double>(shares.size() - 1) / 2) * r.couplingHz, shares[k] / total});
  }
  return lines;
}

const KnownSolvent* known_solvent(const std::string& name) {
  for (const KnownSolvent& k : kKnownSolvents) {
    if (name == k.name) return &k;
  }
  return nullptr;
}

// Each line of a multiplet: its offset from the centre and its share of the multiplet.
std::vector<std::pair<double, double>> components(const std::vector<double>& couplings) {
  std::vector<std::pair<double, double>> c = {{0, 1}};
  for (const double j : couplings) {
    std::vector<std::pair<double, double>> next;
    for (const auto& [at, share] : c) next.insert(next.end(), {{at - j / 2, share / 2}, {at + j / 2, share / 2}});
    c = std::move(next);
  }
  return c;
}

}  // namespace

std::vector<std::pair<double, double>> made_fid(const MadeSpectrum& m) {
  std::vector<std::complex<double>> z(m.points);
  const double o1 = m.carrierPpm * m.frequencyMHz;
  const auto add_lines = [&](double ppm, const std::vector<std::pair<double, double>>& lines, double protons, double widthHz) {
    // A Lorentzian of full width w at half height decays as exp(-pi w t).
    const double decay = M_PI * widthHz / m.sweepHz;
    for (const auto& [offset, share] : lines) {
      const double hz = ppm * m.frequencyMHz - o1 + offset;
      const std::complex<double> turn = std::polar(std::exp(-decay), 2 * M_PI * hz / m.sweepHz);
      // The digital filter delays the signal by groupDelay points: its time zero lies there,
      // and nothing comes before it.
      const auto first = static_cast<std::size_t>(std::ceil(m.groupDelay));
      const double late = static_cast<double>(first) - m.groupDelay;
      std::complex<double> v = protons * share * std::polar(std::exp(-decay * late), 2 * M_PI * hz * late / m.sweepHz + m.zeroPhase);
      for (std::size_t k = first; k < m.points; ++k, v *= turn) z[k] += v;
    }
  };
  const auto add = [&](double ppm, const std::vector<double>& couplings, double protons, double widthHz) {
    add_lines(ppm, components(couplings), protons, widthHz);
  };
  for (const MadeMultiplet& multiplet : m.multiplets) add(multiplet.ppm, multiplet.couplings, multiplet.protons, multiplet.widthHz);
  if (m.tmsProtons > 0) add(kTmsPpm, {}, m.tmsProtons, m.referenceWidthHz);
  const bool carbon = m.nucleus == "13C";
  if (const KnownSolvent* solvent = known_solvent(m.solvent); solvent && m.solventProtons > 0) {
    const Residual& r = carbon ? solvent->carbon : solvent->proton;
    add_lines(r.ppm, deuterium_lines(r), m.solventProtons, m.referenceWidthHz);
  }
  if (const KnownSolvent* solvent = known_solvent(m.solvent); solvent && m.waterProtons > 0 && !carbon) {
    add(solvent->waterPpm, {}, m.waterProtons, kWaterWidthHz);
  }
  std::mt19937 random(m.seed);
  std::normal_distribution<double> noise(0, m.noise);
  std::vector<std::pair<double, double>> pairs;
  for (const auto& v : z) pairs.emplace_back(v.real() + noise(random), v.imag() + noise(random));
  return pairs;
}

std::filesystem::path make_spectrum_dataset(const std::filesystem::path& folder, const MadeSpectrum& m, const std::string& title) {
  const auto pairs = made_fid(m);
  double largest = 0;
  for (const auto& [re, im] : pairs) largest = std::max({largest, std::fabs(re), std::fabs(im)});
  const double scale = std::ldexp(1.0, 28) / largest;
  std::string fid;
  for (const auto& [re, im] : pairs) {
    bruker::append_word(fid, bruker::ByteOrder::Little, static_cast<std::int32_t>(std::lround(re * scale)));
    bruker::append_word(fid, bruker::ByteOrder::Little, static_cast<std::int32_t>(std::lround(im * scale)));
  }
  const double o1 = (m.carrierPpm + m.axisErrorPpm) * m.frequencyMHz;
  const auto number = [](double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.12g", v);
    return std::string(text);
  };
  const std::string acqus = "##TITLE= Parameter file\n##JCAMPDX= 5.0\n##$BF1= " + number(m.frequencyMHz) +
                            "\n##$BYTORDA= 0\n##$DECIM= 1664\n##$DSPFVS= 20\n##$DTYPA= 0\n##$GRPDLY= " + number(m.groupDelay) +
                            "\n##$NUC1= <" + m.nucleus + ">\n##$O1= " + number(o1) + "\n##$SFO1= " + number(m.frequencyMHz + o1 * 1e-6) +
                            (m.solventInAcqus == "-" ? std::string() : "\n##$SOLVENT= <" + (m.solventInAcqus.empty() ? m.solvent : m.solventInAcqus) + ">") + "\n##$SW_h= " + number(m.sweepHz) + "\n##$TD= " +
                            std::to_string(2 * m.points) + "\n##END=\n";
  return make_dataset(folder, {fid, title, acqus, {}});
}

std::optional<spectrum::Trace> scratch_trace(platform::FileSystem& files, const std::string& processed) {
  const auto s = processing::spectrum_of(files, {processed, "C:\\temp\\fid", "C:\\temp\\acqus", "C:\\temp\\title"});
  return s ? spectrum::trace_of(*s, spectrum::kColumns) : std::nullopt;
}

std::filesystem::path shared_datasets() { return SHARED_DATASETS; }

std::optional<processing::Spectrum> processed_without_1r(platform::FileSystem& files, const std::filesystem::path& root,
                                                         const std::string& dataset) {
  const std::filesystem::path copy = root / dataset;
  std::filesystem::create_directories(copy);
  std::filesystem::copy(shared_datasets() / dataset, copy, std::filesystem::copy_options::recursive);
  std::filesystem::remove(copy / "pdata/1/1r");
  return processing::spectrum_of(files, {(copy / "pdata/1/").string(), (copy / "fid").string(), (copy / "acqus").string(),
                                         (copy / "pdata/1/title").string()});
}

std::string pattern_name(const std::vector<double>& couplings) {
  static const char* const kLetters[] = {"", "d", "t", "q", "p", "sext", "sept"};
  std::vector<double> j(couplings);
  std::sort(j.rbegin(), j.rend());
  std::string name;
  for (std::size_t k = 0; k < j.size();) {
    std::size_t n = 1;
    while (k + n < j.size() && j[k + n] == j[k]) ++n;
    name += kLetters[n];
    k += n;
  }
  return name.empty() ? "s" : name;
}

std::string hostile_dataset(const std::filesystem::path& folder, double scale, std::optional<double> special,
                            const std::string& grpdly) {
  MadeSpectrum made;
  made.multiplets = {{4.12, {7.1, 7.1, 7.1}, 2}, {1.26, {7.1, 7.1}, 3}};
  const std::filesystem::path fid = make_spectrum_dataset(folder, made, "hostile");
  std::vector<double> values;
  for (const auto& [re, im] : made_fid(made)) {
    values.push_back(re * scale);
    values.push_back(im * scale);
  }
  for (std::size_t k = 5; special && k < values.size(); k += 97) values[k] = *special;
  write_file(fid, words({bruker::ByteOrder::Little, bruker::WordType::Float64}, values));
  std::string acqus = read_file(folder / "acqus");
  acqus = std::regex_replace(acqus, std::regex("##\\$DTYPA= 0"), "##$DTYPA= 2");
  acqus = std::regex_replace(acqus, std::regex("##\\$GRPDLY= [^\\n]*"), "##$GRPDLY= " + grpdly);
  write_file(folder / "acqus", acqus);
  return fid.string();
}

}  // namespace testsupport
