#include "app/dialogs.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "app/exceptions.h"
#include "app/text.h"
#include "os/sim/machine.h"

namespace {

using os::sim::Machine;

class Dialogs : public ::testing::Test {
 protected:
  Machine machine;
  const os::sim::DialogRecord& OnlyDialog() {
    EXPECT_EQ(machine.dialogs.size(), 1u);
    return machine.dialogs.at(0);
  }
};

TEST_F(Dialogs, ErrorDialogIsATaskModalErrorBoxCaptionedInJapanese) {
  app::ShowErrorDialog("Memory!");
  const auto& d = OnlyDialog();
  EXPECT_EQ(d.CaptionUtf8(), "エラー");
  EXPECT_EQ(d.TextUtf8(), "Memory!");
  EXPECT_EQ(d.type, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  EXPECT_EQ(d.owner, nullptr);
}

HWND Window(std::uintptr_t n) { return reinterpret_cast<HWND>(n); }

TEST_F(Dialogs, OnceTheWindowIsShownItOwnsTheBoxesAndIsActiveAgainAfterThem) {
  machine.activeWindow = Window(1);
  app::SetDialogOwner(Window(1));
  app::ShowErrorDialog("Refresh");
  app::ShowCaughtException(std::make_exception_ptr(app::EOutOfResources(app::ToWide("x"))));
  app::SetDialogOwner(nullptr);
  ASSERT_EQ(machine.dialogs.size(), 2u);
  EXPECT_EQ(machine.dialogs[0].owner, Window(1));
  EXPECT_EQ(machine.dialogs[1].owner, Window(1));
  EXPECT_EQ(machine.activeWindow, Window(1)) << "not some other program's window";
  app::ShowErrorDialog("Gone");
  EXPECT_EQ(machine.dialogs[2].owner, nullptr);
}

TEST_F(Dialogs, ErrorDialogConvertsTheAnsiText) {
  app::ShowErrorDialog("caf\xE9 \x80");
  EXPECT_EQ(OnlyDialog().TextUtf8(), "caf\u00E9 \u20AC");
}

TEST_F(Dialogs, SystemErrorShowsTheMessageAndTheLastErrorReadAfterTheLookUp) {
  machine.lastError = ERROR_NOT_READY;
  app::ShowSystemError(ERROR_NOT_READY);
  EXPECT_EQ(OnlyDialog().TextUtf8(), "The device is not ready.\r\n\n(Code:00000021)\n");
  EXPECT_TRUE(machine.localAllocations.empty()) << "the system's buffer must be freed";
}

TEST_F(Dialogs, SystemErrorCanShowTheCallersOwnCode) {
  machine.lastError = ERROR_INVALID_HANDLE;
  app::ShowSystemError(ERROR_ACCESS_DENIED, app::ShownCode::CallersCode);
  EXPECT_EQ(OnlyDialog().TextUtf8(), "Access is denied.\r\n\n(Code:00000005)\n");
}

TEST_F(Dialogs, SystemErrorWithoutAMessageShowsAnEmptyTextAndTheCallersCode) {
  machine.lastError = 12345;
  app::ShowSystemError(12345);
  EXPECT_EQ(OnlyDialog().TextUtf8(), "\n(Code:00012345)\n");
  EXPECT_NE(machine.lastError, 12345u) << "the failed look-up left its own error";
}

TEST(ExceptionBox, AppendsAPeriodOnlyAfterCharactersAboveIt) {
  using app::WideText;
  auto box = [](const char16_t* s) {
    const WideText text = app::ExceptionBoxText(WideText(s, s + std::char_traits<char16_t>::length(s)));
    return std::u16string(text.begin(), text.end());
  };
  EXPECT_EQ(box(u""), u"");
  EXPECT_EQ(box(u"Out of memory"), u"Out of memory.");
  EXPECT_EQ(box(u"Done."), u"Done.");
  EXPECT_EQ(box(u"Why?!"), u"Why?!");   // '!' is below '.'
  EXPECT_EQ(box(u"sum+"), u"sum+");     // '+' is below '.'
  EXPECT_EQ(box(u"path/"), u"path/.");  // '/' is just above '.'
  EXPECT_EQ(box(u"行を挿入できません"), u"行を挿入できません.");
}

TEST(ExceptionBox, DoubleByteEndingFromTheAnsiCodePageGetsAPeriod) {
  Machine machine;
  machine.codePage = 932;
  const app::WideText message = app::ToWide("\x83\x47\x83\x89\x81\x5B");  // three DBCS chars
  ASSERT_EQ(message.size(), 3u);
  EXPECT_EQ(app::ExceptionBoxText(message).back(), WCHAR('.'));
}

TEST(ExceptionBox, TheLoopShowsBaseKindDropsAbortAndEmptiesForeignOnes) {
  Machine machine;
  app::ShowCaughtException(std::make_exception_ptr(app::EAbort()));
  EXPECT_TRUE(machine.dialogs.empty());
  app::ShowCaughtException(std::make_exception_ptr(app::EOutOfResources(app::ToWide("x"))));
  app::ShowCaughtException(std::make_exception_ptr(std::runtime_error("foreign")));
  ASSERT_EQ(machine.dialogs.size(), 2u);
  EXPECT_EQ(machine.dialogs[0].TextUtf8(), "x.");
  EXPECT_EQ(machine.dialogs[0].CaptionUtf8(), "KESTROVA FOR WINDOWS");
  EXPECT_EQ(machine.dialogs[0].type, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  EXPECT_EQ(machine.dialogs[1].TextUtf8(), "");
}

}  // namespace
