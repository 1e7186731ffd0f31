#include "filelinesink.h"

#include "textencoding.h"

#include <QDir>
#include <QFileInfo>

namespace codegen {

namespace {
// Lines are gathered and handed to the file in pieces of this size.
constexpr qsizetype kChunk = 64 * 1024;
} // namespace

FileLineSink::FileLineSink(const QString &path, Encoding encoding)
    : m_file(path)
    , m_encoding(encoding)
{
    // A run that ends early must never leave a partly written page in place.
    m_file.setDirectWriteFallback(false);
}

FileLineSink::~FileLineSink()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

bool FileLineSink::open(QString *error)
{
    if (QFileInfo(m_file.fileName()).isDir()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: a folder of that name is in the way.")
                         .arg(QDir::toNativeSeparators(m_file.fileName()));
        return false;
    }
    if (!m_file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2")
                         .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
        return false;
    }
    m_buffer.reserve(kChunk + 1024);
    return true;
}

void FileLineSink::writeCodeLine(const QString &line)
{
    if (!m_file.isOpen())
        return;
    // A value holding a line break still gives lines ended by CR LF.
    QString text = line.toLower();
    if (text.contains(u'\r') || text.contains(u'\n')) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(u'\r', u'\n');
        text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    }
    text += QLatin1String("\r\n");
    m_buffer += m_encoding == Encoding::Utf8 ? text.toUtf8() : toWindows1252(text);
    if (m_buffer.size() >= kChunk)
        flushBuffer();
}

void FileLineSink::flushBuffer()
{
    if (!m_buffer.isEmpty())
        m_file.write(m_buffer);
    m_buffer.resize(0); // keeps the capacity for the next piece
}

bool FileLineSink::commit(QString *error)
{
    if (!m_file.isOpen()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: the file was not opened.")
                         .arg(QDir::toNativeSeparators(m_file.fileName()));
        return false;
    }
    flushBuffer();
    if (!m_file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2")
                         .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
        return false;
    }
    return true;
}

} // namespace codegen
