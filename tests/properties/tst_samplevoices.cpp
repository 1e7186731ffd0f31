#include "properties/samplevoices.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestSampleVoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesAreThoseOfTheDemonstrationFlow();
    void makesMissingRecordingsAndKeepsTheUsers();
    void missingSynthesiserMakesNothing();
    void failingSynthesiserLeavesNoPartialFile();
    void missingWavesFolderIsReported();
};

void TestSampleVoices::namesAreThoseOfTheDemonstrationFlow()
{
    QStringList names;
    for (const properties::SampleVoice &v : properties::sampleVoices())
        names << QString::fromLatin1(v.fileName);
    QCOMPARE(names, (QStringList{"defaultgreeting.wav", "messagemenu1.wav", "menu.wav",
                                 "messagemenu.wav", "mainmessage.wav", "goodbye.wav",
                                 "messagesaved.wav", "messagedeleted.wav", "enterpw.wav",
                                 "entermb.wav"}));
}

void TestSampleVoices::makesMissingRecordingsAndKeepsTheUsers()
{
    if (QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty())
        QSKIP("espeak-ng is not installed");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    const QString own = dir.filePath(QStringLiteral("waves/goodbye.wav"));
    {
        QFile f(own);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("my own goodbye");
    }
    const properties::SampleVoiceReport report = properties::ensureSampleVoices(dir.path());
    QVERIFY2(report.problem.isEmpty(), qPrintable(report.problem));
    QCOMPARE(report.created.size(), 9);
    QCOMPARE(report.kept, QStringList{QStringLiteral("goodbye.wav")});
    QVERIFY(!report.created.contains(QStringLiteral("goodbye.wav")));
    {
        QFile f(own);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("my own goodbye"));
    }
    for (const QString &name : report.created) {
        QFile f(dir.filePath(QStringLiteral("waves/") + name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(12);
        QVERIFY2(head.startsWith("RIFF") && head.mid(8, 4) == "WAVE", qPrintable(name));
        QVERIFY(f.size() > 1000);
    }
    // Nothing else was left in the folder.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("waves")))
                 .entryList(QDir::Files | QDir::Hidden)
                 .size(),
             10);

    // A second run makes nothing and changes nothing.
    const QDateTime before =
        QFileInfo(dir.filePath(QStringLiteral("waves/menu.wav"))).lastModified();
    const properties::SampleVoiceReport again = properties::ensureSampleVoices(dir.path());
    QVERIFY(again.created.isEmpty());
    QCOMPARE(again.kept.size(), 10);
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("waves/menu.wav"))).lastModified(), before);
}

void TestSampleVoices::missingSynthesiserMakesNothing()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    const properties::SampleVoiceReport report =
        properties::ensureSampleVoices(dir.path(), dir.filePath(QStringLiteral("no-espeak")));
    QVERIFY(report.created.isEmpty());
    QVERIFY(report.problem.contains(QStringLiteral("espeak-ng is not installed")));
    QVERIFY(QDir(dir.filePath(QStringLiteral("waves"))).isEmpty(QDir::AllEntries | QDir::Hidden
                                                               | QDir::NoDotAndDotDot));
}

void TestSampleVoices::failingSynthesiserLeavesNoPartialFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    // A synthesiser that writes half a file and fails.
    const QString script = dir.filePath(QStringLiteral("broken.sh"));
    {
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nhead -c 100 /dev/zero > \"$2\"\nexit 3\n");
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const properties::SampleVoiceReport report =
        properties::ensureSampleVoices(dir.path(), script);
    QVERIFY(report.created.isEmpty());
    QVERIFY(report.problem.contains(QStringLiteral("could not make")));
    QVERIFY(QDir(dir.filePath(QStringLiteral("waves"))).isEmpty(QDir::AllEntries | QDir::Hidden
                                                               | QDir::NoDotAndDotDot));
}

void TestSampleVoices::missingWavesFolderIsReported()
{
    QTemporaryDir dir;
    const properties::SampleVoiceReport report = properties::ensureSampleVoices(dir.path());
    QVERIFY(report.created.isEmpty());
    QVERIFY(!report.problem.isEmpty());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("waves"))));
}

QTEST_MAIN(TestSampleVoices)
#include "tst_samplevoices.moc"
