#include "fakeuserprompts.h"
#include "referencecolouring.h"
#include "testdirs.h"

#include "viewer/codeviewer.h"
#include "viewer/colourhtml.h"
#include "viewer/colouring.h"
#include "viewer/printabledocument.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using viewer::Colour;

namespace {

// One letter per character: k black, r red, b blue, m "brown" (magenta), y dark yellow,
// g dark green, c dark cyan.
QString letters(const std::vector<Colour> &colours)
{
    QString s;
    for (const Colour c : colours)
        s += QStringLiteral("krbmygc").at(int(c));
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

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The colour the document shows at each character, line breaks left out.
std::vector<QRgb> documentColours(const QTextDocument *document)
{
    std::vector<QRgb> colours;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QRgb colour = it.fragment().charFormat().foreground().color().rgb();
            colours.insert(colours.end(), std::size_t(it.fragment().length()), colour);
        }
    }
    return colours;
}

std::vector<QRgb> expectedColours(const QString &text)
{
    std::vector<QRgb> colours;
    const std::vector<Colour> computed = viewer::computeColours(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n')
            colours.push_back(viewer::rgb(computed[std::size_t(i)]));
    }
    return colours;
}

} // namespace

class TestViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void colours_data();
    void colours();
    void agreesWithTranscriptionOnPagesAndRandomTexts();
    void longTextsColourPastSixteenBitPositions();
    void htmlHoldsEachRunEscaped();
    void generatedPageIsLowerCasedColouredAndReported();
    void openShowsTheFileUnchangedAndSaveWritesItBack();
    void windows1252PagesAreKept();
    void failuresAreReported();
    void printsSelectionOrWhole();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QTextEdit *editor() const { return m_viewer->findChild<QTextEdit *>("rtfText"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeUserPrompts> m_prompts;
    std::unique_ptr<viewer::CodeViewer> m_viewer;
};

void TestViewer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompts = std::make_unique<FakeUserPrompts>();
    m_viewer = std::make_unique<viewer::CodeViewer>(*m_prompts);
}

void TestViewer::cleanup()
{
    m_viewer.reset();
    m_prompts.reset();
    m_dir.reset();
}

void TestViewer::colours_data()
{
    // Expected letters worked by hand; every row is also compared with the transcription
    // of the original routines (rows without letters only with it).
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("generated table tag") << "<table border=1>" << "bmmmmmkrrrrrrbkb";
    QTest::newRow("opened upper case: brackets and equals only")
        << "<TABLE BORDER=1>" << "bkkkkkkkkkkkkbkb";
    QTest::newRow("closing tag") << "</td>" << "bmmmb";
    QTest::newRow("comment opener ends blue") << "<!-- x -->" << "bbkkkkkkkb";
    QTest::newRow("asp delimiters and body") << "<%x%>" << "yygyy";
    QTest::newRow("asp body coloured elsewhere too")
        << "<% x = 1 %>\nlet x = 1;" << "yykgggggkyykkkkkgggggk";
    QTest::newRow("empty asp block") << "<% %> a" << "yykyykk";
    QTest::newRow("overlapping occurrences") << "<%aa%>aaa" << "yyggyyggg";
    QTest::newRow("content-type after content=")
        << "content-type content=x" << "bbbbbbbbbbbbkrrrrrrrbk";
    QTest::newRow("vbscript block body")
        << "<script language=vbscript>go</script>" << "bkkkkkkkkkkkkkkkbkkkkkkkkbccbkkkkkkkb";
    QTest::newRow("javascript block untouched")
        << "<script language=javascript>go</script>"
        << "bkkkkkkkkkkkkkkkbkkkkkkkkkkbkkbkkkkkkkb";
    QTest::newRow("single character") << ">" << "k";
    QTest::newRow("last character after the same") << "a>>" << "kbk";
    QTest::newRow("last character after another") << "a=>" << "kbb";
    QTest::newRow("stray closer") << "abc%>abc" << "kkkyykkk";
    QTest::newRow("empty text") << "" << "";
    QTest::newRow("stray closers after the last block") << "xyz<% a %>  %> b %>%>%> c %> a"
                                                        << "";
    QTest::newRow("closer before opener") << "%> <% a %>" << "";
    QTest::newRow("upper-case script opener") << "<SCRIPT language=vbscript>a</SCRIPT>" << "";
    QTest::newRow("body equal to the rest") << "<%%%>%>" << "";
    // A VoiceXML document's own tag and attribute names, coloured as the HTML ones are.
    QTest::newRow("markup: tag and attribute") << "<form id=\"n1\">" << "bmmmmkrrbkkkkb";
    QTest::newRow("markup: closing tag") << "</form>" << "bmmmmmb";
    QTest::newRow("markup: names in a value stay") << "<if cond='a b=c'>" << "bmmkrrrrbkkkkbkkb";
    QTest::newRow("markup: comment") << "<!-- <a x=1> -->" << "bbkkkbmkkbkbkkkb";
}

