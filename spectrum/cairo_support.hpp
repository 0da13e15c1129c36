// What every Cairo drawing of the spectrum shares: its surfaces' owners, its font, its
// text as UTF-8, and its output gathered into a string.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

namespace spectrum {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

// Bytes that are not UTF-8 taken as Latin-1, as the window shows a title.
std::string utf8_of(const std::string& text);

// The text in the font the package depends on, rendered alike whatever the desktop's
// font settings: every user sees the same picture, byte for byte.
void use_picture_font(cairo_t* cr);

// A Cairo write function that appends to the std::string its closure points to.
cairo_status_t append_to_string(void* closure, const unsigned char* data, unsigned int length);

}  // namespace spectrum
