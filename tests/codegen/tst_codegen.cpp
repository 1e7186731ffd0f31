// The generated pages: the demonstration flow's pages and the voice-mail page compared byte
// for byte with copies kept in tests/codegen/golden (after an intended change of the pages,
// run once with DW_REGENERATE_GOLDEN=1 and review the diff), the rules the demonstration
// does not reach, and what a failing run leaves on disk. What the voice-mail page does when
// it runs is played through whole calls under Wine by wineasp/test_remotepage.py.

#include "generationfixture.h"

#include "codegen/findreplace.h"
#include "codegen/linesink.h"
#include "codegen/remotepage.h"
#include "codegen/templatefill.h"
#include "codegen/textencoding.h"
#include "model/demoflow.h"
#include "model/sqlconnection.h"

#include "support/filesizelimit.h"
#include "support/filesnapshot.h"
#include "support/testdirs.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

using codegen::GenerationResult;
using model::ColumnValues;
using model::FlowNode;

namespace {

const QString kMenu = QStringLiteral(" <menu onselectiontimeout=window.navigate(\"#%1\")"
                                     " onselectionerror=window.navigate(\"#%1\")>");

QString page(const QString &target)
{
    return codegen::outputFileName(*codegen::parseTarget(target));
}

// The lines of one section: from its begin line to its end line, both included.
QStringList section(const QStringList &lines, const QString &label)
{
    const qsizetype begin = lines.indexOf(QStringLiteral("<% '\"%1\" begin here %>").arg(label));
    const qsizetype end = lines.indexOf(QStringLiteral("<% '\"%1\" ends here %>").arg(label));
    return begin < 0 || end < begin ? QStringList() : lines.mid(begin, end - begin + 1);
}

QByteArray remotePageBytes(void (*write)(codegen::LineSink &) = codegen::writeRemotePage)
{
    codegen::MemoryLineSink sink;
    write(sink);
    QByteArray bytes;
    for (const QString &line : sink.lines())
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

// Compares with the golden copy, or writes it when regenerating.
void checkGolden(const QString &name, const QByteArray &actual)
{
    QFile file(sourceDir() + QStringLiteral("/tests/codegen/golden/") + name);
    if (qEnvironmentVariableIntValue("DW_REGENERATE_GOLDEN") == 1) {
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(actual) == actual.size());
        return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = file.readAll().split('\n');
    for (qsizetype i = 0; i < qMin(a.size(), e.size()); ++i)
        QVERIFY2(a.at(i) == e.at(i), qPrintable(QStringLiteral("%1 line %2: \"%3\"")
                                                    .arg(name)
                                                    .arg(i + 1)
                                                    .arg(QString::fromLatin1(a.at(i)))));
    QCOMPARE(a.size(), e.size());
}

} // namespace

class TestCodegen : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void remotePageIsFixedAndSafe();

    void templateMisuse_data();
    void templateMisuse();
    void findReplace_data();
    void findReplace();
    void windows1252_data();
    void windows1252();
    void xmlAttribute_data();
    void xmlAttribute();

    void navigation_data();
    void navigation();
    void optionMenuPlaces_data();
    void optionMenuPlaces();
    void hangupSections_data();
    void hangupSections();
    void unknownTextsAndTopLevelNodes();
    void nodeValues_data();
    void nodeValues();
    void rowsOfAForeignTable();
    void nodeTextsStayInTheirComments();
    void narrationSpeaksDigitMenuOnce();
    void callXmlIsWellFormed_data();
    void callXmlIsWellFormed();
    void fileFormat();
    void failureKeepsPreviousPages_data();
    void failureKeepsPreviousPages();
};

void TestCodegen::golden_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("golden");
    QTest::addColumn<QString>("remote");
    QTest::newRow("wteTTS") << "wteTTS" << "demo-wtetts-calltts.asp" << "RemoteTTS.asp";
    QTest::newRow("wteWave") << "wteWave" << "demo-wtewave-callwave.asp" << "RemoteWave.asp";
    QTest::newRow("callxml") << "callxml" << "demo-callxml-callxml.asp" << "";
    QTest::newRow("TTS") << "TTS" << "demo-narration-calltts.asp" << "RemoteTTS.asp";
    QTest::newRow("vxml") << "vxml" << "demo-vxml-callvxml.vxml" << "RemoteVxml.asp";
}

