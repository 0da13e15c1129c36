// The part of a spectrum's axis shown, heard and stepped through.
#include "window/region.hpp"

#include <algorithm>

namespace window {

Range clamped(Range r, const Range& whole, double leastWidth) {
  if (r.left < r.right) std::swap(r.left, r.right);
  const double width = std::max(r.width(), leastWidth);
  if (width >= whole.width()) return whole;
  const double centre = (r.left + r.right) / 2;
  // The centre kept where it can be, the width as asked: an end passed moves the range.
  const double left = std::clamp(centre + width / 2, whole.right + width, whole.left);
  return {left, left - width};
}

Range zoomed(const Range& r, double factor, double fixed) {
  return {fixed + (r.left - fixed) / factor, fixed - (fixed - r.right) / factor};
}

Range panned(const Range& r, double fraction) {
  const double by = fraction * r.width();
  return {r.left - by, r.right - by};
}

Range centred(const Range& r, double value) {
  const double half = r.width() / 2;
  return {value + half, value - half};
}

}  // namespace window
