#include "viewerfile.h"

#include "codegen/textencoding.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace viewer {

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
        text = codegen::fromWindows1252(bytes);
        result.windows1252 = true;
    }
    result.text = codegen::withLineBreaks(text, u"\n");
    result.ok = true;
    return result;
}

ViewerFile writeViewerFile(const QString &path, const QString &text, bool windows1252)
{
    ViewerFile result;
    const QString withCrLf = codegen::withLineBreaks(text, u"\r\n");
    qsizetype unencodable = -1;
    const QByteArray bytes = windows1252 ? codegen::toWindows1252(withCrLf, &unencodable)
                                         : withCrLf.toUtf8();
    if (unencodable >= 0) {
        const QString character = QStringView(withCrLf).mid(unencodable, 1).toString();
        result.error = QStringLiteral("the file is in windows-1252, which has no character "
                                      "\"%1\" (U+%2, line %3); nothing was saved.")
                           .arg(character)
                           .arg(character.at(0).unicode(), 4, 16, QChar(u'0'))
                           .arg(withCrLf.left(unencodable).count(u'\n') + 1);
        return result;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.text = text;
    result.windows1252 = windows1252;
    result.ok = true;
    return result;
}

} // namespace viewer
