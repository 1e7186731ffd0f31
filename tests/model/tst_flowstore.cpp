#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/sqlconnection.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace model;

class TestFlowStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void addrecWritesTheDefaults();
    void selectingTwiceAddsOneRow();
    void deleterecOfUnknownKeyDoesNothing();
    void deleterecRemovesOnlyTheFirstRow();
    void quotesInValues_data();
    void quotesInValues();
    void textComparesWithoutCase();
    void oversizeValuesAreRefused_data();
    void oversizeValuesAreRefused();
    void createMainRefusesExistingTableAndBadNames();
    void nonDatabaseFileIsRefusedAndKept();
    void loadTwoPassesTrimsAndSkips();
    void loadEmptyTableGivesAnswerCall();
    void loadFailureLeavesTreeAlone();
    void writeTreeKeepsPropertiesAndOrder();
    void writeTreeIsAllOrNothing();
    void flowTablesOfferOnlyFlowTables();
    void foreignPlainTablesAreReadable();
    void moveRowFollowsTheNode();

private:
    QString dbPath() const { return m_dir->filePath(QStringLiteral("flows.mdb")); }
    int rowCount(const QString &table = QStringLiteral("nodesflow"));
    std::unique_ptr<QTemporaryDir> m_dir;
};

int TestFlowStore::rowCount(const QString &table)
{
    SqlConnection c(dbPath(), SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(c.quoted(table))) || !q.next())
        return -1;
    return q.value(0).toInt();
}

void TestFlowStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QString error;
    QVERIFY2(FlowStore::createMain(dbPath(), QStringLiteral("nodesflow"), &error), qPrintable(error));
}

void TestFlowStore::addrecWritesTheDefaults()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    const NodeIdentity node{QStringLiteral("1_"), QStringLiteral("2_"), QStringLiteral("record message"), 1, 2};
    QString error;
    QVERIFY2(store.addRow(node, &error), qPrintable(error));
    const auto row = store.fetchRow(node, &error);
    QVERIFY(row);
    QCOMPARE(row->value("voicefile").toString(), QStringLiteral(".wav"));
    QCOMPARE(row->value("IgnoreKeys").toString(), QStringLiteral("True"));
    QCOMPARE(row->value("inputid").toString(), QStringLiteral("record message"));
    QCOMPARE(row->value("inputstyle").toString(), QStringLiteral("Cut-Through: NO"));
    QCOMPARE(row->value("InputTerm").toString(), QStringLiteral("#"));
    QCOMPARE(row->value("inputtype").toString(), QStringLiteral("Text"));
    QCOMPARE(row->value("prompttxt").toString(), QStringLiteral("Type text to be spoken here."));
    // numbers written into text columns are stored as text
    for (const char *column : {"inputmaxlen", "FirstTimeoutInterval", "InterTimeoutInterval", "MaxReclen"})
        QCOMPARE(row->value(QLatin1String(column)).typeId(), int(QMetaType::QString));
    QCOMPARE(row->value("inputmaxlen").toString(), QStringLiteral("4"));
    QCOMPARE(row->value("FirstTimeoutInterval").toString(), QStringLiteral("30"));
    QCOMPARE(row->value("InterTimeoutInterval").toString(), QStringLiteral("30"));
    QCOMPARE(row->value("MaxReclen").toString(), QStringLiteral("60"));
}

void TestFlowStore::selectingTwiceAddsOneRow()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    const NodeIdentity node{QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("answer call"), 1, 2};
    bool created = false;
    QString error;
    QVERIFY(store.ensureRow(node, &created, &error));
    QVERIFY(created);
    QVERIFY(store.ensureRow(node, &created, &error));
    QVERIFY(!created);
    QCOMPARE(rowCount(), 1);
    // a different parent is a different node condition
    NodeIdentity moved = node;
    moved.parentKey = QStringLiteral("5_");
    QVERIFY(store.ensureRow(moved, &created, &error));
    QVERIFY(created);
    QCOMPARE(rowCount(), 2);
}

void TestFlowStore::deleterecOfUnknownKeyDoesNothing()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QString error;
    store.addRow({QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("answer call"), 1, 2}, &error);
    QVERIFY(store.deleteRow(QStringLiteral("7_"), &error));
    QCOMPARE(rowCount(), 1);
}

