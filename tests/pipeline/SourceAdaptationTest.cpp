#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/FileSystem.h"
#include "pipeline/SourceAdaptation.h"
#include "tests/pipeline/UnitLines.h"
#include "tests/pipeline/BuildFixture.h"

using platform::Lines;

namespace {
Lines Adapt(Lines lines) {
  testing_world::AdaptUnitLines(lines);
  return lines;
}
const char* const UsesFix =
    "\r  {$ifdef CF}"
    "\r  //===== Fix Libraries for MS Compact Framework (Above Windows Mobile 2003 V2)====="
    "\r  System.Drawing.Font,System.Drawing.GraphicsUnit,System.ComponentModel.WindowsCE,"
    "\r  {$endif}";
}  // namespace

TEST(ProjectSourcePatch, TenPartsOfWhichTheCommentsAreFiftyThreeWide) {
  Lines parts = platform::SplitLines(pipeline::ProjectSourcePatch("2007/03/05"));
  ASSERT_EQ(parts.size(), 10u);
  EXPECT_EQ(parts[0], " {$DEFINE CF}");
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(parts[i].size(), 53u) << parts[i];
    EXPECT_TRUE(parts[i].starts_with("  //") && parts[i].ends_with("//")) << parts[i];
  }
  EXPECT_NE(parts[1].find("Tidewell!! V2.0 for BDS2006"), std::string::npos);
  EXPECT_EQ(parts[4], "  //***********************************************//");
  EXPECT_EQ(parts[5], "  // This is a Compact Framework Application       //");
  EXPECT_EQ(parts[6], "  //CREATE DATE:2007/03/05");
  EXPECT_EQ(parts[7], "  {$IFNDEF CF}");
  EXPECT_EQ(parts[8], "  [STAThread]");
  EXPECT_EQ(parts[9], "  {$ENDIF}");
}

TEST(UnitRules, InterfaceAnywhereInAnyCaseGetsTheDefineOnce) {
  EXPECT_EQ(Adapt({"interface", "uses"}), (Lines{"interface\r{$define CF}", "uses"}));
  EXPECT_EQ(Adapt({"  TFoo = class(TInterfacedObject)"}), (Lines{"  TFoo = class(TInterfacedObject)\r{$define CF}"}));
  EXPECT_EQ(Adapt({"interface", "{$define CF}"}), (Lines{"interface", "{$define CF}"}));
  EXPECT_EQ(Adapt({"INTERFACE //Mark for CF ->"}), (Lines{"INTERFACE //Mark for CF ->"}));
}

TEST(UnitRules, TheUsesLineWithComponentModelGetsTheCFLibraries) {
  EXPECT_EQ(Adapt({"  System.Drawing, System.Collections, System.ComponentModel,"}),
            (Lines{std::string("  System.Drawing, System.Collections, System.ComponentModel,") + UsesFix}));
  EXPECT_EQ(Adapt({"  System.ComponentModel, System.Data;"}),
            (Lines{std::string("  System.ComponentModel, System.Data,") + UsesFix}));
  // Guards: the next line, or the second next line, shows an earlier edit.
  Lines guarded{"System.ComponentModel,", "  {$ifdef CF}"};
  EXPECT_EQ(Adapt(guarded), guarded);
  Lines guarded2{"System.ComponentModel,", "x", "System.Drawing.GraphicsUnit,"};
  EXPECT_EQ(Adapt(guarded2), guarded2);
  // Interface wins over the uses edit on the same line.
  EXPECT_EQ(Adapt({"interface uses System.ComponentModel,"}),
            (Lines{"interface uses System.ComponentModel,\r{$define CF}"}));
}

