#include "call/flowbuilder.h"
#include "fakeuserprompts.h"
#include "testdirs.h"

#include "call/nodemoves.h"
#include "call/nodevaluessource.h"
#include "diagram/boxitem.h"
#include "diagram/diagramexport.h"
#include "diagram/diagrampanel.h"
#include "diagram/diagramscene.h"
#include "diagram/diagramview.h"
#include "flowgraph/flowgraph.h"
#include "flowgraph/graphlayout.h"
#include "model/currentflow.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/nodevalues.h"

#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QStringList kTexts{
    "play main greetings", "play personal greetings", "get user id digits",
    "get password digits", "get option digits", "play message options",
    "process recorded messages", "record message", "hear recorded message",
    "save recorded message", "delete recorded message", "re-record messages", "hangup",
    "answer call", "no such function"};

// A flow of `count` nodes under one answer-call node (and now and then another top-level
// node), with up to eight children a node, so that seventh and eighth children occur.
std::unique_ptr<model::FlowTree> randomFlow(quint32 seed, int count)
{
    QRandomGenerator random(seed);
    auto tree = std::make_unique<model::FlowTree>();
    std::vector<model::FlowNode *> nodes{tree->addTopLevel("1_", "answer call")};
    for (int i = 2; i <= count; ++i) {
        const QString key = QString::number(i) + u'_';
        const QString text = kTexts[random.bounded(int(kTexts.size()))];
        model::FlowNode *parent = nodes[random.bounded(int(nodes.size()))];
        model::FlowNode *node = nullptr;
        if (random.bounded(20) == 0)
            node = tree->addTopLevel(key, text);
        else if (parent->childCount() < 8)
            node = tree->add(parent, model::FlowTree::Relation::LastChild, key, text);
        if (node)
            nodes.push_back(node);
    }
    return tree;
}

// Prompts full of characters that XML must escape.
class AwkwardValues final : public call::NodeValuesSource
{
public:
    model::NodeValues valuesOf(const model::FlowNode &node, QString *) override
    {
        model::NodeValues values = model::NodeValues::fromRow(std::nullopt, node.text);
        values.prompttxt = QStringLiteral("Press 1 & <say> \"hi\" 'now' ") + node.key;
        return values;
    }
};

flowgraph::FlowGraph laidOut(const model::FlowTree &tree)
{
    AwkwardValues values;
    flowgraph::FlowGraph graph = flowgraph::buildGraph(tree, values, nullptr);
    for (flowgraph::Box &box : graph.boxes)
        box.size = diagram::BoxItem::size();
    QString error;
    if (!flowgraph::layOut(graph, &error))
        qWarning() << error;
    return graph;
}

QString way(const QString &from, const QString &to, const QString &label, bool back)
{
    return QStringLiteral("%1>%2 %3%4").arg(from, to, label, back ? " (back)" : "");
}

// Every way out of every node, as the graph draws it and as the rules give it.
QStringList waysDrawn(const flowgraph::FlowGraph &graph)
{
    QStringList ways;
    for (const flowgraph::Arrow &arrow : graph.arrows) {
        const QStringList labels = arrow.labels.isEmpty() ? QStringList{""} : arrow.labels;
        for (const QString &label : labels)
            ways << way(graph.boxes[size_t(arrow.from)].key, graph.boxes[size_t(arrow.to)].key,
                        label, arrow.back);
    }
    for (const flowgraph::Box &box : graph.boxes) {
        if (!box.endMark.isEmpty())
            ways << box.key + u' ' + box.endMark;
    }
    ways.sort();
    return ways;
}

QStringList waysOfRules(const model::FlowTree &tree)
{
    QStringList ways;
    for (const model::FlowNode *node : tree.depthFirst()) {
        for (const call::Move &move : call::movesOf(tree, *node).moves) {
            ways << (move.target ? way(node->key, move.target->key, move.label(), move.goesBack)
                                 : node->key + u' ' + move.label());
        }
    }
    ways.sort();
    return ways;
}

