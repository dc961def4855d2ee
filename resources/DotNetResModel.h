#pragma once
// The state and handlers of the resources browser TfDotNetResForm, without
// widgets: the four boxes with their lists, the two groups over the browser,
// and the browser control it drives. Errors of the list files and of the
// browser pass to the caller (the form's standard error report).
#include <string>
#include <vector>

#include "platform/Browser.h"

namespace resources {

// A drop-down box: its entries, the entry selected (-1: none) and the text
// it shows.
struct BoxState {
  std::vector<std::string> Items;
  int ItemIndex = -1;
  std::string Text;
  void Select(int index);
};

class DotNetResModel {
 public:
  explicit DotNetResModel(platform::Browser& browser);
  DotNetResModel(const DotNetResModel&) = delete;
  DotNetResModel& operator=(const DotNetResModel&) = delete;

  BoxState MsdnPageIndex, cbResLink, cbMSDNLibLink, cbAssemblyList;
  std::string EdMadnPageName, EdMsdnPageUrl;
  bool GbMsdnPageIndexVisible = false, gbMyTipsVisible = false;

  // Reads the page index, favourites, namespaces and languages from their
  // files (a missing file keeps its list).
  void LoadLists();
  void OpenReferenceHome();
  // The page the index's selected entry names.
  void OpenSelectedIndexPage();
  // The group that adds a page to the index: shown, then added or cancelled.
  void ShowAddPageGroup();
  void AddIndexPage();
  void CancelAddPage();
  void GoBack();
  void GoForward();
  // The address box's text, on Enter or when an entry is chosen.
  void OpenAddressOnEnter(char key);
  void OpenAddress();
  // The reference page of the namespace in the language chosen, on Enter or
  // when either is chosen.
  void OpenComposedOnEnter(char key);
  void OpenSelectedAssembly();
  void OpenSelectedLanguage();
  // Each box's text added to its list (when new) and the list saved.
  void AddFavourite();
  void AddLanguage();
  void AddAssemblyName();
  void ToggleTips();
  // The browser finished a page: the address box shows where it is.
  void PageLoaded(const std::string& address);

 private:
  void OpenComposed();
  // Adds the box's text to its list when it is new, then saves the list.
  void AddEntry(BoxState& box, const char* file, bool sorted);

  platform::Browser& browser_;
};

}  // namespace resources
