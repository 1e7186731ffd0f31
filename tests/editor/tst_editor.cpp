#include "fakeuserprompts.h"
#include "filesnapshot.h"

#include "editor/floweditor.h"
#include "editor/flowtreemodel.h"
#include "editor/flowtreeview.h"
#include "model/catalogue.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using model::FlowNode;
using model::FlowTree;
using Answer = ui::UserPrompts::Answer;

namespace {

const QString kSelectFirst = QStringLiteral(
    "You must First select a call function to create next flow\r\n"
    "If the call flow is empty, use answer call button to create the first call function");
const QString kRemoveFailed = QStringLiteral("You must select a call function to do a Remove\r\n"
                                             "unless ofcourse the call flow is empty");
const QString kCircular = QStringLiteral("A node can't be made a child of its own children.");

// Runs statements on a database file outside the program's store; returns the rows of the
// last one, columns joined by "|".
QStringList sql(const QString &file, const QStringList &statements)
{
    static int counter = 0;
    const QString name = QStringLiteral("editor-test-%1").arg(++counter);
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            return {db.lastError().text()};
        for (const QString &statement : statements) {
            QSqlQuery q(db);
            if (!q.exec(statement))
                return {q.lastError().text()};
            while (q.next()) {
                QStringList values;
                for (int i = 0; i < q.record().count(); ++i)
                    values << q.value(i).toString();
                rows << values.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QStringList tableRows(const QString &file, const QString &table)
{
    const QString quoted = u'"' + QString(table).replace(u'"', QStringLiteral("\"\"")) + u'"';
    return sql(file, {QStringLiteral("SELECT \"parent\", \"key\" FROM %1 ORDER BY rowid")
                          .arg(quoted)});
}

// The tree depth first, one "parent>key" a node.
QString shape(const FlowTree &tree)
{
    QStringList nodes;
    for (const FlowNode *n : tree.depthFirst())
        nodes << n->parentKey() + u'>' + n->key;
    return nodes.join(u' ');
}

// The editor panel over a temporary application folder whose current flow is an empty
// table nodesflow of first.mdb.
struct Harness
{
    QTemporaryDir dir;
    FlowTree tree;
    model::CurrentFlow current;
    FakeUserPrompts prompts;
    std::unique_ptr<editor::FlowEditor> editor;

    Harness()
    {
        QVERIFY(model::Catalogue(dir.path()).ensure(nullptr, nullptr));
        QVERIFY(model::FlowStore::createMain(path("first.mdb"), "nodesflow", nullptr));
        current = {path("first.mdb"), QStringLiteral("nodesflow")};
        editor = std::make_unique<editor::FlowEditor>(tree, current, dir.path(), prompts);
        editor->loadPalette();
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    FlowNode *node(const QString &key) const { return tree.findKey(key); }
    QStringList rows() const { return tableRows(current.databasePath, current.table); }

    // Space-separated steps: pN clicks palette button N, sKEY clicks node KEY (which gives
    // it its row), r is Remove, c is Clear.
    void run(const QString &script)
    {
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            if (step[0] == u'p')
                editor->paletteClicked(step.mid(1).toInt());
            else if (step[0] == u's')
                editor->selectNodeAt(node(step.mid(1)));
            else if (step == u"r")
                editor->removeNode();
            else if (step == u"c")
                editor->clearFlow();
        }
    }

    // Offers the answers (Y, N, O for OK, S for Save, D for Discard, else Cancel), the
    // chosen file and the typed table name ("<none>": the input box is cancelled) to a Load
    // or a Create New.
    void script(const QString &answers, const QString &file, const QString &input)
    {
        for (const QChar c : answers)
            prompts.answers << (c == u'Y' ? Answer::Yes : c == u'N' ? Answer::No
                                : c == u'O' ? Answer::Ok : c == u'S' ? Answer::Save
                                : c == u'D' ? Answer::Discard : Answer::Cancel);
        if (!file.isEmpty()) {
            prompts.openFiles << path(file);
            prompts.saveFiles << path(file);
        }
        if (input != u"<none>")
            prompts.inputs << input;
    }

    // two.mdb holds the flow tables "first" (empty) and "second" (two nodes); text.mdb is
    // not a database; plain.mdb holds no flow table.
    void makeFiles()
    {
        QVERIFY(model::FlowStore::createMain(path("two.mdb"), "first", nullptr));
        QVERIFY(model::FlowStore::createMain(path("two.mdb"), "second", nullptr));
        FlowTree two;
        two.add(two.addTopLevel("1_", "answer call"), FlowTree::Relation::LastChild, "2_",
                "hangup");
        QString error;
        QVERIFY2(model::FlowStore(path("two.mdb"), "second").writeTree(two, &error),
                 qPrintable(error));
        QFile text(path("text.mdb"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Standard Jet DB? no, only text long enough to fill a header out...");
        text.close();
        sql(path("plain.mdb"), {"CREATE TABLE people (name TEXT)"});
    }
};

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editScripts_data();
    void editScripts();
    void refusedCommandsChangeNothing_data();
    void refusedCommandsChangeNothing();
    void fileCommands_data();
    void fileCommands();
    void saveThenLoadKeepsShapeAndProperties();
    void createNewKeepsProperties_data();
    void createNewKeepsProperties();
    void failedSaveLeavesTheTableIntact_data();
    void failedSaveLeavesTheTableIntact();
    void selectingMakesTheRowOnce();
    void dropRules_data();
    void dropRules();
    void dropThroughTheView();
    void modelFollowsEveryChange();
};

void TestEditor::editScripts_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("lastText");
    QTest::addColumn<QString>("message");
    QTest::newRow("palette on an empty tree") << "p5" << "" << 0 << "" << kSelectFirst;
    QTest::newRow("answer call on an empty tree") << "p0" << "0_>1_" << 0 << "answer call" << "";
    QTest::newRow("clicks add children in order")
        << "p0 p1 p5 p13" << "0_>1_ 1_>2_ 1_>3_ 1_>4_" << 0 << "hangup" << "";
    QTest::newRow("children go under the selected node")
        << "p0 p1 p5 s3_ p7" << "0_>1_ 1_>2_ 1_>3_ 3_>4_" << 1 << "record message" << "";
    QTest::newRow("answer call adds a sibling of the selection")
        << "p0 p1 s2_ p0" << "0_>1_ 1_>2_ 1_>3_" << 1 << "answer call" << "";
    QTest::newRow("keys grow after a removal")
        << "p0 p1 p1 p1 p1 p1 p1 p1 p1 s5_ r s1_ p2"
        << "0_>1_ 1_>2_ 1_>3_ 1_>4_ 1_>6_ 1_>7_ 1_>8_ 1_>9_ 1_>10_" << 1 << "get user id digits"
        << "";
    QTest::newRow("the largest key is handed out again")
        << "p0 p1 p1 s3_ r s1_ p3" << "0_>1_ 1_>2_ 1_>3_" << 1 << "get password digits" << "";
    QTest::newRow("remove with nothing selected") << "r" << "" << 0 << "" << kRemoveFailed;
    QTest::newRow("node 1 is never removed") << "p0 p1 r" << "0_>1_ 1_>2_" << 0 << ""
                                             << "You can't remove Answercall function";
    QTest::newRow("an answer call elsewhere can go")
        << "p0 p1 s2_ p0 s3_ r" << "0_>1_ 1_>2_" << 1 << "" << "";
    QTest::newRow("remove deletes the node's own row only")
        << "p0 p1 s2_ p2 p3 s3_ s4_ s2_ r" << "0_>1_" << 2 << "" << "";
    QTest::newRow("clear keeps the table") << "p0 p1 p2 s2_ s3_ c" << "0_>1_" << 2 << "" << "";
}

void TestEditor::editScripts()
{
    QFETCH(QString, script);
    QFETCH(QString, shape);
    QFETCH(int, rows);
    QFETCH(QString, lastText);
    QFETCH(QString, message);
    Harness h;
    h.run(script);
    QCOMPARE(::shape(h.tree), shape);
    QCOMPARE(h.rows().size(), rows);
    if (!lastText.isEmpty())
        QCOMPARE(h.tree.depthFirst().back()->text, lastText);
    QCOMPARE(h.prompts.messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestEditor::refusedCommandsChangeNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("load: no file") << "load" << "D" << "" << "<none>" << "No File was Choosen";
    QTest::newRow("load: not a database")
        << "load" << "D" << "text.mdb" << "<none>" << "is not a database";
    QTest::newRow("load: no flow table")
        << "load" << "D" << "plain.mdb" << "<none>" << "holds no flow table";
    QTest::newRow("load: Cancel") << "load" << "DC" << "two.mdb" << "<none>" << "";
    QTest::newRow("load: No to every table")
        << "load" << "DNN" << "two.mdb" << "<none>" << "No table was chosen...";
    QTest::newRow("new: no file to create")
        << "new" << "DY" << "" << "<none>" << "You did not enter a file name";
    QTest::newRow("new: cancelled name")
        << "new" << "DY" << "made.mdb" << "<none>" << "You did not supply a table name";
    QTest::newRow("new: bad name") << "new" << "DY" << "made.mdb" << "a.b" << "cannot contain";
    QTest::newRow("new: table exists in the file to create")
        << "new" << "DY" << "two.mdb" << "Second" << "already exists";
    QTest::newRow("new: Cancel before destroying") << "new" << "DNC" << "two.mdb" << "second" << "";
    QTest::newRow("new: not a database") << "new" << "DN" << "text.mdb" << "t" << "not a database";
}

void TestEditor::refusedCommandsChangeNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, answers);
    QFETCH(QString, file);
    QFETCH(QString, input);
    QFETCH(QString, message);
    Harness h;
    h.makeFiles();
    h.run("p0 p1 s2_");
    const QString before = shape(h.tree);
    const auto files = fileSnapshot(h.dir.path());
    h.script(answers, file, input);
    command == u"load" ? h.editor->loadFlow() : h.editor->createNew();
    QCOMPARE(h.prompts.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(h.prompts.messages[0].contains(message), qPrintable(h.prompts.messages[0]));
    QCOMPARE(shape(h.tree), before);
    QCOMPARE(h.current.databasePath, h.path("first.mdb"));
    QCOMPARE(h.current.table, QStringLiteral("nodesflow"));
    QCOMPARE(fileSnapshot(h.dir.path()), files);
}

void TestEditor::fileCommands_data()
{
    // The tree 1_ { 2_, 3_, 4_ } is in no flow yet, except where "earlier" names a table.
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shape"); // the tree afterwards, and the rows of the new flow
    const QString tree = "0_>1_ 1_>2_ 1_>3_ 1_>4_";
    QTest::newRow("load: Yes to the first") << "load" << "DY" << "two.mdb|first" << "" << "";
    QTest::newRow("load: No, then Yes") << "load" << "DNY" << "two.mdb|second" << ""
                                        << "0_>1_ 1_>2_";
    QTest::newRow("load: No to all, the earlier name is here")
        << "load" << "DNN" << "two.mdb|second" << "SECOND" << "0_>1_ 1_>2_";
    QTest::newRow("new: a new file") << "new" << "Y" << "made.mdb|calls" << "" << tree;
    QTest::newRow("new: a new table, no question") << "new" << "N" << "two.mdb|third" << ""
                                                   << tree;
    QTest::newRow("new: an existing table, OK") << "new" << "NO" << "two.mdb|second" << ""
                                                << tree;
    QTest::newRow("new: \".mdb\" added") << "new" << "Y" << "made|calls" << "" << tree;
    QTest::newRow("new: quotes in names")
        << "new" << "Y" << "quote's.mdb|it's a \"flow\"" << "" << tree;
    QTest::newRow("save without a flow asks for one") << "save" << "Y" << "made.mdb|calls" << ""
                                                      << tree;
}

void TestEditor::fileCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, answers);
    QFETCH(QString, file);
    QFETCH(QString, input);
    QFETCH(QString, shape);
    Harness h;
    h.makeFiles();
    h.current = {};
    if (!input.isEmpty())
        h.current = {h.path("first.mdb"), input};
    h.run("p0 p1 p5 p6");
    QSignalSpy enabled(h.editor.get(), &editor::FlowEditor::flowCommandsEnabled);
    const QString path = h.path(file.section(u'|', 0, 0));
    const QString table = file.section(u'|', 1);
    h.script(answers, file.section(u'|', 0, 0), table);
    if (command == u"load")
        h.editor->loadFlow();
    else
        command == u"save" ? h.editor->saveToTable() : h.editor->createNew();
    QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join(u'|')));
    QCOMPARE(h.prompts.questions.size(), answers.size());
    QCOMPARE(h.current.databasePath, path.endsWith(".mdb") ? path : path + ".mdb");
    QCOMPARE(h.current.table, table);
    QCOMPARE(h.prompts.fileDialogs.last().section(u'@', 1), h.dir.path()); // its own folder
    QCOMPARE(::shape(h.tree), shape.isEmpty() ? QStringLiteral("0_>1_") : shape);
    QCOMPARE(h.rows().join(u' ').replace(u'|', u'>'), shape);
    QCOMPARE(enabled.count(), 1);
}

