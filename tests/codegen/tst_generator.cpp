#include "generationfixture.h"

#include "codegen/linesink.h"
#include "codegen/remotepage.h"

#include <QRegularExpression>

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using codegen::GenerationResult;
using model::ColumnValues;
using model::FlowNode;

namespace {

const QString kSpacer = QStringLiteral("     ");

QString page(const QString &target)
{
    return codegen::outputFileName(target);
}

// The lines of one section: from its begin line to its end line, both included.
QStringList section(const QStringList &lines, const QString &label)
{
    const qsizetype begin = lines.indexOf(QStringLiteral("<% '\"%1\" begin here %>").arg(label));
    const qsizetype end = lines.indexOf(QStringLiteral("<% '\"%1\" ends here %>").arg(label));
    if (begin < 0 || end < begin)
        return {};
    return lines.mid(begin, end - begin + 1);
}

// The answer-call section's navigation: what stands between its anchor and its end line.
QStringList rootNavigation(const QStringList &lines)
{
    const qsizetype anchor = lines.indexOf(QStringLiteral("<a name=\"answer-call\"></a>"));
    const qsizetype end = lines.indexOf(QStringLiteral("<% 'answercall end here %>"));
    if (anchor < 0 || end < anchor)
        return {QStringLiteral("<no answer-call section>")};
    return lines.mid(anchor + 1, end - anchor - 1);
}

QStringList sentencesOfRoot()
{
    return {QStringLiteral("Thank you for using this rapid applicaton development tool."),
            QStringLiteral("It was developed by Tarnwick. We hope you will like it."),
            QStringLiteral("The application you have developed will first Answer the call.")};
}

const QString kClosing = QStringLiteral("Then it will finally hangup the call.");

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

private slots:
    void rootOnlyWte_data();
    void rootOnlyWte();
    void rootOnlyCallXml();
    void rootOnlyNarration();

    void navigation_data();
    void navigation();
    void optionMenuPlaces_data();
    void optionMenuPlaces();
    void childlessNodeHasNoNavigation();

    void hangupWrittenOnce();
    void separators();
    void unknownNodeTextWritesOnlySeparator();
    void everyTopLevelNodeOpensACall();

    void nodeValues_data();
    void nodeValues();
    void hyphenatedAnchors();
    void hearAlwaysPlaysTheRecording();

    void narrationExample();
    void narrationSpeaksDigitMenusTwice();
    void narrationRestartsEachRun();
    void narrationPageHasHrefsWithoutHash();
    void noSentencesOutsideNarration_data();
    void noSentencesOutsideNarration();

    void remotePage_data();
    void remotePage();

    void callXmlLines();
    void callXmlEscapesAttributes();
    void callXmlIsWellFormed_data();
    void callXmlIsWellFormed();

    void fileFormat();
    void failureKeepsPreviousPage_data();
    void failureKeepsPreviousPage();
    void emptyTreeTouchesNothing();
    void pathInTheWay();

    void completionMessage_data();
    void completionMessage();
    void outputFileName_data();
    void outputFileName();
};

void TestGenerator::rootOnlyWte_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("wteTTS") << "wteTTS";
    QTest::newRow("wteWave") << "wteWave";
    QTest::newRow("TTS") << "TTS";
}

void TestGenerator::rootOnlyWte()
{
    QFETCH(QString, target);
    GenerationFixture f;
    QVERIFY(f.isValid());
    f.add(nullptr, QStringLiteral("answer call"));
    const GenerationResult r = f.run(target);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(!r.remoteNeeded);
    QVERIFY(r.remoteFile.isEmpty());
    const QStringList lines = f.lines(page(target));
    // The page head alone: 40 lines less the option menu, which a childless root lacks.
    QCOMPARE(lines.size(), 39);
    QCOMPARE(lines.at(0),
             "<% '-----------------------answercall------------------------------- %>");
    QCOMPARE(lines.at(1), kSpacer);
    QCOMPARE(lines.at(2), "<% '\"answer-call\" begin here %>");
    QCOMPARE(lines.at(3), "<%@ language = vbscript %>");
    QCOMPARE(lines.at(7), "   <meta content=\"text/html; charset=iso-8859-1\" "
                          "http-equiv=content-type>");
    QCOMPARE(lines.at(28), " window.external.session(\"msgsaved\") = \"false\"");
    QCOMPARE(lines.at(35), " <center>");
    QCOMPARE(lines.at(36), "<a name=\"answer-call\"></a>");
    QCOMPARE(lines.at(37), "<% 'answercall end here %>");
    QCOMPARE(lines.at(38), kSpacer);
    QVERIFY(!f.exists(QStringLiteral("RemoteTTS.asp")));
    QVERIFY(!f.exists(QStringLiteral("RemoteWave.asp")));
}

void TestGenerator::rootOnlyCallXml()
{
    GenerationFixture f;
    f.add(nullptr, QStringLiteral("answer call"));
    const GenerationResult r = f.run(QStringLiteral("callxml"));
    QVERIFY2(r.ok, qPrintable(r.error));
    const QStringList expected{
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        "<callxml>",
        "<block label=\"answercall\" repeat=\"1\" cleardigits=\"true\">",
        "<answer/>",
        "</block>",
        " <goto value=\"\" submit=\"all\" method=\"get\"/>",
        "</callxml>",
    };
    QCOMPARE(f.lines(QStringLiteral("callxml.asp"), true), expected);
}

