#include "core/ledger/gbk.h"

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

Converter& toGbk() {
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

Converter& fromGbk() {
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

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
    if (!toGbk().convert(utf8, out, [](std::string_view, std::string&) { return std::size_t{0}; }))
        return std::nullopt;
    return out;
}

std::string gbkToUtf8(std::string_view gbk) {
    if (isAscii(gbk))
        return std::string(gbk);
    std::string out;
    fromGbk().convert(gbk, out, [](std::string_view, std::string& o) {
        o += "\xEF\xBF\xBD";
        return std::size_t{1};
    });
    return out;
}

std::string gbkToFileName(std::string_view gbk) {
    if (isAscii(gbk))
        return std::string(gbk);
    std::string out;
    fromGbk().convert(gbk, out, [](std::string_view rest, std::string& o) {
        o += rest.front();
        return std::size_t{1};
    });
    return out;
}

std::string gbkText(std::string_view utf8) { return utf8ToGbk(utf8).value_or(std::string(utf8)); }
