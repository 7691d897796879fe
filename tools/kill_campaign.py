#!/usr/bin/env python3
"""Kills vireoctl at random moments while it loads and saves a data folder, and counts the damage.

The folder holds a library of 1,000 macros and five customised profiles (names, polling, lighting, a
double-click speed, a key and a macro button each). Every run starts

    vireoctl --virtual --data-dir D apply

with the virtual mouse reporting the other of two sensors (sent through VIREO_SIM_CONTROL), so
each run converts the five profiles to the new sensor's DPI steps and saves config.ini and all five
profile files, and kills it with SIGKILL after a random delay. After each kill the folder is
checked as it was left:

  corrupt       a file that does not parse (config.ini, a profile, the library, a language file)
  inconsistent  config.ini says the profiles were made for its sensor, and one is not
                (a conversion that config.ini marks unfinished is not counted: the next start
                finishes it; a copy of the folder is started to check that it does)
  lost          a customised value or a macro gone

Then it damages copies of the folder the way careless and hostile users do, starts vireoctl on
each and counts the same way, the damaged file judged against what the program set aside:

  unreadable    config.ini, a profile or the library shut (mode 000; as root, owned by root while
                the tool runs as nobody); then a change is made and a third start checks it stayed
  cut           config.ini, a profile, the library (anywhere, or where an item ends) or Lan_EN.txt
                cut short, or LanSetting.ini replaced by garbage; then a profile switch
  planted       (as root only) config.ini, a profile or the library a link of the folder's user
                to a file of root's, or a profile path that leaves the folder; then `set rate`

  lost          also: a damaged file neither left as it was nor kept as .bad, a button's macro
                binding dropped, or a change gone at the next start
  inconsistent  also: a file left at a path the damage made up, or a start that sets aside again
                what the start before it wrote
  harmed        a file outside the data folder written, or its content copied into the folder

Then saves are made to fail (a folder the user may not change, a link of the user's to a file in
such a folder, a file size limit as on a full disk; a folder in place of a profile, which a start
sets aside) and `vireoctl set rate` is judged against the profile it leaves:

  false success  exit code 0, and the profile does not hold the change
  false failure  another exit code, and it does; or a failure that names no file
  corrupt        a profile that does not parse

Last the running program, `vireo` on the offscreen platform with the virtual mouse, and the
virtual mouse's control pipe: 200 `vireoctl set rate` at once; `unplug`/`plug` of the cable (both
links present) and fast `unplug`+`plug` of the only device in the middle of `vireoctl apply`; the
last device unplugged right after `vireoctl set rate`; and `vireoctl --virtual=both apply` with its
cable replugged mid-pass. A false failure is an exit code other than 0 where the mouse had every
frame (the receiver was there throughout, or the replug ended before the command), or code 6 (no
answer) at all; a false success is 0 from a request whose change is not in the profile.

Usage: tools/kill_campaign.py [--runs 100] [--damage-runs 3] [--vireoctl build/vireoctl] [--seed N]
       [--keep]
"""

import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

MACROS = 1000
FOLDERS = 20
ALL_ACTION_DIGITS = 2688
HELLO = "41000000" "03000032" "41800000"

# Factory DPI steps (XYSetting 1..8) and codes of the two sensors the runs switch between.
SENSORS = {
    0x3395: {"code": 149, "xy": [7, 15, 23, 31, 47, 63, 99, 99]},
    0x3104: {"code": 4, "xy": [4, 15, 23, 31, 39, 41, 58, 50]},
}


# ---- files ---------------------------------------------------------------------------------------

def read_lines(path):
    """The lines of a file in the program's form, or None when it is not in that form."""
    try:
        data = open(path, "rb").read()
    except OSError:
        return None
    return lines_of(data)


def lines_of(data):
    """The lines of file bytes in the program's form, or None when they are not in that form."""
    if not isinstance(data, bytes) or not data.startswith(b"\xff\xfe") or len(data) % 2:
        return None
    try:
        text = data[2:].decode("utf-16-le")
    except UnicodeDecodeError:
        return None
    if "\r" in text or (text and not text.endswith("\n")):
        return None
    return text.split("\n")[:-1] if text else []


def write_lines(path, lines):
    tmp = path + ".campaign"
    with open(tmp, "wb") as f:
        f.write(b"\xff\xfe" + "".join(line + "\n" for line in lines).encode("utf-16-le"))
    os.replace(tmp, path)


def value(line):
    return line.split("=", 1)[1] if "=" in line else None


def macro_lines(prefix, name, index, location):
    return [
        prefix + "++++++++MacroItemName=" + name,
        prefix + "MacroItemLocation:stage=%d;stage0Index=%d;stage1Index=%d;stage2Index=%d;" % location,
        prefix + "MacroItemIsFolder=0",
        prefix + "MacroItemFolderIsOpen=0",
        prefix + "MacroKeyIndex=%d" % index,
        prefix + "MacroKeyLoopType=2",
        prefix + "MacroKeyLoopNum=1",
        prefix + "MacroActionNum=3",
        prefix + "MacroCommandActionNum=2",
        prefix + "AllAction=" + HELLO.ljust(ALL_ACTION_DIGITS, "0"),
    ]


