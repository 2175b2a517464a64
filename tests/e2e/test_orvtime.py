"""orvtime over real sockets: the program is started as the host's module
list starts it (node, then "-Dinfo.<node>"), the caller on a loopback TCP
connection the program inherits, the screen rendered by pyte. A caller
wins by halving the range; two nodes playing at once both keep their
played-today flags."""
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
GOLD = 109
CONFIG_SIZE = 406
PLAYED = 256


def player(name, gold):
    rec = bytearray(range(PLAYER_SIZE))  # bytes the program must leave alone
    rec[0] = len(name)
    rec[1:1 + len(name)] = name.encode()
    struct.pack_into("<i", rec, GOLD, gold)
    return bytes(rec)


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode()


class Game:
    """A host directory with player.dat, and orvtime in its own folder
    through a symbolic link, as the sandbox installs it."""

    def __init__(self, players):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.door = os.path.join(self.dir, "doors", "orvtime")
        os.makedirs(self.door)
        os.symlink(os.path.abspath(os.path.join(BIN, "orvtime")), os.path.join(self.door, "orvtime"))
        with open(os.path.join(self.dir, "player.dat"), "wb") as f:
            f.write(b"".join(players))

    def gold(self, record):
        with open(os.path.join(self.dir, "player.dat"), "rb") as f:
            data = f.read()
        return struct.unpack_from("<i", data, record * PLAYER_SIZE + GOLD)[0]

    def record(self, record):
        with open(os.path.join(self.dir, "player.dat"), "rb") as f:
            data = f.read()
        return data[record * PLAYER_SIZE:(record + 1) * PLAYER_SIZE]

    def played(self):
        with open(os.path.join(self.door, "orvtime.dat"), "rb") as f:
            data = f.read()
        assert len(data) == CONFIG_SIZE, len(data)
        return [i for i in range(150) if data[PLAYED + i] == 1]


class Node:
    """One caller: the node's info file names his record and the socket;
    orvtime runs with the caller's end of the connection inherited."""

    def __init__(self, game, node, record, name):
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        self.sock = socket.create_connection(listener.getsockname())
        served, _ = listener.accept()
        listener.close()
        with open(os.path.join(game.dir, "info.%d" % node), "wb") as f:
            f.write(crlf([str(record), "3", "", "FAIRY NO", "30", "`%" + name, name, "",
                          str(served.fileno()), "", "", "TELNET", "", "CLEAN MODE OFF"]))
        self.proc = subprocess.Popen(
            [os.path.join(game.door, "orvtime"), str(node), "-Dinfo.%d" % node],
            cwd=game.dir, pass_fds=[served.fileno()], stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        served.close()
        self.screen = pyte.Screen(80, 25)
        self.stream = pyte.ByteStream(self.screen)
        self.received = b""

    def pump(self, timeout=0.05):
        while True:
            r, _, _ = select.select([self.sock], [], [], timeout)
            if not r:
                return
            data = self.sock.recv(65536)
            if not data:
                return
            self.received += data
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

    def wait_received(self, predicate, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end:
            self.pump()
            if predicate(self.received):
                return
        raise AssertionError("not received:\n%s" % self.text())

    def key(self, data, then=None):
        self.sock.sendall(data)
        if then:
            self.wait_for(then)

    def agree_and_wager(self, wager):
        self.wait_for("Shall you enter? [N]:")
        self.key(b"Y", "do you wish to play?")
        self.key(b"Y", "will you wager?")
        self.key(b"%d\r" % wager, "Guess?")

    def finish(self, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end and self.proc.poll() is None:
            self.pump()
        code = self.proc.wait(timeout=5)
        self.sock.close()
        return code


class Orvtime(unittest.TestCase):
    def game(self, players):
        game = Game(players)
        self.addCleanup(game.tmp.cleanup)
        return game

    def test_a_caller_wins_by_halving_the_range(self):
        game = self.game([player("Bo", 10), player("Ann", 1000)])
        before = game.record(1)
        ann = Node(game, 3, 1, "Ann")
        ann.agree_and_wager(101)
        low, high = 1, 1000
        for _ in range(10):
            guess = (low + high) // 2
            answers = ann.received.count(b"Too High") + ann.received.count(b"Too Low")
            ann.key(b"%d\r" % guess)
            ann.wait_received(lambda r: r.count(b"Too High") + r.count(b"Too Low") > answers
                              or b"gold I owe you." in r)
            if b"gold I owe you." in ann.received:
                break
            if ann.received.rfind(b"Too High") > ann.received.rfind(b"Too Low"):
                high = guess - 1
            else:
                low = guess + 1
        ann.wait_for(" so here is the 51 gold I owe you.")
        ann.wait_for("<MORE>")
        ann.key(b" ")
        self.assertEqual(ann.finish(), 0)
        self.assertEqual(game.gold(1), 1051)
        after = game.record(1)
        self.assertEqual(after[:GOLD] + after[GOLD + 4:], before[:GOLD] + before[GOLD + 4:])
        self.assertEqual(game.gold(0), 10)
        self.assertEqual(game.played(), [1])

        # The same day the cave is closed to him.
        again = Node(game, 3, 1, "Ann")
        again.wait_for("Orvald's Cave looks darker than it usually does.")
        again.key(b" ")
        self.assertEqual(again.finish(), 0)
        self.assertEqual(game.gold(1), 1051)

    def test_two_nodes_playing_at_once_keep_both_flags(self):
        game = self.game([player("Bo", 500), player("Ann", 1000), player("Cy", 700)])
        bo = Node(game, 1, 0, "Bo")
        cy = Node(game, 2, 2, "Cy")
        bo.agree_and_wager(50)
        cy.agree_and_wager(70)
        # Bo plays on to his fifteenth guess and leaves first; Cy, who read
        # the flags before Bo left, hangs up after him.
        for _ in range(15):
            bo.key(b"0\r")
        bo.wait_for("Guess Limit Exceeded!")
        bo.key(b" ")
        self.assertEqual(bo.finish(), 0)
        self.assertEqual(game.played(), [0])
        cy.sock.shutdown(socket.SHUT_RDWR)
        self.assertEqual(cy.finish(), 0)
        self.assertEqual(game.played(), [0, 2])
        self.assertEqual(game.gold(0), 450)
        self.assertEqual(game.gold(2), 700)

        # Two callers hanging up at the same moment: both flags still land.
        game2 = self.game([player("Bo", 500), player("Ann", 1000), player("Cy", 700)])
        nodes = [Node(game2, n + 1, rec, name) for n, (rec, name) in enumerate([(0, "Bo"), (1, "Ann"), (2, "Cy")])]
        for node in nodes:
            node.agree_and_wager(5)
        for node in nodes:
            node.sock.shutdown(socket.SHUT_RDWR)
        for node in nodes:
            self.assertEqual(node.finish(), 0)
        self.assertEqual(game2.played(), [0, 1, 2])


if __name__ == "__main__":
    unittest.main()