void TestGenerator::rootOnlyNarration()
{
    GenerationFixture f;
    f.add(nullptr, QStringLiteral("answer call"));
    RecordingNarrator narrator;
    QVERIFY(f.run(QStringLiteral("TTS"), &narrator).ok);
    QCOMPARE(narrator.sentences, sentencesOfRoot() << kClosing);
}

void TestGenerator::navigation_data()
{
    QTest::addColumn<int>("children");
    QTest::addColumn<QStringList>("expected");
    const QString menu =
        QStringLiteral(" <menu onselectiontimeout=window.navigate(\"#answer-call\")"
                       " onselectionerror=window.navigate(\"#answer-call\")>");
    auto option = [](int k) {
        return QStringLiteral(" <a accesskey=\"%1\" href=\"#child-%1\"></a>").arg(k);
    };
    QTest::newRow("none") << 0 << QStringList();
    QTest::newRow("one") << 1 << QStringList{"window.navigate(\"#child-1\")"};
    for (int n = 2; n <= 9; ++n) {
        QStringList expected{menu};
        for (int k = 1; k <= qMin(n, 6); ++k)
            expected << option(k);
        expected << " </menu>";
        QTest::addRow("%d children", n) << n << expected;
    }
}

void TestGenerator::navigation()
{
    QFETCH(int, children);
    QFETCH(QStringList, expected);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    for (int k = 1; k <= children; ++k)
        f.add(root, QStringLiteral("child %1").arg(k));
    const GenerationResult r = f.run(QStringLiteral("wteTTS"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(rootNavigation(f.lines(page("wteTTS"))), expected);
}

void TestGenerator::optionMenuPlaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("menus");
    QTest::addColumn<bool>("beforeForm");
    QTest::newRow("user id") << "get user id digits" << 2 << true;
    QTest::newRow("password") << "get password digits" << 2 << true;
    QTest::newRow("option digits") << "get option digits" << 1 << false;
    QTest::newRow("message options") << "play message options" << 1 << false;
    QTest::newRow("main greetings") << "play main greetings" << 1 << false;
    QTest::newRow("personal greetings") << "play personal greetings" << 1 << false;
    QTest::newRow("record") << "record message" << 1 << false;
    QTest::newRow("process") << "process recorded messages" << 0 << false;
    QTest::newRow("hear") << "hear recorded message" << 0 << false;
    QTest::newRow("save") << "save recorded message" << 0 << false;
    QTest::newRow("delete") << "delete recorded message" << 0 << false;
    QTest::newRow("re-record") << "re-record messages" << 0 << false;
}

void TestGenerator::optionMenuPlaces()
{
    QFETCH(QString, text);
    QFETCH(int, menus);
    QFETCH(bool, beforeForm);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *node = f.add(root, text);
    f.add(node, QStringLiteral("record message"));
    f.add(node, QStringLiteral("play main greetings"));
    const GenerationResult r = f.run(QStringLiteral("wteWave"));
    QVERIFY2(r.ok, qPrintable(r.error));
    const QStringList lines = section(f.lines(page("wteWave")), QString(text).replace(' ', '-'));
    QVERIFY(!lines.isEmpty());
    const QString parent = QStringLiteral("#") + QString(text).replace(' ', '-');
    const QString menuLine =
        QStringLiteral(" <menu onselectiontimeout=window.navigate(\"#answer-call\")"
                       " onselectionerror=window.navigate(\"#answer-call\")>");
    QCOMPARE(lines.count(menuLine), menus);
    QCOMPARE(lines.count(" <a accesskey=\"1\" href=\"#record-message\"></a>"), menus);
    QCOMPARE(lines.count(" <a accesskey=\"2\" href=\"#play-main-greetings\"></a>"), menus);
    QCOMPARE(lines.count(" </menu>"), menus);
    const qsizetype form = lines.indexOf(QRegularExpression(QStringLiteral("^ <form id=.*")));
    const qsizetype firstMenu = lines.indexOf(" </menu>");
    if (beforeForm)
        QVERIFY(firstMenu >= 0 && firstMenu < form);
    else if (form >= 0 && firstMenu >= 0)
        QVERIFY(firstMenu > form);
}

void TestGenerator::childlessNodeHasNoNavigation()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    f.add(root, QStringLiteral("play main greetings"));
    QVERIFY(f.run(QStringLiteral("wteTTS")).ok);
    const QStringList lines = section(f.lines(page("wteTTS")), "play-main-greetings");
    QCOMPARE(lines,
             QStringList({"<% '\"play-main-greetings\" begin here %>",
                          "<a name=\"play-main-greetings\"></a>",
                          "<% 'call writelog \" play main greetings \" %>",
                          "type text to be spoken here.",
                          "<% '\"play-main-greetings\" ends here %>"}));
}

