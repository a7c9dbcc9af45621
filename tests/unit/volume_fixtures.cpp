#include "tests/unit/volume_fixtures.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace volume_test {
namespace {

std::string Hex8(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned>(value));
  return text;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

std::string LastLine(const std::string& output) {
  const std::string text = Trimmed(output);
  const size_t start = text.find_last_of('\n');
  return start == std::string::npos ? text : text.substr(start + 1);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Image sizes in KiB: the smallest each tool accepts for the kind and
// sector size, or (FAT32) large enough that fsck.fat has nothing to say.
unsigned FatSizeKiB(const ImageRecipe& recipe) {
  const bool big = recipe.sectorSize > 512;
  switch (recipe.kind) {
    case Kind::kFat12: return big ? 1024 : 1440;
    case Kind::kFat16: return big ? 17000 : 2600;
    default: return recipe.small ? (big ? 4096 : 1024) : (big ? 270000 : 34000);
  }
}

std::string MakeFat(const std::string& path, const ImageRecipe& recipe) {
  const char* bits = recipe.kind == Kind::kFat12 ? "12" : recipe.kind == Kind::kFat16 ? "16" : "32";
  std::string command = std::string("mkfs.fat -C -F ") + bits + " -S " +
                        std::to_string(recipe.sectorSize) + " -i " + Hex8(recipe.serial);
  if (recipe.kind != Kind::kFat12) command += " -s 1";
  if (!recipe.label.empty()) command += " -n " + Quoted(recipe.label);
  MustRun(command + " " + Quoted(path) + " " + std::to_string(FatSizeKiB(recipe)));
  return path;
}

// mkntfs takes no serial: a chosen one is set afterwards, the high half fixed.
std::string MakeNtfs(const std::string& path, const ImageRecipe& recipe) {
  std::string command = "truncate -s 2M " + Quoted(path) + " && mkntfs -F -f -Q -q -s " +
                        std::to_string(recipe.sectorSize);
  if (!recipe.label.empty()) command += " -L " + Quoted(recipe.label);
  MustRun(command + " " + Quoted(path));
  MustRun("ntfslabel --new-serial=5EED5EED" + Hex8(recipe.serial) + " " + Quoted(path));
  return path;
}

// Lines of fsck.fat's report of a FAT32 backup boot sector that differs in
// the serial bytes only.
bool IsBackupDifferenceLine(const std::string& line) {
  static const char* const kLines[] = {
      "There are differences between boot sector and its backup.",
      "This is mostly harmless. Differences: (offset:original/backup)",
      "  Not automatically fixing this.",
  };
  for (const char* known : kLines) {
    if (line == known) return true;
  }
  static const std::regex kSerialBytesOnly(
      "  67:[0-9a-f]{2}/[0-9a-f]{2}, 68:[0-9a-f]{2}/[0-9a-f]{2}, "
      "69:[0-9a-f]{2}/[0-9a-f]{2}, 70:[0-9a-f]{2}/[0-9a-f]{2}");
  return std::regex_match(line, kSerialBytesOnly);
}

}  // namespace

ToolRun Run(const std::string& command) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return {-1, "cannot start: " + command};
  std::string output;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0;) output.append(chunk, n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string MustRun(const std::string& command) {
  const ToolRun run = Run(command);
  EXPECT_EQ(run.status, 0) << command << "\n" << run.output;
  return run.output;
}

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base ? base : "/tmp") + "/kestrova-volume-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kFat12: return "FAT12";
    case Kind::kFat16: return "FAT16";
    case Kind::kFat32: return "FAT32";
    default: return "NTFS";
  }
}

void PrintTo(const ImageRecipe& recipe, std::ostream* out) {
  *out << KindName(recipe.kind) << " with " << recipe.sectorSize << "-byte sectors";
}

DWORD SlotOffset(Kind kind) {
  return kind == Kind::kFat32 ? 67 : kind == Kind::kNtfs ? 72 : 39;
}

const char* ReportedName(Kind kind) {
  return kind == Kind::kFat32 ? "FAT32" : kind == Kind::kNtfs ? "NTFS" : "FAT";
}

std::string MakeImage(const TempDir& dir, const std::string& name, const ImageRecipe& recipe) {
  const std::string path = dir.Path(name);
  return recipe.kind == Kind::kNtfs ? MakeNtfs(path, recipe) : MakeFat(path, recipe);
}

