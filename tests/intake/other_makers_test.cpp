// Datasets of the other makers taken in as a chemist gives them: the scratch FID and
// acqus byte for byte, their sound not noise, their spectrum drawn where their lines lie,
// the original kept and archived, and a file without an FID refused with nothing changed.
#include <gtest/gtest.h>

#include <cmath>

#include "archive/archive_page.hpp"
#include "intake/dataset_intake.hpp"
#include "spectrum/drawing.hpp"
#include "spectrum/trace.hpp"
#include "bruker/word_format.hpp"
#include "tests/support/makers.hpp"
#include "tests/support/pictures.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

// Lag-1 autocorrelation of the first sounded values: near 1 or -1 for tones, near 0 for noise.
double tonality(const std::string& listing) {
  std::vector<double> v;
  for (std::size_t at = 0; at < listing.size() && v.size() < 4096; at = listing.find('\n', at) + 1) {
    v.push_back(std::strtod(listing.c_str() + at, nullptr));
  }
  double mean = 0, products = 0, squares = 0;
  for (const double x : v) mean += x / static_cast<double>(v.size());
  for (std::size_t i = 0; i + 1 < v.size(); ++i) products += (v[i] - mean) * (v[i + 1] - mean);
  for (const double x : v) squares += (x - mean) * (x - mean);
  return products / squares;
}

// What is in the scratch folder, file by file.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).string()] = read_file(entry.path());
  }
  return files;
}

class OtherMakersTest : public ::testing::Test {
 protected:
  intake::IntakeResult take_in(const fs::path& path) { return intake::loadFIDfile(bench.services, memory, path.string()); }
  std::string scratch(const std::string& name) const { return read_file(bench.scratch(name)); }
  // The x of the drawn picture's tallest peak, and where the given ppm lies in it.
  void expect_tallest_peak_at(double ppm) {
    const auto greys = gif_greys(scratch("spectrum.gif"));
    ASSERT_TRUE(greys.has_value());
    const auto drawn = scratch_trace(bench.files);
    ASSERT_TRUE(drawn.has_value());
    EXPECT_EQ(drawn->axis, spectrum::Axis::Ppm);
    EXPECT_NEAR(tallest_peak_x(*greys).value_or(-100), spectrum::x_of(*drawn, ppm), 3) << ppm << " ppm";
  }

  Workbench bench;
  common::FormMemory memory;
  const fs::path shared = SHARED_DATASETS;
};

TEST_F(OtherMakersTest, AVnmrjFolderBecomesDoublesAnAcqusItsTitleAndASpectrumInPpm) {
  // Lines at 7.26 and 1.20 ppm on a 400 MHz spectrometer; the reference line at 0 ppm
  // lies 1000 Hz above the spectrum's low end.
  const double sfrq = 400, sw = 6000, offset = sw / 2 - 1000;
  const auto hz = [&](double ppm) { return ppm * sfrq - offset; };
  const Fid fid = fid_of_lines({{hz(7.26), 30000}, {hz(1.2), 12000}}, 4096, sw, 0.3);
  const fs::path folder = bench.root.path() / "data/watergate.fid";
  write_file(folder / "fid", vnmrj_fid({fid}, VnmrjWords::Float32));
  write_file(folder / "procpar", procpar({{"sw", "6000"}, {"sfrq", "400"}, {"tn", "\"H1\""}, {"rfl", "1000"}, {"rfp", "0"}}));
  write_file(folder / "text", "watergate 1D\n");

  const intake::IntakeResult result = take_in(folder);
  EXPECT_EQ(result.maker, formats::Maker::VarianVnmrj);
  EXPECT_TRUE(result.copied);
  ASSERT_TRUE(result.sound && result.sound->played());
  // Lines of 30000 and 12000 reach 2^15.4: times 2^14 they lie between 2^29 and 2^30.
  EXPECT_TRUE(same_bytes(scratch("fid"), scratch_doubles({in_floats(fid)}, 14, 1)));
  EXPECT_EQ(scratch("acqus"),
            "##TITLE= Acquisition parameters of a Agilent/Varian VnmrJ dataset\n##JCAMPDX= 5.0\n"
            "##DATATYPE= Parameter Values\n##ORIGIN= Agilent/Varian VnmrJ\n##$BYTORDA= 0\n##$DTYPA= 2\n"
            "##$SW_h= 6000\n##$SFO1= 400.002\n##$BF1= 400\n##$O1= 2000\n##$NUC1= <1H>\n##$TD= 8272\n"
            "##$FIDSONG_SF= 400\n##$FIDSONG_SCALE= 2^14\n##$FIDSONG_LEADIN= 40\n##$FIDSONG_TURN= 1\n##END=\n")
      << "its points behind a lead-in of 40, its real channel the stronger";
  EXPECT_EQ(scratch("title"), "watergate 1D");
  EXPECT_EQ(bench.window.title_text, folder.string() + "\rwatergate 1D") << "the path as given";
  EXPECT_EQ(scratch("original/fid"), read_file(folder / "fid"));
  EXPECT_GT(std::abs(tonality(scratch("fid.xls"))), 0.2) << "tones, not noise";
  EXPECT_TRUE(result.picture);
  expect_tallest_peak_at(7.26);
}

