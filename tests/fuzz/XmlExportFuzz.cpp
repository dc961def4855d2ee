// The export pass over a record source made of arbitrary names, types and
// values: the XML document and the generated code are byte for byte what an
// independent model of the rules says.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>
#include <vector>

#include "dataexport/XmlExport.h"
#include "platform/Database.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

struct FakeTable : dataexport::RecordSource {
  std::vector<dataexport::FieldInfo> fields;
  std::vector<std::vector<std::string>> texts;         // per record, per field
  std::vector<std::vector<platform::DateTime>> dates;  // per record, per field
  size_t at = 0;
  bool Active() override { return true; }
  void First() override { at = 0; }
  bool Eof() override { return at >= texts.size(); }
  void Next() override { ++at; }
  int RecordCount() override { return static_cast<int>(texts.size()); }
  int FieldCount() override { return static_cast<int>(fields.size()); }
  dataexport::FieldInfo Field(int i) override { return fields[static_cast<size_t>(i)]; }
  // The first field of that name without regard to case, as a lookup by
  // name finds it.
  size_t IndexOf(const std::string& name) const {
    auto upper = [](std::string s) {
      for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return s;
    };
    for (size_t i = 0; i < fields.size(); ++i)  // the exact name first
      if (fields[i].Name == name) return i;
    for (size_t i = 0; i < fields.size(); ++i)
      if (upper(fields[i].Name) == upper(name)) return i;
    std::abort();
  }
  void AppendText(int field, std::string& out) override { out += texts[at][static_cast<size_t>(field)]; }
  platform::DateTime ValueAsDateTime(int field) override { return dates[at][static_cast<size_t>(field)]; }
};

struct NoProgress : dataexport::ProgressSink {
  void SetMaxValue(int) override {}
  void SetProgress(int) override {}
  void Step() override {}
};

std::string Two(int n) { return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10); }
std::string Four(int n) { return Two(n / 100) + Two(n % 100); }

// The rules, written again without the production code.
std::string ModelXml(FakeTable& t, const std::string& alias, const std::string& table, int encoding) {
  static const char* declarations[] = {"<?xml version=\"1.0\" standalone=\"yes\"?>",
                                       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>",
                                       "<?xml version=\"1.0\" encoding=\"big5\"   standalone=\"yes\"?>",
                                       "<?xml version=\"1.0\" encoding=\"gb2312\" standalone=\"yes\"?>",
                                       "<?xml version=\"1.0\" encoding=\"EUC-JP\" standalone=\"yes\"?>",
                                       "<?xml version=\"1.0\" encoding=\"UTF-8\"  standalone=\"yes\"?>"};
  std::string xml = std::string(declarations[encoding + 1]) + "\r\n<" + alias + ">\r\n";
  for (size_t r = 0; r < t.texts.size(); ++r) {
    xml += "  <" + table + ">\r\n";
    for (const auto& f : t.fields) {
      const size_t i = t.IndexOf(f.Name);
      const platform::DateTime& d = t.dates[r][i];
      std::string value = t.texts[r][i];
      if (f.DataType == platform::ftDate || f.DataType == platform::ftDateTime)
        value = Four(d.Year) + "/" + Two(d.Month) + "/" + Two(d.Day);
      if (f.DataType == platform::ftDateTime) value += " " + Two(d.Hour) + ":" + Two(d.Minute) + ":" + Two(d.Second);
      xml += "    <" + f.Name + ">" + value + "</" + f.Name + ">\r\n";
    }
    xml += "  </" + table + ">\r\n";
  }
  return xml + "</" + alias + ">\r\n";
}

std::vector<std::string> ModelCode(const FakeTable& t, const std::string& table) {
  std::vector<std::string> code{"//=======================================//",
                                "//= Mobile DataSet Initialization =======//",
                                "//= DATE:2007/03/05               =======//",
                                "//= Tidewell for BDS2006 V2.0     =======//",
                                "//=======================================//",
                                "procedure TWinForm.Init_DataSet; ",
                                "var tmpTable:DataTable;",
                                "    arrPrimKey : array[0..5] of DataColumn;",
                                "begin",
                                "  tmpTable := Dataset1.Tables.Add('" + table + "');"};
  int keys = 0;
  for (size_t i = 0; i < t.fields.size() && !t.texts.empty(); ++i) {
    const auto& f = t.fields[i];
    std::string type;
    if (f.DataType == platform::ftString) type = "String";
    if (f.DataType == platform::ftSmallint || f.DataType == platform::ftInteger) type = "Integer";
    if (f.DataType == platform::ftBoolean) type = "Boolean";
    if (f.DataType == platform::ftFloat || f.DataType == platform::ftCurrency || f.DataType == platform::ftBCD)
      type = "double";
    code.push_back(type.empty() ? "" : "  tmpTable.Columns.Add('" + f.Name + "',typeof(" + type + "));");
    const std::string item = "  tmpTable.Columns.Item[" + std::to_string(i) + "]";
    if (f.Required) code.push_back(item + ".Unique := True;");
    if (f.DataType == platform::ftString) code.push_back(item + ".MaxLength :=" + std::to_string(f.Size) + ";");
    if (f.IsIndexField)
      code.push_back("  arrPrimKey[" + std::to_string(keys++) + "] := tmpTable.Columns.Item['" + f.Name + "'];");
  }
  code.push_back("  tmpTable.PrimaryKey := arrPrimKey;");
  code.push_back("end;");
  return code;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FakeTable t;
  const int fieldCount = in.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < fieldCount; ++i) {
    dataexport::FieldInfo f;
    f.Name = in.ConsumeRandomLengthString(12);
    f.DataType = in.ConsumeIntegralInRange(0, 14);
    f.Required = in.ConsumeBool();
    f.Size = in.ConsumeIntegralInRange(0, 300);
    f.IsIndexField = in.ConsumeBool();
    t.fields.push_back(f);
  }
  const int records = in.ConsumeIntegralInRange(0, 4);
  for (int r = 0; r < records; ++r) {
    t.texts.emplace_back();
    t.dates.emplace_back();
    for (int i = 0; i < fieldCount; ++i) {
      t.texts.back().push_back(in.ConsumeRandomLengthString(16));
      platform::DateTime d;
      d.Year = in.ConsumeIntegralInRange(1, 9999);
      d.Month = in.ConsumeIntegralInRange(1, 12);
      d.Day = in.ConsumeIntegralInRange(1, 28);
      d.Hour = in.ConsumeIntegralInRange(0, 23);
      d.Minute = in.ConsumeIntegralInRange(0, 59);
      d.Second = in.ConsumeIntegralInRange(0, 59);
      t.dates.back().push_back(d);
    }
  }
  dataexport::ExportRequest request;
  request.EncodingIndex = in.ConsumeIntegralInRange(-1, 4);
  request.AliasName = in.ConsumeRandomLengthString(12);
  request.TableName = in.ConsumeRemainingBytesAsString();
  request.DateStamp = "2007/03/05";

  dataexport::CodeLines code;
  NoProgress progress;
  struct Collected : dataexport::DocumentSink {
    void Write(std::string_view text) override { all += text; }
    std::string all;
  } document;
  dataexport::WriteXml(t, request, document, code, progress);
  FUZZ_CHECK(document.all == ModelXml(t, request.AliasName, request.TableName, request.EncodingIndex));
  FUZZ_CHECK(code == ModelCode(t, request.TableName));
  return 0;
}
