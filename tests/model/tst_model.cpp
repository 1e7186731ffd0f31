#include "model/appdata.h"
#include "model/catalogue.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/memberstore.h"
#include "model/sqlconnection.h"

#include "support/damageddatabase.h"
#include "support/filesizelimit.h"
#include "support/filesnapshot.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace model;

namespace {

NodeIdentity node(const char *parent, const char *key, const char *text)
{
    return {QString::fromLatin1(parent), QString::fromLatin1(key), QString::fromLatin1(text)};
}

// The rows of a table in table order as "key<parent|column|column...".
QStringList rows(const QString &path, const QString &table, const QString &columns)
{
    SqlConnection c(path, SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    if (!q.exec(QStringLiteral("SELECT key, parent, %1 FROM %2 ORDER BY rowid")
                    .arg(columns, quoteIdentifier(table))))
        return {q.lastQuery()};
    QStringList out;
    while (q.next()) {
        QString row = q.value(0).toString() + u'<' + q.value(1).toString();
        for (int i = 2; i < q.record().count(); ++i)
            row += u'|' + q.value(i).toString();
        out << row;
    }
    return out;
}

QStringList shape(const FlowTree &tree)
{
    QStringList out;
    for (const FlowNode *n : tree.depthFirst())
        out << n->parentKey() + u'>' + n->key;
    return out;
}

QStringList mdbFiles(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class CountingObserver : public FlowTreeObserver
{
public:
    int open = 0;
    int events = 0;
    void nodeAboutToBeInserted(FlowNode *, int) override { ++open; }
    void nodeInserted(FlowNode *) override { --open, ++events; }
    void nodeAboutToBeRemoved(FlowNode *) override { ++open; }
    void nodeRemoved() override { --open, ++events; }
    void nodeAboutToBeMoved(FlowNode *, FlowNode *) override { ++open; }
    void nodeMoved(FlowNode *) override { --open, ++events; }
    void treeAboutToBeReset() override { ++open; }
    void treeReset() override { --open, ++events; }
};

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void treeEditing();
    void nextKey_data();
    void nextKey();

    void selectionAddsOneRow();
    void valuesAreBound_data();
    void valuesAreBound();
    void refusedValuesChangeNothing_data();
    void refusedValuesChangeNothing();
    void loadSkipsRowsByCause();
    void saveKeepsPropertiesAndOrder();
    void damagedTableChangesNothing_data();
    void damagedTableChangesNothing();
    void flowTablesAndForeignTables();

    void firstAndSecondStart();
    void firstStartThatCannotWrite();
    void folderProblemsAreSaidOnce_data();
    void folderProblemsAreSaidOnce();
    void existingFilesAreUsedNotRepaired();
    void catalogueAndMembers();
    void appDirResolution();

private:
    QString flows() const { return m_dir->filePath(QStringLiteral("flows.mdb")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestModel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QString error;
    QVERIFY2(FlowStore::createMain(flows(), QStringLiteral("nodesflow"), &error),
             qPrintable(error));
}

void TestModel::treeEditing()
{
    FlowTree tree;
    CountingObserver observer;
    tree.addObserver(&observer);
    FlowNode *root = tree.addTopLevel("1_", "answer call");
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, "2_", "a");
    FlowNode *b = tree.add(a, FlowTree::Relation::LastChild, "3_", "b");
    FlowNode *c = tree.add(a, FlowTree::Relation::LastSibling, "4_", "c");
    tree.add(b, FlowTree::Relation::LastChild, "5_", "d");
    tree.addTopLevel("6_", "answer call");
    QVERIFY(!tree.add(root, FlowTree::Relation::LastChild, "3_", "taken"));
    QCOMPARE(shape(tree), QStringList({"0_>1_", "1_>2_", "2_>3_", "3_>5_", "1_>4_", "0_>6_"}));

    QString error;
    QVERIFY(!tree.setParent(a, b, &error));
    QCOMPARE(error, QStringLiteral("A node can't be made a child of its own children."));
    QVERIFY(!tree.setParent(a, a));
    QVERIFY(tree.setParent(a, c));
    QCOMPARE(shape(tree), QStringList({"0_>1_", "1_>4_", "4_>2_", "2_>3_", "3_>5_", "0_>6_"}));

    // Removing takes the subtree, renumbers later nodes and frees the keys.
    tree.remove(a);
    QCOMPARE(tree.count(), 3);
    QCOMPARE(tree.indexOf(c), 2);
    QVERIFY(!tree.findKey("5_"));
    QVERIFY(tree.add(c, FlowTree::Relation::LastChild, "5_", "again"));
    tree.remove(root);
    QCOMPARE(tree.findRootNode(), 1);
    QCOMPARE(tree.node(1)->key, QStringLiteral("6_"));
    tree.clear();
    QCOMPARE(observer.open, 0);
    QCOMPARE(observer.events, 11);
    tree.removeObserver(&observer);
}

void TestModel::nextKey_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("expected");
    const QStringList nine{"1_", "2_", "3_", "4_", "5_", "6_", "7_", "8_", "9_"};
    QTest::newRow("empty") << QStringList() << "" << "1_";
    QTest::newRow("gaps") << QStringList{"1_", "2_", "7_"} << "" << "8_";
    QTest::newRow("remove middle") << nine << "5_" << "10_";
    QTest::newRow("remove largest") << nine << "9_" << "9_";
    QTest::newRow("numbers, not text") << QStringList{"1_", "10_", "9_"} << "" << "11_";
    QTest::newRow("odd keys count as 0") << QStringList{"x_", "a1_", "abc"} << "" << "1_";
}

void TestModel::nextKey()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, removed);
    QFETCH(QString, expected);
    FlowTree tree;
    for (const QString &k : keys)
        tree.addTopLevel(k, QStringLiteral("answer call"));
    if (!removed.isEmpty())
        tree.remove(tree.findKey(removed));
    QCOMPARE(tree.nextKey(), expected);
}

