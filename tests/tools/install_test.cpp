// `cmake --install` puts the programs and their desktop integration where a desktop finds
// them: the entry, the MIME types of the data files they take in, the icon, the metainfo,
// and beside them the template, the manual pages and the shell's completion.
#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <cstdlib>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;

TEST(Install, PutsTheProgramsTheDesktopEntryTheMimeTypeAndTheIconUnderThePrefix) {
  TempDir prefix;
  const ProcessResult run =
      run_process({CMAKE_COMMAND, "--install", BUILD_DIR, "--prefix", prefix.path().string()});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  for (const char* program : {"bin/fid-song", "bin/fid-song-cli"}) {
    const auto status = std::filesystem::status(prefix.path() / program);
    EXPECT_TRUE(std::filesystem::is_regular_file(status)) << program;
    EXPECT_NE(status.permissions() & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
  }
  const auto share = prefix.path() / "share";
  const std::string entry = read_file(share / "applications/org.fidsong.FidSong.desktop");
  EXPECT_NE(entry.find("Exec=fid-song %f\n"), std::string::npos) << "one file a window" << entry;
  EXPECT_NE(entry.find("MimeType=application/x-nmr-fid;application/x-jeol-jdf;chemical/x-jcamp-dx;"
                       "application/x-spinsolve-data;\n"),
            std::string::npos)
      << entry;
  EXPECT_EQ(entry.find("octet-stream"), std::string::npos) << "not offered for every binary file";
  for (const char* file : {"icons/hicolor/scalable/apps/fid-song.svg", "metainfo/org.fidsong.FidSong.metainfo.xml",
                           "man/man1/fid-song.1.gz", "man/man1/fid-song-cli.1.gz",
                           "bash-completion/completions/fid-song-cli", "doc/fid-song/copyright"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(share / file)) << file;
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(prefix.path() / "bin/fidsong.wav")) << "the template beside the programs";
  EXPECT_TRUE(std::filesystem::is_regular_file(share / "mime/mime.cache")) << "the database updated";

  const ProcessResult valid = run_process({"desktop-file-validate", (share / "applications/org.fidsong.FidSong.desktop").string()});
  EXPECT_EQ(valid.status, 0) << valid.out << valid.err;
  EXPECT_EQ(valid.out + valid.err, "") << "not even a hint";

  // The desktop's MIME database, as Qt reads it, with this prefix among the data folders.
  ::setenv("XDG_DATA_DIRS", (share.string() + ":/usr/share").c_str(), 1);
  const QMimeDatabase mime;
  const std::string binary = std::string("\x12\x00\xff\x7f", 4) + std::string(4000, '\x01');
  const struct {
    const char* name;
    std::string bytes;
    const char* type;  // null: none of ours
  } files[] = {{"fid", binary, "application/x-nmr-fid"},
               {"ser", binary, "application/x-nmr-fid"},
               {"FID", binary, nullptr},
               {"fid.bin", binary, nullptr},
               {"data", binary, nullptr},
               {"fidx", binary, nullptr},
               {"rutin.jdf", "JEOL.NMR" + binary, "application/x-jeol-jdf"},
               {"aspirin.dx", "##TITLE= aspirin\n##JCAMP-DX= 6.0\n", "chemical/x-jcamp-dx"},
               {"aspirin.jdx", "##TITLE= aspirin\n", "chemical/x-jcamp-dx"},
               {"data.1d", "SORPATAD1.1V" + binary, "application/x-spinsolve-data"},
               {"data.1da", binary, nullptr}};
  for (const auto& [name, bytes, type] : files) {
    write_file(prefix.path() / "data" / name, bytes);
    const std::string found = mime.mimeTypeForFile(QString::fromStdString((prefix.path() / "data" / name).string())).name().toStdString();
    const bool ours = found == "application/x-nmr-fid" || found == "application/x-jeol-jdf" ||
                      found == "chemical/x-jcamp-dx" || found == "application/x-spinsolve-data";
    if (type) {
      EXPECT_EQ(found, type) << name;
    } else {
      EXPECT_FALSE(ours) << name << ": " << found;
    }
  }
}

}  // namespace
