#!/usr/bin/env python3
"""Runs every command the README shows, so that an example can never drift.

The README's fenced blocks say what they are:
  sh       commands, run as written, in order, in one shell (set -e);
  console  a transcript: each "$ " line is run, and what it prints (stdout
           and stderr) must be the lines that follow it, exactly;
  text, yaml, json
           not commands.
A block right after a line "<!-- run by FILE -->" holds commands that cannot
run inside the test suite (the build, the test suite itself, the wizard on a
display): FILE is the script that runs them, and each command's first two
words must appear together on one of its lines.

The commands run in a sandbox laid out like the source tree (its folders
linked, build/ the build under test), with a home of their own, no display,
English texts, and an empty line on stdin for every question.

Usage: BUILD_DIR=<build> test_readme.py
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
KINDS_RUN = {"sh", "console"}
KINDS_QUIET = {"text", "yaml", "json"}


def fail(message):
    print("FAIL [readme]: " + message, file=sys.stderr)
    sys.exit(1)


def blocks(path):
    """(line number, kind, run-by file or None, lines) of each fenced block."""
    lines = open(path, encoding="utf-8").read().split("\n")
    found = []
    i = 0
    while i < len(lines):
        match = re.match(r"^```(\S*)\s*$", lines[i])
        if not match:
            i += 1
            continue
        start = i
        kind = match.group(1)
        marker = re.match(r"^<!-- run by (\S+) -->$", lines[i - 1]) if i > 0 else None
        i += 1
        body = []
        while i < len(lines) and lines[i] != "```":
            body.append(lines[i])
            i += 1
        if i == len(lines):
            fail("README.md:%d: the block is not closed" % (start + 1))
        found.append((start + 1, kind, marker.group(1) if marker else None, body))
        i += 1
    return found


def commands(body):
    """The commands of a sh block: continuation lines joined, comments and
    blank lines dropped, "&&" chains split."""
    joined, current = [], ""
    for line in body:
        if line.endswith("\\"):
            current += line[:-1] + " "
            continue
        joined.append(current + line)
        current = ""
    result = []
    for line in joined:
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        result.extend(part.strip() for part in line.split("&&"))
    return result


def check_run_by(number, script, body):
    path = os.path.join(REPO, script)
    if not os.path.isfile(path):
        fail("README.md:%d: %s, named as running the block, does not exist" % (number, script))
    text = open(path, encoding="utf-8").read().split("\n")
    for command in commands(body):
        words = shlex.split(command)[:2]
        if not any(all(word in line for word in words) for line in text):
            fail("README.md:%d: %s does not run \"%s\"" % (number, script, command))


def transcript(number, body):
    """[(line number, command, expected output lines)] of a console block."""
    steps = []
    for offset, line in enumerate(body):
        if line.startswith("$ "):
            steps.append((number + 1 + offset, line[2:], []))
        elif not steps:
            fail("README.md:%d: a console block starts with a command line" % number)
        else:
            steps[-1][2].append(line)
    return steps


def main():
    build = os.environ.get("BUILD_DIR")
    if not build:
        fail("BUILD_DIR is not set")
    found = blocks(os.path.join(REPO, "README.md"))
    work = tempfile.mkdtemp(prefix="setup-readme.", dir=os.environ.get("TMPDIR"))
    checkout, home, expected = (os.path.join(work, name) for name in ("src", "home", "expected"))
    for folder in (checkout, home, expected, os.path.join(work, "tmp")):
        os.makedirs(folder)
    for entry in os.listdir(REPO):
        if entry != ".git" and not entry.startswith("build"):
            os.symlink(os.path.join(REPO, entry), os.path.join(checkout, entry))
    os.symlink(os.path.abspath(build), os.path.join(checkout, "build"))

    script = ["set -euo pipefail"]
    ran = 0
    for number, kind, run_by, body in found:
        if kind not in KINDS_RUN | KINDS_QUIET:
            fail("README.md:%d: a block of kind \"%s\": say sh, console or text" % (number, kind))
        if run_by:
            check_run_by(number, run_by, body)
            continue
        if kind == "sh":
            script.append("echo '[readme] README.md:%d' >&2" % number)
            script.extend(body)
            ran += 1
            continue
        if kind != "console":
            continue
        for line, command, output in transcript(number, body):
            want = os.path.join(expected, str(line))
            with open(want, "w", encoding="utf-8") as f:
                f.write("".join(text + "\n" for text in output))
            script.append("echo '[readme] README.md:%d' >&2" % line)
            script.append("{ %s\n} >\"$README_OUT\" 2>&1 || true" % command)
            script.append("diff -u %s \"$README_OUT\" >&2 || "
                          "{ echo 'README.md:%d prints otherwise: %s' >&2; exit 1; }"
                          % (shlex.quote(want), line, command.replace("'", "")))
            ran += 1
    if ran < 10:
        fail("only %d blocks and transcript lines ran: is the README still marked up?" % ran)

    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(HOME=home, TMPDIR=os.path.join(work, "tmp"), LANG="C.UTF-8",
               PATH=os.path.join(home, ".local", "bin") + ":" + env.get("PATH", ""),
               README_OUT=os.path.join(work, "actual"))
    env.pop("LC_ALL", None)
    env.pop("LANGUAGE", None)
    # An empty line answers every question with its default.
    log = os.path.join(work, "log")
    with open(log, "w") as out:
        run = subprocess.run(["bash", "-c", "\n".join(script)], cwd=checkout, env=env,
                             input="\n" * 10000, text=True, stdout=out,
                             stderr=subprocess.STDOUT)
    if run.returncode != 0:
        sys.stderr.write("".join(open(log, errors="replace").readlines()[-60:]))
        fail("a README command ended with status %d (the last README.md line named above); "
             "sandbox kept in %s" % (run.returncode, work))
    subprocess.run(["rm", "-rf", work])
    print("[readme] passed: %d commands and transcripts" % ran)


if __name__ == "__main__":
    main()
