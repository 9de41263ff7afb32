// Streams: the embedded registry, little-endian integers, files and case-blind paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/stream.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// Each test works in a fresh folder of its own and leaves the old working directory as it was.
class StreamFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Enter("stream"));
  }
  void TearDown() override { folder_.Remove(); }
  static int WriteOneInt(const std::string& name, int value) {
    auto s = OpenWriteStream(name);
    if (!s) return 0;
    s->WriteInt(value);
    s->Close();
    return 1;
  }
  temp_folder folder_;
};

const uint8_t kFirst[] = {1, 2, 3, 4, 5};
const uint8_t kSecond[] = {9, 9};

TEST(Embedded, DuplicateNameKeepsFirstBytes) {
  EXPECT_EQ(RegisterEmbeddedFile("dup_test.bin", kFirst, sizeof kFirst), 1);
  EXPECT_EQ(RegisterEmbeddedFile("dup_test.bin", kSecond, sizeof kSecond), 0);
  auto s = OpenReadStream("incbin::dup_test.bin");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Size(), 5);
  EXPECT_EQ(s->ReadInt(), 0x04030201);
}

TEST(Embedded, PrefixIgnoresCasePathDoesNot) {
  ASSERT_EQ(RegisterEmbeddedFile("Case_Test.png", kFirst, sizeof kFirst), 1);
  EXPECT_NE(OpenReadStream("incbin::Case_Test.png"), nullptr);
  EXPECT_NE(OpenReadStream("Incbin::Case_Test.png"), nullptr);
  EXPECT_NE(OpenReadStream("INCBIN::Case_Test.png"), nullptr);
  EXPECT_EQ(OpenReadStream("incbin::case_test.png"), nullptr);
  EXPECT_EQ(OpenReadStream("incbin::Case_Test.PNG"), nullptr);
  EXPECT_EQ(OpenReadStream("incbin::missing.png"), nullptr);
}

TEST(Embedded, UnknownPrefixAndWritingGiveNothing) {
  ASSERT_EQ(RegisterEmbeddedFile("nowrite.bin", kFirst, sizeof kFirst), 1);
  EXPECT_EQ(OpenReadStream("zip::nowrite.bin"), nullptr);
  EXPECT_EQ(OpenReadStream("::nowrite.bin"), nullptr);
  EXPECT_EQ(OpenWriteStream("incbin::nowrite.bin"), nullptr);
  // Only the first "::" splits: the rest is the registered path.
  ASSERT_EQ(RegisterEmbeddedFile("a::b", kSecond, sizeof kSecond), 1);
  auto s = OpenReadStream("incbin::a::b");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Size(), 2);
}

TEST(Embedded, WholeStreamAndEmptyEntry) {
  ASSERT_EQ(RegisterEmbeddedFile("whole.bin", kFirst, sizeof kFirst), 1);
  int ok = 0;
  EXPECT_EQ(ReadWholeStream("incbin::whole.bin", &ok), std::string("\1\2\3\4\5", 5));
  EXPECT_EQ(ok, 1);
  ReadWholeStream("incbin::nothing_here", &ok);
  EXPECT_EQ(ok, 0);
  ASSERT_EQ(RegisterEmbeddedFile("empty.bin", kFirst, 0), 1);
  auto s = OpenReadStream("incbin::empty.bin");
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->Eof());
  EXPECT_EQ(s->ReadInt(), 0);
}

