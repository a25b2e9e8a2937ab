// Checked arithmetic at its boundaries: which results fault, what value is
// carried on, and the latch that keeps the first fault and stops stores.
#include "arith.hpp"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::int64_t min32 = INT32_MIN;
constexpr std::int64_t max32 = INT32_MAX;

class Arith : public ::testing::Test {
 protected:
  void SetUp() override { arith_reset(); }
  void expect_flags(int err, int ovf, int dbz) {
    EXPECT_EQ(error, err);
    EXPECT_EQ(overflow, ovf);
    EXPECT_EQ(dividebyzero, dbz);
  }
};

TEST_F(Arith, ChkFlagsExactlyTheValuesOutside32Bits) {
  struct {
    std::int64_t value;
    bool faults;
  } cases[] = {{0, false},        {max32, false},    {min32, false},
               {max32 + 1, true}, {min32 - 1, true}, {INT64_MAX, true},
               {INT64_MIN, true}, {1LL << 32, true}, {-(1LL << 32), true}};
  for (auto c : cases) {
    arith_reset();
    EXPECT_EQ(chk(c.value), c.value);
    EXPECT_EQ(overflow, c.faults ? 1 : 0) << c.value;
    EXPECT_EQ(error, overflow);
  }
}

TEST_F(Arith, ShiftCountsAreTakenModulo64) {
  struct {
    std::int32_t value, count;
    std::int64_t wide;
    bool faults;
  } cases[] = {
      {1, 31, 1LL << 31, true},  {-1, 31, min32, false},          {1, 32, 1LL << 32, true},
      {1, 64, 1, false},         {1, -1, INT64_MIN, true},        {2, 63, 0, false},
      {INT32_MIN, 33, 0, false}, {INT32_MIN, 1, min32 * 2, true},
  };
  for (auto c : cases) {
    arith_reset();
    EXPECT_EQ(chk(shl64(c.value, c.count)), c.wide) << c.value << " << " << c.count;
    EXPECT_EQ(overflow, c.faults ? 1 : 0) << c.value << " << " << c.count;
  }
  EXPECT_EQ(shr64(7, 1), 3);
  EXPECT_EQ(shr64(-7, 1), -4);
  EXPECT_EQ(shr64(5, 64), 5);
  EXPECT_EQ(shr64(INT32_MIN, 63), -1);
}

TEST_F(Arith, DivisionTruncatesAndRemainderTakesTheDividendsSign) {
  EXPECT_EQ(dv(-7, 2), -3);
  EXPECT_EQ(dv(7, -2), -3);
  EXPECT_EQ(mod(-7, 3), -1);
  EXPECT_EQ(mod(7, -3), 1);
  EXPECT_EQ(dv(INT32_MIN, 1), INT32_MIN);
  EXPECT_EQ(dv(INT32_MAX, -1), -INT32_MAX);
  expect_flags(0, 0, 0);
}

TEST_F(Arith, ZeroDivisorFaultsAndYieldsTheDividend) {
  EXPECT_EQ(dv(42, 0), 42);
  expect_flags(1, 0, 1);
  arith_reset();
  EXPECT_EQ(mod(-5, 0), -5);
  expect_flags(1, 0, 1);
}

// The quotient 2147483648 has no 32-bit value; a remainder by -1 is always 0.
// Neither may trap.
TEST_F(Arith, MostNegativeByMinusOne) {
  EXPECT_EQ(dv(INT32_MIN, -1), INT32_MIN);
  expect_flags(1, 1, 0);
  arith_reset();
  EXPECT_EQ(mod(INT32_MIN, -1), 0);
  expect_flags(0, 0, 0);
}

TEST_F(Arith, FirstFaultWinsAndStopsStores) {
  std::int32_t slot = 5;
  EXPECT_EQ(asg(&slot, 6), 6);
  EXPECT_EQ(slot, 6);
  dv(1, 0);
  chk(max32 + 1);
  expect_flags(1, 0, 1);
  EXPECT_EQ(asg(&slot, 7), 7);  // the value flows on, the store does not happen
  EXPECT_EQ(slot, 6);

  arith_reset();
  chk(max32 + 1);
  dv(1, 0);
  expect_flags(1, 1, 0);
}

}  // namespace
