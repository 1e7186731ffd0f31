// The VoiceXML document of a flow: every document validates against the W3C VoiceXML 2.1
// schema (a copy in tests/codegen/voicexml21, run offline through xmllint), and the
// dialogs, transitions and prompts read back out of it are exactly the call rules' moves
// and the node's prompt for the same flow.

#include "support/testdirs.h"

#include "call/callsettings.h"
#include "call/nodemoves.h"
#include "codegen/linesink.h"
#include "codegen/textencoding.h"
#include "codegen/vxmlflowwriter.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

#include <memory>

using codegen::VxmlFlowWriter;

namespace {

// A flow and the values of its nodes' rows (a node without one has the no-row defaults).
struct Flow
{
    std::shared_ptr<model::FlowTree> tree = std::make_shared<model::FlowTree>();
    QHash<const model::FlowNode *, model::ColumnValues> rows;

    model::NodeValues values(const model::FlowNode &node) const
    {
        return model::NodeValues::fromRow(
            rows.contains(&node) ? std::optional(rows.value(&node)) : std::nullopt, node.text);
    }
};

class KeepLines final : public codegen::LineSink
{
public:
    void writeCodeLine(const QString &line) override { text += line + u'\n'; }
    QString text;
};

QString document(const Flow &flow)
{
    KeepLines sink;
    VxmlFlowWriter writer(*flow.tree, sink);
    writer.beginDocument();
    for (const model::FlowNode *node : flow.tree->depthFirst())
        writer.emitNode(*node, flow.values(*node));
    writer.endDocument();
    return sink.text;
}

// What a document says, in document order: "dialog ID" for each dialog, then its
// transitions as "TRIGGER -> TARGET" and its prompts as "play FILE|TEXT".
QStringList readBack(const QString &text)
{
    // A transition answers what the element opened last before it stands for.
    static const QHash<QString, QString> kTriggers{
        {"block", "after"}, {"noinput", "time-out"}, {"nomatch", "other key"},
        {"else", "other key"}};
    QStringList said;
    QString trigger;
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        const QXmlStreamAttributes attributes = xml.attributes();
        auto attr = [&attributes](const char *a) {
            return attributes.value(QLatin1String(a)).toString();
        };
        const QString cond = attr("cond"), next = attr("next");
        if (name == u"menu" || name == u"form")
            said << "dialog " + attr("id");
        else if (kTriggers.contains(name))
            trigger = kTriggers.value(name);
        else if (cond == u"choice == undefined")
            trigger = "time-out";
        else if (cond.startsWith(u"choice == '"))
            trigger = "key " + cond.mid(11).chopped(1);
        else if (name == u"choice")
            said << "key " + attr("dtmf") + " -> " + next.mid(1);
        else if (name == u"goto")
            said << trigger + " -> " + (next.startsWith(u'#') ? next.mid(1) : "voice mail " + next);
        else if (name == u"disconnect" || name == u"exit")
            said << trigger + " -> " + name;
        else if (name == u"audio" && attributes.hasAttribute(QLatin1String("src")))
            said << "play " + QUrl::fromPercentEncoding(attr("src").toUtf8()) + u'|'
                        + xml.readElementText();
    }
    if (xml.hasError())
        said << "XML error: " + xml.errorString();
    return said;
}

// The same from the call rules and the node values.
QStringList expected(const Flow &flow)
{
    QStringList said;
    const model::FlowTree &tree = *flow.tree;
    for (const model::FlowNode *node : tree.depthFirst()) {
        const call::NodeMoves moves = call::movesOf(tree, *node);
        said << "dialog " + VxmlFlowWriter::dialogId(tree, *node);
        const model::NodeValues v = flow.values(*node);
        auto prompt = [&](call::Flavour flavour) {
            return codegen::xmlCharacters(call::CallSettings::from(v, node->text, flavour).prompt);
        };
        if (moves.behaviour->prompt == call::PromptSource::NodePrompt)
            said << "play waves/" + prompt(call::Flavour::Wave) + u'|' + prompt(call::Flavour::Tts);
        for (const call::Move &m : moves.moves) {
            static const char *const triggers[] = {"after", "key ", "time-out", "other key"};
            static const char *const ends[] = {"", "disconnect", "voice mail RemoteVxml.asp",
                                               "exit", "exit"};
            said << QString::fromLatin1(triggers[int(m.trigger)]) + m.key + " -> "
                        + (m.target ? VxmlFlowWriter::dialogId(tree, *m.target)
                                    : QString::fromLatin1(ends[int(m.outcome)]));
        }
    }
    return said;
}

