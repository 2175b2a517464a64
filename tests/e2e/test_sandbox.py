"""The sandbox host: the sample game it lays out, read back with the
harness's codecs; its telnet node server with callers picking a character
and a module (the kit's test door through its registry entry); and the
local terminal as a caller, in a pty."""
import os
import tempfile
import unittest

import harness
from harness import FEMALE, MALE, PtyScreen


def new_game(test):
    """A sample game made by `sandbox init` in a temporary directory."""
    tmp = tempfile.TemporaryDirectory(prefix="drakmoor-sandbox-")
    test.addCleanup(tmp.cleanup)
    game = os.path.join(tmp.name, "game")
    done = harness.sandbox("init", game)
    test.assertEqual(done.returncode, 0, done.stderr)
    return game


@unittest.skipUnless(harness.have("sandbox"), "sandbox is not built")
class SampleGame(unittest.TestCase):
    def test_init_lays_out_a_game_the_host_codecs_read_back(self):
        game = new_game(self)
        players = harness.read_players(os.path.join(game, "player.dat"))
        self.assertEqual([(p.name, p.level) for p in players],
                         [("Aldric the Bold", 13), ("Brenna", 1), ("Corwin", 2), ("Dahlia", 3), ("X", 0),
                          ("Eamon", 5), ("Fiona", 7), ("Garrick", 10), ("Hilde", 12)])
        living = [p for p in players if p.name != "X"]
        self.assertEqual({p.sex for p in living}, {MALE, FEMALE})
        self.assertEqual({p.player_class for p in living}, {1, 2, 3})
        self.assertEqual([p.name for p in players if p.dead == 5], ["Fiona"])
        self.assertEqual(len({p.gold for p in living}), len(living))
        self.assertEqual(harness.read_day(game), 1)
        self.assertEqual(os.path.getsize(os.path.join(game, "maint.bat")) > 0, True)  # kelvane's line
        self.assertTrue(os.path.exists(os.path.join(game, "lognow.txt")))

        entries = harness.read_registry(game)
        doors = os.path.join(game, "doors")
        self.assertEqual(entries, [
            (doors + "/kelvane/kelvane * -Dinfo.*", "`0Team Options"),
            (doors + "/orvtime/orvtime * -Dinfo.*", "`%Orvald`2's Timer"),
            (doors + "/runelot/runelot -D" + game + "/info.*", "`0Edric's Tribute Lotto"),
            (doors + "/lottery/lottery -Dinfo.*", "`0The Lottery"),
            (doors + "/grumbold/grumbold -Dinfo.*", "`0Grumbold's House"),
            (harness.BIN + "/doortest -Dinfo.*", "`7Door kit test"),
        ])
        for name in ("kelvane", "orvtime", "runelot", "lottery", "grumbold"):
            self.assertEqual(os.readlink(os.path.join(doors, name, name)), os.path.join(harness.BIN, name))
        self.assertEqual(harness.read_lines(os.path.join(doors, "kelvane", "kelvane.cfg"))[0], game + "/")
        self.assertEqual(harness.read_lines(os.path.join(doors, "runelot", "runelot.dat"))[0], game + "/")
        self.assertEqual(harness.read_lines(os.path.join(doors, "lottery", "lottery.CFG"))[0], game + "/")

    def test_init_refuses_an_existing_game_unless_forced_and_day_advances(self):
        game = new_game(self)
        harness.write_day(game, 9)
        again = harness.sandbox("init", game)
        self.assertNotEqual(again.returncode, 0)
        self.assertIn(b"--force", again.stderr)
        self.assertEqual(harness.read_day(game), 9)

        self.assertEqual(harness.sandbox("day", game).returncode, 0)
        self.assertEqual(harness.read_day(game), 10)

        self.assertEqual(harness.sandbox("init", game, "--force").returncode, 0)
        self.assertEqual(harness.read_day(game), 1)


