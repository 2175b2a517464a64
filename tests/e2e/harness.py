"""End-to-end harness: the built programs as child processes, the caller on
a real socket the program inherits (or a program on a pty, as on a
terminal), the screen rendered by pyte.

- Records: the host's files are built from small codecs (Player for the
  236-byte player record, the day counter, info files, DOOR32.SYS, the
  module list) in a temporary game directory, and read back with the same
  codecs afterwards. Game.install() puts a module in its own folder there,
  as the sandbox does.
- start_door() starts a program with the caller's socket inherited in each
  way the kit accepts: a DOOR32.SYS of comm type 2 ("door32"), the switches
  -H<fd> -N<node> -T ("handle"), or the host's info file with line 9 the
  descriptor and line 12 TELNET ("info"). The program's standard input and
  output are never a terminal.
- Terminal: what one side of a session sees and does. It renders what
  arrives, waits for text with a timeout and reports a failure with the
  screen, sends keys, and gives the exit code of the program started with
  it. Caller is the caller on a socket (code page 437; telnet commands
  stripped and 255 undoubled); PtyScreen is a program on a pty the test
  holds (UTF-8 for a local terminal, code page 437 for a remote caller's).
- SandboxServer: `sandbox serve` on a free port, and callers connecting to it.

Run with /usr/bin/python3 (Debian's python3-pyte). DRAKMOOR_BIN names the
directory of the built programs.
"""
import codecs
import fcntl
import os
import pty
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import termios
import time

import pyte

HERE = os.path.dirname(os.path.abspath(__file__))
BIN = os.path.abspath(os.environ.get("DRAKMOOR_BIN", os.path.join(HERE, "../../build/bin")))

COLUMNS, ROWS = 80, 25


def program(name):
    """The path of a built program, or name itself when it is a path."""
    return name if os.sep in name else os.path.join(BIN, name)


def have(name):
    return os.access(program(name), os.X_OK)


# A telnet client for the tests that put a real one in front of a program.
TELNET = shutil.which("telnet") or shutil.which("inetutils-telnet")


# ---------------------------------------------------------------- records

PLAYER_SIZE = 236

# Typed fields of the player record: offset and struct format.
PLAYER_FIELDS = {
    "hit_points": (72, "<h"),
    "hit_max": (78, "<h"),
    "fights_left": (105, "<h"),
    "gold": (109, "<i"),
    "bank": (113, "<i"),
    "defense": (117, "<h"),
    "strength": (119, "<h"),
    "charm": (121, "<h"),
    "level": (127, "<h"),
    "dead": (154, "<B"),
    "gems": (156, "<h"),
    "experience": (158, "<i"),
    "sex": (162, "<B"),
    "lays": (166, "<h"),
    "online": (170, "<B"),
    "player_class": (179, "<B"),
    "wins": (212, "<h"),
    "kills": (227, "<h"),
    "mood": (231, "<B"),
}
# Length-prefixed string areas: offset and width.
PLAYER_STRINGS = {"name": (0, 72), "weapon_name": (82, 23), "armor_name": (131, 23)}
SKILL_USES = 214  # one byte per class 1-3

MALE, FEMALE = 0, 5


class Player:
    """The host's player record. Keeps its raw bytes, so what a test does not
    set stays as it was read; fields read and write at their offsets."""

    def __init__(self, raw=None, **fields):
        self.__dict__["raw"] = bytearray(raw if raw is not None else PLAYER_SIZE)
        assert len(self.raw) == PLAYER_SIZE
        for key, value in fields.items():
            setattr(self, key, value)

    def __getattr__(self, key):
        if key in PLAYER_FIELDS:
            at, fmt = PLAYER_FIELDS[key]
            return struct.unpack_from(fmt, self.raw, at)[0]
        if key in PLAYER_STRINGS:
            at, width = PLAYER_STRINGS[key]
            n = min(self.raw[at], width - 1)
            return bytes(self.raw[at + 1:at + 1 + n]).decode("cp437")
        raise AttributeError(key)

    def __setattr__(self, key, value):
        if key in PLAYER_FIELDS:
            at, fmt = PLAYER_FIELDS[key]
            struct.pack_into(fmt, self.raw, at, value)
        elif key in PLAYER_STRINGS:
            at, width = PLAYER_STRINGS[key]
            data = value.encode("cp437")[:width - 1]
            self.raw[at] = len(data)
            self.raw[at + 1:at + 1 + len(data)] = data
        else:
            raise AttributeError(key)

    def skill_uses(self, cls):
        return self.raw[SKILL_USES + cls - 1]

    def set_skill_uses(self, cls, value):
        self.raw[SKILL_USES + cls - 1] = value

    def to_bytes(self):
        return bytes(self.raw)

    def __repr__(self):
        return "Player(%r, level=%d, gold=%d)" % (self.name, self.level, self.gold)


