// A program for the Windows tests of hidden starts: "beater FILE [--spawn]"
// appends a dot to FILE every 20 ms until it is ended; with --spawn it first
// starts a copy of itself that beats too, so a test can see that ending a
// program ends what it started.
#include <process.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (argc > 2 && std::string(argv[2]) == "--spawn") _spawnl(_P_NOWAIT, argv[0], argv[0], argv[1], nullptr);
  for (;;) {
    if (FILE* f = std::fopen(argv[1], "ab")) {
      std::fputc('.', f);
      std::fclose(f);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}
