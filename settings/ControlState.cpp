#include "settings/ControlState.h"

#include <algorithm>

#include "platform/Text.h"

namespace settings {

bool CheckListState::Contains(const std::string& text) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.Text == text; });
}

int CheckListState::Add(const std::string& text) {
  auto at = std::upper_bound(entries_.begin(), entries_.end(), text, [](const std::string& t, const Entry& e) {
    return platform::CompareText(t, e.Text) < 0;
  });
  int index = static_cast<int>(at - entries_.begin());
  entries_.insert(at, Entry{text, false});
  if (itemIndex_ >= index) ++itemIndex_;
  return index;
}

void CheckListState::Delete(int index) {
  entries_.erase(entries_.begin() + index);
  if (itemIndex_ == index) itemIndex_ = -1;
  else if (itemIndex_ > index) --itemIndex_;
}

void CheckListState::Clear() {
  entries_.clear();
  itemIndex_ = -1;
}

}  // namespace settings
