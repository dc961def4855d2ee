#include "runner/MessageList.h"

namespace runner {

void AppendToLastLine(MessageList& list, const std::string& suffix) {
  int last = list.Count() - 1;
  if (last >= 0) list.SetItem(last, list.Item(last) + suffix);
}

void MessageLines::Clear() {
  lines_.clear();
  itemIndex_ = -1;
  if (observer_) observer_->LinesCleared();
}

void MessageLines::Add(const std::string& line) {
  lines_.push_back(line);
  if (observer_) observer_->LineAdded(Count() - 1);
}

int MessageLines::Count() const { return static_cast<int>(lines_.size()); }

std::string MessageLines::Item(int index) const { return lines_.at(static_cast<size_t>(index)); }

void MessageLines::SetItem(int index, const std::string& line) {
  lines_.at(static_cast<size_t>(index)) = line;
  if (observer_) observer_->LineChanged(index);
}

int MessageLines::ItemIndex() const { return itemIndex_; }

void MessageLines::SetItemIndex(int index) {
  itemIndex_ = index >= 0 && index < Count() ? index : -1;
  if (observer_) observer_->SelectionChanged(itemIndex_);
}

}  // namespace runner
