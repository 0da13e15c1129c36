// "archive Data": the current dataset and its sound kept in a named folder with a web page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "platform/services.hpp"

namespace archive {

// The author's contact address, in every page's footer.
inline constexpr const char* kAuthorAddress = "fid-song@example.org";

// What "archive Data" did.
struct ArchiveResult {
  enum class Outcome {
    Cancelled,  // no name given: nothing done
    Refused,    // a name that leads out of the archive folder: nothing done
    Failed,     // the folder could not be made or the page not written (see status)
    Written,    // the folder, its copies and its page, opened on the desktop
  };
  Outcome outcome = Outcome::Cancelled;
  std::string name;         // as typed
  std::string folder;       // "C:\temp\fidsong\" and the name
  platform::Status status;  // Failed: why, with the system's reason
};

// Asks for a folder name below "C:\temp\fidsong", makes the folder (and any missing one
// above it), copies the scratch FID, parameters, plot, sound, picture, heard spectrum,
// peaks, report, export and (for another maker's dataset) the original data file into it, writes
// index.htm there and asks the desktop to open it. A cancel or an empty name does
// nothing. A name that leads out of "C:\temp\fidsong", or to it itself, is refused:
// nothing is created, copied, written or opened. A folder that cannot be made or a page
// that cannot be written ends the run, and the desktop is not asked to open it; a
// scratch file that cannot be copied is passed over.
[[nodiscard]] ArchiveResult archivedata(platform::Services& services);

// The page: the caption as the heading (unchanged, markup and line breaks included), the
// sound, links to the parameters and the FID, the footer with the date and time, and the
// image reference. No line end is added anywhere. Under them, for a dataset with a report
// (report.txt's text; empty: none), the report as journals print it (its characters
// escaped, see analysis::report_html()) and links to report.txt, spectrum.dx and peaks.txt.
std::string archive_page(const std::string& caption, const std::string& dateTime, const std::string& report = {});

// Writes swhat into the emptied file sfile from 1-based byte pt (0: from the start);
// bytes ahead of pt are zeros. A pt below 0 cannot be set, and the text goes at the start.
// The file is replaced whole, or left as it was when the text cannot be written.
platform::Status puttofile(platform::FileSystem& files, const std::string& swhat,
                           const std::string& sfile, std::int32_t pt);

}  // namespace archive
