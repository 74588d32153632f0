#!/usr/bin/env bash
# The Ansible role of contrib/ansible, run with `ansible-playbook -c local`
# against this machine as an administrator would: the first run installs the
# demo kit and reports changed, the second finds nothing to copy and reports
# ok, a damaged kit fails with setup's message, a run that fails while
# copying fails with its error event's message, and check mode reports what
# a run would do without doing it. The template directory is checked after
# each run. No display: setup runs its console.
set -euo pipefail
: "${SETUP_BIN:?}" "${DEMO_KIT:?}"
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
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
mkdir -p "$work/home" "$work/tmp" "$work/damaged"
unset DISPLAY WAYLAND_DISPLAY
target="$work/srv/templates"

cat >"$work/play.yml" <<'YAML'
- hosts: localhost
  gather_facts: false
  roles:
    - role: setup_templates
YAML

# play KIT [ansible-playbook options]: one run of the role; its status in
# PLAY_STATUS, its output in $work/play.log.
play() {
    local kit=$1
    shift
    PLAY_STATUS=0
    env HOME="$work/home" TMPDIR="$work/tmp" ANSIBLE_ROLES_PATH="$repo/contrib/ansible/roles" \
        ANSIBLE_NOCOLOR=1 ANSIBLE_FORCE_COLOR=0 ANSIBLE_RETRY_FILES_ENABLED=0 \
        ansible-playbook -c local -i localhost, "$work/play.yml" \
        -e ansible_python_interpreter=/usr/bin/python3 \
        -e setup_templates_program="$SETUP_BIN" -e setup_templates_kit="$kit" \
        -e setup_templates_dir="$target" "$@" >"$work/play.log" 2>&1 || PLAY_STATUS=$?
}

# recap OK CHANGED FAILED: the play's recap line for localhost.
recap() {
    grep -qE "^localhost +: ok=$1 +changed=$2 +unreachable=0 +failed=$3 " "$work/play.log" ||
        fail "expected ok=$1 changed=$2 failed=$3"
}

# snapshot: every file of the template directory with its time and size.
snapshot() {
    (cd "$target" && find . -type f -printf '%p %T@ %s\n' | sort)
}

# Check mode: would change, changes nothing.
play "$DEMO_KIT" --check
[ "$PLAY_STATUS" = 0 ] || fail "check mode ended with $PLAY_STATUS"
recap 1 1 0
[ ! -e "$target" ] || fail "check mode created the template directory"

play "$DEMO_KIT"
[ "$PLAY_STATUS" = 0 ] || fail "the first run ended with $PLAY_STATUS"
recap 1 1 0
diff -r "$repo/examples/templates" "$target" >/dev/null ||
    fail "the template directory differs from the kit's tree"
before=$(snapshot)

play "$DEMO_KIT"
[ "$PLAY_STATUS" = 0 ] || fail "the second run ended with $PLAY_STATUS"
recap 1 0 0
[ "$(snapshot)" = "$before" ] || fail "the second run changed the template directory"
play "$DEMO_KIT" --check
recap 1 0 0

# A flipped byte in the kit's stream: refused before anything changes.
cp "$DEMO_KIT" "$work/damaged/kelda.efd"
size=$(stat -c %s "$work/damaged/kelda.efd")
printf '\x55' | dd of="$work/damaged/kelda.efd" bs=1 seek=$((size / 2)) conv=notrunc status=none
play "$work/damaged/kelda.efd"
[ "$PLAY_STATUS" != 0 ] || fail "the damaged kit's run succeeded"
recap 0 0 1
grep -q "FAILED! .*corrupted or not designed for this installation program" "$work/play.log" ||
    fail "the failure does not carry setup's message"
[ "$(snapshot)" = "$before" ] || fail "the damaged kit changed the template directory"

# A directory where a kit file goes, the file made older so that it would be
# replaced first: the run fails with its error event and puts everything back.
touch -d "2001-01-01 00:00:00 UTC" "$target/accounting/accounts.csv"
rm "$target/common/settings.ini"
mkdir "$target/common/settings.ini"
before=$(snapshot)
play "$DEMO_KIT"
[ "$PLAY_STATUS" != 0 ] || fail "the run into a blocked place succeeded"
recap 0 0 1
grep -qE 'FAILED! .*"code": [0-9]+.*"msg": "[^"]+' "$work/play.log" ||
    fail "the failure does not carry the error event"
[ "$(snapshot)" = "$before" ] || fail "the failed run left the template directory changed"
echo "[ansible_role] passed"