void TestCodegen::golden()
{
    QFETCH(QString, target);
    QFETCH(QString, golden);
    QFETCH(QString, remote);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(model::demoflow::ensure(dir.path(), nullptr, &error), qPrintable(error));
    const QString database = model::demoflow::path(dir.path());
    model::FlowTree tree;
    QVERIFY(model::FlowStore(database, model::demoflow::tableName()).loadInto(tree, &error));
    RecordingNarrator narrator;
    const GenerationResult r = codegen::generate(
        tree, {*codegen::parseTarget(target), dir.path(), database, "nodesflow"}, &narrator);
    QVERIFY2(r.ok, qPrintable(r.error));
    QFile main(r.mainFile);
    QVERIFY(main.open(QIODevice::ReadOnly));
    checkGolden(golden, main.readAll());
    if (target == u"TTS")
        checkGolden("demo-narration-sentences.txt",
                    narrator.sentences.join(u'\n').toUtf8() + '\n');
    else
        QCOMPARE(narrator.sentences, QStringList());
    // The voice-mail page is the writer's fixed text, written beside every WTE page.
    QCOMPARE(QFileInfo(r.remoteFile).fileName(), remote);
    QCOMPARE(QDir(dir.path()).entryList({"*.asp", "*.vxml"}).size(), remote.isEmpty() ? 1 : 2);
    if (remote.isEmpty())
        return;
    // The VoiceXML service shares the state routine and its routines.
    const QByteArray bytes = target == u"vxml" ? remotePageBytes(codegen::writeVxmlServicePage)
                                               : remotePageBytes();
    QFile remotePage(r.remoteFile);
    QVERIFY(remotePage.open(QIODevice::ReadOnly));
    QCOMPARE(remotePage.readAll(), bytes);
    checkGolden(target == u"vxml" ? "remotevxml.asp" : "remotepage.asp", bytes);
}

void TestCodegen::remotePageIsFixedAndSafe()
{
    const QByteArray bytes = remotePageBytes();
    QCOMPARE(remotePageBytes(), bytes);
    for (const char c : bytes)
        QVERIFY2((c >= 0x20 && c < 0x7f && !(c >= 'A' && c <= 'Z')) || c == '\r' || c == '\n',
                 "the page is lower-case printable ASCII");
    // Values pasted into a statement are only ever digits, mailboxno or n: each comes from
    // fnumber, which accepts nothing but a number a 16-bit member column can hold, or from
    // the page's own count.
    const QRegularExpression pasted(QStringLiteral("members.*?\" & (\\w+)"));
    int statements = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        auto it = pasted.globalMatch(QString::fromLatin1(line));
        for (; it.hasNext(); ++statements) {
            const QString name = it.next().captured(1);
            QVERIFY2(name == u"digits" || name == u"mailboxno" || name == u"n", line.constData());
        }
    }
    QVERIFY(statements >= 6);
    QVERIFY(bytes.contains("re.pattern = \"^[0-9]+$\""));
    QVERIFY(bytes.contains("if clng(t) <= 32767 then fnumber = t"));
}

void TestCodegen::templateMisuse_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("blanks count") << "\n     \n «v» \n" << QStringList{"     ", " «x» "}
                                  << QStringList();
    QTest::newRow("values are not scanned again") << "«v»«v»" << QStringList{"«x»«x»"}
                                                  << QStringList();
    QTest::newRow("lone guillemets are text") << "« «v» »" << QStringList{"« «x» »"}
                                              << QStringList();
    QTest::newRow("missing") << "«v» «w»" << QStringList{"«x» «w»"}
                             << QStringList{"No value for «w»."};
    QTest::newRow("misspelt")
        << "«V»" << QStringList{"«V»"}
        << QStringList{"No value for «V».", "The value «v» is not used."};
}

void TestCodegen::templateMisuse()
{
    QFETCH(QString, templateText);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, problems);
    QStringList found;
    QCOMPARE(codegen::fill(templateText, {{u"v", QStringLiteral("«x»")}}, &found), lines);
    QCOMPARE(found, problems);
}

void TestCodegen::findReplace_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks") << "a  b " << " " << "-" << "a--b-";
    QTest::newRow("case-sensitive") << "aAa" << "A" << "b" << "aba";
    // A replacement holding the search text is replaced once: no endless loop.
    QTest::newRow("replacement holds search") << "a b" << " " << " x " << "a x b";
    QTest::newRow("replacement forms search") << "aab" << "ab" << "bab" << "abab";
    QTest::newRow("empty search") << "abc" << "" << "x" << "abc";
    QTest::newRow("empty source") << "" << " " << "-" << "";
}