void TestViewer::colours()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    if (QByteArray(QTest::currentDataTag()).startsWith("markup"))
        QCOMPARE(letters(viewer::computeMarkupColours(text)), expected);
    else if (!expected.isEmpty() || text.isEmpty())
        QCOMPARE(letters(viewer::computeColours(text)), expected);
    QCOMPARE(firstDifference(text), qsizetype(-1));
}

void TestViewer::agreesWithTranscriptionOnPagesAndRandomTexts()
{
    const QDir golden(sourceDir() + QStringLiteral("/tests/codegen/golden"));
    const QStringList pages = golden.entryList({QStringLiteral("*.asp")});
    QVERIFY(pages.size() >= 4);
    for (const QString &name : pages) {
        const QString page = QString::fromLatin1(readFile(golden.filePath(name))).toLower();
        const qsizetype at = firstDifference(page);
        QVERIFY2(at < 0, qPrintable(name + u' ' + page.mid(at, 60)));
    }
    // Random texts of the pieces the colouring reacts to: blocks, stray delimiters,
    // overlaps and text ends all come up often.
    const QStringList pieces{"<", ">", "=", "%", "<%", "%>", " ", "\n", "a", "aa", "x = 1",
                             "/", "<td", "border=", "<table", "<!", "content-type", "content=",
                             "<script language=vbscript>", "</script>", "B",
                             "<script language=javascript>", "\u00e9"};
    QRandomGenerator random(7);
    for (int round = 0; round < 400; ++round) {
        QString text;
        for (int i = 1 + round % 97; i > 0; --i)
            text += pieces[random.bounded(int(pieces.size()))];
        QVERIFY2(firstDifference(text) < 0, qPrintable(text));
    }
}

void TestViewer::longTextsColourPastSixteenBitPositions()
{
    QString text = QString(40000, u'.') + QStringLiteral("<% far %>");
    text += QString(40000, u'.') + QStringLiteral("<script language=vbscript>go</script>");
    const std::vector<Colour> colours = viewer::computeColours(text);
    const qsizetype far = text.indexOf(u"far");
    const qsizetype go = text.indexOf(u">go<") + 1;
    QCOMPARE(letters({colours.begin() + far, colours.begin() + far + 3}), QStringLiteral("ggg"));
    QCOMPARE(letters({colours.begin() + go, colours.begin() + go + 2}), QStringLiteral("cc"));
}

void TestViewer::htmlHoldsEachRunEscaped()
{
    const QString text = QStringLiteral("<p a=\"&\">x</p>");
    const QString html = viewer::colouredHtml(text, viewer::computeColours(text), "a<b>.asp");
    QVERIFY(html.contains(u"<title>a&lt;b&gt;.asp</title>"));
    const auto span = [](const char *colour, const char *text) {
        return QStringLiteral("<span style=\"color:#%1\">%2</span>").arg(colour, text);
    };
    const QString blue = span("0000ff", "&gt;");
    QVERIFY2(html.contains("<pre>" + span("0000ff", "&lt;") + span("ff00ff", "p")
                           + span("000000", " a") + span("0000ff", "=")
                           + span("000000", "&quot;&amp;&quot;") + blue + span("000000", "x")
                           + span("0000ff", "&lt;") + span("ff00ff", "/p") + blue + "</pre>"),
             qPrintable(html));
}

