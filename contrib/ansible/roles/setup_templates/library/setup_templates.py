#!/usr/bin/python3
# An Ansible module that installs configuration templates from a kit with
# `setup`, unattended, and reports the outcome in Ansible's terms: changed
# when the run copied at least one file, ok when every file was already at
# least as new, failed with the program's own message otherwise. It reads the
# program's status events (--status-fd) from a temporary file, so a long run
# never blocks on a full pipe.

DOCUMENTATION = r"""
module: setup_templates
short_description: Install configuration templates from a kit file with setup
description:
  - Runs C(setup --console -S --kit KIT --dir DIR --status-fd N) with no
    terminal and reads its status events.
  - Changed when the finished event copied at least one file; ok when nothing
    needed copying; failed with the error event's message (or the program's
    own message when it refused to start) otherwise.
  - In check mode runs C(setup --dry-run) instead and reports whether a run
    would copy anything, or fails naming the entries that would make it fail;
    nothing changes.
options:
  kit:
    description: Path of the kit file (kelda.efd) on the managed host.
    type: path
    required: true
  dir:
    description: Template directory to install into; made when missing.
    type: path
    required: true
  setup:
    description: The setup program, a path or a name looked up in PATH.
    type: str
    default: setup
  language:
    description: Language code of the program's messages (-L), e.g. en or de.
    type: str
    default: en
"""

RETURN = r"""
copied: {description: Files the run wrote., type: int, returned: success}
kept: {description: Files already at least as new., type: int, returned: success}
files: {description: Files in the kit., type: int, returned: when the run started}
directory: {description: The template directory as the program resolved it., type: str, returned: when the run started}
rc: {description: The program's exit status., type: int, returned: always}
"""

import json
import os
import subprocess
import tempfile

from ansible.module_utils.basic import AnsibleModule


def read_events(stream):
    """The event objects the program wrote, in order; a line that does not
    parse (the run was killed in the middle of a write) is skipped."""
    stream.seek(0)
    events = []
    for line in stream.read().decode("utf-8", "replace").splitlines():
        try:
            events.append(json.loads(line))
        except ValueError:
            continue
    return events


def one_line(text):
    """A message of several lines (a text, then the path it is about) as one."""
    return " ".join(line.strip() for line in (text or "").splitlines() if line.strip())


def program_message(stderr, rc):
    """The program's own message on stderr, as one line."""
    return one_line(stderr) or "setup ended with status %d" % rc


def run_check(module, base):
    """Check mode: what a run would do, from the dry run's listing."""
    # The listing's words are read here: always in English.
    english = ["-Len" if word.startswith("-L") else word for word in base]
    run = subprocess.run(english + ["--dry-run"], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True, errors="replace")
    blocked = [line.split(None, 1)[1] for line in run.stdout.splitlines()
               if line.startswith("blocked ")]
    if run.returncode != 0:
        # A blocked entry: the listing says which, and why.
        message = ("a run would fail: " + "; ".join(blocked)) if blocked else \
            program_message(run.stderr, run.returncode)
        module.fail_json(msg=message, rc=run.returncode, stdout=run.stdout)
    verdicts = [line.split(None, 1)[0] for line in run.stdout.splitlines() if line.strip()]
    writes = sum(1 for verdict in verdicts if verdict in ("new", "update"))
    module.exit_json(changed=writes > 0, copied=writes,
                     kept=sum(1 for verdict in verdicts if verdict == "keep"),
                     rc=0, stdout=run.stdout)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            kit=dict(type="path", required=True),
            dir=dict(type="path", required=True),
            setup=dict(type="str", default="setup"),
            language=dict(type="str", default="en"),
        ),
        supports_check_mode=True,
    )
    params = module.params
    program = params["setup"]
    if "/" not in program:
        program = module.get_bin_path(program, required=True)
    # -S before -L: the language option ends the scan of the old-style words.
    base = [program, "--console", "-S", "-L" + params["language"],
            "--kit", params["kit"], "--dir", params["dir"]]
    if module.check_mode:
        run_check(module, base)

    with tempfile.TemporaryFile() as events_file:
        fd = events_file.fileno()
        run = subprocess.run(base + ["--status-fd", str(fd)], pass_fds=(fd,),
                             stdin=subprocess.DEVNULL, capture_output=True,
                             text=True, errors="replace")
        events = read_events(events_file)

    result = dict(rc=run.returncode)
    start = next((e for e in events if e.get("event") == "start"), None)
    if start is not None:
        result.update(files=start.get("files"), directory=start.get("directory"))
    last = events[-1] if events else {}
    if last.get("event") == "finished" and run.returncode == 0:
        copied = int(last.get("copied", 0))
        module.exit_json(changed=copied > 0, copied=copied,
                         kept=int(last.get("kept", 0)), **result)
    error = next((e for e in reversed(events) if e.get("event") == "error"), None)
    if error is not None:
        module.fail_json(msg=one_line(error.get("message")) or
                         program_message(run.stderr, run.returncode),
                         code=error.get("code"), stderr=run.stderr, **result)
    if last.get("event") == "cancelled":
        module.fail_json(msg="the installation was cancelled; the template directory "
                             "was restored", stderr=run.stderr, **result)
    module.fail_json(msg=program_message(run.stderr, run.returncode), stderr=run.stderr,
                     **result)


if __name__ == "__main__":
    main()
