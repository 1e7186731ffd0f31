#include "support/fakesoundplayer.h"
#include "support/fakespeechengine.h"
#include "support/fakeuserprompts.h"

#include "app/speechcontroller.h"
#include "model/appdata.h"
#include "model/currentflow.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "properties/propertygrid.h"

#include <QAction>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const model::NodeIdentity kHangup{"9_", "14_", "hangup", 1, 2};
const model::NodeIdentity kGreeting{"1_", "2_", "play main greetings", 1, 2};
const model::NodeIdentity kOption{"5_", "6_", "get option digits", 1, 2};

// Notes the caption of PlayWave at the moment a sound starts.
class CaptionProbe final : public speech::SoundPlayer
{
public:
    QPointer<QAbstractButton> button;
    QStringList played;
    QStringList captionsWhilePlaying;
    int stops = 0;

    void play(const QString &path) override
    {
        played << path;
        captionsWhilePlaying << (button ? button->text() : QString());
    }
    void stop() override { ++stops; }
};
} // namespace

class TestSpeechController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void playTextCaptionsFollowSpeech();
    void playTextWithoutPromptSaysNothing();
    void speakTextOfEmptyTextSaysReminder();
    void selectVoiceAsksForRankList();
    void nodeVoiceFileCaptionSequence();
    void soundOffPlaysNoNodeVoiceFile();
    void gridPlayback_data();
    void gridPlayback();
    void gridClickPlaysVoiceFile();
    void command4TwiceAndMenus();
    void unavailableSpeechIsToldOnce();
    void unavailableSoundIsToldOnce();

private:
    void setPrompt(const model::NodeIdentity &node, const QVariant &prompt);

    std::unique_ptr<QTemporaryDir> m_dir;
    model::CurrentFlow m_current;
    FakeUserPrompts m_prompts;
    FakeSpeechEngine m_speech;
    CaptionProbe m_sound;
    std::unique_ptr<QWidget> m_window;
    properties::PropertyGrid *m_grid = nullptr;
    QPushButton *m_playtext = nullptr;
    QPushButton *m_narration = nullptr;
    QPushButton *m_playWave = nullptr;
    QPushButton *m_command4 = nullptr;
    QAction *m_soundOnAction = nullptr;
    QAction *m_soundOffAction = nullptr;
    std::unique_ptr<app::SpeechController> m_controller;
};

void TestSpeechController::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(model::initialiseData(m_dir->path()).flowOk);
    m_current = {model::demoflow::path(m_dir->path()), model::demoflow::tableName()};
    m_speech.spoken.clear();
    m_speech.voiceRequests.clear();
    m_speech.stops = 0;
    m_speech.available = true;
    m_speech.finish();
    m_sound.played.clear();
    m_sound.captionsWhilePlaying.clear();
    m_sound.stops = 0;

    m_window = std::make_unique<QWidget>();
    m_grid = new properties::PropertyGrid(m_current, m_prompts, m_window.get());
    m_playtext = new QPushButton(QStringLiteral("Play TTS File"), m_window.get());
    m_narration =
        new QPushButton(QStringLiteral("Voice the application to be generated"), m_window.get());
    m_playWave = new QPushButton(QStringLiteral("Play Wave File"), m_window.get());
    m_command4 = new QPushButton(QStringLiteral("Play Sound On"), m_window.get());
    m_soundOnAction = new QAction(QStringLiteral("Sound On"), m_window.get());
    m_soundOffAction = new QAction(QStringLiteral("Sound Off"), m_window.get());
    m_sound.button = m_playWave;
    m_controller = std::make_unique<app::SpeechController>(m_dir->path(), m_speech, m_sound);
    m_controller->attach(m_playtext, m_narration, m_playWave, m_command4, m_soundOnAction,
                         m_soundOffAction, m_grid);
}

void TestSpeechController::cleanup()
{
    m_controller.reset();
    m_window.reset();
    m_dir.reset();
}

void TestSpeechController::setPrompt(const model::NodeIdentity &node, const QVariant &prompt)
{
    model::FlowStore store(m_current.databasePath, m_current.table);
    QString error;
    QVERIFY2(store.updateRow(node, {{QStringLiteral("prompttxt"), prompt}}, &error),
             qPrintable(error));
}

