// STAND-IN for the .NET SDK resource compiler, as a Windows console program.
// "ResGen.exe /compile in.resx,out.resources" writes out.resources: a short
// header followed by the .resx text, as the shell script of the example's
// toolchain does. The paths are the Windows paths it is given.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {
void Say(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}
}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3 || std::string(argv[1]) != "/compile") {
    Say("Usage: ResGen.exe /compile in.resx,out.resources");
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    const std::string pair = argv[i];
    const size_t comma = pair.find(',');
    const std::string in = pair.substr(0, comma);
    const std::string out = comma == std::string::npos ? pair : pair.substr(comma + 1);
    std::ifstream source(in, std::ios::binary);
    if (!source) {
      Say("ResGen: Error: cannot find '" + in + "'");
      return 1;
    }
    std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    {
      std::ofstream target(out + ".tmp", std::ios::binary);
      target << "STAND-IN RESOURCES\r\n" << text;
    }
    std::error_code ignored;
    std::filesystem::rename(out + ".tmp", out, ignored);
    Say("Read and wrote resources for '" + in + "'");
  }
  return 0;
}
