#include "speech/qtsoundplayer.h"
#include "speech/qtspeechengine.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The real engines on whatever this machine offers: with or without an audio device they
// must neither block nor crash, and must say when they cannot work.
class TestSpeech : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chooseEngine()
    {
        // flite, which needs no daemon, before speechd; the test engine "mock" never.
        using speech::QtSpeechEngine;
        QCOMPARE(QtSpeechEngine::chooseEngine({"speechd", "flite"}), QStringLiteral("flite"));
        QCOMPARE(QtSpeechEngine::chooseEngine({"speechd"}), QStringLiteral("speechd"));
        QVERIFY(QtSpeechEngine::chooseEngine({"mock"}).isEmpty());
    }

    void speechStopsAtOnceOrSaysItIsUnavailable()
    {
        for (const QString &name : {QString(), QStringLiteral("no-such-engine")}) {
            speech::QtSpeechEngine engine(name);
            QSignalSpy started(&engine, &speech::SpeechEngine::speakingStarted);
            QSignalSpy done(&engine, &speech::SpeechEngine::speakingDone);
            QSignalSpy unavailable(&engine, &speech::SpeechEngine::unavailable);
            const bool available = engine.isAvailable();
            engine.selectVoice(QStringLiteral("Mfg=Microsoft;Gender=0"));
            engine.say(QStringLiteral("One sentence that takes a while to say."));
            engine.say(QStringLiteral("Another one."));
            engine.stop();
            QVERIFY(!engine.isSpeaking());
            QTest::qWait(300); // nothing queued comes back after the stop
            QVERIFY(!engine.isSpeaking());
            QCOMPARE(started.count(), done.count());
            QCOMPARE(unavailable.count(), available ? unavailable.count() : 1);
        }
    }

    void soundReturnsAtOnce()
    {
        QTemporaryDir dir;
        const QString wave = dir.filePath(QStringLiteral("hello.wav"));
        const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
        if (!espeak.isEmpty())
            QProcess::execute(espeak, {QStringLiteral("-w"), wave, QStringLiteral("Hello.")});
        speech::QtSoundPlayer player;
        QSignalSpy unavailable(&player, &speech::SoundPlayer::unavailable);
        QElapsedTimer timer;
        timer.start();
        player.play(wave);
        player.play(dir.filePath(QStringLiteral("missing.wav")));
        player.play(wave);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(player.currentPath(), wave);
        QTest::qWait(300);
        player.stop();
        QVERIFY(unavailable.count() <= 1);
        if (QMediaDevices::audioOutputs().isEmpty())
            QCOMPARE(unavailable.count(), 1);
    }
};

QTEST_MAIN(TestSpeech)
#include "tst_speech.moc"
