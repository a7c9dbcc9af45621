// The drive selector's logic, apart from its window: which drives it lists
// with which texts and glyphs, the current drive, and type-ahead. The window
// (ui/drive_combo.cpp) gives it the platform's list control.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

enum TTextCase { tcLowerCase = 0, tcUpperCase = 1 };

enum class DriveGlyph { None, Floppy, Hard, Network, CdRom, Ram };

// The platform's list control: it stores the item texts and the current item.
class DriveListControl {
 public:
  virtual ~DriveListControl() = default;
  virtual void Clear() = 0;
  // Appends an item; false when the control refuses it.
  virtual bool Add(const std::string& text) = 0;
  virtual int Count() const = 0;
  virtual std::string Text(int index) const = 0;
  virtual int Current() const = 0;  // -1 for none
  virtual void SetCurrent(int index) = 0;
};

// The label of a drive as the list shows it: "[label]" in the case of the
// letter, with the critical-error prompt suppressed during the query.
std::string BracketedVolumeLabel(char letter);

// The share a network drive is connected to, or its bracketed label.
std::string NetworkVolumeName(char letter);

// The file-name case mapping: in a double-byte locale only ASCII letters
// change, and trail bytes are left alone; elsewhere the locale's mapping.
std::string FileNameCase(std::string text, bool lower);

// What an item looks like for a drive type; false for types not listed.
bool DriveItemFor(char letter, unsigned driveType, std::string* text, DriveGlyph* glyph);

// Where a drive glyph and the item text go inside an item's rectangle.
struct ItemRect {
  int left, top, right, bottom;
};
struct ItemGeometry {
  int glyphLeft, glyphTop;
  ItemRect text;
};
inline constexpr int kDriveGlyphWidth = 16;
inline constexpr int kDriveGlyphHeight = 11;
ItemGeometry LayoutDriveItem(const ItemRect& item, bool hasGlyph);

// Heights: every item is as high as the font's cell or the floppy glyph;
// the open list shows up to 8 rows.
int DriveItemHeight(int fontCellHeight);
int DroppedRows(int itemCount);
int DropDownHeight(int itemHeight, int itemCount, int fieldHeight);

// What a typed character did.
struct TypeAheadResult {
  bool consumed = false;       // the list control must not see the key
  bool trailConsumed = false;  // the waiting second byte went with it
  bool openList = false;
  bool closeList = false;
};

class TDriveComboBox {
 public:
  explicit TDriveComboBox(DriveListControl& list);

  // Construction: the current directory's first character, or NUL.
  void Construct();
  // The selector's window was created (or re-created).
  void CreateWnd();
  void RebuildDriveList();

  char SelectedDrive() const { return selectedDrive_; }
  void SetSelectedDrive(char drive);
  TTextCase TextCase() const { return textCase_; }
  void SetTextCase(TTextCase textCase);
  std::string DisplayedText() const;
  DriveGlyph Glyph(int index) const;

  // The list control reported a new selection.
  void UserSelected();
  // A character typed into the selector at time `nowMs`; `waitingByte` is
  // the next typed character already in the queue, or -1.
  TypeAheadResult KeyPress(unsigned char key, int waitingByte, uint32_t nowMs, bool listDropped);

  bool AutoComplete = true;
  bool AutoDropDown = false;
  std::function<void()> OnChange;
  std::function<void()> OnClick;

 private:
  void RaiseChange();
  int FindItemByPrefix(const std::string& prefix) const;
  TypeAheadResult Backspace();

  DriveListControl& list_;
  std::vector<DriveGlyph> glyphs_;
  char selectedDrive_ = '\0';
  TTextCase textCase_ = tcLowerCase;
  std::string prefix_;
  uint32_t lastKeyMs_ = 0;
  bool anyKey_ = false;
};

}  // namespace ui
