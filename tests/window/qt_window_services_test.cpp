// The window services over Qt controls: captions as bytes, shown as plain text.
#include "window/qt/qt_window_services.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>

namespace {

TEST(CaptionText, DecodesUtf8OrLatin1AndBreaksLinesAtCarriageReturns) {
  EXPECT_EQ(window::caption_text("/d/1/fid\rTitle\r\nnext\n"), "/d/1/fid\nTitle\nnext\n");
  EXPECT_EQ(window::caption_text("\xc3\xa9thanol"), QString::fromUtf8("éthanol"));
  EXPECT_EQ(window::caption_text("\xe9thanol"), QString::fromLatin1("\xe9thanol")) << "not UTF-8";
  EXPECT_EQ(window::caption_text("<b>x</b> &amp;"), "<b>x</b> &amp;");
  EXPECT_EQ(window::caption_text("/d/fid\rEvil\x1b[2J\x07"), "/d/fid\nEvil\\e[2J\\x07") << "controls shown, not sent";
}

TEST(QtWindowServices, ReadsBackExactlyTheBytesOfAHugeCaptionWithoutShowingThemAll) {
  QWidget parent;
  window::Controls c{&parent,          new QLabel(&parent),    new QComboBox(&parent),
                     new QLineEdit(&parent), new QLineEdit(&parent), new QCheckBox(&parent),
                     new QCheckBox(&parent), new QPushButton(&parent), new QPushButton(&parent),
                     new QPushButton(&parent)};
  c.label1->setWordWrap(true);
  c.label1->setGeometry(0, 0, 297, 97);
  window::QtWindowServices services(c, "");
  std::string huge = "\xff";  // not UTF-8
  while (huge.size() < 10'000'000) huge += "word \r";
  const auto start = std::chrono::steady_clock::now();
  services.set_title(huge);
  c.label1->grab();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(services.title(), huge);
  EXPECT_EQ(c.label1->text().size(), 4096);
}

}  // namespace
