#include "app/generatecommand.h"

#include "model/appdata.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/sqlconnection.h"

#include "support/damageddatabase.h"
#include "support/filesizelimit.h"
#include "support/filesnapshot.h"
#include "support/testdirs.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// The demonstration flow's narration, a sentence a line.
QString demoSentences()
{
    QFile file(sourceDir() + QStringLiteral("/tests/codegen/golden/demo-narration-sentences.txt"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                          : QStringLiteral("<golden sentences missing>");
}

// Prepares the application folder `dir` (and what lies beside it) for a scenario.
void prepare(const QString &setup, const QString &dir)
{
    QString error;
    const QString flows = dir + QStringLiteral("/flows.mdb");
    if (setup == u"pages") {
        QVERIFY(model::initialiseData(dir).problems.isEmpty());
        QTextStream out(&error);
        QCOMPARE(app::runGenerateCommand({"--target=wteTTS", "--app-dir=" + dir}, {}, out, out),
                 0);
    } else if (setup == u"damaged") {
        QVERIFY(model::initialiseData(dir).problems.isEmpty());
        QVERIFY(appendRowsAndDamage(dir + QStringLiteral("/callflow.mdb"), "nodesflow", "text"));
    } else if (setup == u"text") {
        QFile note(flows);
        QVERIFY(note.open(QIODevice::WriteOnly) && note.write("not a database, just words\n"));
    } else if (setup == u"folder") {
        QVERIFY(QDir().mkdir(flows));
    } else if (setup == u"file") {
        QVERIFY(QFile(dir + QStringLiteral("/app")).open(QIODevice::WriteOnly));
    } else if (setup == u"plain") {
        model::SqlConnection db(flows, model::SqlConnection::Mode::CreateIfMissing);
        QVERIFY(QSqlQuery(db.database()).exec("CREATE TABLE t (\"text\" TEXT, key TEXT)"));
    } else if (setup == u"empty" || setup == u"flow") {
        QVERIFY(model::FlowStore::createMain(flows, QStringLiteral("myflow"), &error));
        model::FlowStore store(flows, QStringLiteral("myflow"));
        if (setup == u"flow") {
            model::FlowTree tree;
            tree.add(tree.addTopLevel("1_", "answer call"), model::FlowTree::Relation::LastChild,
                     "2_", "hangup");
            QVERIFY(store.writeTree(tree, &error));
            QVERIFY(store.updateRow({"1_", "2_", "hangup"}, {{"voicefile", "Bye.wav"}}, &error));
        }
    }
}

} // namespace

class TestGenerateCommand : public QObject
{
    Q_OBJECT

private slots:
    void scenarios_data();
    void scenarios();
    void throughTheProgram();
};

// Each scenario: a prepared folder, a command line (DIR is the temporary folder), the exit
// status, what standard output reads, a text standard error holds, and the files that must
// be there afterwards ("!name": must not be).
void TestGenerateCommand::scenarios_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("files");
    const QStringList app{"--app-dir", "DIR"};
    const QString demo = demoSentences();
    QTest::newRow("no target") << "" << app << 2 << "" << "needs --target" << QStringList();
    QTest::newRow("target without value") << "" << QStringList{"--target"} << 2 << ""
                                          << "Missing value after '--target'" << QStringList();
    QTest::newRow("unknown target") << "" << (app + QStringList{"--target", "wtetts"}) << 2
                                    << "" << "Unknown target: wtetts" << QStringList();
    QTest::newRow("unknown option") << "" << QStringList{"--target", "TTS", "--fast"} << 2 << ""
                                    << "Unknown option 'fast'" << QStringList();
    QTest::newRow("bad table name") << "" << QStringList{"--target=TTS", "--table", "a.b"} << 2
                                    << "" << "Table name a.b" << QStringList();
    QTest::newRow("narration: sentences only, start-up's files made")
        << "" << (app + QStringList{"--target", "TTS"}) << 0 << demo << ""
        << QStringList{"callflow.mdb", "SystemDB.mdb", "memberDB.mdb", "waves", "mboxes",
                       "callTTS.asp", "RemoteTTS.asp"};
    QTest::newRow("wteWave") << "" << QStringList{"--target=wteWave", "--app-dir=DIR"} << 0
                             << "Code generated: CallWave.asp and RemoteWave.asp" << ""
                             << QStringList{"callWave.asp", "RemoteWave.asp"};
    QTest::newRow("callxml, the default folder") << "" << QStringList{"--target", "callxml"} << 0
                                                 << "Code generated: CallXml.asp" << ""
                                                 << QStringList{"callxml.asp", "!RemoteTTS.asp"};
    QTest::newRow("vxml") << "" << (app + QStringList{"--target", "vxml"}) << 0
                          << "Code generated: callvxml.vxml and RemoteVxml.asp" << ""
                          << QStringList{"callvxml.vxml", "RemoteVxml.asp", "!callTTS.asp"};
    QTest::newRow("another flow database, table name in any case")
        << "flow" << (app + QStringList{"--target=wteWave", "--flow-db=DIR/flows.mdb",
                                         "--table=MyFlow"})
        << 0 << "Code generated: CallWave.asp" << "" << QStringList{"callWave.asp"};
    QTest::newRow("an empty table is the answer call alone")
        << "empty" << (app + QStringList{"--target=TTS", "--flow-db=DIR/flows.mdb",
                                          "--table=myflow"})
        << 0 << demo.section(u'\n', 0, 2) + "\nThen it will finally hangup the call." << ""
        << QStringList{"!RemoteTTS.asp"};
    QTest::newRow("no such table") << "pages" << (app + QStringList{"--target=wteTTS",
                                                                    "--table=nodesflow2"})
                                   << 1 << "" << "has no table nodesflow2." << QStringList();
    QTest::newRow("a table without the flow columns")
        << "plain" << (app + QStringList{"--target=TTS", "--flow-db=DIR/flows.mdb", "--table=t"})
        << 1 << "" << "The table t is not a flow table: it has no column" << QStringList();
    QTest::newRow("no such database") << "" << (app + QStringList{"--target=TTS",
                                                                  "--flow-db=DIR/gone.mdb"})
                                      << 1 << "" << "DIR/gone.mdb does not exist."
                                      << QStringList{"!gone.mdb"};
    QTest::newRow("not a database") << "text" << (app + QStringList{"--target=TTS",
                                                                    "--flow-db=DIR/flows.mdb"})
                                    << 1 << "" << "DIR/flows.mdb is not a database."
                                    << QStringList();
    QTest::newRow("a folder as flow database")
        << "folder" << (app + QStringList{"--target=TTS", "--flow-db=DIR/flows.mdb"}) << 1 << ""
        << "DIR/flows.mdb is a folder, not a database file." << QStringList();
    QTest::newRow("no such folder") << "" << QStringList{"--target=TTS", "--app-dir=DIR/a/b"}
                                    << 1 << "" << "The application folder DIR/a/b does not exist."
                                    << QStringList();
    QTest::newRow("a file as folder")
        << "file" << QStringList{"--target=TTS", "--app-dir=DIR/app"} << 1 << ""
        << "The application folder DIR/app is not a folder." << QStringList();
    QTest::newRow("a table damaged part-way") << "damaged" << (app + QStringList{"--target=TTS"})
                                              << 1 << "" << "disk image is malformed"
                                              << QStringList();
    QTest::newRow("a full disk") << "pages" << (app + QStringList{"--target=wteTTS"}) << 1 << ""
                                 << "Cannot write DIR/RemoteTTS.asp: File too large"
                                 << QStringList{"callTTS.asp", "RemoteTTS.asp"};
}

