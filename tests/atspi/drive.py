#!/usr/bin/python3
"""Inside a private D-Bus session: starts openbox and vireo on the virtual mouse with the
accessibility bridge on, then, through AT-SPI alone, opens the report-rate section, presses the
"500 Hz" radio button and checks that the frame reached the mouse; Tab must move the focus the
bus reports. Exit 0 on success, 1 with a message otherwise."""
import os
import subprocess
import sys
import time

import pyatspi

WORK = os.environ["WORK"]
env = dict(os.environ)
env.update(
    VIREO_HID="sim",
    VIREO_DATA_DIR=os.path.join(WORK, "data"),
    VIREO_SIM_CONTROL=os.path.join(WORK, "control"),
    VIREO_SIM_LOG=os.path.join(WORK, "wire.log"),
    QT_QPA_PLATFORM="xcb",
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
    QT_ACCESSIBILITY="1",
    LANG="C.UTF-8",
    LANGUAGE="en",
)
procs = []


def fail(message):
    print("FAIL: " + message)
    try:
        with open(env["VIREO_SIM_LOG"]) as log:
            print("wire log, last lines:\n" + "".join(log.readlines()[-5:]))
    except FileNotFoundError:
        print("no wire log")
    sys.exit(1)


def wait_for(what, predicate, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = predicate()
        if found:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and "vireo" in (app.name or "").lower():
            return app
    return None


def descendants(node, depth=0):
    if node is None or depth > 6:
        return
    yield node
    for i in range(node.childCount):
        yield from descendants(node.getChildAtIndex(i), depth + 1)


def find(app, role, name):
    for node in descendants(app):
        if node.getRole() == role and (node.name or "") == name:
            return node
    return None


def focused(app):
    for node in descendants(app):
        if node.getState().contains(pyatspi.STATE_FOCUSED) and node.getRole() != pyatspi.ROLE_FRAME:
            return node
    return None


def act(node, names):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in names:
            return action.doAction(i)
    fail("%s has none of the actions %s" % (node.name, names))


def rate_frame_sent():
    try:
        with open(env["VIREO_SIM_LOG"]) as log:
            for line in log:
                parts = line.split()
                if len(parts) >= 3 and parts[1] == "set":
                    data = bytes.fromhex("".join(parts[2:]))
                    # command 07 (report rate) at byte 2, interval 2 ms at byte 7
                    if len(data) > 7 and data[2] == 0x07 and data[7] == 0x02:
                        return True
    except FileNotFoundError:
        pass
    return False


try:
    procs.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    time.sleep(1)
    procs.append(subprocess.Popen([os.environ["VIREO"]], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_for("the control pipe", lambda: os.path.exists(env["VIREO_SIM_CONTROL"]))
    with open(env["VIREO_SIM_CONTROL"], "w") as pipe:
        pipe.write("show 1\n")
    app = wait_for("vireo on the accessibility bus", application)
    header = wait_for("the Polling Rate header", lambda: find(app, pyatspi.ROLE_CHECK_BOX, "Polling Rate"))
    act(header, ("Toggle", "toggle", "Press", "press"))
    rate = wait_for("the 500 Hz radio button", lambda: find(app, pyatspi.ROLE_RADIO_BUTTON, "500 Hz"))
    act(rate, ("Press", "press"))
    wait_for("the report-rate frame on the virtual mouse", rate_frame_sent)
    print("ok: 500 Hz found by name and role, pressed, frame 07 ... 02 on the mouse")

    before = wait_for("a focused control", lambda: focused(app))
    subprocess.run(["xdotool", "key", "Tab"], env=env, check=True)
    after = wait_for("the focus to move", lambda: (lambda f: f if f is not None and f.name != before.name else None)(focused(app)))
    print("ok: Tab moved the focus from %r to %r" % (before.name, after.name))
finally:
    for p in reversed(procs):
        p.terminate()
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            p.kill()
