#include "fakesoundplayer.h"
#include "fakespeechengine.h"
#include "fakeuserprompts.h"
#include "filesnapshot.h"
#include "testdirs.h"

#include "app/mainwindow.h"
#include "callpanel/testcallpanel.h"
#include "diagram/diagramexport.h"
#include "diagram/diagrampanel.h"
#include "diagram/diagramscene.h"
#include "editor/floweditor.h"
#include "model/flowstore.h"
#include "problems/problemspanel.h"
#include "properties/propertygrid.h"
#include "properties/samplevoices.h"
#include "ui/userprompts.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

// The designer window with scripted dialogs, speech and sound.
struct Harness
{
    explicit Harness(const QString &dir)
        : window({dir, prompts, speech, sound})
    {
        window.startUp();
    }
    template<typename T = QWidget>
    T *child(const char *name, int index = -1) const
    {
        for (T *c : window.findChildren<T *>(QLatin1String(name))) {
            if (index < 0 || c->property("index").toInt() == index)
                return c;
        }
        return nullptr;
    }
    QString text(const char *label) const { return child<QLabel>(label)->text(); }
    void trigger(const char *action) const { window.findChild<QAction *>(action)->trigger(); }
    void select(const char *key)
    {
        window.findChild<editor::FlowEditor *>()->selectNodeAt(
            window.tree().findKey(QLatin1String(key)));
    }

    FakeUserPrompts prompts;
    FakeSpeechEngine speech;
    FakeSoundPlayer sound;
    app::MainWindow window;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartShowsTheDemonstrationAndASecondChangesNothing();
    void startUpProblemsAreReportedOnce_data();
    void startUpProblemsAreReportedOnce();
    void fitsSmallScreensAndGivesRoomToTheViews();
    void everyControlHasAnAccessibleName();
    void generationShowsThePageAndNarrationStops();
    void speechAndSoundFollowTheButtons();
    void gridClickPlaysVoiceFiles_data();
    void gridClickPlaysVoiceFiles();
    void typedValueGoesToItsNode_data();
    void typedValueGoesToItsNode();
    void recordKeysReachTheMemberSection();
    void dropReportShowsOneLineUntilCleared();
    void testCallShowsItsNodeAndEndsOnEdits();
    void diagramFollowsTheTreeTheCallAndEdits();
    void checkFlowListsMarksAndAsks();
    void aFlowFileGivenAtTheStartIsOpened();
    void unsavedChangesAreAskedAbout_data();
    void unsavedChangesAreAskedAbout();
    void editMenuTakesChangesBack();
    void commandLine_data();
    void commandLine();
};

void TestApp::firstStartShowsTheDemonstrationAndASecondChangesNothing()
{
    QTemporaryDir dir;
    {
        Harness h(dir.path());
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join(u'|')));
        for (const char *name : {"memberDB.mdb", "SystemDB.mdb", "callflow.mdb", "waves",
                                 "mboxes"})
            QVERIFY(QFileInfo::exists(dir.filePath(QLatin1String(name))));
        QCOMPARE(h.window.tree().count(), 15);
        QCOMPARE(h.text("lblStatus"), QStringLiteral("Member: 1"));
        // Every flow command is on, Save to Table too; then off before a flow exists.
        for (const char *name : {"cmdSave", "cmdClear", "cmdRemove", "Playtext", "Command2"})
            QVERIFY2(h.child(name)->isEnabled(), name);
        h.window.disableFlowButtons();
        QVERIFY(!h.child("cmdSave")->isEnabled() && h.child("cmdLoad")->isEnabled());
        // The sample recordings are made in the background.
        QTRY_VERIFY_WITH_TIMEOUT(!h.window.findChild<properties::SampleVoiceMaker *>(), 60000);
    }
    const auto before = fileSnapshot(dir.path());
    QTest::qWait(20);
    Harness second(dir.path());
    QCOMPARE(second.window.tree().count(), 15);
    QCOMPARE(fileSnapshot(dir.path()), before);
}