void TestEditor::saveThenLoadKeepsShapeAndProperties()
{
    Harness h;
    FlowNode *greet = h.tree.add(h.tree.addTopLevel("1_", "answer call"),
                                 FlowTree::Relation::LastChild, "2_", "play main greetings");
    FlowNode *menu = h.tree.add(greet, FlowTree::Relation::LastChild, "7_", "get option digits",
                                3, 4);
    h.tree.add(menu, FlowTree::Relation::LastChild, "4_", "record message");
    h.tree.add(menu, FlowTree::Relation::LastChild, "12_", "say \"hi\" it's me");
    h.tree.add(greet, FlowTree::Relation::LastChild, "5_", "hangup");
    h.tree.add(h.tree.addTopLevel("9_", "answer call"), FlowTree::Relation::LastChild, "3_",
               "hangup", 0, 0);
    h.run("s1_ s4_ s12_");
    const model::ColumnValues edited{{"voicefile", "it's \"mine\".wav"}, {"MaxReclen", "99"}};
    QString error;
    QVERIFY2(model::FlowStore(h.current.databasePath, h.current.table)
                 .updateRow(model::NodeIdentity::of(*h.node("4_")), edited, &error),
             qPrintable(error));
    const QString saved = shape(h.tree);
    h.editor->saveToTable();
    QVERIFY(h.prompts.messages.isEmpty());
    QCOMPARE(h.rows().join(u' ').replace(u'|', u'>'), saved);

    h.run("c");
    h.script("DY", "first.mdb", "<none>");
    h.editor->loadFlow();
    QCOMPARE(shape(h.tree), saved);
    QCOMPARE(h.node("7_")->image, 3);
    QCOMPARE(h.node("3_")->selectedImage, 0);
    const auto row = model::FlowStore(h.current.databasePath, h.current.table)
                         .fetchRow(model::NodeIdentity::of(*h.node("4_")), &error);
    QVERIFY2(row, qPrintable(error));
    QCOMPARE(row->value("voicefile").toString(), edited["voicefile"].toString());
    QCOMPARE(row->value("MaxReclen").toString(), QStringLiteral("99"));
}

