"""runelot as a sysop runs it: the program started from its folder with the
game's info file, the caller on a TCP connection it inherits. One whole game
with the machine's code read off the caller's screen and the player record
and flags checked against it; then two nodes finishing their games at the
same moment, which must keep both callers' flags."""
import os
import re
import select
import socket
import struct
import subprocess
import tempfile
import time
import unittest

import pyte

BIN = os.environ.get("DRAKMOOR_BIN", os.path.join(os.path.dirname(__file__), "../../build/bin"))

PLAYER_SIZE = 236
GOLD, LEVEL = 109, 127
FLAG_COUNT = 150


def player(index, name, level, gold):
    """A player record whose unused bytes carry a pattern, to see that the
    program writes them back unchanged."""
    rec = bytearray((i * 7 + index) & 0xFF for i in range(PLAYER_SIZE))
    rec[0] = len(name)
    rec[1:1 + len(name)] = name.encode()
    struct.pack_into("<i", rec, GOLD, gold)
    struct.pack_into("<h", rec, LEVEL, level)
    return bytes(rec)


def gold_of(rec):
    return struct.unpack_from("<i", rec, GOLD)[0]


def matches(player_code, machine_code):
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


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("cp437")


class Game:
    """A game directory with runelot installed in doors/runelot/, started
    through a link there as the sandbox and the host start it."""

    def __init__(self, players):
        self.tmp = tempfile.TemporaryDirectory(prefix="runelot-e2e-")
        self.dir = self.tmp.name + "/"
        self.program_dir = self.dir + "doors/runelot/"
        os.makedirs(self.program_dir)
        os.symlink(os.path.abspath(os.path.join(BIN, "runelot")), self.program_dir + "runelot")
        with open(self.dir + "player.dat", "wb") as f:
            f.write(b"".join(players))
        self.players = players
        self.write("time.dat", crlf(["1"]))
        self.write("doors/runelot/runelot.dat", crlf([self.dir, "-1"]))
        self.write("doors/runelot/runeplay.dat", bytes(FLAG_COUNT))

    def write(self, name, data):
        with open(self.dir + name, "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.dir + name, "rb") as f:
            return f.read()

    def record(self, n):
        return self.read("player.dat")[n * PLAYER_SIZE:(n + 1) * PLAYER_SIZE]

    def close(self):
        self.tmp.cleanup()


class Caller:
    """One node: the program inherits its end of a loopback TCP connection
    through the node's info file (line 9 the descriptor, line 12 TELNET);
    the caller's end feeds a pyte screen."""

    def __init__(self, game, node, record):
        server = socket.create_server(("127.0.0.1", 0))
        self.sock = socket.create_connection(server.getsockname())
        door, _ = server.accept()
        server.close()
        fd = door.fileno()
        game.write("info.%d" % node, crlf([str(record), "3", "", "", "30", "Caller%d" % node, "Caller", str(node),
                                           str(fd), "", "", "TELNET", "", ""]))
        self.proc = subprocess.Popen([game.program_dir + "runelot", "-D" + game.dir + "info.%d" % node],
                                     cwd=game.dir, pass_fds=[fd], stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        door.close()
        self.screen = pyte.Screen(80, 25)
        self.stream = pyte.Stream(self.screen)
        self.sent = ""

    def pump(self, timeout=0.05):
        while True:
            r, _, _ = select.select([self.sock], [], [], timeout)
            if not r:
                return
            data = self.sock.recv(65536)
            if not data:
                return
            text = data.decode("cp437")
            self.sent += text
            self.stream.feed(text)

    def text(self):
        return "\n".join(self.screen.display)

    def wait_for(self, needle, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end:
            self.pump()
            if needle in self.text():
                return
        raise AssertionError("%r not on screen:\n%s" % (needle, self.text()))

    def send(self, keys):
        self.sock.sendall(keys.encode("cp437"))

    def finish(self, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end and self.proc.poll() is None:
            self.pump()
        self.pump()
        code = self.proc.wait(timeout=1)
        err = self.proc.stderr.read().decode(errors="replace")
        self.proc.stderr.close()
        self.sock.close()
        return code, err

    def play_to_result(self, code):
        """Takes the offer and enters code; returns the machine's code read
        off the screen once the result waits behind its more prompt."""
        self.wait_for("Try it out? [Y]:")
        self.send("y")
        self.wait_for("Enter Your Code:")
        self.send(code + "\r")
        self.wait_for("<MORE>")
        found = re.search(r"Machine's Code : (\d{4})", self.text())
        assert found, self.text()
        return found.group(1)


def expected_lines(level, machine_code, code):
    matched = matches(code, machine_code)
    if matched == 0:
        return ["You didn't match any numbers!", "Try again tomorrow!"]
    win = "You win %d gold!" % prize(level, matched)
    return ["You matched %d numbers!" % matched, win]


class RunelotOverASocket(unittest.TestCase):
    def test_one_whole_game_is_paid_and_recorded_as_the_screen_showed_it(self):
        players = [player(0, "Ann", 5, 900), player(1, "Bram", 12, 5000), player(2, "Cora", 3, 70)]
        game = Game(players)
        self.addCleanup(game.close)
        caller = Caller(game, 1, 1)
        machine_code = caller.play_to_result("1234")
        for line in expected_lines(12, machine_code, "1234"):
            self.assertIn(line, caller.text())
        caller.send(" ")
        caller.wait_for("Returning to Drakmoor..")
        code, err = caller.finish()
        self.assertEqual(code, 0, err)
        self.assertEqual(err, "")

        won = prize(12, matches("1234", machine_code))
        after = game.record(1)
        self.assertEqual(gold_of(after), 5000 - 120 + won)
        self.assertEqual(after[:GOLD] + after[GOLD + 4:], players[1][:GOLD] + players[1][GOLD + 4:])
        self.assertEqual(game.record(0), players[0])
        self.assertEqual(game.record(2), players[2])
        self.assertEqual(game.read("doors/runelot/runeplay.dat"), bytes([0, 1]) + bytes(FLAG_COUNT - 2))
        self.assertEqual(game.read("doors/runelot/runelot.dat"), crlf([game.dir, "1"]))

    def test_two_nodes_finishing_at_the_same_moment_keep_both_flags(self):
        players = [player(0, "Ann", 5, 900), player(1, "Bram", 12, 5000), player(2, "Cora", 3, 70)]
        game = Game(players)
        self.addCleanup(game.close)
        first = Caller(game, 1, 0)
        second = Caller(game, 2, 2)
        # Both have read the flags before either game ends.
        codes = {first: first.play_to_result("0007"), second: second.play_to_result("9081")}
        first.send(" ")
        second.send(" ")
        for caller in (first, second):
            code, err = caller.finish()
            self.assertEqual(code, 0, err)
            self.assertIn("Returning to Drakmoor..", caller.sent)

        flags = game.read("doors/runelot/runeplay.dat")
        self.assertEqual(flags, bytes([1, 0, 1]) + bytes(FLAG_COUNT - 3))
        self.assertEqual(gold_of(game.record(0)), 900 - 50 + prize(5, matches("0007", codes[first])))
        self.assertEqual(gold_of(game.record(2)), 70 - 30 + prize(3, matches("9081", codes[second])))
        self.assertEqual(game.record(1), players[1])


if __name__ == "__main__":
    unittest.main()
