// `cmake --install` puts the programs and their desktop integration where a desktop finds
// them: the entry, the MIME type of the files named fid and ser, and the icon.
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
  const std::string entry = read_file(share / "applications/fid-song.desktop");
  EXPECT_NE(entry.find("Exec=fid-song %f\n"), std::string::npos) << "one file a window" << entry;
  EXPECT_NE(entry.find("MimeType=application/x-nmr-fid;\n"), std::string::npos) << entry;
  EXPECT_EQ(entry.find("octet-stream"), std::string::npos) << "not offered for every binary file";
  EXPECT_TRUE(std::filesystem::is_regular_file(share / "icons/hicolor/scalable/apps/fid-song.svg"));
  EXPECT_TRUE(std::filesystem::is_regular_file(share / "mime/mime.cache")) << "the database updated";

  const ProcessResult valid = run_process({"desktop-file-validate", (share / "applications/fid-song.desktop").string()});
  EXPECT_EQ(valid.status, 0) << valid.out << valid.err;
  EXPECT_EQ(valid.out + valid.err, "") << "not even a hint";

  // The desktop's MIME database, as Qt reads it, with this prefix among the data folders.
  ::setenv("XDG_DATA_DIRS", (share.string() + ":/usr/share").c_str(), 1);
  const QMimeDatabase mime;
  const struct {
    const char* name;
    bool ours;
  } files[] = {{"fid", true}, {"ser", true}, {"FID", false}, {"fid.bin", false}, {"data", false}, {"fidx", false}};
  for (const auto& [name, ours] : files) {
    write_file(prefix.path() / "data" / name, std::string("\x12\x00\xff\x7f", 4) + std::string(4000, '\x01'));
    const QString type = mime.mimeTypeForFile(QString::fromStdString((prefix.path() / "data" / name).string())).name();
    EXPECT_EQ(type == "application/x-nmr-fid", ours) << name << ": " << type.toStdString();
  }
}

}  // namespace
