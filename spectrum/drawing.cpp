// The spectrum drawn, as a GIF and as EPS.
#include "spectrum/drawing.hpp"

#include <cairo-ps.h>
#include <cairo.h>
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "spectrum/cairo_support.hpp"

namespace spectrum {
namespace {

// Everything is drawn in greys, so that the GIF's palette of 256 greys holds it exactly.
constexpr double kTrace = 0.1;
constexpr double kInk = 0.0;
constexpr double kFaint = 0.55;

// A step of 1, 2 or 5 times a power of ten that gives about six ticks over the span.
double tick_step(double span) {
  const double rough = span / 6;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= rough) return m * power;
  }
  return 10 * power;
}

void draw(cairo_t* cr, const Trace& s) {
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  use_picture_font(cr);

  // The title, with its nucleus.
  std::string heading = utf8_of(s.title);
  if (!s.nucleus.empty()) heading += (heading.empty() ? "" : "  \u2014  ") + utf8_of(s.nucleus);
  cairo_set_source_rgb(cr, kInk, kInk, kInk);
  cairo_set_font_size(cr, 16);
  cairo_move_to(cr, kPlotLeft, 28);
  cairo_show_text(cr, heading.c_str());

  // The axis, its ticks and their labels.
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, kPlotLeft, kPlotBottom + 0.5);
  cairo_line_to(cr, kPlotRight, kPlotBottom + 0.5);
  cairo_stroke(cr);
  cairo_set_font_size(cr, 13);
  const Ticks ticks = ticks_of(s);
  for (const double v : ticks.values) {
    const double x = std::round(x_of(s, v)) + 0.5;
    cairo_move_to(cr, x, kPlotBottom);
    cairo_line_to(cr, x, kPlotBottom + 6);
    cairo_stroke(cr);
    char label[32];
    std::snprintf(label, sizeof label, "%.*f", ticks.decimals, v);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, label, &extents);
    cairo_move_to(cr, x - extents.x_advance / 2, kPlotBottom + 22);
    cairo_show_text(cr, label);
  }
  const char* unit = s.axis == Axis::Ppm ? "ppm" : "Hz";
  cairo_text_extents_t extents;
  cairo_text_extents(cr, unit, &extents);
  cairo_set_source_rgb(cr, kFaint, kFaint, kFaint);
  cairo_move_to(cr, (kPlotLeft + kPlotRight - extents.x_advance) / 2, kPlotBottom + 44);
  cairo_show_text(cr, unit);

  // The trace, its tallest peak at the top of the plot: each column from its lowest to
  // its highest point.
  const Scale scale = scale_of(s);
  const double height = kPlotBottom - 4 - kPlotTop;
  const auto y_of = [&](double v) { return kPlotBottom - 4 - (v - scale.bottom) / (scale.top - scale.bottom) * height; };
  cairo_set_source_rgb(cr, kTrace, kTrace, kTrace);
  cairo_set_line_width(cr, 1);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (std::size_t i = 0; i < s.columns.size(); ++i) {
    const double x = kPlotLeft + static_cast<double>(i) + 0.5;
    if (i == 0) cairo_move_to(cr, x, y_of(s.columns[i].low));
    cairo_line_to(cr, x, y_of(s.columns[i].low));
    cairo_line_to(cr, x, y_of(s.columns[i].high));
  }
  cairo_stroke(cr);
}

int append_gif(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  return length;
}

// The grey image as a GIF of 256 greys.
std::optional<std::string> encode_gif(cairo_surface_t* image) {
  const unsigned char* pixels = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  GifColorType greys[256];
  for (int i = 0; i < 256; ++i) greys[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(i), static_cast<GifByteType>(i)};
  const std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> palette(GifMakeMapObject(256, greys), GifFreeMapObject);
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, append_gif, &error);
  if (!gif || !palette) return std::nullopt;
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, kWidth, kHeight, 8, 255, palette.get()) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK;
  std::vector<GifPixelType> line(kWidth);
  for (int y = 0; ok && y < kHeight; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < kWidth; ++x) line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(row[x] & 0xFF);  // R = G = B
    ok = EGifPutLine(gif, line.data(), kWidth) == GIF_OK;
  }
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  return ok ? std::optional<std::string>(std::move(bytes)) : std::nullopt;
}

}  // namespace

Ticks ticks_of(const Trace& s) {
  Ticks ticks;
  const double low = std::min(s.left, s.right), high = std::max(s.left, s.right);
  if (!(high > low) || !std::isfinite(high - low)) return ticks;
  const double step = tick_step(high - low);
  ticks.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  for (double v = std::ceil(low / step) * step; v <= high + step * 1e-9; v += step) {
    ticks.values.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
  }
  return ticks;
}

Scale scale_of(const Trace& s) {
  Scale scale{0, 0};
  for (const auto& c : s.columns) {
    scale.bottom = std::min(scale.bottom, c.low);
    scale.top = std::max(scale.top, c.high);
  }
  if (scale.top <= scale.bottom) scale.top = scale.bottom + 1;
  return scale;
}

double x_of(const Trace& s, double value) {
  // Column i's centre stands for point i; the first and last points at the plot's edges.
  const double last = static_cast<double>(kColumns) - 1;
  return kPlotLeft + 0.5 + (s.left - value) / (s.left - s.right) * last;
}

std::optional<std::string> gif_of(const Trace& s) {
  const Surface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), cairo_surface_destroy);
  const Context cr(cairo_create(image.get()), cairo_destroy);
  draw(cr.get(), s);
  cairo_surface_flush(image.get());
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  return encode_gif(image.get());
}

std::optional<std::string> eps_of(const Trace& s) {
  std::string bytes;
  const Surface ps(cairo_ps_surface_create_for_stream(append_to_string, &bytes, kWidth, kHeight), cairo_surface_destroy);
  cairo_ps_surface_set_eps(ps.get(), true);
  {
    const Context cr(cairo_create(ps.get()), cairo_destroy);
    draw(cr.get(), s);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  }
  cairo_surface_finish(ps.get());
  if (cairo_surface_status(ps.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  return bytes;
}

}  // namespace spectrum