void TestModel::selectionAddsOneRow()
{
    FlowStore store(flows(), QStringLiteral("nodesflow"));
    bool created = false;
    QString error;
    QVERIFY(store.ensureRow(node("0_", "1_", "Answer Call"), &created, &error) && created);
    // Texts compare without regard to case; the image indices are part of the condition.
    QVERIFY(store.ensureRow(node("0_", "1_", "answer call"), &created, &error) && !created);
    QVERIFY(store.ensureRow({"5_", "1_", "answer call", 2, 2}, &created, &error) && created);
    QCOMPARE(rows(flows(), "nodesflow", "text").size(), 2);
    // deleterec: the first row of the key only; an unknown key is no failure.
    QVERIFY(store.deleteRow(QStringLiteral("1_"), &error));
    QVERIFY(store.deleteRow(QStringLiteral("7_"), &error));
    QCOMPARE(rows(flows(), "nodesflow", "image"), QStringList{"1_<5_|2"});
}

void TestModel::valuesAreBound_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::newRow("double quotes") << "my \"flow\"" << "say \"hi\"" << "2\"";
    QTest::newRow("single quotes") << "it's" << "it's" << "2'";
    QTest::newRow("sql") << "x\"; DROP TABLE nodesflow; --" << "a\"' OR 1=1 --" << "'\"_";
}

void TestModel::valuesAreBound()
{
    QFETCH(QString, table);
    QFETCH(QString, text);
    QFETCH(QString, key);
    QString error;
    QVERIFY2(FlowStore::createMain(flows(), table, &error), qPrintable(error));
    FlowStore store(flows(), table);
    const NodeIdentity n{QStringLiteral("1_"), key, text};
    QVERIFY2(store.addRow(n, &error), qPrintable(error));
    QVERIFY(store.addRow(node("1_", "9_", "other"), &error));
    QVERIFY(store.updateRow(n, {{"prompttxt", "He said \"no\", it's"}}, &error));
    const auto row = store.fetchRow(n, &error);
    QVERIFY(row);
    QCOMPARE(row->value("prompttxt").toString(), QStringLiteral("He said \"no\", it's"));
    QVERIFY(store.deleteRow(key, &error));
    QCOMPARE(rows(flows(), table, "text"), QStringList{"9_<1_|other"});
    QCOMPARE(store.flowTables(), QStringList({"nodesflow", table}));
}

