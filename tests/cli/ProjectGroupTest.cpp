#include "cli/ProjectGroup.h"

#include <gtest/gtest.h>

namespace {

// The shape the IDE writes, as found in public projects.
const char* const Group = R"(<?xml version="1.0" encoding="utf-8"?>
<BorlandProject>
  <PersonalityInfo>
    <Option>
      <Option Name="Personality">Default.Personality</Option>
      <Option Name="ProjectType"></Option>
      <Option Name="Version">1.0</Option>
    </Option>
  </PersonalityInfo>
  <Default.Personality>
    <Projects>
      <Projects Name="Life32v2.bpl">Life32v2.bdsproj</Projects>
      <Projects Name="life32.exe">..\..\Borland Studio Projects\R&amp;D\life32.bdsproj</Projects>
      <Projects Name="Unlisted.exe">Unlisted.bdsproj</Projects>
      <Projects Name="Targets">life32.exe Life32v2.bpl</Projects>
    </Projects>
    <Dependencies/>
  </Default.Personality>
</BorlandProject>
)";

}  // namespace

TEST(ProjectGroup, ItsProjectsComeInTheOrderOfItsTargetsWithTheirPathsAsWritten) {
  EXPECT_EQ(cli::GroupEntries(Group),
            (std::vector<std::string>{"..\\..\\Borland Studio Projects\\R&D\\life32.bdsproj", "Life32v2.bdsproj"}));
  // Without a Targets entry, every project in file order.
  EXPECT_EQ(cli::GroupEntries("<Projects><Projects Name=\"A.exe\">A.bdsproj</Projects>"
                              "<Projects Name=\"B.exe\">B&#x20;C.bdsproj</Projects></Projects>"),
            (std::vector<std::string>{"A.bdsproj", "B C.bdsproj"}));
  EXPECT_TRUE(cli::GroupEntries("<BorlandProject/>").empty());
}

TEST(ProjectGroup, AProjectsMainSourceIsItsSourceEntryNamedMainSource) {
  EXPECT_EQ(
      cli::MainSourceOf("<Delphi.Personality>\n\t\t<Source>\n\t\t\t<Source Name=\"MainSource\">life32.dpr</Source>\n"
                        "\t\t</Source>\n\t\t<FileVersion Name=\"Version\">7.0</FileVersion>"),
      "life32.dpr");
  EXPECT_EQ(cli::MainSourceOf("<Source><Source Name=\"Other\">x.dpr</Source></Source>"), "");
  EXPECT_TRUE(cli::IsProjectGroup("C:\\Suite.BDSGROUP"));
  EXPECT_FALSE(cli::IsProjectGroup("Suite.bdsproj"));
}