TEST(RamStream, ShortReadsFillLowBytes) {
  const uint8_t bytes[] = {0x01, 0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0x07};
  TRamStream s(bytes, sizeof bytes, 1, 0);
  EXPECT_EQ(s.ReadInt(), static_cast<int>(0xFFFF0201));
  EXPECT_EQ(s.ReadInt(), 0x0007FFFF);
  EXPECT_EQ(s.Pos(), 7);
  EXPECT_EQ(s.ReadInt(), 0);
  s.Seek(5);
  uint8_t buf[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  s.ReadBytes(buf, 4);  // two bytes left: the rest of the buffer is untouched
  EXPECT_EQ(buf[0], 0xFF);
  EXPECT_EQ(buf[1], 0x07);
  EXPECT_EQ(buf[2], 0xAA);
  s.Close();
  EXPECT_EQ(s.Pos(), 0);
  EXPECT_EQ(s.Size(), 0);
}

TEST(RamStream, ReadOnlyMemoryRefusesWrites) {
  const uint8_t bytes[4] = {};
  TRamStream s(bytes, sizeof bytes, 1, 1);
  EXPECT_THROW(s.WriteInt(5), TStreamError);
  uint8_t mem[6] = {};
  TRamStream w(mem, sizeof mem, 1, 1);
  w.WriteInt(-2);
  EXPECT_EQ(mem[0], 0xFE);
  EXPECT_EQ(mem[3], 0xFF);
  try {
    w.WriteInt(1);  // only two bytes of room
    FAIL() << "a full memory stream took the write";
  } catch (const TStreamError& e) {
    EXPECT_STREQ(e.what(), "Error writing to stream");
  }
}

// A stream whose device gives up halfway.
class TBrokenStream : public TStream {
 public:
  int64_t Pos() override { return pos; }
  int64_t Size() override { return 8; }
  int64_t Seek(int64_t p) override { return pos = p; }
  int Close() override { return 0; }
  int64_t Read(void* b, int64_t n) override {
    if (pos >= 2) return 0;
    static_cast<uint8_t*>(b)[0] = 1;
    (void)n;
    return ++pos, 1;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t pos = 0;
};

TEST(RamStream, DeviceFailureRaisesExactTexts) {
  TBrokenStream s;
  try {
    s.ReadInt();
    FAIL() << "a failed read went unnoticed";
  } catch (const TStreamError& e) {
    EXPECT_STREQ(e.what(), "Error reading from stream");
  }
  try {
    s.WriteInt(1);
    FAIL() << "a failed write went unnoticed";
  } catch (const TStreamError& e) {
    EXPECT_STREQ(e.what(), "Error writing to stream");
  }
}

TEST_F(StreamFiles, ReadIntOfShortAndEmptyFiles) {
  WriteBytes("two.dat", {0x01, 0x02});
  WriteBytes("empty.dat", {});
  auto two = OpenReadStream("two.dat");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(two->ReadInt(), 513);
  auto empty = OpenReadStream("empty.dat");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->ReadInt(), 0);
}

TEST_F(StreamFiles, WriteIntIsLittleEndian) {
  ASSERT_TRUE(WriteOneInt("neg.dat", -1));
  ASSERT_TRUE(WriteOneInt("pos.dat", 258));
  EXPECT_EQ(ReadBytes("neg.dat"), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadBytes("pos.dat"), (std::vector<uint8_t>{0x02, 0x01, 0x00, 0x00}));
  auto s = OpenReadStream("neg.dat");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->ReadInt(), -1);
}

TEST_F(StreamFiles, WriteStreamEmptiesOldFile) {
  WriteBytes("old.dat", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  auto s = OpenWriteStream("old.dat");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Size(), 0);
  EXPECT_EQ(fs::file_size("old.dat"), 0u);  // emptied before the first write
  s->WriteInt(7);
  EXPECT_EQ(s->Size(), 4);
  s->Close();
  EXPECT_EQ(s->Size(), 0);
  EXPECT_EQ(ReadBytes("old.dat"), (std::vector<uint8_t>{7, 0, 0, 0}));
}

TEST_F(StreamFiles, MissingThingsGiveNothing) {
  EXPECT_EQ(OpenReadStream("nothing.dat"), nullptr);
  EXPECT_EQ(OpenWriteStream("nofolder\\x.dat"), nullptr);  // folders are not made
  EXPECT_FALSE(fs::exists("nofolder"));
  fs::create_directory("adir");
  EXPECT_EQ(OpenReadStream("adir"), nullptr);  // a folder is not a readable file
  EXPECT_EQ(OpenWriteStream("adir"), nullptr);
  EXPECT_EQ(OpenReadStream(""), nullptr);
}

