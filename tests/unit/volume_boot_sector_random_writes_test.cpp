// Boot-sector serial writes on random images under random NT versions:
// however many, each changes the four bytes of the slot and nothing else.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "tests/unit/volume_fixtures.h"
#include "volume/boot_sector.h"

namespace {

using namespace volume_test;

constexpr int kImages = 12;
constexpr int kSerialsPerImage = 90;  // 1080 writes in all

struct NtVersion {
  DWORD major, minor;
};
constexpr NtVersion kNtVersions[] = {{4, 0}, {5, 0}, {5, 1}, {6, 0}, {6, 1}, {6, 2}, {10, 0}};
constexpr Kind kKinds[] = {Kind::kFat12, Kind::kFat16, Kind::kFat32, Kind::kNtfs};

std::string DisplayForm(DWORD serial) {
  char text[24];
  std::snprintf(text, sizeof(text), "%04x-%04x[%08x]", static_cast<unsigned>(serial >> 16),
                static_cast<unsigned>(serial & 0xFFFF), static_cast<unsigned>(serial));
  return text;
}

// An image mapped rather than read after every write: the simulated
// machine writes to the same pages, and reading images of megabytes a
// thousand times was most of this test's time.
class MappedImage {
 public:
  explicit MappedImage(const std::string& path)
      : path_(path), size_(static_cast<size_t>(std::filesystem::file_size(path))) {
    const int file = ::open(path.c_str(), O_RDONLY);
    if (file < 0) return;
    data_ = ::mmap(nullptr, size_, PROT_READ, MAP_SHARED, file, 0);
    ::close(file);
  }
  ~MappedImage() {
    if (data_ != MAP_FAILED) ::munmap(data_, size_);
  }
  MappedImage(const MappedImage&) = delete;
  MappedImage& operator=(const MappedImage&) = delete;

  // Where the image now first differs from expected, or -1.
  long long FirstDifference(const std::vector<BYTE>& expected) const {
    const size_t size = static_cast<size_t>(std::filesystem::file_size(path_));
    if (data_ == MAP_FAILED || size != size_ || size != expected.size()) return 0;
    const BYTE* bytes = static_cast<const BYTE*>(data_);
    if (std::memcmp(bytes, expected.data(), size) == 0) return -1;
    return std::mismatch(bytes, bytes + size, expected.begin()).first - bytes;
  }

 private:
  std::string path_;
  size_t size_;
  void* data_ = MAP_FAILED;
};

class RandomImages : public VolumeTest {
 protected:
  std::mt19937 random{Seed()};

  static unsigned Seed() {
    const char* chosen = std::getenv("KESTROVA_PROPERTY_SEED");
    return chosen ? static_cast<unsigned>(std::strtoul(chosen, nullptr, 10)) : 20240917u;
  }

  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
  }

  std::string RandomLabel() {
    static const char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string label(std::uniform_int_distribution<size_t>(1, 11)(random), ' ');
    for (char& c : label) c = kCharacters[random() % (sizeof(kCharacters) - 1)];
    return label;
  }

  ImageRecipe RandomRecipe() {
    return {Pick(kKinds), random() % 2 ? 512u : 4096u, static_cast<DWORD>(random()), RandomLabel(),
            true};
  }

  // Writes random serials to one image; every byte but the slot's stays.
  void WriteRandomSerials(const ImageRecipe& recipe, const std::string& path, char letter) {
    const volume::DriveIndex index = static_cast<volume::DriveIndex>(letter - 'A');
    std::vector<BYTE> expected = ReadWhole(path);
    const MappedImage image(path);
    const DWORD slot = SlotOffset(recipe.kind);
    for (int n = 0; n < kSerialsPerImage; ++n) {
      const DWORD serial = static_cast<DWORD>(random());
      for (DWORD i = 0; i < 4; ++i) expected[slot + i] = static_cast<BYTE>(serial >> (8 * i));
      ASSERT_EQ(volume::WriteBootSectorSerial(index, serial), 1);
      ASSERT_EQ(image.FirstDifference(expected), -1) << "serial " << serial;
      ASSERT_EQ(volume::ReadBootSectorSerial(index), DisplayForm(serial));
    }
  }
};

TEST_F(RandomImages, ThousandsOfSerialsChangeNothingOutsideTheSlot) {
  SCOPED_TRACE("KESTROVA_PROPERTY_SEED=" + std::to_string(Seed()));
  for (int i = 0; i < kImages; ++i) {
    const ImageRecipe recipe = RandomRecipe();
    SCOPED_TRACE(std::string(KindName(recipe.kind)) + " " + std::to_string(recipe.sectorSize) +
                 " label " + recipe.label);
    const NtVersion version = Pick(kNtVersions);
    machine.SetVersion(VER_PLATFORM_WIN32_NT, version.major, version.minor);
    const std::string path = MakeImage(dir, "r" + std::to_string(i) + ".img", recipe);
    const std::string original = CopyOf(path, path + ".original");
    const char letter = static_cast<char>('C' + random() % 24);
    world.Mount(letter, path);
    WriteRandomSerials(recipe, path, letter);
    for (const std::uint64_t offset : ChangedOffsets(original, path)) {
      EXPECT_GE(offset, SlotOffset(recipe.kind));
      EXPECT_LT(offset, SlotOffset(recipe.kind) + 4);
    }
    EXPECT_TRUE(machine.dialogs.empty());
    ExpectNothingHeld();
    if (HasFatalFailure()) return;
  }
}

}  // namespace
