#include "platform/convert.h"
#include "platform/datetime.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

TEST(Convert, RoundsHalvesToEvenAndReportsOverflow) {
    EXPECT_EQ(convert::CInt(2.5), 2);
    EXPECT_EQ(convert::CInt(3.5), 4);
    EXPECT_EQ(convert::CInt(-2.5), -2);
    EXPECT_EQ(convert::CInt(32767.4), 32767);
    EXPECT_THROW(convert::CInt(32767.5), RuntimeError);
    EXPECT_THROW(convert::CInt(-32769), RuntimeError);
    EXPECT_EQ(convert::CLng(2646.0), 2646);
}

TEST(Convert, DrawTakesTheIntegerPart) {
    EXPECT_EQ(convert::Draw(0.0f, 200), 0);
    EXPECT_EQ(convert::Draw(0.99999994f, 200), 199);
    EXPECT_EQ(convert::Draw(0.5f, 3), 1);
    EXPECT_EQ(convert::Draw(0.6666f, 3), 1);
    EXPECT_EQ(convert::Draw(0.6667f, 3), 2);
}

TEST(DateTime, StoredTextReadsBackToTheSameMoment) {
    for (const Date d :
         {46000.0, 46000.5, 36585.93104166667, 1.0 / 86400, -1.25, 2958465.99998843}) {
        const Date back = datetime::FromText(datetime::ToText(d));
        EXPECT_NEAR(back, d, 0.5 / 86400) << datetime::ToText(d);
    }
    EXPECT_EQ(datetime::ToText(datetime::FromParts({2026, 12, 7, 14, 3, 22})),
              "2026-12-07 14:03:22");
    EXPECT_EQ(datetime::ToText(-1.25), "1899-12-29 06:00:00");
}

TEST(DateTime, ZeroAndNumbersAndBadText) {
    EXPECT_EQ(datetime::FromText("0"), 0.0);
    EXPECT_EQ(datetime::FromText("1899-12-30 00:00:00"), 0.0);
    EXPECT_EQ(datetime::FromText("2000-03-01"), 36586.0);
    try {
        datetime::FromText("yesterday at noon");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number, vberr::TypeMismatch);
        EXPECT_NE(e.Description.find("yesterday at noon"), std::string::npos);
    }
    EXPECT_THROW(datetime::FromText("2001-02-29 10:00:00"), RuntimeError);
    EXPECT_THROW(datetime::FromText(""), RuntimeError);
}
