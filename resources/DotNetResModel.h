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

  void FormShow();  // loads the lists from their files
  void Image1Click();
  void MsdnPageIndexChange();
  void BtnAddMSDNPageIndexClick();
  void BitBtn2Click();  // "&Add"
  void BitBtn1Click();  // "&Cancel"
  void BitBtn3Click();  // "Prev"
  void BitBtn4Click();  // "Next"
  void cbResLinkKeyPress(char key);
  void cbResLinkSelect();
  void BtnAddUrlClick();
  void cbAssemblyListKeyPress(char key);
  void cbAssemblyListSelect();
  void cbMSDNLibLinkSelect();
  void BtnAddLibLinkClick();
  void BtnAddAssemblyNameClick();
  void BtnMyTipsClick();
  void WebBrowser1DocumentComplete(const std::string& address);

 private:
  void OpenAddressBox();
  void OpenComposed();
  // Adds the box's text to its list when it is new, then saves the list.
  void AddEntry(BoxState& box, const char* file, bool sorted);

  platform::Browser& browser_;
};

}  // namespace resources
