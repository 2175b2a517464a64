"""The kit's local mode in a real terminal: doortest -L in a pty, the sysop
logs in, and the screen shows the login name and the status line."""
import os
import pty
import select
import signal
import subprocess
import time
import unittest

import pyte

BIN = os.environ.get("DRAKMOOR_BIN", os.path.join(os.path.dirname(__file__), "../../build/bin"))


class PtyScreen:
    """A program on a pty, its output rendered by a terminal emulator."""

    def __init__(self, argv, cwd=None):
        self.master, slave = pty.openpty()
        self.proc = subprocess.Popen(argv, stdin=slave, stdout=slave, stderr=slave, cwd=cwd,
                                     start_new_session=True)
        os.close(slave)
        self.screen = pyte.Screen(80, 25)
        self.stream = pyte.ByteStream(self.screen)

    def pump(self, timeout=0.05):
        while True:
            r, _, _ = select.select([self.master], [], [], timeout)
            if not r:
                return
            try:
                data = os.read(self.master, 65536)
            except OSError:
                return
            if not data:
                return
            self.stream.feed(data)

    def text(self):
        return "\n".join(self.screen.display)

    def wait_for(self, needle, timeout=5.0):
        end = time.time() + timeout
        while time.time() < end:
            self.pump()
            if needle in self.text():
                return
        raise AssertionError("%r not on screen:\n%s" % (needle, self.text()))

    def send(self, data):
        os.write(self.master, data)

    def finish(self, timeout=5.0):
        end = time.time() + timeout
        while time.time() < end and self.proc.poll() is None:
            self.pump()
        self.pump()
        return self.proc.wait(timeout=1)


class LocalSession(unittest.TestCase):
    def test_sysop_logs_in_and_sees_the_status_line(self):
        term = PtyScreen([os.path.join(BIN, "doortest"), "-L"])
        term.wait_for("Enter your name : SYSOP")
        term.send(b"\r")
        term.wait_for("Hello SYSOP!")
        term.wait_for("Left: 00:59:5")  # the first check paints the status line
        status = term.screen.display[24]
        self.assertIn("SYSOP", status)
        self.assertIn("Door Test", status)
        self.assertIn("Left: 00:", status)
        term.send(b"hi there\r")
        term.wait_for("You typed: hi there")
        term.send(b"\x1b[A")  # the up arrow arrives as 0 and scan code 72
        term.wait_for("Key 72")
        self.assertEqual(term.finish(), 0)

    def test_hangup_signals_end_through_the_carrier_lost_path(self):
        for sig in (signal.SIGHUP, signal.SIGTERM):
            term = PtyScreen([os.path.join(BIN, "doortest"), "-L"])
            term.wait_for("Enter your name : SYSOP")
            term.send(b"\r")
            term.wait_for("Type a line:")
            started = time.time()
            term.proc.send_signal(sig)
            term.wait_for("Caller Dropped Carrier.  Returning To BBS...", timeout=2.0)
            self.assertEqual(term.finish(), 0)
            self.assertLess(time.time() - started, 1.0 + 1.5 + 1.0)  # notice, closing pause, slack


if __name__ == "__main__":
    unittest.main()
