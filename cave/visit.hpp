// The caller's visit up to the game: the closed cave for a caller who
// played today, the walk in, Orvald's offer and the wager.
#pragma once

#include "cave/cave_state.hpp"

namespace cave {

// The screen for a caller whose played flag is set; waits for a key.
void ShowDarkerCave();

// The walk to the cave, Orvald's rules and the question whether to play.
// True when the caller agreed to play; false when he turned back, had no
// gold or declined (the day is not used up then; the screen has ended with
// a more prompt).
bool EnterCave(const CaveState& state);

// Uses up the caller's day, then asks for the wager until it is a whole
// number from 1 to the caller's gold, and stores it in state.wager.
void AskWager(CaveState& state);

// Parses a wager answer: a whole number from 1 to gold, or 0 when the answer
// must be asked again.
int32_t wager_value(std::string_view answer, int32_t gold);

}  // namespace cave
