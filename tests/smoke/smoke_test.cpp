#include <gtest/gtest.h>
TEST(Smoke, LongDoubleIsExtended) { EXPECT_EQ(sizeof(long double) >= 10, true); }
