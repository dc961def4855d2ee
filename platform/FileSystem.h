#pragma once
// The files a job works on, passed in: the disk, or a dry run's change plan
// (ChangePlan), or whatever a test puts in their place. The pipeline, the
// build dialog's options and the export touch files only through one.
#include <memory>
#include <string>
#include <vector>

#include "platform/TextLines.h"

namespace platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // As the functions of Files.h of the same names.
  virtual bool FileExists(const std::string& path) const = 0;
  virtual bool NameTaken(const std::string& path) const = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // Copies, replacing the target; false when either cannot be done.
  virtual bool CopyFile(const std::string& from, const std::string& to);
  virtual std::vector<std::string> ListFiles(const std::string& folder, const std::string& masks) const = 0;
  virtual std::string ReadFileText(const std::string& path) const = 0;
  virtual void TouchFile(const std::string& path) = 0;
  virtual void WriteFileText(const std::string& path, const std::string& text) = 0;

  // Rewrites between the two are made durable together: each new text is
  // written beside its file, then one flush of the file system, then each
  // takes its file's name. Until then a rewritten file still reads as its
  // old text on disk, and the signals that end the process wait; EndBatch
  // puts every rewrite made so far in place (also when a later one failed).
  virtual void BeginBatch() {}
  virtual void EndBatch() {}

  Lines LoadLines(const std::string& path) const { return SplitLines(ReadFileText(path)); }
  void SaveLines(const std::string& path, const Lines& lines) { WriteFileText(path, JoinLines(lines)); }
};

// The disk, as the functions of Files.h reach it.
FileSystem& DiskFiles();

// A batch of rewrites for a scope: begun on construction, ended by End or,
// should an error leave the scope first, by the destructor (which puts the
// rewrites made so far in place, as they would have been without a batch).
class FileBatch {
 public:
  explicit FileBatch(FileSystem& files) : files_(&files) { files_->BeginBatch(); }
  ~FileBatch() {
    if (!files_) return;
    try {
      files_->EndBatch();
    } catch (...) {  // the error that left the scope is the one to report
    }
  }
  FileBatch(const FileBatch&) = delete;
  FileBatch& operator=(const FileBatch&) = delete;
  // Throws FileError when a rewrite could not be put in place.
  void End() {
    FileSystem* files = files_;
    files_ = nullptr;
    files->EndBatch();
  }

 private:
  FileSystem* files_;
};

}  // namespace platform
