#include "components/nx_panel_paint.h"

#include <gtest/gtest.h>

namespace {

using namespace components;

TEST(NxPanelPaint, DefaultPenFramesTheOutermostPixels) {
  EXPECT_EQ(InnerRect(394, 168, kAllBorders, 1), (PanelRect{1, 1, 393, 167}));
  const std::vector<PanelLine> lines = FrameLines(394, 168, kAllBorders, 1);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (PanelLine{0, 0, 0, 168}));      // column 0
  EXPECT_EQ(lines[1], (PanelLine{0, 0, 394, 0}));      // row 0
  EXPECT_EQ(lines[2], (PanelLine{0, 167, 394, 167}));  // row H - 1
  EXPECT_EQ(lines[3], (PanelLine{393, 0, 393, 167}));  // column W - 1
}

TEST(NxPanelPaint, WidePensSpreadAroundTheirLines) {
  const std::vector<PanelLine> two = FrameLines(100, 50, kAllBorders, 2);
  EXPECT_EQ(two[0].x1, 1);
  EXPECT_EQ(two[1].y1, 1);
  EXPECT_EQ(two[2].y1, 49);
  EXPECT_EQ(two[3].x1, 99);
  EXPECT_EQ(InnerRect(100, 50, kAllBorders, 2), (PanelRect{2, 2, 98, 48}));
  const std::vector<PanelLine> three = FrameLines(100, 50, kAllBorders, 3);
  EXPECT_EQ(three[0].x1, 1);   // 3 / 2 truncated
  EXPECT_EQ(three[2].y1, 48);  // 50 - 2, 3 / 2 rounded up
  EXPECT_EQ(three[3].x1, 98);
}

TEST(NxPanelPaint, OnlyTheChosenBordersAreDrawnAndInset) {
  EXPECT_TRUE(FrameLines(10, 10, 0, 1).empty());
  EXPECT_EQ(InnerRect(10, 10, 0, 1), (PanelRect{0, 0, 10, 10}));
  EXPECT_EQ(InnerRect(10, 10, boLeft | boBottom, 2), (PanelRect{2, 0, 10, 8}));
  const auto lines = FrameLines(10, 10, boTop | boRight, 1);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], (PanelLine{0, 0, 10, 0}));
  EXPECT_EQ(lines[1], (PanelLine{9, 0, 9, 9}));
}

TEST(NxPanelPaint, FillIsTheBlueFaceWhateverTheWindowColourUnlessColoursStopAdapting) {
  const Rgb window{212, 208, 200};
  EXPECT_EQ(PanelFillColor(true, csDefault, window), (Rgb{227, 239, 255}));
  EXPECT_EQ(PanelFillColor(false, csDefault, window), window);
  EXPECT_EQ(PanelFillColor(true, csSilver, window), (Rgb{240, 241, 242}));
}

TEST(NxPanelPaint, GradientBlendsFromTheWindowColourPerColumn) {
  const Rgb white{255, 255, 255}, fill{227, 239, 255};
  EXPECT_EQ(GradientColor(white, fill, 0, 4), white);
  EXPECT_EQ(GradientColor(white, fill, 2, 4), (Rgb{241, 247, 255}));  // 241, 247
  EXPECT_EQ(GradientColor(white, fill, 1, 4), (Rgb{248, 251, 255}));  // 248.0, 251.0
  EXPECT_EQ(GradientColor({0, 0, 0}, {255, 255, 255}, 1, 3), (Rgb{85, 85, 85}));
  EXPECT_EQ(GradientColor({0, 0, 0}, {255, 255, 255}, 1, 2), (Rgb{128, 128, 128}));  // 127.5
}

TEST(NxPanelPaint, MarginsMoveTheAlignmentAreaAndAutoSize) {
  const TNxMargins m{3, 4, 5, 6};
  EXPECT_EQ(AlignmentRect({0, 0, 100, 50}, m), (PanelRect{3, 4, 95, 44}));
  EXPECT_EQ(AlignmentRect({0, 0, 100, 50}, TNxMargins{}), (PanelRect{0, 0, 100, 50}));
  const PanelSize size = AutoSizeFor(40, 13, m);
  EXPECT_EQ(size.width, 48);
  EXPECT_EQ(size.height, 23);
}

class Listener : public SchemeListener {
 public:
  void SchemeChanged() override { ++changes; }
  int changes = 0;
};

TEST(ColorSchemes, GlobalSchemeChangeReachesEveryRegisteredPanelAndResolvesDefault) {
  ASSERT_EQ(GlobalColorScheme(), csBlue);
  Listener a, b;
  SchemeNotification(&a);
  SchemeNotification(&b);
  RemoveSchemeNotification(&b);
  SetGlobalColorScheme(csBlack);
  EXPECT_EQ(a.changes, 1);
  EXPECT_EQ(b.changes, 0);
  EXPECT_EQ(SchemeColor(seBtnFace, csDefault), (Rgb{240, 241, 242}));
  SetGlobalColorScheme(csBlue);
  RemoveSchemeNotification(&a);
  EXPECT_EQ(SchemeColor(seBtnFace, csDefault), (Rgb{227, 239, 255}));
}

TEST(ColorSchemes, ButtonFaceOfEveryScheme) {
  EXPECT_EQ(SchemeColor(seBtnFace, csBlack), (Rgb{240, 241, 242}));
  EXPECT_EQ(SchemeColor(seBtnFace, csBlue), (Rgb{227, 239, 255}));
  EXPECT_EQ(SchemeColor(seBtnFace, csSilver), (Rgb{240, 241, 242}));
  EXPECT_EQ(SchemeColor(seBtnFace, csBlue2010), (Rgb{240, 241, 242}));
  EXPECT_EQ(SchemeColor(seBtnFace, csSilver2010), (Rgb{240, 241, 242}));
  EXPECT_EQ(kSchemeElementCount, 24);
  EXPECT_EQ(seBtnFace, 3) << "the fourth element";
}

}  // namespace
