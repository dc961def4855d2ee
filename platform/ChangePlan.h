#pragma once
// A dry run of work on files. While a ChangePlan is alive, the file functions
// of Files.h change nothing on disk: writes, deletes, renames and copies are
// kept in the plan, and reads, existence tests and folder lists see the files
// as the plan has changed them, so the work runs as it would for real and
// meets the same refusals (a read-only file is still refused). One plan at a
// time, on one thread.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class ChangePlan {
 public:
  ChangePlan();
  ~ChangePlan();
  ChangePlan(const ChangePlan&) = delete;
  ChangePlan& operator=(const ChangePlan&) = delete;

  // The plan in force, or nothing.
  static ChangePlan* Active();

  struct Change {
    enum Kind { Write, Delete, Rename } What;
    std::string Path;             // as the work named it
    std::string To;               // a rename's new name
    std::string OldText, NewText; // a write's text before (empty for a new file) and at the end
    bool Existed = false;         // a written file was there before
  };
  // What the work would have done: each file written once (its first text
  // and its last), deletes and renames in order.
  std::vector<Change> Changes() const;

  // The file functions' side, while the plan is active.
  bool Exists(const std::string& path) const;
  std::string Read(const std::string& path) const;
  void Write(const std::string& path, const std::string& text);
  bool Delete(const std::string& path);
  bool Rename(const std::string& from, const std::string& to);
  std::vector<std::string> List(const std::string& folder, const std::string& masks) const;

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
  ChangePlan* previous_;
};

}  // namespace platform
