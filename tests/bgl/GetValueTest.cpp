#include "bgl/GetValue.h"

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

using test::Bytes;

class GetValueTest : public ::testing::Test {
 protected:
  BufferedFile& Open(const Bytes& bytes) {
    test::WriteFile(dir_ / "f.bin", bytes);
    file_ = std::make_unique<BufferedFile>(platform::File::OpenReadWrite(dir_ / "f.bin"));
    return *file_;
  }
  test::TempFolder dir_;
  std::unique_ptr<BufferedFile> file_;
};

TEST_F(GetValueTest, EveryCodeReadsItsWidthLittleEndianAndMovesTheCell) {
  auto& f = Open({0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF,    //
                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F,    // 1.5
                  0x41, 0x42, 0x00, 0x00, 0xC9, 0x76, 0xE9, 0x00});  // "AB", "", "Évé"
  struct Row {
    std::uint32_t offset;
    char code;
    Variant value;
    std::uint32_t next;
  };
  const Row rows[] = {
      {0, 'B', Variant::Byte(1), 1},
      {0, 'W', Variant::Word(0x0201), 2},
      {0, 'D', Variant::LongWord(67305985), 4},
      {4, 'D', Variant::LongWord(4294967295u), 8},  // never negative
      {8, 'F', Variant::Real(1.5), 16},
      {16, 'S', Variant::Text("AB"), 19},
      {19, 'S', Variant::Text(""), 20},
      {20, 'S', Variant::Text("Évé"), 24},  // Windows-1252 bytes arrive as UTF-8
      {23, 'B', Variant::Byte(0), 24},      // the last byte: the cell ends at the file size
  };
  for (const Row& row : rows) {
    Variant v;
    std::uint32_t next = 999;
    GetValue(f, row.offset, row.code, v, next);
    EXPECT_EQ(v, row.value) << row.code << " at " << row.offset;
    EXPECT_EQ(next, row.next) << row.code << " at " << row.offset;
  }
}

TEST_F(GetValueTest, ReadingPastTheEndRaisesTheEndOfFileError) {
  auto& f = Open({0x41, 0x42, 0x43});
  for (const auto& [offset, code] : {std::pair<std::uint32_t, char>{2, 'W'},
                                     {0, 'D'},
                                     {0, 'F'},
                                     {0, 'S'},
                                     {3, 'B'},
                                     {4000000000u, 'B'}}) {
    Variant v;
    std::uint32_t next = 0;
    try {
      GetValue(f, offset, code, v, next);
      ADD_FAILURE() << code << " at " << offset << " did not fail";
    } catch (const EInOutError& e) {
      EXPECT_STREQ(e.what(), "Lecture au-delà de la fin de fichier");
    }
  }
}

TEST_F(GetValueTest, UnknownCodesAreRefusedByNameAndLeaveTheValue) {
  auto& f = Open({1, 2, 3, 4, 5, 6, 7, 8});
  for (const char code : {'d', 'C', 'E', 'X', 'b'}) {
    Variant v = Variant::Integer(7);
    std::uint32_t next = 0;
    try {
      GetValue(f, 3, code, v, next);
      ADD_FAILURE() << code;
    } catch (const EInOutError&) {
      ADD_FAILURE() << code << " raised the end-of-file error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.what(), std::string("(GetValue) Type de variable inconnu (") + code + ")");
    }
    EXPECT_EQ(v, Variant::Integer(7));
    EXPECT_EQ(next, 3u);
  }
}

TEST_F(GetValueTest, ValuesAcrossTheBufferWindowAndAfterAWriteReadTrue) {
  Bytes bytes(3 * BufferedFile::kWindowSize + 10);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  auto& f = Open(bytes);
  auto expectD = [&](std::uint32_t at) {
    Variant v;
    std::uint32_t next = 0;
    GetValue(f, at, 'D', v, next);
    const std::uint32_t want = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                               static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    EXPECT_EQ(v.AsInt64(), want) << "at " << at;
  };
  const std::uint32_t edge = BufferedFile::kWindowSize;
  for (std::uint32_t at : {0u, edge - 4, edge - 2, edge + 1, 5u, 2 * edge - 1,
                           static_cast<std::uint32_t>(bytes.size() - 4)}) {
    expectD(at);
  }
  // A write lands in the file and in what is read next, inside and across the window.
  const std::uint8_t patch[4] = {0xD0, 0x5A, 0x07, 0x00};
  for (std::uint32_t at : {10u, edge - 2}) {
    expectD(at);  // loads the window over the spot
    f.Write(at, patch, 4);
    std::copy(patch, patch + 4, bytes.begin() + at);
    expectD(at);
  }
  EXPECT_EQ(test::ReadFile(dir_ / "f.bin"), bytes);
}

TEST(ValueToHex, ShowsFourDigitsOrEightForLongWordsAndReals) {
  EXPECT_EQ(ValueToHex(Variant::Word(513)), "$0201");
  EXPECT_EQ(ValueToHex(Variant::Byte(5)), "$0005");
  EXPECT_EQ(ValueToHex(Variant::LongWord(305419896)), "$1234x5678");
  EXPECT_EQ(ValueToHex(Variant::LongWord(3)), "$0000x0003");
  EXPECT_EQ(ValueToHex(Variant::Integer(-1)), "$FFFF");
  EXPECT_EQ(ValueToHex(Variant::Int64(0x123456789A)), "$789A");
  EXPECT_EQ(ValueToHex(Variant::Real(1.0)), "$0000x0000");  // 3FF0000000000000: low half
  EXPECT_EQ(ValueToHex(Variant::Real(0.1)), "$9999x999A");
}

}  // namespace
}  // namespace qor
