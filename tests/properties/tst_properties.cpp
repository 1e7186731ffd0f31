#include "fakesoundplayer.h"
#include "fakeuserprompts.h"

#include "model/appdata.h"
#include "model/currentflow.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "properties/propertygrid.h"
#include "properties/samplevoices.h"
#include "voicemail/systemprompts.h"
#include "properties/wavelist.h"

#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using model::NodeIdentity;

Q_DECLARE_METATYPE(NodeIdentity)

namespace {
const NodeIdentity kHangup{"9_", "14_", "hangup", 1, 2};
const NodeIdentity kOption{"5_", "6_", "get option digits", 1, 2};

void touch(const QString &path, const QByteArray &bytes = "RIFF")
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void gridKeyScripts_data();
    void gridKeyScripts();
    void showsTheFieldsOfTheCallFunction();
    void waveListListsEveryFileAndPlaysTheClickedOne();
    void sampleVoicesKeepTheUsersFiles();

private:
    QString stored(const NodeIdentity &node, const QString &column) const;
    // Types into whatever has the focus: characters as they are, {Key} for a key such as
    // {Return}, {Up} or {Ctrl+A}.
    static void type(const QString &script);

    std::unique_ptr<QTemporaryDir> m_dir;
    model::CurrentFlow m_current;
    FakeUserPrompts m_prompts;
    std::unique_ptr<properties::PropertyGrid> m_grid;
    QTableWidget *m_fg2 = nullptr;
    QLineEdit *m_editor = nullptr;
};

void TestProperties::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(model::initialiseData(m_dir->path()).flowOk);
    m_current = {model::demoflow::path(m_dir->path()), model::demoflow::tableName()};
    m_prompts.reset();
    m_grid = std::make_unique<properties::PropertyGrid>(m_current, m_prompts);
    m_fg2 = m_grid->findChild<QTableWidget *>("fg2");
    m_editor = m_grid->findChild<QLineEdit *>("txtedit");
    m_grid->show();
    m_grid->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_grid.get()));
}

void TestProperties::cleanup()
{
    m_grid.reset();
    m_dir.reset();
}

QString TestProperties::stored(const NodeIdentity &node, const QString &column) const
{
    QString error;
    const auto row = model::FlowStore(m_current.databasePath, m_current.table)
                         .fetchRow(node, &error);
    return row ? row->value(column).toString() : QStringLiteral("<no row: %1>").arg(error);
}

void TestProperties::type(const QString &script)
{
    static const QRegularExpression token(QStringLiteral("\\{([^}]+)\\}|([^{]+)"));
    for (auto it = token.globalMatch(script); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.hasCaptured(2)) {
            for (const QChar c : m.captured(2))
                QTest::keyClicks(QApplication::focusWidget(), c);
        } else {
            const QKeyCombination key = QKeySequence::fromString(m.captured(1))[0];
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        }
    }
}

void TestProperties::gridKeyScripts_data()
{
    QTest::addColumn<NodeIdentity>("node");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown"); // the editor's text while it shows, else the cell's
    QTest::addColumn<bool>("editing");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("message");
    const QString prompt = QStringLiteral("type text to be spoken here.");
    const QString quoted = QStringLiteral("Say \"yes\" or 'no'");
    QTest::newRow("a typed character replaces the value")
        << kHangup << 1 << "x" << "voicefile" << "goodbye.wav" << "x" << true << 1 << "";
    QTest::newRow("Space keeps the value")
        << kHangup << 2 << "{Space}" << "prompttxt" << prompt << prompt << true << 2 << "";
    QTest::newRow("Enter keeps the value")
        << kHangup << 2 << "{Return}" << "prompttxt" << prompt << prompt << true << 2 << "";
    QTest::newRow("Escape drops the edit") << kHangup << 1 << "other.wav{Escape}{Down}"
                                           << "voicefile" << "goodbye.wav" << "goodbye.wav"
                                           << false << 2 << "";
    QTest::newRow("Enter keeps the editor, Down in the grid writes")
        << kHangup << 1 << "hello.wav{Return}{Down}" << "voicefile" << "hello.wav"
        << "hello.wav" << false << 2 << "";
    QTest::newRow("Down from the editor writes") << kOption << 2 << "15{Down}"
                                                 << "FirstTimeoutInterval" << "15" << "15"
                                                 << false << 3 << "";
    QTest::newRow("Up from the editor writes") << kOption << 3 << "9{Up}"
                                               << "InterTimeoutInterval" << "9" << "9" << false
                                               << 2 << "";
    QTest::newRow("a blank is never written")
        << kHangup << 1 << "{Space}{Ctrl+A}{Backspace}   {Down}" << "voicefile" << "goodbye.wav"
        << "   " << false << 2 << "";
    QTest::newRow("a value too long is refused")
        << kOption << 6 << "##{Up}" << "InputTerm" << "#" << "##" << false << 5
        << "There was an error updating record";
    QTest::newRow("Up on the first row stays and writes nothing")
        << kHangup << 1 << "a.wav{Up}" << "voicefile" << "goodbye.wav" << "a.wav" << true << 1
        << "";
    QTest::newRow("the fixed cells are never current")
        << kHangup << 2 << "{Ctrl+Home}{Left}" << "prompttxt" << prompt << prompt << false << 1
        << "";
    QTest::newRow("a row without a field opens no editor")
        << kHangup << 3 << "x" << "voicefile" << "goodbye.wav" << "" << false << 3 << "";
    QTest::newRow("quotes are stored as typed")
        << kHangup << 2 << quoted + "{Up}" << "prompttxt" << quoted << quoted << false << 1
        << "";
}

