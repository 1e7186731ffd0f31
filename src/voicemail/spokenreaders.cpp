#include "spokenreaders.h"

namespace voicemail {

namespace {
QString wave(qint64 n)
{
    return QString::number(n) + QStringLiteral(".wav");
}

// One group below a thousand: hundreds, tens from twenty on, then units or teens.
void sayGroup(qint64 g, QStringList &out)
{
    if (g >= 100)
        out << wave(g / 100) << QStringLiteral("hundred.wav");
    qint64 t = g % 100;
    if (t >= 20) {
        out << wave(t / 10 * 10);
        t %= 10;
    }
    if (t != 0)
        out << wave(t);
}

// Two digits from twenty on: "23" is "20.wav", "3.wav"; "30" is "30.wav".
void sayTens(const QString &two, QStringList &out)
{
    out << two.left(1) + QStringLiteral("0.wav");
    if (two.right(1) != QLatin1String("0"))
        out << two.right(1) + QStringLiteral(".wav");
}

// Digits of the stamps are read as numbers ("05" is 5); the stamps are always digits.
int digitsValue(const QString &twoDigits)
{
    return twoDigits.toInt();
}
} // namespace

QStringList numberPrompts(qint64 n)
{
    QStringList out;
    if (n < 0 || n >= 1000000000)
        return out;
    if (n >= 1000000) {
        sayGroup(n / 1000000, out);
        out << QStringLiteral("million.wav");
    }
    if (n >= 1000) {
        sayGroup(n / 1000 % 1000, out);
        out << QStringLiteral("thousand.wav");
    }
    sayGroup(n % 1000, out);
    return out;
}

QStringList timePrompts(const QString &hhnn)
{
    // Compared as two-character texts, as the stamps in message names are.
    const QString hh = hhnn.left(2);
    const QString nn = hhnn.mid(2, 2);
    QStringList out;
    if (hh == QLatin1String("00"))
        out << QStringLiteral("12.wav");
    else if (hh <= QLatin1String("12"))
        out << wave(digitsValue(hh));
    else
        out << wave(digitsValue(hh) - 12);
    if (nn >= QLatin1String("20")) {
        sayTens(nn, out);
    } else if (nn >= QLatin1String("10")) {
        out << nn + QStringLiteral(".wav");
    } else if (nn != QLatin1String("00")) {
        out << QStringLiteral("o.wav") << nn.right(1) + QStringLiteral(".wav");
    }
    out << (hh < QLatin1String("12") ? QStringLiteral("am.wav") : QStringLiteral("pm.wav"));
    return out;
}

QStringList datePrompts(const QString &mmdd)
{
    const QString dd = mmdd.mid(2, 2);
    QStringList out{QStringLiteral("month") + mmdd.left(2) + QStringLiteral(".wav")};
    if (dd >= QLatin1String("20")) {
        sayTens(dd, out);
    } else if (dd >= QLatin1String("10")) {
        out << dd + QStringLiteral(".wav");
    } else {
        out << dd.right(1) + QStringLiteral(".wav");
    }
    return out;
}

} // namespace voicemail
