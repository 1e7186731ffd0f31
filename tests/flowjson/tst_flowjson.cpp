#include "app/flowfilecommands.h"
#include "app/mainwindow.h"
#include "codegen/generator.h"
#include "flowjson/flowreader.h"
#include "flowjson/flowtransfer.h"
#include "flowjson/flowwriter.h"
#include "model/catalogue.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/sqlconnection.h"

#include "support/fakesoundplayer.h"
#include "support/fakespeechengine.h"
#include "support/fakeuserprompts.h"
#include "support/filesnapshot.h"

#include <QAction>

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace flowjson;

namespace {

// Every row of a table without its ID, sorted: the same rows whatever their order.
QStringList tableRows(const QString &database, const QString &table)
{
    model::SqlConnection connection(database, model::SqlConnection::Mode::MustExist);
    QSqlQuery query(connection.database());
    QStringList rows;
    if (!query.exec(QStringLiteral("SELECT * FROM %1").arg(model::quoteIdentifier(table))))
        return {QStringLiteral("<unreadable>")};
    while (query.next()) {
        QString row;
        for (int i = 1; i < model::flowcolumns::all().size(); ++i)
            row += (query.isNull(i) ? QStringLiteral("<null>") : query.value(i).toString())
                   + u'|';
        rows << row;
    }
    rows.sort();
    return rows;
}

// Every page the generator writes for the flow, in a folder of its own.
QByteArrayList pages(const QString &database, const QString &table, const QString &folder)
{
    QDir().mkpath(folder);
    model::FlowTree tree;
    model::FlowStore(database, table).loadInto(tree, nullptr);
    QByteArrayList result;
    using codegen::GenerationTarget;
    for (GenerationTarget target :
         {GenerationTarget::WteTts, GenerationTarget::WteWave, GenerationTarget::CallXml}) {
        const auto run = codegen::generate(tree, {target, folder, database, table}, nullptr);
        for (const QString &file : {run.mainFile, run.remoteFile}) {
            QFile page(file);
            result << (!file.isEmpty() && page.open(QIODevice::ReadOnly) ? page.readAll()
                                                                         : run.error.toUtf8());
        }
    }
    return result;
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

// A random flow of n nodes: random keys, call functions, images, and property values
// that are Null, empty, full length (of characters outside the basic plane, which count
// one each, as for the column), or hold quotes, backslashes and control characters.
void makeRandomFlow(const QString &database, const QString &table, quint32 seed, int n)
{
    QRandomGenerator random(seed);
    const QList<model::CallFunction> functions = model::Catalogue::seedRows();
    QList<int> numbers;
    for (int k = 1; k <= 999; ++k)
        numbers << k;
    std::shuffle(numbers.begin(), numbers.end(), random);
    model::FlowTree tree;
    for (int i = 0; i < n; ++i) {
        const QString key = QString::number(numbers.at(i)) + u'_';
        const QString text = functions.at(random.bounded(14)).functionName;
        const int image = random.bounded(4) ? 1 : int(random.bounded(-3, 9));
        if (random.bounded(10) && i > 0)
            tree.add(tree.node(1 + random.bounded(i)), model::FlowTree::Relation::LastChild, key,
                     text, image, 2);
        else
            tree.addTopLevel(key, text, image, 2);
    }
    model::FlowStore store(database, table);
    QVERIFY(store.writeTree(tree, nullptr));
    const QStringList odd{"", "\"q\" \\ <%", "a\nb\tc\x01", "é"};
    store.beginReading(); // one transaction for all the updates
    for (const model::FlowNode *node : tree.depthFirst()) {
        model::ColumnValues values;
        for (const QString &column : model::flowcolumns::propertyColumns()) {
            const int size = model::flowcolumns::textSize(column);
            if (random.bounded(3))
                values.insert(column, random.bounded(2) ? QStringLiteral("😀").repeated(size)
                                                        : QStringLiteral("%1").arg(odd.at(
                                                              random.bounded(4)).left(size)));
        }
        QVERIFY(store.updateRow(model::NodeIdentity::of(*node), values, nullptr));
    }
    store.endReading();
}


} // namespace

class TestFlowJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void layoutIsFixed();
    void roundTrip_data();
    void roundTrip();
    void refusals_data();
    void refusals();
    void exportRefusals_data();
    void exportRefusals();
    void importIsAllOrNothing();
    void fuzz();
    void commandLine_data();
    void commandLine();
    void windowExportsAndImports();

private:
    QString database() const { return m_dir->filePath(model::demoflow::fileName()); }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString write(const QByteArray &data, const QString &name = QStringLiteral("flow.json"));
    int run(const QString &command, const QStringList &args, QString *out = nullptr,
            QString *err = nullptr);
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Raw strings come after the class: moc does not read them.
// A small flow as the layout fixes it byte for byte; each row of refusals() changes it in
// exactly one way.
static const char kSmallFlow[] = R"({
  "format": "dialwright-flow",
  "version": 1,
  "nodes": [
    {
      "key": "1_",
      "text": "answer call",
      "properties": {
        "voicefile": "é😀.wav",
        "InputTerm": "#",
        "MaxReclen": "",
        "prompttxt": "Say \"hi\"\\\n\tbye"
      },
      "children": [
        {
          "key": "2_",
          "text": "Get Option Digits",
          "image": 3,
          "selectedimage": 2
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

void TestFlowJson::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(model::demoflow::ensure(m_dir->path(), nullptr, nullptr));
}

QString TestFlowJson::write(const QByteArray &data, const QString &name)
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qWarning("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

int TestFlowJson::run(const QString &command, const QStringList &args, QString *out,
                      QString *err)
{
    QString o, e;
    QTextStream outStream(&o), errStream(&e);
    const auto runCommand = command == u"export" ? app::runExportCommand : app::runImportCommand;
    const int status = runCommand(args, m_dir->path(), outStream, errStream);
    outStream.flush();
    errStream.flush();
    if (out)
        *out = o;
    if (err)
        *err = e;
    return status;
}

void TestFlowJson::layoutIsFixed()
{
    FlowContent content;
    QStringList problems;
    QVERIFY2(readFlow(kSmallFlow, &content, &problems), qPrintable(problems.join(u'\n')));
    QVERIFY(importFlow(content, database(), QStringLiteral("small"), false).ok);
    const ExportResult result = exportFlow(database(), QStringLiteral("small"));
    QCOMPARE(QString::fromUtf8(result.bytes), QString::fromUtf8(kSmallFlow));
}

void TestFlowJson::roundTrip_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("nodes");
    QTest::newRow("demonstration flow") << 0u << 0;
    QTest::newRow("empty table") << 1u << 0;
    for (quint32 seed = 2; seed <= 4; ++seed)
        QTest::addRow("random flow %u", seed) << seed << int(seed * seed * seed * 3);
}

// Export, then import into another database: the same rows, the same pages byte for byte,
// the same file again (so the same tree as loaded, and the same properties).
void TestFlowJson::roundTrip()
{
    QFETCH(quint32, seed);
    QFETCH(int, nodes);
    QString table = model::demoflow::tableName();
    if (seed > 0) {
        table = QStringLiteral("random flow");
        QVERIFY(model::FlowStore::createMain(database(), table, nullptr));
        if (nodes > 0)
            makeRandomFlow(database(), table, seed, nodes);
    }
    const ExportResult exported = exportFlow(database(), table);
    QVERIFY2(exported.ok, qPrintable(exported.error));
    FlowContent content;
    QStringList problems;
    QVERIFY2(readFlow(exported.bytes, &content, &problems), qPrintable(problems.join(u'\n')));
    const QString copy = path(QStringLiteral("copy.mdb"));
    const ImportResult imported = importFlow(content, copy, QStringLiteral("copy"), false);
    QVERIFY2(imported.ok, qPrintable(imported.error));

    QCOMPARE(tableRows(copy, QStringLiteral("copy")), tableRows(database(), table));
    QCOMPARE(pages(copy, QStringLiteral("copy"), path(QStringLiteral("b"))),
             pages(database(), table, path(QStringLiteral("a"))));
    QCOMPARE(exportFlow(copy, QStringLiteral("copy")).bytes, exported.bytes);
    if (seed == 0) { // one changed prompt, one changed line
        QVERIFY(model::FlowStore(database(), table)
                    .updateRow({"7_", "9_", "play message options", 1, 2},
                               {{QStringLiteral("prompttxt"), QStringLiteral("Press 1.")}},
                               nullptr));
        const QList<QByteArray> a = exported.bytes.split('\n');
        const QList<QByteArray> b = exportFlow(database(), table).bytes.split('\n');
        QCOMPARE(a.size(), b.size());
        QCOMPARE(std::inner_product(a.begin(), a.end(), b.begin(), 0, std::plus<>(),
                                    std::not_equal_to<>()),
                 1);
    }
}

void TestFlowJson::refusals_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message");
    const QString c0 = QStringLiteral("nodes[0].children[0] (node 2_)");
    const QString c1 = QStringLiteral("nodes[0].children[1] (node 3_)");
    const QString n0 = QStringLiteral("nodes[0] (node 1_), property ");
    const QString hangup = QStringLiteral("\"hangup\"");
    QTest::newRow("cut short") << hangup << "\"hang"
                               << "line 29, column 1: this is not valid JSON: unterminated";
    QTest::newRow("other format") << "-flow" << "-flows" << "is not a flow file";
    QTest::newRow("newer version") << "\"version\": 1" << "\"version\": 2"
                                   << "version: version 2 is not known";
    QTest::newRow("member twice") << hangup << hangup + ", \"text\": \"x\""
                                  << "line 23, column 29: this member is given a second time";
    QTest::newRow("misspelt member") << "\"children\"" << "\"childen\""
                                     << "nodes[0] (node 1_): \"childen\" is not a member";
    QTest::newRow("key not N_") << "\"3_\"" << "\"3\"" << "(node 3): the key \"3\" is not a";
    QTest::newRow("key too long") << "\"3_\"" << "\"1000_\""
                                  << "5 characters are too many; the column key takes at most 4";
    QTest::newRow("duplicate key") << "\"3_\"" << "\"2_\""
                                   << "nodes[0].children[1] (node 2_): the key 2_ is used by an "
                                      "earlier node, nodes[0].children[0]";
    QTest::newRow("no call function") << hangup << "\"hang up\""
                                      << c1 + ": \"hang up\" is not the name of a call";
    QTest::newRow("image not whole") << "\"image\": 3" << "\"image\": 3.5"
                                     << c0 + ", image: the image index 3.5 is not a whole";
    QTest::newRow("no such property") << "\"InputTerm\"" << "\"inputterms\""
                                      << n0 + "inputterms: there is no property column";
    QTest::newRow("property twice") << "\"InputTerm\"" << "\"VOICEFILE\""
                                    << n0 + "voicefile: the property is given twice";
    QTest::newRow("not a text") << "\"#\"" << "5" << n0 + "InputTerm: the value must be a text";
    QTest::newRow("too long") << "\"#\"" << "\"##\""
                              << n0 + "InputTerm: 2 characters are too many; the column "
                                      "InputTerm takes at most 1.";
    QTest::newRow("broken character") << "Say" << "Say\\ud800"
                                      << n0 + "prompttxt: the text holds a broken";
}

// Each file wrong in one way gives one problem, and importing it writes nothing.
void TestFlowJson::refusals()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QString text = QString::fromUtf8(kSmallFlow);
    QVERIFY(text.contains(from));
    text.replace(text.indexOf(from), from.size(), to);
    FlowContent content;
    QStringList problems;
    QVERIFY(!readFlow(text.toUtf8(), &content, &problems));
    QVERIFY2(problems.size() == 1 && problems.at(0).contains(message),
             qPrintable(problems.join(u'\n')));
    const QString file = write(text.toUtf8());
    const auto before = fileSnapshot(m_dir->path());
    QString err;
    QCOMPARE(run("import", {file, "--table", "nodesflow", "--replace"}, nullptr, &err), 1);
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(fileSnapshot(m_dir->path()), before);
}

void TestFlowJson::exportRefusals_data()
{
    QTest::addColumn<QStringList>("rows"); // key, parent, text, prompt
    QTest::addColumn<QString>("message");
    QTest::newRow("key outside the scheme") << QStringList{"a_", "1_", "hangup", ""}
                                            << "node a_: the key \"a_\" is not a number";
    QTest::newRow("value too long") << QStringList{"2_", "1_", "hangup", QString(201, u'x')}
                                    << "node 2_, property prompttxt: 201 characters are too";
    QStringList chain;
    for (int k = 2; k <= 512; ++k)
        chain << QStringLiteral("%1_").arg(k) << QStringLiteral("%1_").arg(k - 1) << "hangup"
              << "";
    QTest::newRow("nested too deep") << chain << "node 512_: the flow is nested more than 511";
}

// A table made by another program, without the checks of the designer's tables, can hold
// what a flow file cannot: export names it and writes nothing.
void TestFlowJson::exportRefusals()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, message);
    QStringList columns = model::flowcolumns::all();
    for (QString &column : columns)
        column = model::quoteIdentifier(column);
    QStringList sql{"BEGIN", QStringLiteral("CREATE TABLE plain (%1)").arg(columns.join(u','))};
    rows = QStringList{"1_", "0_", "answer call", ""} + rows;
    for (qsizetype i = 0; i < rows.size(); i += 4)
        sql << QStringLiteral("INSERT INTO plain (\"key\", parent, \"text\", image, "
                              "selectedimage, prompttxt) VALUES ('%1', '%2', '%3', 1, 2, '%4')")
                   .arg(rows.at(i), rows.at(i + 1), rows.at(i + 2), rows.at(i + 3));
    QVERIFY(execAll(database(), sql << "COMMIT"));
    ExportResult result = exportFlow(database(), QStringLiteral("plain"));
    QVERIFY(!result.ok && result.bytes.isEmpty());
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
    if (rows.size() > 8) { // one level less fits, and reads back
        QVERIFY(execAll(database(), {"DELETE FROM plain WHERE \"key\" = '512_'"}));
        result = exportFlow(database(), QStringLiteral("plain"));
        FlowContent content;
        QVERIFY(result.ok && readFlow(result.bytes, &content, nullptr));
        QCOMPARE(content.tree.count(), 511);
    }
}