def patterned_player(index, **fields):
    """A record whose bytes outside the fields set carry a pattern (another
    one for each index), to see that a program writes them back unchanged."""
    return Player(bytes((i * 7 + index) & 0xFF for i in range(PLAYER_SIZE)), **fields)


def write_players(path, players):
    with open(path, "wb") as f:
        for p in players:
            f.write(p.to_bytes())


def read_players(path):
    with open(path, "rb") as f:
        data = f.read()
    return [Player(data[at:at + PLAYER_SIZE]) for at in range(0, len(data) - PLAYER_SIZE + 1, PLAYER_SIZE)]


def crlf(lines):
    """Lines as the game's text files hold them: CP437, each ended by CR LF."""
    return b"".join(line.encode("cp437") + b"\r\n" for line in lines)


def write_lines(path, lines):
    with open(path, "wb") as f:
        f.write(crlf(lines))


def read_lines(path):
    with open(path, "rb") as f:
        text = f.read().decode("cp437")
    lines = re.split(r"\r\n|\n|\r", text)
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def find_file(directory, name):
    """The file named name in directory, ignoring letter case, as the
    programs find them; the name as written when there is none."""
    for entry in os.listdir(directory):
        if entry.lower() == name.lower():
            return os.path.join(directory, entry)
    return os.path.join(directory, name)


def write_day(game_dir, day):
    write_lines(os.path.join(game_dir, "time.dat"), [str(day)])


def read_day(game_dir):
    return int(read_lines(find_file(game_dir, "time.dat"))[0])


def info_lines(record, name, handle, minutes=60, comm="TELNET"):
    """The 14 lines of the host's info file "info." + node; the caller's
    first and last name are the name split at its first blank."""
    first, _, last = name.partition(" ")
    return [str(record), "3", "", "FAIRY NO", str(minutes), name, first, last,
            str(handle), "", "", comm, "", "CLEAN MODE OFF"]


def write_info(game_dir, node, record, name, handle, **kw):
    path = os.path.join(game_dir, "info.%d" % node)
    write_lines(path, info_lines(record, name, handle, **kw))
    return path


def write_door32(path, handle, record, name, minutes=60, node=1, comm_type=2, alias=None):
    """A DOOR32.SYS; record is 0-based here (the file holds it plus 1). The
    alias line is the name unless one is given."""
    write_lines(path, [str(comm_type), str(handle), "115200", "Drakmoor BBS", str(record + 1),
                       name, alias if alias is not None else name, "10", str(minutes), "1", str(node)])
    return path


def read_registry(game_dir):
    """3rdparty.dat as (command line, title) pairs."""
    lines = read_lines(find_file(game_dir, "3rdparty.dat"))
    return [(lines[i], lines[i + 1] if i + 1 < len(lines) else "") for i in range(0, len(lines), 2)]


def write_registry(game_dir, entries):
    write_lines(os.path.join(game_dir, "3rdparty.dat"), [line for entry in entries for line in entry])


class Game:
    """A temporary game directory made from the codecs; removed by cleanup(),
    or at the end of a with block (a test's enterContext())."""

    def __init__(self, players=(), day=1, registry=()):
        self._tmp = tempfile.TemporaryDirectory(prefix="drakmoor-e2e-")
        self.path = self._tmp.name
        write_players(self.file("player.dat"), players)
        write_day(self.path, day)
        write_registry(self.path, registry)
        write_lines(self.file("lognow.txt"), [])

    def file(self, name):
        return os.path.join(self.path, name)

    def install(self, name):
        """Puts the built program name in doors/<name>/ through a symbolic
        link, as the sandbox installs a module; returns that folder."""
        folder = os.path.join(self.path, "doors", name)
        os.makedirs(folder)
        os.symlink(program(name), os.path.join(folder, name))
        return folder

    def players(self):
        return read_players(find_file(self.path, "player.dat"))

    def cleanup(self):
        self._tmp.cleanup()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.cleanup()


