// The VoiceXML document of a flow: every document validates against the W3C VoiceXML 2.1
// schema (a copy in tests/codegen/voicexml21, run offline through xmllint), and the
// dialogs and transitions read back out of it are exactly the call rules' moves.

#include "generationfixture.h"

#include "support/testdirs.h"

#include "call/callsettings.h"
#include "call/nodemoves.h"
#include "codegen/linesink.h"
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

#include <functional>

namespace {

class KeepLines final : public codegen::LineSink
{
public:
    void writeCodeLine(const QString &line) override { text += line + u'\n'; }
    QString text;
};

using ValuesOf = std::function<model::NodeValues(const model::FlowNode &)>;

QString document(const model::FlowTree &tree, const ValuesOf &valuesOf)
{
    KeepLines sink;
    codegen::VxmlFlowWriter writer(tree, sink);
    writer.beginDocument();
    for (const model::FlowNode *node : tree.depthFirst())
        writer.emitNode(*node, valuesOf(*node));
    writer.endDocument();
    return sink.text;
}

model::NodeValues noRow(const model::FlowNode &node)
{
    return model::NodeValues::fromRow(std::nullopt, node.text);
}

// What a document says, dialog by dialog: its transitions as "trigger key -> target" in
// the order written, and the prompts it plays as "file|text".
struct Dialog
{
    QString id;
    QStringList moves;
    QStringList prompts;
};

QList<Dialog> readBack(const QString &text, QString *error)
{
    QList<Dialog> dialogs;
    QXmlStreamReader xml(text);
    QStringList context; // where a transition stands: "after", "key K", "time-out", ...
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.name().toString();
        const QXmlStreamAttributes attributes = xml.attributes();
        auto attr = [&attributes](const char *a) {
            return attributes.value(QLatin1String(a)).toString();
        };
        if (xml.isEndElement() && (name == u"noinput" || name == u"nomatch" || name == u"if"
                                   || name == u"block" || name == u"filled")) {
            context.removeLast();
        }
        if (!xml.isStartElement())
            continue;
        const QString cond = attr("cond");
        QString target;
        if (name == u"menu" || name == u"form") {
            dialogs.append(Dialog{attr("id"), {}, {}});
        } else if (dialogs.isEmpty()) {
            continue;
        } else if (name == u"noinput" || name == u"nomatch") {
            context << QString::fromUtf16(name == u"noinput" ? u"time-out" : u"other key");
        } else if (name == u"block" || name == u"filled") {
            context << QString::fromUtf16(name == u"block" ? u"after" : u"filled");
        } else if (name == u"if" || name == u"elseif" || name == u"else") {
            QString branch = context.value(context.size() - 1);
            if (cond == u"choice == undefined")
                branch = QStringLiteral("time-out");
            else if (cond.startsWith(u"choice == '"))
                branch = QStringLiteral("key ") + cond.mid(11).chopped(1);
            else if (name == u"else")
                branch = QStringLiteral("other key");
            if (name == u"if")
                context << branch;
            else
                context.last() = branch;
        } else if (name == u"choice") {
            dialogs.last().moves << QStringLiteral("key ") + attr("dtmf") + QStringLiteral(" -> ")
                                        + attr("next").mid(1);
        } else if (name == u"goto") {
            const QString next = attr("next");
            target = next.startsWith(u'#') ? next.mid(1) : QStringLiteral("voice mail ") + next;
        } else if (name == u"disconnect" || name == u"exit") {
            target = name;
        } else if (name == u"audio" && attributes.hasAttribute(QLatin1String("src"))) {
            const QString file = QUrl::fromPercentEncoding(attr("src").toUtf8());
            dialogs.last().prompts << file + u'|' + xml.readElementText();
        }
        if (!target.isEmpty())
            dialogs.last().moves << context.value(context.size() - 1) + QStringLiteral(" -> ")
                                        + target;
    }
    if (xml.hasError() && error)
        *error = xml.errorString();
    return dialogs;
}

