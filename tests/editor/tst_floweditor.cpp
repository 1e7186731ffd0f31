#include "editorharness.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>

using model::FlowNode;
using model::FlowTree;
using Answer = ui::UserPrompts::Answer;
using Buttons = ui::UserPrompts::Buttons;
using Icon = ui::UserPrompts::Icon;

namespace {
const QString kSelectFirst = QStringLiteral(
    "You must First select a call function to create next flow\r\n"
    "If the call flow is empty, use answer call button to create the first call function");
const QString kRemoveFailed = QStringLiteral("You must select a call function to do a Remove\r\n"
                                             "unless ofcourse the call flow is empty");
const QString kCircular = QStringLiteral("A node can't be made a child of its own children.");
} // namespace

class TstFlowEditor : public QObject
{
    Q_OBJECT

private:
    // answer call 1_ with the children 2_ .. last_ (palette clicks under node 1).
    static void buildFlat(EditorHarness &h, int last)
    {
        h.clickPalette(0);
        for (int k = 2; k <= last; ++k)
            h.clickPalette(1 + (k % 13));
        QCOMPARE(h.tree.count(), last);
        QVERIFY(h.prompts.messages.isEmpty());
    }

private slots:
    void controlsAndPalette()
    {
        EditorHarness h;
        const QList<QAbstractButton *> palette = h.palette();
        QCOMPARE(palette.size(), 14);
        const QList<model::CallFunction> rows = model::Catalogue(h.dir.path()).rows();
        for (int i = 0; i < 14; ++i) {
            QCOMPARE(palette.at(i)->property("index").toInt(), i);
            QCOMPARE(palette.at(i)->toolTip(), rows.at(i).tooltip);
            QVERIFY(!palette.at(i)->icon().isNull());
        }
        const QList<std::pair<const char *, const char *>> captions{
            {"cmdLoad", "Load Flow"}, {"cmdSave", "Save to Table"}, {"cmdClear", "Clear Flow"},
            {"cmdRemove", "Remove"}, {"Command3", "Create New"}};
        for (const auto &[name, caption] : captions) {
            QVERIFY2(h.button(name), name);
            QCOMPARE(h.button(name)->text(), QLatin1String(caption));
        }
        QVERIFY(h.view());
        QCOMPARE(h.view()->model(), h.editor->treeModel());
    }

    void paletteLabelledFromCatalogue()
    {
        EditorHarness h;
        execSql(h.path("SystemDB.mdb"),
                {"UPDATE Functions SET tooltip = 'greet them' WHERE functionid = 2",
                 "DELETE FROM Functions WHERE functionid = 14"});
        h.editor->loadPalette();
        QCOMPARE(h.palette().at(1)->toolTip(), QStringLiteral("greet them"));
        // A short catalogue leaves the design's tooltip on the buttons it does not reach.
        QCOMPARE(h.palette().at(13)->toolTip(), QStringLiteral("hangup"));

        // That tooltip names no row: the click says so and adds nothing.
        h.clickPalette(0);
        h.clickPalette(13);
        QCOMPARE(h.prompts.messages, QStringList{"error on the systemdb.mdb"});
        QCOMPARE(h.tree.count(), 1);
        // A relabelled button still finds its row.
        h.clickPalette(1);
        QCOMPARE(h.tree.count(), 2);
        QCOMPARE(h.node("2_")->text, QStringLiteral("play main greetings"));
    }

