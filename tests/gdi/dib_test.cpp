// Pixel surfaces: conversion between true-colour layouts.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/gdi/Dib.h"

namespace bellcut {
namespace {

// Every pair of 24- and 32-bit layouts, on an odd width (padded 24-bit rows)
// with random bytes everywhere, the fourth bytes included: the colours come
// across unchanged and a new 32-bit surface has zero fourth bytes.
TEST(DibTest, TrueColourConversionsKeepColoursAndClearTheFourthByte) {
  std::mt19937 gen(11);
  for (const int from : {24, 32})
    for (const int to : {24, 32}) {
      Dib source(7, 5, from);
      for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width() * from / 8; ++x) source.ScanLine(y)[x] = static_cast<std::uint8_t>(gen());
      const Dib converted = source.Converted(to);
      ASSERT_EQ(converted.BitCount(), to);
      ASSERT_EQ(converted.Width(), 7);
      ASSERT_EQ(converted.Height(), 5);
      for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x) {
          EXPECT_EQ(converted.GetPixel(x, y), source.GetPixel(x, y)) << from << "->" << to << " at " << x << "," << y;
          if (to == 32) {
            EXPECT_EQ(converted.ScanLine(y)[4 * x + 3], 0) << from << "->32 at " << x << "," << y;
          }
        }
    }
}

}  // namespace
}  // namespace bellcut