// A write that fails half-way (a trigger refuses the seventh row) leaves the table as it was.
void TestFlowJson::importIsAllOrNothing()
{
    FlowContent content;
    QVERIFY(readFlow(exportFlow(database(), "nodesflow").bytes, &content, nullptr));
    QVERIFY(execAll(database(), {"UPDATE nodesflow SET prompttxt = 'changed'",
                                 "CREATE TRIGGER refuse BEFORE INSERT ON nodesflow WHEN "
                                 "NEW.\"key\" = '7_' BEGIN SELECT RAISE(ABORT, 'refused'); END"}));
    const QStringList before = tableRows(database(), QStringLiteral("nodesflow"));
    const ImportResult result = importFlow(content, database(), QStringLiteral("nodesflow"), true);
    QVERIFY2(!result.ok && result.error.contains(QStringLiteral("refused")),
             qPrintable(result.error));
    QCOMPARE(tableRows(database(), QStringLiteral("nodesflow")), before);
}

// Truncated and mutated files never crash the import and never leave a partial table:
// either the file is refused and nothing changes, or its flow is the table's.
void TestFlowJson::fuzz()
{
    const QByteArray valid = exportFlow(database(), QStringLiteral("nodesflow")).bytes;
    const QByteArray pieces[] = {"\"", "{", "}", "[", "]", ",", ":", "9", "_", "\\", "\\u0000",
                                 "\xff", "\xc3", " ", "null", "\"key\": \"1_\","};
    QRandomGenerator random(19);
    int accepted = 0;
    for (int round = 0; round < 200; ++round) {
        QByteArray data = valid;
        const int at = int(random.bounded(data.size()));
        switch (round % 4) {
        case 0: data.truncate(at); break;
        case 1: data.remove(at, 1 + random.bounded(40)); break;
        case 2: data[at] = char(random.bounded(256)); break;
        default: data.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
        }
        const QStringList args{write(data), "--table", "fuzz", "--replace"};
        const auto before = fileSnapshot(m_dir->path());
        FlowContent content;
        if (!readFlow(data, &content, nullptr)) {
            QCOMPARE(run("import", args), 1);
            QCOMPARE(fileSnapshot(m_dir->path()), before);
            continue;
        }
        ++accepted;
        QCOMPARE(run("import", args), 0);
        QCOMPARE(exportFlow(database(), QStringLiteral("fuzz")).bytes,
                 writeFlow(content.tree, content.properties));
    }
    QVERIFY(accepted > 0); // some changes (inside a prompt) keep the file valid
}

