"""lottery over real sockets: the booth is started as the host's module list
starts it ("-Dinfo.<node>" in the host's directory, the program in its own
folder through a symbolic link), the caller on a socket the program
inherits, the screen rendered by pyte. The nightly "/M" run is started
without a terminal, as a batch file does; it must end by itself, pay the
winners by mail, and lose no ticket bought while it runs."""
import os
import subprocess
import threading
import time
import unittest

from harness import Game, crlf, have, patterned_player, start_door, write_lines

PICK1_MAIL = ("`@Congrats!  `0You won  `$$10,000  `0gold in the Pick 1.\r\n"
              "`0It has been added to your account.\r\n"
              "`b10000\r\n"
              "\r\n").encode()
TICKET_FILES = ("lottery1.dat", "lottery2.dat", "lottery3.dat")


class LotteryGame(Game):
    """A game with lottery in doors/lottery/, configured for the game's
    directory, its ticket files empty."""

    def __init__(self, players):
        super().__init__(players)
        self.door = self.install("lottery")
        write_lines(os.path.join(self.door, "lottery.CFG"), [self.path + "/"])
        for name in TICKET_FILES:
            write_lines(os.path.join(self.door, name), [])

    def visit(self, node, record, name):
        return start_door(os.path.join(self.door, "lottery"), self.path, how="info", node=node,
                          record=record, user="`%" + name)

    def read(self, *path):
        with open(os.path.join(self.path, *path), "rb") as f:
            return f.read()

    def draw(self, timeout=30):
        """One "/M" run as a nightly batch starts it: no terminal, no keys."""
        run = subprocess.run([os.path.join(self.door, "lottery"), "/M"], cwd=self.path,
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        return run.returncode, run.stdout.decode("cp437")


def up_to_the_number(caller):
    """From the title to the Pick 1 number prompt, paying on the way."""
    caller.wait_for("Press any key to continue..")
    caller.send(" ")
    caller.wait_for("Buy one?  [N]:")
    caller.send("Y")
    caller.wait_for("Which one?")
    caller.send("1")
    caller.wait_for("What number do you want?")


@unittest.skipUnless(have("lottery"), "lottery is not built")
class Lottery(unittest.TestCase):
    def test_a_ticket_bought_over_a_socket_is_paid_by_the_nightly_draw(self):
        game = self.enterContext(LotteryGame([patterned_player(0, name="Bo", gold=50),
                                              patterned_player(1, name="Ann", gold=1000)]))
        ann = self.enterContext(game.visit(2, 1, "Ann"))
        up_to_the_number(ann)
        ann.send("5837\r")
        ann.wait_for("Thanks!  The drawing will take place tomorrow.")
        ann.send(" ")
        ann.wait_for("Thanks for using The Lottery.")
        ann.send(" ")
        ann.wait_for("Returning you to the realm of the Dragon...")
        self.assertEqual(ann.exit_code(), 0)
        self.assertEqual(game.players()[1].gold, 900)
        self.assertEqual(game.read("doors", "lottery", "lottery1.dat"), crlf(["1", "5837"]))
        self.assertEqual(game.read("doors", "lottery", "USERS.DAT"), crlf(["1"]))

        # The same day the booth turns her away.
        again = self.enterContext(game.visit(2, 1, "Ann"))
        again.wait_for("Orvald's cave looks darker than it usually does.")
        again.send(" ")
        self.assertEqual(again.exit_code(), 0)
        self.assertEqual(game.players()[1].gold, 900)

        code, console = game.draw()
        self.assertEqual(code, 0, console)
        self.assertIn("Checking for winners in lottery #1\n\nSending mail to player #1 for winning lottery #1.",
                      console)
        self.assertIn("Checking for winners in lottery #3", console)
        self.assertEqual(game.read("mail1.dat"), PICK1_MAIL)
        for name in TICKET_FILES:
            self.assertEqual(game.read("doors", "lottery", name), b"", name)
        self.assertFalse(os.path.exists(os.path.join(game.door, "lottery1.drw")))
        self.assertEqual(game.players()[1].gold, 900)  # the prize comes through the mail only

    def test_tickets_bought_while_draws_run_are_drawn_exactly_once(self):
        players = [patterned_player(r, name="P%d" % r, gold=1000) for r in range(6)]
        game = self.enterContext(LotteryGame(players))
        callers = [self.enterContext(game.visit(n + 1, n, "P%d" % n)) for n in range(6)]
        for caller in callers:
            up_to_the_number(caller)

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
            for caller in callers:
                caller.send("5837\r")
                time.sleep(0.15)
            for caller in callers:
                caller.wait_for("Thanks!  The drawing will take place tomorrow.")
                caller.send(" ")
                caller.wait_for("Thanks for using The Lottery.")
                caller.send(" ")
            time.sleep(0.5)
        finally:
            stop.set()
            drawing.join(timeout=60)
        for caller in callers:
            self.assertEqual(caller.exit_code(), 0)
        self.assertTrue(len(runs) >= 2, runs)
        for code, console in runs:
            self.assertEqual(code, 0, console)

        # One more draw takes whatever the last one left for the next day.
        code, console = game.draw()
        self.assertEqual(code, 0, console)
        for record in range(6):
            mail = "mail%d.dat" % record
            mail = game.read(mail) if os.path.exists(game.file(mail)) else b""
            self.assertEqual(mail, PICK1_MAIL, "player %d" % record)
        self.assertEqual(game.read("doors", "lottery", "lottery1.dat"), b"")


if __name__ == "__main__":
    unittest.main()