void TestCodegen::findReplace()
{
    QFETCH(QString, source);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(codegen::findReplace(source, search, replacement), expected);
}

void TestCodegen::windows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("latin-1") << QString("caf\u00e9 \u00ff") << QByteArray("caf\xe9 \xff");
    QTest::newRow("typographic") << QString("\u201cx\u201d\u20ac\u2013\u0160\u0178")
                                 << QByteArray("\x93x\x94\x80\x96\x8a\x9f");
    QTest::newRow("C1 controls") << QString("\u0080\u0081\u009f") << QByteArray("???");
    QTest::newRow("other scripts") << QString("\u0416\u4e2d") << QByteArray("??");
    QTest::newRow("surrogates") << QString::fromUtf8("a\xf0\x9f\x98\x80") + QChar(0xd800)
                                << QByteArray("a??");
}

void TestCodegen::windows1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(codegen::toWindows1252(text), expected);
}

void TestCodegen::xmlAttribute_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("markup") << "a&b<c>\"d\"'e" << "a&amp;b&lt;c&gt;&quot;d&quot;'e";
    QTest::newRow("entity kept literal") << "&amp;" << "&amp;amp;";
    QTest::newRow("line breaks") << "a\tb\nc\rd" << "a&#9;b&#10;c&#13;d";
    QTest::newRow("not XML characters") << QString("a\u0001b\uffff") + QChar(0xdc00) << "ab";
    QTest::newRow("pair kept") << QString::fromUtf8("\xf0\x9f\x98\x80")
                               << QString::fromUtf8("\xf0\x9f\x98\x80");
}

void TestCodegen::xmlAttribute()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(codegen::xmlAttributeEscaped(value), expected);
}

void TestCodegen::navigation_data()
{
    QTest::addColumn<int>("children");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("none") << 0 << QStringList();
    QTest::newRow("one") << 1 << QStringList{"window.navigate(\"#child-1\")"};
    // Two or more children give a menu of at most six options.
    for (int n : {2, 6, 7, 9}) {
        QStringList expected{kMenu.arg("answer-call")};
        for (int k = 1; k <= qMin(n, 6); ++k)
            expected << QStringLiteral(" <a accesskey=\"%1\" href=\"#child-%1\"></a>").arg(k);
        QTest::addRow("%d children", n) << n << (expected << " </menu>");
    }
}

void TestCodegen::navigation()
{
    QFETCH(int, children);
    QFETCH(QStringList, expected);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    for (int k = 1; k <= children; ++k)
        f.add(root, QStringLiteral("child %1").arg(k));
    QVERIFY(f.run("wteTTS").ok);
    const QStringList lines = f.lines(page("wteTTS"));
    const qsizetype anchor = lines.indexOf("<a name=\"answer-call\"></a>");
    QCOMPARE(lines.mid(anchor + 1, lines.indexOf("<% 'answercall end here %>") - anchor - 1),
             expected);
}

void TestCodegen::optionMenuPlaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("menus");
    // The menu follows the entry form: the entry is taken before the call goes on.
    QTest::newRow("user id") << "get user id digits" << 1;
    QTest::newRow("password") << "get password digits" << 1;
    QTest::newRow("option digits") << "get option digits" << 1;
    QTest::newRow("message options") << "play message options" << 1;
    QTest::newRow("record") << "record message" << 1;
    QTest::newRow("delete") << "delete recorded message" << 0;
}

void TestCodegen::optionMenuPlaces()
{
    QFETCH(QString, text);
    QFETCH(int, menus);
    GenerationFixture f;
    FlowNode *node = f.add(f.add(nullptr, QStringLiteral("answer call")), text);
    f.add(node, QStringLiteral("record message"));
    f.add(node, QStringLiteral("hangup"));
    QVERIFY(f.run("wteWave").ok);
    const QStringList lines = section(f.lines(page("wteWave")), QString(text).replace(' ', '-'));
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.count(kMenu.arg("answer-call")), menus);
    QCOMPARE(lines.count(" <a accesskey=\"2\" href=\"#hangup\"></a>"), menus);
    if (menus > 0)
        QVERIFY(lines.indexOf(" </menu>") > lines.indexOf(QRegularExpression("^ <form id=.*")));
}

