#pragma once
// Command lines split the way Windows splits them, so a command line means
// the same program and arguments on every host. Never given to a shell.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Arguments after the program, by the Windows rules: blanks and tabs separate
// arguments outside quotes; 2n backslashes before a quote give n backslashes
// and the quote opens or closes quoting; 2n+1 backslashes before a quote give
// n backslashes and a literal quote; "" inside quotes is a literal quote;
// other backslashes are literal.
std::vector<std::string> SplitArguments(std::string_view text);

// One argument written so that SplitArguments gives it back unchanged:
// as it is when it needs no quotes, else quoted with its backslashes and
// quotes escaped.
std::string QuoteArgument(std::string_view argument);

// The program and arguments of a whole command line. A quoted program runs to
// its closing quote. An unquoted one is found as CreateProcess finds it: the
// text up to the first blank, then up to the next, and so on, until `exists`
// accepts it; the rest of the line is the arguments. `exists` gets a program
// text and returns the host file to run, or nothing.
struct ResolvedCommand {
  std::string Program;  // host path of the file to run
  std::vector<std::string> Arguments;
};
using ProgramLookup = std::optional<std::string> (*)(const std::string& programText);
std::optional<ResolvedCommand> ResolveCommandLine(std::string_view commandLine, ProgramLookup lookup);

// The program as the command line writes it: the quoted text, or the text up
// to the first blank. For messages about a program that cannot start.
std::string ProgramText(std::string_view commandLine);

// Why the program of a command line could not be started, found where
// starting it would look ("X was not found", "X may not be run: it has no
// execute permission"), or empty when it can: to check before work that only
// makes sense if it can run. A Windows program runs through wine whatever
// its permissions.
std::string ProgramProblem(std::string_view commandLine);

#ifndef _WIN32
// The default lookup on POSIX hosts: the program text as a Windows path, as
// given then with ".exe"; a bare name (no folder) is also searched along
// $PATH. (On Windows, CreateProcessA finds the program itself.)
std::optional<std::string> FindProgram(const std::string& programText);
#endif

}  // namespace platform
