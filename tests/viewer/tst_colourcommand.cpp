#include "app/colourcommand.h"
#include "viewer/colouring.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

struct Result
{
    int status = -1;
    QString out;
    QString err;
};

Result run(const QStringList &args)
{
    Result result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = app::runColourCommand(args, out, err);
    out.flush();
    err.flush();
    return result;
}

// The text and per-character colours the <pre> of an exported page holds.
bool parsePre(const QString &html, QString &text, std::vector<QRgb> &colours)
{
    const qsizetype start = html.indexOf(u"<pre>");
    const qsizetype end = html.indexOf(u"</pre>");
    if (start < 0 || end < start)
        return false;
    const QString pre = html.mid(start + 5, end - start - 5);
    static const QRegularExpression span(
        QStringLiteral("<span style=\"color:#([0-9a-f]{6})\">([^<]*)</span>"));
    qsizetype consumed = 0;
    QRgb previous = 0xffffffff;
    for (auto it = span.globalMatch(pre); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() != consumed || m.capturedLength(2) == 0)
            return false;
        consumed = m.capturedEnd();
        const QRgb colour = qRgb(0, 0, 0) | m.captured(1).toUInt(nullptr, 16);
        if (colour == previous) // runs must be maximal
            return false;
        previous = colour;
        QString raw = m.captured(2);
        raw.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        raw.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        raw.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        raw.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        text += raw;
        colours.insert(colours.end(), std::size_t(raw.size()), colour);
    }
    return consumed == pre.size();
}

} // namespace

class TestColourCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void exportsTheViewerColours_data();
    void exportsTheViewerColours();
    void missingFileFails();
    void badArgumentsFail_data();
    void badArgumentsFail();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestColourCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestColourCommand::exportsTheViewerColours_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("expectedText");
    const QString generated = "<table border=1 class=\"a&b\">\n<% x = 1 %>\nx = 1\n";
    QTest::newRow("as after a generation") << QStringList{"--generated"} << generated;
    QTest::newRow("as after Open") << QStringList{}
                                   << "<TABLE BORDER=1 class=\"a&b\">\n<% X = 1 %>\nX = 1\n";
}

void TestColourCommand::exportsTheViewerColours()
{
    QFETCH(QStringList, options);
    QFETCH(QString, expectedText);
    const QString page = m_dir->filePath("page.asp");
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<TABLE BORDER=1 class=\"a&b\">\r\n<% X = 1 %>\r\nX = 1\r\n");
    file.close();

    const Result result = run(QStringList{page} + options);

    QCOMPARE(result.status, 0);
    QVERIFY(result.err.isEmpty());
    QVERIFY(result.out.startsWith(u"<!DOCTYPE html>"));
    QVERIFY(result.out.contains(u"<title>page.asp</title>"));
    QString text;
    std::vector<QRgb> colours;
    QVERIFY(parsePre(result.out, text, colours));
    QCOMPARE(text, expectedText);
    const std::vector<viewer::Colour> expected = viewer::computeColours(expectedText);
    QCOMPARE(colours.size(), expected.size());
    for (std::size_t i = 0; i < colours.size(); ++i)
        QCOMPARE(colours[i], viewer::rgb(expected[i]));
}

void TestColourCommand::missingFileFails()
{
    const QString missing = m_dir->filePath("missing.asp");
    const Result result = run({missing});
    QVERIFY(result.status != 0);
    QVERIFY(result.out.isEmpty());
    QVERIFY(result.err.contains(missing));

    const Result folder = run({m_dir->path(), "--generated"});
    QVERIFY(folder.status != 0);
    QVERIFY(folder.out.isEmpty());
    QVERIFY(folder.err.contains(m_dir->path()));
}

void TestColourCommand::badArgumentsFail_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no file") << QStringList{};
    QTest::newRow("only the option") << QStringList{"--generated"};
    QTest::newRow("unknown option") << QStringList{"a.asp", "--lower"};
    QTest::newRow("two files") << QStringList{"a.asp", "b.asp"};
}

void TestColourCommand::badArgumentsFail()
{
    QFETCH(QStringList, args);
    const Result result = run(args);
    QCOMPARE(result.status, 2);
    QVERIFY(result.out.isEmpty());
    QVERIFY(result.err.contains(u"usage: dialwright colour FILE [--generated]"));
}

QTEST_APPLESS_MAIN(TestColourCommand)
#include "tst_colourcommand.moc"
