// fid-song-cli run as a user runs it: files made, captions printed, exit statuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "sound/sound_request.hpp"
#include "tests/support/console.hpp"
#include "tests/support/makers.hpp"
#include "tests/support/sounds.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

class ConsoleAppTest : public ::testing::Test {
 protected:
  ProcessResult cli(std::vector<std::string> args, std::map<std::string, std::string> env = {}) {
    return console.run(std::move(args), std::move(env));
  }
  std::filesystem::path scratch(const std::string& name) const { return console.scratch(name); }
  Console console;
  const TempDir& xdg = console.xdg;
  const std::string demo = DEMO_DIR "/1/fid";
};

TEST_F(ConsoleAppTest, ADatasetBecomesTheSameFilesAsTheWindowMakes) {
  const ProcessResult run = cli({"--no-play", demo});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, demo + "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n");
  EXPECT_TRUE(std::filesystem::is_directory(scratch("fidsong")));

  // The same request made in-process, through the routines the window calls.
  Workbench bench;
  write_file(bench.scratch("fid"), read_file(demo));
  write_file(bench.scratch("title"), read_file(DEMO_DIR "/1/pdata/1/title"));
  common::FormMemory memory;
  ASSERT_TRUE(sound::createsound(bench.services, memory, demo, 0, 0).played());
  EXPECT_TRUE(same_bytes(read_file(scratch("fid.wav")), read_file(bench.scratch("fid.wav"))));
  EXPECT_TRUE(same_bytes(read_file(scratch("fid.xls")), read_file(bench.scratch("fid.xls"))));
  EXPECT_EQ(read_file(scratch("spectrum.eps")), read_file(DEMO_DIR "/1/pdata/1/ethanol_1h.ps"));
}

TEST_F(ConsoleAppTest, WithoutAPathTheScratchFidIsReplayedOrTheTonesPlayed) {
  ASSERT_EQ(cli({"--no-play", demo}).status, 0);
  const ProcessResult replay = cli({"--no-play", "--speed", "x 2"});
  EXPECT_EQ(replay.status, 0) << replay.err;
  EXPECT_EQ(replay.out, "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n")
      << "a new run remembers no dataset path";
  EXPECT_EQ(read_file(scratch("fid.wav")).substr(24, 4), le32(16556));

  const ProcessResult tones = cli({"--no-play", "--tones", "--off1", "--f2", "300.5"});
  EXPECT_EQ(tones.status, 0) << tones.err;
  EXPECT_EQ(tones.out, "440 and 300.5 Hz\n");
  EXPECT_EQ(read_file(scratch("fid.xls")).substr(0, 9), " 0\r\n 1367") << "300 Hz alone";
}

