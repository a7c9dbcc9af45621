#!/usr/bin/env bash
# Plants small faults in the product code, one at a time, and tells which
# the native unit tests catch: a measure of the suite, run by hand, not by CI.
#   bash tools/bench/planted_faults.sh [commit | source directory]
# The default is HEAD of this repository. The faults go into a private copy
# (git archive of the commit, or a copy of the directory without its build
# trees); the caller's tree is never touched. One build tree serves every
# fault, so each costs an incremental rebuild and one run of the tests.
# A fault whose original text is not found exactly once stops the run: the
# table must follow the code, or the count would flatter the tests.
# Environment:
#   PLANTED_TIMEOUT   seconds one test run may take; a hang counts as caught (600)
#   PLANTED_ONLY      run only the faults whose name contains this text
#   PLANTED_KEEP      1: keep the private copy and its build tree
#   PLANTED_JOBS      parallel build jobs (2)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/mode.sh"
target=${1:-HEAD}
timeout_s=${PLANTED_TIMEOUT:-600}
work=$(mktemp -d "${TMPDIR:-/tmp}/planted.XXXXXX")
src=$work/src
build=$work/build
[[ ${PLANTED_KEEP:-0} == 1 ]] || trap 'rm -rf "$work"' EXIT

# name | file | original text | replacement. "\n" stands for a line break;
# the original text holds no "|", the replacement (the last field) may.
faults() {
  cat <<'EOF'
drive-number-not-plus-one|volume/media_id.cpp|registers.ebx = DWORD{driveIndex} + 1;|registers.ebx = DWORD{driveIndex};
carry-read-inverted|volume/media_id.cpp|(registers.flags & kCarryFlag) != 0|(registers.flags & kCarryFlag) == 0
set-after-failed-get|volume/media_id.cpp|      read && DosMediaIdRequest(|      (read || true) && DosMediaIdRequest(
read-back-not-preset|volume/media_id.cpp|record->serialNumber = ~serial;|record->serialNumber = serial;
record-above-4gib-sent|volume/media_id.cpp|  if (!os::FitsInRegister(record)) return {FALSE, true};\n|
hex-digits-as-decimal|volume/serial_entry.cpp|value * 16 + DigitValue|value * 10 + DigitValue
lower-f-not-a-digit|volume/serial_entry.cpp|c >= 'a' && c <= 'f'|c >= 'a' && c < 'f'
double-byte-one-place|volume/serial_entry.cpp|length == 2 ? value << 8|length == 2 ? value << 4
fat32-classified-as-fat|volume/volume_info.cpp|{"FAT32", kFat32Code}|{"FAT32", kFatCode}
root-path-upper-case|volume/volume_info.cpp|static_cast<char>('a' + driveIndex)|static_cast<char>('A' + driveIndex)
query-failure-not-shown|volume/volume_info.cpp|    app::ShowSystemError(api.GetLastError());\n    return false;|    return false;
not-ready-text-lost|volume/volume_info.cpp|return "NotReady";|return "";
serial-text-high-half-shift|volume/volume_info.cpp|serialNumber >> 16|serialNumber >> 8
zero-last-error-passes|volume/sectors.cpp|return code != NO_ERROR ? code : fallback;|return code != NO_ERROR ? code : NO_ERROR + 0 * fallback;
short-transfer-passes|volume/sectors.cpp|  if (transferred != byteCount) return failureCode;\n|
drive-past-z-opened|volume/sectors.cpp|if (driveIndex >= kDriveCount)|if (driveIndex > kDriveCount)
sector-offset-32-bit|volume/sectors.cpp|std::uint64_t{bytesPerSector} * firstSector|DWORD{bytesPerSector * static_cast<DWORD>(firstSector)}
fat32-serial-offset|volume/boot_sector.cpp|{kFat32Code, 67,|{kFat32Code, 71,
signature-0x28-refused|volume/boot_sector.cpp|sector[kOffset] == 0x28|sector[kOffset] == 0x27
slot-end-bound|volume/boot_sector.cpp|slot.offset + kSerialLength <= info.bytesPerSector|slot.offset + kSerialLength < info.bytesPerSector
write-not-confirmed|volume/boot_sector.cpp|== serial ? NO_ERROR : ERROR_WRITE_FAULT|== serial ? NO_ERROR : NO_ERROR
open-error-not-preferred|volume/boot_sector.cpp|return boot.openError != NO_ERROR ? boot.openError : boot.readResult;|return boot.readResult;
serial-stored-in-nibbles|volume/boot_sector.cpp|serial >> (8 * i)|serial >> (4 * i)
me-taken-for-98|platform/platform.cpp|if (minor == 90) return 6;|if (minor == 90) return 4;
nt4-taken-for-nt3|platform/platform.cpp|if (major < 4) return 7;|if (major <= 4) return 7;
xp-taken-for-2000|platform/platform.cpp|return minor == 0 ? 9 : 10;|return minor == 1 ? 9 : 10;
failed-version-query-trusted|platform/platform.cpp|if (!os::Api().GetVersionExA(&info)) return {kUnrecognisedPlatformId, 0, 0};|os::Api().GetVersionExA(&info);
ok-enabled-when-not-ready|ui/main_form.cpp|!app::ContainsBytes(fileSystemCaption, "Not") && entry|entry
no-drive-made-up|ui/main_form.cpp|  if (letter == '\0') return false;\n|
not-ready-goes-on|ui/main_form.cpp|  if (view_.Caption(idPnlFileSystem) == kNotReady) return;\n|
network-check-inverted|ui/main_form.cpp|if (app::ContainsDoubleBackslash(view_.SelectorText()))|if (!app::ContainsDoubleBackslash(view_.SelectorText()))
write-path-by-family-inverted|ui/main_form.cpp|  if (OnNtFamily())\n    volume::WriteBootSectorSerial|  if (!OnNtFamily())\n    volume::WriteBootSectorSerial
entry-kept-after-write|ui/main_form.cpp|  view_.SetEntryText("");\n  view_.FocusSelector();|  view_.FocusSelector();
dropped-rows-minimum-lost|ui/drive_selector.cpp|return rows < 1 ? 1 : rows;|return rows;
type-ahead-pause-bound|ui/drive_selector.cpp|nowMs - lastKeyMs_ >= kTypeAheadPauseMs|nowMs - lastKeyMs_ > kTypeAheadPauseMs
text-gap-after-glyph|ui/drive_selector.cpp|item.left + glyphWidth + 6|item.left + glyphWidth + 2
floppy-medium-touched|ui/drive_selector.cpp|*text = std::string(1, letter) + ":";|*text = prefix + BracketedVolumeLabel(letter);
item-height-below-glyph|ui/drive_selector.cpp|return fontCellHeight > kDriveGlyphHeight ? fontCellHeight : kDriveGlyphHeight;|return fontCellHeight;
trail-byte-not-looked-up|ui/drive_selector.cpp|    candidate += static_cast<char>(waitingByte);\n|
error-mode-not-restored|ui/drive_selector.cpp|~CriticalErrorsSuppressed() { os::Api().SetErrorMode(previous_); }|~CriticalErrorsSuppressed() {}
reselection-raises-click|ui/drive_selector.cpp|if (!wasCurrent) UserSelected();|if (!wasCurrent || true) UserSelected();
network-directory-as-drive|ui/drive_selector.cpp|directory[0] == '\\' ? '\0' : directory[0]|directory[0]
rounding-dropped|ui/scaling.cpp|const long long half = denominator / 2;|const long long half = 0;
zero-height-scaled|ui/scaling.cpp|return zeroHeight > 0 && zeroHeight != kDesignZeroHeight;|return zeroHeight != kDesignZeroHeight;
control-lookup-inverted|ui/layout.cpp|if (control.id == id) return &control;|if (control.id != id) return &control;
lead-byte-ignored|app/text.cpp|IsDBCSLeadByte(static_cast<BYTE>(text[index])) ? 2 : 1|IsDBCSLeadByte(static_cast<BYTE>(text[index])) ? 1 : 1
period-after-period|app/exceptions.cpp|text.back() > WCHAR('.')|text.back() >= WCHAR('.')
abort-shown|app/exceptions.cpp|  } catch (const EAbort&) {\n|
last-pending-wins|app/pending.cpp|if (!pending) pending = std::move(caught);|pending = std::move(caught);
pending-not-cleared|app/pending.cpp|  pending = nullptr;\n|
shown-code-inverted|app/dialogs.cpp|(shown == ShownCode::CallersCode|(shown != ShownCode::CallersCode
task-dialog-bound|app/dialogs.cpp|platform::GetMajorVersion() >= 6|platform::GetMajorVersion() > 6
message-buffer-leaked|app/dialogs.cpp|  if (buffer != nullptr) api.LocalFree(buffer);\n|
box-without-owner|app/dialogs.cpp|api.MessageBoxW(dialogOwner,|api.MessageBoxW(nullptr,
close-during-handler|ui/main_form.cpp|  if (running_ == 0) return true;|  return true;
write-to-drive-not-shown|ui/main_form.cpp|  if (view_.SelectedDrive() != refreshedDrive_) {|  if (false) {
write-after-not-ready|ui/main_form.cpp|  if (!OKEnabledFor(view_.Caption(idPnlFileSystem), view_.EntryText())) {|  if (false) {
exit-not-run|ui/focus.cpp|  if (left == idDrvcbDrive) handlers_.drvcbDriveExit();\n|
entry-not-entered|ui/focus.cpp|  if (id == idEdtNVSN) handlers_.edtNVSNChange();\n|
buttons-not-repainted-on-return|ui/focus.cpp|  view_.RepaintButtons();\n  if (left == id) return;|  if (left == id) return;\n  view_.RepaintButtons();
minimised-window-takes-focus|ui/focus.cpp|bool FocusKeeper::Reactivated(bool minimized) {|bool FocusKeeper::Reactivated(bool) {\n  const bool minimized = false;
press-clicks-without-focus|ui/focus.cpp|if (view_.Focused() != button |if (view_.Focused() != view_.Focused() 
enter-taken-from-open-list|ui/focus.cpp|if (focused == idDrvcbDrive && listDropped) return false;|if (false && listDropped) return false;
wheel-refreshes-nothing|ui/focus.cpp|if (view_.Focused() != idDrvcbDrive) handlers_.drvcbDriveExit();|if (view_.Focused() == idNone) handlers_.drvcbDriveExit();
tab-stops-at-disabled|ui/focus.cpp|    if (enabled(next)) return next;|    if (enabled(next) || true) return next;
alt-q-clicks-ok|ui/focus.cpp|      Click(idBbnQuit);  // the accelerator moves no focus|      Click(idBbnOK);  // the accelerator moves no focus
EOF
}

# Replaces the one occurrence of $2 in file $1 by $3 ("\n" as in the table).
plant() {
  python3 - "$@" <<'PY'
import sys
path, old, new = sys.argv[1], *(a.replace("\\n", "\n") for a in sys.argv[2:])
text = open(path, encoding="utf-8").read()
count = text.count(old)
if count != 1:
    sys.exit(f"{path}: the original text is found {count} times, not once: {old!r}")
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
}

copy_source() {
  mkdir -p "$src"
  if [[ -d $target ]]; then
    tar -C "$target" --exclude=./build --exclude=./.git -cf - . | tar -C "$src" -xf -
  else
    git -C "$root" archive "$target" | tar -C "$src" -xf -
  fi
}

build_tests() {
  cmake --build "$build" -j"${PLANTED_JOBS:-2}" --target kestrova_unit_tests >"$work/build.log" 2>&1
}

# The unit tests ctest -L unit runs, in one process rather than one per
# test, stopping at the first failure: that is enough. The random-image
# test takes most of a run's time, so it comes last.
run_tests() {
  local slow=RandomImages.*
  (cd "$build" &&
    timeout "$timeout_s" ./kestrova_unit_tests --gtest_brief=1 --gtest_fail_fast \
      --gtest_filter="-$slow" &&
    timeout "$timeout_s" ./kestrova_unit_tests --gtest_brief=1 --gtest_filter="$slow") \
    >"$work/test.log" 2>&1
}

# Every fault must apply before any is run.
check_faults() {
  local name file old new
  while IFS='|' read -r name file old new; do
    cp "$src/$file" "$work/scratch"
    plant "$work/scratch" "$old" "$new" || exit 2
  done < <(faults)
}

main() {
  copy_source
  check_faults
  echo "Source: $target (${KESTROVA_BITS}-bit native tests), faults from $(git -C "$root" rev-parse --short HEAD)"
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_NATIVE_BITS="$KESTROVA_BITS" \
    >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 2; }
  build_tests || { tail -40 "$work/build.log"; echo "The unplanted tree does not build"; exit 2; }
  run_tests || { tail -40 "$work/test.log"; echo "The unplanted tree fails its tests"; exit 2; }

  caught=0 total=0 missed=()
  while IFS='|' read -r name file old new; do
    [[ -z ${PLANTED_ONLY:-} || $name == *"$PLANTED_ONLY"* ]] || continue
    cp -p "$src/$file" "$work/original"
    plant "$src/$file" "$old" "$new"
    total=$((total + 1))
    if ! build_tests; then
      tail -20 "$work/build.log"
      echo "$name: the planted tree does not build; fix the fault's replacement" >&2
      exit 2
    fi
    status=0
    run_tests || status=$?
    # Put back with a new time, so that the next build recompiles the file.
    cp "$work/original" "$src/$file"
    if [[ $status == 0 ]]; then
      echo "MISSED  $name ($file)"
      missed+=("$name")
    else
      [[ $status == 124 ]] && note=" (hung)" || note=""
      echo "caught  $name ($file)$note"
      caught=$((caught + 1))
    fi
  done < <(faults)

  echo "$caught of $total faults caught"
  ((${#missed[@]} == 0)) || echo "Missed: ${missed[*]}"
}

# Read whole before it runs: the script may change while it does.
main "$@"; exit