void TestViewer::generatedPageIsLowerCasedColouredAndReported()
{
    const QString page = path("callTTS.asp");
    writeFile(page, "<HTML>\r\n<TABLE BORDER=1>\r\n<% X = 1 %>\r\nX = 1\r\n</HTML>\r\n");
    m_viewer->setCompletionMessage("Code generated: CallTTS.asp");
    m_viewer->showGeneratedCode(page);
    const QString text = "<html>\n<table border=1>\n<% x = 1 %>\nx = 1\n</html>\n";
    QCOMPARE(m_viewer->text(), text);
    QVERIFY(documentColours(editor()->document()) == expectedColours(text));
    QCOMPARE(m_prompts->messages, QStringList{"Code generated: CallTTS.asp"});
    QCOMPARE(m_viewer->currentFile(), page);
    // Open colours with the message of the last generation once more.
    m_prompts->openFiles << page;
    m_viewer->openFile();
    QCOMPARE(m_prompts->messages.size(), 2);
}

void TestViewer::openShowsTheFileUnchangedAndSaveWritesItBack()
{
    // Without a file Save asks for one, once.
    editor()->setPlainText("typed");
    m_viewer->saveFile(); // cancelled
    m_prompts->saveFiles << path("chosen.asp");
    m_viewer->saveFile();
    m_viewer->saveFile();
    QCOMPARE(readFile(path("chosen.asp")), QByteArray("typed"));
    QCOMPARE(m_prompts->fileDialogs.size(), 2);

    const QString page = path("Upper.ASP");
    writeFile(page, "<TABLE BORDER=1>\r\nTwo\r\n");
    m_prompts->openFiles << page;
    m_viewer->openFile();
    QCOMPARE(m_viewer->text(), QStringLiteral("<TABLE BORDER=1>\nTwo\n"));
    QVERIFY(documentColours(editor()->document()) == expectedColours(m_viewer->text()));
    editor()->moveCursor(QTextCursor::End);
    editor()->insertPlainText("Three");
    m_viewer->saveFile();
    QCOMPARE(readFile(page), QByteArray("<TABLE BORDER=1>\r\nTwo\r\nThree"));
    QCOMPARE(m_prompts->fileDialogs.size(), 3);

    // A generation shown afterwards is what Save writes to from then on.
    const QString generated = path("callWave.asp");
    writeFile(generated, "GENERATED\r\n");
    m_viewer->showGeneratedCode(generated);
    m_viewer->saveFile();
    QCOMPARE(readFile(generated), QByteArray("generated\r\n"));
    QCOMPARE(readFile(page), QByteArray("<TABLE BORDER=1>\r\nTwo\r\nThree"));
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestViewer::windows1252PagesAreKept()
{
    // The save-recorded-message section quotes with 0x93 and 0x94.
    const QString page = path("callTTS.asp");
    const QByteArray bytes = "say \x93" "digits\x94 \x80\r\n";
    writeFile(page, bytes);
    m_viewer->showGeneratedCode(page);
    QCOMPARE(m_viewer->text(), QStringLiteral("say \u201cdigits\u201d \u20ac\n"));
    m_viewer->saveFile();
    QCOMPARE(readFile(page), bytes);
    editor()->insertPlainText(QStringLiteral("\u0416"));
    m_viewer->saveFile();
    QCOMPARE(readFile(page), bytes);
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY2(m_prompts->messages[0].contains("U+0416"), qPrintable(m_prompts->messages[0]));
}

void TestViewer::failuresAreReported()
{
    m_viewer->showGeneratedCode(path("missing.asp"));
    m_prompts->openFiles << path("nowhere.asp");
    m_viewer->openFile();
    const QString page = path("a.asp");
    writeFile(page, "text\r\n");
    m_prompts->openFiles << page;
    m_viewer->openFile();
    QVERIFY(QFile::remove(page));
    QVERIFY(QDir(m_dir->path()).mkdir("a.asp")); // a folder where the file was
    m_viewer->saveFile();
    QCOMPARE(m_prompts->messages.size(), 3);
    QVERIFY(m_prompts->messages[0].contains("missing.asp"));
    QVERIFY(m_prompts->messages[1].contains("nowhere.asp"));
    QVERIFY(m_prompts->messages[2].contains("a.asp"));
}

void TestViewer::printsSelectionOrWhole()
{
    // What Print sends: the selection when asked for, else the whole text.
    QTextDocument document;
    document.setPlainText("first line\nsecond line");
    QTextCursor selection(&document);
    selection.setPosition(6);
    selection.setPosition(15, QTextCursor::KeepAnchor);
    QCOMPARE(viewer::printableDocument(document, selection, true)->toPlainText(),
             QStringLiteral("line\nseco"));
    QCOMPARE(viewer::printableDocument(document, selection, false)->toPlainText(),
             document.toPlainText());
}

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