void TestGenerator::hangupWrittenOnce()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *menu = f.add(root, QStringLiteral("get option digits"));
    FlowNode *first = f.add(menu, QStringLiteral("hangup"));
    f.set(first, {{QStringLiteral("voicefile"), QStringLiteral("first.wav")}});
    FlowNode *record = f.add(menu, QStringLiteral("record message"));
    FlowNode *second = f.add(record, QStringLiteral("hangup"));
    f.set(second, {{QStringLiteral("voicefile"), QStringLiteral("second.wav")}});
    f.add(menu, QStringLiteral("hangup"));
    QVERIFY(f.run(QStringLiteral("wteWave")).ok);
    const QStringList lines = f.lines(page("wteWave"));
    QCOMPARE(lines.count("<% '-------------------hangup------------------------ %>"), 1);
    QCOMPARE(lines.count("<a name=\"hangup\"></a>"), 1);
    QCOMPARE(lines.count("<% 'call writelog \" hanging up.... \" %>"), 1);
    // Written at the first hang-up in walk order, right after the menu node's section.
    QVERIFY(lines.contains("<p voicefile =\"waves\\first.wav\"></p>"));
    QVERIFY(!lines.contains("<p voicefile =\"waves\\second.wav\"></p>"));
    const qsizetype hangup =
        lines.indexOf("<% '-------------------hangup------------------------ %>");
    QCOMPARE(lines.at(hangup - 3), "<% '\"get-option-digits\" ends here %>");
    QCOMPARE(lines.at(hangup + 1), kSpacer);
    QCOMPARE(lines.at(hangup + 2), "<% '\"hangup\" begin here %>");
    // The page ends with the record section: the later hang-ups leave nothing.
    QCOMPARE(lines.at(lines.size() - 3), "<% '\"record-message\" ends here %>");
}

void TestGenerator::separators()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *greet = f.add(root, QStringLiteral("play main greetings"));
    f.add(greet, QStringLiteral("hangup"));
    QVERIFY(f.run(QStringLiteral("wteTTS")).ok);
    const QStringList lines = f.lines(page("wteTTS"));
    const qsizetype sep =
        lines.indexOf("<% '-------------------play main greetings------------------------ %>");
    QVERIFY(sep > 0);
    QCOMPARE(lines.at(sep - 1), kSpacer); // the answer-call section's last line
    QCOMPARE(lines.at(sep + 1), kSpacer);
    QCOMPARE(lines.at(sep + 2), "<% '\"play-main-greetings\" begin here %>");
    const QRegularExpression separator(QStringLiteral("^<% '-{19}[^-].*[^-]-{24} %>$"));
    QCOMPARE(std::count_if(lines.begin(), lines.end(),
                           [&](const QString &l) { return separator.match(l).hasMatch(); }),
             2);
}

void TestGenerator::unknownNodeTextWritesOnlySeparator()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *odd = f.add(root, QStringLiteral("Play Main Greetings")); // case counts
    f.add(odd, QStringLiteral("hangup"));
    QVERIFY(f.run(QStringLiteral("wteWave")).ok);
    const QStringList lines = f.lines(page("wteWave"));
    const qsizetype sep =
        lines.indexOf("<% '-------------------play main greetings------------------------ %>");
    QVERIFY(sep > 0);
    QCOMPARE(lines.at(sep + 1), kSpacer);
    // Its descendants are still written.
    QCOMPARE(lines.at(sep + 2), "<% '-------------------hangup------------------------ %>");
    QVERIFY(!lines.contains("<% '\"play-main-greetings\" begin here %>"));
}

void TestGenerator::everyTopLevelNodeOpensACall()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    f.add(root, QStringLiteral("hangup"));
    FlowNode *second = f.add(nullptr, QStringLiteral("answer call"));
    f.add(second, QStringLiteral("record message"));
    QVERIFY(f.run(QStringLiteral("wteTTS")).ok);
    const QStringList lines = f.lines(page("wteTTS"));
    QCOMPARE(lines.count("<%@ language = vbscript %>"), 2);
    QCOMPARE(lines.count("window.navigate(\"#hangup\")"), 1);
    QCOMPARE(lines.count("window.navigate(\"#record-message\")"), 1);
    QVERIFY(lines.indexOf("<a name=\"hangup\"></a>")
            < lines.lastIndexOf("<%@ language = vbscript %>"));
}

