#!/usr/bin/env python3
"""The voice-mail machine against the generated voice-mail page.

Every scenario is a mailbox world (member rows, mailbox files, the time of the call) and
calls given as the caller's entries. The calls run through the machine (the script tool
given with --machine) and through the page under Wine (pagecalls.py); for every call the
prompts heard in order (with their start positions), the waits for digits, the recordings
and the end must be equal, and after the scenario the member rows and the files under
mboxes/ too. The scenarios: the whole calls of the page's own test, the edge cases, and
random key scripts over seeded worlds.
"""
import argparse
import datetime
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import pagecalls  # noqa: E402

BIG = bytes(range(256)) * 600   # 153600 bytes: fast forward moves inside it twice


class Scenario:
    def __init__(self, name, members, files, now, calls):
        self.name = name
        self.members = members        # [(mailbox, password, fname, lname, attempts)]
        self.files = files            # {"1234/msg/01020304.inf": b""}
        self.now = now
        self.calls = calls


def stamp(now, days_ago, hhnn):
    d = now - datetime.timedelta(days=days_ago)
    return d.strftime("%m%d") + hhnn


# ---------- the scenarios ----------

def page_test_scenarios():
    """The whole calls the page's own test plays (codegen/wineasp/test_remotepage.py)."""
    now = datetime.datetime(2026, 3, 4, 11, 30)
    lockout = Scenario(
        "lock-out", [(2222, 1111, "f", "l", 0), (3333, 3333, "f", "l", 0)], {}, now,
        [["9999#", "12*4#", "", "#", "99999999#",
          "2222#", "0000#", "2222#", "*1#", "2222#", ""],
         ["2222#", "1111#"], ["2222#", "1#"], ["02222#", "1111#"]])
    a, b, c = "01101112", "01050607", "01020304"
    today = now.strftime("%m%d") + "0905"
    files = {"1234/msg/%s.inf" % a: b"", "1234/msg/%s.wav" % a: b"A",
             "1234/msg/%s.inf" % b: b"", "1234/msg/%s.wav" % b: BIG,
             "1234/msg/%s.in_" % c: b"", "1234/msg/%s.wav" % c: b"C",
             "5678/msg/%s.wav" % b: b"other",
             "5678/msg/%s.inf" % today: b"", "5678/msg/%s.wav" % today: b"T"}
    first = ["1234#", "4321#", "1", "", "6", "6", "4", "4", "4",
             "2", "*", "8", "#", "1", "", "7",
             "9", "777#", "9", "5*78#", "9", "5678#",
             "3", "3", "3", "1", "1", "1", "*",
             {"removeFile": "1234/msg/%s.wav" % b}, "7", "5",
             "4", "3", "5", "2", "5", "1",
             "5", "5", "2468#", "2468#",
             "5", "5", "1111#", "2222#", "5", "5", "", "5", "5", "12*#",
             "5", "5", "99999#", "99999#",
             "5", "0", "0", "0", "0", "0"]
    session = Scenario(
        "mailbox session", [(1234, 4321, "f", "l", 0), (5678, 8765, "f", "l", 0),
                            (4000, 1, "f", "l", 0)], files, now,
        [first, ["1234", "2468#", "5", "6"], ["5678#", "8765#", "1", "", "8", "#", "#"]])
    return [lockout, session]


