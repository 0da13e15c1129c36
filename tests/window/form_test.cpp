// Start-up and the command handlers that both front ends share.
#include "window/form.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <chrono>
#include <thread>

#include "platform/text.hpp"
#include "tests/support/spectra.hpp"
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

TEST_F(FormTest, TheRegionShownIsHeardAndSteppedThroughAndSaidUntilTheNextDataset) {
  form.startup();
  EXPECT_FALSE(form.zoom(2)) << "nothing to zoom";
  EXPECT_EQ(window::view_description(form), window::kNoSpectrumDescription);
  ASSERT_TRUE(form.command1_drop({copy_demo(bench.root.path() / "demo").string()}));
  const auto whole = form.whole();
  ASSERT_TRUE(whole && form.region() == whole);
  EXPECT_EQ(window::view_description(form).rfind("Spectrum of Ethanol in CDCl3, 1H, 400 MHz, " + platform::fixed_text(whole->left, 2) + " to ", 0), 0u)
      << window::view_description(form);
  EXPECT_NE(window::view_description(form).find(" ppm, 3 multiplets"), std::string::npos);

  // Only the singlet and the triplet shown: the steps go round the two.
  ASSERT_TRUE(form.show({3.0, 0.5}));
  EXPECT_FALSE(form.show({3.0, 0.5})) << "nothing changed";
  std::vector<std::size_t> stepped;
  for (const int direction : {1, 1, 1, -1}) {
    ASSERT_TRUE(form.step(direction));
    stepped.push_back(*form.stepped());
  }
  EXPECT_EQ(stepped, (std::vector<std::size_t>{1, 2, 1, 2}));
  EXPECT_EQ(window::view_description(form),
            "Spectrum of Ethanol in CDCl3, 1H, 400 MHz, 3.00 to 0.50 ppm, 2 multiplets; multiplet 3: 1.22 ppm, t, 3H");

  // Zoomed about the triplet, it stays in the middle; the region heard is the one shown,
  // across the whole 10 s.
  ASSERT_TRUE(form.zoom(4));
  EXPECT_NEAR(form.region()->width(), 2.5 / 4, 1e-9);
  EXPECT_NEAR((form.region()->left + form.region()->right) / 2, form.position_of(2), 1e-9);
  ASSERT_TRUE(form.command5_click());
  const double point = form.spectrum()->hzPerPoint / form.spectrum()->frequencyMHz;
  EXPECT_NEAR(form.heard_trace()->range().left, form.region()->left, point);
  EXPECT_NEAR(form.heard_trace()->range().right, form.region()->right, point);
  EXPECT_EQ(read_file(bench.scratch("spectrum.wav")).size(), 44u + 441000 * 2);
  EXPECT_NE(window::view_description(form).find(" ppm, 1 multiplet; multiplet 3: 1.22 ppm, t, 3H"), std::string::npos)
      << window::view_description(form);

  // Panned past the spectrum's end, it stops there; zoomed far in, it keeps sixteen points.
  ASSERT_TRUE(form.pan(1000));
  EXPECT_EQ(form.region()->right, whole->right);
  EXPECT_NEAR(form.region()->width(), 2.5 / 4, 1e-9);
  form.zoom(1e9);
  EXPECT_NEAR(form.region()->width(), window::Form::kLeastPoints * point, 1e-9);
  EXPECT_FALSE(form.zoom(2)) << "no narrower";
  EXPECT_TRUE(form.zoom(1e-9));
  EXPECT_EQ(form.region(), whole) << "no wider than the whole";
  EXPECT_EQ(&*form.heard_trace(), &*form.trace()) << "the whole is heard as drawn";

  // The next dataset is shown whole.
  form.show({3.0, 0.5});
  ASSERT_TRUE(form.command1_drop({copy_demo(bench.root.path() / "again").string()}));
  EXPECT_EQ(form.region(), form.whole());
}

TEST(Status, TheSweepAndANewDatasetAreToldInWords) {
  EXPECT_EQ(window::hearing_status(7.26, spectrum::Axis::Ppm), "Hearing the spectrum: 7.3 ppm \u2014 Esc stops");
  EXPECT_EQ(window::hearing_text(-1234.4, spectrum::Axis::Hz), "Hearing the spectrum: -1234 Hz");
  EXPECT_EQ(window::named_with_title("demo/1/fid", "/d/demo/1/fid\rEthanol\r\nsecond line"), "demo/1/fid (Ethanol)");
  EXPECT_EQ(window::named_with_title("demo/1/fid", "/d/demo/1/fid\r"), "demo/1/fid") << "no title";
}

}  // namespace

// In the window, the spectrum is worked out beside the sound, and taken when it is done.
// A drop while the last one's is still at work cancels it: the view and the scratch files
// are the new dataset's, and nothing of the old one's comes after.
TEST_F(FormTest, ANewDropCancelsTheSpectrumStillWorkedOutAndNothingOfItIsShownOrWritten) {
  intake::IntakeOptions options;
  options.waitForSpectrum = false;
  auto asynchronous = std::make_optional<window::Form>(bench.services, options);
  window::Form& window = *asynchronous;
  window.prepare_controls();
  MadeSpectrum large;  // long at work: its 262144 points processed and analysed
  large.points = 262144;
  large.sweepHz = 40000;
  large.multiplets = {{7.26, {8.0}, 2}, {3.60, {7.0, 7.0, 7.0}, 2}, {1.20, {7.0, 7.0}, 3}};
  MadeSpectrum small;
  small.frequencyMHz = 300.13;
  small.multiplets = {{2.05, {}, 3}};
  const auto first = make_spectrum_dataset(bench.root.path() / "large/1", large, "the large one");
  const auto second = make_spectrum_dataset(bench.root.path() / "small/1", small, "the small one");

  ASSERT_TRUE(window.command1_drop({first.string()}));
  EXPECT_TRUE(window.working());
  EXPECT_FALSE(window.spectrum()) << "nothing shown before it is worked out";
  ASSERT_TRUE(window.command1_drop({second.string()}));
  // Taken as the front end takes it, at each notice: only the last dataset's, once done.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!window.take_spectrum() && std::chrono::steady_clock::now() < until) {
    ASSERT_FALSE(window.spectrum()) << "an earlier dataset's spectrum shown";
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(window.spectrum());
  EXPECT_EQ(window.spectrum()->title, "the small one");
  EXPECT_EQ(std::lround(window.spectrum()->frequencyMHz), 300);
  EXPECT_FALSE(window.working());
  EXPECT_FALSE(window.take_spectrum()) << "taken once";
  EXPECT_TRUE(bench.window.enabled[Button::Command5]);
  const std::string report = read_file(bench.scratch("report.txt"));
  EXPECT_TRUE(report.starts_with("1H NMR (300 MHz, CDCl3) \u03b4 2.05 (s, ")) << report;
  // Once every work has ended (the cancelled one too: the form waits for it as it goes),
  // the files are still the small one's.
  const std::string picture = read_file(bench.scratch("spectrum.gif"));
  asynchronous.reset();
  EXPECT_EQ(read_file(bench.scratch("report.txt")), report);
  EXPECT_EQ(read_file(bench.scratch("spectrum.gif")), picture);
}
