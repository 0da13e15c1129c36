// The manual pages: rendered by man without a warning, and listing the options that the
// console's --help lists, no more and no fewer.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "tests/support/process.hpp"

namespace {

using namespace testsupport;

const std::string kPages = SOURCE_DIR "/packaging/man/";

ProcessResult rendered(const std::string& page) {
  return run_process({"man", "--warnings", "-l", kPages + page}, {.env = {{"MANWIDTH", "80"}, {"MANPAGER", "cat"}, {"PAGER", "cat"}}});
}

// The options of the lines that start with indent and then "-": "-h, --help" gives both,
// "--speed TEXT  replay..." gives --speed. Lines of other indents and sections pass.
std::set<std::string> options_of(const std::string& text, const std::string& indent, const std::string& from = "",
                                 const std::string& to = "") {
  std::set<std::string> found;
  std::istringstream lines(text);
  bool inside = from.empty();
  for (std::string line; std::getline(lines, line);) {
    if (!from.empty() && line == from) inside = true;
    if (!to.empty() && line == to) inside = false;
    if (!inside || line.rfind(indent + "-", 0) != 0) continue;
    std::istringstream words(line);
    for (std::string word; words >> word && word[0] == '-';) {
      if (word.back() == ',') word.pop_back();
      found.insert(word);
    }
  }
  return found;
}

TEST(ManualPages, RenderWithoutAWarningAndHoldEverySection) {
  for (const char* page : {"fid-song.1", "fid-song-cli.1"}) {
    SCOPED_TRACE(page);
    const ProcessResult man = rendered(page);
    EXPECT_EQ(man.status, 0) << man.err;
    EXPECT_EQ(man.err, "") << "groff's and man's warnings";
    for (const char* section : {"\nNAME\n", "\nSYNOPSIS\n", "\nDESCRIPTION\n", "\nOPTIONS\n", "\nEXIT STATUS\n",
                                "\nENVIRONMENT\n", "\nFILES\n", "\nEXAMPLES\n", "\nSEE ALSO\n"}) {
      EXPECT_NE(man.out.find(section), std::string::npos) << section;
    }
    for (const char* named : {"XDG_DATA_HOME", "HOME", "drive_c", "fidsong.wav"}) {
      EXPECT_NE(man.out.find(named), std::string::npos) << named;
    }
  }
}

TEST(ManualPages, TheConsolesPageListsTheOptionsItsHelpLists) {
  const ProcessResult help = run_process({FID_SONG_CLI, "--help"});
  ASSERT_EQ(help.status, 0);
  const std::set<std::string> helped = options_of(help.out, "  ");
  ASSERT_GE(helped.size(), 17u) << help.out;
  const ProcessResult man = rendered("fid-song-cli.1");
  EXPECT_EQ(options_of(man.out, "       ", "OPTIONS", "EXIT STATUS"), helped);
}

TEST(ManualPages, TheWindowsPageListsNoOptionForItTakesNone) {
  const ProcessResult man = rendered("fid-song.1");
  EXPECT_EQ(options_of(man.out, "       ", "OPTIONS", "KEYS"), std::set<std::string>{});
  EXPECT_NE(std::regex_replace(man.out, std::regex(" +"), " ").find("fid-song takes no options"), std::string::npos);
}

}  // namespace