def macro_name(index):
    return "Macro %04d" % index


def library_lines():
    lines = ["[MacroLibrary]", "MacroKeyIndex=%d" % (MACROS + 1),
             "Select Locaton:stage=-1;stage0Index=0;stage1Index=0;stage2Index=0;"]
    per_folder = MACROS // FOLDERS
    for folder in range(FOLDERS):
        lines += ["++++++++MacroItemName=Folder %02d" % folder,
                  "MacroItemLocation:stage=0;stage0Index=%d;stage1Index=0;stage2Index=0;" % folder,
                  "MacroItemIsFolder=1", "MacroItemFolderIsOpen=0"]
    for folder in range(FOLDERS):
        for i in range(per_folder):
            index = folder * per_folder + i + 1
            lines += macro_lines("\t", macro_name(index), index, (1, folder, i, 0))
    return lines


def customise(lines, slot):
    """Profile lines with the values the campaign expects to survive."""
    out = list(lines)
    out[1] = "ProfileName=Custom %d" % slot
    out[5] = "DoubleClickSpeed=%d" % (slot + 2)
    out[41] = "PollingRateName=500HZ"
    out[42] = "\tPollingRateValue=020000"
    out[44] = "\tLighting1ModeValue=%.2X0000" % (slot + 1)
    key = 57 + 6 * 2  # button 2: a keyboard function
    out[key] = "Key2Name=Custom key %d" % slot
    out[key + 1] = "\tKey2Value=700106"
    macro = 1 + 100 * slot + 7  # button 1: a macro of the library
    key = 57 + 6 * 1
    out[key:key + 6] = [
        "Key1Name=Macro-" + macro_name(macro),
        "\tKey1Value=902101",
        "\tMacroKeyIndex=%d" % macro,
        "\tMacroKey1Name=" + macro_name(macro),
        "\t\tMacroActionNum=3",
        "\t\tAllAction=" + HELLO.ljust(ALL_ACTION_DIGITS, "0"),
    ]
    return out


# ---- checks --------------------------------------------------------------------------------------

def hex_ok(line):
    e = line.find("=")
    return 1 <= e <= len(line) - 1


def parse_profile(lines):
    """The values a check needs, or None when the reader would refuse the file."""
    if lines is None or len(lines) != 87 or lines[0] != "[Setting]":
        return None
    for i in range(1, 21):
        if lines[i].find("=") < 1:
            return None
    for i in list(range(21, 41)) + [42] + list(range(44, 51)) + list(range(52, 57)):
        if not hex_ok(lines[i]):
            return None
    for i in (41, 43, 51):
        if lines[i].find("=") < 1:
            return None
    keys = []
    for k in range(5):
        base = 57 + 6 * k
        name, kv, index, mname, count, actions = lines[base:base + 6]
        if name.find("=") < 1 or not hex_ok(kv) or mname.find("=") < 0:
            return None
        for line in (index, count):
            v = value(line)
            if not v or not v.isdigit():
                return None
        if int(value(count)) > 336 or value(actions) is None or len(value(actions)) != ALL_ACTION_DIGITS:
            return None
        keys.append((value(name), value(kv), int(value(index)), value(actions)))
    if int(value(lines[44])[:2], 16) >= 10:
        return None
    return {
        "name": value(lines[1]),
        "dclick": value(lines[5]),
        "polling": (value(lines[41]), value(lines[42])),
        "lighting": value(lines[44]),
        "xy": [int(value(lines[22 + i]), 16) for i in range(8)],
        "keys": keys,
    }


def parse_config(lines):
    if lines is None or not lines or lines[0] != "[Setting]" or len(lines) > 18:
        return None
    entries = {}
    for line in lines[1:]:
        e = line.find("=")
        if e <= 0 or e == len(line) - 1:
            return None
        entries[line[:e]] = line[e + 1:]
    try:
        sensor = int(entries["Sensor"].replace(" ", ""), 16) & 0xFFFF
        prest = int(entries["PreST"].replace(" ", ""), 16) & 0xFFFF
        current = int(entries["CurrentProfile"])
        count = int(entries["ProfileShowCount"])
    except (KeyError, ValueError):
        return None
    if not 0 <= current <= 4 or not 1 <= count <= 5:
        return None
    return {"sensor": sensor, "prest": prest, "committed": (~prest & 0xFFFF) == sensor}


def count_library(lines):
    """Macro names of a library file, or None when the reader would stop early."""
    if lines is None or len(lines) < 3 or lines[0] != "[MacroLibrary]":
        return None
    names = []
    i = 3
    while i < len(lines):
        item = lines[i:i + 4]
        if len(item) < 4 or any(value(l) in (None, "") for l in item):
            return None
        if value(item[2]) != "0":
            i += 4
            continue
        rest = lines[i + 4:i + 10]
        if len(rest) < 6 or len(value(rest[5]) or "") != ALL_ACTION_DIGITS:
            return None
        names.append(value(item[0]))
        i += 10
    return names


