#include "volume/serial_entry.h"

#include <gtest/gtest.h>

#include "os/sim/machine.h"

namespace {

struct EntryCase {
  const char* text;
  DWORD serial;
};
void PrintTo(const EntryCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class SerialEntry : public ::testing::TestWithParam<EntryCase> {
 protected:
  os::sim::Machine machine;  // code page 1252: every byte is a character
};

TEST_P(SerialEntry, ParsesEveryCharacterAsAHexDigitOrZero) {
  EXPECT_EQ(volume::ParseHexSerial(GetParam().text), GetParam().serial) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SerialEntry,
    ::testing::Values(EntryCase{"1a2B3c4D", 0x1A2B3C4D}, EntryCase{"1A2B3C4D", 0x1A2B3C4D},
                      EntryCase{"0000abcd", 0x0000ABCD}, EntryCase{"abcd", 0x0000ABCD},
                      EntryCase{"12 4", 0x1204}, EntryCase{"G0000001", 1}, EntryCase{"-1", 1},
                      EntryCase{"", 0}, EntryCase{"ffffffff", 0xFFFFFFFF},
                      EntryCase{"zzzzzzzz", 0}, EntryCase{"123456789", 0x23456789},
                      EntryCase{"9ABCDEF0123", 0xCDEF0123u},
                      EntryCase{"\x82\xA0\x82\xA2", 0},
                      // Shift-JIS katakana A and I, bytes 83 41 83 43, are
                      // here the characters \x83, A, \x83, C.
                      EntryCase{"\x83\x41\x83\x43" "1234", 0x0A0C1234}));

TEST(SerialEntryDoubleByte, BothBytesOfADoubleByteCharacterCountZero) {
  os::sim::Machine machine;
  machine.codePage = 932;
  // Katakana A and I: their trail bytes 0x41 and 0x43 look like A and C.
  EXPECT_EQ(volume::ParseHexSerial("\x83\x41\x83\x43" "1234"), 0x00001234u);
  EXPECT_EQ(volume::ParseHexSerial("1\x83\x41" "234"), 0x00100234u) << "a character takes two places";
  EXPECT_EQ(volume::ParseHexSerial("\x82\xA0" "ABCDEF"), 0x00ABCDEFu);
  EXPECT_EQ(volume::ParseHexSerial("1234567\x83"), 0x12345670u) << "a lead byte alone is no digit";
  EXPECT_EQ(volume::ParseHexSerial("\x83\x41" "12345678"), 0x12345678u) << "wraps as before";
}

}  // namespace
