#include "core/ledger/decimal.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <random>

#include "tests/support/tempdir.h"

namespace {

struct DecimalCase {
    const char* text;
    const char* normalised;
};

TEST(Decimal, ReadsLikeStrtodAndWritesTwoDecimals) {
    const DecimalCase cases[] = {
        {"12.5", "12.50"},   {"", "0.00"},     {"abc", "0.00"},     {"  7", "7.00"},
        {"-3.456", "-3.46"}, {"+2", "2.00"},   {"1e3", "1000.00"},  {"12.5kg", "12.50"},
        {"0x10", "16.00"},   {".5", "0.50"},   {"1,5", "1.00"},     {"2.675", "2.67"},
        {"-0", "-0.00"},     {"inf", "0.00"},  {"1e400", "0.00"},   {"12345.678", "12345.68"},
        {"nan", "0.00"},     {"-inf", "0.00"}, {"1e999kg", "0.00"}, // no number that is not finite
    };
    for (const DecimalCase& c : cases)
        EXPECT_EQ(normalizeDecimal(c.text), c.normalised) << '"' << c.text << '"';
}

// A locale whose decimal separator is a comma, compiled for the test when the system has none.
bool useDecimalCommaLocale(const TempDir& dir) {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        return true;
    const std::string command = "localedef -i de_DE -f UTF-8 " + dir.path() + "de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return false;
    ::setenv("LOCPATH", dir.path().c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST(Decimal, IgnoresTheProcessLocale) {
    // The windows run with the user's locale; a decimal comma must not leak into stored numbers.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    TempDir locales;
    if (!useDecimalCommaLocale(locales))
        GTEST_SKIP() << "no locale with a decimal comma could be made";
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5); // the locale is really in effect
    EXPECT_EQ(parseDecimal("1.5"), 1.5);
    EXPECT_EQ(formatDecimal(1.5), "1.50");
    std::setlocale(LC_NUMERIC, saved.c_str());
    ::unsetenv("LOCPATH");
}

TEST(Decimal, LongTextsAndHugeNumbers) {
    EXPECT_EQ(parseDecimal(std::string(100, '1')), 1.1111111111111111e99);
    EXPECT_EQ(formatDecimal(1.7976931348623157e308).size(), 312u);
}

} // namespace

namespace {

// Plain decimals take a faster road than strtod; every text must still read exactly as strtod
// reads it, except that what is not finite reads as 0.
TEST(Decimal, ReadsEveryTextAsStrtodDoes) {
    const char alphabet[] = "0123456789.-+eExX ,ak";
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const std::size_t length = random() % 14;
        for (std::size_t i = 0; i < length; ++i)
            text += round % 3 == 0 ? alphabet[random() % (sizeof alphabet - 1)] : alphabet[random() % 12];
        const double byStrtod = std::strtod(text.c_str(), nullptr);
        const double expected = std::isfinite(byStrtod) ? byStrtod : 0.0;
        const double read = parseDecimal(text);
        ASSERT_EQ(read, expected) << '"' << text << '"';
        ASSERT_EQ(std::signbit(read), std::signbit(expected)) << '"' << text << '"';
        ASSERT_EQ(normalizeDecimal(text), formatDecimal(expected)) << '"' << text << '"';
    }
    // Texts already written with two decimals, up to the longest integer parts.
    for (int round = 0; round < 20000; ++round) {
        std::string text = round % 2 ? "-" : "";
        const std::size_t digits = 1 + random() % 16;
        for (std::size_t i = 0; i < digits; ++i)
            text += static_cast<char>('0' + (i == 0 && digits > 1 ? 1 + random() % 9 : random() % 10));
        text += "." + std::to_string(random() % 10) + std::to_string(random() % 10);
        ASSERT_EQ(normalizeDecimal(text), formatDecimal(std::strtod(text.c_str(), nullptr))) << text;
    }
}

} // namespace