// The rules' moves of every node, in the words of readBack.
QList<Dialog> expected(const model::FlowTree &tree, const ValuesOf &valuesOf)
{
    QList<Dialog> dialogs;
    for (const model::FlowNode *node : tree.depthFirst()) {
        const call::NodeMoves moves = call::movesOf(tree, *node);
        Dialog d{codegen::VxmlFlowWriter::dialogId(tree, *node), {}, {}};
        for (const call::Move &m : moves.moves) {
            static const char *const triggers[] = {"after", "key ", "time-out", "other key"};
            QString word = QString::fromLatin1(triggers[int(m.trigger)]) + m.key;
            QString target;
            switch (m.outcome) {
            case call::Outcome::ToNode:
                target = codegen::VxmlFlowWriter::dialogId(tree, *m.target);
                break;
            case call::Outcome::EndsCall:
                target = QStringLiteral("disconnect");
                break;
            case call::Outcome::VoiceMail:
                target = QStringLiteral("voice mail RemoteVxml.asp");
                break;
            case call::Outcome::NoNextStep:
            case call::Outcome::NoSection:
                target = QStringLiteral("exit");
                break;
            }
            d.moves << word + QStringLiteral(" -> ") + target;
        }
        if (moves.behaviour->prompt == call::PromptSource::NodePrompt) {
            const model::NodeValues v = valuesOf(*node);
            const QString text = node->text;
            using call::CallSettings;
            d.prompts << QStringLiteral("waves/")
                             + CallSettings::from(v, text, call::Flavour::Wave).prompt + u'|'
                             + CallSettings::from(v, text, call::Flavour::Tts).prompt;
        }
        dialogs << d;
    }
    return dialogs;
}

// What the document says is what the rules say, node by node in walk order.
void checkAgainstRules(const QString &doc, const model::FlowTree &tree, const ValuesOf &of)
{
    QString error;
    const QList<Dialog> read = readBack(doc, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QList<Dialog> want = expected(tree, of);
    QCOMPARE(read.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i) {
        QCOMPARE(read[i].id, want[i].id);
        QCOMPARE(read[i].moves, want[i].moves);
        QCOMPARE(read[i].prompts, want[i].prompts);
    }
}

// Runs xmllint once over every document; the names of those that do not validate, with
// what xmllint says, or "xmllint: ..." when it could not run.
QStringList invalidDocuments(const QStringList &documents)
{
    QTemporaryDir dir;
    QStringList files;
    for (int i = 0; i < documents.size(); ++i) {
        QFile f(dir.filePath(QStringLiteral("doc%1.vxml").arg(i)));
        if (!f.open(QIODevice::WriteOnly) || f.write(documents[i].toUtf8()) < 0)
            return {QStringLiteral("cannot write ") + f.fileName()};
        files << f.fileName();
    }
    const QString schema = sourceDir() + QStringLiteral("/tests/codegen/voicexml21/");
    QProcess lint;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XML_CATALOG_FILES"), schema + QStringLiteral("catalog.xml"));
    lint.setProcessEnvironment(env);
    lint.start(QStringLiteral("xmllint"), QStringList{QStringLiteral("--noout"),
                                                      QStringLiteral("--nonet"),
                                                      QStringLiteral("--schema"),
                                                      schema + QStringLiteral("vxml.xsd")}
                                              + files);
    if (!lint.waitForFinished(120000) || lint.exitStatus() != QProcess::NormalExit)
        return {QStringLiteral("xmllint: ") + lint.errorString()};
    const QString report = QString::fromUtf8(lint.readAllStandardError());
    QStringList invalid;
    for (int i = 0; i < files.size(); ++i) {
        if (!report.contains(files[i] + QStringLiteral(" validates")))
            invalid << report.split(u'\n').filter(files[i] + u':').join(u'\n').left(2000);
    }
    if (invalid.isEmpty() && lint.exitCode() != 0)
        invalid << QStringLiteral("xmllint: exit code %1").arg(lint.exitCode());
    return invalid;
}

void checkValid(const QStringList &documents)
{
    const QStringList invalid = invalidDocuments(documents);
    QVERIFY2(invalid.isEmpty(), qPrintable(QStringLiteral("%1 of %2 invalid; the first: %3")
                                               .arg(invalid.size())
                                               .arg(documents.size())
                                               .arg(invalid.value(0))));
}

// Pieces of text that break careless markup, and letters outside Latin-1.
const QStringList kHostile{
    QStringLiteral("\""), QStringLiteral("'"), QStringLiteral("<"), QStringLiteral(">"),
    QStringLiteral("&"), QStringLiteral("]]>"), QStringLiteral("&amp;"), QStringLiteral("--"),
    QStringLiteral("<!--"), QStringLiteral("<![CDATA["), QStringLiteral("\r\n"),
    QStringLiteral("\t"), QStringLiteral("%20"), QStringLiteral(" "), QStringLiteral("#"),
    QStringLiteral("*"), QStringLiteral("\\"), QStringLiteral("/"), QStringLiteral("日本語"),
    QStringLiteral("Ελληνικά"), QStringLiteral("עברית"), QStringLiteral("😀"),
    QStringLiteral("9"), QStringLiteral("30"), QStringLiteral("-1"), QStringLiteral("2.5")};

QString hostileText(QRandomGenerator &random)
{
    QString text;
    for (int n = random.bounded(0, 5); n > 0; --n)
        text += kHostile[random.bounded(int(kHostile.size()))];
    return text;
}

} // namespace

