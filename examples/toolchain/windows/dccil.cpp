// STAND-IN for the Delphi for .NET command-line compiler, as a Windows
// console program, for trying TidewellKit on Windows (or under Wine) without
// the real toolchain. It does what the shell script beside the example's
// toolchain does, byte for byte: it compiles nothing; it reads the project
// file named on its command line (from the current folder), prints a
// plausible compiler transcript, reports "Unit.pas(N) Error: ..." for every
// source line holding the marker {!error}, and, when there is none, writes
// the output program (a small text file) as PROJECT.exe in the current folder.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Say(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

bool Slurp(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

std::string AfterLastSeparator(const std::string& s, const char* separators) {
  size_t at = s.find_last_of(separators);
  return at == std::string::npos ? s : s.substr(at + 1);
}

// Counts the file's lines into `total` and reports every line that holds
// the error marker. Lines end as editors end them: CR LF, LF, or a CR alone.
int Check(const std::string& file, const std::string& shown, long& total) {
  std::string text;
  for (size_t i = 0; i < file.size(); ++i) {
    if (file[i] != '\r') text += file[i];
    else if (i + 1 == file.size() || file[i + 1] != '\n') text += '\n';
  }
  int errors = 0;
  long line = 1;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string content = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (content.find("{!error}") != std::string::npos) {
      Say(shown + "(" + std::to_string(line) + ") Error: Marked as wrong by the stand-in compiler");
      ++errors;
    }
    if (end == std::string::npos) break;
    ++total;
    ++line;
    start = end + 1;
  }
  return errors;
}

// The quoted 'Name.pas' texts of the project file, in order.
std::vector<std::string> QuotedUnits(const std::string& text) {
  std::vector<std::string> units;
  size_t open = text.find('\'');
  while (open != std::string::npos) {
    size_t close = text.find('\'', open + 1);
    if (close == std::string::npos) break;
    std::string inside = text.substr(open + 1, close - open - 1);
    if (inside.find('\n') == std::string::npos && inside.size() >= 4 &&
        inside.compare(inside.size() - 4, 4, ".pas") == 0) {
      units.push_back(inside);
      open = text.find('\'', close + 1);
    } else {
      open = close;
    }
  }
  return units;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // line feeds, as the script writes them
  std::string project;
  for (int i = 1; i < argc; ++i) {
    std::string arg = Lower(argv[i]);
    if (arg.size() >= 4 && (arg.compare(arg.size() - 4, 4, ".dpr") == 0 || arg.compare(arg.size() - 4, 4, ".dpk") == 0))
      project = argv[i];
  }
  Say("TidewellKit stand-in compiler (dccil command line), not a real compiler");
  if (project.empty()) {
    Say("Fatal: No project file given");
    return 1;
  }
  const std::string name = AfterLastSeparator(project, "\\/");
  const std::string base = name.substr(0, name.find_last_of('.'));
  std::string source;
  if (!Slurp(name, source)) {
    Say("Fatal: File not found: '" + name + "'");
    return 1;
  }
  std::string withoutCr;
  for (char c : source)
    if (c != '\r') withoutCr += c;

  int errors = 0;
  long total = 0;
  for (const std::string& quoted : QuotedUnits(withoutCr)) {
    const std::string unit = AfterLastSeparator(quoted, "\\");
    Say(unit);
    std::string text;
    if (Slurp(unit, text)) {
      errors += Check(text, unit, total);
    } else {
      Say(name + "(1) Fatal: File not found: '" + unit + "'");
      ++errors;
    }
  }
  Say(name);
  errors += Check(source, name, total);
  if (errors > 0) {
    Say(name + "(" + std::to_string(total) + ") Fatal: Could not compile program");
    return 1;
  }
  Say(std::to_string(total) + " lines, 0.04 seconds, 4096 bytes code, 512 bytes data.");
  std::ofstream(base + ".exe", std::ios::binary) << "Stand-in program for " << base << "\r\n";
  return 0;
}
