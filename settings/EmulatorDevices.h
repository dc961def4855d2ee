#pragma once
// The target devices of the emulator page, with the screen size each sets.
namespace settings {

struct EmulatorDevice {
  const char* Entry;
  const char* Width;
  const char* Height;
};

inline constexpr EmulatorDevice EmulatorDevices[9] = {
    {"SmartPhone2003            176x220", "176", "220"},   {"Windows Mobile2003      240 x 320", "240", "320"},
    {"Windows Mobile2003-SE 240 x 320", "240", "320"},     {"Windows Mobile2003-SE 320 x 240", "320", "240"},
    {"Windows Mobile5.0         240 x 320", "240", "320"}, {"Windows Mobile5.0         320 x 240", "320", "240"},
    {"Windows Mobile5.0         240 x 240", "240", "240"}, {"Windows Mobile5.0         480 x 480", "480", "480"},
    {"Windows Mobile5.0         640 x 480", "640", "480"},
};

}  // namespace settings