void TestApp::startUpProblemsAreReportedOnce_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("flowFile");
    QTest::addColumn<QString>("message");
    QTest::newRow("the flow file is no database") << "" << QByteArray("hello") << "not a database";
    QTest::newRow("a missing folder") << "gone" << QByteArray() << "does not exist";
}

void TestApp::startUpProblemsAreReportedOnce()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, flowFile);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString appDir = dir.filePath(folder);
    if (!flowFile.isEmpty())
        writeFile(dir.filePath("callflow.mdb"), flowFile);
    Harness h(appDir);
    QCOMPARE(h.prompts.messages.size(), 1);
    QVERIFY2(h.prompts.messages[0].contains(message), qPrintable(h.prompts.messages[0]));
    QCOMPARE(h.window.tree().count(), 0);
    QVERIFY(!h.window.currentFlow().isSet());
    if (!flowFile.isEmpty()) {
        QCOMPARE(readFile(dir.filePath("callflow.mdb")), flowFile);
        QCOMPARE(h.text("lblStatus"), QStringLiteral("Member: 1")); // the rest went on
    }
}

void TestApp::fitsSmallScreensAndGivesRoomToTheViews()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    // A 1024x768 screen, less a title bar and a panel.
    h.window.resize(1024, 700);
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    QCOMPARE(h.window.size(), QSize(1024, 700));
    auto *tabs = h.child<QTabWidget>("SSTab1");
    QStringList cut;
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        for (QWidget *w : h.window.findChildren<QWidget *>()) {
            const QRect shown(w->mapTo(&h.window, QPoint()), w->size());
            const bool clipped = w->inherits("QAbstractButton")
                                 && w->width() < w->minimumSizeHint().width();
            if (w->isVisible() && (!h.window.rect().contains(shown) || clipped))
                cut << w->objectName() + u'/' + w->metaObject()->className();
        }
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u' ')));

    // More room goes to the tree, the property grid and the code viewer.
    const QList<const char *> names{"TreeView1", "fg2", "rtfText", "txtFields"};
    const auto sizes = [&] {
        QList<QSize> seen;
        for (const char *name : names) {
            tabs->setCurrentIndex(name == names[2]);
            QCoreApplication::processEvents();
            seen << h.child(name)->size();
        }
        return seen;
    };
    const QList<QSize> before = sizes();
    h.window.resize(1400, 1000);
    QTRY_COMPARE(h.window.size(), QSize(1400, 1000));
    const QList<QSize> after = sizes();
    for (int i = 0; i < 3; ++i)
        QVERIFY2(after[i].width() > before[i].width() + 100
                     && after[i].height() > before[i].height() + 200,
                 names[i]);
    QCOMPARE(after[3], before[3]); // a member field keeps its size
}

void TestApp::everyControlHasAnAccessibleName()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    QStringList unnamed;
    for (QWidget *w : h.window.findChildren<QWidget *>()) {
        const bool control = w->inherits("QAbstractButton") || w->inherits("QLineEdit")
                             || w->inherits("QAbstractItemView") || w->inherits("QTextEdit");
        // Qt's own parts: table headers and corners, the bars' overflow buttons.
        if (!control || w->inherits("QHeaderView") || w->inherits("QTableCornerButton")
            || w->objectName().startsWith("qt_"))
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName() + u'/' + w->metaObject()->className();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));
    QCOMPARE(QAccessible::queryAccessibleInterface(h.child("cmdChild", 5))
                 ->text(QAccessible::Name),
             QStringLiteral("get option digits"));
}

