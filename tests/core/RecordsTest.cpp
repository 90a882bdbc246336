#include "data/MainHeader.h"
#include "data/PixHeader.h"
#include "synth/HydWriter.h"

#include <gtest/gtest.h>

TEST(Records, MainHeaderRoundTripsInEveryFormat) {
  for (int format = 1; format <= 4; ++format) {
    MainHeader h = synth::TypicalMainHeader(1000);
    auto bytes = synth::HydWriter::EncodeMainHeader(h, format);
    ASSERT_EQ(int(bytes.size()), MainHeader::FileSize(format));
    MainHeader back;
    back.Decode(bytes.data() + 2, int16_t(bytes[0] | bytes[1] << 8), format);
    EXPECT_EQ(back.planeDistance1, h.planeDistance1);
    EXPECT_EQ(back.scaleB, h.scaleB);
    EXPECT_EQ(back.L0_2, h.L0_2);
    EXPECT_EQ(back.halfPixels, 256);
    EXPECT_EQ(back.planeDistance2, format >= 3 ? h.planeDistance2 : h.planeDistance1);
  }
}
