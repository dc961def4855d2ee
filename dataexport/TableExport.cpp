#include "dataexport/TableExport.h"

#include <optional>

#include "dataexport/StreamRecordSource.h"
#include "platform/Database.h"
#include "platform/OutputStream.h"
#include "platform/QueryStream.h"
#include "platform/TextLines.h"

namespace dataexport {

namespace {

// The document into the output, piece by piece.
class OutputSink : public DocumentSink {
 public:
  explicit OutputSink(platform::OutputStream& out) : out_(out) {}
  void Write(std::string_view text) override { out_.Write(text); }

 private:
  platform::OutputStream& out_;
};

}  // namespace

int CountedRecords(const std::string& alias, const std::string& statement) {
  try {
    return static_cast<int>(platform::Session.CountRecords(alias, statement));
  } catch (const platform::DatabaseError&) {
    return -1;
  }
}

void ExportStatement(const ExportRequest& request, const std::string& statement, const ExportFiles& files,
                     int recordCount, CodeLines& code, ProgressSink& progress) {
  // The warnings of a pass that starts again come again, in the same order:
  // only those past what was said are passed on.
  size_t said = 0, heard = 0;
  ExportRequest pass = request;
  if (request.Warnings)
    pass.Warnings = [&](const std::string& warning) {
      if (++heard <= said) return;
      said = heard;
      request.Warnings(warning);
    };
  // A FIFO or a device cannot take a second start: it is read value by value
  // at once.
  for (bool bound = !platform::IsStreamTarget(files.Output);; bound = false) {
    try {
      heard = 0;
      platform::OutputStream out(files.Output);
      std::optional<platform::OutputStream> codeOut;
      if (!files.CodeFile.empty()) codeOut.emplace(files.CodeFile);
      platform::QueryStream stream(request.AliasName, statement, bound);
      if (request.Reading) request.Reading(stream.HowRead());
      StreamRecordSource source(stream, recordCount, pass.Warnings);
      OutputSink sink(out);
      WriteXml(source, pass, sink, code, progress);
      if (codeOut) codeOut->Write(platform::JoinLines(code));
      // Each file is ready before either takes its name.
      out.Prepare();
      if (codeOut) codeOut->Prepare();
      out.Commit();
      if (codeOut) codeOut->Commit();
      return;
    } catch (const platform::QueryStream::WiderThanBound&) {
      if (!bound) throw;
    }
  }
}

}  // namespace dataexport
