#include "clock.h"

#include <QRegularExpression>

namespace voicemail {

QDateTime parseNow(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}$"));
    if (!shape.match(text).hasMatch())
        return {};
    // Local time without a zone: the stamps in message names carry none either.
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-ddTHH:mm"));
}

} // namespace voicemail
