#pragma once

#include "linesink.h"

#include <QSaveFile>
#include <QString>

namespace codegen {

// Writes generated lines into a page file: lower-cased, each ended by CR LF, encoded as the
// page says. The lines go to a temporary file beside the page, which replaces the page only
// on commit(), so a run that fails half-way leaves the previous page as it was.
class FileLineSink final : public LineSink
{
public:
    enum class Encoding { Windows1252, Utf8 };

    FileLineSink(const QString &path, Encoding encoding);
    ~FileLineSink() override;

    // Creates the temporary file; false with a sentence in *error when the folder cannot
    // be written.
    bool open(QString *error);
    void writeCodeLine(const QString &line) override;
    // Puts the page in place; false with a sentence in *error when any write failed.
    bool commit(QString *error);

    QString path() const { return m_file.fileName(); }

private:
    void flushBuffer();

    QSaveFile m_file;
    QByteArray m_buffer;
    Encoding m_encoding;
};

} // namespace codegen
