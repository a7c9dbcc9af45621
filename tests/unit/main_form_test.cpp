// The main window's handlers against the simulated machine and real images,
// with the window itself stood in for by the controls' state.
#include "ui/main_form.h"

#include <gtest/gtest.h>

#include "os/sim/machine.h"
#include "tests/support/fake_form.h"
#include "tests/unit/volume_fixtures.h"

namespace {

using namespace volume_test;
using ui::ControlId;

using Form = testing_support::FakeForm;

constexpr DWORD kImageSerial = 0x12345678;

class MainForm : public ::testing::Test {
 protected:
  os::sim::Machine machine;
  os::sim::VolumeWorld& world = machine.volumes();
  TempDir dir;
  Form form;

  std::string MountImage(char letter, Kind kind, const std::string& label = "DATA") {
    std::string image = MakeImage(dir, std::string(1, letter) + ".img",
                                  {kind, 512, kImageSerial, label});
    world.Mount(letter, image);
    return image;
  }
  void UseNineX() { machine.SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10); }
};

TEST_F(MainForm, RefreshShowsFileSystemLabelAndTheBootSectorsSerialOnNt) {
  MountImage('c', Kind::kFat16);
  form.entry = "ABCDEF01";
  form.okEnabled = true;
  form.handlers.drvcbDriveExit();
  EXPECT_EQ(form.captions[ui::idPnlFileSystem], "FAT");
  EXPECT_EQ(form.captions[ui::idPnlVLBL], "DATA");
  EXPECT_EQ(form.captions[ui::idPnlVSN], "1234-5678[12345678]");
  EXPECT_EQ(form.entry, "");
  EXPECT_FALSE(form.okEnabled);
}

TEST_F(MainForm, RefreshOnNineXShowsTheQueryForm) {
  UseNineX();
  MountImage('c', Kind::kFat32);
  form.handlers.drvcbDriveExit();
  EXPECT_EQ(form.captions[ui::idPnlFileSystem], "FAT32");
  EXPECT_EQ(form.captions[ui::idPnlVSN], "1234-5678(12345678)");
  EXPECT_EQ(world.CountCalls("CreateFileA"), 0) << "no raw access on the 9x family";
}

TEST_F(MainForm, OKFollowsTheEntryLengthInBytes) {
  MountImage('c', Kind::kFat16);
  form.handlers.drvcbDriveExit();
  form.Type("1234567");
  EXPECT_FALSE(form.okEnabled);
  form.Type("12345678");
  EXPECT_TRUE(form.okEnabled);
  form.Type("1234567");
  EXPECT_FALSE(form.okEnabled);
  form.Type("1234\x83\x41" "56");  // a double-byte character counts as two
  EXPECT_TRUE(form.okEnabled);
}

TEST_F(MainForm, WriteOnNtChangesTheSlotAndShowsWhatTheSystemReports) {
  const std::string image = MountImage('c', Kind::kFat16);
  const std::string before = CopyOf(image, dir.Path("before.img"));
  form.handlers.drvcbDriveExit();
  form.Type("CAFEF00D");
  form.handlers.bbnOKClick();
  EXPECT_EQ(ChangedOffsets(before, image), SlotOffsets(Kind::kFat16));
  EXPECT_EQ(FatlabelSerial(image), "CAFEF00D");
  EXPECT_EQ(form.captions[ui::idPnlVSN], "1234-5678(12345678)") << "the mounted volume's serial";
  EXPECT_EQ(form.entry, "");
  EXPECT_FALSE(form.okEnabled);
  EXPECT_EQ(form.selectorFocused, 1);
  EXPECT_TRUE(machine.dialogs.empty());
  world.Remount('c');
  form.handlers.drvcbDriveExit();
  EXPECT_EQ(form.captions[ui::idPnlVSN], "cafe-f00d[cafef00d]");
}