void TestApp::generationShowsThePageAndNarrationStops()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.child<QPushButton>("Command1", 1)->click();
    QVERIFY(QFile::exists(dir.filePath("RemoteTTS.asp")));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    QCOMPARE(h.prompts.messages, QStringList{"Code generated: CallTTS.asp and RemoteTTS.asp"});
    QVERIFY(h.child<QTextEdit>("rtfText")->toPlainText().startsWith("<% '-------"));
    // VoiceXML, from the button and the menu: shown as written.
    h.child<QPushButton>("Command2")->click();
    QCOMPARE(h.prompts.messages.last(),
             QStringLiteral("Code generated: callvxml.vxml and RemoteVxml.asp"));
    QVERIFY(h.child<QTextEdit>("rtfText")->toPlainText().contains("RemoteVxml.asp"));
    h.trigger("mnuVoiceXml");
    QCOMPARE(h.prompts.messages.size(), 3);

    // Narration speaks the flow; the same button stops it, then starts it again.
    h.child<QTabWidget>("SSTab1")->setCurrentIndex(0);
    auto *narrate = h.child<QPushButton>("Command1", 3);
    narrate->click();
    const int spoken = h.speech.spoken.size();
    QVERIFY(spoken > 4);
    QCOMPARE(h.speech.spoken.last(), QStringLiteral("Then it will finally hangup the call."));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 0);
    QCOMPARE(narrate->text(), QStringLiteral("stop saying application flow"));
    narrate->click();
    QCOMPARE(h.speech.spoken.size(), spoken);
    QCOMPARE(h.speech.stops, 1);
    QCOMPARE(narrate->text(), QStringLiteral("Tell me application flow"));
    narrate->click();
    QCOMPARE(h.speech.spoken.size(), 2 * spoken);
    h.window.tree().clear(); // a failure says why, once the check's question is answered
    h.prompts.answers << ui::UserPrompts::Answer::Yes;
    h.trigger("mnuCallXml");
    QCOMPARE(h.prompts.messages.size(), 4);
}

void TestApp::speechAndSoundFollowTheButtons()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    auto *playText = h.child<QPushButton>("Playtext");
    playText->click(); // no node shown: nothing to say
    // The first selection only sets the caption; the next ones play.
    h.select("8_");
    QCOMPARE(h.child<QTableWidget>("fg2")->item(5, 1)->text(), QStringLiteral("60"));
    QVERIFY(h.sound.played.isEmpty());
    h.select("2_");
    QCOMPARE(h.sound.played, QStringList{dir.path() + "/waves/defaultgreeting.wav"});
    h.trigger("mnuSoundOff");
    h.select("14_");
    QCOMPARE(h.sound.played.size(), 1);
    h.child<QPushButton>("Command4")->click();
    QCOMPARE(h.child("Command4")->toolTip(), QStringLiteral("Play Sound ON"));
    h.select("14_");
    QCOMPARE(h.sound.played.size(), 2);

    playText->click();
    QCOMPARE(h.speech.spoken, QStringList{"type text to be spoken here."});
    QCOMPARE(playText->text(), QStringLiteral("Stop Play TTS File"));
    playText->click();
    QCOMPARE(h.speech.stops, 1);
    QCOMPARE(playText->text(), QStringLiteral("Play TTS File"));
    // Without sound the status bar says so.
    Q_EMIT h.sound.unavailable(QStringLiteral("no device"));
    QVERIFY(h.text("sbStatusBarPanel2").startsWith("Sound is not available"));
}

void TestApp::gridClickPlaysVoiceFiles_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<bool>("plays");
    QTest::newRow("wav, sound on") << "intro.wav" << true << true;
    QTest::newRow("wav, sound off") << "intro.wav" << false << false;
    QTest::newRow("upper-case WAV") << "intro.WAV" << true << false;
    QTest::newRow("prompt text") << "Type text." << true << false;
}

void TestApp::gridClickPlaysVoiceFiles()
{
    QFETCH(QString, value);
    QFETCH(bool, soundOn);
    QFETCH(bool, plays);
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.select("14_");
    auto *grid = h.child<QTableWidget>("fg2");
    grid->item(1, 1)->setText(value);
    h.trigger(soundOn ? "mnuSoundOn" : "mnuSoundOff");
    h.sound.played.clear();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(1, 1)).center());
    QCOMPARE(h.sound.played, plays ? QStringList(dir.path() + "/waves/" + value)
                                   : QStringList());
}

void TestApp::typedValueGoesToItsNode_data()
{
    // An edit still open on "get option digits" (6_) when "play main greetings" (2_) is
    // clicked.
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("written to 6_") << 1 << "menu2.wav" << "menu2.wav";
    QTest::newRow("refused: the editor stays on 6_") << 6 << "##" << "#";
}

