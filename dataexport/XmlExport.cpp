#include "dataexport/XmlExport.h"

#include "platform/Database.h"
#include "platform/MessagePump.h"
#include "platform/TextLines.h"

namespace dataexport {

std::string Declaration(int encodingIndex) {
  switch (encodingIndex) {
    case 0: return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>";
    case 1: return "<?xml version=\"1.0\" encoding=\"big5\"   standalone=\"yes\"?>";
    case 2: return "<?xml version=\"1.0\" encoding=\"gb2312\" standalone=\"yes\"?>";
    case 3: return "<?xml version=\"1.0\" encoding=\"EUC-JP\" standalone=\"yes\"?>";
    case 4: return "<?xml version=\"1.0\" encoding=\"UTF-8\"  standalone=\"yes\"?>";
    default: return "<?xml version=\"1.0\" standalone=\"yes\"?>";
  }
}

namespace {
std::string ValueText(RecordSource& source, const FieldInfo& field) {
  switch (field.DataType) {
    case platform::ftDate: return platform::FormatDateTime("yyyy/mm/dd", source.ValueAsDateTime(field.Name));
    case platform::ftDateTime:
      return platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", source.ValueAsDateTime(field.Name));
    default: return source.ValueAsText(field.Name);
  }
}
}  // namespace

bool ExportToXml(RecordSource& source, const ExportRequest& request, const FileNameQuestion& askFileName,
                 CodeLines& code, ProgressSink& progress) {
  if (!source.Active()) return false;
  source.First();
  std::optional<std::string> fileName = askFileName();
  if (!fileName) return false;

  int keyCounter = -1;
  int recordCounter = 0;
  code.clear();
  progress.SetProgress(0);
  const std::string& table = request.TableName;
  const std::string date = request.DateStamp.empty() ? platform::FormatDateTime("yyyy/mm/dd", platform::Now())
                                                     : request.DateStamp;
  platform::Lines lines;
  lines.push_back(Declaration(request.EncodingIndex));
  lines.push_back("<" + request.AliasName + ">");
  AddHeaderLines(code, table, date);
  progress.SetMaxValue(source.RecordCount());
  const int fieldCount = source.FieldCount();
  while (!source.Eof()) {
    platform::ProcessMessages();
    lines.push_back("  <" + table + ">");
    for (int i = 0; i < fieldCount; ++i) {
      const FieldInfo field = source.Field(i);
      if (recordCounter == 0) AddFieldLines(code, field, i, keyCounter);
      lines.push_back("    <" + field.Name + ">" + ValueText(source, field) + "</" + field.Name + ">");
    }
    lines.push_back("  </" + table + ">");
    progress.Step();
    source.Next();
    ++recordCounter;
  }
  lines.push_back("</" + request.AliasName + ">");
  AddClosingLines(code);
  platform::SaveLines(*fileName, lines);
  return true;
}

}  // namespace dataexport
