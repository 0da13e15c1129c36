// fid-song-cli as a hostile user drives it: nothing crashes, nothing hangs, nothing is
// lost, and no failure is reported as success.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <chrono>
#include <thread>

#include "tests/support/console.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

class HostileUseTest : public ::testing::Test {
 protected:
  HostileUseTest() { fs::create_directories(console.scratch("fidsong")); }
  // A dataset of its own: kPairs pairs whose second words are all `second`, and a title.
  static constexpr std::size_t kPairs = 100000;  // long enough for two runs to overlap
  std::string dataset(const std::string& name, std::int32_t second) {
    std::vector<std::pair<std::int32_t, std::int32_t>> pairs(kPairs, {0, second});
    return make_dataset(data.path() / name, {fid_with_pairs(pairs), name, "##$TD= 680\n", {}}).string();
  }
  std::vector<std::string> scratch_names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(console.scratch(""))) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  Console console;
  TempDir data;
  const std::string demo = DEMO_DIR "/1/fid";
};

// n samples of one value, as the sound holds them.
std::string samples(std::size_t n, std::int16_t value) {
  std::string bytes;
  for (std::size_t i = 0; i < n; ++i) bytes += le16(value);
  return bytes;
}

// Runs within a time bound: how long it took, and what it did.
std::pair<double, ProcessResult> timed(const std::function<ProcessResult()>& run) {
  const auto start = std::chrono::steady_clock::now();
  ProcessResult result = run();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), result};
}

TEST_F(HostileUseTest, AFolderNamedLikeTheSoundIsToldAndNothingAborts) {
  fs::create_directory(console.scratch("fid.wav"));
  const ProcessResult run = console.run({demo});  // played too: the crash was in playback
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("could not be written (Is a directory)"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::is_directory(console.scratch("fid.wav")));
}

TEST_F(HostileUseTest, ADeviceAsTheTemplateAndPipesAsTheScratchFilesEndWithinASecond) {
  TempDir bin;
  fs::copy_file(FID_SONG_CLI, bin.path() / "fid-song-cli");
  fs::create_symlink("/dev/zero", bin.path() / "fidsong.wav");
  ASSERT_EQ(::mkfifo(console.scratch("fid.wav").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(console.scratch("fid.xls").c_str(), 0600), 0);
  const auto [seconds, run] = timed([&] {
    return run_process({"timeout", "20", (bin.path() / "fid-song-cli").string(), "--no-play", demo},
                       {.env = console.environment()});
  });
  EXPECT_LT(seconds, 1.0);
  EXPECT_EQ(run.status, 0) << run.err;
  // Made beside them and renamed into their places: the pipes were never opened.
  EXPECT_TRUE(fs::is_regular_file(console.scratch("fid.wav")));
  EXPECT_EQ(read_file(console.scratch("fid.wav")).substr(0, 4), "RIFF") << "the standard header";
  EXPECT_TRUE(fs::is_regular_file(console.scratch("fid.xls")));
}

TEST_F(HostileUseTest, APipeOrADeviceGivenAsTheFidIsAPathThatCannotBeRead) {
  ASSERT_EQ(console.run({"--no-play", demo}).status, 0);
  const std::string before = read_file(console.scratch("fid"));
  const fs::path fifo = data.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo.string(), std::string("/dev/zero")}) {
    const auto [seconds, run] = timed([&] { return console.run({"--no-play", path}); });
    EXPECT_LT(seconds, 1.0) << path;
    EXPECT_EQ(run.status, 1) << path;
    EXPECT_NE(run.err.find("Could not read " + path + ": Not a regular file"), std::string::npos) << run.err;
  }
  EXPECT_EQ(read_file(console.scratch("fid")), before);
}

