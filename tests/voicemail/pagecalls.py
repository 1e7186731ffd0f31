"""Whole calls through the generated voice-mail page in one cscript process each.

The harness of codegen/wineasp runs one page visit per process (0.1-0.5 s each under
Wine). A call takes dozens of visits, so here the converted page is rearranged: its
top-level statements become the body of a routine run once per visit, its declarations stay
global (reset at every visit, as a new request would find them), and a small driver stands
in for the telephony engine: it plays what the page selects, records where the page records,
and answers each wait for digits with the next entry of the call's script. The session and
the member table stay in memory between the visits of a call; the table is saved at the end.

The page's clock is the call's "now": the built-in date and now of the page read it.
"""
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "codegen", "wineasp"))
import asp2vbs  # noqa: E402
from aspdriver import AspCall, WINEPREFIX, win_path, _esc  # noqa: E402

SITE = "d:/inetpub/wwwroot/voices/"
_PROC_START = re.compile(r"^((public|private)\s+)?(sub|function)\s+\w+", re.I)
_PROC_END = re.compile(r"^end\s+(sub|function)\b", re.I)
_DIM = re.compile(r"^dim\s+(.*)$", re.I)

DRIVER = r'''
Dim aspnowvalue_
Function aspnow_()
  aspnow_ = aspnowvalue_
End Function
Function aspdate_()
  aspdate_ = DateSerial(Year(aspnowvalue_), Month(aspnowvalue_), Day(aspnowvalue_))
End Function

Sub aspresetvisit_()
%(reset)s
  Set response = New AspResponse_
End Sub

Sub aspclosevisit_()
  On Error Resume Next
  g.Close
End Sub

Sub asprecord_(location)
  Dim t
  On Error Resume Next
  Set t = aspfso_.CreateTextFile(location, True)
  t.Write "recorded"
  t.Close
End Sub

Sub aspvoices_()
  Dim re, m
  Set re = New RegExp
  re.Pattern = "voicefile\s*=\s*""([^""]*)""(\s+startposition=""(\d+)"")?"
  re.Global = True
  re.IgnoreCase = True
  For Each m In re.Execute(response.Text_)
    AspLog_ "VOICE" & vbTab & AspEsc_(m.SubMatches(0)) & vbTab & m.SubMatches(2)
  Next
End Sub

Dim aspkeys_, aspki_, aspvisits_, aspentry_, aspover_
aspbegin_
aspkeys_ = AspReadLines_(aspdir_ & "\now.txt")
aspkeys_ = Split(aspkeys_(0), " ")
aspnowvalue_ = DateSerial(CLng(aspkeys_(0)), CLng(aspkeys_(1)), CLng(aspkeys_(2)))
aspnowvalue_ = aspnowvalue_ + TimeSerial(CLng(aspkeys_(3)), CLng(aspkeys_(4)), 0)
aspkeys_ = AspReadLines_(aspdir_ & "\keys.txt")
aspki_ = 0
aspover_ = False
For aspvisits_ = 1 To 5000
  aspresetvisit_
  aspvisit_
  aspclosevisit_
  If hangup Then
    AspLog_ "HANGUP"
    aspover_ = True
  ElseIf playfile Then
    AspLog_ "PLAY"
    aspvoices_
  ElseIf recordfile Then
    AspLog_ "RECORD"
    aspvoices_
    asprecord_ session("data2")
  ElseIf getdigits Then
    AspLog_ "WAIT" & vbTab & session("maxdigits") & vbTab & session("timeout")
    aspentry_ = "H"
    Do While aspki_ <= UBound(aspkeys_)
      aspentry_ = AspUnesc_(aspkeys_(aspki_))
      aspki_ = aspki_ + 1
      If Left(aspentry_, 1) <> "!" Then Exit Do
      If Mid(aspentry_, 2, 1) = "D" Then
        aspdb_.Run_ "delete from members where mailbox =" & Mid(aspentry_, 3)
      Else
        aspfso_.DeleteFile "%(site)smboxes/" & Mid(aspentry_, 3)
      End If
      aspentry_ = "H"
    Loop
    If aspentry_ = "H" Then
      AspLog_ "CALLER-HANGUP"
      aspover_ = True
    ElseIf aspentry_ = "T" Then
      session("data2") = ""
    Else
      session("data2") = aspentry_
    End If
  End If
  If aspover_ Then Exit For
Next
If Not aspover_ Then AspLog_ "NO-END"
aspdb_.Save_ aspdir_ & "\db.txt"
AspLog_ "VISITS" & vbTab & aspvisits_
AspLog_ "CALL-END"
'''


