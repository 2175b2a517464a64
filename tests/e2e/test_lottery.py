"""lottery over real sockets: the booth is started as the host's module list
starts it ("-Dinfo.<node>" in the host's directory), the caller on a
loopback TCP connection the program inherits, the screen rendered by pyte.
The nightly "/M" run is started without a terminal, as a batch file does;
it must end by itself, pay the winners by mail, and lose no ticket bought
while it runs."""
import os
import select
import socket
import struct
import subprocess
import tempfile
import threading
import time
import unittest

import pyte

BIN = os.environ.get("DRAKMOOR_BIN", os.path.join(os.path.dirname(__file__), "../../build/bin"))

PLAYER_SIZE = 236
GOLD = 109
PICK1_MAIL = ("`@Congrats!  `0You won  `$$10,000  `0gold in the Pick 1.\r\n"
              "`0It has been added to your account.\r\n"
              "`b10000\r\n"
              "\r\n").encode()


def player(name, gold):
    rec = bytearray(range(PLAYER_SIZE))  # bytes the program must leave alone
    rec[0] = len(name)
    rec[1:1 + len(name)] = name.encode()
    struct.pack_into("<i", rec, GOLD, gold)
    return bytes(rec)


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode()


class Game:
    """A host directory with player.dat, and lottery in its own folder
    through a symbolic link, configured for the host directory."""

    def __init__(self, players):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.door = os.path.join(self.dir, "doors", "lottery")
        os.makedirs(self.door)
        self.program = os.path.join(self.door, "lottery")
        os.symlink(os.path.abspath(os.path.join(BIN, "lottery")), self.program)
        with open(os.path.join(self.dir, "player.dat"), "wb") as f:
            f.write(b"".join(players))
        with open(os.path.join(self.door, "lottery.CFG"), "wb") as f:
            f.write(crlf([self.dir + "/"]))
        for name in ("lottery1.dat", "lottery2.dat", "lottery3.dat"):
            open(os.path.join(self.door, name), "wb").close()

    def read(self, *path):
        with open(os.path.join(self.dir, *path), "rb") as f:
            return f.read()

    def exists(self, *path):
        return os.path.exists(os.path.join(self.dir, *path))

    def gold(self, record):
        return struct.unpack_from("<i", self.read("player.dat"), record * PLAYER_SIZE + GOLD)[0]

    def draw(self, timeout=30):
        """One "/M" run as a nightly batch starts it: no terminal, no keys."""
        run = subprocess.run([self.program, "/M"], cwd=self.dir, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
        return run.returncode, run.stdout.decode("cp437")


class Node:
    """One caller: the node's info file names his record and the socket."""

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
            [game.program, "-Dinfo.%d" % node], cwd=game.dir, pass_fds=[served.fileno()],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
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

    def up_to_the_number(self):
        """From the title to the Pick 1 number prompt, paying on the way."""
        self.wait_for("Press any key to continue..")
        self.key(b" ", "Buy one?  [N]:")
        self.key(b"Y", "Which one?")
        self.key(b"1", "What number do you want?")

    def finish(self, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end and self.proc.poll() is None:
            self.pump()
        code = self.proc.wait(timeout=5)
        self.sock.close()
        return code


class Lottery(unittest.TestCase):
    def game(self, players):
        game = Game(players)
        self.addCleanup(game.tmp.cleanup)
        return game

    def test_a_ticket_bought_over_a_socket_is_paid_by_the_nightly_draw(self):
        game = self.game([player("Bo", 50), player("Ann", 1000)])
        ann = Node(game, 2, 1, "Ann")
        ann.up_to_the_number()
        ann.key(b"5837\r", "Thanks!  The drawing will take place tomorrow.")
        ann.key(b" ", "Thanks for using The Lottery.")
        ann.key(b" ", "Returning you to the realm of the Dragon...")
        self.assertEqual(ann.finish(), 0)
        self.assertEqual(game.gold(1), 900)
        self.assertEqual(game.read("doors", "lottery", "lottery1.dat"), crlf(["1", "5837"]))
        self.assertEqual(game.read("doors", "lottery", "USERS.DAT"), crlf(["1"]))

        # The same day the booth turns her away.
        again = Node(game, 2, 1, "Ann")
        again.wait_for("Orvald's cave looks darker than it usually does.")
        again.key(b" ")
        self.assertEqual(again.finish(), 0)
        self.assertEqual(game.gold(1), 900)

        code, console = game.draw()
        self.assertEqual(code, 0, console)
        self.assertIn("Checking for winners in lottery #1\n\nSending mail to player #1 for winning lottery #1.",
                      console)
        self.assertIn("Checking for winners in lottery #3", console)
        self.assertEqual(game.read("mail1.dat"), PICK1_MAIL)
        for name in ("lottery1.dat", "lottery2.dat", "lottery3.dat"):
            self.assertEqual(game.read("doors", "lottery", name), b"", name)
        self.assertFalse(game.exists("doors", "lottery", "lottery1.drw"))
        self.assertEqual(game.gold(1), 900)  # the prize comes through the mail only

    def test_tickets_bought_while_draws_run_are_drawn_exactly_once(self):
        players = [player("P%d" % r, 1000) for r in range(6)]
        game = self.game(players)
        nodes = [Node(game, n + 1, n, "P%d" % n) for n in range(6)]
        for node in nodes:
            node.up_to_the_number()

        stop = threading.Event()
        runs = []

        def draw_again_and_again():
            while not stop.is_set():
                runs.append(game.draw())

        drawing = threading.Thread(target=draw_again_and_again)
        drawing.start()
        try:
            time.sleep(0.3)
            # The tickets are stored while the draws move the file aside,
            # check it and put it back.
            for node in nodes:
                node.key(b"5837\r")
                time.sleep(0.15)
            for node in nodes:
                node.wait_for("Thanks!  The drawing will take place tomorrow.")
                node.key(b" ", "Thanks for using The Lottery.")
                node.key(b" ")
            time.sleep(0.5)
        finally:
            stop.set()
            drawing.join(timeout=60)
        for node in nodes:
            self.assertEqual(node.finish(), 0)
        self.assertTrue(len(runs) >= 2, runs)
        for code, console in runs:
            self.assertEqual(code, 0, console)

        # One more draw takes whatever the last one left for the next day.
        code, console = game.draw()
        self.assertEqual(code, 0, console)
        for record in range(6):
            mail = game.read("mail%d.dat" % record) if game.exists("mail%d.dat" % record) else b""
            self.assertEqual(mail, PICK1_MAIL, "player %d" % record)
        self.assertEqual(game.read("doors", "lottery", "lottery1.dat"), b"")


if __name__ == "__main__":
    unittest.main()
