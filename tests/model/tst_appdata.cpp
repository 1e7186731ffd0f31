#include "model/appdata.h"
#include "model/catalogue.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/memberstore.h"
#include "model/sqlconnection.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "filesnapshot.h"

using namespace model;


class TestAppData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartCreatesEverything();
    void secondStartChangesNothing();
    void catalogueLookups_data();
    void catalogueLookups();
    void demoFlowRowsAndTree();
    void membersInLastNameOrderAndChecks();
    void nonDatabaseFileIsReportedNotRepaired();
    void existingFilesAreFoundWhateverTheirCase();
    void missingFolderIsReported();
    void appDirResolution();
};

void TestAppData::firstStartCreatesEverything()
{
    QTemporaryDir dir;
    const StartupReport report = initialiseData(dir.path());
    QVERIFY2(report.problems.isEmpty(), qPrintable(report.problems.join(u'\n')));
    QCOMPARE(report.created, (QStringList{"memberDB.mdb", "SystemDB.mdb", "waves", "mboxes", "callflow.mdb"}));
    for (const char *name : {"memberDB.mdb", "SystemDB.mdb", "callflow.mdb"})
        QVERIFY(QFile::exists(dir.filePath(QLatin1String(name))));
    QVERIFY(QFileInfo(dir.filePath("waves")).isDir());
    QVERIFY(QFileInfo(dir.filePath("mboxes")).isDir());
    QVERIFY(QDir(dir.filePath("waves")).isEmpty());
}

void TestAppData::secondStartChangesNothing()
{
    QTemporaryDir dir;
    initialiseData(dir.path());
    // user changes since the first start must survive
    FlowStore store(demoflow::path(dir.path()), demoflow::tableName());
    QString error;
    QVERIFY(store.deleteRow(QStringLiteral("16_"), &error));
    const auto before = fileSnapshot(dir.path());
    QTest::qWait(20);
    const StartupReport report = initialiseData(dir.path());
    QVERIFY(report.created.isEmpty());
    QVERIFY(report.problems.isEmpty());
    QCOMPARE(fileSnapshot(dir.path()), before);
}

void TestAppData::catalogueLookups_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("name");
    QTest::newRow("answer") << 0 << "answer call" << "Answer Call";
    QTest::newRow("option digits") << 5 << "get option Digits" << "get option digits";
    QTest::newRow("delete") << 9 << "Delete recorded message" << "delete recorded message";
    QTest::newRow("re-record") << 11 << "re-record message" << "re-record messages";
    QTest::newRow("hangup") << 13 << "hangup" << "hangup";
}

void TestAppData::catalogueLookups()
{
    QFETCH(int, button);
    QFETCH(QString, tooltip);
    QFETCH(QString, name);
    QTemporaryDir dir;
    Catalogue catalogue(dir.path());
    bool created = false;
    QString error;
    QVERIFY(catalogue.ensure(&created, &error));
    QVERIFY(created);
    const QList<CallFunction> rows = catalogue.rows();
    QCOMPARE(rows.size(), 14);
    for (int i = 0; i < 14; ++i)
        QCOMPARE(rows[i].functionId, i + 1);
    QCOMPARE(rows[button].tooltip, tooltip);
    const auto found = catalogue.byTooltip(tooltip.toUpper());
    QVERIFY(found);
    QCOMPARE(found->functionName, name);
    // the node text finds its description without regard to case
    const auto described = catalogue.byName(name.toLower());
    QVERIFY(described);
    QCOMPARE(described->functionDesc, rows[button].functionDesc);
    QVERIFY(!catalogue.byTooltip(QStringLiteral("unknown")));
    QCOMPARE(rows[6].functionDesc, QStringLiteral("This will perform processing of recorded messages. "));
}

void TestAppData::demoFlowRowsAndTree()
{
    QTemporaryDir dir;
    initialiseData(dir.path());
    SqlConnection c(demoflow::path(dir.path()), SqlConnection::Mode::MustExist);
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral("SELECT key, parent, text, voicefile, image, selectedimage, inputid, "
                                  "IgnoreKeys, inputmaxlen, inputstyle, InputTerm, inputtype, "
                                  "FirstTimeoutInterval, InterTimeoutInterval, prompttxt, MaxReclen "
                                  "FROM nodesflow ORDER BY ID")));
    QStringList keys;
    while (q.next()) {
        keys << q.value(0).toString();
        QCOMPARE(q.value(4).toInt(), 1);
        QCOMPARE(q.value(5).toInt(), 2);
        QCOMPARE(q.value(6).toString(), q.value(2).toString());
        QCOMPARE(q.value(7).toString(), QStringLiteral("true"));
        QCOMPARE(q.value(8).toString(), QStringLiteral("4"));
        QCOMPARE(q.value(9).toString(), QStringLiteral("cut-through: no"));
        QCOMPARE(q.value(10).toString(), QStringLiteral("#"));
        QCOMPARE(q.value(11).toString(), QStringLiteral("text"));
        QCOMPARE(q.value(12).toString(), QStringLiteral("30"));
        QCOMPARE(q.value(13).toString(), QStringLiteral("30"));
        QCOMPARE(q.value(14).toString(), QStringLiteral("type text to be spoken here."));
        QCOMPARE(q.value(15).toString(), QStringLiteral("60"));
    }
    QCOMPARE(keys, (QStringList{"1_", "2_", "5_", "6_", "7_", "9_", "8_", "14_", "13_", "12_", "11_",
                                "10_", "15_", "17_", "16_"}));
    FlowTree tree;
    FlowStore store(demoflow::path(dir.path()), demoflow::tableName());
    QString error;
    QVERIFY(store.loadInto(tree, &error));
    QCOMPARE(tree.count(), 15);
    QCOMPARE(tree.node(1)->text, QStringLiteral("answer call"));
    QStringList children;
    for (const FlowNode *n : tree.findKey(QStringLiteral("9_"))->children)
        children << n->key;
    QCOMPARE(children, (QStringList{"14_", "13_", "12_", "11_", "10_"}));
    QCOMPARE(tree.nextKey(), QStringLiteral("18_"));
    const auto record = store.fetchRow(NodeIdentity::of(*tree.findKey(QStringLiteral("8_"))), &error);
    QVERIFY(record);
    QCOMPARE(record->value("voicefile").toString(), QStringLiteral("mainmessage.wav"));
}

