#include "core/ledger/scrambler.h"

#include <gtest/gtest.h>

namespace {

struct KnownScramble {
    const char* name;
    std::string text;
    std::int32_t key;
    int passes;
    std::string letters;
};

// Worked out by hand from the chaining rule, independent of the code under test.
const KnownScramble KNOWN[] = {
    {"one_letter_one_pass", "A", 5213, 1, "AE"},
    {"header_key_zero_byte", "E", 5213, 1, "AA"},
    {"header_key_three_passes", "E", 5213, 3, "AEEMEZHU"},
    {"two_bytes_two_passes", "ab", 5213, 2, "AHCXAGAA"},
    {"gbk_list_entry", "\xb3\xd4", LIST_KEY, 2, "HHCDECBV"},
    {"negative_key", "12.50", -7, 1, "HYHNJKCEHT"},
};

class KnownScrambleTest : public testing::TestWithParam<KnownScramble> {};

TEST_P(KnownScrambleTest, MatchesAndReverses) {
    const KnownScramble& c = GetParam();
    EXPECT_EQ(scrambleText(c.text, c.key, c.passes), c.letters);
    EXPECT_EQ(unscrambleText(c.letters, c.key, c.passes), c.text);
}

INSTANTIATE_TEST_SUITE_P(Scrambler, KnownScrambleTest, testing::ValuesIn(KNOWN),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Scrambler, EveryByteRoundTripsForSeveralKeysAndPasses) {
    for (const std::int32_t key : {0, 1, HEADER_KEY, LIST_KEY, 65535, -1, 123456789}) {
        for (const int passes : {1, 2, 3}) {
            for (int value = 0; value < 256; ++value) {
                const std::string byte(1, static_cast<char>(value));
                const std::string letters = scrambleText(byte, key, passes);
                ASSERT_EQ(letters.size(), std::size_t{1} << passes);
                ASSERT_EQ(letters.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
                ASSERT_EQ(unscrambleText(letters, key, passes), byte) << "key " << key << " byte " << value;
            }
        }
    }
}

// Texts of every length across several blocks, read back from letters and from letters stored
// one per 32-bit value, with whatever follows them in memory and an odd letter more, by the
// machine's vector code and by the portable code.
TEST(Scrambler, TextsOfEveryLengthRoundTrip) {
    for (const bool wide : {true, false}) {
        const bool usedWide = useWideUnscrambler(wide);
        std::string text;
        for (std::size_t length = 0; length <= 140; ++length) {
            for (const std::int32_t key : {HEADER_KEY, -77}) {
                for (const int passes : {1, 2, 3}) {
                    const std::string letters = scrambleText(text, key, passes);
                    ASSERT_EQ(unscrambleText(letters, key, passes), text)
                        << length << " bytes, " << passes << " passes";
                    std::string stored(4 * letters.size() + 4 + UNSCRAMBLE_SLACK, '\xff');
                    for (std::size_t i = 0; i < letters.size(); ++i)
                        stored[4 * i] = letters[i];
                    stored[4 * letters.size()] = 'Q';
                    for (const std::size_t count : {letters.size(), letters.size() + 1}) {
                        std::string work = "left over";
                        ASSERT_EQ(unscrambleStoredLetters(stored.data(), count, key, passes, work), text)
                            << length << " bytes, " << passes << " passes, " << count << " letters, wide " << usedWide;
                    }
                }
            }
            text += static_cast<char>(length * 37 + 11);
        }
    }
    useWideUnscrambler(true);
}

TEST(Scrambler, OnlyTheLowSixteenBitsOfTheKeyCount) {
    const std::string text = "\xd4\xe7\xb7\xb9 breakfast 12.50";
    for (const std::int32_t key : {HEADER_KEY, LIST_KEY, 0, -5})
        EXPECT_EQ(scrambleText(text, key, 3), scrambleText(text, key + 65536, 3));
    EXPECT_NE(scrambleText(text, HEADER_KEY, 3), scrambleText(text, HEADER_KEY + 1, 3));
}

TEST(Scrambler, ZeroBytesSurvive) {
    const std::string text("E\0x\0", 4);
    const std::string letters = scrambleText(text, HEADER_KEY, 3);
    EXPECT_EQ(letters.size(), 32u);
    EXPECT_EQ(unscrambleText(letters, HEADER_KEY, 3), text);
}

TEST(Scrambler, OddLetterIsDroppedAndNoPassesGiveNothing) {
    EXPECT_EQ(unscrambleText("AEZ", 5213, 1), "A");
    EXPECT_EQ(scrambleText("abc", 5213, 0), "");
    EXPECT_EQ(unscrambleText("ABCD", 5213, -1), "");
    EXPECT_EQ(scrambleText("", 5213, 3), "");
}

TEST(Scrambler, ChangedLetterChangesTheRestOfThePass) {
    std::string letters = scrambleText("abcdef", 99, 1);
    letters[1] = letters[1] == 'A' ? 'B' : 'A';
    const std::string back = unscrambleText(letters, 99, 1);
    EXPECT_NE(back[0], 'a');
    EXPECT_NE(back.substr(1), "bcdef");
}

} // namespace
