#pragma once
// The system's text (single bytes in the Windows code page: CP1252, or the
// one $TIDEWELL_CODEPAGE names) as UTF-8 and back: for widgets, for the
// IDE's editor, and for output meant for programs that read UTF-8. Nothing
// is lost: a byte with no character in the code page becomes the control
// character of the same number (as Windows maps it) and comes back as that
// byte, so any bytes survive a round trip.
#include <string>
#include <string_view>

namespace platform {

std::string CodePageToUtf8(std::string_view text);

// A character the code page cannot hold becomes "?". Bytes that are not
// UTF-8 are taken as the code page's own.
std::string Utf8ToCodePage(std::string_view text);

// Text for a program that reads UTF-8 (JSON, CI annotations): well-formed
// UTF-8 passes unchanged, any other byte is the code page's character;
// the result is always valid UTF-8 (no surrogates, no overlong forms,
// nothing past U+10FFFF).
std::string ToUtf8(std::string_view text);

}  // namespace platform
