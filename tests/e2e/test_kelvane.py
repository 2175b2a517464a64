"""kelvane as the host's module list starts it, with two callers on one team
at once, each on a socket the program inherits: a deposit on one node shows
in the other node's treasury after one key, and the team file ends with
every move of both nodes, in whichever order they leave."""
import os
import struct
import unittest

from harness import Game, Player, have, start_door, write_lines

TEAM_SIZE = 355
TREASURY = 341


def extended(value):
    """The 80-bit x87 form of a whole, positive number."""
    if value == 0:
        return bytes(10)
    exponent = value.bit_length() - 1
    return struct.pack("<QH", value << (63 - exponent), exponent + 16383)


def from_extended(raw):
    mantissa, top = struct.unpack("<QH", raw)
    if top & 0x7FFF == 0 and mantissa == 0:
        return 0.0
    sign = -1 if top & 0x8000 else 1
    return sign * mantissa * 2.0 ** ((top & 0x7FFF) - 16383 - 63)


def team(name, members, leader, treasury):
    """A team record: leader, name, password, members, treasury."""
    rec = bytearray(TEAM_SIZE)
    rec[0] = leader
    rec[1] = len(name)
    rec[2:2 + len(name)] = name.encode("cp437")
    rec[32] = 2
    rec[33:35] = b"pw"
    for m in members:
        rec[41 + m] = 1
    rec[TREASURY:TREASURY + 10] = extended(treasury)
    return bytes(rec)


class TeamGame(Game):
    """A game with kelvane in doors/kelvane/ (its configuration and team
    file there), as its setup leaves it."""

    def __init__(self, players, teams):
        super().__init__(players)
        self.door = self.install("kelvane")
        write_lines(os.path.join(self.door, "kelvane.cfg"), [self.path + "/", ""])
        with open(os.path.join(self.door, "teamfile.dat"), "wb") as f:
            f.write(b"".join(teams))

    def visit(self, node, record, name):
        return start_door(os.path.join(self.door, "kelvane"), self.path, how="info", node=node,
                          record=record, user=name, args=(str(node),))

    def treasuries(self):
        with open(os.path.join(self.door, "teamfile.dat"), "rb") as f:
            data = f.read()
        return [from_extended(data[at + TREASURY:at + TREASURY + 10]) for at in range(0, len(data), TEAM_SIZE)]


@unittest.skipUnless(have("kelvane"), "kelvane is not built")
class TwoNodesOnOneTeam(unittest.TestCase):
    def ann_and_bob_at_the_safe(self, players, teams):
        """Ann (record 0) on node 1 and Bob (record 1) on node 2, both in
        the treasury of their team, which holds 1,000 gold."""
        game = self.enterContext(TeamGame(players, teams))
        one = self.enterContext(game.visit(1, 0, "Ann"))
        two = self.enterContext(game.visit(2, 1, "Bob"))
        for caller in (one, two):
            caller.wait_for("Team Options")
            caller.send("M")
            caller.wait_for("Management Options")
            caller.send("Y")
            caller.wait_for("Gold In Safe: 1,000")
        return game, one, two

    def play(self, first_to_leave):
        game, one, two = self.ann_and_bob_at_the_safe(
            [Player(name="Ann", level=3, gold=500), Player(name="Bob", level=3, gold=0),
             Player(name="Cid", level=2, gold=0)],
            [team("Other", [2], 2, 7), team("Crew", [0, 1], 0, 1000)])

        one.send("D")
        one.wait_for("AMOUNT:")
        one.send("100\r")
        one.wait_for("Gold In Hand: 400  Gold In Safe: 1,100")
        # One key on node 2 draws its treasury again, with the deposit.
        two.send("x")
        two.wait_for("Gold In Safe: 1,100")

        two.send("W")
        two.wait_for("AMOUNT:")
        two.send("40\r")
        two.wait_for("Done!")
        two.send(" ")
        two.wait_for("Gold In Hand: 40  Gold In Safe: 1,060")
        one.send("x")
        one.wait_for("Gold In Hand: 400  Gold In Safe: 1,060")

        for caller in (one, two) if first_to_leave == 1 else (two, one):
            caller.send("R")
            caller.wait_for("You close the safe")
            caller.send(" ")
            caller.wait_for("Management Options")
            caller.send("Q")
            caller.wait_for("Team Options")
            caller.send("Q")
            self.assertEqual(caller.exit_code(), 0)

        self.assertEqual(game.treasuries(), [7, 1060])
        self.assertEqual([p.gold for p in game.players()], [400, 40, 0])
        self.assertEqual([n for n in os.listdir(game.path) if n.lower().startswith("tup")], [])

    def test_a_caller_who_drops_keeps_a_team_mates_later_deposit(self):
        game, one, two = self.ann_and_bob_at_the_safe(
            [Player(name="Ann", level=3, gold=500), Player(name="Bob", level=3, gold=90)],
            [team("Crew", [0, 1], 0, 1000)])
        # Node 2 deposits and leaves; node 1 never presses another key, so
        # its copy of the team never sees the deposit, and then it drops.
        two.send("D")
        two.wait_for("AMOUNT:")
        two.send("1\r")
        two.wait_for("Gold In Hand: 0  Gold In Safe: 1,090")
        two.send("R")
        two.wait_for("You close the safe")
        two.send(" Q")
        two.wait_for("Team Options")
        two.send("Q")
        self.assertEqual(two.exit_code(), 0)
        one.hang_up()
        one.proc.wait(timeout=10)
        self.assertEqual(game.treasuries(), [1090])
        self.assertEqual([p.gold for p in game.players()], [500, 0])

    def test_node_one_leaves_first(self):
        self.play(first_to_leave=1)

    def test_node_two_leaves_first(self):
        self.play(first_to_leave=2)


if __name__ == "__main__":
    unittest.main()