// A flow saved under a new file or table keeps each node's properties as Save does.
void TestEditor::createNewKeepsProperties_data()
{
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("file");
    QTest::newRow("a new file") << "DY" << "made.mdb|calls";
    QTest::newRow("a new table") << "DN" << "first.mdb|calls";
    QTest::newRow("an existing table") << "DNO" << "two.mdb|second";
}

void TestEditor::createNewKeepsProperties()
{
    QFETCH(QString, answers);
    QFETCH(QString, file);
    Harness h;
    h.makeFiles();
    h.run("p0 p1 p5 s2_ s3_");
    QVERIFY(model::FlowStore(h.current.databasePath, h.current.table)
                .updateRow(model::NodeIdentity::of(*h.node("3_")), {{"voicefile", "mine.wav"}},
                           nullptr));
    const QString rows = "SELECT \"key\", \"parent\", voicefile, IgnoreKeys, inputid, "
                         "inputmaxlen, prompttxt FROM %1 ORDER BY rowid";
    h.script(answers, file.section(u'|', 0, 0), file.section(u'|', 1));
    h.editor->createNew();
    QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join(u'|')));
    const QStringList made = sql(h.current.databasePath, {rows.arg(h.current.table)});
    h.current = {h.path("first.mdb"), QStringLiteral("nodesflow")};
    h.editor->saveToTable();
    QCOMPARE(made, sql(h.path("first.mdb"), {rows.arg("nodesflow")}));
    QVERIFY(made.join(u' ').contains("3_|1_|mine.wav|True|get option digits|4|"));
}