def loop_script(page_text, trace=False):
    """The page, converted and rearranged into a script that runs a whole call."""
    vbs, _ = asp2vbs.convert(page_text, trace=trace)
    lines = vbs.split("\r\n")
    start = lines.index("' ===== page code =====")
    end = lines.index("' ===== end of page code =====")
    prelude = [l for l in lines[:start] if l.strip() != "aspbegin_"]
    rest = [l for l in lines[end + 1:] if l.strip() != "aspfinish_"]
    globals_, procs, visit = [], [], []
    depth = 0
    for line in lines[start + 1:end]:
        s = line.strip()
        # the page's clock is the call's
        line = asp2vbs._code_only_sub(line, r"\bdate\b(?!\s*\()", "aspdate_")
        line = asp2vbs._code_only_sub(line, r"\bnow\b(?!\s*\()", "aspnow_")
        if depth == 0 and _PROC_START.match(s):
            depth = 1
            procs.append(line)
        elif depth:
            procs.append(line)
            if _PROC_END.match(s):
                depth = 0
        elif _DIM.match(s):
            globals_.append(line)
        else:
            visit.append(line)
    names = []
    for g in globals_:
        names += [n.strip() for n in _DIM.match(g.strip()).group(1).split("'")[0].split(",")]
    reset = "\n".join("  %s = Empty" % n for n in names if n)
    out = prelude + globals_ + ["Sub aspvisit_()"] + visit + ["End Sub"] + procs + rest
    out += (DRIVER % {"reset": reset, "site": SITE}).split("\n")
    return "\r\n".join(out) + "\r\n"


def directive(entry):
    if "deleteMember" in entry:
        return "!D%d" % entry["deleteMember"]
    return "!F" + entry["removeFile"]


class PageWorld:
    """One telephony server: the page's d: drive and member table, and calls against them."""

    def __init__(self, page, workdir):
        self.workdir = os.path.abspath(workdir)
        self.ddrive = os.path.join(self.workdir, "ddrive")
        self.voices = os.path.join(self.ddrive, "inetpub", "wwwroot", "voices")
        os.makedirs(self.voices, exist_ok=True)
        # AspCall prepares the prefix and the d: drive; its own scripts are not used
        self.call = AspCall(page, self.workdir, drives={"d": self.ddrive}, diagnose=False)
        with open(page, encoding="latin-1") as f:
            text = f.read()
        self.script = os.path.join(self.workdir, "calls.vbs")
        with open(self.script, "w", encoding="latin-1", newline="") as f:
            f.write(loop_script(text))
        self.seconds = 0.0
        self.visits = 0
        self.restarts = 0

    def set_members(self, rows):
        """rows: (id, mailbox, password, fname, lname, attempts); None is an empty value."""
        self.call.write_db({"members": (
            ["id:n", "mailbox:n", "password:n", "fname:s", "lname:s", "attempts:n"], rows)})

    def members(self):
        rows = self.call.read_db()["members"]

        def num(v):
            return None if v is None else int(v)
        return [[num(r["mailbox"]), num(r["password"]), r["fname"], r["lname"],
                 num(r["attempts"])] for r in rows]

    def run(self, entries, now):
        """Plays one call; entries as in voicemailscript.cpp. Returns the events."""
        state = self.call.state
        for name in ("session.txt", "request.txt"):
            open(os.path.join(state, name), "w").close()
        with open(os.path.join(state, "now.txt"), "w", encoding="latin-1") as f:
            f.write("%d %d %d %d %d\n" % (now.year, now.month, now.day, now.hour, now.minute))
        with open(os.path.join(state, "keys.txt"), "w", encoding="latin-1") as f:
            for e in entries:
                f.write(_esc(directive(e) if isinstance(e, dict) else e) + "\n")
        t0 = time.monotonic()
        # stdin not inherited and stderr into a file: otherwise Wine 8 waits about a
        # second at every write (see aspdriver.py)
        errpath = os.path.join(self.workdir, "stderr.txt")
        for _ in range(3):
            with open(errpath, "wb") as err:
                p = subprocess.run(["wine", "cscript", "//nologo", win_path(self.script),
                                    win_path(state)], env=self.call.env,
                                   stdout=subprocess.PIPE, stderr=err,
                                   stdin=subprocess.DEVNULL, timeout=300)
            out = p.stdout.decode("latin-1").replace("\r\n", "\n").split("\n")
            # Now and then Wine fails to start cscript at all; nothing of the call ran then
            if "ASPVISIT-BEGIN" in out:
                break
            self.restarts += 1
        self.seconds += time.monotonic() - t0
        if "CALL-END" not in out:
            with open(errpath, encoding="latin-1") as err:
                raise RuntimeError("the page broke off: %s\n%s" % ("\n".join(out[-15:]),
                                                                    err.read()[-2000:]))
        return self._events(out)

    def _events(self, out):
        events, pending = [], None

        def rel(location):
            low = location.lower()
            return low[len(SITE):] if low.startswith(SITE) else low
        for line in out:
            parts = line.split("\t")
            kind = parts[0]
            if kind in ("PLAY", "RECORD"):
                pending = kind
            elif kind == "VOICE":
                loc = rel(parts[1])
                if pending == "PLAY":
                    # where a moved play starts, as the page sends it to the engine
                    start = int(parts[2] or 0) if len(parts) > 2 else 0
                    events.append(["play", loc, start])
                elif pending == "RECORD":
                    events.append(["record", loc])
                    pending = "PLAY"   # the block then thanks the caller
            elif kind == "WAIT":
                events.append(["wait", int(parts[1]), int(parts[2])])
            elif kind == "HANGUP":
                events.append(["hangup"])
            elif kind == "CALLER-HANGUP":
                events.append(["caller-hangup"])
            elif kind == "VISITS":
                self.visits += int(parts[1])
            elif kind == "NO-END":
                events.append(["no-end"])
        return events
