#include <gtest/gtest.h>

#include "runner/JumpToSource.h"
#include "runner/MessageList.h"
#include "runner/OutputLines.h"
#include "tests/TestWorld.h"

using Texts = std::vector<std::string>;

namespace {
Texts Split(std::string_view text, runner::MessageLines list = {}) {
  runner::AppendOutputLines(text, list);
  return list.Lines();
}
}  // namespace

TEST(AppendOutputLines, BlankLinesVanishAndOnlyBlanknessIsJudgedByTrimming) {
  EXPECT_EQ(Split("a\r\nb\r\n"), (Texts{"a", "b"}));
  EXPECT_EQ(Split("a\n\n\nb\n"), (Texts{"a", "b"}));
  EXPECT_EQ(Split("  x  \r\n"), (Texts{"  x  "}));
  EXPECT_EQ(Split(" \r y\n"), (Texts{"  y"}));  // a blank pending line survives CR
  EXPECT_EQ(Split("a\rb\r"), (Texts{"a", "b"}));
  EXPECT_EQ(Split("\t\x01\n"), Texts{});
}

TEST(AppendOutputLines, AnUnterminatedLastLineIsDroppedAndTheLastItemSelected) {
  runner::MessageLines list;
  list.Add("banner");
  runner::AppendOutputLines("a\r\nb", list);
  EXPECT_EQ(list.Lines(), (Texts{"banner", "a"}));
  EXPECT_EQ(list.ItemIndex(), 1);
  runner::AppendOutputLines("", list);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemIndex(), 1);
  runner::MessageLines empty;
  runner::AppendOutputLines("", empty);
  EXPECT_EQ(empty.ItemIndex(), -1);
}

TEST(LineNumbers, TakenBetweenTheFirstParenthesesOfPasLines) {
  EXPECT_EQ(runner::LineNumberOf("Unit1.pas(42) Error: Undeclared identifier"), 42);
  EXPECT_EQ(runner::LineNumberOf("C:\\Program Files (x86)\\P\\Unit1.pas(42) Error"), 0);
  EXPECT_EQ(runner::LineNumberText("C:\\Program Files (x86)\\P\\Unit1.pas(42) Error"), "x86");
  EXPECT_EQ(runner::LineNumberOf("Unit1.pas(42"), 42);
  EXPECT_EQ(runner::LineNumberOf("Unit1.pas( -7)"), -7);
  EXPECT_EQ(runner::LineNumberOf("Unit1.pas(12,5) Hint"), 0);
  EXPECT_EQ(runner::LineNumberOf("--> AutoFix ...\"Unit1.pas\".......OK !!"), 0);
  EXPECT_EQ(runner::LineNumberOf("Unit1.PAS(42) Error"), 0);
  EXPECT_EQ(runner::LineNumberOf("Project1.dpr(9) Error"), 0);
}

class JumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modules->current = module;
    module->files.push_back(std::make_shared<testing_world::FakeEditor>("C:\\P\\Form.dfm", false));
    module->files.push_back(source);
  }
  void Jump(const std::string& line) {
    list.Clear();
    list.Add(line);
    list.SetItemIndex(0);
    runner::MessageListDblClick(list, modules, messages);
  }
  std::shared_ptr<testing_world::FakeModuleServices> modules = std::make_shared<testing_world::FakeModuleServices>();
  std::shared_ptr<testing_world::FakeProject> module = std::make_shared<testing_world::FakeProject>();
  std::shared_ptr<testing_world::FakeEditor> source =
      std::make_shared<testing_world::FakeEditor>("C:\\P\\Other.pas", true);
  runner::MessageLines list;
  testing_world::FakeMessages messages;
};

TEST_F(JumpTest, ScrollsTheCurrentModulesSourceEditorWhateverFileTheMessageNames) {
  Jump("Unit1.pas(42) Error: Undeclared identifier");
  EXPECT_EQ(source->view->calls, (std::vector<std::pair<int, int>>{{42, 1}}));
  EXPECT_EQ(source->view->cursorMoves, 1);
  Jump("...Searching Project Source Code.... ");
  EXPECT_EQ(source->view->calls.back(), std::make_pair(0, 1));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(JumpTest, ReportsAMissingModuleOrSourceEditor) {
  module->files.pop_back();
  Jump("Unit1.pas(3) Error");
  EXPECT_EQ(messages.shown, (Texts{"Code editor window not found!!"}));
  modules->current = nullptr;
  Jump("Unit1.pas(3) Error");
  EXPECT_EQ(messages.shown.back(), "Project file is not opened !!");
}

TEST_F(JumpTest, ADoubleClickWithNothingSelectedOrNoViewDoesNothing) {
  list.Add("Unit1.pas(3) Error");
  runner::MessageListDblClick(list, modules, messages);
  EXPECT_TRUE(source->view->calls.empty());
  source->view = nullptr;
  Jump("Unit1.pas(3) Error");
  EXPECT_TRUE(messages.shown.empty());
}

TEST(MessageLines, ASelectionIsAnExistingLineAndClearingTheListClearsIt) {
  runner::MessageLines list;
  list.Add("a");
  list.Add("b");
  list.SetItemIndex(2);  // one past the end
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetItemIndex(1);
  runner::AppendToLastLine(list, "..OK");
  EXPECT_EQ(list.Item(1), "b..OK");
  list.Clear();
  EXPECT_EQ(list.ItemIndex(), -1);      // a double click after a new build jumps nowhere old
  runner::AppendToLastLine(list, "x");  // nothing to append to
  EXPECT_EQ(list.Count(), 0);
}