void TestEditor::failedSaveLeavesTheTableIntact_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("lock");
    QTest::addColumn<QString>("expected");
    QTest::newRow("key too long") << "1000_" << false << "column key";
    QTest::newRow("locked by another program") << "20_" << true << "locked";
}

void TestEditor::failedSaveLeavesTheTableIntact()
{
    QFETCH(QString, key);
    QFETCH(bool, lock);
    QFETCH(QString, expected);
    Harness h;
    h.run("p0 p1 p2 s3_");
    h.editor->saveToTable();
    const QStringList saved = sql(h.path("first.mdb"), {"SELECT * FROM nodesflow"});
    QCOMPARE(saved.size(), 3);
    QVERIFY(h.tree.add(h.node("2_"), FlowTree::Relation::LastChild, key, "hangup"));
    h.tree.remove(h.node("3_"));
    QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
    holder.setDatabaseName(h.path("first.mdb"));
    QVERIFY(holder.open());
    if (lock)
        QVERIFY(QSqlQuery(holder).exec("BEGIN EXCLUSIVE"));
    h.editor->saveToTable();
    QSqlQuery(holder).exec("ROLLBACK");
    holder.close();
    holder = {};
    QSqlDatabase::removeDatabase("holder");
    QCOMPARE(h.prompts.messages.size(), 1);
    QVERIFY2(h.prompts.messages[0].contains(expected, Qt::CaseInsensitive)
                 && h.prompts.messages[0].contains("was left as it was"),
             qPrintable(h.prompts.messages[0]));
    QCOMPARE(sql(h.path("first.mdb"), {"SELECT * FROM nodesflow"}), saved);
}