def parse_language(lines):
    if lines is None or not lines or lines[0] != "[Setting]":
        return False
    return all(0 < l.find("=") < len(l) - 1 for l in lines[1:])


def check_folder(folder, expected):
    """(corrupt, inconsistent, lost, pending) counts for a data folder."""
    config_dir = os.path.join(folder, "config")
    corrupt, inconsistent, lost = [], [], []
    config = parse_config(read_lines(os.path.join(config_dir, "config.ini")))
    if config is None:
        corrupt.append("config.ini")
    profiles = []
    for slot in range(5):
        p = parse_profile(read_lines(os.path.join(config_dir, "default%d.psf" % slot)))
        if p is None:
            corrupt.append("default%d.psf" % slot)
        profiles.append(p)
    names = count_library(read_lines(os.path.join(config_dir, "MacroLibraryFile.mlf")))
    if names is None:
        corrupt.append("MacroLibraryFile.mlf")
    elif names != expected["macros"]:
        lost.append("library: %d macros" % len(names))
    for lang in ("Lan_EN.txt", "Lan.txt"):
        path = os.path.join(config_dir, lang)
        if os.path.exists(path) and not parse_language(read_lines(path)):
            corrupt.append(lang)
    for slot, p in enumerate(profiles):
        if p is None:
            continue
        want = expected["profiles"][slot]
        for field in ("name", "dclick", "polling", "lighting", "keys"):
            if p[field] != want[field]:
                lost.append("default%d.psf %s" % (slot, field))
        if config is not None and config["committed"] and p["xy"] != SENSORS.get(config["sensor"], {}).get("xy"):
            inconsistent.append("default%d.psf DPI steps vs Sensor 0x%04X" % (slot, config["sensor"]))
    pending = config is not None and not config["committed"]
    return corrupt, inconsistent, lost, pending


# ---- runs ----------------------------------------------------------------------------------------

def send_when_open(pipe, line, process, done):
    """Writes a line to the control pipe once the tool reads it (or gives up when it has ended)."""
    while process.poll() is None and not done.is_set():
        try:
            fd = os.open(pipe, os.O_WRONLY | os.O_NONBLOCK)
        except OSError:
            time.sleep(0.0005)
            continue
        try:
            os.write(fd, line.encode())
        except OSError:
            pass
        os.close(fd)
        return


def start_tool(vireoctl, folder, pipe, sensor, command="apply"):
    env = dict(os.environ, VIREO_SIM_CONTROL=pipe)
    env.pop("VIREO_HID", None)
    process = subprocess.Popen([vireoctl, "--virtual", "--data-dir", folder, command], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    done = threading.Event()
    writer = threading.Thread(target=send_when_open,
                              args=(pipe, "sensor %d\n" % SENSORS[sensor]["code"], process, done))
    writer.start()
    return process, done, writer


def leftovers(folder):
    config_dir = os.path.join(folder, "config")
    files = os.listdir(config_dir)
    return ([f for f in files if ".vireo-" in f and f.endswith(".tmp")],
            [f for f in files if ".bad" in f])


def calibrate(vireoctl, folder, work, sensor):
    """Seconds from start to the first and the last file write of an uncut run, and to its end."""
    pipe = os.path.join(work, "calibrate.pipe")
    watched = [os.path.join(folder, "config", n) for n in
               ["config.ini"] + ["default%d.psf" % s for s in range(5)]]
    before = {p: os.stat(p).st_mtime_ns for p in watched}
    t0 = time.monotonic()
    process, done, writer = start_tool(vireoctl, folder, pipe, sensor)
    first = last = None
    while process.poll() is None:
        for p in watched:
            try:
                m = os.stat(p).st_mtime_ns
            except OSError:
                continue
            if m != before[p]:
                before[p] = m
                last = time.monotonic() - t0
                first = first if first is not None else last
        time.sleep(0.0005)
    done.set()
    writer.join()
    total = time.monotonic() - t0
    return first or 0.0, last or 0.0, total, process.returncode


# ---- damaged folders -----------------------------------------------------------------------------

NOBODY = 65534
KNOWN = {"config.ini", "MacroLibraryFile.mlf", "Lan.txt", "Lan_EN.txt", "LanSetting.ini"} | {
    "default%d.psf" % s for s in range(5)}


def run_tool(vireoctl, folder, words, as_nobody=False):
    env = {k: v for k, v in os.environ.items() if k not in ("VIREO_HID", "VIREO_SIM_CONTROL", "XDG_RUNTIME_DIR")}
    env["LANG"] = "en_US.UTF-8"
    command = [vireoctl, "--virtual", "--data-dir", folder] + words
    if as_nobody:
        command = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"] + command
    return subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)


