#include "volume/serial_entry.h"

#include <gtest/gtest.h>

namespace {

struct EntryCase {
  const char* text;
  DWORD serial;
};
void PrintTo(const EntryCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class SerialEntry : public ::testing::TestWithParam<EntryCase> {};

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
                      EntryCase{"\x82\xA0\x82\xA2", 0}));  // bytes of two double-byte characters

}  // namespace
