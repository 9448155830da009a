#include "pet/age.h"
#include "pet_fixture.h"

#include <optional>
#include <random>

namespace {
using datetime::FromParts;
using Parts = datetime::Parts;

constexpr int16_t kUnwritten = 999;
using Span = std::array<std::optional<int>, 6>; // empty: the part is left unwritten
const std::nullopt_t _ = std::nullopt;

std::array<int16_t, 6> differenceOf(const Parts& from, const Parts& to) {
    std::array<int16_t, 6> p;
    p.fill(kUnwritten);
    DateDifference(FromParts(from), FromParts(to), p[0], p[1], p[2], p[3], p[4], p[5]);
    return p;
}
} // namespace

TEST(DateDifference, SplitsSpansIntoCalendarParts) {
    struct Row {
        Parts from, to;
        Span want;
    };
    const std::vector<Row> rows = {
        // A month is cut back to the end of a shorter one, then the hours make up the rest.
        {{2001, 1, 31, 10}, {2001, 3, 1, 9}, {0, 1, 0, 23, _, _}},
        {{2001, 1, 31, 10}, {2001, 2, 28, 10}, {0, 1, _, _, _, _}},
        {{2001, 1, 31, 10}, {2001, 3, 31, 10}, {0, 2, _, _, _, _}},
        {{2000, 2, 29, 12}, {2001, 2, 28, 12}, {1, _, _, _, _, _}},
        // A midnight crossed is no day when less than 24 hours passed.
        {{2001, 1, 1, 23}, {2001, 1, 2, 1}, {0, 0, 0, 2, _, _}},
        // Every boundary count is 1, yet only one second has passed.
        {{2000, 12, 31, 23, 59, 59}, {2001, 1, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 1}},
        {{2001, 3, 1, 9}, {2001, 1, 31, 10}, {0, -1, 0, -23, _, _}},
        {{2001, 3, 1, 9, 5, 7}, {2001, 3, 1, 9, 5, 7}, {_, _, _, _, _, _}},
        {{1946, 1, 1, 12}, {2026, 4, 4, 15, 30, 10}, {80, 3, 3, 3, 30, 10}},
        {{2026, 4, 4, 15, 30, 10}, {1946, 1, 1, 12}, {-80, -3, -3, -3, -30, -10}},
        // Beyond a 32-bit count of seconds the sign is still the span's.
        {{1900, 1, 1}, {2050, 6, 15, 6, 7, 8}, {150, 5, 14, 6, 7, 8}},
        {{2050, 6, 15, 6, 7, 8}, {1900, 1, 1}, {-150, -5, -14, -6, -7, -8}},
        {{1899, 12, 29, 6}, {1899, 12, 30, 18}, {0, 0, 1, 12, _, _}},
    };
    for (const Row& row : rows) {
        const std::array<int16_t, 6> got = differenceOf(row.from, row.to);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(got[i], row.want[i].value_or(kUnwritten))
                << "part " << i << " of " << datetime::ToText(FromParts(row.from)) << " to "
                << datetime::ToText(FromParts(row.to));
    }
}

TEST(DateDifference, PartsAddUpToTheEndAndStayInTheirRanges) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<long long> when(-20LL * 365 * 86400, 200LL * 365 * 86400);
    std::uniform_int_distribution<long long> near(-3LL * 86400 * 62, 3LL * 86400 * 62);
    for (int k = 0; k < 4000; ++k) {
        const long long a = when(rng);
        const long long b = k % 2 ? when(rng) : a + near(rng);
        std::array<int16_t, 6> p{};
        DateDifference(datetime::FromSeconds(a), datetime::FromSeconds(b), p[0], p[1], p[2], p[3],
                       p[4], p[5]);
        const std::array<int, 6> most = {32767, 11, 30, 23, 59, 59};
        long long d = a;
        for (size_t i = 0; i < 6; ++i) {
            ASSERT_LE(std::abs(p[i]), most[i]) << a << " to " << b << ", part " << i;
            ASSERT_TRUE(b >= a ? p[i] >= 0 : p[i] <= 0) << a << " to " << b << ", part " << i;
            d = datetime::DateAdd(static_cast<datetime::Interval>(i), p[i], d);
        }
        ASSERT_EQ(d, b) << a << " to " << b;
    }
}

TEST(AgeMessage, KeepsAPlaceForEachSign) {
    EXPECT_EQ(AgeMessage(3, 2, 1), "Pimbolet's Age:  3 days,  2 months,  1 years");
    EXPECT_EQ(AgeMessage(0, 0, 0), "Pimbolet's Age:  0 days,  0 months,  0 years");
    EXPECT_EQ(AgeMessage(-3, 0, -12), "Pimbolet's Age: -3 days,  0 months, -12 years");
}

class Age : public PetTest {
  protected:
    void SetUp() override {
        p.settings.Set("birth", "2024-10-04 08:30:00");
        p.clock.now = FromParts({2025, 12, 7, 9, 0, 0});
        ASSERT_TRUE(Start());
        p.msgbox.shown.clear();
    }
    void Ask(int16_t telluser) { pet().CheckAge(telluser); }
};

TEST_F(Age, TellsTheAgeFromTheBirthToThisSecond) {
    Ask(1);
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt, "Pimbolet's Age:  3 days,  2 months,  1 years");
    EXPECT_EQ(p.msgbox.shown[0].style, mb::OKOnly);
    EXPECT_EQ(p.msgbox.shown[0].caption, "") << "the application title";
    EXPECT_EQ(pet().AgeYears, 1);
    EXPECT_EQ(pet().AgeMonths, 2);
    EXPECT_EQ(pet().AgeDays, 3);
}

TEST_F(Age, OnlyCountsWhenNotAskedToTell) {
    for (const int16_t telluser : {0, 2, -1}) {
        p.clock.now = FromParts({2025, 10, 4, 8, 30, 0});
        pet().AgeDays = 5;
        Ask(telluser);
        EXPECT_EQ(pet().AgeYears, 1) << telluser;
        EXPECT_EQ(pet().AgeDays, 0) << "parts left unwritten read 0";
    }
    EXPECT_TRUE(p.msgbox.shown.empty());
}

TEST_F(Age, ClockSetBeforeTheBirthGivesANegativeAge) {
    p.clock.now = FromParts({2024, 8, 1, 8, 30, 0});
    Ask(1);
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt, "Pimbolet's Age: -3 days, -2 months,  0 years");
}

TEST(DateTime, ATimeRoundedUpToMidnightIsTheNextDaysOnBothSidesOfZero) {
    EXPECT_EQ(datetime::ToText(1.0 - 0.1 / 86400), "1899-12-31 00:00:00");
    EXPECT_EQ(datetime::ToText(-1.0 - (1.0 - 0.1 / 86400)), "1899-12-30 00:00:00")
        << "29 December, a tenth of a second before its end";
}