void TestApp::typedValueGoesToItsNode()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.select("6_");
    auto *grid = h.child<QTableWidget>("fg2");
    const QString field = grid->item(row, 0)->text();
    grid->setCurrentCell(row, 1);
    QTest::keyClicks(grid, typed.left(1));
    QTest::keyClicks(h.child("txtedit"), typed.mid(1));
    h.select("2_");
    const auto value = [&](const char *key, const QString &column) {
        const model::FlowTree &tree = h.window.tree();
        const auto row = model::FlowStore(h.window.currentFlow().databasePath,
                                          h.window.currentFlow().table)
                             .fetchRow(model::NodeIdentity::of(*tree.findKey(key)), nullptr);
        return row ? row->value(column).toString() : QString();
    };
    QCOMPARE(value("6_", field), stored);
    QCOMPARE(value("2_", "voicefile"), QStringLiteral("defaultgreeting.wav"));
    const bool refused = typed != stored;
    QCOMPARE(h.prompts.messages.size(), refused ? 1 : 0);
    QCOMPARE(h.child("txtedit")->isVisible(), refused);
    QCOMPARE(grid->item(1, 1)->text(), refused ? ".wav" : "defaultgreeting.wav");
    QCOMPARE(h.window.findChild<editor::FlowEditor *>()->selectedNode()->key,
             refused ? "6_" : "2_");
}

void TestApp::recordKeysReachTheMemberSection()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    QTest::keyClick(&h.window, Qt::Key_End);
    QCOMPARE(h.text("lblStatus"), QStringLiteral("Member: 4"));
    QTest::keyClick(h.child<QWidget>("txtFields", 0), Qt::Key_Home);
    QCOMPARE(h.text("lblStatus"), QStringLiteral("Member: 1"));
}

// The Test Call tab shows the node it runs in the tree; an edited property ends the call.
void TestApp::testCallShowsItsNodeAndEndsOnEdits()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->tabText(2), QStringLiteral("Test Call"));
    auto *panel = h.child<callpanel::TestCallPanel>("testCallTab");
    panel->startCall();
    panel->pressKey(u'1');
    auto *editor = h.window.findChild<editor::FlowEditor *>();
    QCOMPARE(editor->selectedNode()->key, QStringLiteral("6_"));
    QVERIFY(panel->isCallRunning());
    h.select("2_");
    auto *grid = h.child<QTableWidget>("fg2");
    grid->setCurrentCell(1, 1);
    QTest::keyClicks(grid, "x");
    h.select("5_");
    QVERIFY(!panel->isCallRunning());
    QVERIFY2(panel->transcript().last().endsWith("the properties of 2_ play main greetings "
                                                 "were edited."),
             qPrintable(panel->transcript().last()));
    // Into the voice mail with a wrong password for the member shown (the second): the
    // member form shows the attempt at once, on the same member.
    h.child<QAbstractButton>("cmdNext")->click();
    const QString mailbox = h.child<QLineEdit>("txtFields", 2)->text();
    QCOMPARE(h.child<QLineEdit>("txtFields", 4)->text(), QStringLiteral("0"));
    panel->startCall();
    for (const QChar key : QStringLiteral("11#") + mailbox + QStringLiteral("#9#"))
        panel->pressKey(key);
    QVERIFY2(panel->transcript().join(u'\n').contains("play invalid.wav"),
             qPrintable(panel->transcript().join(u'\n')));
    panel->hangUp();
    QCOMPARE(h.child<QLineEdit>("txtFields", 2)->text(), mailbox);
    QCOMPARE(h.child<QLineEdit>("txtFields", 4)->text(), QStringLiteral("1"));
}

