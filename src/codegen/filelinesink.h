#pragma once

#include "linesink.h"

#include <QSaveFile>
#include <QString>

namespace codegen {

// Writes generated lines into a page file: lower-cased (but for a VoiceXML document, which
// is case-sensitive), each ended by CR LF, encoded as the page says. The lines go to a
// temporary file beside the page, which replaces the page only on commit(), so a run that
// fails half-way leaves the previous page as it was.
class FileLineSink final : public LineSink
{
public:
    enum class Encoding { Windows1252, Utf8 };
    enum class Letters { Lower, AsWritten };

    FileLineSink(const QString &path, Encoding encoding, Letters letters = Letters::Lower);
    ~FileLineSink() override;

    // Creates the temporary file; false with a sentence in *error when the folder cannot
    // be written.
    bool open(QString *error);
    void writeCodeLine(const QString &line) override;
    // Hands every line to the disk; false with a sentence naming the page in *error when
    // any write failed or came up short (a full disk, a file-size limit).
    bool finish(QString *error);
    // Puts the finished page in place; false with a sentence in *error when that failed.
    bool commit(QString *error);

    QString path() const { return m_file.fileName(); }

private:
    void flushBuffer();
    bool failed(QString *error, const QString &why) const;

    QSaveFile m_file;
    QByteArray m_buffer;
    Encoding m_encoding;
    Letters m_letters;
    QString m_writeError; // the first failed write; nothing is written after it
};

} // namespace codegen
