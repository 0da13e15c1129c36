// Reading back the spectrum pictures the program draws.
#include "tests/support/pictures.hpp"

#include <gif_lib.h>

#include <cstring>

#include "tests/support/process.hpp"

namespace testsupport {
namespace {

struct Reader {
  const std::string& bytes;
  std::size_t at = 0;
};

int read_gif(GifFileType* gif, GifByteType* into, int length) {
  auto* reader = static_cast<Reader*>(gif->UserData);
  const std::size_t n = std::min(static_cast<std::size_t>(length), reader->bytes.size() - reader->at);
  std::memcpy(into, reader->bytes.data() + reader->at, n);
  reader->at += n;
  return static_cast<int>(n);
}

}  // namespace

std::optional<std::vector<unsigned char>> gif_greys(const std::string& bytes) {
  Reader reader{bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, read_gif, &error);
  if (!gif) return std::nullopt;
  std::optional<std::vector<unsigned char>> greys;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 && gif->SWidth == spectrum::kWidth &&
      gif->SHeight == spectrum::kHeight) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    greys.emplace();
    for (int i = 0; map && i < spectrum::kWidth * spectrum::kHeight; ++i) {
      const GifColorType c = map->Colors[image.RasterBits[i]];
      greys->push_back(static_cast<unsigned char>((c.Red + c.Green + c.Blue) / 3));
    }
  }
  DGifCloseFile(gif, &error);
  return greys;
}

std::optional<int> tallest_peak_x(const std::vector<unsigned char>& greys) {
  for (int y = spectrum::kPlotTop - 2; y < spectrum::kPlotBottom - 1; ++y) {
    for (int x = spectrum::kPlotLeft; x < spectrum::kPlotRight; ++x) {
      if (greys[static_cast<std::size_t>(y * spectrum::kWidth + x)] < 128) return x;
    }
  }
  return std::nullopt;
}

bool ghostscript_reads_eps(const std::string& path) {
  const ProcessResult run = run_process({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=bbox", path});
  return run.status == 0 && run.err.find("%%BoundingBox:") != std::string::npos;
}

}  // namespace testsupport
