#!/usr/bin/env bash
# The GTK 3 wizard at scale 2: twice as many physical pixels in every
# direction, with the side picture drawn pixel for pixel from its
# double-resolution asset rather than enlarged from the plain one.
#   X11: Xvfb, GDK_SCALE=1 and GDK_SCALE=2; the X window's size is read with
#        xwininfo, the window captured with ImageMagick.
#   Wayland: natively (GDK_BACKEND=wayland) on a headless sway whose one
#        output has scale 2, captured with grim. sway refuses to run as
#        root, so it and the wizard run as the unprivileged user
#        "setup-wl-test", made here once, with a private XDG_RUNTIME_DIR.
# The output is then switched to scale 1 under the running wizard, which
# follows with its plain picture. The screenshots land in
# $E2E_SCREENSHOTS/gtk3/scale (gtk3-x11-scale1.png, gtk3-x11-scale2.png,
# gtk3-wayland-scale2.png, gtk3-wayland-scale1.png).
SETUP_UI=gtk3
source "$(dirname "$0")/../e2e/lib.sh"
e2e_init scale
make_ledger_kit
repo=$(cd "$(dirname "$0")/../../.." && pwd)
convert "$repo/src/gtk3/pictures/side_picture_2x.xpm" "$WORK/sharp.png"
convert "$repo/src/gtk/pictures/side_picture.xpm" -filter point -resize 200% "$WORK/enlarged.png"

# picture_is_sharp SHOT X Y: the 316 x 572 pixels at X,Y of the physical
# screenshot SHOT are those of the double-resolution asset, and so not the
# plain picture enlarged.
picture_is_sharp() {
    convert "$1" -crop "316x572+$2+$3" +repage "$WORK/picture.png"
    local sharp enlarged
    sharp=$(compare -metric AE "$WORK/picture.png" "$WORK/sharp.png" null: 2>&1) || true
    enlarged=$(compare -metric AE "$WORK/picture.png" "$WORK/enlarged.png" null: 2>&1) || true
    [ "$sharp" = 0 ] || fail "the side picture in $1 differs from the 2x asset in $sharp pixels"
    [ "$enlarged" != 0 ] || fail "the side picture in $1 is the plain one enlarged"
}

# steady_screenshot XID NAME: the window once two captures in a row agree,
# so that the theme's transitions (Back fading to disabled) have ended.
steady_screenshot() {
    local end=$((SECONDS + 20))
    screenshot "$1" "$2"
    while :; do
        import -window "$1" "$WORK/again.png" 2>/dev/null || fail "could not capture window $1"
        [ "$(compare -metric AE "$SHOTS/$2.png" "$WORK/again.png" null: 2>&1)" = 0 ] && return 0
        [ "$SECONDS" -lt "$end" ] || fail "window $1 did not come to rest"
        mv "$WORK/again.png" "$SHOTS/$2.png"
        sleep 0.1
    done
}

