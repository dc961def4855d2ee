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
  browser_.OnDocumentComplete = [this](const std::string& address) { PageLoaded(address); };
}

void DotNetResModel::LoadLists() {
  LoadInto(MsdnPageIndex, PageIndexFile, false);
  LoadInto(cbResLink, FavouritesFile, false);
  if (LoadInto(cbAssemblyList, NamesFile, true)) SortNames(cbAssemblyList.Items);
  LoadInto(cbMSDNLibLink, LanguagesFile, true);
  if (!cbMSDNLibLink.Items.empty()) cbMSDNLibLink.Select(0);
}

void DotNetResModel::OpenReferenceHome() { browser_.Navigate(ReferenceHome()); }

void DotNetResModel::OpenSelectedIndexPage() {
  if (MsdnPageIndex.ItemIndex < 0) return;
  const std::string address =
      PageAddressOf(MsdnPageIndex.Items, MsdnPageIndex.Items[static_cast<size_t>(MsdnPageIndex.ItemIndex)]);
  if (address.empty()) return;
  cbResLink.Text = address;
  browser_.Navigate(address);
}

void DotNetResModel::ShowAddPageGroup() { GbMsdnPageIndexVisible = true; }

void DotNetResModel::AddIndexPage() {
  MsdnPageIndex.Items.push_back(EdMadnPageName + "=" + EdMsdnPageUrl);
  EdMadnPageName.clear();
  EdMsdnPageUrl.clear();
  GbMsdnPageIndexVisible = false;
  platform::SaveLines(PageIndexFile, MsdnPageIndex.Items);
}

void DotNetResModel::CancelAddPage() {
  EdMadnPageName.clear();
  EdMsdnPageUrl.clear();
  GbMsdnPageIndexVisible = false;
}

void DotNetResModel::GoBack() { browser_.GoBack(); }
void DotNetResModel::GoForward() { browser_.GoForward(); }

void DotNetResModel::OpenAddressOnEnter(char key) {
  if (key == Enter) OpenAddress();
}

void DotNetResModel::OpenAddress() {
  if (!platform::Trim(cbResLink.Text).empty()) browser_.Navigate(cbResLink.Text);
}

void DotNetResModel::OpenComposed() {
  cbResLink.Text = ComposeReferenceAddress(cbMSDNLibLink.Text, cbAssemblyList.Text);
  browser_.Navigate(cbResLink.Text);
}

void DotNetResModel::OpenComposedOnEnter(char key) {
  if (key == Enter) OpenComposed();
}

void DotNetResModel::OpenSelectedAssembly() {
  if (!cbAssemblyList.Text.empty()) OpenComposed();
}

void DotNetResModel::OpenSelectedLanguage() {
  if (cbMSDNLibLink.ItemIndex >= 0) OpenComposed();
}

void DotNetResModel::AddEntry(BoxState& box, const char* file, bool sorted) {
  if (!IsNewEntry(box.Items, box.Text)) return;
  if (sorted) AddSorted(box.Items, box.Text);
  else box.Items.push_back(box.Text);
  platform::SaveLines(file, box.Items);
}

void DotNetResModel::AddFavourite() { AddEntry(cbResLink, FavouritesFile, false); }
void DotNetResModel::AddLanguage() { AddEntry(cbMSDNLibLink, LanguagesFile, false); }
void DotNetResModel::AddAssemblyName() { AddEntry(cbAssemblyList, NamesFile, true); }

void DotNetResModel::ToggleTips() { gbMyTipsVisible = !gbMyTipsVisible; }

void DotNetResModel::PageLoaded(const std::string& address) {
  if (address != cbResLink.Text) cbResLink.Text = address;
}

}  // namespace resources
