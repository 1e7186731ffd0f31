#!/usr/bin/env python3
"""Plays whole telephone calls through the generated voice-mail page.

The page is written by the generator (the dump tool given with --dump), turned into a
script by asp2vbs.py and run one visit at a time under Wine's cscript with fake ASP and
ADO objects (aspfakes.vbs). The test stands in for the telephony engine: it plays what
the page selects, records files where the page asks for a recording, and types digits
where the page collects them.
"""
import argparse
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from aspdriver import AspCall, wineserver_stopped_after  # noqa: E402

SITE = "d:/inetpub/wwwroot/voices/"
PAGE = None
WORK = None

# Every statement the page may run: members looked up or changed by validated numbers.
SAFE_SQL = re.compile(
    r"^(select (mailbox|attempts|\*|password, attempts) from members where mailbox =\d+"
    r"( and password =\d+)?"
    r"|update members set (attempts|password) =\d+ where mailbox =\d+)$")


# The play action's element as the engine receives it.
PLAY = re.compile(r'<p voicefile="([^"]*)"(?: startposition="(\d+)")?>')


def number_prompts(n):
    """The prompts of a whole number below a thousand, as the page reads it."""
    out = []
    if n >= 100:
        out += ["%d.wav" % (n // 100), "hundred.wav"]
    t = n % 100
    if t >= 20:
        out.append("%d0.wav" % (t // 10))
        t %= 10
    if t:
        out.append("%d.wav" % t)
    return out


def age_in_days(stem):
    today = datetime.date.today()
    d = datetime.date(today.year, int(stem[:2]), int(stem[2:4]))
    if d > today:
        d = datetime.date(today.year - 1, int(stem[:2]), int(stem[2:4]))
    return (today - d).days


def age_prompts(stem):
    age = age_in_days(stem)
    if age == 0:
        return ["today.wav"]
    if age == 1:
        return ["yestrday.wav"]
    return ["received.wav"] + number_prompts(age) + ["daysago.wav"]


class Phone:
    """One telephony server: a page, a d: drive, the member table and the calls."""

    def __init__(self, name, members, page=None):
        self.root = os.path.join(WORK, name)
        shutil.rmtree(self.root, ignore_errors=True)
        self.ddrive = os.path.join(self.root, "ddrive")
        self.voices = os.path.join(self.ddrive, "inetpub", "wwwroot", "voices")
        os.makedirs(os.path.join(self.voices, "mboxes"))
        self.call = AspCall(page or PAGE, self.root, drives={"d": self.ddrive})
        self.call.write_db({"members": (
            ["id:n", "mailbox:n", "password:n", "fname:s", "lname:s", "attempts:n"],
            [(i + 1, mb, pw, "f%d" % i, "l%d" % i, at) for i, (mb, pw, at) in enumerate(members)])})
        self.sql = []
        self.recorded = []
        self.new_call()

    def new_call(self, **session):
        self.call.write_session(session)
        self.hung = False
        self.waiting = None

    def host(self, location):
        assert location.lower().startswith(SITE), location
        return os.path.join(self.voices, *location[len(SITE):].split("/"))

    def file(self, *parts):
        return os.path.join(self.voices, "mboxes", *parts)

    def put(self, mailbox, name, data=b""):
        os.makedirs(self.file(mailbox, "msg"), exist_ok=True)
        with open(self.file(mailbox, "msg", name), "wb") as f:
            f.write(data)

    def msgs(self, mailbox):
        folder = self.file(mailbox, "msg")
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def members(self):
        return {int(r["mailbox"]): r for r in self.call.read_db()["members"]}

    @classmethod
    def played(cls, output):
        """What the play action sends to the engine: the file, and "@position" when the play
        starts that many bytes into it."""
        plays = PLAY.findall(output)
        assert len(plays) == 1, output
        location, position = plays[0]
        return cls.prompt(location) + ("@" + position if position else "")

    @staticmethod
    def prompt(location):
        rest = location[len(SITE):] if location.startswith(SITE) else location
        return rest[len("waves/"):] if rest.startswith("waves/") else rest

    def run(self, digits=None, limit=120):
        """Types digits (if the page waits for some) and lets the call run until the page
        waits for digits again or hangs up. Returns the prompts played meanwhile."""
        assert not self.hung, "the call has ended"
        prompts, pending = [], digits
        for _ in range(limit):
            v = self.call.visit(digits=pending)
            pending = None
            if not v.ok:
                raise AssertionError("page failed: %s\nstdout: %s\nstderr: %s"
                                     % (v.error, v.stdout[-1000:], v.stderr[-1000:]))
            if self.call.restarts:
                print("Wine restarted a visit: %r" % self.call.restarts, file=sys.stderr)
                self.call.restarts.clear()
            self.sql += v.sql
            self.last = v
            actions = v.actions
            if actions == ["playfile"]:
                prompts.append(self.played(v.output))
            elif actions == ["recordfile"]:
                path = self.host(v["data2"])
                with open(path, "wb") as f:
                    f.write(b"recorded")
                self.recorded.append(self.prompt(v["data2"]))
            elif actions == ["getdigits"]:
                self.waiting = (v["maxdigits"], v["timeout"])
                return prompts
            elif actions == ["hangup"]:
                self.hung = True
                return prompts
            elif actions:
                raise AssertionError("more than one action block: %s" % actions)
        raise AssertionError("no digits collected after %d visits: %s" % (limit, prompts))

    def check_sql(self, test):
        for q in self.sql:
            test.assertRegex(q, SAFE_SQL)


class Readers(unittest.TestCase):
    """The readers, entered straight from a test state instead of the state routine."""

    @classmethod
    def setUpClass(cls):
        with open(PAGE, encoding="latin-1", newline="") as f:
            text = f.read()
        entry = ("select case session(\"reader\")\r\n"
                 "case \"number\": call ssfplaynumber(\"done\", session(\"n\"))\r\n"
                 "case \"currency\": call ssfplaycurrency(\"done\", session(\"n\"), session(\"c\"))\r\n"
                 "case \"time\": call ssfplaytime(\"done\", session(\"n\"))\r\n"
                 "case \"date\": call ssfplaydate(\"done\", session(\"n\"))\r\n"
                 "case \"string\": call ssfplaystring(\"done\", session(\"n\"))\r\n"
                 "end select\r\n")
        assert text.count("\r\ncall fdoremote\r\n") == 1
        text = text.replace("\r\ncall fdoremote\r\n", "\r\n" + entry)
        page = os.path.join(WORK, "readers.asp")
        with open(page, "w", encoding="latin-1", newline="") as f:
            f.write(text)
        cls.phone = Phone("readers", [], page=page)

    def read(self, reader, n, c=0):
        p = self.phone
        p.new_call(data0="reading", reader=reader, n=n, c=c)
        prompts = []
        for _ in range(40):
            v = p.call.visit()
            self.assertTrue(v.ok, v.error)
            if v.actions == ["playfile"]:
                prompts.append(p.prompt(v["data2"]))
            else:
                self.assertEqual(v.actions, [])
            if v["data0"] == "done":
                self.assertEqual(v["subdata0"], "")
                return prompts
            self.assertEqual(v["data0"], "reading")
        self.fail("the reading does not end")

    def test_numbers(self):
        for n, want in [(0, []), (7, ["7.wav"]), (15, ["15.wav"]), (20, ["20.wav"]),
                        (21, ["20.wav", "1.wav"]), (115, ["1.wav", "hundred.wav", "15.wav"]),
                        (2005, ["2.wav", "thousand.wav", "5.wav"]), (1000000000, []),
                        (347021, ["3.wav", "hundred.wav", "40.wav", "7.wav", "thousand.wav",
                                  "20.wav", "1.wav"]),
                        (2000000, ["2.wav", "million.wav", "thousand.wav"])]:
            with self.subTest(n=n):
                self.assertEqual(self.read("number", n), want)

    def test_times(self):
        for t, want in [("0000", ["12.wav", "am.wav"]),
                        ("0905", ["9.wav", "o.wav", "5.wav", "am.wav"]),
                        ("1230", ["12.wav", "30.wav", "pm.wav"]),
                        ("1347", ["1.wav", "40.wav", "7.wav", "pm.wav"])]:
            with self.subTest(t=t):
                self.assertEqual(self.read("time", t), want)

    def test_dates(self):
        for d, want in [("0105", ["month01.wav", "5.wav"]), ("0112", ["month01.wav", "12.wav"]),
                        ("0120", ["month01.wav", "20.wav"]),
                        ("0123", ["month01.wav", "20.wav", "3.wav"])]:
            with self.subTest(d=d):
                self.assertEqual(self.read("date", d), want)

    def test_currency_and_string(self):
        self.assertEqual(self.read("currency", 1, 1),
                         ["1.wav", "dollar.wav", "1.wav", "cent.wav"])
        self.assertEqual(self.read("currency", 21, 50),
                         ["20.wav", "1.wav", "dollars.wav", "50.wav", "cents.wav"])
        self.assertEqual(self.read("string", "12a"), ["1.wav", "2.wav", "a.wav"])


class Calls(unittest.TestCase):

    def test_wrong_mailbox_and_lockout(self):
        p = Phone("lockout", [(2222, 1111, 0), (3333, 3333, 0), (4444, 1, 32766),
                              (5555, 1, 32767)])
        self.assertEqual(p.run(), ["entermb.wav"])
        self.assertEqual(p.waiting, (9, 3))
        self.assertEqual(p.run("9999#"), ["invalid.wav", "entermb.wav"])
        # entries that are not numbers never reach a statement
        for bad in ("12*4#", "", "#", "99999999#"):
            before = len(p.sql)
            self.assertEqual(p.run(bad), ["invalid.wav", "entermb.wav"], bad)
            self.assertEqual(p.sql[before:], [], bad)
        # three wrong passwords, one of them not a number: the mailbox locks
        for n, wrong in enumerate(("0000#", "*1#", ""), 1):
            self.assertEqual(p.run("2222#"), ["enterpw.wav"])
            self.assertEqual(p.waiting, (15, 3))
            want = ["invalid.wav"] if n == 3 else ["invalid.wav", "entermb.wav"]
            self.assertEqual(p.run(wrong), want)
            self.assertEqual(int(p.members()[2222]["attempts"]), n)
        self.assertTrue(p.hung)
        self.assertEqual(p.last["data1"], "hangup")
        # the right password no longer opens it, and the count stays
        p.new_call()
        p.run()
        p.run("2222#")
        self.assertEqual(p.run("1111#"), [])
        self.assertTrue(p.hung)
        self.assertEqual(int(p.members()[2222]["attempts"]), 3)
        # a fourth wrong try does not reopen it
        p.new_call()
        p.run()
        p.run("2222#")
        self.assertEqual(p.run("1#"), ["invalid.wav"])
        self.assertTrue(p.hung)
        self.assertEqual(int(p.members()[2222]["attempts"]), 4)
        p.new_call()
        p.run()
        p.run("02222#")
        self.assertEqual(p.run("1111#"), [])
        self.assertTrue(p.hung)
        self.assertEqual(int(p.members()[3333]["attempts"]), 0)
        # the count stops at what the 16-bit column holds
        for mailbox in (4444, 5555):
            p.new_call()
            p.run()
            p.run("%d#" % mailbox)
            self.assertEqual(p.run("9#"), ["invalid.wav"])
            self.assertTrue(p.hung)
            self.assertEqual(int(p.members()[mailbox]["attempts"]), 32767)
        p.check_sql(self)

    def test_unknown_state_hangs_up(self):
        p = Phone("unknown", [(1234, 4321, 0)])
        p.new_call(data0="nosuchstate")
        self.assertEqual(p.run(), [])
        self.assertTrue(p.hung)
        self.assertIn('window.navigate("callwave.asp#hangup")', p.last.output)

    def test_mailbox_session(self):
        p = Phone("session", [(1234, 4321, 0), (5678, 8765, 0), (4000, 1, 0)])
        a, b, c = "01101112", "01050607", "01020304"
        big = bytes(range(256)) * 600          # 153600 bytes
        p.put("1234", a + ".inf")
        p.put("1234", a + ".wav", b"A")
        p.put("1234", b + ".inf")
        p.put("1234", b + ".wav", big)
        p.put("1234", c + ".in_")              # heard in an earlier call
        p.put("1234", c + ".wav", b"C")
        p.put("5678", b + ".wav", b"other")    # the forward target holds the same stem
        today = datetime.date.today().strftime("%m%d") + "0905"
        p.put("5678", today + ".inf")
        p.put("5678", today + ".wav", b"T")

        def msg(stem, mb="1234"):
            return "mboxes/%s/msg/%s.wav" % (mb, stem)

        def plays(number, stem, mb="1234"):
            return ["message.wav"] + number_prompts(number) + age_prompts(stem) + [msg(stem, mb)]

        # login with "#"-terminated entries; two new messages are announced
        self.assertEqual(p.run(), ["entermb.wav"])
        self.assertEqual(p.run("1234#"), ["enterpw.wav"])
        self.assertEqual(p.run("4321#"), ["youhave.wav", "2.wav", "newmsgs.wav", "remmenu.wav"])
        self.assertEqual(p.waiting, (1, 3))
        self.assertIn(c + ".i__", p.msgs("1234"))
        self.assertNotIn(c + ".in_", p.msgs("1234"))

        # new messages newest first, next, previous and "nomsg.wav" at both ends
        self.assertEqual(p.run("1"), ["pbinstru.wav"])
        self.assertEqual(p.waiting, (1, 0))
        self.assertEqual(p.run(""), plays(1, a))
        self.assertEqual(p.waiting, (1, 0))
        self.assertIn(a + ".in_", p.msgs("1234"))
        self.assertNotIn(a + ".inf", p.msgs("1234"))
        self.assertEqual(p.run("6"), plays(2, b))
        self.assertEqual(p.run("6"), ["nomsg.wav"])
        self.assertEqual(p.waiting, (1, 2))
        self.assertEqual(p.run("4"), plays(2, b))
        self.assertEqual(p.run("4"), plays(1, a))
        self.assertEqual(p.run("4"), ["nomsg.wav", "remmenu.wav"])

        # old messages, the playback menu and the time stamp
        self.assertEqual(p.run("2"), ["pbinstru.wav", "youhave.wav", "1.wav", "message.wav"])
        self.assertEqual(p.run("*"), ["pbmenu.wav"] + plays(1, c))
        self.assertEqual(p.run("8"), ["timemsg.wav", "3.wav", "o.wav", "4.wav", "am.wav",
                                      "nomsg.wav"])
        self.assertEqual(p.run("#"), ["remmenu.wav"])

        # delete: the next message keeps the deleted one's number
        p.run("1")
        self.assertEqual(p.run(""), plays(1, a))
        self.assertEqual(p.run("7"), ["msgdel.wav"] + plays(1, b))
        self.assertFalse([n for n in p.msgs("1234") if n.startswith(a)])

        # forwarding: only to a member's mailbox, into the next free minute
        self.assertEqual(p.run("9"), ["entrsnmb.wav"])
        self.assertEqual(p.waiting, (9, 3))
        self.assertEqual(p.run("777#"), ["invalid.wav", msg(b)])
        self.assertFalse(os.path.exists(p.file("777")))
        p.run("9")
        before = len(p.sql)
        self.assertEqual(p.run("5*78#"), ["invalid.wav", msg(b)])
        self.assertEqual(p.sql[before:], [])
        p.run("9")
        self.assertEqual(p.run("5678#"), ["msgsent.wav", msg(b)])
        self.assertEqual(p.msgs("5678"), sorted([b + ".wav", b[:7] + "8.inf", b[:7] + "8.wav",
                                                 today + ".inf", today + ".wav"]))
        with open(p.file("5678", "msg", b[:7] + "8.wav"), "rb") as f:
            self.assertEqual(f.read(), big)
        with open(p.file("5678", "msg", b + ".wav"), "rb") as f:
            self.assertEqual(f.read(), b"other")

        # fast forward and rewind: the play sent to the engine starts that far into the
        # recording, kept within it; back at its start it is a plain play again
        for key, pos in (("3", 65536), ("3", 131072), ("3", len(big)),
                         ("1", len(big) - 65536), ("1", len(big) - 131072), ("1", 0),
                         ("1", 0), ("3", 65536)):
            self.assertEqual(p.run(key), [msg(b) + ("@%d" % pos if pos else "")], key)
        self.assertEqual(p.run("*"), ["pbmenu.wav"])

        # delete when the recording has gone: on to the next message, the info file stays
        os.remove(p.file("1234", "msg", b + ".wav"))
        self.assertEqual(p.run("7"), ["nomsg.wav"])
        self.assertIn(b + ".in_", p.msgs("1234"))
        self.assertEqual(p.run("5"), ["remmenu.wav"])

        # personal greeting and name prompt: record, then hear
        self.assertEqual(p.run("4"), ["recpersn.wav", "remmenu.wav"])
        self.assertEqual(p.recorded, ["mboxes/1234/personal.wav"])
        self.assertEqual(p.run("3"), ["mboxes/1234/personal.wav", "remmenu.wav"])
        self.assertEqual(p.run("5"), ["remsubmn.wav"])
        self.assertEqual(p.run("2"), ["recprmt.wav", "remmenu.wav"])
        self.assertEqual(p.recorded[-1], "mboxes/1234/prompt.wav")
        p.run("5")
        self.assertEqual(p.run("1"), ["mboxes/1234/prompt.wav", "remmenu.wav"])

        # password change: matching entries store it, differing or empty ones do not
        p.run("5")
        self.assertEqual(p.run("5"), ["enternpw.wav"])
        self.assertEqual(p.waiting, (15, 3))
        self.assertEqual(p.run("2468#"), ["entrnpwa.wav"])
        self.assertEqual(p.run("2468#"), ["pwsaved.wav", "remmenu.wav"])
        self.assertEqual(int(p.members()[1234]["password"]), 2468)
        for first, second in (("1111#", "2222#"), ("", None), ("12*#", None),
                              ("99999#", "99999#")):
            p.run("5")
            p.run("5")
            if second is None:
                self.assertEqual(p.run(first), ["invalid.wav", "remmenu.wav"], first)
            else:
                p.run(first)
                self.assertEqual(p.run(second), ["invalid.wav", "remmenu.wav"], first)
            self.assertEqual(int(p.members()[1234]["password"]), 2468)
        self.assertEqual(int(p.members()[4000]["password"]), 1)

        # invalid keys: the second in the submenu, the third in the main menu
        p.run("5")
        self.assertEqual(p.run("0"), ["invalid.wav", "remsubmn.wav"])
        self.assertEqual(p.run("0"), ["invalid.wav", "remmenu.wav"])
        self.assertEqual(p.run("0"), ["invalid.wav", "remmenu.wav"])
        self.assertEqual(p.run("0"), ["invalid.wav", "remmenu.wav"])
        self.assertEqual(p.run("0"), ["invalid.wav"])
        self.assertTrue(p.hung)

        # next call: the heard message is old now; the new password opens the mailbox
        p.new_call()
        p.run()
        p.run("1234")
        self.assertEqual(p.run("2468#"), ["nonewmsg.wav", "remmenu.wav"])
        self.assertIn(b + ".i__", p.msgs("1234"))
        p.run("5")
        self.assertEqual(p.run("6"), [])        # a state the page does not define
        self.assertTrue(p.hung)

        # the target mailbox finds the forwarded message as a new one
        p.new_call()
        p.run()
        p.run("5678#")
        self.assertEqual(p.run("8765#"), ["youhave.wav", "2.wav", "newmsgs.wav", "remmenu.wav"])
        p.run("1")
        order = sorted([today, b[:7] + "8"], reverse=True)
        self.assertEqual(p.run(""), plays(1, order[0], "5678"))
        if order[0] == today:
            self.assertEqual(p.run("8"), ["timemsg.wav", "9.wav", "o.wav", "5.wav", "am.wav"]
                             + plays(2, order[1], "5678"))
        self.assertEqual(p.run("#"), ["remmenu.wav"])
        self.assertEqual(p.run("#"), [])
        self.assertTrue(p.hung)
        p.check_sql(self)


def main():
    global PAGE, WORK
    ap = argparse.ArgumentParser()
    ap.add_argument("--dump", help="tool that writes the generated page")
    ap.add_argument("--page", help="an already written page")
    ap.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "remotepage-wine"))
    args, rest = ap.parse_known_args()
    WORK = os.path.abspath(args.work)
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    PAGE = args.page or os.path.join(WORK, "remotetts.asp")
    if args.dump:
        subprocess.run([args.dump, PAGE], check=True)
    with wineserver_stopped_after():
        result = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
