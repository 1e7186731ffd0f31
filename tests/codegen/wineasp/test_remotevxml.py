#!/usr/bin/env python3
"""Plays the voice-mail page's whole calls through the page and through the VoiceXML
service, RemoteVxml.asp.

The service is run one visit at a time under Wine's cscript as the voice-mail page is (see
test_remotepage.py). This test stands in for a VoiceXML platform: it reads the document a
visit answers with, plays its audio, answers its digit field as the field's terminator,
length and grammar allow, posts a recording as multipart/form-data, and submits where the
document says. Every answer must be valid against the W3C VoiceXML 2.1 schema.

Each whole-call scenario of the voice-mail page (test_remotepage.py) runs twice, through
the WTE page, where its assertions hold as they always have, and through the service with
the same keys; after every step of a call the prompts heard, the digit wait, the
recordings, the start position the page keeps, the mailbox files and the member rows must
be the same. One difference is expected: the WTE page tells the engine where a rewound or
fast-forwarded play starts, and VoiceXML 2.1 has no way to say it, so the service plays
such a message from its start. The readers run through the WTE page alone: the service
shares them.

    python3 test_remotevxml.py --dump <build>/tests/dw_dumpremotepage [--work DIR]
                               [SameCalls.test_mailbox_session ...]
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.parse
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import test_remotepage as wte  # noqa: E402
from aspdriver import wineserver_stopped_after  # noqa: E402

# The voice-mail page's phone; the scenarios are run with wte.Phone set to each of the two
# phones below.
BasePhone = wte.Phone
NS = "{http://www.w3.org/2001/vxml}"
SCHEMA = os.path.join(os.path.dirname(HERE), "voicexml21")
VXML_PAGE = None
PHONES = []          # the phones of the scenario being run, in the order made


def validate(documents, folder):
    """Runs xmllint over the documents; returns its report for those that fail."""
    if not documents:
        return ""
    os.makedirs(folder, exist_ok=True)
    files = []
    for i, doc in enumerate(documents):
        path = os.path.join(folder, "answer%04d.vxml" % i)
        with open(path, "w", encoding="utf-8") as f:
            f.write(doc)
        files.append(path)
    env = dict(os.environ, XML_CATALOG_FILES=os.path.join(SCHEMA, "catalog.xml"))
    p = subprocess.run(["xmllint", "--noout", "--nonet", "--schema",
                        os.path.join(SCHEMA, "vxml.xsd")] + files,
                       env=env, capture_output=True, text=True)
    report = [l for l in p.stderr.splitlines() if not l.endswith(" validates")]
    return "\n".join(report) if p.returncode or report else ""


class Journal:
    """After every step of a call: what the caller heard and was asked, and the state of
    the mailboxes and members."""

    def note(self, digits, prompts):
        tree = {}
        for folder, _, names in os.walk(self.voices):
            for n in names:
                path = os.path.join(folder, n)
                with open(path, "rb") as f:
                    tree[os.path.relpath(path, self.voices)] = f.read()
        members = sorted(sorted(r.items()) for r in self.call.read_db()["members"])
        # a play's start position is said only by the WTE page (see above)
        heard = [re.sub(r"@\d+$", "", p) for p in prompts]
        self.journal.append((digits, heard, self.waiting, self.hung, list(self.recorded),
                             self.last["data3"], tree, members))


class WtePhone(Journal, BasePhone):
    def __init__(self, name, members, page=None):
        self.journal = []
        BasePhone.__init__(self, name, members, page)
        PHONES.append(self)

    def run(self, digits=None, limit=120):
        prompts = BasePhone.run(self, digits, limit)
        self.note(digits, prompts)
        return prompts


class VxmlPhone(Journal, BasePhone):
    """The caller on a VoiceXML platform that runs the service."""

    def __init__(self, name, members, page=None):
        self.journal = []
        self.documents = []
        BasePhone.__init__(self, "vxml-" + name, members, page or VXML_PAGE)
        PHONES.append(self)

    def new_call(self, **session):
        BasePhone.new_call(self, **session)
        self.field = None      # the digit field the caller is asked to answer
        self.answer = {}       # what the next visit sends

    def submit(self, element):
        """The request a <submit> makes: its query, and the variables it names."""
        url = urllib.parse.urlsplit(element.get("next"))
        assert url.path.lower() == "remotevxml.asp", url
        return {"query": dict(urllib.parse.parse_qsl(url.query))}

    def answer_field(self, keys):
        """Keys the caller types into the digit field, as the platform collects them."""
        field = self.field
        props = {p.get("name"): p.get("value") for p in field.iter(NS + "property")}
        term = props["termchar"]
        item = field.find(".//%sitem[@repeat]" % NS)
        most = int(item.get("repeat").split("-")[1])
        allowed = {i.text for i in item.iter(NS + "item") if i is not item}
        entry, by_term = "", False
        for k in keys or "":
            if term and k == term:
                by_term = True
                break
            entry += k
            if len(entry) == most:
                break
        if entry and all(k in allowed for k in entry):
            handler = "filled"
        else:
            handler = "nomatch" if entry or by_term else "noinput"
        sub = field.find("%s%s/%ssubmit" % (NS, handler, NS))
        request = self.submit(sub)
        if "digits" in (sub.get("namelist") or "").split():
            # a grammar may report the keys as words
            request["form"] = {"digits": " ".join(entry)}
        return request

    def recording(self, record):
        sub = record.find("%sfilled/%ssubmit" % (NS, NS))
        assert sub.get("enctype") == "multipart/form-data"
        assert sub.get("namelist") == record.get("name")
        boundary = "dwboundary7"
        body = ("--%s\r\nContent-Disposition: form-data; name=\"%s\"; filename=\"m.wav\"\r\n"
                "Content-Type: audio/x-wav\r\n\r\nrecorded\r\n--%s--\r\n"
                % (boundary, record.get("name"), boundary))
        request = self.submit(sub)
        request["server"] = {"CONTENT_TYPE": "multipart/form-data; boundary=" + boundary}
        request["body"] = body
        return request

    def run(self, digits=None, limit=120):
        assert not self.hung, "the call has ended"
        prompts = []
        if self.field is not None:
            self.answer = self.answer_field(digits)
            self.field = None
        for _ in range(limit):
            v = self.call.visit(**self.answer)
            self.answer = {}
            if not v.ok:
                raise AssertionError("service failed: %s\nstdout: %s\nstderr: %s"
                                     % (v.error, v.stdout[-1000:], v.stderr[-1000:]))
            self.sql += v.sql
            self.last = v
            self.documents.append(v.output)
            root = ET.fromstring(v.output.strip())
            forms = root.findall(NS + "form")
            assert root.tag == NS + "vxml" and len(forms) == 1, v.output
            form = forms[0]
            record, field = form.find(NS + "record"), form.find(NS + "field")
            audio = form.find("%sblock/%saudio" % (NS, NS))
            if form.find(".//%sdisconnect" % NS) is not None:
                self.hung = True
                break
            if field is not None:
                self.field = field
                props = {p.get("name"): p.get("value") for p in field.iter(NS + "property")}
                most = field.find(".//%sitem[@repeat]" % NS).get("repeat").split("-")[1]
                self.waiting = (int(most), int(props["timeout"].rstrip("s")))
                break
            if record is not None:
                self.recorded.append(self.prompt(v["data2"]))
                self.answer = self.recording(record)
                continue
            if audio is not None:
                prompts.append(self.prompt(wte.SITE + audio.get("src")))
            self.answer = self.submit(form.find("%sblock/%ssubmit" % (NS, NS)))
        else:
            raise AssertionError("no digits collected after %d visits: %s" % (limit, prompts))
        self.note(digits, prompts)
        return prompts


class SameCalls(unittest.TestCase):
    """The voice-mail page's scenarios, through both pages side by side."""

    def twin(self, scenario):
        journals = []
        for phone in (WtePhone, VxmlPhone):
            PHONES.clear()
            wte.Phone = phone
            case = wte.Calls(scenario)
            if phone is VxmlPhone:
                # the scenario's checks are the WTE page's; the service is held to the
                # same steps below
                for name in dir(case):
                    if name.startswith("assert"):
                        setattr(case, name, lambda *args, **kwargs: None)
            try:
                getattr(case, scenario)()
            finally:
                wte.Phone = BasePhone
            journals.append([p.journal for p in PHONES])
            if phone is VxmlPhone:
                docs = [d for p in PHONES for d in p.documents]
                self.assertEqual(validate(docs, os.path.join(wte.WORK, "answers", scenario)),
                                 "")
        self.assertEqual(len(journals[0]), len(journals[1]))
        for wave, vxml in zip(journals[0], journals[1]):
            self.assertEqual(len(wave), len(vxml))
            for step, (a, b) in enumerate(zip(wave, vxml)):
                self.assertEqual(a, b, "step %d of %s" % (step, scenario))

    def test_unknown_state_hangs_up_vxml(self):
        p = VxmlPhone("unknown", [(1234, 4321, 0)])
        p.new_call(data0="nosuchstate")
        self.assertEqual(p.run(), [])
        self.assertTrue(p.hung)
        self.assertEqual(p.last["data1"], "hangup")
        self.assertEqual(validate(p.documents, os.path.join(wte.WORK, "answers", "unknown")),
                         "")

    def test_unasked_recording_is_not_saved(self):
        # a recording posted after a prompt would land on the prompt's file unless the
        # service took only the answer its last document asked for
        p = VxmlPhone("unasked", [(1234, 4321, 0)])
        self.assertEqual(p.call.visit()["data2"], wte.SITE + "waves/entermb.wav")
        record = ET.fromstring(
            '<record xmlns="http://www.w3.org/2001/vxml" name="message"><filled>'
            '<submit next="remotevxml.asp?answer=recording" enctype="multipart/form-data"'
            ' namelist="message"/></filled></record>')
        self.assertEqual(p.call.visit(**p.recording(record)).actions, ["getdigits"])
        self.assertEqual([f for _, _, fs in os.walk(p.voices) for f in fs if f.endswith(".wav")],
                         [])