void TestModel::refusedValuesChangeNothing_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("terminator") << "InputTerm" << QVariant("##") << "InputTerm (at most 1";
    QTest::newRow("voicefile") << "voicefile" << QVariant(QString(36, u'a')) << "voicefile";
    QTest::newRow("key") << "key" << QVariant("1000_") << "key (at most 4";
    QTest::newRow("image range") << "image" << QVariant(40000) << "image takes a whole number";
    QTest::newRow("image text") << "image" << QVariant("one") << "image takes a whole number";
    QTest::newRow("no such column") << "colour" << QVariant("red") << "no column colour";
}

void TestModel::refusedValuesChangeNothing()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    QFETCH(QString, message);
    FlowStore store(flows(), QStringLiteral("nodesflow"));
    const NodeIdentity n = node("0_", "1_", "hangup");
    QString error;
    QVERIFY(store.addRow(n, &error));
    const QStringList before = rows(flows(), "nodesflow", "*");
    QVERIFY(!store.updateRow(n, {{"voicefile", "new.wav"}, {column, value}}, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(rows(flows(), "nodesflow", "*"), before);
}

void TestModel::loadSkipsRowsByCause()
{
    {
        SqlConnection c(flows(), SqlConnection::Mode::MustExist);
        QSqlQuery q(c.database());
        QVERIFY(q.exec("CREATE TABLE plain (key TEXT, parent TEXT, text TEXT, image INTEGER)"));
        QVERIFY(q.exec("INSERT INTO nodesflow (key, parent, text, image, selectedimage) VALUES "
                       "(' 3_ ', '2_', ' hangup ', 1, 2), ('2_', ' 1_', 'play', 1, 2), "
                       "('1_', '0_ ', 'answer call', 1, 2), ('4_', '1_', 'record', 3, 4), "
                       "('5_', '9_', 'orphan', 1, 2), ('6_', '0_', 'answer call', 1, 2), "
                       "('7_', '1_', 'no image', NULL, 2), ('4_', '6_', 'same key', 1, 2)"));
    }
    FlowTree tree;
    tree.addTopLevel("9_", "hangup");
    QString error;
    // A table without the flow columns is refused, and the tree stays as it was.
    QVERIFY(!FlowStore(flows(), "plain").loadInto(tree, &error));
    QCOMPARE(error, QStringLiteral("The table plain is not a flow table: it has no column "
                                   "selectedimage, voicefile, IgnoreKeys, inputid, inputmaxlen, "
                                   "inputstyle, InputTerm, inputtype, FirstTimeoutInterval, "
                                   "InterTimeoutInterval, MaxReclen, prompttxt."));
    QCOMPARE(shape(tree), QStringList{"0_>9_"});

    SkippedRows skipped;
    QVERIFY2(FlowStore(flows(), "nodesflow").loadInto(tree, &error, &skipped), qPrintable(error));
    QCOMPARE(shape(tree), QStringList({"0_>1_", "1_>2_", "1_>4_", "0_>6_"}));
    QCOMPARE(tree.findKey("4_")->selectedImage, 4);
    QCOMPARE(skipped.parentMissing, 2);
    QCOMPARE(skipped.badImage, 1);
    QCOMPARE(skipped.keyTaken, 1);
    QVERIFY2(skipped.describe().contains("1 row was left out: an earlier row has the same key."),
             qPrintable(skipped.describe()));

    // An empty table gives the single node "answer call".
    QVERIFY(FlowStore::createMain(flows(), QStringLiteral("empty"), &error));
    QVERIFY(FlowStore(flows(), "empty").loadInto(tree, &error));
    QCOMPARE(shape(tree), QStringList{"0_>1_"});
    QCOMPARE(tree.node(1)->text, QStringLiteral("answer call"));
}

void TestModel::saveKeepsPropertiesAndOrder()
{
    FlowTree tree;
    FlowNode *root = tree.addTopLevel("1_", "answer call");
    FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, "2_", "get option digits");
    tree.add(a, FlowTree::Relation::LastChild, "4_", "hangup");
    tree.add(root, FlowTree::Relation::LastChild, "3_", "record message");
    FlowStore store(flows(), QStringLiteral("nodesflow"));
    QString error;
    QVERIFY(store.addRow(NodeIdentity::of(*a), &error));
    QVERIFY(store.updateRow(NodeIdentity::of(*a), {{"voicefile", "menu.wav"},
                                                   {"inputmaxlen", "8"}}, &error));
    // A stale row of a removed node and a second row of a: neither survives the save.
    QVERIFY(store.addRow(node("1_", "9_", "hangup"), &error));
    QVERIFY(store.addRow(NodeIdentity::of(*a), &error));
    QVERIFY2(store.writeTree(tree, &error), qPrintable(error));
    const QStringList saved = rows(flows(), "nodesflow", "voicefile, inputmaxlen");
    QCOMPARE(saved, QStringList({"1_<0_||", "2_<1_|menu.wav|8", "4_<2_||", "3_<1_||"}));

    // Saved under another table, with the properties read from this one (Create New).
    const std::optional<NodeRows> kept = store.readRows(&error);
    QVERIFY(kept);
    QVERIFY(FlowStore::createMain(flows(), QStringLiteral("copy"), &error));
    QVERIFY(FlowStore(flows(), "copy").writeTree(tree, *kept, &error));
    QCOMPARE(rows(flows(), "copy", "voicefile, inputmaxlen"), saved);

    // A node's row follows it when it is dropped on another parent.
    QCOMPARE(store.moveRow(NodeIdentity::of(*a), "3_", &error), FlowStore::Move::Moved);
    QCOMPARE(store.moveRow(node("1_", "8_", "hangup"), "3_", &error), FlowStore::Move::NoRow);
    QCOMPARE(rows(flows(), "nodesflow", "voicefile").at(1), QStringLiteral("2_<3_|menu.wav"));
}

