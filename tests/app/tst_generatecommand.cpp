#include "app/generatecommand.h"

#include "support/testdirs.h"

#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run run(const QStringList &args, const QString &appDirDefault = QString())
{
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = app::runGenerateCommand(args, appDirDefault, out, err);
    out.flush();
    err.flush();
    return r;
}

QStringList demoSentences()
{
    QFile file(sourceDir() + QStringLiteral("/tests/codegen/golden/demo-narration-sentences.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<golden sentences missing>")};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestGenerateCommand : public QObject
{
    Q_OBJECT

private slots:
    void commandLineErrors_data();
    void commandLineErrors();
    void narrationPrintsSentencesOnly();
    void completionMessages_data();
    void completionMessages();
    void appDirDefault();
    void otherFlowDatabase();
    void emptyTableGivesAnswerCall();
    void loadFailures_data();
    void loadFailures();
    void throughTheProgram();
};

void TestGenerateCommand::commandLineErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QStringList() << "needs --target";
    QTest::newRow("target without value") << QStringList{"--target"} << "--target needs a value";
    QTest::newRow("empty target") << QStringList{"--target="} << "--target needs a value";
    QTest::newRow("unknown target") << QStringList{"--target", "voicexml"}
                                    << "Unknown target: voicexml";
    QTest::newRow("target case") << QStringList{"--target", "wtetts"} << "Unknown target";
    QTest::newRow("unknown option") << QStringList{"--target", "TTS", "--fast"}
                                    << "Unknown argument for generate: --fast";
    QTest::newRow("stray word") << QStringList{"TTS"} << "Unknown argument for generate: TTS";
    QTest::newRow("bad table name") << QStringList{"--target", "TTS", "--table", "a.b"}
                                    << "Table name a.b";
}

void TestGenerateCommand::commandLineErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const Run r = run(args, dir.path());
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    // A wrong command line changes nothing.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestGenerateCommand::narrationPrintsSentencesOnly()
{
    QTemporaryDir dir;
    const Run r = run({QStringLiteral("--target"), QStringLiteral("TTS"),
                       QStringLiteral("--app-dir"), dir.path()});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts), demoSentences());
    QVERIFY(r.out.endsWith(u'\n'));
    // Start-up's data part ran first: the databases, folders and the demonstration flow.
    for (const char *name : {"callflow.mdb", "SystemDB.mdb", "memberDB.mdb", "waves", "mboxes",
                             "callTTS.asp", "RemoteTTS.asp"})
        QVERIFY2(QFileInfo::exists(QDir(dir.path()).filePath(QString::fromLatin1(name))), name);
}

void TestGenerateCommand::completionMessages_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    QTest::newRow("wteTTS") << "wteTTS" << "Code generated: CallTTS.asp and RemoteTTS.asp"
                            << "callTTS.asp";
    QTest::newRow("wteWave") << "wteWave" << "Code generated: CallWave.asp and RemoteWave.asp"
                             << "callWave.asp";
    QTest::newRow("callxml") << "callxml" << "Code generated: CallXml.asp" << "callxml.asp";
}

void TestGenerateCommand::completionMessages()
{
    QFETCH(QString, target);
    QFETCH(QString, message);
    QFETCH(QString, file);
    QTemporaryDir dir;
    const Run r = run({QStringLiteral("--target=") + target,
                       QStringLiteral("--app-dir=") + dir.path()});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, message + u'\n');
    QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(file)));
    QCOMPARE(QFileInfo::exists(dir.filePath(QStringLiteral("RemoteTTS.asp")))
                 || QFileInfo::exists(dir.filePath(QStringLiteral("RemoteWave.asp"))),
             target != u"callxml");
}

void TestGenerateCommand::appDirDefault()
{
    QTemporaryDir dir;
    QTemporaryDir other;
    const Run r = run({QStringLiteral("--target"), QStringLiteral("wteWave")}, dir.path());
    QCOMPARE(r.status, 0);
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("callWave.asp"))));
    // --app-dir wins over the default.
    const Run r2 = run({QStringLiteral("--target"), QStringLiteral("callxml"),
                        QStringLiteral("--app-dir"), other.path()},
                       dir.path());
    QCOMPARE(r2.status, 0);
    QVERIFY(QFileInfo::exists(other.filePath(QStringLiteral("callxml.asp"))));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("callxml.asp"))));
}

