// The built spillgrid: whole rows for the values whose rows are known, the
// argument rules, and the exit status.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "process.hpp"

namespace {

const std::string spillgrid = SPILLGRID_PATH;

std::vector<std::string> rows_for(const std::string& argument) {
  RunResult r = run_program(spillgrid, {argument}, {});
  EXPECT_EQ(r.status, 0) << argument;
  EXPECT_EQ(r.err, "") << argument;
  std::vector<std::string> rows;
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);) rows.push_back(line);
  return rows;
}

// The row the table must show for one count, built independently here.
std::string expected_row(int i, bool spilled, std::int32_t low, std::int32_t high,
                         std::uint64_t bits) {
  char text[128];
  std::string binary;
  for (int j = 63; j >= 0; --j) binary += static_cast<char>('0' + ((bits >> j) & 1));
  std::snprintf(text, sizeof text, "%3d (%c) - %11d - %11d - %s", i, spilled ? 'Y' : ' ', low, high,
                binary.c_str());
  return text;
}

TEST(Spillgrid, RowsForOne) {
  std::vector<std::string> rows = rows_for("1");
  ASSERT_EQ(rows.size(), 64u);
  for (int i = 0; i <= 30; ++i) EXPECT_EQ(rows[i], expected_row(i, false, 1 << i, 0, 1ULL << i));
  EXPECT_EQ(rows[31], expected_row(31, true, INT32_MIN, 0, 1ULL << 31));
  EXPECT_EQ(rows[32], expected_row(32, true, 0, 1, 1ULL << 32));
  EXPECT_EQ(rows[63], expected_row(63, true, 0, INT32_MIN, 1ULL << 63));
  EXPECT_EQ(rows[63].substr(38), "1" + std::string(63, '0'));
}

TEST(Spillgrid, RowsForMinusOne) {
  std::vector<std::string> rows = rows_for("-1");
  ASSERT_EQ(rows.size(), 64u);
  for (int i = 0; i < 64; ++i) {
    const std::uint64_t s = ~0ULL << i;
    EXPECT_EQ(rows[i], expected_row(i, i >= 32, static_cast<std::int32_t>(s),
                                    static_cast<std::int32_t>(s >> 32), s));
  }
  EXPECT_EQ(rows[31], expected_row(31, false, INT32_MIN, -1, ~0ULL << 31));
}

TEST(Spillgrid, RowsForTwo) {
  std::vector<std::string> rows = rows_for("2");
  ASSERT_EQ(rows.size(), 64u);
  EXPECT_EQ(rows[29], expected_row(29, false, 1 << 30, 0, 1ULL << 30));
  EXPECT_EQ(rows[30], expected_row(30, true, INT32_MIN, 0, 1ULL << 31));
  EXPECT_EQ(rows[62], expected_row(62, true, 0, INT32_MIN, 1ULL << 63));
  EXPECT_EQ(rows[63], expected_row(63, false, 0, 0, 0));
}

TEST(Spillgrid, RowsForMostNegative) {
  std::vector<std::string> rows = rows_for("-2147483648");
  ASSERT_EQ(rows.size(), 64u);
  EXPECT_EQ(rows[0], expected_row(0, false, INT32_MIN, -1, ~0ULL << 31));
  for (int i = 1; i <= 32; ++i) {
    const std::uint64_t s = ~0ULL << (31 + i);
    EXPECT_EQ(rows[i], expected_row(i, true, static_cast<std::int32_t>(s),
                                    static_cast<std::int32_t>(s >> 32), s));
  }
  for (int i = 33; i < 64; ++i) EXPECT_EQ(rows[i], expected_row(i, false, 0, 0, 0));
}

TEST(Spillgrid, RowsForZeroAndEveryRowWidth) {
  std::vector<std::string> rows = rows_for("0");
  ASSERT_EQ(rows.size(), 64u);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(rows[i], expected_row(i, false, 0, 0, 0));
  for (const char* n : {"0", "-2147483648", "2147483647", "-1"})
    for (const std::string& row : rows_for(n)) EXPECT_EQ(row.size() + 1, 103u) << row;
}

TEST(Spillgrid, ArgumentIsReadAsADecimalPrefix) {
  struct {
    const char* argument;
    const char* same_as;
  } cases[] = {{"12abc", "12"}, {"  \t-7", "-7"}, {"+5", "5"},   {"abc", "0"},
               {"", "0"},       {"-", "0"},       {"0005", "5"}, {"-2147483648x", "-2147483648"}};
  for (auto c : cases) EXPECT_EQ(rows_for(c.argument), rows_for(c.same_as)) << c.argument;
  RunResult extra = run_program(spillgrid, {"3", "junk", "more"}, {});
  EXPECT_EQ(extra.status, 0);
  EXPECT_EQ(extra.out, run_program(spillgrid, {"3"}, {}).out);
}

// Standard input is never read: a megabyte offered there changes nothing,
// and the run ends as soon as the table is written (the harness must see the
// unread pipe close, whatever errno held before).
TEST(Spillgrid, StandardInputIsIgnored) {
  RunOptions options;
  options.input = std::string(1 << 20, '7');
  options.timeout = std::chrono::seconds(20);
  errno = EAGAIN;
  RunResult r = run_program(spillgrid, {"3"}, options);
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, run_program(spillgrid, {"3"}, {}).out);
}

TEST(Spillgrid, RefusesWhatItCannotTabulate) {
  RunResult none = run_program(spillgrid, {}, {});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_NE(none.err.find("usage: spillgrid INTEGER"), std::string::npos);
  for (const char* argument : {"2147483648", "-2147483649", "99999999999999999999999"}) {
    RunResult r = run_program(spillgrid, {argument}, {});
    EXPECT_EQ(r.status, 2) << argument;
    EXPECT_EQ(r.out, "") << argument;
    EXPECT_NE(r.err.find(std::string("'") + argument + "'"), std::string::npos) << r.err;
  }
  // Control bytes are shown escaped, never passed to the terminal, however
  // many there are.
  std::string shown = "99999999999\\x1b[31mX\\\\";
  for (int i = 0; i < 100; ++i) shown += "\\x01";
  RunResult escape = run_program(spillgrid, {"99999999999\x1b[31mX\\" + std::string(100, 1)}, {});
  EXPECT_EQ(escape.status, 2);
  EXPECT_EQ(escape.err, "spillgrid: '" + shown +
                            "' is outside the signed 32-bit range (-2147483648 to 2147483647)\n");
  RunOptions full;
  full.stdout_path = "/dev/full";
  RunResult r = run_program(spillgrid, {"3"}, full);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot write standard output"), std::string::npos);
}

}  // namespace