def edge_scenarios():
    now = datetime.datetime(2026, 1, 2, 0, 5)
    members = [(1001, 1111, "Ann", "Lee", 0), (1002, 2222, "Bo", "Ray", 2),
               (1003, 3333, "Cy", "Dow", 3), (1004, 4444, "Di", "Fox", 32767),
               (1005, 5555, "Ed", "Gu", None)]
    out = []
    out.append(Scenario("lock-out boundary", members, {}, now, [
        ["1002#", "9#"],                 # the third failed attempt locks
        ["1002#", "2222#"],              # and the right password no longer opens
        ["1003#", "3333#"], ["1003#", "0#"],
        ["1004#", "1#", "1004#", "4444#"],   # the count stays at its largest value
        ["1005#", "1#", "1005#", "5555#", "#"],  # an empty count reads 0
        ["1001#", "1#", "1001#", "1#", "1001#", "01111#", "#"]]))
    hostile = ["1' or '1'='1", "1001 or 1=1", "1001;drop table members", "1001#1111",
               "0x3E9", "1e3", " 1001", "1001 ", "-1001", "+1001", "\u00b9001", "1001.0",
               "%00", "1001\t", "\\", "\"", "'", "00000001001#", "32768#", "65537#"]
    out.append(Scenario("hostile entries", members, {}, now, [
        hostile + ["1001#", "1' or ''='", "1001#", "1111 ", "1001#", "1111#", "5", "5",
                   "1' or 1=1", "5", "5", "2#", "2 or 1=1", "5", "5", "7#", "7#", "#"]]))
    only = stamp(now, 0, "0000")
    noon = stamp(now, 1, "1200")
    files = {"1001/msg/%s.inf" % only: b"", "1001/msg/%s.wav" % only: b"M",
             "1002/msg/%s.i__" % noon: b"", "1002/msg/%s.wav" % noon: b"N",
             "1002/msg/12311230.i__": b"", "1002/msg/12311230.wav": b"Y",
             "1002/msg/01011159.i__": b"",    # no recording: its time stamp is read
             "1003/msg/%s.inf" % only: b""}
    out.append(Scenario("delete the only message, midnight and noon", members, files, now, [
        ["1001#", "1111#", "1", "T", "8", "4", "7", "6", "#"],
        ["1001#", "1111#", "1", "T", "4", "#"],
        ["1001#", "1111#", "2", "T", "7", "4", "4", "6", "#"]]))
    out.append(Scenario("time stamps across the day", members, {
        "1001/msg/%s.inf" % stamp(now, 0, hhnn): b"" for hhnn in
        ("0000", "0001", "0059", "0100", "1159", "1200", "1201", "1210", "1220", "2359")},
        now, [["1001#", "1111#", "1", "T"] + ["8"] * 12 + ["#"]]))
    fwd = {"1001/msg/01011230.inf": b"", "1001/msg/01011230.wav": b"F",
           "1002/msg/01011230.wav": b"x", "1002/msg/01011231.inf": b"",
           "1002/msg/01011232.i__": b""}
    out.append(Scenario("forwarding: missing, oneself, taken minutes", members, fwd, now, [
        ["1001#", "1111#", "1", "T", "9", "9999#", "9", "1001#", "9", "1002#",
         "9", "1002#", "9", "T", "9", "01002#", "9", "#", "#"],
        ["1002#", "2222#", "1", "T", "6", "6", "#", "#"]]))
    out.append(Scenario("member deleted mid-call", members, {
        "1001/msg/01011230.inf": b"", "1001/msg/01011230.wav": b"F"}, now, [
        ["1001#", "1111#", {"deleteMember": 1001}, "5", "5", "3#", "3#", "1", "T",
         "9", "1002#", {"deleteMember": 1002}, "9", "1002#", "#", "*", "1001#", "#"],
        ["1001#", "1111#"]]))
    leap = datetime.datetime(2028, 2, 29, 23, 59)
    out.append(Scenario("ages across the year", members, {
        "1001/msg/%s.inf" % s: b"" for s in
        ("02290000", "02281200", "03010000", "12310000", "01011200", "06150000")},
        leap, [["1001#", "1111#", "1", "T"] + ["6"] * 7 + ["4"] * 3 + ["#"],
               ["1001#", "1111#", "2", "T", "9", "1001#", "4", "4", "#"]]))
    out.append(Scenario("greetings, name and menus", members, {}, now, [
        ["1001#", "1111#", "3", "4", "3", "5", "1", "5", "2", "5", "1",
         "5", "9", "9", "5", "#", "9", "9", "9"],
        ["1001#", "1111#", "5", "7"], ["1001#", "1111#", "*", "1002#", "2222#"]]))
    return out


