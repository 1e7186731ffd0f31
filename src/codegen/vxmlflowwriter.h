#pragma once

#include "model/nodevalues.h"

#include <QString>
#include <QStringList>

namespace call {
struct CallSettings;
struct Move;
struct NodeMoves;
} // namespace call

namespace model {
class FlowTree;
struct FlowNode;
} // namespace model

namespace codegen {

class LineSink;

// Writes a flow as a VoiceXML 2.1 document (callvxml.vxml): one dialog a node, in the walk
// order of the tree, the start node first. What a node does and where it goes come from
// the call rules (src/call): each of its moves is one transition of its dialog, so the
// document runs the call exactly as a test call walks it.
//
// A node that only plays its prompt and offers its children is a menu; every other node
// is a form: its prompt, its entry field or recording, the option key when it offers its
// children, and a closing block with what the node does and where it goes.
class VxmlFlowWriter
{
public:
    // The lines go to `sink` as they are: the document is case-sensitive.
    VxmlFlowWriter(const model::FlowTree &tree, LineSink &sink);

    void beginDocument();
    // The dialog of a node; nodes are handed over in walk order, the start node first.
    void emitNode(const model::FlowNode &node, const model::NodeValues &values);
    void endDocument();

    // Set once a node hands the call to the voice mail: its VoiceXML service page has to
    // be written beside the document.
    bool remoteNeeded() const { return m_remoteNeeded; }

    // The dialog id of a node: "n" and the number of its key ("n12" for "12_"), an XML
    // name as ids must be; a key outside the scheme gets "x" and the node's index.
    static QString dialogId(const model::FlowTree &tree, const model::FlowNode &node);

private:
    void write(const QStringList &lines);
    QString transition(const call::Move &move) const;
    void writeMenu(const call::NodeMoves &moves, const call::CallSettings &settings,
                   const QString &audio);
    void writeForm(const call::NodeMoves &moves, const call::CallSettings &settings,
                   const QString &audio);
    void writeEntry(const call::NodeMoves &moves, const call::CallSettings &settings,
                    const QString &audio);
    void writeRecord(const call::NodeMoves &moves, const call::CallSettings &settings,
                     const QString &audio);
    void writeDispatch(const call::NodeMoves &moves);

    const model::FlowTree &m_tree;
    LineSink &m_sink;
    bool m_remoteNeeded = false;
};

} // namespace codegen
