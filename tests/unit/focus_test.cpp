// The main window's focus and key rules, with the window stood in for by a
// record of which control has the focus, which are enabled, and what ran.
#include "ui/focus.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using ui::ControlId;
using ui::WindowKey;
constexpr ControlId kSelector = ui::idDrvcbDrive, kEntry = ui::idEdtNVSN, kOK = ui::idBbnOK,
                    kQuit = ui::idBbnQuit, kNone = ui::idNone;

// The window as the focus rules see it: a focus change tells the entered
// control at once, as the platform's does; a handler may show a dialog,
// which takes the focus and, as it closes, activates the window again.
class FakeWindow : public ui::FocusView, public ui::FocusEvents {
 public:
  ControlId Focused() const override { return focused; }
  bool Enabled(ControlId id) const override { return disabled.count(id) == 0; }
  void MoveFocus(ControlId id) override {
    if (dialogOpen) return;  // the window is disabled meanwhile
    focused = id;
    keeper.Entered(id);
  }
  void RepaintButtons() override { ++repaints; }
  bool PressHeld() const override { return pressHeld; }
  void Close() override { ran.emplace_back("close"); }

  void drvcbDriveExit() override { Ran("exit"); }
  void edtNVSNChange() override { Ran("entered"); }
  void bbnOKClick() override { Ran("OK"); }

  void Ran(const std::string& what) {
    ran.push_back(what);
    if (what == "exit" && exitDisablesOK) {
      // What the window does when OK is disabled while it holds the focus.
      const bool held = keeper.Holds(kOK);
      disabled.insert(kOK);
      if (held) keeper.Give(kSelector);
    }
    if (dialogFor != what) return;
    // A dialog: the focus leaves the window's controls, then comes back
    // through activation once the dialog is closed.
    const ControlId before = focused;
    focused = kNone;
    dialogOpen = true;
    pressHeld = false;  // the dialog took the mouse button's release
    dialogOpen = false;
    if (!keeper.Reactivated(false)) focused = before;
  }

  ControlId focused = kNone;
  std::set<ControlId> disabled{kOK};
  bool pressHeld = true;
  bool dialogOpen = false;
  bool exitDisablesOK = false;
  std::string dialogFor;
  int repaints = 0;
  std::vector<std::string> ran;
  ui::FocusKeeper keeper{*this, *this};
};

// A shown window with the focus on `start`, nothing run yet.
struct Shown : FakeWindow {
  explicit Shown(ControlId start, bool okEnabled = false) {
    if (okEnabled) disabled.clear();
    keeper.Give(start);
    keeper.WindowShown();
    ran.clear();
    repaints = 0;
  }
};

TEST(FocusOrder, IsTheDesignsTabOrderOfTheControlsThatTakeTheFocus) {
  EXPECT_EQ(ui::FocusOrder(), (std::vector<ControlId>{kSelector, kEntry, kOK, kQuit}));
}

struct TabRow {
  ControlId from;
  WindowKey key;
  bool okEnabled;
  ControlId to;
  std::vector<std::string> ran;
};

class Tab : public ::testing::TestWithParam<TabRow> {};

TEST_P(Tab, MovesAlongTheOrderPassingOverADisabledOKAndLeavingTheSelectorRunsItsExit) {
  const TabRow& row = GetParam();
  Shown window(row.from, row.okEnabled);
  EXPECT_TRUE(window.keeper.KeyPressed(row.key, false));
  EXPECT_EQ(window.focused, row.to);
  EXPECT_EQ(window.ran, row.ran);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Tab,
    ::testing::Values(TabRow{kSelector, WindowKey::Tab, false, kEntry, {"exit", "entered"}},
                      TabRow{kEntry, WindowKey::Tab, false, kQuit, {}},
                      TabRow{kEntry, WindowKey::Tab, true, kOK, {}},
                      TabRow{kQuit, WindowKey::Tab, false, kSelector, {}},
                      TabRow{kSelector, WindowKey::ShiftTab, false, kQuit, {"exit"}},
                      TabRow{kOK, WindowKey::ShiftTab, true, kEntry, {"entered"}}));

TEST(Tab, FromNoControlStartsCountingAtTheFirst) {
  const auto enabled = [](ControlId id) { return id != kOK; };
  EXPECT_EQ(ui::NextInFocusOrder(kNone, true, enabled), kEntry);
  EXPECT_EQ(ui::NextInFocusOrder(kNone, false, enabled), kQuit);
  EXPECT_EQ(ui::NextInFocusOrder(kSelector, true, [](ControlId) { return false; }), kNone);
}

struct EnterRow {
  ControlId focused;
  bool listDropped;
  bool okEnabled;
  bool consumed;
  std::vector<std::string> ran;
};

class Enter : public ::testing::TestWithParam<EnterRow> {};

TEST_P(Enter, GoesToTheFocusedButtonOrTheDefaultOneUnlessTheListIsOpen) {
  const EnterRow& row = GetParam();
  Shown window(row.focused, row.okEnabled);
  EXPECT_EQ(window.keeper.KeyPressed(WindowKey::Enter, row.listDropped), row.consumed);
  EXPECT_EQ(window.ran, row.ran);
  EXPECT_EQ(window.focused, row.focused) << "Enter moves no focus";
}