void TestFlowStore::deleterecRemovesOnlyTheFirstRow()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QString error;
    store.addRow({QStringLiteral("1_"), QStringLiteral("2_"), QStringLiteral("hangup"), 1, 2}, &error);
    store.addRow({QStringLiteral("3_"), QStringLiteral("2_"), QStringLiteral("hangup"), 1, 2}, &error);
    QVERIFY(store.deleteRow(QStringLiteral("2_"), &error));
    QCOMPARE(rowCount(), 1);
    QVERIFY(store.fetchRow({QStringLiteral("3_"), QStringLiteral("2_"), QStringLiteral("hangup"), 1, 2}, &error));
}

void TestFlowStore::quotesInValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::newRow("double quote") << "say \"hi\"" << "2\"";
    QTest::newRow("single quote") << "it's" << "2'";
    QTest::newRow("both and sql") << "a\"' OR 1=1 --" << "'\"_";
}

void TestFlowStore::quotesInValues()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QString error;
    const NodeIdentity node{QStringLiteral("1_"), key, text, 1, 2};
    QVERIFY2(store.addRow(node, &error), qPrintable(error));
    store.addRow({QStringLiteral("1_"), QStringLiteral("9_"), QStringLiteral("other"), 1, 2}, &error);
    QVERIFY(store.updateRow(node, {{QStringLiteral("prompttxt"), QStringLiteral("He said \"no\", it's")}}, &error));
    const auto row = store.fetchRow(node, &error);
    QVERIFY(row);
    QCOMPARE(row->value("text").toString(), text);
    QCOMPARE(row->value("prompttxt").toString(), QStringLiteral("He said \"no\", it's"));
    QVERIFY(store.deleteRow(key, &error));
    QCOMPARE(rowCount(), 1);
}

void TestFlowStore::textComparesWithoutCase()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QString error;
    store.addRow({QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("Answer Call"), 1, 2}, &error);
    QVERIFY(store.fetchRow({QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("answer call"), 1, 2}, &error));
    QVERIFY(!store.fetchRow({QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("answer call"), 2, 2}, &error));
}

void TestFlowStore::oversizeValuesAreRefused_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("InputTerm two characters") << "InputTerm" << QVariant(QStringLiteral("##"));
    QTest::newRow("voicefile 36") << "voicefile" << QVariant(QString(36, u'a'));
    QTest::newRow("prompt 201") << "prompttxt" << QVariant(QString(201, u'p'));
    QTest::newRow("key five") << "key" << QVariant(QStringLiteral("1000_"));
    QTest::newRow("image too large") << "image" << QVariant(40000);
    QTest::newRow("image not a number") << "image" << QVariant(QStringLiteral("one"));
}

void TestFlowStore::oversizeValuesAreRefused()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    const NodeIdentity node{QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("hangup"), 1, 2};
    QString error;
    QVERIFY(store.addRow(node, &error));
    QVERIFY(!store.updateRow(node, {{column, value}}, &error));
    QVERIFY(!error.isEmpty());
    const auto row = store.fetchRow(node, &error);
    QVERIFY(row); // unchanged, still found by its old fields
    QCOMPARE(row->value("InputTerm").toString(), QStringLiteral("#"));
    QCOMPARE(row->value("voicefile").toString(), QStringLiteral(".wav"));
}

void TestFlowStore::createMainRefusesExistingTableAndBadNames()
{
    QString error;
    QVERIFY(!FlowStore::createMain(dbPath(), QStringLiteral("NODESFLOW"), &error));
    QVERIFY(error.contains(QStringLiteral("already exists")));
    QVERIFY(!FlowStore::createMain(dbPath(), QStringLiteral("a.b"), &error));
    QVERIFY(!FlowStore::createMain(dbPath(), QString(), &error));
    QVERIFY(FlowStore::createMain(dbPath(), QStringLiteral("my \"flow\" it's"), &error));
    FlowStore store(dbPath(), QStringLiteral("my \"flow\" it's"));
    QVERIFY(store.addRow({QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("answer call"), 1, 2}, &error));
    QCOMPARE(store.flowTables(), (QStringList{"nodesflow", "my \"flow\" it's"}));
}