TEST_F(MainForm, ACloseDuringTheOKDialogWaitsForTheHandlerWhichWritesWhatWasTyped) {
  const std::string image = MountImage('c', Kind::kFat16);
  form.handlers.drvcbDriveExit();
  form.Type("CAFEF00D");
  // The query fails at OK time while the raw device answers; End task
  // closes the window while the query's dialog is open.
  world.drive('c').queryError = ERROR_NOT_READY;
  machine.whileDialogOpen = [&](const os::sim::DialogRecord&) {
    world.drive('c').queryError = 0;
    if (form.handlers.CanCloseNow()) form.Destroy();  // what the window does with WM_CLOSE
  };
  form.handlers.bbnOKClick();
  EXPECT_EQ(FatlabelSerial(image), "CAFEF00D");
  EXPECT_EQ(form.closesRepeated, 1) << "the close is asked for again once the handler returned";
  EXPECT_TRUE(form.handlers.CanCloseNow());
}

TEST_F(MainForm, WriteOnNineXSendsTheMediaIdRequestAndLeavesTheBootSectorToDos) {
  UseNineX();
  const std::string image = MountImage('c', Kind::kFat16);
  form.handlers.drvcbDriveExit();
  form.Type("cafef00d");
  form.handlers.bbnOKClick();
  EXPECT_EQ(world.CountCalls("CreateFileA(\\\\.\\vwin32"), 1);
  EXPECT_EQ(world.dosRequests.size(), 3u) << "get, set and the confirming get";
  EXPECT_EQ(FatlabelSerial(image), "CAFEF00D") << "the simulated DOS applied it";
  EXPECT_TRUE(machine.dialogs.empty());
}

TEST_F(MainForm, AnEmptyDriveShowsOneDialogAndKeepsTheOtherPanels) {
  MountImage('c', Kind::kFat16);
  form.handlers.drvcbDriveExit();
  world.AddEmptyDrive('a', DRIVE_REMOVABLE);
  form.selected = 'a';
  form.Type("ABCD1234");
  ASSERT_TRUE(form.okEnabled);
  form.handlers.drvcbDriveExit();
  ASSERT_EQ(machine.dialogs.size(), 1u);
  EXPECT_EQ(machine.dialogs[0].TextUtf8(), "The device is not ready.\r\n\n(Code:00000021)\n");
  EXPECT_EQ(form.captions[ui::idPnlFileSystem], "NotReady");
  EXPECT_EQ(form.captions[ui::idPnlVLBL], "DATA");
  EXPECT_EQ(form.captions[ui::idPnlVSN], "1234-5678[12345678]");
  EXPECT_EQ(form.entry, "ABCD1234");
  EXPECT_TRUE(form.okEnabled) << "the refresh stopped before touching OK";
  form.handlers.edtNVSNChange();  // moving into the entry
  EXPECT_FALSE(form.okEnabled) << "\"Not\" in the file-system panel";
}

TEST_F(MainForm, ACdDriveShowsItsMarkerAndOKStaysDisabled) {
  const std::string iso = MakeIso(dir, "d.iso", "DISC");
  world.Mount('d', iso, DRIVE_CDROM);
  form.selected = 'd';
  form.handlers.drvcbDriveExit();
  EXPECT_EQ(form.captions[ui::idPnlFileSystem], "CDFS");
  EXPECT_EQ(form.captions[ui::idPnlVSN], "[--CDFS--]");
  form.Type("12345678");
  EXPECT_FALSE(form.okEnabled);
}

TEST_F(MainForm, AnUnknownFileSystemIsWrittenOnlyThroughDos) {
  const std::string image = MountImage('c', Kind::kFat16);
  world.drive('c').fileSystemName = "exFAT";
  const std::string before = CopyOf(image, dir.Path("before.img"));
  form.handlers.drvcbDriveExit();
  EXPECT_FALSE(form.okEnabled);
  form.Type("CAFEF00D");
  EXPECT_TRUE(form.okEnabled) << "neither DF nor Not";
  form.handlers.bbnOKClick();
  EXPECT_TRUE(ChangedOffsets(before, image).empty()) << "nothing written on the NT family";
  UseNineX();
  form.Type("CAFEF00D");
  form.handlers.bbnOKClick();
  EXPECT_EQ(world.dosRequests.size(), 3u) << "get, set and the confirming get";
}