TEST(UnitRules, LongISupportInitializeCallsBecomeShort) {
  EXPECT_EQ(Adapt({"    (System.ComponentModel.ISupportInitialize(Self.DataGrid1)).BeginInit;"}),
            (Lines{"  ISupportInitialize(Self.DataGrid1).BeginInit;"}));
  EXPECT_EQ(Adapt({"(System.ComponentModel.ISupportInitialize(Grid)).EndInit; // done"}),
            (Lines{"  ISupportInitialize(Grid).EndInit;"}));
  Lines marked{"(System.ComponentModel.ISupportInitialize(G)).BeginInit; //Mark for CF ->"};
  EXPECT_EQ(Adapt(marked), marked);
  Lines empty;
  EXPECT_FALSE(testing_world::AdaptUnitLines(empty));
}

// The text form copies a CR LF text in runs between the lines it finds
// marks on, and walks every line of any other text; both give the bytes of
// the rules applied line by line.
TEST(UnitRules, TheTextFormEqualsTheLineFormWhateverTheBreaks) {
  const std::string marks[] = {
      "unit A;\r\n\r\nINTERface\r\n\r\nuses\r\n  System.ComponentModel,\r\n  x;\r\n",
      "interface\r\n",                                // a mark on the last line, no lines after it
      "x\r\n  System.ComponentModel, Interface\r\n",  // two marks on one line
      "interface\r\n{$define CF}\r\ninterface\r\n",   // a guard, then a mark of its own
      "a\r\nSystem.ComponentModel,\r\n\r\nSystem.Drawing.Font,\r\n",
      "  (System.ComponentModel.ISupportInitialize(G)).EndInit;\r\ninterface //Mark for CF ->\r\n",
      "\r\n\r\ninterfac\r\ne\r\n",  // a mark cut by a break is no mark
  };
  for (const std::string& crlf : marks)
    for (const std::string& text :
         {crlf, crlf.substr(0, crlf.size() - 2), crlf + "interface\n", "\r" + crlf, "a\rb\n" + crlf}) {
      Lines lines = platform::SplitLines(text);
      testing_world::AdaptUnitLines(lines);
      EXPECT_EQ(pipeline::AdaptUnitText(text), platform::JoinLines(lines)) << text;
    }
}

class UnitPassTest : public BuildTest {};

TEST_F(UnitPassTest, AProjectFileIsPatchedOnceAndLeftByteForByteAfterwards) {
  const std::string source = "program Project1;\r\n\r\n  [STAThread] // main\r\nbegin\r\nend.\r\n";
  Write("C:\\P\\Project1.dpr", source);
  Build();
  Lines lines = platform::LoadLines("C:\\P\\Project1.dpr");
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[2], " {$DEFINE CF}");
  EXPECT_EQ(lines[8], "  //CREATE DATE:2007/03/05");
  EXPECT_EQ(lines[10], "  [STAThread]");
  std::string once = Read("C:\\P\\Project1.dpr");
  Build();
  EXPECT_EQ(Read("C:\\P\\Project1.dpr"), once);
}

TEST_F(UnitPassTest, APatchedGuardMeansTheProjectFileIsNotWritten) {
  Write("C:\\P\\Project1.dpr", "  {$IFNDEF CF}\n  [STAThread]\n");
  Build();
  EXPECT_EQ(Read("C:\\P\\Project1.dpr"), "  {$IFNDEF CF}\n  [STAThread]\n");
}

TEST_F(UnitPassTest, UnitsAreCollectedFromQuotedPasNames) {
  Write("C:\\P\\Project1.dpr",
        "  Unit1 in 'Unit1.pas' {Form1},\r\n  Tools in 'lib\\Tools.pas',\r\n  Upper in 'Unit2.PAS',\r\n"
        "  NoQuote in Bare.pas,\r\n  Again in 'Unit1.pas';\r\n");
  Lines units;
  pipeline::GetProjectUnits(platform::DiskFiles(), "C:\\P\\Project1.dpr", units);
  EXPECT_EQ(units, (Lines{"Unit1.pas", "lib\\Tools.pas", "Unit1.pas"}));
  pipeline::GetProjectUnits(platform::DiskFiles(), "C:\\P\\Missing.dpr", units);
  EXPECT_EQ(units.size(), 3u);
}

