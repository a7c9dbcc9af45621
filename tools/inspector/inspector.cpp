// Outside-in view of a running Kestrova for the end-to-end tests: finds its
// windows, reads their state across the process boundary and prints JSON.
//
//   kestrova-inspector window "<caption>"
//   kestrova-inspector wait "<caption>" <timeout-ms>
//   kestrova-inspector dialogs <pid>
//   kestrova-inspector click <hwnd>
//   kestrova-inspector message <code>   (the system's text for an error code)
//   kestrova-inspector post <hwnd> <message> <wparam> <lparam>
//   kestrova-inspector send <hwnd> <message> <wparam> <lparam>
//   kestrova-inspector measure <face> <height> <text>...
//   kestrova-inspector accessible <hwnd>   (what a screen reader hears)
//
// Exit code: 0 found, 1 not found (or timed out), 2 usage error.
#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/utf8.h"
#include "ui/layout.h"

namespace {

constexpr UINT kSendTimeoutMs = 500;
constexpr int kMaxText = 1024;

// ---- JSON output ---------------------------------------------------------

// Texts come from the W calls so the output is valid UTF-8 whatever the
// ANSI code page of the target is.
std::string Utf8(const wchar_t* s, size_t n) { return tools::Utf16ToUtf8(s, n); }

// Quotes UTF-8 text (or plain ASCII) as a JSON string.
std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// Builds one JSON object; fields are appended in call order.
class Obj {
 public:
  Obj& Raw(const char* key, const std::string& json) {
    if (!body_.empty()) body_ += ",";
    body_ += Quote(key) + ":" + json;
    return *this;
  }
  Obj& Str(const char* key, const std::string& utf8) { return Raw(key, Quote(utf8)); }
  Obj& Int(const char* key, long long v) { return Raw(key, std::to_string(v)); }
  Obj& Bool(const char* key, bool v) { return Raw(key, v ? "true" : "false"); }
  Obj& Handle(const char* key, const void* h) {
    return Raw(key, std::to_string(reinterpret_cast<uintptr_t>(h)));
  }
  std::string Json() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};

std::string Array(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
  return out + "]";
}

std::string Ints(std::initializer_list<long long> v) {
  std::vector<std::string> items;
  for (long long x : v) items.push_back(std::to_string(x));
  return Array(items);
}

std::string RectJson(const RECT& r) {
  return Ints({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

// ---- reading windows -----------------------------------------------------

// A hung target must not hang the tests, so every message has a timeout.
bool Send(HWND h, UINT msg, WPARAM w, LPARAM l, DWORD_PTR* result) {
  return SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, result) != 0;
}

LRESULT SendOr(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT fallback) {
  DWORD_PTR r = 0;
  return Send(h, msg, w, l, &r) ? static_cast<LRESULT>(r) : fallback;
}

std::string TextOf(HWND h) {
  wchar_t buf[kMaxText + 1] = {};
  DWORD_PTR n = 0;
  // A busy target (a modal loop ending, say) times out; the text the system
  // keeps for the window is then the best answer, and for captions exact.
  if (!Send(h, WM_GETTEXT, kMaxText + 1, reinterpret_cast<LPARAM>(buf), &n)) {
    n = InternalGetWindowText(h, buf, kMaxText + 1);
  }
  if (n > kMaxText) n = kMaxText;
  return Utf8(buf, n);
}

std::string ClassOf(HWND h) {
  wchar_t buf[256] = {};
  int n = GetClassNameW(h, buf, 256);
  return Utf8(buf, n > 0 ? n : 0);
}

bool ClassIs(HWND h, const char* name) { return _stricmp(ClassOf(h).c_str(), name) == 0; }

const char* LayoutName(int id) {
  if (id == 0) return "";
  for (const auto& c : ui::kMainLayout) {
    if (c.id == id) return c.name;
  }
  return "";
}

RECT ScreenRect(HWND h) {
  RECT r = {};
  GetWindowRect(h, &r);
  return r;
}

RECT RelativeRect(HWND h, HWND parent) {
  RECT r = ScreenRect(h);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string ClientSize(HWND h) {
  RECT r = {};
  GetClientRect(h, &r);
  return Ints({r.right - r.left, r.bottom - r.top});
}

long long Style(HWND h) { return static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)); }
long long ExStyle(HWND h) { return static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)); }

int PropInt(HWND h, const char* name) {
  return static_cast<int>(reinterpret_cast<intptr_t>(GetPropA(h, name)));
}

