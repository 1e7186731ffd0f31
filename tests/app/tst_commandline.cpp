#include "testdirs.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The headless commands, run as the program itself, as `make run` and scripts use them.
class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    Run run(const QStringList &args, const QString &home = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        if (home.isNull())
            env.remove(QStringLiteral("DIALWRIGHT_HOME"));
        else
            env.insert(QStringLiteral("DIALWRIGHT_HOME"), home);
        p.setProcessEnvironment(env);
        p.start(programPath(), args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }

private Q_SLOTS:
    void firstAndSecondRun()
    {
        QTemporaryDir dir;
        Run r = run({"init", "--app-dir", dir.path()});
        QCOMPARE(r.exitCode, 0);
        for (const char *made : {"Created memberDB.mdb", "Created SystemDB.mdb", "Created waves",
                                 "Created mboxes", "Created callflow.mdb"})
            QVERIFY2(r.out.contains(QLatin1String(made)), qPrintable(r.out));
        QVERIFY(QFile::exists(dir.filePath("callflow.mdb")));
        r = run({"init", "--app-dir", dir.path()});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(!r.out.contains(QStringLiteral("Created")));
        QVERIFY(r.out.contains(QStringLiteral("Nothing to create")));
    }

    void folderFromTheEnvironment()
    {
        QTemporaryDir dir;
        const Run r = run({"init"}, dir.path());
        QCOMPARE(r.exitCode, 0);
        QVERIFY(QFile::exists(dir.filePath("memberDB.mdb")));
    }

    void problemsGoToStandardError()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("memberDB.mdb"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("text");
        f.close();
        Run r = run({"init", "--app-dir", dir.path()});
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.err.contains(QStringLiteral("memberDB.mdb")) && r.err.contains(QStringLiteral("not a database")),
                 qPrintable(r.err));
        QVERIFY(QFile::exists(dir.filePath("callflow.mdb"))); // the rest was still made

        r = run({"init", "--app-dir", dir.filePath("missing")});
        QVERIFY(r.exitCode != 0);
        QVERIFY(r.err.contains(QStringLiteral("does not exist")));

        r = run({"init", "--bogus"});
        QVERIFY(r.exitCode != 0);
        QVERIFY(r.err.contains(QStringLiteral("--bogus")));
    }

    void colourPrintsHtml()
    {
        QTemporaryDir dir;
        QFile page(dir.filePath("a.asp"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<TABLE BORDER=1>\r\n");
        page.close();
        Run r = run({"colour", page.fileName()});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(QStringLiteral("<pre>")));
        // unchanged text: only the brackets and the equals sign are coloured
        QVERIFY2(r.out.contains(QStringLiteral("<span style=\"color:#0000ff\">&lt;</span>"
                                               "<span style=\"color:#000000\">TABLE BORDER</span>")),
                 qPrintable(r.out));
        r = run({"colour", page.fileName(), "--generated"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QStringLiteral("<span style=\"color:#ff00ff\">table</span>")), qPrintable(r.out));
        r = run({"colour", dir.filePath("missing.asp")});
        QVERIFY(r.exitCode != 0);
        QVERIFY(r.err.contains(QStringLiteral("missing.asp")));
    }

    void helpNamesEveryCommand()
    {
        const Run r = run({"--help"});
        QCOMPARE(r.exitCode, 0);
        for (const char *word : {"init", "generate", "colour", "--app-dir", "DIALWRIGHT_HOME"})
            QVERIFY2(r.out.contains(QLatin1String(word)), word);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
