#include "runningindicator.h"

namespace app {

QString RunningIndicator::tick()
{
    static const char *const texts[] = {"Running",           "Running .",
                                        "Running . .",       "Running . . . ",
                                        "Running . . . .",   "Running . . . . .",
                                        "Running . . . . . ."};
    QString text;
    if (m_counter == 6) {
        m_counter = 0;
        text = QString::fromLatin1(texts[6]);
    } else {
        text = QString::fromLatin1(texts[m_counter]);
    }
    ++m_counter;
    return text;
}

} // namespace app
