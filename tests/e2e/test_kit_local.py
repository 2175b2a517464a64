"""The kit's local mode in a real terminal: doortest -L in a pty, the sysop
logs in, and the screen shows the login name and the status line."""
import signal
import time
import unittest

from harness import PtyScreen, have, program


@unittest.skipUnless(have("doortest"), "doortest is not built")
class LocalSession(unittest.TestCase):
    def local_terminal(self):
        return self.enterContext(PtyScreen([program("doortest"), "-L"]))

    def test_sysop_logs_in_and_sees_the_status_line(self):
        term = self.local_terminal()
        term.wait_for("Enter your name : SYSOP")
        term.send(b"\r")
        term.wait_for("Hello SYSOP!")
        term.wait_for("Left: 00:59:5")  # the first check paints the status line
        status = term.screen.row(24)
        self.assertIn("SYSOP", status)
        self.assertIn("Door Test", status)
        self.assertIn("Left: 00:", status)
        term.send(b"hi there\r")
        term.wait_for("You typed: hi there")
        term.send(b"\x1b[A")  # the up arrow arrives as 0 and scan code 72
        term.wait_for("Key 72")
        self.assertEqual(term.exit_code(), 0)

    def test_hangup_signals_end_through_the_carrier_lost_path(self):
        for sig in (signal.SIGHUP, signal.SIGTERM):
            with self.subTest(signal=sig.name):
                term = self.local_terminal()
                term.wait_for("Enter your name : SYSOP")
                term.send(b"\r")
                term.wait_for("Type a line:")
                started = time.time()
                term.proc.send_signal(sig)
                term.wait_for("Caller Dropped Carrier.  Returning To BBS...", timeout=2.0)
                self.assertEqual(term.exit_code(), 0)
                self.assertLess(time.time() - started, 1.0 + 1.5 + 1.0)  # notice, closing pause, slack


if __name__ == "__main__":
    unittest.main()
