#include "app/flowfilecommands.h"
#include "codegen/generator.h"
#include "flowjson/flowreader.h"
#include "flowjson/flowtransfer.h"
#include "flowjson/flowwriter.h"
#include "model/catalogue.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/sqlconnection.h"

#include "support/filesnapshot.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace flowjson;

namespace {

const QString kTable = QStringLiteral("nodesflow");

// The tree as text: each node's key, text and images indented by its depth.
QString treeShape(const model::FlowTree &tree)
{
    QString shape;
    for (const model::FlowNode *node : tree.depthFirst()) {
        int depth = 0;
        for (const model::FlowNode *n = node->parent; n; n = n->parent)
            ++depth;
        shape += QString(depth, u' ') + node->key + u' ' + node->text + u' '
                 + QString::number(node->image) + u' ' + QString::number(node->selectedImage)
                 + u'\n';
    }
    return shape;
}

bool execAll(const QString &database, const QStringList &statements)
{
    model::SqlConnection connection(database, model::SqlConnection::Mode::MustExist);
    QSqlQuery query(connection.database());
    for (const QString &sql : statements) {
        if (!query.exec(sql)) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return false;
        }
    }
    return true;
}

// A random flow of up to `n` nodes with random keys, texts, images and property values
// (Null, empty, quotes, backslashes, line breaks, non-Latin text, values of full length).
void makeRandomFlow(const QString &database, const QString &table, quint32 seed, int n)
{
    QRandomGenerator random(seed);
    QStringList names;
    for (const model::CallFunction &f : model::Catalogue::seedRows())
        names << f.functionName.toLower();
    QList<int> numbers;
    for (int k = 1; k <= 999; ++k)
        numbers << k;
    std::shuffle(numbers.begin(), numbers.end(), random);

    model::FlowTree tree;
    for (int i = 0; i < n; ++i) {
        const QString key = QString::number(numbers.at(i)) + u'_';
        const QString text = names.at(random.bounded(int(names.size())));
        const int image = random.bounded(4) == 0 ? int(random.bounded(-3, 9)) : 1;
        const int selected = random.bounded(4) == 0 ? int(random.bounded(-3, 9)) : 2;
        if (tree.isEmpty() || random.bounded(10) == 0)
            tree.addTopLevel(key, text, image, selected);
        else
            tree.add(tree.node(1 + random.bounded(tree.count())),
                     model::FlowTree::Relation::LastChild, key, text, image, selected);
    }
    model::FlowStore store(database, table);
    QString error;
    if (!store.writeTree(tree, &error))
        qWarning("writeTree: %s", qPrintable(error));
    const QStringList pieces{QStringLiteral("a"), QStringLiteral("\""), QStringLiteral("\\"),
                             QStringLiteral("\n"), QStringLiteral("\t"), QStringLiteral("é"),
                             QStringLiteral("ß"), QStringLiteral("😀"), QStringLiteral(" "),
                             QStringLiteral("<%"), QStringLiteral("\x01"), QStringLiteral("/")};
    for (const model::FlowNode *node : tree.depthFirst()) {
        model::ColumnValues values;
        for (const QString &column : model::flowcolumns::propertyColumns()) {
            switch (random.bounded(4)) {
            case 0: break; // stays Null
            case 1: values.insert(column, QStringLiteral("")); break;
            default: {
                const int size = model::flowcolumns::textSize(column);
                const int length = random.bounded(2) ? size : int(random.bounded(size + 1));
                QString value = QStringLiteral("");
                // Characters as the column counts them: a surrogate pair is one.
                for (qsizetype c = 0; c < length;) {
                    const QString piece = pieces.at(random.bounded(int(pieces.size())));
                    const qsizetype characters = piece.toUcs4().size();
                    if (c + characters > length)
                        continue;
                    value += piece;
                    c += characters;
                }
                values.insert(column, value);
            }
            }
        }
        if (!values.isEmpty()
            && !store.updateRow(model::NodeIdentity::of(*node), values, &error))
            qWarning("updateRow: %s", qPrintable(error));
    }
}

} // namespace

class TestFlowJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void layoutIsFixed();
    void exportReadsBackTheSameFlow_data();
    void exportReadsBackTheSameFlow();
    void oneChangedPromptChangesOneLine();
    void refusals_data();
    void refusals();
    void exportRefusesWhatCannotBeReadBack_data();
    void exportRefusesWhatCannotBeReadBack();
    void exportCommand();

private:
    QString database() const { return m_dir->filePath(model::demoflow::fileName()); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFlowJson::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QString error;
    QVERIFY2(model::demoflow::ensure(m_dir->path(), nullptr, &error), qPrintable(error));
}

// The file of a small flow, as the layout fixes it byte for byte.
static const char kSmallFlow[] = R"({
  "format": "dialwright-flow",
  "version": 1,
  "nodes": [
    {
      "key": "1_",
      "text": "answer call",
      "properties": {
        "voicefile": "é😀.wav",
        "MaxReclen": "",
        "prompttxt": "Say \"hi\"\\\n\tbye"
      },
      "children": [
        {
          "key": "3_",
          "text": "hangup",
          "image": 4,
          "selectedimage": 5
        },
        {
          "key": "2_",
          "text": "Record Message"
        }
      ]
    }
  ]
}
)";

void TestFlowJson::layoutIsFixed()
{
    QString error;
    QVERIFY(model::FlowStore::createMain(database(), QStringLiteral("small"), &error));
    model::FlowTree tree;
    model::FlowNode *root = tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    tree.add(root, model::FlowTree::Relation::LastChild, QStringLiteral("3_"),
             QStringLiteral("hangup"), 4, 5);
    tree.add(root, model::FlowTree::Relation::LastChild, QStringLiteral("2_"),
             QStringLiteral("Record Message"));
    model::FlowStore store(database(), QStringLiteral("small"));
    QVERIFY(store.writeTree(tree, &error));
    QVERIFY(store.updateRow(model::NodeIdentity::of(*tree.findKey(QStringLiteral("1_"))),
                            {{QStringLiteral("prompttxt"), QStringLiteral("Say \"hi\"\\\n\tbye")},
                             {QStringLiteral("voicefile"), QStringLiteral("é😀.wav")},
                             {QStringLiteral("MaxReclen"), QStringLiteral("")}},
                            &error));
    const ExportResult result = exportFlow(database(), QStringLiteral("small"));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(QString::fromUtf8(result.bytes), QString::fromUtf8(kSmallFlow));
}

void TestFlowJson::exportReadsBackTheSameFlow_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("nodes");
    QTest::newRow("demonstration flow") << 0u << 0;
    for (quint32 seed = 1; seed <= 6; ++seed)
        QTest::addRow("random flow %u", seed) << seed << int(seed * seed * 20);
}

void TestFlowJson::exportReadsBackTheSameFlow()
{
    QFETCH(quint32, seed);
    QFETCH(int, nodes);
    QString table = model::demoflow::tableName();
    if (seed > 0) {
        table = QStringLiteral("random");
        QString error;
        QVERIFY(model::FlowStore::createMain(database(), table, &error));
        makeRandomFlow(database(), table, seed, nodes);
    }
    const ExportResult result = exportFlow(database(), table);
    QVERIFY2(result.ok, qPrintable(result.error));

    FlowContent content;
    QStringList problems;
    QVERIFY2(readFlow(result.bytes, &content, &problems), qPrintable(problems.join(u'\n')));
    model::FlowTree loaded;
    model::FlowStore store(database(), table);
    QString error;
    QVERIFY(store.loadInto(loaded, &error));
    QCOMPARE(treeShape(content.tree), treeShape(loaded));
    for (const model::FlowNode *node : loaded.depthFirst()) {
        const auto row = store.fetchRow(model::NodeIdentity::of(*node), &error);
        QVERIFY(row);
        const model::ColumnValues read = content.properties.value(node->key);
        for (const QString &column : model::flowcolumns::propertyColumns()) {
            QCOMPARE(read.value(column).isNull(), row->value(column).isNull());
            QCOMPARE(read.value(column).toString(), row->value(column).toString());
        }
    }
    QCOMPARE(writeFlow(content.tree, content.properties), result.bytes);
}