TEST_F(UnitPassTest, AUnitAdaptedTwiceOnlyGainsCrLfBreaksAndEmptyUnitsGetNoOk) {
  Write("C:\\P\\Project1.dpr", "uses\r\n  A in 'A.pas',\r\n  E in 'Empty.pas',\r\n  A2 in 'A.pas';\r\n");
  Write("C:\\P\\A.pas", "unit A;\r\ninterface\r\nuses System.ComponentModel,\r\n  System.Data;\r\nend.\r\n");
  Write("C:\\P\\Empty.pas", "");
  Build();
  EXPECT_EQ(Shown()[3], "--> AutoFix ...\"A.pas\".......OK !!");
  EXPECT_EQ(Shown()[4], "--> AutoFix ...\"Empty.pas\".....");
  EXPECT_EQ(Shown()[5], "--> AutoFix ...\"A.pas\".......OK !!");
  const std::string fix = std::string("\r  {$ifdef CF}") +
                          "\r  //===== Fix Libraries for MS Compact Framework (Above Windows Mobile 2003 V2)=====" +
                          "\r  System.Drawing.Font,System.Drawing.GraphicsUnit,System.ComponentModel.WindowsCE," +
                          "\r  {$endif}";
  // The second pass of the same build already wrote the lone CRs as CR LF.
  std::string expected =
      "unit A;\r\ninterface\r{$define CF}\r\nuses System.ComponentModel," + fix + "\r\n  System.Data;\r\nend.\r\n";
  for (size_t i = 0; (i = expected.find('\r', i)) != std::string::npos; i += 2)
    if (expected[i + 1] != '\n') expected.insert(i + 1, "\n");
  EXPECT_EQ(Read("C:\\P\\A.pas"), expected);
  Build();
  EXPECT_EQ(Read("C:\\P\\A.pas"), expected);
  EXPECT_EQ(Read("C:\\P\\Empty.pas"), "");
}

// Unit files that cannot or may be written, as the build meets them.
class UnitFilesTest : public BuildTest {
 protected:
  void SetUp() override {
    BuildTest::SetUp();
    Write("C:\\P\\Project1.dpr", "uses U in 'U.pas';\r\n");
    Write("C:\\P\\U.pas", unit);
  }
  const std::string unit = "unit U;\r\ninterface\r\nend.\r\n";
  const std::string patched = "unit U;\r\ninterface\r{$define CF}\r\nend.\r\n";
  // The error that ended the build, or "".
  std::string BuildError() {
    try {
      Build();
      return "";
    } catch (const platform::FileError& e) {
      return e.what();
    }
  }
};

