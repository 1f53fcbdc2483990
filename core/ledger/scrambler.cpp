#include "core/ledger/scrambler.h"

namespace {

constexpr std::uint32_t CHAIN_MULTIPLIER = 28411;
constexpr std::uint32_t CHAIN_SUBTRAHEND = 17923;

// The chain is kept modulo 2^32: its low 16 bits, the only ones read, come out the same as with
// arithmetic modulo 2^16, and the loop-carried step is one multiply and one add.
std::uint32_t nextChain(std::uint32_t h, unsigned char scrambled) {
    return h * CHAIN_MULTIPLIER + (std::uint32_t{scrambled} * CHAIN_MULTIPLIER - CHAIN_SUBTRAHEND);
}

unsigned char chainMask(std::uint32_t h) { return static_cast<unsigned char>(h >> 4); }

// One scrambling pass: `in` holds n bytes, `out` receives 2n letters.
void scramblePass(const char* in, std::size_t n, char* out, std::uint32_t h) {
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(static_cast<unsigned char>(in[i]) ^ chainMask(h));
        out[2 * i] = static_cast<char>('A' + c / 26);
        out[2 * i + 1] = static_cast<char>('A' + c % 26);
        h = nextChain(h, c);
    }
}

// One unscrambling pass: `in` holds n letters, one every `Stride` bytes, and `out` receives n / 2
// bytes (a final odd letter is dropped). Byte k is read from letters 2k and 2k + 1, so `out` may be `in`.
template <std::size_t Stride = 1> void unscramblePass(const char* in, std::size_t n, char* out, std::uint32_t h) {
    for (std::size_t k = 0; k < n / 2; ++k) {
        const int x = static_cast<unsigned char>(in[2 * k * Stride]) - 'A';
        const int y = static_cast<unsigned char>(in[(2 * k + 1) * Stride]) - 'A';
        const auto c = static_cast<unsigned char>(x * 26 + y);
        out[k] = static_cast<char>(c ^ chainMask(h));
        h = nextChain(h, c);
    }
}

} // namespace

void scrambleText(std::string_view text, std::int32_t key, int passes, std::string& letters) {
    letters.clear();
    if (passes <= 0 || text.empty())
        return;
    // Two regions of one buffer take turns as input and output: the final letters fill the first
    // region (finalSize), every earlier pass fits in the second (finalSize / 2). The text starts
    // in whichever region makes the last pass end in the first.
    const auto h = static_cast<std::uint16_t>(key);
    const std::size_t finalSize = text.size() << passes;
    letters.resize(finalSize + finalSize / 2);
    char* regions[2] = {letters.data(), letters.data() + finalSize};
    int in = passes % 2;
    text.copy(regions[in], text.size());
    std::size_t size = text.size();
    for (int pass = 0; pass < passes; ++pass, in = 1 - in, size *= 2)
        scramblePass(regions[in], size, regions[1 - in], h);
    letters.resize(finalSize);
}

std::string scrambleText(std::string_view text, std::int32_t key, int passes) {
    std::string letters;
    scrambleText(text, key, passes, letters);
    return letters;
}

namespace {

// The passes after the first, in place.
void unscrambleRest(std::string& text, std::uint32_t h, int passes) {
    std::size_t size = text.size();
    for (int pass = 1; pass < passes && size > 0; ++pass) {
        unscramblePass(text.data(), size, text.data(), h);
        size /= 2;
    }
    text.resize(size);
}

} // namespace

std::string unscrambleText(std::string_view letters, std::int32_t key, int passes) {
    std::string text;
    if (passes <= 0 || letters.empty())
        return text;
    const auto h = static_cast<std::uint16_t>(key);
    text.resize(letters.size() / 2);
    unscramblePass(letters.data(), letters.size(), text.data(), h);
    unscrambleRest(text, h, passes);
    return text;
}

void unscrambleStoredLetters(const char* values, std::size_t count, std::int32_t key, int passes, std::string& text) {
    text.clear();
    if (passes <= 0 || count == 0)
        return;
    const auto h = static_cast<std::uint16_t>(key);
    text.resize(count / 2);
    unscramblePass<4>(values, count, text.data(), h);
    unscrambleRest(text, h, passes);
}
