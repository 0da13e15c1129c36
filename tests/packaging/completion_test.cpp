// bash's completion of fid-song-cli, as bash calls it at a Tab.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

// What a Tab offers after words (the last one the word being completed), one a line, as
// bash fills COMPREPLY; run in folder.
std::vector<std::string> offered(const std::vector<std::string>& words, const fs::path& folder = fs::temp_directory_path()) {
  std::vector<std::string> argv = {"bash", "-c",
                                   "cd \"$1\" && source \"$2\" && shift 2 && COMP_WORDS=(fid-song-cli \"$@\") && "
                                   "COMP_CWORD=$# && _fid_song_cli && printf '%s\\n' \"${COMPREPLY[@]}\"",
                                   "bash", folder.string(), SOURCE_DIR "/packaging/bash-completion/fid-song-cli"};
  argv.insert(argv.end(), words.begin(), words.end());
  const ProcessResult run = run_process(argv);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines;
  std::istringstream in(run.out);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

using Offer = std::vector<std::string>;

TEST(Completion, OffersEveryOptionOfTheHelpAndOnlyThose) {
  const ProcessResult help = run_process({FID_SONG_CLI, "--help"});
  std::set<std::string> helped;
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    if (line.rfind("  -", 0) != 0) continue;
    for (std::string word; words >> word && word[0] == '-';) helped.insert(word.back() == ',' ? word.substr(0, word.size() - 1) : word);
  }
  const Offer all = offered({"-"});
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()), helped);
  EXPECT_EQ(offered({"--sp"}), (Offer{"--speed"}));
  EXPECT_EQ(offered({"--no-"}), (Offer{"--no-play", "--no-picture", "--no-open"}));
  EXPECT_EQ(offered({"--tones", "--of"}), (Offer{"--off1", "--off2"}));
}

TEST(Completion, OffersTheSpeedsEscapedAndRunsNothingTyped) {
  EXPECT_EQ(offered({"--speed", ""}), (Offer{"x\\ \\?", "x\\ 0.125", "x\\ 0.25", "x\\ 0.5", "x\\ 1", "x\\ 2", "x\\ 3"}));
  EXPECT_EQ(offered({"--speed", "x\\ 0."}), (Offer{"x\\ 0.125", "x\\ 0.25", "x\\ 0.5"}));
  EXPECT_EQ(offered({"--no-play", "--speed", "\"x 2"}), (Offer{"x\\ 2"}));
  EXPECT_EQ(offered({"--speed", "x 9"}), Offer{});
  TempDir folder;
  EXPECT_EQ(offered({"--speed", "$(touch ran)"}, folder.path()), Offer{});
  EXPECT_EQ(offered({"--speed", "`touch ran`"}, folder.path()), Offer{});
  EXPECT_FALSE(fs::exists(folder.path() / "ran")) << "what is typed is only compared";
}

TEST(Completion, OffersNothingForAFreeValueAndFileNamesForAPath) {
  EXPECT_EQ(offered({"--f1", ""}), Offer{});
  EXPECT_EQ(offered({"--archive", "a"}), Offer{});
  TempDir folder;
  fs::create_directories(folder.path() / "my data/1");
  write_file(folder.path() / "my data/1/fid", "");
  write_file(folder.path() / "mine.jdf", "");
  EXPECT_EQ(offered({"my"}, folder.path()), (Offer{"my data"}));
  EXPECT_EQ(offered({"--speed", "x 1", "my data/1/"}, folder.path()), (Offer{"my data/1/fid"}));
  const Offer both = offered({"--no-play", "m"}, folder.path());
  EXPECT_EQ(std::set<std::string>(both.begin(), both.end()), (std::set<std::string>{"my data", "mine.jdf"}));
}

}  // namespace
