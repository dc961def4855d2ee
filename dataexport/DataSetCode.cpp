#include "dataexport/DataSetCode.h"

#include "platform/Database.h"

namespace dataexport {

void AddHeaderLines(CodeLines& code, const std::string& tableName, const std::string& dateStamp) {
  code.push_back("//=======================================//");
  code.push_back("//= Mobile DataSet Initialization =======//");
  code.push_back("//= DATE:" + dateStamp + "               =======//");
  code.push_back("//= Tidewell for BDS2006 V2.0     =======//");
  code.push_back("//=======================================//");
  code.push_back("procedure TWinForm.Init_DataSet; ");
  code.push_back("var tmpTable:DataTable;");
  code.push_back("    arrPrimKey : array[0..5] of DataColumn;");
  code.push_back("begin");
  code.push_back("  tmpTable := Dataset1.Tables.Add('" + tableName + "');");
}

void AddFieldLines(CodeLines& code, const FieldInfo& field, int position, int& keyCounter) {
  using namespace platform;
  const char* type = nullptr;
  switch (field.DataType) {
    case ftString: type = "String"; break;
    case ftSmallint:
    case ftInteger: type = "Integer"; break;
    case ftBoolean: type = "Boolean"; break;
    case ftFloat:
    case ftCurrency:
    case ftBCD: type = "double"; break;
    default: break;
  }
  code.push_back(type ? "  tmpTable.Columns.Add('" + field.Name + "',typeof(" + type + "));" : std::string());
  const std::string item = "  tmpTable.Columns.Item[" + std::to_string(position) + "]";
  if (field.Required) code.push_back(item + ".Unique := True;");
  if (field.DataType == ftString) code.push_back(item + ".MaxLength :=" + std::to_string(field.Size) + ";");
  if (field.IsIndexField) {
    ++keyCounter;
    code.push_back("  arrPrimKey[" + std::to_string(keyCounter) + "] := tmpTable.Columns.Item['" + field.Name + "'];");
  }
}

void AddClosingLines(CodeLines& code) {
  code.push_back("  tmpTable.PrimaryKey := arrPrimKey;");
  code.push_back("end;");
}

}  // namespace dataexport
