// Start-up and the command handlers that both front ends share.
#include "window/form.hpp"

#include <gtest/gtest.h>

#include "tests/support/workbench.hpp"
#include "window/messages.hpp"
#include "window/status.hpp"

namespace {

using namespace testsupport;
using platform::Button;
using platform::ToneBox;

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    std::filesystem::remove_all(bench.scratch(""));  // a first run: no scratch folder yet
    bench.window.tones = {{ToneBox::First, "Text1"}, {ToneBox::Second, "Text1"}};
    bench.window.speed = "";
  }
  Workbench bench;
  window::Form form{bench.services};
};

TEST_F(FormTest, StartUpPreparesFoldersAndControlsTheSameWayOnEveryRun) {
  for (int run = 0; run < 2; ++run) {
    bench.window.entries.clear();
    bench.window.enabled = {{Button::Command3, true}, {Button::Command4, true}, {Button::Command5, true}};
    form.startup();
    EXPECT_TRUE(std::filesystem::is_directory(bench.resolve("C:\\temp\\fidsong")));
    EXPECT_EQ(bench.window.tones.at(ToneBox::First), "440");
    EXPECT_EQ(bench.window.tones.at(ToneBox::Second), "445");
    EXPECT_EQ(bench.window.entries, (std::vector<std::string>{"x ?", "x 0.125", "x 0.25", "x 0.5",
                                                              "x 1", "x 2", "x 3"}));
    EXPECT_EQ(bench.window.speed, "x 1");
    EXPECT_FALSE(bench.window.enabled[Button::Command3]);
    EXPECT_FALSE(bench.window.enabled[Button::Command4]);
    EXPECT_FALSE(bench.window.enabled[Button::Command5]);
    EXPECT_EQ(bench.window.title_text, "title will appear here") << "no command line: no intake";
  }
}

TEST_F(FormTest, ToneArgumentsComeFromCheckedBoxesRoundedToSixteenBits) {
  const struct {
    const char* text1;
    bool on1;
    const char* text2;
    bool on2;
    std::int16_t f1, f2;
  } played[] = {
      {"440", true, "445", true, 440, 445},  {"440", false, "445", false, 0, 0},
      {"440.5", true, "441.5", true, 440, 442}, {"", true, "abc", true, 0, 0},
      {"-440", true, "300Hz", true, -440, 300}, {"32767.4", true, "99999", false, 32767, 0},
      {"-32768.5", true, "1e9", false, -32768, 0},
  };
  for (const auto& c : played) {
    bench.window.tones = {{ToneBox::First, c.text1}, {ToneBox::Second, c.text2}};
    bench.window.switches = {{ToneBox::First, c.on1}, {ToneBox::Second, c.on2}};
    const auto arguments = window::tone_arguments(bench.window);
    ASSERT_FALSE(arguments.refused) << c.text1;
    EXPECT_EQ(arguments.f1, c.f1) << c.text1;
    EXPECT_EQ(arguments.f2, c.f2) << c.text2;
  }
}

