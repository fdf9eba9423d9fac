// hid-emulate's answers before any device reaches the kernel: bad input, a
// missing /dev/uhid, and a run with nothing to show.
#include <gtest/gtest.h>

#include <cstdio>

#include "emulator.h"
#include "hidhost/sim.h"

namespace hidhost::uhid {
namespace {

std::string Contents(std::FILE* f) {
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(Emulator, SaysWhatIsWrongInOneLineBeforeMakingAnyDevice) {
  std::string simulationLine;
  sim::SimulatedHost::Create("nosuch", std::make_shared<sim::VirtualClock>(), &simulationLine);
  struct Case {
    const char* name;
    std::string source, uhidPath;
    std::optional<uint64_t> seconds;
    int status;
    std::string err;
  } cases[] = {
      {"bad input, as HID_SIMULATION says it", "nosuch", "/nonexistent/uhid", {}, 2, simulationLine + "\n"},
      {"no uhid module", "reader", "/nonexistent/uhid", {}, 1,
       "hid-emulate: /nonexistent/uhid is missing: load the uhid module (modprobe uhid)\n"},
      {"nothing to show", "none", "/nonexistent/uhid", 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    EmulatorOptions options;
    options.source = c.source;
    options.uhidPath = c.uhidPath;
    options.seconds = c.seconds;
    EXPECT_EQ(RunEmulator(options, out, err), c.status);
    EXPECT_EQ(Contents(err), c.err);
    EXPECT_EQ(Contents(out), "");
    std::fclose(out);
    std::fclose(err);
  }
}

}  // namespace
}  // namespace hidhost::uhid