# x_size XID: "WIDTHxHEIGHT" of an X window.
x_size() {
    xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

# --- X11 -----------------------------------------------------------------
for scale in 1 2; do
    GDK_SCALE=$scale start_wizard "$LEDGER_WELCOME"
    size=$(x_size "$WIN")
    [ "$size" = "$((500 * scale))x$((360 * scale))" ] ||
        fail "at GDK_SCALE=$scale the window is $size physical pixels"
    steady_screenshot "$WIN" "gtk3-x11-scale$scale"
    stop_pid "$SETUP_PID"
    SETUP_PID=""
done
picture_is_sharp "$SHOTS/gtk3-x11-scale2.png" 0 0

# --- Wayland -------------------------------------------------------------
if [ "$(id -u)" != 0 ]; then
    note "the Wayland half needs root (to run sway as a user of its own): skipped"
    note "passed"
    exit 0
fi
user=setup-wl-test
id -u "$user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin "$user" ||
    fail "could not make the user $user"
uid=$(id -u "$user")
gid=$(id -g "$user")
# Everything the user reads lies in a folder it may enter; its runtime
# folder and home are its own.
wl="$WORK/wayland"
mkdir -p "$wl/app" "$wl/run" "$wl/home"
chmod 755 "$WORK" "$wl"
cp "$SETUP_BIN" "$(dirname "$SETUP_BIN")"/setup-gtk3.so "$WORK/kit/kelda.efd" "$wl/app/"
chmod -R a+rX "$wl/app"
chown "$user" "$wl/run" "$wl/home"
chmod 700 "$wl/run"
printf 'xwayland disable\noutput HEADLESS-1 resolution 1600x1200 scale 2\n' >"$wl/config"
chmod 644 "$wl/config"

# as_user COMMAND...: COMMAND as the user, in its session's environment.
# setpriv and env each exec the next, so a command started in the
# background with it has the pid that $! gives: the cleanup stops that.
as_user_command=(setpriv --reuid="$uid" --regid="$gid" --clear-groups -- env -i
    PATH=/usr/bin:/bin HOME="$wl/home" XDG_RUNTIME_DIR="$wl/run" LANG=en_US.UTF-8)
as_user() {
    "${as_user_command[@]}" "$@"
}

"${as_user_command[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$wl/config" >"$wl/sway.log" 2>&1 &
sway_pid=$!
track_pid "$sway_pid"
for _ in $(seq 100); do
    compgen -G "$wl/run/sway-ipc.*" >/dev/null && [ -S "$wl/run/wayland-1" ] && break
    kill -0 "$sway_pid" 2>/dev/null || fail "sway did not start: $(cat "$wl/sway.log")"
    sleep 0.1
done
socket=$(compgen -G "$wl/run/sway-ipc.*" | head -n 1)
[ -n "$socket" ] || fail "sway did not start: $(cat "$wl/sway.log")"

"${as_user_command[@]}" WAYLAND_DISPLAY=wayland-1 GDK_BACKEND=wayland "$wl/app/setup" --ui gtk3 \
    --kit "$wl/app/kelda.efd" >"$WORK/setup.log" 2>&1 &
SETUP_PID=$!

# The window in sway's tree: "X Y WIDTH HEIGHT SCALE" of its content in
# logical pixels, and the scale of its output.
wayland_window() {
    as_user SWAYSOCK="$socket" swaymsg -r -t get_tree | python3 -c '
import json, sys
def walk(node, scale):
    scale = node.get("scale") or scale
    if node.get("app_id") == "setup" and node.get("visible"):
        r, w = node["rect"], node["window_rect"]
        print(r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"], int(scale))
        sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child, scale)
walk(json.load(sys.stdin), 1)'
}

end=$((SECONDS + 20))
until window=$(wayland_window) && [ -n "$window" ]; do
    kill -0 "$SETUP_PID" 2>/dev/null || fail "the wizard ended on Wayland"
    [ "$SECONDS" -lt "$end" ] || fail "no wizard window in sway: $(cat "$wl/sway.log")"
    sleep 0.2
done
read -r x y width height scale <<<"$window"
[ "$scale" = 2 ] || fail "sway's output has scale $scale"
[ "${width}x${height}" = 500x360 ] || fail "on Wayland the window is ${width}x${height} logical pixels"
# grim_steady FILE: the output once two captures in a row agree.
grim_steady() {
    local end=$((SECONDS + 20))
    as_user WAYLAND_DISPLAY=wayland-1 grim "$wl/run/output.png" || fail "grim failed"
    while :; do
        as_user WAYLAND_DISPLAY=wayland-1 grim "$wl/run/again.png" || fail "grim failed"
        [ "$(compare -metric AE "$wl/run/output.png" "$wl/run/again.png" null: 2>&1)" = 0 ] &&
            break
        [ "$SECONDS" -lt "$end" ] || fail "the output did not come to rest"
        mv "$wl/run/again.png" "$wl/run/output.png"
        sleep 0.1
    done
    cp "$wl/run/output.png" "$1"
}

grim_steady "$WORK/output.png"
[ "$(identify -format %wx%h "$WORK/output.png")" = 1600x1200 ] ||
    fail "the output is not captured at scale 2"
convert "$WORK/output.png" -crop "$((width * 2))x$((height * 2))+$((x * 2))+$((y * 2))" +repage \
    "$SHOTS/gtk3-wayland-scale2.png"
[ "$(identify -format %wx%h "$SHOTS/gtk3-wayland-scale2.png")" = 1000x720 ] ||
    fail "the window is not 1000 x 720 physical pixels on Wayland"
picture_is_sharp "$SHOTS/gtk3-wayland-scale2.png" 0 0

# The output back at scale 1: the running wizard follows, its picture now
# the plain one, pixel for pixel.
as_user SWAYSOCK="$socket" swaymsg output HEADLESS-1 scale 1 >/dev/null ||
    fail "sway did not change the output's scale"
convert "$repo/src/gtk/pictures/side_picture.xpm" "$WORK/plain.png"
end=$((SECONDS + 20))
while :; do
    window=$(wayland_window) || true
    read -r x y width height scale <<<"$window"
    if [ "${scale:-}" = 1 ]; then
        grim_steady "$WORK/output.png"
        convert "$WORK/output.png" -crop "${width}x${height}+$x+$y" +repage             "$SHOTS/gtk3-wayland-scale1.png"
        convert "$SHOTS/gtk3-wayland-scale1.png" -crop 158x286+0+0 +repage "$WORK/picture.png"
        [ "$(compare -metric AE "$WORK/picture.png" "$WORK/plain.png" null: 2>&1)" = 0 ] && break
    fi
    kill -0 "$SETUP_PID" 2>/dev/null || fail "the wizard ended when the scale changed"
    [ "$SECONDS" -lt "$end" ] || fail "at scale 1 the picture is not the plain one"
    sleep 0.2
done
[ "${width}x${height}" = 500x360 ] || fail "at scale 1 the window is ${width}x${height}"
note "passed"
