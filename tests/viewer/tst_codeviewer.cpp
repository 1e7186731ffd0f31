#include "fakeuserprompts.h"

#include "viewer/codeviewer.h"
#include "viewer/colouring.h"
#include "viewer/printabledocument.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>

namespace {

const QStringList kButtons{"Open",      "Save",   "Print",      "Cut",         "Copy",
                           "Paste",     "Bold",   "Italic",     "Underline",   "Align Left",
                           "Center",    "Align Right"};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The colour the document shows at each position; line breaks (no visible colour) are
// left at 0.
std::vector<QRgb> documentColours(const QTextDocument *document)
{
    std::vector<QRgb> colours(std::size_t(document->characterCount() - 1), 0);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QRgb colour = fragment.charFormat().foreground().color().rgb();
            for (int i = 0; i < fragment.length(); ++i)
                colours[std::size_t(fragment.position() + i)] = colour;
        }
    }
    return colours;
}

} // namespace

class TestCodeViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void toolbarHasTheTwelveButtons();
    void generatedPageIsLowerCasedAndColoured();
    void completionMessageByTargetAndFlag_data();
    void completionMessageByTargetAndFlag();
    void unreadableGeneratedPageIsReported();
    void openShowsTheFileUnchangedAndColoured();
    void cancelledOpenKeepsTheViewer();
    void unreadableOpenIsReported();
    void saveWritesBackToTheOpenedFile();
    void saveAfterGenerationWritesTheGeneratedPage();
    void saveWithoutFileAsks();
    void failedSaveIsReported();
    void copyAndCutGivePlainAndRichText();
    void pasteInsertsPlainText();
    void printsThroughThePrintDialog();
    void printableDocumentIsSelectionOrWhole();
    void attributeButtonsToggleAndShowState();
    void alignmentButtons();

private:
    QAction *button(const QString &key) const;
    QTextEdit *editor() const { return m_viewer->findChild<QTextEdit *>("rtfText"); }
    QLabel *label(const char *name) const { return m_viewer->findChild<QLabel *>(name); }
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeUserPrompts> m_prompts;
    std::unique_ptr<viewer::CodeViewer> m_viewer;
};

void TestCodeViewer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompts = std::make_unique<FakeUserPrompts>();
    m_viewer = std::make_unique<viewer::CodeViewer>(*m_prompts);
    m_viewer->resize(800, 600);
    m_viewer->show();
}

void TestCodeViewer::cleanup()
{
    m_viewer.reset();
    m_prompts.reset();
    m_dir.reset();
}

QAction *TestCodeViewer::button(const QString &key) const
{
    const auto *toolBar = m_viewer->findChild<QToolBar *>("tbToolBar");
    for (QAction *action : toolBar->actions()) {
        if (action->text() == key)
            return action;
    }
    return nullptr;
}

void TestCodeViewer::toolbarHasTheTwelveButtons()
{
    const auto *toolBar = m_viewer->findChild<QToolBar *>("tbToolBar");
    QVERIFY(toolBar);
    QStringList keys;
    for (const QAction *action : toolBar->actions()) {
        keys << action->text();
        QCOMPARE(action->toolTip(), action->text());
        QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
    }
    QCOMPARE(keys, kButtons);
    for (const char *name : {"rtfText", "ProgressBar1", "Label4", "Label5", "Label6"})
        QVERIFY2(m_viewer->findChild<QWidget *>(name), name);
}

