// A list control for the native tests: stores items like the platform's,
// and can be told to refuse an add, as an exhausted one does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/drive_selector.h"

namespace testing_support {

class ListControl : public ui::DriveListControl {
 public:
  void Clear() override {
    items.clear();
    current = -1;
  }
  bool Add(const std::string& text) override {
    if (refuseAfter >= 0 && static_cast<int>(items.size()) >= refuseAfter) return false;
    items.push_back(text);
    return true;
  }
  int Count() const override { return static_cast<int>(items.size()); }
  std::string Text(int index) const override { return items.at(static_cast<size_t>(index)); }
  int Current() const override { return current; }
  void SetCurrent(int index) override { current = index < Count() ? index : -1; }

  std::vector<std::string> items;
  int current = -1;
  int refuseAfter = -1;  // refuse every add once this many items are in
};

// No drive selected: no current item and an empty field.
inline ::testing::AssertionResult NothingSelected(const ui::TDriveComboBox& selector,
                                                  const ListControl& list) {
  if (selector.SelectedDrive() == '\0' && list.current == -1 && selector.DisplayedText().empty()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "drive " << static_cast<int>(selector.SelectedDrive()) << ", item "
                                       << list.current << ", text \"" << selector.DisplayedText()
                                       << '"';
}

}  // namespace testing_support
