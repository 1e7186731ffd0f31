#include "filelinesink.h"

#include "textencoding.h"

#include <QDir>
#include <QFileInfo>

namespace codegen {

namespace {
// Lines are gathered and handed to the file in pieces of this size.
constexpr qsizetype kChunk = 64 * 1024;
} // namespace

FileLineSink::FileLineSink(const QString &path, Encoding encoding, Letters letters)
    : m_file(path)
    , m_encoding(encoding)
    , m_letters(letters)
{
    // A run that ends early must never leave a partly written page in place.
    m_file.setDirectWriteFallback(false);
}

FileLineSink::~FileLineSink()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

bool FileLineSink::failed(QString *error, const QString &why) const
{
    if (error)
        *error = QStringLiteral("Cannot write %1: %2")
                     .arg(QDir::toNativeSeparators(m_file.fileName()), why);
    return false;
}

bool FileLineSink::open(QString *error)
{
    if (QFileInfo(m_file.fileName()).isDir())
        return failed(error, QStringLiteral("a folder of that name is in the way."));
    // Unbuffered: every write reaches the file at once, so its byte count is the truth.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(error, m_file.errorString());
    m_buffer.reserve(kChunk + 1024);
    return true;
}

void FileLineSink::writeCodeLine(const QString &line)
{
    if (!m_file.isOpen() || !m_writeError.isEmpty())
        return;
    // A value holding a line break still gives lines ended by CR LF.
    QString text = withoutControls(line);
    if (m_letters == Letters::Lower)
        text = text.toLower();
    if (text.contains(u'\r') || text.contains(u'\n'))
        text = withLineBreaks(text, u"\r\n");
    text += QLatin1String("\r\n");
    m_buffer += m_encoding == Encoding::Utf8 ? text.toUtf8() : toWindows1252(text);
    if (m_buffer.size() >= kChunk)
        flushBuffer();
}

void FileLineSink::flushBuffer()
{
    // A write may take only part of the bytes (the disk filled up): the rest is offered
    // again, and the write that takes nothing says why.
    qsizetype done = 0;
    while (done < m_buffer.size() && m_writeError.isEmpty()) {
        const qint64 written = m_file.write(m_buffer.constData() + done, m_buffer.size() - done);
        if (written <= 0)
            m_writeError = m_file.errorString();
        else
            done += written;
    }
    m_buffer.resize(0); // keeps the capacity for the next piece
}

bool FileLineSink::finish(QString *error)
{
    if (!m_file.isOpen())
        return failed(error, QStringLiteral("the file was not opened."));
    flushBuffer();
    if (m_writeError.isEmpty() && !m_file.flush())
        m_writeError = m_file.errorString();
    return m_writeError.isEmpty() || failed(error, m_writeError);
}

bool FileLineSink::commit(QString *error)
{
    if (!finish(error))
        return false;
    return m_file.commit() || failed(error, m_file.errorString());
}

} // namespace codegen
