#include "codeviewer.h"

#include "colouring.h"
#include "printabledocument.h"
#include "toolbaricons.h"
#include "viewerfile.h"

#include "ui/userprompts.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace viewer {

namespace {

const QString kFilter = QStringLiteral("Asp Files (*.asp *.ASP)");

// Loads the text plain, then colours the runs that are not black: much cheaper than
// inserting every run with its format, above all in an editor that does not wrap lines.
void fillDocument(QTextDocument *document, const QString &text,
                  const std::vector<Colour> &colours)
{
    document->setUndoRedoEnabled(false);
    document->setPlainText(text);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const ColourRun &run : colourRuns(colours)) {
        if (run.colour == Colour::Black)
            continue;
        QTextCharFormat format;
        format.setForeground(QColor::fromRgb(rgb(run.colour)));
        cursor.setPosition(run.start);
        cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(true);
}

} // namespace

CodeViewer::CodeViewer(ui::UserPrompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("rtfText"));
    m_text->setAccessibleName(tr("Generated code"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_percent = new QLabel(this);
    m_percent->setObjectName(QStringLiteral("Label4"));
    m_percent->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00.000000%")));
    m_state = new QLabel(tr("Wait!"), this);
    m_state->setObjectName(QStringLiteral("Label5"));
    m_fileName = new QLabel(this);
    m_fileName->setObjectName(QStringLiteral("Label6"));
    m_fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);

    buildToolBar();

    auto *status = new QHBoxLayout;
    status->addWidget(m_progress, 1);
    status->addWidget(m_percent);
    status->addWidget(m_state);
    status->addWidget(m_fileName, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_text, 1);
    layout->addLayout(status);
}

