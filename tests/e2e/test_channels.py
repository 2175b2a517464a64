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
import pty
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import unittest

import pyte

BIN = os.environ.get("DRAKMOOR_BIN", os.path.join(os.path.dirname(__file__), "../../build/bin"))
DOORTEST = os.path.join(BIN, "doortest")
TELNET = shutil.which("telnet") or shutil.which("inetutils-telnet")


class PtyScreen:
    """A program on a pty the test holds, its output rendered by pyte."""

    def __init__(self, argv, env=None, cwd=None):
        self.master, slave = pty.openpty()
        self.proc = subprocess.Popen(argv, stdin=slave, stdout=slave, stderr=slave, env=env, cwd=cwd,
                                     start_new_session=True)
        os.close(slave)
        self.screen = pyte.Screen(80, 25)
        self.stream = pyte.ByteStream(self.screen)
        self.raw = b""

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
            self.raw += data
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

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=5)
        if self.master >= 0:
            os.close(self.master)
            self.master = -1


def wait_exit(proc, timeout=5.0):
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def door32_sys(directory, comm_type, handle, real_name, alias):
    path = os.path.join(directory, "DOOR32.SYS")
    lines = [str(comm_type), str(handle), "115200", "Test BBS", "3", real_name, alias, "50", "30", "1", "1"]
    with open(path, "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    return path


@unittest.skipUnless(os.path.exists(DOORTEST), "doortest not built")
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
        self.caller = PtyScreen([TELNET, "127.0.0.1", str(port)], env=env)
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
        lines = self.caller.raw.decode("latin-1").replace("\r", "\n").split("\n")
        return [l.strip() for l in lines if l.strip().startswith(("RCVD ", "SENT "))]

    def play_session(self, greeting):
        self.caller.wait_for(greeting)
        self.caller.wait_for("Type a line:")
        self.caller.send(b"dragons\r")
        self.caller.wait_for("You typed: dragons")
        self.caller.wait_for("Press a key")
        self.caller.send(b"x\r")
        self.caller.wait_for("Key 120")
        self.assertEqual(wait_exit(self.door), 0)

    def test_door32_sys_of_comm_type_2(self):
        drop = door32_sys(self.dir, 2, self.conn.fileno(), "Ada Lovelace", "ada")
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
        self.assertEqual(wait_exit(self.door, 5.0), 0)
        self.assertLess(time.time() - hung_up, 3.0)


@unittest.skipUnless(os.path.exists(DOORTEST), "doortest not built")
class StdioCallerTest(unittest.TestCase):
    """The door on standard input and output, a pty the test holds."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        drop = door32_sys(self.dir, 2, 12345, "Grace Hopper", "grace")
        self.door = PtyScreen([DOORTEST, "-S", "-D" + drop], cwd=self.dir)

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
        self.assertEqual(wait_exit(self.door.proc), 0)

    def test_hang_up_ends_the_door(self):
        self.door.wait_for("Type a line:")
        os.close(self.door.master)
        self.door.master = -1
        self.assertEqual(wait_exit(self.door.proc, 5.0), 0)


if __name__ == "__main__":
    unittest.main()
