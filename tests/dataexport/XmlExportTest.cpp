#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "dataexport/WellFormedXml.h"
#include "dataexport/XmlExport.h"
#include "platform/Database.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "tests/TestWorld.h"

using namespace dataexport;
using platform::DateTime;
using Texts = std::vector<std::string>;

namespace {

// Records of our own; a value is text, a date-time, or NULL.
struct FakeValue {
  std::optional<std::string> Text;
  std::optional<DateTime> When;
};

class FakeSource : public RecordSource {
 public:
  std::vector<FieldInfo> fields;
  std::vector<std::vector<FakeValue>> rows;
  bool active = true;
  size_t at = 99;
  int firstCalls = 0;
  bool Active() override { return active; }
  void First() override {
    at = 0;
    ++firstCalls;
  }
  bool Eof() override { return at >= rows.size(); }
  void Next() override { ++at; }
  int RecordCount() override { return static_cast<int>(rows.size()); }
  int FieldCount() override { return static_cast<int>(fields.size()); }
  FieldInfo Field(int i) override { return fields.at(static_cast<size_t>(i)); }
  void AppendText(int field, std::string& out) override {
    out += rows.at(at).at(static_cast<size_t>(field)).Text.value_or("");
  }
  DateTime ValueAsDateTime(int field) override {
    return rows.at(at).at(static_cast<size_t>(field)).When.value_or(platform::ZeroDateTime);
  }
};

struct RecordingProgress : ProgressSink {
  void SetMaxValue(int m) override { maximum = m; }
  void SetProgress(int p) override { progress = p; }
  void Step() override { ++progress; }
  int maximum = -1, progress = -1;
};

FakeSource Parts() {
  FakeSource s;
  s.fields = {{"PartNo", platform::ftInteger, true, 0, true},
              {"Name", platform::ftString, false, 30, false},
              {"Added", platform::ftDate, false, 0, false}};
  s.rows = {{{"1001", {}}, {"Bolt", {}}, {{}, DateTime{2006, 11, 30, 14, 5, 9, 0}}}};
  return s;
}

}  // namespace

class XmlExportTest : public testing_world::TestWorld {
 protected:
  // The pass over `source`; the document lands in `document`, in `pieces`
  // writes.
  void Export(RecordSource& source, int encoding = -1) {
    ExportRequest request;
    request.AliasName = "DEMO";
    request.TableName = "parts";
    request.EncodingIndex = encoding;
    request.DateStamp = "2007/03/05";
    struct Collected : DocumentSink {
      explicit Collected(XmlExportTest& test) : test(test) {}
      void Write(std::string_view text) override {
        ++test.pieces;
        test.document += text;
      }
      XmlExportTest& test;
    } sink(*this);
    document.clear();
    pieces = 0;
    WriteXml(source, request, sink, code, progress);
  }
  CodeLines code{"old code"};
  RecordingProgress progress;
  std::string document;
  int pieces = 0;
};