def chown_tree(folder, uid):
    for root, dirs, files in os.walk(folder):
        for name in [root] + [os.path.join(root, n) for n in dirs + files]:
            os.lchown(name, uid, uid)


def snapshot(config_dir):
    """Bytes of every file in the config folder, links as ("link", target)."""
    out = {}
    for name in os.listdir(config_dir):
        path = os.path.join(config_dir, name)
        if os.path.islink(path):
            out[name] = ("link", os.readlink(path))
        elif os.path.isfile(path):
            try:
                out[name] = open(path, "rb").read()
            except OSError:
                out[name] = None
    return out


def kept(name, original, after):
    """The original bytes of a damaged file are still in it or in one of its .bad copies."""
    return any(after.get(n) == original for n in after if n == name or n.startswith(name + ".bad"))


def profile_fields(data):
    if not isinstance(data, bytes):
        return None
    p = parse_profile(lines_of(data))
    return None if p is None else {k: p[k] for k in ("name", "dclick", "polling", "lighting", "keys")}


def cut_bytes(data, rng, at_item=False):
    if at_item:
        marks = [i for i in range(2, len(data) - 1, 2) if data[i:i + 2] == b"\n\x00"]
        text = data[2:].decode("utf-16-le")
        starts = [i for i, line in enumerate(text.split("\n")) if "++++++++MacroItemName=" in line]
        cut_line = rng.choice(starts[1:])  # keep the header and the first item
        return data[:marks[cut_line - 1] + 2]
    return data[:rng.randrange(4, len(data) - 2)]


def damage_cases(is_root):
    cases = [
        ("unreadable config.ini", "unreadable", "config.ini"),
        ("unreadable profile", "unreadable", "default2.psf"),
        ("unreadable library", "unreadable", "MacroLibraryFile.mlf"),
        ("cut config.ini", "cut", "config.ini"),
        ("cut profile", "cut", "default3.psf"),
        ("cut library", "cut", "MacroLibraryFile.mlf"),
        ("library cut where an item ends", "cut-item", "MacroLibraryFile.mlf"),
        ("cut Lan_EN.txt", "cut", "Lan_EN.txt"),
        ("garbage LanSetting.ini", "garbage", "LanSetting.ini"),
    ]
    if is_root:
        cases += [
            ("planted config.ini link", "link", "config.ini"),
            ("planted profile link", "link", "default1.psf"),
            ("planted library link", "link", "MacroLibraryFile.mlf"),
            ("absolute profile path", "absolute", "default1.psf"),
            ("profile path out with ..", "climb", "default1.psf"),
        ]
    return cases


