#!/usr/bin/python3
# What assistive technology is told of the running program, read from the
# real accessibility bus with pyatspi. Every wait polls until a deadline.
#   at_tree.py stage|scale PID INSTALL_DIR ARTIFACTS_DIR
import json
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

CONTROLS = {"push button", "progress bar", "image", "scroll bar", "text", "menu item", "popup menu", "label"}
SHOWN = pyatspi.STATE_SHOWING
RED = "Shown in red: the log has grown beyond its expected size"
FULL_ASSESSMENT_LOG_BYTES = 114000  # the size the bar counts as 100 percent
MAIN, REPORT = "Inorganic Quorvane ", "\\QELVRIN\\TDEFECT.TXT"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def poll(what, probe, seconds=60):
    deadline, problem = time.monotonic() + seconds, None
    while time.monotonic() < deadline:
        try:
            if result := probe():
                return result
        except (GLib.GError, NotImplementedError, OSError, Failure) as error:
            problem = error
        time.sleep(0.05)
    raise Failure(f"waited for {what} ({problem})")


def walk(node):
    yield node
    for child in node:
        yield from walk(child) if child is not None else ()


def one(root, role, name):
    found = [n for n in walk(root) if n.getRoleName() == role and n.name == name]
    check(len(found) == 1, f"one {role} named {name!r} ({len(found)} found)")
    return found[0]


def labelled_by(node):
    return sorted(r.getTarget(i).name for r in node.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets()))


def value(node):
    v = node.queryValue()
    return v.minimumValue, v.currentValue, v.maximumValue


def text(node):
    return node.queryText().getText(0, -1)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i).lower() for i in range(action.nActions)]


def press(node):
    check("press" in actions(node), f"{node.name!r} can be pressed ({actions(node)})")
    node.queryAction().doAction(actions(node).index("press"))


def dump(root, path):
    """The tree as assistive technology sees it, drop-down items left out."""
    def lines(node, depth):
        yield f"{'  ' * depth}{node.getRoleName()} {node.name!r} {node.description!r} {actions(node)} {labelled_by(node)}"
        for child in node if node.getRoleName() != "popup menu" else ():
            yield from lines(child, depth + 1) if child is not None else ()
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines(root, 0)) + "\n")


def application(pid):
    def probe():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                # A cached name or value would hide the very changes under test.
                app.set_cache_mask(Atspi.Cache.NONE)
                return app
    return poll(f"process {pid} on the accessibility bus", probe)


def window(app, title_start):
    return poll(f"a window titled {title_start!r}", lambda: next(
        (w for w in app if w is not None and w.name.startswith(title_start) and w.getState().contains(SHOWN)), None))


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout.split()


def keys(title_regex, *names):
    # No window manager runs: the keyboard focus is set directly.
    xdotool("windowfocus", "--sync", xdotool("search", "--onlyvisible", "--name", title_regex)[0])
    if names:
        xdotool("key", "--delay", "50", *names)


def unnamed(root):
    return [n.getRoleName() for n in walk(root) if n.getRoleName() in CONTROLS and not n.name and n.getState().contains(SHOWN)]


def main_window(app):
    main = window(app, MAIN)
    for caption, stage in (("1", "Data Load"), ("2", "Initial Assessment"), ("3", "Full Assessment")):
        button = one(main, "push button", caption)
        check(button.description == f"Run the {stage} Program", f"button {caption} describes its stage: {button.description!r}")
        check(labelled_by(button) == ["(Done)", stage], f"button {caption} is labelled by its stage: {labelled_by(button)}")
    one(main, "image", "QELVRIN emblem")
    bar = one(main, "progress bar", "Program Completion Percentage")
    check(labelled_by(bar) == ["Program Completion Percentage"], f"the bar is labelled by its heading: {labelled_by(bar)}")
    check(value(bar) == (0, 0, 100) and text(bar) == "0%", f"the bar at rest: {value(bar)} {text(bar)!r}")
    check(not unnamed(main), f"every control is named: {unnamed(main)}")
    keys("^Inorganic Quorvane $")
    poll("the focus on 2 at start", lambda: one(main, "push button", "2").getState().contains(pyatspi.STATE_FOCUSED), 30)
    return main, bar


