// The drive selector's list, built from the simulated machine's drives,
// and the case of its texts.
#include <gtest/gtest.h>

#include "app/exceptions.h"
#include "os/sim/machine.h"
#include "os/sim/volumes.h"
#include "tests/support/list_control.h"
#include "ui/drive_selector.h"

namespace {

using os::sim::Machine;
using testing_support::ListControl;
using ui::DriveGlyph;

// Floppy A, fixed C labelled System, an empty CD D, network Z on a share.
class ExampleMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& world = machine.volumes();
    world.AddEmptyDrive('a', DRIVE_REMOVABLE);
    world.AddDrive('c', DRIVE_FIXED).label = "System";
    world.AddEmptyDrive('d', DRIVE_CDROM);
    auto& z = world.AddDrive('z', DRIVE_REMOTE);
    z.remoteName = "\\\\Server\\Share";
    z.label = "NETLABEL";
    world.currentDirectory = "C:\\Users";
  }
  std::vector<DriveGlyph> Glyphs() const {
    std::vector<DriveGlyph> glyphs;
    glyphs.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) glyphs.push_back(selector.Glyph(i));
    return glyphs;
  }
  Machine machine;
  ListControl list;
  ui::TDriveComboBox selector{list};
};

TEST_F(ExampleMachine, ListsEveryDriveInLetterOrderWithItsGlyph) {
  selector.Construct();
  selector.CreateWnd();
  EXPECT_EQ(list.items, (std::vector<std::string>{"a:", "c: [system]", "d: []",
                                                  "z: \\\\server\\share"}));
  EXPECT_EQ(Glyphs(), (std::vector<DriveGlyph>{DriveGlyph::Floppy, DriveGlyph::Hard,
                                               DriveGlyph::CdRom, DriveGlyph::Network}));
  EXPECT_EQ(selector.SelectedDrive(), 'c') << "the directory's upper-case C, made lower case";
  EXPECT_EQ(selector.DisplayedText(), "c: [system]");
}

TEST_F(ExampleMachine, UpperCaseTextsKeepTheSelectedDrive) {
  selector.Construct();
  selector.CreateWnd();
  int changes = 0;
  selector.OnChange = [&] { ++changes; };
  selector.SetTextCase(ui::tcUpperCase);
  EXPECT_EQ(list.items, (std::vector<std::string>{"A:", "C: [SYSTEM]", "D: []",
                                                  "Z: \\\\SERVER\\SHARE"}));
  EXPECT_EQ(selector.SelectedDrive(), 'C');
  EXPECT_EQ(selector.DisplayedText(), "C: [SYSTEM]");
  EXPECT_EQ(changes, 1);
}

TEST_F(ExampleMachine, CreationRaisesOneChange) {
  int changes = 0;
  selector.OnChange = [&] { ++changes; };
  selector.Construct();
  selector.CreateWnd();
  EXPECT_EQ(changes, 1);
}

TEST_F(ExampleMachine, RemovableDrivesAreNeverQueriedAndPromptsStaySuppressed) {
  machine.volumes().errorMode = 0x8000;
  selector.Construct();
  selector.CreateWnd();
  for (const std::string& call : machine.volumes().calls)
    if (call.find("a:") != std::string::npos) {
      EXPECT_EQ(call.rfind("GetDriveTypeA", 0), 0u) << call;
    }
  EXPECT_EQ(machine.volumes().criticalErrorPrompts, 0) << "the empty CD was queried silently";
  EXPECT_EQ(machine.volumes().errorMode, 0x8000u) << "the previous error mode is restored";
  EXPECT_EQ(machine.volumes().CountCalls("SetErrorMode(0x1)"), 2) << "one per label query: c and d";
}

// Z:'s connection look-up fails with `error`; a volume query of Z fails
// with `queryError` (0: it reads the label).
struct FailedLookUp {
  DWORD error;
  DWORD queryError;
  const char* item;
  int volumeQueries;
};

class NetworkLookUp : public ExampleMachine, public ::testing::WithParamInterface<FailedLookUp> {};