void TestProperties::gridKeyScripts()
{
    QFETCH(NodeIdentity, node);
    QFETCH(int, row);
    QFETCH(QString, script);
    QFETCH(QString, field);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(bool, editing);
    QFETCH(int, currentRow);
    QFETCH(QString, message);
    m_grid->loadNode(node);
    m_fg2->setFocus();
    m_fg2->setCurrentCell(row, 1);
    type(script);
    QCOMPARE(this->stored(node, field), stored);
    QCOMPARE(m_editor->isVisible(), editing);
    QCOMPARE(editing ? m_editor->text() : m_fg2->item(row, 1)->text(), shown);
    QCOMPARE(m_fg2->currentRow(), currentRow);
    QCOMPARE(m_prompts.messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestProperties::showsTheFieldsOfTheCallFunction()
{
    // A node with more fields first, so that stale rows would show.
    m_grid->loadNode(kOption);
    m_grid->loadNode(kHangup);
    QStringList names;
    for (int r = 0; r < m_fg2->rowCount(); ++r)
        names << m_fg2->item(r, 0)->text() + u'=' + m_fg2->item(r, 1)->text();
    QCOMPARE(names.join(u' '), QStringLiteral("Property=Settings voicefile=goodbye.wav "
                                              "prompttxt=type text to be spoken here. = = = = "
                                              "= = ="));
    // A node without a row shows the headings only.
    m_grid->loadNode({"9_", "41_", "hangup", 1, 2});
    QVERIFY(m_fg2->item(1, 0)->text().isEmpty());
}

void TestProperties::waveListListsEveryFileAndPlaysTheClickedOne()
{
    QTemporaryDir dir;
    FakeSoundPlayer sound;
    properties::WaveList list(dir.path(), sound);
    list.populate(); // no folder: nothing listed
    QVERIFY(list.fileNames().isEmpty());
    QVERIFY(QDir(dir.path()).mkpath("waves/sub"));
    touch(dir.filePath("waves/notes.txt"));
    touch(dir.filePath("waves/intro.wav"));
    list.populate();
    QCOMPARE(list.fileNames(), (QStringList{"intro.wav", "notes.txt"}));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    auto *fg3 = list.findChild<QTableWidget *>("fg3");
    for (const int row : {2, 0})
        QTest::mouseClick(fg3->viewport(), Qt::LeftButton, {},
                          fg3->visualItemRect(fg3->item(row, 1)).center());
    QCOMPARE(sound.played, QStringList{dir.path() + "/waves/notes.txt"});
}

void TestProperties::sampleVoicesKeepTheUsersFiles()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("waves"));
    const QString waves = dir.filePath("waves");
    auto report = properties::ensureSampleVoices(dir.path(), dir.filePath("no-espeak"));
    QVERIFY(report.problem.contains("espeak-ng is not installed"));
    // A synthesiser that writes half a file and fails leaves nothing behind.
    touch(dir.filePath("broken.sh"), "#!/bin/sh\nhead -c 100 /dev/zero > \"$2\"\nexit 3\n");
    QFile::setPermissions(dir.filePath("broken.sh"), QFile::ReadOwner | QFile::ExeOwner);
    report = properties::ensureSampleVoices(dir.path(), dir.filePath("broken.sh"));
    QVERIFY(report.problem.contains("could not make"));
    QVERIFY(QDir(waves).isEmpty());
    // Stopped half-way (the window closed on a first start): nothing half-written stays.
    touch(dir.filePath("slow.sh"), "#!/bin/sh\nhead -c 100 /dev/zero > \"$2\"\nsleep 30\n");
    QFile::setPermissions(dir.filePath("slow.sh"), QFile::ReadOwner | QFile::ExeOwner);
    {
        properties::SampleVoiceMaker maker(dir.path(), dir.filePath("slow.sh"));
        maker.start();
        QTRY_VERIFY(!QDir(waves).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(maker.isRunning());
    }
    QCOMPARE(QDir(waves).entryList(QDir::Files | QDir::Hidden), QStringList());

    if (QStandardPaths::findExecutable("espeak-ng").isEmpty())
        QSKIP("espeak-ng is not installed");
    touch(waves + "/goodbye.wav", "my own goodbye");
    report = properties::ensureSampleVoices(dir.path());
    QVERIFY2(report.problem.isEmpty(), qPrintable(report.problem));
    QCOMPARE(report.kept, QStringList{"goodbye.wav"});
    QVERIFY(report.created.contains("remmenu.wav") && report.created.contains("pm.wav"));
    // entermb.wav and enterpw.wav are samples and system prompts at once
    QCOMPARE(report.created.size() + 1, properties::sampleVoices().size()
                                            + voicemail::systemPrompts().size() - 2);
    QFile own(waves + "/goodbye.wav");
    QVERIFY(own.open(QIODevice::ReadOnly));
    QCOMPARE(own.readAll(), QByteArray("my own goodbye"));
    QFile made(waves + "/" + report.created.first());
    QVERIFY(made.open(QIODevice::ReadOnly));
    QVERIFY(made.read(4) == "RIFF" && made.size() > 1000);
    QVERIFY(properties::ensureSampleVoices(dir.path()).created.isEmpty());
}

QTEST_MAIN(TestProperties)
#include "tst_properties.moc"
