#!/usr/bin/env bash
# A copy run with no display killed with SIGKILL, and what may happen before
# the next start: a restart that empties the temporary directory (a tmpfs of
# its own, unmounted, when run as root); the user's edits; the staging folder
# replaced by a link, opened to others, or (as root) handed to another user.
# Each next start undoes what it may, names what it left alone or refused,
# and loses no earlier version; hard links and folder times come back. Then
# runs into nested template directories: never two at once.
source "$(dirname "$0")/lib.sh"
console_init interrupted

COUNT=6000
"$LARGE_KIT_BIN" "$WORK/kit/kelda.efd" "$COUNT" 256 || fail "could not build the large kit"
target="$WORK/target"
OTHER_USER=""
cleanup_interrupted() {
    local m
    for m in "$WORK/disk" "$WORK/mounted" "$WORK/tmp"; do
        mountpoint -q "$m" 2>/dev/null && umount "$m"
    done
    [ -n "$OTHER_USER" ] && userdel "$OTHER_USER" 2>/dev/null
    e2e_cleanup
}
trap cleanup_interrupted EXIT
if [ "$(id -u)" = 0 ]; then
    mount -t tmpfs -o size=64m tmpfs "$WORK/tmp" || fail "cannot mount a tmpfs"
fi

prepare() {
    rm -rf "$target"
    mkdir -p "$target/set0" "$target/other"
    echo "old copy" >"$target/set0/file00000000"
    touch -d '2020-01-01 00:00:00 UTC' "$target/set0/file00000000"
    ln "$target/set0/file00000000" "$target/other/hard-link"
    echo "the user's own file" >"$target/notes.txt"
    touch -d '2001-01-01 00:00:00 UTC' "$target" "$target/set0" "$target/other"
    before=$(snapshot "$target")
}