def damage_run(vireoctl, base, work, case, rng):
    """Problems found for one damaged copy, by count name."""
    what, kind, name = case
    found = {"corrupt": [], "inconsistent": [], "lost": [], "harmed": []}
    folder = os.path.join(work, "damaged")
    outside = os.path.join(work, "outside")
    for d in (folder, outside):
        if os.path.islink(os.path.join(d, "config")):
            os.unlink(os.path.join(d, "config"))
        shutil.rmtree(d, ignore_errors=True)
    shutil.copytree(base, folder, symlinks=True)
    os.makedirs(outside)
    config_dir = os.path.join(folder, "config")
    path = os.path.join(config_dir, name)
    secret = b"root's own file, not a profile\n"
    for target in ("secret", "mine.psf"):
        with open(os.path.join(outside, target), "wb") as f:
            f.write(secret)
    root = os.geteuid() == 0
    as_nobody = root and kind == "unreadable"
    if root:
        chown_tree(folder, NOBODY)  # the folder is the user's

    if kind == "unreadable":
        os.chmod(path, 0)
        if root:
            os.chown(path, 0, 0)
    elif kind in ("cut", "cut-item"):
        data = open(path, "rb").read()
        if name == "config.ini" and rng.random() < 0.5:
            # Inside a profile path: the cut the program could take for a path of its own.
            at = data.find(("ProfileSlot%dURL=" % rng.randrange(5)).encode("utf-16-le"))
            data = data[:at + 2 * rng.randrange(17, 34)]
        else:
            data = cut_bytes(data, rng, kind == "cut-item")
        with open(path, "wb") as f:
            f.write(data)
    elif kind == "garbage":
        with open(path, "wb") as f:
            f.write(bytes(rng.randrange(256) for _ in range(rng.randrange(1, 64))))
    elif kind == "link":
        os.unlink(path)
        os.symlink(os.path.join(outside, "secret"), path)
        os.lchown(path, NOBODY, NOBODY)
    elif kind in ("absolute", "climb"):
        lines = read_lines(os.path.join(config_dir, "config.ini"))
        stored = os.path.join(outside, "mine.psf") if kind == "absolute" else \
            "..\\outside\\mine.psf"
        lines[14] = "ProfileSlot1URL=" + stored
        write_lines(os.path.join(config_dir, "config.ini"), lines)
        os.lchown(os.path.join(config_dir, "config.ini"), NOBODY, NOBODY)

    before = snapshot(config_dir)
    if kind == "unreadable":
        original = open(path, "rb").read()  # root reads what the user cannot
    else:
        original = before.get(name)
    outside_before = snapshot(outside)

    steps = {"unreadable": [["info"], ["set", "rate", "250"], ["info"]],
             "link": [["set", "rate", "500"]], "absolute": [["set", "rate", "500"]],
             "climb": [["set", "rate", "500"]]}.get(kind, [["info"], ["profile", "2"]])
    results = []
    snaps = []
    for words in steps:
        r = run_tool(vireoctl, folder, words, as_nobody)
        results.append(r)
        snaps.append(snapshot(config_dir))
    after = snaps[-1]

    # The damaged file: left as it was, or kept aside as .bad.
    if kind not in ("absolute", "climb", "link") and not kept(name, original, after):
        found["lost"].append(name + " neither left nor kept as .bad")
    # Every profile not set aside keeps its buttons' bindings and customised values.
    for slot in range(5):
        p = "default%d.psf" % slot
        was, now = profile_fields(before.get(p)), profile_fields(after.get(p))
        if was is None or (p == name):
            continue
        if now is None:
            found["corrupt"].append(p)
        elif was["keys"] != now["keys"] and not kept(p, before.get(p), after):
            found["lost"].append(p + " buttons")
    # Everything parses, but what the program was to leave as it was.
    config = parse_config(lines_of(after.get("config.ini") or b""))
    if config is None:
        found["corrupt"].append("config.ini")
    lib = after.get("MacroLibraryFile.mlf")
    if name != "MacroLibraryFile.mlf" and count_library(lines_of(lib) if isinstance(lib, bytes) else None) is None:
        found["corrupt"].append("MacroLibraryFile.mlf")
    if name == "MacroLibraryFile.mlf" and kind != "unreadable" and lib != original and not kept(name, original, after):
        found["lost"].append("library written over")
    if name in ("Lan_EN.txt", "LanSetting.ini") and after.get(name) != original:
        found["inconsistent"].append(name + " written back")
    strays = [n for n in after if n not in KNOWN and ".bad" not in n]
    if strays:
        found["inconsistent"].append("files at made-up paths: " + ", ".join(strays))
    if kind == "unreadable":
        # The change made after the repair is there at the next start, and nothing is set aside again.
        p0 = profile_fields(snaps[1].get("default0.psf"))
        p2 = profile_fields(snaps[2].get("default0.psf"))
        if results[1].returncode != 0 or p0 is None or p2 is None or p0["polling"][0] != "250HZ" or p0 != p2:
            found["lost"].append("the change made after the repair")
        st = os.lstat(path) if os.path.lexists(path) else None  # the library is written by its manager only
        if st and (st.st_uid != (NOBODY if root else os.geteuid()) or st.st_mode & 0o600 != 0o600):
            found["lost"].append("the new %s is shut to its user (mode %03o)" % (name, st.st_mode & 0o777))
        again = [n for n in snaps[2] if ".bad" in n and n not in snaps[1]]
        if again:
            found["inconsistent"].append("set aside again: " + ", ".join(again))
    # Nothing outside written, nothing of it copied in.
    if snapshot(outside) != outside_before:
        found["harmed"].append("a file outside the folder written")
    for n, data in after.items():
        if isinstance(data, bytes) and secret in data:
            found["harmed"].append("root's file copied into " + n)
    return found


def damage_campaign(vireoctl, base, work, runs, rng):
    totals = {"corrupt": 0, "inconsistent": 0, "lost": 0, "harmed": 0}
    problems = []
    cases = damage_cases(os.geteuid() == 0)
    for case in cases:
        for run in range(runs):
            found = damage_run(vireoctl, base, work, case, rng)
            for count, items in found.items():
                if items:
                    totals[count] += 1
                    problems.append("%s, run %d: %s: %s" % (case[0], run + 1, count, "; ".join(items)))
    print("%d damaged folders (%d cases%s): corrupt %d, inconsistent %d, lost %d, harmed %d" % (
        len(cases) * runs, len(cases), "" if os.geteuid() == 0 else "; the planted ones need root",
        totals["corrupt"], totals["inconsistent"], totals["lost"], totals["harmed"]))
    for p in problems[:40]:
        print("  " + p)
    return sum(totals.values())


# ---- failing saves -------------------------------------------------------------------------------

def polling_of(path):
    try:
        p = parse_profile(read_lines(path))
    except OSError:
        return None
    return None if p is None else p["polling"][0]


def save_cases():
    cases = [("a file size limit, as on a full disk", "full"),
             ("a folder in place of the profile", "folder")]
    if os.geteuid() == 0:
        cases += [("a folder the user may not change", "readonly"),
                  ("the user's link to a file in such a folder", "link")]
    return cases


