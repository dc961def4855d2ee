#pragma once
// Where an export writes, as the user names it. A regular file (or a new
// one) is replaced as every user file is (FileReplacement: a temporary file
// beside it that takes its name only at Commit, with the old file's
// permissions, owner and group): nothing is written when the work fails or
// is interrupted. A FIFO, a character device or "-" (standard
// output) is written straight through, in order, and never replaced.
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class OutputStream {
 public:
  // Throws FileError naming the file when it cannot be written.
  explicit OutputStream(const std::string& path);
  ~OutputStream();  // without Commit, the temporary file goes
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  void Write(std::string_view text);  // throws FileError
  // The text complete and flushed, ready to take the file's name: outputs
  // committed together are all prepared before any is committed.
  void Prepare();  // throws FileError
  void Commit();   // throws FileError
  // True for a target written straight through (nothing to replace).
  bool Direct() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// True when `path` names standard output, a FIFO or a character device.
bool IsStreamTarget(const std::string& path);

}  // namespace platform