void TestFlowStore::nonDatabaseFileIsRefusedAndKept()
{
    const QString path = m_dir->filePath(QStringLiteral("notes.mdb"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("This is a text file, not a database.\n");
    f.close();
    QString error;
    QVERIFY(!FlowStore::createMain(path, QStringLiteral("nodesflow"), &error));
    QVERIFY2(error.contains(QStringLiteral("not a database")), qPrintable(error));
    FlowStore store(path, QStringLiteral("nodesflow"));
    QVERIFY(!store.isOpen());
    FlowTree tree;
    tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    QVERIFY(!store.loadInto(tree, &error));
    QVERIFY(!store.writeTree(tree, &error));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("This is a text file, not a database.\n"));
}

void TestFlowStore::loadTwoPassesTrimsAndSkips()
{
    SqlConnection c(dbPath(), SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    q.prepare(QStringLiteral("INSERT INTO nodesflow (key, parent, text, image, selectedimage) VALUES (?,?,?,?,?)"));
    const QList<QVariantList> rows = {
        {" 3_ ", "2_", " hangup ", 1, 2},     // parent comes later: skipped
        {"2_", " 1_", "play main greetings", 1, 2},
        {"1_", "0_ ", "answer call", 1, 2},
        {"4_", "1_", "record message", 1, 2},
        {"5_", "9_", "orphan", 1, 2},         // parent never there: skipped
        {"6_", "0_", "answer call", 1, 2},
    };
    for (const QVariantList &r : rows) {
        for (const QVariant &v : r)
            q.addBindValue(v);
        QVERIFY(q.exec());
    }
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    FlowTree tree;
    QString error;
    int skipped = 0;
    QVERIFY(store.loadInto(tree, &error, &skipped));
    QCOMPARE(skipped, 2);
    QCOMPARE(tree.count(), 4);
    QCOMPARE(tree.node(1)->key, QStringLiteral("1_"));
    QCOMPARE(tree.node(2)->key, QStringLiteral("6_"));
    QCOMPARE(tree.findKey(QStringLiteral("2_"))->parent, tree.findKey(QStringLiteral("1_")));
    QCOMPARE(tree.findKey(QStringLiteral("4_"))->parent->key, QStringLiteral("1_"));
    QVERIFY(!tree.findKey(QStringLiteral("3_")));
}

void TestFlowStore::loadEmptyTableGivesAnswerCall()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    FlowTree tree;
    tree.addTopLevel(QStringLiteral("7_"), QStringLiteral("hangup"));
    QString error;
    QVERIFY(store.loadInto(tree, &error));
    QCOMPARE(tree.count(), 1);
    QCOMPARE(tree.node(1)->key, QStringLiteral("1_"));
    QCOMPARE(tree.node(1)->text, QStringLiteral("answer call"));
    QCOMPARE(rowCount(), 0);
}

void TestFlowStore::loadFailureLeavesTreeAlone()
{
    FlowStore store(dbPath(), QStringLiteral("missing"));
    FlowTree tree;
    tree.addTopLevel(QStringLiteral("7_"), QStringLiteral("hangup"));
    QString error;
    QVERIFY(!store.loadInto(tree, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(tree.count(), 1);
    QCOMPARE(tree.node(1)->key, QStringLiteral("7_"));
}

void TestFlowStore::writeTreeKeepsPropertiesAndOrder()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("get option digits"));
    tree.add(a, FlowTree::Relation::LastChild, QStringLiteral("4_"), QStringLiteral("hangup"));
    tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("3_"), QStringLiteral("record message"));
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QString error;
    QVERIFY(store.addRow(NodeIdentity::of(*a), &error));
    QVERIFY(store.updateRow(NodeIdentity::of(*a), {{QStringLiteral("voicefile"), QStringLiteral("menu.wav")},
                                                   {QStringLiteral("inputmaxlen"), QStringLiteral("8")}}, &error));
    // a stale row of a removed node and a duplicate of a's row: neither survives the save
    store.addRow({QStringLiteral("1_"), QStringLiteral("9_"), QStringLiteral("hangup"), 1, 2}, &error);
    store.addRow(NodeIdentity::of(*a), &error);
    QVERIFY2(store.writeTree(tree, &error), qPrintable(error));
    QCOMPARE(rowCount(), 4);

    SqlConnection c(dbPath(), SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral("SELECT key, parent, voicefile, inputmaxlen FROM nodesflow ORDER BY ID")));
    QStringList order;
    while (q.next())
        order << q.value(0).toString() + u'<' + q.value(1).toString() + u'|' + q.value(2).toString()
                     + u'|' + q.value(3).toString();
    QCOMPARE(order, (QStringList{"1_<0_||", "2_<1_|menu.wav|8", "4_<2_||", "3_<1_||"}));
    // the rows load back into the same tree
    FlowTree loaded;
    QVERIFY(store.loadInto(loaded, &error));
    QCOMPARE(loaded.count(), 4);
    QCOMPARE(loaded.findKey(QStringLiteral("4_"))->parent->key, QStringLiteral("2_"));
}

