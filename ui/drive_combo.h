// drvcbDrive's window: the platform's owner-drawn drop-down list, driven by
// TDriveComboBox (Windows build).
#pragma once

#include "os/gdi.h"
#include "ui/drive_selector.h"

namespace ui {

class ComboListControl : public DriveListControl {
 public:
  void Attach(HWND combo) { combo_ = combo; }
  void Clear() override;
  bool Add(const std::string& text) override;
  int Count() const override;
  std::string Text(int index) const override;
  int Current() const override;
  void SetCurrent(int index) override;

 private:
  HWND combo_ = nullptr;
};

class DriveComboWindow {
 public:
  explicit DriveComboWindow(HINSTANCE instance);
  DriveComboWindow(const DriveComboWindow&) = delete;
  DriveComboWindow& operator=(const DriveComboWindow&) = delete;

  TDriveComboBox& selector() { return selector_; }

  // The item height rule for `font`.
  static int ItemHeightFor(HFONT font);

  // The window exists: build the list, pick the current drive, size the
  // drop-down.
  void Attach(HWND combo, HFONT font);
  void CreateWnd();
  void DrawItem(const DRAWITEMSTRUCT& item);
  // A typed character; true when it was consumed.
  bool OnChar(unsigned char key);

 private:
  void SizeDropDown();
  HBITMAP GlyphBitmap(DriveGlyph glyph) const;

  ComboListControl list_;
  TDriveComboBox selector_;
  HWND combo_ = nullptr;
  HFONT font_ = nullptr;
  os::UniqueBitmap glyphs_[5];
};

}  // namespace ui
