#include "call/flowbuilder.h"

#include "app/checkcommand.h"

#include "checker/checktarget.h"
#include "checker/flowcheck.h"
#include "checker/flowfacts.h"
#include "checker/rules.h"
#include "call/callengine.h"
#include "call/nodevaluessource.h"
#include "model/appdata.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "properties/samplevoices.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
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
        row("no file, no text", "prompt-fallback", "answer call(play main greetings(hangup))",
            "2_.prompttxt= ; 3_.prompttxt=Type text to be spoken here.", "vxml", "2_,3_");
        row("text, no file", "prompt-fallback", "answer call(hangup)",
            "2_.prompttxt=Bye.; 2_.voicefile=bye.wav", "vxml", "");
        row("file, no text", "prompt-fallback", "answer call(hangup)",
            "2_.prompttxt=null; 2_.voicefile=bye.wav; waves=bye.wav", "vxml", "");
        row("fallback, every target", "prompt-fallback", "answer call(hangup)", "", "", "");
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
        for (const QString &target : QStringList(checker::targetNames() << QString()))
            QCOMPARE(checker::countOf(check(facts, target), checker::Severity::Error), 0);
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
            // Whether one of the rules reported the node; a loop is reported at one of its
            // nodes and names them all.
            auto reported = [&problems](const QString &key, const QStringList &rules) {
                const QString named = u'(' + key + u')';
                return std::any_of(problems.begin(), problems.end(), [&](const auto &p) {
                    return rules.contains(p.rule)
                           && (p.key == key
                               || (p.rule == u"silent-loop" && p.message.contains(named)));
                });
            };

            std::vector<const model::FlowNode *> cutOff; // what no call reaches, and below
            for (const checker::NodeFacts &n : facts.nodes) {
                if (reported(n.node->key, {"extra-top-level"}))
                    cutOff.push_back(n.node);
                if (reported(n.node->key, {"over-six-children", "children-never-reached",
                                           "unknown-function", "second-answer-call"}))
                    cutOff.insert(cutOff.end(), n.moves.unreachableChildren.begin(),
                                  n.moves.unreachableChildren.end());
            }
            for (const checker::NodeFacts &n : facts.nodes) {
                QCOMPARE(n.reachable, std::none_of(cutOff.begin(), cutOff.end(), [&](auto *c) {
                             return c == n.node || c->isAncestorOf(n.node);
                         }));
            }

            for (int callNo = 0; callNo < 4; ++callNo) {
                call::CallEvent end;
                call::CallEngine engine(*tree, values, call::Flavour::Tts, QString(),
                                        [&](const call::CallEvent &e) {
                                            if (e.kind == call::CallEvent::Kind::Node)
                                                QVERIFY(facts.find(tree->findKey(e.nodeKey))
                                                            ->reachable);
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
                const QStringList expected =
                    end.endReason == call::EndReason::NoNextStep
                        ? QStringList{"dead-end", "options-without-children"}
                    : end.endReason == call::EndReason::NoSection
                        ? QStringList{"unknown-function", "second-answer-call"}
                    : end.endReason == call::EndReason::Loop ? QStringList{"silent-loop"}
                                                             : QStringList();
                QVERIFY2(expected.isEmpty() || reported(end.nodeKey, expected),
                         qPrintable(QStringLiteral("round %1 at %2").arg(round).arg(end.nodeKey)));
            }
        }
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // how the first line starts
        QTest::addColumn<QString>("err");

        auto row = [](const char *name, const char *args, int status, const char *out,
                      const char *err) { QTest::newRow(name) << args << status << out << err; };
        row("demonstration", "--target wteWave", 0, "6_ get option digits: warning: No voice",
            "nodesflow: 0 errors, 5 warnings");
        row("errors", "--table broken --target wteTTS", 1,
            "2_ get option digits: error: The caller is asked for an option",
            "broken: 2 errors, 2 warnings");
        row("json", "--table broken --json", 1, "{\"column\":\"\",\"key\":",
            "broken: 2 errors, 4 warnings");
        row("no table", "--table none", 1, "", "Nothing checked: The flow database");
        row("no database", "--flow-db none.mdb", 1, "", "Nothing checked: the flow database");
        row("unknown target", "--target wap", 2, "", "Unknown target: wap");
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
            QSqlQuery insert(db);
            QVERIFY(insert.prepare("INSERT INTO t (key, parent, text, image, selectedimage) "
                                   "VALUES (?, ?, 'hangup', 1, 2)"));
            for (const QString &row : rows.split(u' ')) {
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
            if (p.rule == u"left-out-row" && p.leftOut)
                found << p.key + ": " + p.message.section(", as ", 1).section("; a", 0, 0);
        }
        QTEST(found, "found");
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
