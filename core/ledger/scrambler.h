#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The keyed letter scrambler used for every text the program stores in its own files.
// Each byte becomes two capital letters per pass; only the low 16 bits of the key matter.

inline constexpr std::int32_t HEADER_KEY = 5213; // user name and password in a record file header
inline constexpr std::int32_t LIST_KEY = 8163;   // entries of the quick-input list files

// How far past its letters an unscrambling pass may read: it works in whole blocks of eight bytes.
inline constexpr std::size_t UNSCRAMBLE_SLACK = 64;

std::string scrambleText(std::string_view text, std::int32_t key, int passes);
// The same into `letters`, reusing its storage: for writers that scramble many texts in a row.
void scrambleText(std::string_view text, std::int32_t key, int passes, std::string& letters);
std::string unscrambleText(std::string_view letters, std::int32_t key, int passes);
// The same for letters stored one per 32-bit little-endian value (the low byte holds the letter),
// as the record file keeps them: `count` letters starting at `values`. Unscrambles in `work`,
// which only ever grows, and returns the text, which lies in it. Reads up to UNSCRAMBLE_SLACK
// bytes past the last value, which must be there to be read; what they hold does not matter.
std::string_view unscrambleStoredLetters(const char* values, std::size_t count, std::int32_t key, int passes,
                                         std::string& work);

// Stored letters are unscrambled with the machine's 512-bit vector instructions where it has
// them. Turning that off (and on again) lets the portable code be checked on the same machine;
// returns whether they are used now. Not to be switched while texts are being read.
bool useWideUnscrambler(bool use);
