// Renders client panels with chosen properties into bitmaps through
// WM_PRINTCLIENT and checks their pixels. Run under Wine with a display;
// prints one line per failed check and ends with "N passed, N failed".
// With an output folder it also writes each rendering as a .bmp file.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "components/nx_panel.h"
#include "os/api.h"

namespace {

using components::TNxPanel;

const COLORREF kOddFace = RGB(200, 100, 50);  // neither the system's nor the panel's
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBlue = RGB(227, 239, 255);

int passed = 0, failed = 0;
std::string outputFolder;

void Check(bool ok, const std::string& what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

std::string Hex(COLORREF c) {
  char text[16];
  std::snprintf(text, sizeof(text), "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

// A panel's rendering, read back pixel by pixel.
class Rendering {
 public:
  Rendering(HWND panel, const std::string& name) {
    RECT client;
    GetClientRect(panel, &client);
    width = client.right;
    height = client.bottom;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    RECT all = {0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(panel, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    Save(name);
  }
  ~Rendering() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Rendering(const Rendering&) = delete;
  Rendering& operator=(const Rendering&) = delete;

  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y) & 0xFFFFFF; }
  void Expect(int x, int y, COLORREF want, const std::string& what) const {
    const COLORREF got = At(x, y);
    Check(got == want, what + " at " + std::to_string(x) + "," + std::to_string(y) + ": want " +
                           Hex(want) + ", got " + Hex(got));
  }
  bool Same(const Rendering& other) const {
    if (other.width != width || other.height != height) return false;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) != other.At(x, y)) return false;
    return true;
  }
  HDC dc() const { return dc_; }
  int width = 0, height = 0;

 private:
  void Save(const std::string& name) const {
    if (outputFolder.empty() || name.empty()) return;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(dc_, bitmap_, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::string path = outputFolder + "\\" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
      std::fwrite(&file, sizeof(file), 1, out);
      std::fwrite(&header, sizeof(header), 1, out);
      std::fwrite(pixels.data(), 1, pixels.size(), out);
      std::fclose(out);
    }
  }
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

constexpr int kW = 80, kH = 40;

struct Host {
  HWND window;
  HINSTANCE instance;
};

void DefaultPanelIsTheBlueFaceInABlackFrame(const Host& host) {
  TNxPanel panel(host.window, 1, 0, 0, kW, kH, host.instance);
  const Rendering r(panel.Handle(), "default");
  for (int x : {0, 1, kW / 2, kW - 1}) r.Expect(x, 0, kBlack, "top line");
  for (int x : {0, kW / 2, kW - 1}) r.Expect(x, kH - 1, kBlack, "bottom line");
  for (int y : {1, kH / 2, kH - 2}) {
    r.Expect(0, y, kBlack, "left line");
    r.Expect(kW - 1, y, kBlack, "right line");
  }
  for (int x : {1, kW / 2, kW - 2})
    for (int y : {1, kH / 2, kH - 2}) r.Expect(x, y, kBlue, "fill, whatever the window's colour");
}

void WithoutAdaptiveColoursTheFillFollowsTheParent(const Host& host) {
  TNxPanel panel(host.window, 1, 0, 0, kW, kH, host.instance);
  panel.SetAdaptiveColors(false);
  const Rendering r(panel.Handle(), "parent-colour");
  r.Expect(kW / 2, kH / 2, kOddFace, "the parent's colour");
  r.Expect(0, kH / 2, kBlack, "frame kept");
  panel.SetColor(RGB(10, 20, 30));
  const Rendering own(panel.Handle(), "");
  own.Expect(kW / 2, kH / 2, RGB(10, 20, 30), "its own colour");
}

void APenOfWidthTwoInsetsTheFillByTwo(const Host& host) {
  TNxPanel panel(host.window, 1, 0, 0, kW, kH, host.instance);
  components::TNxPen pen;
  pen.Width = 2;
  pen.Color = RGB(0, 0, 128);
  panel.SetBorderPen(pen);
  const Rendering r(panel.Handle(), "pen-2");
  const int y = kH / 2, x = kW / 2;
  r.Expect(1, y, RGB(0, 0, 128), "left line on x = 1");
  r.Expect(2, y, kBlue, "fill from x = 2");
  r.Expect(kW - 1, y, RGB(0, 0, 128), "right line on x = W - 1");
  r.Expect(kW - 3, y, kBlue, "fill up to x = W - 3");
  r.Expect(x, 1, RGB(0, 0, 128), "top line on y = 1");
  r.Expect(x, 2, kBlue, "fill from y = 2");
  r.Expect(x, kH - 1, RGB(0, 0, 128), "bottom line on y = H - 1");
  r.Expect(x, kH - 3, kBlue, "fill up to y = H - 3");
}

void WithoutBordersTheFillCoversEverything(const Host& host) {
  TNxPanel panel(host.window, 1, 0, 0, kW, kH, host.instance);
  panel.SetPanelBorders(0);
  const Rendering r(panel.Handle(), "no-borders");
  for (int x : {0, kW - 1})
    for (int y : {0, kH - 1}) r.Expect(x, y, kBlue, "corner filled");
}

void GradientsBlendFromTheWindowColour(const Host& host, components::TNxPanelBackgroundStyle style,
                                       const char* name) {
  TNxPanel panel(host.window, 1, 0, 0, kW, kH, host.instance, style);
  panel.SetPanelBorders(0);
  const Rendering r(panel.Handle(), name);
  const COLORREF w = GetSysColor(COLOR_WINDOW);
  const components::Rgb window{GetRValue(w), GetGValue(w), GetBValue(w)};
  const components::Rgb fill{227, 239, 255};
  const bool horizontal = style == components::pbHorzGradient;
  const int length = horizontal ? kW : kH;
  for (int step : {0, length / 4, length / 2, length - 1}) {
    const components::Rgb c = components::GradientColor(window, fill, step, length);
    const int x = horizontal ? step : kW / 2, y = horizontal ? kH / 2 : step;
    r.Expect(x, y, RGB(c.red, c.green, c.blue), std::string(name) + " step");
  }
}

// The caption as DrawText shows it centred on one line, for comparison.
void DrawReference(HDC dc, HWND panel, const char* text, UINT extra) {
  RECT inner;
  GetClientRect(panel, &inner);
  InflateRect(&inner, -1, -1);
  HBRUSH blue = CreateSolidBrush(kBlue);
  FillRect(dc, &inner, blue);
  DeleteObject(blue);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(panel, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextA(dc, text, -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXTERNALLEADING | extra);
  SelectObject(dc, old);
}

void CaptionsAreCutWithAnEllipsisAndShowAmpersands(const Host& host, HFONT font) {
  const char* caption = "Tom & Jerry: a caption far too long for the panel";
  TNxPanel panel(host.window, 1, 0, 0, 120, 24, host.instance);
  SendMessageA(panel.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  panel.SetCaption(caption);
  const Rendering shown(panel.Handle(), "caption");
  // Drawn by hand over the panel's own frame: the same picture when the
  // panel cut the text with an ellipsis and left the "&" alone.
  panel.SetCaption("");
  const Rendering cut(panel.Handle(), "");
  DrawReference(cut.dc(), panel.Handle(), caption, DT_END_ELLIPSIS | DT_NOPREFIX);
  Check(shown.Same(cut), "caption ends with an ellipsis and shows & as itself");
  const Rendering prefixed(panel.Handle(), "");
  DrawReference(prefixed.dc(), panel.Handle(), caption, DT_END_ELLIPSIS);
  Check(!shown.Same(prefixed), "the & is not taken as an accelerator prefix");
}

void MarginsMoveAlignedChildrenButNotTheFrame(const Host& host) {
  TNxPanel panel(host.window, 1, 0, 0, kW, kH, host.instance);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                               panel.Handle(), nullptr, host.instance, nullptr);
  panel.AlignChild(child);
  components::TNxMargins margins;
  margins.Left = 5;
  margins.Top = 6;
  margins.Right = 7;
  margins.Bottom = 8;
  panel.SetInnerMargins(margins);
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, panel.Handle(), reinterpret_cast<POINT*>(&rect), 2);
  Check(rect.left == 5 && rect.top == 6 && rect.right == kW - 7 && rect.bottom == kH - 8,
        "the child sits inside the margins: " + std::to_string(rect.left) + "," +
            std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
            std::to_string(rect.bottom));
  ShowWindow(child, SW_HIDE);
  const Rendering r(panel.Handle(), "margins");
  r.Expect(0, kH / 2, kBlack, "frame stays on column 0");
  r.Expect(kW - 1, kH / 2, kBlack, "frame stays on column W - 1");
  DestroyWindow(child);
}

void AGlobalSchemeChangeRepaintsWithTheNewFace(const Host& host) {
  TNxPanel panel(host.window, 1, 0, 0, kW, kH, host.instance);
  components::SetGlobalColorScheme(components::csSilver);
  const Rendering r(panel.Handle(), "scheme-silver");
  r.Expect(kW / 2, kH / 2, RGB(240, 241, 242), "the silver scheme's face");
  components::SetGlobalColorScheme(components::csBlue);
}

}  // namespace

int main(int argc, char** argv) {
  os::BindWin32Api();
  if (argc > 1) outputFolder = argv[1];
  HINSTANCE instance = GetModuleHandleA(nullptr);
  TNxPanel::RegisterClass(instance);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.hbrBackground = CreateSolidBrush(kOddFace);
  wc.lpszClassName = "PanelTestHost";
  RegisterClassExA(&wc);
  HWND window = CreateWindowExA(0, "PanelTestHost", "Panel test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 300, 200, nullptr, nullptr, instance, nullptr);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  const Host host{window, instance};
  DefaultPanelIsTheBlueFaceInABlackFrame(host);
  WithoutAdaptiveColoursTheFillFollowsTheParent(host);
  APenOfWidthTwoInsetsTheFillByTwo(host);
  WithoutBordersTheFillCoversEverything(host);
  GradientsBlendFromTheWindowColour(host, components::pbHorzGradient, "horizontal-gradient");
  GradientsBlendFromTheWindowColour(host, components::pbVertGradient, "vertical-gradient");
  CaptionsAreCutWithAnEllipsisAndShowAmpersands(host, font);
  MarginsMoveAlignedChildrenButNotTheFrame(host);
  AGlobalSchemeChangeRepaintsWithTheNewFace(host);
  DestroyWindow(window);
  DeleteObject(font);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
