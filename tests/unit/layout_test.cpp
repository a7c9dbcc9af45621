#include "ui/layout.h"

#include <gtest/gtest.h>

namespace {

TEST(Layout, TabOrderWithinEachParentFollowsCreationOrder) {
  int lastClient = -1, lastGroup = -1;
  for (const ui::ControlLayout& c : ui::kMainLayout) {
    if (c.tabOrder < 0) continue;
    int& last = c.parent == ui::idGrpbSystemInformation ? lastGroup : lastClient;
    EXPECT_EQ(c.tabOrder, last + 1) << c.name;
    last = c.tabOrder;
  }
  EXPECT_EQ(lastClient, 7);
  EXPECT_EQ(lastGroup, 1);
}

TEST(Layout, ControlsAreFoundByIdAndByNameOrNotAtAll) {
  EXPECT_STREQ(ui::FindControl(ui::idPnlVSN)->name, "pnlVSN");
  EXPECT_EQ(ui::FindControl("pnlVSN")->id, ui::idPnlVSN);
  EXPECT_EQ(ui::FindControl("pnlNone"), nullptr);
}

}  // namespace
