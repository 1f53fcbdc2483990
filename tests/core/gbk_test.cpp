#include "core/ledger/gbk.h"

#include <gtest/gtest.h>

namespace {

TEST(Gbk, ShownTextsComeBackAsTypedWhatGbkCannotHold) {
    struct Case {
        const char* name;
        std::string typed;
    };
    const Case cases[] = {
        {"ascii", "Tea 12"},
        {"gbk", "早饭"},
        {"emoji", "早饭😀"},
        {"beyond_gbk", "𠀀ю€"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gbkToUtf8(shownGbk(c.typed)), c.typed) << c.name;
    // Where GBK holds a text, the shown form is its GBK, and the strict conversion still refuses
    // what it cannot hold.
    EXPECT_EQ(shownGbk("早饭"), utf8ToGbk("早饭"));
    EXPECT_EQ(utf8ToGbk("😀"), std::nullopt);
    EXPECT_EQ(gbkToUtf8(shownGbk("a\xff")), "a\xEF\xBF\xBD"); // not UTF-8 at all
    EXPECT_EQ(gbkToUtf8("\x81\x30"), "\xEF\xBF\xBD"
                                     "0"); // half a four-byte form is no character
}

} // namespace
