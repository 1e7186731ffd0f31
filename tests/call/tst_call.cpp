#include "callfakes.h"
#include "flowbuilder.h"
#include "pagenavigation.h"

#include "call/behaviour.h"
#include "call/callengine.h"
#include "call/callscript.h"
#include "call/callsession.h"
#include "call/flowroutes.h"
#include "call/nodemoves.h"
#include "call/nodevaluessource.h"
#include "call/scriptedcaller.h"
#include "call/standinrecording.h"
#include "call/transcript.h"
#include "codegen/generator.h"
#include "model/flowstore.h"

#include "testdirs.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QString keysOf(const std::vector<const model::FlowNode *> &nodes)
{
    QStringList keys;
    for (const model::FlowNode *n : nodes)
        keys << n->key;
    return keys.join(u' ');
}

// "label=target" for each move, the single child's jump labelled "next".
QString describe(const call::NodeMoves &moves)
{
    QStringList parts;
    for (const call::Move &m : moves.moves) {
        const QString label = m.label().isEmpty() ? QStringLiteral("next") : m.label();
        parts << (m.target ? label + u'=' + m.target->key : label);
    }
    return parts.join(u", ");
}

// Node values by key, from "key:column=value;column=value|key:..."; a node not named has
// no row and takes the no-row defaults.
class TableValues final : public call::NodeValuesSource
{
public:
    explicit TableValues(const QString &rows = QString())
    {
        for (const QString &node : rows.split(u'|', Qt::SkipEmptyParts)) {
            const QString key = node.section(u':', 0, 0);
            model::ColumnValues &row = m_rows[key];
            for (const QString &pair : node.section(u':', 1).split(u';', Qt::SkipEmptyParts))
                row.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        }
    }
    model::NodeValues valuesOf(const model::FlowNode &node, QString *) override
    {
        const auto it = m_rows.constFind(node.key);
        return model::NodeValues::fromRow(it == m_rows.cend() ? std::nullopt
                                                              : std::optional(*it),
                                          node.text);
    }

private:
    QHash<QString, model::ColumnValues> m_rows;
};

// The transcript lines without their step numbers, " / " between them; an end line keeps
// its reason only, unless `full`.
QString project(const QList<call::CallEvent> &events, bool full = false)
{
    QStringList lines;
    for (const call::CallEvent &e : events) {
        QString line = call::transcript::textLine(e).section(u' ', 1);
        if (!full && e.kind == call::CallEvent::Kind::End)
            line = line.section(u' ', 0, 1);
        lines << line;
    }
    return lines.join(QStringLiteral(" / "));
}

// The events of a call through the tree, the caller scripted.
QList<call::CallEvent> runCall(const model::FlowTree &tree, const QString &script,
                               const QString &values = QString(),
                               call::Flavour flavour = call::Flavour::Tts)
{
    QList<call::CallEvent> events;
    TableValues table(values);
    QTemporaryDir recordings;
    call::CallEngine engine(tree, table, flavour, QStringLiteral("/app/waves"),
                            [&events](const call::CallEvent &e) { events << e; });
    QString error;
    call::ScriptedCaller caller(engine, call::parseCallScript(script, &error), recordings.path());
    caller.run();
    return events;
}

// Writes the wave page of a flow, the hangups given their voice files by key; its sections,
// in page order.
QList<PageSection> wavePage(const model::FlowTree &tree,
                            const QHash<QString, QString> &voiceFiles)
{
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("flow.mdb"));
    QString error;
    model::FlowStore::createMain(database, QStringLiteral("nodesflow"), &error);
    {
        model::FlowStore store(database, QStringLiteral("nodesflow"));
        for (auto it = voiceFiles.cbegin(); it != voiceFiles.cend(); ++it) {
            const auto node = model::NodeIdentity::of(*tree.findKey(it.key()));
            if (!store.addRow(node, &error)
                || !store.updateRow(node, {{QStringLiteral("voicefile"), it.value()}}, &error))
                qWarning("%s", qPrintable(error));
        }
    }
    const codegen::GenerationResult result = codegen::generate(
        tree,
        {codegen::GenerationTarget::WteWave, dir.path(), database, QStringLiteral("nodesflow")},
        nullptr);
    return result.ok ? readPageSections(result.mainFile) : QList<PageSection>();
}

} // namespace