void TestModel::damagedTableChangesNothing_data()
{
    QTest::addColumn<QString>("reader");
    QTest::newRow("flow load") << "load";
    QTest::newRow("properties kept by a save") << "save";
    QTest::newRow("members") << "members";
    QTest::newRow("catalogue") << "catalogue";
}

void TestModel::damagedTableChangesNothing()
{
    QFETCH(QString, reader);
    const QString dir = m_dir->path();
    QVERIFY(initialiseData(dir).problems.isEmpty());
    const QString flowPath = demoflow::path(dir);
    bool damaged = false;
    if (reader == u"members")
        damaged = appendRowsAndDamage(MemberStore(dir).path(), "members", "Lname");
    else if (reader == u"catalogue")
        damaged = appendRowsAndDamage(Catalogue(dir).path(), "Functions", "functionName");
    else
        damaged = appendRowsAndDamage(flowPath, demoflow::tableName(), "prompttxt");
    QVERIFY(damaged);
    const auto before = fileSnapshot(dir);

    QString error;
    if (reader == u"members") {
        QVERIFY(MemberStore(dir).all(&error).isEmpty());
    } else if (reader == u"catalogue") {
        QVERIFY(Catalogue(dir).rows(&error).isEmpty());
    } else {
        FlowStore store(flowPath, demoflow::tableName());
        FlowTree tree;
        tree.addTopLevel("1_", "answer call");
        QVERIFY(reader == u"load" ? !store.loadInto(tree, &error)
                                  : !store.writeTree(tree, &error));
        QCOMPARE(shape(tree), QStringList{"0_>1_"});
    }
    QVERIFY2(error.contains(QStringLiteral("disk image is malformed")), qPrintable(error));
    QCOMPARE(fileSnapshot(dir), before);
}