// The X window that carries h under Wine, so the harness can give it the X
// input focus without a window manager; with a virtual desktop only the
// desktop has one. 0 elsewhere.
uintptr_t X11Window(HWND h) {
  auto w = reinterpret_cast<uintptr_t>(GetPropA(h, "__wine_x11_whole_window"));
  if (!w) w = reinterpret_cast<uintptr_t>(GetPropA(GetDesktopWindow(), "__wine_x11_whole_window"));
  return w;
}

GUITHREADINFO GuiInfo(DWORD tid) {
  GUITHREADINFO gti = {};
  gti.cbSize = sizeof gti;
  if (!GetGUIThreadInfo(tid, &gti)) {
    std::memset(&gti, 0, sizeof gti);
    gti.cbSize = sizeof gti;
  }
  return gti;
}

std::string ComboJson(HWND h) {
  LRESULT count = SendOr(h, CB_GETCOUNT, 0, 0, CB_ERR);
  std::vector<std::string> items, data;
  // Owner-drawn items without CBS_HASSTRINGS hold no text, only item data.
  DWORD style = static_cast<DWORD>(Style(h));
  bool hasText = !(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || (style & CBS_HASSTRINGS);
  for (LRESULT i = 0; i < count; ++i) {
    std::string text;
    LRESULT len = hasText ? SendOr(h, CB_GETLBTEXTLEN, i, 0, CB_ERR) : CB_ERR;
    if (len >= 0 && len < 0x10000) {
      std::vector<wchar_t> buf(len + 1);
      LRESULT got = SendOr(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()), CB_ERR);
      if (got > len) got = len;
      if (got >= 0) text = Utf8(buf.data(), got);
    }
    items.push_back(Quote(text));
    data.push_back(std::to_string(SendOr(h, CB_GETITEMDATA, i, 0, CB_ERR)));
  }
  return Obj()
      .Int("count", count)
      .Raw("items", Array(items))
      .Raw("item_data", Array(data))
      .Int("current", SendOr(h, CB_GETCURSEL, 0, 0, CB_ERR))
      .Int("item_height", SendOr(h, CB_GETITEMHEIGHT, 0, 0, CB_ERR))
      .Int("field_height", SendOr(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0, CB_ERR))
      .Bool("dropped", SendOr(h, CB_GETDROPPEDSTATE, 0, 0, 0) != 0)
      .Json();
}

// What every window reports, top-level or child.
Obj& WindowState(Obj& o, HWND h) {
  return o.Handle("hwnd", h)
      .Str("class", ClassOf(h))
      .Str("text", TextOf(h))
      .Raw("client", ClientSize(h))
      .Int("style", Style(h))
      .Int("exstyle", ExStyle(h))
      .Bool("enabled", IsWindowEnabled(h))
      .Bool("visible", IsWindowVisible(h));
}

std::string ControlJson(HWND h, int zorder, HWND focus) {
  HWND parent = GetAncestor(h, GA_PARENT);
  int id = GetDlgCtrlID(h);
  std::string cls = ClassOf(h);
  Obj o;
  WindowState(o, h)
      .Int("id", id)
      .Str("name", LayoutName(id))
      .Handle("parent", parent)
      .Str("parent_name", LayoutName(GetDlgCtrlID(parent)))
      .Raw("rect", RectJson(RelativeRect(h, parent)))
      .Raw("screen", RectJson(ScreenRect(h)))
      .Bool("focused", h == focus)
      .Int("zorder", zorder)
      .Bool("tabstop", (Style(h) & WS_TABSTOP) != 0);
  if (_stricmp(cls.c_str(), "ComboBox") == 0) o.Raw("combo", ComboJson(h));
  // BST_FOCUS (8) among them: a focus state the button keeps for itself.
  if (_stricmp(cls.c_str(), "Button") == 0) o.Int("button_state", SendOr(h, BM_GETSTATE, 0, 0, -1));
  if (_stricmp(cls.c_str(), "Edit") == 0) {
    DWORD_PTR limit = 0;  // unsigned: "no limit" is 0xFFFFFFFF or 0x7FFFFFFE
    o.Raw("limit", Send(h, EM_GETLIMITTEXT, 0, 0, &limit) ? std::to_string(static_cast<DWORD>(limit))
                                                          : "null");
  }
  return o.Json();
}

// Depth first, each parent's children in z order.
void CollectControls(HWND parent, HWND focus, std::vector<std::string>* out) {
  int z = 0;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    out->push_back(ControlJson(c, z++, focus));
    CollectControls(c, focus, out);
  }
}

