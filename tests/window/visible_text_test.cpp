// Text from a dataset made safe to show.
#include "window/visible_text.hpp"

#include <gtest/gtest.h>

namespace {

TEST(VisibleText, EscapesControlCharactersAndLetsLettersAndLineBreaksPass) {
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"/d/1/fid\nEthanol, 1H", "/d/1/fid\nEthanol, 1H"},
      {"\x1b]0;pwned\x07", "\\e]0;pwned\\x07"},
      {"\x1b[2J", "\\e[2J"},
      {"a\tb\rc\x7f", "a\\tb\\rc\\x7f"},
      {"\x01\x1f", "\\x01\\x1f"},
      {"\xc2\x9b""31m", "\\u009b31m"},                // C1 in UTF-8
      {"\x9b""31m", "\\x9b31m"},                      // C1 as a lone byte
      {"\xc3\xa9thanol \xe2\x80\x94 \xf0\x9f\x8e\xb5", "\xc3\xa9thanol \xe2\x80\x94 \xf0\x9f\x8e\xb5"},
      {"\xe9thanol \xc2", "\xe9thanol \xc2"},         // Latin-1 letters, a cut sequence
      {"\xed\xa0\x80", "\xed\xa0\\x80"},              // a surrogate: bytes, the last one C1
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(window::visible_text(text), shown) << text;
  EXPECT_EQ(window::visible_text(std::string("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(window::visible_text("c:\\temp\\fidsong\\"), "c:\\temp\\fidsong\\") << "backslashes are no controls";
}

}  // namespace
