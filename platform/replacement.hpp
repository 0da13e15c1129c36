// A file written beside its final name and moved into place whole, or not at all.
#pragma once

#include <filesystem>

#include "platform/binary_file.hpp"
#include "platform/failure_flag.hpp"
#include "platform/status.hpp"

namespace platform {

// The new content goes into a temporary file in the final name's folder; commit() renames
// it over the final name only when every operation on it worked. Until then, and for
// ever when anything failed, the final file stays as it was: a full disk never leaves a
// file half replaced, and a reader never sees one half written.
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
};

}  // namespace platform
