#include "referencecolouring.h"
#include "samplepages.h"

#include "viewer/colourhtml.h"
#include "viewer/colouring.h"

#include <QRegularExpression>
#include <QTest>

using viewer::Colour;

namespace {

// One letter per character: k black, r red, b blue, m "brown" (magenta), y dark yellow,
// g dark green, c dark cyan.
QString letters(const std::vector<Colour> &colours)
{
    QString s;
    for (const Colour c : colours) {
        switch (c) {
        case Colour::Black: s += u'k'; break;
        case Colour::Red: s += u'r'; break;
        case Colour::Blue: s += u'b'; break;
        case Colour::Brown: s += u'm'; break;
        case Colour::DarkYellow: s += u'y'; break;
        case Colour::DarkGreen: s += u'g'; break;
        case Colour::DarkCyan: s += u'c'; break;
        }
    }
    return s;
}

// The first position where the fast colouring and the transcription disagree, or -1.
qsizetype firstDifference(const QString &text)
{
    const std::vector<Colour> fast = viewer::computeColours(text);
    const std::vector<QRgb> slow = reference::referenceColours(text);
    if (fast.size() != slow.size())
        return 0;
    for (std::size_t i = 0; i < fast.size(); ++i) {
        if (viewer::rgb(fast[i]) != slow[i])
            return qsizetype(i);
    }
    return -1;
}

QString around(const QString &text, qsizetype at)
{
    return text.mid(std::max<qsizetype>(0, at - 40), 80);
}

} // namespace

class TestColouring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colourValue_data();
    void colourValue();
    void finalColours_data();
    void finalColours();
    void occurrences_data();
    void occurrences();
    void agreesWithTranscriptionOnEdgeCases_data();
    void agreesWithTranscriptionOnEdgeCases();
    void literalReadingColouredJavascript();
    void agreesWithTranscriptionOnGeneratedPages();
    void agreesWithTranscriptionOnRandomTexts();
    void longTextsColourPastSixteenBitPositions();
    void progressValues();
    void progressMatchesTranscription();
    void runsCoverTheTextOnce();
    void htmlHoldsEachRunEscaped();
};

void TestColouring::colourValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRgb>("value");
    QTest::newRow("black") << "black" << qRgb(0, 0, 0);
    QTest::newRow("red") << "red" << qRgb(255, 0, 0);
    QTest::newRow("blue") << "blue" << qRgb(0, 0, 255);
    QTest::newRow("brown is magenta") << "brown" << qRgb(255, 0, 255);
    QTest::newRow("dark yellow") << "dark yellow" << qRgb(128, 128, 0);
    QTest::newRow("dark green") << "dark green" << qRgb(0, 128, 0);
    QTest::newRow("dark cyan") << "dark cyan" << qRgb(0, 128, 128);
    QTest::newRow("trimmed and lower-cased") << "  Dark Green " << qRgb(0, 128, 0);
    QTest::newRow("unknown is black") << "purple" << qRgb(0, 0, 0);
    QTest::newRow("inner blanks count") << "dark  green" << qRgb(0, 0, 0);
    QTest::newRow("empty is black") << "" << qRgb(0, 0, 0);
}

void TestColouring::colourValue()
{
    QFETCH(QString, name);
    QFETCH(QRgb, value);
    QCOMPARE(viewer::colourValue(name), value);
}

void TestColouring::finalColours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("generated table tag")
        << "<table border=1>" << "bmmmmmkrrrrrrbkb";
    QTest::newRow("opened upper-case tag: only brackets and equals")
        << "<TABLE BORDER=1>" << "bkkkkkkkkkkkkbkb";
    QTest::newRow("closing tag")
        << "</td>" << "bmmmb";
    QTest::newRow("comment opener ends blue")
        << "<!-- x -->" << "bbkkkkkkkb";
    QTest::newRow("asp delimiters end dark yellow, body dark green")
        << "<%x%>" << "yygyy";
    QTest::newRow("asp body coloured elsewhere too")
        << "<% x = 1 %>\nlet x = 1;"
        << "yykgggggkyykkkkkgggggk";
    QTest::newRow("empty asp block colours nothing more")
        << "<% %> a" << "yykyykk";
    QTest::newRow("overlapping occurrences: aaa for aa")
        << "<%aa%>aaa" << "yyggyyggg";
    QTest::newRow("content-type recoloured blue after content=")
        << "content-type content=x" << "bbbbbbbbbbbbkrrrrrrrbk";
    QTest::newRow("vbscript block body dark cyan")
        << "<script language=vbscript>go</script>"
        << "bkkkkkkkkkkkkkkkbkkkkkkkkbccbkkkkkkkb";
    QTest::newRow("javascript block untouched by the script pass")
        << "<script language=javascript>go</script>"
        << "bkkkkkkkkkkkkkkkbkkkkkkkkkkbkkbkkkkkkkb";
    QTest::newRow("single character text: nothing")
        << ">" << "k";
    QTest::newRow("last character skipped after the same character")
        << "a>>" << "kbk";
    QTest::newRow("last character found after another")
        << "a=>" << "kbb";
    QTest::newRow("no opener left: stray closer colours nothing")
        << "abc%>abc" << "kkkyykkk";
    QTest::newRow("empty text") << "" << "";
}