void TestModel::flowTablesAndForeignTables()
{
    SqlConnection c(flows(), SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    QVERIFY(q.exec("CREATE TABLE notes (a TEXT)"));
    // Made by another program: no NOCASE collation, no index, loose types.
    QVERIFY(q.exec("CREATE TABLE other (ID INTEGER PRIMARY KEY, key TEXT, parent TEXT, text TEXT, "
                   "image, selectedimage, voicefile TEXT, IgnoreKeys, inputid, inputmaxlen, "
                   "inputstyle, InputTerm, inputtype, FirstTimeoutInterval, "
                   "InterTimeoutInterval, MaxReclen, prompttxt)"));
    QVERIFY(q.exec("INSERT INTO other (key, parent, text, image, selectedimage, voicefile) "
                   "VALUES ('1_', '0_', 'Answer Call', 1, 2, 'x.wav')"));
    FlowStore store(flows(), QStringLiteral("other"));
    QCOMPARE(store.tables(), QStringList({"nodesflow", "notes", "other"}));
    QCOMPARE(store.flowTables(), QStringList({"nodesflow", "other"}));
    QCOMPARE(store.whyNotFlowTable("gone"),
             QStringLiteral("The flow database %1 has no table gone.").arg(flows()));
    QString error;
    const auto row = store.fetchRow(node("0_", "1_", "answer call"), &error);
    QVERIFY2(row && row->value("voicefile").toString() == u"x.wav", qPrintable(error));
}

void TestModel::firstAndSecondStart()
{
    const QString dir = m_dir->filePath(QStringLiteral("app"));
    QVERIFY(QDir().mkdir(dir));
    StartupReport report = initialiseData(dir);
    QVERIFY2(report.problems.isEmpty(), qPrintable(report.problems.join(u'\n')));
    QCOMPARE(report.created, QStringList({"memberDB.mdb", "SystemDB.mdb", "waves", "mboxes",
                                          "callflow.mdb"}));
    FlowTree tree;
    QString error;
    FlowStore store(demoflow::path(dir), demoflow::tableName());
    QVERIFY(store.loadInto(tree, &error));
    QCOMPARE(tree.count(), 15);
    QCOMPARE(tree.nextKey(), QStringLiteral("18_"));
    // What the user changed since survives the next start, which changes nothing.
    QVERIFY(store.deleteRow(QStringLiteral("16_"), &error));
    const auto before = fileSnapshot(dir);
    QTest::qWait(20);
    report = initialiseData(dir);
    QVERIFY(report.created.isEmpty() && report.problems.isEmpty());
    QCOMPARE(fileSnapshot(dir), before);
}

void TestModel::firstStartThatCannotWrite()
{
    const QString dir = m_dir->filePath(QStringLiteral("app"));
    QVERIFY(QDir().mkdir(dir));
    {
        FileSizeLimit limit(6000);
        const StartupReport report = initialiseData(dir);
        QCOMPARE(report.problems.size(), 3);
        QVERIFY(!report.membersOk && !report.catalogueOk && !report.flowOk);
    }
    // No half-made database is left to be taken for a real one later.
    QCOMPARE(mdbFiles(dir), QStringList());
    // A 0-byte file holds no data: it counts as missing.
    QFile(QDir(dir).filePath("CallFlow.mdb")).open(QIODevice::WriteOnly);
    const StartupReport report = initialiseData(dir);
    QVERIFY2(report.problems.isEmpty(), qPrintable(report.problems.join(u'\n')));
    QCOMPARE(report.created, QStringList({"memberDB.mdb", "SystemDB.mdb", "callflow.mdb"}));
    QCOMPARE(mdbFiles(dir), QStringList({"CallFlow.mdb", "SystemDB.mdb", "memberDB.mdb"}));
    FlowTree tree;
    QVERIFY(FlowStore(demoflow::path(dir), demoflow::tableName()).loadInto(tree, nullptr));
    QCOMPARE(tree.count(), 15);
    QCOMPARE(Catalogue(dir).rows().size(), 14);
    QCOMPARE(MemberStore(dir).all(nullptr).size(), 4);
}

void TestModel::folderProblemsAreSaidOnce_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing") << "missing" << "The application folder %1 does not exist.";
    QTest::newRow("a file") << "file" << "The application folder %1 is not a folder.";
    QTest::newRow("disk full") << "full" << "The application folder %1 cannot be written.";
    QTest::newRow("read-only") << "read-only" << "The application folder %1 cannot be written.";
}

