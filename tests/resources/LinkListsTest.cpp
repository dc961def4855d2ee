// The link lists, their files and the reference addresses, with the browser
#include <filesystem>

// form's model over a scripted browser.
#include "platform/Files.h"
#include "resources/DotNetResModel.h"
#include "resources/LinkLists.h"
#include "tests/TestWorld.h"
#include "tests/resources/FakeBrowser.h"

using Texts = std::vector<std::string>;
using resources::ReferenceBase;

TEST(ReferenceAddresses, ComposedAsTheyStandAndLookedUpByTheFirstCaseBlindName) {
  EXPECT_EQ(resources::ComposeReferenceAddress("en-us", "System.Data.DataTable"),
            std::string(ReferenceBase) + "en-us/library/System.Data.DataTable.Aspx");
  EXPECT_EQ(resources::ComposeReferenceAddress("en-us", ""), std::string(ReferenceBase) + "en-us/library/.Aspx");
  EXPECT_EQ(resources::ReferenceHome(), std::string(ReferenceBase) + "en-us/library/default.aspx");
  const Texts index{resources::ReferenceHome(), "Data=http://a/x?y=1", "DATA=http://b/",
                    "Blank=   ", "Lead= http://c/"};
  EXPECT_EQ(resources::PageAddressOf(index, index[0]), "");                // the home entry has no name
  EXPECT_EQ(resources::PageAddressOf(index, index[2]), "http://a/x?y=1");  // the upper one wins
  EXPECT_EQ(resources::PageAddressOf(index, index[3]), "");
  EXPECT_EQ(resources::PageAddressOf(index, index[4]), " http://c/");  // opened untrimmed
}

class LinkListsTest : public testing_world::TestWorld {
 protected:
  void SetUp() override {
    TestWorld::SetUp();
    MakeFolder(resources::ListFolder);
    model = std::make_unique<resources::DotNetResModel>(browser);
  }
  FakeBrowser browser;
  std::unique_ptr<resources::DotNetResModel> model;
};

TEST_F(LinkListsTest, ListsLoadFromTheirFilesAndMissingFilesKeepWhatTheListHad) {
  EXPECT_EQ(model->cbMSDNLibLink.Items, (Texts{"en-us", "zh-tw", "zh-cn"}));
  EXPECT_EQ(model->cbMSDNLibLink.Text, "en-us");
  Write(resources::NamesFile, "zeta\nAlpha\r\n\rbeta");  // LF, CR LF and CR; an empty line is an entry
  Write(resources::LanguagesFile, "de-de\r\n");
  model->LoadLists();
  EXPECT_EQ(model->cbAssemblyList.Items, (Texts{"", "Alpha", "beta", "zeta"}));
  EXPECT_EQ(model->cbMSDNLibLink.Items, (Texts{"de-de"}));
  EXPECT_EQ(model->cbMSDNLibLink.Text, "de-de");
  EXPECT_EQ(model->MsdnPageIndex.Items, (Texts{resources::ReferenceHome()}));
  EXPECT_TRUE(browser.navigated.empty());  // showing opens no page

  // Added, then written back sorted with CR LF.
  model->cbAssemblyList.Text = " x ";
  model->AddAssemblyName();
  EXPECT_EQ(Read(resources::NamesFile), "\r\n x \r\nAlpha\r\nbeta\r\nzeta\r\n");
  platform::DeleteFile(resources::NamesFile);
  model->LoadLists();  // a missing file keeps the list
  EXPECT_EQ(model->cbAssemblyList.Items.size(), 5u);
}

TEST_F(LinkListsTest, AddingChecksBlanksAndCaseBlindDuplicatesAndWritesNothingThen) {
  model->cbResLink.Text = "http://Example.org/";
  model->AddFavourite();
  EXPECT_EQ(Read(resources::FavouritesFile), "http://Example.org/\r\n");
  platform::DeleteFile(resources::FavouritesFile);
  for (const char* text : {"HTTP://example.ORG/", " \t "}) {
    model->cbResLink.Text = text;
    model->AddFavourite();
  }
  EXPECT_FALSE(Exists(resources::FavouritesFile));
  EXPECT_EQ(model->cbResLink.Items, (Texts{"http://Example.org/"}));
  model->cbResLink.Text = "http://a.example/";  // favourites keep the order they were added in
  model->AddFavourite();
  EXPECT_EQ(model->cbResLink.Items, (Texts{"http://Example.org/", "http://a.example/"}));

  // "&Add" with both boxes empty appends "="; append, empty, hide, save.
  model->ShowAddPageGroup();
  EXPECT_TRUE(model->GbMsdnPageIndexVisible);
  model->AddIndexPage();
  EXPECT_EQ(model->MsdnPageIndex.Items.back(), "=");
  EXPECT_FALSE(model->GbMsdnPageIndexVisible);
  EXPECT_EQ(Read(resources::PageIndexFile), resources::ReferenceHome() + "\r\n=\r\n");
}

TEST_F(LinkListsTest, ASaveThatFailsNamesTheFileAndTheEntryStaysInTheList) {
  std::filesystem::remove_all(Host(resources::ListFolder));
  model->cbMSDNLibLink.Text = "fr-fr";
  try {
    model->AddLanguage();
    FAIL() << "the save should fail";
  } catch (const platform::FileError& e) {
    EXPECT_NE(std::string(e.what()).find("LibLinkList.txt"), std::string::npos) << e.what();
  }
  EXPECT_EQ(model->cbMSDNLibLink.Items.back(), "fr-fr");
}

TEST_F(LinkListsTest, PagesOpenFromTheIndexAndTheBoxes) {
  model->OpenReferenceHome();
  EXPECT_EQ(browser.navigated.back(), resources::ReferenceHome());
  EXPECT_EQ(model->cbResLink.Text, "");  // only the completed document changes the box
  browser.Complete(resources::ReferenceHome());
  EXPECT_EQ(model->cbResLink.Text, resources::ReferenceHome());

  model->MsdnPageIndex.Items.push_back("Data=http://a/");
  model->MsdnPageIndex.Select(1);
  model->OpenSelectedIndexPage();
  EXPECT_EQ(model->cbResLink.Text, "http://a/");
  EXPECT_EQ(browser.navigated.back(), "http://a/");
  model->MsdnPageIndex.Select(0);  // the home entry opens nothing
  model->OpenSelectedIndexPage();
  EXPECT_EQ(browser.navigated.size(), 2u);

  model->cbResLink.Text = "   ";
  model->OpenAddressOnEnter(13);  // Enter in a blank box: nothing
  model->cbResLink.Text = " http://b/";
  model->OpenAddressOnEnter('x');
  model->OpenAddressOnEnter(13);
  EXPECT_EQ(browser.navigated.back(), " http://b/");

  model->cbAssemblyList.Text = "";
  model->OpenComposedOnEnter(13);  // Enter opens even an empty name
  EXPECT_EQ(browser.navigated.back(), std::string(ReferenceBase) + "en-us/library/.Aspx");
  model->cbMSDNLibLink.Select(1);
  model->OpenSelectedLanguage();
  EXPECT_EQ(model->cbResLink.Text, std::string(ReferenceBase) + "zh-tw/library/.Aspx");
  const size_t opened = browser.navigated.size();
  model->OpenSelectedAssembly();  // choosing with an empty name: nothing
  EXPECT_EQ(browser.navigated.size(), opened);

  model->ToggleTips();
  model->ToggleTips();
  EXPECT_FALSE(model->gbMyTipsVisible);
}
