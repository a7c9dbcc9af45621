// TNxPanel: a container that paints its own background and frame (Windows
// build). Its geometry and colours come from components/nx_panel_paint.h.
#pragma once

#include <string>

#include "components/nx_panel_paint.h"
#include "os/gui.h"

namespace components {

struct TNxPen {
  COLORREF Color = RGB(0, 0, 0);
  int Width = 1;
  int Style = PS_SOLID;
};

// The notifications a container passes on to the window that holds it.
bool IsChildNotification(UINT message);

class TNxPanel : private SchemeListener {
 public:
  static void RegisterClass(HINSTANCE instance);
  static constexpr char kClassName[] = "TNxPanel";

  // Creates the panel's window; `style` of pbTransparent asks for the
  // transparent extended style, which takes effect only at creation.
  TNxPanel(HWND parent, int id, int left, int top, int width, int height, HINSTANCE instance,
           TNxPanelBackgroundStyle style = pbSolid);
  ~TNxPanel() override;
  TNxPanel(const TNxPanel&) = delete;
  TNxPanel& operator=(const TNxPanel&) = delete;

  HWND Handle() const { return hwnd_; }

  void SetAdaptiveColors(bool value);
  void SetBackgroundStyle(TNxPanelBackgroundStyle value);
  void SetBorderPen(const TNxPen& pen);
  void SetColorScheme(TColorScheme value);
  void SetInnerMargins(const TNxMargins& margins);
  void SetPanelBorders(TPanelBorders value);
  void SetColor(COLORREF color);  // clears the parent-colour flag
  void SetParentColor(bool value);
  void SetCaption(const std::string& caption);
  void SetAutoSize(bool value);

  // Where aligned children go: the client area inset by the margins.
  RECT AdjustClientRect() const;
  // Places a child to fill the alignment area (the client panel's children
  // keep their own places; this is for aligned ones).
  void AlignChild(HWND child);
  void Paint(HDC dc) const;

 private:
  void SchemeChanged() override { Repaint(); }
  void Repaint() const;
  COLORREF EffectiveColor() const;
  void PaintBackground(HDC dc, const RECT& inner) const;
  void PaintTransparent(HDC dc) const;
  void PaintCaption(HDC dc, RECT inner) const;
  void PaintFrame(HDC dc) const;
  void ApplyAutoSize();
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  bool adaptiveColors_ = true;
  TNxPanelBackgroundStyle backgroundStyle_ = pbSolid;
  TNxPen borderPen_;
  TColorScheme colorScheme_ = csDefault;
  TNxMargins innerMargins_;
  TPanelBorders panelBorders_ = kAllBorders;
  COLORREF color_ = 0;
  bool parentColor_ = true;
  bool autoSize_ = false;
  std::string caption_;
  HWND alignedChild_ = nullptr;
};

}  // namespace components
