#!/usr/bin/env bash
# The example playbook contrib/ansible/site.yml with its role, run with
# `ansible-playbook -c local` against this machine as an administrator would
# run it against many: the first run copies the kit over and installs it
# (changed), the second finds nothing to copy (ok), check mode reports what a
# run would do and does nothing, a damaged kit fails with setup's message, a
# run that fails while copying fails with its error event's message, and
# check mode names the entry that would make it fail. The
# template directory is checked after each run. No display: setup runs its
# console.
set -euo pipefail
: "${SETUP_BIN:?}" "${DEMO_KIT:?}"
repo=$(cd "$(dirname "$0")/../.." && pwd)
command -v ansible-playbook >/dev/null || {
    echo "ansible-playbook missing: install ansible-core (scripts/setup-deps.sh does)" >&2
    exit 1
}
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-ansible.XXXXXX")
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
fail() {
    echo "FAIL [ansible_role]: $*" >&2
    [ -f "$work/play.log" ] && { echo "--- ansible-playbook:"; cat "$work/play.log"; } >&2
    exit 1
}
mkdir -p "$work/home" "$work/tmp"
unset DISPLAY WAYLAND_DISPLAY
target="$work/srv/templates"
printf '[workstations]\nlocalhost ansible_python_interpreter=/usr/bin/python3\n' >"$work/hosts"

# play KIT [ansible-playbook options]: one run of the playbook with KIT as the
# kit on this machine; its status in PLAY_STATUS, its output in play.log.
play() {
    local kit=$1
    shift
    PLAY_STATUS=0
    env HOME="$work/home" TMPDIR="$work/tmp" ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 \
        ansible-playbook -c local -i "$work/hosts" "$repo/contrib/ansible/site.yml" \
        -e setup_templates_source="$kit" -e setup_templates_kit="$work/host/kelda.efd" \
        -e setup_templates_program="$SETUP_BIN" -e setup_templates_dir="$target" \
        "$@" >"$work/play.log" 2>&1 || PLAY_STATUS=$?
}

# recap OK CHANGED FAILED: the play's recap line for the host.
recap() {
    grep -qE "^localhost +: ok=$1 +changed=$2 +unreachable=0 +failed=$3 " "$work/play.log" ||
        fail "expected ok=$1 changed=$2 failed=$3"
}

# snapshot: every entry of the template directory with its kind, and each
# file's time and size (a directory's time moves with the writability probe).
snapshot() {
    (cd "$target" && find . \( -type f -printf '%p f %T@ %s\n' \) -o -printf '%p %y\n' | sort)
}

mkdir -p "$work/host"
play "$DEMO_KIT"
[ "$PLAY_STATUS" = 0 ] || fail "the first run ended with $PLAY_STATUS"
recap 2 2 0
diff -r "$repo/examples/templates" "$target" >/dev/null ||
    fail "the template directory differs from the kit's tree"
before=$(snapshot)

play "$DEMO_KIT"
[ "$PLAY_STATUS" = 0 ] || fail "the second run ended with $PLAY_STATUS"
recap 2 0 0
[ "$(snapshot)" = "$before" ] || fail "the second run changed the template directory"

# Check mode: one file older, so a run would copy it; nothing changes.
touch -d "2001-01-01 00:00:00 UTC" "$target/accounting/accounts.csv"
before=$(snapshot)
play "$DEMO_KIT" --check
[ "$PLAY_STATUS" = 0 ] || fail "check mode ended with $PLAY_STATUS"
recap 2 1 0
[ "$(snapshot)" = "$before" ] || fail "check mode changed the template directory"

# A flipped byte in the kit's stream: refused before anything changes.
cp "$DEMO_KIT" "$work/damaged.efd"
size=$(stat -c %s "$work/damaged.efd")
printf '\x55' | dd of="$work/damaged.efd" bs=1 seek=$((size / 2)) conv=notrunc status=none
play "$work/damaged.efd"
[ "$PLAY_STATUS" != 0 ] || fail "the damaged kit's run succeeded"
recap 1 1 1
grep -q "FAILED! .*corrupted or not designed for this installation program" "$work/play.log" ||
    fail "the failure does not carry setup's message"
[ "$(snapshot)" = "$before" ] || fail "the damaged kit changed the template directory"

# A directory where a kit file goes, after the older file that the run
# replaces first: the run fails with its error event and puts all back.
rm "$target/common/settings.ini"
mkdir "$target/common/settings.ini"
before=$(snapshot)
play "$DEMO_KIT"
[ "$PLAY_STATUS" != 0 ] || fail "the run into a blocked place succeeded"
recap 1 1 1
grep -qE 'FAILED! .*"code": [0-9]+.*"msg": "[^"]+' "$work/play.log" ||
    fail "the failure does not carry the error event"
[ "$(snapshot)" = "$before" ] || fail "the failed run left the template directory changed"

# Check mode names the entry in the way.
play "$DEMO_KIT" --check
recap 1 0 1
grep -q 'FAILED! .*"msg": "a run would fail: common/settings.ini: a directory is in the way"' \
    "$work/play.log" || fail "check mode does not name the blocked entry"
echo "[ansible_role] passed"