# Every whole-call scenario of the voice-mail page runs through both pages, but the one that
# looks for the WTE page's own hang-up line: it runs as it stands, and the service has its
# own version above.
WTE_ONLY = {"test_unknown_state_hangs_up"}
for _name in unittest.TestLoader().getTestCaseNames(wte.Calls):
    if _name not in WTE_ONLY:
        setattr(SameCalls, _name, lambda self, n=_name: self.twin(n))


def suite(names):
    loader = unittest.TestLoader()
    if names:
        return loader.loadTestsFromNames(names, sys.modules[__name__])
    tests = unittest.TestSuite(loader.loadTestsFromTestCase(wte.Readers))
    tests.addTests(wte.Calls(n) for n in sorted(WTE_ONLY))
    tests.addTests(loader.loadTestsFromTestCase(SameCalls))
    return tests


def main():
    global VXML_PAGE
    ap = argparse.ArgumentParser()
    ap.add_argument("--dump", required=True, help="tool that writes the generated pages")
    ap.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "remotevxml-wine"))
    args, rest = ap.parse_known_args()
    wte.WORK = os.path.abspath(args.work)
    shutil.rmtree(wte.WORK, ignore_errors=True)
    os.makedirs(wte.WORK)
    wte.PAGE = os.path.join(wte.WORK, "remotetts.asp")
    VXML_PAGE = os.path.join(wte.WORK, "remotevxml.asp")
    subprocess.run([args.dump, wte.PAGE], check=True)
    subprocess.run([args.dump, "--vxml", VXML_PAGE], check=True)
    with wineserver_stopped_after():
        result = unittest.TextTestRunner(verbosity=2).run(suite(rest))
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
