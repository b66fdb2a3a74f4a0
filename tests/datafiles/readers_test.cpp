// What each text reader makes of a file: the image, the count of bytes, and
// the one message of a failed load; and of a written file changed in one place.
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

std::string ChecksumMessage(int line, uint32_t read, uint32_t computed) {
  char text[128];
  std::snprintf(text, sizeof text,
                "Prüfsumme der HEX-Zeile %d stimmt nicht !\n\nGelesen 0x%04X\nBerechnet 0x%04X\n",
                line, read, computed);
  return text;
}
std::string LengthMessage(int line, int read, int computed) {
  return "Länge der HEX-Zeile " + std::to_string(line) + " stimmt nicht !\n\nGelesen " +
         std::to_string(read) + "\nBerechnet " + std::to_string(computed) + "\n";
}
std::string LineStartMessage(int line) {
  return "Zeilenanfang in Zeile " + std::to_string(line) + "\nder Hex-Datei nicht gefunden !";
}

struct ReadCase {
  std::string text;
  std::string message;  // empty: the load passes
  uint32_t count;       // bytes counted
  std::vector<std::pair<uint32_t, uint8_t>> cells;
};

const std::string kIntel = ":04000000020030FFCB\r\n";  // 02 00 30 FF at 0, in each format
const std::string kS1 = "S1070000020030FFC7\r\n";
const std::string kMos = ";040000020030FF0135\r\n";
const std::string kTek = "/00000404020030FF39\r\n";
const std::string kBanks =
    ":020000021000EC\r\n:0100000041BE\r\n:020000040001F9\r\n:0100010042BC\r\n:020000020000FC\r\n"
    ":0100020043BA\r\n";
const std::string kS2S3 = "S20501FFFFAB50\r\nS3060001FFFEAB50\r\nS9030000FC\r\n";
// The second line of each has its last data byte changed from 04 to 05
// after its checksum was made.
const std::string kChangedByte[] = {
    kIntel + ":0400100001020305E2\r\n", kS1 + "S107001001020305DE\r\n",
    kMos + ";04001001020305001E\r\n", kTek + "/001004140102030532\r\n"};
const std::string kTekDigitSums = "/00000404020030FF23\r\n/1234030DABCDEF4B\r\n/00000000\r\n";

TEST_F(DataFileTest, ReadersLoadWhatTheFileSaysAndStopAtTheFirstFault) {
  const ReadCase cases[] = {
      // The checksum test fails after the line's bytes were stored.
      {kChangedByte[0], ChecksumMessage(2, 0xE2, 0xE1), 8, {{0x12, 3}, {0x13, 5}}},
      {kChangedByte[1], ChecksumMessage(2, 0xDE, 0xDD), 8, {{0x13, 5}}},
      {kChangedByte[2], ChecksumMessage(2, 0x1E, 0x1F), 8, {{0x13, 5}}},
      {kChangedByte[3], ChecksumMessage(2, 0x32, 0x33), 8, {{0x13, 5}}},
      // Start address records are tested and ignored.
      {":0000000000\r\n:0400000300000100F8\r\n", "", 0, {}},
      // Segment and linear address records replace the offset; a record
      // running past 0xFFFF goes on above it.
      {kBanks, "", 3, {{0x10000, 0x41}, {0x10001, 0x42}, {0x00002, 0x43}}},
      {":04FFFE0001020304F5\r\n", "", 4, {{0xFFFE, 1}, {0x10001, 4}}},
      // Nothing after the end record is read, the end record itself not tested.
      {kIntel + ":zz000001\r\ngarbage\r\n:0400100001020304E2\r\n", "", 4, {{0x10, 0xFF}}},
      {":04000000020030ffcb\r\n:02000000abcd86\r\n", "", 6, {{0, 0xAB}, {1, 0xCD}}},
      {":04000000 020030FFCB\r\n", LengthMessage(1, 9, 19), 0, {}},
      {kIntel + "\r\n", LineStartMessage(2), 4, {{0, 2}}},
      // A line longer than one read of 1023 characters comes as several.
      {kIntel + ":" + std::string(1100, '0') + "\r\n", LengthMessage(2, 1023, 11), 4, {}},

      {"S0030000FC\r\n" + kS1 + kS2S3, "", 6, {{3, 0xFF}, {0x1FFFE, 0xAB}, {0x1FFFF, 0xAB}}},
      {kS1 + "S9\r\nnot a record\r\n", "", 4, {}},
      // Records without data change nothing, and their checksum is not looked at.
      {"S1030000FC\r\nS204000000FB\r\nS30500000000FA\r\nS1030000AA\r\n", "", 0, {}},
      // Record counts are skipped after their length and checksum tests.
      {kS1 + "S5030001FB\r\nS604000001FA\r\nS9030000FC\r\n", "", 4, {}},
      {kS1 + "S5030001FC\r\n", ChecksumMessage(2, 0xFC, 0xFB), 4, {}},
      {kS1 + "S50400001FB\r\n", LengthMessage(2, 11, 12), 4, {}},
      // Too short for its address and checksum: no field is taken from beyond the line.
      {kS1 + "S10200FD\r\n", LengthMessage(2, 8, 10), 4, {}},
      {"S1070000 020030FFC7\r\n", LengthMessage(1, 8, 18), 0, {}},

      // "00" in the count field ends the reading, whatever else the line holds.
      {kMos + "X00garbage\r\n;04001001020304001E\r\n", "", 4, {{0x10, 0xFF}}},
      {";040000020030FF01 35\r\n", LengthMessage(1, 17, 19), 0, {}},
      // The header checksum is tested before anything of the line is stored.
      {"/00000405020030FF39\r\n", ChecksumMessage(1, 0x05, 0x04), 0, {{0, 0xFF}}},
      // Digit sums as other tools write them are accepted, one rule per line.
      {kTekDigitSums, "", 7, {{0, 0x02}, {0x1234, 0xAB}, {0x1236, 0xEF}}},
      {"/00100414010203040A\r\n", ChecksumMessage(1, 0x0A, 0x32), 4, {}},
      {kTek + "/0000000000\r\nrubbish\r\n", "", 4, {}},
      {kTek + kMos, LineStartMessage(2), 4, {}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    image.bytes.fill(0);  // every load starts from a blank image
    EXPECT_EQ(Load(c.text), c.message.empty() ? LoadResult::kOk : LoadResult::kFailed);
    EXPECT_EQ(Messages(), c.message);
    EXPECT_EQ(image.loaded_byte_count, c.count);
    for (const auto& [address, value] : c.cells)
      EXPECT_EQ(image.bytes[address], value) << address;
  }
}

TEST_F(DataFileTest, ChecksumTestCanBeTurnedOff) {
  options.test_checksum = false;
  for (const std::string& text : kChangedByte) {
    EXPECT_EQ(Load(text), LoadResult::kOk) << Messages();
    EXPECT_EQ(image.bytes[0x13], 5) << text;
  }
}

}  // namespace
}  // namespace zivivar
