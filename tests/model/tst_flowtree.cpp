#include "model/flowtree.h"

#include <QTest>

using model::FlowNode;
using model::FlowTree;

class TestFlowTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void indicesFollowAdditionAndRenumberOnRemoval();
    void addingRelativeToNodes();
    void duplicateKeyRefused();
    void removeTakesSubtree();
    void nextKey_data();
    void nextKey();
    void keyNumber_data();
    void keyNumber();
    void findRootNode();
    void setParentMovesSubtreeAndRefusesCircles();
    void depthFirstOrder();
    void observerSeesBalancedNotifications();
};

void TestFlowTree::indicesFollowAdditionAndRenumberOnRemoval()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("a"));
    FlowNode *b = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("3_"), QStringLiteral("b"));
    FlowNode *c = tree.add(a, FlowTree::Relation::LastChild, QStringLiteral("4_"), QStringLiteral("c"));
    QCOMPARE(tree.count(), 4);
    QCOMPARE(tree.node(1), root);
    QCOMPARE(tree.node(4), c);
    QCOMPARE(tree.indexOf(b), 3);
    QVERIFY(!tree.node(0));
    QVERIFY(!tree.node(5));

    tree.remove(b);
    QCOMPARE(tree.count(), 3);
    QCOMPARE(tree.indexOf(c), 3); // later nodes move up
    QCOMPARE(tree.findKey(QStringLiteral("3_")), nullptr);
}

void TestFlowTree::addingRelativeToNodes()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    FlowNode *child = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("x"));
    FlowNode *sibling = tree.add(child, FlowTree::Relation::LastSibling, QStringLiteral("3_"), QStringLiteral("y"));
    FlowNode *top = tree.add(root, FlowTree::Relation::LastSibling, QStringLiteral("4_"), QStringLiteral("answer call"));
    QCOMPARE(sibling->parent, root);
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(tree.nextSibling(child), sibling);
    QCOMPARE(tree.nextSibling(sibling), nullptr);
    QCOMPARE(top->parent, nullptr);
    QCOMPARE(tree.topLevel().size(), size_t(2));
    QCOMPARE(top->parentKey(), QStringLiteral("0_"));
    QCOMPARE(sibling->parentKey(), QStringLiteral("1_"));
    QString error;
    QVERIFY(!tree.add(nullptr, FlowTree::Relation::LastChild, QStringLiteral("9_"), QStringLiteral("z"), 1, 2, &error));
    QVERIFY(!error.isEmpty());
}

void TestFlowTree::duplicateKeyRefused()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    QString error;
    QVERIFY(!tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("1_"), QStringLiteral("x"), 1, 2, &error));
    QVERIFY(!tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("x")));
    QCOMPARE(tree.count(), 1);
    QVERIFY(!error.isEmpty());
}

void TestFlowTree::removeTakesSubtree()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("r"));
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("a"));
    tree.add(a, FlowTree::Relation::LastChild, QStringLiteral("3_"), QStringLiteral("b"));
    tree.add(a, FlowTree::Relation::LastChild, QStringLiteral("4_"), QStringLiteral("c"));
    tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("5_"), QStringLiteral("d"));
    tree.remove(a);
    QCOMPARE(tree.count(), 2);
    QVERIFY(!tree.findKey(QStringLiteral("3_")));
    QVERIFY(!tree.findKey(QStringLiteral("4_")));
    QCOMPARE(root->childCount(), 1);
    // keys of removed nodes are free again
    QVERIFY(tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("3_"), QStringLiteral("b")));
}

void TestFlowTree::nextKey_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QStringList() << QStringList() << "1_";
    QTest::newRow("1 2 7") << QStringList{"1_", "2_", "7_"} << QStringList() << "8_";
    QTest::newRow("remove middle keeps growing")
        << QStringList{"1_", "2_", "3_", "4_", "5_", "6_", "7_", "8_", "9_"} << QStringList{"5_"} << "10_";
    QTest::newRow("remove largest reuses it")
        << QStringList{"1_", "2_", "3_", "4_", "5_", "6_", "7_", "8_", "9_"} << QStringList{"9_"} << "9_";
    QTest::newRow("numbers not text order") << QStringList{"1_", "10_", "9_"} << QStringList() << "11_";
    QTest::newRow("odd keys count as 0") << QStringList{"x_", "abc"} << QStringList() << "1_";
}