void TestFlowJson::commandLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("args"); // FILE: a valid flow file
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // on standard error, or the table written
    auto row = [](const char *name, const char *command, const QStringList &args, int status,
                  const char *message) {
        QTest::newRow(name) << command << args << status << message;
    };
    row("export", "export", {}, 0, "");
    row("export to a file", "export", {"--out", "out.json"}, 0, "");
    row("export unknown option", "export", {"--bogus"}, 2, "Unknown option 'bogus'");
    row("export unwritable", "export", {"--out", "no/such/f.json"}, 1, "cannot write");
    row("export no database", "export", {"--flow-db", "none.mdb"}, 1, "none.mdb does not exist");
    row("export no table", "export", {"--table", "x"}, 1, "has no table x");
    row("import new table", "import", {"FILE", "--table", "new"}, 0, "new");
    row("import new database", "import", {"FILE", "--flow-db", "o.mdb", "--table", "t"}, 0, "t");
    row("import replacing", "import", {"FILE", "--table", "NODESFLOW", "--replace"}, 0,
        "NODESFLOW");
    row("import existing", "import", {"FILE", "--table", "nodesflow"}, 1, "already exists");
    row("import no flow table", "import", {"FILE", "--table", "notes", "--replace"}, 1,
        "does not hold a flow");
    row("import no table", "import", {"FILE"}, 2, "--table");
    row("import missing file", "import", {"none.json", "--table", "t"}, 1, "none.json");
}