TEST_F(OtherMakersTest, ASpinsolveFolderAndAJeolTwoDimensionalFileAreTakenIn) {
  const double b1 = 43.5, bw = 5000, lowest = -1.5 * b1;  // the spectrum from -1.5 ppm up
  const auto hz = [&](double ppm) { return ppm * b1 - (lowest + bw / 2); };
  const fs::path spinsolve = bench.root.path() / "ibuprofen";
  write_file(spinsolve / "data.1d", spinsolve_data({fid_of_lines({{hz(0.9), 1}, {hz(7.1), 0.4}}, 8192, bw, 0.5)}, true, 1 / bw));
  write_file(spinsolve / "acqu.par", "b1Freq = 43.5\nbandwidth = 5\nlowestFrequency = -65.25\nrxChannel = \"1H\"\n"
                                     "Sample = \"ibuprofen\"\ngraphText = \"Ibuprofene in DMSO-d6\"\n");
  const intake::IntakeResult one = take_in(spinsolve);
  EXPECT_EQ(one.maker, formats::Maker::MagritekSpinsolve);
  EXPECT_EQ(one.dataFile, (spinsolve / "data.1d").string());
  EXPECT_EQ(scratch("title"), "Ibuprofene in DMSO-d6");
  EXPECT_EQ(scratch("fid").size(), 640u + 8192u * 16) << "a lead-in of 80 words, then the points";
  EXPECT_GT(std::abs(tonality(scratch("fid.xls"))), 0.2) << "tones, not noise";
  expect_tallest_peak_at(0.9);

  std::vector<Fid> rows;
  for (int r = 0; r < 32; ++r) rows.push_back(fid_of_lines({{300, 1e4 * (r + 1)}}, 256, 5000));
  write_file(bench.root.path() / "cosy/cosy.jdf", jeol_jdf(rows, {}));
  const intake::IntakeResult two = take_in(bench.root.path() / "cosy");
  EXPECT_EQ(two.maker, formats::Maker::JeolDelta);
  EXPECT_TRUE(same_bytes(scratch("fid"), scratch_doubles(rows, *scale_exponent(scratch("acqus")), turn_of(scratch("acqus")))));
  EXPECT_NE(scratch("acqus").find("##$TD= 592\n"), std::string::npos) << "the words of one FID and the lead-in";
  EXPECT_EQ(scratch("original/cosy.jdf"), read_file(bench.root.path() / "cosy/cosy.jdf")) << "the Spinsolve file is gone";
  EXPECT_EQ(fs::directory_iterator(bench.scratch("original"))->path().filename(), "cosy.jdf");

  // An absolute-value HMBC: its first axis real-complex (4), its FIDs sounded one after
  // the other, as a ser's are.
  JeolParameters hmbc;
  hmbc.axisTypes = {4, 1};
  write_file(bench.root.path() / "hmbc/hmbc.jdf", jeol_jdf(rows, hmbc));
  const intake::IntakeResult three = take_in(bench.root.path() / "hmbc/hmbc.jdf");
  ASSERT_TRUE(three.sound && three.sound->played()) << three.refusal;
  EXPECT_TRUE(same_bytes(scratch("fid"), scratch_doubles(rows, *scale_exponent(scratch("acqus")), turn_of(scratch("acqus")))));
  EXPECT_EQ(three.sound->samples, 32 * 512 / 2) << "every FID's points behind the lead-in, every second word";
}

