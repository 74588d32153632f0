"""Runs a program on a pseudo-terminal and answers its prompts.

Usage: pty_run.py SCRIPT PROGRAM ARGS...
SCRIPT is a list of steps separated by ";;": "expect:TEXT" waits until the
output holds TEXT (after the previous expectation), "send:TEXT" types TEXT
and Enter, "eof" sends end of input (Ctrl-D), "int" sends Ctrl-C (SIGINT
through the terminal). The terminal's output goes to stdout; the exit status
is the program's. A step that waits more than 60 s fails the run (status 125).
PTY_COLUMNS, when set, is the terminal's width (else it reports none).
"""
import fcntl
import os
import pty
import select
import struct
import sys
import termios
import time


def main():
    steps = [s for s in sys.argv[1].split(";;") if s]
    pid, fd = pty.fork()
    if pid == 0:
        os.execv(sys.argv[2], sys.argv[2:])
    if os.environ.get("PTY_COLUMNS"):
        size = struct.pack("HHHH", 24, int(os.environ["PTY_COLUMNS"]), 0, 0)
        fcntl.ioctl(fd, termios.TIOCSWINSZ, size)
    output = b""
    seen = 0

    def read_some(timeout):
        nonlocal output
        ready, _, _ = select.select([fd], [], [], timeout)
        if not ready:
            return True
        try:
            data = os.read(fd, 65536)
        except OSError:
            return False
        if not data:
            return False
        output += data
        return True

    for step in steps:
        kind, _, arg = step.partition(":")
        if kind == "expect":
            want = arg.encode()
            end = time.monotonic() + 60
            while output.find(want, seen) < 0:
                if time.monotonic() > end or not read_some(0.5):
                    sys.stdout.buffer.write(output)
                    sys.stderr.write("pty_run: did not see %r\n" % arg)
                    os.kill(pid, 9)
                    os.waitpid(pid, 0)
                    sys.exit(125)
            seen = output.find(want, seen) + len(want)
        elif kind == "send":
            os.write(fd, arg.encode() + b"\r")
        elif kind == "eof":
            os.write(fd, b"\x04")
        elif kind == "int":
            os.write(fd, b"\x03")
    while read_some(60):
        pass
    _, status = os.waitpid(pid, 0)
    sys.stdout.buffer.write(output)
    sys.exit(os.waitstatus_to_exitcode(status) & 0xFF)


main()
