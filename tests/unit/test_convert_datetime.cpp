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
        EXPECT_EQ(e.Number, errnum::TypeMismatch);
        EXPECT_NE(e.Description.find("yesterday at noon"), std::string::npos);
    }
    EXPECT_THROW(datetime::FromText("2001-02-29 10:00:00"), RuntimeError);
    EXPECT_THROW(datetime::FromText(""), RuntimeError);
}

TEST(DateTime, TextForms) {
    const std::vector<std::pair<std::string, Date>> good = {
        {"2000-03-01 10:15", 36586.0 + 10.25 / 24},
        {"2000-3-1T10:15:00", 36586.0 + 10.25 / 24},
        {" \t2000-03-01  ", 36586.0},
        {"+36586", 36586.0},
        {"-1.25", -1.25},
        {"36586.5", 36586.5},
    };
    for (const auto& [text, date] : good)
        EXPECT_NEAR(datetime::FromText(text), date, 0.5 / 86400) << text;
}

TEST(DateTime, BadTextOfAnySizeIsAMismatchQuotedShort) {
    const std::string date = "2020-01-02 03:04:05";
    const std::vector<std::string> bad = {
        std::string(40000, '9'),
        std::string(10000, '9'),
        date + std::string(100000, ' '),
        std::string(100000, ' ') + date,
        "1" + std::string(30, '0'),
        "-700000",
        "0099-12-31",
        "2020-01-02 03:04:",
        "2020-01-02 3",
        "2020-01-02 03:04:05 PM",
        "1.",
        "- 1",
    };
    for (const std::string& text : bad) {
        try {
            datetime::FromText(text);
            ADD_FAILURE() << "no error for " << text.substr(0, 60);
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, errnum::TypeMismatch);
            EXPECT_NE(e.Description.find("is not a date and time"), std::string::npos);
            EXPECT_LT(e.Description.size(), 100u) << "quoted short";
            EXPECT_NE(e.Description.find(text.substr(0, 12)), std::string::npos)
                << "names the text";
        }
    }
    std::string sun;
    for (int i = 0; i < 30; ++i)
        sun += "\xE6\x97\xA5";
    try {
        datetime::FromText(sun);
    } catch (const RuntimeError& e) {
        EXPECT_NE(e.Description.find("\"" + sun.substr(0, 39) + "...\""), std::string::npos)
            << "cut between two characters";
    }
}
