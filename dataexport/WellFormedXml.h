#pragma once
// The export's names and values as a strict XML parser reads them, in the
// encoding the document declares: for an export asked to be well-formed.
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextEncoder.h"

namespace dataexport {

// An element name as .NET's XmlConvert.EncodeName writes it: a character
// an XML name cannot hold at its place becomes _xHHHH_ (_x0020_ for a
// blank, _x0031_ for a leading digit; _xHHHHHHHH_ past U+FFFF), and so
// does an underscore that would read as such an escape (_x005F_). A
// character the encoding cannot hold is encoded the same way. `name` is
// UTF-8.
std::string EncodeName(std::string_view name, platform::TextEncoder& encoder);

// What could not be written as it is, for a warning.
struct ReplacedCharacter {
  char32_t Character = 0;
  bool NotInXml = false;  // no XML document can hold it: written as U+FFFD
};

// UTF-8 text appended as element content in the encoding: &, < and >
// escaped, a carriage return as &#13; (a parser would read it as a line
// feed), a character the encoding cannot hold as a character reference,
// and one that no XML document may hold (a control character, U+FFFE,
// U+FFFF) as U+FFFD's reference. Returns the characters written otherwise
// than as themselves.
std::vector<ReplacedCharacter> AppendContent(std::string_view text, platform::TextEncoder& encoder, std::string& out);

// A name between apostrophes in Delphi source: each apostrophe doubled.
std::string DelphiQuoted(std::string_view name);

}  // namespace dataexport
