#include "core/ledger/decimal.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

} // namespace

double parseDecimal(std::string_view text) {
    // The usual text, a plain decimal like "12.50", is read without the C library: the same
    // correctly rounded value, several times faster. Anything else (white space, a sign, an
    // exponent, hexadecimal, inf) goes to strtod.
    const char* const end = text.data() + text.size();
    const bool plainStart = !text.empty() && ((text[0] >= '0' && text[0] <= '9') ||
                                              (text[0] == '-' && text.size() > 1 && text[1] >= '0' && text[1] <= '9'));
    if (plainStart) {
        double value = 0;
        const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
        const bool exponentOrHex = stop != end && std::string_view("eExXpP").find(*stop) != std::string_view::npos;
        if (error == std::errc{} && !exponentOrHex)
            return value;
    }
    // strtod needs a terminated string; short texts stay on the stack.
    std::array<char, 64> small{};
    std::string large;
    const char* begin = nullptr;
    if (text.size() < small.size()) {
        text.copy(small.data(), text.size());
        begin = small.data();
    } else {
        large.assign(text);
        begin = large.c_str();
    }
    const double value = strtod_l(begin, nullptr, cLocale());
    // "nan", "inf" and numbers beyond the largest double count as no number at all.
    return std::isfinite(value) ? value : 0.0;
}

std::string formatDecimal(double value) {
    if (std::isnan(value))
        return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    // The largest double has 309 integer digits.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    return std::string(buffer.data(), result.ptr);
}

namespace {

// Already written as "%.2f" would write it: an optional minus, an integer part without leading
// zeros, a point and two digits. With at most 13 integer digits the text has at most 15
// significant digits, which a double reproduces exactly, so writing it again gives it back.
bool isNormalized(std::string_view text) {
    std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t integerStart = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    const std::size_t integerDigits = at - integerStart;
    if (integerDigits == 0 || integerDigits > 13 || (integerDigits > 1 && text[integerStart] == '0'))
        return false;
    return text.size() == at + 3 && text[at] == '.' && text[at + 1] >= '0' && text[at + 1] <= '9' &&
           text[at + 2] >= '0' && text[at + 2] <= '9';
}

} // namespace

std::string normalizeDecimal(std::string_view text) {
    // Stored numbers are nearly always written this way already; they need no reading and writing.
    if (isNormalized(text))
        return std::string(text);
    return formatDecimal(parseDecimal(text));
}