// xmllint over every document at once: what it says about those that do not validate.
QString schemaProblems(const QStringList &documents)
{
    QTemporaryDir dir;
    QStringList files;
    for (const QString &doc : documents) {
        QFile f(dir.filePath(QStringLiteral("doc%1.vxml").arg(files.size())));
        if (!f.open(QIODevice::WriteOnly) || f.write(doc.toUtf8()) < 0)
            return "cannot write " + f.fileName();
        files << f.fileName();
    }
    const QString schema = sourceDir() + QStringLiteral("/tests/codegen/voicexml21/");
    QProcess lint;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XML_CATALOG_FILES"), schema + QStringLiteral("catalog.xml"));
    lint.setProcessEnvironment(env);
    lint.start("xmllint", QStringList{"--noout", "--nonet", "--schema", schema + "vxml.xsd"}
                              + files);
    if (!lint.waitForFinished(120000) || lint.exitStatus() != QProcess::NormalExit)
        return "xmllint: " + lint.errorString();
    QStringList report = QString::fromUtf8(lint.readAllStandardError()).split(u'\n');
    report.removeIf([](const QString &l) { return l.isEmpty() || l.endsWith(" validates"); });
    if (report.isEmpty() && lint.exitCode() != 0)
        report << QStringLiteral("xmllint: exit code %1").arg(lint.exitCode());
    return report.mid(0, 20).join(u'\n');
}

// The text of call function `f`; for f == Unknown `other`, a text naming no function.
QString functionText(int f, const QString &other)
{
    return f == int(call::Function::Unknown) ? other
                                             : call::behaviourOf(call::Function(f)).functionName();
}

// Pieces of text that break careless markup, letters outside Latin-1, and characters XML
// cannot carry at all.
QString hostileText(QRandomGenerator &random)
{
    static const QStringList pieces{
        "\"", "'", "<", ">", "&", "]]>", "&amp;", "--", "<!--", "<![CDATA[", "\r\n", "\t",
        "%20", " ", "#", "*", "\\", "/", "日本語", "Ελληνικά", "עברית", "😀", "9", "30",
        "-1", "2.5", QStringLiteral("\x01"), QString(QChar(0xFFFF))};
    QString text;
    for (int n = random.bounded(0, 5); n > 0; --n)
        text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

} // namespace

class TestVoiceXml : public QObject
{
    Q_OBJECT

private slots:
    void documentsCarryTheRules();
};

void TestVoiceXml::documentsCarryTheRules()
{
    QList<Flow> flows;
    // The demonstration flow, with its rows.
    QTemporaryDir dir;
    QString error;
    QVERIFY2(model::demoflow::ensure(dir.path(), nullptr, &error), qPrintable(error));
    {
        Flow demo;
        model::FlowStore store(model::demoflow::path(dir.path()), model::demoflow::tableName());
        QVERIFY2(store.loadInto(*demo.tree, &error), qPrintable(error));
        for (const model::FlowNode *node : demo.tree->depthFirst())
            demo.rows.insert(node, *store.fetchRow(model::NodeIdentity::of(*node), &error));
        flows << demo;
    }
    // Each call function below the answer-call node, with no child, one, two and seven,
    // and a text that names none.
    for (int f = 0; f <= int(call::Function::Unknown); ++f) {
        for (const int children : {0, 1, 2, 7}) {
            Flow flow;
            model::FlowNode *node =
                flow.tree->add(flow.tree->addTopLevel("1_", "answer call"),
                               model::FlowTree::Relation::LastChild, "2_", functionText(f, "x"));
            for (int c = 0; c < children; ++c)
                flow.tree->add(node, model::FlowTree::Relation::LastChild,
                               flow.tree->nextKey(), "hangup");
            flows << flow;
        }
    }
    // Random flows with hostile texts in every property and in the texts naming nothing.
    QRandomGenerator random(16);
    const QStringList columns = model::flowcolumns::propertyColumns();
    for (int n = 0; n < 220; ++n) {
        Flow flow;
        model::FlowTree &tree = *flow.tree;
        tree.addTopLevel("1_", "answer call");
        for (int count = random.bounded(1, 30); count > 0; --count) {
            const int f = random.bounded(int(call::Function::Unknown) + 1);
            tree.add(tree.node(1 + random.bounded(tree.count())),
                     model::FlowTree::Relation::LastChild, tree.nextKey(),
                     functionText(f, hostileText(random)));
        }
        for (const model::FlowNode *node : tree.depthFirst()) {
            for (const QString &column : columns)
                flow.rows[node].insert(column, hostileText(random));
        }
        flows << flow;
    }

    QStringList documents;
    for (const Flow &flow : std::as_const(flows))
        documents << document(flow);
    QCOMPARE(schemaProblems(documents), QString());
    for (qsizetype i = 0; i < flows.size() && !QTest::currentTestFailed(); ++i) {
        const QStringList read = readBack(documents[i]);
        const QStringList want = expected(flows[i]);
        QVERIFY2(read == want, qPrintable(QStringLiteral("flow %1: %2 instead of %3")
                                              .arg(i)
                                              .arg(read.join(u'\n'), want.join(u'\n'))));
    }
}

QTEST_GUILESS_MAIN(TestVoiceXml)
#include "tst_voicexml.moc"