// The Diagram tab: a click on a box selects its node; the tree's selection, the test call's
// node and edited properties show in it; Export Diagram writes the file.
void TestApp::diagramFollowsTheTreeTheCallAndEdits()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    auto *diagram = h.child<diagram::DiagramPanel>("diagramPanel");
    auto *tabs = h.child<QTabWidget>("SSTab1");
    tabs->setCurrentWidget(diagram);
    QTRY_VERIFY(!diagram->scene()->isEmpty());
    auto *editor = h.window.findChild<editor::FlowEditor *>();
    Q_EMIT diagram->nodeClicked(QStringLiteral("6_"));
    QCOMPARE(editor->selectedNode()->key, QStringLiteral("6_"));
    QCOMPARE(diagram->scene()->selectedKey(), QStringLiteral("6_"));
    h.select("2_");
    QCOMPARE(diagram->scene()->selectedKey(), QStringLiteral("2_"));

    auto *call = h.child<callpanel::TestCallPanel>("testCallTab");
    call->startCall();
    call->pressKey(u'1');
    QCOMPARE(diagram->scene()->callKey(), QStringLiteral("6_"));
    call->hangUp();
    QCOMPARE(diagram->scene()->callKey(), QString());

    tabs->setCurrentIndex(0);
    auto *grid = h.child<QTableWidget>("fg2");
    grid->setCurrentCell(1, 1); // the voice file
    QTest::keyClicks(grid, "x");
    h.select("5_");
    tabs->setCurrentWidget(diagram);
    QTRY_VERIFY(diagram::svgBytes(*diagram->scene(), {}).contains("\u266a x<"));

    h.prompts.saveFiles << dir.filePath("flow.svg");
    h.trigger("mnuExportDiagram");
    QVERIFY(readFile(dir.filePath("flow.svg")).startsWith("<?xml"));
}

// Check Flow (F7): the problems below the tree, a double-click away from their node and
// property, marked on the diagram's boxes, both following edits; errors ask before a
// generation.
void TestApp::checkFlowListsMarksAndAsks()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    auto *panel = h.child<problems::ProblemsPanel>("problemsPanel");
    auto *diagram = h.child<diagram::DiagramPanel>("diagramPanel");
    const auto mark = [&](const char *key) { return diagram->scene()->shownSeverity(key); };
    const auto errors = [&] {
        return checker::countOf(panel->problems(), checker::Severity::Error);
    };
    QVERIFY(!panel->isVisible());
    h.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.window));
    QTest::keyClick(&h.window, Qt::Key_F7);
    QVERIFY(panel->isVisible());
    QCOMPARE(errors(), 0);

    // A voice file not in waves/ is a warning at its node; Enter on it leads to the property.
    h.select("2_");
    auto *grid = h.child<QTableWidget>("fg2");
    grid->setCurrentCell(1, 1);
    QTest::keyClicks(grid, "x");
    h.select("5_");
    auto *list = h.child<QTreeWidget>("problemsList");
    const auto voiceFile = [&] {
        return list->findItems("The voice file x ", Qt::MatchStartsWith, 2);
    };
    QTRY_COMPARE(voiceFile().size(), 1);
    list->setCurrentItem(voiceFile().first());
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(h.window.findChild<editor::FlowEditor *>()->selectedNode()->key, "2_");
    QCOMPARE(grid->item(grid->currentRow(), 0)->text(), QStringLiteral("voicefile"));

    // A node the pages do not know is an error; the diagram marks both while it is shown.
    model::FlowTree &tree = h.window.tree();
    tree.add(tree.findKey("16_"), model::FlowTree::Relation::LastChild, "18_", "greet");
    h.child<QTabWidget>("SSTab1")->setCurrentWidget(diagram);
    QTRY_COMPARE(mark("18_"), diagram::Severity::Error);
    QCOMPARE(mark("2_"), diagram::Severity::Warning);

    h.trigger("mnuWteWave");
    QCOMPARE(h.prompts.questions.size(), 1);
    QVERIFY(!QFile::exists(dir.filePath("callWave.asp")));
    h.prompts.answers << ui::UserPrompts::Answer::Yes;
    h.trigger("mnuWteWave");
    QVERIFY(QFile::exists(dir.filePath("callWave.asp")));

    tree.remove(tree.findKey("18_"));
    QTRY_COMPARE(errors(), 0);
    h.trigger("mnuWteTTS");
    QCOMPARE(h.prompts.questions.size(), 2);
}

