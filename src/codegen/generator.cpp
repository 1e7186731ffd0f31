#include "generator.h"

#include "filelinesink.h"
#include "flowemitter.h"
#include "generationtarget.h"
#include "narrator.h"
#include "model/nodevalues.h"
#include "remotepage.h"
#include "vxmlflowwriter.h"

#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace codegen {

namespace {

// Keeps the sentences until the pages are in place, so that a run that fails half-way
// does not narrate half a flow.
class SentenceBuffer final : public Narrator
{
public:
    void speakText(const QString &sentence) override { sentences << sentence; }
    QStringList sentences;
};

GenerationResult failed(const QString &error)
{
    GenerationResult r;
    r.error = error;
    return r;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString outputFileName(GenerationTarget target)
{
    switch (target) {
    case GenerationTarget::WteWave:
        return QStringLiteral("callWave.asp");
    case GenerationTarget::WteTts:
    case GenerationTarget::Narration:
        return QStringLiteral("callTTS.asp");
    case GenerationTarget::CallXml:
        return QStringLiteral("callxml.asp");
    case GenerationTarget::Vxml:
        return QStringLiteral("callvxml.vxml");
    }
    return {};
}

QString completionMessage(GenerationTarget target, bool remoteNeeded)
{
    switch (target) {
    case GenerationTarget::WteTts:
    case GenerationTarget::Narration:
        return remoteNeeded ? QStringLiteral("Code generated: CallTTS.asp and RemoteTTS.asp")
                            : QStringLiteral("Code generated: CallTTS.asp");
    case GenerationTarget::WteWave:
        return remoteNeeded ? QStringLiteral("Code generated: CallWave.asp and RemoteWave.asp")
                            : QStringLiteral("Code generated: CallWave.asp");
    case GenerationTarget::CallXml:
        return QStringLiteral("Code generated: CallXml.asp");
    case GenerationTarget::Vxml:
        return remoteNeeded ? QStringLiteral("Code generated: callvxml.vxml and RemoteVxml.asp")
                            : QStringLiteral("Code generated: callvxml.vxml");
    }
    return {};
}

GenerationResult generate(const model::FlowTree &tree, const GenerationRequest &request,
                          Narrator *narrator)
{
    const GenerationTarget target = request.target;
    const int rootIndex = tree.findRootNode();
    if (rootIndex == 0)
        return failed(QStringLiteral("There is no call flow to generate: the tree is empty."));
    if (request.databasePath.isEmpty())
        return failed(QStringLiteral("No flow database is open to read the node properties "
                                     "from."));

    // The table is read once, in one pass, whatever indexes it has; nodes are looked up in
    // memory, so any table generates in linear time.
    QString error;
    std::optional<model::NodeRows> rows;
    {
        model::FlowStore store(request.databasePath, request.table);
        if (!store.isOpen())
            return failed(QStringLiteral("Cannot read the flow database %1: %2")
                              .arg(native(request.databasePath), store.errorString()));
        const QString notFlow = store.whyNotFlowTable(request.table);
        if (!notFlow.isEmpty())
            return failed(notFlow);
        rows = store.readRows(&error);
        if (!rows)
            return failed(error);
    }

    GenerationResult result;
    result.mainFile = QDir(request.appDir).filePath(outputFileName(request.target));
    if (!QFileInfo(request.appDir).isDir())
        return failed(QStringLiteral("Cannot write %1: the folder %2 does not exist.")
                          .arg(native(result.mainFile), native(request.appDir)));
    // The XML documents are UTF-8; VoiceXML alone keeps its letters as written.
    const bool vxml = target == GenerationTarget::Vxml;
    FileLineSink page(result.mainFile,
                      target == GenerationTarget::CallXml || vxml
                          ? FileLineSink::Encoding::Utf8
                          : FileLineSink::Encoding::Windows1252,
                      vxml ? FileLineSink::Letters::AsWritten : FileLineSink::Letters::Lower);
    if (!page.open(&error))
        return failed(error);

    auto valuesOf = [&rows](const model::FlowNode &node) {
        return model::NodeValues::fromRow(rows->find(model::NodeIdentity::of(node)), node.text);
    };
    // Every top-level node starts a call; the walk visits each with its subtree in turn.
    auto walk = [&tree, &valuesOf](const auto &visit) {
        for (const model::FlowNode *node : tree.depthFirst())
            visit(*node, valuesOf(*node));
    };
    SentenceBuffer sentences;
    if (vxml) {
        VxmlFlowWriter writer(tree, page);
        writer.beginDocument();
        walk([&writer](const model::FlowNode &node, const model::NodeValues &values) {
            writer.emitNode(node, values);
        });
        writer.endDocument();
        result.remoteNeeded = writer.remoteNeeded();
    } else {
        FlowEmitter emitter(target, tree, valuesOf, page, &sentences);
        emitter.beginDocument();
        walk([&emitter](const model::FlowNode &node, const model::NodeValues &values) {
            if (node.parent)
                emitter.emitChild(node, values);
            else
                emitter.emitRoot(node, values);
        });
        emitter.endDocument();
        result.remoteNeeded = emitter.remoteNeeded();
    }
    std::unique_ptr<FileLineSink> remote;
    if (result.remoteNeeded && target != GenerationTarget::CallXml) {
        result.remoteFile = QDir(request.appDir).filePath(remotePageFileName(request.target));
        remote = std::make_unique<FileLineSink>(result.remoteFile,
                                                FileLineSink::Encoding::Windows1252);
        if (!remote->open(&error))
            return failed(error);
        if (vxml)
            writeVxmlServicePage(*remote);
        else
            writeRemotePage(*remote);
    }
    // Both pages are written out before either replaces its old copy, so a full disk
    // leaves both old pages as they were. The voice-mail page is the same for every flow,
    // so putting it in place first never leaves a page that disagrees with the call page.
    if (!page.finish(&error) || (remote && !remote->finish(&error)))
        return failed(error);
    if (remote && !remote->commit(&error))
        return failed(error);
    if (!page.commit(&error))
        return failed(error);

    result.ok = true;
    if (narrator) {
        for (const QString &sentence : std::as_const(sentences.sentences))
            narrator->speakText(sentence);
    }
    return result;
}

} // namespace codegen
