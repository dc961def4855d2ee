#pragma once
#include <memory>

#include "builddialog/CompactDevModel.h"
#include "tests/TestWorld.h"

// A build dialog in a world of its own, with scripted message boxes and
// pickers, and an open project C:\P\Project1.dpr.
class DialogTest : public testing_world::TestWorld {
 protected:
  void SetUp() override {
    TestWorld::SetUp();
    MakeFolder("C:\\P");
    builddialog::DialogServices services;
    services.Messages = &messages;
    services.Picker = &pickers;
    services.Sleep = [](int) {};
    dialog = std::make_unique<builddialog::CompactDevModel>(services);
  }
  // Opens the dialog on the open project as the menu command does, then
  // the show step.
  void OpenDialog() {
    dialog->OpenProject({Pub_Project_Intf, Pub_ModuleService});
    dialog->EnterProject();
  }
  std::vector<std::string> Entries(const builddialog::CheckListState& list) const {
    std::vector<std::string> texts;
    for (const auto& e : list.Entries()) texts.push_back(e.Text + (e.Checked ? "+" : "-"));
    return texts;
  }

  testing_world::FakeMessages messages;
  testing_world::FakePickers pickers;
  std::unique_ptr<builddialog::CompactDevModel> dialog;
};

using Texts = std::vector<std::string>;
