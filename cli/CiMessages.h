#pragma once
// The compiler's messages in the forms CI systems read: GitHub Actions
// workflow commands, and JSON Lines (one object a line).
#include <string>

#include "runner/CompilerMessage.h"

namespace cli {

enum class MessageFormat { List, GitHub, Json, Gcc };

// "list", "github", "json" or "gcc"; false for any other name.
bool ParseMessageFormat(const std::string& name, MessageFormat& format);

// "::error file=F,line=N::text\n" for errors and fatal errors, "::warning ..."
// for warnings, "::notice ..." for hints. `file` is the path to show (empty:
// none).
std::string GitHubAnnotation(const runner::CompilerMessage& message, const std::string& file);

// {"file":"F","line":N,"kind":"error","text":"..."} and a line end; file
// and line are null when the message names no file.
std::string JsonMessage(const runner::CompilerMessage& message, const std::string& file);

// "FILE:LINE:COLUMN: SEVERITY: TEXT" and a line end, as gcc writes it and
// editors read it (VS Code's $gcc, Emacs' compilation mode, Vim's
// errorformat): SEVERITY error (errors and fatal errors), warning or note
// (hints); the column, the line and the file left out where the compiler
// gave none ("tidewell: error: TEXT" without a file).
std::string GccMessage(const runner::CompilerMessage& message, const std::string& file);

// A build that could not start, as one record of the format: a JSON object
// of kind "fatal" without file or line, "::error::TEXT", "tidewell: error:
// TEXT"; nothing for the list, which has its line on standard error.
std::string StartFailure(MessageFormat format, const std::string& why);

// The path a CI system shows for a file the compiler names: `file` is
// resolved against the project's folder (both host paths) and given relative
// to `currentFolder` when it lies inside it, else whole; "/" separates names.
std::string DisplayPath(const std::string& file, const std::string& projectFolder, const std::string& currentFolder);

}  // namespace cli
