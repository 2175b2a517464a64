"""The door kit's channels end to end, with doortest as the door.

Telnet: a real telnet client (inetutils, on a pty, its screen rendered by
pyte) connects to a port the test listens on; the test, in the BBS's part,
hands the accepted socket to the door, once through a DOOR32.SYS of comm
type 2 and once with -H<socket> -N1 -T. The session works both ways, the
option negotiation ends after one exchange, and a caller who hangs up ends
the door.

Standard input/output: the door started with -S on a pty the test holds, as
a BBS that runs doors on stdio does.
"""
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import unittest

from harness import TELNET, PtyScreen, have, program, write_door32

DOORTEST = program("doortest")


@unittest.skipUnless(have("doortest"), "doortest is not built")
class TelnetCallerTest(unittest.TestCase):
    """A telnet client as the caller, the door on the inherited socket."""

    def setUp(self):
        if TELNET is None:
            self.skipTest("no telnet client")
        self.dir = tempfile.mkdtemp()
        # The client shows its option processing, so the test sees every
        # negotiation message both ways.
        with open(os.path.join(self.dir, ".telnetrc"), "w") as f:
            f.write("127.0.0.1\n  toggle options\n")
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        port = self.listener.getsockname()[1]
        env = dict(os.environ, HOME=self.dir, TERM="ansi")
        self.caller = PtyScreen([TELNET, "127.0.0.1", str(port)], encoding="cp437", env=env, label="telnet")
        self.listener.settimeout(10)
        self.conn, _ = self.listener.accept()
        self.door = None

    def tearDown(self):
        if self.door is not None and self.door.poll() is None:
            self.door.kill()
            self.door.wait(timeout=5)
        self.caller.close()
        self.conn.close()
        self.listener.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def start_door(self, args):
        fd = self.conn.fileno()
        self.door = subprocess.Popen([DOORTEST] + [a.replace("{fd}", str(fd)) for a in args], pass_fds=[fd],
                                     cwd=self.dir, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        # The BBS's copy goes; the door's is the caller's only connection.
        self.conn.close()

    def negotiation(self):
        lines = self.caller.transcript().replace("\r", "\n").split("\n")
        return [l.strip() for l in lines if l.strip().startswith(("RCVD ", "SENT "))]

    def play_session(self, greeting):
        self.caller.wait_for(greeting)
        self.caller.wait_for("Type a line:")
        self.caller.send(b"dragons\r")
        self.caller.wait_for("You typed: dragons")
        self.caller.wait_for("Press a key")
        self.caller.send(b"x\r")
        self.caller.wait_for("Key 120")
        self.assertEqual(self.door.wait(timeout=5), 0)

    def test_door32_sys_of_comm_type_2(self):
        drop = write_door32(os.path.join(self.dir, "DOOR32.SYS"), self.conn.fileno(), 2, "Ada Lovelace",
                            minutes=30, alias="ada")
        self.start_door(["-D" + drop])
        self.play_session("Hello Ada Lovelace!")
        self.caller.wait_for("Connection closed by foreign host.")

        # The door offered echo and binary once; the client agreed; the
        # door's answers to that agreement got no further reply.
        got = self.negotiation()
        self.assertEqual(got.count("SENT DO ECHO"), 1, got)
        self.assertEqual(got.count("SENT DO BINARY"), 1, got)
        self.assertLessEqual(len(got), 8, got)
        self.assertFalse(any(l.startswith("SENT WONT") or l.startswith("SENT DONT") for l in got), got)

    def test_handle_switches_and_a_caller_who_hangs_up(self):
        self.start_door(["-H{fd}", "-N1", "-T"])
        self.caller.wait_for("Type a line:")
        self.caller.send(b"both ways\r")
        self.caller.wait_for("You typed: both ways")
        self.caller.wait_for("Press a key")
        hung_up = time.time()
        self.caller.proc.send_signal(signal.SIGKILL)
        self.caller.proc.wait(timeout=5)
        self.assertEqual(self.door.wait(timeout=5), 0)
        self.assertLess(time.time() - hung_up, 3.0)


@unittest.skipUnless(have("doortest"), "doortest is not built")
class StdioCallerTest(unittest.TestCase):
    """The door on standard input and output, a pty the test holds."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        drop = write_door32(os.path.join(self.dir, "DOOR32.SYS"), 12345, 2, "Grace Hopper", minutes=30,
                            alias="grace")
        # A BBS passes the caller's bytes through unchanged: code page 437.
        self.door = PtyScreen([DOORTEST, "-S", "-D" + drop], encoding="cp437", cwd=self.dir)

    def tearDown(self):
        self.door.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def test_session_on_stdio(self):
        self.door.wait_for("Hello Grace Hopper!")
        self.door.wait_for("Type a line:")
        # Keys one at a time, not echoed by the terminal: the door echoes.
        for key in b"stdio":
            self.door.send(bytes([key]))
        self.door.wait_for("Type a line: stdio")
        self.door.send(b"\r")
        self.door.wait_for("You typed: stdio")
        self.door.wait_for("Press a key")
        self.door.send(b"k")
        self.door.wait_for("Key 107")
        self.assertEqual(self.door.exit_code(), 0)

    def test_hang_up_ends_the_door(self):
        self.door.wait_for("Type a line:")
        self.door.hang_up()
        self.assertEqual(self.door.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()