std::string WindowJson(HWND h) {
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(h, &pid);
  GUITHREADINFO gti = GuiInfo(tid);
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  std::vector<std::string> controls;
  CollectControls(h, gti.hwndFocus, &controls);
  Obj o;
  return WindowState(o, h)
      .Bool("found", true)
      .Int("pid", pid)
      .Int("tid", tid)
      .Str("caption", TextOf(h))
      .Raw("rect", RectJson(ScreenRect(h)))
      .Bool("iconic", IsIconic(h))
      .Bool("zoomed", IsZoomed(h))
      .Raw("screen", Ints({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}))
      .Raw("workarea", RectJson(work))
      .Handle("focus", gti.hwndFocus)
      .Str("focus_name", gti.hwndFocus ? LayoutName(GetDlgCtrlID(gti.hwndFocus)) : "")
      .Bool("active", gti.hwndActive == h)
      .Handle("active_hwnd", gti.hwndActive)
      .Bool("foreground", GetForegroundWindow() == h)
      .Int("x11_window", static_cast<long long>(X11Window(h)))
      .Raw("props", Obj()
                        .Int("KestrovaFontHeight", PropInt(h, "KestrovaFontHeight"))
                        .Int("KestrovaDpi", PropInt(h, "KestrovaDpi"))
                        .Json())
      .Raw("controls", Array(controls))
      .Json();
}

std::string DialogJson(HWND dlg) {
  HWND focus = GuiInfo(GetWindowThreadProcessId(dlg, nullptr)).hwndFocus;
  LRESULT defid = SendOr(dlg, DM_GETDEFID, 0, 0, 0);
  int defId = HIWORD(defid) == DC_HASDEFID ? LOWORD(defid) : 0;
  std::vector<std::string> texts;
  std::vector<HWND> buttons;
  bool hasIcon = false, anyDefStyle = false;
  RECT iconRect = {};
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    DWORD style = static_cast<DWORD>(Style(c));
    if (ClassIs(c, "Static")) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        hasIcon = true;
        iconRect = ScreenRect(c);
      } else {
        texts.push_back(Quote(TextOf(c)));
      }
    } else if (ClassIs(c, "Button")) {
      buttons.push_back(c);
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) anyDefStyle = true;
    }
  }
  std::vector<std::string> buttonJson;
  for (HWND b : buttons) {
    bool defStyle = (Style(b) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    // The style marks the default; the dialog's DEFID stands in when no
    // button carries it (a dialog may keep the default only as DEFID).
    bool isDefault = defStyle || (!anyDefStyle && defId != 0 && GetDlgCtrlID(b) == defId);
    buttonJson.push_back(Obj()
                             .Str("text", TextOf(b))
                             .Handle("hwnd", b)
                             .Int("id", GetDlgCtrlID(b))
                             .Bool("default", isDefault)
                             .Bool("focused", b == focus)
                             .Bool("enabled", IsWindowEnabled(b))
                             .Json());
  }
  return Obj()
      .Handle("hwnd", dlg)
      .Str("caption", TextOf(dlg))
      .Str("class", ClassOf(dlg))
      .Raw("rect", RectJson(ScreenRect(dlg)))
      .Handle("owner", GetWindow(dlg, GW_OWNER))
      .Raw("texts", Array(texts))
      .Raw("buttons", Array(buttonJson))
      .Int("defid", defId)
      .Bool("has_error_icon", hasIcon)
      // Which icon cannot be asked across processes; a test can look at
      // these pixels in a screenshot instead.
      .Raw("icon_screen", RectJson(iconRect))
      .Bool("enabled", IsWindowEnabled(dlg))
      .Bool("foreground", GetForegroundWindow() == dlg)
      .Int("x11_window", static_cast<long long>(X11Window(dlg)))
      .Json();
}

struct EnumState {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND h, LPARAM param) {
  auto* st = reinterpret_cast<EnumState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == st->pid) st->windows.push_back(h);
  return TRUE;
}

// ---- commands ------------------------------------------------------------

HWND FindTop(const char* caption) { return FindWindowA(nullptr, caption); }

int NotFound(const char* what, const std::string& value) {
  std::printf("%s\n", Obj().Bool("found", false).Str(what, value).Json().c_str());
  return 1;
}

int CmdWindow(const char* caption) {
  HWND h = FindTop(caption);
  if (!h) return NotFound("caption", caption);
  std::printf("%s\n", WindowJson(h).c_str());
  return 0;
}

int CmdWait(const char* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND h = FindTop(caption);
    if (h && IsWindowVisible(h)) {
      std::printf("%s\n", WindowJson(h).c_str());
      return 0;
    }
    if (GetTickCount() - start >= timeoutMs) return NotFound("caption", caption);
    Sleep(50);
  }
}

