#include "ui/control_factory.h"

#include "components/drawing.h"
#include "ui/controls.h"
#include "ui/scaling.h"

namespace ui {
namespace {

constexpr char kFontName[] = "Tahoma";

// The free-text lines: the project, where to read about it, and the real
// compiler this build came from.
constexpr char kCreditLine[] = "Kestrova - volume serial number tool";
constexpr char kHomePageLine[] = "(see README.md in the Kestrova sources)";
constexpr char kCompilerLine[] = "MinGW-w64 GCC " __VERSION__;

const char* FreeText(ControlId id) {
  switch (id) {
    case idLblCredit: return kCreditLine;
    case idLblHomePage: return kHomePageLine;
    case idSttCompiler: return kCompilerLine;
    default: return "";
  }
}

struct ControlStyle {
  const char* className;
  DWORD style;
  DWORD exStyle;
};

ControlStyle StyleOf(ControlKind kind) {
  constexpr DWORD child = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case ControlKind::ClientPanel:  // made by TNxPanel itself
    case ControlKind::GroupBox: return {kGroupBoxClass, child, 0};
    case ControlKind::Label: return {kLabelClass, child | SS_NOPREFIX, 0};
    case ControlKind::StaticText:
      // Made after the home-page line, whose bottom row it overlaps: the
      // clipping leaves that row to the line, as it has always shown.
      return {kLabelClass, child | SS_NOPREFIX | WS_CLIPSIBLINGS, 0};
    case ControlKind::BevelPanel: return {kBevelPanelClass, child, 0};
    case ControlKind::DriveSelector:
      return {"COMBOBOX",
              child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                  CBS_HASSTRINGS,
              0};
    case ControlKind::Edit:
      return {"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    case ControlKind::GlyphButton: return {"BUTTON", child | WS_TABSTOP | BS_OWNERDRAW, 0};
  }
  return {kLabelClass, child | SS_NOPREFIX, 0};
}

// A control's place at the screen's density; labels size themselves to
// their caption from their left edge, and the selector's window holds the
// room its list drops down into.
Rect PlaceOf(const ControlLayout& layout, const char* caption, HFONT font, int zeroHeight) {
  Rect rect = ScaleRect(layout.rect, zeroHeight);
  if (layout.kind == ControlKind::Label) {
    const components::TextSize extent = components::MeasureText(font, caption);
    rect.width = extent.width;
    rect.height = extent.cellHeight;
  }
  if (layout.kind == ControlKind::DriveSelector) rect.height += 8 * rect.height;
  return rect;
}

void SetFont(HWND control, HFONT font) {
  os::Gui().SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace

ScreenFont MakeScreenFont() {
  ScreenFont made;
  {
    const os::WindowDC screen;
    made.dpi = os::Gui().GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  made.font.reset(os::Gui().CreateFontA(
      ScaledFontHeight(made.dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
      kFontName));
  if (made.dpi != 96) made.zeroHeight = components::MeasureText(made.font.get(), "0").cellHeight;
  return made;
}

MainControls::MainControls(HINSTANCE instance, HWND window, const ScreenFont& font)
    : instance_(instance),
      window_(window),
      font_(font.font.get()),
      zeroHeight_(font.zeroHeight),
      glyphOK_(os::Gui().LoadBitmapA(instance, "BBOK")),
      glyphClose_(os::Gui().LoadBitmapA(instance, "BBCLOSE")) {
  for (const ControlLayout& layout : kMainLayout) controls_[layout.id] = Make(layout);
  os::Gui().SendMessageA(controls_.at(idEdtNVSN), EM_LIMITTEXT, kEntryMaxLength, 0);
  os::Gui().EnableWindow(controls_.at(idBbnOK), FALSE);
}

HBITMAP MainControls::Glyph(ControlId button) const {
  return button == idBbnOK ? glyphOK_.get() : glyphClose_.get();
}

void MainControls::Color(const WindowColors& colors) {
  SetControlColors(colors);
  // The colour scheme's face where it suits the system's colours, else the
  // face chosen from the system's.
  nxpClient_->SetAdaptiveColors(colors.schemeFace);
  if (!colors.schemeFace) nxpClient_->SetColor(components::ToColorRef(colors.panelFace));
  nxpClient_->SetBorderPen({components::ToColorRef(colors.frame), 1, PS_SOLID});
}

void MainControls::Recolor(const WindowColors& colors, UINT message) {
  const os::GuiApi& gui = os::Gui();
  Color(colors);
  // Windows tells top-level windows only of new system colours: the common
  // controls learn of them from the window that holds them.
  if (message == WM_SYSCOLORCHANGE)
    for (const auto& control : controls_) gui.SendMessageA(control.second, message, 0, 0);
  gui.RedrawWindow(window_, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

HWND MainControls::MakeClientPanel(const Rect& rect) {
  // Fills the client area; its children keep their places.
  nxpClient_ = std::make_unique<components::TNxPanel>(window_, idNxpClient, rect.left, rect.top,
                                                      rect.width, rect.height, instance_);
  SetFont(nxpClient_->Handle(), font_);
  return nxpClient_->Handle();
}

HWND MainControls::Make(const ControlLayout& layout) {
  const char* caption = layout.caption ? layout.caption : FreeText(layout.id);
  const Rect rect = PlaceOf(layout, caption, font_, zeroHeight_);
  if (layout.kind == ControlKind::ClientPanel) return MakeClientPanel(rect);
  const ControlStyle style = StyleOf(layout.kind);
  HWND parent = layout.parent == idNone ? window_ : controls_.at(layout.parent);
  HWND control = os::Gui().CreateWindowExA(
      style.exStyle, style.className, caption, style.style, rect.left, rect.top, rect.width,
      rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance_,
      nullptr);
  if (layout.kind == ControlKind::Label || layout.kind == ControlKind::StaticText)
    SubclassLabel(control);
  SetFont(control, font_);
  return control;
}

}  // namespace ui
