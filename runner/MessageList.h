#pragma once
// The message list of a build: an ordered list of single-line texts with one
// selected item. The build dialog shows it; the headless front end prints it.
#include <string>
#include <vector>

namespace runner {

class MessageList {
 public:
  virtual ~MessageList() = default;
  virtual void Clear() = 0;
  virtual void Add(const std::string& line) = 0;
  virtual int Count() const = 0;
  virtual std::string Item(int index) const = 0;
  virtual void SetItem(int index, const std::string& line) = 0;
  virtual int ItemIndex() const = 0;  // -1: nothing selected
  // Selects an item and brings it into view.
  virtual void SetItemIndex(int index) = 0;
};

// Replaces the last line by itself followed by `suffix` ("..OK !!").
void AppendToLastLine(MessageList& list, const std::string& suffix);

// Told of every change of a message list as it happens: a view that shows
// it, a front end that prints it as it grows.
class MessageListObserver {
 public:
  virtual ~MessageListObserver() = default;
  virtual void LinesCleared() = 0;
  virtual void LineAdded(int index) = 0;
  virtual void LineChanged(int index) = 0;
  virtual void SelectionChanged(int index) = 0;
};

// A message list held in memory.
class MessageLines : public MessageList {
 public:
  void Clear() override;
  void Add(const std::string& line) override;
  int Count() const override;
  std::string Item(int index) const override;
  void SetItem(int index, const std::string& line) override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  const std::vector<std::string>& Lines() const { return lines_; }
  // One observer at a time; nullptr for none.
  void SetObserver(MessageListObserver* observer) { observer_ = observer; }

 private:
  std::vector<std::string> lines_;
  int itemIndex_ = -1;
  MessageListObserver* observer_ = nullptr;
};

}  // namespace runner