void TestApp::dropReportShowsOneLineUntilCleared()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    auto *editor = h.window.findChild<editor::FlowEditor *>();
    model::FlowTree &tree = h.window.tree();
    editor->dropNode(tree.findKey("8_"), tree.findKey("17_"));
    editor->dropNode(tree.findKey("16_"), tree.findKey("1_"));
    QVERIFY(h.child("dropReport")->isVisible());
    QCOMPARE(h.text("dropReport"), QStringLiteral("answer call is parent of get user id digits"));
    // The line covers no control: the tab captions still take the clicks.
    auto *tabs = h.child<QTabWidget>("SSTab1")->tabBar();
    for (int i = 0; i < tabs->count(); ++i)
        QCOMPARE(h.window.childAt(tabs->mapTo(&h.window, tabs->tabRect(i).center())), tabs);
    h.trigger("mnuFileClear");
    QVERIFY(h.text("dropReport").isEmpty());
}

void TestApp::aFlowFileGivenAtTheStartIsOpened()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    const QString missing = dir.filePath("missing.mdb");
    h.window.openFlowFile(missing);
    QVERIFY2(h.prompts.messages.value(0).contains(QStringLiteral("does not exist")),
             qPrintable(h.prompts.messages.join(u'|')));
    QVERIFY(!QFileInfo::exists(missing)); // a mistyped name makes no empty database
    const QString other = dir.filePath("other.mdb");
    QVERIFY(QFile::copy(dir.filePath("callflow.mdb"), other));
    h.prompts.answers.enqueue(ui::UserPrompts::Answer::Yes);
    h.window.openFlowFile(other);
    QCOMPARE(h.window.currentFlow().databasePath, other);
    QCOMPARE(h.window.currentFlow().table, QStringLiteral("nodesflow"));
}

void TestApp::commandLine_data()
{
    // DIR in an argument stands for a fresh folder; "setup" prepares it first.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("made");
    const QStringList init{"init", "--app-dir", "DIR"};
    QTest::newRow("init") << init << "" << 0 << "Created callflow.mdb" << "" << "mboxes";
    QTest::newRow("init with a broken member database")
        << init << "badmembers" << 1 << "" << "not a database" << "callflow.mdb";
    QTest::newRow("init in a missing folder")
        << QStringList{"init", "--app-dir", "DIR/gone"} << "" << 1 << "" << "does not exist"
        << "";
    QTest::newRow("init, unknown option") << QStringList{"init", "--bogus"} << "" << 2 << ""
                                          << "Unknown option 'bogus'" << "";
    QTest::newRow("colour as opened")
        << QStringList{"colour", "DIR/a.asp"} << "page" << 0
        << "<span style=\"color:#0000ff\">&lt;</span><span style=\"color:#000000\">TABLE BORDER"
        << "" << "";
    QTest::newRow("colour as generated") << QStringList{"colour", "DIR/a.asp", "--generated"}
                                         << "page" << 0
                                         << "<span style=\"color:#ff00ff\">table</span>" << ""
                                         << "";
    QTest::newRow("colour a windows-1252 page") << QStringList{"colour", "DIR/a.asp"} << "quotes"
                                                << 0 << "\u201chi\u201d" << "" << "";
    QTest::newRow("colour a missing file") << QStringList{"colour", "DIR/missing.asp"} << "" << 1
                                           << "" << "missing.asp" << "";
    QTest::newRow("colour without a file") << QStringList{"colour"} << "" << 2 << "" << "colour"
                                           << "";
    QTest::newRow("help") << QStringList{"--help"} << "" << 0 << "generate" << "" << "";
    QTest::newRow("check without a flow") << QStringList{"check", "--app-dir", "DIR"} << "" << 1
                                          << "" << "Nothing checked" << "";
    for (const char *command : {"init", "generate", "colour", "export", "call", "check"})
        QTest::addRow("%s --help", command) << QStringList{command, "--help"} << "" << 0
                                            << QStringLiteral("Usage: dialwright %1").arg(command)
                                            << "" << "";
    QTest::newRow("version") << QStringList{"--version"} << "" << 0 << "dialwright " DW_VERSION
                             << "" << "";
    QTest::newRow("the window, two files") << QStringList{"a.mdb", "b.mdb"} << "" << 2 << ""
                                           << "Unknown argument" << "";
}

