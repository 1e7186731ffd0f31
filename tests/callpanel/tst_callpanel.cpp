#include "callfakes.h"
#include "fakesoundplayer.h"
#include "fakespeechengine.h"

#include "callpanel/testcallpanel.h"
#include "model/currentflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/memberstore.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The Test Call tab driven as a person does: buttons, the keypad and the keyboard's keys,
// with fake speech, sound and clock.
class TestCallPanel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    model::CurrentFlow m_flow;
    model::FlowTree m_tree;

    QPushButton *button(QWidget &panel, const QString &name)
    {
        for (QPushButton *b : panel.findChildren<QPushButton *>()) {
            if (b->accessibleName() == name)
                return b;
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // answer call 1_ > play main greetings 2_ > get user id digits 3_,
        // record message 4_ > hangup 5_
        m_tree.addTopLevel("1_", "answer call");
        auto *menu = m_tree.add(m_tree.node(1), model::FlowTree::Relation::LastChild, "2_",
                                "play main greetings");
        m_tree.add(menu, model::FlowTree::Relation::LastChild, "3_", "get user id digits");
        auto *record = m_tree.add(menu, model::FlowTree::Relation::LastChild, "4_",
                                  "record message");
        m_tree.add(record, model::FlowTree::Relation::LastChild, "5_", "hangup");
        m_flow = {m_dir.filePath("flow.mdb"), "nodesflow"};
        QString error;
        QVERIFY(model::FlowStore::createMain(m_flow.databasePath, m_flow.table, &error));
        model::FlowStore store(m_flow.databasePath, m_flow.table);
        QVERIFY(store.writeTree(m_tree, &error));
        const QStringList prompts{"", "Menu", "Your id", "Speak", "Bye"};
        for (int i = 2; i <= 5; ++i) {
            const model::FlowNode *node = m_tree.node(i);
            QVERIFY(store.updateRow(model::NodeIdentity::of(*node),
                                    {{"prompttxt", prompts.at(i - 1)},
                                     {"voicefile", node->key + ".wav"}},
                                    &error));
        }
    }

    void scenarios_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<QString>("heard"); // spoken texts or played files, "|" between
        QTest::addColumn<QString>("nodes");  // the nodes shown as run

        QTest::newRow("keypad and keyboard")
            << QStringList{"start", "key 2", "type #"} << "4 end hangup 5_ hangup ended the call."
            << "Menu|Speak|Bye" << "1_ 2_ 4_ 5_";
        QTest::newRow("voice files")
            << QStringList{"wave", "start", "type 1", "no input"}
            << "3 end no-next-step The flow has no next step after 3_ get user id digits: the "
               "call stays there."
            << "2_.wav|3_.wav" << "1_ 2_ 3_";
        QTest::newRow("sound off") << QStringList{"sound off", "start", "key 1", "hang up"}
                                   << "3 end caller-hung-up The caller hung up." << ""
                                   << "1_ 2_ 3_";
        QTest::newRow("the flow is edited")
            << QStringList{"start", "edit"}
            << "2 end flow-changed The flow was changed while the call ran: a node was added."
            << "Menu" << "1_ 2_";
        QTest::newRow("no flow") << QStringList{"no flow", "start"}
                                 << "No flow is loaded: load or create a flow first." << ""
                                 << "";
    }

    void scenarios()
    {
        QFETCH(QStringList, actions);
        model::CurrentFlow flow = m_flow;
        bool soundOn = true;
        FakeSpeechEngine speech;
        FakeSoundPlayer sound;
        FakeClock clock;
        callpanel::TestCallPanel panel(m_tree, flow, m_dir.path(), speech, sound, clock, nullptr,
                                       [&soundOn] { return soundOn; });
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QStringList nodes;
        connect(&panel, &callpanel::TestCallPanel::nodeRun, this,
                [&nodes](model::FlowNode *node) { nodes << node->key; });
        const int before = m_tree.count();
        for (const QString &action : actions) {
            if (action == u"start")
                QTest::mouseClick(button(panel, "Start Call"), Qt::LeftButton);
            else if (action == u"wave")
                panel.findChild<QComboBox *>()->setCurrentIndex(1);
            else if (action.startsWith(u"key "))
                QTest::mouseClick(button(panel, "Key " + action.mid(4)), Qt::LeftButton);
            else if (action.startsWith(u"type "))
                QTest::keyClick(QApplication::focusWidget(), action.at(5).toLatin1());
            else if (action == u"no input")
                QTest::mouseClick(button(panel, "No Input"), Qt::LeftButton);
            else if (action == u"hang up")
                QTest::mouseClick(button(panel, "Hang Up"), Qt::LeftButton);
            else if (action == u"sound off")
                soundOn = false;
            else if (action == u"no flow")
                flow = {};
            else if (action == u"edit")
                m_tree.add(m_tree.node(1), model::FlowTree::Relation::LastChild, "6_", "hangup");
        }
        QTEST(panel.transcript().last(), "lastLine");
        QStringList heard = speech.spoken;
        for (const QString &path : std::as_const(sound.played))
            heard << QFileInfo(path).fileName();
        QTEST(heard.join(u'|'), "heard");
        QTEST(nodes.join(u' '), "nodes");
        // The call is over: it can be started again, the keypad waits for it.
        QVERIFY(!panel.isCallRunning());
        QVERIFY(button(panel, "Start Call")->isEnabled());
        QVERIFY(!button(panel, "Key 1")->isEnabled());
        // The line of the last node run stays highlighted.
        if (!nodes.isEmpty()) {
            const QString current = panel.findChild<QListWidget *>()->currentItem()->text();
            QVERIFY(current.contains(QStringLiteral(" node ") + nodes.last() + u' '));
        }
        while (m_tree.count() > before)
            m_tree.remove(m_tree.node(m_tree.count()));
    }

    // The voice mail works on the application folder's members, or with Restore on a copy.
    void voiceMailWithAndWithoutRestore()
    {
        QTemporaryDir app;
        QVERIFY(model::MemberStore(app.path()).ensure(nullptr, nullptr));
        model::FlowTree tree;
        auto *mail = tree.add(tree.addTopLevel("1_", "answer call"),
                              model::FlowTree::Relation::LastChild, "2_",
                              "process recorded messages");
        tree.add(mail, model::FlowTree::Relation::LastChild, "3_", "hangup");
        const model::CurrentFlow flow{app.filePath("flow.mdb"), "nodesflow"};
        QString error;
        QVERIFY(model::FlowStore::createMain(flow.databasePath, flow.table, &error));
        QVERIFY(model::FlowStore(flow.databasePath, flow.table).writeTree(tree, &error));
        FakeSpeechEngine speech;
        FakeSoundPlayer sound;
        FakeClock clock;
        callpanel::TestCallPanel panel(tree, flow, app.path(), speech, sound, clock, nullptr,
                                       [] { return true; });
        auto attempts = [&app] {
            for (const model::Member &m : model::MemberStore(app.path()).all(nullptr)) {
                if (m.mailbox.toInt() == 1001)
                    return m.attempts.toInt();
            }
            return -1;
        };
        for (const bool restore : {true, false}) {
            button(panel, "Restore")->setChecked(restore);
            QTest::mouseClick(button(panel, "Start Call"), Qt::LeftButton);
            for (const char *key : {"1", "0", "0", "1", "hash", "9", "hash"})
                QTest::mouseClick(button(panel, QStringLiteral("Key ") + key), Qt::LeftButton);
            QVERIFY(panel.transcript().join(u'\n').contains("play invalid.wav"));
            QTest::mouseClick(button(panel, "Hang Up"), Qt::LeftButton);
            QCOMPARE(attempts(), restore ? 0 : 1);
        }
    }
};

QTEST_MAIN(TestCallPanel)
#include "tst_callpanel.moc"
