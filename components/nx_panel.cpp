#include "components/nx_panel.h"

#include <utility>

#include "app/application.h"
#include "app/window_owner.h"
#include "components/drawing.h"
#include "os/api.h"

namespace components {
namespace {

// The colour a window's class paints its background with.
COLORREF ClassBackground(HWND window) {
  const os::GuiApi& gui = os::Gui();
  auto brush = reinterpret_cast<HBRUSH>(gui.GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
  const auto asIndex = reinterpret_cast<INT_PTR>(brush);
  if (asIndex > 0 && asIndex <= COLOR_MENUBAR + 1)
    return os::Api().GetSysColor(static_cast<int>(asIndex - 1));
  LOGBRUSH info{};
  if (brush && gui.GetObjectA(brush, sizeof(info), &info) == sizeof(info)) return info.lbColor;
  return os::Api().GetSysColor(COLOR_WINDOW);
}

}  // namespace

bool IsChildNotification(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return true;
    default:
      return false;
  }
}

void TNxPanel::RegisterClass(HINSTANCE instance) {
  // The frame sits on the outermost pixels, so every size change moves it:
  // the whole panel is repainted (the class's default), not just the strip
  // that was exposed.
  RegisterWindowClass(instance, {kClassName, WindowProc});
}

TNxPanel::TNxPanel(HWND parent, int id, int left, int top, int width, int height,
                   HINSTANCE instance, TNxPanelBackgroundStyle style)
    : backgroundStyle_(style) {
  const DWORD exStyle = style == pbTransparent ? WS_EX_TRANSPARENT : 0;
  hwnd_ = os::Gui().CreateWindowExA(exStyle, kClassName, "", WS_CHILD | WS_VISIBLE, left, top,
                                    width, height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                    this);
  SchemeNotification(this);
}

TNxPanel::~TNxPanel() {
  RemoveSchemeNotification(this);
  if (hwnd_) os::Gui().SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

void TNxPanel::Repaint() const {
  if (hwnd_) os::Gui().InvalidateRect(hwnd_, nullptr, FALSE);
}

void TNxPanel::SetAdaptiveColors(bool value) { adaptiveColors_ = value; Repaint(); }
void TNxPanel::SetBackgroundStyle(TNxPanelBackgroundStyle value) { backgroundStyle_ = value; Repaint(); }
void TNxPanel::SetBorderPen(const TNxPen& pen) { borderPen_ = pen; Repaint(); }
void TNxPanel::SetColorScheme(TColorScheme value) { colorScheme_ = value; Repaint(); }
void TNxPanel::SetPanelBorders(TPanelBorders value) { panelBorders_ = value; Repaint(); }
void TNxPanel::SetColor(COLORREF color) { color_ = color; parentColor_ = false; Repaint(); }
void TNxPanel::SetParentColor(bool value) { parentColor_ = value; Repaint(); }

void TNxPanel::SetInnerMargins(const TNxMargins& margins) {
  innerMargins_ = margins;
  if (alignedChild_) AlignChild(alignedChild_);
  ApplyAutoSize();
  Repaint();
}

void TNxPanel::SetCaption(const std::string& caption) {
  caption_ = caption;
  os::Gui().SetWindowTextA(hwnd_, caption.c_str());
  ApplyAutoSize();
  Repaint();
}

void TNxPanel::SetAutoSize(bool value) {
  autoSize_ = value;
  ApplyAutoSize();
}

void TNxPanel::ApplyAutoSize() {
  if (!autoSize_) return;
  const TextSize extent = MeasureText(font_, caption_);
  const PanelSize size = AutoSizeFor(extent.width, extent.cellHeight, innerMargins_);
  os::Gui().SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TNxPanel::AdjustClientRect() const {
  RECT client;
  os::Gui().GetClientRect(hwnd_, &client);
  const PanelRect r = AlignmentRect({client.left, client.top, client.right, client.bottom}, innerMargins_);
  return {r.left, r.top, r.right, r.bottom};
}

void TNxPanel::AlignChild(HWND child) {
  const RECT area = AdjustClientRect();
  alignedChild_ = child;
  os::Gui().MoveWindow(child, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, TRUE);
}

COLORREF TNxPanel::EffectiveColor() const {
  if (!parentColor_) return color_;
  HWND parent = os::Gui().GetParent(hwnd_);
  return parent ? ClassBackground(parent) : os::Api().GetSysColor(COLOR_WINDOW);
}

void TNxPanel::PaintBackground(HDC dc, const RECT& inner) const {
  const os::GuiApi& gui = os::Gui();
  const Rgb fill = PanelFillColor(adaptiveColors_, colorScheme_, ToRgb(EffectiveColor()));
  const Rgb window = ToRgb(os::Api().GetSysColor(COLOR_WINDOW));
  switch (backgroundStyle_) {
    case pbSolid:
      FillSolid(dc, inner, ToColorRef(fill));
      break;
    case pbHorzGradient:
      for (int x = inner.left; x < inner.right; ++x)
        FillSolid(dc, {x, inner.top, x + 1, inner.bottom},
                  ToColorRef(GradientColor(window, fill, x - inner.left, inner.right - inner.left)));
      break;
    case pbVertGradient:
      for (int y = inner.top; y < inner.bottom; ++y)
        FillSolid(dc, {inner.left, y, inner.right, y + 1},
                  ToColorRef(GradientColor(window, fill, y - inner.top, inner.bottom - inner.top)));
      break;
    case pbControl:
      // The edit control's themed background, where the theme service has one.
      if (gui.OpenThemeData && gui.DrawThemeBackground && gui.CloseThemeData) {
        if (HTHEME theme = gui.OpenThemeData(hwnd_, L"edit")) {
          gui.DrawThemeBackground(theme, dc, 1, 0, &inner, &inner);
          gui.CloseThemeData(theme);
        }
      }
      break;
    case pbTransparent:
      PaintTransparent(dc);
      break;
  }
}

// The parent's background and content under the panel, drawn into the
// panel's canvas shifted to the panel's position.
void TNxPanel::PaintTransparent(HDC dc) const {
  const os::GuiApi& gui = os::Gui();
  HWND parent = gui.GetParent(hwnd_);
  if (!parent) return;
  POINT origin = {0, 0};
  gui.MapWindowPoints(hwnd_, parent, &origin, 1);
  POINT previous;
  gui.SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
  gui.SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  gui.SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  gui.SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void TNxPanel::PaintCaption(HDC dc, RECT inner) const {
  if (caption_.empty()) return;
  const os::GuiApi& gui = os::Gui();
  const os::Selection font(dc, font_ ? font_ : gui.GetStockObject(DEFAULT_GUI_FONT));
  gui.SetBkMode(dc, TRANSPARENT);
  gui.SetTextColor(dc, os::Api().GetSysColor(COLOR_WINDOWTEXT));
  gui.DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &inner,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX |
                    DT_EXTERNALLEADING);
}

void TNxPanel::PaintFrame(HDC dc) const {
  const os::GuiApi& gui = os::Gui();
  RECT client;
  gui.GetClientRect(hwnd_, &client);
  const os::UniquePen pen(gui.CreatePen(borderPen_.Style, borderPen_.Width, borderPen_.Color));
  const os::Selection selected(dc, pen.get());
  for (const PanelLine& line : FrameLines(client.right, client.bottom, panelBorders_, borderPen_.Width)) {
    gui.MoveToEx(dc, line.x1, line.y1, nullptr);
    gui.LineTo(dc, line.x2, line.y2);
  }
}

void TNxPanel::Paint(HDC dc) const {
  RECT client;
  os::Gui().GetClientRect(hwnd_, &client);
  const PanelRect r = InnerRect(client.right, client.bottom, panelBorders_, borderPen_.Width);
  const RECT inner = {r.left, r.top, r.right, r.bottom};
  PaintBackground(dc, inner);
  PaintCaption(dc, inner);
  PaintFrame(dc);
}

LRESULT TNxPanel::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  const os::GuiApi& gui = os::Gui();
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // Paint covers the whole area
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = gui.BeginPaint(hwnd_, &ps);
      Paint(dc);
      gui.EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      ApplyAutoSize();
      if (LOWORD(lParam)) Repaint();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
      if (alignedChild_) AlignChild(alignedChild_);
      break;
    case WM_WINDOWPOSCHANGED:
      if (backgroundStyle_ == pbTransparent) Repaint();
      break;
    case WM_NCDESTROY: {
      // The handle is dead from here on: the destructor must not write to it.
      HWND gone = std::exchange(hwnd_, nullptr);
      return gui.DefWindowProcA(gone, message, wParam, lParam);
    }
    default:
      // The window that holds the panel holds the handlers of its children.
      if (IsChildNotification(message))
        return gui.SendMessageA(gui.GetParent(hwnd_), message, wParam, lParam);
      break;
  }
  return gui.DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK TNxPanel::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* panel = app::WindowOwner<TNxPanel>(hwnd, message, lParam);
  if (panel == nullptr) return os::Gui().DefWindowProcA(hwnd, message, wParam, lParam);
  panel->hwnd_ = hwnd;
  return app::Guarded([&] { return panel->Message(message, wParam, lParam); });
}

}  // namespace components
