// The spectrum as a picture for a paper or a slide.
#include "spectrum/picture.hpp"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

#include "analysis/report.hpp"
#include "platform/text.hpp"
#include "spectrum/cairo_support.hpp"
#include "spectrum/drawing.hpp"
#include "spectrum/integral_curves.hpp"

namespace spectrum {
namespace {

constexpr double kPointsPerCm = 72 / 2.54;
constexpr double kLayoutWidth = 800;     // points: a PNG is laid out this wide, its pixels scaled to it
constexpr double kLeastSide = 16, kMostSide = 16000;  // pixels
constexpr double kTitleSize = 10, kTextSize = 8;      // points
constexpr double kMargin = 16;
constexpr double kCurvesShare = 0.35;    // of the plot's height: the largest integral's curve
constexpr double kCurvesLift = 0.06;     // above the plot's bottom
constexpr std::size_t kCurvePoints = 400;
constexpr double kSignalMargin = 0.05;   // of the axis, beside the signals

// The ink of the trace and text, and of the integrals.
constexpr double kInk[] = {0.1, 0.1, 0.1};
constexpr double kIntegral[] = {0.1, 0.35, 0.75};

struct Label {
  double at = 0;  // where its lines stand: on the axis, then the x of that
  double x = 0;   // where it stands
  std::string text;
};

// Labels side by side, at least room apart, each as near its lines as that allows,
// within [left, right].
void spread(std::vector<Label>& labels, double room, double left, double right) {
  std::sort(labels.begin(), labels.end(), [](const Label& a, const Label& b) { return a.at < b.at; });
  for (Label& l : labels) l.x = std::clamp(l.at, left, right);
  for (std::size_t i = 1; i < labels.size(); ++i) labels[i].x = std::max(labels[i].x, labels[i - 1].x + room);
  // Those pushed past the right edge back, and the ones before them with them.
  for (std::size_t i = labels.size(); i-- > 0;) {
    const double most = i + 1 < labels.size() ? labels[i + 1].x - room : right;
    labels[i].x = std::min(labels[i].x, most);
  }
}

void set_colour(cairo_t* cr, const double (&rgb)[3]) { cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]); }

void show_centred(cairo_t* cr, const std::string& text, double x, double baseline) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_move_to(cr, x - e.x_advance / 2, baseline);
  cairo_show_text(cr, text.c_str());
}