    void paletteOnEmptyTree_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 1; i < 14; ++i)
            QTest::newRow(qPrintable(QString("button %1").arg(i))) << i;
    }

    void paletteOnEmptyTree()
    {
        QFETCH(int, index);
        EditorHarness h;
        h.clickPalette(index);
        QCOMPARE(h.prompts.messages, QStringList{kSelectFirst});
        QVERIFY(h.tree.isEmpty());
    }

    void answerCallOnEmptyTree()
    {
        EditorHarness h;
        QSignalSpy description(h.editor.get(), &editor::FlowEditor::descriptionChanged);
        QSignalSpy enabled(h.editor.get(), &editor::FlowEditor::flowCommandsEnabled);
        h.palette().at(5)->setEnabled(false);
        h.clickPalette(0);
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(treeShape(h.tree), QStringList{"0_ 1_ answer call 1 2"});
        QCOMPARE(h.editor->selectedNode(), h.tree.node(1));
        QCOMPARE(description.count(), 1);
        QCOMPARE(description.at(0).at(0).toString(), QStringLiteral("This will answer call"));
        QCOMPARE(enabled.count(), 1);
        QVERIFY(h.palette().at(5)->isEnabled());
    }

    void paletteNamesBecomeNodeTexts_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("option digits") << 5 << "get option digits";
        QTest::newRow("delete message") << 9 << "delete recorded message";
        QTest::newRow("re-record") << 11 << "re-record messages";
    }

    void paletteNamesBecomeNodeTexts()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(index);
        QCOMPARE(h.node("2_")->text, text);
    }

    void threeClicksGiveThreeChildren()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1);
        h.clickPalette(5);
        h.clickPalette(13);
        QCOMPARE(treeShape(h.tree), (QStringList{"0_ 1_ answer call 1 2",
                                                 "1_ 2_ play main greetings 1 2",
                                                 "1_ 3_ get option digits 1 2",
                                                 "1_ 4_ hangup 1 2"}));
        QCOMPARE(h.editor->selectedNode(), h.node("1_"));

        // Under another selected node the children go there.
        h.select(h.node("3_"));
        h.clickPalette(7);
        QCOMPARE(h.node("5_")->parentKey(), QStringLiteral("3_"));
        QVERIFY(h.view()->isExpanded(h.editor->treeModel()->indexOf(h.node("3_"))));
    }

    void answerCallAddsSiblingOfSelection()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1);
        h.select(h.node("2_"));
        h.clickPalette(0);
        QCOMPARE(h.node("3_")->text, QStringLiteral("answer call"));
        QCOMPARE(h.node("3_")->parentKey(), QStringLiteral("1_"));
        QCOMPARE(h.editor->selectedNode(), h.tree.node(1));
    }

    void keysAfterRemovals()
    {
        EditorHarness h;
        buildFlat(h, 9);
        h.select(h.node("5_"));
        h.button("cmdRemove")->click();
        QVERIFY(!h.node("5_"));
        h.select(h.node("1_"));
        h.clickPalette(2);
        QVERIFY(h.node("10_"));
        QVERIFY(!h.node("5_"));

        // Removing the largest key hands it out again.
        h.select(h.node("10_"));
        h.button("cmdRemove")->click();
        h.select(h.node("1_"));
        h.clickPalette(3);
        QCOMPARE(h.node("10_")->text, QStringLiteral("get password digits"));
        QVERIFY(h.prompts.messages.isEmpty());
    }

    void removeGuards()
    {
        EditorHarness h;
        h.button("cmdRemove")->click();
        QCOMPARE(h.prompts.messages, QStringList{kRemoveFailed});

        h.clickPalette(0);
        h.clickPalette(1);
        h.button("cmdRemove")->click(); // node 1 is selected
        QCOMPARE(h.prompts.messages.last(),
                 QStringLiteral("You can't remove Answercall function"));
        QCOMPARE(h.tree.count(), 2);

        // The guard is by position: an answer-call node elsewhere can go.
        h.select(h.node("2_"));
        h.clickPalette(0);
        h.select(h.node("3_"));
        h.button("cmdRemove")->click();
        QVERIFY(!h.node("3_"));
        QCOMPARE(h.prompts.messages.size(), 2);
    }

    void removeSubtreeDeletesOneRow()
    {
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        h.clickPalette(0);
        h.clickPalette(1);             // 2_
        h.select(h.node("2_"));
        h.clickPalette(2);             // 3_ under 2_
        h.clickPalette(3);             // 4_ under 2_
        h.clickPalette(13);            // 5_ under 2_
        for (const char *key : {"1_", "2_", "3_", "4_", "5_"})
            h.editor->selectNodeAt(h.node(key));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow").size(), 5);

        h.select(h.node("2_"));
        h.button("cmdRemove")->click();
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(h.tree.count(), 1);
        const QStringList rows = tableDump(h.path("flow.mdb"), "nodesflow");
        QCOMPARE(rows.size(), 4);
        for (const QString &row : rows)
            QVERIFY2(!row.startsWith(QLatin1String("2_|")), qPrintable(row));
    }

    void removeReportsStoreError()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1);
        h.current = {h.path("missing.mdb"), "nodesflow"};
        h.select(h.node("2_"));
        h.button("cmdRemove")->click();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY(h.prompts.messages.first().startsWith(kRemoveFailed));
        QVERIFY(h.prompts.messages.first().contains("missing.mdb"));
    }

    void clearTwentyNodes()
    {
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        buildFlat(h, 20);
        for (int i = 1; i <= 20; ++i)
            h.editor->selectNodeAt(h.tree.node(i));
        const QStringList before = tableDump(h.path("flow.mdb"), "nodesflow");
        QCOMPARE(before.size(), 20);
        QSignalSpy cleared(h.editor.get(), &editor::FlowEditor::dropReportCleared);

        h.button("cmdClear")->click();
        QCOMPARE(treeShape(h.tree), QStringList{"0_ 1_ answer call 1 2"});
        QCOMPARE(h.editor->selectedNode(), h.tree.node(1));
        QCOMPARE(cleared.count(), 1);
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow"), before);
    }

    void selectingCreatesRowOnce()
    {
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        h.clickPalette(0);
        h.clickPalette(8);
        QSignalSpy description(h.editor.get(), &editor::FlowEditor::descriptionChanged);
        QSignalSpy selected(h.editor.get(), &editor::FlowEditor::nodeSelected);

        h.editor->selectNodeAt(h.node("2_"));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow"),
                 QStringList{"2_|1_|play message options|1|2|.wav|True|play message options|4|"
                             "Cut-Through: NO|#|Text|30|30|60|Type text to be spoken here."});
        QCOMPARE(selected.count(), 1);
        const auto identity = selected.at(0).at(0).value<model::NodeIdentity>();
        QCOMPARE(identity, model::NodeIdentity::of(*h.node("2_")));
        QCOMPARE(description.last().at(0).toString(),
                 QStringLiteral("This will give user options on what to do with the message that "
                                "has just been recorded."));

        h.editor->selectNodeAt(h.node("2_"));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow").size(), 1);
        QCOMPARE(selected.count(), 2);
        QCOMPARE(h.editor->selectedNode(), h.node("2_"));

        // Top-level nodes pass "0_"; "answer call" finds "Answer Call" in the catalogue.
        h.editor->selectNodeAt(h.node("1_"));
        QCOMPARE(selected.last().at(0).value<model::NodeIdentity>().parentKey,
                 QStringLiteral("0_"));
        QCOMPARE(description.last().at(0).toString(), QStringLiteral("This will answer call"));

        // A text that names no call function gets its row and a blank description.
        h.tree.add(h.node("1_"), FlowTree::Relation::LastChild, "3_", "unknown");
        h.editor->selectNodeAt(h.node("3_"));
        QCOMPARE(description.last().at(0).toString(), QStringLiteral(" "));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow").size(), 3);
        QVERIFY(h.prompts.messages.isEmpty());
    }

    void mouseClickSelects()
    {
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        h.clickPalette(0);
        h.clickPalette(1);
        h.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.editor.get()));
        QSignalSpy selected(h.editor.get(), &editor::FlowEditor::nodeSelected);
        const QRect rect = h.view()->visualRect(h.editor->treeModel()->indexOf(h.node("2_")));
        QVERIFY(rect.isValid());
        QTest::mouseClick(h.view()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.at(0).at(0).value<model::NodeIdentity>().key, QStringLiteral("2_"));
        QCOMPARE(h.editor->selectedNode(), h.node("2_"));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow").size(), 1);
    }

    void selectingWithoutFlowAsksForOne()
    {
        EditorHarness h;
        h.clickPalette(0);
        QSignalSpy selected(h.editor.get(), &editor::FlowEditor::nodeSelected);
        h.prompts.answers << Answer::No; // use an existing file ... then no file chosen
        h.editor->selectNodeAt(h.node("1_"));
        QCOMPARE(h.prompts.questions.size(), 1);
        QCOMPARE(h.prompts.questions.at(0).text, QStringLiteral("Click YES to Create a new MDB"));
        QCOMPARE(h.prompts.messages, QStringList{"No File was Choosen"});
        QCOMPARE(selected.count(), 0);
        QVERIFY(!h.current.isSet());

        // Creating a flow there and then goes on with the selection.
        h.prompts.answers << Answer::Yes;
        h.prompts.saveFiles << h.path("new.mdb");
        h.prompts.inputs << QStringLiteral("myflow");
        h.editor->selectNodeAt(h.node("1_"));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(h.current.databasePath, h.path("new.mdb"));
        QCOMPARE(h.current.table, QStringLiteral("myflow"));
        QCOMPARE(tableDump(h.path("new.mdb"), "myflow").size(), 1);
    }

    void selectionStoreErrorIsReported_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("dropTable");
        QTest::addColumn<QString>("expected");
        QTest::newRow("key too long") << "1000_" << false << "key";
        QTest::newRow("table gone") << "2_" << true << "no such table";
    }

    void selectionStoreErrorIsReported()
    {
        QFETCH(QString, key);
        QFETCH(bool, dropTable);
        QFETCH(QString, expected);
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        h.clickPalette(0);
        h.tree.add(h.node("1_"), FlowTree::Relation::LastChild, key, "hangup");
        if (dropTable)
            execSql(h.path("flow.mdb"), {"DROP TABLE nodesflow"});
        QSignalSpy selected(h.editor.get(), &editor::FlowEditor::nodeSelected);
        h.editor->selectNodeAt(h.tree.findKey(key));
        QCOMPARE(selected.count(), 0);
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.messages.at(0).contains(expected, Qt::CaseInsensitive),
                 qPrintable(h.prompts.messages.at(0)));
    }

    void dropMakesLastChildWithSubtree()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1); // 2_
        h.clickPalette(6); // 3_
        h.select(h.node("2_"));
        h.clickPalette(2); // 4_ under 2_
        h.select(h.node("4_"));
        h.clickPalette(13); // 5_ under 4_
        QSignalSpy reported(h.editor.get(), &editor::FlowEditor::dropReported);

        QVERIFY(h.editor->dropNode(h.node("2_"), h.node("3_")));
        QCOMPARE(treeShape(h.tree), (QStringList{"0_ 1_ answer call 1 2",
                                                 "1_ 3_ process recorded messages 1 2",
                                                 "3_ 2_ play main greetings 1 2",
                                                 "2_ 4_ get user id digits 1 2",
                                                 "4_ 5_ hangup 1 2"}));
        QCOMPARE(reported.count(), 1);
        QCOMPARE(reported.at(0).at(0).toString(),
                 QStringLiteral("process recorded messages is parent of play main greetings"));

        // A second drop replaces the line.
        QVERIFY(h.editor->dropNode(h.node("5_"), h.node("1_")));
        QCOMPARE(reported.last().at(0).toString(),
                 QStringLiteral("answer call is parent of hangup"));
        QCOMPARE(h.tree.node(1)->children.back(), h.node("5_"));
        QVERIFY(h.prompts.messages.isEmpty());
        QVERIFY(h.prompts.questions.isEmpty());
    }

    void circularDropRefused_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("answer");
        QTest::newRow("itself, OK") << "2_" << int(Answer::Ok);
        QTest::newRow("its child, Cancel") << "4_" << int(Answer::Cancel);
        QTest::newRow("its grandchild, OK") << "5_" << int(Answer::Ok);
    }

    void circularDropRefused()
    {
        QFETCH(QString, target);
        QFETCH(int, answer);
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1);
        h.select(h.node("2_"));
        h.clickPalette(2); // 3_
        h.clickPalette(3); // 4_
        h.select(h.node("4_"));
        h.clickPalette(4); // 5_
        const QStringList before = treeShape(h.tree);
        QSignalSpy reported(h.editor.get(), &editor::FlowEditor::dropReported);
        h.prompts.answers << Answer(answer);

        QVERIFY(!h.editor->dropNode(h.node("2_"), h.tree.findKey(target)));
        QCOMPARE(h.prompts.questions.size(), 1);
        QCOMPARE(h.prompts.questions.at(0).text, kCircular);
        QCOMPARE(h.prompts.questions.at(0).buttons, Buttons::OkCancel);
        QCOMPARE(h.prompts.questions.at(0).icon, Icon::Exclamation);
        QCOMPARE(treeShape(h.tree), before);
        QCOMPARE(reported.count(), 0);
    }

    void dropOutsideChangesNothing()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1);
        const QStringList before = treeShape(h.tree);
        QVERIFY(!h.editor->dropNode(h.node("2_"), nullptr));
        QCOMPARE(treeShape(h.tree), before);
        QVERIFY(h.prompts.questions.isEmpty());
        QVERIFY(h.prompts.messages.isEmpty());
    }

    void movedNodeKeepsItsProperties()
    {
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        h.clickPalette(0);
        h.clickPalette(5); // 2_ get option digits
        h.clickPalette(1); // 3_
        h.select(h.node("2_"));
        h.clickPalette(7); // 4_ record message under 2_
        for (const char *key : {"1_", "2_", "3_", "4_"})
            h.editor->selectNodeAt(h.node(key));
        {
            model::FlowStore store(h.current.databasePath, h.current.table);
            QString error;
            QVERIFY2(store.updateRow(model::NodeIdentity::of(*h.node("4_")),
                                     {{"voicefile", "mine.wav"}, {"MaxReclen", "90"}}, &error),
                     qPrintable(error));
        }
        QVERIFY(h.editor->dropNode(h.node("4_"), h.node("3_")));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow").size(), 4);
        model::FlowStore store(h.current.databasePath, h.current.table);
        QString error;
        const auto row = store.fetchRow(model::NodeIdentity::of(*h.node("4_")), &error);
        QVERIFY2(row, qPrintable(error));
        QCOMPARE(row->value("parent").toString(), QStringLiteral("3_"));
        QCOMPARE(row->value("voicefile").toString(), QStringLiteral("mine.wav"));
        QCOMPARE(row->value("MaxReclen").toString(), QStringLiteral("90"));

        // Selecting it afterwards adds no row with defaults.
        h.editor->selectNodeAt(h.node("4_"));
        QCOMPARE(tableDump(h.path("flow.mdb"), "nodesflow").size(), 4);
    }

    void dropWhenRowCannotFollow()
    {
        EditorHarness h;
        h.useNewTable("flow.mdb", "nodesflow");
        h.clickPalette(0);
        h.clickPalette(1);
        h.clickPalette(2);
        execSql(h.path("flow.mdb"), {"DROP TABLE nodesflow"});
        const QStringList before = treeShape(h.tree);
        QVERIFY(!h.editor->dropNode(h.node("3_"), h.node("2_")));
        QCOMPARE(treeShape(h.tree), before);
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.messages.at(0).contains("no such table"),
                 qPrintable(h.prompts.messages.at(0)));
    }

    void dropThroughTheView()
    {
        EditorHarness h;
        h.clickPalette(0);
        h.clickPalette(1); // 2_
        h.clickPalette(2); // 3_
        h.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.editor.get()));
        editor::FlowTreeView *view = h.view();
        editor::FlowTreeModel *m = h.editor->treeModel();
        QSignalSpy reported(h.editor.get(), &editor::FlowEditor::dropReported);
        std::unique_ptr<QMimeData> data(m->mimeData({m->indexOf(h.node("3_"))}));
        const QPoint onTarget = view->visualRect(m->indexOf(h.node("2_"))).center();

        // Move and drop events go to the widget that accepted the drag's entry.
        QDragEnterEvent enter(onTarget, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(onTarget, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &move);
        QVERIFY(move.isAccepted());
        QCOMPARE(m->nodeAt(view->dropHighlight()), h.node("2_"));

        QDropEvent drop(onTarget, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &drop);
        QCOMPARE(h.node("3_")->parentKey(), QStringLiteral("2_"));
        QCOMPARE(reported.count(), 1);
        QVERIFY(!view->dropHighlight().isValid());

        // Below the last row there is no node: nothing happens.
        const QPoint empty(5, view->viewport()->height() - 3);
        QVERIFY(!view->indexAt(empty).isValid());
        QDragEnterEvent enterAgain(empty, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enterAgain);
        QVERIFY(!view->dropHighlight().isValid());
        QDropEvent outside(empty, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &outside);
        QCOMPARE(h.node("3_")->parentKey(), QStringLiteral("2_"));
        QCOMPARE(reported.count(), 1);

        // The node's own child as target reaches the rule and its message.
        std::unique_ptr<QMimeData> parentData(m->mimeData({m->indexOf(h.node("2_"))}));
        const QPoint onChild = view->visualRect(m->indexOf(h.node("3_"))).center();
        QDragEnterEvent enterChild(onChild, Qt::MoveAction, parentData.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enterChild);
        QDropEvent circular(onChild, Qt::MoveAction, parentData.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &circular);
        QCOMPARE(h.prompts.questions.size(), 1);
        QCOMPARE(h.prompts.questions.at(0).text, kCircular);
        QCOMPARE(h.node("2_")->parentKey(), QStringLiteral("1_"));
    }

    void editorOutlivesTree()
    {
        // As in the window: the tree is a member, the panel a child widget deleted later.
        QTemporaryDir dir;
        QVERIFY(model::Catalogue(dir.path()).ensure(nullptr, nullptr));
        auto tree = std::make_unique<FlowTree>();
        model::CurrentFlow current;
        FakeUserPrompts prompts;
        auto panel = std::make_unique<editor::FlowEditor>(*tree, current, dir.path(), prompts);
        QVERIFY(panel->loadDemoFlow());
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        tree.reset();
        QVERIFY(!panel->selectedNode());
        panel.reset();
    }

    void catalogueUnusable()
    {
        EditorHarness h;
        QFile::remove(h.path("SystemDB.mdb"));
        QFile file(h.path("SystemDB.mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a database at all, just some text to fill the header out....");
        file.close();
        h.clickPalette(0);
        QCOMPARE(h.prompts.messages, QStringList{kSelectFirst});
        QVERIFY(h.tree.isEmpty());
    }
};

QTEST_MAIN(TstFlowEditor)
#include "tst_floweditor.moc"