void TestGenerateCommand::otherFlowDatabase()
{
    QTemporaryDir dir;
    QTemporaryDir flows;
    const QString database = flows.filePath(QStringLiteral("mine.mdb"));
    QString error;
    QVERIFY(model::FlowStore::createMain(database, QStringLiteral("myflow"), &error));
    {
        model::FlowTree tree;
        model::FlowNode *root =
            tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
        model::FlowNode *hangup = tree.add(root, model::FlowTree::Relation::LastChild,
                                           QStringLiteral("2_"), QStringLiteral("hangup"));
        model::FlowStore store(database, QStringLiteral("myflow"));
        QVERIFY(store.writeTree(tree, &error));
        QVERIFY(store.updateRow(model::NodeIdentity::of(*hangup),
                                {{QStringLiteral("voicefile"), QStringLiteral("Bye.wav")}},
                                &error));
    }
    const Run r = run({QStringLiteral("--target"), QStringLiteral("wteWave"),
                       QStringLiteral("--app-dir"), dir.path(), QStringLiteral("--flow-db"),
                       database, QStringLiteral("--table"), QStringLiteral("MyFlow")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QStringLiteral("Code generated: CallWave.asp\n"));
    QFile page(dir.filePath(QStringLiteral("callWave.asp")));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    QVERIFY(text.contains("\r\nwindow.navigate(\"#hangup\")\r\n"));
    QVERIFY(text.contains("\r\n<p voicefile =\"waves\\bye.wav\"></p>\r\n"));
    QVERIFY(!text.contains("play-main-greetings")); // not the demonstration flow
}

void TestGenerateCommand::emptyTableGivesAnswerCall()
{
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("empty.mdb"));
    QString error;
    QVERIFY(model::FlowStore::createMain(database, QStringLiteral("nothing"), &error));
    const Run r = run({QStringLiteral("--target"), QStringLiteral("TTS"),
                       QStringLiteral("--app-dir"), dir.path(), QStringLiteral("--flow-db"),
                       database, QStringLiteral("--table"), QStringLiteral("nothing")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts),
             QStringList({"Thank you for using this rapid applicaton development tool.",
                          "It was developed by Tarnwick. We hope you will like it.",
                          "The application you have developed will first Answer the call.",
                          "Then it will finally hangup the call."}));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("RemoteTTS.asp"))));
}

void TestGenerateCommand::loadFailures_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such table") << "table" << "has no table nodesflow2";
    QTest::newRow("no such database") << "database" << "does not exist";
    QTest::newRow("not a database") << "text" << "cannot read the flow database";
    QTest::newRow("no such folder") << "folder" << "does not exist";
}

void TestGenerateCommand::loadFailures()
{
    QFETCH(QString, breakage);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QStringList args{QStringLiteral("--target"), QStringLiteral("wteTTS"),
                     QStringLiteral("--app-dir"), dir.path()};
    if (breakage == u"table") {
        args << QStringLiteral("--table") << QStringLiteral("nodesflow2");
    } else if (breakage == u"database") {
        args << QStringLiteral("--flow-db") << dir.filePath(QStringLiteral("gone.mdb"));
    } else if (breakage == u"text") {
        QFile note(dir.filePath(QStringLiteral("note.mdb")));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("not a database at all, just words\n");
        note.close();
        args << QStringLiteral("--flow-db") << note.fileName();
    } else {
        args[3] = dir.filePath(QStringLiteral("missing/deeper"));
    }
    const Run r = run(args);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("callTTS.asp"))));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone.mdb"))));
}

void TestGenerateCommand::throughTheProgram()
{
    if (!QFileInfo(programPath()).isExecutable())
        QSKIP("the program is not built");
    QTemporaryDir dir;
    QProcess program;
    program.start(programPath(), {QStringLiteral("generate"), QStringLiteral("--target"),
                                  QStringLiteral("TTS"), QStringLiteral("--app-dir"), dir.path()});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
             demoSentences());
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("callTTS.asp"))));

    program.start(programPath(), {QStringLiteral("generate"), QStringLiteral("--target"),
                                  QStringLiteral("vxml"), QStringLiteral("--app-dir"),
                                  dir.path()});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardOutput().isEmpty());
    QVERIFY(program.readAllStandardError().contains("Unknown target: vxml"));
}

QTEST_GUILESS_MAIN(TestGenerateCommand)
#include "tst_generatecommand.moc"
