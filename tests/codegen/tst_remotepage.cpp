// The voice-mail page as text: its file names, the fixed frame, the state table and the
// places where locations are formed. What the page does when it runs is played through
// whole calls under Wine by wineasp/test_remotepage.py (CTest: codegen/remote_wine).

#include "codegen/linesink.h"
#include "codegen/remotepage.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace codegen;

namespace {

QStringList pageLines()
{
    MemoryLineSink sink;
    writeRemotePage(sink);
    return sink.lines();
}

QByteArray pageBytes()
{
    QByteArray bytes;
    for (const QString &line : pageLines())
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

QString site()
{
    return QString::fromUtf16(kSiteBaseUrl);
}

// The body of one row of the state routine's table, up to the next row.
QString stateBody(const QStringList &lines, const QString &state)
{
    const QString head = QStringLiteral("    case \"%1\"").arg(state.toLower());
    const qsizetype start = lines.indexOf(head);
    if (start < 0)
        return {};
    QString body;
    for (qsizetype i = start + 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.startsWith(u"    case ") || line.startsWith(u"    end select"))
            break;
        body += line.trimmed() + u'\n';
    }
    return body;
}

} // namespace

class TestRemotePage : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void sameTextEveryTime();
    void matchesGolden();
    void partsInOrder();
    void fixedLines_data();
    void fixedLines();
    void states_data();
    void states();
    void undefinedStatesAreNotRows();
    void locationsUseSiteBaseUrl();
    void callerEntriesValidatedBeforeSql();
};

void TestRemotePage::fileName_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("file");
    QTest::newRow("wte tts") << "wteTTS" << "RemoteTTS.asp";
    QTest::newRow("narration") << "TTS" << "RemoteTTS.asp";
    QTest::newRow("wte wave") << "wteWave" << "RemoteWave.asp";
    QTest::newRow("callxml") << "callxml" << "";
    QTest::newRow("other case") << "wtetts" << "";
    QTest::newRow("empty") << "" << "";
}

void TestRemotePage::fileName()
{
    QFETCH(QString, target);
    QFETCH(QString, file);
    QCOMPARE(remotePageFileName(target), file);
}

void TestRemotePage::sameTextEveryTime()
{
    const QStringList lines = pageLines();
    QVERIFY(lines.size() > 900);
    QCOMPARE(pageLines(), lines);
    for (const QString &line : lines) {
        QCOMPARE(line, line.toLower());
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
        for (const QChar c : line)
            QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7f, qPrintable(line));
    }
}

// DW_REGENERATE_GOLDEN=1 rewrites the golden copy after an intended change of the page.
void TestRemotePage::matchesGolden()
{
    const QString path = QStringLiteral(DW_SOURCE_DIR "/tests/codegen/golden/remotepage.asp");
    const QByteArray bytes = pageBytes();
    if (qEnvironmentVariableIsSet("DW_REGENERATE_GOLDEN")) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(bytes), bytes.size());
    }
    QFile golden(path);
    QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray want = golden.readAll();
    if (want != bytes) {
        const QList<QByteArray> a = want.split('\n');
        const QList<QByteArray> b = bytes.split('\n');
        for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i)
            QVERIFY2(a.at(i) == b.at(i), qPrintable(QStringLiteral("line %1: %2").arg(i + 1)
                                                        .arg(QString::fromLatin1(b.at(i)))));
        QCOMPARE(b.size(), a.size());
    }
}