class TestVoiceXml : public QObject
{
    Q_OBJECT

private slots:
    void demonstrationFlow();
    void callFunctionsAlone();
    void randomHostileFlows();
    void charactersXmlCannotCarry();
    void generatedFiles_data();
    void generatedFiles();
};

void TestVoiceXml::demonstrationFlow()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY2(model::demoflow::ensure(dir.path(), nullptr, &error), qPrintable(error));
    model::FlowTree tree;
    model::FlowStore store(model::demoflow::path(dir.path()), model::demoflow::tableName());
    QVERIFY2(store.loadInto(tree, &error), qPrintable(error));
    const ValuesOf values = [&store](const model::FlowNode &node) {
        return model::NodeValues::fromRow(
            store.fetchRow(model::NodeIdentity::of(node), nullptr), node.text);
    };
    const QString doc = document(tree, values);
    checkValid({doc});
    if (QTest::currentTestFailed())
        return;
    checkAgainstRules(doc, tree, values);
}

void TestVoiceXml::callFunctionsAlone()
{
    // Each call function below the answer-call node, with no child, one, two and seven
    // children, and a text that names none.
    QStringList documents;
    QList<std::shared_ptr<model::FlowTree>> trees;
    for (int f = 0; f <= int(call::Function::Unknown); ++f) {
        for (const int children : {0, 1, 2, 7}) {
            auto tree = std::make_shared<model::FlowTree>();
            model::FlowNode *root = tree->addTopLevel(QStringLiteral("1_"),
                                                      QStringLiteral("answer call"));
            const QString text = f == int(call::Function::Unknown)
                                     ? QStringLiteral("ring twice")
                                     : call::behaviourOf(call::Function(f)).functionName();
            model::FlowNode *node = tree->add(root, model::FlowTree::Relation::LastChild,
                                              tree->nextKey(), text);
            for (int c = 0; c < children; ++c)
                tree->add(node, model::FlowTree::Relation::LastChild, tree->nextKey(),
                          QStringLiteral("hangup"));
            documents << document(*tree, noRow);
            trees << tree;
        }
    }
    checkValid(documents);
    if (QTest::currentTestFailed())
        return;
    for (qsizetype i = 0; i < trees.size() && !QTest::currentTestFailed(); ++i)
        checkAgainstRules(documents[i], *trees[i], noRow);
}