TEST_F(FormTest, AToneOutsideSixteenBitsRefusesTheTestAndWritesNothing) {
  form.prepare_controls();
  const struct {
    const char* text1;
    const char* text2;
    ToneBox box;
    const char* names;
  } refused[] = {{"40000", "445", ToneBox::First, "txtF1"},
                 {"440", "-32769", ToneBox::Second, "txtF2"},
                 {"1e999", "0", ToneBox::First, "txtF1"}};
  for (const auto& [text1, text2, box, names] : refused) {
    bench.window.tones = {{ToneBox::First, text1}, {ToneBox::Second, text2}};
    const window::ToneTestResult result = form.command2_click();
    ASSERT_EQ(result.refused, box) << text1 << " " << text2;
    const std::string refusal = window::tone_refusal_message(box);
    EXPECT_NE(refusal.find(names), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("-32768"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("32767"), std::string::npos) << refusal;
  }
  EXPECT_FALSE(std::filesystem::exists(bench.scratch("fid.wav")));
  EXPECT_TRUE(bench.media.played.empty());
  EXPECT_EQ(bench.window.title_text, "title will appear here");

  bench.window.tones = {{ToneBox::First, "440"}, {ToneBox::Second, "445"}};
  const window::ToneTestResult played = form.command2_click();
  EXPECT_FALSE(played.refused);
  EXPECT_TRUE(played.sound.played());
  EXPECT_EQ(bench.window.title_text, "440 and 445 Hz");
}

TEST_F(FormTest, TheLastSpectrumDrawnIsHeardAndItsMultipletsSteppedThroughInTurn) {
  form.startup();
  EXPECT_FALSE(form.command5_click()) << "no spectrum drawn yet";
  EXPECT_FALSE(form.step(1));
  ASSERT_TRUE(form.command1_drop({copy_demo(bench.root.path() / "demo").string()}));
  EXPECT_TRUE(bench.window.enabled[Button::Command5]);
  EXPECT_EQ(read_file(bench.scratch("peaks.txt")), "7.26 ppm 14 %\n3.68 ppm 44 %\n2.61 ppm 30 %\n1.22 ppm 100 %\n");
  EXPECT_EQ(read_file(bench.scratch("report.txt")),
            "1H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, J = 7.0 Hz, 2H), 2.61 (s, 1H), 1.22 (t, J = 7.0 Hz, 3H).\n");

  const auto heard = form.command5_click();
  ASSERT_TRUE(heard && heard->played());
  EXPECT_EQ(bench.media.played.back(), "C:\\temp\\spectrum.wav");
  // Forward from the first, round from the last; backward from there.
  std::vector<std::string> said;
  for (const int direction : {1, 1, 1, 1, -1, -1}) {
    const auto step = form.step(direction);
    ASSERT_TRUE(step);
    EXPECT_TRUE(std::get<window::MultipletStep>(*step).sound.played());
    said.push_back(window::step_status(*step));
  }
  const std::string q = "Multiplet 1 of 3: 3.69 ppm, q, J = 7.0 Hz, 2H", s = "Multiplet 2 of 3: 2.61 ppm, s, 1H",
                    t = "Multiplet 3 of 3: 1.22 ppm, t, J = 7.0 Hz, 3H";
  EXPECT_EQ(said, (std::vector<std::string>{q, s, t, q, t, s}));
  EXPECT_EQ(bench.media.played.back(), "C:\\temp\\multiplet.wav");

  // A refused file leaves the spectrum heard as it was; the next dataset brings its own.
  write_file(bench.root.path() / "x.dx", "##TITLE= x\n##DATA TYPE= NMR SPECTRUM\n##END=\n");
  ASSERT_TRUE(form.command1_drop({(bench.root.path() / "x.dx").string()}));
  EXPECT_EQ(window::step_status(*form.step(1)), t);
  // Lines of another nucleus have no multiplets: the steps go through the peaks.
  const auto carbon = copy_demo(bench.root.path() / "carbon");
  std::string acqus = read_file(carbon.parent_path() / "acqus");
  acqus.replace(acqus.find("<1H>"), 4, "<13C>");
  write_file(carbon.parent_path() / "acqus", acqus);
  ASSERT_TRUE(form.command1_drop({carbon.string()}));
  const auto peak = form.step(1);
  ASSERT_TRUE(peak);
  EXPECT_EQ(window::step_status(*peak).rfind("Peak 1 of ", 0), 0u) << window::step_status(*peak);
  EXPECT_EQ(bench.media.played.back(), "C:\\temp\\peak.wav");
  write_file(bench.root.path() / "flat/1/fid", std::string(400, '\0'));
  ASSERT_TRUE(form.command1_drop({(bench.root.path() / "flat/1/fid").string()}));
  EXPECT_FALSE(form.step(1)) << "a flat FID has neither";
  EXPECT_FALSE(std::filesystem::exists(bench.scratch("spectrum.wav"))) << "not heard as the new dataset's";
}

TEST(Status, TheSweepAndANewDatasetAreToldInWords) {
  EXPECT_EQ(window::hearing_status(7.26, spectrum::Axis::Ppm), "Hearing the spectrum: 7.3 ppm \u2014 Esc stops");
  EXPECT_EQ(window::hearing_text(-1234.4, spectrum::Axis::Hz), "Hearing the spectrum: -1234 Hz");
  EXPECT_EQ(window::named_with_title("demo/1/fid", "/d/demo/1/fid\rEthanol\r\nsecond line"), "demo/1/fid (Ethanol)");
  EXPECT_EQ(window::named_with_title("demo/1/fid", "/d/demo/1/fid\r"), "demo/1/fid") << "no title";
}

}  // namespace