void TestFlowJson::commandLine()
{
    QFETCH(QString, command);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QVERIFY(execAll(database(), {"CREATE TABLE notes (a)"}));
    const QByteArray demo = exportFlow(database(), QStringLiteral("nodesflow")).bytes;
    const QString file = write(demo);
    for (QString &arg : args)
        arg = arg == u"FILE" ? file : arg.contains(u'.') ? path(arg) : arg;
    const auto before = fileSnapshot(m_dir->path());
    QString out, err;
    QCOMPARE(run(command, args, &out, &err), status);
    if (status != 0) {
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY(out.isEmpty());
        QCOMPARE(fileSnapshot(m_dir->path()), before);
    } else if (command == u"export") {
        QFile written(path(QStringLiteral("out.json")));
        QCOMPARE(written.open(QIODevice::ReadOnly) ? written.readAll() : out.toUtf8(), demo);
    } else {
        const int db = args.indexOf(QStringLiteral("--flow-db"));
        QCOMPARE(exportFlow(db < 0 ? database() : args.at(db + 1), message).bytes, demo);
    }
}

// The Call Flow menu: the flow shown to a file, and a file into a table that becomes the
// current flow, replacing an existing table only when the user agrees.
void TestFlowJson::windowExportsAndImports()
{
    FakeUserPrompts prompts;
    FakeSpeechEngine speech;
    FakeSoundPlayer sound;
    app::MainWindow window({m_dir->path(), prompts, speech, sound});
    window.startUp();
    auto run = [&](const char *action, const QString &file, const QString &table = QString()) {
        (action == QByteArray("mnuExportFlow") ? prompts.saveFiles : prompts.openFiles) << file;
        if (!table.isNull())
            prompts.inputs << table;
        window.findChild<QAction *>(QLatin1String(action))->trigger();
    };
    const QByteArray demo = exportFlow(database(), QStringLiteral("nodesflow")).bytes;
    run("mnuExportFlow", path(QStringLiteral("flow")));
    QFile exported(path(QStringLiteral("flow.json")));
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), demo);

    run("mnuImportFlow", exported.fileName(), QStringLiteral("copy"));
    QCOMPARE(window.currentFlow().table, QStringLiteral("copy"));
    QCOMPARE(exportFlow(database(), QStringLiteral("copy")).bytes, demo);

    const QString small = write(kSmallFlow, QStringLiteral("small.json"));
    const QStringList before = tableRows(database(), QStringLiteral("nodesflow"));
    prompts.answers << FakeUserPrompts::Answer::Cancel << FakeUserPrompts::Answer::Ok;
    run("mnuImportFlow", small, QStringLiteral("nodesflow"));
    QVERIFY(prompts.questions.last().contains(QStringLiteral("will be destroyed")));
    QCOMPARE(tableRows(database(), QStringLiteral("nodesflow")), before);
    QCOMPARE(window.currentFlow().table, QStringLiteral("copy"));
    run("mnuImportFlow", small, QStringLiteral("nodesflow"));
    QCOMPARE(window.currentFlow().table, QStringLiteral("nodesflow"));
    QCOMPARE(window.tree().count(), 3);

    run("mnuImportFlow", write("{}", QStringLiteral("bad.json")), QStringLiteral("x"));
    QVERIFY2(prompts.messages.last().contains(QStringLiteral("is not a flow file")),
             qPrintable(prompts.messages.join(u'\n')));
    QCOMPARE(window.currentFlow().table, QStringLiteral("nodesflow"));
}

QTEST_MAIN(TestFlowJson)
#include "tst_flowjson.moc"
