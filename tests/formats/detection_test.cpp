// Which maker a file is told to be by its content, and the nuclei's names.
#include "formats/detection.hpp"

#include <gtest/gtest.h>

#include "formats/nucleus.hpp"
#include "tests/support/makers.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

TEST(Detection, TheContentTellsTheMakerWhateverTheName) {
  Workbench bench;
  const Fid fid = fid_of_lines({{10, 100}}, 32, 8000);
  const auto at = [&](const std::string& name) { return bench.root.path() / name; };
  write_file(at("vnmrj/procpar"), procpar({{"sw", "8000"}}));
  const struct {
    const char* name;
    std::string bytes;
    formats::Maker maker;
  } cases[] = {
      {"a/fid", jeol_jdf({fid}, {}), formats::Maker::JeolDelta},
      {"b/anything", jcamp_fid({{1}}, {{2}}, AsdfForm::Affn), formats::Maker::JcampDx},
      {"c/x.jdx", "\xef\xbb\xbf  ##JCAMP-DX= 4.24\n", formats::Maker::JcampDx},
      {"d/data.1d", spinsolve_data({fid}, true, 1 / 8000.0), formats::Maker::MagritekSpinsolve},
      {"vnmrj/fid", vnmrj_fid({fid}, VnmrjWords::Int32), formats::Maker::VarianVnmrj},
      {"e/fid", std::string(4000, '\x01'), formats::Maker::Bruker},
      {"f/x.jdf", "JEOL.NM", formats::Maker::Bruker},
      {"g/x.dx", "# TITLE= no", formats::Maker::Bruker},
      {"h/empty", "", formats::Maker::Bruker},
  };
  for (const auto& [name, bytes, maker] : cases) {
    write_file(at(name), bytes);
    formats::Source source(bench.files, at(name).string());
    EXPECT_EQ(formats::maker_of(source), maker) << name;
  }
}

TEST(Nucleus, EveryMakersNameBecomesTheChemistsSymbol) {
  const struct {
    const char* name;
    const char* symbol;
  } cases[] = {{"Proton", "1H"},   {"Carbon13", "13C"}, {"Fluorine19", "19F"}, {"Phosphorus31", "31P"},
               {"H1", "1H"},       {"C13", "13C"},      {"Pt195", "195Pt"},    {"^1H", "1H"},
               {"1H", "1H"},       {"13c", "13C"},      {" <19F> ", "19F"},    {"Deuterium", "2H"},
               {"Unknown7", "Unknown7"}, {"", ""}};
  for (const auto& [name, symbol] : cases) EXPECT_EQ(formats::nucleus_symbol(name), symbol) << name;
}

}  // namespace
