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
    return strtod_l(begin, nullptr, cLocale());
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

std::string normalizeDecimal(std::string_view text) { return formatDecimal(parseDecimal(text)); }
