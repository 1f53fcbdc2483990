#include "core/ledger/scrambler.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <type_traits>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define HAVE_WIDE_UNSCRAMBLER 1
#endif

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

// A pair of letters x, y stands for the value (x - 'A') * 26 + (y - 'A').
constexpr auto LETTER_BIAS = static_cast<std::uint16_t>('A' * 26 + 'A');
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

#ifdef HAVE_WIDE_UNSCRAMBLER

// The same in 512-bit vectors, on machines that have them: 32 steps to a block, and the three
// passes of a stored text worked out together, block by block, in registers. A block of the
// next pass is worked out as soon as the two blocks of the pass before it, which it reads, are
// there. Masked loads read no further than the letters.
#define WIDE_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))
// GCC's own intrinsics start some vectors as undefined on purpose, and it warns of them.
#pragma GCC diagnostic push
#ifndef __clang__
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

struct alignas(64) WideConstant {
    std::uint16_t lanes[32];
};

constexpr WideConstant WIDE_POWERS = [] {
    WideConstant powers{};
    for (int i = 0; i < 32; ++i)
        powers.lanes[i] = multiplierPower(i);
    return powers;
}();

// Lane i takes lane i - 1, lane 0 takes 0.
WIDE_TARGET inline __m512i laneUp(__m512i x) {
    const __m512i from = _mm512_set_epi16(30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12,
                                          11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0);
    return _mm512_maskz_permutexvar_epi16(0xFFFFFFFEu, from, x);
}

WIDE_TARGET inline __m512i lanes16(std::uint32_t value) { return _mm512_set1_epi16(static_cast<short>(value)); }

// sum + movedUp * MULTIPLIER^LANES, where movedUp is sum moved up that many lanes.
template <int LANES> WIDE_TARGET inline __m512i addMovedUp(__m512i sum, __m512i movedUp) {
    return _mm512_add_epi16(sum, _mm512_mullo_epi16(movedUp, lanes16(multiplierPower(LANES))));
}

// One block of `steps` (at most 32) steps from the letters in `letters`, two bytes to a step;
// returns the 32 bytes it unscrambles, of which the first `steps` mean something. `chain` holds
// the chain before the block in every lane, and the chain after it when `more` blocks follow.
WIDE_TARGET inline __m256i wideBlock(__m512i letters, std::size_t steps, __m512i& chain, bool more) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i multiplier = lanes16(CHAIN_MULTIPLIER);
    const __m512i pairWeights = lanes16(0x011A); // x * 26 + y
    const __m512i scrambled = _mm512_and_si512(
        _mm512_sub_epi16(_mm512_maddubs_epi16(letters, pairWeights), lanes16(LETTER_BIAS)), lanes16(0xFF));
    const __m512i d = _mm512_sub_epi16(_mm512_mullo_epi16(scrambled, multiplier), lanes16(CHAIN_SUBTRAHEND));
    // sum[i] = the sum over j < i of d[j] * MULTIPLIER^(i - 1 - j), in as many doublings as the
    // block's steps need.
    __m512i sum = laneUp(d);
    if (steps > 2)
        sum = addMovedUp<1>(sum, laneUp(sum));
    if (steps > 3)
        sum = addMovedUp<2>(sum, _mm512_alignr_epi32(sum, zero, 15));
    if (steps > 5)
        sum = addMovedUp<4>(sum, _mm512_alignr_epi64(sum, zero, 7));
    if (steps > 9)
        sum = addMovedUp<8>(sum, _mm512_alignr_epi64(sum, zero, 6));
    if (steps > 17)
        sum = addMovedUp<16>(sum, _mm512_alignr_epi64(sum, zero, 4));
    const __m512i chains = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_load_si512(WIDE_POWERS.lanes), chain), sum);
    if (more)
        chain = _mm512_permutexvar_epi16(lanes16(31), _mm512_add_epi16(_mm512_mullo_epi16(chains, multiplier), d));
    return _mm512_cvtepi16_epi8(_mm512_xor_si512(scrambled, _mm512_srli_epi16(chains, 4)));
}

constexpr struct alignas(64) {
    std::uint8_t bytes[64];
} WIDE_LOW_BYTES = [] {
    std::remove_const_t<decltype(WIDE_LOW_BYTES)> from{};
    for (int i = 0; i < 64; ++i)
        from.bytes[i] = static_cast<std::uint8_t>((4 * i) % 128); // of two 64-byte vectors
    return from;
}();

// Sixteen values from `values`, of which the first `wanted` are read; the rest are 0.
WIDE_TARGET inline __m512i wideValues(const char* values, std::size_t wanted) {
    return _mm512_maskz_loadu_epi32(static_cast<__mmask16>((1u << wanted) - 1), values);
}

