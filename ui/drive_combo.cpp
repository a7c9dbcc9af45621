#include "ui/drive_combo.h"

#include "components/drawing.h"
#include "os/api.h"
#include "ui/controls.h"

namespace ui {
namespace {

constexpr const char* kGlyphResources[] = {"FLOPPY", "HARD", "NETWORK", "CDROM", "RAM"};

}  // namespace

void ComboListControl::Clear() { os::Gui().SendMessageA(combo_, CB_RESETCONTENT, 0, 0); }

bool ComboListControl::Add(const std::string& text) {
  const LRESULT index =
      os::Gui().SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return index != CB_ERR && index != CB_ERRSPACE;
}

int ComboListControl::Count() const {
  return static_cast<int>(os::Gui().SendMessageA(combo_, CB_GETCOUNT, 0, 0));
}

std::string ComboListControl::Text(int index) const {
  const os::GuiApi& gui = os::Gui();
  // Under a double-byte code page the length may be more than the text
  // holds: it only sizes the buffer, and the text is what the copy gives.
  const LRESULT length = gui.SendMessageA(combo_, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      gui.SendMessageA(combo_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR || copied > length ? 0 : static_cast<size_t>(copied));
  return text;
}

int ComboListControl::Current() const {
  return static_cast<int>(os::Gui().SendMessageA(combo_, CB_GETCURSEL, 0, 0));
}

void ComboListControl::SetCurrent(int index) {
  os::Gui().SendMessageA(combo_, CB_SETCURSEL, index, 0);
}

DriveComboWindow::DriveComboWindow(HINSTANCE instance) : selector_(list_) {
  for (int i = 0; i < 5; ++i) glyphs_[i].reset(os::Gui().LoadBitmapA(instance, kGlyphResources[i]));
  selector_.Construct();
}

int DriveComboWindow::ItemHeightFor(HFONT font) {
  return DriveItemHeight(components::MeasureText(font, "").cellHeight);
}

void DriveComboWindow::Attach(HWND combo, HFONT font) {
  combo_ = combo;
  font_ = font;
  list_.Attach(combo);
  const int height = ItemHeightFor(font);
  os::Gui().SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  os::Gui().SendMessageA(combo, CB_SETITEMHEIGHT, 0, height);
}

void DriveComboWindow::CreateWnd() {
  selector_.CreateWnd();
  SizeDropDown();
}

void DriveComboWindow::SizeDropDown() {
  const os::GuiApi& gui = os::Gui();
  RECT closed;
  gui.GetWindowRect(combo_, &closed);
  // A drop-down list's window rectangle is its closed field.
  const int field = closed.bottom - closed.top;
  const int item = static_cast<int>(gui.SendMessageA(combo_, CB_GETITEMHEIGHT, 0, 0));
  gui.SetWindowPos(combo_, nullptr, 0, 0, closed.right - closed.left,
                   DropDownHeight(item, list_.Count(), field),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Version 6 of the common controls sizes the open list by its count of
  // visible rows (30 unless told) and ignores the window's height.
  gui.SendMessageA(combo_, CB_SETMINVISIBLE, static_cast<WPARAM>(DroppedRows(list_.Count())), 0);
}

HBITMAP DriveComboWindow::GlyphBitmap(DriveGlyph glyph) const {
  switch (glyph) {
    case DriveGlyph::Floppy: return glyphs_[0].get();
    case DriveGlyph::Hard: return glyphs_[1].get();
    case DriveGlyph::Network: return glyphs_[2].get();
    case DriveGlyph::CdRom: return glyphs_[3].get();
    case DriveGlyph::Ram: return glyphs_[4].get();
    case DriveGlyph::None: break;
  }
  return nullptr;
}

void DriveComboWindow::DrawItem(const DRAWITEMSTRUCT& item) {
  const os::GuiApi& gui = os::Gui();
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const int index = static_cast<int>(item.itemID);
  const bool selected = index >= 0 && (item.itemState & ODS_SELECTED);
  const COLORREF back = os::Api().GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  const COLORREF fore = os::Api().GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  components::FillSolid(dc, r, back);
  if (index >= 0) {
    HBITMAP glyph = GlyphBitmap(selector_.Glyph(index));
    const ItemGeometry geometry =
        LayoutDriveItem({r.left, r.top, r.right, r.bottom}, glyph != nullptr);
    if (glyph)
      DrawGlyph(dc, {glyph, 0, 0, kDriveGlyphWidth, kDriveGlyphHeight}, geometry.glyphLeft,
                geometry.glyphTop, fore);
    const std::string text = list_.Text(index);
    RECT textRect = {geometry.text.left, geometry.text.top, geometry.text.right, geometry.text.bottom};
    const os::Selection font(dc, font_);
    gui.SetBkMode(dc, TRANSPARENT);
    gui.SetTextColor(dc, fore);
    gui.DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (item.itemState & ODS_FOCUS) gui.DrawFocusRect(dc, &r);
}

bool DriveComboWindow::OnChar(unsigned char key) {
  const os::GuiApi& gui = os::Gui();
  MSG next;
  const bool waiting = gui.PeekMessageA(&next, combo_, WM_CHAR, WM_CHAR, PM_NOREMOVE) != FALSE;
  const bool dropped = gui.SendMessageA(combo_, CB_GETDROPPEDSTATE, 0, 0) != 0;
  const TypeAheadResult result = selector_.KeyPress(
      key, waiting ? static_cast<int>(next.wParam & 0xFF) : -1, gui.GetTickCount(), dropped);
  if (result.trailConsumed) gui.PeekMessageA(&next, combo_, WM_CHAR, WM_CHAR, PM_REMOVE);
  if (result.openList) gui.SendMessageA(combo_, CB_SHOWDROPDOWN, TRUE, 0);
  if (result.closeList) gui.SendMessageA(combo_, CB_SHOWDROPDOWN, FALSE, 0);
  return result.consumed;
}

}  // namespace ui