void TestApp::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(QString, setup);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, made);
    QTemporaryDir dir;
    args.replaceInStrings(QStringLiteral("DIR"), dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("DIALWRIGHT_HOME"));
    if (setup == u"badmembers")
        writeFile(dir.filePath("memberDB.mdb"), "text");
    if (setup == u"quotes")
        writeFile(dir.filePath("a.asp"), "say \x93hi\x94\r\n");
    if (setup == u"page")
        writeFile(dir.filePath("a.asp"), "<TABLE BORDER=1>\r\n");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(programPath(), args);
    QVERIFY(p.waitForFinished(60000));
    const QString stdOut = QString::fromLocal8Bit(p.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(p.readAllStandardError());
    QCOMPARE(p.exitCode(), status);
    QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
    QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
    QVERIFY(made.isEmpty() || QFileInfo::exists(dir.filePath(made)));
}


void TestApp::unsavedChangesAreAskedAbout_data()
{
    // A node added to the demonstration flow (15 nodes, 15 rows) is not saved yet. After
    // the question: the nodes of the tree, the rows of the demonstration's table, the table
    // shown, whether the window is still marked and whether it closed.
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("nodes");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("closed");
    const int save = int(ui::UserPrompts::Answer::Save);
    const int discard = int(ui::UserPrompts::Answer::Discard);
    const int cancel = int(ui::UserPrompts::Answer::Cancel);
    const QString demo = "nodesflow";
    QTest::newRow("close, Save") << "close" << save << 16 << 16 << demo << false << true;
    QTest::newRow("close, Discard") << "close" << discard << 16 << 15 << demo << true << true;
    QTest::newRow("close, Cancel") << "close" << cancel << 16 << 15 << demo << true << false;
    // The flow chosen to load is the demonstration's own table.
    QTest::newRow("load, Save") << "load" << save << 16 << 16 << demo << false << false;
    QTest::newRow("load, Discard") << "load" << discard << 15 << 15 << demo << false << false;
    QTest::newRow("load, Cancel") << "load" << cancel << 16 << 15 << demo << true << false;
    // Create New is given up at its first question once the changes are settled.
    QTest::newRow("new, Save") << "new" << save << 16 << 16 << demo << false << false;
    QTest::newRow("new, Discard") << "new" << discard << 16 << 15 << demo << true << false;
    QTest::newRow("new, Cancel") << "new" << cancel << 16 << 15 << demo << true << false;
    // The demonstration flow as exported before the change, imported as "imported".
    QTest::newRow("import, Save") << "import" << save << 15 << 16 << "imported" << false
                                  << false;
    QTest::newRow("import, Discard") << "import" << discard << 15 << 15 << "imported" << false
                                     << false;
    QTest::newRow("import, Cancel") << "import" << cancel << 16 << 15 << demo << true << false;
}

void TestApp::unsavedChangesAreAskedAbout()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(int, nodes);
    QFETCH(int, rows);
    QFETCH(QString, table);
    QFETCH(bool, marked);
    QFETCH(bool, closed);
    QTemporaryDir dir;
    Harness h(dir.path());
    const model::CurrentFlow flow = h.window.currentFlow();
    const auto tableRows = [&] {
        const auto read = model::FlowStore(flow.databasePath, flow.table).readRows(nullptr);
        return read ? int(read->size()) : -1;
    };
    h.prompts.saveFiles << dir.filePath("demo.json");
    h.trigger("mnuExportFlow");
    QVERIFY(!h.window.isWindowModified());
    h.select("6_");
    h.child<QAbstractButton>("cmdChild", 3)->click();
    QVERIFY(h.window.isWindowModified());
    h.prompts.reset();
    h.prompts.answers << ui::UserPrompts::Answer(answer) << ui::UserPrompts::Answer::Yes;
    h.prompts.openFiles << (command == u"import" ? dir.filePath("demo.json") : flow.databasePath);
    h.prompts.inputs << QStringLiteral("imported");
    const QByteArray before = readFile(flow.databasePath);
    bool wasClosed = false;
    if (command == u"close")
        wasClosed = h.window.close();
    else
        h.trigger(command == u"load" ? "mnuFileLoad"
                  : command == u"new" ? "mnuFileNew" : "mnuImportFlow");
    QVERIFY2(h.prompts.messages.isEmpty() || command == u"new",
             qPrintable(h.prompts.messages.join(u'|')));
    QCOMPARE(h.prompts.questions.value(0), QStringLiteral("Save changes to the flow nodesflow?"));
    QCOMPARE(h.window.tree().count(), nodes);
    QCOMPARE(tableRows(), rows);
    QCOMPARE(h.window.currentFlow().table, table);
    QCOMPARE(h.window.isWindowModified(), marked);
    QCOMPARE(wasClosed, closed);
    if (answer == int(ui::UserPrompts::Answer::Cancel))
        QCOMPARE(readFile(flow.databasePath), before);
}

