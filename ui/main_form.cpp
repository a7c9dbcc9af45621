#include "ui/main_form.h"

#include "app/dialogs.h"
#include "app/text.h"
#include "platform/platform.h"
#include "volume/boot_sector.h"
#include "volume/media_id.h"
#include "volume/serial_entry.h"
#include "volume/volume_info.h"

namespace ui {
namespace {

constexpr char kNotReady[] = "NotReady";
constexpr unsigned kFirstUnwritableCode = 50;  // CD file systems and unknown ones

bool OnNtFamily() { return platform::IsNtFamily(platform::GetPlatformCode()); }

}  // namespace

// Marks a handler as running; the last one out repeats a close that came
// meanwhile.
class MainFormHandlers::Running {
 public:
  explicit Running(MainFormHandlers& handlers) : handlers_(handlers) { ++handlers_.running_; }
  ~Running() {
    if (--handlers_.running_ == 0 && handlers_.closeWanted_) {
      handlers_.closeWanted_ = false;
      handlers_.view_.RepeatClose();
    }
  }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  MainFormHandlers& handlers_;
};

bool MainFormHandlers::CanCloseNow() {
  if (running_ == 0) return true;
  closeWanted_ = true;
  return false;
}

bool OKEnabledFor(const std::string& fileSystemCaption, const std::string& entry) {
  return !app::ContainsBytes(fileSystemCaption, "DF") &&
         !app::ContainsBytes(fileSystemCaption, "Not") && entry.size() == kEntryMaxLength;
}

bool MainFormHandlers::SelectedDriveIndex(unsigned short* driveIndex) const {
  // With the current directory on a network path there is no current drive,
  // and no index may be made up for it.
  const char letter = view_.SelectedDrive();
  if (letter == '\0') return false;
  *driveIndex = static_cast<unsigned short>(static_cast<unsigned char>(letter) - 'a');
  return true;
}

void MainFormHandlers::FormShow() {
  const Running running(*this);
  drvcbDriveExit();
  view_.FocusSelector();
}

void MainFormHandlers::drvcbDriveExit() {
  const Running running(*this);
  refreshedDrive_ = view_.SelectedDrive();
  unsigned short drive = 0;
  if (!SelectedDriveIndex(&drive)) return;
  view_.SetCaption(idPnlFileSystem, volume::GetFileSystemText(drive));
  if (view_.Caption(idPnlFileSystem) == kNotReady) return;
  if (volume::ClassifyFileSystem(drive) >= kFirstUnwritableCode)
    view_.SetOKEnabled(false);
  else
    view_.SetOKEnabled(view_.EntryText().size() == kEntryMaxLength);
  view_.SetCaption(idPnlVLBL, volume::GetVolumeLabelText(drive));
  view_.SetCaption(idPnlVSN, OnNtFamily() ? volume::ReadBootSectorSerial(drive)
                                          : volume::GetSerialText(drive));
  view_.SetEntryText("");
}

void MainFormHandlers::edtNVSNChange() {
  const Running running(*this);
  view_.SetOKEnabled(OKEnabledFor(view_.Caption(idPnlFileSystem), view_.EntryText()));
}

void MainFormHandlers::bbnOKClick() {
  const Running running(*this);
  if (view_.SelectedDrive() != refreshedDrive_) {
    drvcbDriveExit();  // the panels catch up with the selector; nothing is written
    return;
  }
  if (!OKEnabledFor(view_.Caption(idPnlFileSystem), view_.EntryText())) {
    edtNVSNChange();  // OK follows what the panels show
    return;
  }
  if (app::ContainsDoubleBackslash(view_.SelectorText())) {
    app::ShowErrorDialog("Can not use me for a network drive");
    return;
  }
  unsigned short drive = 0;
  if (!SelectedDriveIndex(&drive)) {
    app::ShowErrorDialog("No drive is selected.");
    return;
  }
  volume::GetSerialText(drive);  // a drive that cannot be queried says so here
  const uint32_t serial = volume::ParseHexSerial(view_.EntryText());
  if (OnNtFamily())
    volume::WriteBootSectorSerial(drive, serial);
  else
    volume::SetMediaIdSerial(drive, serial);
  view_.SetCaption(idPnlVSN, volume::GetSerialText(drive));
  view_.SetEntryText("");
  view_.FocusSelector();
}

}  // namespace ui
