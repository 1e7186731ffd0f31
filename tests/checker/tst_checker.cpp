#include "call/flowbuilder.h"
#include "testdirs.h"

#include "app/checkcommand.h"

#include "checker/checktarget.h"
#include "checker/flowcheck.h"
#include "checker/flowfacts.h"
#include "checker/rules.h"
#include "call/nodemoves.h"
#include "model/appdata.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "properties/samplevoices.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// The facts of `tree` with every node's row as the editor first writes it, changed by
// `settings`: "; "-separated "KEY.column=value" (value "null" for Null), "KEY=norow",
// "waves=a.wav,b.wav", "members=1234+,5678-" (+: the mailbox has its folder).
checker::FlowFacts factsOf(const model::FlowTree &tree, const QString &settings)
{
    QHash<QString, std::optional<model::ColumnValues>> rows;
    for (const model::FlowNode *node : tree.depthFirst())
        rows.insert(node->key, model::flowcolumns::defaultsFor(model::NodeIdentity::of(*node)));
    QSet<QString> waves;
    std::optional<QList<checker::MailboxFacts>> members;
    for (const QString &setting : settings.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const QString name = setting.section(u'=', 0, 0);
        const QString value = setting.section(u'=', 1);
        if (name == u"waves") {
            for (const QString &file : value.split(u',', Qt::SkipEmptyParts))
                waves.insert(file.toLower());
        } else if (name == u"members") {
            members.emplace();
            for (const QString &m : value.split(u',', Qt::SkipEmptyParts))
                members->append({m.chopped(1), m.endsWith(u'+')});
        } else if (value == u"norow") {
            rows[name].reset();
        } else {
            rows[name.section(u'.', 0, 0)]->insert(name.section(u'.', 1),
                                                   value == u"null" ? QVariant() : value);
        }
    }
    checker::FlowFacts facts = checker::FlowFacts::of(
        tree, [&rows](const model::FlowNode &node) { return rows.value(node.key); });
    facts.waveFiles = waves;
    facts.members = members;
    return facts;
}

QList<checker::Problem> check(const checker::FlowFacts &facts, const QString &target = {})
{
    return checker::checkFlow(facts, target.isEmpty() ? checker::everyTarget()
                                                      : *checker::findTarget(target));
}

QStringList keysOf(const QList<checker::Problem> &problems, const QString &rule)
{
    QStringList keys;
    for (const checker::Problem &p : problems) {
        if (p.rule == rule)
            keys << (p.key.isEmpty() ? QStringLiteral("flow") : p.key);
    }
    return keys;
}

const char kSeven[] = "answer call(get option digits(hangup;hangup;hangup;hangup;hangup;hangup;"
                      "play main greetings))";
const char kSix[] = "answer call(get option digits(hangup;hangup;hangup;hangup;hangup;hangup))";

// A random flow of up to `size` nodes: every call function, a few unknown texts and stray
// answer-call nodes, up to eight children a node, now and then a second top-level node.
std::unique_ptr<model::FlowTree> randomFlow(QRandomGenerator &rng, int size)
{
    static const char *const kTexts[] = {
        "play main greetings", "play personal greetings", "get user id digits",
        "get password digits", "get option digits", "play message options",
        "process recorded messages", "record message", "hear recorded message",
        "save recorded message", "delete recorded message", "re-record messages", "hangup",
        "answer call", "greet",
    };
    auto tree = std::make_unique<model::FlowTree>();
    std::vector<model::FlowNode *> nodes{
        tree->addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"))};
    for (int i = 2; i <= size; ++i) {
        const QString key = QString::number(i) + u'_';
        const QString text = QString::fromLatin1(kTexts[rng.bounded(int(std::size(kTexts)))]);
        model::FlowNode *parent = nodes[size_t(rng.bounded(int(nodes.size())))];
        if (rng.bounded(40) == 0)
            nodes.push_back(tree->addTopLevel(key, text));
        else if (parent->childCount() < 8)
            nodes.push_back(tree->add(parent, model::FlowTree::Relation::LastChild, key, text));
    }
    return tree;
}

void addSubtree(const model::FlowNode *node, QSet<const model::FlowNode *> &into)
{
    into.insert(node);
    for (const model::FlowNode *c : node->children)
        addSubtree(c, into);
}

// An application folder as the first start leaves it (the sample recordings in waves/),
// with a second flow table "broken" whose get-option node has no children and a node text
// the pages do not know.
void makeAppDir(const QString &dir)
{
    QVERIFY(model::initialiseData(dir).flowOk);
    for (const properties::SampleVoice &voice : properties::sampleVoices()) {
        QVERIFY(QFile(dir + QStringLiteral("/waves/") + QLatin1String(voice.fileName))
                    .open(QIODevice::WriteOnly));
    }
    const auto tree = buildFlow(QStringLiteral("answer call(get option digits;greet;hangup)"));
    const QString database = model::demoflow::path(dir);
    QString error;
    QVERIFY2(model::FlowStore::createMain(database, QStringLiteral("broken"), &error)
                 && model::FlowStore(database, QStringLiteral("broken")).writeTree(*tree, &error),
             qPrintable(error));
}

} // namespace

class TestChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Per rule, the smallest flows that break it and flows that do not.
    void rules_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("keys"); // where the rule reports, in order

        auto row = [](const char *name, const char *rule, const char *flow,
                      const char *settings, const char *target, const char *keys) {
            QTest::newRow(name) << rule << flow << settings << target << keys;
        };
        row("empty", "empty-flow", "", "", "", "flow");
        row("not empty", "empty-flow", "answer call", "", "", "");
        row("greeting first", "answer-call-first", "play main greetings(hangup)", "", "", "1_");
        row("answer first", "answer-call-first", "answer call(hangup)", "", "", "");
        row("second top", "extra-top-level", "answer call(hangup);answer call(hangup)", "", "",
            "3_");
        row("one top", "extra-top-level", "answer call(hangup(hangup))", "", "", "");
        row("answer below", "second-answer-call", "answer call(answer call)", "", "", "2_");
        row("answer on top", "second-answer-call", "answer call;answer call", "", "", "");
        row("case", "unknown-function", "answer call(Play Main Greetings)", "", "", "2_");
        row("no function", "unknown-function", "answer call(greet(hangup))", "", "", "2_");
        row("known", "unknown-function", "answer call(play main greetings;answer call)", "",
            "", "");
        row("no hangup", "no-hangup", "answer call(play main greetings)", "", "", "1_");
        row("hangup after voice mail", "no-hangup",
            "answer call(process recorded messages(hangup))", "", "", "1_");
        row("hangup", "no-hangup", "answer call(get option digits(hangup;record message))", "",
            "", "");
        row("seven", "over-six-children", kSeven, "", "", "2_");
        row("seven unreachable", "over-six-children",
            (QByteArray("answer call(hangup(") + kSeven + "))").constData(), "", "", "");
        row("six", "over-six-children", kSix, "", "", "");
        row("under hangup", "children-never-reached", "answer call(hangup(hangup))", "", "",
            "2_");
        row("under voice mail", "children-never-reached",
            "answer call(get option digits(process recorded messages(hangup);hangup))", "", "",
            "3_");
        row("under a greeting", "children-never-reached", "answer call(play main greetings("
            "hangup))", "", "", "");
        row("dead end", "dead-end", "answer call(get user id digits;hangup)", "", "", "2_");
        row("answer alone", "dead-end", "answer call", "", "", "1_");
        row("goes on", "dead-end", "answer call(get user id digits(hangup))", "", "", "");
        row("option node", "dead-end", "answer call(play message options)", "", "", "");
        row("no options", "options-without-children", "answer call(play message options)", "",
            "", "2_");
        row("options", "options-without-children", "answer call(get option digits(hangup))",
            "", "", "");
        row("loop", "silent-loop", "answer call(play main greetings(save recorded message))",
            "", "", "2_");
        row("loop at the answer", "silent-loop", "answer call(delete recorded message)", "", "",
            "1_");
        row("loop out of reach", "silent-loop",
            "answer call(hangup(play main greetings(save recorded message)))", "", "", "");
        row("waits", "silent-loop", "answer call(record message(save recorded message))", "",
            "", "");
        row("no recording", "message-without-recording",
            "answer call(get option digits(hear recorded message;re-record messages))", "", "",
            "3_,4_");
        row("recorded", "message-without-recording",
            "answer call(record message(get option digits(save recorded message;"
            "delete recorded message)))", "", "", "");
        row("no voice file", "voice-file", "answer call(play main greetings(hangup))",
            "2_.voicefile=.wav; 3_.voicefile=bye.wav; waves=bye.wav", "wteWave", "2_");
        row("no row", "voice-file", "answer call(hangup)", "2_=norow", "callxml", "2_");
        row("missing", "voice-file", "answer call(hangup)", "2_.voicefile=bye.wav", "TTS",
            "2_");
        row("present", "voice-file", "answer call(play main greetings(hangup))",
            "2_.voicefile=Intro.wav; 3_.voicefile=bye.wav; waves=intro.wav,bye.wav", "wteWave",
            "");
        row("spoken target", "voice-file", "answer call(hangup)", "", "wteTTS", "");
        row("default prompt", "prompt-text", "answer call(play main greetings(hangup))",
            "3_.prompttxt=Goodbye.", "wteTTS", "2_");
        row("demo prompt", "prompt-text", "answer call(hangup)",
            "2_.prompttxt=type text to be spoken here.", "wteTTS", "2_");
        row("null prompt", "prompt-text", "answer call(hangup)", "2_.prompttxt=null", "wteTTS",
            "2_");
        row("empty prompt", "prompt-text", "answer call(hangup)", "2_.prompttxt= ", "", "2_");
        row("prompt set", "prompt-text", "answer call(hangup)", "2_.prompttxt=Goodbye.",
            "wteTTS", "");
        row("wave target", "prompt-text", "answer call(hangup)", "", "wteWave", "");
        row("no keys", "wait-numbers", "answer call(get user id digits(hangup))",
            "2_.inputmaxlen=0", "", "2_");
        row("time-outs", "wait-numbers", "answer call(record message(hangup))",
            "2_.FirstTimeoutInterval=x; 2_.InterTimeoutInterval=-1", "", "2_,2_");
        row("numbers fine", "wait-numbers", "answer call(get user id digits(hangup))",
            "2_.inputmaxlen=12; 2_.FirstTimeoutInterval=null", "", "");
        row("not used", "wait-numbers", "answer call(hangup)", "2_.inputmaxlen=0", "", "");
        row("record length", "record-length", "answer call(record message(hangup))",
            "2_.MaxReclen=0", "", "2_");
        row("record length fine", "record-length", "answer call(record message(hangup))",
            "2_.MaxReclen=90", "", "");
        row("letter", "terminator", "answer call(get user id digits(hangup))",
            "2_.InputTerm=a", "", "2_");
        row("empty terminator", "terminator", "answer call(record message(hangup))",
            "2_.InputTerm=", "", "2_");
        row("star", "terminator", "answer call(get user id digits(hangup))", "2_.InputTerm=*",
            "", "");
        row("option key", "terminator-is-option", "answer call(get option digits(hangup;"
            "hangup))", "2_.InputTerm=2", "", "2_");
        row("no such option", "terminator-is-option", "answer call(get option digits(hangup;"
            "hangup))", "2_.InputTerm=3", "", "");
        row("no members", "no-members", "answer call(process recorded messages)", "members=",
            "wteWave", "2_");
        row("members", "no-members", "answer call(process recorded messages)",
            "members=1234+", "wteTTS", "");
        row("no voice mail page", "no-members", "answer call(process recorded messages)",
            "members=", "callxml", "");
        row("no folder", "mailbox-folders", "answer call(process recorded messages)",
            "members=1234-,5678+,7777-", "", "2_");
        row("folders", "mailbox-folders", "answer call(process recorded messages)",
            "members=1234+", "", "");
    }

    void rules()
    {
        QFETCH(QString, rule);
        QFETCH(QString, flow);
        QFETCH(QString, settings);
        QFETCH(QString, target);
        const auto tree = buildFlow(flow);
        QTEST(keysOf(check(factsOf(*tree, settings), target), rule).join(u','), "keys");
    }

    void everyRuleHasAnId()
    {
        QSet<QString> ids;
        for (const checker::Rule &rule : checker::rules())
            ids.insert(QString::fromLatin1(rule.id));
        QCOMPARE(ids.size(), qsizetype(checker::rules().size()));
    }

    // The demonstration flow, read from the databases as the program makes them.
    void demonstrationFlowHasNoError()
    {
        QTemporaryDir dir;
        makeAppDir(dir.path());
        model::FlowTree tree;
        QString error;
        model::FlowStore store(model::demoflow::path(dir.path()), model::demoflow::tableName());
        QVERIFY2(store.loadInto(tree, &error), qPrintable(error));
        const checker::FlowFacts facts = checker::gatherFacts(
            tree, {dir.path(), store.databasePath(), store.table()});
        QVERIFY(facts.sourceErrors.isEmpty());
        const QStringList targets = checker::targetNames() << QString();
        for (const QString &target : targets) {
            const QList<checker::Problem> problems = check(facts, target);
            QStringList errors;
            for (const checker::Problem &p : problems) {
                if (p.severity == checker::Severity::Error)
                    errors << checker::formatLine(p);
            }
            QVERIFY2(errors.isEmpty(), qPrintable(target + u'\n' + errors.join(u'\n')));
        }
        QStringList found;
        for (const checker::Problem &p : check(facts, QStringLiteral("wteWave")))
            found << p.rule + u' ' + p.key;
        QCOMPARE(found, QStringList({"voice-file 6_", "children-never-reached 7_",
                                     "mailbox-folders 7_", "dead-end 17_", "dead-end 16_"}));
    }

    // The checker's route findings and the call rules agree on random flows: every node the
    // rules cannot reach lies under a node reported as leaving it out, no reachable node
    // does, and every place a call following the rules gets stuck or spins is reported.
    void routesAgreeWithCallRules()
    {
        QRandomGenerator rng(15);
        for (int round = 0; round < 300; ++round) {
            const auto tree = randomFlow(rng, 2 + rng.bounded(30));
            const checker::FlowFacts facts = factsOf(*tree, {});
            const QList<checker::Problem> problems = check(facts);
            QHash<QString, QSet<QString>> rulesAt;
            for (const checker::Problem &p : problems)
                rulesAt[p.key].insert(p.rule);

            QSet<const model::FlowNode *> explained;
            for (const checker::NodeFacts &n : facts.nodes) {
                const QSet<QString> &at = rulesAt[n.node->key];
                if (at.contains(QStringLiteral("extra-top-level")))
                    addSubtree(n.node, explained);
                // A call stops at a node the pages have no section for.
                if (at.contains(QStringLiteral("over-six-children"))
                    || at.contains(QStringLiteral("children-never-reached"))
                    || at.contains(QStringLiteral("unknown-function"))
                    || at.contains(QStringLiteral("second-answer-call"))) {
                    for (const model::FlowNode *c : n.moves.unreachableChildren)
                        addSubtree(c, explained);
                }
            }
            for (const checker::NodeFacts &n : facts.nodes) {
                QVERIFY2(n.reachable != explained.contains(n.node),
                         qPrintable(QStringLiteral("round %1, node %2").arg(round).arg(
                             n.node->key)));
                if (!n.reachable)
                    continue;
                const call::Move *next = n.moves.afterAction();
                const QSet<QString> &at = rulesAt[n.node->key];
                if (next && next->outcome == call::Outcome::NoNextStep)
                    QVERIFY(at.contains(QStringLiteral("dead-end"))
                            || at.contains(QStringLiteral("options-without-children")));
                if (next && next->outcome == call::Outcome::NoSection)
                    QVERIFY(at.contains(QStringLiteral("unknown-function"))
                            || at.contains(QStringLiteral("second-answer-call")));
            }
            // A caller who never keys anything: the route from every reachable node either
            // stops or waits, or it spins round a loop that is reported.
            for (const checker::NodeFacts &n : facts.nodes) {
                if (!n.reachable)
                    continue;
                const model::FlowNode *at = n.node;
                for (int step = 0; at && step <= int(facts.nodes.size()); ++step) {
                    const call::NodeMoves moves = call::movesOf(*tree, *at);
                    const call::Move *next = moves.afterAction();
                    at = moves.waitsForCaller || !next ? nullptr : next->target;
                }
                if (!at)
                    continue;
                bool reported = false;
                for (const checker::Problem &p : problems)
                    reported |= p.rule == u"silent-loop" && p.message.contains(at->key);
                QVERIFY2(reported, qPrintable(QStringLiteral("round %1").arg(round)));
            }
        }
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("err");

        QTest::newRow("demonstration") << "--target wteWave" << 0
                                       << "6_ get option digits: warning: No voice file is "
                                          "chosen (voicefile is \".wav\"): choose the "
                                          "recording for this step from waves/."
                                       << "nodesflow: 0 errors, 5 warnings";
        QTest::newRow("errors") << "--table broken --target wteTTS" << 1
                                << "2_ get option digits: error: The caller is asked for an "
                                   "option but there is none to choose: add a child for each "
                                   "option (1 to 6)."
                                << "broken: 2 errors, 2 warnings";
        QTest::newRow("json") << "--table broken --json" << 1
                              << "{\"column\":\"\",\"key\":\"2_\",\"leftOut\":false,"
                                 "\"message\":\"The caller is asked for an option but there "
                                 "is none to choose: add a child for each option (1 to 6).\","
                                 "\"rule\":\"options-without-children\",\"severity\":"
                                 "\"error\",\"text\":\"get option digits\"}"
                              << "broken: 2 errors, 4 warnings";
        QTest::newRow("no table") << "--table none" << 1 << ""
                                  << "Nothing checked: the table none cannot be loaded";
        QTest::newRow("no database") << "--flow-db none.mdb" << 1 << ""
                                     << "Nothing checked: the flow database";
        QTest::newRow("unknown target") << "--target vxml" << 2 << "" << "Unknown target: vxml";
        QTest::newRow("unknown option") << "--targets wteWave" << 2 << ""
                                        << "Unknown option 'targets'.";
        QTest::newRow("stray word") << "wteWave" << 2 << ""
                                    << "Unknown argument for check: wteWave";
    }

    void commandLine()
    {
        QFETCH(QString, args);
        QFETCH(QString, err);
        QTemporaryDir dir;
        makeAppDir(dir.path());
        QString out;
        QString said;
        QTextStream outStream(&out);
        QTextStream errStream(&said);
        QDir::setCurrent(dir.path());
        QTEST(app::runCheckCommand(args.split(u' '), dir.path(), outStream, errStream),
              "status");
        errStream.flush();
        QTEST(out.section(u'\n', 0, 0), "firstLine");
        QVERIFY2(said.startsWith(err), qPrintable(said));
        if (args.contains(QLatin1String("--json"))) {
            for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts))
                QVERIFY(QJsonDocument::fromJson(line.toUtf8()).object().contains("severity"));
        }
    }

    // The program runs the command, with its exit status.
    void commandThroughTheProgram()
    {
        QTemporaryDir dir;
        makeAppDir(dir.path());
        QProcess program;
        program.start(programPath(), {QStringLiteral("check"), QStringLiteral("--app-dir"),
                                      dir.path(), QStringLiteral("--table"),
                                      QStringLiteral("broken")});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardOutput().startsWith("2_ get option digits: error: "));
    }

    void sourcesThatCannotBeRead()
    {
        QTemporaryDir dir;
        const auto tree = buildFlow(QStringLiteral("answer call(process recorded messages)"));
        const checker::FlowFacts facts =
            checker::gatherFacts(*tree, {dir.path(), dir.filePath("none.mdb"), "nodesflow"});
        const QList<checker::Problem> problems = check(facts, QStringLiteral("wteWave"));
        QCOMPARE(keysOf(problems, QStringLiteral("unreadable")), QStringList{"flow"});
        QCOMPARE(keysOf(problems, QStringLiteral("no-members")), QStringList{"2_"});
        QVERIFY(problems.first().message.contains(QLatin1String("none.mdb")));
    }
};

QTEST_GUILESS_MAIN(TestChecker)
#include "tst_checker.moc"
