"""A terminal program through a pseudo-terminal that this script reads at
the pace it likes: bursts of keys never stop the printer, and every end
gives the terminal back, however slow the reader or stopped the output.

Usage: python3 terminal_flow.py BIN_DIR SCRATCH_DIR
Prints PASS, or FAIL and why (status 1).
"""
import fcntl
import glob
import os
import signal
import struct
import sys
import termios
import threading
import time

BIN_DIR, SCRATCH = sys.argv[1], sys.argv[2]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


class Session:
    """One program on a terminal of 80x25 of its own; a thread reads what
    it writes, at most `rate` bytes a second (None: as fast as it comes)."""

    def __init__(self, program, directory, rate=None):
        master, slave = os.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
        self.slave_name = os.ttyname(slave)
        self.modes_before = termios.tcgetattr(slave)
        self.pid = os.fork()
        if self.pid == 0:
            os.close(master)
            os.login_tty(slave)
            os.chdir(directory)
            env = dict(os.environ, TERM="xterm-256color", LANG="C.UTF-8")
            os.execve(program, [program], env)
        self.slave = slave  # kept, to read the modes after the program
        self.program = program
        self.master = master
        self.directory = directory
        self.rate = rate
        self.output = bytearray()
        self.status = None
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            rate = self.rate
            try:
                if rate:
                    time.sleep(0.1)
                chunk = os.read(self.master, max(1, rate // 10) if rate else 65536)
            except OSError:
                return
            if not chunk:
                return
            self.output += chunk

    def send(self, data):
        os.write(self.master, data)

    def fail(self, message):
        """Ends the program and fails naming it, with the last of what it
        wrote."""
        self.end()
        fail("%s: %s; its output ends with %r" % (os.path.basename(self.program), message, bytes(self.output[-200:])))

    def sheets(self):
        lines = 0
        for path in glob.glob(os.path.join(self.directory, "PRINT", "*")):
            with open(path) as printed:
                lines += printed.read().count("\n")
        return lines // 10

    def wait_for_end(self, seconds):
        """True when the program ended within `seconds`."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.status = status
                return True
            time.sleep(0.01)
        return False

    def end(self):
        if self.master is None:
            return
        if self.status is None:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
            self.status = -1
        os.close(self.master)
        os.close(self.slave)
        self.master = None


def wait_until(seconds, check):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if check():
            return True
        time.sleep(0.1)
    return check()


def directory(name):
    path = os.path.join(SCRATCH, name)
    os.makedirs(path)
    with open(os.path.join(path, "doc.txt"), "w") as doc:
        doc.write("x\n" * 150)  # 16 sheets, 150 ink
    for name in ("fi1.txt", "fi2.txt"):
        open(os.path.join(path, name), "w").close()
    return path


def printing_session(program):
    """The program printing doc.txt. Nothing here counts on how fast the
    program starts or how many steps have filled the printer: keys go once
    the program marks pastes (its modes are set), and the Print is sent
    again until a sheet comes: one refused for want of supplies queues
    nothing, an extra job only adds sheets."""
    session = Session(os.path.join(BIN_DIR, program), directory(program))
    if not wait_until(10, lambda: b"\x1b[?2004h" in session.output):
        session.fail("it never drew its screen")
    session.send(b"admin Add User ann\r")
    session.send(b"admin Refill Ink=500 Paper=50\r")
    for _ in range(8):
        session.send(b"ann Print doc.txt\r")
        if wait_until(2, lambda: session.sheets() >= 1):
            return session
    session.fail("the job never printed")


# 5,000 Ctrl-L, then 5,000 Tabs (completing and listing by turns), each in
# one write: the sheets keep coming, and SIGTERM still ends the program at
# once.
def burst(program):
    session = printing_session(program)
    try:
        for name, keys in (("Ctrl-L", b"\x0c" * 5000), ("Tab", b"ann Print fi" + b"\t" * 5000)):
            before = session.sheets()
            session.send(keys)
            if not wait_until(6, lambda: session.sheets() >= before + 2):
                session.fail("printing stalled after 5000 %s: %d sheets, from %d" % (name, session.sheets(), before))
        os.kill(session.pid, signal.SIGTERM)
        if not session.wait_for_end(1):
            session.fail("SIGTERM did not end it within a second after the bursts")
        if not os.WIFSIGNALED(session.status) or os.WTERMSIG(session.status) != signal.SIGTERM:
            session.fail("it did not end by SIGTERM: status %r" % session.status)
    finally:
        session.end()


def is_given_back(output):
    """True when the output ends on the normal screen, in the normal
    character set, with bracketed paste off: each is set after the last
    byte that set otherwise, and only a few bytes follow the normal screen."""
    normal_screen = output.rfind(b"\x1b[?1049l")
    return (normal_screen > output.rfind(b"\x1b[?1049h")
            and len(output) - normal_screen < 32
            and output.rfind(b"\x1b(B") > output.rfind(b"\x1b(0")
            and output.rfind(b"\x1b[?2004l") > output.rfind(b"\x1b[?2004h"))


# Over a terminal read at 960 bytes a second, after 200 Ctrl-L in one
# write (a repaint each would queue more than a minute of output): each way
# of ending leaves the restoring bytes last, after everything else, and
# the terminal's modes as they were.
def slow_end(how):
    session = Session(os.path.join(BIN_DIR, "quillbay"), directory("slow-" + how), rate=960)
    try:
        if not wait_until(10, lambda: b"\x1b[?2004h" in session.output):
            session.fail(how + ": it never drew its screen")
        session.send(b"\x0c" * 200)
        time.sleep(2)
        stopper = None
        if how == "quit":
            session.send(b"quit\r")
        elif how == "SIGTERM":
            os.kill(session.pid, signal.SIGTERM)
        else:
            stopper = os.open(session.slave_name, os.O_RDWR | os.O_NOCTTY)
            termios.tcflow(stopper, termios.TCOOFF)
            time.sleep(0.3)
            os.kill(session.pid, signal.SIGTERM)
        if not session.wait_for_end(1):
            fail(how + ": the program did not end within a second")
        if stopper is not None:
            termios.tcflow(stopper, termios.TCOON)
            os.close(stopper)
        session.rate = None
        time.sleep(1)
        if not is_given_back(bytes(session.output)):
            fail(how + ": the restoring bytes do not come last; the output ends with %r" % session.output[-120:])
        if termios.tcgetattr(session.slave) != session.modes_before:
            fail(how + ": the terminal's modes were not given back")
    finally:
        session.end()


for program in ("quillbay", "quillbay-thread"):
    burst(program)
for how in ("quit", "SIGTERM", "TCOOFF, SIGTERM, TCOON"):
    slow_end(how)
print("PASS")