INSTANTIATE_TEST_SUITE_P(Rows, Enter,
                         ::testing::Values(EnterRow{kEntry, false, true, true, {"OK"}},
                                           EnterRow{kEntry, false, false, true, {}},
                                           EnterRow{kSelector, false, true, true, {"OK"}},
                                           EnterRow{kSelector, true, true, false, {}},
                                           EnterRow{kQuit, false, true, true, {"close"}},
                                           EnterRow{kOK, false, true, true, {"OK"}}));

TEST(AltQ, ClosesWithoutMovingTheFocusSoTheSelectorRunsNoExit) {
  Shown window(kSelector);
  EXPECT_TRUE(window.keeper.KeyPressed(WindowKey::AltQ, false));
  EXPECT_EQ(window.ran, (std::vector<std::string>{"close"}));
  EXPECT_EQ(window.focused, kSelector);
}

TEST(Press, OnAButtonTakesTheFocusFirstAndGoesOnOnlyIfItKeptIt) {
  Shown kept(kEntry, true);
  EXPECT_TRUE(kept.keeper.Pressed(kOK)) << "the press goes on to the button, which clicks";
  EXPECT_EQ(kept.focused, kOK);

  Shown lost(kSelector, true);
  lost.exitDisablesOK = true;  // the refresh empties the entry
  EXPECT_FALSE(lost.keeper.Pressed(kOK));
  EXPECT_EQ(lost.ran, (std::vector<std::string>{"exit"})) << "the exit ran, no click";
  EXPECT_EQ(lost.focused, kSelector);

  Shown refused(kSelector, true);
  refused.dialogOpen = true;  // the window refuses the focus change
  EXPECT_FALSE(refused.keeper.Pressed(kOK));
  EXPECT_EQ(refused.ran, std::vector<std::string>{});
}

TEST(Press, WhoseReleaseADialogOfTheExitTookClicksAtOnce) {
  Shown window(kSelector, true);
  window.dialogFor = "exit";
  EXPECT_FALSE(window.keeper.Pressed(kOK)) << "the button never sees the press";
  EXPECT_EQ(window.ran, (std::vector<std::string>{"exit", "OK"}));
  EXPECT_EQ(window.focused, kOK);
}

TEST(Entering, RepaintsTheButtonsEvenWhenTheFocusComesBackToTheSameControl) {
  Shown window(kSelector);
  window.dialogFor = "exit";
  window.MoveFocus(kQuit);  // Shift+Tab to Quit; the exit's dialog returns the focus to it
  EXPECT_EQ(window.focused, kQuit);
  EXPECT_EQ(window.ran, (std::vector<std::string>{"exit"})) << "the exit runs once";
  EXPECT_EQ(window.repaints, 2) << "once on entering, once on the return from the dialog";
  EXPECT_FALSE(ui::DrawsDefaultFrame(kOK, window.focused));
  EXPECT_TRUE(ui::DrawsDefaultFrame(kQuit, window.focused));
}

TEST(DefaultFrame, IsOKsUnlessQuitHasTheFocus) {
  for (ControlId focused : {kSelector, kEntry, kOK, kNone}) {
    EXPECT_TRUE(ui::DrawsDefaultFrame(kOK, focused)) << focused;
    EXPECT_FALSE(ui::DrawsDefaultFrame(kQuit, focused)) << focused;
  }
}

TEST(Activation, ReturnsTheFocusWhereItWasUnlessMinimisedOrDisabled) {
  Shown window(kEntry);
  window.focused = kNone;
  EXPECT_FALSE(window.keeper.Reactivated(true)) << "minimised: no control takes the keys";
  EXPECT_EQ(window.focused, kNone);
  EXPECT_TRUE(window.keeper.Reactivated(false));
  EXPECT_EQ(window.focused, kEntry);
  EXPECT_EQ(window.ran, std::vector<std::string>{}) << "coming back enters nothing anew";

  window.keeper.Give(kOK);
  window.disabled.insert(kOK);
  window.focused = kNone;
  EXPECT_FALSE(window.keeper.Reactivated(false));
}

TEST(Showing, GivesTheFocusKeptBeforeItAndOnlyThen) {
  FakeWindow window;
  window.keeper.Give(kSelector);
  EXPECT_EQ(window.focused, kNone) << "not before the window is shown";
  EXPECT_TRUE(window.keeper.Holds(kSelector));
  window.keeper.WindowShown();
  EXPECT_EQ(window.focused, kSelector);
}

TEST(SelectionChange, RefreshesAtOnceOnlyWhenTheSelectorHasNoFocus) {
  Shown wheel(kEntry);
  wheel.keeper.SelectionChanged();
  EXPECT_EQ(wheel.ran, (std::vector<std::string>{"exit"})) << "no exit will follow a wheel turn";
  Shown chosen(kSelector);
  chosen.keeper.SelectionChanged();
  EXPECT_EQ(chosen.ran, std::vector<std::string>{}) << "the exit refreshes";
}

}  // namespace
