// Runs the volume operations against a real drive, through the real
// Win32 binding, and prints what they return: the end-to-end tests run it
// under Wine with drives mapped to disk images.
//
//   volume_driver query X        the query texts and the boot-sector serial
//   volume_driver write X SERIAL WriteBootSectorSerial, then the serial again
//   volume_driver mediaid X SERIAL
//   volume_driver platform
//
// Every error dialog is printed as a line "dialog=<text>" (CR, LF and other
// control characters escaped) instead of being shown, so nothing waits for
// a click.
#include <cstdio>
#include <cstring>
#include <string>

#include "os/api.h"
#include "platform/platform.h"
#include "volume/boot_sector.h"
#include "volume/media_id.h"
#include "volume/serial_entry.h"
#include "volume/volume_info.h"

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof(code), "\\x%02x", static_cast<unsigned char>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

void PrintLine(const char* key, const std::string& value) {
  std::printf("%s=%s\n", key, Escaped(value).c_str());
  std::fflush(stdout);
}

std::string Utf8(LPCWSTR text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<size_t>(size - 1));
  return out;
}

int WINAPI PrintedMessageBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  PrintLine("dialog", Utf8(text));
  return IDOK;
}

// The real table, with the dialogs printed instead of shown.
void BindPrintingApi() {
  static os::Win32Api table;
  os::BindWin32Api();
  table = os::Api();
  table.MessageBoxW = &PrintedMessageBox;
  table.TaskDialogIndirect = nullptr;  // so every dialog takes the message-box path
  os::InstallApi(&table);
}

bool DriveIndexOf(const char* letter, volume::DriveIndex* index) {
  const char c = letter[0];
  const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  if (letter[1] != '\0' || lower < 'a' || lower > 'z') return false;
  *index = static_cast<volume::DriveIndex>(lower - 'a');
  return true;
}

void Query(volume::DriveIndex index) {
  PrintLine("filesystem", volume::GetFileSystemText(index));
  PrintLine("code", std::to_string(volume::ClassifyFileSystem(index)));
  PrintLine("label", volume::GetVolumeLabelText(index));
  PrintLine("serial", volume::GetSerialText(index));
  PrintLine("boot", volume::ReadBootSectorSerial(index));
}

void Write(volume::DriveIndex index, const char* serial) {
  const int result = volume::WriteBootSectorSerial(index, volume::ParseHexSerial(serial));
  PrintLine("result", std::to_string(result));
  PrintLine("serial", volume::GetSerialText(index));
  PrintLine("boot", volume::ReadBootSectorSerial(index));
}

void MediaId(volume::DriveIndex index, const char* serial) {
  const BOOL set = volume::SetMediaIdSerial(index, volume::ParseHexSerial(serial));
  PrintLine("result", set ? "1" : "0");
  PrintLine("serial", volume::GetSerialText(index));
}

int Usage() {
  std::fprintf(stderr,
               "usage: volume_driver query X | write X SERIAL | mediaid X SERIAL | platform\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  BindPrintingApi();
  if (argc == 2 && std::strcmp(argv[1], "platform") == 0) {
    PrintLine("platform", platform::GetPlatformName());
    PrintLine("code", std::to_string(platform::GetPlatformCode()));
    return 0;
  }
  volume::DriveIndex index = 0;
  if (argc < 3 || !DriveIndexOf(argv[2], &index)) return Usage();
  const std::string command = argv[1];
  if (command == "query" && argc == 3) {
    Query(index);
  } else if (command == "write" && argc == 4) {
    Write(index, argv[3]);
  } else if (command == "mediaid" && argc == 4) {
    MediaId(index, argv[3]);
  } else {
    return Usage();
  }
  return 0;
}