void TestEditor::selectingMakesTheRowOnce()
{
    Harness h;
    h.run("p0 p8");
    h.editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.editor.get()));
    QSignalSpy selected(h.editor.get(), &editor::FlowEditor::nodeSelected);
    const QRect rect = h.editor->treeView()->visualRect(
        h.editor->treeModel()->indexOf(h.node("2_")));
    QTest::mouseClick(h.editor->treeView()->viewport(), Qt::LeftButton, {}, rect.center());
    h.run("s2_ s1_");
    QCOMPARE(h.rows(), QStringList({"1_|2_", "0_|1_"}));
    QCOMPARE(selected.count(), 3);

    // A table gone since is reported, and the selection goes no further.
    sql(h.path("first.mdb"), {"DROP TABLE nodesflow"});
    h.run("s2_");
    QCOMPARE(selected.count(), 3);
    QVERIFY(h.prompts.messages.value(0).contains("no such table"));

    // Without a current flow the user is asked for one; a cancel selects nothing.
    h.current = {};
    h.run("s1_");
    QCOMPARE(h.prompts.messages.last(), QStringLiteral("No File was Choosen"));
    h.script("Y", "new.mdb", "myflow");
    h.run("s1_");
    QCOMPARE(selected.count(), 4);
    QCOMPARE(tableRows(h.path("new.mdb"), "myflow").size(), 2);
}

void TestEditor::dropRules_data()
{
    // The tree: 1_ { 2_ { 4_ { 5_ } }, 3_ }.
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("shape"); // empty: unchanged
    QTest::addColumn<QString>("message");
    QTest::newRow("onto another branch, with the subtree")
        << "2_" << "3_" << -1 << "" << "0_>1_ 1_>3_ 3_>2_ 2_>4_ 4_>5_" << "";
    QTest::newRow("onto itself") << "2_" << "2_" << -1 << "" << "" << kCircular;
    QTest::newRow("onto its grandchild") << "2_" << "5_" << -1 << "" << "" << kCircular;
    QTest::newRow("between rows") << "5_" << "3_" << 0 << "" << "" << "";
    QTest::newRow("outside any node") << "5_" << "" << -1 << "" << "" << "";
    QTest::newRow("from another flow") << "5_" << "3_" << -1 << "foreign" << "" << "";
    QTest::newRow("the row cannot follow")
        << "2_" << "3_" << -1 << "DROP TABLE nodesflow" << "" << "no such table";
}