void TestModel::folderProblemsAreSaidOnce()
{
    QFETCH(QString, folder);
    QFETCH(QString, problem);
    const QString dir = m_dir->filePath(folder);
    if (folder == u"file")
        QVERIFY(QFile(dir).open(QIODevice::WriteOnly));
    else if (folder != u"missing")
        QVERIFY(QDir().mkdir(dir));
    if (folder == u"read-only") {
        if (geteuid() == 0)
            QSKIP("the superuser writes into read-only folders");
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    }
    const auto before = fileSnapshot(m_dir->path());
    std::optional<FileSizeLimit> full;
    if (folder == u"full")
        full.emplace(0);
    const StartupReport report = initialiseData(dir);
    full.reset();
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(report.problems, QStringList{problem.arg(dir)});
    QVERIFY(report.created.isEmpty());
    QCOMPARE(fileSnapshot(m_dir->path()), before);
}

void TestModel::existingFilesAreUsedNotRepaired()
{
    const QString dir = m_dir->path();
    QVERIFY(initialiseData(dir).problems.isEmpty());
    const QDir app(dir);
    QVERIFY(QFile::rename(app.filePath("callflow.mdb"), app.filePath("CallFlow.MDB")));
    QFile text(app.filePath("systemdb.MDB"));
    QVERIFY(QFile::remove(app.filePath("SystemDB.mdb")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a database") > 0);
    text.close();
    const StartupReport report = initialiseData(dir);
    QVERIFY(report.created.isEmpty());
    QCOMPARE(QFileInfo(demoflow::path(dir)).fileName(), QStringLiteral("CallFlow.MDB"));
    QVERIFY(report.flowOk && !report.catalogueOk);
    QCOMPARE(report.problems.size(), 1);
    QVERIFY2(report.problems[0].contains("systemdb.MDB is not a database"),
             qPrintable(report.problems[0]));
    QVERIFY(text.open(QIODevice::ReadOnly));
    QCOMPARE(text.readAll(), QByteArray("not a database"));
}

void TestModel::catalogueAndMembers()
{
    const QString dir = m_dir->path();
    QVERIFY(initialiseData(dir).problems.isEmpty());
    Catalogue catalogue(dir);
    const auto function = catalogue.byTooltip(QStringLiteral("GET OPTION DIGITS"));
    QVERIFY(function && function->functionName == u"get option digits");
    const auto described = catalogue.byName(QStringLiteral("Re-Record Messages"));
    QVERIFY(described && described->functionId == 12);
    QVERIFY(!catalogue.byTooltip(QStringLiteral("unknown")));

    MemberStore members(dir);
    QString error;
    QStringList names;
    for (const Member &m : members.all(&error))
        names << m.fname.toString() + u' ' + m.lname.toString();
    QCOMPARE(names, QStringList({"Oliver Brantley", "John Doe", "Jane Doe", "Arthur Pennock"}));
    Member bad{0, "A", "B", 40000, 1, 0};
    QVERIFY(!members.insert(bad, &error));
    bad.mailbox = QStringLiteral("12a");
    QVERIFY(!members.insert(bad, &error));
    QCOMPARE(members.all(&error).size(), 4);
    bad = {0, "O'Brien", "\"Bob\"", 1234, "0042", 0}; // leading zeros are lost, as in a number
    QVERIFY2(members.insert(bad, &error), qPrintable(error));
    Member stored;
    QVERIFY(members.fetch(bad.id, &stored, &error) && stored.password == 42);
    QVERIFY(members.remove(bad.id, &error));
    QVERIFY(!members.remove(bad.id, &error));
}

void TestModel::appDirResolution()
{
    qputenv("DIALWRIGHT_HOME", "/tmp/from-env");
    QCOMPARE(resolveAppDir("/tmp/from-option", "/opt/bin"), QStringLiteral("/tmp/from-option"));
    QCOMPARE(resolveAppDir(QString(), "/opt/bin"), QStringLiteral("/tmp/from-env"));
    qunsetenv("DIALWRIGHT_HOME");
    // From its build folder the program keeps its files there (installed, in the user's data
    // folder: the install test runs an installed program).
    QTemporaryDir build;
    QVERIFY(QFile(build.filePath(QStringLiteral("CMakeCache.txt"))).open(QIODevice::WriteOnly));
    QCOMPARE(resolveAppDir(QString(), build.path()), build.path());
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