TEST_F(OtherMakersTest, EveryMakersFidSoundsAsLoudAsABrukerOnesItsPointsTimesOnePowerOfTwo) {
  // Values far below a Bruker console's 2^29 to 2^30: a 13C JEOL FID below 10, 16-bit
  // VnmrJ words of a few hundred, JCAMP-DX integers below 50, Spinsolve floats below 2.
  JeolParameters carbon;
  carbon.domain = "Carbon13";
  carbon.sweepHz = 25000;
  const fs::path data = bench.root.path() / "data";
  write_file(data / "carbon.jdf", jeol_jdf({fid_of_lines({{2000, 4}, {-3000, 3}, {500, 2}}, 8192, 25000, 0.5)}, carbon));
  write_file(data / "vnmrj.fid/fid", vnmrj_fid({fid_of_lines({{300, 150}, {-800, 100}}, 4096, 6000)}, VnmrjWords::Int16));
  write_file(data / "vnmrj.fid/procpar", procpar({{"sw", "6000"}, {"sfrq", "400"}}));
  std::vector<std::int64_t> re, im;
  for (const auto& z : fid_of_lines({{120, 30}, {-450, 18}}, 2048, 5000)) {
    re.push_back(std::lround(z.real()));
    im.push_back(std::lround(z.imag()));
  }
  write_file(data / "small.jdx", jcamp_fid({re}, {im}, AsdfForm::DifDup));
  write_file(data / "spinsolve/data.1d", spinsolve_data({fid_of_lines({{90, 1.2}, {-300, 0.5}}, 4096, 5000)}, true, 1 / 5000.0));
  write_file(data / "spinsolve/acqu.par", "b1Freq = 43.5\nbandwidth = 5\nlowestFrequency = -2500\n");
  std::vector<fs::path> files = {data / "carbon.jdf", data / "vnmrj.fid", data / "small.jdx", data / "spinsolve/data.1d"};
  if (fs::is_directory(shared)) {
    for (const char* name : {"jeol/pa1-meod-1h.jdf", "jeol/fluorine-19f.jdf", "jcamp/aspirin-1h.fid.dx"}) files.push_back(shared / name);
  }
  for (const fs::path& file : files) {
    const intake::IntakeResult result = take_in(file);
    ASSERT_TRUE(result.sound && result.sound->played()) << file << ": " << result.refusal;
    const auto exponent = scale_exponent(scratch("acqus"));
    ASSERT_TRUE(exponent.has_value()) << file;
    const ReadBack original = read_back(bench.files, result.dataFile);
    Fid points;
    double largest = 0;
    for (std::size_t k = 0; k + 1 < original.pairs.size(); k += 2) {
      points.emplace_back(original.pairs[k], original.pairs[k + 1]);
      largest = std::max({largest, std::fabs(std::ldexp(original.pairs[k], *exponent)), std::fabs(std::ldexp(original.pairs[k + 1], *exponent))});
    }
    const int turn = turn_of(scratch("acqus"));
    EXPECT_TRUE(same_bytes(scratch("fid"), scratch_doubles({points}, *exponent, turn)))
        << file << ": the file's points times 2^" << *exponent << ", turned by i^" << turn;
    EXPECT_GE(largest, std::ldexp(1.0, 29)) << file;
    EXPECT_LT(largest, std::ldexp(1.0, 30)) << file;
    const auto [real, sounded] = channels_of(scratch("fid"));
    EXPECT_GE(sounded, real) << file << ": the stronger channel is the one heard";
    // A Bruker FID sounds at about 0.9 of full scale; within 4 dB of it.
    EXPECT_GE(peak_of(wave_samples(scratch("fid.wav"))), 0.6 * 32768) << file;
  }
}