void TestCodeViewer::generatedPageIsLowerCasedAndColoured()
{
    const QString page = path("callTTS.asp");
    writeFile(page, "<HTML>\r\n<TABLE BORDER=1>\r\n<% X = 1 %>\r\nX = 1\r\n</HTML>\r\n");
    m_viewer->setCompletionMessage("Code generated: CallTTS.asp");
    QSignalSpy progress(m_viewer.get(), &viewer::CodeViewer::colouringProgressed);

    m_viewer->showGeneratedCode(page);

    const QString expectedText = "<html>\n<table border=1>\n<% x = 1 %>\nx = 1\n</html>\n";
    QCOMPARE(m_viewer->text(), expectedText);
    QCOMPARE(editor()->toPlainText(), expectedText);
    const std::vector<viewer::Colour> expected = viewer::computeColours(expectedText);
    const std::vector<QRgb> shown = documentColours(editor()->document());
    QCOMPARE(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (expectedText[qsizetype(i)] != u'\n')
            QCOMPARE(shown[i], viewer::rgb(expected[i]));
    }
    // "x = 1" outside the block is dark green too.
    QCOMPARE(shown[std::size_t(expectedText.lastIndexOf(u"x = 1"))],
             viewer::rgb(viewer::Colour::DarkGreen));

    QCOMPARE(progress.size(), viewer::kKeywordPassCount);
    QCOMPARE(progress.first().at(1).toString(), QStringLiteral("1.923077%"));
    QCOMPARE(progress.at(25).at(1).toString(), QStringLiteral("50%"));
    QCOMPARE(progress.last().at(1).toString(), QStringLiteral("100%"));
    QCOMPARE(m_viewer->findChild<QProgressBar *>("ProgressBar1")->value(), 100);
    QCOMPARE(label("Label4")->text(), QStringLiteral("100%"));
    QCOMPARE(label("Label5")->text(), QStringLiteral("Done"));
    QCOMPARE(m_prompts->messages, QStringList{"Code generated: CallTTS.asp"});
    QCOMPARE(m_prompts->messageIcons.first(), ui::UserPrompts::Icon::Information);
    QCOMPARE(m_viewer->currentFile(), page);
    QCOMPARE(label("Label6")->text(), page);
}

void TestCodeViewer::completionMessageByTargetAndFlag_data()
{
    // What the generation commands hand over, by target and remote-page flag.
    QTest::addColumn<QString>("message");
    QTest::newRow("wteTTS remote") << "Code generated: CallTTS.asp and RemoteTTS.asp";
    QTest::newRow("wteTTS") << "Code generated: CallTTS.asp";
    QTest::newRow("wteWave remote") << "Code generated: CallWave.asp and RemoteWave.asp";
    QTest::newRow("wteWave") << "Code generated: CallWave.asp";
    QTest::newRow("callxml with or without flag") << "Code generated: CallXml.asp";
    QTest::newRow("other target: none") << "";
}

void TestCodeViewer::completionMessageByTargetAndFlag()
{
    QFETCH(QString, message);
    const QString page = path("page.asp");
    writeFile(page, "<td>a</td>\r\n");
    m_viewer->setCompletionMessage(message);

    m_viewer->showGeneratedCode(page);
    QCOMPARE(m_prompts->messages, message.isEmpty() ? QStringList() : QStringList{message});

    // Open colours with the same message, once more.
    m_prompts->openFiles.enqueue(page);
    button("Open")->trigger();
    QCOMPARE(m_prompts->messages.size(), message.isEmpty() ? 0 : 2);
    QCOMPARE(label("Label5")->text(), QStringLiteral("Done"));
}

void TestCodeViewer::unreadableGeneratedPageIsReported()
{
    m_viewer->showGeneratedCode(path("missing.asp"));
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_prompts->messages.first().contains("missing.asp"));
    QCOMPARE(m_prompts->messageIcons.first(), ui::UserPrompts::Icon::Warning);
    QVERIFY(m_viewer->currentFile().isEmpty());
    QVERIFY(m_viewer->text().isEmpty());
}

void TestCodeViewer::openShowsTheFileUnchangedAndColoured()
{
    const QString page = path("Upper.ASP");
    writeFile(page, "<TABLE BORDER=1>\r\n");
    QSignalSpy caption(m_viewer.get(), &viewer::CodeViewer::windowCaptionRequested);

    button("Open")->trigger();
    // The dialog was cancelled (empty queue); now choose the file.
    m_prompts->openFiles.enqueue(page);
    button("Open")->trigger();

    QCOMPARE(m_prompts->fileDialogs.last(), QStringLiteral("open:Open|Asp Files (*.asp *.ASP)"));
    QCOMPARE(m_viewer->text(), QStringLiteral("<TABLE BORDER=1>\n"));
    QCOMPARE(caption.size(), 1);
    QCOMPARE(caption.first().first().toString(), page);
    QCOMPARE(label("Label6")->text(), page);
    QCOMPARE(m_viewer->currentFile(), page);
    const std::vector<QRgb> shown = documentColours(editor()->document());
    const QRgb k = viewer::rgb(viewer::Colour::Black);
    const QRgb b = viewer::rgb(viewer::Colour::Blue);
    const std::vector<QRgb> expected{b, k, k, k, k, k, k, k, k, k, k, k, k, b, k, b, 0};
    QCOMPARE(shown, expected);
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestCodeViewer::cancelledOpenKeepsTheViewer()
{
    const QString page = path("a.asp");
    writeFile(page, "<p>keep</p>\r\n");
    m_viewer->showGeneratedCode(page);
    editor()->moveCursor(QTextCursor::End);
    editor()->insertPlainText("edited");

    button("Open")->trigger();

    QCOMPARE(m_prompts->fileDialogs.size(), 1);
    QCOMPARE(m_viewer->text(), QStringLiteral("<p>keep</p>\nedited"));
    QCOMPARE(m_viewer->currentFile(), page);
}

void TestCodeViewer::unreadableOpenIsReported()
{
    m_prompts->openFiles.enqueue(path("nowhere.asp"));
    button("Open")->trigger();
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messageIcons.first(), ui::UserPrompts::Icon::Warning);
    QVERIFY(m_viewer->currentFile().isEmpty());
}

