#include "core/ledger/gbk.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; a sequence the source charset rejects is handed to `onInvalid`, which
    // appends its replacement and returns how many input bytes it consumed. Returns false when
    // `onInvalid` is empty and an invalid sequence was met.
    template <typename OnInvalid> bool convert(std::string_view in, std::string& out, OnInvalid onInvalid) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
                continue;
            const std::size_t used = onInvalid(std::string_view(src, srcLeft), out);
            if (used == 0)
                return false;
            src += used;
            srcLeft -= used;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }

private:
    iconv_t m_cd;
};

// The conversions the program makes, one converter each per thread.
enum Conversion { TO_GBK, FROM_GBK, TO_GB18030, FROM_GB18030 };

Converter& converter(Conversion conversion) {
    thread_local Converter converters[] = {
        {"GBK", "UTF-8"}, {"UTF-8", "GBK"}, {"GB18030", "UTF-8"}, {"UTF-8", "GB18030"}};
    return converters[conversion];
}

// A GB18030 four-byte sequence: lead 0x81-0xFE, digit, lead, digit. Its second byte is no GBK
// trail byte, so it never occurs in a GBK text.
bool isFourByteSequence(std::string_view rest) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
    return rest.size() >= 4 && at(0) >= 0x81 && at(0) <= 0xFE && at(1) >= 0x30 && at(1) <= 0x39 && at(2) >= 0x81 &&
           at(2) <= 0xFE && at(3) >= 0x30 && at(3) <= 0x39;
}

// The length of the UTF-8 sequence starting `rest`, 1 for a byte that starts none.
std::size_t utf8Length(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest.front());
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, rest.size());
}

// For a conversion that must not replace anything.
std::size_t refuse(std::string_view, std::string&) { return 0; }

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
    if (isAscii(utf8))
        return std::string(utf8);
    std::string out;
    if (!converter(TO_GBK).convert(utf8, out, refuse))
        return std::nullopt;
    return out;
}

std::string gbkToUtf8(std::string_view gbk) {
    if (isAscii(gbk))
        return std::string(gbk);
    std::string out;
    converter(FROM_GBK).convert(gbk, out, [](std::string_view rest, std::string& o) {
        std::string character;
        if (isFourByteSequence(rest) && converter(FROM_GB18030).convert(rest.substr(0, 4), character, refuse)) {
            o += character;
            return std::size_t{4};
        }
        o += "\xEF\xBF\xBD";
        return std::size_t{1};
    });
    return out;
}

std::string shownGbk(std::string_view utf8) {
    if (isAscii(utf8))
        return std::string(utf8);
    std::string out;
    converter(TO_GBK).convert(utf8, out, [](std::string_view rest, std::string& o) {
        const std::size_t length = utf8Length(rest);
        std::string character;
        if (converter(TO_GB18030).convert(rest.substr(0, length), character, refuse))
            o += character;
        else
            o += "\x84\x31\xA4\x37"; // U+FFFD
        return length;
    });
    return out;
}

std::string gbkToFileName(std::string_view gbk) {
    if (isAscii(gbk))
        return std::string(gbk);
    std::string out;
    converter(FROM_GBK).convert(gbk, out, [](std::string_view rest, std::string& o) {
        o += rest.front();
        return std::size_t{1};
    });
    return out;
}

std::string gbkText(std::string_view utf8) { return utf8ToGbk(utf8).value_or(std::string(utf8)); }
