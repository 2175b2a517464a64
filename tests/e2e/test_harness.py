"""The harness against the kit's test door: a program started in each way
the kit accepts a telnet caller talks to the caller on the inherited socket,
and the harness's own failure report shows the screen."""
import unittest

import harness
from harness import FEMALE, MALE, Game, Player


@unittest.skipUnless(harness.have("doortest"), "doortest is not built")
class DoorStarts(unittest.TestCase):
    def setUp(self):
        self.game = self.enterContext(Game(players=[Player(name="Aldric", level=13, sex=MALE),
                                                    Player(name="Brenna Vale", level=1, sex=FEMALE)]))

    def test_each_way_of_handing_over_the_socket_reaches_the_caller(self):
        # (way, the name the door greets): -H -N -T carries no names.
        for how, greeting in (("door32", "Hello Brenna Vale!"), ("info", "Hello Brenna Vale!"),
                              ("handle", "Hello !")):
            with self.subTest(how=how):
                caller = self.enterContext(harness.start_door("doortest", self.game.path, how=how, node=2,
                                                              record=1, user="Brenna Vale"))
                caller.wait_for(greeting)
                caller.wait_for("Type a line:")
                caller.send("caf\u00e9 \u00a0!\r")  # CP437 130 and 255 (doubled on the way)
                caller.wait_for("You typed: caf\u00e9 \u00a0!")
                caller.send("k")
                caller.wait_for("Key 107")
                self.assertEqual(caller.exit_code(), 0)

    def test_a_caller_who_hangs_up_ends_the_program(self):
        caller = self.enterContext(harness.start_door("doortest", self.game.path, how="info", args=["-E"]))
        caller.send("echo")
        caller.wait_for("echo")
        caller.hang_up()
        self.assertEqual(caller.exit_code(timeout=15), 0)

    def test_a_missing_text_fails_with_the_screen_shown(self):
        caller = self.enterContext(harness.start_door("doortest", self.game.path, how="info"))
        caller.wait_for("Type a line:")
        with self.assertRaises(AssertionError) as failure:
            caller.wait_for("never shown", timeout=0.3)
        self.assertIn("|Hello Sandy Caller!", str(failure.exception))


class Codecs(unittest.TestCase):
    def test_player_fields_sit_at_their_offsets_and_unknown_bytes_survive(self):
        raw = bytearray(range(236))
        p = Player(bytes(raw), gold=-2, level=7)
        p.name = "Aldric"
        data = p.to_bytes()
        self.assertEqual(data[109:113], b"\xfe\xff\xff\xff")
        self.assertEqual(data[127:129], b"\x07\x00")
        self.assertEqual(data[0:7], b"\x06Aldric")
        self.assertEqual(data[7:109], bytes(raw[7:109]))  # the rest of the name area and beyond
        self.assertEqual(data[129:], bytes(raw[129:]))
        self.assertEqual(Player(data).name, "Aldric")


if __name__ == "__main__":
    unittest.main()
