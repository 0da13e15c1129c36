// "archive Data".
#include "archive/archive_page.hpp"

#include "common/scratch_paths.hpp"

namespace archive {
namespace {

// Whether following the name's parts from the archive parent ever goes above it.
bool climbs_out(const std::string& name) {
  int depth = 0;
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find_first_of("\\/", start), name.size());
    const std::string part = name.substr(start, end - start);
    if (part == "..") {
      if (--depth < 0) return true;
    } else if (!part.empty() && part != ".") {
      ++depth;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace

std::string archive_page(const std::string& caption, const std::string& dateTime) {
  std::string page = "<table><tr><td><h3>" + caption + "</h3>";
  page += "<p><embed src=fid.wav>";
  page += "<p><a href=acqus.txt>acqus</a> <a href=fid.bin>fid</a>";
  page += std::string("<p>created by FID-Song.EXE by <a href=mailto:") + kAuthorAddress + ">" +
          kAuthorAddress + "</a> " + dateTime;
  page += "</td><td><img src=spectrum.gif></td></tr></table>";
  return page;
}

ArchiveResult archivedata(platform::Services& s) {
  using Outcome = ArchiveResult::Outcome;
  ArchiveResult result;
  result.name = s.window.prompt("Subdirectory of c:\\temp\\fidsong\\?", std::nullopt);
  if (result.name.empty()) return result;
  // Taken as typed, "..\x" would copy over files beside the archive, the scratch files
  // among them.
  if (climbs_out(result.name)) {
    result.outcome = Outcome::Refused;
    return result;
  }

  result.folder = std::string(common::kArchiveParent) + "\\" + result.name;
  const std::string& folder = result.folder;
  s.files.create_folder(folder);
  s.files.copy_file(common::kScratchFid, folder + "\\fid.bin");
  s.files.copy_file(common::kScratchAcqus, folder + "\\acqus.txt");
  s.files.copy_file(common::kScratchSpectrum, folder + "\\spectrum.eps");
  s.files.copy_file(common::kScratchWav, folder + "\\fid.wav");
  const std::string caption = s.window.title();
  const std::string dateTime = s.window.date_time();  // taken after the copies
  const std::string page = archive_page(caption, dateTime);
  puttofile(s.files, page, folder + "\\index.htm", 1);
  s.shell.shellopen(folder + "\\index.htm", platform::kShowMinimized);
  result.outcome = Outcome::Written;
  return result;
}

void puttofile(platform::FileSystem& files, const std::string& swhat, const std::string& sfile,
               std::int32_t pt) {
  files.open_for_writing(sfile).close();
  platform::BinaryFile file = files.open_binary(sfile);
  if (pt != 0) file.set_position(pt);
  file.write(swhat);
  file.close();
}

}  // namespace archive