void TestGenerator::nodeValues_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withRow");
    QTest::addColumn<ColumnValues>("values");
    QTest::addColumn<QString>("expectedLine");

    const QVariant null;
    const QString greet = QStringLiteral("play main greetings");
    const QString digits = QStringLiteral("get option digits");
    QTest::newRow("voicefile null, wave") << "wteWave" << greet << true
        << ColumnValues{{"voicefile", null}} << "<p voicefile =\"waves\\novoice.wav\"></p>";
    QTest::newRow("no row, wave") << "wteWave" << greet << false << ColumnValues{}
        << "<p voicefile =\"waves\\novoice.wav\"></p>";
    QTest::newRow("voicefile kept, narration") << "TTS" << greet << true
        << ColumnValues{{"voicefile", "Hello.WAV"}} << "<p voicefile =\"waves\\hello.wav\"></p>";
    QTest::newRow("prompt null, tts") << "wteTTS" << greet << true
        << ColumnValues{{"prompttxt", null}} << "please enter tts text for play main greetings";
    QTest::newRow("no row, tts") << "wteTTS" << greet << false << ColumnValues{}
        << "please type tts text for play main greetings";
    QTest::newRow("prompt with markup, raw") << "wteTTS" << greet << true
        << ColumnValues{{"prompttxt", "Press <b>1</b> & \"go\""}}
        << "press <b>1</b> & \"go\"";
    const QString input = QStringLiteral("       <input type=%1 maxlength=%2 id=optiondigits "
                                         "style=\"cut-through: no\" type=button>");
    QTest::newRow("maxlen 8") << "wteTTS" << digits << true
        << ColumnValues{{"inputmaxlen", "8"}} << input.arg("text", "8");
    QTest::newRow("maxlen letters") << "wteTTS" << digits << true
        << ColumnValues{{"inputmaxlen", "ab"}} << input.arg("text", "4");
    QTest::newRow("maxlen null") << "wteTTS" << digits << true
        << ColumnValues{{"inputmaxlen", null}} << input.arg("text", "4");
    QTest::newRow("inputtype null") << "wteTTS" << digits << true
        << ColumnValues{{"inputtype", null}, {"inputmaxlen", "12"}} << input.arg("text", "12");
    QTest::newRow("inputtype kept") << "wteTTS" << digits << true
        << ColumnValues{{"inputtype", "Password"}} << input.arg("password", "4");
    QTest::newRow("terminator null") << "wteTTS" << digits << true
        << ColumnValues{{"InputTerm", null}}
        << "    window.external.configuration.inputterminator =\"#\"";
    QTest::newRow("terminator kept") << "wteTTS" << digits << true
        << ColumnValues{{"InputTerm", "*"}}
        << "    window.external.configuration.inputterminator =\"*\"";
    QTest::newRow("ignore keys null") << "wteTTS" << digits << true
        << ColumnValues{{"IgnoreKeys", null}}
        << "    window.external.configuration.ignorenavigationkeystilltermination =true";
    QTest::newRow("ignore keys no row") << "wteTTS" << digits << false << ColumnValues{}
        << "    window.external.configuration.ignorenavigationkeystilltermination =true";
    QTest::newRow("inter time-out null") << "wteTTS" << digits << true
        << ColumnValues{{"InterTimeoutInterval", null}}
        << "    window.external.configuration.intertimeoutinterval =30";
    QTest::newRow("first time-out kept") << "wteTTS" << digits << true
        << ColumnValues{{"FirstTimeoutInterval", "12"}}
        << "    window.external.configuration.firsttimeoutinterval=12";
    QTest::newRow("first time-out null, save") << "wteWave" << "save recorded message" << true
        << ColumnValues{{"FirstTimeoutInterval", null}}
        << "    window.external.configuration.firsttimeoutinterval=30";
    QTest::newRow("callxml voicefile null") << "callxml" << greet << true
        << ColumnValues{{"voicefile", null}}
        << "<playaudio format=\"wave\" termdigits=\"#\" value=\"waves\\novoice.wav\" "
           "cleardigits=\"true\"/>";
    QTest::newRow("callxml digits") << "callxml" << digits << true
        << ColumnValues{{"inputmaxlen", "1"}, {"InterTimeoutInterval", "5"}}
        << "<getdigits var=\"default\" maxdigits=\"1\" termdigits=\"#\" includetermdigit=\"false\""
           " cleardigits=\"true\" maxtime=\"30\" maxsilence=\"5\"/>";
    QTest::newRow("callxml digits no row") << "callxml" << digits << false << ColumnValues{}
        << "<getdigits var=\"default\" maxdigits=\"4\" termdigits=\"#\" includetermdigit=\"false\""
           " cleardigits=\"true\" maxtime=\"30\" maxsilence=\"30\"/>";
}

void TestGenerator::nodeValues()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(bool, withRow);
    QFETCH(ColumnValues, values);
    QFETCH(QString, expectedLine);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *node = f.add(root, text, withRow);
    if (!values.isEmpty())
        QVERIFY(f.set(node, values));
    const GenerationResult r = f.run(target);
    QVERIFY2(r.ok, qPrintable(r.error));
    const QStringList lines = f.lines(page(target), target == u"callxml");
    QVERIFY2(lines.contains(expectedLine), qPrintable(lines.join('\n')));
}

void TestGenerator::hyphenatedAnchors()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *greet = f.add(root, QStringLiteral("play main greetings"));
    FlowNode *options = f.add(greet, QStringLiteral("play message options"));
    f.add(options, QStringLiteral("delete recorded message"));
    f.add(options, QStringLiteral("re-record messages"));
    QVERIFY(f.run(QStringLiteral("wteWave")).ok);
    const QStringList lines = f.lines(page("wteWave"));
    QVERIFY(lines.contains("window.navigate(\"#play-main-greetings\")"));
    QVERIFY(lines.contains("window.navigate(\"#play-message-options\")"));
    QVERIFY(lines.contains("<a name=\"play-message-options\"></a>"));
    QVERIFY(lines.contains(" <menu onselectiontimeout=window.navigate(\"#play-main-greetings\")"
                           " onselectionerror=window.navigate(\"#play-main-greetings\")>"));
    QVERIFY(lines.contains(" <a accesskey=\"1\" href=\"#delete-recorded-message\"></a>"));
    QVERIFY(lines.contains(" <a accesskey=\"2\" href=\"#re-record-messages\"></a>"));
    // The back lines of the children lead to their parent's anchor.
    QCOMPARE(section(lines, "delete-recorded-message").count(
                 "window.navigate(\"#play-message-options\")"), 1);
    QCOMPARE(section(lines, "re-record-messages"),
             QStringList({"<% '\"re-record-messages\" begin here %>",
                          "<a name=\"re-record-messages\"></a>",
                          "<% 'call writelog \" re-recording message \" %>",
                          "window.navigate(\"#play-message-options\")",
                          "<% '\"re-record-messages\" ends here %>"}));
}

