#include "speech/qtsoundplayer.h"
#include "speech/qtspeechengine.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The real engines on whatever this machine offers: with or without an audio device they
// must neither crash nor hang, and must say when they cannot work.
class TestQtSpeech : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void chooseEngine_data();
    void chooseEngine();
    void speechEndsOrIsUnavailable();
    void queuedSpeechStopsAtOnce();
    void missingEngineSpeaksNothing();
    void soundPlaysAndReplaces();

private:
    QTemporaryDir m_dir;
};

void TestQtSpeech::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestQtSpeech::chooseEngine_data()
{
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("both, speechd first") << QStringList{"speechd", "flite"} << "flite";
    QTest::newRow("both, flite first") << QStringList{"flite", "speechd"} << "flite";
    QTest::newRow("speechd only") << QStringList{"speechd"} << "speechd";
    QTest::newRow("mock is no engine") << QStringList{"mock"} << QString();
    QTest::newRow("none") << QStringList{} << QString();
}

void TestQtSpeech::chooseEngine()
{
    QFETCH(QStringList, offered);
    QFETCH(QString, chosen);
    QCOMPARE(speech::QtSpeechEngine::chooseEngine(offered), chosen);
}

void TestQtSpeech::speechEndsOrIsUnavailable()
{
    speech::QtSpeechEngine engine;
    QSignalSpy started(&engine, &speech::SpeechEngine::speakingStarted);
    QSignalSpy done(&engine, &speech::SpeechEngine::speakingDone);
    QSignalSpy unavailable(&engine, &speech::SpeechEngine::unavailable);
    engine.selectVoice(QStringLiteral("Mfg=Microsoft;Gender=0"));
    const bool available = engine.isAvailable();
    engine.say(QStringLiteral("Hello."));
    QTRY_VERIFY_WITH_TIMEOUT(!engine.isSpeaking(), 15000);
    QCOMPARE(started.count(), done.count());
    if (!available) {
        QCOMPARE(started.count(), 0);
        QCOMPARE(unavailable.count(), 1);
        engine.say(QStringLiteral("Again."));
        QCOMPARE(unavailable.count(), 1);
        QVERIFY(!engine.isSpeaking());
    }
}

void TestQtSpeech::queuedSpeechStopsAtOnce()
{
    speech::QtSpeechEngine engine;
    QSignalSpy started(&engine, &speech::SpeechEngine::speakingStarted);
    QSignalSpy done(&engine, &speech::SpeechEngine::speakingDone);
    engine.say(QStringLiteral("One sentence that takes a while to say."));
    engine.say(QStringLiteral("Another one."));
    engine.stop();
    QVERIFY(!engine.isSpeaking());
    QCOMPARE(started.count(), done.count());
    // Nothing queued comes back after the stop.
    QTest::qWait(300);
    QVERIFY(!engine.isSpeaking());
    QCOMPARE(started.count(), done.count());
}

void TestQtSpeech::missingEngineSpeaksNothing()
{
    speech::QtSpeechEngine engine(QStringLiteral("no-such-engine"));
    QSignalSpy started(&engine, &speech::SpeechEngine::speakingStarted);
    QSignalSpy unavailable(&engine, &speech::SpeechEngine::unavailable);
    QVERIFY(!engine.isAvailable());
    engine.selectVoice(QStringLiteral("Gender=1"));
    engine.say(QStringLiteral("Hello."));
    engine.say(QStringLiteral("Hello again."));
    engine.stop();
    QVERIFY(!engine.isSpeaking());
    QCOMPARE(started.count(), 0);
    QCOMPARE(unavailable.count(), 1);
}

void TestQtSpeech::soundPlaysAndReplaces()
{
    const QString wave = m_dir.filePath(QStringLiteral("hello.wav"));
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (!espeak.isEmpty())
        QProcess::execute(espeak, {QStringLiteral("-w"), wave, QStringLiteral("Hello.")});
    speech::QtSoundPlayer player;
    QSignalSpy unavailable(&player, &speech::SoundPlayer::unavailable);
    QElapsedTimer timer;
    timer.start();
    player.play(wave);
    player.play(m_dir.filePath(QStringLiteral("missing.wav")));
    player.play(wave);
    // play() hands over and returns: it never waits for the sound.
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(player.currentPath(), wave);
    QTest::qWait(500);
    player.stop();
    player.stop();
    QVERIFY(unavailable.count() <= 1);
    if (QMediaDevices::audioOutputs().isEmpty())
        QCOMPARE(unavailable.count(), 1);
}

QTEST_MAIN(TestQtSpeech)
#include "tst_qtspeech.moc"