def save_run(vireoctl, base, work, case):
    what, kind = case
    found = {"corrupt": [], "false success": [], "false failure": []}
    folder = os.path.join(work, "saves")
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(base, folder, symlinks=True)
    config_dir = os.path.join(folder, "config")
    profile = os.path.join(config_dir, "default0.psf")
    target = profile
    as_nobody = kind in ("readonly", "link")
    if as_nobody:
        chown_tree(folder, NOBODY)
    if kind == "folder":
        os.unlink(profile)
        os.mkdir(profile)
    elif kind == "link":
        locked = os.path.join(folder, "locked")
        os.mkdir(locked)
        target = os.path.join(locked, "first.psf")
        shutil.copy(profile, target)
        os.unlink(profile)
        os.symlink(target, profile)
        for p in (locked, target, profile):
            os.lchown(p, NOBODY, NOBODY)
        os.chmod(locked, 0o555)
    elif kind == "readonly":
        os.chmod(config_dir, 0o555)
    env = {k: v for k, v in os.environ.items() if k not in ("VIREO_HID", "VIREO_SIM_CONTROL", "XDG_RUNTIME_DIR")}
    rate = "250" if polling_of(profile) != "250HZ" else "1000"  # a change, whatever the profile holds
    command = [vireoctl, "--virtual", "--data-dir", folder, "set", "rate", rate]
    if as_nobody:
        command = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"] + command

    def limit():
        if kind == "full":
            import resource
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (1024, resource.RLIM_INFINITY))

    r = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60,
                       preexec_fn=limit)
    for d in (config_dir, os.path.join(folder, "locked")):
        if os.path.isdir(d):
            os.chmod(d, 0o755)
    polling = polling_of(target)
    if polling is None and not os.path.isdir(target):  # a folder the start could not set aside stays
        found["corrupt"].append(target)
    saved = polling == rate + "HZ"
    err = r.stderr.decode(errors="replace")
    if r.returncode == 0 and not saved:
        found["false success"].append("exit 0, the profile holds %s" % polling)
    if r.returncode != 0 and saved:
        found["false failure"].append("exit %d although saved: %s" % (r.returncode, err.strip()))
    if r.returncode != 0 and "could not be saved" not in err:
        found["false failure"].append("exit %d without the file: %s" % (r.returncode, err.strip()))
    return found


def save_campaign(vireoctl, base, work, runs):
    totals = {"corrupt": 0, "false success": 0, "false failure": 0}
    problems = []
    for case in save_cases():
        for run in range(runs):
            for count, items in save_run(vireoctl, base, work, case).items():
                if items:
                    totals[count] += 1
                    problems.append("%s, run %d: %s: %s" % (case[0], run + 1, count, "; ".join(items)))
    print("%d failing saves (%d cases): corrupt %d, false successes %d, false failures %d" % (
        len(save_cases()) * runs, len(save_cases()), totals["corrupt"], totals["false success"],
        totals["false failure"]))
    for p in problems[:20]:
        print("  " + p)
    return sum(totals.values())


# ---- the running program and replugs -------------------------------------------------------------