void TestGenerator::hearAlwaysPlaysTheRecording()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *hear = f.add(root, QStringLiteral("hear recorded message"));
    f.set(hear, {{QStringLiteral("voicefile"), QStringLiteral("mine.wav")}});
    QVERIFY(f.run(QStringLiteral("wteWave")).ok);
    const QStringList lines = section(f.lines(page("wteWave")), "hear-recorded-message");
    QVERIFY(lines.contains("<p voicefile=\"recorded.wav\">"));
    QVERIFY(!lines.join('\n').contains("mine.wav"));
    QVERIFY(lines.contains("window.navigate(\"#answer-call\")"));
}

void TestGenerator::narrationExample()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *greet = f.add(root, QStringLiteral("play main greetings"));
    FlowNode *menu = f.add(greet, QStringLiteral("get option digits"));
    f.add(menu, QStringLiteral("record message"));
    f.add(menu, QStringLiteral("hangup"));
    RecordingNarrator narrator;
    const GenerationResult r = f.run(QStringLiteral("TTS"), &narrator);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(narrator.sentences,
             sentencesOfRoot() << "Then it will play Main greetings."
                               << "Then it will ask caller to enter an Option digits."
                               << "The user has 2 options to make."
                               << "If user press option 1 the flow will go to record message"
                               << "If user press option 2 the flow will go to  hangup"
                               << "Then it will record a Message." << kClosing);
}

void TestGenerator::narrationSpeaksDigitMenusTwice()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *id = f.add(root, QStringLiteral("get user id digits"));
    f.add(id, QStringLiteral("play main greetings"));
    f.add(id, QStringLiteral("record message"));
    f.add(id, QStringLiteral("save recorded message"));
    FlowNode *pin = f.add(root, QStringLiteral("get password digits"));
    f.add(pin, QStringLiteral("hear recorded message"));
    f.add(pin, QStringLiteral("delete recorded message"));
    RecordingNarrator narrator;
    QVERIFY(f.run(QStringLiteral("TTS"), &narrator).ok);
    QStringList expected = sentencesOfRoot();
    expected << "The user has 2 options to make."
             << "If user press option 1 the flow will go to get user id digits"
             << "If user press option 2 the flow will go to  get password digits"
             << "Then it will get user id digits."
             << "The user has 3 options to make."
             << "If user press option 1 the flow will go to play main greetings"
             << "If user press option 2 the flow will go to  record message"
             << "If user press option 3 the flow will go to  save recorded message"
             // The second menu: the targets were hyphenated by the first one.
             << "The user has 3 options to make."
             << "If user press option 1 the flow will go to play-main-greetings"
             << "If user press option 2 the flow will go to  record-message"
             << "If user press option 3 the flow will go to  save-recorded-message"
             << "Then it will play Main greetings."
             << "Then it will record a Message."
             << "Then it will saves the recorded Message."
             << "Then it will get user pass word digits."
             << "The user has 2 options to make."
             << "If user press option 1 the flow will go to hear recorded message"
             << "If user press option 2 the flow will go to  delete recorded message"
             << "The user has 2 options to make."
             << "If user press option 1 the flow will go to hear-recorded-message"
             << "If user press option 2 the flow will go to  delete-recorded-message"
             << "Then it will Play the recorded Message."
             << "Then it will delete the recorded Message." << kClosing;
    QCOMPARE(narrator.sentences, expected);
}

void TestGenerator::narrationRestartsEachRun()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *process = f.add(root, QStringLiteral("process recorded messages"));
    f.add(process, QStringLiteral("re-record messages"));
    RecordingNarrator first;
    QVERIFY(f.run(QStringLiteral("TTS"), &first).ok);
    QCOMPARE(first.sentences, sentencesOfRoot() << "Then it will Process recorded Messages."
                                                << "The application will then will "
                                                   "re-recorded Message." << kClosing);
    RecordingNarrator second;
    QVERIFY(f.run(QStringLiteral("TTS"), &second).ok);
    QCOMPARE(second.sentences, first.sentences);
}

void TestGenerator::narrationPageHasHrefsWithoutHash()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *id = f.add(root, QStringLiteral("get user id digits"));
    f.add(id, QStringLiteral("play main greetings"));
    f.add(id, QStringLiteral("hangup"));
    FlowNode *greet = f.add(root, QStringLiteral("play personal greetings"));
    f.add(greet, QStringLiteral("record message"));
    RecordingNarrator narrator;
    QVERIFY(f.run(QStringLiteral("TTS"), &narrator).ok);
    const QStringList lines = f.lines(page("TTS"));
    QCOMPARE(lines.count(" <a accesskey=\"1\" href=\"play-main-greetings\"></a>"), 2);
    QCOMPARE(lines.count(" <a accesskey=\"2\" href=\"hangup\"></a>"), 2);
    QVERIFY(lines.contains(" <a accesskey=\"1\" href=\"get-user-id-digits\"></a>"));
    QVERIFY(!lines.join('\n').contains("href=\"#"));
    // A single child is still reached through its anchor.
    QVERIFY(lines.contains("window.navigate(\"#record-message\")"));
    // The narration page plays wave files.
    QVERIFY(lines.contains("<p voicefile =\"waves\\.wav\"></p>"));
}

