"""orvtime as the host's module list starts it: the program from its own
folder (through a symbolic link, as the sandbox installs it) with the node
and "-Dinfo.<node>", the game's directory as the working directory, the
caller on a socket the program inherits. A caller wins by halving the
range; two nodes playing at once both keep their played-today flags."""
import os
import unittest

from harness import FEMALE, Game, have, patterned_player, start_door

CONFIG_SIZE = 406
PLAYED = 256


def player(index, name, gold, **fields):
    return patterned_player(index, name=name, gold=gold, **fields)


def bo_ann_and_cy():
    return [player(0, "Bo", 500), player(1, "Ann", 1000), player(2, "Cy", 700)]


class CaveGame(Game):
    """A game with orvtime in doors/orvtime/, before its first visit."""

    def __init__(self, players):
        super().__init__(players)
        self.door = self.install("orvtime")

    def visit(self, node, record, name):
        return start_door(os.path.join(self.door, "orvtime"), self.path, how="info", node=node,
                          record=record, user="`%" + name, args=(str(node),))

    def played(self):
        with open(os.path.join(self.door, "orvtime.dat"), "rb") as f:
            data = f.read()
        assert len(data) == CONFIG_SIZE, len(data)
        return [i for i in range(150) if data[PLAYED + i] == 1]


@unittest.skipUnless(have("orvtime"), "orvtime is not built")
class Orvtime(unittest.TestCase):
    def agree_and_wager(self, caller, wager):
        caller.wait_for("Shall you enter? [N]:")
        caller.send("Y")
        caller.wait_for("do you wish to play?")
        caller.send("Y")
        caller.wait_for("will you wager?")
        caller.send("%d\r" % wager)
        caller.wait_for("Guess?")

    def test_a_caller_wins_by_halving_the_range(self):
        game = self.enterContext(CaveGame([player(0, "Bo", 10), player(1, "Ann", 1000, sex=FEMALE)]))
        before = game.players()[1]
        ann = self.enterContext(game.visit(3, 1, "Ann"))
        self.agree_and_wager(ann, 101)
        self.assertIn("My daughter, I play a very simple game.", ann.transcript())
        low, high = 1, 1000
        for _ in range(10):
            guess = (low + high) // 2
            sent = len(ann.transcript())
            ann.send("%d\r" % guess)
            answer = self.answer_after(ann, sent)
            if answer == "won":
                break
            if answer == "Too High":
                high = guess - 1
            else:
                low = guess + 1
        ann.wait_for(" so here is the 51 gold I owe you.")
        ann.wait_for("<MORE>")
        ann.send(" ")
        self.assertEqual(ann.exit_code(), 0)
        after = game.players()[1]
        self.assertEqual(after.gold, 1051)
        self.assertEqual(after.raw[:109] + after.raw[113:], before.raw[:109] + before.raw[113:])
        self.assertEqual(game.players()[0].gold, 10)
        self.assertEqual(game.played(), [1])

        # The same day the cave is closed to her.
        again = self.enterContext(game.visit(3, 1, "Ann"))
        again.wait_for("Orvald's Cave looks darker than it usually does.")
        again.send(" ")
        self.assertEqual(again.exit_code(), 0)
        self.assertEqual(game.players()[1].gold, 1051)

    def answer_after(self, caller, sent):
        """Orvald's answer to the guess sent when the transcript had `sent`
        characters: "Too High", "Too Low" or "won"."""
        for _ in range(200):
            caller.pump(0.05)
            new = caller.transcript()[sent:]
            if "gold I owe you." in new:
                return "won"
            for answer in ("Too High", "Too Low"):
                if answer in new and "seconds left!" in new:
                    return answer
        raise AssertionError("no answer to the guess:\n" + caller.screen.dump())

    def test_two_nodes_playing_at_once_keep_both_flags(self):
        game = self.enterContext(CaveGame(bo_ann_and_cy()))
        bo = self.enterContext(game.visit(1, 0, "Bo"))
        cy = self.enterContext(game.visit(2, 2, "Cy"))
        self.agree_and_wager(bo, 50)
        self.agree_and_wager(cy, 70)
        # Bo plays to his fifteenth guess and leaves first; Cy, whose node
        # read the flags before Bo left, hangs up after him.
        bo.send("0\r" * 15)
        bo.wait_for("Guess Limit Exceeded!")
        bo.send(" ")
        self.assertEqual(bo.exit_code(), 0)
        self.assertEqual(game.played(), [0])
        cy.hang_up()
        self.assertEqual(cy.exit_code(), 0)
        self.assertEqual(game.played(), [0, 2])
        players = game.players()
        self.assertEqual([p.gold for p in players], [450, 1000, 700])

        # Three callers hanging up at the same moment: every flag lands.
        game = self.enterContext(CaveGame(bo_ann_and_cy()))
        callers = [self.enterContext(game.visit(node, node - 1, name))
                   for node, name in ((1, "Bo"), (2, "Ann"), (3, "Cy"))]
        for caller in callers:
            self.agree_and_wager(caller, 5)
        for caller in callers:
            caller.hang_up()
        for caller in callers:
            self.assertEqual(caller.exit_code(), 0)
        self.assertEqual(game.played(), [0, 1, 2])
        self.assertEqual([p.gold for p in game.players()], [500, 1000, 700])


if __name__ == "__main__":
    unittest.main()
