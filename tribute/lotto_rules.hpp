// The rules of the code machine, free of screens and files: the caller's
// code, how two codes match, what a game pays, and the day numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runelot {

// A code is accepted only with exactly this many characters.
inline constexpr size_t kCodeLength = 4;
// The highest jackpot: what level 12 pays, and the cap for levels above 13.
inline constexpr int64_t kJackpotCap = 2'000'000'000;

enum class CodeCheck { accepted, empty, too_short, too_long, not_a_number };

// What the caller typed as a code: four characters that form a whole number
// (blanks before it, a sign, decimal digits or "$" and hex digits).
CodeCheck CheckCode(std::string_view code);

// Digits shared by the two codes, position not mattering: each machine
// digit takes the first unused equal character of the caller's code, so a
// digit counts at most as often as it occurs in both. Only digits match.
int CountMatches(std::string_view player_code, std::string_view machine_code);

// The fee of a level: level x 10.
int32_t FeeFor(int16_t level);

// The jackpot of a level: B x 10^(level div 2 + 2), B being 10 for odd
// levels, 30 for even ones and 20 for level 12; computed in 64 bits and
// capped at kJackpotCap.
int64_t Jackpot(int16_t level);

// The prize for 0..4 matches: the jackpot divided by 10^(4 - matches);
// nothing for no match.
int32_t PrizeFor(int16_t level, int matches);

// Gold after winning: the prize is added only when the sum stays in
// 1 .. 2,147,483,647; otherwise gold stays as it is.
int32_t GoldAfterPrize(int32_t gold, int32_t prize);

// Gold after paying the fee, kept within the 32-bit range (a level below 1
// in a damaged record gives a fee of 0 or less).
int32_t GoldAfterFee(int32_t gold, int32_t fee);

// A stored or host day number as a 16-bit signed value: blanks around it
// are ignored and an empty text reads as 0; a text that is not a whole
// number is run-time error 106, a number outside -32768..32767 run-time
// error 201 (range check).
int16_t ParseDay(std::string_view text);
// A day number already read as a 32-bit value: run-time error 201 when it
// is outside the 16-bit range.
int16_t DayInRange(int32_t day);

}  // namespace runelot
