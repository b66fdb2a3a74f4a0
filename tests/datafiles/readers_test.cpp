// What each text reader makes of a file: the image, the counters and the
// one message of a failed load, case by case.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

std::string Checksum(int line, const char* read, const char* computed) {
  return "Prüfsumme der HEX-Zeile " + std::to_string(line) + " stimmt nicht !\n\nGelesen 0x" +
         read + "\nBerechnet 0x" + computed + "\n";
}
std::string Length(int line, int read, int computed) {
  return "Länge der HEX-Zeile " + std::to_string(line) + " stimmt nicht !\n\nGelesen " +
         std::to_string(read) + "\nBerechnet " + std::to_string(computed) + "\n";
}
std::string LineStart(int line) {
  return "Zeilenanfang in Zeile " + std::to_string(line) + "\nder Hex-Datei nicht gefunden !";
}

struct ReadCase {
  std::string text;
  std::string message;  // empty: the load passes
  uint32_t count;       // LoadedByteCount afterwards
  std::vector<std::pair<uint32_t, uint8_t>> cells;
};

class ReadersTest : public DataFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadersTest, LoadsWhatTheFileSaysAndStopsAtTheFirstFault) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(Load(c.text), c.message.empty() ? kLoadOk : kLoadFailed);
  EXPECT_EQ(OnlyMessage(), c.message);
  EXPECT_EQ(image.loaded_byte_count, c.count);
  for (const auto& [address, value] : c.cells)
    EXPECT_EQ(image.bytes[address], value) << address;
}

const std::string kIntel = ":04000000020030FFCB\r\n";  // 02 00 30 FF at 0
const std::string kS1 = "S1070000020030FFC7\r\n";
const std::string kMos = ";040000020030FF0135\r\n";
const std::string kTek = "/00000404020030FF39\r\n";

INSTANTIATE_TEST_SUITE_P(
    Intel, ReadersTest,
    ::testing::Values(
        // Start address records are tested and ignored.
        ReadCase{":0000000000\r\n:0400000300000100F8\r\n", "", 0, {}},
        ReadCase{":0000000000\r\n:0400000300000100F9\r\n", Checksum(2, "00F9", "00F8"), 0, {}},
        // Segment and linear address records replace the offset.
        ReadCase{":020000021000EC\r\n:0100000041BE\r\n:020000040001F9\r\n:0100010042BC\r\n"
                 ":020000020000FC\r\n:0100020043BA\r\n",
                 "",
                 3,
                 {{0x10000, 0x41}, {0x10001, 0x42}, {0x00002, 0x43}}},
        // A record running past 0xFFFF goes on above it.
        ReadCase{":04FFFE0001020304F5\r\n", "", 4, {{0xFFFE, 1}, {0x10001, 4}}},
        // Nothing after the end record is read, and the end record is not tested.
        ReadCase{
            kIntel + ":00000001FF\r\ngarbage\r\n:0400100001020304E2\r\n", "", 4, {{0x10, 0xFF}}},
        ReadCase{kIntel + ":zz000001\r\n", "", 4, {}},
        ReadCase{kIntel + ":0400100001020304E2\r\n", "", 8, {{0x13, 4}}},
        ReadCase{":04000000020030FFCC\r\n", Checksum(1, "00CC", "00CB"), 4, {{0, 2}}},
        ReadCase{kIntel + ":04000000020030FF01CB\r\n", Length(2, 21, 19), 4, {}},
        ReadCase{":04000000020030ffcb\r\n:02000000abcd86\r\n", "", 6, {{0, 0xAB}, {1, 0xCD}}},
        ReadCase{":04000000 020030FFCB\r\n", Length(1, 9, 19), 0, {}},
        ReadCase{kIntel + "\r\n", LineStart(2), 4, {{0, 2}}},
        // A line longer than one read of 1023 characters comes as several.
        ReadCase{kIntel + ":" + std::string(1100, '0') + "\r\n", Length(2, 1023, 11), 4, {}}));

