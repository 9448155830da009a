#include "platform/inifile.h"

#include <gtest/gtest.h>

namespace {
std::string saved(const std::string& before, const std::string& section, const std::string& key,
                  const std::string& value) {
    const ini::Edit edit = ini::withValue(before, section, key, value);
    std::string after;
    for (const std::string_view piece : edit.pieces(before))
        after += piece;
    return after;
}
} // namespace

TEST(IniText, SaveChangesOnlyTheLineOfItsKey) {
    struct Row {
        const char* what;
        std::string before, section, key, value, after;
    };
    const std::vector<Row> rows = {
        {"into an empty file", "", "Settings", "birth", "x", "[Settings]\nbirth=x\n"},
        {"comments and keys above every section stay",
         "; mine\n# also mine\nloose=1\n[Settings]\n  Birth = old \n; end\n", "Settings", "birth",
         "new", "; mine\n# also mine\nloose=1\n[Settings]\nbirth=new\n; end\n"},
        {"a new key follows the section's last key",
         "[Settings]\nname=Pim\n\n; other things\n[Other]\na=1\n", "settings", "sound", "1",
         "[Settings]\nname=Pim\nsound=1\n\n; other things\n[Other]\na=1\n"},
        {"a new key in a section with no keys follows its heading", "[Settings]\n[Other]\n",
         "Settings", "ontop", "0", "[Settings]\nontop=0\n[Other]\n"},
        {"a new section comes last, after a blank line", "# hand made\n[Other]\na=1", "Settings",
         "name", "Pim", "# hand made\n[Other]\na=1\n\n[Settings]\nname=Pim\n"},
        {"a heading on the last line without an end", "[Settings]", "Settings", "sound", "0",
         "[Settings]\nsound=0\n"},
        {"lines end as the file's do", "\xEF\xBB\xBF[Settings]\r\nname=a\r\n", "Settings", "sound",
         "1", "\xEF\xBB\xBF[Settings]\r\nname=a\r\nsound=1\r\n"},
        {"a key held twice is written once, where it first stands",
         "[Settings]\nsound=1\nname=a\n[Settings]\nSOUND=0\n", "Settings", "sound", "1",
         "[Settings]\nsound=1\nname=a\n[Settings]\n"},
        {"the value is escaped, the rest kept byte for byte", "[S]\nk=\\n\nweird line\n", "S", "k",
         "a\nb", "[S]\nk=a\\nb\nweird line\n"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(saved(r.before, r.section, r.key, r.value), r.after) << r.what;
}

TEST(IniText, ReadingFindsTheLastValueOfTheKeyInItsSection) {
    const std::string text = "top=0\n; birth=no\n[Settings]\nbirth=1\n[Other]\nbirth=2\n"
                             "[ settings ]\nBIRTH = 3\n#birth=4\n";
    EXPECT_EQ(ini::find(text, "Settings", "birth"), " 3");
    EXPECT_EQ(ini::find(text, "Other", "birth"), "2");
    EXPECT_EQ(ini::find(text, "Settings", "top"), std::nullopt) << "keys above every section";
    EXPECT_EQ(ini::find("", "Settings", "birth"), std::nullopt);
}