void TestCodegen::hangupSections_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<ColumnValues>("second"); // the later hangup's row; the first says first.wav
    QTest::addColumn<QStringList>("sections"); // labels of the hang-up sections
    const QStringList two{"hangup", "hangup-5_"};
    QTest::newRow("same voice file") << "wteWave" << ColumnValues{{"voicefile", "FIRST.wav"}}
                                     << QStringList{"hangup"};
    QTest::newRow("own voice file") << "wteWave" << ColumnValues{{"voicefile", "second.wav"}}
                                    << two;
    QTest::newRow("spoken, own text") << "wteTTS" << ColumnValues{{"prompttxt", "Later!"}}
                                      << two;
    QTest::newRow("narration's page plays the voice file")
        << "TTS" << ColumnValues{{"voicefile", "first.wav"}, {"prompttxt", "Later!"}}
        << QStringList{"hangup"};
}

// Hangups that play the same share the first one's section, the one the voice-mail page ends
// its calls in; a hangup with its own prompt has a section of its own.
void TestCodegen::hangupSections()
{
    QFETCH(QString, target);
    QFETCH(ColumnValues, second);
    QFETCH(QStringList, sections);
    GenerationFixture f;
    FlowNode *menu = f.add(f.add(nullptr, QStringLiteral("answer call")), "get option digits");
    f.set(f.add(menu, QStringLiteral("hangup")), {{"voicefile", "first.wav"}});
    FlowNode *record = f.add(menu, QStringLiteral("record message"));
    f.set(f.add(record, QStringLiteral("hangup")), second);
    QVERIFY(f.run(target).ok);
    const QStringList lines = f.lines(page(target));
    QCOMPARE(lines.count("<% '-------------------hangup------------------------ %>"),
             sections.size());
    for (const QString &label : sections)
        QCOMPARE(lines.count(QStringLiteral("<a name=\"%1\"></a>").arg(label)), 1);
    // The disconnect codes are declared once a page: a second declaration stops the script.
    QCOMPARE(lines.count("        const dc_normal = 0"), 1);
    QCOMPARE(lines.count("        window.external.itbasiccallcontrol.disconnect dc_normal"),
             sections.size());
}

void TestCodegen::unknownTextsAndTopLevelNodes()
{
    GenerationFixture f;
    FlowNode *odd = f.add(f.add(nullptr, QStringLiteral("answer call")), "Play Main Greetings");
    f.add(odd, QStringLiteral("hangup"));
    f.add(f.add(nullptr, QStringLiteral("answer call")), "record message");
    QVERIFY(f.run("wteWave").ok);
    const QStringList lines = f.lines(page("wteWave"));
    // A text that is no call function's exact name gets its separator only; its
    // descendants are written.
    const qsizetype sep =
        lines.indexOf("<% '-------------------play main greetings------------------------ %>");
    QCOMPARE(lines.at(sep + 2), "<% '-------------------hangup------------------------ %>");
    QVERIFY(!lines.contains("<% '\"play-main-greetings\" begin here %>"));
    // Every top-level node starts a call of its own.
    QCOMPARE(lines.count("<%@ language = vbscript %>"), 2);
    QVERIFY(lines.indexOf("<a name=\"hangup\"></a>")
            < lines.lastIndexOf("<%@ language = vbscript %>"));
    QVERIFY(lines.contains("window.navigate(\"#record-message\")"));
}

