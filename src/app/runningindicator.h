#pragma once

#include <QString>

namespace app {

// The "Running" indicator of the status bar. The bare "Running" shows only on the very
// first tick; afterwards the six dotted texts repeat.
class RunningIndicator
{
public:
    // Advances one timer tick and returns the text to show.
    QString tick();
    int counter() const { return m_counter; }

private:
    int m_counter = 0;
};

} // namespace app