void TestAppData::membersInLastNameOrderAndChecks()
{
    QTemporaryDir dir;
    MemberStore members(dir.path());
    bool created = false;
    QString error;
    QVERIFY(members.ensure(&created, &error));
    QList<Member> all = members.all(&error);
    QCOMPARE(all.size(), 4);
    QStringList names;
    for (const Member &m : all)
        names << m.lname.toString();
    QCOMPARE(names, (QStringList{"Brantley", "Doe", "Doe", "Pennock"}));
    QCOMPARE(all[1].fname.toString(), QStringLiteral("John")); // ties keep the stored order
    QCOMPARE(all[0].attempts.toInt(), 0);
    int previous = 0;
    for (qint64 id = 1; id <= 4; ++id) {
        const auto it = std::find_if(all.begin(), all.end(), [id](const Member &m) { return m.id == id; });
        QVERIFY(it != all.end());
        QVERIFY(it->mailbox.toInt() > previous && it->mailbox.toInt() >= 1000 && it->mailbox.toInt() <= 9999);
        previous = it->mailbox.toInt();
    }

    Member bad{0, QStringLiteral("A"), QStringLiteral("B"), 40000, 1, 0};
    QVERIFY(!members.insert(bad, &error));
    bad.mailbox = QStringLiteral("12a");
    QVERIFY(!members.insert(bad, &error));
    bad.mailbox = 1234;
    bad.lname = QString(31, u'x');
    QVERIFY(!members.insert(bad, &error));
    bad.lname = QStringLiteral("O'Brien \"Bob\"");
    bad.password = QStringLiteral("0042"); // leading zeros are lost, as in a number column
    QVERIFY2(members.insert(bad, &error), qPrintable(error));
    all = members.all(&error);
    QCOMPARE(all.size(), 5);
    const auto added = std::find_if(all.begin(), all.end(), [&](const Member &m) { return m.id == bad.id; });
    QCOMPARE(added->password.toInt(), 42);
    QCOMPARE(added->lname.toString(), QStringLiteral("O'Brien \"Bob\""));
    QVERIFY(members.remove(bad.id, &error));
    QVERIFY(!members.remove(bad.id, &error));
}

void TestAppData::nonDatabaseFileIsReportedNotRepaired()
{
    QTemporaryDir dir;
    QFile f(dir.filePath("callflow.mdb"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a database");
    f.close();
    const StartupReport report = initialiseData(dir.path());
    QVERIFY(!report.flowOk);
    QVERIFY(report.membersOk && report.catalogueOk && report.foldersOk);
    QCOMPARE(report.problems.size(), 1);
    QVERIFY2(report.problems[0].contains(QStringLiteral("callflow.mdb"))
                 && report.problems[0].contains(QStringLiteral("not a database")),
             qPrintable(report.problems[0]));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("not a database"));
}

void TestAppData::existingFilesAreFoundWhateverTheirCase()
{
    QTemporaryDir dir;
    initialiseData(dir.path());
    QVERIFY(QFile::rename(dir.filePath("callflow.mdb"), dir.filePath("CallFlow.MDB")));
    QVERIFY(QFile::rename(dir.filePath("SystemDB.mdb"), dir.filePath("systemdb.mdb")));
    const StartupReport report = initialiseData(dir.path());
    QVERIFY(report.created.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath("callflow.mdb")));
    QCOMPARE(QFileInfo(demoflow::path(dir.path())).fileName(), QStringLiteral("CallFlow.MDB"));
    QCOMPARE(Catalogue(dir.path()).rows().size(), 14);
}

void TestAppData::missingFolderIsReported()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("nowhere");
    const StartupReport report = initialiseData(missing);
    QCOMPARE(report.problems.size(), 1);
    QVERIFY(report.problems[0].contains(QStringLiteral("does not exist")));
    QVERIFY(!QFileInfo::exists(missing));
    QVERIFY(!checkAppDir(missing).isEmpty());
    QVERIFY(checkAppDir(dir.path()).isEmpty());
}

void TestAppData::appDirResolution()
{
    qputenv("DIALWRIGHT_HOME", "/tmp/from-env");
    QCOMPARE(resolveAppDir(QStringLiteral("/tmp/from-option"), QStringLiteral("/opt/bin")), QStringLiteral("/tmp/from-option"));
    QCOMPARE(resolveAppDir(QString(), QStringLiteral("/opt/bin")), QStringLiteral("/tmp/from-env"));
    qunsetenv("DIALWRIGHT_HOME");
    // From its build folder the program keeps its files there (installed, in the user's data
    // folder: the install test runs an installed program).
    QTemporaryDir build;
    QVERIFY(QFile(build.filePath(QStringLiteral("CMakeCache.txt"))).open(QIODevice::WriteOnly));
    QCOMPARE(resolveAppDir(QString(), build.path()), build.path());
}

QTEST_GUILESS_MAIN(TestAppData)
#include "tst_appdata.moc"