TEST_F(HostileUseTest, ADeeperArchiveNameWorksOnAFreshDriveAndFailuresAreTold) {
  const fs::path record = data.path() / "xdg-open.txt";
  const std::map<std::string, std::string> opener{{"FAKE_XDG_OPEN_RECORD", record.string()}};
  const ProcessResult deeper = console.run({"--no-play", "--archive", "2026/ethanol", demo}, opener);
  EXPECT_EQ(deeper.status, 0) << deeper.err;
  EXPECT_TRUE(fs::is_regular_file(console.scratch("fidsong/2026/ethanol/index.htm")));

  write_file(console.scratch("fidsong/taken"), "a file");
  const struct {
    const char* name;
    const char* says;
  } refused[] = {{".", "leads out of"}, {"./.", "leads out of"}, {"keep/..", "leads out of"},
                 {"taken", "Not a directory"}, {"taken/x", "Not a directory"}};
  for (const auto& [name, says] : refused) {
    const ProcessResult run = console.run({"--no-play", "--archive", name, demo}, opener);
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(console.scratch("fidsong/index.htm")));
  EXPECT_FALSE(fs::exists(console.scratch("fidsong/fid.wav")));
  // Only the page that was written went to the desktop.
  for (int i = 0; i < 200 && read_file(record).empty(); ++i) ::usleep(10000);
  ::usleep(100000);
  EXPECT_EQ(read_file(record), console.scratch("fidsong/2026/ethanol/index.htm").string() + "\n");
}

TEST_F(HostileUseTest, AFullDiskLeavesThePreviousFidSoundAndListingWhole) {
  ASSERT_EQ(console.run({"--no-play", demo}).status, 0);
  const std::string fid = read_file(console.scratch("fid"));
  const std::string wav = read_file(console.scratch("fid.wav"));
  const std::string listing = read_file(console.scratch("fid.xls"));
  // A bigger dataset, on a disk that takes no file beyond 150 KB: its FID cannot be
  // copied, and the listing of the previous one no longer fits.
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs(kPairs, {0, 1234567});
  const std::string big = make_dataset(data.path() / "big/1", {fid_with_pairs(pairs), "big", "", {}}).string();
  const ProcessResult run = run_process(as_limited(150000, console.argv({"--no-play", big})),
                                        {.env = console.environment()});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
  EXPECT_EQ(read_file(console.scratch("fid")), fid);
  EXPECT_EQ(read_file(console.scratch("fid.wav")), wav);
  EXPECT_EQ(read_file(console.scratch("fid.xls")), listing);
  for (const std::string& name : scratch_names()) {
    EXPECT_EQ(name.find(".part"), std::string::npos) << name << ": a half-written file left behind";
  }
}

