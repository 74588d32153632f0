#!/usr/bin/env bash
# Unattended runs with no display and no terminal at all: --console -S --dir
# with stdin from /dev/null, and the same without --console (the console is
# chosen by itself). The --status-fd events are parsed: in order, the
# percentages never going back, the last one 100, the counts right. A bad
# status descriptor is a usage error before anything changes, and a reader
# that goes away does not stop the install.
source "$(dirname "$0")/lib.sh"
console_init unattended
make_ledger_kit

# check_events FILE FILES COPIED KEPT: the event lines of one successful run.
check_events() {
    "$PYTHON" - "$@" <<'PY' || fail "status events: $(cat "$1")"
import json, sys
path, files, copied, kept = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
events = [json.loads(line) for line in open(path, encoding="utf-8")]
names = [e["event"] for e in events]
assert names[0] == "start" and names[-1] == "finished", names
assert set(names[1:-1]) == {"progress"}, names
assert events[0]["files"] == files, events[0]
percents = [e["percent"] for e in events if e["event"] == "progress"]
assert percents == sorted(percents) and percents[-1] == 100, percents
last = events[-2]
assert last["done"] == last["total"] == files, last
assert events[-1]["copied"] == copied and events[-1]["kept"] == kept, events[-1]
PY
}

target="$WORK/unattended"
run_setup --console -S --dir "$target" --status-fd 3 3>"$WORK/events" </dev/null
expect_status 0
same_tree "$WORK/tree" "$target"
launcher_lists_first "$target"
check_events "$WORK/events" 5 5 0
"$PYTHON" -c 'import json,sys; e=json.loads(open(sys.argv[1]).readline()); assert e["directory"]==sys.argv[2], e' \
    "$WORK/events" "$target" || fail "the start event names another directory"
no_leftovers

# No --console, no display: the console takes over by itself; stdin closed.
touch -d '2020-01-01 00:00:00 UTC' "$target/trade/prices.csv"
run_setup -S --dir "$target" --status-fd 3 3>"$WORK/events" <&-
expect_status 0 "without --console"
check_events "$WORK/events" 5 1 4
same_tree "$WORK/tree" "$target"

# A status descriptor that is not open, or open only for reading.
rm -rf "$(default_dir)" "$(launcher_file)"
run_setup --console -S --status-fd 9 </dev/null
expect_status 2 "with a closed status descriptor"
err_has "--status-fd"
run_setup --console -S --status-fd 4 4<"$WORK/tree/trade/prices.csv" </dev/null
expect_status 2 "with a read-only status descriptor"
nothing_installed

# The reader goes away before the run: events fail, the install does not.
"$PYTHON" - "$WORK" "$SETUP_BIN" <<'PY' || fail "status $? with the status reader gone"
import os, subprocess, sys
work, setup = sys.argv[1], sys.argv[2]
r, w = os.pipe()
os.close(r)
env = dict(os.environ, HOME=work + "/home", TMPDIR=work + "/tmp", LANG="en_US.UTF-8")
env.pop("XDG_STATE_HOME", None)
run = subprocess.run([setup, "usecwd", "--console", "-S", "--status-fd", str(w)],
                     cwd=work + "/kit", pass_fds=(w,), stdin=subprocess.DEVNULL, env=env,
                     stdout=subprocess.DEVNULL)
sys.exit(run.returncode)
PY
same_tree "$WORK/tree" "$(default_dir)"
no_leftovers
note "passed"