void TestCodeViewer::saveWritesBackToTheOpenedFile()
{
    const QString page = path("a.asp");
    writeFile(page, "<P>One</P>\r\nTwo\r\n");
    m_prompts->openFiles.enqueue(page);
    button("Open")->trigger();
    editor()->moveCursor(QTextCursor::End);
    editor()->insertPlainText("Three");

    button("Save")->trigger();

    QVERIFY(m_prompts->messages.isEmpty());
    QVERIFY(!m_prompts->fileDialogs.join(' ').contains("save:"));
    QCOMPARE(readFile(page), QByteArray("<P>One</P>\r\nTwo\r\nThree"));
}

void TestCodeViewer::saveAfterGenerationWritesTheGeneratedPage()
{
    const QString opened = path("opened.asp");
    const QString generated = path("callWave.asp");
    writeFile(opened, "opened\r\n");
    writeFile(generated, "GENERATED\r\n");
    m_prompts->openFiles.enqueue(opened);
    button("Open")->trigger();
    m_viewer->showGeneratedCode(generated);
    editor()->moveCursor(QTextCursor::End);
    editor()->insertPlainText("more");

    button("Save")->trigger();

    QCOMPARE(readFile(opened), QByteArray("opened\r\n"));
    QCOMPARE(readFile(generated), QByteArray("generated\r\nmore"));
}

void TestCodeViewer::saveWithoutFileAsks()
{
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    editor()->setPlainText("typed");

    button("Save")->trigger(); // cancelled
    QCOMPARE(m_prompts->fileDialogs, QStringList{"save:Save|Asp Files (*.asp *.ASP)"});
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());

    const QString chosen = path("chosen.asp");
    m_prompts->saveFiles.enqueue(chosen);
    QSignalSpy caption(m_viewer.get(), &viewer::CodeViewer::windowCaptionRequested);
    button("Save")->trigger();
    QDir::setCurrent(oldCurrent);

    QCOMPARE(readFile(chosen), QByteArray("typed"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"chosen.asp"});
    QCOMPARE(m_viewer->currentFile(), chosen);
    QCOMPARE(caption.size(), 1);
    // Saving again goes to the same file without asking.
    button("Save")->trigger();
    QCOMPARE(m_prompts->fileDialogs.size(), 2);
}

void TestCodeViewer::failedSaveIsReported()
{
    const QString page = path("a.asp");
    writeFile(page, "text\r\n");
    m_prompts->openFiles.enqueue(page);
    button("Open")->trigger();
    QVERIFY(QFile::remove(page));
    QVERIFY(QDir(m_dir->path()).mkdir("a.asp")); // a folder where the file was

    button("Save")->trigger();

    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messageIcons.first(), ui::UserPrompts::Icon::Warning);
}

void TestCodeViewer::copyAndCutGivePlainAndRichText()
{
    const QString page = path("a.asp");
    writeFile(page, "<td>cell</td>\r\n");
    m_viewer->showGeneratedCode(page);
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(8, QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);

    button("Copy")->trigger();
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QCOMPARE(copied->text(), QStringLiteral("<td>cell"));
    QVERIFY(copied->hasHtml());
    QVERIFY(copied->html().contains("cell"));
    QVERIFY(copied->html().contains("color:#0000ff")); // the rich text keeps the colours
    QCOMPARE(m_viewer->text(), QStringLiteral("<td>cell</td>\n"));

    button("Cut")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("<td>cell"));
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasHtml());
    QCOMPARE(m_viewer->text(), QStringLiteral("</td>\n"));
}

