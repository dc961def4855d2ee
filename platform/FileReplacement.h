#pragma once
// The one way a user's file is replaced, for the build's rewrites and the
// export's outputs alike (POSIX). The new text is written to a temporary
// file beside the target, which takes the target's name at the end with the
// old file's permissions, owner and group; so a failure or an ending signal
// leaves the old file whole and no temporary file. A file that a replacement
// would change (other hard links; an owner or group this user cannot give a
// new file) or whose folder takes no new file is rewritten in place at the
// end instead (its new text held in memory meanwhile, or for an owner's
// sake in the temporary file): room for the new text reserved first, the old text put back
// should a write still fail. A read-only file (no write permission at all,
// for root too, as the read-only attribute on Windows) or one this user may
// not write is refused at once with a FileError naming it, untouched. A
// symbolic link is followed to the file it names.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class FileReplacement {
 public:
  // `path` is the system's (Windows) path, for messages and resolution.
  // Throws FileError when the file may not be written.
  explicit FileReplacement(const std::string& path);
  ~FileReplacement();  // without Install, the temporary file goes
  FileReplacement(FileReplacement&& other) noexcept;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  FileReplacement& operator=(FileReplacement&&) = delete;

  // Appends to the new text. Throws FileError.
  void Write(std::string_view text);
  // Ends the new text: flushed to the disk when `flush` (a batch flushes the
  // file system once instead), the temporary file closed. A rewrite in place
  // is made here. Throws FileError.
  void Prepare(bool flush);
  // The new text takes the file's name. Throws FileError.
  void Install();
  // The new text once prepared, read back from where it waits (the
  // temporary file, or the file itself when rewritten in place). Throws
  // FileError.
  std::string PreparedText() const;
  // The host path of the file to be replaced (links resolved).
  const std::string& Target() const { return target_; }

 private:
  void WriteInPlaceFromSpool();

  std::string path_, target_, folder_, temp_;
  int fd_ = -1;
  bool existed_ = false, inPlace_ = false, prepared_ = false, installed_ = false;
  std::string memory_;  // the new text, when no temporary file could be made
  long long written_ = 0, flushedTo_ = 0;
};

// Flushes the file systems that hold these host paths' folders, once each.
void SyncFileSystemsOf(const std::vector<std::string>& hostPaths);

}  // namespace platform