TEST_F(OtherMakersTest, AConvertedDatasetWithoutATitleNeverShowsThePreviousDatasetsTitle) {
  ASSERT_TRUE(take_in(copy_demo(bench.root.path() / "demo")).sound->played());
  ASSERT_TRUE(fs::exists(bench.scratch("title")));
  const fs::path untitled = bench.root.path() / "untitled";
  write_file(untitled / "data.1d", spinsolve_data({fid_of_lines({{300, 1}}, 256, 5000)}, true, 1 / 5000.0));
  write_file(untitled / "acqu.par", "b1Freq = 43.5\nbandwidth = 5\n");
  const intake::IntakeResult result = take_in(untitled);
  ASSERT_TRUE(result.sound && result.sound->played()) << result.refusal;
  EXPECT_FALSE(result.title);
  EXPECT_FALSE(fs::exists(bench.scratch("title"))) << "the demo's title is gone";
  EXPECT_EQ(bench.window.title_text, untitled.string() + "\r");
}

TEST_F(OtherMakersTest, TheOriginalIsArchivedUnderItsOwnNameAndNoBrukerDatasetInheritsIt) {
  write_file(bench.root.path() / "rutin/rutin.jdf", jeol_jdf({fid_of_lines({{300, 1}}, 1024, 5000)}, {}));
  ASSERT_TRUE(take_in(bench.root.path() / "rutin/rutin.jdf").sound->played());
  bench.window.answers = {"rutin"};
  ASSERT_EQ(archive::archivedata(bench.services).outcome, archive::ArchiveResult::Outcome::Written);
  EXPECT_EQ(read_file(bench.scratch("fidsong/rutin/rutin.jdf")), read_file(bench.root.path() / "rutin/rutin.jdf"));
  EXPECT_EQ(read_file(bench.scratch("fidsong/rutin/fid.bin")), scratch("fid"));

  // A file named like one of the archive's own keeps its bytes under another name.
  write_file(bench.root.path() / "odd/fid.wav", jcamp_fid({{1, 2}}, {{3, 4}}, AsdfForm::Affn));
  ASSERT_TRUE(take_in(bench.root.path() / "odd/fid.wav").sound->played());
  bench.window.answers = {"odd"};
  ASSERT_EQ(archive::archivedata(bench.services).outcome, archive::ArchiveResult::Outcome::Written);
  EXPECT_EQ(read_file(bench.scratch("fidsong/odd/original-fid.wav")), read_file(bench.root.path() / "odd/fid.wav"));
  EXPECT_EQ(read_file(bench.scratch("fidsong/odd/fid.wav")).substr(0, 4), "RIFF");

  ASSERT_TRUE(take_in(copy_demo(bench.root.path() / "demo")).copied);
  EXPECT_TRUE(fs::is_empty(bench.scratch("original")));
  bench.window.answers = {"demo"};
  ASSERT_EQ(archive::archivedata(bench.services).outcome, archive::ArchiveResult::Outcome::Written);
  EXPECT_EQ(std::distance(fs::directory_iterator(bench.scratch("fidsong/demo")), {}), 9)
      << "the files of today, its peaks, report and spectrum, no more";
}