TEST_F(StreamFiles, MixedCaseFoldersMeetInOne) {
  fs::create_directory("data");
  ASSERT_TRUE(WriteOneInt("Data\\anaglyph3d.dat", 3));
  ASSERT_TRUE(WriteOneInt("data\\hiscore.dat", 12345));
  EXPECT_TRUE(fs::exists("data/anaglyph3d.dat"));
  EXPECT_TRUE(fs::exists("data/hiscore.dat"));
  EXPECT_FALSE(fs::exists("Data"));
  auto s = OpenReadStream("DATA/ANAGLYPH3D.DAT");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->ReadInt(), 3);
  EXPECT_EQ(ResolvePath("Data\\HiScore.dat"), "data/hiscore.dat");
}

TEST_F(StreamFiles, NewNamesKeepTheirSpelling) {
  EXPECT_EQ(ResolvePath("NewDir\\Sub\\File.Dat"), "NewDir/Sub/File.Dat");
  fs::create_directory("Saves");
  EXPECT_EQ(ResolvePath("saves\\New.dat"), "Saves/New.dat");
  ASSERT_TRUE(WriteOneInt("SAVES\\New.dat", 1));
  EXPECT_TRUE(fs::exists("Saves/New.dat"));
  EXPECT_EQ(ResolvePath("./saves//x"), "./Saves/x");
}

TEST_F(StreamFiles, ExactSpellingWinsOverOtherCase) {
  fs::create_directory("data");
  fs::create_directory("DATA");
  WriteBytes("DATA/v.dat", {5});
  WriteBytes("data/v.dat", {6});
  EXPECT_EQ(ResolvePath("DATA\\v.dat"), "DATA/v.dat");
  EXPECT_EQ(ResolvePath("data\\v.dat"), "data/v.dat");
  EXPECT_EQ(ResolvePath("Data\\v.dat"), "DATA/v.dat");  // lowest spelling, whatever the folder order
}

TEST_F(StreamFiles, FileKinds) {
  EXPECT_EQ(GetFileKind("data\\hiscore.dat"), 0);
  fs::create_directory("data");
  EXPECT_EQ(GetFileKind("data"), 2);
  EXPECT_EQ(GetFileKind("Data"), 2);
  ASSERT_TRUE(WriteOneInt("data\\hiscore.dat", 1));
  EXPECT_EQ(GetFileKind("data\\hiscore.dat"), 1);
  EXPECT_EQ(GetFileKind("DATA/HISCORE.DAT"), 1);
  EXPECT_EQ(GetFileKind(""), 0);
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  EXPECT_EQ(GetFileKind("pipe"), 0);  // neither file nor folder
}

TEST_F(StreamFiles, RenameReplacesOldFile) {
  fs::create_directory("data");
  ASSERT_TRUE(WriteOneInt("data\\a.tmp", 11));
  ASSERT_TRUE(WriteOneInt("data\\a.dat", 22));
  EXPECT_EQ(RenameFile("Data\\a.tmp", "Data\\a.dat"), 1);
  EXPECT_EQ(ReadBytes("data/a.dat"), (std::vector<uint8_t>{11, 0, 0, 0}));
  EXPECT_EQ(RenameFile("data\\gone.tmp", "data\\a.dat"), 0);
}

TEST_F(StreamFiles, WholeFileAndSeek) {
  WriteBytes("w.bin", {1, 2, 3, 4, 5, 6});
  int ok = 0;
  EXPECT_EQ(ReadWholeStream("W.BIN", &ok), std::string("\1\2\3\4\5\6", 6));
  EXPECT_EQ(ok, 1);
  auto s = OpenReadStream("w.bin");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Seek(2), 2);
  EXPECT_EQ(s->ReadInt(), 0x06050403);
  EXPECT_TRUE(s->Eof());
}

}  // namespace