void TestEditor::dropRules()
{
    QFETCH(QString, dragged);
    QFETCH(QString, target);
    QFETCH(int, row);
    QFETCH(QString, setup);
    QFETCH(QString, shape);
    QFETCH(QString, message);
    Harness h;
    h.run("p0 p1 p6 s2_ p2 s4_ p13 s5_");
    QString error;
    QVERIFY(model::FlowStore(h.current.databasePath, h.current.table)
                .updateRow(model::NodeIdentity::of(*h.node("2_")), {{"voicefile", "my.wav"}},
                           &error));
    const QString before = ::shape(h.tree);
    QSignalSpy reported(h.editor.get(), &editor::FlowEditor::dropReported);
    editor::FlowTreeModel *m = h.editor->treeModel();
    FlowTree other;
    other.addTopLevel("5_", "hangup");
    editor::FlowTreeModel otherModel(other);
    const bool foreign = setup == u"foreign";
    if (!foreign && !setup.isEmpty())
        sql(h.path("first.mdb"), {setup});
    std::unique_ptr<QMimeData> data(foreign ? otherModel.mimeData({otherModel.index(0, 0)})
                                            : m->mimeData({m->indexOf(h.node(dragged))}));
    const QModelIndex on = target.isEmpty() ? QModelIndex() : m->indexOf(h.node(target));
    QCOMPARE(m->dropMimeData(data.get(), Qt::MoveAction, row, 0, on), !shape.isEmpty());

    QCOMPARE(::shape(h.tree), shape.isEmpty() ? before : shape);
    QCOMPARE(reported.count(), shape.isEmpty() ? 0 : 1);
    QStringList said = h.prompts.messages;
    said << h.prompts.questions;
    QCOMPARE(said.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(said[0].contains(message), qPrintable(said[0]));
    if (!shape.isEmpty()) {
        // The row follows the node, properties and all.
        QCOMPARE(reported[0][0].toString(),
                 QStringLiteral("process recorded messages is parent of play main greetings"));
        const auto moved = model::FlowStore(h.current.databasePath, h.current.table)
                               .fetchRow(model::NodeIdentity::of(*h.node("2_")), &error);
        QVERIFY2(moved, qPrintable(error));
        QCOMPARE(moved->value("voicefile").toString(), QStringLiteral("my.wav"));
        QCOMPARE(h.rows().size(), 3);
    }
}

void TestEditor::dropThroughTheView()
{
    Harness h;
    h.run("p0 p1 p2");
    h.editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.editor.get()));
    editor::FlowTreeView *view = h.editor->treeView();
    editor::FlowTreeModel *m = h.editor->treeModel();
    std::unique_ptr<QMimeData> data(m->mimeData({m->indexOf(h.node("3_"))}));
    auto send = [&](QPoint at) {
        QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &move);
        const QModelIndex highlighted = view->dropHighlight();
        QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &drop);
        return m->nodeAt(highlighted);
    };
    // Below the last row there is no node: nothing happens.
    QCOMPARE(send(QPoint(5, view->viewport()->height() - 3)), nullptr);
    QCOMPARE(h.node("3_")->parentKey(), QStringLiteral("1_"));
    QCOMPARE(send(view->visualRect(m->indexOf(h.node("2_"))).center()), h.node("2_"));
    QCOMPARE(h.node("3_")->parentKey(), QStringLiteral("2_"));
    QVERIFY(!view->dropHighlight().isValid());
}

void TestEditor::modelFollowsEveryChange()
{
    auto tree = std::make_unique<FlowTree>();
    editor::FlowTreeModel m(*tree);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    FlowNode *root = tree->addTopLevel("1_", "answer call");
    FlowNode *a = tree->add(root, FlowTree::Relation::LastChild, "2_", "a");
    tree->add(a, FlowTree::Relation::LastChild, "3_", "b");
    FlowNode *c = tree->add(a, FlowTree::Relation::LastChild, "4_", "c");
    tree->add(c, FlowTree::Relation::LastChild, "5_", "d");
    tree->add(root, FlowTree::Relation::LastChild, "6_", "e");

    // A move is announced as a move: persistent indexes follow the nodes.
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    const QPersistentModelIndex persistentC(m.indexOf(c));
    QVERIFY(tree->setParent(c, tree->findKey("6_")));
    QVERIFY(tree->setParent(c, tree->findKey("6_"))); // already last: no change
    QVERIFY(tree->setParent(tree->findKey("5_"), root));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(m.nodeAt(persistentC), c);
    QCOMPARE(m.nodeAt(persistentC.parent()), tree->findKey("6_"));
    for (const FlowNode *n : tree->depthFirst()) {
        QCOMPARE(m.nodeAt(m.indexOf(n)), n);
        QCOMPARE(m.rowCount(m.indexOf(n)), n->childCount());
        QCOMPARE(m.nodeAt(m.indexOf(n).parent()), n->parent);
    }
    tree->remove(a);
    tree->addTopLevel("9_", "second top");
    QCOMPARE(m.rowCount(), 2);
    // The model outlives the tree and then shows nothing.
    tree.reset();
    QCOMPARE(m.rowCount(), 0);
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
