#pragma once

#include <QString>
#include <QStringList>

namespace voicemail {

// The readers of the voice mail: a value said as a series of system prompts ("21" is
// "20.wav" then "1.wav"). The voice-mail page plays them one a visit; here each gives the
// whole series at once, in the order heard.

// A whole number by groups of millions, thousands and units. Nothing for 0, for negative
// numbers and from a thousand million on. A group of thousands that is zero still says
// "thousand.wav" after the millions, as the page does.
QStringList numberPrompts(qint64 n);

// A time given as "hhnn" (hours 00-23), on the twelve-hour clock with "am.wav"/"pm.wav":
// "0000" is "12.wav", "am.wav"; "0905" is "9.wav", "o.wav", "5.wav", "am.wav".
QStringList timePrompts(const QString &hhnn);

// A date given as "mmdd": "month01.wav" ... "month12.wav", then the day.
QStringList datePrompts(const QString &mmdd);

} // namespace voicemail