@unittest.skipUnless(harness.have("sandbox") and harness.have("doortest"), "sandbox or doortest is not built")
class NodeServer(unittest.TestCase):
    def setUp(self):
        self.game = new_game(self)
        self.server = harness.SandboxServer(self.game)
        self.addCleanup(self.stop_server)

    def stop_server(self):
        # Ctrl-C ends the server cleanly, whatever its callers were doing.
        self.assertEqual(self.server.stop(), 0, self.server.log())

    def pick(self, caller, character, module):
        """Picks a character and a module by their numbers in the lists."""
        caller.wait_for("Who plays?")
        caller.send("%d\r" % character)
        caller.wait_for("Other places:")
        caller.wait_for("Door kit test")
        caller.send("%d\r" % module)

    def test_a_caller_picks_a_character_and_plays_the_test_door(self):
        caller = self.server.connect()
        caller.wait_for("node 1")
        self.pick(caller, 2, 6)
        caller.wait_for("Hello Brenna!")
        caller.send("over telnet\r")
        caller.wait_for("You typed: over telnet")
        caller.send("k")
        caller.wait_for("Door kit test ended with exit code 0.")

        info = harness.read_lines(os.path.join(self.game, "info.1"))
        self.assertEqual(len(info), 14)
        self.assertEqual((info[0], info[5], info[11]), ("1", "Brenna", "TELNET"))
        self.assertTrue(int(info[8]) > 0)

        caller.send("q\r")
        caller.wait_closed()

    def test_two_callers_at_once_get_their_own_nodes(self):
        first = self.server.connect("first caller")
        second = self.server.connect("second caller")
        first.wait_for("node 1")
        second.wait_for("node 2")
        self.pick(first, 1, 6)
        self.pick(second, 8, 6)
        first.wait_for("Hello Aldric the Bold!")
        second.wait_for("Hello Hilde!")
        # Both doors run at the same time, each on its own caller.
        second.send("two\r")
        first.send("one\r")
        first.wait_for("You typed: one")
        second.wait_for("You typed: two")
        self.assertEqual(harness.read_lines(os.path.join(self.game, "info.1"))[5], "Aldric the Bold")
        self.assertEqual(harness.read_lines(os.path.join(self.game, "info.2"))[5], "Hilde")
        first.send("x")
        second.send("y")
        first.wait_for("ended with exit code 0")
        second.wait_for("ended with exit code 0")

        # A node is free again once its caller leaves.
        first.send("q\r")
        first.wait_closed()
        third = self.server.connect("third caller")
        third.wait_for("node 1")

    def test_a_module_that_is_not_built_is_reported_at_the_list(self):
        # Point kelvane's folder link at a file that is not there.
        link = os.path.join(self.game, "doors", "kelvane", "kelvane")
        os.remove(link)
        os.symlink(os.path.join(self.game, "no-such-program"), link)
        caller = self.server.connect()
        self.pick(caller, 3, 1)
        caller.wait_for("/doors/kelvane/kelvane is not there (not built yet?).", anywhere=True)
        caller.wait_for("Your choice:")

    @unittest.skipUnless(harness.TELNET, "no telnet client (inetutils-telnet)")
    def test_a_real_telnet_client_plays_through_the_server(self):
        term = self.enterContext(PtyScreen([harness.TELNET, "127.0.0.1", str(self.server.port)],
                                           encoding="cp437", label="telnet"))
        term.wait_for("Who plays?")
        term.send("5\r")
        term.wait_for("Eamon")
        term.send("6\r")
        term.wait_for("Hello Eamon!")
        term.send("by telnet\r")
        term.wait_for("You typed: by telnet")
        term.send("k")
        term.wait_for("Door kit test ended with exit code 0.")
        term.send("q\r")
        term.wait_for("Connection closed by foreign host.")


@unittest.skipUnless(harness.have("sandbox") and harness.have("doortest"), "sandbox or doortest is not built")
class LocalPlay(unittest.TestCase):
    def play(self):
        """`sandbox play` on a sample game, on a pty that is its controlling
        terminal (so Ctrl-C raises SIGINT), at the character list."""
        game = new_game(self)
        term = self.enterContext(PtyScreen([harness.program("sandbox"), "play", game], controlling=True))
        term.wait_for("Who plays?")
        return game, term

    def test_the_terminal_plays_the_test_door_and_gets_back_to_the_list(self):
        game, term = self.play()
        term.send("4\r")
        term.wait_for("Dahlia")
        term.wait_for("Door kit test")
        term.send("6\r")
        term.wait_for("Hello Dahlia!")
        # UTF-8 keys reach the door as CP437 and come back as UTF-8.
        term.send("s\u00e9ance \u2591\r")
        term.wait_for("You typed: s\u00e9ance \u2591")
        term.send("z")
        term.wait_for("Door kit test ended with exit code 0.")
        self.assertEqual(harness.read_lines(os.path.join(game, "info.1"))[5], "Dahlia")
        term.send("q\r")
        self.assertEqual(term.exit_code(), 0)

    def test_ctrl_c_drops_the_caller_and_ends_the_sandbox(self):
        _, term = self.play()
        term.send("1\r")
        term.wait_for("Door kit test")
        term.send("6\r")
        term.wait_for("Type a line:")
        term.send("\x03")
        self.assertEqual(term.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()