TEST_F(MainForm, ANetworkDriveIsRefusedAndNothingIsWritten) {
  MountImage('z', Kind::kFat16);
  form.selected = 'z';
  form.selectorText = "z: \\\\server\\share";
  form.handlers.drvcbDriveExit();
  form.Type("CAFEF00D");
  const size_t callsBefore = world.calls.size();
  form.handlers.bbnOKClick();
  ASSERT_EQ(machine.dialogs.size(), 1u);
  EXPECT_EQ(machine.dialogs[0].TextUtf8(), "Can not use me for a network drive");
  EXPECT_EQ(world.calls.size(), callsBefore) << "not even a query";
  EXPECT_EQ(form.entry, "CAFEF00D");
}

TEST_F(MainForm, WithNoCurrentDriveNothingIsQueriedAndNothingWritten) {
  MountImage('c', Kind::kFat16);
  form.selected = '\0';
  form.selectorText = "";
  form.handlers.FormShow();
  EXPECT_TRUE(world.calls.empty());
  EXPECT_EQ(form.captions[ui::idPnlFileSystem], ui::kInitialPanelCaption);
  EXPECT_EQ(form.selectorFocused, 1);
  form.Type("CAFEF00D");
  EXPECT_TRUE(form.okEnabled) << "the OK rule is unchanged";
  form.handlers.bbnOKClick();
  ASSERT_EQ(machine.dialogs.size(), 1u);
  EXPECT_EQ(machine.dialogs[0].TextUtf8(), "No drive is selected.");
  EXPECT_TRUE(world.calls.empty());
}

TEST_F(MainForm, OKWritesOnlyToTheDriveThePanelsShow) {
  const std::string c = MountImage('c', Kind::kFat16), d = MountImage('d', Kind::kFat32, "OTHER");
  const std::string cBefore = CopyOf(c, dir.Path("c.before")), dBefore = CopyOf(d, dir.Path("d.before"));
  form.handlers.drvcbDriveExit();
  form.Type("CAFEF00D");
  form.selected = 'd';  // chosen in the selector, not yet left
  form.handlers.bbnOKClick();
  EXPECT_TRUE(ChangedOffsets(cBefore, c).empty());
  EXPECT_TRUE(ChangedOffsets(dBefore, d).empty()) << "nothing written to a drive not shown";
  EXPECT_EQ(form.captions[ui::idPnlVLBL], "OTHER") << "the panels caught up with the selector";
  EXPECT_EQ(form.entry, "");
  EXPECT_FALSE(form.okEnabled);
  form.Type("CAFEF00D");
  form.handlers.bbnOKClick();
  EXPECT_EQ(FatlabelSerial(d), "CAFEF00D") << "then the ordinary path writes";
  EXPECT_TRUE(machine.dialogs.empty());
}

TEST_F(MainForm, OKAfterARefreshThatStoppedAtNotReadyWritesNothing) {
  const std::string c = MountImage('c', Kind::kFat16);
  const std::string before = CopyOf(c, dir.Path("before.img"));
  world.AddEmptyDrive('a', DRIVE_REMOVABLE);
  form.handlers.drvcbDriveExit();
  form.Type("CAFEF00D");
  form.selected = 'a';
  form.handlers.drvcbDriveExit();  // the press on OK leaves the selector first
  form.handlers.bbnOKClick();
  EXPECT_EQ(machine.dialogs.size(), 1u) << "the refresh's one box, and no more";
  EXPECT_FALSE(form.okEnabled) << "OK follows \"NotReady\" now";
  EXPECT_EQ(form.entry, "CAFEF00D");
  EXPECT_TRUE(ChangedOffsets(before, c).empty());
}

TEST(OKRule, NeedsEightBytesAndAWritableCaption) {
  EXPECT_TRUE(ui::OKEnabledFor("FAT", "12345678"));
  EXPECT_TRUE(ui::OKEnabledFor("Please Wait Moment...", "12345678"));
  EXPECT_FALSE(ui::OKEnabledFor("CDFS", "12345678"));
  EXPECT_FALSE(ui::OKEnabledFor("UDFS", "12345678"));
  EXPECT_FALSE(ui::OKEnabledFor("NotReady", "12345678"));
  EXPECT_TRUE(ui::OKEnabledFor("notready", "12345678")) << "case-sensitive";
  EXPECT_FALSE(ui::OKEnabledFor("NTFS", "1234567"));
  EXPECT_FALSE(ui::OKEnabledFor("NTFS", "123456789"));
}

}  // namespace
