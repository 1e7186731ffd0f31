#pragma once

#include "generationtarget.h"
#include "pageanchors.h"

#include "model/nodevalues.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace model {
class FlowTree;
struct FlowNode;
} // namespace model

namespace codegen {

class LineSink;
class Narrator;

// The emitters of one generation run and the state they share (GenerationState): for each
// node handed over, its section of the page in the target's form, its option menu, and in
// the narration target its sentences. The driver walks the tree and fetches the rows; this
// class only turns nodes into lines and sentences.
class FlowEmitter
{
public:
    using ValuesOf = std::function<model::NodeValues(const model::FlowNode &)>;

    // The nodes handed over later are those of `tree`; `valuesOf` gives any node's values
    // ahead of its turn (the page's anchors depend on the hangups' prompts). `narrator` may
    // be null; it is only spoken to in the narration target.
    FlowEmitter(GenerationTarget target, const model::FlowTree &tree, const ValuesOf &valuesOf,
                LineSink &sink, Narrator *narrator);

    // The document head (CallXML only).
    void beginDocument();
    // A top-level node: written by the answer-call emitter, its menu's time-outs going
    // back to "#answer-call".
    void emitRoot(const model::FlowNode &node, const model::NodeValues &values);
    // Any other node, in walk order: separator lines, then its call function's section.
    void emitChild(const model::FlowNode &node, const model::NodeValues &values);
    // The document tail (CallXML) and the closing sentence (narration).
    void endDocument();

    // Set once a "process recorded messages" node was written in a WTE target.
    bool remoteNeeded() const { return m_remoteNeeded; }

private:
    struct DigitsForm;

    void prepare(const model::FlowNode &node, const QString &parentAnchor,
                 const model::NodeValues &values);
    void write(const QStringList &lines);
    void speak(const QString &sentence);
    static QString commentText(const QString &text);
    bool isXml() const { return m_target == GenerationTarget::CallXml; }
    QString promptLine() const { return promptLine(m_values); }
    QString promptLine(const model::NodeValues &values) const;
    QString xml(const QString &value) const;
    void writeXmlBlock(const QString &block, const QString &action);
    QString xmlPlayLine() const;
    QString xmlDigitsLine() const;
    QString xmlRecordLine() const;

    void emitOptionMenu();
    void emitAnswerCall();
    void emitGreeting(const char16_t *logText, const char16_t *sentence,
                      const char16_t *xmlBlock);
    void emitPlayMainGreetings();
    void emitPlayPersonalGreetings();
    void emitDigits(const DigitsForm &form);
    void emitGetUserIdDigits();
    void emitGetPasswordDigits();
    void emitGetOptionDigits();
    void emitPlayMessageOptions();
    void emitProcessRecordedMessages();
    void emitRecordMessage();
    void emitHearRecordedMessage();
    void emitSaveRecordedMessage();
    void emitDeleteRecordedMessage();
    void emitRerecordMessage();
    void emitHangup();

    using Emitter = void (FlowEmitter::*)();
    static Emitter emitterFor(const QString &nodeText);

    GenerationTarget m_target;
    LineSink &m_sink;
    Narrator *m_narrator;
    const PageAnchors m_anchors; // after m_target: its prompts are the target's

    const model::FlowNode *m_node = nullptr;
    QString m_label;
    QString m_commentLabel;
    QString m_parentAnchor;
    QString m_nextTarget;
    std::vector<const model::FlowNode *> m_options; // the children keys 1 to 6 choose
    bool m_remoteNeeded = false;
    bool m_hangupWritten = false;
    model::NodeValues m_values;
};

} // namespace codegen
