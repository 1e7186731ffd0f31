#include "editorharness.h"

#include "model/demoflow.h"

#include <QFile>
#include <QSignalSpy>

using model::FlowNode;
using model::FlowTree;
using Answer = ui::UserPrompts::Answer;
using Buttons = ui::UserPrompts::Buttons;

namespace {
const QString kFilter = QStringLiteral("Access Database(*.MDB) |*.mdb");

QStringList questionTexts(const FakeUserPrompts &prompts)
{
    QStringList texts;
    for (const auto &q : prompts.questions)
        texts << q.text;
    return texts;
}

// A flow with nesting, a second top-level node, odd image indices and quotes in texts.
void buildRichTree(FlowTree &tree)
{
    FlowNode *root = tree.addTopLevel("1_", "answer call");
    FlowNode *greet = tree.add(root, FlowTree::Relation::LastChild, "2_", "play main greetings");
    FlowNode *menu =
        tree.add(greet, FlowTree::Relation::LastChild, "7_", "get option digits", 3, 4);
    tree.add(menu, FlowTree::Relation::LastChild, "4_", "record message");
    tree.add(menu, FlowTree::Relation::LastChild, "12_", "say \"hi\" it's me");
    tree.add(greet, FlowTree::Relation::LastChild, "5_", "hangup");
    tree.addTopLevel("9_", "answer call", 1, 2);
    tree.add(tree.findKey("9_"), FlowTree::Relation::LastChild, "3_", "hangup", 0, 0);
}
} // namespace

class TstFlowFiles : public QObject
{
    Q_OBJECT

private:
    // Loads `file` answering the given answers to the table questions.
    static void load(EditorHarness &h, const QString &file, const QList<Answer> &answers)
    {
        h.prompts.openFiles << file;
        for (Answer a : answers)
            h.prompts.answers << a;
        h.editor->loadFlow();
    }

    // Two files holding flow tables, for load and create tests.
    static void makeTwoTables(EditorHarness &h, const QString &file)
    {
        QString error;
        QVERIFY(model::FlowStore::createMain(h.path(file), "first", &error));
        QVERIFY(model::FlowStore::createMain(h.path(file), "second", &error));
        FlowTree t;
        t.addTopLevel("1_", "answer call");
        t.add(t.node(1), FlowTree::Relation::LastChild, "2_", "hangup");
        model::FlowStore store(h.path(file), "second");
        QVERIFY2(store.writeTree(t, &error), qPrintable(error));
    }

private slots:
    void loadEmptyTable()
    {
        EditorHarness h;
        QVERIFY(model::FlowStore::createMain(h.path("empty.mdb"), "nodes", nullptr));
        h.clickPalette(0);
        h.clickPalette(1);
        QSignalSpy enabled(h.editor.get(), &editor::FlowEditor::flowCommandsEnabled);
        load(h, h.path("empty.mdb"), {Answer::Yes});
        QCOMPARE(h.prompts.fileDialogs.size(), 1);
        QVERIFY(h.prompts.fileDialogs.at(0).endsWith(u'|' + kFilter));
        QCOMPARE(questionTexts(h.prompts), QStringList{"load table nodes?"});
        QCOMPARE(h.prompts.questions.at(0).buttons, Buttons::YesNoCancel);
        QCOMPARE(treeShape(h.tree), QStringList{"0_ 1_ answer call 1 2"});
        QCOMPARE(h.current.databasePath, h.path("empty.mdb"));
        QCOMPARE(h.current.table, QStringLiteral("nodes"));
        QCOMPARE(h.editor->selectedNode(), h.tree.node(1));
        QCOMPARE(enabled.count(), 1);
        QVERIFY(h.prompts.messages.isEmpty());
        // Loading writes nothing.
        QVERIFY(tableDump(h.path("empty.mdb"), "nodes").isEmpty());
    }

