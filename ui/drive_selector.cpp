#include "ui/drive_selector.h"

#include "app/exceptions.h"
#include "app/text.h"
#include "os/api.h"

namespace ui {
namespace {

constexpr uint32_t kTypeAheadPauseMs = 500;
constexpr int kMaxDroppedRows = 8;
constexpr unsigned char kBackspace = 0x08;
constexpr unsigned char kTab = 0x09;
constexpr unsigned char kEscape = 0x1B;

// Upper-casing in the selector changes only ASCII a to z.
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool IsDoubleByteLocale() {
  CPINFO info{};
  return os::Api().GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
}

// Restores the process's error mode when it goes out of scope.
class CriticalErrorsSuppressed {
 public:
  CriticalErrorsSuppressed() : previous_(os::Api().SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorsSuppressed() { os::Api().SetErrorMode(previous_); }
  CriticalErrorsSuppressed(const CriticalErrorsSuppressed&) = delete;
  CriticalErrorsSuppressed& operator=(const CriticalErrorsSuppressed&) = delete;

 private:
  UINT previous_;
};

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

bool IsLowerLetterOrAbove(char letter) { return static_cast<unsigned char>(letter) >= 'a'; }

// Case-insensitive "begins with", by the locale's upper-case mapping.
bool BeginsWith(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  return FileNameCase(text.substr(0, prefix.size()), false) == FileNameCase(prefix, false);
}

size_t LastCharacterStart(const std::string& text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); i += app::CharacterLength(text, i)) start = i;
  return start;
}

}  // namespace

std::string FileNameCase(std::string text, bool lower) {
  const os::Win32Api& api = os::Api();
  if (!IsDoubleByteLocale()) {
    if (!text.empty()) {
      if (lower)
        api.CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
      else
        api.CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
  }
  // A double-byte character is passed over whole: its lead byte is no
  // letter and its trail byte is copied unchanged.
  for (size_t i = 0; i < text.size(); i += app::CharacterLength(text, i)) {
    char& c = text[i];
    if (lower && c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c + 32);
    } else if (!lower && c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 32);
    }
  }
  return text;
}

std::string BracketedVolumeLabel(char letter) {
  const CriticalErrorsSuppressed suppressed;
  char label[261] = {};
  if (!os::Api().GetVolumeInformationA(RootOf(letter).c_str(), label, sizeof(label), nullptr,
                                       nullptr, nullptr, nullptr, 0))
    label[0] = '\0';
  return "[" + FileNameCase(label, IsLowerLetterOrAbove(letter)) + "]";
}

std::string NetworkVolumeName(char letter) {
  const std::string device = std::string(1, AsciiUpper(letter)) + ":";
  char remote[261] = {};
  DWORD length = sizeof(remote);
  const os::Win32Api& api = os::Api();
  // Without the network library the look-up fails like any other.
  const DWORD result = api.WNetGetConnectionA == nullptr
                           ? ERROR_NOT_SUPPORTED
                           : api.WNetGetConnectionA(device.c_str(), remote, &length);
  if (result == NO_ERROR) return FileNameCase(remote, IsLowerLetterOrAbove(letter));
  // A remembered drive off its network: a volume query would have Windows
  // try to reconnect (tens of seconds, or a password prompt) only to fail.
  if (result == ERROR_CONNECTION_UNAVAIL || result == ERROR_NO_NETWORK) return "[]";
  return BracketedVolumeLabel(letter);
}

bool DriveItemFor(char letter, unsigned driveType, std::string* text, DriveGlyph* glyph) {
  const std::string prefix = std::string(1, letter) + ": ";
  switch (driveType) {
    case DRIVE_REMOVABLE:
      *text = std::string(1, letter) + ":";  // no medium is ever touched
      *glyph = DriveGlyph::Floppy;
      return true;
    case DRIVE_FIXED:
      *text = prefix + BracketedVolumeLabel(letter);
      *glyph = DriveGlyph::Hard;
      return true;
    case DRIVE_REMOTE:
      *text = prefix + NetworkVolumeName(letter);
      *glyph = DriveGlyph::Network;
      return true;
    case DRIVE_CDROM:
      *text = prefix + BracketedVolumeLabel(letter);
      *glyph = DriveGlyph::CdRom;
      return true;
    case DRIVE_RAMDISK:
      *text = prefix + BracketedVolumeLabel(letter);
      *glyph = DriveGlyph::Ram;
      return true;
    default:
      return false;
  }
}

ItemGeometry LayoutDriveItem(const ItemRect& item, bool hasGlyph) {
  ItemGeometry geometry{};
  geometry.glyphLeft = item.left + 2;
  geometry.glyphTop = (item.top + item.bottom - kDriveGlyphHeight) / 2;
  // An item without a glyph keeps the text where the glyph's would start.
  const int glyphWidth = hasGlyph ? kDriveGlyphWidth : 16;
  geometry.text = {item.left + glyphWidth + 6, item.top, item.right, item.bottom};
  return geometry;
}

int DriveItemHeight(int fontCellHeight) {
  return fontCellHeight > kDriveGlyphHeight ? fontCellHeight : kDriveGlyphHeight;
}

