#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "fakesoundplayer.h"
#include "fakespeechengine.h"
#include "fakeuserprompts.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "filesnapshot.h"
#include <QTimer>
#include <QTextEdit>
#include <QTreeView>

#include "editor/floweditor.h"

namespace {
template<typename T>
T *child(QWidget *w, const QString &name, int index = -1)
{
    const auto all = w->findChildren<T *>(name);
    for (T *c : all) {
        if (index < 0 || c->property("index").toInt() == index)
            return c;
    }
    return nullptr;
}

struct Harness
{
    explicit Harness(const QString &dir)
        : window({dir, prompts, speech, sound})
    {
    }
    FakeUserPrompts prompts;
    FakeSpeechEngine speech;
    FakeSoundPlayer sound;
    app::MainWindow window;
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartShowsTheDemonstrationFlow();
    void secondStartChangesNoFile();
    void controlsCaptionsAndMenus();
    void flowButtonsFollowStartUp();
    void notADatabaseIsReportedOnce();
    void missingFolderIsReported();
    void statusIndicatorRunsOnTheTimer();
    void voiceXmlIsComingSoon();
    void aboutBoxIsModeless();
    void generationShowsThePageOnTheCodeTab();
    void narrationSpeaksAndTheButtonStopsIt();
    void failedGenerationSaysWhyAndKeepsThePage();
    void selectingANodeFillsTheGridAndPlays();
    void recordKeysReachTheMemberSection();
    void dropReportShowsOneLineUntilCleared();
};

void TestMainWindow::firstStartShowsTheDemonstrationFlow()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join(u'|')));
    for (const char *name : {"memberDB.mdb", "SystemDB.mdb", "callflow.mdb"})
        QVERIFY(QFile::exists(dir.filePath(QLatin1String(name))));
    QVERIFY(QFileInfo(dir.filePath("waves")).isDir());
    QVERIFY(QFileInfo(dir.filePath("mboxes")).isDir());
    QCOMPARE(h.window.tree().count(), 15);
    QCOMPARE(h.window.tree().node(1)->text, QStringLiteral("answer call"));
    QCOMPARE(child<QLabel>(&h.window, "Label1")->text(),
             QStringLiteral("Demo call Flow file callflow.mdb was created and loaded"));
    auto *grid = child<QTableWidget>(&h.window, "fg2");
    QVERIFY(grid);
    auto cell = [grid](int r, int c) {
        QTableWidgetItem *item = grid->item(r, c);
        return item ? item->text() : QString();
    };
    QCOMPARE(cell(0, 0), QStringLiteral("Property"));
    QCOMPARE(cell(0, 1), QStringLiteral("Settings"));
    for (int r = 1; r < grid->rowCount(); ++r) {
        QCOMPARE(cell(r, 0), QString());
        QCOMPARE(cell(r, 1), QString());
    }
    QCOMPARE(h.window.currentFlow().table, QStringLiteral("nodesflow"));
    QCOMPARE(QFileInfo(h.window.currentFlow().databasePath).fileName(), QStringLiteral("callflow.mdb"));
    QCOMPARE(h.window.windowTitle(), app::MainWindow::title());
    QCOMPARE(child<QTabWidget>(&h.window, "SSTab1")->currentIndex(), 0);
    QCOMPARE(h.speech.voiceRequests, QStringList{"Mfg=Microsoft;Gender=0"});
    QCOMPARE(child<QLabel>(&h.window, "lblStatus")->text(), QStringLiteral("Member: 1"));
    QCOMPARE(child<QWidget>(&h.window, "cmdChild", 5)->toolTip(), QStringLiteral("get option Digits"));
    QCOMPARE(child<QWidget>(&h.window, "cmdChild", 9)->toolTip(), QStringLiteral("Delete recorded message"));
}

void TestMainWindow::secondStartChangesNoFile()
{
    QTemporaryDir dir;
    {
        Harness first(dir.path());
        first.window.startUp();
    }
    const auto before = fileSnapshot(dir.path());
    QTest::qWait(20);
    Harness second(dir.path());
    second.window.startUp();
    QCOMPARE(second.window.tree().count(), 15);
    QCOMPARE(fileSnapshot(dir.path()), before);
}