void TestCodegen::nodeValues_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withRow");
    QTest::addColumn<ColumnValues>("values");
    QTest::addColumn<QString>("expectedLine");
    const QVariant null;
    const QString greet = QStringLiteral("play main greetings");
    const QString digits = QStringLiteral("get option digits");
    const QString input = QStringLiteral("       <input type=%1 maxlength=%2 id=optiondigits "
                                         "style=\"cut-through: no\" type=button>");
    QTest::newRow("voicefile null") << "wteWave" << greet << true
        << ColumnValues{{"voicefile", null}} << "<p voicefile =\"waves\\novoice.wav\"></p>";
    QTest::newRow("no row") << "wteWave" << greet << false << ColumnValues{}
        << "<p voicefile =\"waves\\novoice.wav\"></p>";
    QTest::newRow("narration plays waves") << "TTS" << greet << true
        << ColumnValues{{"voicefile", "Hello.WAV"}} << "<p voicefile =\"waves\\hello.wav\"></p>";
    QTest::newRow("prompt null") << "wteTTS" << greet << true
        << ColumnValues{{"prompttxt", null}} << "please enter tts text for play main greetings";
    QTest::newRow("prompt, no row") << "wteTTS" << greet << false << ColumnValues{}
        << "please type tts text for play main greetings";
    QTest::newRow("prompt with markup is raw") << "wteTTS" << greet << true
        << ColumnValues{{"prompttxt", "Press <b>1</b> & \"go\""}} << "press <b>1</b> & \"go\"";
    QTest::newRow("maxlen 8") << "wteTTS" << digits << true
        << ColumnValues{{"inputmaxlen", "8"}} << input.arg("text", "8");
    QTest::newRow("maxlen letters") << "wteTTS" << digits << true
        << ColumnValues{{"inputmaxlen", "ab"}, {"inputtype", "Password"}}
        << input.arg("password", "4");
    QTest::newRow("terminator null") << "wteTTS" << digits << true
        << ColumnValues{{"InputTerm", null}}
        << "    window.external.configuration.inputterminator =\"#\"";
    QTest::newRow("first time-out null, save") << "wteWave" << "save recorded message" << true
        << ColumnValues{{"FirstTimeoutInterval", null}}
        << "    window.external.configuration.firsttimeoutinterval=30";
    QTest::newRow("callxml digits, no row") << "callxml" << digits << false << ColumnValues{}
        << "<getdigits var=\"default\" maxdigits=\"4\" termdigits=\"#\" includetermdigit=\"false\""
           " cleardigits=\"true\" maxtime=\"30\" maxsilence=\"30\"/>";
}

void TestCodegen::nodeValues()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(bool, withRow);
    QFETCH(ColumnValues, values);
    QFETCH(QString, expectedLine);
    GenerationFixture f;
    FlowNode *node = f.add(f.add(nullptr, QStringLiteral("answer call")), text, withRow);
    if (!values.isEmpty())
        QVERIFY(f.set(node, values));
    QVERIFY(f.run(target).ok);
    const QStringList lines = f.lines(page(target), target == u"callxml");
    QVERIFY2(lines.contains(expectedLine), qPrintable(lines.join('\n')));
}

// A table made by another program: no index, loose types, no NOCASE collation. Read in one
// pass, its rows are found as a single query would find them: texts without regard to
// case, the first of two rows of a node winning.
void TestCodegen::rowsOfAForeignTable()
{
    GenerationFixture f;
    f.add(f.add(nullptr, QStringLiteral("answer call"), false), "play main greetings", false);
    {
        model::SqlConnection db(f.databasePath(), model::SqlConnection::Mode::MustExist);
        QSqlQuery q(db.database());
        QVERIFY(q.exec("CREATE TABLE theirs (key, parent, text, image, selectedimage, voicefile, "
                       "IgnoreKeys, inputid, inputmaxlen, inputstyle, InputTerm, inputtype, "
                       "FirstTimeoutInterval, InterTimeoutInterval, MaxReclen, prompttxt)"));
        QVERIFY(q.exec("INSERT INTO theirs (key, parent, text, image, selectedimage, voicefile) "
                       "VALUES ('1_', '0_', 'answer call', 1, 2, 'a.wav'), "
                       "('2_', '1_', 'PLAY MAIN GREETINGS', 1, 2.0, 'first.wav'), "
                       "('2_', '1_', 'play main greetings', 1, 2, 'second.wav')"));
    }
    codegen::GenerationRequest request = f.request("wteWave");
    request.table = QStringLiteral("theirs");
    QVERIFY(codegen::generate(f.tree(), request, nullptr).ok);
    const QStringList lines = f.lines(page("wteWave"));
    QVERIFY(lines.contains("<p voicefile =\"waves\\first.wav\"></p>"));
    QVERIFY(!lines.join(u' ').contains("second.wav"));
}

