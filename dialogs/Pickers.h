#pragma once
// The path and file pickers as the build dialog uses them. The forms show
// real dialogs; tests script the answers. Browsing in a picker may change
// the process's current folder; the dialog restores it afterwards.
#include <string>

namespace dialogs {

struct PickResult {
  bool Accepted = false;
  std::string Directory;  // the folder shown when the picker closed
  std::string FileName;   // full name of the selected file (file picker)
};

class Pickers {
 public:
  virtual ~Pickers() = default;
  // `startFolder` empty: start in the current folder.
  virtual PickResult PickPath(const std::string& startFolder) = 0;
  virtual PickResult PickFile(const std::string& mask, const std::string& startFolder) = 0;
};

}  // namespace dialogs