# ---------------------------------------------------------------- telnet

IAC, DONT, DO, WONT, WILL, SB, SE = 255, 254, 253, 252, 251, 250, 240
BINARY, ECHO, SGA = 0, 1, 3


class TelnetClient:
    """The caller's telnet side: strips commands from what the program
    sends, undoubles 255, and answers option requests once per change
    (accepting the program's echo, binary and suppress-go-ahead)."""

    def __init__(self):
        self.state = "data"
        self.command = 0
        self.theirs = set()
        self.ours = set()
        self.refused = set()

    def feed(self, data):
        """Returns (data bytes, answer bytes)."""
        out, answers = bytearray(), bytearray()
        for b in data:
            if self.state == "data":
                if b == IAC:
                    self.state = "iac"
                else:
                    out.append(b)
            elif self.state == "iac":
                if b == IAC:
                    out.append(b)
                    self.state = "data"
                elif b >= WILL:
                    self.command, self.state = b, "option"
                elif b == SB:
                    self.state = "sub"
                else:
                    self.state = "data"
            elif self.state == "option":
                self._answer(self.command, b, answers)
                self.state = "data"
            elif self.state == "sub":
                if b == IAC:
                    self.state = "sub_iac"
            elif self.state == "sub_iac":
                self.state = "data" if b == SE else "sub"
        return bytes(out), bytes(answers)

    def _answer(self, command, option, answers):
        if command == WILL:
            if option in (BINARY, ECHO, SGA):
                if option not in self.theirs:
                    self.theirs.add(option)
                    answers += bytes([IAC, DO, option])
            elif ("will", option) not in self.refused:
                self.refused.add(("will", option))
                answers += bytes([IAC, DONT, option])
        elif command == DO:
            if option in (BINARY, SGA):
                if option not in self.ours:
                    self.ours.add(option)
                    answers += bytes([IAC, WILL, option])
            elif ("do", option) not in self.refused:
                self.refused.add(("do", option))
                answers += bytes([IAC, WONT, option])


def escape(data):
    """Data as it goes out on a telnet connection: 255 doubled."""
    return data.replace(b"\xff", b"\xff\xff")


# ---------------------------------------------------------------- screen


class Screen:
    """An 80 x 25 terminal fed bytes in one encoding: code page 437 for
    what a caller receives, UTF-8 for what a local terminal shows. A
    character split over two feeds is put together."""

    def __init__(self, columns=COLUMNS, rows=ROWS, encoding="cp437"):
        self.screen = pyte.Screen(columns, rows)
        self.stream = pyte.Stream(self.screen)
        self.decoder = codecs.getincrementaldecoder(encoding)(errors="replace")

    def feed(self, data):
        self.stream.feed(self.decoder.decode(data))

    def text(self):
        return "\n".join(self.screen.display)

    def row(self, n):
        return self.screen.display[n]

    def dump(self):
        rule = "+" + "-" * self.screen.columns + "+"
        rows = ["|" + line + "|" for line in self.screen.display]
        return "\n".join([rule] + rows + [rule])


# ---------------------------------------------------------------- sessions