void TestGenerateCommand::scenarios()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    prepare(setup, dir.path());
    args.replaceInStrings(QStringLiteral("DIR"), dir.path());
    err.replace(QStringLiteral("DIR"), dir.path());
    const auto before = fileSnapshot(dir.path());
    QString output;
    QString errors;
    {
        QTextStream outStream(&output);
        QTextStream errStream(&errors);
        std::optional<FileSizeLimit> limit;
        if (QTest::currentDataTag() == QByteArray("a full disk"))
            limit.emplace(20000);
        QCOMPARE(app::runGenerateCommand(args, dir.path(), outStream, errStream), status);
    }
    QCOMPARE(output.trimmed(), out);
    QVERIFY2(err.isEmpty() ? errors.isEmpty() : errors.contains(err), qPrintable(errors));
    // A failed run leaves every page and database as it was (start-up's part may have made
    // the missing ones).
    const auto after = fileSnapshot(dir.path());
    for (auto it = before.begin(); status != 0 && it != before.end(); ++it)
        QCOMPARE(after.value(it.key()), it.value());
    if (status != 0)
        QCOMPARE(after.keys().filter(".asp"), before.keys().filter(".asp"));
    for (const QString &file : files)
        QCOMPARE(QFileInfo::exists(dir.filePath(file.mid(file.startsWith(u'!') ? 1 : 0))),
                 !file.startsWith(u'!'));
}

void TestGenerateCommand::throughTheProgram()
{
    if (!QFileInfo(programPath()).isExecutable())
        QSKIP("the program is not built");
    QTemporaryDir dir;
    QProcess program;
    program.start(programPath(), {"generate", "--target", "TTS", "--app-dir", dir.path()});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(), demoSentences());
    program.start(programPath(), {"generate", "--target", "VoiceXML", "--app-dir", dir.path()});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardError().contains("Unknown target: VoiceXML"));
}

QTEST_GUILESS_MAIN(TestGenerateCommand)
#include "tst_generatecommand.moc"
