#pragma once
// The export pass: every record of an open query into an XML data file, and
// the DataSet initialisation code in the same pass.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "dataexport/DataSetCode.h"
#include "dataexport/FieldValues.h"
#include "dataexport/RecordSource.h"

namespace dataexport {

// The encodings the declaration can name, by index.
inline constexpr const char* Encodings[5] = {"ISO-8859-1", "big5", "gb2312", "EUC-JP", "UTF-8"};

// The declaration line for an encoding index (-1: none).
std::string Declaration(int encodingIndex);

// The progress gauge of the pass.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetMaxValue(int maximum) = 0;
  virtual void SetProgress(int progress) = 0;
  virtual void Step() = 0;  // one more record
};

struct ExportRequest {
  std::string AliasName;
  std::string TableName;
  int EncodingIndex = -1;
  std::string DateStamp;  // empty: today, as yyyy/mm/dd
  // A document any XML parser takes, in the encoding it declares (UTF-8
  // when none): names encoded as XmlConvert.EncodeName does, values escaped
  // and converted from the database's text (UTF-8, else the Windows code
  // page), a character the encoding cannot hold written as a character
  // reference with a warning; apostrophes in the code's names doubled. Off:
  // names and values exactly as the database gives them.
  bool WellFormed = false;
  WarningSink Warnings;  // told of each character written as a reference
  WarningSink Reading;   // told how each pass reads the records, when set
};

// Where the document goes, piece by piece in order.
class DocumentSink {
 public:
  virtual ~DocumentSink() = default;
  virtual void Write(std::string_view text) = 0;
};

// The pass itself: every record of the source, from its first, into the
// sink as it is read (in pieces of about a megabyte), and the code lines.
// Throws on a failing source or sink.
void WriteXml(RecordSource& source, const ExportRequest& request, DocumentSink& sink, CodeLines& code,
              ProgressSink& progress);

}  // namespace dataexport