std::string MakeIso(const TempDir& dir, const std::string& name, const std::string& label) {
  const std::string root = dir.Path(name + ".root");
  std::string path = dir.Path(name);
  std::filesystem::create_directories(root);
  std::ofstream(root + "/readme.txt") << "a file on the disc\n";
  MustRun("genisoimage -quiet -V " + Quoted(label) + " -o " + Quoted(path) + " " + Quoted(root));
  return path;
}

std::string CopyOf(const std::string& path, const std::string& copy) {
  MustRun("cp --sparse=always " + Quoted(path) + " " + Quoted(copy));
  return copy;
}

std::vector<BYTE> ReadBytes(const std::string& path, std::uint64_t offset, size_t length) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::vector<BYTE> bytes(length);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

std::vector<BYTE> ReadWhole(const std::string& path) {
  return ReadBytes(path, 0, static_cast<size_t>(std::filesystem::file_size(path)));
}

void PatchBytes(const std::string& path, std::uint64_t offset, const std::vector<BYTE>& bytes) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint64_t> ChangedOffsets(const std::string& before, const std::string& after) {
  const ToolRun run = Run("cmp -l " + Quoted(before) + " " + Quoted(after));
  EXPECT_TRUE(run.status == 0 || run.status == 1) << "cmp: " << run.output;
  std::vector<std::uint64_t> offsets;
  for (const std::string& line : Lines(run.output)) {
    unsigned long long position = 0;
    unsigned a = 0, b = 0;
    if (std::sscanf(line.c_str(), "%llu %o %o", &position, &a, &b) == 3) {
      offsets.push_back(position - 1);  // cmp counts from 1
    } else {
      ADD_FAILURE() << "cmp says: " << line;
    }
  }
  return offsets;
}

std::vector<std::uint64_t> SlotOffsets(Kind kind) {
  const DWORD first = SlotOffset(kind);
  return {first, first + 1, first + 2, first + 3};
}

std::string FatlabelSerial(const std::string& path) {
  // fatlabel warns of a differing backup first; the serial is its last line.
  std::string serial = LastLine(MustRun("fatlabel -i " + Quoted(path)));
  for (char& c : serial) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return serial;
}

std::string BlkidUuid(const std::string& path) {
  return Trimmed(MustRun("blkid -p -o value -s UUID " + Quoted(path)));
}

std::string FsckFindings(const std::string& path, Kind kind) {
  const ToolRun run = Run("fsck.fat -n " + Quoted(path));
  std::string findings = run.status == 0 ? "" : "exit " + std::to_string(run.status) + "\n";
  for (const std::string& line : Lines(run.output)) {
    const bool expected = StartsWith(line, "fsck.fat ") || Contains(line, " files, ") ||
                          (kind == Kind::kFat32 && IsBackupDifferenceLine(line));
    if (!expected) findings += line + "\n";
  }
  return findings;
}

std::string NtfsFindings(const std::string& path) {
  const ToolRun info = Run("ntfsinfo -m " + Quoted(path));
  std::string findings = info.status == 0 ? "" : "ntfsinfo: " + info.output;
  static const char* const kExpected[] = {
      "Mounting volume... OK",
      "Processing of $MFT and $MFTMirr completed successfully.",
      "Checking the alternate boot sector... OK",
      "Checking the alternate boot sector... BAD",
      "Error: Failed to fix the alternate boot sector",
      "NTFS volume version is 3.1.",
  };
  for (const std::string& line : Lines(Run("ntfsfix -n " + Quoted(path)).output)) {
    bool expected = StartsWith(line, "NTFS partition ") && Contains(line, "processed successfully");
    for (const char* known : kExpected) expected = expected || line == known;
    if (!expected) findings += line + "\n";
  }
  return findings;
}

std::vector<std::string> VolumeTest::DialogTexts() const {
  std::vector<std::string> texts;
  for (const os::sim::DialogRecord& dialog : machine.dialogs) texts.push_back(dialog.TextUtf8());
  return texts;
}

void VolumeTest::ExpectNothingHeld() const {
  EXPECT_EQ(world.liveHandles(), 0u) << "a handle was left open";
  EXPECT_EQ(world.liveAllocations(), 0u) << "a page block was left allocated";
}

std::vector<std::string> VolumeTest::CallNames() const {
  std::vector<std::string> names;
  for (const std::string& call : world.calls) names.push_back(call.substr(0, call.find('(')));
  return names;
}

}  // namespace volume_test
