"""runelot as a sysop runs it: the program from its own folder (through a
symbolic link, as the sandbox installs it) with the game's info file, the
game's directory as the working directory, the caller on a socket the
program inherits. One whole game with the machine's code read off the
caller's screen and the player record and flags checked against it; then
two nodes finishing their games at the same moment keep both flags."""
import os
import re
import unittest

from harness import Game, have, patterned_player, read_lines, start_door, write_lines

FLAG_COUNT = 150


def three_players():
    return [patterned_player(0, name="Ann", level=5, gold=900),
            patterned_player(1, name="Bram", level=12, gold=5000),
            patterned_player(2, name="Cora", level=3, gold=70)]


def matches(player_code, machine_code):
    """Digits the codes share, each counted as often as both hold it."""
    used = [False] * 4
    count = 0
    for digit in machine_code:
        for i, c in enumerate(player_code):
            if not used[i] and c == digit:
                used[i] = True
                count += 1
                break
    return count


def prize(level, matched):
    if matched == 0:
        return 0
    base = 20 if level == 12 else (10 if level % 2 else 30)
    jackpot = min(base * 10 ** (level // 2 + 2), 2_000_000_000)
    return jackpot // 10 ** (4 - matched)


class LottoGame(Game):
    """A game with runelot in doors/runelot/ as its install leaves it."""

    def __init__(self, players):
        super().__init__(players)
        self.door = self.install("runelot")
        write_lines(os.path.join(self.door, "runelot.dat"), [self.path + "/", "-1"])
        with open(os.path.join(self.door, "runeplay.dat"), "wb") as f:
            f.write(bytes(FLAG_COUNT))

    def visit(self, node, record):
        return start_door(os.path.join(self.door, "runelot"), self.path, how="info", node=node, record=record)

    def flags(self):
        with open(os.path.join(self.door, "runeplay.dat"), "rb") as f:
            return f.read()


def play_to_result(caller, code):
    """Takes the offer and enters code; returns the machine's code read off
    the screen once the result waits behind its more prompt."""
    caller.wait_for("Try it out? [Y]:")
    caller.send("y")
    caller.wait_for("Enter Your Code:")
    caller.send(code + "\r")
    caller.wait_for("<MORE>")
    found = re.search(r"Machine's Code : (\d{4})", caller.text())
    assert found, caller.screen.dump()
    return found.group(1)


@unittest.skipUnless(have("runelot"), "runelot is not built")
class Runelot(unittest.TestCase):
    def test_one_whole_game_is_paid_and_recorded_as_the_screen_showed_it(self):
        players = three_players()
        game = self.enterContext(LottoGame(players))
        bram = self.enterContext(game.visit(1, 1))
        machine_code = play_to_result(bram, "1234")
        matched = matches("1234", machine_code)
        won = prize(12, matched)
        if matched:
            self.assertIn("You matched %d numbers!" % matched, bram.text())
            self.assertIn("You win %d gold!" % won, bram.text())
        else:
            self.assertIn("You didn't match any numbers!", bram.text())
        bram.send(" ")
        bram.wait_for("Returning to Drakmoor..")
        self.assertEqual(bram.exit_code(), 0)

        after = game.players()
        self.assertEqual(after[1].gold, 5000 - 120 + won)
        self.assertEqual(after[1].raw[:109] + after[1].raw[113:], players[1].raw[:109] + players[1].raw[113:])
        self.assertEqual([after[0].raw, after[2].raw], [players[0].raw, players[2].raw])
        self.assertEqual(game.flags(), bytes([0, 1]) + bytes(FLAG_COUNT - 2))
        # The first visit after the install started the host's day 1.
        self.assertEqual(read_lines(os.path.join(game.door, "runelot.dat")), [game.path + "/", "1"])

    def test_two_nodes_finishing_at_the_same_moment_keep_both_flags(self):
        players = three_players()
        game = self.enterContext(LottoGame(players))
        ann = self.enterContext(game.visit(1, 0))
        cora = self.enterContext(game.visit(2, 2))
        # Both nodes have read the flags before either game ends.
        codes = {"ann": play_to_result(ann, "0007"), "cora": play_to_result(cora, "9081")}
        ann.send(" ")
        cora.send(" ")
        for caller in (ann, cora):
            self.assertEqual(caller.exit_code(), 0)
            self.assertIn("Returning to Drakmoor..", caller.transcript())

        self.assertEqual(game.flags(), bytes([1, 0, 1]) + bytes(FLAG_COUNT - 3))
        after = game.players()
        self.assertEqual(after[0].gold, 900 - 50 + prize(5, matches("0007", codes["ann"])))
        self.assertEqual(after[2].gold, 70 - 30 + prize(3, matches("9081", codes["cora"])))
        self.assertEqual(after[1].raw, players[1].raw)


if __name__ == "__main__":
    unittest.main()
