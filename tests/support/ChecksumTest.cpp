#include "support/Checksum.h"

#include <gtest/gtest.h>

#include <string>

namespace support {
namespace {

TEST(ChecksumTest, ShiftedTable) {
  EXPECT_EQ(ArchiveChecksumEntry(0), 0x77073096u);
  EXPECT_EQ(ArchiveChecksumEntry(255), 0x00000001u);
  EXPECT_EQ(ArchiveChecksum("abc", 3), 0x5AFA2A22u);
  EXPECT_EQ(ArchiveChecksum("", 0), 0u);

  const std::string text = "The quick brown fox jumps over the lazy dog";
  uint32_t running = kChecksumStart;
  for (char c : text) running = UpdateChecksum(running, &c, 1);
  EXPECT_EQ(FinishChecksum(running), ArchiveChecksum(text.data(), text.size()));
  EXPECT_NE(ArchiveChecksum(text.data(), text.size()), 0x414FA339u) << "not the usual table's value";
}

}  // namespace
}  // namespace support
