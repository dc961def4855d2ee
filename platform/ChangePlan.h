#pragma once
// A dry run of work on files: a FileSystem that changes nothing on disk.
// Writes, deletes, renames and copies are kept in the plan, and reads,
// existence tests and folder lists see the files as the plan has changed
// them, so work given the plan runs as it would for real and meets the same
// refusals (a read-only file is still refused).
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {

class ChangePlan : public FileSystem {
 public:
  ChangePlan() = default;
  ChangePlan(const ChangePlan&) = delete;
  ChangePlan& operator=(const ChangePlan&) = delete;

  struct Change {
    enum Kind { Write, Delete, Rename } What;
    std::string Path;              // as the work named it
    std::string To;                // a rename's new name
    std::string OldText, NewText;  // a write's text before (empty for a new file) and at the end
    bool Existed = false;          // a written file was there before
  };
  // What the work would have done: each file written once (its first text
  // and its last), deletes and renames in order.
  std::vector<Change> Changes() const;

  // --- FileSystem ---
  bool FileExists(const std::string& path) const override;
  bool NameTaken(const std::string& path) const override;
  bool DeleteFile(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  std::vector<std::string> ListFiles(const std::string& folder, const std::string& masks) const override;
  std::string ReadFileText(const std::string& path) const override;
  void TouchFile(const std::string& path) override;
  void WriteFileText(const std::string& path, const std::string& text) override;

 private:
  struct File {
    std::string Path;  // as first named
    bool Existed = false;
    std::string OldText;
    std::optional<std::string> Text;  // nothing: deleted
  };
  File& Track(const std::string& path);

  std::map<std::string, File> files_;  // by host path
  std::vector<Change> events_;         // writes (once each), deletes and renames, in order
};

}  // namespace platform