int CmdDialogs(DWORD pid) {
  EnumState st{pid, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&st));
  std::vector<std::string> dialogs, others;
  for (HWND h : st.windows) {
    if (IsWindowVisible(h) && ClassIs(h, "#32770")) {
      dialogs.push_back(DialogJson(h));
    } else {
      others.push_back(Obj()
                           .Handle("hwnd", h)
                           .Str("caption", TextOf(h))
                           .Str("class", ClassOf(h))
                           .Raw("rect", RectJson(ScreenRect(h)))
                           .Bool("enabled", IsWindowEnabled(h))
                           .Bool("visible", IsWindowVisible(h))
                           .Json());
    }
  }
  std::printf("%s\n", Obj()
                          .Bool("found", !dialogs.empty())
                          .Int("pid", pid)
                          .Raw("dialogs", Array(dialogs))
                          .Raw("others", Array(others))
                          .Json()
                          .c_str());
  return dialogs.empty() ? 1 : 0;
}

int CmdClick(HWND h) {
  if (!IsWindow(h)) return NotFound("hwnd", std::to_string(reinterpret_cast<uintptr_t>(h)));
  RECT r = ScreenRect(h);
  std::printf("%s\n", Obj()
                          .Bool("found", true)
                          .Int("x", (r.left + r.right) / 2)
                          .Int("y", (r.top + r.bottom) / 2)
                          .Json()
                          .c_str());
  return 0;
}

// What the system itself says for an error code, in the user's default
// language, so a test can tell the program passed it on unchanged.
int CmdMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text),
      0, nullptr);
  const std::string utf8 = n && text ? Utf8(text, n) : std::string();
  if (text) LocalFree(text);
  std::printf("%s\n", Obj().Bool("found", n != 0).Int("code", code).Str("text", utf8).Json().c_str());
  return n ? 0 : 1;
}

// Puts a message in the window's queue, as the system would (a key the
// keyboard cannot make, a system command); or sends it, as the system sends
// what may not be posted (a setting change).
int CmdPost(HWND h, UINT message, WPARAM wParam, LPARAM lParam, bool send) {
  if (!IsWindow(h)) return NotFound("hwnd", std::to_string(reinterpret_cast<uintptr_t>(h)));
  DWORD_PTR result = 0;
  const bool done = send ? SendMessageTimeoutW(h, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000,
                                               &result) != 0
                         : PostMessageW(h, message, wParam, lParam) != 0;
  std::printf("%s\n", Obj().Bool("found", true).Bool(send ? "sent" : "posted", done).Json().c_str());
  return done ? 0 : 1;
}

// The size of each text in a font made here, in the target's prefix and at
// its density, so a test learns what the program's font should measure
// without asking the program.
int CmdMeasure(const char* face, int height, char** texts, int count) {
  HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, face);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t chosen[LF_FACESIZE] = {};
  const int faceLength = GetTextFaceW(dc, LF_FACESIZE, chosen);
  std::vector<std::string> sizes;
  for (int i = 0; i < count; ++i) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, texts[i], static_cast<int>(std::strlen(texts[i])), &size);
    sizes.push_back(Ints({size.cx, size.cy}));
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  std::printf("%s\n", Obj()
                          .Bool("found", font != nullptr)
                          .Str("face", Utf8(chosen, faceLength > 0 ? faceLength - 1 : 0))
                          .Raw("sizes", Array(sizes))
                          .Json()
                          .c_str());
  return font ? 0 : 1;
}

// ---- the accessibility layer -------------------------------------------

struct Heard {
  bool named = false;
  std::string name;
  long role = 0;
};

// The window's own object, as a screen reader asks for it: its client
// object's name and role.
Heard Hear(HWND h) {
  Heard heard;
  IAccessible* object = nullptr;
  // __uuidof: MinGW's IID_IAccessible, imported from oleacc without
  // dllimport, would hand over the import's address instead of the GUID.
  if (FAILED(AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) ||
      !object)
    return heard;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (object->get_accName(self, &name) == S_OK && name) {
    heard.named = true;
    heard.name = Utf8(name, SysStringLen(name));
  }
  SysFreeString(name);
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) heard.role = role.lVal;
  VariantClear(&role);
  object->Release();
  return heard;
}

std::string RoleText(long role) {
  wchar_t buf[128] = {};
  const UINT n = GetRoleTextW(static_cast<DWORD>(role), buf, 128);
  return Utf8(buf, n);
}

