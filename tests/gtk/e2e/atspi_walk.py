"""Walks the wizard of a running `setup` through the accessibility bus only,
as a screen reader user would: controls are found by role and name, pressed
with their actions, and read through their texts, relations and values.

Usage: atspi_walk.py PID TARGET-DIRECTORY
The catalogue texts come from CATALOGUE_TEXT_BIN in the language SETUP_CODE
(default "en"); WELCOME is the product part of the welcome text. Prints one
line a step; exits 1 with the accessible tree on the first failed check.
"""
import os
import subprocess
import sys
import time

import pyatspi

PID = int(sys.argv[1])
TARGET = sys.argv[2]
CODE = os.environ.get("SETUP_CODE", "en")
# A safety net for a machine under full load, not a speed test.
LIMIT = 60


def text(key):
    return subprocess.run([os.environ["CATALOGUE_TEXT_BIN"], CODE, key], check=True,
                          capture_output=True, text=True).stdout.rstrip("\n")


class Failure(Exception):
    pass


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        child = desktop.getChildAtIndex(i)
        try:
            if child is not None and child.get_process_id() == PID:
                return child
        except Exception:
            continue
    return None


def walk(node, depth=0):
    """Every accessible below `node`, with its depth."""
    yield node, depth
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


STATE_NAMES = ((pyatspi.STATE_SHOWING, "showing"), (pyatspi.STATE_SENSITIVE, "sensitive"),
               (pyatspi.STATE_IS_DEFAULT, "default"), (pyatspi.STATE_CHECKED, "checked"),
               (pyatspi.STATE_MODAL, "modal"), (pyatspi.STATE_RESIZABLE, "resizable"))


def describe(node):
    states = node.getState()
    flags = " ".join(name for state, name in STATE_NAMES if states.contains(state))
    return "%s %r [%s]" % (node.getRoleName(), node.name, flags)


def dump():
    root = app()
    if root is None:
        return "(the program is not on the accessibility bus)"
    return "\n".join("  " * d + describe(n) for n, d in walk(root))


def check(condition, what):
    if not condition:
        raise Failure(what)


def wait_for(find, what):
    """Polls the tree until `find` returns something (the bus answers events
    only while the program serves its main loop)."""
    end = time.monotonic() + LIMIT
    while True:
        root = app()
        found = find(root) if root is not None else None
        if found:
            return found
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


def frames(root):
    return [root.getChildAtIndex(i) for i in range(root.childCount)]


def find_all(root, role, name=None):
    return [n for n, _ in walk(root)
            if n.getRole() == role and (name is None or n.name == name)]


def label_texts(root):
    return [n.queryText().getText(0, -1) for n in find_all(root, pyatspi.ROLE_LABEL)]


def press(node):
    action = node.queryAction()
    check(action.nActions > 0, "%s has no action" % describe(node))
    action.doAction(0)


def relation_targets(node, relation):
    targets = []
    for r in node.getRelationSet():
        if r.getRelationType() == relation:
            targets += [r.getTarget(i) for i in range(r.getNTargets())]
    return targets


def wizard_frame(root):
    for f in frames(root):
        if f.getRole() == pyatspi.ROLE_FRAME and f.name == text("IDR_MAINFRAME"):
            return f
    return None


def alert(root):
    for f in frames(root):
        if f.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and \
                f.getState().contains(pyatspi.STATE_SHOWING):
            return f
    return None


def button(frame, key):
    found = find_all(frame, pyatspi.ROLE_PUSH_BUTTON, text(key))
    check(len(found) == 1, "one button %r, found %d" % (text(key), len(found)))
    return found[0]


