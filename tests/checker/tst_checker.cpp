#include "call/flowbuilder.h"
#include "fakeuserprompts.h"
#include "testdirs.h"

#include "app/checkcommand.h"
#include "app/checkcontroller.h"

#include "checker/checktarget.h"
#include "checker/flowcheck.h"
#include "checker/flowfacts.h"
#include "checker/rules.h"
#include "call/callengine.h"
#include "call/nodevaluessource.h"
#include "model/appdata.h"
#include "model/demoflow.h"
#include "model/currentflow.h"
#include "model/flowstore.h"
#include "problems/problemspanel.h"
#include "properties/samplevoices.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTreeWidget>
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

// Every node's values as the editor first writes them.
class DefaultValues final : public call::NodeValuesSource
{
public:
    model::NodeValues valuesOf(const model::FlowNode &node, QString *) override
    {
        return model::NodeValues::fromRow(
            model::flowcolumns::defaultsFor(model::NodeIdentity::of(node)), node.text);
    }
};

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

    // The checker, the call rules and the call engine agree on random flows: the nodes the
    // rules cannot reach are exactly those under a node reported as leaving them out;
    // random calls through the engine run only reachable nodes, and where a call gets
    // stuck or loops the checker has reported it.
    void routesAgreeWithTheCallEngine()
    {
        QRandomGenerator rng(15);
        DefaultValues values;
        for (int round = 0; round < 150; ++round) {
            const auto tree = randomFlow(rng);
            if (round % 8 == 0) {
                tree->add(tree->addTopLevel(tree->nextKey(), QStringLiteral("answer call")),
                          model::FlowTree::Relation::LastChild, tree->nextKey(),
                          QStringLiteral("hangup"));
            }
            const checker::FlowFacts facts = factsOf(*tree, {});
            const QList<checker::Problem> problems = check(facts);
            QHash<QString, QSet<QString>> rulesAt;
            for (const checker::Problem &p : problems)
                rulesAt[p.key].insert(p.rule + (p.rule == u"silent-loop" ? p.message : ""));
            auto reported = [&rulesAt](const QString &key, const QString &rule) {
                for (const QString &r : rulesAt.value(key)) {
                    if (r.startsWith(rule))
                        return true;
                }
                return false;
            };

            QSet<const model::FlowNode *> explained;
            for (const checker::NodeFacts &n : facts.nodes) {
                const QString key = n.node->key;
                if (reported(key, QStringLiteral("extra-top-level")))
                    addSubtree(n.node, explained);
                // A call stops at a node the pages have no section for.
                if (reported(key, QStringLiteral("over-six-children"))
                    || reported(key, QStringLiteral("children-never-reached"))
                    || reported(key, QStringLiteral("unknown-function"))
                    || reported(key, QStringLiteral("second-answer-call"))) {
                    for (const model::FlowNode *c : n.moves.unreachableChildren)
                        addSubtree(c, explained);
                }
            }
            for (const checker::NodeFacts &n : facts.nodes)
                QCOMPARE(n.reachable, !explained.contains(n.node));

            for (int callNo = 0; callNo < 4; ++callNo) {
                QStringList ran;
                call::CallEvent end;
                call::CallEngine engine(*tree, values, call::Flavour::Tts, QString(),
                                        [&](const call::CallEvent &e) {
                                            if (e.kind == call::CallEvent::Kind::Node)
                                                ran << e.nodeKey;
                                            else if (e.kind == call::CallEvent::Kind::End)
                                                end = e;
                                        });
                engine.start();
                for (int action = 0; !engine.isOver() && action < 30; ++action) {
                    if (engine.state() == call::CallEngine::State::Recording)
                        engine.recorded({QString(), 1000, call::Recording::EndedBy::Silence});
                    else if (rng.bounded(5) == 0)
                        engine.timeOut();
                    else
                        engine.key(QStringLiteral("12345678#")[rng.bounded(9)]);
                }
                if (!engine.isOver())
                    engine.hangUp();
                for (const QString &key : std::as_const(ran))
                    QVERIFY(facts.find(tree->findKey(key))->reachable);
                const QString at = end.nodeKey;
                switch (end.endReason) {
                case call::EndReason::NoNextStep:
                    QVERIFY(reported(at, QStringLiteral("dead-end"))
                            || reported(at, QStringLiteral("options-without-children")));
                    break;
                case call::EndReason::NoSection:
                    QVERIFY(reported(at, QStringLiteral("unknown-function"))
                            || reported(at, QStringLiteral("second-answer-call")));
                    break;
                case call::EndReason::Loop: {
                    bool loop = false;
                    for (const checker::Problem &p : problems)
                        loop |= p.rule == u"silent-loop" && p.message.contains(at);
                    QVERIFY2(loop, qPrintable(QStringLiteral("round %1").arg(round)));
                    break;
                }
                default:
                    break;
                }
            }
        }
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // how the first line starts
        QTest::addColumn<QString>("err");

        QTest::newRow("demonstration") << "--target wteWave" << 0
                                       << "6_ get option digits: warning: No voice file is "
                                          "chosen (voicefile is \".wav\")"
                                       << "nodesflow: 0 errors, 5 warnings";
        QTest::newRow("errors") << "--table broken --target wteTTS" << 1
                                << "2_ get option digits: error: The caller is asked for an "
                                   "option but there is none to choose"
                                << "broken: 2 errors, 2 warnings";
        QTest::newRow("json") << "--table broken --json" << 1 << "{\"column\":\"\",\"key\":"
                              << "broken: 2 errors, 4 warnings";
        QTest::newRow("no table") << "--table none" << 1 << ""
                                  << "Nothing checked: the table none cannot be loaded";
        QTest::newRow("no database") << "--flow-db none.mdb" << 1 << ""
                                     << "Nothing checked: the flow database";
        QTest::newRow("unknown target") << "--target vxml" << 2 << "" << "Unknown target: vxml";
        QTest::newRow("unknown option") << "--targets wteWave" << 2 << ""
                                        << "dialwright check: Unknown option 'targets'.";
    }

    void commandLine()
    {
        QFETCH(QString, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        makeAppDir(dir.path());
        QString printed;
        QString said;
        QTextStream outStream(&printed);
        QTextStream errStream(&said);
        QDir::setCurrent(dir.path());
        QTEST(app::runCheckCommand(args.split(u' '), dir.path(), outStream, errStream),
              "status");
        errStream.flush();
        QVERIFY2((out.isEmpty() ? printed.isEmpty() : printed.startsWith(out))
                     && said.startsWith(err),
                 qPrintable(printed + said));
        if (args.contains(QLatin1String("--json"))) {
            for (const QString &line : printed.split(u'\n', Qt::SkipEmptyParts))
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

    // Rows "KEY<PARENT" in table order; what the checker says of the rows a load leaves out.
    void leftOutRows_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("all in") << "1_<0_ 2_<1_" << QStringList();
        QTest::newRow("parent missing") << "1_<0_ 2_<9_" << QStringList{
            "2_: no row of the table has its parent's key 9_"};
        QTest::newRow("parent later") << "1_<0_ 2_<3_ 3_<1_" << QStringList{
            "2_: its parent 3_ comes after it in the table"};
        QTest::newRow("cycle") << "1_<0_ 2_<3_ 3_<2_ 4_<3_" << QStringList{
            "2_: its parents lead back to it (parent 3_)",
            "3_: its parents lead back to it (parent 2_)", "4_: its parent 3_ is left out too"};
        QTest::newRow("same key") << "1_<0_ 2_<1_ 2_<1_" << QStringList{
            "2_: an earlier row has the key 2_ too"};
    }

    void leftOutRows()
    {
        QFETCH(QString, rows);
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("flow.mdb"));
        QVERIFY(model::FlowStore::createMain(database, QStringLiteral("t"), nullptr));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "rows");
            db.setDatabaseName(database);
            QVERIFY(db.open());
            for (const QString &row : rows.split(u' ')) {
                QSqlQuery insert(db);
                insert.prepare(QStringLiteral("INSERT INTO t (key, parent, text, image, "
                                              "selectedimage) VALUES (?, ?, 'hangup', 1, 2)"));
                insert.addBindValue(row.section(u'<', 0, 0));
                insert.addBindValue(row.section(u'<', 1));
                QVERIFY(insert.exec());
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("rows"));
        model::FlowTree tree;
        model::FlowStore(database, QStringLiteral("t")).loadInto(tree, nullptr);
        const checker::FlowFacts facts = checker::gatherFacts(tree, {dir.path(), database, "t"});
        QStringList found;
        for (const checker::Problem &p : check(facts)) {
            const QString why = p.message.section(QStringLiteral(", as "), 1);
            if (p.rule == u"left-out-row" && p.leftOut)
                found << p.key + QStringLiteral(": ") + why.section(QStringLiteral("; a"), 0, 0);
        }
        QTEST(found, "found");
    }

    void panelShowsAndActivates()
    {
        problems::ProblemsPanel panel;
        const checker::Problem error{"dead-end", checker::Severity::Error, "2_", "hangup",
                                     "Stuck.", "", false};
        const checker::Problem warning{"voice-file", checker::Severity::Warning, "3_",
                                       "record message", "No file.", "voicefile", false};
        panel.showProblems({error, warning});
        auto *list = panel.findChild<QTreeWidget *>();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("3_ record message"));
        QSignalSpy activated(&panel, &problems::ProblemsPanel::problemActivated);
        list->setCurrentItem(list->topLevelItem(1));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.first().first().value<checker::Problem>(), warning);
        panel.showProblems({});
        QCOMPARE(list->topLevelItemCount(), 0);
    }

    // The window's check: Check Flow, the refresh while the flow is edited, and the
    // question before a generation with errors.
    void windowCheck()
    {
        QTemporaryDir dir;
        makeAppDir(dir.path());
        model::FlowTree tree;
        const model::CurrentFlow current{model::demoflow::path(dir.path()),
                                         model::demoflow::tableName()};
        QString error;
        QVERIFY(model::FlowStore(current.databasePath, current.table).loadInto(tree, &error));
        FakeUserPrompts prompts;
        problems::ProblemsPanel panel;
        app::CheckController check(tree, current, dir.path(), prompts, panel);

        tree.add(tree.findKey(QStringLiteral("16_")), model::FlowTree::Relation::LastChild,
                 QStringLiteral("18_"), QStringLiteral("greet"));
        QTest::qWait(200);
        QVERIFY(panel.problems().isEmpty()); // nothing shows before the first check
        check.checkFlow();
        QCOMPARE(keysOf(panel.problems(), QStringLiteral("unknown-function")),
                 QStringList{"18_"});

        QVERIFY(!check.approveGeneration(QStringLiteral("wteWave")));
        QCOMPARE(panel.target(), QStringLiteral("wteWave"));
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(prompts.questions.first().contains(QLatin1String("1 error for wteWave")));
        prompts.answers.enqueue(ui::UserPrompts::Answer::Yes);
        QVERIFY(check.approveGeneration(QStringLiteral("wteWave")));

        tree.remove(tree.findKey(QStringLiteral("18_")));
        QTRY_VERIFY(keysOf(panel.problems(), QStringLiteral("unknown-function")).isEmpty());
        QVERIFY(check.approveGeneration(QStringLiteral("callxml")));
        QCOMPARE(prompts.questions.size(), 2);
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

QTEST_MAIN(TestChecker)
#include "tst_checker.moc"
