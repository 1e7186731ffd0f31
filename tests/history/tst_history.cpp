#include "history/addnodecommand.h"
#include "history/clearflowcommand.h"
#include "history/editpropertiescommand.h"
#include "history/flowhistory.h"
#include "history/movenodecommand.h"
#include "history/removenodecommand.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using model::FlowNode;
using model::FlowTree;

namespace {

// The demonstration flow loaded from its table, edited through a history.
struct Harness
{
    QTemporaryDir dir;
    FlowTree tree;
    model::CurrentFlow flow;
    history::FlowHistory history;
    QString error;

    Harness()
    {
        QVERIFY(model::demoflow::ensure(dir.path(), nullptr, nullptr));
        flow = {model::demoflow::path(dir.path()), model::demoflow::tableName()};
        QVERIFY(model::FlowStore(flow.databasePath, flow.table).loadInto(tree, nullptr));
    }

    // One step: aK adds a hangup under K (a0 at the top level), rK removes K, c clears,
    // mK>T drops K on T, eK=V writes V as K's prompt, sK selects K (its row is made),
    // S saves, u and U undo and redo. False, with `error`, when it was refused.
    bool act(const QString &step)
    {
        error.clear();
        const QStringList parts = step.mid(1).split(QRegularExpression(QStringLiteral("[>=]")));
        FlowNode *node = tree.findKey(parts.value(0));
        std::unique_ptr<history::FlowCommand> command;
        switch (step.at(0).unicode()) {
        case 'a':
            command = std::make_unique<history::AddNodeCommand>(tree, flow, node, "hangup");
            break;
        case 'r':
            command = std::make_unique<history::RemoveNodeCommand>(tree, flow, node);
            break;
        case 'c':
            command = std::make_unique<history::ClearFlowCommand>(tree, flow);
            break;
        case 'm':
            command = std::make_unique<history::MoveNodeCommand>(tree, flow, node,
                                                                 tree.findKey(parts.value(1)));
            break;
        case 'e':
            command = std::make_unique<history::EditPropertiesCommand>(
                tree, flow, model::NodeIdentity::of(*node),
                model::ColumnValues{{"prompttxt", parts.value(1)}});
            break;
        case 's':
            return store().ensureRow(model::NodeIdentity::of(*node), nullptr, &error);
        case 'S':
            history.markSaved();
            return store().writeTree(tree, &error);
        case 'u':
            return history.undo(&error);
        case 'U':
            return history.redo(&error);
        }
        return history.perform(std::move(command), &error);
    }
    void run(const QString &script)
    {
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts))
            QVERIFY2(act(step), qPrintable(step + QStringLiteral(": ") + error));
    }
    model::FlowStore store() const { return {flow.databasePath, flow.table}; }

    // Every statement runs outside the store, as another program would.
    QStringList sql(const QString &statement) const
    {
        QStringList rows;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "outside");
            db.setDatabaseName(flow.databasePath);
            db.open();
            QSqlQuery query(db);
            if (!query.exec(statement))
                rows << query.lastQuery();
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i)
                    values << query.value(i).toString();
                rows << values.join(u'|');
            }
        }
        QSqlDatabase::removeDatabase("outside");
        return rows;
    }

    // The tree (node indices, parents, sibling order, texts) and the table row by row,
    // each value with its type, so that equal states are equal byte for byte.
    QString state() const
    {
        QStringList nodes;
        for (int i = 1; i <= tree.count(); ++i)
            nodes << tree.node(i)->key;
        nodes << QStringLiteral("/");
        for (const FlowNode *n : tree.depthFirst())
            nodes << QStringLiteral("%1>%2 %3 %4 %5").arg(n->parentKey(), n->key, n->text)
                         .arg(n->image).arg(n->selectedImage);
        QStringList quoted;
        for (const QString &column : model::flowcolumns::all())
            quoted << QStringLiteral("quote(\"%1\")").arg(column);
        return nodes.join(u'\n') + u'\n'
               + sql("SELECT " + quoted.join(u',') + " FROM nodesflow ORDER BY rowid").join(u'\n');
    }
};

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyChangeUndoesAndRedoes_data();
    void everyChangeUndoesAndRedoes();
    void undoBringsBackRowsASaveDropped_data();
    void undoBringsBackRowsASaveDropped();
    void randomEditsUndoToTheStart();
    void outsideChangesRefuseTheStep_data();
    void outsideChangesRefuseTheStep();
};

void TestHistory::everyChangeUndoesAndRedoes_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("text");
    QTest::newRow("add") << "" << "a15_" << "Add hangup";
    QTest::newRow("add at the top level") << "" << "a0" << "Add hangup";
    QTest::newRow("add, then its row made") << "" << "a15_ s18_" << "Add hangup";
    QTest::newRow("remove a leaf") << "" << "r13_" << "Remove hear recorded message";
    QTest::newRow("remove a subtree") << "" << "r6_" << "Remove get option digits";
    QTest::newRow("remove a moved subtree") << "m9_>17_ m6_>16_" << "r17_"
                                            << "Remove get password digits";
    QTest::newRow("clear") << "m9_>1_ a9_" << "c" << "Clear Flow";
    QTest::newRow("move a first child last") << "" << "m14_>9_" << "Move hangup";
    QTest::newRow("move into another branch")
        << "" << "m7_>16_" << "Move process recorded messages";
    QTest::newRow("move a node without a row") << "a15_" << "m18_>1_" << "Move hangup";
    QTest::newRow("move the first node") << "a0" << "m1_>18_" << "Move answer call";
    QTest::newRow("edit") << "" << "e14_=Goodbye." << "Change prompttxt of hangup";
    QTest::newRow("edit after a move") << "m15_>2_" << "e15_=x" << "Change prompttxt of hangup";
}

