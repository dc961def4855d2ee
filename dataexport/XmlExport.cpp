#include "dataexport/XmlExport.h"

#include <cstdio>
#include <memory>

#include "dataexport/WellFormedXml.h"
#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/MessagePump.h"
#include "platform/TextEncoder.h"

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

// What the pass writes around each field's value, made once.
struct FieldLine {
  FieldInfo Info;
  int Source = 0;  // the field a lookup by name reads
  std::string Open, Close;
};

// A value appended to `out`; a large one may be spilled (see
// RecordSource::AppendLargeText).
void AppendValue(RecordSource& source, const FieldLine& field, std::string& out,
                 const std::function<void()>& spill = {}) {
  switch (field.Info.DataType) {
    case platform::ftDate: platform::AppendDate(out, source.ValueAsDateTime(field.Source)); break;
    case platform::ftDateTime: platform::AppendDateTime(out, source.ValueAsDateTime(field.Source)); break;
    default:
      if (spill) source.AppendLargeText(field.Source, out, spill);
      else source.AppendText(field.Source, out);
      break;
  }
}

// Names and values in a well-formed document, or as the database gives
// them.
class DocumentText {
 public:
  explicit DocumentText(const ExportRequest& request) : request_(request) {
    if (!request.WellFormed) return;
    encoding_ = request.EncodingIndex >= 0 && request.EncodingIndex < 5 ? Encodings[request.EncodingIndex] : "UTF-8";
    encoder_ = std::make_unique<platform::TextEncoder>(encoding_);
  }
  std::string Name(const std::string& name) { return encoder_ ? EncodeName(platform::ToUtf8(name), *encoder_) : name; }
  std::string CodeName(const std::string& name) { return encoder_ ? DelphiQuoted(name) : name; }
  void AppendValue(RecordSource& source, const FieldLine& field, int record, std::string& out,
                   const std::function<void()>& spill) {
    if (!encoder_) {
      dataexport::AppendValue(source, field, out, spill);
      return;
    }
    value_.clear();
    dataexport::AppendValue(source, field, value_);
    const std::vector<ReplacedCharacter> replaced = AppendContent(platform::ToUtf8(value_), *encoder_, out);
    if (!request_.Warnings) return;
    for (const ReplacedCharacter& r : replaced) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(r.Character));
      request_.Warnings("record " + std::to_string(record) + ", field " + field.Info.Name + ": " + code +
                        (r.NotInXml ? " cannot be in an XML document: written as U+FFFD"
                                    : " cannot be written in " + encoding_ + ": written as &#" +
                                          std::to_string(static_cast<unsigned long>(r.Character)) + ";"));
    }
  }

 private:
  const ExportRequest& request_;
  std::string encoding_;
  std::unique_ptr<platform::TextEncoder> encoder_;
  std::string value_;
};

}  // namespace

void WriteXml(RecordSource& source, const ExportRequest& request, DocumentSink& sink, CodeLines& code,
              ProgressSink& progress) {
  constexpr size_t Piece = size_t{1} << 20;
  int keyCounter = -1;
  int recordCounter = 0;
  code.clear();
  progress.SetProgress(0);
  source.First();
  DocumentText text(request);
  const std::string table = text.Name(request.TableName), root = text.Name(request.AliasName);
  const std::string date =
      request.DateStamp.empty() ? platform::FormatDateTime("yyyy/mm/dd", platform::Now()) : request.DateStamp;
  std::string document = Declaration(request.EncodingIndex) + "\r\n<" + root + ">\r\n";
  AddHeaderLines(code, text.CodeName(request.TableName), date);
  const int recordCount = source.RecordCount();
  progress.SetMaxValue(recordCount);
  const std::string recordStart = "  <" + table + ">\r\n", recordEnd = "  </" + table + ">\r\n";
  const std::string rootEnd = "</" + root + ">\r\n";
  std::vector<FieldLine> fields(static_cast<size_t>(source.FieldCount()));
  for (size_t i = 0; i < fields.size(); ++i) {
    FieldLine& f = fields[i];
    f.Info = source.Field(static_cast<int>(i));
    f.Source = source.IndexOfName(f.Info.Name);
    const std::string name = text.Name(f.Info.Name);
    f.Open = "    <" + name + ">";
    f.Close = "</" + name + ">\r\n";
  }
  document.reserve(Piece + Piece / 4);
  const std::function<void()> spill = [&] {
    sink.Write(document);
    document.clear();
  };
  // The host repaints and answers about a hundred times a second, however
  // fast the records come.
  platform::MessagePacer pacer(std::chrono::milliseconds(10));
  while (!source.Eof()) {
    pacer.ProcessMessages();
    document += recordStart;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (recordCounter == 0) {
        FieldInfo info = fields[i].Info;
        info.Name = text.CodeName(info.Name);
        AddFieldLines(code, info, static_cast<int>(i), keyCounter);
      }
      document += fields[i].Open;
      text.AppendValue(source, fields[i], recordCounter + 1, document, spill);
      document += fields[i].Close;
    }
    document += recordEnd;
    if (document.size() >= Piece) {
      sink.Write(document);
      document.clear();
    }
    progress.Step();
    source.Next();
    ++recordCounter;
  }
  document += rootEnd;
  sink.Write(document);
  AddClosingLines(code);
}

}  // namespace dataexport
