#include "support/fakesoundplayer.h"

#include "properties/wavelist.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestWaveList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designedBeforeReading();
    void listsEveryFile();
    void emptyFolderShowsHeadingOnly();
    void missingFolderKeepsDesignedRows();
    void fileAddedLaterAppearsOnlyOnNextPopulate();
    void clickPlaysWhateverTheSoundSwitch();
    void clickOnHeadingOrNumberPlaysNothing();

private:
    static void touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("RIFF");
    }
};

void TestWaveList::designedBeforeReading()
{
    QTemporaryDir dir;
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    auto *fg3 = list.findChild<QTableWidget *>(QStringLiteral("fg3"));
    auto *label = list.findChild<QLabel *>(QStringLiteral("Label3"));
    QVERIFY(fg3);
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Application's Wave Files"));
    QCOMPARE(fg3->columnCount(), 2);
    QCOMPARE(fg3->rowCount(), 5);
    QCOMPARE(fg3->item(0, 1)->text(), QStringLiteral("Wave File"));
    QVERIFY(fg3->item(0, 0)->text().isEmpty());
    // 400 and 3840 twips at 15 twips a pixel.
    QCOMPARE(fg3->columnWidth(0), 27);
    QCOMPARE(fg3->columnWidth(1), 256);
}

void TestWaveList::listsEveryFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    touch(dir.filePath(QStringLiteral("waves/intro.wav")));
    touch(dir.filePath(QStringLiteral("waves/notes.txt")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves/sub")));
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    list.populate();
    auto *fg3 = list.findChild<QTableWidget *>(QStringLiteral("fg3"));
    QCOMPARE(fg3->rowCount(), 3);
    QCOMPARE(fg3->item(0, 1)->text(), QStringLiteral("Wave File"));
    QCOMPARE(fg3->item(1, 0)->text(), QStringLiteral("1"));
    QCOMPARE(fg3->item(1, 1)->text(), QStringLiteral("intro.wav"));
    QCOMPARE(fg3->item(2, 0)->text(), QStringLiteral("2"));
    QCOMPARE(fg3->item(2, 1)->text(), QStringLiteral("notes.txt"));
    QCOMPARE(list.fileNames(), (QStringList{"intro.wav", "notes.txt"}));
    QVERIFY(sound.played.isEmpty());
}

void TestWaveList::emptyFolderShowsHeadingOnly()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    list.populate();
    auto *fg3 = list.findChild<QTableWidget *>(QStringLiteral("fg3"));
    QCOMPARE(fg3->rowCount(), 1);
    QCOMPARE(fg3->item(0, 1)->text(), QStringLiteral("Wave File"));
}

void TestWaveList::missingFolderKeepsDesignedRows()
{
    QTemporaryDir dir;
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    list.populate();
    auto *fg3 = list.findChild<QTableWidget *>(QStringLiteral("fg3"));
    QCOMPARE(fg3->rowCount(), 5);
    QCOMPARE(fg3->item(0, 1)->text(), QStringLiteral("Wave File"));
    QVERIFY(list.fileNames().isEmpty());
}

void TestWaveList::fileAddedLaterAppearsOnlyOnNextPopulate()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    touch(dir.filePath(QStringLiteral("waves/b.wav")));
    touch(dir.filePath(QStringLiteral("waves/a.wav")));
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    list.populate();
    touch(dir.filePath(QStringLiteral("waves/c.wav")));
    QCOMPARE(list.fileNames(), (QStringList{"a.wav", "b.wav"}));
    QFile::remove(dir.filePath(QStringLiteral("waves/a.wav")));
    list.populate();
    QCOMPARE(list.fileNames(), (QStringList{"b.wav", "c.wav"}));
    auto *fg3 = list.findChild<QTableWidget *>(QStringLiteral("fg3"));
    QCOMPARE(fg3->rowCount(), 3);
}

void TestWaveList::clickPlaysWhateverTheSoundSwitch()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    touch(dir.filePath(QStringLiteral("waves/intro.wav")));
    touch(dir.filePath(QStringLiteral("waves/notes.txt")));
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    list.populate();
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    auto *fg3 = list.findChild<QTableWidget *>(QStringLiteral("fg3"));
    QTest::mouseClick(fg3->viewport(), Qt::LeftButton, {},
                      fg3->visualItemRect(fg3->item(2, 1)).center());
    QTest::mouseClick(fg3->viewport(), Qt::LeftButton, {},
                      fg3->visualItemRect(fg3->item(1, 1)).center());
    QCOMPARE(sound.played, (QStringList{dir.path() + "/waves/notes.txt",
                                        dir.path() + "/waves/intro.wav"}));
}

void TestWaveList::clickOnHeadingOrNumberPlaysNothing()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("waves")));
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    list.populate();
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    auto *fg3 = list.findChild<QTableWidget *>(QStringLiteral("fg3"));
    QTest::mouseClick(fg3->viewport(), Qt::LeftButton, {},
                      fg3->visualItemRect(fg3->item(0, 1)).center());
    touch(dir.filePath(QStringLiteral("waves/x.wav")));
    list.populate();
    QTest::mouseClick(fg3->viewport(), Qt::LeftButton, {},
                      fg3->visualItemRect(fg3->item(1, 0)).center());
    QVERIFY(sound.played.isEmpty());
}

QTEST_MAIN(TestWaveList)
#include "tst_wavelist.moc"
