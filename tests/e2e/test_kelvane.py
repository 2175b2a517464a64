"""kelvane with two callers on one team at once, each on a real socket the
program inherits: a deposit on one node shows in the other node's treasury
after one key, and the team file ends with every move of both nodes, in
whichever order they leave."""
import os
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
TEAM_SIZE = 355


def player(name, level, gold):
    rec = bytearray(PLAYER_SIZE)
    rec[0] = len(name)
    rec[1:1 + len(name)] = name.encode()
    struct.pack_into("<i", rec, 109, gold)
    struct.pack_into("<h", rec, 127, level)
    return bytes(rec)


def extended(value):
    """The 80-bit x87 form of a whole, positive number."""
    if value == 0:
        return bytes(10)
    exponent = value.bit_length() - 1
    mantissa = value << (63 - exponent)
    return struct.pack("<QH", mantissa, exponent + 16383)


def from_extended(raw):
    mantissa, top = struct.unpack("<QH", raw)
    exponent = (top & 0x7FFF) - 16383 - 63
    sign = -1 if top & 0x8000 else 1
    return sign * mantissa * 2.0 ** exponent


def team(name, members, leader, treasury):
    rec = bytearray(TEAM_SIZE)
    rec[0] = leader
    rec[1] = len(name)
    rec[2:2 + len(name)] = name.encode()
    rec[32] = 2
    rec[33:35] = b"pw"
    for m in members:
        rec[41 + m] = 1
    rec[341:351] = extended(treasury)
    return bytes(rec)


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode()


class Node:
    """One caller: kelvane started for a node with the caller's end of a
    loopback TCP connection, the screen rendered by pyte."""

    def __init__(self, game, node):
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        self.sock = socket.create_connection(listener.getsockname())
        served, _ = listener.accept()
        listener.close()
        prog = os.path.join(game, "prog", "kelvane")
        self.proc = subprocess.Popen(
            [prog, str(node), "-H%d" % served.fileno(), "-N%d" % node, "-T"],
            cwd=game, pass_fds=[served.fileno()], stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        served.close()
        self.screen = pyte.Screen(80, 25)
        self.stream = pyte.ByteStream(self.screen)

    def pump(self, timeout=0.05):
        while True:
            r, _, _ = select.select([self.sock], [], [], timeout)
            if not r:
                return
            data = self.sock.recv(65536)
            if not data:
                return
            self.stream.feed(data)

    def text(self):
        return "\n".join(self.screen.display)

    def wait_for(self, needle, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end:
            self.pump()
            if needle in self.text():
                return
        raise AssertionError("%r not on screen:\n%s" % (needle, self.text()))

    def key(self, data, then=None):
        self.sock.sendall(data)
        if then:
            self.wait_for(then)

    def quit(self):
        """From the treasury back to the host game."""
        self.key(b"R", "You close the safe")
        self.key(b" ", "Management Options")
        self.key(b"Q", "Team Options")
        self.key(b"Q")
        end = time.time() + 10
        while time.time() < end and self.proc.poll() is None:
            self.pump()
        code = self.proc.wait(timeout=5)
        self.sock.close()
        return code


class TwoNodesOnOneTeam(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="kelvane-e2e-")
        game = self.game = self.tmp.name
        os.mkdir(os.path.join(game, "prog"))
        os.symlink(os.path.join(os.path.abspath(BIN), "kelvane"), os.path.join(game, "prog", "kelvane"))
        with open(os.path.join(game, "prog", "kelvane.cfg"), "wb") as f:
            f.write(crlf([game + "/", ""]))
        with open(os.path.join(game, "player.dat"), "wb") as f:
            f.write(player("Ann", 3, 500) + player("Bob", 3, 0) + player("Cid", 2, 0))
        with open(os.path.join(game, "prog", "teamfile.dat"), "wb") as f:
            f.write(team("Other", [2], 2, 7) + team("Crew", [0, 1], 0, 1000))
        for node, record, name in ((1, 0, "Ann"), (2, 1, "Bob")):
            with open(os.path.join(game, "info.%d" % node), "wb") as f:
                f.write(crlf([str(record), "3", "", "", "30", name, name, "", "0", "", "", "", "", ""]))

    def tearDown(self):
        self.tmp.cleanup()

    def treasuries(self):
        with open(os.path.join(self.game, "prog", "teamfile.dat"), "rb") as f:
            data = f.read()
        return [from_extended(data[i + 341:i + 351]) for i in range(0, len(data), TEAM_SIZE)]

    def open_treasury(self, node):
        node.wait_for("Team Options")
        node.key(b"M", "Management Options")
        node.key(b"Y", "Gold In Safe:")

    def run_visits(self, first_to_leave):
        one = Node(self.game, 1)
        two = Node(self.game, 2)
        try:
            self.open_treasury(one)
            self.open_treasury(two)
            self.assertIn("Gold In Safe: 1,000", two.text())

            one.key(b"D", "AMOUNT:")
            one.key(b"100\r", "Gold In Safe: 1,100")
            # One key on node 2 redraws its treasury with the deposit in it.
            two.key(b"x")
            two.wait_for("Gold In Safe: 1,100")

            two.key(b"W", "AMOUNT:")
            two.key(b"40\r", "Done!")
            two.key(b" ", "Gold In Safe: 1,060")
            one.key(b"x")
            one.wait_for("Gold In Hand: 400  Gold In Safe: 1,060")

            order = (one, two) if first_to_leave == 1 else (two, one)
            for node in order:
                self.assertEqual(node.quit(), 0)
        finally:
            for node in (one, two):
                if node.proc.poll() is None:
                    node.proc.kill()
                    node.proc.wait()
        self.assertEqual(self.treasuries(), [7, 1060])
        leftovers = [n for n in os.listdir(self.game) if n.lower().startswith("tup")]
        self.assertEqual(leftovers, [])
        with open(os.path.join(self.game, "player.dat"), "rb") as f:
            data = f.read()
        self.assertEqual(struct.unpack_from("<i", data, 109)[0], 400)
        self.assertEqual(struct.unpack_from("<i", data, PLAYER_SIZE + 109)[0], 40)

    def test_node_one_leaves_first(self):
        self.run_visits(first_to_leave=1)

    def test_node_two_leaves_first(self):
        self.run_visits(first_to_leave=2)


if __name__ == "__main__":
    unittest.main()
