#include "platform/CommandLine.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "platform/WinPath.h"
#include "platform/Files.h"

namespace platform {

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = text.size();
  while (true) {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      char c = text[i];
      if (!quoted && (c == ' ' || c == '\t')) break;
      if (c == '\\') {
        size_t slashes = 0;
        while (i < n && text[i] == '\\') ++slashes, ++i;
        if (i < n && text[i] == '"') {
          arg.append(slashes / 2, '\\');
          if (slashes % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(slashes, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && text[i + 1] == '"') {
          arg += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::optional<ResolvedCommand> ResolveCommandLine(std::string_view line, ProgramLookup lookup) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i >= line.size()) return std::nullopt;
  if (line[i] == '"') {
    size_t close = line.find('"', i + 1);
    std::string program(line.substr(i + 1, (close == std::string_view::npos ? line.size() : close) - i - 1));
    std::optional<std::string> host = lookup(program);
    if (!host) return std::nullopt;
    std::string_view rest = close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
    return ResolvedCommand{*host, SplitArguments(rest)};
  }
  size_t end = i;
  while (true) {
    end = line.find_first_of(" \t", end);
    if (end == std::string_view::npos) end = line.size();
    if (std::optional<std::string> host = lookup(std::string(line.substr(i, end - i))))
      return ResolvedCommand{*host, SplitArguments(line.substr(end))};
    if (end >= line.size()) return std::nullopt;
    ++end;
  }
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) return std::string(argument);
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');  // before the closing quote
  return quoted + "\"";
}

std::string ProgramText(std::string_view line) {
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string_view::npos) return {};
  if (line[i] == '"') {
    size_t close = line.find('"', i + 1);
    return std::string(line.substr(i + 1, (close == std::string_view::npos ? line.size() : close) - i - 1));
  }
  size_t end = line.find_first_of(" \t", i);
  return std::string(line.substr(i, (end == std::string_view::npos ? line.size() : end) - i));
}

#ifndef _WIN32

namespace {
bool IsRunnableFile(const std::string& host) {
  struct stat st;
  return !host.empty() && ::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

std::optional<std::string> FindProgram(const std::string& programText) {
  if (programText.empty()) return std::nullopt;
  for (const std::string& candidate : {programText, programText + ".exe"}) {
    std::string host = ToHostPath(candidate);
    if (IsRunnableFile(host)) return host;
  }
  if (programText.find_first_of("\\/:") != std::string::npos) return std::nullopt;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + programText;
    if (end > start && IsRunnableFile(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

#endif

std::string ProgramProblem(std::string_view commandLine) {
  const std::string program = ProgramText(commandLine);
#ifdef _WIN32
  // As CreateProcessA looks for it: as named, then with ".exe".
  if (!program.empty() && (FileExists(program) || FileExists(program + ".exe"))) return {};
#else
  const std::optional<ResolvedCommand> command = ResolveCommandLine(commandLine, &FindProgram);
  if (command) {
    char magic[2] = {0, 0};
    if (FILE* f = std::fopen(command->Program.c_str(), "rb")) {
      (void)!std::fread(magic, 1, 2, f);
      std::fclose(f);
    }
    const bool windows = magic[0] == 'M' && magic[1] == 'Z';
    if (windows || ::access(command->Program.c_str(), X_OK) == 0) return {};
    return program + " may not be run: it has no execute permission";
  }
#endif
  return program + " was not found";
}

}  // namespace platform
