#include "builddialog/ControlState.h"

#include <algorithm>

namespace builddialog {

bool CheckListState::Contains(const std::string& text) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.Text == text; });
}

int CheckListState::Add(const std::string& text) {
  size_t index = settings::SortedPlace(entries_, text);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), Entry{text, false});
  if (itemIndex_ >= static_cast<int>(index)) ++itemIndex_;
  return static_cast<int>(index);
}

void CheckListState::Fill(const std::vector<std::string>& texts, bool checked) {
  Clear();
  settings::AddSorted(entries_, texts, checked);
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

}  // namespace builddialog