void TestCodeViewer::pasteInsertsPlainText()
{
    auto *mime = new QMimeData;
    mime->setHtml("<b>bold words</b><table><tr><td>cell</td></tr></table>");
    mime->setText("plain words");
    QGuiApplication::clipboard()->setMimeData(mime);
    editor()->setPlainText("a|b");
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);

    button("Paste")->trigger();

    QCOMPARE(m_viewer->text(), QStringLiteral("aplain wordsb"));
    for (QTextBlock block = editor()->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            QVERIFY(it.fragment().charFormat().fontWeight() <= QFont::Normal);
    }
}

void TestCodeViewer::printsThroughThePrintDialog()
{
    const QString page = path("a.asp");
    writeFile(page, "<p>print me</p>\r\n");
    m_viewer->showGeneratedCode(page);

    const QString cancelledPdf = path("cancelled.pdf");
    m_prompts->printToPdf = cancelledPdf;
    m_prompts->printAnswers.enqueue(false);
    button("Print")->trigger();
    QCOMPARE(m_prompts->printDialogs, 1);
    QVERIFY(!QFile::exists(cancelledPdf));
    QVERIFY(!m_prompts->lastSelectionAvailable);

    const QString pdf = path("printed.pdf");
    m_prompts->printToPdf = pdf;
    m_prompts->printAnswers.enqueue(true);
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(3);
    cursor.setPosition(8, QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);
    button("Print")->trigger();
    QVERIFY(m_prompts->lastSelectionAvailable);
    QVERIFY(readFile(pdf).startsWith("%PDF"));
}

void TestCodeViewer::printableDocumentIsSelectionOrWhole()
{
    QTextDocument document;
    document.setPlainText("first line\nsecond line");
    QTextCursor selection(&document);
    selection.setPosition(6);
    selection.setPosition(15, QTextCursor::KeepAnchor);

    QCOMPARE(viewer::printableDocument(document, selection, true)->toPlainText(),
             QStringLiteral("line\nseco"));
    QCOMPARE(viewer::printableDocument(document, selection, false)->toPlainText(),
             document.toPlainText());
    QTextCursor none(&document);
    QCOMPARE(viewer::printableDocument(document, none, true)->toPlainText(),
             document.toPlainText());
}

void TestCodeViewer::attributeButtonsToggleAndShowState()
{
    editor()->setPlainText("one two");
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);
    const auto formatAt = [this](int position) {
        QTextCursor c(editor()->document());
        c.setPosition(position + 1);
        return c.charFormat();
    };

    button("Bold")->trigger();
    QVERIFY(formatAt(1).fontWeight() > QFont::Normal);
    QVERIFY(formatAt(4).fontWeight() <= QFont::Normal);
    QVERIFY(button("Bold")->isChecked());
    button("Bold")->trigger();
    QVERIFY(formatAt(1).fontWeight() <= QFont::Normal);
    QVERIFY(!button("Bold")->isChecked());

    button("Italic")->trigger();
    QVERIFY(formatAt(2).fontItalic());
    QVERIFY(button("Italic")->isChecked());
    button("Underline")->trigger();
    QVERIFY(formatAt(0).fontUnderline());
    QVERIFY(button("Underline")->isChecked());
    button("Italic")->trigger();
    QVERIFY(!formatAt(2).fontItalic());
    QVERIFY(formatAt(2).fontUnderline());
    QVERIFY(!button("Italic")->isChecked());
}

void TestCodeViewer::alignmentButtons()
{
    editor()->setPlainText("line");
    const auto alignment = [this] {
        return editor()->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    };
    button("Center")->trigger();
    QCOMPARE(alignment(), Qt::AlignHCenter);
    button("Align Right")->trigger();
    QCOMPARE(alignment(), Qt::AlignRight);
    button("Align Left")->trigger();
    QCOMPARE(alignment(), Qt::AlignLeft);
}

QTEST_MAIN(TestCodeViewer)
#include "tst_codeviewer.moc"