void TestMainWindow::controlsCaptionsAndMenus()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    const QStringList generate{"Create Wave Wte Code", "Create TTS Wte Code", "Create CallXML Code",
                               "Voice the application to be generated"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(child<QPushButton>(&h.window, "Command1", i)->text(), generate[i]);
    QCOMPARE(child<QPushButton>(&h.window, "Command1", 3)->toolTip(), QStringLiteral("This will speak the call flow"));
    const QList<QPair<const char *, const char *>> captions{
        {"Command2", "Create Voicexml Code"}, {"Command3", "Create New"}, {"Command4", "Play Sound On"},
        {"PlayWave", "Play Wave File"}, {"Playtext", "Play TTS File"}, {"cmdLoad", "Load Flow"},
        {"cmdSave", "Save to Table"}, {"cmdClear", "Clear Flow"}, {"cmdRemove", "Remove"}};
    for (const auto &[name, caption] : captions) {
        auto *button = child<QAbstractButton>(&h.window, QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->text(), QLatin1String(caption));
    }
    QCOMPARE(child<QPushButton>(&h.window, "PlayWave")->toolTip(), QStringLiteral("This will play the wave file"));
    QCOMPARE(child<QPushButton>(&h.window, "Playtext")->toolTip(), QStringLiteral("This will play the text file"));
    QCOMPARE(child<QLabel>(&h.window, "Label7")->text(),
             QStringLiteral("Click the call function below to set properties here  ----------------->"));
    QCOMPARE(child<QLabel>(&h.window, "Label9")->text(), QStringLiteral("Sound On/Off"));
    QCOMPARE(child<QLabel>(&h.window, "Label2")->text(), QStringLiteral("Member Information"));
    QCOMPARE(child<QLabel>(&h.window, "Label3")->text(), QStringLiteral("Application's Wave Files"));
    QVERIFY(child<QTreeView>(&h.window, "TreeView1"));
    QVERIFY(child<QTableWidget>(&h.window, "fg3"));
    QCOMPARE(h.window.findChildren<QWidget *>("cmdChild").size(), 14);

    QStringList menus;
    for (QAction *a : h.window.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList{"Call F&low", "&Generate Code", "Soun&d", "Help"}));
    const QList<QPair<const char *, const char *>> items{
        {"mnuFileNew", "&New"}, {"mnuFileLoad", "&Load"}, {"mnuFileClear", "&Clear"},
        {"mnuFilSave", "&Save"}, {"mnuCut", "C&ut"}, {"mnuWteWave", "&WteWave"},
        {"mnuWteTTS", "Wte&TTS"}, {"mnuCallXml", "Call&xml"}, {"mnuVoiceXml", "&VoiceXml"},
        {"mnuSoundOn", "Sound On"}, {"mnuSoundOff", "Sound Off"}, {"mnuAbout", "&About"}};
    for (const auto &[name, caption] : items) {
        auto *action = h.window.findChild<QAction *>(QLatin1String(name));
        QVERIFY2(action, name);
        QCOMPARE(action->text(), QLatin1String(caption));
    }
}

void TestMainWindow::flowButtonsFollowStartUp()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    // After start-up every flow command is on except the save button.
    QVERIFY(!child<QWidget>(&h.window, "cmdSave")->isEnabled());
    for (const char *name : {"cmdClear", "cmdRemove", "Playtext", "Command2"})
        QVERIFY2(child<QWidget>(&h.window, QLatin1String(name))->isEnabled(), name);
    for (int i = 0; i < 4; ++i)
        QVERIFY(child<QWidget>(&h.window, "Command1", i)->isEnabled());
    h.window.disableFlowButtons();
    for (const char *name : {"cmdSave", "cmdClear", "cmdRemove", "Playtext", "Command2"})
        QVERIFY2(!child<QWidget>(&h.window, QLatin1String(name))->isEnabled(), name);
    QVERIFY(!child<QWidget>(&h.window, "Command1", 3)->isEnabled());
    // the commands that need no flow stay usable
    QVERIFY(child<QWidget>(&h.window, "cmdLoad")->isEnabled());
    QVERIFY(child<QWidget>(&h.window, "Command3")->isEnabled());
    h.window.enableFlowButtons();
    QVERIFY(!child<QWidget>(&h.window, "cmdSave")->isEnabled());
    QVERIFY(child<QWidget>(&h.window, "cmdRemove")->isEnabled());
}