def answer_box(expected_key, answer_key, buttons):
    """Waits for the box with the text of `expected_key`, checks that it
    exposes its text and exactly `buttons`, and presses `answer_key`."""
    box = wait_for(alert, "the box " + expected_key)
    check(text(expected_key) in " ".join(label_texts(box)),
          "the box exposes its text %r" % text(expected_key))
    names = sorted(b.name for b in find_all(box, pyatspi.ROLE_PUSH_BUTTON))
    check(names == sorted(text(k) for k in buttons), "the box's buttons: %r" % names)
    press(button(box, answer_key))
    wait_for(lambda r: alert(r) is None and r, "the box to go")


def no_control_of(frame, forbidden_texts, page):
    for n, _ in walk(frame):
        shown = n.name
        if n.getRole() == pyatspi.ROLE_LABEL:
            shown = n.queryText().getText(0, -1)
        for t in forbidden_texts:
            check(shown != t and not (t and shown.startswith(t)),
                  "%s exposes %s of another page" % (page, describe(n)))


def side_picture_is_decorative(frame):
    for n, _ in walk(frame):
        if n.getRole() in (pyatspi.ROLE_IMAGE, pyatspi.ROLE_ICON):
            check(n.name != "", "a picture without a name or a decorative role")
    return len(find_all(frame, pyatspi.ROLE_REDUNDANT_OBJECT))


