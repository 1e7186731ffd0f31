#include "behaviour.h"

#include "model/flowtree.h"

#include <iterator>

namespace call {

namespace {

using A = Action;
using C = Continuation;
using P = PromptSource;

// One row per call function, in the order of Function. The single statement of what each
// call function does in a call.
const Behaviour kBehaviours[] = {
    {Function::AnswerCall, u"answer call", A::Answer, P::None, C::ByChildren, u"", false},
    {Function::PlayMainGreetings, u"play main greetings", A::Prompt, P::NodePrompt,
     C::ByChildren, u"", false},
    {Function::PlayPersonalGreetings, u"play personal greetings", A::Prompt, P::NodePrompt,
     C::ByChildren, u"", false},
    {Function::GetUserIdDigits, u"get user id digits", A::CollectDigits, P::NodePrompt,
     C::ByChildren, u"userid", false},
    {Function::GetPasswordDigits, u"get password digits", A::CollectDigits, P::NodePrompt,
     C::ByChildren, u"userpin", false},
    {Function::GetOptionDigits, u"get option digits", A::CollectDigits, P::NodePrompt,
     C::ByChildren, u"optionDigit", true},
    {Function::PlayMessageOptions, u"play message options", A::CollectDigits, P::NodePrompt,
     C::ByChildren, u"msgDigit", true},
    {Function::ProcessRecordedMessages, u"process recorded messages", A::VoiceMail,
     P::NodePrompt, C::ToVoiceMail, u"", false},
    {Function::RecordMessage, u"record message", A::Record, P::NodePrompt, C::ByChildren, u"",
     false},
    {Function::HearRecordedMessage, u"hear recorded message", A::HearRecording, P::Recording,
     C::BackToParent, u"", false},
    {Function::SaveRecordedMessage, u"save recorded message", A::SaveRecording, P::NodePrompt,
     C::BackToParent, u"", false},
    {Function::DeleteRecordedMessage, u"delete recorded message", A::DeleteRecording,
     P::NodePrompt, C::BackToParent, u"", false},
    {Function::RerecordMessages, u"re-record messages", A::Rerecord, P::None, C::BackToParent,
     u"", false},
    {Function::Hangup, u"hangup", A::HangUp, P::NodePrompt, C::EndsCall, u"", false},
    {Function::Unknown, u"", A::None, P::None, C::Nowhere, u"", false},
};
static_assert(std::size(kBehaviours) == size_t(Function::Unknown) + 1);

} // namespace

const Behaviour &behaviourOf(Function function)
{
    return kBehaviours[size_t(function)];
}

const Behaviour &behaviourOf(const QString &nodeText)
{
    for (const Behaviour &b : kBehaviours) {
        if (b.function != Function::Unknown && nodeText == QStringView(b.name))
            return b;
    }
    return behaviourOf(Function::Unknown);
}

const Behaviour &behaviourOf(const model::FlowNode &node)
{
    if (!node.parent)
        return behaviourOf(Function::AnswerCall);
    const Behaviour &b = behaviourOf(node.text);
    return b.function == Function::AnswerCall ? behaviourOf(Function::Unknown) : b;
}

} // namespace call