void TestFlowTree::nextKey()
{
    QFETCH(QStringList, keys);
    QFETCH(QStringList, removed);
    QFETCH(QString, expected);
    FlowTree tree;
    FlowNode *root = nullptr;
    for (const QString &k : keys) {
        if (!root)
            root = tree.addTopLevel(k, QStringLiteral("answer call"));
        else
            tree.add(root, FlowTree::Relation::LastChild, k, QStringLiteral("hangup"));
    }
    for (const QString &k : removed)
        tree.remove(tree.findKey(k));
    QCOMPARE(tree.nextKey(), expected);
}

void TestFlowTree::keyNumber_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<qint64>("number");
    QTest::newRow("plain") << "12_" << qint64(12);
    QTest::newRow("no digits") << "_" << qint64(0);
    QTest::newRow("digits after text") << "a1_" << qint64(0);
    QTest::newRow("999") << "999_" << qint64(999);
    QTest::newRow("no underscore") << "42" << qint64(42);
}

void TestFlowTree::keyNumber()
{
    QFETCH(QString, key);
    QFETCH(qint64, number);
    QCOMPARE(FlowTree::keyNumber(key), number);
}

void TestFlowTree::findRootNode()
{
    FlowTree tree;
    QCOMPARE(tree.findRootNode(), 0);
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    FlowNode *child = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("x"));
    tree.add(root, FlowTree::Relation::LastSibling, QStringLiteral("3_"), QStringLiteral("answer call"));
    QCOMPARE(tree.findRootNode(), 1);
    // After the first node goes, the first parentless node by index is the other root.
    tree.remove(root);
    QCOMPARE(tree.findRootNode(), 1);
    QCOMPARE(tree.node(1)->key, QStringLiteral("3_"));
    Q_UNUSED(child);
}

void TestFlowTree::setParentMovesSubtreeAndRefusesCircles()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("r"));
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("a"));
    FlowNode *b = tree.add(a, FlowTree::Relation::LastChild, QStringLiteral("3_"), QStringLiteral("b"));
    FlowNode *c = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("4_"), QStringLiteral("c"));
    QString error;
    QVERIFY(!tree.setParent(a, b, &error));
    QCOMPARE(error, QStringLiteral("A node can't be made a child of its own children."));
    QVERIFY(!tree.setParent(a, a));
    QCOMPARE(b->parent, a);
    QVERIFY(tree.setParent(a, c));
    QCOMPARE(a->parent, c);
    QCOMPARE(b->parent, a);
    QCOMPARE(root->childCount(), 1);
    QCOMPARE(c->children.back(), a);
    QCOMPARE(a->parentKey(), QStringLiteral("4_"));
}

void TestFlowTree::depthFirstOrder()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("r"));
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("a"));
    tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("3_"), QStringLiteral("b"));
    tree.add(a, FlowTree::Relation::LastChild, QStringLiteral("4_"), QStringLiteral("c"));
    tree.addTopLevel(QStringLiteral("5_"), QStringLiteral("t"));
    QStringList keys;
    for (const FlowNode *n : tree.depthFirst())
        keys << n->key;
    QCOMPARE(keys, (QStringList{"1_", "2_", "4_", "3_", "5_"}));
}

namespace {
class CountingObserver : public model::FlowTreeObserver
{
public:
    int open = 0;
    int events = 0;
    void nodeAboutToBeInserted(FlowNode *, int) override { ++open; }
    void nodeInserted(FlowNode *) override { --open; ++events; }
    void nodeAboutToBeRemoved(FlowNode *) override { ++open; }
    void nodeRemoved() override { --open; ++events; }
    void nodeAboutToBeMoved(FlowNode *, FlowNode *) override { ++open; }
    void nodeMoved(FlowNode *) override { --open; ++events; }
    void treeAboutToBeReset() override { ++open; }
    void treeReset() override { --open; ++events; }
};
} // namespace

void TestFlowTree::observerSeesBalancedNotifications()
{
    FlowTree tree;
    CountingObserver observer;
    tree.addObserver(&observer);
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("r"));
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("a"));
    FlowNode *b = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("3_"), QStringLiteral("b"));
    tree.setParent(a, b);
    tree.setParent(b, a); // refused: no notification
    tree.remove(a);
    tree.clear();
    QCOMPARE(observer.open, 0);
    QCOMPARE(observer.events, 6);
    tree.removeObserver(&observer);
}

QTEST_GUILESS_MAIN(TestFlowTree)
#include "tst_flowtree.moc"