class TestCall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void moves_data()
    {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("moves");
        QTest::addColumn<bool>("waits");
        QTest::addColumn<QString>("unreachable");

        const QString seven = QStringLiteral(
            "answer call(get option digits(hangup;hangup;hangup;hangup;hangup;hangup;hangup))");
        QTest::newRow("answer alone") << "answer call" << "1_" << "no next step" << false << "";
        QTest::newRow("one child") << "answer call(play main greetings)" << "1_" << "next=2_"
                                   << false << "";
        QTest::newRow("two children")
            << "answer call(play main greetings;hangup)" << "1_"
            << "1=2_, 2=3_, time-out=1_, other key=1_" << true << "";
        QTest::newRow("six children")
            << "answer call(play main greetings(hangup;hangup;hangup;hangup;hangup;hangup))"
            << "2_" << "1=3_, 2=4_, 3=5_, 4=6_, 5=7_, 6=8_, time-out=1_, other key=1_" << true
            << "";
        QTest::newRow("seven children")
            << seven << "2_" << "1=3_, 2=4_, 3=5_, 4=6_, 5=7_, 6=8_, time-out=1_, other key=1_"
            << true << "9_";
        QTest::newRow("time-out to the parent")
            << "answer call(play main greetings(play personal greetings(hangup;record message)))"
            << "3_" << "1=4_, 2=5_, time-out=2_, other key=2_" << true << "";
        QTest::newRow("collects") << "answer call(get user id digits(hangup))" << "2_"
                                  << "next=3_" << true << "";
        QTest::newRow("collects, no child")
            << "answer call(get password digits)" << "2_" << "no next step" << true << "";
        QTest::newRow("records") << "answer call(record message)" << "2_" << "no next step"
                                 << true << "";
        QTest::newRow("voice mail") << "answer call(process recorded messages(hangup))" << "2_"
                                    << "voice mail" << false << "3_";
        QTest::newRow("hear") << "answer call(play main greetings(hear recorded message))"
                              << "3_" << "back=2_" << false << "";
        QTest::newRow("save") << "answer call(save recorded message(hangup;hangup))" << "2_"
                              << "back=1_" << false << "3_ 4_";
        QTest::newRow("delete") << "answer call(delete recorded message)" << "2_" << "back=1_"
                                << false << "";
        QTest::newRow("re-record") << "answer call(re-record messages)" << "2_" << "back=1_"
                                   << false << "";
        QTest::newRow("hangup") << "answer call(hangup(play main greetings))" << "2_"
                                << "hang up" << false << "3_";
        QTest::newRow("unknown text") << "answer call(Hangup(hangup))" << "2_" << "no section"
                                      << false << "3_";
        QTest::newRow("answer call below the top")
            << "answer call(answer call(hangup))" << "2_" << "no section" << false << "3_";
        QTest::newRow("second top-level node answers")
            << "Answer Call;hangup(record message;hangup)" << "2_"
            << "1=3_, 2=4_, time-out=1_, other key=1_" << true << "";
    }

    void moves()
    {
        QFETCH(QString, flow);
        QFETCH(QString, key);
        const auto tree = buildFlow(flow);
        const model::FlowNode *node = tree->findKey(key);
        QVERIFY(node);
        const call::NodeMoves moves = call::movesOf(*tree, *node);
        QTEST(describe(moves), "moves");
        QTEST(moves.waitsForCaller, "waits");
        QTEST(keysOf(moves.unreachableChildren), "unreachable");
    }

    void routes_data()
    {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("reachable");
        QTest::addColumn<QString>("loops");

        QTest::newRow("demonstration shape")
            << "answer call(play main greetings(get option digits(process recorded messages("
               "play message options(hangup));record message(hangup));hangup))"
            << "1_ 2_ 3_ 9_ 4_ 7_ 8_" << "";
        QTest::newRow("hear under a single child loops")
            << "answer call(play main greetings(hear recorded message))" << "1_ 2_ 3_"
            << "2_ 3_";
        QTest::newRow("back to the answer call loops")
            << "answer call(delete recorded message)" << "1_ 2_" << "1_ 2_";
        QTest::newRow("waiting breaks the loop")
            << "answer call(get user id digits(hear recorded message))" << "1_ 2_ 3_" << "";
        QTest::newRow("unreachable loop counts too")
            << "answer call(hangup(play main greetings(save recorded message)))" << "1_ 2_"
            << "3_ 4_";
        QTest::newRow("two loops")
            << "answer call(play main greetings(re-record messages);record message;"
               "play personal greetings(hear recorded message))"
            << "1_ 2_ 4_ 5_ 3_ 6_" << "2_ 3_|5_ 6_";
    }

    void routes()
    {
        QFETCH(QString, flow);
        const auto tree = buildFlow(flow);
        QTEST(keysOf(call::flowroutes::reachableNodes(*tree)), "reachable");
        QStringList loops;
        for (const auto &loop : call::flowroutes::silentLoops(*tree))
            loops << keysOf(loop);
        QTEST(loops.join(u'|'), "loops");
    }

    void calls_data()
    {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("flavour");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("transcript");

        const QString start = QStringLiteral("node 1_ answer call / answer / ");
        QTest::newRow("no child: no next step")
            << "answer call(play main greetings)" << "2_:prompttxt=Welcome" << "tts" << ""
            << start + "go next 2_ play main greetings / node 2_ play main greetings / "
                       "say Welcome / end no-next-step";
        QTest::newRow("empty prompt text")
            << "answer call(hangup)" << "2_:prompttxt=" << "tts" << ""
            << start + "go next 2_ hangup / node 2_ hangup / say Please enter TTS text for "
                       "hangup / end hangup";
        QTest::newRow("voice file") << "answer call(hangup)" << "2_:voicefile=bye.wav" << "wave"
                                    << "" << start + "go next 2_ hangup / node 2_ hangup / "
                                                     "play bye.wav / end hangup";
        QTest::newRow("no voice file") << "answer call(hangup)" << "2_:voicefile=" << "wave"
                                       << "" << start + "go next 2_ hangup / node 2_ hangup / "
                                                        "play Novoice.wav / end hangup";
        QTest::newRow("entry by length")
            << "answer call(get user id digits(hangup))"
            << "2_:prompttxt=Id;inputmaxlen=3;InputTerm=*;FirstTimeoutInterval=5;"
               "InterTimeoutInterval=2|3_:prompttxt=Bye"
            << "tts" << "12,3"
            << start + "go next 2_ get user id digits / node 2_ get user id digits / say Id / "
                       "wait entry userid keys 3 term * first 5 inter 2 / key 1 / key 2 / "
                       "key 3 / entry userid 123 / go next 3_ hangup / node 3_ hangup / "
                       "say Bye / end hangup";
        QTest::newRow("entry by terminator, keys left over")
            << "answer call(get password digits)" << "2_:prompttxt=Pin" << "tts" << "9#5"
            << start + "go next 2_ get password digits / node 2_ get password digits / "
                       "say Pin / wait entry userpin keys 4 term # first 30 inter 30 / key 9 / "
                       "key # / entry userpin 9 / end no-next-step";
        QTest::newRow("entry by time-out")
            << "answer call(get password digits)" << "2_:prompttxt=Pin" << "tts" << "4,T"
            << start + "go next 2_ get password digits / node 2_ get password digits / "
                       "say Pin / wait entry userpin keys 4 term # first 30 inter 30 / key 4 / "
                       "time-out / entry userpin 4 / end no-next-step";
        QTest::newRow("option key")
            << "answer call(play main greetings(hangup;record message))"
            << "2_:prompttxt=Menu|3_:prompttxt=Bye" << "tts" << "1"
            << start + "go next 2_ play main greetings / node 2_ play main greetings / "
                       "say Menu / wait option 1-2 first 30 / key 1 / go option 1 3_ hangup / "
                       "node 3_ hangup / say Bye / end hangup";
        QTest::newRow("other key and time-out go back, the answer call to itself")
            << "answer call(hangup;play main greetings(hangup;hangup))"
            << "2_:prompttxt=Bye|3_:prompttxt=Menu" << "tts" << "2,9,T,1"
            << start + "wait option 1-2 first 30 / key 2 / go option 2 3_ play main greetings "
                       "/ node 3_ play main greetings / say Menu / wait option 1-2 first 30 / "
                       "key 9 / go other-key 1_ answer call / node 1_ answer call / "
                       "wait option 1-2 first 30 / time-out / go time-out 1_ answer call / "
                       "node 1_ answer call / wait option 1-2 first 30 / key 1 / "
                       "go option 1 2_ hangup / node 2_ hangup / say Bye / end hangup";
        const QString seven = QStringLiteral(
            "answer call(play main greetings(hangup;hangup;hangup;hangup;hangup;hangup;hangup))");
        QTest::newRow("sixth child")
            << seven << "2_:prompttxt=Menu|8_:prompttxt=Bye" << "tts" << "6"
            << start + "go next 2_ play main greetings / node 2_ play main greetings / "
                       "say Menu / wait option 1-6 first 30 / key 6 / go option 6 8_ hangup / "
                       "node 8_ hangup / say Bye / end hangup";
        QTest::newRow("seventh child")
            << seven << "2_:prompttxt=Menu" << "tts" << "7"
            << start + "go next 2_ play main greetings / node 2_ play main greetings / "
                       "say Menu / wait option 1-6 first 30 / key 7 / note Option 7 would be "
                       "9_ hangup, but a node offers six options: a seventh or later child can "
                       "never be reached. / go other-key 1_ answer call / node 1_ answer call / "
                       "go next 2_ play main greetings / node 2_ play main greetings / "
                       "say Menu / wait option 1-6 first 30 / end script-ended";
        QTest::newRow("entry is the option")
            << "answer call(get option digits(hangup;record message))"
            << "2_:prompttxt=Pick|4_:prompttxt=Speak" << "tts" << "2#,R3"
            << start + "go next 2_ get option digits / node 2_ get option digits / say Pick / "
                       "wait entry optionDigit keys 4 term # first 30 inter 30 options 2 / "
                       "key 2 / key # / entry optionDigit 2 / go option 2 4_ record message / "
                       "node 4_ record message / say Speak / record max 60 term # silence 30 / "
                       "recorded 3.0 s by silence / end no-next-step";
        QTest::newRow("message nodes")
            << "answer call(record message(play message options(hear recorded message;"
               "save recorded message;delete recorded message;re-record messages;hangup)))"
            << "2_:prompttxt=Speak;MaxReclen=10|3_:prompttxt=Options;inputmaxlen=1|"
               "5_:prompttxt=Kept|6_:prompttxt=Gone|8_:prompttxt=Bye"
            << "tts" << "R4#,1,2,3,1,4,5"
            << start + "go next 2_ record message / node 2_ record message / say Speak / "
                       "record max 10 term # silence 30 / key # / recorded 4.0 s by terminator "
                       "/ go next 3_ play message options / node 3_ play message options / "
                       "say Options / wait entry msgDigit keys 1 term # first 30 inter 30 "
                       "options 5 / key 1 / entry msgDigit 1 / go option 1 4_ hear recorded "
                       "message / node 4_ hear recorded message / play recording 4.0 s / "
                       "go back 3_ play message options / node 3_ play message options / "
                       "say Options / wait entry msgDigit keys 1 term # first 30 inter 30 "
                       "options 5 / key 2 / entry msgDigit 2 / go option 2 5_ save recorded "
                       "message / node 5_ save recorded message / say Kept / saved / go back "
                       "3_ play message options / node 3_ play message options / say Options / "
                       "wait entry msgDigit keys 1 term # first 30 inter 30 options 5 / key 3 / "
                       "entry msgDigit 3 / go option 3 6_ delete recorded message / node 6_ "
                       "delete recorded message / say Gone / deleted / go back 3_ play message "
                       "options / node 3_ play message options / say Options / wait entry "
                       "msgDigit keys 1 term # first 30 inter 30 options 5 / key 1 / entry "
                       "msgDigit 1 / go option 1 4_ hear recorded message / node 4_ hear "
                       "recorded message / note There is no recording to hear. / go back 3_ "
                       "play message options / node 3_ play message options / say Options / "
                       "wait entry msgDigit keys 1 term # first 30 inter 30 options 5 / key 4 / "
                       "entry msgDigit 4 / go option 4 7_ re-record messages / node 7_ "
                       "re-record messages / go back 3_ play message options / node 3_ play "
                       "message options / say Options / wait entry msgDigit keys 1 term # "
                       "first 30 inter 30 options 5 / key 5 / entry msgDigit 5 / go option 5 "
                       "8_ hangup / node 8_ hangup / say Bye / end hangup";
        QTest::newRow("recording at its limit")
            << "answer call(record message)" << "2_:prompttxt=Speak;MaxReclen=5" << "tts"
            << "R9"
            << start + "go next 2_ record message / node 2_ record message / say Speak / "
                       "record max 5 term # silence 30 / recorded 5.0 s by limit / "
                       "end no-next-step";
        QTest::newRow("silence at once")
            << "answer call(record message)" << "2_:prompttxt=Speak" << "tts" << "T"
            << start + "go next 2_ record message / node 2_ record message / say Speak / "
                       "record max 60 term # silence 30 / recorded 0.0 s by silence / "
                       "end no-next-step";
        QTest::newRow("to the voice mail")
            << "answer call(process recorded messages(hangup))" << "2_:prompttxt=Mail"
            << "tts" << ""
            << start + "go next 2_ process recorded messages / node 2_ process recorded "
                       "messages / say Mail / end voice-mail";
        QTest::newRow("unknown text")
            << "answer call(Record Message)" << "" << "tts" << ""
            << start + "go next 2_ Record Message / node 2_ Record Message / end no-section";
        QTest::newRow("caller hangs up")
            << "answer call(get user id digits)" << "2_:prompttxt=Id" << "tts" << "1,H"
            << start + "go next 2_ get user id digits / node 2_ get user id digits / say Id / "
                       "wait entry userid keys 4 term # first 30 inter 30 / key 1 / "
                       "end caller-hung-up";
        QTest::newRow("empty flow") << "" << "" << "tts" << "" << "end empty-flow";
    }

    void calls()
    {
        QFETCH(QString, flow);
        QFETCH(QString, values);
        QFETCH(QString, flavour);
        QFETCH(QString, script);
        const auto tree = buildFlow(flow);
        const auto events = runCall(*tree, script, values,
                                    flavour == u"tts" ? call::Flavour::Tts : call::Flavour::Wave);
        QTEST(project(events), "transcript");
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // the whole output, or "@file" for a file here
        QTest::addColumn<QString>("err"); // a part of the error output

        QTest::newRow("demonstration flow, wave")
            << QStringList{"--flavour", "wave", "--keys", "T,1,2#,R3"} << 0
            << "@demo-call-wave.txt" << "";
        QTest::newRow("demonstration flow, JSON lines")
            << QStringList{"--json", "--keys", "3,1234"} << 0 << "@demo-call.jsonl" << "";
        QTest::newRow("script longer than the call")
            << QStringList{"--keys", "3, 1234 ,5"} << 0 << "" << "Not used, the call was over: 5";
        QTest::newRow("no keys") << QStringList{} << 2 << "" << "call needs --keys";
        QTest::newRow("bad action") << QStringList{"--keys", "1,X"} << 2 << ""
                                    << "\"X\" is no caller action";
        QTest::newRow("bad recording") << QStringList{"--keys", "Rx"} << 2 << ""
                                       << "\"Rx\" is no recording";
        QTest::newRow("bad flavour") << QStringList{"--flavour", "mp3", "--keys", "1"} << 2 << ""
                                     << "Unknown flavour: mp3";
        QTest::newRow("unknown option") << QStringList{"--keys", "1", "--loud"} << 2 << ""
                                        << "Unknown option 'loud'";
        QTest::newRow("missing flow database")
            << QStringList{"--flow-db", "/nonexistent/flow.mdb", "--keys", "1"} << 1 << ""
            << "does not exist";
        QTest::newRow("missing table") << QStringList{"--table", "other", "--keys", "1"} << 1
                                       << "" << "has no table other";
    }

    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QTemporaryDir dir;
        QProcess p;
        p.start(programPath(), QStringList{"call", "--app-dir", dir.path()} + args);
        QVERIFY(p.waitForFinished(60000));
        QTEST(p.exitCode(), "exitCode");
        const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(p.readAllStandardError());
        QFETCH(QString, err);
        QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
        if (out.startsWith(u'@')) {
            QFile expected(sourceDir() + QStringLiteral("/tests/call/") + out.mid(1));
            QVERIFY(expected.open(QIODevice::ReadOnly));
            QCOMPARE(stdOut, QString::fromUtf8(expected.readAll()));
        }
        if (p.exitCode() != 0)
            QVERIFY(stdOut.isEmpty());
    }

    // For random flows, every navigation the wave page writes lands in the section of the
    // node the call moves to for the same trigger, and the call makes no move the page does
    // not write (see routePage). Texts are drawn from 13, so most flows repeat some; the
    // hangups say goodbye in one of three voice files (two the same but for case) or none.
    void pageAgreement()
    {
        QRandomGenerator random(13);
        static const QStringList files{"goodbye.wav", "GoodBye.wav", "later.wav", ""};
        int compared = 0;
        for (int flow = 0; flow < 60; ++flow) {
            const auto tree = randomFlow(random);
            QHash<QString, QString> voiceFiles;
            for (const model::FlowNode *node : tree->depthFirst()) {
                const QString file = files.at(random.bounded(files.size()));
                if (node->text == u"hangup" && !file.isEmpty())
                    voiceFiles.insert(node->key, file);
            }
            const QList<PageSection> sections = wavePage(*tree, voiceFiles);
            QVERIFY(!sections.isEmpty());
            const PageRouting routing = routePage(*tree, sections, voiceFiles);
            QVERIFY2(routing.faults == 0, qPrintable(QStringLiteral("flow %1: %2 faults, %3")
                                                         .arg(flow)
                                                         .arg(routing.faults)
                                                         .arg(routing.firstFault)));
            compared += routing.compared;
        }
        qInfo("%d navigations agree", compared);
    }

    // Flows on which the pages once sent the call elsewhere than its rules.
    void pageRoutes_data()
    {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("voiceFiles"); // "key=file,..." of the hangups
        QTest::addColumn<int>("sections");
        QTest::newRow("text shared: the second is reached in its own section")
            << "answer call(play main greetings(get user id digits);"
               "get password digits(play main greetings(hangup)))" << "" << 6;
        QTest::newRow("a text that names nothing shares an anchor")
            << "answer call(Play Main Greetings;play main greetings)" << "" << 2;
        QTest::newRow("hangups with prompts of their own")
            << "answer call(get option digits(hangup;record message(hangup)))"
            << "3_=first.wav,5_=second.wav" << 5;
        QTest::newRow("hangups that say the same")
            << "answer call(get option digits(hangup;record message(hangup;hangup)))"
            << "3_=bye.wav,5_=BYE.wav,6_=bye.wav" << 4;
        QTest::newRow("the voice mail's way back is the first hangup")
            << "answer call(Hangup;hangup)" << "" << 2;
        QTest::newRow("entries taken before the call goes on")
            << "answer call(get user id digits(get password digits(get user id digits;"
               "hangup)))" << "" << 5;
    }

    void pageRoutes()
    {
        QFETCH(QString, flow);
        QFETCH(QString, voiceFiles);
        const auto tree = buildFlow(flow);
        QHash<QString, QString> files;
        for (const QString &pair : voiceFiles.split(u',', Qt::SkipEmptyParts))
            files.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        const QList<PageSection> sections = wavePage(*tree, files);
        QTEST(int(sections.size()), "sections");
        const PageRouting routing = routePage(*tree, sections, files);
        QVERIFY2(routing.faults == 0, qPrintable(routing.firstFault));
    }

    // A call placed by a person: the waits run out on the clock, "No Input" at once, the
    // recordings are held; an edit of the flow ends the call. Actions: "+N" the clock moves
    // N ms, keys, "N" no input, "H" hang up, "S" the microphone hears silence, "E" a node
    // is added to the flow.
    void session_data()
    {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("values");
        QTest::addColumn<int>("microphone"); // 0 none, 1 available, 2 failing
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("transcript"); // from the first wait on

        QTest::newRow("first and inter time-outs")
            << "answer call(get user id digits)"
            << "2_:FirstTimeoutInterval=10;InterTimeoutInterval=3" << 0 << "+9999,1,+2999,2,+3000"
            << "wait entry userid keys 4 term # first 10 inter 3 / key 1 / key 2 / time-out / "
               "entry userid 12 / end no-next-step";
        QTest::newRow("option time-out, no input")
            << "answer call(hangup;hangup)" << "" << 0 << "+30000,N"
            << "wait option 1-2 first 30 / time-out / go time-out 1_ answer call / "
               "node 1_ answer call / wait option 1-2 first 30 / time-out / go time-out 1_ "
               "answer call / node 1_ answer call / wait option 1-2 first 30";
        QTest::newRow("stand-in held to the terminator")
            << "answer call(record message)" << "" << 0 << "+4000,#"
            << "record max 60 term # silence 30 / key # / recorded 4.0 s by terminator / "
               "end no-next-step";
        QTest::newRow("stand-in ended by no input")
            << "answer call(record message)" << "" << 0 << "+2500,1,N"
            << "record max 60 term # silence 30 / key 1 / recorded 2.5 s by silence / "
               "end no-next-step";
        QTest::newRow("stand-in at its limit")
            << "answer call(record message)" << "2_:MaxReclen=5" << 0 << "+70000"
            << "record max 5 term # silence 30 / recorded 5.0 s by limit / end no-next-step";
        QTest::newRow("microphone hears silence")
            << "answer call(record message)" << "" << 1 << "S"
            << "record max 60 term # silence 30 / recorded 1.5 s by silence / "
               "end no-next-step";
        QTest::newRow("microphone fails")
            << "answer call(record message)" << "" << 2 << "+1000,#"
            << "record max 60 term # silence 30 / note The microphone cannot record (device "
               "busy): a stand-in recording is made instead. / key # / recorded 1.0 s by "
               "terminator / end no-next-step";
        QTest::newRow("hang up while recording")
            << "answer call(record message)" << "" << 1 << "+1000,H,N"
            << "record max 60 term # silence 30 / end caller-hung-up";
        QTest::newRow("the flow is edited")
            << "answer call(get user id digits)" << "" << 0 << "1,E,2"
            << "wait entry userid keys 4 term # first 30 inter 30 / key 1 / end flow-changed";
    }

    void session()
    {
        QFETCH(QString, flow);
        QFETCH(QString, values);
        QFETCH(int, microphone);
        QFETCH(QString, actions);
        const auto tree = buildFlow(flow);
        FakeClock clock;
        FakeRecorder recorder;
        recorder.fails = microphone == 2;
        call::CallSession session(*tree, clock, microphone ? &recorder : nullptr);
        QList<call::CallEvent> events;
        connect(&session, &call::CallSession::event, this,
                [&events](const call::CallEvent &e) { events << e; });
        QString error;
        QVERIFY(session.start(std::make_unique<TableValues>(values), call::Flavour::Tts,
                              QString(), &error));
        for (const QString &a : actions.split(u',')) {
            if (a.startsWith(u'+'))
                clock.advance(a.mid(1).toLongLong());
            else if (a == u"N")
                session.noInput();
            else if (a == u"H")
                session.hangUp();
            else if (a == u"S")
                recorder.hearSilence();
            else if (a == u"E")
                tree->add(tree->node(1), model::FlowTree::Relation::LastChild, "9_", "hangup");
            else
                session.key(a.front());
        }
        using Kind = call::CallEvent::Kind;
        const auto firstWait = std::find_if(events.cbegin(), events.cend(), [](const auto &e) {
            return e.kind == Kind::Wait || e.kind == Kind::Record;
        });
        QTEST(project(events.mid(firstWait - events.cbegin())), "transcript");
        QVERIFY(!recorder.recording);
        if (events.last().endReason == call::EndReason::FlowChanged)
            QVERIFY(events.last().text.endsWith(QLatin1String("a node was added.")));
    }

    // A stand-in recording is a wave file of the length asked for: 8 kHz, 16-bit, mono.
    void standInRecording()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.wav"));
        QString error;
        QVERIFY(call::writeStandInRecording(path, 2500, &error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wave = file.readAll();
        QCOMPARE(wave.size(), 44 + 2500 * 16);
        QCOMPARE(wave.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(wave.constData() + 4), quint32(wave.size() - 8));
        QCOMPARE(qFromLittleEndian<quint32>(wave.constData() + 24), 8000u);
        QCOMPARE(qFromLittleEndian<quint32>(wave.constData() + 40), quint32(2500 * 16));
        QVERIFY(!call::writeStandInRecording(dir.filePath("missing/r.wav"), 10, &error));
        QVERIFY(!error.isEmpty());
    }

    void loopGuard()
    {
        const auto tree = buildFlow(QStringLiteral(
            "answer call(get user id digits(play main greetings(hear recorded message)))"));
        const QList<call::CallEvent> events = runCall(*tree, QStringLiteral("1#"));
        const auto steps = std::count_if(events.cbegin(), events.cend(),
                                         [](const call::CallEvent &e) {
                                             return e.kind == call::CallEvent::Kind::Node;
                                         });
        // Two steps before the entry, then a thousand without waiting.
        QCOMPARE(steps, 2 + call::CallEngine::kLoopLimit);
        const call::CallEvent &end = events.last();
        QCOMPARE(end.endReason, call::EndReason::Loop);
        QVERIFY2(end.text.endsWith(
                     QLatin1String("3_ play main greetings, 4_ hear recorded message.")),
                 qPrintable(end.text));
    }
};

QTEST_GUILESS_MAIN(TestCall)
#include "tst_call.moc"
