#include "viewerfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace viewer {

QString normaliseLineBreaks(const QString &text)
{
    if (!text.contains(u'\r'))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r') {
            result.append(u'\n');
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            result.append(ch);
        }
    }
    return result;
}

ViewerFile readViewerFile(const QString &path)
{
    ViewerFile result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes);
        result.latin1 = true;
    }
    result.text = normaliseLineBreaks(text);
    result.ok = true;
    return result;
}

ViewerFile writeViewerFile(const QString &path, const QString &text, bool latin1)
{
    ViewerFile result;
    QString withCrLf = normaliseLineBreaks(text);
    withCrLf.replace(u'\n', QStringLiteral("\r\n"));
    bool fitsLatin1 = latin1;
    for (qsizetype i = 0; fitsLatin1 && i < withCrLf.size(); ++i)
        fitsLatin1 = withCrLf[i].unicode() < 0x100;
    const QByteArray bytes = fitsLatin1 ? withCrLf.toLatin1() : withCrLf.toUtf8();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.text = text;
    result.latin1 = fitsLatin1;
    result.ok = true;
    return result;
}

} // namespace viewer