def stage_run(app, main, bar, install):
    """The bar while the job writes its log, then after the log outgrows its
    expected size; the job waits without its signal, which comes last."""
    press(one(main, "push button", "3"))
    log, samples = os.path.join(install, "FASMTJCL.LOG"), []

    def sample(until):
        low, now, high = value(bar)
        shown, description = text(bar), bar.description
        # The bar shows a size taken before this one: at most this.
        size = os.path.getsize(log)
        if value(bar)[1] == now and text(bar) == shown:  # the bar did not move meanwhile
            check((low, high) == (0, 100) and shown == f"{now:g}%", f"the bar's value and text agree: {now} {shown!r}")
            samples.append((now, description, size))
        return until(now, description)
    poll("the job's whole log", lambda: sample(lambda *_: open(log, "rb").read().endswith(b"NOTE: The batch session has ended.\r\n")), 120)
    # Only what was seen while the log was within its expected size, which
    # the job's own last lines may pass by a few bytes: the value and the
    # red mark change in separate reads, so a sample taken meanwhile mixes
    # the two.
    within = [(now, d) for now, d, size in samples if size <= FULL_ASSESSMENT_LOG_BYTES]
    values = [now for now, _ in within]
    check(values == sorted(values) and len(set(values)) >= 3 and any(0 < v < 99 for v in values), f"the bar follows the log: {values}")
    check(all(d == "" for _, d in within), f"no red mark before the overrun: {within[-3:]}")
    with open(log, "ab") as f:
        f.write(b"NOTE: More than the job was expected to write.\r\n" * 2000)
    poll("the bar to read the overrun", lambda: sample(lambda now, description: now == 99 and description == RED))
    open(os.path.join(install, "SIGNAL.TXT"), "wb").close()
    press(one(window(app, "QELVRIN"), "push button", "OK"))
    poll("the bar back at 0 without a mark", lambda: value(bar)[1] == 0 and text(bar) == "0%" and bar.description == "", 30)
    poll("button 3 marked done", lambda: one(main, "push button", "3").description == "Run the Full Assessment Program (done)", 30)
    check(one(main, "push button", "2").description == "Run the Initial Assessment Program", "button 2 is not done")


def viewer(app, main, install):
    press(one(main, "menu item", "Full Assessment Report"))
    view = window(app, "TDEFECT.TXT line 1 of ")
    lines = int(view.name.rsplit(" ", 1)[1])
    area, line, column = one(view, "text", REPORT), one(view, "scroll bar", "Line"), one(view, "scroll bar", "Column")
    one(view, "label", "Corner box")
    check(value(line) == (1, 1, lines) and value(column)[1] == 0, f"the view starts at line 1, column 0: {value(line)} {value(column)}")
    blanks = [e for e in [n for n in walk(view) if n.getRoleName() == "menu bar"][0] if e.getRoleName() == "separator"]
    check(len(blanks) == 2 and not any(b.name or actions(b) for b in blanks), "two blank entries, no action")
    check(not unnamed(view), f"every viewer control is named: {unnamed(view)}")
    with open(os.path.join(install, "TDEFECT.TXT"), "rb") as f:
        report = [row[1:] if row.startswith(b"\f") else row for row in f.read().split(b"\r\n")]
    for key, expected in (("Next", lambda v: v > 1), ("End", lambda v: v == lines), ("Home", lambda v: v == 1)):
        keys("^TDEFECT\\.TXT line ", key)
        now = poll(f"the line bar after {key}", lambda: (lambda v: v if expected(v) else None)(int(value(line)[1])), 30)
        poll(f"the caption for line {now}", lambda: view.name == f"TDEFECT.TXT line {now} of {lines}", 30)
        top = re.split("\r\n|\r|\n", text(area), maxsplit=1)[0].encode("latin-1")
        check(top == report[now - 1] and area.name == REPORT, f"line {now} on top of {area.name!r}: {top[:40]!r}")
    for key, moved in (("ctrl+Right", lambda: value(column)[1] > 0), ("ctrl+Left", lambda: value(column)[1] == 0 and value(line)[1] == 1)):
        keys("^TDEFECT\\.TXT line ", key)
        poll(f"the view's column after {key}", moved, 30)
    return view