void TestMainWindow::notADatabaseIsReportedOnce()
{
    QTemporaryDir dir;
    QFile f(dir.filePath("callflow.mdb"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("hello");
    f.close();
    Harness h(dir.path());
    h.window.startUp();
    QCOMPARE(h.prompts.messages.size(), 1);
    QVERIFY(h.prompts.messages[0].contains(QStringLiteral("callflow.mdb")));
    QVERIFY(h.prompts.messages[0].contains(QStringLiteral("not a database")));
    QCOMPARE(h.window.tree().count(), 0);
    QVERIFY(!h.window.currentFlow().isSet());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("hello"));
    // the rest of start-up went on
    QCOMPARE(child<QLabel>(&h.window, "lblStatus")->text(), QStringLiteral("Member: 1"));
}

void TestMainWindow::missingFolderIsReported()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("gone");
    Harness h(missing);
    h.window.startUp();
    QCOMPARE(h.prompts.messages.size(), 1);
    QVERIFY(h.prompts.messages[0].contains(QDir::toNativeSeparators(missing)));
    QCOMPARE(h.window.tree().count(), 0);
}

void TestMainWindow::statusIndicatorRunsOnTheTimer()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    auto *timer = h.window.findChild<QTimer *>("Timer1");
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 720);
    auto *panel = child<QLabel>(&h.window, "sbStatusBarPanel1");
    h.window.timerTick();
    QCOMPARE(panel->text(), QStringLiteral("Running"));
    for (int i = 0; i < 6; ++i)
        h.window.timerTick();
    QCOMPARE(panel->text(), QStringLiteral("Running . . . . . ."));
    h.window.timerTick();
    QCOMPARE(panel->text(), QStringLiteral("Running ."));
}

void TestMainWindow::voiceXmlIsComingSoon()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    child<QPushButton>(&h.window, "Command2")->click();
    h.window.findChild<QAction *>("mnuVoiceXml")->trigger();
    QCOMPARE(h.prompts.messages, (QStringList{"coming soon", "coming soon"}));
}

void TestMainWindow::aboutBoxIsModeless()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    h.window.findChild<QAction *>("mnuAbout")->trigger();
    auto *about = h.window.findChild<app::AboutBox *>("frmAbout");
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QVERIFY(app::AboutBox::versionText().contains(QStringLiteral("1.0")));
    QVERIFY(app::AboutBox::systemInformation(dir.path()).contains(QStringLiteral("QSQLITE")));
    // opening it again raises the same box
    h.window.findChild<QAction *>("mnuAbout")->trigger();
    QCOMPARE(h.window.findChildren<app::AboutBox *>().size(), 1);
}

void TestMainWindow::generationShowsThePageOnTheCodeTab()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    child<QPushButton>(&h.window, "Command1", 1)->click();
    QVERIFY(QFile::exists(dir.filePath("callTTS.asp")));
    QVERIFY(QFile::exists(dir.filePath("RemoteTTS.asp")));
    QCOMPARE(child<QTabWidget>(&h.window, "SSTab1")->currentIndex(), 1);
    QCOMPARE(h.prompts.messages, QStringList{"Code generated: CallTTS.asp and RemoteTTS.asp"});
    auto *viewer = child<QTextEdit>(&h.window, "rtfText");
    QVERIFY(viewer->toPlainText().startsWith(QStringLiteral("<% '-----------------------answercall")));
    QCOMPARE(child<QLabel>(&h.window, "Label5")->text(), QStringLiteral("Done"));
    QVERIFY(child<QLabel>(&h.window, "Label6")->text().endsWith(QStringLiteral("callTTS.asp")));
    QVERIFY(h.speech.spoken.isEmpty());

    h.prompts.messages.clear();
    h.window.findChild<QAction *>("mnuCallXml")->trigger();
    QCOMPARE(h.prompts.messages, QStringList{"Code generated: CallXml.asp"});
    QVERIFY(viewer->toPlainText().startsWith(QStringLiteral("<?xml")));
}