void TestRemotePage::partsInOrder()
{
    const QStringList lines = pageLines();
    QCOMPARE(lines.first(), QStringLiteral("<%@ language = vbscript %>"));
    QCOMPARE(lines.last(), QStringLiteral("</html>"));
    // frame, head, main script with its routines in their fixed order, the action blocks
    const QStringList order = {
        "dim fso, f1, f2, f3, s, g, playfile, recordfile, getdigits",
        "set myconn=server.createobject(\"adodb.connection\")",
        "<html>", "<head>", "<title>remote processing</title>", "</head>",
        "<body bgcolor=#ffffff>", "<center>", "<a name=begin></a>",
        "call fdoremote",
        "public function fdoremote()", "public function fplayprompt()",
        "function getrecfilenames(mailbox)", "sub ssfplaynumber(nextstate, n)",
        "sub ssfplaycurrency(nextstate, n, c)", "sub ssfplaytime(nextstate, msgtimes)",
        "sub ssfplaydate(nextstate, sdates)", "sub ssfplaystring(nextstate, ss)",
        "sub writelog(textfile)", "sub vcfcontinue(nextstate)",
        "sub vcfplayfile(nextstate, wheres, files)",
        "sub vcfrecord(nextstate, wheres, files, maxtime)", "sub jump(nextstate)",
        "sub vcfgoto(mailbox)", "sub vcfhangup()", "function isfiles(filenames)",
        "sub vcfgetdigits(nextstate, maxdigits, digitstimeouts)",
        "sub vcfflushdigits(nextstate)", "sub vcfplayforward(nextstate, wheres, files, offset)",
        "%>", "</head>", "<body>",
        "<a name=recordfile></a>", "<a name=playfile></a>", "<a name=getdigits></a>",
        "<a name=hangup></a>", "</body>",
    };
    qsizetype at = -1;
    for (const QString &want : order) {
        const qsizetype found = lines.indexOf(want, at + 1);
        QVERIFY2(found > at, qPrintable(want));
        at = found;
    }
    // the comment that tells the user which text to replace opens the main script
    const qsizetype call = lines.indexOf(QStringLiteral("call fdoremote"));
    QCOMPARE(lines.at(call - 2), QStringLiteral("<%"));
    QVERIFY(lines.at(call - 1).startsWith(u"'"));
    QVERIFY(lines.at(call - 1).contains(QStringLiteral("replace every occurrence of ") + site()));
}

void TestRemotePage::fixedLines_data()
{
    QTest::addColumn<QString>("line");
    const char *const lines[] = {
        "Dim MyConn, SQL, RS, h",
        "Set fso = CreateObject(\"Scripting.FileSystemObject\")",
        "'writelog \"New call received at \" & time",
        "MyConn.Open \"Provider=Microsoft.Jet.OLEDB.4.0;"
        "Data Source=D:\\Inetpub\\wwwroot\\voices\\calltree.mdb\"",
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">",
        "<META content=\"text/html; charset=iso-8859-1\" http-equiv=Content-Type>",
        "<STYLE media=\"aural, print\" type=text/css>#OnlyWeb",
        "<STYLE media=\"screen, print\" type=text/css>#OnlyPhone",
        "{ DISPLAY: none }",
        "<META content=\"MSHTML 5.00.2920.0\" name=GENERATOR>",
        "<SCRIPT language=vbscript>",
        "If IsMSWTE Then",
        "window.external.Session(\"msgSaved\") = \"false\"",
        "<% if recordfile then %>",
        "<% if playfile then %>",
        "<% if hangup then %>",
        "' look for source IP before saving: limit # of msgs per sourceIP.",
        "<DIV id=OnlyWeb>Thank you!</DIV>",
        "<p VoiceFile = \"Waves/msgrecorded.wav\"> </p>",
        "<DIV id=OnlyWeb><BR>Playing message..</DIV>",
        "window.navigate(\"#begin\")",
        "window.external.configuration.InputTerminator = \"#\"",
        "window.external.configuration.IgnoreNavigationKeysTillTermination = true",
        "window.external.configuration.InterTimeoutInterval = session(\"timeout\")",
        "window.external.configuration.FirstTimeoutInterval = session(\"timeout\")",
        "<INPUT type=text maxlength=\"<%=session(\"maxdigits\")%>\" id=Digits "
        "style=\"Cut-Through: NO\" type=button>",
        "<DIV id=OnlyWeb><BR>Hanging up</DIV>",
        "MyConn.Close",
        "Set RS = Nothing",
        "Set MyConn = Nothing",
        "window.navigate(\"callWave.asp#Hangup\")",
    };
    for (const char *line : lines)
        QTest::newRow(line) << QString::fromLatin1(line);
}

void TestRemotePage::fixedLines()
{
    QFETCH(QString, line);
    const QStringList lines = pageLines();
    QVERIFY(lines.contains(line.toLower()));
}

