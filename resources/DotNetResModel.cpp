#include "resources/DotNetResModel.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/TextLines.h"
#include "resources/LinkLists.h"

namespace resources {

namespace {
constexpr char Enter = 13;

// Reads a list file into a box when the file exists; true when it did.
bool LoadInto(BoxState& box, const char* file, bool emptyText) {
  if (!platform::FileExists(file)) return false;
  box.Items.clear();
  box.ItemIndex = -1;
  if (emptyText) box.Text.clear();
  box.Items = platform::LoadLines(file);
  return true;
}
}  // namespace

void BoxState::Select(int index) {
  ItemIndex = index >= 0 && index < static_cast<int>(Items.size()) ? index : -1;
  if (ItemIndex >= 0) Text = Items[static_cast<size_t>(ItemIndex)];
}

DotNetResModel::DotNetResModel(platform::Browser& browser) : browser_(browser) {
  MsdnPageIndex.Items = {ReferenceHome()};
  cbMSDNLibLink.Items = {"en-us", "zh-tw", "zh-cn"};
  cbMSDNLibLink.Select(0);
  browser_.OnDocumentComplete = [this](const std::string& address) { WebBrowser1DocumentComplete(address); };
}

void DotNetResModel::FormShow() {
  LoadInto(MsdnPageIndex, PageIndexFile, false);
  LoadInto(cbResLink, FavouritesFile, false);
  if (LoadInto(cbAssemblyList, NamesFile, true)) SortNames(cbAssemblyList.Items);
  LoadInto(cbMSDNLibLink, LanguagesFile, true);
  if (!cbMSDNLibLink.Items.empty()) cbMSDNLibLink.Select(0);
}

void DotNetResModel::Image1Click() { browser_.Navigate(ReferenceHome()); }

void DotNetResModel::MsdnPageIndexChange() {
  if (MsdnPageIndex.ItemIndex < 0) return;
  const std::string address =
      PageAddressOf(MsdnPageIndex.Items, MsdnPageIndex.Items[static_cast<size_t>(MsdnPageIndex.ItemIndex)]);
  if (address.empty()) return;
  cbResLink.Text = address;
  browser_.Navigate(address);
}

void DotNetResModel::BtnAddMSDNPageIndexClick() { GbMsdnPageIndexVisible = true; }

void DotNetResModel::BitBtn2Click() {
  MsdnPageIndex.Items.push_back(EdMadnPageName + "=" + EdMsdnPageUrl);
  EdMadnPageName.clear();
  EdMsdnPageUrl.clear();
  GbMsdnPageIndexVisible = false;
  platform::SaveLines(PageIndexFile, MsdnPageIndex.Items);
}

void DotNetResModel::BitBtn1Click() {
  EdMadnPageName.clear();
  EdMsdnPageUrl.clear();
  GbMsdnPageIndexVisible = false;
}

void DotNetResModel::BitBtn3Click() { browser_.GoBack(); }
void DotNetResModel::BitBtn4Click() { browser_.GoForward(); }

void DotNetResModel::OpenAddressBox() {
  if (!platform::Trim(cbResLink.Text).empty()) browser_.Navigate(cbResLink.Text);
}

void DotNetResModel::cbResLinkKeyPress(char key) {
  if (key == Enter) OpenAddressBox();
}

void DotNetResModel::cbResLinkSelect() { OpenAddressBox(); }

void DotNetResModel::OpenComposed() {
  cbResLink.Text = ComposeReferenceAddress(cbMSDNLibLink.Text, cbAssemblyList.Text);
  browser_.Navigate(cbResLink.Text);
}

void DotNetResModel::cbAssemblyListKeyPress(char key) {
  if (key == Enter) OpenComposed();
}

void DotNetResModel::cbAssemblyListSelect() {
  if (!cbAssemblyList.Text.empty()) OpenComposed();
}

void DotNetResModel::cbMSDNLibLinkSelect() {
  if (cbMSDNLibLink.ItemIndex >= 0) OpenComposed();
}

void DotNetResModel::AddEntry(BoxState& box, const char* file, bool sorted) {
  if (!IsNewEntry(box.Items, box.Text)) return;
  if (sorted) AddSorted(box.Items, box.Text);
  else box.Items.push_back(box.Text);
  platform::SaveLines(file, box.Items);
}

void DotNetResModel::BtnAddUrlClick() { AddEntry(cbResLink, FavouritesFile, false); }
void DotNetResModel::BtnAddLibLinkClick() { AddEntry(cbMSDNLibLink, LanguagesFile, false); }
void DotNetResModel::BtnAddAssemblyNameClick() { AddEntry(cbAssemblyList, NamesFile, true); }

void DotNetResModel::BtnMyTipsClick() { gbMyTipsVisible = !gbMyTipsVisible; }

void DotNetResModel::WebBrowser1DocumentComplete(const std::string& address) {
  if (address != cbResLink.Text) cbResLink.Text = address;
}

}  // namespace resources