void TestFlowJson::oneChangedPromptChangesOneLine()
{
    const QByteArray before = exportFlow(database(), kTable).bytes;
    model::FlowStore store(database(), kTable);
    QString error;
    QVERIFY2(store.updateRow({QStringLiteral("7_"), QStringLiteral("9_"),
                             QStringLiteral("play message options"), 1, 2},
                            {{QStringLiteral("prompttxt"), QStringLiteral("Press 1.")}}, &error),
             qPrintable(error));
    const QList<QByteArray> a = before.split('\n');
    const QList<QByteArray> b = exportFlow(database(), kTable).bytes.split('\n');
    QCOMPARE(a.size(), b.size());
    int changed = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        changed += a.at(i) != b.at(i);
    QCOMPARE(changed, 1);
}

// A small valid file; each row of refusals() changes it in exactly one way.
static const char kValidFile[] = R"({
  "format": "dialwright-flow",
  "version": 1,
  "nodes": [
    {
      "key": "1_",
      "text": "answer call",
      "properties": {
        "voicefile": "hello.wav",
        "InputTerm": "#",
        "prompttxt": "Welcome."
      },
      "children": [
        {
          "key": "2_",
          "text": "get option digits",
          "image": 3,
          "selectedimage": 4
        },
        {
          "key": "3_",
          "text": "hangup"
        }
      ]
    }
  ]
}
)";

void TestFlowJson::refusals_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message");
    const QString c0 = QStringLiteral("nodes[0].children[0] (node 2_)");
    const QString c1 = QStringLiteral("nodes[0].children[1] (node 3_)");
    const QString n0 = QStringLiteral("nodes[0] (node 1_)");
    QTest::newRow("cut short") << "\"text\": \"hangup\"" << "\"text\": \"hang"
                               << "line 28, column 1: this is not valid JSON: unterminated string";
    QTest::newRow("not json") << "\"version\": 1," << "\"version\": 1,," << "line 3";
    QTest::newRow("empty") << "" << "" << "the file is empty";
    QTest::newRow("top is a list") << "" << "[%1]" << "does not hold a JSON object";
    QTest::newRow("other format") << "dialwright-flow" << "dialwright-flows"
                                  << "not a flow file";
    QTest::newRow("newer version") << "\"version\": 1" << "\"version\": 2"
                                   << "version: version 2 is not known";
    QTest::newRow("no version") << "\"version\": 1" << "\"versio\": 1"
                                << "the version number is missing";
    QTest::newRow("no nodes") << "\"nodes\"" << "\"nodez\"" << "nodes: a list of nodes is needed";
    QTest::newRow("unknown member") << "\"version\": 1," << "\"version\": 1, \"x\": 0,"
                                    << "\"x\" is not a member";
    QTest::newRow("node not an object") << "\"children\": [" << "\"children\": [1,"
                                        << "nodes[0].children[0]: a node must be";
    QTest::newRow("no key") << "\"key\": \"3_\"," << ""
                            << "nodes[0].children[1]: the node has no \"key\"";
    QTest::newRow("key not N_") << "\"key\": \"3_\"" << "\"key\": \"3\""
                                << "(node 3): the key \"3\" is not a number";
    QTest::newRow("key letters") << "\"key\": \"3_\"" << "\"key\": \"c_\"" << "is not a number";
    QTest::newRow("key 0_") << "\"key\": \"3_\"" << "\"key\": \"0_\"" << "stands for the top";
    QTest::newRow("leading zero") << "\"key\": \"3_\"" << "\"key\": \"03_\"" << "leading zero";
    QTest::newRow("key too long") << "\"key\": \"3_\"" << "\"key\": \"1000_\""
                                  << "5 characters are too many; the column key takes at most 4";
    QTest::newRow("duplicate key") << "\"key\": \"3_\"" << "\"key\": \"2_\""
                                   << "nodes[0].children[1] (node 2_): the key 2_ is used by an "
                                      "earlier node, nodes[0].children[0]";
    QTest::newRow("unknown call function") << "\"hangup\"" << "\"hang up\""
                                           << c1 + ": \"hang up\" is not the name of a call";
    QTest::newRow("no text") << "\"3_\",\n          \"text\": \"hangup\"" << "\"3_\""
                             << c1 + ": the node has no \"text\"";
    QTest::newRow("image not whole") << "\"image\": 3" << "\"image\": 3.5"
                                     << c0 + ", image: the image index 3.5 is not a whole";
    QTest::newRow("image too big") << "\"selectedimage\": 4" << "\"selectedimage\": 40000"
                                   << c0 + ", selectedimage: the image index 40000";
    QTest::newRow("image as text") << "\"image\": 3" << "\"image\": \"3\""
                                   << c0 + ", image: a whole number is needed";
    QTest::newRow("properties a list") << "\"text\": \"hangup\""
                                       << "\"text\": \"hangup\", \"properties\": []"
                                       << c1 + ": \"properties\" must be a JSON object";
    QTest::newRow("unknown property") << "\"InputTerm\"" << "\"InputTerms\""
                                      << n0 + ", property InputTerms: there is no property";
    QTest::newRow("tree column as property") << "\"InputTerm\": \"#\"" << "\"key\": \"#\""
                                             << "property key: there is no property";
    QTest::newRow("property twice") << "\"InputTerm\"" << "\"VOICEFILE\""
                                    << "property voicefile: the property is given twice";
    QTest::newRow("property a number") << "\"InputTerm\": \"#\"" << "\"InputTerm\": 5"
                                       << "property InputTerm: the value must be a text";
    QTest::newRow("value too long") << "\"InputTerm\": \"#\"" << "\"InputTerm\": \"##\""
                                    << "property InputTerm: 2 characters are too many; the "
                                       "column InputTerm takes at most 1.";
    QTest::newRow("broken character") << "\"Welcome.\"" << "\"Wel\\ud800come.\""
                                      << "property prompttxt: the text holds a broken";
    QTest::newRow("NUL character") << "\"Welcome.\"" << "\"Wel\\u0000come.\""
                                   << "property prompttxt: the text holds a NUL";
    QTest::newRow("children not a list") << "\"text\": \"hangup\""
                                         << "\"text\": \"hangup\", \"children\": 3"
                                         << c1 + ": \"children\" must be a list";
    QTest::newRow("misspelt member") << "\"children\": [" << "\"childen\": ["
                                     << n0 + ": \"childen\" is not a member";
}

