#include "flowbuilder.h"

#include "call/behaviour.h"
#include "call/flowroutes.h"
#include "call/nodemoves.h"

#include <QTest>

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

    void optionLookup()
    {
        const auto tree = buildFlow(QStringLiteral(
            "answer call(get option digits(a;b;c;d;e;f;g))"));
        const call::NodeMoves moves = call::movesOf(*tree, *tree->findKey(QStringLiteral("2_")));
        QVERIFY(moves.behaviour->entryIsOption);
        QCOMPARE(moves.forOption(QStringLiteral("6"))->target->key, QStringLiteral("8_"));
        for (const char *nowhere : {"7", "0", "12", "", "#"}) {
            const call::Move *m = moves.forOption(QLatin1String(nowhere));
            QCOMPARE(m->trigger, call::Trigger::OtherKey);
            QCOMPARE(m->target->key, QStringLiteral("1_"));
        }
        QCOMPARE(moves.onTimeOut()->target->key, QStringLiteral("1_"));
        QVERIFY(!moves.afterAction());
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
};

QTEST_GUILESS_MAIN(TestCall)
#include "tst_call.moc"
