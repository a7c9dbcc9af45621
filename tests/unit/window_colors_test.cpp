#include "ui/window_colors.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <tuple>

#include "os/sim/machine.h"

namespace {

using ui::ChooseWindowColors;
using ui::ContrastRatio;
using ui::GlyphInkPixel;
using ui::Rgb;
using ui::SystemColors;
using ui::WindowColors;

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255};
constexpr Rgb kLightBlue{227, 239, 255};  // the client panel's colour scheme face

// Windows' own colour sets: window text, button face, button text.
constexpr SystemColors kHighContrastBlack{kWhite, kBlack, kWhite};
constexpr SystemColors kHighContrastWhite{kBlack, kWhite, kBlack};
constexpr SystemColors kDefaults{kBlack, {240, 240, 240}, kBlack};
constexpr SystemColors kNavyInk{{0, 0, 128}, kWhite, {0, 0, 128}};  // a light set of the user's

TEST(ContrastRatio, FollowsWcag) {
  EXPECT_DOUBLE_EQ(ContrastRatio(kBlack, kWhite), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kBlack), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(kLightBlue, kLightBlue), 1.0);
  // The grey where white's 4.5:1 lies, #767676 just in and #777777 just out.
  EXPECT_NEAR(ContrastRatio({118, 118, 118}, kWhite), 4.54, 0.01);
  EXPECT_NEAR(ContrastRatio({119, 119, 119}, kWhite), 4.48, 0.01);
  EXPECT_NEAR(ContrastRatio(kWhite, kLightBlue), 1.16, 0.01);  // the unreadable labels
}