void TestRemotePage::states_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("fragments");
    const auto row = [](const char *state, QStringList fragments) {
        QTest::newRow(state) << QString::fromLatin1(state) << fragments;
    };
    row("MB1", {"vcfplayfile \"mb2\", \"system\", \"entermb.wav\""});
    row("MB2", {"vcfgetdigits \"mb3\", 9, 3"});
    row("MB3", {"digits = fnumber(fstrip(digits))",
                "\"select mailbox from members where mailbox =\" & digits",
                "session(\"data1\") = digits", "jump \"pw1\"",
                "vcfplayfile \"mb1\", \"system\", \"invalid.wav\""});
    row("PW1", {"vcfplayfile \"pw2\", \"system\", \"enterpw.wav\""});
    row("PW2", {"vcfgetdigits \"pw3\", 15, 3"});
    row("PW3", {"digits = fnumber(fstrip(digits))", "mailboxno = fnumber(mailboxno)",
                "\"select password, attempts from members where mailbox =\" & mailboxno",
                "\" and password =\" & digits", "if n >= 3 then", "jump \"exit\"",
                "jump \"play_#of_new_msg1\"",
                "\"update members set attempts =\" & n & \" where mailbox =\" & mailboxno",
                "vcfplayfile \"exit\", \"system\", \"invalid.wav\"",
                "vcfplayfile \"mb1\", \"system\", \"invalid.wav\""});
    row("PLAY_#OF_NEW_MSG1", {"fmakefolders mailboxno", "\"*.i*\"", "\"_\"", "\"__\"",
                              "\"i__\"", "vcfplayfile \"menu0\", \"system\", \"nonewmsg.wav\"",
                              "vcfplayfile \"play_#of_new_msg2\", \"system\", \"youhave.wav\""});
    row("PLAY_#OF_NEW_MSG2", {"ssfplaynumber \"play_#of_new_msg3\", counter"});
    row("PLAY_#OF_NEW_MSG3", {"vcfplayfile \"menu0\", \"system\", \"newmsg.wav\"",
                              "vcfplayfile \"menu0\", \"system\", \"newmsgs.wav\""});
    row("MENU0", {"counter = 0", "vcfflushdigits \"menu1\""});
    row("MENU1", {"vcfplayfile \"menu2\", \"system\", \"remmenu.wav\""});
    row("MENU2", {"vcfgetdigits \"menu3\", 1, 3"});
    row("MENU3", {"temp1s = \"new\"", "temp1s = \"old\"", "jump \"play_message_instructions\"",
                  "\"msg2\", \"" + site() + "/mboxes/\" & mailboxno & \"/personal.wav\"",
                  "vcfplayfile \"recordpersonal\", \"system\", \"recpersn.wav\"",
                  "jump \"submenu0\"", "jump \"exit\"", "jump \"mb1\"", "if counter = 3 then",
                  "vcfplayfile \"menu1\", \"system\", \"invalid.wav\""});
    row("RecordPersonal", {"vcfrecord \"menu0\", \"msg2\", \"" + site()
                           + "/mboxes/\" & mailboxno & \"/personal.wav\""});
    row("SUBMENU0", {"counter = 0", "vcfflushdigits \"submenu1\""});
    row("SUBMENU1", {"vcfplayfile \"submenu2\", \"system\", \"remsubmn.wav\""});
    row("SUBMENU2", {"vcfgetdigits \"submenu3\", 1, 3"});
    row("SUBMENU3", {"vcfplayfile \"menu0\", \"msg\", \"" + site()
                     + "/mboxes/\" & mailboxno & \"/prompt.wav\"",
                     "vcfplayfile \"recordname\", \"system\", \"recprmt.wav\"",
                     "vcfplayfile \"newpw0\", \"system\", \"enternpw.wav\"", "jump \"newpgr0\"",
                     "jump \"newmnn0\"", "jump \"menu0\"", "if counter = 2 then",
                     "vcfplayfile \"submenu1\", \"system\", \"invalid.wav\""});
    row("RecordName", {"vcfrecord \"menu0\", \"msg\", \"" + site()
                       + "/mboxes/\" & mailboxno & \"/prompt.wav\", 30"});
    row("NEWPW0", {"vcfgetdigits \"newpw1\", 15, 3"});
    row("NEWPW1", {"digits = fnumber(fstrip(digits))", "temp1s = digits",
                   "vcfplayfile \"newpw2\", \"system\", \"entrnpwa.wav\"",
                   "vcfplayfile \"menu0\", \"system\", \"invalid.wav\""});
    row("NEWPW2", {"vcfgetdigits \"newpw3\", 15, 3"});
    row("NEWPW3", {"digits = fnumber(fstrip(digits))", "digits = temp1s",
                   "\"select * from members where mailbox =\" & mailboxno",
                   "\"update members set password =\" & digits & \" where mailbox =\" & mailboxno",
                   "vcfplayfile \"menu0\", \"system\", \"pwsaved.wav\"",
                   "vcfplayfile \"menu0\", \"system\", \"invalid.wav\""});
    row("PLAY_MESSAGE_INSTRUCTIONS",
        {"vcfplayfile \"play_#of_old_msg1\", \"system\", \"pbinstru.wav\"",
         "vcfplayfile \"get_instruct_digits\", \"system\", \"pbinstru.wav\""});
    row("PLAY_#OF_OLD_MSG1", {"fcountmsgs(msgfolder, \"*.i__\")",
                              "vcfplayfile \"menu0\", \"system\", \"nomsg.wav\"",
                              "vcfplayfile \"play_#of_old_msg2\", \"system\", \"youhave.wav\""});
    row("PLAY_#OF_OLD_MSG2", {"ssfplaynumber \"play_#of_old_msg3\", counter"});
    row("PLAY_#OF_OLD_MSG3", {"\"get_instruct_digits\", \"system\", \"message.wav\"",
                              "\"get_instruct_digits\", \"system\", \"messages.wav\""});
    row("GET_INSTRUCT_DIGITS", {"vcfgetdigits \"process_instruct_digits\", 1, 0"});
    row("PROCESS_INSTRUCT_DIGITS", {"vcfplayfile \"find_first_msg\", \"system\", \"pbmenu.wav\"",
                                    "jump \"find_first_msg\""});
    row("FIND_FIRST_MSG", {"ffindmsg(msgfolder, pattern, \"\", \"\", true)", "counter = 1",
                           "jump \"play_msg_count1\"",
                           "vcfplayfile \"menu0\", \"system\", \"nomsg.wav\""});
    row("PLAY_MSG_COUNT1", {"vcfplayfile \"play_msg_count2\", \"system\", \"message.wav\""});
    row("PLAY_MSG_COUNT2", {"ssfplaynumber \"play_date1\", counter"});
    row("PLAY_DATE1", {"ix = fage(temp2s)", "\"play_msg\", \"system\", \"today.wav\"",
                       "\"play_msg\", \"system\", \"yestrday.wav\"",
                       "\"play_date2\", \"system\", \"received.wav\""});
    row("PLAY_DATE2", {"ssfplaynumber \"play_date3\", ix"});
    row("PLAY_DATE3", {"vcfplayfile \"play_msg\", \"system\", \"daysago.wav\""});
    row("PLAY_MSG", {"frenameinfo msgfolder, temp2s, stem & \"in_\"",
                     "temp2s = stem & \"in_\"", "isfiles(recording)",
                     "vcfplayfile \"get_msg_digits\", \"msg2\", recording",
                     "jump \"play_time0\""});
    row("GET_MSG_DIGITS", {"vcfgetdigits \"process_msg_digits\", 1, 0"});
    row("PROCESS_MSG_DIGITS",
        {"vcfplayforward \"get_msg_digits\", \"msg2\", recording, -65536",
         "vcfplayforward \"get_msg_digits\", \"msg2\", recording, 65536",
         "jump \"find_prev_msg\"", "jump \"find_next_msg\"", "counter = counter - 1",
         "vcfplayfile \"find_next_msg\", \"system\", \"msgdel.wav\"",
         "vcfplayfile \"find_next_msg\", \"system\", \"inuse.wav\"", "jump \"play_time0\"",
         "jump \"send_msg0\"", "vcfplayfile \"get_msg_digits\", \"system\", \"pbmenu.wav\"",
         "jump \"menu0\""});
    row("SEND_MSG0", {"vcfplayfile \"send_msg1\", \"system\", \"entrsnmb.wav\""});
    row("SEND_MSG1", {"vcfgetdigits \"send_msg2\", 9, 3"});
    row("SEND_MSG2", {"digits = fnumber(fstrip(digits))",
                      "\"select mailbox from members where mailbox =\" & digits",
                      "fforwardmsg msgfolder, temp2s, digits",
                      "vcfplayfile \"send_msg3\", \"system\", \"msgsent.wav\"",
                      "vcfplayfile \"send_msg3\", \"system\", \"invalid.wav\""});
    row("SEND_MSG3", {"vcfplayfile \"get_msg_digits\", \"msg2\", recording"});
    row("PLAY_TIME0", {"vcfplayfile \"play_time1\", \"system\", \"timemsg.wav\""});
    row("PLAY_TIME1", {"ssfplaytime \"find_next_msg\", mid(temp2s, 5, 4)"});
    row("FIND_NEXT_MSG", {"currents = temp2s",
                          "ffindmsg(msgfolder, pattern, \"\", left(currents, 8), true)",
                          "counter = counter + 1", "jump \"play_msg_count1\"",
                          "temp2s = currents",
                          "\"get_no_more_msg_digits\", \"system\", \"nomsg.wav\""});
    row("GET_NO_MORE_MSG_DIGITS", {"vcfgetdigits \"process_no_more_msg_digits\", 1, 2"});
    row("PROCESS_NO_MORE_MSG_DIGITS", {"if digits = \"4\" then", "jump \"play_msg_count1\"",
                                       "jump \"menu0\""});
    row("FIND_PREV_MSG", {"temp2s = \"99999999.inf\"",
                          "ffindmsg(msgfolder, pattern, left(currents, 8), temp2s, false)",
                          "counter = counter - 1", "jump \"play_msg_count1\"",
                          "vcfplayfile \"menu0\", \"system\", \"nomsg.wav\""});
    row("EXIT", {"vcfhangup"});
}

