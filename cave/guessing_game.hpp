// Orvald's game: a secret number from 1 to 1000, 15 guesses, 20 seconds
// from the first guess. A right guess pays half the wager on top; a miss
// loses the wager.
#pragma once

#include <cstdint>

#include "cave/cave_state.hpp"

namespace cave {

inline constexpr int kGuessLimit = 15;
inline constexpr int32_t kGuessSeconds = 20;
inline constexpr int32_t kHighestNumber = 1000;

// Half the wager rounded to the nearest whole number, halves away from
// zero (3 gives 2, 5 gives 3).
int32_t prize_for(int32_t wager);

// Gold after a win: gold + prize, held at the largest value the record's
// field can keep rather than wrapping round to a negative amount.
int32_t gold_after_win(int32_t gold, int32_t prize);

// Seconds left before the deadline, the first guess at first_time and a
// guess at now (seconds since midnight, across one midnight too); negative
// once the deadline has passed.
int32_t seconds_left(int32_t first_time, int32_t now);

// Draws the number and plays until the caller wins or loses; changes the
// caller's gold and ends with a more prompt.
void PlayGame(CaveState& state);

}  // namespace cave