void TestVoiceXml::randomHostileFlows()
{
    QRandomGenerator random(16);
    const QStringList columns = model::flowcolumns::propertyColumns();
    QStringList documents;
    QList<std::shared_ptr<model::FlowTree>> trees;
    QList<QHash<const model::FlowNode *, model::NodeValues>> values;
    for (int flow = 0; flow < 220; ++flow) {
        auto tree = std::make_shared<model::FlowTree>();
        tree->addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
        for (int n = random.bounded(1, 30); n > 0; --n) {
            model::FlowNode *parent = tree->node(1 + random.bounded(tree->count()));
            const int f = random.bounded(int(call::Function::Unknown) + 1);
            const QString text = f == int(call::Function::Unknown) ? hostileText(random)
                : call::behaviourOf(call::Function(f)).functionName();
            tree->add(parent, model::FlowTree::Relation::LastChild, tree->nextKey(), text);
        }
        QHash<const model::FlowNode *, model::NodeValues> nodeValues;
        for (const model::FlowNode *node : tree->depthFirst()) {
            model::ColumnValues row;
            for (const QString &column : columns)
                row.insert(column, hostileText(random));
            nodeValues.insert(node, model::NodeValues::fromRow(row, node->text));
        }
        const ValuesOf of = [nodeValues](const model::FlowNode &n) { return nodeValues[&n]; };
        documents << document(*tree, of);
        trees << tree;
        values << nodeValues;
    }
    checkValid(documents);
    if (QTest::currentTestFailed())
        return;
    for (qsizetype i = 0; i < trees.size() && !QTest::currentTestFailed(); ++i) {
        const auto nodeValues = values[i];
        checkAgainstRules(documents[i], *trees[i],
                          [nodeValues](const model::FlowNode &n) { return nodeValues[&n]; });
    }
}

void TestVoiceXml::charactersXmlCannotCarry()
{
    model::FlowTree tree;
    model::FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    tree.add(root, model::FlowTree::Relation::LastChild, QStringLiteral("2_"),
             QStringLiteral("hangup"));
    const QString bad = QStringLiteral("a\x01") + QChar(0xFFFF) + QChar(0xD800) + u'b';
    const ValuesOf of = [&bad](const model::FlowNode &node) {
        return model::NodeValues::fromRow(
            model::ColumnValues{{QStringLiteral("prompttxt"), bad},
                                {QStringLiteral("voicefile"), bad}},
            node.text);
    };
    const QString doc = document(tree, of);
    checkValid({doc});
    if (QTest::currentTestFailed())
        return;
    QString error;
    QCOMPARE(readBack(doc, &error).value(1).prompts, QStringList{QStringLiteral("waves/ab|ab")});
}

void TestVoiceXml::generatedFiles_data()
{
    QTest::addColumn<bool>("voiceMail");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("message");
    QTest::newRow("no voice mail") << false << QStringList{"callflow.mdb", "callvxml.vxml"}
                                   << "Code generated: callvxml.vxml";
    QTest::newRow("voice mail")
        << true << QStringList{"RemoteVxml.asp", "callflow.mdb", "callvxml.vxml"}
        << "Code generated: callvxml.vxml and RemoteVxml.asp";
}

void TestVoiceXml::generatedFiles()
{
    QFETCH(bool, voiceMail);
    QFETCH(QStringList, files);
    QFETCH(QString, message);
    GenerationFixture f;
    model::FlowNode *greet = f.add(f.add(nullptr, QStringLiteral("answer call")),
                                   QStringLiteral("play main greetings"));
    f.set(greet, {{"prompttxt", QStringLiteral("Caf\u00e9 <B>")},
                  {"voicefile", QStringLiteral("\u00c9t\u00e9.WAV")}});
    f.add(greet, voiceMail ? QStringLiteral("process recorded messages")
                           : QStringLiteral("hangup"));
    const codegen::GenerationResult r = f.run(QStringLiteral("vxml"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(QDir(f.appDir()).entryList(QDir::Files, QDir::Name), files);
    QCOMPARE(codegen::completionMessage(codegen::GenerationTarget::Vxml, r.remoteNeeded),
             message);
    // UTF-8, CR LF, and the letters as written.
    const QStringList lines = f.lines(QStringLiteral("callvxml.vxml"), true);
    QVERIFY(lines.contains(QStringLiteral(
        "      <audio src=\"waves/%C3%89t%C3%A9.WAV\">Caf\u00e9 &lt;B&gt;</audio>")));
    QCOMPARE(lines.filter(QStringLiteral("RemoteVxml.asp")).size(), voiceMail ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestVoiceXml)
#include "tst_voicexml.moc"
