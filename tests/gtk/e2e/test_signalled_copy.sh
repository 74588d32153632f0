#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP during the copy act as a confirmed Cancel: the
# run stops after the current file, rolls back, and the program ends with
# 128 + the signal's number once the rollback is complete. The template
# directory is then exactly as before and TMPDIR holds nothing (no staging
# folder, no run record, no kit image).
source "$(dirname "$0")/lib.sh"
e2e_init signalled_copy

COUNT=4000
make_large_kit "$COUNT" 256
target=$(default_dir)

half_copied() {
    [ "$(find "$target" -type f -name 'file*' | wc -l)" -ge $((COUNT / 2)) ]
}

for sig in TERM INT HUP; do
    rm -rf "$target"
    mkdir -p "$target/set0"
    echo "old copy" >"$target/set0/file00000000"
    touch -d '2020-01-01 00:00:00 UTC' "$target/set0/file00000000"
    before=$(snapshot "$target")
    start_setup -S
    end=$((SECONDS + 60))
    until half_copied; do
        kill -0 "$SETUP_PID" 2>/dev/null || fail "the run ended before half the files (SIG$sig)"
        [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for half the files (SIG$sig)"
        sleep 0.02
    done
    kill -"$sig" "$SETUP_PID"
    wait_exit 60
    [ "$SETUP_STATUS" = $((128 + $(kill -l "$sig"))) ] || fail "exit status $SETUP_STATUS after SIG$sig"
    [ "$(snapshot "$target")" = "$before" ] || fail "the directory is not as before (SIG$sig)"
    no_leftovers
    note "SIG$sig: rolled back, status $SETUP_STATUS"
done
note "passed"
