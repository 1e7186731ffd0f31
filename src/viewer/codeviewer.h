#pragma once

#include <QString>
#include <QWidget>

class QAction;
class QLabel;
class QProgressBar;
class QTextEdit;
class QToolBar;

namespace ui {
class UserPrompts;
}

namespace viewer {

// The code-viewer tab: a rich-text view of a page, coloured, with its toolbar and the
// progress of the colouring. It shows either the page of the last generation or a file the
// user opened, and Save writes back to exactly that file.
class CodeViewer : public QWidget
{
    Q_OBJECT

public:
    explicit CodeViewer(ui::UserPrompts &prompts, QWidget *parent = nullptr);

    // Shows a generated page: empties the viewer, loads the file, lower-cases (but for a
    // VoiceXML document) and colours it, shows the completion message once at 100 %, and
    // remembers the file for Save.
    void showGeneratedCode(const QString &filePath);
    // The message shown when a colouring reaches 100 % (after a generation and after Open);
    // empty: none.
    void setCompletionMessage(const QString &message);
    QString completionMessage() const { return m_completionMessage; }
    // The file the viewer shows and Save writes to; empty when it shows none.
    QString currentFile() const { return m_currentFile; }
    // The viewer's text, one line feed per line break.
    QString text() const;

    // The toolbar commands.
    void openFile();
    void saveFile();
    void printText();
    void cut();
    void copy();
    void paste();
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void setParagraphAlignment(Qt::Alignment alignment);

Q_SIGNALS:
    void windowCaptionRequested(const QString &caption);
    // After each keyword pass of a colouring (1 to 52), with the percentage shown.
    void colouringProgressed(int passesDone, const QString &percentText);

private:
    void buildToolBar();
    void showFile(const QString &filePath, const QString &text, bool windows1252);
    void colourCode(const QString &text);
    void clearViewer();

    ui::UserPrompts &m_prompts;
    QToolBar *m_toolBar = nullptr;
    QTextEdit *m_text = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_percent = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_fileName = nullptr;
    QAction *m_bold = nullptr;
    QAction *m_italic = nullptr;
    QAction *m_underline = nullptr;
    QString m_completionMessage;
    QString m_currentFile;
    bool m_windows1252 = false;
};

} // namespace viewer