void TestRemotePage::states()
{
    QFETCH(QString, state);
    QFETCH(QStringList, fragments);
    const QString body = stateBody(pageLines(), state);
    QVERIFY2(!body.isEmpty(), qPrintable(state));
    for (const QString &fragment : std::as_const(fragments))
        QVERIFY2(body.contains(fragment), qPrintable(state + ": " + fragment));
}

void TestRemotePage::undefinedStatesAreNotRows()
{
    const QStringList lines = pageLines();
    QVERIFY(stateBody(lines, QStringLiteral("NEWPGR0")).isEmpty());
    QVERIFY(stateBody(lines, QStringLiteral("NEWMNN0")).isEmpty());
    // a name without a row hangs up
    const qsizetype other = lines.indexOf(QStringLiteral("    case else"));
    QVERIFY(other > lines.indexOf(QStringLiteral("    case \"exit\"")));
    QCOMPARE(lines.at(other + 1), QStringLiteral("        vcfhangup"));
    QCOMPARE(lines.at(other + 2), QStringLiteral("    end select"));
    // the two message-store patterns of the categories
    const QString routine = lines.join(u'\n');
    QVERIFY(routine.contains(u"if temp1s = \"old\" then\n        pattern = \"*.i__\"\n"
                             "    else\n        pattern = \"*.in*\""));
}