# A message of the catalogue with %1 (and %2) filled in.
message() {
    local m
    m=$(text "$1")
    m=${m//%1/$2}
    echo "${m//%2/${3:-}}"
}

# kill_at PERCENT [PLACE]: an unattended run into $target, killed once past
# PERCENT; its record must be in PLACE (the state directory's place).
kill_at() {
    start_setup_bg --console -S --dir "$target" --status-fd 3 3>"$WORK/events" </dev/null
    local i
    for i in $(seq 1200); do
        grep -qE "\"percent\":([$1-9][0-9]|100)" "$WORK/events" 2>/dev/null && break
        kill -0 "$SETUP_PID" 2>/dev/null || fail "the run ended before $1 %"
        sleep 0.05
    done
    kill -KILL "$SETUP_PID"
    wait "$SETUP_PID" 2>/dev/null || true
    SETUP_PID=""
    ls "${2:-$(state_place)}" | grep -q '^kvtmp[0-9]*\.journal$' || fail "no run record after the kill"
}

# next_start: a start that recovers, then ends at the prompt's end of input.
next_start() {
    run_setup --console </dev/null
    expect_status 3 "at the start after the kill"
}

undone() {
    [ "$(snapshot "$target")" = "$before" ] || fail "the directory is not as before ($1)"
    [ "$(stat -c %h "$target/set0/file00000000")" = 2 ] || fail "the hard link is broken ($1)"
    [ "$(stat -c %Y "$target/set0")" = "$(date -d '2001-01-01 00:00:00 UTC' +%s)" ] ||
        fail "the folder's time is not back ($1)"
    no_leftovers
}

# 1. A restart: the temporary directory is emptied.
prepare
kill_at 3
if mountpoint -q "$WORK/tmp"; then
    umount "$WORK/tmp" && mount -t tmpfs -o size=64m tmpfs "$WORK/tmp"
else
    rm -rf "${WORK:?}/tmp/"*
fi
next_start
err_has "$(message IDS_RECOVERY_DONE "$target")"
undone "after a restart"
note "a restart: undone"

# 2. The user edits a file the run replaced and writes one where the run had
# not been yet; both stay, and the earlier version of the edited one is kept.
prepare
kill_at 3
[ "$(cat "$target/set0/file00000000")" != "old copy" ] || fail "the first file was not replaced yet"
echo "the user's edit" >"$target/set0/file00000000"
mkdir -p "$target/set199"
echo "the user's own, where the run was going" >"$target/set199/file00019999"
next_start
kept="$(state_place)/kvtmp0"
err_has "$(message IDS_RECOVERY_NOTRESTORED "$target" "$kept")"
err_has "$(text IDS_RECOVERY_LEFTALONE)"
err_has "$target/set0/file00000000"
[ "$(cat "$target/set0/file00000000")" = "the user's edit" ] || fail "the user's edit is lost"
[ "$(cat "$target/set199/file00019999")" = "the user's own, where the run was going" ] ||
    fail "the user's own file is lost"
[ "$(cat "$kept/set0/file00000000")" = "old copy" ] || fail "the earlier version is not kept"
[ "$(find "$target" -name 'file*' | wc -l)" = 2 ] || fail "the run's other files are not undone"
[ "$(cat "$target/other/hard-link")" = "old copy" ] || fail "the hard link's content changed"
rm -rf "$kept"
note "the user's later work: kept"

# 3. The staging folder is not the user's own: refused, nothing moved, then
# undone once it is put right.
spoil_and_restore() {
    local what=$1 spoil=$2 mend=$3
    prepare
    kill_at 3
    local crashed
    crashed=$(snapshot "$target")
    eval "$spoil"
    next_start
    err_has "$(message IDS_RECOVERY_REFUSED "$(state_place)/kvtmp0.journal")"
    [ "$(snapshot "$target")" = "$crashed" ] || fail "something moved with $what"
    eval "$mend"
    next_start
    err_has "$(message IDS_RECOVERY_DONE "$target")"
    undone "$what"
    note "a staging folder $what: refused"
}
staging="$(state_place)/kvtmp0"
spoil_and_restore "replaced by a link" \
    'mv "$staging" "$WORK/aside" && mkdir "$WORK/planted" && ln -s "$WORK/planted" "$staging"' \
    'rm "$staging" && mv "$WORK/aside" "$staging"'
spoil_and_restore "open to others" 'chmod 755 "$staging"' 'chmod 700 "$staging"'
if [ "$(id -u)" = 0 ]; then
    OTHER_USER="kvother$$"
    useradd -M -s /usr/sbin/nologin "$OTHER_USER" || fail "cannot add a second user"
    spoil_and_restore "of another user" 'chown -R "$OTHER_USER" "$staging"' \
        'chown -R root "$staging"'
fi

# 4. Nested template directories: while a run works in one, a run into a
# directory inside it or around it is refused, and the first one finishes.
nested() {
    local first=$1 second=$2
    rm -rf "$target"
    mkdir -p "$target/set0"
    start_setup_bg --console -S --dir "$first" --status-fd 3 3>"$WORK/events" </dev/null
    local pid=$SETUP_PID i
    for i in $(seq 1200); do
        grep -q '"percent":[1-9]' "$WORK/events" 2>/dev/null && break
        kill -0 "$pid" 2>/dev/null || fail "the first run ended before the second one started"
        sleep 0.05
    done
    SETUP_PID=""
    run_setup --console -S --dir "$second" </dev/null
    [ "$SETUP_STATUS" != 0 ] || fail "a run into $second went ahead beside one into $first"
    grep -qF "$(text IDS_INSTALL_BUSY)" "$WORK/out" "$WORK/err" ||
        fail "the second run does not say another one is running"
    kill -0 "$pid" 2>/dev/null || fail "the first run ended too soon to prove anything"
    SETUP_PID=$pid
    wait "$pid" || fail "the first run into $first failed"
    SETUP_PID=""
    [ "$(find "$first" -name 'file*' | wc -l)" = "$COUNT" ] || fail "files missing in $first"
}
nested "$target" "$target/set0"
nested "$target/set0" "$target"
note "nested template directories: one at a time"

[ "$(id -u)" = 0 ] || {
    note "passed (not root: no other file systems tried)"
    exit 0
}
# 5. A template directory on another file system than the home: the place
# beside it, which the next start finds through the index.
mkdir -p "$WORK/disk"
mount -t tmpfs -o size=64m tmpfs "$WORK/disk" || fail "cannot mount a tmpfs"
target="$WORK/disk/parent/target"
prepare
kill_at 3 "$WORK/disk/parent/.kelda-setup-0"
[ -d "$WORK/disk/parent/.kelda-setup-0/kvtmp0" ] || fail "no staging folder beside the template directory"
[ -n "$(ls "$(state_place)/places")" ] || fail "the place is not in the index"
next_start
err_has "$(message IDS_RECOVERY_DONE "$target")"
undone "beside the template directory"
note "another file system: staging beside the template directory"

# 6. A template directory that is a mount point of its own: no private
# folder on its file system, so the temporary directory, and the outcome
# says so.
mkdir -p "$WORK/mounted"
mount -t tmpfs -o size=64m tmpfs "$WORK/mounted" || fail "cannot mount a tmpfs"
run_setup --console -S --dir "$WORK/mounted" </dev/null
expect_status 0 "with staging in the temporary directory"
out_has "$(message IDS_NOTE_STAGINGELSEWHERE "$WORK/tmp/kelda-setup-0/kvtmp0")"
[ "$(find "$WORK/mounted" -name 'file*' | wc -l)" = "$COUNT" ] || fail "files missing"
note "a mount point: staging in the temporary directory, said so"
note "passed"