void TestHistory::everyChangeUndoesAndRedoes()
{
    QFETCH(QString, setup);
    QFETCH(QString, change);
    QFETCH(QString, text);
    Harness h;
    h.run(setup);
    const QString before = h.state();
    h.run(change);
    const QString after = h.state();
    QVERIFY(before != after);
    QCOMPARE(h.history.undoText(), text);
    for (int round = 0; round < 2; ++round) {
        h.run("u");
        QCOMPARE(h.state(), before);
        QCOMPARE(h.history.redoText(), text);
        h.run("U");
        QCOMPARE(h.state(), after);
    }
}

void TestHistory::undoBringsBackRowsASaveDropped_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("remove") << "r6_";
    QTest::newRow("clear") << "c";
}

void TestHistory::undoBringsBackRowsASaveDropped()
{
    // A save rewrites the table with new row IDs: what must come back is each node's row.
    QFETCH(QString, change);
    Harness h;
    h.run("e8_=recorded");
    const QStringList before = h.sql("SELECT * FROM nodesflow ORDER BY key").replaceInStrings(
        QRegularExpression("^\\d+\\|"), QString());
    h.run(change + " S u");
    QStringList after = h.sql("SELECT * FROM nodesflow ORDER BY key");
    after.replaceInStrings(QRegularExpression("^\\d+\\|"), QString());
    QCOMPARE(after, before);
    QVERIFY(h.history.isModified());
    h.run("U");
    QVERIFY(!h.history.isModified());
}

void TestHistory::randomEditsUndoToTheStart()
{
    Harness h;
    const QString start = h.state();
    QRandomGenerator random(17);
    int done = 0;
    for (int i = 0; i < 600; ++i) {
        const std::vector<FlowNode *> nodes = h.tree.depthFirst();
        FlowNode *node = nodes[random.bounded(int(nodes.size()))];
        FlowNode *target = nodes[random.bounded(int(nodes.size()))];
        const QString key = node->key;
        // The editor's rules: node 1 stays, no node goes into its own subtree.
        const bool movable = node != target && !node->isAncestorOf(target);
        const int pick = random.bounded(100);
        QString step = pick < 30   ? "a" + key
                       : pick < 40 ? (h.tree.indexOf(node) == 1 ? "s" : "r") + key
                       : pick < 42 ? QStringLiteral("c")
                       : pick < 57 ? (movable ? "m" + key + ">" + target->key : "s" + key)
                       : pick < 72 ? "s" + key
                       : pick < 85 ? "e" + key + "=" + QString::number(i)
                       : pick < 93 ? QStringLiteral("u")
                                   : QStringLiteral("U");
        // Refused: an edit of a node without a row, an undo or redo with nothing to take.
        if (h.act(step) && !step.startsWith(u's'))
            ++done;
    }
    QVERIFY(done > 300);
    while (h.history.canRedo())
        h.run("U");
    const QString end = h.state();
    while (h.history.canUndo())
        h.run("u");
    QCOMPARE(h.state(), start);
    while (h.history.canRedo())
        h.run("U");
    QCOMPARE(h.state(), end);
}

void TestHistory::outsideChangesRefuseTheStep_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("outside");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("message");
    QTest::newRow("edit, value changed") << "e14_=a" << "UPDATE nodesflow SET prompttxt='b'"
                                         << "u" << "Undo Change prompttxt of hangup is not "
                                                   "possible: the row of \"hangup\" in table "
                                                   "nodesflow has been changed elsewhere since.";
    QTest::newRow("edit, row deleted") << "e14_=a" << "DELETE FROM nodesflow WHERE key='14_'"
                                       << "u" << "is no longer there.";
    QTest::newRow("edit undone, value changed")
        << "e14_=a u" << "UPDATE nodesflow SET prompttxt='b'" << "U"
        << "Redo Change prompttxt of hangup";
    QTest::newRow("move, row deleted") << "m14_>1_" << "DELETE FROM nodesflow WHERE key='14_'"
                                       << "u" << "Undo Move hangup is not possible";
    QTest::newRow("table gone") << "r14_" << "DROP TABLE nodesflow" << "u" << "no such table";
}

void TestHistory::outsideChangesRefuseTheStep()
{
    QFETCH(QString, steps);
    QFETCH(QString, outside);
    QFETCH(QString, refused);
    QFETCH(QString, message);
    Harness h;
    h.run(steps);
    QVERIFY(h.sql(outside).isEmpty());
    const QString before = h.state();
    const int index = h.history.stack().index();
    QVERIFY(!h.act(refused));
    QVERIFY2(h.error.contains(message), qPrintable(h.error));
    QCOMPARE(h.state(), before);
    QCOMPARE(h.history.stack().index(), index);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