TEST_P(NetworkLookUp, FallsBackToTheLabelUnlessTheNetworkIsUnavailable) {
  const FailedLookUp& row = GetParam();
  auto& z = machine.volumes().drive('z');
  z.connectionError = row.error;
  z.queryError = row.queryError;
  selector.Construct();
  selector.CreateWnd();
  EXPECT_EQ(list.items.back(), row.item);
  EXPECT_EQ(selector.Glyph(3), DriveGlyph::Network);
  EXPECT_EQ(machine.volumes().CountCalls("GetVolumeInformationA(z:"), row.volumeQueries)
      << "a volume query of an unreachable drive waits on a reconnection";
}

INSTANTIATE_TEST_SUITE_P(
    Errors, NetworkLookUp,
    ::testing::Values(FailedLookUp{ERROR_NOT_CONNECTED, 0, "z: [netlabel]", 1},
                      FailedLookUp{ERROR_EXTENDED_ERROR, 0, "z: [netlabel]", 1},
                      FailedLookUp{ERROR_CONNECTION_UNAVAIL, ERROR_CONNECTION_UNAVAIL, "z: []", 0},
                      FailedLookUp{ERROR_NO_NETWORK, ERROR_NO_NETWORK, "z: []", 0}));

TEST_F(ExampleMachine, WithoutTheNetworkLibraryANetworkDriveShowsItsBracketedLabel) {
  os::Win32Api withoutMpr = machine.table();
  withoutMpr.WNetGetConnectionA = nullptr;
  os::InstallApi(&withoutMpr);
  selector.Construct();
  selector.CreateWnd();
  EXPECT_EQ(list.items.back(), "z: [netlabel]");
}

TEST_F(ExampleMachine, ANetworkCurrentDirectoryLeavesNoDriveCurrent) {
  machine.volumes().currentDirectory = "\\\\server\\share\\dir";
  selector.Construct();
  selector.CreateWnd();
  EXPECT_TRUE(testing_support::NothingSelected(selector, list));
}

TEST_F(ExampleMachine, ARefusedItemStopsTheBuildWithTheOutOfResourcesError) {
  list.refuseAfter = 2;
  selector.Construct();
  try {
    selector.CreateWnd();
    FAIL() << "no exception";
  } catch (const app::EOutOfResources& e) {
    EXPECT_EQ(os::sim::Utf16ToUtf8(std::u16string(e.Message().begin(), e.Message().end())),
              "行を挿入できません");
  }
  EXPECT_EQ(list.items, (std::vector<std::string>{"a:", "c: [system]"})) << "the items so far stay";
}

TEST(DriveTypes, UnknownNoRootAndStrangeTypesAreNotListed) {
  Machine machine;
  auto& world = machine.volumes();
  world.AddDrive('e', DRIVE_UNKNOWN);
  world.AddDrive('f', DRIVE_NO_ROOT_DIR);
  world.AddDrive('g', 7);
  world.AddDrive('r', DRIVE_RAMDISK).label = "Ram";
  ListControl list;
  ui::TDriveComboBox selector{list};
  selector.CreateWnd();
  EXPECT_EQ(list.items, (std::vector<std::string>{"r: [ram]"}));
  EXPECT_EQ(selector.Glyph(0), DriveGlyph::Ram);
}

TEST(DriveTypes, NoListedDriveGivesAnEmptyListWithNothingCurrent) {
  Machine machine;
  machine.volumes().AddDrive('e', DRIVE_UNKNOWN);
  ListControl list;
  ui::TDriveComboBox selector{list};
  selector.Construct();
  selector.CreateWnd();
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(list.current, -1);
}

TEST(FileNameCase, DoubleByteLocaleChangesOnlyAsciiAndKeepsTrailBytes) {
  os::sim::Machine machine;
  EXPECT_EQ(ui::FileNameCase("DATA \xC9", true), "data \xE9") << "the locale's mapping";
  machine.codePage = 932;
  // 0x83 0x61 is one character whose trail byte looks like 'a'.
  EXPECT_EQ(ui::FileNameCase("\x83\x61" "ab\xC9", false), "\x83\x61" "AB\xC9");
}

}  // namespace
