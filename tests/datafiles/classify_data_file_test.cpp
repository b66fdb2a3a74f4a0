#include <gtest/gtest.h>

#include "data_file_fixture.h"
#include "datafiles/data_format.h"

namespace zivivar {
namespace {

class ClassifyTest : public DataFileTest {
 protected:
  int Classify(const std::string& bytes) {
    return files.ClassifyDataFile(dir.Write("c.dat", bytes), /*quiet=*/false);
  }
};

TEST_F(ClassifyTest, FirstLineNamesTheFormat) {
  EXPECT_EQ(Classify(":04000000020030FFCB\r\n"), kFormatIntel8);
  EXPECT_EQ(Classify(":020000040000FA\r\n"), kFormatIntel32);
  EXPECT_EQ(Classify(";040000020030FF0135\r\n"), kFormatMos);
  EXPECT_EQ(Classify("/00000404020030FF39\r\n"), kFormatTektronix);
  EXPECT_EQ(Classify("S1070000020030FFC7\r\n"), kFormatS1);
  EXPECT_EQ(Classify("S20800001001020304DD\r\n"), kFormatS2);
  EXPECT_EQ(Classify("S3090000001001020304DC\r\n"), kFormatS3);
  EXPECT_EQ(data_format, kFormatS3);  // the current data format follows
}

TEST_F(ClassifyTest, SecondLineDecidesWhenTheFirstDoesNot) {
  EXPECT_EQ(Classify("S00600004844521B\r\nS1070000020030FFC7\r\n"), kFormatS1);
  EXPECT_EQ(Classify(":0400000300000100F8\r\n:04000000020030FFCB\r\n"), kFormatIntel8);
  EXPECT_EQ(Classify("\r\n;040000020030FF0135\r\n"), kFormatMos);
  // A third line is never looked at.
  EXPECT_EQ(Classify("\r\n\r\n:04000000020030FFCB\r\n"), kFormatBinary);
  EXPECT_EQ(Classify("S0030000FC\r\nS5030001FB\r\nS1070000020030FFC7\r\n"), kFormatBinary);
}

TEST_F(ClassifyTest, SegmentRecordLooksAheadForALinearOne) {
  EXPECT_EQ(Classify(":020000020000FC\r\n:020000040000FA\r\n"), kFormatIntel32);
  EXPECT_EQ(Classify(":020000020000FC\r\n:04000000020030FFCB\r\n"), kFormatIntelMcs);
  // The line looked ahead is then tested for the other formats too.
  EXPECT_EQ(Classify(":020000020000FC\r\nS1070000020030FFC7\r\n"), kFormatS1);
  // With nothing behind it the record proves nothing, and the file is binary.
  EXPECT_EQ(Classify(":020000020000FC\r\n"), kFormatBinary);
}

TEST_F(ClassifyTest, UnrecognisedOrEmptyFilesAreBinary) {
  EXPECT_EQ(Classify(""), kFormatBinary);
  EXPECT_EQ(Classify("hello\r\nworld\r\n"), kFormatBinary);
}

TEST_F(ClassifyTest, FilesOfABlankMemoryAreTextNotBinary) {
  // What the writers make of a blank memory with blank cells left out.
  EXPECT_EQ(Classify(":00000001FF\r\n"), kFormatIntel8);
  EXPECT_EQ(Classify("S00F000056454C444F522056312E3030EF\r\nS9030000FC\r\n"), kFormatS1);
  EXPECT_EQ(Classify("S804000000FB\r\n"), kFormatS2);
  EXPECT_EQ(Classify("S70500000000FA\r\n"), kFormatS3);
  // Loading one gives a blank image, not the file's characters.
  options.hex_line_len = 32;
  device.code_size = 4096;
  for (int format : {kFormatIntel8, kFormatS1}) {
    data_format = format;
    ASSERT_EQ(files.WriteDataFile(dir.File("blank.hex"), kCodeMemory, options), kSaveOk);
    image.bytes[0] = 0;
    ASSERT_EQ(files.LoadDataFile(dir.File("blank.hex"), kCodeMemory, options), kLoadOk);
    EXPECT_EQ(data_format, format);
    EXPECT_EQ(image.loaded_byte_count, 0u);
    EXPECT_EQ(image.bytes[0], kBlankByte);
  }
}

TEST_F(ClassifyTest, ControlOrHighCharactersBeforeTheLastTwoMakeAFileBinary) {
  EXPECT_EQ(Classify(":0400\t00000020030FFCB\r\n"), kFormatBinary);
  EXPECT_EQ(Classify(":04000000020030FF\x80"
                     "CB\r\n"),
            kFormatBinary);
  EXPECT_EQ(Classify(std::string(":04000000\0", 10) + "20030FFCB\r\n"), kFormatBinary);
  // The last two characters are not examined: here the final 0x80 and the line feed.
  EXPECT_EQ(Classify(":04000000020030FFCB\x80\n"), kFormatIntel8);
  // CR LF is one line feed in text mode, so a stray CR before it is among the last two.
  EXPECT_EQ(Classify(";040000020030FF0135\r\r\n"), kFormatMos);
  // A Ctrl-Z ends the file as far as the text tests go.
  EXPECT_EQ(Classify("\x1A:04000000020030FFCB\r\n"), kFormatBinary);
}

TEST_F(ClassifyTest, FileThatCannotBeOpenedIsReportedUnlessQuiet) {
  const std::string missing = dir.File("missing.hex");
  EXPECT_EQ(files.ClassifyDataFile(missing, /*quiet=*/true), kFormatUnknown);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(files.ClassifyDataFile(missing, /*quiet=*/false), kFormatUnknown);
  EXPECT_EQ(OnlyMessage(), "Fehler beim Öffnen der Datei\n\n" + missing +
                               "\n\nDatei oder Verzeichnis existiert nicht");
  EXPECT_EQ(data_format, kFormatUnknown);
}

}  // namespace
}  // namespace zivivar
