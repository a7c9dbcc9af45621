#include "ui/controls.h"

#include <string>

#include "app/application.h"
#include "components/drawing.h"
#include "components/nx_panel.h"
#include "os/api.h"

namespace ui {
namespace {

constexpr int kGlyphSize = 18;
constexpr int kGlyphSpacing = 4;
WindowColors colors{};

// The font a control was given with WM_SETFONT: the custom classes keep it
// themselves, labels leave it to the system's Static.
HFONT ControlFont(HWND hwnd) {
  return reinterpret_cast<HFONT>(os::Gui().SendMessageA(hwnd, WM_GETFONT, 0, 0));
}

std::string WindowText(HWND hwnd) {
  const os::GuiApi& gui = os::Gui();
  std::string text(static_cast<size_t>(gui.GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(gui.GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A glyph button's text, and under the flag its glyph's ink.
COLORREF ButtonInk(bool enabled) {
  const int grey = colors.systemOnly ? COLOR_GRAYTEXT : COLOR_BTNSHADOW;
  return os::Api().GetSysColor(enabled ? COLOR_BTNTEXT : grey);
}

void DrawCaption(HDC dc, HWND hwnd, RECT rect, UINT format, Rgb ink) {
  const os::GuiApi& gui = os::Gui();
  const std::string caption = WindowText(hwnd);
  const os::Selection font(dc, ControlFont(hwnd));
  gui.SetBkMode(dc, TRANSPARENT);
  gui.SetTextColor(dc, components::ToColorRef(ink));
  gui.DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, format | DT_NOPREFIX);
}

void PaintLabel(HWND hwnd, HDC dc, const RECT& client) {
  components::FillSolid(dc, client, components::ToColorRef(colors.labelFace));
  DrawCaption(dc, hwnd, client, DT_LEFT | DT_TOP | DT_SINGLELINE, colors.labelInk);
}

// A raised outer bevel with a lowered inner bevel inside it.
void PaintBevelPanel(HWND hwnd, HDC dc, const RECT& client) {
  const os::GuiApi& gui = os::Gui();
  components::FillSolid(dc, client, components::ToColorRef(colors.captionFace));
  RECT edge = client;
  gui.DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  gui.InflateRect(&edge, -1, -1);
  gui.DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
  gui.InflateRect(&edge, -1, -1);
  DrawCaption(dc, hwnd, edge, DT_CENTER | DT_VCENTER | DT_SINGLELINE, colors.captionInk);
}

void PaintGroupBox(HWND hwnd, HDC dc, const RECT& client) {
  const os::GuiApi& gui = os::Gui();
  const COLORREF face = components::ToColorRef(colors.labelFace);
  components::FillSolid(dc, client, face);
  const components::TextSize extent = components::MeasureText(ControlFont(hwnd), WindowText(hwnd));
  RECT frame = client;
  frame.top += extent.cellHeight / 2;
  gui.DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  RECT text = {8, 0, 8 + extent.width + 4, extent.cellHeight};
  components::FillSolid(dc, text, face);
  text.left += 2;
  DrawCaption(dc, hwnd, text, DT_LEFT | DT_TOP | DT_SINGLELINE, colors.labelInk);
}

using Painter = void (*)(HWND, HDC, const RECT&);

// The messages of every control painted here: the painter covers the whole
// area, and new text is shown by it too.
bool PaintedMessage(Painter paint, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* result) {
  const os::GuiApi& gui = os::Gui();
  switch (message) {
    case WM_SETTEXT:
      *result = gui.DefWindowProcA(hwnd, message, wParam, lParam);
      gui.InvalidateRect(hwnd, nullptr, TRUE);
      return true;
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = gui.BeginPaint(hwnd, &ps);
      RECT client;
      gui.GetClientRect(hwnd, &client);
      paint(hwnd, dc, client);
      gui.EndPaint(hwnd, &ps);
      *result = 0;
      return true;
    }
    default:
      return false;
  }
}

LRESULT CustomControlMessage(Painter paint, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const os::GuiApi& gui = os::Gui();
  LRESULT result = 0;
  if (PaintedMessage(paint, hwnd, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_SETFONT:
      gui.SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
      if (LOWORD(lParam)) gui.InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return static_cast<LRESULT>(gui.GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    default:
      // Containers pass their children's notifications on to the window,
      // which holds all the handlers.
      if (components::IsChildNotification(message))
        return gui.SendMessageA(gui.GetParent(hwnd), message, wParam, lParam);
      return gui.DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

LRESULT LabelMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const os::GuiApi& gui = os::Gui();
  LRESULT result = 0;
  if (PaintedMessage(PaintLabel, hwnd, message, wParam, lParam, &result)) return result;
  // A Static lets the mouse through to what lies below it; a label takes
  // its clicks itself, as the window's labels always have.
  if (message == WM_NCHITTEST) return gui.DefWindowProcA(hwnd, message, wParam, lParam);
  return gui.CallWindowProcA(SubclassedProc(hwnd), hwnd, message, wParam, lParam);
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return app::Guarded([&] { return LabelMessage(hwnd, message, wParam, lParam); });
}

template <Painter paint>
LRESULT CALLBACK CustomControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return app::Guarded([&] { return CustomControlMessage(paint, hwnd, message, wParam, lParam); });
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
  components::TNxPanel::RegisterClass(instance);
  components::RegisterWindowClass(instance, {kBevelPanelClass, CustomControlProc<PaintBevelPanel>});
  components::RegisterWindowClass(instance, {kGroupBoxClass, CustomControlProc<PaintGroupBox>});
}

void Subclass(HWND control, WNDPROC proc) {
  const os::GuiApi& gui = os::Gui();
  // Kept before the swap, so that the first message reaching ours finds it.
  gui.SetWindowLongPtrA(control, GWLP_USERDATA, gui.GetWindowLongPtrA(control, GWLP_WNDPROC));
  gui.SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

WNDPROC SubclassedProc(HWND control) {
  return reinterpret_cast<WNDPROC>(os::Gui().GetWindowLongPtrA(control, GWLP_USERDATA));
}

void SubclassLabel(HWND label) { Subclass(label, LabelProc); }

void SetControlColors(const WindowColors& chosen) { colors = chosen; }

namespace {

// The bitmap selected into a memory DC, with its transparent colour (its
// bottom-left pixel).
struct OpenBitmap {
  os::UniqueMemoryDC dc;
  os::Selection selected;
  COLORREF transparent;

  OpenBitmap(HDC like, HBITMAP bitmap)
      : dc(os::Gui().CreateCompatibleDC(like)), selected(dc.get(), bitmap), transparent(0) {
    BITMAP info{};
    os::Gui().GetObjectA(bitmap, sizeof(info), &info);
    transparent = os::Gui().GetPixel(dc.get(), 0, info.bmHeight - 1);
  }
};

void DrawTransparentBitmap(HDC dc, const GlyphPart& part, int x, int y) {
  const os::GuiApi& gui = os::Gui();
  const OpenBitmap image(dc, part.bitmap);
  const int w = part.width, h = part.height;

  // A monochrome mask, white where the image has its transparent colour.
  const os::UniqueMemoryDC mask(gui.CreateCompatibleDC(dc));
  const os::UniqueBitmap maskBitmap(gui.CreateBitmap(w, h, 1, 1, nullptr));
  const os::Selection maskSelected(mask.get(), maskBitmap.get());
  gui.SetBkColor(image.dc.get(), image.transparent);
  gui.BitBlt(mask.get(), 0, 0, w, h, image.dc.get(), part.srcX, part.srcY, SRCCOPY);

  // Image xor screen, masked, xor image: the screen stays where the mask is
  // white, the image shows where it is black.
  const COLORREF oldBk = gui.SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = gui.SetTextColor(dc, RGB(0, 0, 0));
  gui.BitBlt(dc, x, y, w, h, image.dc.get(), part.srcX, part.srcY, SRCINVERT);
  gui.BitBlt(dc, x, y, w, h, mask.get(), 0, 0, SRCAND);
  gui.BitBlt(dc, x, y, w, h, image.dc.get(), part.srcX, part.srcY, SRCINVERT);
  gui.SetBkColor(dc, oldBk);
  gui.SetTextColor(dc, oldText);
}

// The glyph's shape in one colour: its dark pixels in `ink`, the rest left
// to what lies under it.
void DrawGlyphShape(HDC dc, const GlyphPart& part, int x, int y, COLORREF ink) {
  const os::GuiApi& gui = os::Gui();
  const OpenBitmap image(dc, part.bitmap);
  const Rgb transparent = components::ToRgb(image.transparent);
  const os::UniqueBrush brush(gui.CreateSolidBrush(ink));
  for (int row = 0; row < part.height; ++row)
    for (int column = 0; column < part.width; ++column) {
      const COLORREF pixel = gui.GetPixel(image.dc.get(), part.srcX + column, part.srcY + row);
      if (!GlyphInkPixel(components::ToRgb(pixel), transparent)) continue;
      const RECT dot = {x + column, y + row, x + column + 1, y + row + 1};
      gui.FillRect(dc, &dot, brush.get());
    }
}

// Under the flag a disabled button's text takes the system's grey text, its
// pair with the button face; otherwise the engraved look of shadow on
// highlight.
void DrawButtonCaption(HDC dc, const std::string& caption, RECT rect, bool enabled) {
  const os::GuiApi& gui = os::Gui();
  const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  gui.SetBkMode(dc, TRANSPARENT);
  if (!enabled && !colors.systemOnly) {
    RECT highlight = rect;
    gui.OffsetRect(&highlight, 1, 1);
    gui.SetTextColor(dc, os::Api().GetSysColor(COLOR_BTNHIGHLIGHT));
    gui.DrawTextA(dc, caption.c_str(), -1, &highlight, format);
  }
  gui.SetTextColor(dc, ButtonInk(enabled));
  gui.DrawTextA(dc, caption.c_str(), -1, &rect, format);
}

}  // namespace

void DrawGlyph(HDC dc, const GlyphPart& part, int x, int y, COLORREF ink) {
  if (colors.systemOnly)
    DrawGlyphShape(dc, part, x, y, ink);
  else
    DrawTransparentBitmap(dc, part, x, y);
}

void DrawGlyphButton(const DRAWITEMSTRUCT& item, const GlyphButtonLook& look) {
  const os::GuiApi& gui = os::Gui();
  HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  if (look.defaultFrame) {
    const os::UniqueBrush frame(gui.CreateSolidBrush(components::ToColorRef(colors.frame)));
    gui.FrameRect(dc, &face, frame.get());
    gui.InflateRect(&face, -1, -1);
  }
  gui.DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  const std::string caption = WindowText(item.hwndItem);
  const os::Selection font(dc, ControlFont(item.hwndItem));
  RECT measure = {0, 0, 0, 0};
  gui.DrawTextA(dc, caption.c_str(), -1, &measure, DT_CALCRECT | DT_SINGLELINE);
  const int width = item.rcItem.right - item.rcItem.left;
  const int height = item.rcItem.bottom - item.rcItem.top;
  const int shift = pushed ? 1 : 0;
  const int left = item.rcItem.left + (width - (kGlyphSize + kGlyphSpacing + measure.right)) / 2 + shift;
  const int glyphTop = item.rcItem.top + (height - kGlyphSize) / 2 + shift;
  DrawGlyph(dc, {look.glyph, enabled ? 0 : kGlyphSize, 0, kGlyphSize, kGlyphSize}, left, glyphTop,
            ButtonInk(enabled));
  RECT text = {left + kGlyphSize + kGlyphSpacing, item.rcItem.top + shift,
               left + kGlyphSize + kGlyphSpacing + measure.right, item.rcItem.bottom + shift};
  DrawButtonCaption(dc, caption, text, enabled);

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = face;
    gui.InflateRect(&focus, -3, -3);
    gui.DrawFocusRect(dc, &focus);
  }
}

}  // namespace ui