// The low bytes of `count` (at most 64) values at `values`, one byte each; nothing past them is read.
WIDE_TARGET inline __m512i wideStoredLetters(const char* values, std::size_t count) {
    const auto wanted = [count](std::size_t first) {
        return count > first ? std::min<std::size_t>(count - first, 16) : 0;
    };
    const __m512i from = _mm512_load_si512(WIDE_LOW_BYTES.bytes);
    const __m512i low =
        _mm512_permutex2var_epi8(wideValues(values, wanted(0)), from, wideValues(values + 64, wanted(16)));
    if (count <= 32)
        return low;
    const __m512i high =
        _mm512_permutex2var_epi8(wideValues(values + 128, wanted(32)), from, wideValues(values + 192, wanted(48)));
    return _mm512_inserti64x4(low, _mm512_castsi512_si256(high), 1);
}

WIDE_TARGET inline __m512i joined(__m256i low, __m256i high) {
    return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
}

// The passes after the first of a stored text, fed one block of the pass before at a time.
struct WideLaterPasses {
    static constexpr int LATER = 2;
    std::size_t steps[LATER];
    __m512i chains[LATER];
    __m256i held[LATER]; // the first of the two blocks of the pass before that make one block
    char* out;

    // Block `block` of the pass before pass `PASS` (1 for the second pass); `more` when blocks
    // follow it.
    template <int PASS> WIDE_TARGET void feed(std::size_t block, __m256i bytes, bool more) {
        if constexpr (PASS > LATER) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * block), bytes);
        } else {
            if (block % 2 == 0 && more) {
                held[PASS - 1] = bytes;
                return;
            }
            const std::size_t next = block / 2;
            const std::size_t passSteps = steps[PASS - 1];
            if (32 * next >= passSteps)
                return;
            const bool moreNext = 32 * (next + 1) < passSteps;
            const __m512i letters = block % 2 == 0 ? _mm512_castsi256_si512(bytes) : joined(held[PASS - 1], bytes);
            feed<PASS + 1>(
                next, wideBlock(letters, std::min<std::size_t>(passSteps - 32 * next, 32), chains[PASS - 1], moreNext),
                moreNext);
        }
    }
};

// Three passes over `count` stored letters into `out`, which has room for the text rounded up
// to a block; returns the size of the text.
WIDE_TARGET std::size_t wideUnscrambleThreePasses(const char* values, std::size_t count, std::uint16_t h, char* out) {
    const std::size_t steps = count / 2;
    __m512i chain = lanes16(h);
    WideLaterPasses later{{steps / 2, steps / 4}, {chain, chain}, {}, out};
    const std::size_t blocks = (steps + 31) / 32;
    for (std::size_t b = 0; b < blocks; ++b) {
        const bool more = b + 1 < blocks;
        const __m512i letters = wideStoredLetters(values + 256 * b, std::min<std::size_t>(count - 64 * b, 64));
        later.feed<1>(b, wideBlock(letters, std::min<std::size_t>(steps - 32 * b, 32), chain, more), more);
    }
    return steps / 4;
}

#pragma GCC diagnostic pop

bool machineHasWideVectors() {
    __builtin_cpu_init(); // asked while statics are made, perhaps before the runtime asked itself
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi");
}

std::atomic<bool> g_wide{machineHasWideVectors()};

#else

std::atomic<bool> g_wide{false};

#endif

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

bool useWideUnscrambler(bool use) {
#ifdef HAVE_WIDE_UNSCRAMBLER
    g_wide.store(use && machineHasWideVectors(), std::memory_order_relaxed);
#else
    (void)use;
#endif
    return g_wide.load(std::memory_order_relaxed);
}

std::string_view unscrambleStoredLetters(const char* values, std::size_t count, std::int32_t key, int passes,
                                         std::string& work) {
    if (passes <= 0 || count == 0)
        return {};
    const std::size_t needed = count / 2 + UNSCRAMBLE_SLACK;
    if (work.size() < needed)
        work.resize(std::max(needed, 2 * work.size()));
    const auto h = static_cast<std::uint16_t>(key);
#ifdef HAVE_WIDE_UNSCRAMBLER
    if (passes == 3 && g_wide.load(std::memory_order_relaxed))
        return {work.data(), wideUnscrambleThreePasses(values, count, h, work.data())};
#endif
    unscramblePass<4>(values, count, work.data(), h);
    return {work.data(), unscrambleRest(work.data(), count / 2, h, passes)};
}