INSTANTIATE_TEST_SUITE_P(
    SRecords, ReadersTest,
    ::testing::Values(
        ReadCase{"S0030000FC\r\n" + kS1 + "S20501FFFFAB50\r\nS3060001FFFEAB50\r\nS9030000FC\r\n",
                 "",
                 6,
                 {{3, 0xFF}, {0x1FFFE, 0xAB}, {0x1FFFF, 0xAB}}},
        ReadCase{kS1 + "S9\r\nnot a record\r\n", "", 4, {}},
        ReadCase{kS1 + "S7\r\nnot a record\r\n", "", 4, {}},
        // Records without data change nothing, and their checksum is not looked at.
        ReadCase{"S1030000FC\r\nS204000000FB\r\nS30500000000FA\r\nS1030000AA\r\n", "", 0, {}},
        // Record counts are skipped after their length and checksum tests.
        ReadCase{kS1 + "S5030001FB\r\nS604000001FA\r\nS9030000FC\r\n", "", 4, {}},
        ReadCase{kS1 + "S5030001FC\r\n", Checksum(2, "00FC", "00FB"), 4, {}},
        ReadCase{kS1 + "S50400001FB\r\n", Length(2, 11, 12), 4, {}},
        ReadCase{kS1 + "S4030000FC\r\n", LineStart(2), 4, {}},
        ReadCase{kS1 + "\r\nS9030000FC\r\n", LineStart(2), 4, {}},
        ReadCase{kS1 + "s1070000020030FFC7\r\n", LineStart(2), 4, {}},
        ReadCase{"S1070000020030FFC8\r\n", Checksum(1, "00C8", "00C7"), 4, {}},
        // Too short for its address and checksum: no field is taken from beyond the line.
        ReadCase{kS1 + "S10200FD\r\n", Length(2, 8, 10), 4, {}},
        ReadCase{kS1 + "S300\r\n", Length(2, 4, 14), 4, {}},
        ReadCase{"S1070000020030ffc7\r\n", "", 4, {{2, 0x30}}},
        ReadCase{"S1070000 020030FFC7\r\n", Length(1, 8, 18), 0, {}}));

INSTANTIATE_TEST_SUITE_P(
    MosAndTektronix, ReadersTest,
    ::testing::Values(
        // "00" in the count field ends the reading, whatever else the line holds.
        ReadCase{kMos + ";0000010001\r\n;04001001020304001E\r\n", "", 4, {{0x10, 0xFF}}},
        ReadCase{kMos + "X00garbage\r\nmore garbage\r\n", "", 4, {}},
        ReadCase{kMos + ";04001001020304001E\r\n", "", 8, {{0x13, 4}}},
        ReadCase{kMos + "X040000020030FF0135\r\n", LineStart(2), 4, {}},
        ReadCase{";040000020030FF0136\r\n", Checksum(1, "0136", "0135"), 4, {}},
        ReadCase{";040000020030FF01 35\r\n", Length(1, 17, 19), 0, {}},
        // The header checksum is tested before anything of the line is stored.
        ReadCase{"/00000405020030FF39\r\n", Checksum(1, "0005", "0004"), 0, {{0, 0xFF}}},
        ReadCase{"/00000404020030FF3A\r\n", Checksum(1, "003A", "0039"), 4, {{0, 0x02}}},
        // Digit sums as other tools write them are accepted, one rule per line.
        ReadCase{"/00000404020030FF23\r\n/1234030DABCDEF4B\r\n/00000000\r\n",
                 "",
                 7,
                 {{0, 0x02}, {0x1234, 0xAB}, {0x1236, 0xEF}}},
        ReadCase{"/00100414010203040A\r\n", Checksum(1, "000A", "0032"), 4, {}},
        ReadCase{kTek + "/0000000000\r\nrubbish\r\n", "", 4, {}},
        ReadCase{kTek + kMos, LineStart(2), 4, {}}));

TEST_F(DataFileTest, WrongChecksumsPassWhenTheTestIsOff) {
  options.test_checksum = false;
  for (const char* line : {":04000000020030FFCC\r\n", "S1070000020030FFC8\r\n",
                           ";040000020030FF0136\r\n", "/00000405020030FF3A\r\n"}) {
    ASSERT_EQ(Load(line), kLoadOk) << line << Messages();
    EXPECT_EQ(Bytes(0, 4), (std::vector<uint8_t>{0x02, 0x00, 0x30, 0xFF}));
  }
}

}  // namespace
}  // namespace zivivar