// Every change is taken back and done again through the Edit menu, which names it; the
// caption's mark follows the saved state.
void TestApp::editMenuTakesChangesBack()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    auto *undo = h.window.findChild<QAction *>("mnuUndo");
    auto *redo = h.window.findChild<QAction *>("mnuRedo");
    const auto voiceFile = [&](const char *key) {
        const auto row = model::FlowStore(h.window.currentFlow().databasePath,
                                          h.window.currentFlow().table)
                             .fetchRow(model::NodeIdentity::of(*h.window.tree().findKey(key)),
                                       nullptr);
        return row ? row->value("voicefile").toString() : QString();
    };
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    h.select("8_");
    h.trigger("mnuCut");
    QCOMPARE(h.window.tree().count(), 13);
    QCOMPARE(undo->text(), QStringLiteral("&Undo Remove record message"));
    QVERIFY(h.window.isWindowModified());
    QTest::keyClick(&h.window, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.window.tree().count(), 15);
    QCOMPARE(voiceFile("8_"), QStringLiteral("mainmessage.wav"));
    QVERIFY(!h.window.isWindowModified());
    QCOMPARE(redo->text(), QStringLiteral("&Redo Remove record message"));
    QTest::keyClick(&h.window, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.window.tree().count(), 13);
    QTest::keyClick(&h.window, Qt::Key_Z, Qt::ControlModifier);
    // The node shown, dropped elsewhere, back and there again: the grid follows its row.
    h.select("8_");
    auto *grid = h.child<QTableWidget>("fg2");
    h.window.findChild<editor::FlowEditor *>()->dropNode(h.window.tree().findKey("8_"),
                                                          h.window.tree().findKey("17_"));
    QCOMPARE(h.window.findChild<properties::PropertyGrid *>()->node()->parentKey, "17_");
    undo->trigger();
    redo->trigger();
    QCOMPARE(h.window.tree().findKey("8_")->parent->key, QStringLiteral("17_"));
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("mainmessage.wav"));
    undo->trigger();

    // A value typed in the grid: its undo writes the former value back and shows it.
    h.select("2_");
    grid->setCurrentCell(1, 1);
    QTest::keyClicks(grid, "h");
    QTest::keyClicks(h.child("txtedit"), "i.wav");
    h.select("6_");
    QCOMPARE(voiceFile("2_"), QStringLiteral("hi.wav"));
    QVERIFY(undo->text().startsWith("&Undo Change "));
    h.select("2_");
    undo->trigger();
    QCOMPARE(voiceFile("2_"), QStringLiteral("defaultgreeting.wav"));
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("defaultgreeting.wav"));
    QTest::keyClick(&h.window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(voiceFile("2_"), QStringLiteral("hi.wav"));
    QVERIFY(h.window.isWindowModified());

    // A save is the new unchanged state; a generation keeps the mark but no steps.
    h.trigger("mnuFilSave");
    QVERIFY(!h.window.isWindowModified());
    undo->trigger();
    QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join(u'|')));
    QVERIFY(h.window.isWindowModified());
    h.window.generate(codegen::GenerationTarget::WteTts);
    QVERIFY(h.window.isWindowModified());
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