void TestGenerator::noSentencesOutsideNarration_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("wteTTS") << "wteTTS";
    QTest::newRow("wteWave") << "wteWave";
    QTest::newRow("callxml") << "callxml";
}

void TestGenerator::noSentencesOutsideNarration()
{
    QFETCH(QString, target);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *id = f.add(root, QStringLiteral("get option digits"));
    f.add(id, QStringLiteral("record message"));
    f.add(id, QStringLiteral("hangup"));
    RecordingNarrator narrator;
    QVERIFY(f.run(target, &narrator).ok);
    QCOMPARE(narrator.sentences, QStringList());
    QVERIFY(f.lines(page(target), target == u"callxml").contains(
        target == u"callxml" ? "<block label=\"getoptiondigit\" repeat=\"1\" cleardigits=\"true\">"
                             : " <a accesskey=\"1\" href=\"#record-message\"></a>"));
}

void TestGenerator::remotePage_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("remote");
    QTest::addColumn<QString>("navigation");
    QTest::newRow("wteTTS") << "wteTTS" << "RemoteTTS.asp" << "window.navigate(\"remotetts.asp\")";
    QTest::newRow("wteWave") << "wteWave" << "RemoteWave.asp"
                             << "window.navigate(\"remotewave.asp\")";
    QTest::newRow("TTS") << "TTS" << "RemoteTTS.asp" << QString();
    QTest::newRow("callxml") << "callxml" << QString() << QString();
}

void TestGenerator::remotePage()
{
    QFETCH(QString, target);
    QFETCH(QString, remote);
    QFETCH(QString, navigation);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    f.add(root, QStringLiteral("process recorded messages"));
    const GenerationResult r = f.run(target);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.remoteNeeded, !remote.isEmpty());
    const QStringList all = QDir(f.appDir()).entryList(QDir::Files);
    if (remote.isEmpty()) {
        QVERIFY(r.remoteFile.isEmpty());
        QCOMPARE(all, QStringList({"callflow.mdb", "callxml.asp"}));
        return;
    }
    QCOMPARE(r.remoteFile, QDir(f.appDir()).filePath(remote));
    QCOMPARE(remote, codegen::remotePageFileName(target));
    // The voice-mail page is the writer's lines, lower-cased, CR LF, byte for byte.
    codegen::MemoryLineSink expected;
    codegen::writeRemotePage(expected);
    QCOMPARE(f.lines(remote), expected.lines());
    const QStringList lines = section(f.lines(page(target)), "process-recorded-messages");
    QCOMPARE(lines.indexOf("<form>") + (navigation.isEmpty() ? 1 : 2), lines.indexOf("</form>"));
    if (!navigation.isEmpty())
        QCOMPARE(lines.at(lines.indexOf("<form>") + 1), navigation);
}

void TestGenerator::callXmlLines()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *save = f.add(root, QStringLiteral("save recorded message"));
    FlowNode *del = f.add(save, QStringLiteral("delete recorded message"));
    FlowNode *record = f.add(del, QStringLiteral("record message"));
    f.set(record, {{QStringLiteral("FirstTimeoutInterval"), QStringLiteral("20")},
                   {QStringLiteral("InterTimeoutInterval"), QStringLiteral("3")},
                   {QStringLiteral("InputTerm"), QStringLiteral("*")}});
    f.add(record, QStringLiteral("hangup"));
    f.add(del, QStringLiteral("hangup"));
    f.add(root, QStringLiteral("process recorded messages"));
    const GenerationResult r = f.run(QStringLiteral("callxml"));
    QVERIFY2(r.ok, qPrintable(r.error));
    const QStringList expected{
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        "<callxml>",
        "<block label=\"answercall\" repeat=\"1\" cleardigits=\"true\">",
        "<answer/>",
        "</block>",
        // save and delete leave no trace; their descendants are written.
        "<block label=\"recordmessage\" repeat=\"1\" cleardigits=\"true\">",
        "<recordaudio format=\"wave\" value=\"recorded.wav\" termdigits=\"*\" cleardigits=\"true\""
        " maxtime=\"20\" maxsilence=\"3\"/>",
        "</block>",
        "<block label=\"hangup\" repeat=\"1\" cleardigits=\"true\">",
        "<hangup/>",
        "</block>",
        "<block label=\"hangup\" repeat=\"1\" cleardigits=\"true\">",
        "<hangup/>",
        "</block>",
        "<block label=\"processrecordedmsg\" repeat=\"1\" cleardigits=\"true\">",
        "<playaudio format=\"wave\" termdigits=\"#\" value=\"waves\\.wav\" cleardigits=\"true\"/>",
        "</block>",
        " <goto value=\"\" submit=\"all\" method=\"get\"/>",
        "</callxml>",
    };
    QCOMPARE(f.lines(QStringLiteral("callxml.asp"), true), expected);
    QVERIFY(!r.remoteNeeded);
}