class Terminal:
    """One side of a session, whatever carries it: the bytes that arrive,
    rendered on a Screen; keys sent; waiting for text with a timeout, and a
    failure that shows the screen; the exit code of the program started
    with it. A subclass supplies _receive(), _send() and hang_up()."""

    def __init__(self, proc, label, encoding, log_path=None):
        self.proc = proc
        self.label = label
        self.encoding = encoding
        self.log_path = log_path
        self.screen = Screen(encoding=encoding)
        self.received = bytearray()  # every data byte, as it arrived
        self.closed = False  # the other side is gone; nothing more arrives

    # -- input from the program
    def _receive(self, timeout):
        """The next data within timeout, or None when none came (closed set
        when the other side has gone)."""
        raise NotImplementedError

    def pump(self, timeout=0.05):
        """Takes whatever arrives within timeout (and right after it)."""
        if self.closed:
            time.sleep(timeout)  # nothing more can come; still wait as asked
            return
        while not self.closed:
            data = self._receive(timeout)
            if data is None:
                return
            self.received += data
            self.screen.feed(data)
            timeout = 0

    def text(self):
        self.pump(0)
        return self.screen.text()

    def transcript(self):
        """Everything that arrived, as text."""
        return bytes(self.received).decode(self.encoding, errors="replace")

    def wait_for(self, needle, timeout=10.0, anywhere=False):
        """Waits until needle is on the screen (or, with anywhere, anywhere
        in what arrived, so text wrapped over two rows counts); fails with
        the screen shown, at once when nothing more can arrive."""
        start = time.monotonic()
        while True:
            self.pump(0.05)
            if needle in (self.transcript() if anywhere else self.screen.text()):
                return
            waited = time.monotonic() - start
            if waited > timeout or self.closed:
                raise AssertionError(self._report("%r not on the screen after %.1f s" % (needle, waited)))

    # -- output to the program
    def send(self, keys):
        """Sends keys: text (encoded as the terminal's characters) or bytes."""
        if isinstance(keys, str):
            keys = keys.encode(self.encoding)
        self._send(keys)

    def _send(self, data):
        raise NotImplementedError

    # -- the end
    def exit_code(self, timeout=10.0):
        """Waits for the program's end (taking its output meanwhile) and
        returns its exit code; fails with the screen shown."""
        assert self.proc is not None, "no program started with %s" % self.label
        end = time.monotonic() + timeout
        while self.proc.poll() is None:
            if time.monotonic() > end:
                raise AssertionError(self._report("the program did not end within %.1f s" % timeout))
            self.pump(0.05)
        self.pump(0)
        return self.proc.returncode

    def hang_up(self):
        raise NotImplementedError

    def close(self):
        """Ends the program if it still runs and drops the connection; also
        at the end of a with block (a test's enterContext())."""
        if self.proc is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.hang_up()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _report(self, what):
        if self.proc is not None and self.proc.poll() is not None:
            what += " (the program ended with exit code %d)" % self.proc.returncode
        elif self.closed:
            what += " (connection closed)"
        return "%s: %s\n%s%s" % (self.label, what, self.screen.dump(), self._log_tail())

    def _log_tail(self):
        if not self.log_path or not os.path.exists(self.log_path):
            return ""
        with open(self.log_path, "rb") as f:
            tail = f.read()[-2000:].decode("cp437")
        return "\n-- program output --\n" + tail if tail.strip() else ""


class Caller(Terminal):
    """The caller on one connection: a socket (to a door or to the sandbox's
    node server) and, for a door started here, its process. What arrives is
    code page 437 with telnet commands in it; they are answered and taken
    out, and keys go out with 255 doubled."""

    def __init__(self, sock, proc=None, label="caller", log_path=None):
        super().__init__(proc, label, "cp437", log_path)
        self.sock = sock
        self.sock.setblocking(False)
        self.telnet = TelnetClient()

    def _receive(self, timeout):
        r, _, _ = select.select([self.sock], [], [], timeout)
        if not r:
            return None
        try:
            chunk = self.sock.recv(65536)
        except (BlockingIOError, InterruptedError):
            return None
        except OSError:
            chunk = b""
        if not chunk:
            self.closed = True
            return None
        data, answers = self.telnet.feed(chunk)
        if answers:
            self._send_raw(answers)
        return data

    def _send(self, data):
        self._send_raw(escape(data))

    def _send_raw(self, data):
        self.sock.setblocking(True)
        try:
            self.sock.sendall(data)
        except OSError:
            self.closed = True
        finally:
            self.sock.setblocking(False)

    def wait_closed(self, timeout=10.0):
        end = time.monotonic() + timeout
        while not self.closed:
            if time.monotonic() > end:
                raise AssertionError(self._report("the connection stayed open"))
            self.pump(0.05)

    def hang_up(self):
        """Drops the connection, as a caller who hangs up."""
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()
        self.closed = True


