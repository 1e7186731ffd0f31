#pragma once

#include <QList>
#include <QString>

namespace voicemail {

// Every system prompt the voice mail plays from waves/, with a short sentence that says
// what it means: spoken into the sample recordings at first start, and shown in the
// transcript beside the file name.
struct SystemPrompt
{
    const char *fileName;
    const char *sentence;
};
const QList<SystemPrompt> &systemPrompts();

// The sentence of a system prompt; empty for a file that is none.
QString systemPromptSentence(const QString &fileName);

} // namespace voicemail