TEST_F(ConsoleAppTest, AToneOutOfRangeIsRefusedAndNothingIsWritten) {
  const ProcessResult run = cli({"--no-play", "--tones", "--f1", "40000"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("txtF1"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("-32768 and 32767"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(scratch("fid.wav")));
  EXPECT_EQ(cli({"--no-play", "--tones", "--off1", "--f1", "40000"}).status, 0)
      << "an unchecked box's text is never converted";
}

TEST_F(ConsoleAppTest, TheMultiplierQuestionTakesTheGivenAnswerOrIsCancelled) {
  const ProcessResult cancelled = cli({"--no-play", "--speed", "x ?", demo});
  EXPECT_EQ(cancelled.status, 1) << "no sound was made";
  EXPECT_NE(cancelled.err.find("Multiplier? [1]"), std::string::npos) << cancelled.err;
  EXPECT_NE(cancelled.err.find("no sound was made"), std::string::npos) << cancelled.err;
  EXPECT_FALSE(std::filesystem::exists(scratch("fid.wav")));

  const ProcessResult answered = cli({"--no-play", "--speed", "x ?", "--answer", "0.5", demo});
  EXPECT_EQ(answered.status, 0) << answered.err;
  EXPECT_EQ(read_file(scratch("fid.wav")).substr(24, 4), le32(4139));
}

TEST_F(ConsoleAppTest, BadCommandLinesAndUnreadablePathsAreReported) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--loud"}, {"--speed"}, {"--tones", "/d/fid"}}) {
    const ProcessResult run = cli(args);
    EXPECT_EQ(run.status, 2) << args.front();
    EXPECT_NE(run.err.find("usage: fid-song-cli"), std::string::npos) << run.err;
  }
  ASSERT_EQ(cli({"--no-play", demo}).status, 0);
  const ProcessResult missing = cli({"--no-play", "/no/such/dataset/fid"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Could not read /no/such/dataset/fid: No such file or directory. Still sounding"), std::string::npos)
      << missing.err;
  EXPECT_EQ(read_file(scratch("fid")), read_file(demo)) << "the previous FID was sounded";
  EXPECT_EQ(cli({"--help"}).status, 0);
}

TEST_F(ConsoleAppTest, ViewSpectrumHandsThePlotToTheDesktopAndTellsWhenItCannotOpenIt) {
  const auto record = xdg.path() / "xdg-open.txt";
  const std::map<std::string, std::string> opener{{"FAKE_XDG_OPEN_RECORD", record.string()}};
  const std::string plot = scratch("spectrum.eps").string() + "\n";
  // With a path: taken in, then viewed.
  const ProcessResult run = cli({demo, "--no-play", "--view-spectrum"}, opener);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(read_file(record), plot);
  EXPECT_EQ(read_file(scratch("spectrum.eps")), read_file(DEMO_DIR "/1/pdata/1/ethanol_1h.ps"));

  const ProcessResult alone = cli({"--view-spectrum"}, opener);
  EXPECT_EQ(alone.status, 0) << alone.err;
  EXPECT_EQ(read_file(record), plot + plot);

  const ProcessResult refused = cli({"--view-spectrum"}, {{"FAKE_XDG_OPEN_STATUS", "4"}});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("The desktop could not open " + scratch("spectrum.eps").string() +
                             " (xdg-open ended with status 4)."),
            std::string::npos)
      << refused.err;
  const ProcessResult notOpened = cli({"--no-play", "--no-open", "--view-spectrum", demo}, opener);
  EXPECT_EQ(notOpened.status, 0) << notOpened.err;
  EXPECT_EQ(read_file(record), plot + plot) << "--no-open";
}

TEST_F(ConsoleAppTest, ArchiveFollowsASoundAndRefusesNamesThatLeaveTheArchive) {
  const auto record = xdg.path() / "xdg-open.txt";
  const std::map<std::string, std::string> opener{{"FAKE_XDG_OPEN_RECORD", record.string()}};
  const ProcessResult run = cli({"--no-play", "--archive", "run1", demo}, opener);
  EXPECT_EQ(run.status, 0) << run.err;
  const auto folder = scratch("fidsong/run1");
  EXPECT_EQ(read_file(folder / "fid.wav"), read_file(scratch("fid.wav")));
  EXPECT_EQ(read_file(folder / "index.htm").substr(0, 19 + demo.size()), "<table><tr><td><h3>" + demo);
  for (int i = 0; i < 200 && read_file(record).empty(); ++i) ::usleep(10000);
  EXPECT_EQ(read_file(record), (folder / "index.htm").string() + "\n");

  const ProcessResult cancelled = cli({"--no-play", "--speed", "x ?", "--archive", "run2", demo});
  EXPECT_EQ(cancelled.status, 1);
  EXPECT_NE(cancelled.err.find("nothing was archived"), std::string::npos) << cancelled.err;
  EXPECT_FALSE(std::filesystem::exists(scratch("fidsong/run2")));

  const ProcessResult climbing = cli({"--no-play", "--tones", "--archive", "..\\x"});
  EXPECT_EQ(climbing.status, 1);
  EXPECT_NE(climbing.err.find("leads out of"), std::string::npos) << climbing.err;
  EXPECT_FALSE(std::filesystem::exists(scratch("x")));

  EXPECT_EQ(cli({"--no-play", "--tones", "--archive", ""}).status, 0) << "an empty name cancels";
}

TEST_F(ConsoleAppTest, ThePictureIsDrawnAsInTheWindowUnlessLeftOut) {
  ASSERT_EQ(cli({"--no-play", demo}).status, 0);
  EXPECT_EQ(read_file(scratch("spectrum.gif")).substr(0, 6), "GIF89a");
  ASSERT_EQ(cli({"--no-play", "--no-picture", demo}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(scratch("spectrum.gif")));
  EXPECT_EQ(read_file(scratch("spectrum.eps")), read_file(DEMO_DIR "/1/pdata/1/ethanol_1h.ps"));
}

// The picture for a paper, as the standard tools read it: an SVG, a PDF and a PNG at the
// sizes asked, the multiplets' labels in them; names and sizes it cannot be refused.
TEST_F(ConsoleAppTest, ThePictureForAPaperIsAnSvgAPdfOrAPngAtTheSizeAsked) {
  const TempDir out;
  const auto picture = [&](const std::string& name, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--no-play", "--picture", (out.path() / name).string(), demo};
    args.insert(args.end(), more.begin(), more.end());
    const ProcessResult run = cli(args);
    EXPECT_EQ(run.status, 0) << name << run.err;
    return (out.path() / name).string();
  };
  // PNG: pixels.
  EXPECT_NE(run_process({"file", picture("default.png")}, {}).out.find("PNG image data, 1600 x 900"), std::string::npos);
  EXPECT_NE(run_process({"file", picture("small.PNG", {"--picture-size", "800x450"})}, {}).out.find("PNG image data, 800 x 450"),
            std::string::npos);
  // PDF: centimetres, 16 x 9 by default; its text the multiplets' labels and protons.
  const std::string pdf = picture("paper.pdf");
  EXPECT_NE(run_process({"pdfinfo", pdf}, {}).out.find("Page size:       453.543 x 255.118 pts"), std::string::npos);
  const std::string text = run_process({"pdftotext", pdf, "-"}, {}).out;
  for (const char* label : {"3.69 q 2H", "2.61 s 1H", "1.22 t 3H", "ppm"}) EXPECT_NE(text.find(label), std::string::npos) << label << text;
  EXPECT_NE(run_process({"pdfinfo", picture("wide.pdf", {"--picture-size=10x5"})}, {}).out.find("283.465 x 141.732 pts"),
            std::string::npos);
  // SVG: read by librsvg, 16 x 9 cm at its 96 dots to the inch.
  const ProcessResult svg = run_process({"rsvg-convert", picture("paper.svg"), "-o", (out.path() / "svg.png").string()}, {});
  EXPECT_EQ(svg.status, 0) << svg.err;
  EXPECT_NE(run_process({"file", (out.path() / "svg.png").string()}, {}).out.find("605 x 341"), std::string::npos);

  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--picture", (out.path() / "picture.txt").string(), demo},
           {"--picture", (out.path() / "tiny.png").string(), "--picture-size", "8x8", demo},
           {"--picture", (out.path() / "huge.pdf").string(), "--picture-size", "300x9", demo},
           {"--picture-size", "800x450", demo},
           {"--picture", (out.path() / "alone.png").string()}}) {
    const ProcessResult run = cli(bad);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(bad);
    EXPECT_NE(run.err.find("--picture takes a FILE.svg, .pdf or .png"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out.path() / "picture.txt"));
}

TEST_F(ConsoleAppTest, ADatasetFolderIsTakenAsItsFid) {
  const ProcessResult run = cli({"--no-play", DEMO_DIR "/1"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, demo.size() + 1), demo + "\n");
  EXPECT_EQ(read_file(scratch("fid")), read_file(demo));
}

TEST_F(ConsoleAppTest, AnotherMakersFileIsTakenInAndOneWithoutAnFidIsRefusedWithNothingChanged) {
  TempDir data;
  const std::string jeol = (data.path() / "rutin.jdf").string();
  write_file(jeol, jeol_jdf({fid_of_lines({{300, 1}}, 1024, 5000)}, {}));
  const ProcessResult taken = cli({"--no-play", jeol});
  EXPECT_EQ(taken.status, 0) << taken.err;
  EXPECT_EQ(taken.out, jeol + "\nsynthetic\n");
  const std::string wav = read_file(scratch("fid.wav"));

  const std::string spectrum = (data.path() / "aspirin.dx").string();
  write_file(spectrum, "##TITLE= aspirin\n##JCAMP-DX= 5.01\n##DATA TYPE= NMR SPECTRUM\n##XYDATA= (X++(Y..Y))\n1 2 3\n##END=\n");
  const ProcessResult refused = cli({"--no-play", spectrum});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "") << "no title: nothing was sounded";
  EXPECT_EQ(refused.err, "fid-song-cli: Could not read " + spectrum +
                             ": holds a processed spectrum, not an FID. The previous dataset stays as it was.\n");
  EXPECT_EQ(read_file(scratch("fid.wav")), wav);
  EXPECT_EQ(read_file(scratch("original/rutin.jdf")), read_file(jeol));
}

TEST_F(ConsoleAppTest, TheReportIsPrintedAndEachMultipletHeardAsItsLinesRiseAndFall) {
  const std::string title = "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n";
  const std::string report = "1H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, J = 7.0 Hz, 2H), 2.61 (s, 1H), 1.22 (t, J = 7.0 Hz, 3H).\n";
  const ProcessResult reported = cli({"--no-play", "--report", demo});
  EXPECT_EQ(reported.out, demo + title + report);
  EXPECT_EQ(reported.err, "fid-song-cli: referenced to CHCl3 at 7.26 ppm\n") << "what the shifts stand on";
  EXPECT_EQ(read_file(scratch("report.txt")), report);
  // A total given: the integrals make it up.
  EXPECT_EQ(cli({"--no-play", "--report", "--protons", "12", demo}).out,
            demo + title + "1H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, J = 7.0 Hz, 4H), 2.61 (s, 2H), 1.22 (t, J = 7.0 Hz, 6H).\n");

  // The triplet, swept in half a second at x 2: three rises of pitch, the middle line's
  // the highest.
  const ProcessResult triplet = cli({"--no-play", "--hear-multiplet", "3", "--speed", "x 2", demo});
  ASSERT_EQ(triplet.status, 0) << triplet.err;
  EXPECT_EQ(triplet.out, demo + title + "Multiplet 3 of 3: 1.22 ppm, t, J = 7.0 Hz, 3H\n");
  const auto samples = samples_of_wave(read_file(scratch("multiplet.wav")));
  EXPECT_EQ(samples.size(), 22050u) << "half a second at 44100 Hz";
  const auto track = pitch_track(samples, 44100, 0.006, 0.001);
  const auto maxima = pitch_maxima(track, 220 * std::pow(8, 0.3), 220 * std::pow(8, 0.15));
  ASSERT_EQ(maxima.size(), 3u) << "three lines heard";
  double middle = 0, outer = 0;
  for (const auto& [at, pitch] : track) {
    if (std::fabs(at - maxima[1]) < 0.01) middle = std::max(middle, pitch);
    if (std::fabs(at - maxima[0]) < 0.01) outer = std::max(outer, pitch);
  }
  EXPECT_GT(middle, outer * 1.5) << "1:2:1";
  EXPECT_NEAR(maxima[2] - maxima[1], maxima[1] - maxima[0], 0.02) << "equally spaced";

  const ProcessResult none = cli({"--no-play", "--hear-multiplet", "4", demo});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "fid-song-cli: referenced to CHCl3 at 7.26 ppm\nfid-song-cli: the spectrum has no multiplet 4 (it has 3)\n");
  for (const auto& bad : {std::vector<std::string>{"--hear-multiplet", "x", demo}, {"--protons", "0", demo},
                          {"--hear-multiplet", "1"}, {"--hear-multiplet", "1", "--hear-spectrum", demo}}) {
    EXPECT_EQ(cli(bad).status, 2) << bad.front();
  }
}