TEST_F(XmlExportTest, OneRecordGivesTheEightLineDocumentAndTheGeneratedCode) {
  FakeSource parts = Parts();
  int pumps = 0;
  platform::SetMessagePump([&] { ++pumps; });
  Export(parts);
  platform::SetMessagePump(nullptr);
  EXPECT_EQ(document,
            "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
            "<DEMO>\r\n"
            "  <parts>\r\n"
            "    <PartNo>1001</PartNo>\r\n"
            "    <Name>Bolt</Name>\r\n"
            "    <Added>2006/11/30</Added>\r\n"
            "  </parts>\r\n"
            "</DEMO>\r\n");
  EXPECT_EQ(code,
            (Texts{"//=======================================//", "//= Mobile DataSet Initialization =======//",
                   "//= DATE:2007/03/05               =======//", "//= Tidewell for BDS2006 V2.0     =======//",
                   "//=======================================//", "procedure TWinForm.Init_DataSet; ",
                   "var tmpTable:DataTable;", "    arrPrimKey : array[0..5] of DataColumn;", "begin",
                   "  tmpTable := Dataset1.Tables.Add('parts');", "  tmpTable.Columns.Add('PartNo',typeof(Integer));",
                   "  tmpTable.Columns.Item[0].Unique := True;", "  arrPrimKey[0] := tmpTable.Columns.Item['PartNo'];",
                   "  tmpTable.Columns.Add('Name',typeof(String));", "  tmpTable.Columns.Item[1].MaxLength :=30;", "",
                   "  tmpTable.PrimaryKey := arrPrimKey;", "end;"}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(code[i].size(), 43u);
  EXPECT_EQ(progress.maximum, 1);
  EXPECT_EQ(progress.progress, 1);
  EXPECT_EQ(pumps, 1);
}

TEST_F(XmlExportTest, AnEmptyTableGivesThreeLinesAndHeaderPlusClosingCode) {
  FakeSource empty = Parts();
  empty.rows.clear();
  Export(empty);
  EXPECT_EQ(document, "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DEMO>\r\n</DEMO>\r\n");
  ASSERT_EQ(code.size(), 12u);
  EXPECT_EQ(code[10], "  tmpTable.PrimaryKey := arrPrimKey;");
  EXPECT_EQ(progress.maximum, 0);
}

TEST_F(XmlExportTest, EachEncodingChangesOnlyTheDeclaration) {
  EXPECT_EQ(Declaration(-1).size(), 38u);
  EXPECT_EQ(Declaration(0), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>");
  EXPECT_EQ(Declaration(1), "<?xml version=\"1.0\" encoding=\"big5\"   standalone=\"yes\"?>");
  EXPECT_EQ(Declaration(2), "<?xml version=\"1.0\" encoding=\"gb2312\" standalone=\"yes\"?>");
  EXPECT_EQ(Declaration(3), "<?xml version=\"1.0\" encoding=\"EUC-JP\" standalone=\"yes\"?>");
  EXPECT_EQ(Declaration(4), "<?xml version=\"1.0\" encoding=\"UTF-8\"  standalone=\"yes\"?>");
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(Declaration(i).size(), 56u);
  FakeSource parts = Parts();
  Export(parts, -1);
  std::string plain = document;
  Export(parts, 1);
  std::string big5 = document;
  EXPECT_EQ(big5.substr(big5.find('\n')), plain.substr(plain.find('\n')));
}

TEST_F(XmlExportTest, ValuesAreWrittenUnchangedAndNullsByType) {
  FakeSource s;
  s.fields = {{"Note", platform::ftString, false, 20, false},
              {"Added", platform::ftDate, false, 0, false},
              {"Stamp", platform::ftDateTime, false, 0, false},
              {"Opens", platform::ftTime, false, 0, false},
              {"Ok", platform::ftBoolean, false, 0, false}};
  s.rows = {{{"M6 & M8 <metric>", {}}, {}, {{}, DateTime{2006, 11, 30, 14, 5, 9, 0}}, {"08:30:00", {}}, {"True", {}}},
            {{}, {}, {}, {}, {"False", {}}}};
  Export(s);
  EXPECT_EQ(
      document,
      "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DEMO>\r\n"
      "  <parts>\r\n    <Note>M6 & M8 <metric></Note>\r\n    <Added>1899/12/30</Added>\r\n"
      "    <Stamp>2006/11/30 14:05:09</Stamp>\r\n    <Opens>08:30:00</Opens>\r\n    <Ok>True</Ok>\r\n  </parts>\r\n"
      "  <parts>\r\n    <Note></Note>\r\n    <Added>1899/12/30</Added>\r\n"
      "    <Stamp>1899/12/30 00:00:00</Stamp>\r\n    <Opens></Opens>\r\n    <Ok>False</Ok>\r\n  </parts>\r\n"
      "</DEMO>\r\n");
  EXPECT_EQ(progress.progress, 2);
}

TEST_F(XmlExportTest, ColumnsThatDifferOnlyInCaseEachGiveTheirOwnValue) {
  FakeSource s;
  s.fields = {{"name", platform::ftInteger, false, 0, false},
              {"Name", platform::ftString, false, 10, false},
              {"NAME", platform::ftString, false, 10, false}};
  s.rows = {{{"1", {}}, {"one", {}}, {"ONE", {}}}};
  Export(s);
  EXPECT_NE(document.find("    <name>1</name>\r\n    <Name>one</Name>\r\n    <NAME>ONE</NAME>\r\n"), std::string::npos);
  EXPECT_EQ(s.IndexOfName("nAmE"), 0);  // no exact match: the first in any case
}

// A large document goes to the sink in pieces of about a megabyte, the
// last one once.
TEST_F(XmlExportTest, ALargeDocumentIsWrittenInPieces) {
  FakeSource s = Parts();
  for (int i = 0; i < 20000; ++i) s.rows.push_back(s.rows.front());
  Export(s);
  EXPECT_GT(pieces, 1);
  EXPECT_LT(pieces, 4);
  const std::string record =
      "  <parts>\r\n    <PartNo>1001</PartNo>\r\n    <Name>Bolt</Name>\r\n"
      "    <Added>2006/11/30</Added>\r\n  </parts>\r\n";
  std::string expected = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DEMO>\r\n";
  for (int i = 0; i < 20001; ++i) expected += record;
  EXPECT_EQ(document, expected + "</DEMO>\r\n");
  EXPECT_EQ(progress.progress, 20001);
}

TEST(DataSetCode, UnlistedTypesGiveAnEmptyLineAndStillCountTheirPosition) {
  CodeLines code;
  int k = -1;
  AddFieldLines(code, {"Added", platform::ftDate, true, 0, false}, 0, k);
  AddFieldLines(code, {"Count", platform::ftWord, false, 0, false}, 1, k);
  AddFieldLines(code, {"Price", platform::ftCurrency, true, 0, false}, 2, k);
  AddFieldLines(code, {"Code", platform::ftBCD, false, 0, false}, 3, k);
  AddFieldLines(code, {"Small", platform::ftSmallint, false, 0, false}, 4, k);
  EXPECT_EQ(code, (Texts{"", "  tmpTable.Columns.Item[0].Unique := True;", "",
                         "  tmpTable.Columns.Add('Price',typeof(double));",
                         "  tmpTable.Columns.Item[2].Unique := True;", "  tmpTable.Columns.Add('Code',typeof(double));",
                         "  tmpTable.Columns.Add('Small',typeof(Integer));"}));
  EXPECT_EQ(k, -1);
}

TEST(DataSetCode, TheKeyCounterHasNoLimit) {
  CodeLines code;
  int k = -1;
  for (int i = 0; i < 7; ++i) AddFieldLines(code, {"K" + std::to_string(i), platform::ftInteger, false, 0, true}, i, k);
  EXPECT_EQ(k, 6);
  EXPECT_EQ(code.back(), "  arrPrimKey[6] := tmpTable.Columns.Item['K6'];");
}

TEST(WellFormedXml, NamesAreEncodedAsDotNetEncodesThemAndWhatTheEncodingLacksToo) {
  platform::TextEncoder latin1("ISO-8859-1");
  EXPECT_EQ(dataexport::EncodeName("Item Name", latin1), "Item_x0020_Name");
  EXPECT_EQ(dataexport::EncodeName("1st", latin1), "_x0031_st");
  EXPECT_EQ(dataexport::EncodeName("a1.b-c:d", latin1), "a1.b-c:d");
  // An underscore is escaped only where it would read as an escape.
  EXPECT_EQ(dataexport::EncodeName("_x0041_", latin1), "_x005F_x0041_");
  EXPECT_EQ(dataexport::EncodeName("_x0001F600_", latin1), "_x005F_x0001F600_");
  EXPECT_EQ(dataexport::EncodeName("_x41_", latin1), "_x41_");
  EXPECT_EQ(dataexport::EncodeName("caf\xC3\xA9", latin1), "caf\xE9");
  EXPECT_EQ(dataexport::EncodeName("\xE6\x97\xA5", latin1), "_x65E5_");
  platform::TextEncoder utf8("UTF-8");
  EXPECT_EQ(dataexport::EncodeName("\xE6\x97\xA5", utf8), "\xE6\x97\xA5");
  EXPECT_EQ(dataexport::DelphiQuoted("Owner's"), "Owner''s");
}