def geometry(app):
    """Each window's size on the display; each shown control's box in the
    window's own (logical) pixels, as the accessibility bus reports it."""
    boxes = {}
    for title, regex in ((MAIN, "^Inorganic Quorvane $"), ("DLOADJCL.LOG line ", "^DLOADJCL\\.LOG line ")):
        top = window(app, title)
        at = top.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        size = xdotool("getwindowgeometry", "--shell", xdotool("search", "--onlyvisible", "--name", regex)[0])
        boxes[title] = {"window": [int(v.split("=")[1]) for v in size if v.startswith(("WIDTH=", "HEIGHT="))],
                        "logical": [at.width, at.height], "controls": []}
        for node in walk(top):
            if node is not top and node.getRoleName() in CONTROLS | {"menu bar", "separator"} and node.getState().contains(SHOWN):
                box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                boxes[title]["controls"].append([node.getRoleName(), node.name, box.x - at.x, box.y - at.y, box.width, box.height])
    return boxes


def overlapping(controls):
    def inside(a, b):
        return b[0] <= a[0] and b[1] <= a[1] and a[0] + a[2] <= b[0] + b[2] and a[1] + a[3] <= b[1] + b[3]

    def meet(a, b):
        return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]
    return [(a[:2], b[:2]) for i, a in enumerate(controls) for b in controls[i + 1:]
            if meet(a[2:], b[2:]) and not inside(a[2:], b[2:]) and not inside(b[2:], a[2:])]


def scale(app, artifacts):
    """At scale 2 each window is twice as large on the display and lays its
    controls out as at scale 1, so each is twice as large too; none overlap."""
    main = window(app, MAIN)
    press(one(main, "menu item", "Data Load Log"))
    now, factor = geometry(app), os.environ["QT_SCALE_FACTOR"]
    with open(os.path.join(artifacts, f"scale-{factor}.json"), "w") as f:
        json.dump(now, f)
    press(one(main, "push button", "Quit"))
    if factor == "2":
        with open(os.path.join(artifacts, "scale-1.json")) as f:
            single = json.load(f)
        for title, a in single.items():
            b = now[title]
            check([2 * v for v in a["window"]] == b["window"] and a["logical"] == b["logical"], f"{title!r} twice as large: {a} {b}")
            check([c[:2] for c in a["controls"]] == [c[:2] for c in b["controls"]], f"{title!r} shows the same controls")
            check(all(abs(p - q) <= 1 for x, y in zip(a["controls"], b["controls"]) for p, q in zip(x[2:], y[2:])),
                  f"the controls of {title!r} keep their places")
            check(not overlapping(b["controls"]), f"no controls of {title!r} overlap: {overlapping(b['controls'])}")


def main():
    mode, pid, install, artifacts = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    app = application(pid)
    try:
        if mode == "scale":
            return scale(app, artifacts)
        main_at_start, bar = main_window(app)
        stage_run(app, main_at_start, bar, install)
        press(one(viewer(app, main_at_start, install), "menu item", "Exit"))
        press(one(main_at_start, "push button", "Quit"))
    except (Failure, GLib.GError, subprocess.CalledProcessError) as error:
        dump(app, os.path.join(artifacts, "tree-at-failure.txt"))
        sys.exit(f"FAIL: {error}")


if __name__ == "__main__":
    sys.exit(main())