TEST_F(ConsoleAppTest, TheSpectrumIsHeardAsAWaveFileAndItsPeaksPrinted) {
  const ProcessResult run = cli({"--no-play", "--hear-spectrum", "--peaks", "--speed", "x 2", demo});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, demo + "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n"
                     "7.26 ppm 14 %\n3.68 ppm 44 %\n2.61 ppm 30 %\n1.22 ppm 100 %\n");
  const std::string wav = scratch("spectrum.wav").string();
  EXPECT_EQ(run_process({"soxi", "-r", wav}).out, "44100\n");
  EXPECT_EQ(run_process({"soxi", "-s", wav}).out, "220500\n") << "5 s at x 2";
  // The peaks of the scratch folder's dataset, without taking one in.
  EXPECT_EQ(cli({"--no-play", "--peaks"}).out, "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n"
                                                 "7.26 ppm 14 %\n3.68 ppm 44 %\n2.61 ppm 30 %\n1.22 ppm 100 %\n");

  EXPECT_EQ(cli({"--no-play", "--hear-spectrum"}).status, 2) << "a spectrum is heard of a dataset taken in";
  const ProcessResult undrawn = cli({"--no-play", "--no-picture", "--hear-spectrum", "--peaks", demo});
  EXPECT_EQ(undrawn.status, 1);
  EXPECT_NE(undrawn.err.find("no spectrum was drawn for this dataset"), std::string::npos) << undrawn.err;
  EXPECT_NE(undrawn.err.find("no peaks"), std::string::npos) << undrawn.err;
  EXPECT_FALSE(std::filesystem::exists(scratch("spectrum.wav"))) << "the previous one is not this dataset's";
}