// Draws in points of the layout: width x height of them.
void draw(cairo_t* cr, const processing::Spectrum& s, const analysis::Analysis& a, const Range& range, double width,
          double height) {
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  use_picture_font(cr);
  const bool ppm = s.in_ppm();
  const bool multiplets = !a.multiplets.empty();

  // The title.
  std::string heading = utf8_of(s.title);
  if (!s.nucleus.empty()) heading += (heading.empty() ? "" : "  \u2014  ") + utf8_of(s.nucleus);
  set_colour(cr, kInk);
  cairo_set_font_size(cr, kTitleSize);
  cairo_move_to(cr, kMargin, kMargin + kTitleSize);
  cairo_show_text(cr, heading.c_str());

  // The labels stand on end above the plot, as long as the longest; the axis, its labels
  // and the protons under it.
  cairo_set_font_size(cr, kTextSize);
  std::vector<Label> labels;
  std::vector<IntegralCurve> curves;
  if (multiplets) {
    for (const analysis::Multiplet& m : a.multiplets) {
      if (range.holds(m.shift)) labels.push_back({m.shift, 0, analysis::mark_text(m, ppm)});
    }
    curves = integral_curves(s, a.multiplets, kCurvePoints);
  } else {
    for (const double line : a.lines) {
      if (range.holds(line)) labels.push_back({line, 0, platform::fixed_text(line, ppm ? 1 : 0)});
    }
  }
  double longest = 0;
  for (const Label& l : labels) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, l.text.c_str(), &e);
    longest = std::max(longest, e.x_advance);
  }
  const double labelsTop = kMargin + kTitleSize + kMargin / 2;
  const double labelsBottom = labelsTop + std::min(longest + kMargin, height / 3);
  const double leaders = kMargin;  // where the leader lines bend towards their lines
  const double plotTop = labelsBottom + leaders;
  const double axisY = height - kMargin - 3 * kTextSize - (multiplets ? kTextSize * 1.5 : 0);
  const double left = kMargin, right = width - kMargin;
  if (!(axisY > plotTop + kMargin) || !(right > left + kMargin)) return;
  const auto columns = static_cast<std::size_t>(std::max(2.0, (right - left) * 2));
  const std::optional<Trace> trace = trace_of(s, columns, range);
  if (!trace) return;
  const auto x_of = [&](double v) { return left + (trace->left - v) / (trace->left - trace->right) * (right - left); };
  const Scale scale = scale_of(*trace);
  const double plotHeight = axisY - 2 - plotTop;
  const auto y_of = [&](double v) { return axisY - 2 - (v - scale.bottom) / (scale.top - scale.bottom) * plotHeight; };

  // The trace: each column from its lowest to its highest point.
  set_colour(cr, kInk);
  cairo_set_line_width(cr, 0.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  const double step = (right - left) / static_cast<double>(trace->columns.size());
  for (std::size_t i = 0; i < trace->columns.size(); ++i) {
    const double x = left + (static_cast<double>(i) + 0.5) * step;
    if (i == 0) cairo_move_to(cr, x, y_of(trace->columns[i].low));
    cairo_line_to(cr, x, y_of(trace->columns[i].low));
    cairo_line_to(cr, x, y_of(trace->columns[i].high));
  }
  cairo_stroke(cr);

  // The axis, its ticks and their labels, and the unit.
  cairo_set_line_width(cr, 0.75);
  cairo_move_to(cr, left, axisY);
  cairo_line_to(cr, right, axisY);
  cairo_stroke(cr);
  const Ticks ticks = ticks_of(*trace);
  for (const double v : ticks.values) {
    const double x = x_of(v);
    cairo_move_to(cr, x, axisY);
    cairo_line_to(cr, x, axisY + kTextSize / 2);
    cairo_stroke(cr);
    show_centred(cr, platform::fixed_text(v, ticks.decimals), x, axisY + kTextSize * 1.6);
  }
  show_centred(cr, ppm ? "ppm" : "Hz", (left + right) / 2, axisY + kTextSize * 2.9);

  // The integrals, as running sums over their lines, and their protons under the axis,
  // spread as the labels are.
  set_colour(cr, kIntegral);
  cairo_set_line_width(cr, 0.75);
  const double base = axisY - 2 - kCurvesLift * plotHeight;
  std::vector<Label> protons;
  for (const IntegralCurve& c : curves) {
    if (!range.holds(c.at)) continue;
    protons.push_back({x_of(c.at), 0, std::to_string(c.protons) + "H"});
    for (std::size_t k = 0; k < c.points.size(); ++k) {
      const double x = x_of(c.points[k].first), y = base - c.points[k].second * kCurvesShare * plotHeight;
      if (k == 0) {
        cairo_move_to(cr, x, y);
      } else {
        cairo_line_to(cr, x, y);
      }
    }
    cairo_stroke(cr);
  }
  cairo_text_extents_t widest;
  cairo_text_extents(cr, "10H", &widest);
  spread(protons, widest.x_advance + kTextSize / 2, left + widest.x_advance, right - widest.x_advance);
  for (const Label& p : protons) show_centred(cr, p.text, p.x, axisY + kTextSize * 4.3);

  // The labels on end, read from the bottom up, each with a leader to its lines.
  set_colour(cr, kInk);
  cairo_set_line_width(cr, 0.5);
  for (Label& l : labels) l.at = x_of(l.at);
  spread(labels, kTextSize * 1.25, left + kTextSize, right - kTextSize);
  for (const Label& l : labels) {
    cairo_move_to(cr, l.x, labelsBottom);
    cairo_line_to(cr, l.at, plotTop);
    cairo_line_to(cr, l.at, plotTop + leaders / 2);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_move_to(cr, l.x + kTextSize * 0.35, labelsBottom - 2);
    cairo_rotate(cr, -M_PI / 2);
    cairo_show_text(cr, l.text.c_str());
    cairo_restore(cr);
  }
}

}  // namespace