    void saveThenLoadReproducesFlow()
    {
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        buildRichTree(h.tree);
        // Rows for some nodes, one of them edited; the others are never selected.
        h.editor->selectNodeAt(h.node("1_"));
        h.editor->selectNodeAt(h.node("4_"));
        h.editor->selectNodeAt(h.node("12_"));
        {
            model::FlowStore store(h.current.databasePath, h.current.table);
            QString error;
            QVERIFY2(store.updateRow(model::NodeIdentity::of(*h.node("4_")),
                                     {{"voicefile", "it's \"mine\".wav"}, {"MaxReclen", "99"},
                                      {"prompttxt", "Say it after the tone."}},
                                     &error),
                     qPrintable(error));
        }
        const QStringList shape = treeShape(h.tree);
        h.button("cmdSave")->click();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join("; ")));

        // Rows in depth-first order, parents first, top-level rows with "0_".
        const QStringList rows = tableDump(h.path("flow.mdb"), "nodesflow");
        QCOMPARE(rows.size(), h.tree.count());
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList f = rows.at(i).split(u'|');
            QCOMPARE(QStringList({f[1], f[0], f[2], f[3], f[4]}).join(u' '), shape.at(i));
        }

        h.button("cmdClear")->click();
        QCOMPARE(h.tree.count(), 1);
        load(h, h.path("flow.mdb"), {Answer::Yes});
        QCOMPARE(treeShape(h.tree), shape);

        model::FlowStore store(h.current.databasePath, h.current.table);
        QString error;
        const auto edited = store.fetchRow(model::NodeIdentity::of(*h.node("4_")), &error);
        QVERIFY2(edited, qPrintable(error));
        QCOMPARE(edited->value("voicefile").toString(), QStringLiteral("it's \"mine\".wav"));
        QCOMPARE(edited->value("MaxReclen").toString(), QStringLiteral("99"));
        QCOMPARE(edited->value("prompttxt").toString(), QStringLiteral("Say it after the tone."));
        QCOMPARE(edited->value("InputTerm").toString(), QStringLiteral("#"));
        const auto defaults = store.fetchRow(model::NodeIdentity::of(*h.node("12_")), &error);
        QVERIFY(defaults);
        QCOMPARE(defaults->value("inputid").toString(), QStringLiteral("say \"hi\" it's me"));
        // A node that never had a row is saved with empty properties.
        const auto never = store.fetchRow(model::NodeIdentity::of(*h.node("5_")), &error);
        QVERIFY(never);
        QVERIFY(never->value("voicefile").isNull());
        QVERIFY(never->value("prompttxt").isNull());
    }

    void cancelAtFirstQuestion()
    {
        EditorHarness h;
        makeTwoTables(h, "two.mdb");
        h.useNewTable("mine.mdb", "nodesflow");
        buildRichTree(h.tree);
        const QStringList before = treeShape(h.tree);
        const model::CurrentFlow current = h.current;
        load(h, h.path("two.mdb"), {Answer::Cancel});
        QCOMPARE(questionTexts(h.prompts), QStringList{"load table first?"});
        QCOMPARE(treeShape(h.tree), before);
        QCOMPARE(h.current.databasePath, current.databasePath);
        QCOMPARE(h.current.table, current.table);
        QVERIFY(h.prompts.messages.isEmpty());
    }

    void answersChooseTable_data()
    {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("earlierTable");
        QTest::addColumn<QString>("loaded"); // empty: nothing loaded
        QTest::addColumn<QString>("message");
        QTest::newRow("yes to first") << QList<Answer>{Answer::Yes} << "" << "first" << "";
        QTest::newRow("no then yes") << QList<Answer>{Answer::No, Answer::Yes} << "" << "second"
                                     << "";
        QTest::newRow("no to all, no earlier name")
            << QList<Answer>{Answer::No, Answer::No} << "" << "" << "No table was chosen...";
        QTest::newRow("no to all, earlier name elsewhere")
            << QList<Answer>{Answer::No, Answer::No} << "other" << "" << "No table was chosen...";
        QTest::newRow("no to all, earlier name here")
            << QList<Answer>{Answer::No, Answer::No} << "SECOND" << "second" << "";
    }

    void answersChooseTable()
    {
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, earlierTable);
        QFETCH(QString, loaded);
        QFETCH(QString, message);
        EditorHarness h;
        makeTwoTables(h, "two.mdb");
        h.clickPalette(0);
        h.clickPalette(5);
        h.clickPalette(6);
        h.current = {h.path("earlier.mdb"), earlierTable};
        const QStringList before = treeShape(h.tree);
        load(h, h.path("two.mdb"), answers);
        if (loaded.isEmpty()) {
            QCOMPARE(h.prompts.messages, QStringList{message});
            QCOMPARE(treeShape(h.tree), before);
            QCOMPARE(h.current.databasePath, h.path("earlier.mdb"));
        } else {
            QVERIFY(h.prompts.messages.isEmpty());
            QCOMPARE(h.current.databasePath, h.path("two.mdb"));
            QCOMPARE(h.current.table, loaded);
            QCOMPARE(h.tree.count(), loaded == u"second" ? 2 : 1);
        }
    }

    void onlyFlowTablesOffered()
    {
        EditorHarness h;
        QVERIFY(model::FlowStore::createMain(h.path("mixed.mdb"), "flow", nullptr));
        execSql(h.path("mixed.mdb"), {"CREATE TABLE aaa (x TEXT)",
                                      "CREATE TABLE \"key\" (\"key\" TEXT, \"parent\" TEXT)"});
        load(h, h.path("mixed.mdb"), {Answer::No});
        QCOMPARE(questionTexts(h.prompts), QStringList{"load table flow?"});

        // A file with no flow table at all says so and leaves the tree.
        EditorHarness g;
        execSql(g.path("plain.mdb"), {"CREATE TABLE people (name TEXT)"});
        g.clickPalette(0);
        load(g, g.path("plain.mdb"), {});
        QVERIFY(g.prompts.questions.isEmpty());
        QCOMPARE(g.prompts.messages.size(), 1);
        QVERIFY2(g.prompts.messages.at(0).contains("holds no flow table"),
                 qPrintable(g.prompts.messages.at(0)));
        QCOMPARE(treeShape(g.tree), QStringList{"0_ 1_ answer call 1 2"});
        QVERIFY(!g.current.isSet());
    }

    void loadFailures_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file chosen
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << QByteArray() << "No File was Choosen";
        QTest::newRow("not a database")
            << QByteArray("Standard Jet DB? no, just text that is long enough to be a header..")
            << "is not a database";
    }

    void loadFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        EditorHarness h;
        h.useNewTable("mine.mdb", "nodesflow");
        h.clickPalette(0);
        h.clickPalette(1);
        const QStringList before = treeShape(h.tree);
        if (!content.isEmpty()) {
            QFile file(h.path("text.mdb"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
            file.close();
            h.prompts.openFiles << h.path("text.mdb");
        }
        h.editor->loadFlow();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.messages.at(0).contains(message), qPrintable(h.prompts.messages.at(0)));
        QCOMPARE(treeShape(h.tree), before);
        QCOMPARE(h.current.databasePath, h.path("mine.mdb"));
        if (!content.isEmpty()) {
            QFile file(h.path("text.mdb"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content);
        }
    }

    void cancelledCommandsKeepCurrentFlow()
    {
        // Two databases both holding nodesflow: after a cancelled load or creation from
        // the second, edits must still go into the first only.
        EditorHarness h;
        h.useNewTable("first.mdb", "nodesflow");
        QVERIFY(model::FlowStore::createMain(h.path("second.mdb"), "nodesflow", nullptr));
        h.prompts.openFiles << h.path("first.mdb");
        h.prompts.answers << Answer::Yes;
        h.editor->loadFlow();
        QCOMPARE(h.current.databasePath, h.path("first.mdb"));

        load(h, h.path("second.mdb"), {Answer::Cancel});
        h.prompts.answers << Answer::No; // createNew: existing file ...
        h.prompts.openFiles << h.path("second.mdb");
        h.prompts.inputs << QString(); // ... but no table name
        h.editor->createNew();
        h.prompts.answers << Answer::No;
        h.prompts.openFiles << h.path("second.mdb");
        h.prompts.inputs << QStringLiteral("nodesflow");
        h.prompts.answers << Answer::Cancel; // "All records ... destroyed"
        h.editor->createNew();
        QCOMPARE(h.prompts.messages, QStringList{"You did not supply a table name"});
        QCOMPARE(h.current.databasePath, h.path("first.mdb"));
        QCOMPARE(h.current.table, QStringLiteral("nodesflow"));

        h.select(h.tree.node(1));
        h.clickPalette(1);
        h.editor->selectNodeAt(h.node("2_"));
        h.editor->selectNodeAt(h.node("1_"));
        h.editor->saveToTable();
        QCOMPARE(tableDump(h.path("first.mdb"), "nodesflow").size(), 2);
        QVERIFY(tableDump(h.path("second.mdb"), "nodesflow").isEmpty());
    }

    void createNewFile()
    {
        EditorHarness h;
        buildRichTree(h.tree);
        QSignalSpy enabled(h.editor.get(), &editor::FlowEditor::flowCommandsEnabled);
        h.prompts.answers << Answer::Yes;
        h.prompts.saveFiles << h.path("made.mdb");
        h.prompts.inputs << QStringLiteral("calls");
        h.button("Command3")->click();
        QCOMPARE(h.prompts.questions.at(0).text, QStringLiteral("Click YES to Create a new MDB"));
        QCOMPARE(h.prompts.questions.at(0).buttons, Buttons::YesNo);
        QCOMPARE(h.prompts.inputPrompts,
                 QStringList{"Enter a Table name|Table name to save Nodes to"});
        QVERIFY(h.prompts.fileDialogs.at(0).startsWith("save:"));
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(h.current.databasePath, h.path("made.mdb"));
        QCOMPARE(h.current.table, QStringLiteral("calls"));
        QCOMPARE(tableDump(h.path("made.mdb"), "calls").size(), h.tree.count());
        QCOMPARE(enabled.count(), 1);
    }

    void createNewRefusals_data()
    {
        QTest::addColumn<bool>("newFile");
        QTest::addColumn<bool>("fileChosen");
        QTest::addColumn<QString>("tableName"); // "<cancel>" for a cancelled input box
        QTest::addColumn<QString>("message");
        QTest::newRow("no save file") << true << false << "" << "You did not enter a file name";
        QTest::newRow("no open file") << false << false << "" << "No File was Choosen";
        QTest::newRow("empty name") << true << true << "" << "You did not supply a table name";
        QTest::newRow("blank name") << false << true << "   " << "You did not supply a table name";
        QTest::newRow("cancelled name") << true << true << "<cancel>"
                                        << "You did not supply a table name";
        QTest::newRow("bad name") << true << true << "a.b" << "cannot contain";
        QTest::newRow("table exists on create branch")
            << true << true << "NodesFlow" << "already exists";
    }

    void createNewRefusals()
    {
        QFETCH(bool, newFile);
        QFETCH(bool, fileChosen);
        QFETCH(QString, tableName);
        QFETCH(QString, message);
        EditorHarness h;
        h.useNewTable("old.mdb", "nodesflow");
        h.clickPalette(0);
        h.clickPalette(1);
        h.editor->selectNodeAt(h.node("2_"));
        const QStringList rows = tableDump(h.path("old.mdb"), "nodesflow");
        const model::CurrentFlow before = h.current;

        h.prompts.answers << (newFile ? Answer::Yes : Answer::No);
        if (fileChosen)
            (newFile ? h.prompts.saveFiles : h.prompts.openFiles) << h.path("old.mdb");
        if (tableName == u"<cancel>")
            h.prompts.inputs << std::nullopt;
        else
            h.prompts.inputs << tableName;
        h.editor->createNew();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.messages.at(0).contains(message), qPrintable(h.prompts.messages.at(0)));
        QCOMPARE(h.current.databasePath, before.databasePath);
        QCOMPARE(h.current.table, before.table);
        QCOMPARE(tableDump(h.path("old.mdb"), "nodesflow"), rows);
    }

    void createNewInExistingFile()
    {
        EditorHarness h;
        makeTwoTables(h, "two.mdb");
        h.clickPalette(0);
        h.clickPalette(1);
        h.clickPalette(2);

        // A table not in the file is created without a question.
        h.prompts.answers << Answer::No;
        h.prompts.openFiles << h.path("two.mdb");
        h.prompts.inputs << QStringLiteral("third");
        h.editor->createNew();
        QCOMPARE(questionTexts(h.prompts), QStringList{"Click YES to Create a new MDB"});
        QCOMPARE(tableDump(h.path("two.mdb"), "third").size(), 3);
        QCOMPARE(h.current.table, QStringLiteral("third"));

        // An existing one is overwritten only after OK.
        h.prompts.reset();
        h.prompts.answers << Answer::No << Answer::Ok;
        h.prompts.openFiles << h.path("two.mdb");
        h.prompts.inputs << QStringLiteral("second");
        h.editor->createNew();
        QCOMPARE(questionTexts(h.prompts), (QStringList{"Click YES to Create a new MDB",
                                                        "All records in your table will be "
                                                        "destroyed"}));
        QCOMPARE(h.prompts.questions.at(1).buttons, Buttons::OkCancel);
        QCOMPARE(tableDump(h.path("two.mdb"), "second").size(), 3);
        QCOMPARE(h.current.databasePath, h.path("two.mdb"));
        QCOMPARE(h.current.table, QStringLiteral("second"));

        // A table of the name that is no flow table is left alone.
        execSql(h.path("two.mdb"), {"CREATE TABLE people (name TEXT)"});
        h.prompts.reset();
        h.prompts.answers << Answer::No << Answer::Ok;
        h.prompts.openFiles << h.path("two.mdb");
        h.prompts.inputs << QStringLiteral("people");
        h.editor->createNew();
        QCOMPARE(h.prompts.questions.size(), 1);
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY(h.prompts.messages.at(0).contains("does not hold a flow"));
        QCOMPARE(h.current.table, QStringLiteral("second"));
    }

    void saveWithoutFlowCreatesOne()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1);
        h.prompts.answers << Answer::Yes;
        h.prompts.saveFiles << h.path("new.mdb");
        h.prompts.inputs << QStringLiteral("nodesflow");
        h.editor->saveToTable();
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(tableDump(h.path("new.mdb"), "nodesflow").size(), 2);
    }

    void failedSaveLeavesTableIntact_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("lock");
        QTest::addColumn<QString>("expected");
        QTest::newRow("key too long") << "1000_" << "hangup" << false << "column key";
        QTest::newRow("text too long") << "20_" << QString(31, u'x') << false << "column text";
        QTest::newRow("locked by another program") << "20_" << "hangup" << true << "locked";
    }

    void failedSaveLeavesTableIntact()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(bool, lock);
        QFETCH(QString, expected);
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        buildRichTree(h.tree);
        h.editor->selectNodeAt(h.node("4_"));
        h.editor->saveToTable();
        QVERIFY(h.prompts.messages.isEmpty());
        const QStringList saved = tableDump(h.path("flow.mdb"), "nodesflow");
        QCOMPARE(saved.size(), 8);

        QVERIFY(h.tree.add(h.node("2_"), FlowTree::Relation::LastChild, key, text));
        h.tree.remove(h.node("9_"));
        const QString holder = QStringLiteral("editor-lock");
        if (lock) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), holder);
            db.setDatabaseName(h.path("flow.mdb"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("BEGIN EXCLUSIVE"));
        }
        h.editor->saveToTable();
        if (lock) {
            {
                QSqlDatabase db = QSqlDatabase::database(holder);
                QSqlQuery(db).exec("ROLLBACK");
                db.close();
            }
            QSqlDatabase::removeDatabase(holder);
        }
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.messages.at(0).contains(expected, Qt::CaseInsensitive),
                 qPrintable(h.prompts.messages.at(0)));
        QVERIFY(h.prompts.messages.at(0).contains("was left as it was"));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow"), saved);
    }

    void quotesInNames()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.tree.add(h.node("1_"), FlowTree::Relation::LastChild, "2_", "O'Brien's \"menu\"");
        const QString table = QStringLiteral("it's a \"flow\"");
        h.prompts.answers << Answer::Yes;
        h.prompts.saveFiles << h.path("quote's.mdb");
        h.prompts.inputs << table;
        h.button("Command3")->click();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join("; ")));
        h.editor->selectNodeAt(h.node("2_"));
        QVERIFY(h.prompts.messages.isEmpty());
        const QStringList shape = treeShape(h.tree);

        h.button("cmdClear")->click();
        load(h, h.path("quote's.mdb"), {Answer::Yes});
        QCOMPARE(h.prompts.questions.last().text, QStringLiteral("load table ") + table + u'?');
        QCOMPARE(treeShape(h.tree), shape);
        QCOMPARE(h.current.table, table);
    }

    void demoFlow()
    {
        EditorHarness h;
        QSignalSpy description(h.editor.get(), &editor::FlowEditor::descriptionChanged);
        QSignalSpy enabled(h.editor.get(), &editor::FlowEditor::flowCommandsEnabled);
        QVERIFY(h.editor->loadDemoFlow());
        QCOMPARE(h.tree.count(), 15);
        QCOMPARE(h.tree.node(1)->text, QStringLiteral("answer call"));
        QCOMPARE(h.tree.nextKey(), QStringLiteral("18_"));
        QCOMPARE(h.current.databasePath, model::demoflow::path(h.dir.path()));
        QCOMPARE(h.current.table, QStringLiteral("nodesflow"));
        QCOMPARE(description.last().at(0).toString(),
                 QStringLiteral("Demo call Flow file callflow.mdb was created and loaded"));
        QCOMPARE(enabled.count(), 1);
        QCOMPARE(h.editor->selectedNode(), h.tree.node(1));

        // A second start loads the file as it is now.
        execSql(h.current.databasePath, {"DELETE FROM nodesflow WHERE \"key\" = '16_'"});
        QVERIFY(h.editor->loadDemoFlow());
        QCOMPARE(h.tree.count(), 14);
        QCOMPARE(tableDump(h.current.databasePath, "nodesflow").size(), 14);
    }

    void demoFlowMissingTable()
    {
        EditorHarness h;
        execSql(h.path("callflow.mdb"), {"CREATE TABLE other (x TEXT)"});
        h.clickPalette(0);
        QSignalSpy description(h.editor.get(), &editor::FlowEditor::descriptionChanged);
        QVERIFY(!h.editor->loadDemoFlow());
        QCOMPARE(treeShape(h.tree), QStringList{"0_ 1_ answer call 1 2"});
        QVERIFY(!h.current.isSet());
        QCOMPARE(description.count(), 0);
        QVERIFY(h.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TstFlowFiles)
#include "tst_flowfiles.moc"
