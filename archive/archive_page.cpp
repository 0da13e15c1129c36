// "archive Data".
#include "archive/archive_page.hpp"

#include <algorithm>
#include <iterator>

#include "analysis/report.hpp"
#include "common/scratch_paths.hpp"

namespace archive {
namespace {

// Whether following the name's parts from the archive parent ever goes above it, or ends
// at the parent itself (".", "keep\.."): either would put the archive's files beside
// the other archives, or over the scratch files.
bool leaves_the_archive(const std::string& name) {
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
  return depth == 0;
}

// The data file of another maker's dataset, as it was, under its own name; a name the
// archive's own files take gets "original-" in front.
void keep_original(platform::FileSystem& files, const std::string& folder) {
  const std::string name = files.first_match(std::string(common::kScratchOriginal) + "\\*");
  if (name.empty()) return;
  constexpr const char* kTaken[] = {"fid.bin",      "acqus.txt",    "spectrum.eps", "fid.wav",
                                    "spectrum.gif", "spectrum.wav", "peaks.txt",    "index.htm"};
  const bool taken = std::find(std::begin(kTaken), std::end(kTaken), name) != std::end(kTaken);
  files.copy_file(std::string(common::kScratchOriginal) + "\\" + name, folder + "\\" + (taken ? "original-" : "") + name);
}

}  // namespace

std::string archive_page(const std::string& caption, const std::string& dateTime, const std::string& report) {
  std::string page = "<table><tr><td><h3>" + caption + "</h3>";
  page += "<p><embed src=fid.wav>";
  page += "<p><a href=acqus.txt>acqus</a> <a href=fid.bin>fid</a>";
  page += std::string("<p>created by FID-Song.EXE by <a href=mailto:") + kAuthorAddress + ">" +
          kAuthorAddress + "</a> " + dateTime;
  page += "</td><td><img src=spectrum.gif></td></tr></table>";
  if (report.empty()) return page;
  page += "<div class=report>" + analysis::report_html(report) + "</div>";
  page += "<p><a href=report.txt>report</a> <a href=spectrum.dx>spectrum (JCAMP-DX)</a> <a href=peaks.txt>peaks</a>";
  return page;
}

ArchiveResult archivedata(platform::Services& s) {
  using Outcome = ArchiveResult::Outcome;
  ArchiveResult result;
  result.name = s.window.prompt("Subdirectory of c:\\temp\\fidsong\\?", std::nullopt);
  if (result.name.empty()) return result;
  if (leaves_the_archive(result.name)) {
    result.outcome = Outcome::Refused;
    return result;
  }

  result.folder = std::string(common::kArchiveParent) + "\\" + result.name;
  const std::string& folder = result.folder;
  // A deeper name's missing folders too; one that is there already is used again.
  result.status = s.files.create_folders(folder);
  if (!result.status) {
    result.outcome = Outcome::Failed;
    return result;
  }
  // An archive made again under its name first loses what an interrupted one left there.
  s.files.remove_leftovers(folder);
  // A scratch file that is missing (no plot, say) is a copy that fails; the page is
  // written all the same.
  s.files.copy_file(common::kScratchFid, folder + "\\fid.bin");
  s.files.copy_file(common::kScratchAcqus, folder + "\\acqus.txt");
  s.files.copy_file(common::kScratchSpectrum, folder + "\\spectrum.eps");
  s.files.copy_file(common::kScratchWav, folder + "\\fid.wav");
  s.files.copy_file(common::kScratchPicture, folder + "\\spectrum.gif");
  s.files.copy_file(common::kScratchSpectrumSound, folder + "\\spectrum.wav");
  s.files.copy_file(common::kScratchPeaks, folder + "\\peaks.txt");
  s.files.copy_file(common::kScratchReport, folder + "\\report.txt");
  s.files.copy_file(common::kScratchExport, folder + "\\spectrum.dx");
  keep_original(s.files, folder);
  const std::string caption = s.window.title();
  const std::string dateTime = s.window.date_time();  // taken after the copies
  constexpr std::size_t kMostReport = std::size_t{1} << 20;
  const std::string page = archive_page(caption, dateTime, s.files.read_start(folder + "\\report.txt", kMostReport));
  result.status = puttofile(s.files, page, folder + "\\index.htm", 1);
  if (!result.status) {
    result.outcome = Outcome::Failed;
    return result;
  }
  // Only a page that is there is handed to the desktop.
  s.shell.shellopen(folder + "\\index.htm", platform::kShowMinimized);
  result.outcome = Outcome::Written;
  return result;
}

platform::Status puttofile(platform::FileSystem& files, const std::string& swhat,
                           const std::string& sfile, std::int32_t pt) {
  // Made beside the page and renamed over it: an earlier page stays whole until the new
  // one is.
  platform::Replacement page = files.replace(sfile);
  // A position below 1 cannot be set: the text then goes from the start.
  if (pt > 0) page.file().set_position(pt);
  page.file().write(swhat);
  return page.commit();
}

}  // namespace archive
