#include "transfer/hex_value.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quillon {
namespace {

TEST(HexValue, EveryByteRoundTripsAndBadDigitsGivePartialValues) {
    int failures = 0;
    auto count = [&] { ++failures; };
    for (int b = 0; b < 256; ++b) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", b);
        EXPECT_EQ(hex_value(pair, count), b) << pair;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(hex_value("7", count), 7) << "a lone digit of an odd spool";
    EXPECT_EQ(hex_value("", count), 0);
    EXPECT_EQ(hex_value("f0", count), 0) << "lower case is a bad digit";
    EXPECT_EQ(hex_value("3g", count), 48) << "16 times the first digit";
    EXPECT_EQ(failures, 2);
}

} // namespace
} // namespace quillon