void TestColouring::finalColours()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(letters(viewer::computeColours(text)), expected);
    // The hand-worked colours are also those of the original routines.
    QCOMPARE(firstDifference(text), qsizetype(-1));
}

void TestColouring::occurrences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QList<qsizetype>>("starts");
    QTest::newRow("overlapping") << "aaa" << "aa" << QList<qsizetype>{0, 1};
    QTest::newRow("case-sensitive") << "<TD <td" << "<td" << QList<qsizetype>{4};
    QTest::newRow("empty word") << "abc" << "" << QList<qsizetype>{};
    QTest::newRow("text of one character") << "a" << "a" << QList<qsizetype>{};
    QTest::newRow("two characters") << "aa" << "a" << QList<qsizetype>{0};
    QTest::newRow("last after same") << "baa" << "a" << QList<qsizetype>{1};
    QTest::newRow("last after other") << "aba" << "a" << QList<qsizetype>{0, 2};
    QTest::newRow("two-character word at the end") << "xaaa" << "aa" << QList<qsizetype>{1, 2};
    QTest::newRow("absent") << "abc" << "d" << QList<qsizetype>{};
}

void TestColouring::occurrences()
{
    QFETCH(QString, text);
    QFETCH(QString, word);
    QFETCH(QList<qsizetype>, starts);
    const std::vector<qsizetype> found = viewer::occurrenceStarts(text, word);
    QCOMPARE(QList<qsizetype>(found.begin(), found.end()), starts);
}

void TestColouring::agreesWithTranscriptionOnEdgeCases_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("script search resumes 27 past the closer")
        << "<script language=vbscript>a</script><script language=vbscript>b</script>x";
    QTest::newRow("stray closers after the last block")
        << "xyz<% a %>  %> b %>%>%> c %> a";
    QTest::newRow("script stray closer") << "0123456789012345678901234567890 </script> 0123";
    QTest::newRow("body of blanks") << "<%    %><%%>";
    QTest::newRow("closer before opener") << "%> <% a %>";
    QTest::newRow("nested openers") << "<% <% a %> %>";
    QTest::newRow("one-character body at the end") << "<% x %>xx";
    QTest::newRow("one-character body after other") << "<% x %>yx";
    QTest::newRow("opener only") << "<% abc";
    QTest::newRow("upper-case script opener") << "<SCRIPT language=vbscript>a</SCRIPT>";
    QTest::newRow("body equal to whole text part") << "<%%%>%>";
}

void TestColouring::agreesWithTranscriptionOnEdgeCases()
{
    QFETCH(QString, text);
    const qsizetype at = firstDifference(text);
    QVERIFY2(at < 0, qPrintable(QStringLiteral("differs at %1").arg(at)));
}

void TestColouring::literalReadingColouredJavascript()
{
    // Why the block passes stop when no opening delimiter is left: read literally, the
    // missing opener counts as position 0, and the script pass colours "pt>go" of a
    // javascript block (from character 26 up to "</script>").
    const QString text = QStringLiteral("<script language=javascript>go</script>");
    reference::RichTextBox box(text);
    reference::Colouring literal{box, {}, true};
    literal.colourCode();
    const QRgb darkCyan = viewer::rgb(Colour::DarkCyan);
    QCOMPARE(box.colours()[25], darkCyan);
    QCOMPARE(box.colours()[29], darkCyan);
    for (const Colour c : viewer::computeColours(text))
        QVERIFY(c != Colour::DarkCyan);
}

void TestColouring::agreesWithTranscriptionOnGeneratedPages()
{
    for (quint32 seed = 1; seed <= 6; ++seed) {
        const QString page = samples::generatedLikePage(6000 + 2000 * seed, seed);
        const qsizetype at = firstDifference(page);
        QVERIFY2(at < 0, qPrintable(QStringLiteral("seed %1 differs at %2: %3")
                                        .arg(seed).arg(at).arg(around(page, at))));
    }
}

void TestColouring::agreesWithTranscriptionOnRandomTexts()
{
    for (quint32 seed = 1; seed <= 400; ++seed) {
        const QString text = samples::randomText(1 + seed % 97, seed);
        const qsizetype at = firstDifference(text);
        QVERIFY2(at < 0, qPrintable(QStringLiteral("seed %1 differs at %2 in \"%3\"")
                                        .arg(seed).arg(at).arg(text)));
    }
}

