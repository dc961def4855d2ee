// Hidden starts on Windows: the build watches the resource compiler end, and
// ends it (with whatever it started) when it waits for it no longer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/Process.h"
#include "tests/TestWorld.h"

namespace {

class HiddenStartTest : public testing_world::TestWorld {
 protected:
  // The beater program, built beside this test program.
  static std::string Beater() { return (std::filesystem::path(_pgmptr).parent_path() / "beater.exe").string(); }
  std::uintmax_t Beats() const {
    std::error_code missing;
    std::uintmax_t size = std::filesystem::file_size("C:\\beats", missing);
    return missing ? 0 : size;
  }
  template <class Condition>
  static bool Within(std::chrono::milliseconds bound, Condition condition) {
    for (auto end = std::chrono::steady_clock::now() + bound; std::chrono::steady_clock::now() < end;) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
  }
};

TEST_F(HiddenStartTest, EndingAProgramEndsWhatItStartedToo) {
  std::unique_ptr<platform::StartedProcess> program = platform::StartHidden("\"" + Beater() + "\" C:\\beats --spawn");
  ASSERT_TRUE(program);
  // Both the program and its copy beat: twice as fast as one would.
  ASSERT_TRUE(Within(std::chrono::seconds(10), [&] { return Beats() >= 20; }));
  EXPECT_FALSE(program->HasExited());
  program->Terminate();
  EXPECT_TRUE(Within(std::chrono::seconds(5), [&] { return program->HasExited(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::uintmax_t after = Beats();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(Beats(), after) << "something still beats after the program was ended";
}

TEST_F(HiddenStartTest, AProgramThatEndsIsSeenToEndAndOneThatCannotStartGivesNothing) {
  std::unique_ptr<platform::StartedProcess> program = platform::StartHidden("cmd /c exit 3");
  ASSERT_TRUE(program);
  EXPECT_TRUE(Within(std::chrono::seconds(10), [&] { return program->HasExited(); }));
  program->Terminate();  // no effect on an ended program
  EXPECT_FALSE(platform::StartHidden("C:\\No\\Such\\Program.exe"));
}

}  // namespace