void TestMainWindow::narrationSpeaksAndTheButtonStopsIt()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    auto *narrate = child<QPushButton>(&h.window, "Command1", 3);
    narrate->click();
    QVERIFY(QFile::exists(dir.filePath("callTTS.asp")));
    QCOMPARE(child<QTabWidget>(&h.window, "SSTab1")->currentIndex(), 0); // nothing shown
    QVERIFY(h.speech.spoken.size() > 4);
    QCOMPARE(h.speech.spoken.first(), QStringLiteral("Thank you for using this rapid applicaton development tool."));
    QCOMPARE(h.speech.spoken.last(), QStringLiteral("Then it will finally hangup the call."));
    QCOMPARE(narrate->text(), QStringLiteral("stop saying application flow"));
    QCOMPARE(child<QPushButton>(&h.window, "Playtext")->text(), QStringLiteral("Stop Play TTS File"));
    // while speech runs, the same button only stops it
    const int spoken = h.speech.spoken.size();
    narrate->click();
    QCOMPARE(h.speech.spoken.size(), spoken);
    QCOMPARE(h.speech.stops, 1);
    QCOMPARE(narrate->text(), QStringLiteral("Tell me application flow"));
    // and once idle, a new narration starts again from the root
    narrate->click();
    QCOMPARE(h.speech.spoken.size(), 2 * spoken);
    QCOMPARE(h.speech.spoken.at(spoken), h.speech.spoken.first());
}

void TestMainWindow::failedGenerationSaysWhyAndKeepsThePage()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    h.window.generate(QStringLiteral("wteWave"));
    QFile page(dir.filePath("callWave.asp"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray before = page.readAll();
    page.close();
    h.window.tree().clear();
    h.prompts.messages.clear();
    h.window.generate(QStringLiteral("wteWave"));
    QCOMPARE(h.prompts.messages.size(), 1);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QCOMPARE(page.readAll(), before);
}

void TestMainWindow::selectingANodeFillsTheGridAndPlays()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.startUp();
    auto *editor = h.window.findChild<editor::FlowEditor *>();
    QVERIFY(editor);
    auto *grid = child<QTableWidget>(&h.window, "fg2");
    editor->selectNodeAt(h.window.tree().findKey(QStringLiteral("8_")));
    QCOMPARE(child<QLabel>(&h.window, "Label1")->text(),
             QStringLiteral("This will record voice message for the user id entered."));
    QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("voicefile"));
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("mainmessage.wav"));
    QCOMPARE(grid->item(5, 0)->text(), QStringLiteral("MaxReclen"));
    QCOMPARE(grid->item(5, 1)->text(), QStringLiteral("60"));
    // the first selection only sets the caption; the next one plays
    QVERIFY(h.sound.played.isEmpty());
    editor->selectNodeAt(h.window.tree().findKey(QStringLiteral("2_")));
    QCOMPARE(h.sound.played, QStringList{dir.path() + "/waves/defaultgreeting.wav"});
}

void TestMainWindow::recordKeysReachTheMemberSection()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    h.window.startUp();
    auto *status = child<QLabel>(&h.window, "lblStatus");
    QTest::keyClick(&h.window, Qt::Key_End);
    QCOMPARE(status->text(), QStringLiteral("Member: 4"));
    QTest::keyClick(&h.window, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(status->text(), QStringLiteral("Member: 3"));
    QTest::keyClick(&h.window, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(status->text(), QStringLiteral("Member: 1"));
    QTest::keyClick(&h.window, Qt::Key_PageDown);
    QCOMPARE(status->text(), QStringLiteral("Member: 2"));
}

void TestMainWindow::dropReportShowsOneLineUntilCleared()
{
    QTemporaryDir dir;
    Harness h(dir.path());
    h.window.show();
    h.window.startUp();
    auto *editor = h.window.findChild<editor::FlowEditor *>();
    auto *report = child<QLabel>(&h.window, "dropReport");
    model::FlowTree &tree = h.window.tree();
    editor->dropNode(tree.findKey(QStringLiteral("8_")), tree.findKey(QStringLiteral("17_")));
    QVERIFY(report->isVisible());
    QCOMPARE(report->text(), QStringLiteral("get password digits is parent of record message"));
    QCOMPARE(report->parentWidget(), &h.window);
    QVERIFY(report->y() < 40 && report->x() < 10);
    editor->dropNode(tree.findKey(QStringLiteral("16_")), tree.findKey(QStringLiteral("1_")));
    QCOMPARE(report->text(), QStringLiteral("answer call is parent of get user id digits"));
    h.window.findChild<QAction *>("mnuFileClear")->trigger();
    QVERIFY(!report->isVisible());
    QCOMPARE(tree.count(), 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