def random_world(rng, now):
    members = [(1001, 1111, "Ann", "Lee", 0), (1002, 2222, "Bo", "Ray", rng.choice([0, 1, 2])),
               (1003, 3333, "Cy", "Dow", 3), (1004, 0, "Di", "Fox", None),
               (1005, 5555, "Ed", "Gu", 0), (1005, 5556, "Ed", "Gu2", 1),
               (32767, 32767, "Max", "Top", 0)]
    rng.shuffle(members)
    files = {}
    for mailbox in (1001, 1002, 1003, 1004, 1005, 32767):
        if rng.random() < 0.15:
            continue
        for _ in range(rng.choice([0, 1, 2, 3, 4, 6])):
            days = rng.choice([0, 0, 1, 2, 3, 9, 30, 200, 364, 365])
            hhnn = rng.choice(["0000", "1200", "0905", "1347", "2359", "0030", "1230",
                               "%02d%02d" % (rng.randrange(24), rng.randrange(60))])
            stem = stamp(now, days, hhnn)
            ending = rng.choice(["inf", "inf", "in_", "i__", "i__"])
            files["%d/msg/%s.%s" % (mailbox, stem, ending)] = b""
            if rng.random() < 0.85:
                files["%d/msg/%s.wav" % (mailbox, stem)] = rng.choice(
                    [b"short", BIG, bytes(70000)])
        if rng.random() < 0.3:
            files["%d/personal.wav" % mailbox] = b"hello"
    return members, files


LOGINS = [("1001#", "1111#"), ("1002#", "2222#"), ("1004#", "0#"), ("1005#", "5555#"),
          ("1005#", "5556#"), ("32767#", "32767#"), ("01001", "01111"), ("1001", "1111")]
WRONG = [("1003#", "3333#"), ("1002#", "1#"), ("9999#", "T"), ("1001#", "T"), ("T", "1111#"),
         ("1005#", "5557#"), ("#", "*")]
# Pieces of a call: playback keys, menu choices, forwarding, greetings, password changes.
PIECES = [["1", "T"], ["1", "*"], ["2", "T"], ["2", "*"], ["6"], ["6"], ["4"], ["7"], ["8"],
          ["3"], ["1"], ["*"], ["#"], ["0"], ["T"], ["9", "1002#"], ["9", "1001#"],
          ["9", "4242#"], ["9", "T"], ["3"], ["4"], ["5", "1"], ["5", "2"], ["5", "0"],
          ["5", "5", "123#", "123#"], ["5", "5", "77#", "78#"], ["5", "5", "T"], ["5", "#"],
          ["*", "1001#", "1111#"], ["H"]]


def random_entries(rng):
    login = list(rng.choice(LOGINS))
    if rng.random() < 0.35:
        login = list(rng.choice(WRONG)) + login
    entries = login
    for _ in range(rng.randrange(3, 14)):
        if rng.random() < 0.04:
            entries.append({"deleteMember": rng.choice([1001, 1002, 1005])})
        entries += rng.choice(PIECES)
    return entries


def random_scenarios(count, seed):
    rng = random.Random(seed)
    out = []
    for i in range(count):
        now = datetime.datetime(2026, rng.randrange(1, 13), rng.randrange(1, 29),
                                rng.randrange(24), rng.randrange(60))
        members, files = random_world(rng, now)
        calls = [random_entries(rng) for _ in range(3)]
        out.append(Scenario("random %d (seed %d)" % (i, seed), members, files, now, calls))
    return out


# ---------- running both sides ----------