class PtyScreen(Terminal):
    """A program on a pty the test holds, as on a terminal: its standard
    input, output and error. encoding is what the program draws in (UTF-8
    on a local terminal; code page 437 for a remote caller, as a telnet
    client or a BBS that runs doors on standard input and output passes
    it). With controlling, the pty is the program's controlling terminal,
    so Ctrl-C raises SIGINT and closing the pty sends SIGHUP; without, the
    program sees only the end of its input."""

    def __init__(self, argv, encoding="utf-8", cwd=None, env=None, controlling=False, label=None):
        master, slave = pty.openpty()
        make_controlling = (lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0)) if controlling else None
        try:
            proc = subprocess.Popen(argv, stdin=slave, stdout=slave, stderr=slave, cwd=cwd, env=env,
                                    start_new_session=True, preexec_fn=make_controlling)
        except BaseException:
            os.close(master)
            raise
        finally:
            os.close(slave)
        super().__init__(proc, label or "%s on a pty" % os.path.basename(argv[0]), encoding)
        self.master = master

    def _receive(self, timeout):
        r, _, _ = select.select([self.master], [], [], timeout)
        if not r:
            return None
        try:
            data = os.read(self.master, 65536)
        except (BlockingIOError, InterruptedError):
            return None
        except OSError:
            data = b""  # EIO: no process holds the pty's other side any more
        if not data:
            self.closed = True
            return None
        return data

    def _send(self, data):
        while data:
            data = data[os.write(self.master, data):]

    def hang_up(self):
        """Closes the pty, as a terminal that goes away."""
        if self.master >= 0:
            os.close(self.master)
            self.master = -1
        self.closed = True


def start_door(name, game_dir, how="info", node=1, record=0, user="Sandy Caller", args=(), minutes=60):
    """Starts a program with the caller's socket inherited, as a BBS does:
    how is "door32" (a DOOR32.SYS of comm type 2), "handle" (-H<fd> -N<node>
    -T) or "info" (the host's info file, line 9 the descriptor, line 12
    TELNET). args come first on the command line (kelvane and orvtime take
    the node there). The game directory is the working directory; standard
    input is /dev/null and standard output a log file."""
    ours, theirs = socket.socketpair()
    fd = theirs.fileno()
    argv = [program(name)] + list(args)
    if how == "door32":
        write_door32(os.path.join(game_dir, "DOOR32.SYS"), fd, record, user, minutes, node)
        argv.append("-D" + os.path.join(game_dir, "DOOR32.SYS"))
    elif how == "handle":
        argv += ["-H%d" % fd, "-N%d" % node, "-T"]
    elif how == "info":
        write_info(game_dir, node, record, user, fd, minutes=minutes)
        argv.append("-Dinfo.%d" % node)
    else:
        raise ValueError(how)
    log_path = os.path.join(game_dir, ".%s-node%d.log" % (os.path.basename(name), node))
    with open(log_path, "wb") as log:
        proc = subprocess.Popen(argv, cwd=game_dir, stdin=subprocess.DEVNULL, stdout=log,
                                stderr=subprocess.STDOUT, pass_fds=(fd,), start_new_session=True)
    theirs.close()
    return Caller(ours, proc, "%s on node %d" % (os.path.basename(name), node), log_path)


# ---------------------------------------------------------------- sandbox


def sandbox(*args, timeout=30):
    """Runs the sandbox with args; returns the completed process."""
    return subprocess.run([program("sandbox")] + list(args), stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=timeout)


class SandboxServer:
    """`sandbox serve DIR --port 0` in the background; connect() gives a
    Caller on a new telnet connection."""

    def __init__(self, game_dir):
        self.log_path = os.path.join(game_dir, ".sandbox-serve.log")
        self._log = open(self.log_path, "wb")
        self.proc = subprocess.Popen([program("sandbox"), "serve", game_dir, "--port", "0"],
                                     stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT)
        self.port = None
        end = time.monotonic() + 10
        while self.port is None:
            m = re.search(r"on 127\.0\.0\.1:(\d+)", self.log())
            if m:
                self.port = int(m.group(1))
            elif self.proc.poll() is not None or time.monotonic() > end:
                raise AssertionError("sandbox serve did not start:\n" + self.log())
            else:
                time.sleep(0.02)
        self.callers = []

    def log(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode("cp437")

    def connect(self, label=None):
        sock = socket.create_connection(("127.0.0.1", self.port), timeout=5)
        caller = Caller(sock, None, label or "caller %d" % (len(self.callers) + 1))
        self.callers.append(caller)
        return caller

    def stop(self, timeout=10):
        """Stops the server as Ctrl-C does; returns its exit code."""
        for caller in self.callers:
            caller.close()
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGINT)
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self._log.close()
        return self.proc.returncode
