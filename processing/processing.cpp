// A dataset's spectrum as a chemist reads it.
#include "processing/processing.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/converted_parameters.hpp"
#include "common/solvents.hpp"
#include "processing/baseline.hpp"
#include "processing/group_delay.hpp"
#include "processing/phasing.hpp"
#include "processing/referencing.hpp"
#include "processing/transform.hpp"
#include "bruker/parameters.hpp"
#include "bruker/word_format.hpp"

namespace processing {
namespace {

constexpr std::size_t kMostProcessedPoints = std::size_t{1} << 24;
constexpr double kFidRate = 32768 / 3.9584243;  // the sound's FID rate, when acqus has none
constexpr double kSameFrequencyHz = 0.05;        // a reference this close to BF1 is BF1, written out
constexpr std::size_t kTitleSearched = 4096;     // bytes of a title looked through for its solvent

std::string first_line(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

// A parameter's text without the angle brackets of a Bruker string ("<1H>" as "1H").
std::string bracketed(std::string_view parameters, std::string_view key) {
  std::string text(bruker::parameter_text(parameters, key).value_or(""));
  if (text.size() >= 2 && text.front() == '<' && text.back() == '>') text = text.substr(1, text.size() - 2);
  return text;
}

// 2^-k for a converted acqus's "2^k": what brings its points back to the maker's values.
double original_scale(std::string_view acqus) {
  const auto text = bruker::parameter_text(acqus, common::kScaleParameter);
  if (!text || !text->starts_with("2^")) return 1;
  int exponent = 0;
  const auto digits = text->substr(2);
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
  return error == std::errc() && end == digits.data() + digits.size() ? std::ldexp(1.0, -exponent) : 1;
}

// The frequency the operator calibrated as 0 ppm: procs's SF, or a converted dataset's
// FIDSONG_SF, where it differs from the base frequency BF1; nothing where it is BF1, for
// then nobody calibrated.
std::optional<double> operator_reference(std::string_view acqus, std::string_view procs) {
  auto mhz = bruker::real_parameter(procs, "SF");
  if (!mhz) mhz = bruker::real_parameter(acqus, common::kOperatorReferenceParameter);
  const auto bf1 = bruker::real_parameter(acqus, "BF1");
  if (!mhz || !(*mhz > 0) || (bf1 && std::fabs(*mhz - *bf1) * 1e6 <= kSameFrequencyHz)) return std::nullopt;
  return mhz;
}

// s: the dataset's title, nucleus and the like, to which the points are added.
std::optional<Spectrum> read_processed(platform::FileSystem& files, const std::string& folder, std::string_view acqus,
                                       std::string_view procs, Spectrum s) {
  const auto si = bruker::integer_parameter(procs, "SI");
  const auto offset = bruker::real_parameter(procs, "OFFSET");
  const auto swp = bruker::real_parameter(procs, "SW_p");
  const auto sf = bruker::real_parameter(procs, "SF");
  if (!si || *si <= 1 || !offset || !swp || !(*swp > 0) || !sf || !(*sf > 0) || !files.is_file(folder + "1r")) return std::nullopt;
  bruker::WordFormat format;
  if (bruker::integer_parameter(procs, "BYTORDP") == 0) format.order = bruker::ByteOrder::Little;
  if (bruker::integer_parameter(procs, "DTYPP") == 2) format.type = bruker::WordType::Float64;
  const double scale = std::ldexp(1.0, static_cast<int>(bruker::integer_parameter(procs, "NC_proc").value_or(0)));

  platform::BinaryFile data = files.open_for_reading(folder + "1r");
  const auto points = static_cast<std::size_t>(std::min<std::int64_t>(
      {*si, data.length() / static_cast<std::int64_t>(format.bytes()), static_cast<std::int64_t>(kMostProcessedPoints)}));
  if (points < 2) return std::nullopt;
  s.points.resize(points);
  std::vector<unsigned char> bytes(format.bytes() * 4096);
  double largest = 0;
  for (std::size_t i = 0; i < points;) {
    const std::size_t n = std::min<std::size_t>(4096, points - i);
    data.read(bytes.data(), format.bytes() * n);
    for (std::size_t k = 0; k < n; ++k, ++i) {
      const double v = bruker::word_at(bytes.data() + format.bytes() * k, format) * scale;
      if (!std::isfinite(v)) return std::nullopt;  // no spectrum to read: the FID's, then
      s.points[i] = v;
      largest = std::max(largest, std::fabs(v));
    }
  }
  if (const int exponent = safe_exponent(largest); exponent != 0) {
    for (double& v : s.points) v = std::ldexp(v, exponent);
    s.originalScale *= std::ldexp(1.0, -exponent);
  }
  // The first point is the highest ppm; SI points span SW_p Hz.
  s.frequencyMHz = *sf;
  s.firstHz = *offset * *sf;
  s.hzPerPoint = *swp / static_cast<double>(*si);
  s.noise = noise_of(s.points, signal_free(s.points, s.hzPerPoint));
  // The operator's axis where they calibrated it; referenced here where they did not.
  if (operator_reference(acqus, procs)) {
    s.referencing.kind = Reference::Operator;
  } else {
    reference(s, std::nullopt, s.noise);
  }
  return s;
}

// Whether acqus's sweep, carrier and base frequency make an axis a spectrometer has: finite,
// a base frequency from 1 MHz to 2 GHz, a sweep from 1 Hz to 2000 ppm of it, a carrier
// within 10000 ppm of it.
bool plausible_axis(std::optional<double> swh, std::optional<double> o1, std::optional<double> bf1) {
  constexpr double kLeastMHz = 1, kMostMHz = 2000, kLeastSweepHz = 1, kMostSweepPpm = 2000, kMostCarrierPpm = 10000;
  if (!swh || !o1 || !bf1 || !std::isfinite(*swh) || !std::isfinite(*o1) || !std::isfinite(*bf1)) return false;
  return *bf1 >= kLeastMHz && *bf1 <= kMostMHz && *swh >= kLeastSweepHz && *swh <= kMostSweepPpm * *bf1 &&
         std::fabs(*o1) <= kMostCarrierPpm * *bf1;
}

// The points of a converted FID turned back by i^-k.
void turned_back(Fid& fid, long long k) {
  const int quarter = static_cast<int>(((k % 4) + 4) % 4);
  for (std::size_t i = 0; i < fid.points; ++i) {
    const double re = fid.buffer[i].real(), im = fid.buffer[i].imag();
    switch (quarter) {
      case 1: fid.buffer[i] = {im, -re}; break;
      case 2: fid.buffer[i] = {-re, -im}; break;
      case 3: fid.buffer[i] = {-im, re}; break;
      default: break;
    }
  }
}

Processed processed_fid(platform::FileSystem& files, const Sources& sources, std::string_view acqus,
                        std::string_view procs, Spectrum s) {
  const auto leadIn = bruker::integer_parameter(acqus, common::kLeadInParameter).value_or(0);
  Fid fid = first_fid(files, sources.fid, acqus, static_cast<std::size_t>(std::max<long long>(leadIn, 0)));
  if (fid.nonNumbers) return {std::nullopt, "its FID holds values that are not numbers"};
  turned_back(fid, bruker::integer_parameter(acqus, common::kTurnParameter).value_or(0));
  s.originalScale *= std::ldexp(1.0, -fid.exponent);
  const auto swh = bruker::real_parameter(acqus, "SW_h");
  const auto o1 = bruker::real_parameter(acqus, "O1");
  const auto bf1 = bruker::real_parameter(acqus, "BF1");
  const bool axis = plausible_axis(swh, o1, bf1);
  const double sweep = axis ? *swh : kFidRate;
  const double broadening = s.nucleus == "1H" ? kProtonBroadeningHz : kOtherBroadeningHz;
  const GroupDelay delay = group_delay(acqus, {fid.buffer.data(), fid.points});
  if (!delay.note.empty()) s.notes.push_back(delay.note);
  const auto complex = transformed(std::move(fid), sweep, broadening, delay.points);
  if (!complex) return {};
  s.hzPerPoint = sweep / static_cast<double>(complex->size());
  s.points = phased(*complex, automatic_phase(*complex, s.hzPerPoint));
  const FreeOfSignal free = signal_free(s.points, s.hzPerPoint);
  subtract_baseline(s.points, free);
  s.noise = noise_of(s.points, free);
  // The first point lies half the sweep above the carrier.
  s.firstHz = static_cast<double>(complex->size() / 2) * s.hzPerPoint;
  if (!axis) return {std::move(s), {}};
  const auto sfo1Given = bruker::real_parameter(acqus, "SFO1");
  const double sfo1 = sfo1Given && std::isfinite(*sfo1Given) && std::fabs(*sfo1Given - *bf1) * 1e6 <= std::fabs(*o1) + *swh
                          ? *sfo1Given
                          : *bf1 + *o1 * 1e-6;
  s.frequencyMHz = *bf1;
  s.firstHz += (sfo1 - *bf1) * 1e6;
  reference(s, operator_reference(acqus, procs), s.noise);
  return {std::move(s), {}};
}

}  // namespace

Processed processed(platform::FileSystem& files, const Sources& sources) {
  const std::string acqus = bruker::text_file(files, sources.acqus);
  const std::string procs = sources.processed.empty() ? std::string() : bruker::text_file(files, sources.processed + "procs");
  Spectrum dataset;
  dataset.nucleus = bracketed(acqus, "NUC1");
  if (dataset.nucleus == "off") dataset.nucleus.clear();
  dataset.solvent = bracketed(acqus, "SOLVENT");
  const std::string title = bruker::text_file(files, sources.title);
  dataset.title = first_line(title);
  if (!common::solvent_named(dataset.solvent)) {
    if (std::string named = solvent_in_title(title.substr(0, kTitleSearched)); !named.empty()) dataset.solvent = named;
  }
  dataset.originalScale = original_scale(acqus);
  if (!sources.processed.empty()) {
    if (auto s = read_processed(files, sources.processed, acqus, procs, dataset)) return {std::move(s), {}};
  }
  return processed_fid(files, sources, acqus, procs, std::move(dataset));
}

}  // namespace processing