void TestGenerator::callXmlEscapesAttributes()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *greet = f.add(root, QStringLiteral("play main greetings"));
    f.set(greet, {{QStringLiteral("voicefile"), QStringLiteral("A&B <\"x\">.WAV")},
                  {QStringLiteral("InputTerm"), QStringLiteral("\"")}});
    FlowNode *digits = f.add(greet, QStringLiteral("get user id digits"));
    f.set(digits, {{QStringLiteral("InputTerm"), QStringLiteral("<")},
                   {QStringLiteral("FirstTimeoutInterval"), QStringLiteral("&")},
                   {QStringLiteral("InterTimeoutInterval"), QStringLiteral(">'")}});
    QVERIFY(f.run(QStringLiteral("callxml")).ok);
    const QStringList lines = f.lines(QStringLiteral("callxml.asp"), true);
    QVERIFY(lines.contains("<playaudio format=\"wave\" termdigits=\"&quot;\" "
                           "value=\"waves\\a&amp;b &lt;&quot;x&quot;&gt;.wav\" "
                           "cleardigits=\"true\"/>"));
    QVERIFY(lines.contains("<getdigits var=\"default\" maxdigits=\"4\" termdigits=\"&lt;\" "
                           "includetermdigit=\"false\" cleardigits=\"true\" maxtime=\"&amp;\" "
                           "maxsilence=\"&gt;'\"/>"));
}

void TestGenerator::callXmlIsWellFormed_data()
{
    QTest::addColumn<QStringList>("texts"); // each entry: "parentIndex:text"
    QTest::addColumn<ColumnValues>("values"); // for every node
    const QStringList everything{
        "-1:answer call", "0:play main greetings", "1:get user id digits",
        "2:get password digits", "3:play personal greetings", "4:get option digits",
        "5:process recorded messages", "5:record message", "6:play message options",
        "8:hear recorded message", "8:save recorded message", "8:delete recorded message",
        "8:re-record messages", "8:hangup", "7:hangup", "5:hangup", "11:play main greetings"};
    QTest::newRow("root only") << QStringList{"-1:answer call"} << ColumnValues{};
    QTest::newRow("every call function") << everything << ColumnValues{};
    QTest::newRow("markup in values") << everything
        << ColumnValues{{"voicefile", "<a href=\"x\">&nbsp;</a>.wav"}, {"InputTerm", "&"},
                        {"FirstTimeoutInterval", "<"}, {"InterTimeoutInterval", "\">"}};
    QTest::newRow("null values") << everything
        << ColumnValues{{"voicefile", QVariant()}, {"InputTerm", QVariant()},
                        {"FirstTimeoutInterval", QVariant()}, {"inputmaxlen", QVariant()}};
    QTest::newRow("control characters and accents") << everything
        << ColumnValues{{"voicefile", QString("caf\u00e9\u0001\ttab\nnew\u20ac.wav")},
                        {"InputTerm", QString("\u0002")}};
    QTest::newRow("several top-level nodes")
        << QStringList{"-1:answer call", "-1:answer call", "1:hangup", "0:record message"}
        << ColumnValues{};
}

void TestGenerator::callXmlIsWellFormed()
{
    QFETCH(QStringList, texts);
    QFETCH(ColumnValues, values);
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        QSKIP("xmllint (libxml2-utils) is not installed");
    GenerationFixture f;
    QList<FlowNode *> nodes;
    for (const QString &entry : texts) {
        const int parent = entry.section(':', 0, 0).toInt();
        nodes << f.add(parent < 0 ? nullptr : nodes.at(parent), entry.section(':', 1));
        if (!values.isEmpty())
            QVERIFY(f.set(nodes.last(), values));
    }
    QVERIFY(f.run(QStringLiteral("callxml")).ok);
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), f.appDir() + QStringLiteral("/callxml.asp")});
    QVERIFY(lint.waitForFinished(30000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
}

void TestGenerator::fileFormat()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    FlowNode *greet = f.add(root, QStringLiteral("play main greetings"));
    f.set(greet, {{QStringLiteral("prompttxt"), QString("Caf\u00c9 \u20ac5 \u0160ee line\nTwo")},
                  {QStringLiteral("voicefile"), QString("\u00c9t\u00e9.wav")}});
    f.add(greet, QStringLiteral("save recorded message"));

    QVERIFY(f.run(QStringLiteral("wteTTS")).ok);
    const QByteArray tts = f.bytes(page("wteTTS"));
    // windows-1252: é as E9, € as 80, š as 9A, the typographic quotes as 93 and 94.
    QVERIFY(tts.contains("\r\ncaf\xe9 \x80" "5 \x9a" "ee line\r\ntwo\r\n"));
    QVERIFY(tts.contains("    external.session(\x93" "digits\x94) = empty\r\n"));
    QCOMPARE(tts.count('\n'), tts.count("\r\n"));
    QCOMPARE(tts.count('\r'), tts.count("\r\n"));
    QCOMPARE(QString::fromLatin1(tts).toLower(), QString::fromLatin1(tts));

    QVERIFY(f.run(QStringLiteral("callxml")).ok);
    const QByteArray xml = f.bytes(QStringLiteral("callxml.asp"));
    QVERIFY(xml.contains("value=\"waves\\\xc3\xa9t\xc3\xa9.wav\""));
    QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<callxml>\r\n"));
    QCOMPARE(xml.count('\n'), xml.count("\r\n"));
}

