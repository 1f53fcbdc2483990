#include "core/ledger/scrambler.h"

#include <algorithm>
#include <bit>
#include <cstring>

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

// Unscrambling, eight bytes of a pass at a time. The chain is linear: with d = c * MULTIPLIER -
// SUBTRAHEND for each scrambled value c, h[k + 1] = h[k] * MULTIPLIER + d[k], so the chain values
// of eight steps are the one before them times a power of the multiplier plus a prefix sum over
// their d, which three shift-multiply-add steps give. The mask reads bits 4 to 11, so 16-bit
// lanes carry all that matters. Eight steps are worked out side by side, and the only value
// carried from one block of eight to the next is the chain.
using Lanes = std::uint16_t __attribute__((vector_size(16)));
using Letters32 = std::uint32_t __attribute__((vector_size(16)));
using Bytes8 = std::uint8_t __attribute__((vector_size(8)));

constexpr std::uint16_t multiplierPower(int k) {
    std::uint32_t power = 1;
    for (int i = 0; i < k; ++i)
        power *= CHAIN_MULTIPLIER;
    return static_cast<std::uint16_t>(power);
}

// The scrambled values of eight steps, from sixteen letters one every `Stride` bytes.
template <std::size_t Stride> Lanes scrambledValues(const char* in) {
    Lanes x;
    Lanes y;
    if constexpr (Stride == 4) {
        // Letters stored one per 32-bit value: the low byte of every other value.
        Letters32 v[4];
        std::memcpy(v, in, sizeof v);
        const Letters32 even01 = __builtin_shufflevector(v[0], v[1], 0, 2, 4, 6);
        const Letters32 even23 = __builtin_shufflevector(v[2], v[3], 0, 2, 4, 6);
        const Letters32 odd01 = __builtin_shufflevector(v[0], v[1], 1, 3, 5, 7);
        const Letters32 odd23 = __builtin_shufflevector(v[2], v[3], 1, 3, 5, 7);
        x = __builtin_shufflevector(std::bit_cast<Lanes>(even01), std::bit_cast<Lanes>(even23), 0, 2, 4, 6, 8, 10, 12,
                                    14);
        y = __builtin_shufflevector(std::bit_cast<Lanes>(odd01), std::bit_cast<Lanes>(odd23), 0, 2, 4, 6, 8, 10, 12,
                                    14);
        y &= 0xFF;
    } else {
        static_assert(Stride == 1);
        // Two loads of the eight bytes each that the pass before stored: one load over both
        // stores would wait until they are written through instead of taking their values.
        using Halves = std::uint64_t __attribute__((vector_size(16)));
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        std::memcpy(&low, in, 8);
        std::memcpy(&high, in + 8, 8);
        asm("" : "+r"(high)); // keeps the compiler from making the two loads one
        x = std::bit_cast<Lanes>(Halves{low, high});
        y = x >> 8;
    }
    x &= 0xFF;
    constexpr auto LETTER_BIAS = static_cast<std::uint16_t>('A' * 26 + 'A');
    return (x * std::uint16_t{26} + y - LETTER_BIAS) & 0xFF;
}

// One unscrambling pass: `in` holds n letters, one every `Stride` bytes, and `out` receives n / 2
// bytes (a final odd letter is dropped). Byte k is read from letters 2k and 2k + 1, and a block
// reads all its letters before it writes, so `out` may be `in`. Works in whole blocks: it reads
// up to UNSCRAMBLE_SLACK bytes past the letters and writes up to 8 bytes past the output, and
// the bytes it writes there mean nothing.
template <std::size_t Stride> void unscramblePass(const char* in, std::size_t n, char* out, std::uint32_t h) {
    constexpr Lanes POWERS = {multiplierPower(0), multiplierPower(1), multiplierPower(2), multiplierPower(3),
                              multiplierPower(4), multiplierPower(5), multiplierPower(6), multiplierPower(7)};
    constexpr Lanes ZERO = {};
    auto chain = static_cast<std::uint16_t>(h);
    for (std::size_t k = 0; k < n / 2; k += 8) {
        const Lanes c = scrambledValues<Stride>(in + 2 * k * Stride);
        const Lanes d = c * static_cast<std::uint16_t>(CHAIN_MULTIPLIER) - static_cast<std::uint16_t>(CHAIN_SUBTRAHEND);
        // sum[i] = the sum over j < i of d[j] * MULTIPLIER^(i - 1 - j)
        Lanes sum = __builtin_shufflevector(ZERO, d, 0, 8, 9, 10, 11, 12, 13, 14);
        sum += __builtin_shufflevector(ZERO, sum, 0, 8, 9, 10, 11, 12, 13, 14) * multiplierPower(1);
        sum += __builtin_shufflevector(ZERO, sum, 0, 1, 8, 9, 10, 11, 12, 13) * multiplierPower(2);
        sum += __builtin_shufflevector(ZERO, sum, 0, 1, 2, 3, 8, 9, 10, 11) * multiplierPower(4);
        const Lanes chains = POWERS * chain + sum;
        const Bytes8 bytes = __builtin_convertvector((c ^ (chains >> 4)) & 0xFF, Bytes8);
        std::memcpy(out + k, &bytes, sizeof bytes);
        chain = static_cast<std::uint16_t>(std::uint32_t{chain} * multiplierPower(8) +
                                           std::uint32_t{sum[7]} * multiplierPower(1) + d[7]);
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

// The passes after the first, in place in `text`, which holds the first pass's `size` bytes and
// room for the blocks past them; returns the size of the text.
std::size_t unscrambleRest(char* text, std::size_t size, std::uint32_t h, int passes) {
    for (int pass = 1; pass < passes && size > 0; ++pass) {
        unscramblePass<1>(text, size, text, h);
        size /= 2;
    }
    return size;
}

} // namespace

std::string unscrambleText(std::string_view letters, std::int32_t key, int passes) {
    std::string text;
    if (passes <= 0 || letters.empty())
        return text;
    // The letters are copied first, so the passes have the room past them that they read.
    text.resize(letters.size() + UNSCRAMBLE_SLACK);
    letters.copy(text.data(), letters.size());
    const auto h = static_cast<std::uint16_t>(key);
    unscramblePass<1>(text.data(), letters.size(), text.data(), h);
    text.resize(unscrambleRest(text.data(), letters.size() / 2, h, passes));
    return text;
}

std::string_view unscrambleStoredLetters(const char* values, std::size_t count, std::int32_t key, int passes,
                                         std::string& work) {
    if (passes <= 0 || count == 0)
        return {};
    const std::size_t needed = count / 2 + UNSCRAMBLE_SLACK;
    if (work.size() < needed)
        work.resize(std::max(needed, 2 * work.size()));
    const auto h = static_cast<std::uint16_t>(key);
    unscramblePass<4>(values, count, work.data(), h);
    return {work.data(), unscrambleRest(work.data(), count / 2, h, passes)};
}