def put_files(root, files):
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(root)
    for rel, data in files.items():
        path = os.path.join(root, *rel.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def tree(root):
    """Folders and files under root, with the files' contents."""
    out = {}
    for folder, dirs, names in os.walk(root):
        rel = os.path.relpath(folder, root).replace(os.sep, "/")
        out[rel + "/"] = None
        for n in names:
            with open(os.path.join(folder, n), "rb") as f:
                out[(rel + "/" + n).lstrip("./")] = f.read()
    return out


def run_machine(tool, work, sc):
    app = os.path.join(work, "app")
    shutil.rmtree(app, ignore_errors=True)
    os.makedirs(app)
    put_files(os.path.join(app, "mboxes"), sc.files)
    script = {"appDir": app, "now": sc.now.strftime("%Y-%m-%dT%H:%M"),
            "members": [dict(zip(("mailbox", "password", "fname", "lname", "attempts"), m))
                        for m in sc.members],
            "calls": sc.calls}
    path = os.path.join(work, "machine.json")
    with open(path, "w") as f:
        json.dump(script, f)
    p = subprocess.run([tool, path], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
    if p.returncode != 0:
        raise RuntimeError("the machine failed: " + p.stderr.decode())
    result = json.loads(p.stdout)
    return result["calls"], result["members"], tree(os.path.join(app, "mboxes"))


def run_page(world, sc):
    put_files(os.path.join(world.voices, "mboxes"), sc.files)
    world.set_members([(i + 1,) + tuple(m) for i, m in enumerate(sc.members)])
    calls = [world.run(c, sc.now) for c in sc.calls]
    return calls, world.members(), tree(os.path.join(world.voices, "mboxes"))


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def compare(sc, machine, page):
    """Returns the disagreements as readable lines (empty when the two sides agree)."""
    problems = []
    for n, (m, p) in enumerate(zip(machine[0], page[0])):
        if m != p:
            i = first_difference(m, p)
            problems.append("%s, call %d (%s): event %d differs\n  before: %s\n"
                            "  machine: %s\n  page:    %s" % (
                                sc.name, n + 1, json.dumps(sc.calls[n])[:300], i,
                                m[max(0, i - 4):i], m[i:i + 6], p[i:i + 6]))
    if machine[1] != page[1]:
        problems.append("%s: member rows differ\n  machine: %s\n  page:    %s"
                        % (sc.name, machine[1], page[1]))
    if machine[2] != page[2]:
        keys = sorted(set(machine[2]) | set(page[2]))
        diff = [(k, "machine" if k in machine[2] else "-", "page" if k in page[2] else "-")
                for k in keys if machine[2].get(k, 0) != page[2].get(k, 0)]
        problems.append("%s: mailbox files differ: %s" % (sc.name, diff))
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--dump", required=True, help="tool that writes the voice-mail page")
    ap.add_argument("--machine", required=True, help="the voice-mail script tool")
    ap.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "voicemail-diff"))
    ap.add_argument("--random", type=int, default=20, help="random worlds, 3 calls each")
    ap.add_argument("--seed", type=int, default=14)
    args = ap.parse_args()
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    page = os.path.join(work, "remotetts.asp")
    subprocess.run([args.dump, page], check=True)

    scenarios = page_test_scenarios() + edge_scenarios() + random_scenarios(args.random, args.seed)
    prefix_existed = os.path.isdir(os.path.join(pagecalls.WINEPREFIX, "dosdevices"))
    started = time.monotonic()
    machine_seconds = 0.0
    problems, failed, calls, events = [], 0, 0, 0
    try:
        world = pagecalls.PageWorld(page, os.path.join(work, "page"))
        for sc in scenarios:
            t0 = time.monotonic()
            mine = run_machine(args.machine, work, sc)
            machine_seconds += time.monotonic() - t0
            theirs = run_page(world, sc)
            calls += len(sc.calls)
            events += sum(len(c) for c in theirs[0])
            found = compare(sc, mine, theirs)
            failed += bool(found)
            problems += found
    finally:
        if not prefix_existed or os.environ.get("ASP_WINEPREFIX"):
            subprocess.run(["wineserver", "-k"],
                           env=dict(os.environ, WINEPREFIX=pagecalls.WINEPREFIX),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    print("%d scenarios, %d calls, %d events, %d page visits: page %.1f s under Wine, "
          "machine %.1f s, all %.1f s; Wine failed to start %d times" % (
              len(scenarios), calls, events, world.visits, world.seconds, machine_seconds,
              time.monotonic() - started, world.restarts))
    for p in problems:
        print(p)
    print("%d passed, %d failed" % (len(scenarios) - failed, failed))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