std::optional<PictureFormat> picture_format(std::string_view path) {
  std::string lower(path);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.ends_with(".svg")) return PictureFormat::Svg;
  if (lower.ends_with(".pdf")) return PictureFormat::Pdf;
  if (lower.ends_with(".png")) return PictureFormat::Png;
  return std::nullopt;
}

PictureSize default_picture_size(PictureFormat format) {
  return format == PictureFormat::Png ? PictureSize{1600, 900} : PictureSize{16 * kPointsPerCm, 9 * kPointsPerCm};
}

std::optional<PictureSize> picture_size(std::string_view text, PictureFormat format) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const auto number = [](std::string_view digits) -> std::optional<double> {
    double v = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(v)) return std::nullopt;
    return v;
  };
  const auto w = number(text.substr(0, x)), h = number(text.substr(x + 1));
  if (!w || !h) return std::nullopt;
  // Centimetres for the vector formats, at the bounds a PNG's pixels have at 160 dpi.
  const double perUnit = format == PictureFormat::Png ? 1 : kPointsPerCm;
  const double least = format == PictureFormat::Png ? kLeastSide : 1, most = format == PictureFormat::Png ? kMostSide : 200;
  if (*w < least || *h < least || *w > most || *h > most) return std::nullopt;
  return PictureSize{*w * perUnit, *h * perUnit};
}

std::optional<std::string> picture_of(const processing::Spectrum& s, const analysis::Analysis& a, const Range& range,
                                      PictureFormat format, PictureSize size) {
  std::string bytes;
  // The layout in points: a PNG's pixels so many to the point that it is kLayoutWidth wide
  // (1600 pixels: two to the point), so that its text is as large beside its lines.
  const double scale = format == PictureFormat::Png ? std::max(size.width / kLayoutWidth, 0.25) : 1;
  const double width = size.width / scale, height = size.height / scale;
  Surface surface(nullptr, cairo_surface_destroy);
  switch (format) {
    case PictureFormat::Svg:
      surface.reset(cairo_svg_surface_create_for_stream(append_to_string, &bytes, size.width, size.height));
      break;
    case PictureFormat::Pdf:
      surface.reset(cairo_pdf_surface_create_for_stream(append_to_string, &bytes, size.width, size.height));
      break;
    case PictureFormat::Png:
      surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::lround(size.width)),
                                               static_cast<int>(std::lround(size.height))));
      break;
  }
  {
    const Context cr(cairo_create(surface.get()), cairo_destroy);
    cairo_scale(cr.get(), scale, scale);
    draw(cr.get(), s, a, range, width, height);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  }
  if (format == PictureFormat::Png) {
    if (cairo_surface_write_to_png_stream(surface.get(), append_to_string, &bytes) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  }
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  return bytes;
}

Range signal_range(const processing::Spectrum& s, const analysis::Analysis& a) {
  const Range whole = range_of(s);
  std::vector<double> at = a.lines;
  for (const analysis::Multiplet& m : a.multiplets) {
    at.push_back(m.high);
    at.push_back(m.low);
  }
  if (at.empty()) return whole;
  const auto [low, high] = std::minmax_element(at.begin(), at.end());
  const double margin = std::max(kSignalMargin * whole.width(), kSignalMargin * (*high - *low));
  return {std::min(whole.left, *high + margin), std::max(whole.right, *low - margin)};
}

}  // namespace spectrum