TEST_F(UnitFilesTest, AnAdaptedUnitIsWrittenAgainSoAReadOnlyOneStillEndsTheBuild) {
  namespace fs = std::filesystem;
  Write("C:\\P\\U.pas", patched + "\r\n");  // nothing left to adapt, as bytes: "\r" becomes CR LF once
  Build();
  const std::string adapted = Read("C:\\P\\U.pas");
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(Host("C:\\P\\U.pas"), old);
  Build();  // the same bytes, a new time
  EXPECT_EQ(Read("C:\\P\\U.pas"), adapted);
  EXPECT_GT(fs::last_write_time(Host("C:\\P\\U.pas")), old);
  fs::permissions(Host("C:\\P\\U.pas"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  runs.clear();
  EXPECT_EQ(BuildError(), "Cannot create file \"U.pas\". The file is read-only");
  EXPECT_TRUE(runs.empty());  // the compiler never ran
}

TEST_F(UnitFilesTest, AReadOnlyUnitStopsTheBuildWithItsErrorAndStaysByteForByte) {
  namespace fs = std::filesystem;
  fs::permissions(Host("C:\\P\\U.pas"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(BuildError(), "Cannot create file \"U.pas\". The file is read-only");
  EXPECT_EQ(Read("C:\\P\\U.pas"), unit);
  EXPECT_TRUE(runs.empty());
#ifndef _WIN32
  // Writable by its owner only: read-only for another user.
  ::chmod(Host("C:\\P\\U.pas").c_str(), 0644);
  EXPECT_EQ(AsUnprivileged([this] {
              std::string error = BuildError();
              return error.rfind("Cannot create file \"U.pas\".", 0) == 0 && runs.empty() ? "" : "built: " + error;
            }),
            "");
  EXPECT_EQ(Read("C:\\P\\U.pas"), unit);
#endif
}

TEST_F(UnitFilesTest, AWritableUnitIsPatchedInAReadOnlyFolderAndKeepsItsHardLink) {
#ifndef _WIN32  // folder permissions and a second user
  ::chmod(Host("C:\\P\\U.pas").c_str(), 0666);
  ::chmod(Host("C:\\P").c_str(), 0755);  // another user may not add files to it
  EXPECT_EQ(AsUnprivileged([this] {
              std::string error = BuildError();
              return error.empty() && Read("C:\\P\\U.pas") == patched ? "" : "not patched: " + error;
            }),
            "");

  Write("C:\\P\\U.pas", unit);
#endif
  std::filesystem::create_hard_link(Host("C:\\P\\U.pas"), Host("C:\\Shared.pas"));
  EXPECT_EQ(BuildError(), "");
  EXPECT_EQ(Read("C:\\Shared.pas"), patched);
}

// A unit in UTF-16 (with or without its mark) stops the build untouched: a
// rewrite as single bytes could never be undone. So does a project file.
TEST_F(UnitFilesTest, AUnitOrProjectFileInUtf16StopsTheBuildByteForByte) {
  using namespace std::string_literals;
  const std::string wide[] = {"\xFF\xFEu\0n\0i\0t\0 \0U\0;\0\r\0\n\0"s, "u\0n\0i\0t\0 \0U\0;\0\r\0\n\0i\0n\0"s};
  for (const std::string& text : wide) {
    Write("C:\\P\\U.pas", text);
    EXPECT_NE(BuildError().find("\"U.pas\". It is not single-byte text"), std::string::npos);
    EXPECT_EQ(Read("C:\\P\\U.pas"), text);
  }
  Write("C:\\P\\U.pas", unit);
  const std::string project = "\xFE\xFF\0p\0r\0o\0g\0r\0a\0m\0\r\0\n\0[\0S\0T\0A\0T\0h\0r\0e\0a\0d\0]"s;
  Write("C:\\P\\Project1.dpr", project);
  EXPECT_NE(BuildError().find("It is not single-byte text"), std::string::npos);
  EXPECT_EQ(Read("C:\\P\\Project1.dpr"), project);
  EXPECT_EQ(Read("C:\\P\\U.pas"), unit);
}

// A unit that is a symbolic link to a file outside the project is someone
// else's file: left alone with one line; a link inside the project is
// followed.
TEST_F(UnitFilesTest, AUnitLinkedOutOfTheProjectIsLeftAloneAndOneLinkedInsideIsAdapted) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: symbolic links";
#endif
  namespace fs = std::filesystem;
  const std::string elsewhere = root_ + "/elsewhere.conf";
  std::ofstream(elsewhere, std::ios::binary) << unit;
  fs::remove(Host("C:\\P\\U.pas"));
  fs::create_symlink(elsewhere, Host("C:\\P\\U.pas"));
  Write("C:\\P\\Sub\\Real.pas", unit);
  fs::create_symlink(Host("C:\\P\\Sub\\Real.pas"), Host("C:\\P\\Inside.pas"));
  Write("C:\\P\\Project1.dpr", "uses U in 'U.pas',\r\n  Inside in 'Inside.pas';\r\n");
  Build();
  EXPECT_EQ(testing_world::ReadHostFile(elsewhere), unit);
  EXPECT_EQ(Shown()[3], "--> Unit File \"U.pas\" lies outside the project folder: left alone !!");
  EXPECT_EQ(Read("C:\\P\\Sub\\Real.pas"), patched);
  EXPECT_TRUE(fs::is_symlink(Host("C:\\P\\Inside.pas")));
}