TEST_F(OtherMakersTest, AFileWithoutAnFidIsRefusedAndTheScratchFolderStaysByteForByte) {
  ASSERT_TRUE(take_in(copy_demo(bench.root.path() / "demo")).sound->played());
  const auto before = snapshot(bench.scratch(""));
  const std::size_t played = bench.media.played.size();
  const fs::path spectrum = bench.root.path() / "aspirin.dx";
  write_file(spectrum, "##TITLE= aspirin\n##JCAMP-DX= 5.01\n##DATA TYPE= NMR SPECTRUM\n##XYDATA= (X++(Y..Y))\n1 2 3\n##END=\n");
  write_file(bench.root.path() / "broken.jdf", "JEOL.NMR and nothing more");
  // A Spinsolve's spectrum beside its FID, in the same layout with a frequency axis.
  const fs::path spinsolve = bench.root.path() / "ibuprofen";
  write_file(spinsolve / "acqu.par", "b1Freq = 43.5\nbandwidth = 5\n");
  std::string processed = spinsolve_data({fid_of_lines({{300, 1}}, 256, 5000)}, true, 1 / 5000.0);
  write_file(spinsolve / "spectrum.1d", processed);
  processed.replace(32, 4, std::string("\x00\x40\x1c\xc5", 4));  // the axis from -2500 Hz up
  write_file(spinsolve / "spectrum_processed.1d", processed);
  for (const fs::path& file : {spectrum, bench.root.path() / "broken.jdf", spinsolve / "spectrum.1d", spinsolve / "spectrum_processed.1d"}) {
    const intake::IntakeResult result = take_in(file);
    EXPECT_FALSE(result.sound) << file;
    EXPECT_FALSE(result.refusal.empty());
    EXPECT_EQ(snapshot(bench.scratch("")), before) << file;
    EXPECT_EQ(bench.media.played.size(), played) << "nothing sounded";
  }
  EXPECT_EQ(take_in(spectrum).refusal, formats::kProcessedOnly);
}

TEST_F(OtherMakersTest, AFolderStandsForItsOneExchangeFileOnly) {
  const fs::path folder = bench.root.path() / "one";
  write_file(folder / "Rutin.JDF", jeol_jdf({fid_of_lines({{300, 1}}, 64, 5000)}, {}));
  write_file(folder / "notes.txt", "not data");
  EXPECT_EQ(intake::dataset_file(bench.files, folder.string()), (folder / "Rutin.JDF").string());
  write_file(folder / "export.dx", "##TITLE= x\n");
  EXPECT_EQ(intake::dataset_file(bench.files, folder.string()), folder.string()) << "two: no telling which";
  EXPECT_EQ(take_in(folder).copied.reason(), "Is a directory");
}