int DroppedRows(int itemCount) {
  const int rows = itemCount < kMaxDroppedRows ? itemCount : kMaxDroppedRows;
  return rows < 1 ? 1 : rows;
}

int DropDownHeight(int itemHeight, int itemCount, int fieldHeight) {
  return itemHeight * DroppedRows(itemCount) + fieldHeight + 2;
}

TDriveComboBox::TDriveComboBox(DriveListControl& list) : list_(list) {}

void TDriveComboBox::Construct() {
  char directory[MAX_PATH + 1] = {};
  os::Api().GetCurrentDirectoryA(MAX_PATH, directory);
  selectedDrive_ = directory[0] == '\\' ? '\0' : directory[0];
}

void TDriveComboBox::CreateWnd() {
  RebuildDriveList();
  SetSelectedDrive(selectedDrive_);
}

void TDriveComboBox::RebuildDriveList() {
  list_.Clear();
  glyphs_.clear();
  const DWORD mask = os::Api().GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if (!(mask & (1u << bit))) continue;
    char letter = static_cast<char>('a' + bit);
    const unsigned type = os::Api().GetDriveTypeA(RootOf(letter).c_str());
    if (textCase_ == tcUpperCase) letter = AsciiUpper(letter);
    std::string text;
    DriveGlyph glyph = DriveGlyph::None;
    if (!DriveItemFor(letter, type, &text, &glyph)) continue;
    if (!list_.Add(text)) throw app::EOutOfResources(KESTROVA_WIDE("行を挿入できません"));
    glyphs_.push_back(glyph);
  }
}

void TDriveComboBox::SetSelectedDrive(char drive) {
  if (list_.Current() >= 0 && AsciiUpper(drive) == AsciiUpper(selectedDrive_)) return;
  if (drive == '\0') {
    selectedDrive_ = '\0';
    list_.SetCurrent(-1);
  } else {
    selectedDrive_ = textCase_ == tcUpperCase ? AsciiUpper(drive)
                                              : static_cast<char>(AsciiUpper(drive) + 32);
    for (int i = 0; i < list_.Count(); ++i) {
      const std::string text = list_.Text(i);
      if (text.size() >= 2 && AsciiUpper(text[0]) == AsciiUpper(selectedDrive_) && text[1] == ':') {
        list_.SetCurrent(i);
        break;
      }
    }
  }
  RaiseChange();
}

void TDriveComboBox::SetTextCase(TTextCase textCase) {
  const char previous = selectedDrive_;
  textCase_ = textCase;
  RebuildDriveList();
  SetSelectedDrive(previous);
}

std::string TDriveComboBox::DisplayedText() const {
  const int current = list_.Current();
  return current >= 0 ? list_.Text(current) : std::string();
}

DriveGlyph TDriveComboBox::Glyph(int index) const {
  return index >= 0 && index < static_cast<int>(glyphs_.size()) ? glyphs_[index] : DriveGlyph::None;
}

void TDriveComboBox::UserSelected() {
  if (OnClick) OnClick();
  const int current = list_.Current();
  if (current >= 0) {
    const std::string text = list_.Text(current);
    if (!text.empty()) SetSelectedDrive(text[0]);
  }
  RaiseChange();
}

void TDriveComboBox::RaiseChange() {
  if (OnChange) OnChange();
}

int TDriveComboBox::FindItemByPrefix(const std::string& prefix) const {
  for (int i = 0; i < list_.Count(); ++i)
    if (BeginsWith(list_.Text(i), prefix)) return i;
  return -1;
}

TypeAheadResult TDriveComboBox::Backspace() {
  if (!prefix_.empty()) prefix_.erase(LastCharacterStart(prefix_));
  RaiseChange();
  TypeAheadResult result;
  result.consumed = true;
  return result;
}

TypeAheadResult TDriveComboBox::KeyPress(unsigned char key, int waitingByte, uint32_t nowMs,
                                         bool listDropped) {
  TypeAheadResult result;
  if (!AutoComplete) return result;
  if (!anyKey_ || nowMs - lastKeyMs_ >= kTypeAheadPauseMs) prefix_.clear();
  anyKey_ = true;
  lastKeyMs_ = nowMs;
  if (key == kBackspace) return Backspace();
  if (key == kTab) {
    result.closeList = AutoDropDown && listDropped;
    return result;
  }
  if (key == kEscape) return result;
  result.openList = AutoDropDown && !listDropped;
  std::string candidate = prefix_ + static_cast<char>(key);
  const bool lead = os::Api().IsDBCSLeadByte(key);
  if (lead) {
    if (waitingByte < 0) return result;  // passed on without a look-up
    candidate += static_cast<char>(waitingByte);
  }
  const int found = FindItemByPrefix(candidate);
  if (found < 0) return result;
  const bool wasCurrent = list_.Current() == found;
  list_.SetCurrent(found);
  prefix_ = candidate;
  result.consumed = true;
  result.trailConsumed = lead;
  if (!wasCurrent) UserSelected();
  return result;
}

}  // namespace ui