void TestFlowJson::refusals()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    FlowContent content;
    QStringList problems;
    QVERIFY2(readFlow(kValidFile, &content, &problems), qPrintable(problems.join(u'\n')));
    QString file = QString::fromUtf8(kValidFile);
    if (from.isEmpty()) {
        file = to.contains(u'%') ? to.arg(file) : to; // the whole file
    } else {
        QVERIFY(file.contains(from));
        file.replace(file.indexOf(from), from.size(), to);
    }
    QVERIFY(!readFlow(file.toUtf8(), &content, &problems));
    QVERIFY2(problems.size() == 1 && problems.at(0).contains(message, Qt::CaseInsensitive),
             qPrintable(problems.join(u'\n')));
}

void TestFlowJson::exportRefusesWhatCannotBeReadBack_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("message");
    // A table made by another program, without the size checks of the designer's tables.
    QStringList columns;
    for (const QString &column : model::flowcolumns::all())
        columns << QStringLiteral("\"%1\"").arg(column);
    const QString plain = QStringLiteral("CREATE TABLE plain (%1)").arg(columns.join(u','));
    auto row = [](const char *key, const char *parent, const char *text, const QString &prompt) {
        return QStringLiteral("INSERT INTO plain (\"key\", parent, \"text\", image, "
                              "selectedimage, prompttxt) VALUES ('%1', '%2', '%3', 1, 2, '%4')")
            .arg(QLatin1String(key), QLatin1String(parent), QLatin1String(text), prompt);
    };
    QTest::newRow("key outside the scheme")
        << QStringList{plain, row("1_", "0_", "answer call", "hi"), row("a_", "1_", "hangup", "")}
        << "plain" << "node a_: the key \"a_\" is not a number";
    QTest::newRow("no call function")
        << QStringList{plain, row("1_", "0_", "answer call", "hi"), row("2_", "1_", "greet", "")}
        << "plain" << "node 2_: \"greet\" is not the name of a call function";
    QTest::newRow("value too long")
        << QStringList{plain, row("1_", "0_", "answer call", QString(201, u'x'))} << "plain"
        << "node 1_, property prompttxt: 201 characters are too many";
    QStringList chain{plain, row("1_", "0_", "answer call", "")};
    for (int k = 2; k <= 512; ++k)
        chain << row(QByteArray::number(k).append('_').constData(),
                     QByteArray::number(k - 1).append('_').constData(), "hangup", "");
    QTest::newRow("nested too deep") << chain << "plain"
                                     << "node 512_: the flow is nested more than 511 levels";
    QTest::newRow("not a flow table") << QStringList{"CREATE TABLE notes (a)"} << "notes"
                                      << "The table notes does not hold a flow.";
    QTest::newRow("no such table") << QStringList{} << "missing" << "has no table missing";
}