void TestSpeechController::playTextCaptionsFollowSpeech()
{
    setPrompt(kHangup, QStringLiteral("Thank you for calling."));
    m_grid->loadNode(kHangup);
    QTest::mouseClick(m_playtext, Qt::LeftButton);
    QCOMPARE(m_speech.spoken, QStringList{QStringLiteral("Thank you for calling.")});
    QCOMPARE(m_playtext->text(), QStringLiteral("Stop Play TTS File"));
    QCOMPARE(m_narration->text(), QStringLiteral("stop saying application flow"));
    QVERIFY(m_controller->isSpeaking());
    QCOMPARE(m_speech.stops, 0);

    // The second click stops speech.
    QTest::mouseClick(m_playtext, Qt::LeftButton);
    QCOMPARE(m_speech.stops, 1);
    QCOMPARE(m_speech.spoken.size(), 1);
    QCOMPARE(m_playtext->text(), QStringLiteral("Play TTS File"));
    QCOMPARE(m_narration->text(), QStringLiteral("Tell me application flow"));

    // Speech that ends by itself gives the idle captions back.
    QTest::mouseClick(m_playtext, Qt::LeftButton);
    QCOMPARE(m_speech.spoken.size(), 2);
    QCOMPARE(m_playtext->text(), QStringLiteral("Stop Play TTS File"));
    m_speech.finish();
    QCOMPARE(m_playtext->text(), QStringLiteral("Play TTS File"));
    QCOMPARE(m_narration->text(), QStringLiteral("Tell me application flow"));
    QCOMPARE(m_speech.stops, 1);
}

void TestSpeechController::playTextWithoutPromptSaysNothing()
{
    // No node shown yet.
    QTest::mouseClick(m_playtext, Qt::LeftButton);
    setPrompt(kHangup, QVariant());
    m_grid->loadNode(kHangup);
    QTest::mouseClick(m_playtext, Qt::LeftButton);
    setPrompt(kHangup, QString());
    m_grid->loadNode(kHangup);
    QTest::mouseClick(m_playtext, Qt::LeftButton);
    QVERIFY(m_speech.spoken.isEmpty());
    QCOMPARE(m_playtext->text(), QStringLiteral("Play TTS File"));
    QCOMPARE(m_narration->text(), QStringLiteral("Voice the application to be generated"));
}

void TestSpeechController::speakTextOfEmptyTextSaysReminder()
{
    m_controller->speakText(QString());
    m_controller->speakText(QStringLiteral("Welcome."));
    QCOMPARE(m_speech.spoken,
             (QStringList{"You must load a text file or type something in this box.",
                          "Welcome."}));
    m_controller->stopSpeaking();
    QVERIFY(!m_controller->isSpeaking());
}

void TestSpeechController::selectVoiceAsksForRankList()
{
    m_controller->selectVoice();
    QCOMPARE(m_speech.voiceRequests, QStringList{QStringLiteral("Mfg=Microsoft;Gender=0")});
}

void TestSpeechController::nodeVoiceFileCaptionSequence()
{
    QCOMPARE(m_playWave->text(), QStringLiteral("Play Wave File"));
    // The first selection only sets the caption and silences any sound.
    m_grid->loadNode(kHangup);
    m_controller->playNodeVoiceFile();
    QCOMPARE(m_playWave->text(), QStringLiteral("Play Voice File"));
    QVERIFY(m_sound.played.isEmpty());
    QCOMPARE(m_sound.stops, 1);

    // Every later selection plays its node's file, showing "Stop Voice File" meanwhile.
    m_grid->loadNode(kGreeting);
    m_controller->playNodeVoiceFile();
    m_grid->loadNode(kHangup);
    m_controller->playNodeVoiceFile();
    QCOMPARE(m_sound.played, (QStringList{m_dir->path() + "/waves/defaultgreeting.wav",
                                          m_dir->path() + "/waves/goodbye.wav"}));
    QCOMPARE(m_sound.captionsWhilePlaying,
             (QStringList{"Stop Voice File", "Stop Voice File"}));
    QCOMPARE(m_playWave->text(), QStringLiteral("Play Voice File"));
    QCOMPARE(m_sound.stops, 1);
}

void TestSpeechController::soundOffPlaysNoNodeVoiceFile()
{
    m_grid->loadNode(kHangup);
    m_controller->playNodeVoiceFile();
    m_soundOffAction->trigger();
    m_grid->loadNode(kGreeting);
    m_controller->playNodeVoiceFile();
    QVERIFY(m_sound.played.isEmpty());
    m_soundOnAction->trigger();
    m_controller->playNodeVoiceFile();
    QCOMPARE(m_sound.played, QStringList{m_dir->path() + "/waves/defaultgreeting.wav"});
    // A node without a voice-file row plays nothing.
    m_grid->loadNode({"0_", "99_", "unknown", 1, 2});
    m_controller->playNodeVoiceFile();
    QCOMPARE(m_sound.played.size(), 1);
}