TEST_F(HostileUseTest, AReadOnlyTitleIsReadByAnOrdinaryUser) {
  // The program and the dataset where the user can reach them, wherever the checkout lies.
  TempDir shared;
  fs::copy_file(FID_SONG_CLI, shared.path() / "fid-song-cli");
  const std::string fid = copy_demo(shared.path()).string();
  if (const auto why = open_to_everyone(shared.path())) GTEST_SKIP() << *why;
  fs::permissions(console.xdg.path(), fs::perms::all);
  const auto asUser = [&](std::vector<std::string> args) {
    args.insert(args.begin(), (shared.path() / "fid-song-cli").string());
    return run_process(as_ordinary_user(std::move(args)), {.env = console.environment()});
  };
  fs::remove_all(console.xdg.path() / "fid-song");
  const ProcessResult intake = asUser({"--no-play", fid});
  ASSERT_EQ(intake.status, 0) << intake.err;
  fs::permissions(console.scratch("title"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const ProcessResult replay = asUser({"--no-play"});
  EXPECT_EQ(replay.status, 0) << replay.err;
  EXPECT_EQ(replay.out, "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n");
}

TEST_F(HostileUseTest, TwoRunsAtOnceTakeTurnsAndEachResultIsOneDatasetsWhole) {
  const std::string a = dataset("a", 300), b = dataset("b", -700);
  // Each dataset's listing, made on its own.
  std::map<std::string, std::string> listing;
  for (const auto& path : {a, b}) {
    ASSERT_EQ(console.run({"--no-play", path}).status, 0);
    listing[path] = read_file(console.scratch("fid.xls"));
  }
  for (int round = 0; round < 20; ++round) {
    ProcessResult first;
    std::thread alongside([&] { first = console.run({"--no-play", a}); });
    const ProcessResult second = console.run({"--no-play", b});
    alongside.join();
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    ASSERT_EQ(first.out, a + "\na\n") << "each run's caption is its own dataset's";
    // The last run's files, all of them from one dataset.
    const std::string wav = read_file(console.scratch("fid.wav"));
    const std::string xls = read_file(console.scratch("fid.xls"));
    const std::string& path = xls == listing[a] ? a : b;
    ASSERT_EQ(xls, listing[path]) << "round " << round;
    ASSERT_NE(wav.find(path + "\r" + fs::path(path).parent_path().filename().string()), std::string::npos)
        << "round " << round << ": the sound's comment names the other dataset";
    ASSERT_EQ(wav.substr(wav.size() - 2 * (kPairs - 40)), samples(kPairs - 40, path == a ? 9000 : -21000))
        << "round " << round;
  }
}

TEST_F(HostileUseTest, ASecondRunSaysThatItWaitsForTheFirst) {
  ASSERT_EQ(console.run({"--no-play", demo}).status, 0);
  const int held = ::open(console.scratch(".fid-song.lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  std::thread release([held] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ::close(held);
  });
  const auto [seconds, run] = timed([&] { return console.run({"--no-play"}); });
  release.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_GE(seconds, 1.4);
  EXPECT_NE(run.err.find("Waiting for another FID-Song"), std::string::npos) << run.err;
}

TEST_F(HostileUseTest, AClosedOutputPipeDoesNotStopTheArchive) {
  // The reader closes its end at once, as head does when it has enough.
  const ProcessResult run = run_process(
      {"bash", "-c", "set -o pipefail; \"$@\" | (exec 0<&-; sleep 0.5)", "pipe",
       FID_SONG_CLI, "--no-play", "--no-open", "--archive", "piped", demo},
      {.env = console.environment()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_regular_file(console.scratch("fidsong/piped/index.htm")));
}

TEST_F(HostileUseTest, WithoutAHomeThereIsNoDriveFolderAndItIsSaid) {
  const fs::path stray = fs::current_path() / ".local/share/fid-song";
  const bool before = fs::exists(stray);
  const ProcessResult run = run_process({FID_SONG_CLI, "--no-play", demo},
                                        {.env = {{"HOME", ""}, {"XDG_DATA_HOME", "relative"}}});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Cannot place the drive folder"), std::string::npos) << run.err;
  EXPECT_EQ(fs::exists(stray), before) << "nothing under the current folder";
  EXPECT_FALSE(fs::exists(fs::current_path() / "relative"));
}

// Values no spectrum can be made of say so; values too large or too small for squares
// are scaled first, their report as the ordinary one's; a filter's delay that cannot be
// one is replaced and said. Each ends at once, with its reason or its report.
TEST_F(HostileUseTest, AnFidOfHugeTinyOrNoNumbersEndsAtOnceWithItsReasonOrItsReport) {
  const auto report = [&](const std::string& fid) {
    const auto [seconds, run] = timed([&] { return console.run({"--no-play", "--report", fid}); });
    EXPECT_LT(seconds, 1.0 * FIDSONG_TIME_FACTOR) << fid;
    EXPECT_EQ(run.signal, 0) << fid;
    return run;
  };
  const ProcessResult ordinary = report(hostile_dataset(data.path() / "ordinary", 1, std::nullopt));
  ASSERT_EQ(ordinary.status, 0) << ordinary.err;
  const std::string expected = "1H NMR (400 MHz, CDCl3) \u03b4 4.12 (q, J = 7.1 Hz, 2H), 1.26 (t, J = 7.1 Hz, 3H).\n";
  EXPECT_NE(ordinary.out.find(expected), std::string::npos) << ordinary.out;
  for (const double scale : {1e300, 1e-300, 1e-318}) {
    const ProcessResult run = report(hostile_dataset(data.path() / ("scaled" + std::to_string(std::ilogb(scale))), scale, std::nullopt));
    EXPECT_EQ(run.status, 0) << scale << run.err;
    EXPECT_NE(run.out.find(expected), std::string::npos) << scale << run.out;
  }
  for (const double special : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    const ProcessResult run = report(hostile_dataset(data.path() / ("special" + std::to_string(std::signbit(special))), 1, special));
    EXPECT_EQ(run.status, 1) << special;
    EXPECT_NE(run.err.find("fid-song-cli: no spectrum: its FID holds values that are not numbers\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("NMR"), std::string::npos) << run.out;
  }
  const ProcessResult far = report(hostile_dataset(data.path() / "delay", 1, std::nullopt, "1e9"));
  EXPECT_EQ(far.status, 0) << far.err;
  EXPECT_NE(far.err.find("fid-song-cli: its GRPDLY 1e9 is beyond the FID: the FID's rise gives 68\n"), std::string::npos) << far.err;
  EXPECT_NE(far.out.find(expected), std::string::npos) << far.out;
}

}  // namespace
