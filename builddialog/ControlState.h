#pragma once
// What a control shows, kept outside any widget so that a dialog's behaviour
// can be driven and checked without a display. A form binds its widgets to
// these and nothing more.
#include <functional>
#include <string>
#include <vector>

#include "settings/CatalogueEntries.h"

namespace builddialog {

// An edit box. Setting the text it already shows is no change: OnChange runs
// only when the text really changes, as the host's edits behave.
class EditState {
 public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    if (OnChange) OnChange();
  }
  std::function<void()> OnChange;

 private:
  std::string text_;
};

// A check list whose entries are kept sorted without regard to letter case.
class CheckListState {
 public:
  using Entry = settings::CatalogueEntry;

  const settings::CatalogueEntries& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Item(int index) const { return entries_.at(static_cast<size_t>(index)).Text; }
  bool Checked(int index) const { return entries_.at(static_cast<size_t>(index)).Checked; }
  void SetChecked(int index, bool checked) { entries_.at(static_cast<size_t>(index)).Checked = checked; }
  bool Contains(const std::string& text) const;  // letter for letter

  // Adds at the sorted place (after entries that compare equal); returns the
  // new entry's index. The entry starts unchecked.
  int Add(const std::string& text);
  // Empties the list, then adds many at once, each where Add would put it.
  void Fill(const std::vector<std::string>& texts, bool checked);
  void Delete(int index);
  void Clear();

  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index) { itemIndex_ = index >= 0 && index < Count() ? index : -1; }

 private:
  settings::CatalogueEntries entries_;
  int itemIndex_ = -1;
};

// A drop-down list. ItemIndex -1 is no selection. Setting ItemIndex from code
// does not run a change handler; the form calls the handler on user choices.
struct ComboBoxState {
  std::vector<std::string> Items;
  int ItemIndex = -1;
  std::string Text;  // what a combo box with free text shows
};

}  // namespace builddialog