TEST_F(ConsoleAppTest, ARegionOfTheSpectrumIsHeardAcrossTheWholeTenSeconds) {
  MadeSpectrum made;
  // Lines off the round values of ppm, where the axis's ticks click.
  made.multiplets = {{7.93, {}, 1}, {7.47, {}, 1}, {7.12, {}, 1}, {3.0, {}, 3}};
  made.solventProtons = 0;
  const std::string fid = make_spectrum_dataset(xdg.path() / "three/1", made).string();
  const ProcessResult run = cli({"--no-play", "--hear-spectrum", "--region", "8.2:6.8", fid});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto samples = samples_of_wave(read_file(scratch("spectrum.wav")));
  EXPECT_EQ(samples.size(), 441000u) << "10 s at x 1, for 1.4 ppm as for the whole";
  const auto maxima = lines_heard(samples, 8.2, 6.8);
  ASSERT_EQ(maxima.size(), 3u) << "the three lines of the region, not the one at 3.0 ppm";
  const double column = 10.0 / 730;
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(maxima[i], (8.2 - made.multiplets[i].ppm) / 1.4 * 10, column) << made.multiplets[i].ppm;
  }

  // A region partly beyond the spectrum is heard where the two meet; one wholly beyond it
  // and one that is not HIGH:LOW are refused.
  ASSERT_EQ(cli({"--no-play", "--hear-spectrum", "--region", "100:6.8", fid}).status, 0);
  const auto beyond = samples_of_wave(read_file(scratch("spectrum.wav")));
  const ProcessResult outside = cli({"--no-play", "--hear-spectrum", "--region", "-20:-30", fid});
  EXPECT_EQ(outside.status, 1);
  EXPECT_NE(outside.err.find("the region -20:-30 lies outside the spectrum, which runs from 15.00 to"), std::string::npos)
      << outside.err;
  for (const auto& bad : {std::vector<std::string>{"--region", "6.8:8.2", "--hear-spectrum", fid},
                          {"--region", "8.2", "--hear-spectrum", fid}, {"--region", "8.2:x", "--hear-spectrum", fid},
                          {"--region", "8.2:6.8", fid}}) {
    EXPECT_EQ(cli(bad).status, 2) << bad[1];
  }
  const auto far = lines_heard(beyond, 15, 6.8);
  ASSERT_EQ(far.size(), 3u);
  EXPECT_NEAR(far[0], (15 - 7.93) / (15 - 6.8) * 10, 2 * column) << "the spectrum's first point at 15 ppm";
}