class Program:
    """vireo on the offscreen platform with the virtual mouse, its control pipe and its socket."""

    def __init__(self, vireo, folder, work, links):
        self.pipe = os.path.join(work, "program.pipe")
        self.runtime = os.path.join(work, "runtime")
        shutil.rmtree(self.runtime, ignore_errors=True)
        os.makedirs(self.runtime, mode=0o700)
        self.env = {k: v for k, v in os.environ.items() if k not in ("VIREO_HID", "VIREO_SIM_CONTROL")}
        self.env.update(XDG_RUNTIME_DIR=self.runtime, QT_QPA_PLATFORM="offscreen", LANG="en_US.UTF-8")
        penv = dict(self.env, VIREO_HID="sim", VIREO_SIM=links, VIREO_SIM_CONTROL=self.pipe,
                    VIREO_DATA_DIR=folder)
        self.process = subprocess.Popen([vireo], env=penv, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and self.process.poll() is None:
            if os.path.exists(self.pipe) and os.listdir(self.runtime):
                time.sleep(0.3)
                return
            time.sleep(0.05)

    def control(self, text):
        fd = os.open(self.pipe, os.O_WRONLY)
        os.write(fd, text.encode())
        os.close(fd)

    def ctl(self, vireoctl, words):
        return subprocess.Popen([vireoctl] + words, env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def replug_runs(vireo, vireoctl, base, work, runs, rng):
    counts = {"corrupt": 0, "false success": 0, "false failure": 0, "lost": 0}
    problems = []
    tried = 0
    folder = os.path.join(work, "program")
    profile = os.path.join(folder, "config", "default0.psf")

    def fresh():
        shutil.rmtree(folder, ignore_errors=True)
        shutil.copytree(base, folder, symlinks=True)

    def note(count, text):
        counts[count] += 1
        problems.append(text)

    def judge(what, r, rate=None, allowed=(0,)):
        out, err = r.communicate(timeout=60)
        code = r.returncode
        if code not in allowed:
            note("false failure", "%s: exit %d: %s" % (what, code, err.decode(errors="replace").strip()))
        if rate is not None and code == 0:
            polling = polling_of(profile)
            if polling is None:
                note("corrupt", "%s: the profile does not parse" % what)
            elif polling != "%dHZ" % rate:
                note("false success", "%s: exit 0, the profile holds %s" % (what, polling))
        return code

    # 200 requests at once: all answered, none a false time-out.
    fresh()
    program = Program(vireo, folder, work, "wired")
    rates = [250, 500, 1000]
    tools = [program.ctl(vireoctl, ["set", "rate", str(rates[i % 3])]) for i in range(200)]
    for i, t in enumerate(tools):
        judge("200 at once, request %d" % (i + 1), t)
    tried += len(tools)
    polling = polling_of(profile)
    if polling not in ("250HZ", "500HZ", "1000HZ"):
        note("lost", "200 at once: the profile holds %s" % polling)
    program.stop()

    for run in range(runs):
        # The cable unplugged and plugged again mid-apply, the receiver there throughout.
        fresh()
        program = Program(vireo, folder, work, "both")
        t = program.ctl(vireoctl, ["apply"])
        time.sleep(rng.uniform(0.02, 0.4))
        program.control("unplug wired\n")
        time.sleep(rng.uniform(0.0, 0.3))
        program.control("plug wired\n")
        judge("cable replugged mid-apply, run %d" % (run + 1), t)
        # Fast unplug and plug of the only device, then a change.
        t = program.ctl(vireoctl, ["set", "rate", "250"])
        judge("set rate after a cable replug, run %d" % (run + 1), t, 250)
        program.stop()

        fresh()
        program = Program(vireo, folder, work, "wired")
        program.control("unplug\nplug\n")
        time.sleep(0.3)
        t = program.ctl(vireoctl, ["set", "rate", "500"])
        judge("set rate after a fast unplug and plug, run %d" % (run + 1), t, 500)
        # The last device unplugged right after the request: an answer, never the tool's time-out.
        t = program.ctl(vireoctl, ["set", "rate", "1000"])
        time.sleep(rng.uniform(0.0, 0.3))
        program.control("unplug\n")
        code = judge("unplug after set rate, run %d" % (run + 1), t, allowed=(0, 2, 5))
        program.process.wait(15)
        if code == 0 and polling_of(profile) != "1000HZ":
            note("false success", "unplug after set rate, run %d: exit 0, the profile holds %s"
                 % (run + 1, polling_of(profile)))
        program.stop()

        # vireoctl on its own, both links, the cable replugged mid-pass.
        fresh()
        pipe = os.path.join(work, "direct.pipe")
        env = {k: v for k, v in os.environ.items() if k not in ("VIREO_HID",)}
        env["VIREO_SIM_CONTROL"] = pipe
        t = subprocess.Popen([vireoctl, "--virtual=both", "--data-dir", folder, "apply"], env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        done = threading.Event()
        delay = rng.uniform(0.05, 0.5)

        def replug():
            time.sleep(delay)
            send_when_open(pipe, "unplug wired\n", t, done)
            time.sleep(rng.uniform(0.0, 0.3))
            send_when_open(pipe, "plug wired\n", t, done)
        writer = threading.Thread(target=replug)
        writer.start()
        judge("vireoctl --virtual=both apply, cable replugged after %.0f ms, run %d" % (delay * 1000, run + 1), t)
        done.set()
        writer.join()
        tried += 5
    print("%d requests around replugs and piled up: corrupt %d, lost %d, false successes %d, false failures %d"
          % (tried, counts["corrupt"], counts["lost"], counts["false success"], counts["false failure"]))
    for p in problems[:20]:
        print("  " + p)
    return sum(counts.values())


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=100)
    parser.add_argument("--damage-runs", type=int, default=3, help="damaged folders per case")
    parser.add_argument("--vireoctl", default=os.path.join(os.path.dirname(__file__), "..", "build", "vireoctl"))
    parser.add_argument("--replug-runs", type=int, default=5, help="rounds of replug cases")
    parser.add_argument("--save-runs", type=int, default=2, help="runs per failing-save case")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--keep", action="store_true", help="keep the data folder")
    parser.add_argument("--verbose", action="store_true", help="one line per run")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    vireoctl = os.path.abspath(args.vireoctl)

    work = tempfile.mkdtemp(prefix="vireo-kill-")
    folder = os.path.join(work, "data")
    os.makedirs(folder)
    # Factory files first, then the library and the customised profiles.
    subprocess.run([vireoctl, "--virtual", "--data-dir", folder, "apply"], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    config_dir = os.path.join(folder, "config")
    write_lines(os.path.join(config_dir, "MacroLibraryFile.mlf"), library_lines())
    expected = {"macros": [macro_name(i) for i in range(1, MACROS + 1)], "profiles": []}
    for slot in range(5):
        path = os.path.join(config_dir, "default%d.psf" % slot)
        lines = customise(read_lines(path), slot)
        write_lines(path, lines)
        expected["profiles"].append(parse_profile(lines))
    def other_sensor():
        # The mouse reports the sensor config.ini does not name, so that every run converts.
        config = parse_config(read_lines(os.path.join(config_dir, "config.ini")))
        return 0x3104 if config is None or config["sensor"] == 0x3395 else 0x3395

    base = os.path.join(work, "base")
    shutil.copytree(folder, base, symlinks=True)
    if os.geteuid() == 0:
        os.chmod(work, 0o755)  # nobody reaches the damaged copies

    sensor = other_sensor()
    first, last, total, code = calibrate(vireoctl, folder, work, sensor)
    if code != 0:
        sys.exit("vireoctl failed (%d) on the prepared folder" % code)
    print("seed %d; an uncut run writes its files from %.0f to %.0f ms and ends after %.0f ms"
          % (seed, first * 1000, last * 1000, total * 1000))
    # Half of the kills anywhere from the start to past the saves, half into the saves themselves
    # (where a cut does the most harm, and which are a small part of a run).
    max_delay = max(last * 1.25, 0.05)
    window = (max(0.0, first - 0.03), last + 0.03)

    totals = {"corrupt": 0, "inconsistent": 0, "lost": 0}
    after_start = {"corrupt": 0, "inconsistent": 0, "lost": 0, "leftover": 0}
    pending = leftover_seen = finished = 0
    problems = []
    for run in range(1, args.runs + 1):
        sensor = other_sensor()
        pipe = os.path.join(work, "run%d.pipe" % run)
        process, done, writer = start_tool(vireoctl, folder, pipe, sensor)
        delay = rng.uniform(0, max_delay) if run % 2 else rng.uniform(*window)
        time.sleep(delay)
        if process.poll() is None:
            process.send_signal(signal.SIGKILL)
        else:
            finished += 1
        process.wait()
        done.set()
        writer.join()
        if os.path.exists(pipe):
            os.unlink(pipe)

        temps, bads = leftovers(folder)
        leftover_seen += bool(temps)
        corrupt, inconsistent, lost, is_pending = check_folder(folder, expected)
        pending += is_pending
        for name, found in (("corrupt", corrupt), ("inconsistent", inconsistent), ("lost", lost)):
            if found:
                totals[name] += 1
                problems.append("run %d (%.0f ms): %s: %s" % (run, delay * 1000, name, ", ".join(found)))
        if bads:
            problems.append("run %d: set aside: %s" % (run, ", ".join(bads)))
        if args.verbose:
            print("run %3d: sensor 0x%04X, killed after %4.0f ms%s%s" % (
                run, sensor, delay * 1000, ", conversion unfinished" if is_pending else "",
                ", left " + " ".join(temps) if temps else ""))

        # What the next start makes of it, on a copy so that the campaign goes on from the cut.
        copy = os.path.join(work, "next-start")
        shutil.rmtree(copy, ignore_errors=True)
        shutil.copytree(folder, copy, symlinks=True)
        subprocess.run([vireoctl, "--virtual", "--data-dir", copy, "info"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, env={k: v for k, v in os.environ.items() if k != "VIREO_HID"})
        corrupt, inconsistent, lost, still_pending = check_folder(copy, expected)
        temps_after, _ = leftovers(copy)
        for name, found in (("corrupt", corrupt),
                            ("inconsistent", inconsistent + (["still unfinished"] if still_pending else [])),
                            ("lost", lost), ("leftover", temps_after)):
            if found:
                after_start[name] += 1
                problems.append("run %d, next start: %s: %s" % (run, name, ", ".join(found)))

    print("%d runs: %d killed, %d finished before the kill; kill delays 0..%.0f ms, every second one "
          "in %.0f..%.0f ms" % (args.runs, args.runs - finished, finished, max_delay * 1000, window[0] * 1000,
                               window[1] * 1000))
    print("as left by the kill:  corrupt %d, inconsistent %d, lost %d   (%d left a conversion marked "
          "unfinished, %d left a temporary file)" % (totals["corrupt"], totals["inconsistent"], totals["lost"],
                                                     pending, leftover_seen))
    print("after the next start: corrupt %d, inconsistent %d, lost %d, temporary files left %d"
          % (after_start["corrupt"], after_start["inconsistent"], after_start["lost"], after_start["leftover"]))
    for p in problems[:40]:
        print("  " + p)
    damaged = damage_campaign(vireoctl, base, work, args.damage_runs, rng)
    damaged += save_campaign(vireoctl, base, work, args.save_runs)
    vireo = os.path.join(os.path.dirname(vireoctl), "vireo")
    if args.replug_runs > 0 and os.path.exists(vireo):
        damaged += replug_runs(vireo, vireoctl, base, work, args.replug_runs, rng)
    if args.keep:
        print("data folder kept in", folder)
    else:
        shutil.rmtree(work, ignore_errors=True)
    bad = sum(totals.values()) + sum(after_start.values()) + damaged
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