void TestGenerator::failureKeepsPreviousPage_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QString>("message");
    QTest::newRow("table missing") << "table" << "has no table";
    QTest::newRow("database unreadable") << "database" << "Cannot read the flow database";
    QTest::newRow("database missing") << "no database" << "Cannot read the flow database";
    QTest::newRow("folder missing") << "folder" << "does not exist";
}

void TestGenerator::failureKeepsPreviousPage()
{
    QFETCH(QString, breakage);
    QFETCH(QString, message);
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    f.add(root, QStringLiteral("process recorded messages"));
    QVERIFY(f.run(QStringLiteral("wteTTS")).ok);
    const QByteArray before = f.bytes(QStringLiteral("callTTS.asp"));
    const QByteArray remoteBefore = f.bytes(QStringLiteral("RemoteTTS.asp"));
    QVERIFY(!before.isEmpty());
    f.add(root, QStringLiteral("hangup"));

    codegen::GenerationRequest request{QStringLiteral("wteTTS"), f.appDir(), f.databasePath(),
                                       f.table()};
    if (breakage == u"table") {
        request.table = QStringLiteral("flows2");
    } else if (breakage == u"database") {
        request.databasePath = f.appDir() + QStringLiteral("/notes.mdb");
        QFile text(request.databasePath);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("This is not a database, it is a note about one.\n");
    } else if (breakage == u"no database") {
        request.databasePath = f.appDir() + QStringLiteral("/gone.mdb");
    } else {
        request.appDir = f.appDir() + QStringLiteral("/missing");
    }
    RecordingNarrator narrator;
    const GenerationResult r = codegen::generate(f.tree(), request, &narrator);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(message), qPrintable(r.error));
    QCOMPARE(f.bytes(QStringLiteral("callTTS.asp")), before);
    QCOMPARE(f.bytes(QStringLiteral("RemoteTTS.asp")), remoteBefore);
    QCOMPARE(narrator.sentences, QStringList());
    // No temporary file is left behind, and a missing database is not created.
    QStringList expected{"RemoteTTS.asp", "callTTS.asp", "callflow.mdb"};
    if (breakage == u"database")
        expected << "notes.mdb";
    QStringList present = QDir(f.appDir()).entryList(QDir::Files | QDir::Hidden);
    present.sort();
    expected.sort();
    QCOMPARE(present, expected);
}

void TestGenerator::emptyTreeTouchesNothing()
{
    GenerationFixture f;
    const GenerationResult r = f.run(QStringLiteral("wteWave"));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains("no call flow to generate"), qPrintable(r.error));
    QCOMPARE(QDir(f.appDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"callflow.mdb"});
}

void TestGenerator::pathInTheWay()
{
    GenerationFixture f;
    FlowNode *root = f.add(nullptr, QStringLiteral("answer call"));
    f.add(root, QStringLiteral("process recorded messages"));
    QVERIFY(QDir(f.appDir()).mkdir(QStringLiteral("RemoteWave.asp")));
    const GenerationResult r = f.run(QStringLiteral("wteWave"));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains("RemoteWave.asp"), qPrintable(r.error));
    QVERIFY(!f.exists(QStringLiteral("callWave.asp")));
    QVERIFY(QDir(f.appDir()).mkdir(QStringLiteral("callTTS.asp")));
    QVERIFY(!f.run(QStringLiteral("wteTTS")).ok);
}

void TestGenerator::completionMessage_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tts remote") << "wteTTS" << true
                                << "Code generated: CallTTS.asp and RemoteTTS.asp";
    QTest::newRow("tts") << "wteTTS" << false << "Code generated: CallTTS.asp";
    QTest::newRow("narration remote") << "TTS" << true
                                      << "Code generated: CallTTS.asp and RemoteTTS.asp";
    QTest::newRow("narration") << "TTS" << false << "Code generated: CallTTS.asp";
    QTest::newRow("wave remote") << "wteWave" << true
                                 << "Code generated: CallWave.asp and RemoteWave.asp";
    QTest::newRow("wave") << "wteWave" << false << "Code generated: CallWave.asp";
    QTest::newRow("callxml flag set") << "callxml" << true << "Code generated: CallXml.asp";
    QTest::newRow("callxml") << "callxml" << false << "Code generated: CallXml.asp";
    QTest::newRow("voicexml") << "voicexml" << true << QString();
    QTest::newRow("case counts") << "wtetts" << false << QString();
}

void TestGenerator::completionMessage()
{
    QFETCH(QString, target);
    QFETCH(bool, remote);
    QFETCH(QString, expected);
    QCOMPARE(codegen::completionMessage(target, remote), expected);
}

void TestGenerator::outputFileName_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");
    QTest::newRow("wteWave") << "wteWave" << "callWave.asp";
    QTest::newRow("wteTTS") << "wteTTS" << "callTTS.asp";
    QTest::newRow("TTS") << "TTS" << "callTTS.asp";
    QTest::newRow("callxml") << "callxml" << "callxml.asp";
    QTest::newRow("other") << "vxml" << QString();
}

void TestGenerator::outputFileName()
{
    QFETCH(QString, target);
    QFETCH(QString, expected);
    QCOMPARE(codegen::outputFileName(target), expected);
}

QTEST_GUILESS_MAIN(TestGenerator)
#include "tst_generator.moc"