TEST_F(ConsoleAppTest, AReadOnlyTemplateBesideTheProgramSuppliesTheHeader) {
  // The program in a folder of its own, with a template its user may read but not write,
  // run as an ordinary user.
  TempDir bin;
  std::filesystem::copy_file(FID_SONG_CLI, bin.path() / "fid-song-cli");
  write_file(bin.path() / "fidsong.wav", "RIFF" + le32(0) + "WAVX" + "fmt " + le32(16) + le16(1) +
                                             le16(1) + le32(22050) + le32(44100) + le16(2) +
                                             le16(16) + "data" + le32(0));
  namespace fs = std::filesystem;
  fs::permissions(bin.path() / "fidsong.wav", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  if (const auto why = open_to_everyone(bin.path())) GTEST_SKIP() << *why;
  fs::permissions(xdg.path(), fs::perms::all);
  const ProcessResult run = run_process(
      as_ordinary_user({(bin.path() / "fid-song-cli").string(), "--no-play", "--tones"}),
      {.env = {{"XDG_DATA_HOME", xdg.path().string()}}});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(read_file(scratch("fid.wav")).substr(8, 4), "WAVX");
}

TEST_F(ConsoleAppTest, OptionsStandAnywhereAndTheHelpListsEveryOne) {
  const ProcessResult help = cli({"-h"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--speed", "--answer", "--f1", "--f2", "--off1", "--off2", "--tones", "--view-spectrum",
                             "--hear-spectrum", "--peaks", "--archive", "--no-play", "--no-picture", "--no-open", "--help",
                             "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(cli({"--help"}).out, help.out);
  EXPECT_EQ(cli({"--version"}).out, "fid-song-cli 0.1.0\n");

  // After the path, as GNU programs take them; "--" keeps an option-like word in the path.
  const ProcessResult after = cli({demo, "--no-play", "--speed=x 2"});
  EXPECT_EQ(after.status, 0) << after.err;
  EXPECT_EQ(after.out.substr(0, demo.size() + 1), demo + "\n") << "the path is not joined with the options";
  EXPECT_EQ(read_file(scratch("fid.wav")).substr(24, 4), le32(16556));
  const ProcessResult dashed = cli({"--no-play", "--", "--tones"});
  EXPECT_EQ(dashed.status, 1) << "a path named --tones, which is not there";
  EXPECT_NE(dashed.err.find("Could not read --tones"), std::string::npos) << dashed.err;
}

TEST_F(ConsoleAppTest, OnATerminalAProgressLineShowsHowFarTheSoundHasPlayed) {
  // Under a pseudo-terminal, as a user's shell runs it.
  const std::string command = std::string(FID_SONG_CLI) + " --speed 'x 3' '" + demo + "'";
  const ProcessResult run = run_process({"script", "-qec", command, "/dev/null"},
                                        {.env = console.environment({{"SDL_AUDIODRIVER", "disk"},
                                                                     {"SDL_DISKAUDIOFILE", (xdg.path() / "played.raw").string()}})});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("\rPlaying demo/1/fid: 0:0"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" of 0:01.3"), std::string::npos) << run.out;

  const ProcessResult piped = cli({"--speed", "x 3", demo}, {{"SDL_AUDIODRIVER", "disk"},
                                                             {"SDL_DISKAUDIOFILE", (xdg.path() / "played.raw").string()}});
  EXPECT_EQ(piped.err.find("Playing"), std::string::npos) << "not into a file";
}

TEST_F(ConsoleAppTest, PlaybackPlaysTheWholeSoundBeforeTheProgramEnds) {
  const auto captured = xdg.path() / "played.raw";
  const ProcessResult run = cli({"--speed", "x 3", demo}, {{"SDL_AUDIODRIVER", "disk"},
                                                          {"SDL_DISKAUDIOFILE", captured.string()},
                                                          {"SDL_DISKAUDIODELAY", "0"}});
  ASSERT_EQ(run.status, 0) << run.err;
  // 32728 samples at 24834 Hz, played at the device's 48000 Hz: from the first sound to
  // the last as long as in the file, and silence after.
  const auto samples = [](const std::string& raw) {
    std::vector<int> values;
    for (std::size_t at = 0; at + 1 < raw.size(); at += 2) values.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(raw[at]) | raw[at + 1] << 8));
    return values;
  };
  const auto loud_span = [](const std::vector<int>& v) {
    const auto loud = [](int x) { return std::abs(x) > 200; };
    const auto first = std::find_if(v.begin(), v.end(), loud);
    const auto last = std::find_if(v.rbegin(), v.rend(), loud);
    return std::pair{first - v.begin(), last.base() - v.begin()};
  };
  const std::string wav = read_file(scratch("fid.wav"));
  const auto [fileFirst, fileLast] = loud_span(samples(wav.substr(wav.size() - 2 * 32728)));
  const std::vector<int> played = samples(read_file(captured));
  const auto [playedFirst, playedLast] = loud_span(played);
  ASSERT_LT(playedFirst, playedLast);
  EXPECT_NEAR(static_cast<double>(playedLast - playedFirst) / 48000, static_cast<double>(fileLast - fileFirst) / 24834, 0.002);
  EXPECT_GT(static_cast<std::ptrdiff_t>(played.size()) - playedLast, 2 * 1024) << "the buffers after its end were played as well";
}

}  // namespace
