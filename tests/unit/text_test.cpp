#include "app/text.h"

#include <gtest/gtest.h>

#include <string>

#include "os/sim/machine.h"

namespace {

TEST(NetworkPath, DoubleBackslashIsFoundByCharacterNotByByte) {
  os::sim::Machine machine;
  EXPECT_TRUE(app::ContainsDoubleBackslash("\\\\host\\share\\kestrova.exe"));
  EXPECT_TRUE(app::ContainsDoubleBackslash("C:\\dir\\\\kestrova.exe"));
  EXPECT_FALSE(app::ContainsDoubleBackslash("Z:\\tools\\kestrova.exe"));
  EXPECT_FALSE(app::ContainsDoubleBackslash(""));
  // 0x95 0x5C is one Shift-JIS character (its trail byte is a backslash).
  const std::string dbcs = "C:\\\x95\x5C\\kestrova.exe";
  EXPECT_TRUE(app::ContainsDoubleBackslash(dbcs)) << "in code page 1252 these are bytes";
  machine.codePage = 932;
  EXPECT_FALSE(app::ContainsDoubleBackslash(dbcs)) << "a match on a trail byte does not count";
  EXPECT_TRUE(app::ContainsDoubleBackslash("\\\\\x95\x5C\\share\\kestrova.exe"));
}

}  // namespace
