// fid-song-cli interrupted as a logout, `timeout` or Ctrl+C interrupts it, or killed
// outright: nothing is left behind, and what was there before stays whole.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include "tests/support/console.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

class InterruptionTest : public ::testing::Test {
 protected:
  InterruptionTest() {
    // The program takes what it was started with: a test run with these ignored (in the
    // background, under nohup) must still see them arrive.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    // A dataset whose FID takes a while to copy and to sound: 256 MiB, sparse on disk.
    big = (data.path() / "big/1/fid").string();
    make_dataset(data.path() / "big/1", {"", "big", "", {}});
    fs::resize_file(big, std::uintmax_t{256} << 20);
  }
  // The temporary files in the scratch folder.
  std::vector<std::string> temporaries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(console.scratch(""))) {
      if (entry.path().filename().string().find(".part-") != std::string::npos) names.push_back(entry.path().filename());
    }
    return names;
  }
  // Waits until a temporary file whose name starts with prefix is being written.
  bool writing(const std::string& prefix) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < until) {
      for (const std::string& name : temporaries()) {
        if (name.starts_with(prefix)) return true;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
  }

  Console console;
  TempDir data;
  std::string big;
  const std::string demo = DEMO_DIR "/1/fid";
};

TEST_F(InterruptionTest, ASignalDuringARequestLeavesNoTemporaryFileAndThePreviousFilesWhole) {
  ASSERT_EQ(console.run({"--no-play", demo}).status, 0);
  const std::string fid = read_file(console.scratch("fid"));
  const std::string wav = read_file(console.scratch("fid.wav"));
  const std::string listing = read_file(console.scratch("fid.xls"));
  const struct {
    int signal;
    const char* during;  // the temporary file being written when it comes
  } cases[] = {{SIGTERM, ".fid.part-"}, {SIGINT, ".fid.part-"}, {SIGTERM, ".fid.wav.part-"},
               {SIGINT, ".fid.xls.part-"}, {SIGHUP, ".fid.wav.part-"}};
  for (const auto& [signal, during] : cases) {
    SCOPED_TRACE(std::string(strsignal(signal)) + " while writing " + during);
    RunningProcess run(console.argv({"--no-play", big}), console.environment());
    ASSERT_TRUE(writing(during));
    const int status = run.signal_and_wait(signal);
    // Ended by the signal itself: a shell reports 128 + its number.
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "wait status " << status;
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
    EXPECT_TRUE(same_bytes(read_file(console.scratch("fid.wav")), wav));
    EXPECT_TRUE(same_bytes(read_file(console.scratch("fid.xls")), listing));
    if (std::string(during) == ".fid.part-") {
      EXPECT_TRUE(same_bytes(read_file(console.scratch("fid")), fid));
    }
  }
}

TEST_F(InterruptionTest, TheNextRequestRemovesWhatAKilledRunLeftButNotWhatALiveOneHolds) {
  ASSERT_EQ(console.run({"--no-play", demo}).status, 0);
  {
    RunningProcess killed(console.argv({"--no-play", big}), console.environment());
    ASSERT_TRUE(writing(".fid.wav.part-"));
    killed.signal_and_wait(SIGKILL);
  }
  ASSERT_FALSE(temporaries().empty()) << "a killed run cannot clean up";
  // Another run that is still writing, as far as anyone can tell: it holds its file's lock.
  const fs::path held = console.scratch(".fid.xls.part-" + std::to_string(::getpid()) + "-7");
  const int fd = ::open(held.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);

  const ProcessResult next = console.run({"--no-play", demo});
  EXPECT_EQ(next.status, 0) << next.err;
  EXPECT_EQ(temporaries(), std::vector<std::string>{held.filename()});
  ::close(fd);
  EXPECT_EQ(read_file(console.scratch("fid.wav")).substr(0, 4), "RIFF");
}

TEST_F(InterruptionTest, AHostileTitleIsShownEscapedOnATerminalAndByteForByteIntoAPipe) {
  // Sets the terminal's title, clears its screen, and a lone C1 introducer.
  const std::string title = "Evil\x1b]0;pwned\x07\x1b[2J\x9b""31m end";
  const std::string fid = make_dataset(data.path() / "evil/1", {"", title, "", {}}).string();
  const ProcessResult piped = console.run({"--no-play", "--no-picture", fid});
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(same_bytes(piped.out, fid + "\n" + title + "\n")) << "scripts get the bytes";

  const std::string command = std::string(FID_SONG_CLI) + " --no-play --no-picture '" + fid + "'";
  const ProcessResult shown = run_process({"script", "-qec", command, "/dev/null"}, {.env = console.environment()});
  EXPECT_EQ(shown.status, 0) << shown.out;
  EXPECT_NE(shown.out.find("Evil\\e]0;pwned\\x07\\e[2J\\x9b31m end"), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find('\x1b'), std::string::npos) << "no escape reaches the terminal";

  // A message naming a path from the command line is escaped as well.
  const std::string missing = (data.path() / "x\x1b[2J").string();
  const ProcessResult told = run_process({"script", "-qec", std::string(FID_SONG_CLI) + " --no-play '" + missing + "'", "/dev/null"},
                                         {.env = console.environment()});
  EXPECT_NE(told.out.find("Could not read " + (data.path() / "x\\e[2J").string()), std::string::npos) << told.out;
  EXPECT_EQ(told.out.find('\x1b'), std::string::npos);
}

}  // namespace