BOOL CALLBACK HearChild(HWND h, LPARAM param) {
  const Heard heard = Hear(h);
  HWND parent = GetAncestor(h, GA_PARENT);
  reinterpret_cast<std::vector<std::string>*>(param)->push_back(
      Obj()
          .Handle("hwnd", h)
          .Str("name", LayoutName(GetDlgCtrlID(h)))
          .Str("parent_name", LayoutName(GetDlgCtrlID(parent)))
          .Str("class", ClassOf(h))
          .Raw("accessible_name", heard.named ? Quote(heard.name) : "null")
          .Int("role", heard.role)
          .Str("role_text", RoleText(heard.role))
          .Json());
  return TRUE;
}

// Every descendant of the window in the order a screen reader walks them:
// children in z order, top first, each followed by its own.
int CmdAccessible(HWND h) {
  if (!IsWindow(h)) return NotFound("hwnd", std::to_string(reinterpret_cast<uintptr_t>(h)));
  CoInitialize(nullptr);
  std::vector<std::string> controls;
  EnumChildWindows(h, HearChild, reinterpret_cast<LPARAM>(&controls));
  const Heard window = Hear(h);
  std::printf("%s\n", Obj()
                          .Bool("found", true)
                          .Str("accessible_name", window.name)
                          .Raw("controls", Array(controls))
                          .Json()
                          .c_str());
  CoUninitialize();
  return 0;
}

bool ParseNumber(const char* s, unsigned long long* out) {
  if (!s || !*s) return false;
  char* end = nullptr;
  *out = std::strtoull(s, &end, 0);
  return *end == '\0';
}

int Usage() {
  std::fprintf(stderr,
               "usage: kestrova-inspector window <caption>\n"
               "       kestrova-inspector wait <caption> <timeout-ms>\n"
               "       kestrova-inspector dialogs <pid>\n"
               "       kestrova-inspector click <hwnd>\n"
               "       kestrova-inspector message <code>\n"
               "       kestrova-inspector post <hwnd> <message> <wparam> <lparam>\n"
               "       kestrova-inspector send <hwnd> <message> <wparam> <lparam>\n"
               "       kestrova-inspector measure <face> <height> <text>...\n"
               "       kestrova-inspector accessible <hwnd>\n");
  return 2;
}

// Coordinates must be the real pixels whatever DPI the test sets, so the
// inspector declares itself DPI aware where the system knows the call.
void BecomeDpiAware() {
  using Fn = BOOL(WINAPI*)();
  HMODULE user = GetModuleHandleW(L"user32.dll");
  auto fn = user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")))
                 : nullptr;
  if (fn) fn();
}

}  // namespace

int main(int argc, char** argv) {
  // Each answer is written as it is printed, not left in a buffer for the
  // exit: under load, 64-bit Wine now and then ended a run with none.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  BecomeDpiAware();
  if (argc < 2) return Usage();
  std::string cmd = argv[1];
  unsigned long long n = 0;
  if (cmd == "window" && argc == 3) return CmdWindow(argv[2]);
  if (cmd == "wait" && argc == 4 && ParseNumber(argv[3], &n)) {
    return CmdWait(argv[2], static_cast<DWORD>(n));
  }
  if (cmd == "dialogs" && argc == 3 && ParseNumber(argv[2], &n)) {
    return CmdDialogs(static_cast<DWORD>(n));
  }
  if (cmd == "click" && argc == 3 && ParseNumber(argv[2], &n)) {
    return CmdClick(reinterpret_cast<HWND>(static_cast<uintptr_t>(n)));
  }
  if (cmd == "message" && argc == 3 && ParseNumber(argv[2], &n)) {
    return CmdMessage(static_cast<DWORD>(n));
  }
  if (cmd == "accessible" && argc == 3 && ParseNumber(argv[2], &n)) {
    return CmdAccessible(reinterpret_cast<HWND>(static_cast<uintptr_t>(n)));
  }
  unsigned long long message = 0, wParam = 0, lParam = 0;
  if ((cmd == "post" || cmd == "send") && argc == 6 && ParseNumber(argv[2], &n) &&
      ParseNumber(argv[3], &message) && ParseNumber(argv[4], &wParam) &&
      ParseNumber(argv[5], &lParam)) {
    return CmdPost(reinterpret_cast<HWND>(static_cast<uintptr_t>(n)), static_cast<UINT>(message),
                   static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam), cmd == "send");
  }
  if (cmd == "measure" && argc >= 5) {
    char* end = nullptr;
    const long height = std::strtol(argv[3], &end, 10);
    if (argv[3][0] && *end == '\0')
      return CmdMeasure(argv[2], static_cast<int>(height), argv + 4, argc - 4);
  }
  return Usage();
}