def main():
    root = wait_for(lambda r: r, "the program on the accessibility bus")
    frame = wait_for(wizard_frame, "the wizard window")

    # The window: modal, not resizable, 500 x 360, Next the default button.
    states = frame.getState()
    check(states.contains(pyatspi.STATE_MODAL), "the window is modal")
    check(not states.contains(pyatspi.STATE_RESIZABLE), "the window is not resizable")
    extents = frame.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    check((extents.width, extents.height) == (500, 360),
          "the window is 500 x 360, not %d x %d" % (extents.width, extents.height))
    nxt = button(frame, "IDS_WIZARD_NEXT")
    check(nxt.getState().contains(pyatspi.STATE_IS_DEFAULT), "Next is the default button")
    back = button(frame, "IDS_WIZARD_BACK")
    check(not back.getState().contains(pyatspi.STATE_SENSITIVE), "Back is disabled")
    print("window ok")

    # Welcome page: its text, a decorative picture, nothing of the next pages.
    welcome = text("IDS_WELCOME_TITLE")
    check(any(t.startswith(welcome) and os.environ["WELCOME"] in t for t in label_texts(frame)),
          "the welcome text")
    check(side_picture_is_decorative(frame) == 1, "one decorative picture")
    no_control_of(frame, [text("IDS_TEMPLATE_CATALOG"), text("IDS_DESTINATION_PROMPT")],
                  "the welcome page")
    check(not find_all(frame, pyatspi.ROLE_TEXT), "no entry on the welcome page")
    print("welcome page ok")

    # Cancel asks; No keeps the wizard.
    press(button(frame, "IDS_WIZARD_CANCEL"))
    answer_box("IDS_ACCEPT_CANCEL", "IDS_MSGBOX_NO", ["IDS_MSGBOX_YES", "IDS_MSGBOX_NO"])
    press(button(frame, "IDS_WIZARD_NEXT"))

    # Directory page: the entry named by its caption, both ways related; the
    # browse button by what it does; the welcome page gone from the tree.
    caption = text("IDS_TEMPLATE_CATALOG")
    entry = wait_for(lambda r: find_all(wizard_frame(r), pyatspi.ROLE_TEXT), "the entry")
    check(len(entry) == 1, "one entry")
    entry = entry[0]
    check(entry.name == caption, "the entry's name is its caption, not %r" % entry.name)
    labels = relation_targets(entry, pyatspi.RELATION_LABELLED_BY)
    check(len(labels) == 1 and labels[0].queryText().getText(0, -1) == caption,
          "the entry is labelled by its caption")
    check(relation_targets(labels[0], pyatspi.RELATION_LABEL_FOR) == [entry],
          "the caption is the label for the entry")
    frame = wizard_frame(app())
    browse = find_all(frame, pyatspi.ROLE_PUSH_BUTTON, text("IDS_BROWSE_BUTTON"))
    check(len(browse) == 1, "the browse button is named %r" % text("IDS_BROWSE_BUTTON"))
    check(not find_all(frame, pyatspi.ROLE_PUSH_BUTTON, "..."), "no button called \"...\"")
    check(side_picture_is_decorative(frame) == 1, "one decorative picture")
    no_control_of(frame, [welcome], "the directory page")
    print("directory page ok")

    # An empty entry: the box tells why, OK closes it.
    entry.queryEditableText().setTextContents("")
    press(button(frame, "IDS_WIZARD_NEXT"))
    answer_box("IDS_SETUP_EMPTYTARGET", "IDS_MSGBOX_OK", ["IDS_MSGBOX_OK"])

    # The copy: the progress bar named by its status line, its value read.
    entry.queryEditableText().setTextContents(TARGET)
    press(button(frame, "IDS_WIZARD_NEXT"))
    bar = wait_for(lambda r: find_all(wizard_frame(r), pyatspi.ROLE_PROGRESS_BAR),
                   "the progress bar")[0]
    values = []
    check_box = None
    end = time.monotonic() + LIMIT
    while check_box is None:
        frame = wizard_frame(app())
        bars = find_all(frame, pyatspi.ROLE_PROGRESS_BAR)
        if bars:
            # GTK 2 reports the bar in percent, GTK 3 as a fraction of 1: a
            # reader announces either as a percentage. Kept here in percent.
            value = bars[0].queryValue()
            check(value.minimumValue == 0 and value.maximumValue in (1, 100),
                  "the bar's range: %g to %g" % (value.minimumValue, value.maximumValue))
            values.append(value.currentValue * 100 / value.maximumValue)
            names = [bars[0].name] + [l.queryText().getText(0, -1) for l in
                                      relation_targets(bars[0], pyatspi.RELATION_LABELLED_BY)]
            check(text("IDS_PROGRESS_START") in names or text("IDS_INSTALL_FINISH") in names,
                  "the bar is labelled by its status line: %r" % names)
            no_control_of(frame, [caption], "the progress page")
        boxes = find_all(frame, pyatspi.ROLE_CHECK_BOX)
        check_box = boxes[0] if boxes else None
        check(time.monotonic() < end, "the copy did not end")
    check(values and all(0 <= v <= 100 for v in values), "progress values %r" % values)
    check(values == sorted(values), "progress never goes back: %r" % values)
    check(max(values) > 0, "the bar showed progress: %r" % values)
    print("progress page ok (%d readings, %g to %g)" % (len(values), min(values), max(values)))

    # Success page: its text and box; no bar, no entry; Finish is default.
    check(not find_all(frame, pyatspi.ROLE_PROGRESS_BAR), "no bar on the success page")
    check(not find_all(frame, pyatspi.ROLE_TEXT), "no entry on the success page")
    check(text("IDS_SUCCESS_FINISH") in label_texts(frame), "the success text")
    check(check_box.name == text("IDS_SUCCESS_OPENDESCR"), "the box's name")
    check(check_box.getState().contains(pyatspi.STATE_CHECKED), "the box starts checked")
    finish = button(frame, "IDS_WIZARD_FINISH")
    check(finish.getState().contains(pyatspi.STATE_IS_DEFAULT), "Finish is the default button")
    check(not find_all(frame, pyatspi.ROLE_PUSH_BUTTON, text("IDS_WIZARD_BACK")),
          "Back is hidden")
    check(side_picture_is_decorative(frame) == 1, "one decorative picture")
    print("success page ok")
    press(check_box)
    wait_for(lambda r: not find_all(wizard_frame(r), pyatspi.ROLE_CHECK_BOX)[0]
             .getState().contains(pyatspi.STATE_CHECKED) and r, "the box unchecked")
    press(finish)


try:
    main()
except Failure as failure:
    print("FAIL: %s\n--- accessible tree:\n%s" % (failure, dump()))
    sys.exit(1)