void TestFlowStore::writeTreeIsAllOrNothing()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QString error;
    store.addRow({QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("answer call"), 1, 2}, &error);
    store.addRow({QStringLiteral("1_"), QStringLiteral("2_"), QStringLiteral("hangup"), 1, 2}, &error);
    FlowTree tree;
    FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("2_"), QStringLiteral("hangup"));
    // a key the four-character column refuses makes the whole save fail
    tree.add(root, FlowTree::Relation::LastChild, QStringLiteral("1000_"), QStringLiteral("hangup"));
    QVERIFY(!store.writeTree(tree, &error));
    QVERIFY2(error.contains(QStringLiteral("key")), qPrintable(error));
    QCOMPARE(rowCount(), 2);
    // a lock held by another connection fails the save too, and nothing changes
    SqlConnection other(dbPath(), SqlConnection::Mode::MustExist);
    QSqlQuery lock(other.database());
    QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    tree.remove(tree.findKey(QStringLiteral("1000_")));
    QVERIFY(!store.writeTree(tree, &error));
    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    QCOMPARE(rowCount(), 2);
}

void TestFlowStore::flowTablesOfferOnlyFlowTables()
{
    SqlConnection c(dbPath(), SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral("CREATE TABLE notes (a TEXT)")));
    QString error;
    QVERIFY(FlowStore::createMain(dbPath(), QStringLiteral("second"), &error));
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QCOMPARE(store.tables(), (QStringList{"nodesflow", "notes", "second"}));
    QCOMPARE(store.flowTables(), (QStringList{"nodesflow", "second"}));
}

void TestFlowStore::foreignPlainTablesAreReadable()
{
    SqlConnection c(dbPath(), SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral(
        "CREATE TABLE other (ID INTEGER PRIMARY KEY AUTOINCREMENT, key TEXT, parent TEXT, text TEXT, "
        "image INTEGER, selectedimage INTEGER, voicefile TEXT, IgnoreKeys TEXT, inputid TEXT, "
        "inputmaxlen TEXT, inputstyle TEXT, InputTerm TEXT, inputtype TEXT, FirstTimeoutInterval TEXT, "
        "InterTimeoutInterval TEXT, MaxReclen TEXT, prompttxt TEXT)")));
    QVERIFY(q.exec(QStringLiteral("INSERT INTO other (key, parent, text, image, selectedimage, voicefile) "
                                  "VALUES ('1_', '0_', 'Answer Call', 1, 2, 'x.wav')")));
    FlowStore store(dbPath(), QStringLiteral("other"));
    QVERIFY(store.isFlowTable(QStringLiteral("other")));
    QString error;
    // case-insensitive also where the table has no NOCASE collation of its own
    const auto row = store.fetchRow({QStringLiteral("0_"), QStringLiteral("1_"), QStringLiteral("answer call"), 1, 2}, &error);
    QVERIFY2(row, qPrintable(error));
    QCOMPARE(row->value("voicefile").toString(), QStringLiteral("x.wav"));
}

void TestFlowStore::moveRowFollowsTheNode()
{
    FlowStore store(dbPath(), QStringLiteral("nodesflow"));
    QString error;
    const NodeIdentity node{QStringLiteral("6_"), QStringLiteral("8_"), QStringLiteral("record message"), 1, 2};
    store.addRow(node, &error);
    store.updateRow(node, {{QStringLiteral("MaxReclen"), QStringLiteral("90")}}, &error);
    QVERIFY(store.moveRow(node, QStringLiteral("2_"), &error));
    NodeIdentity moved = node;
    moved.parentKey = QStringLiteral("2_");
    const auto row = store.fetchRow(moved, &error);
    QVERIFY(row);
    QCOMPARE(row->value("MaxReclen").toString(), QStringLiteral("90"));
    QCOMPARE(rowCount(), 1);
    // a node that never had a row moves without error
    QVERIFY(store.moveRow({QStringLiteral("1_"), QStringLiteral("3_"), QStringLiteral("hangup"), 1, 2},
                          QStringLiteral("2_"), &error));
}

QTEST_GUILESS_MAIN(TestFlowStore)
#include "tst_flowstore.moc"
