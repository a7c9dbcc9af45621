// The libraries the program names at run time: each loaded by its full path
// in the system folder, after the library search is kept to that folder
// where Windows can. Wine prefers its own copies of these libraries to any
// beside the program, so only the simulated machine shows what was asked.
#include "os/libraries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/sim/machine.h"

namespace {

using Calls = std::vector<std::string>;

const std::string kLoadTheme = "LoadLibraryA(C:\\Windows\\system32\\uxtheme.dll)";
const std::string kLoadNetwork = "LoadLibraryA(C:\\Windows\\system32\\mpr.dll)";
const std::string kSearchSystem32 = "SetDefaultDllDirectories(0x800)";
const std::string kNoCurrentFolder = "SetDllDirectoryA(\"\")";

struct Windows {
  const char* name;
  std::set<std::string> kernelCalls;  // which of the two search calls it has
  bool hasTheme;                      // uxtheme.dll in the system folder
  Calls expected;                     // search settings and loads, in order
};

void PrintTo(const Windows& w, std::ostream* out) { *out << w.name; }

class OptionalCalls : public ::testing::TestWithParam<Windows> {
 protected:
  // The optional calls as looked up on this machine.
  os::Win32Api Bound() {
    os::Win32Api table = machine.table();
#define KESTROVA_FORGET_CALL(ret, name, params) table.name = nullptr;
    KESTROVA_OPTIONAL_CALLS(KESTROVA_FORGET_CALL)
#undef KESTROVA_FORGET_CALL
    os::BindOptionalCalls(table);
    return table;
  }
  // The calls that set the search or load a library, without the look-ups
  // of modules already in the process.
  Calls SearchesAndLoads() const {
    Calls calls;
    for (const std::string& call : machine.libraryCalls)
      if (call.rfind("GetModuleHandleA(", 0) != 0) calls.push_back(call);
    return calls;
  }
  os::sim::Machine machine;
};

TEST_P(OptionalCalls, LoadsOnlyFromTheSystemFolderAfterRestrictingTheSearch) {
  const Windows& windows = GetParam();
  machine.systemLibraries["kernel32.dll"] = windows.kernelCalls;
  if (!windows.hasTheme) machine.systemLibraries.erase("uxtheme.dll");
  const os::Win32Api table = Bound();
  EXPECT_EQ(SearchesAndLoads(), windows.expected);
  EXPECT_EQ(table.IsAppThemed != nullptr, windows.hasTheme);
  EXPECT_NE(table.WNetGetConnectionA, nullptr) << "the connection look-up, from mpr.dll";
}

INSTANTIATE_TEST_SUITE_P(
    Versions, OptionalCalls,
    ::testing::Values(
        Windows{"Windows10", {"SetDefaultDllDirectories", "SetDllDirectoryA"}, true,
                {kSearchSystem32, kNoCurrentFolder, kLoadTheme, kLoadNetwork}},
        Windows{"WindowsXPSP2", {"SetDllDirectoryA"}, true,
                {kNoCurrentFolder, kLoadTheme, kLoadNetwork}},
        Windows{"Windows2000", {}, false, {kLoadTheme, kLoadNetwork}}),
    [](const ::testing::TestParamInfo<Windows>& info) { return std::string(info.param.name); });

TEST_F(OptionalCalls, AnUnreadableSystemFolderLoadsNothingRatherThanSearch) {
  machine.systemDirectory.clear();
  const os::Win32Api table = Bound();
  EXPECT_EQ(SearchesAndLoads(), (Calls{kSearchSystem32, kNoCurrentFolder}));
  EXPECT_EQ(table.IsAppThemed, nullptr);
  EXPECT_EQ(table.WNetGetConnectionA, nullptr);
}

}  // namespace