// A node text (a foreign table can hold any) never ends a server-side comment line, and no
// control character reaches the page or the narration.
void TestCodegen::nodeTextsStayInTheirComments()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer %> call\r\n<% root"));
    f.add(f.add(root, QString("x %> y\r\n<% z\u0001\u001b[2J")), "record message");
    f.add(root, QStringLiteral("hangup\n%>"));
    RecordingNarrator narrator;
    QVERIFY(f.run("TTS", &narrator).ok);
    const QStringList lines = f.lines(page("TTS"));
    int comments = 0;
    for (const QString &line : lines) {
        if (line.startsWith(u"<% '") && ++comments)
            QVERIFY2(line.indexOf(u"%>") == line.size() - 2, qPrintable(line));
        QVERIFY2(std::none_of(line.begin(), line.end(), [](QChar c) { return c < u' '; }),
                 qPrintable(line));
    }
    QVERIFY(lines.contains("<% '-------------------x % > y <% z[2j------------------------ %>"));
    QVERIFY(lines.contains("<% '\"answer-% >-call <%-root\" begin here %>"));
    QCOMPARE(comments, 9);
    const QString spoken = narrator.sentences.join(u'|');
    QVERIFY2(std::none_of(spoken.begin(), spoken.end(), [](QChar c) { return c < u' '; }),
             qPrintable(spoken));
    QVERIFY(spoken.contains("If user press option 1 the flow will go to x %> y <% z[2J|"));
}

void TestCodegen::narrationSpeaksDigitMenuOnce()
{
    GenerationFixture f;
    FlowNode *id = f.add(f.add(nullptr, QStringLiteral("answer call")), "get user id digits");
    f.add(id, QStringLiteral("record message"));
    f.add(id, QStringLiteral("save recorded message"));
    RecordingNarrator first;
    QVERIFY(f.run("TTS", &first).ok);
    QCOMPARE(first.sentences.mid(3),
             QStringList({"Then it will get user id digits.", "The user has 2 options to make.",
                          "If user press option 1 the flow will go to record message",
                          "If user press option 2 the flow will go to  save recorded message",
                          "Then it will record a Message.",
                          "Then it will saves the recorded Message.",
                          "Then it will finally hangup the call."}));
    RecordingNarrator second;
    QVERIFY(f.run("TTS", &second).ok);
    QCOMPARE(second.sentences, first.sentences);
}

void TestCodegen::callXmlIsWellFormed_data()
{
    QTest::addColumn<ColumnValues>("values"); // for every node
    QTest::newRow("defaults") << ColumnValues{};
    QTest::newRow("markup") << ColumnValues{{"voicefile", "<a href=\"x\">&nbsp;</a>.wav"},
                                            {"InputTerm", "&"}, {"InterTimeoutInterval", "\">"}};
    QTest::newRow("nulls") << ColumnValues{{"voicefile", QVariant()}, {"inputmaxlen", QVariant()}};
    QTest::newRow("controls") << ColumnValues{{"voicefile", QString("\u00e9\u0001\tt\nn\u20ac")},
                                              {"InputTerm", QString("\u0002")}};
}