void TestRemotePage::locationsUseSiteBaseUrl()
{
    QCOMPARE(site(), site().toLower());
    int locations = 0;
    for (const QString &line : pageLines()) {
        if (line.contains(u"waves/msgrecorded.wav"))
            continue;   // played by the engine relative to the page
        if (line.contains(u"/mboxes") || line.contains(u"/waves/")) {
            ++locations;
            QVERIFY2(line.contains(u'"' + site() + QStringLiteral("/mboxes"))
                         || line.contains(u'"' + site() + QStringLiteral("/waves/")),
                     qPrintable(line));
        }
    }
    QVERIFY(locations >= 15);
}

void TestRemotePage::callerEntriesValidatedBeforeSql()
{
    // Values pasted into a statement are only ever digits, mailboxno or n, each of them
    // produced by fnumber or by the page's own count.
    const QRegularExpression pasted(QStringLiteral("members.*?\" & (\\w+)"));
    const QStringList lines = pageLines();
    int statements = 0;
    for (const QString &line : lines) {
        if (!line.contains(u"members"))
            continue;
        auto it = pasted.globalMatch(line);
        while (it.hasNext()) {
            const QString name = it.next().captured(1);
            ++statements;
            QVERIFY2(name == u"digits" || name == u"mailboxno" || name == u"n",
                     qPrintable(line));
        }
    }
    QVERIFY(statements >= 6);
    // fnumber accepts digits only and nothing a 16-bit member column cannot hold
    const QString page = lines.join(u'\n');
    QVERIFY(page.contains(u"re.pattern = \"^[0-9]+$\""));
    QVERIFY(page.contains(u"if clng(t) <= 32767 then fnumber = t"));
}

QTEST_GUILESS_MAIN(TestRemotePage)
#include "tst_remotepage.moc"