void TestSpeechController::gridPlayback_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<bool>("plays");
    QTest::newRow("wav, sound on") << "intro.wav" << true << true;
    QTest::newRow("wav, sound off") << "intro.wav" << false << false;
    QTest::newRow("WAV") << "intro.WAV" << true << false;
    QTest::newRow("Wav") << "intro.Wav" << true << false;
    QTest::newRow("prompt text") << "Type text to be spoken here." << true << false;
    QTest::newRow("wav inside") << "intro.wav.txt" << true << false;
    QTest::newRow("bare extension") << ".wav" << true << true;
}

void TestSpeechController::gridPlayback()
{
    QFETCH(QString, text);
    QFETCH(bool, soundOn);
    QFETCH(bool, plays);
    m_controller->setSoundOn(soundOn);
    m_controller->playFromGrid(text);
    QCOMPARE(m_sound.played,
             plays ? QStringList{m_dir->path() + "/waves/" + text} : QStringList());
}

void TestSpeechController::gridClickPlaysVoiceFile()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_grid->loadNode(kOption);
    auto *fg2 = m_grid->findChild<QTableWidget *>(QStringLiteral("fg2"));
    QVERIFY(fg2);
    auto click = [fg2](int row) {
        QTest::mouseClick(fg2->viewport(), Qt::LeftButton, {},
                          fg2->visualItemRect(fg2->item(row, 1)).center());
    };
    // The demonstration "get option digits" node has ".wav"; InputTerm "#" is no file.
    click(6);
    QVERIFY(m_sound.played.isEmpty());
    click(1);
    QCOMPARE(m_sound.played, QStringList{m_dir->path() + "/waves/.wav"});
    m_grid->loadNode(kHangup);
    m_command4->click();
    click(1);
    QCOMPARE(m_sound.played.size(), 1);
    m_command4->click();
    click(2);
    click(1);
    QCOMPARE(m_sound.played.last(), m_dir->path() + "/waves/goodbye.wav");
    QCOMPARE(m_sound.played.size(), 2);
}

void TestSpeechController::command4TwiceAndMenus()
{
    QVERIFY(m_controller->soundOn());
    QCOMPARE(m_command4->text(), QStringLiteral("Play Sound On"));
    m_command4->click();
    QVERIFY(!m_controller->soundOn());
    QCOMPARE(m_command4->toolTip(), QStringLiteral("Play Sound OFF"));
    m_command4->click();
    QVERIFY(m_controller->soundOn());
    QCOMPARE(m_command4->toolTip(), QStringLiteral("Play Sound ON"));

    m_soundOffAction->trigger();
    QVERIFY(!m_controller->soundOn());
    QCOMPARE(m_command4->toolTip(), QStringLiteral("Play Sound OFF"));
    m_soundOffAction->trigger();
    QVERIFY(!m_controller->soundOn());
    m_soundOnAction->trigger();
    QVERIFY(m_controller->soundOn());
    QCOMPARE(m_command4->toolTip(), QStringLiteral("Play Sound ON"));
    QCOMPARE(m_command4->text(), QStringLiteral("Play Sound On"));
}

void TestSpeechController::unavailableSpeechIsToldOnce()
{
    QSignalSpy status(m_controller.get(), &app::SpeechController::statusMessage);
    m_speech.available = false;
    m_controller->selectVoice();
    m_controller->speakText(QStringLiteral("one"));
    setPrompt(kHangup, QStringLiteral("two"));
    m_grid->loadNode(kHangup);
    QTest::mouseClick(m_playtext, Qt::LeftButton);
    Q_EMIT m_speech.unavailable(QStringLiteral("no audio device"));
    QCOMPARE(status.count(), 1);
    QVERIFY(status.at(0).at(0).toString().startsWith(QStringLiteral("Speech is not available")));
    QVERIFY(m_speech.spoken.isEmpty());
    QVERIFY(m_speech.voiceRequests.isEmpty());
    QCOMPARE(m_playtext->text(), QStringLiteral("Play TTS File"));
}

void TestSpeechController::unavailableSoundIsToldOnce()
{
    QSignalSpy status(m_controller.get(), &app::SpeechController::statusMessage);
    Q_EMIT m_sound.unavailable(QStringLiteral("no audio output device was found"));
    Q_EMIT m_sound.unavailable(QStringLiteral("again"));
    Q_EMIT m_speech.unavailable(QStringLiteral("no engine"));
    QCOMPARE(status.count(), 2);
    QCOMPARE(status.at(0).at(0).toString(),
             QStringLiteral("Sound is not available on this computer: "
                            "no audio output device was found"));
    QCOMPARE(status.at(1).at(0).toString(),
             QStringLiteral("Speech is not available on this computer: no engine"));
}

QTEST_MAIN(TestSpeechController)
#include "tst_speechcontroller.moc"