void TestFlowJson::exportRefusesWhatCannotBeReadBack()
{
    QFETCH(QStringList, statements);
    QFETCH(QString, table);
    QFETCH(QString, message);
    QVERIFY(execAll(database(), statements));
    const ExportResult result = exportFlow(database(), table);
    QVERIFY(!result.ok);
    QVERIFY(result.bytes.isEmpty());
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
    // One level less fits.
    if (QByteArray(QTest::currentDataTag()) == "nested too deep") {
        QVERIFY(execAll(database(), {"DELETE FROM plain WHERE \"key\" = '512_'"}));
        const ExportResult fits = exportFlow(database(), table);
        QVERIFY2(fits.ok, qPrintable(fits.error));
        FlowContent content;
        QStringList problems;
        QVERIFY2(readFlow(fits.bytes, &content, &problems), qPrintable(problems.join(u'\n')));
        QCOMPARE(content.tree.count(), 511);
    }
}

void TestFlowJson::exportCommand()
{
    auto run = [this](QStringList args, QString *outText = nullptr, QString *errText = nullptr) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = app::runExportCommand(args, m_dir->path(), o, e);
        o.flush();
        e.flush();
        if (outText)
            *outText = out;
        if (errText)
            *errText = err;
        return status;
    };
    const QByteArray demo = exportFlow(database(), kTable).bytes;
    QString out, err;
    QCOMPARE(run({}, &out), 0);
    QCOMPARE(out.toUtf8(), demo);
    const QString file = m_dir->filePath(QStringLiteral("flow.json"));
    QCOMPARE(run({"--out", file, "--table", "NODESFLOW", "--flow-db", database()}, &out), 0);
    QVERIFY(out.isEmpty());
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), demo);

    const auto before = fileSnapshot(m_dir->path());
    const struct
    {
        QStringList args;
        int status;
        const char *message;
    } failures[] = {
        {{"--bogus"}, 2, "Unknown option 'bogus'"},
        {{"extra"}, 2, "Unknown argument for export: extra"},
        {{"--table"}, 2, "Missing value after '--table'"},
        {{"--table", "a.b"}, 2, "Table name a.b"},
        {{"--out", m_dir->filePath("no/such/folder/flow.json")}, 1, "cannot write"},
        {{"--flow-db", m_dir->filePath("none.mdb")}, 1, "none.mdb does not exist"},
        {{"--table", "other"}, 1, "has no table other"},
    };
    for (const auto &f : failures) {
        QCOMPARE(run(f.args, &out, &err), f.status);
        QVERIFY2(err.contains(QLatin1String(f.message)), qPrintable(err));
        QVERIFY(out.isEmpty());
    }
    QCOMPARE(fileSnapshot(m_dir->path()), before);

    // A row whose parent is missing is left out, as the designer leaves it out on loading.
    QVERIFY(execAll(database(), {"UPDATE nodesflow SET parent = '99_' WHERE \"key\" = '15_'"}));
    QCOMPARE(run({}, &out, &err), 0);
    QVERIFY2(err.contains(QStringLiteral("1 row was left out")), qPrintable(err));
    QVERIFY(!out.contains(QStringLiteral("\"15_\"")));
}

QTEST_GUILESS_MAIN(TestFlowJson)
#include "tst_flowjson.moc"