bool near(const QRectF &box, const QPointF &point)
{
    return box.adjusted(-3, -3, 3, 3).contains(point);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runProgram(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(programPath(), args);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class TestDiagram : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_database;
    model::FlowTree m_demo;

private Q_SLOTS:
    void initTestCase()
    {
        bool created = false;
        QString error;
        QVERIFY2(model::demoflow::ensure(m_dir.path(), &created, &error), qPrintable(error));
        m_database = model::demoflow::path(m_dir.path());
        model::FlowStore store(m_database, model::demoflow::tableName());
        QVERIFY(store.loadInto(m_demo, &error));
    }

    void arrowsAreTheMoves_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("demonstration") << 0u;
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("random %u", seed) << seed;
    }

    void arrowsAreTheMoves()
    {
        QFETCH(quint32, seed);
        const std::unique_ptr<model::FlowTree> random = randomFlow(seed, 70);
        const model::FlowTree &tree = seed == 0 ? m_demo : *random;
        const flowgraph::FlowGraph graph = laidOut(tree);
        QCOMPARE(waysDrawn(graph), waysOfRules(tree));

        // Laid out: every arrow leaves its box and points at its target, children stand
        // in option order, and no two boxes overlap.
        for (const flowgraph::Arrow &arrow : graph.arrows) {
            QVERIFY(arrow.path.size() >= 4 && (arrow.path.size() - 1) % 3 == 0);
            QVERIFY(near(graph.boxes[size_t(arrow.from)].rect(), arrow.path.front()));
            QVERIFY(near(graph.boxes[size_t(arrow.to)].rect(), arrow.tip));
            QVERIFY(arrow.labels.isEmpty() || graph.bounds.contains(arrow.labelCentre));
        }
        for (size_t i = 0; i < graph.boxes.size(); ++i) {
            const flowgraph::Box &box = graph.boxes[i];
            QVERIFY(graph.bounds.contains(box.rect()));
            for (size_t j = i + 1; j < graph.boxes.size(); ++j) {
                const flowgraph::Box &other = graph.boxes[j];
                QVERIFY(!box.rect().intersects(other.rect()));
                if (box.parent >= 0 && other.parent == box.parent)
                    QVERIFY(box.centre.x() < other.centre.x());
            }
        }
    }

    void svgHoldsEveryKey_data() { arrowsAreTheMoves_data(); }

    void svgHoldsEveryKey()
    {
        QFETCH(quint32, seed);
        const std::unique_ptr<model::FlowTree> random = randomFlow(seed, 70);
        const model::FlowTree &tree = seed == 0 ? m_demo : *random;
        diagram::DiagramScene scene;
        scene.setGraph(laidOut(tree));
        const QByteArray svg = diagram::svgBytes(scene, QStringLiteral("Call flow <&>"));

        QXmlStreamReader xml(svg);
        QStringList texts;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
                texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(texts.join(u'\n').contains(u"Press 1 & <say>"));
        for (const model::FlowNode *node : tree.depthFirst()) {
            const QString title = node->key + u' ';
            QVERIFY2(std::any_of(texts.cbegin(), texts.cend(),
                                 [&](const QString &t) { return t.startsWith(title); }),
                     qPrintable(node->key));
        }
    }

    // The file depends on the flow alone: not on the run, the process, nor on what the tab
    // has selected or marked.
    void sameFlowSameFile()
    {
        diagram::DiagramScene first;
        QString error;
        QVERIFY(first.drawFlow(m_demo, m_database, model::demoflow::tableName(), &error));
        const QByteArray svg = diagram::svgBytes(first, "t");
        const QByteArray png = diagram::pngBytes(first);
        QCOMPARE(QImage::fromData(png).size(), first.diagramRect().size().toSize());

        model::CurrentFlow current{m_database, model::demoflow::tableName()};
        FakeUserPrompts prompts;
        diagram::DiagramPanel panel(m_demo, current, prompts);
        panel.showSelectedNode("2_");
        panel.showCallNode("5_");
        panel.showSeverities({{"6_", diagram::Severity::Error}});
        const QString fromTab = m_dir.filePath("tab.svg");
        prompts.saveFiles << fromTab;
        panel.exportDiagram();
        QCOMPARE(readFile(fromTab), diagram::svgBytes(first, "Call flow nodesflow"));

        for (const QString &name : {QStringLiteral("a.svg"), QStringLiteral("b.svg"),
                                    QStringLiteral("a.png"), QStringLiteral("b.png")}) {
            const Run run = runProgram({"diagram", "--app-dir", m_dir.path(), "--out",
                                        m_dir.filePath(name)});
            QVERIFY2(run.status == 0, qPrintable(run.err));
        }
        QCOMPARE(readFile(m_dir.filePath("a.svg")), readFile(fromTab));
        QCOMPARE(readFile(m_dir.filePath("b.svg")), readFile(fromTab));
        QCOMPARE(readFile(m_dir.filePath("a.png")), png);
        QCOMPARE(readFile(m_dir.filePath("b.png")), png);
        QCOMPARE(svg, diagram::svgBytes(first, "t"));
    }

    void commandFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no --out") << QStringList{"diagram"} << 2 << "needs --out";
        QTest::newRow("unknown kind") << QStringList{"diagram", "--out", "DIR/d.pdf"} << 2
                                      << "ends in .svg or .png";
        QTest::newRow("stray argument") << QStringList{"diagram", "--out", "DIR/d.svg", "x"}
                                        << 2 << "Unknown argument";
        QTest::newRow("no flow database")
            << QStringList{"diagram", "--flow-db", "DIR/none.mdb", "--out", "DIR/d.svg"} << 1
            << "does not exist";
        QTest::newRow("no such table")
            << QStringList{"diagram", "--table", "other", "--out", "DIR/d.svg"} << 1
            << "has no table other";
        QTest::newRow("folder missing")
            << QStringList{"diagram", "--out", "DIR/missing/d.svg"} << 1 << "Cannot write";
        QTest::newRow("a folder") << QStringList{"diagram", "--out", "DIR/folder.png"} << 1
                                  << "Cannot write";
    }

    void commandFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        bool created = false;
        QVERIFY(model::demoflow::ensure(dir.path(), &created, nullptr));
        QVERIFY(QDir(dir.path()).mkdir("folder.png"));
        args.replaceInStrings(QStringLiteral("DIR"), dir.path());
        const Run run = runProgram(args + QStringList{"--app-dir", dir.path()});
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(dir.filePath("d.svg")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"callflow.mdb"});
    }

    void tabFollowsTheFlow()
    {
        auto tree = buildFlow("answer call(get option digits(hangup;record message))");
        model::CurrentFlow current;
        FakeUserPrompts prompts;
        diagram::DiagramPanel panel(*tree, current, prompts);
        panel.resize(800, 600);
        panel.show();
        QTRY_VERIFY(!panel.scene()->boxCentre("4_").isNull());

        // Edits while shown are drawn at once; edits while hidden when the tab comes back.
        tree->add(tree->findKey("3_"), model::FlowTree::Relation::LastChild, "5_", "hangup");
        QTRY_VERIFY(!panel.scene()->boxCentre("5_").isNull());
        panel.hide();
        tree->remove(tree->findKey("4_"));
        QTest::qWait(20);
        QVERIFY(!panel.scene()->boxCentre("4_").isNull());
        panel.show();
        QTRY_VERIFY(panel.scene()->boxCentre("4_").isNull());

        QSignalSpy clicked(&panel, &diagram::DiagramPanel::nodeClicked);
        diagram::DiagramView *view = panel.view();
        view->centerOn(panel.scene()->boxCentre("3_"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->mapFromScene(panel.scene()->boxCentre("3_")));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().first().toString(), QStringLiteral("3_"));

        // Export through the dialogs: a cancelled dialog writes nothing, a wrong kind of
        // name is refused with the reason.
        panel.exportDiagram();
        prompts.saveFiles << m_dir.filePath("flow.txt");
        panel.exportDiagram();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().contains(".svg or .png"));
        QVERIFY(!QFileInfo::exists(m_dir.filePath("flow.txt")));
    }
};

QTEST_MAIN(TestDiagram)
#include "tst_diagram.moc"