struct Case {
  const char* name;
  bool highContrast, visualStyles;
  SystemColors system;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class WindowColorTable : public testing::TestWithParam<Case> {};

TEST_P(WindowColorTable, EveryTextReadsAndTheFlagLeavesOnlySystemColours) {
  const Case& c = GetParam();
  const WindowColors w = ChooseWindowColors(c.highContrast, c.visualStyles, c.system);
  EXPECT_GE(ContrastRatio(w.labelInk, w.labelFace), 4.5) << "labels, free lines, group box";
  EXPECT_GE(ContrastRatio(w.captionInk, w.captionFace), 4.5) << "bevelled panels";
  EXPECT_GE(ContrastRatio(w.frame, w.panelFace), 3.0) << "the frames show";
  EXPECT_EQ(w.systemOnly, c.highContrast) << "glyphs as shapes in the ink";
  if (!c.highContrast) return;
  const std::set<std::tuple<int, int, int>> system = {
      {c.system.windowText.red, c.system.windowText.green, c.system.windowText.blue},
      {c.system.btnFace.red, c.system.btnFace.green, c.system.btnFace.blue},
      {c.system.btnText.red, c.system.btnText.green, c.system.btnText.blue}};
  EXPECT_FALSE(w.schemeFace);
  for (Rgb used : {w.panelFace, w.labelFace, w.labelInk, w.captionFace, w.captionInk, w.frame})
    EXPECT_EQ(system.count({used.red, used.green, used.blue}), 1u)
        << "not a system colour: " << +used.red << "," << +used.green << "," << +used.blue;
}

INSTANTIATE_TEST_SUITE_P(
    FlagStylesAndColours, WindowColorTable,
    testing::Values(Case{"FlagOnStylesOnBlack", true, true, kHighContrastBlack},
                    Case{"FlagOnStylesOffBlack", true, false, kHighContrastBlack},
                    Case{"FlagOnStylesOnWhite", true, true, kHighContrastWhite},
                    Case{"FlagOnStylesOffWhite", true, false, kHighContrastWhite},
                    Case{"FlagOnStylesOnDefaults", true, true, kDefaults},
                    Case{"FlagOnStylesOffDefaults", true, false, kDefaults},
                    Case{"FlagOnStylesOnNavyInk", true, true, kNavyInk},
                    Case{"FlagOffStylesOnBlack", false, true, kHighContrastBlack},
                    Case{"FlagOffStylesOffBlack", false, false, kHighContrastBlack},
                    Case{"FlagOffStylesOnWhite", false, true, kHighContrastWhite},
                    Case{"FlagOffStylesOffWhite", false, false, kHighContrastWhite},
                    Case{"FlagOffStylesOnDefaults", false, true, kDefaults},
                    Case{"FlagOffStylesOffDefaults", false, false, kDefaults}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(WindowColors, DefaultColoursKeepTheWindowsLook) {
  // The light-blue panel in a black frame; labels show it through them
  // under visual styles and fill their box with the button face otherwise.
  for (bool styles : {true, false}) {
    const WindowColors w = ChooseWindowColors(false, styles, kDefaults);
    EXPECT_TRUE(w.schemeFace);
    EXPECT_EQ(w.panelFace, kLightBlue);
    EXPECT_EQ(w.frame, kBlack);
    EXPECT_EQ(w.labelFace, styles ? kLightBlue : kDefaults.btnFace);
    EXPECT_EQ(w.labelInk, kBlack);
    EXPECT_EQ(w.captionFace, kDefaults.btnFace);
    EXPECT_EQ(w.captionInk, kBlack);
  }
}

TEST(GlyphInkPixel, TheDarkColoursDrawTheShapeAndTheTransparentOneNever) {
  constexpr Rgb kOlive{128, 128, 0}, kBlue{0, 0, 255};  // the glyphs' transparent colours
  // The outlines of the button and drive glyphs: black, navy, dark green,
  // purple, grey (the disabled glyphs), the hard disk's red light.
  for (Rgb ink : {kBlack, Rgb{0, 0, 128}, Rgb{0, 128, 0}, Rgb{128, 0, 128}, Rgb{128, 128, 128},
                  Rgb{255, 0, 0}})
    EXPECT_TRUE(GlyphInkPixel(ink, kOlive)) << +ink.red << "," << +ink.green << "," << +ink.blue;
  // Their light fills: white, silver, bright green, cyan.
  for (Rgb face : {kWhite, Rgb{192, 192, 192}, Rgb{0, 255, 0}, Rgb{0, 255, 255}})
    EXPECT_FALSE(GlyphInkPixel(face, kOlive)) << +face.red << "," << +face.green << "," << +face.blue;
  EXPECT_TRUE(GlyphInkPixel(kBlue, kOlive));
  EXPECT_FALSE(GlyphInkPixel(kBlue, kBlue)) << "dark, but the drive glyphs' transparent colour";
}

// ---- Read again while the program runs

constexpr UINT kPaint = 0x000F;               // WM_PAINT
constexpr WPARAM kSetWorkArea = 0x002F;       // SPI_SETWORKAREA
constexpr COLORREF kBlackRef = 0x000000, kWhiteRef = 0xFFFFFF;

void HighContrastBlackColours(os::sim::Machine& m) {
  m.sysColors = {{COLOR_WINDOWTEXT, kWhiteRef}, {COLOR_BTNFACE, kBlackRef}, {COLOR_BTNTEXT, kWhiteRef}};
}

struct LiveCase {
  const char* name;
  void (*change)(os::sim::Machine&);
  UINT message;
  WPARAM wParam;
  bool rereads;
};

void PrintTo(const LiveCase& c, std::ostream* os) { *os << c.name; }

class LiveChange : public testing::TestWithParam<LiveCase> {};

TEST_P(LiveChange, OnlyTheMessagesOfAChangeReadTheColoursAgain) {
  const LiveCase& c = GetParam();
  os::sim::Machine machine;
  machine.appThemed = true;
  ui::WindowPalette palette;
  ASSERT_EQ(palette.colors().labelFace, kLightBlue);
  c.change(machine);
  EXPECT_EQ(palette.Changed(c.message, c.wParam), c.rereads);
  const WindowColors now = palette.colors();
  // Each change leaves the labels on another face; until it is read, the
  // window keeps painting the old one.
  EXPECT_EQ(now.labelFace == kLightBlue, !c.rereads);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, LiveChange,
    testing::Values(
        LiveCase{"ColoursChanged", HighContrastBlackColours, WM_SYSCOLORCHANGE, 0, true},
        LiveCase{"FlagSwitchedOn", [](os::sim::Machine& m) { m.highContrast = true; },
                 WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, true},
        LiveCase{"StylesSwitchedOff", [](os::sim::Machine& m) { m.appThemed = false; },
                 WM_THEMECHANGED, 0, true},
        LiveCase{"OtherSettingChanged", HighContrastBlackColours, WM_SETTINGCHANGE, kSetWorkArea,
                 false},
        LiveCase{"NotAChange", HighContrastBlackColours, kPaint, 0, false}),
    [](const testing::TestParamInfo<LiveCase>& info) { return std::string(info.param.name); });

}  // namespace
