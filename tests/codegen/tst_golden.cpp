// The pages of the demonstration flow, compared byte for byte with copies kept in
// tests/codegen/golden. After an intended change of the pages, run the test once with
// DW_REGENERATE_GOLDEN=1 to write new copies, and review their diff.

#include "generationfixture.h"

#include "support/testdirs.h"

#include "model/demoflow.h"

#include <QTest>

class TestGolden : public QObject
{
    Q_OBJECT

private slots:
    void demonstrationFlow_data();
    void demonstrationFlow();
};

namespace {

QString goldenPath(const QString &name)
{
    return sourceDir() + QStringLiteral("/tests/codegen/golden/") + name;
}

// Compares with the golden copy, or writes it when regenerating.
void checkGolden(const QString &name, const QByteArray &actual)
{
    QFile file(goldenPath(name));
    if (qEnvironmentVariableIntValue("DW_REGENERATE_GOLDEN") == 1) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(actual);
        qInfo("wrote %s", qPrintable(file.fileName()));
        return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray expected = file.readAll();
    if (actual != expected) {
        const QList<QByteArray> a = actual.split('\n');
        const QList<QByteArray> e = expected.split('\n');
        for (qsizetype i = 0; i < qMin(a.size(), e.size()); ++i) {
            if (a.at(i) != e.at(i))
                QFAIL(qPrintable(QStringLiteral("%1 line %2: \"%3\" instead of \"%4\"")
                                     .arg(name)
                                     .arg(i + 1)
                                     .arg(QString::fromLatin1(a.at(i)),
                                          QString::fromLatin1(e.at(i)))));
        }
        QFAIL(qPrintable(QStringLiteral("%1: %2 lines instead of %3")
                             .arg(name)
                             .arg(a.size())
                             .arg(e.size())));
    }
}

} // namespace

void TestGolden::demonstrationFlow_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("golden");
    QTest::newRow("wteTTS") << "wteTTS" << "demo-wtetts-calltts.asp";
    QTest::newRow("wteWave") << "wteWave" << "demo-wtewave-callwave.asp";
    QTest::newRow("callxml") << "callxml" << "demo-callxml-callxml.asp";
    QTest::newRow("TTS") << "TTS" << "demo-narration-calltts.asp";
}

void TestGolden::demonstrationFlow()
{
    QFETCH(QString, target);
    QFETCH(QString, golden);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(model::demoflow::ensure(dir.path(), nullptr, &error), qPrintable(error));
    const QString database = model::demoflow::path(dir.path());
    model::FlowTree tree;
    {
        model::FlowStore store(database, model::demoflow::tableName());
        QVERIFY2(store.loadInto(tree, &error), qPrintable(error));
    }
    QCOMPARE(tree.count(), 15);
    RecordingNarrator narrator;
    const codegen::GenerationResult r = codegen::generate(
        tree, {target, dir.path(), database, model::demoflow::tableName()}, &narrator);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.remoteNeeded, target != u"callxml");
    QFile page(r.mainFile);
    QVERIFY(page.open(QIODevice::ReadOnly));
    checkGolden(golden, page.readAll());
    if (target == u"TTS")
        checkGolden(QStringLiteral("demo-narration-sentences.txt"),
                    narrator.sentences.join(u'\n').toUtf8() + '\n');
    else
        QVERIFY(narrator.sentences.isEmpty());
}

QTEST_GUILESS_MAIN(TestGolden)
#include "tst_golden.moc"