void TestColouring::longTextsColourPastSixteenBitPositions()
{
    // Blocks beyond position 32,767 are coloured like the first ones.
    QString text = QString(40000, u'.') + QStringLiteral("<% far %>");
    text += QString(40000, u'.') + QStringLiteral("<script language=vbscript>go</script>");
    const std::vector<Colour> colours = viewer::computeColours(text);
    const qsizetype far = text.indexOf(u"far");
    const qsizetype go = text.indexOf(u">go<") + 1;
    QCOMPARE(letters({colours.begin() + far, colours.begin() + far + 3}), QStringLiteral("ggg"));
    QCOMPARE(letters({colours.begin() + go, colours.begin() + go + 2}), QStringLiteral("cc"));
}

void TestColouring::progressValues()
{
    QCOMPARE(viewer::progressText(1), QStringLiteral("1.923077%"));
    QCOMPARE(viewer::progressText(2), QStringLiteral("3.846154%"));
    QCOMPARE(viewer::progressText(13), QStringLiteral("25%"));
    QCOMPARE(viewer::progressText(26), QStringLiteral("50%"));
    QCOMPARE(viewer::progressText(51), QStringLiteral("98.07692%"));
    QCOMPARE(viewer::progressText(52), QStringLiteral("100%"));

    // 100 is reached exactly once, at the last pass, though "<td" comes twice.
    QList<int> passes;
    viewer::computeColours(u"<td>", [&passes](int done) { passes << done; });
    QCOMPARE(passes.size(), viewer::kKeywordPassCount);
    for (int i = 0; i < passes.size(); ++i) {
        QCOMPARE(passes[i], i + 1);
        QCOMPARE(viewer::progressPercent(passes[i]) == 100.0f, i == passes.size() - 1);
    }
}

void TestColouring::progressMatchesTranscription()
{
    QStringList labels;
    QList<bool> messages;
    reference::RichTextBox box(QStringLiteral("<td>"));
    reference::Colouring colouring{box, [&](const QString &label, bool message) {
                                       labels << label;
                                       messages << message;
                                   }};
    colouring.colourCode();
    QCOMPARE(labels.size(), viewer::kKeywordPassCount);
    for (int pass = 1; pass <= viewer::kKeywordPassCount; ++pass) {
        QCOMPARE(viewer::progressText(pass), labels[pass - 1]);
        QCOMPARE(messages[pass - 1], pass == viewer::kKeywordPassCount);
    }
}

void TestColouring::runsCoverTheTextOnce()
{
    const QString page = samples::generatedLikePage(3000, 7);
    const std::vector<Colour> colours = viewer::computeColours(page);
    qsizetype next = 0;
    Colour previous = Colour::Black;
    bool first = true;
    for (const viewer::ColourRun &run : viewer::colourRuns(colours)) {
        QCOMPARE(run.start, next);
        QVERIFY(run.length > 0);
        QVERIFY(first || run.colour != previous);
        for (qsizetype i = run.start; i < run.start + run.length; ++i)
            QCOMPARE(colours[std::size_t(i)], run.colour);
        next = run.start + run.length;
        previous = run.colour;
        first = false;
    }
    QCOMPARE(next, page.size());
}

void TestColouring::htmlHoldsEachRunEscaped()
{
    const QString text = QStringLiteral("<p class=\"a&b\">x</p>\n<% y %>\n");
    const std::vector<Colour> colours = viewer::computeColours(text);
    const QString html = viewer::colouredHtml(text, colours, QStringLiteral("a<b>.asp"));
    QVERIFY(html.startsWith(u"<!DOCTYPE html>"));
    QVERIFY(html.contains(u"<title>a&lt;b&gt;.asp</title>"));

    const qsizetype preStart = html.indexOf(u"<pre>") + 5;
    const qsizetype preEnd = html.indexOf(u"</pre>");
    const QString pre = html.mid(preStart, preEnd - preStart);
    static const QRegularExpression span(
        QStringLiteral("<span style=\"color:#([0-9a-f]{6})\">([^<]*)</span>"));
    QString rebuilt;
    qsizetype consumed = 0;
    std::size_t runIndex = 0;
    const std::vector<viewer::ColourRun> runs = viewer::colourRuns(colours);
    for (auto it = span.globalMatch(pre); it.hasNext(); ++runIndex) {
        const QRegularExpressionMatch m = it.next();
        QCOMPARE(m.capturedStart(), consumed);
        consumed = m.capturedEnd();
        QVERIFY(runIndex < runs.size());
        QString raw = m.captured(2);
        QVERIFY(!raw.contains(u'>') && !raw.contains(u'"'));
        raw.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        raw.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        raw.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        raw.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        QCOMPARE(raw, text.mid(runs[runIndex].start, runs[runIndex].length));
        QCOMPARE(m.captured(1).toUInt(nullptr, 16),
                 viewer::rgb(runs[runIndex].colour) & 0xffffffu);
        rebuilt += raw;
    }
    QCOMPARE(consumed, pre.size());
    QCOMPARE(runIndex, runs.size());
    QCOMPARE(rebuilt, text);
}

QTEST_APPLESS_MAIN(TestColouring)
#include "tst_colouring.moc"
