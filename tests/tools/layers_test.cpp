// The intended structure, checked: no source file includes across a layer's line.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "tests/support/files.hpp"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kCore = {"sound/",    "intake/",  "archive/", "common/", "processing/",
                                        "analysis/", "spectrum/", "formats/", "bruker/"};
const std::vector<std::string> kSubsystems = {"sound/",    "intake/",  "archive/", "common/", "processing/", "analysis/",
                                              "spectrum/", "formats/", "bruker/",  "window/", "cli/"};

bool under(const std::string& path, const std::vector<std::string>& folders) {
  for (const auto& f : folders) {
    if (path.starts_with(f)) return true;
  }
  return false;
}

// Why including what from the file at path crosses a line; empty when it does not.
std::string crossing(const std::string& path, const std::string& included, bool system) {
  const bool qt = system && std::regex_search(included, std::regex("^(Q[A-Za-z]|qt)"));
  const bool sdl = system && included.starts_with("SDL");
  if (qt && !path.starts_with("window/qt/")) return "only window/qt/ includes Qt";
  if (sdl && !path.starts_with("platform/")) return "only platform/ includes SDL";
  if (system) return {};
  if (under(path, kCore) && under(included, {"window/", "cli/"})) return "the core never includes a front end";
  if (path.starts_with("platform/") && under(included, kSubsystems)) return "platform/ includes no subsystem";
  if (path.starts_with("formats/") && under(included, {"sound/", "spectrum/", "intake/", "archive/", "window/", "cli/"})) {
    return "formats/ knows no sound and no window";
  }
  if (path.starts_with("bruker/") && under(included, kSubsystems) && !under(included, {"bruker/", "common/"})) {
    return "bruker/ lies below every subsystem but common/";
  }
  if (path.starts_with("processing/") && under(included, {"sound/", "analysis/", "spectrum/", "intake/", "archive/", "formats/"})) {
    return "processing/ makes spectra: it knows no sound, analysis, pictures, intake or files of other makers";
  }
  if (path.starts_with("analysis/") && under(included, {"sound/", "spectrum/", "intake/", "archive/", "formats/"})) {
    return "analysis/ reads spectra: it knows no sound, pictures, intake or files of other makers";
  }
  if (path.starts_with("window/") && included.starts_with("cli/")) return "the window never includes the console";
  return {};
}

// "file: #include ... (why)" for every include in the tree that crosses a line. The
// tests and the benchmark, which drive the programs from outside, may include anything.
std::vector<std::string> crossings(const fs::path& root) {
  std::vector<std::string> found;
  const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string path = fs::relative(it->path(), root).string();
    if (it->is_directory() && (path.starts_with("build") || path.starts_with(".") || path == "tests" || path == "bench")) {
      it.disable_recursion_pending();
      continue;
    }
    const auto ext = it->path().extension();
    if (!it->is_regular_file() || (ext != ".cpp" && ext != ".hpp")) continue;
    std::ifstream in(it->path());
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
      if (!std::regex_search(line, m, include)) continue;
      const std::string why = crossing(path, m[2].str(), m[1].str() == "<");
      if (!why.empty()) found.push_back(path + ": " + line + " (" + why + ")");
    }
  }
  return found;
}

TEST(Layers, NoSourceFileIncludesAcrossALine) {
  const auto found = crossings(SOURCE_DIR);
  EXPECT_TRUE(found.empty()) << ::testing::PrintToString(found);
}

TEST(Layers, EachKindOfCrossingIsFound) {
  testsupport::TempDir tree;
  const struct {
    const char* file;
    const char* include;
  } crossing[] = {
      {"intake/a.cpp", "#include \"window/form.hpp\""},
      {"sound/b.hpp", "#include <SDL.h>"},
      {"archive/c.cpp", "#include <QString>"},
      {"platform/d.cpp", "#include \"bruker/word_format.hpp\""},
      {"window/e.cpp", "  #  include <QtCore/QObject>"},
      {"window/qt/f.cpp", "#include <SDL2/SDL.h>"},
      {"spectrum/g.cpp", "#include \"cli/options.hpp\""},
      {"formats/h.cpp", "#include \"sound/wave_container.hpp\""},
      {"processing/i.cpp", "#include \"spectrum/drawing.hpp\""},
      {"processing/j.cpp", "#include <QVector>"},
      {"processing/k.cpp", "#include \"sound/sound_request.hpp\""},
      {"processing/l.cpp", "#include \"analysis/analysis.hpp\""},
      {"analysis/m.cpp", "#include \"sound/parameters.hpp\""},
      {"bruker/n.cpp", "#include \"sound/sound_request.hpp\""},
  };
  for (const auto& [file, line] : crossing) testsupport::write_file(tree.path() / file, std::string(line) + "\n");
  testsupport::write_file(tree.path() / "window/qt/ok.cpp", "#include <QWidget>\n#include \"window/form.hpp\"\n");
  testsupport::write_file(tree.path() / "platform/ok.cpp", "#include <SDL.h>\n#include \"platform/drive.hpp\"\n");
  testsupport::write_file(tree.path() / "analysis/ok.cpp", "#include \"processing/spectrum.hpp\"\n#include \"bruker/parameters.hpp\"\n");
  testsupport::write_file(tree.path() / "tests/ok.cpp", "#include <QWidget>\n#include <SDL.h>\n");
  testsupport::write_file(tree.path() / "bench/ok.cpp", "#include <QWidget>\n#include \"window/qt/main_window.hpp\"\n");
  EXPECT_EQ(crossings(tree.path()).size(), std::size(crossing)) << ::testing::PrintToString(crossings(tree.path()));
}

}  // namespace