void CodeViewer::buildToolBar()
{
    const auto add = [this](const QString &key, auto slot) {
        QAction *action = m_toolBar->addAction(toolbarIcon(key), key);
        action->setObjectName(key);
        action->setToolTip(key);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(QStringLiteral("Open"), [this] { openFile(); });
    add(QStringLiteral("Save"), [this] { saveFile(); });
    add(QStringLiteral("Print"), [this] { printText(); });
    add(QStringLiteral("Cut"), [this] { cut(); });
    add(QStringLiteral("Copy"), [this] { copy(); });
    add(QStringLiteral("Paste"), [this] { paste(); });
    m_bold = add(QStringLiteral("Bold"), [this] { toggleBold(); });
    m_italic = add(QStringLiteral("Italic"), [this] { toggleItalic(); });
    m_underline = add(QStringLiteral("Underline"), [this] { toggleUnderline(); });
    add(QStringLiteral("Align Left"), [this] { setParagraphAlignment(Qt::AlignLeft); });
    add(QStringLiteral("Center"), [this] { setParagraphAlignment(Qt::AlignHCenter); });
    add(QStringLiteral("Align Right"), [this] { setParagraphAlignment(Qt::AlignRight); });
    for (QAction *toggle : {m_bold, m_italic, m_underline})
        toggle->setCheckable(true);
}

void CodeViewer::setCompletionMessage(const QString &message)
{
    m_completionMessage = message;
}

QString CodeViewer::text() const
{
    QString text = m_text->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void CodeViewer::clearViewer()
{
    m_text->clear();
    m_text->repaint();
}

void CodeViewer::showGeneratedCode(const QString &filePath)
{
    clearViewer();
    const ViewerFile file = readViewerFile(filePath);
    if (!file.ok) {
        m_currentFile.clear();
        m_fileName->clear();
        m_prompts.message(tr("The generated page %1 could not be read: %2")
                              .arg(filePath, file.error),
                          ui::UserPrompts::Icon::Warning);
        return;
    }
    showFile(filePath, isVoiceXmlFile(filePath) ? file.text : file.text.toLower(),
             file.windows1252);
}

void CodeViewer::showFile(const QString &filePath, const QString &text, bool windows1252)
{
    m_currentFile = filePath;
    m_windows1252 = windows1252;
    m_fileName->setText(filePath);
    m_fileName->repaint();
    colourCode(text);
}

void CodeViewer::colourCode(const QString &text)
{
    m_state->setText(tr("Wait!"));
    m_progress->setValue(0);
    m_percent->clear();
    const PassCallback progress = [this](int passesDone) {
        // The bar holds whole percents; it stands at 100 only after the last pass.
        m_progress->setValue(int(progressPercent(passesDone)));
        const QString percent = progressText(passesDone);
        m_percent->setText(percent);
        m_percent->repaint();
        Q_EMIT colouringProgressed(passesDone, percent);
    };
    const std::vector<Colour> colours = isVoiceXmlFile(m_currentFile)
                                            ? computeMarkupColours(text, progress)
                                            : computeColours(text, progress);
    fillDocument(m_text->document(), text, colours);
    m_text->moveCursor(QTextCursor::Start);
    if (m_progress->value() == m_progress->maximum() && !m_completionMessage.isEmpty())
        m_prompts.message(m_completionMessage, ui::UserPrompts::Icon::Information);
    m_state->setText(tr("Done"));
    m_state->repaint();
}

void CodeViewer::openFile()
{
    const QString path = m_prompts.openFileName(tr("Open"), kFilter, QString());
    if (path.isEmpty())
        return;
    const ViewerFile file = readViewerFile(path);
    if (!file.ok) {
        m_prompts.message(tr("%1 could not be opened: %2").arg(path, file.error),
                          ui::UserPrompts::Icon::Warning);
        return;
    }
    clearViewer();
    Q_EMIT windowCaptionRequested(path);
    showFile(path, file.text, file.windows1252);
}

void CodeViewer::saveFile()
{
    QString target = m_currentFile;
    const bool choosing = target.isEmpty();
    if (choosing) {
        target = m_prompts.saveFileName(tr("Save"), kFilter, QString());
        if (target.isEmpty())
            return;
    }
    const ViewerFile written = writeViewerFile(target, text(), m_windows1252);
    if (!written.ok) {
        m_prompts.message(tr("%1 could not be saved: %2").arg(target, written.error),
                          ui::UserPrompts::Icon::Warning);
        return;
    }
    m_windows1252 = written.windows1252;
    if (choosing) {
        m_currentFile = target;
        m_fileName->setText(target);
        Q_EMIT windowCaptionRequested(target);
    }
}

void CodeViewer::printText()
{
    QPrinter printer;
    const QTextCursor cursor = m_text->textCursor();
    const bool hasSelection = cursor.hasSelection();
    bool selectionOnly = hasSelection;
    if (!m_prompts.choosePrinter(printer, hasSelection, selectionOnly))
        return;
    printableDocument(*m_text->document(), cursor, selectionOnly)->print(&printer);
}

void CodeViewer::cut()
{
    // QTextEdit puts the plain words and the rich text on the clipboard together.
    m_text->cut();
}

void CodeViewer::copy()
{
    m_text->copy();
}

void CodeViewer::paste()
{
    m_text->insertPlainText(QGuiApplication::clipboard()->text());
}

void CodeViewer::toggleBold()
{
    const bool bold = m_text->fontWeight() > QFont::Normal;
    m_text->setFontWeight(bold ? QFont::Normal : QFont::Bold);
    m_bold->setChecked(m_text->fontWeight() > QFont::Normal);
}

void CodeViewer::toggleItalic()
{
    m_text->setFontItalic(!m_text->fontItalic());
    m_italic->setChecked(m_text->fontItalic());
}

void CodeViewer::toggleUnderline()
{
    m_text->setFontUnderline(!m_text->fontUnderline());
    m_underline->setChecked(m_text->fontUnderline());
}

void CodeViewer::setParagraphAlignment(Qt::Alignment alignment)
{
    m_text->setAlignment(alignment);
}

} // namespace viewer