TEST_F(OtherMakersTest, TheSharedJcampAndJeolFilesSoundAndShowAsTheirDataSay) {
  if (!fs::is_directory(shared)) GTEST_SKIP() << shared << " is not beside the checkout";
  // The JCAMP-DX export of the aspirin FID sounds as the Bruker dataset does, from its
  // first point where the Bruker FID's sound begins at its 41st, and its spectrum peaks
  // where the Bruker one's does.
  ASSERT_TRUE(take_in(shared / "aspirin-1h/1").sound->played());
  const std::string brukerListing = scratch("fid.xls");
  const auto brukerPeak = tallest_peak_x(*gif_greys(scratch("spectrum.gif")));
  const intake::IntakeResult jcamp = take_in(shared / "jcamp/aspirin-1h.fid.dx");
  ASSERT_TRUE(jcamp.sound && jcamp.sound->played());
  EXPECT_EQ(jcamp.sound->format, (bruker::WordFormat{bruker::ByteOrder::Little, bruker::WordType::Float64}));
  const std::string jcampListing = scratch("fid.xls");
  ASSERT_GT(jcampListing.size(), brukerListing.size());
  EXPECT_TRUE(same_bytes(jcampListing.substr(jcampListing.size() - brukerListing.size()), brukerListing)) << "the same samples";
  EXPECT_EQ(std::count(jcampListing.begin(), jcampListing.end(), '\n') - std::count(brukerListing.begin(), brukerListing.end(), '\n'), 40)
      << "and the 40 points that the Bruker FID's lead-in holds in front of them";
  EXPECT_EQ(scratch("title"), "1H BBI");
  EXPECT_EQ(bench.window.title_text, (shared / "jcamp/aspirin-1h.fid.dx").string() + "\r1H BBI");
  EXPECT_NEAR(tallest_peak_x(*gif_greys(scratch("spectrum.gif"))).value_or(-100), brukerPeak.value_or(100), 3);
  // The Bruker words reach 2^19.x: times 2^10.
  std::string doubles(640, '\0');
  const std::string words = read_file(shared / "aspirin-1h/1/fid");
  for (std::size_t at = 0; at < words.size(); at += 4) {
    const auto word = bruker::int32_at<bruker::ByteOrder::Big>(reinterpret_cast<const unsigned char*>(words.data() + at));
    bruker::append_word(doubles, bruker::ByteOrder::Little, std::ldexp(word, 10));
  }
  EXPECT_TRUE(same_bytes(scratch("fid"), doubles));
  EXPECT_EQ(scratch("acqus"),
            "##TITLE= Acquisition parameters of a JCAMP-DX dataset\n##JCAMPDX= 5.0\n##DATATYPE= Parameter Values\n"
            "##ORIGIN= JCAMP-DX\n##$BYTORDA= 0\n##$DTYPA= 2\n##$SW_h= 4789.27203065134\n##$SFO1= 300.132250975\n"
            "##$BF1= 300.13\n##$O1= 2250.975\n##$NUC1= <1H>\n##$TD= 16464\n##$SOLVENT= <CDCl3>\n##$DECIM= 24\n"
            "##$DSPFVS= 10\n##$FIDSONG_SF= 300.13000000078944\n##$FIDSONG_SCALE= 2^10\n##$FIDSONG_LEADIN= 40\n"
            "##$FIDSONG_TURN= 0\n##END=\n");

  // The methanol-d4 sample: its residual water (HDO) at 4.85 ppm, not mirrored to 5.15.
  const intake::IntakeResult jeol = take_in(shared / "jeol/pa1-meod-1h.jdf");
  ASSERT_TRUE(jeol.sound && jeol.sound->played());
  EXPECT_GT(std::abs(tonality(scratch("fid.xls"))), 0.2) << "tones, not noise";
  EXPECT_EQ(scratch("acqus"),
            "##TITLE= Acquisition parameters of a JEOL Delta dataset\n##JCAMPDX= 5.0\n##DATATYPE= Parameter Values\n"
            "##ORIGIN= JEOL Delta\n##$BYTORDA= 0\n##$DTYPA= 2\n##$SW_h= 7494.00479616307\n##$SFO1= 399.78419728924194\n"
            "##$BF1= 399.78219837825003\n##$O1= 1998.9109918912502\n##$NUC1= <1H>\n##$TD= 65616\n"
            "##$SOLVENT= <CD3OD>\n##$FIDSONG_SF= 399.78219837825003\n##$FIDSONG_SCALE= 2^23\n##$FIDSONG_LEADIN= 40\n"
            "##$FIDSONG_TURN= 0\n##END=\n");
  const auto drawn = scratch_trace(bench.files);
  ASSERT_TRUE(drawn.has_value());
  const auto height_near = [&](double ppm) {
    const auto x = static_cast<std::size_t>(std::lround(spectrum::x_of(*drawn, ppm) - spectrum::kPlotLeft));
    double most = 0;
    for (std::size_t i = x - 2; i <= x + 2; ++i) most = std::max(most, drawn->columns[i].high);
    return most;
  };
  EXPECT_GT(height_near(4.85), 10 * height_near(5.15));
}

}  // namespace