void TestCodegen::callXmlIsWellFormed()
{
    QFETCH(ColumnValues, values);
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        QSKIP("xmllint (libxml2-utils) is not installed");
    GenerationFixture f;
    QList<FlowNode *> nodes{f.add(nullptr, QStringLiteral("answer call"))};
    for (const char *text :
         {"play main greetings", "get user id digits", "get password digits",
          "play personal greetings", "get option digits", "process recorded messages",
          "record message", "play message options", "hear recorded message",
          "save recorded message", "delete recorded message", "re-record messages", "hangup"})
        nodes << f.add(nodes.last(), QString::fromLatin1(text));
    f.add(nullptr, QStringLiteral("answer call"));
    for (FlowNode *node : nodes)
        QVERIFY(values.isEmpty() || f.set(node, values));
    QVERIFY(f.run("callxml").ok);
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), f.appDir() + QStringLiteral("/callxml.asp")});
    QVERIFY(lint.waitForFinished(30000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
}

void TestCodegen::fileFormat()
{
    GenerationFixture f;
    FlowNode *greet = f.add(f.add(nullptr, QStringLiteral("answer call")), "play main greetings");
    f.set(greet, {{"prompttxt", QString("Caf\u00c9 \u20ac5 \u0160ee line\nTwo")},
                  {"voicefile", QString("\u00c9t\u00e9.wav")}});
    f.add(greet, QStringLiteral("save recorded message"));
    QVERIFY(f.run("wteTTS").ok);
    const QByteArray tts = f.bytes(page("wteTTS"));
    // windows-1252: é as E9, € as 80, š as 9A, the typographic quotes as 93 and 94.
    QVERIFY(tts.contains("\r\ncaf\xe9 \x80" "5 \x9a" "ee line\r\ntwo\r\n"));
    QVERIFY(tts.contains("    external.session(\x93" "digits\x94) = empty\r\n"));
    QCOMPARE(tts.count('\n'), tts.count("\r\n"));
    QCOMPARE(tts.count('\r'), tts.count("\r\n"));
    QCOMPARE(QString::fromLatin1(tts).toLower(), QString::fromLatin1(tts));
    QVERIFY(f.run("callxml").ok);
    const QByteArray xml = f.bytes(QStringLiteral("callxml.asp"));
    QVERIFY(xml.contains("value=\"waves\\\xc3\xa9t\xc3\xa9.wav\""));
    QCOMPARE(xml.count('\n'), xml.count("\r\n"));
    // VoiceXML: UTF-8, the letters as written, no voice-mail service for this flow.
    QVERIFY(f.run("vxml").ok);
    QVERIFY(f.bytes("callvxml.vxml")
                .contains("<audio src=\"waves/%C3%89t%C3%A9.wav\">Caf\xc3\x89 \xe2\x82\xac"
                          "5 \xc5\xa0" "ee line&#10;Two</audio>"));
    QVERIFY(f.bytes("RemoteVxml.asp").isEmpty());
}

void TestCodegen::failureKeepsPreviousPages_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QString>("message");
    QTest::newRow("table missing") << "table" << "has no table flows2";
    QTest::newRow("no flow columns") << "plain" << "The table plain is not a flow table: it has "
                                                   "no column parent, text, image";
    QTest::newRow("not a database") << "database" << "notes.mdb is not a database";
    QTest::newRow("database missing") << "no database" << "gone.mdb does not exist";
    QTest::newRow("folder missing") << "folder" << "does not exist";
    QTest::newRow("empty tree") << "empty" << "the tree is empty";
    QTest::newRow("folder in the way") << "in the way" << "a folder of that name is in the way";
    QTest::newRow("disk full at the call page") << "full page" << "callTTS.asp: File too large";
    QTest::newRow("disk full at the voice-mail page") << "full remote"
                                                      << "RemoteTTS.asp: File too large";
}

void TestCodegen::failureKeepsPreviousPages()
{
    QFETCH(QString, breakage);
    QFETCH(QString, message);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    f.add(root, QStringLiteral("process recorded messages"));
    QVERIFY(f.run("wteTTS").ok);
    for (int i = 0; i < 20; ++i) // a call page larger than before, still smaller than 20 kB
        f.add(root, QStringLiteral("play main greetings"));
    codegen::GenerationRequest request = f.request("wteTTS");
    if (breakage == u"table") {
        request.table = QStringLiteral("flows2");
    } else if (breakage == u"plain") {
        model::SqlConnection db(f.databasePath(), model::SqlConnection::Mode::MustExist);
        QVERIFY(QSqlQuery(db.database()).exec("CREATE TABLE plain (key TEXT)"));
        request.table = QStringLiteral("plain");
    } else if (breakage == u"database") {
        request.databasePath = f.appDir() + QStringLiteral("/notes.mdb");
        QFile text(request.databasePath);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("A note about a database.\n") > 0);
    } else if (breakage == u"no database") {
        request.databasePath = f.appDir() + QStringLiteral("/gone.mdb");
    } else if (breakage == u"folder") {
        request.appDir = f.appDir() + QStringLiteral("/missing");
    } else if (breakage == u"empty") {
        f.tree().clear();
    } else if (breakage == u"in the way") {
        QVERIFY(QFile::remove(f.appDir() + QStringLiteral("/RemoteTTS.asp")));
        QVERIFY(QDir(f.appDir()).mkdir(QStringLiteral("RemoteTTS.asp")));
    }
    const auto before = fileSnapshot(f.appDir());
    std::optional<FileSizeLimit> limit;
    if (breakage.startsWith(u"full"))
        limit.emplace(breakage == u"full page" ? 4000 : 20000);
    RecordingNarrator narrator;
    const GenerationResult r = codegen::generate(f.tree(), request, &narrator);
    limit.reset();
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(message), qPrintable(r.error));
    QCOMPARE(narrator.sentences, QStringList());
    // Nothing changed: no page replaced, no temporary file left, no database made.
    QCOMPARE(fileSnapshot(f.appDir()), before);
}

QTEST_GUILESS_MAIN(TestCodegen)
#include "tst_codegen.moc"
