#pragma once

#include <QString>

namespace codegen {

// Hears the sentences of the narration target, in the order the flow is walked. The
// window hands them to the speech engine; the command line prints them.
class Narrator
{
public:
    virtual ~Narrator() = default;
    virtual void speakText(const QString &sentence) = 0;
};

} // namespace codegen
