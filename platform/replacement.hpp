// A file written beside its final name and moved into place whole, or not at all.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/binary_file.hpp"
#include "platform/failure_flag.hpp"
#include "platform/status.hpp"

namespace platform {

// The new content goes into a temporary file in the final name's folder; commit() renames
// it over the final name only when every operation on it worked. Until then, and for
// ever when anything failed, the final file stays as it was: a full disk never leaves a
// file half replaced, and a reader never sees one half written.
// The temporary file is named ".NAME.part-PID-N" and stays locked (flock) by its writer
// until it is renamed or removed, so that whether its writer still runs is certain
// (see remove_leftovers).
class Replacement {
 public:
  // Creates the temporary file, empty; when that fails, every operation on file() fails.
  Replacement(std::filesystem::path finalPath, FailureFlag& failures);
  Replacement(Replacement&& other) noexcept;
  Replacement& operator=(Replacement&&) = delete;
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;
  // Removes a temporary file that was not committed.
  ~Replacement();

  BinaryFile& file() { return file_; }

  // Closes the file and says whether every operation on it worked, with the first reason.
  Status close();
  // Closes the file and, when everything worked, renames it over the final name;
  // otherwise the temporary file is removed. Says what happened.
  Status commit();

 private:
  void discard();

  std::filesystem::path final_;
  std::filesystem::path temporary_;  // empty once renamed or removed
  FailureFlag* failures_;
  BinaryFile file_;
  int lock_ = -1;  // holds the temporary file's flock
};

// For a program that is about to end at once (on SIGTERM, say): removes the temporary
// file of every Replacement not yet committed, waiting for a commit under way to finish,
// and keeps every Replacement from creating or renaming anything after it. Returns only
// to end the program: nothing may be written after it.
void abandon_replacements();

// What a run that could not clean up left in folder (it was killed outright, or the power
// failed): every temporary file whose writer no longer holds its lock is removed, and a
// previous file that had stepped aside for it steps back into its empty name. Files of
// writers that still run are not touched. Returns how many files were dealt with.
int remove_leftovers(const std::filesystem::path& folder);

// The parts of a temporary file's name, when it is one: the final name it was made for,
// and whether it is a previous file that stepped aside (".NAME.part-PID-N-previous").
struct LeftoverName {
  std::string finalName;
  std::string temporaryName;  // the writer's own temporary file, for a stepped-aside one
  bool steppedAside = false;
};
std::optional<LeftoverName> leftover_name(std::string_view name);

}  // namespace platform
