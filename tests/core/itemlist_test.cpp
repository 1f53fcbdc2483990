#include "core/ledger/itemlist.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace {

TEST(ItemList, TakeLineSplitsAsTheListFilesExpect) {
    struct Case {
        const char* name;
        std::string text;
        ItemList lines;
    };
    const Case cases[] = {
        {"crlf_with_empty_line", "a\r\n\r\nc\r\n", {"a", "", "c"}},
        {"no_final_break", "a\r\nb", {"a", "b"}},
        {"lf_only", "a\nb", {"a", "b"}},
        {"lf_before_crlf_joins", "a\nb\r\nc", {"a\nb", "c"}},
        {"lone_cr_stays", "a\rb", {"a\rb"}},
        {"only_breaks", "\r\n\r\n", {"", ""}},
        {"empty", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitLines(c.text), c.lines) << c.name;
}

TEST(ItemList, FileFormatRoundTripsAndKeepsItsSize) {
    const ItemList list = {"\xd4\xe7\xb7\xb9", "", " spaced ", "\xd4\xe7\xb7\xb9"};
    const std::string bytes = serializeItemList(list);
    EXPECT_EQ(bytes.size(), 4 + (4 + 16 * 4) + 4 + (4 + 16 * 8) + (4 + 16 * 4));
    const ParsedItemList parsed = parseItemList(bytes);
    EXPECT_EQ(parsed.entries, list);
    EXPECT_FALSE(parsed.damaged);
}

TEST(ItemList, DamagedFilesAreToldAndYieldTheEntriesReadSoFar) {
    const std::string bytes = serializeItemList({"one", "two", "three"});
    const std::size_t afterTwo = 4 + 2 * (4 + 16 * 3);
    std::string notALetter = bytes;
    notALetter[4 + 4] = '@';
    struct Case {
        const char* name;
        std::string bytes;
        ItemList entries;
        bool damaged;
    };
    const Case cases[] = {
        {"zero_bytes_are_an_empty_list", "", {}, false},
        {"empty_list", serializeItemList({}), {}, false},
        {"cut_in_the_count", bytes.substr(0, 3), {}, true},
        {"cut_in_the_third_entry", bytes.substr(0, afterTwo + 5), {"one", "two"}, true},
        {"count_beyond_the_bytes", std::string("\xff\xff\xff\x7f", 4) + bytes.substr(4), {}, true},
        {"length_beyond_the_bytes", bytes.substr(0, 4) + std::string("\xff\xff\xff\x7f", 4), {}, true},
        {"negative_count", std::string("\xff\xff\xff\xff", 4), {}, true},
        {"value_that_is_no_letter", notALetter, {}, true},
        {"bytes_after_the_last_entry", bytes + "x", {"one", "two", "three"}, true},
    };
    for (const Case& c : cases) {
        const ParsedItemList parsed = parseItemList(c.bytes);
        EXPECT_EQ(parsed.entries, c.entries) << c.name;
        EXPECT_EQ(parsed.damaged, c.damaged) << c.name;
    }
}

class ItemListFiles : public testing::Test {
protected:
    void SetUp() override {
        ledger.programDir = program.path();
        ledger.dataDir = data.path();
        ledger.userName = "\xd5\xc5\xc8\xfd"; // 张三
        program.write("OutDefs.txt", "a\r\n\r\nc\r\n");
        program.write("InDefs.txt", "salary\nbonus");
    }
    TempDir program;
    TempDir data;
    Ledger ledger;
};

TEST_F(ItemListFiles, SeedingCopiesTheDefaultsOnceAndNeverAgain) {
    seedItemLists(ledger);
    EXPECT_EQ(loadItemList(ledger, ItemListKind::ExpenseItems), (ItemList{"a", "", "c"}));
    EXPECT_EQ(loadItemList(ledger, ItemListKind::IncomeItems), (ItemList{"salary", "bonus"}));
    // No default file: an empty per-user file, which reads as an empty list.
    EXPECT_TRUE(data.exists("张三.dio"));
    EXPECT_EQ(data.read("张三.dio"), "");
    EXPECT_EQ(loadItemList(ledger, ItemListKind::Counterparts), ItemList{});

    program.write("OutDefs.txt", "changed\r\n");
    seedItemLists(ledger);
    EXPECT_EQ(loadItemList(ledger, ItemListKind::ExpenseItems), (ItemList{"a", "", "c"}));
}

TEST_F(ItemListFiles, WithoutAUserFileTheDefaultsShow) {
    EXPECT_EQ(loadItemList(ledger, ItemListKind::IncomeItems), (ItemList{"salary", "bonus"}));
    EXPECT_EQ(loadItemList(ledger, ItemListKind::Counterparts), ItemList{});
}

TEST_F(ItemListFiles, AnEmptySavedListDoesNotFallBackToTheDefaults) {
    ASSERT_TRUE(saveItemList(ledger, ItemListKind::IncomeItems, {}));
    EXPECT_EQ(data.read("张三.lii").size(), 4u);
    EXPECT_EQ(loadItemList(ledger, ItemListKind::IncomeItems), ItemList{});
}

} // namespace
