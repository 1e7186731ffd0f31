#include "flowfacts.h"

#include "call/flowroutes.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/memberstore.h"

#include <QDir>
#include <QFileInfo>

namespace checker {

namespace {

void readVoiceFiles(FlowFacts &facts, const QString &appDir)
{
    // The pages write every line in lower case and the telephony server's file names do
    // not regard case: a file is there whatever the case of its name.
    QSet<QString> names;
    const QDir waves(appDir + QStringLiteral("/waves"));
    for (const QString &name : waves.entryList(QDir::Files))
        names.insert(name.toLower());
    facts.waveFiles = names;
}

void readMembers(FlowFacts &facts, const QString &appDir)
{
    model::MemberStore store(appDir);
    if (!QFileInfo::exists(store.path())) {
        facts.members = QList<MailboxFacts>();
        facts.membersError =
            QStringLiteral("%1 does not exist").arg(model::MemberStore::fileName());
        return;
    }
    QString error;
    const QList<model::Member> members = store.all(&error);
    if (!error.isEmpty()) {
        facts.members = QList<MailboxFacts>();
        facts.membersError = error;
        return;
    }
    QList<MailboxFacts> mailboxes;
    const QDir mboxes(appDir + QStringLiteral("/mboxes"));
    for (const model::Member &m : members) {
        const QString mailbox = m.mailbox.toString();
        mailboxes.append({mailbox, !mailbox.isEmpty() && mboxes.exists(mailbox)});
    }
    facts.members = mailboxes;
}

} // namespace

QString NodeFacts::stored(const QString &column) const
{
    if (!row)
        return QString();
    const QVariant value = row->value(column);
    if (value.isNull())
        return QString();
    // Never a null string for a stored value, even an empty one.
    return value.toString().isNull() ? QStringLiteral("") : value.toString();
}

FlowFacts FlowFacts::of(const model::FlowTree &tree, const RowLookup &rowOf)
{
    FlowFacts facts;
    facts.tree = &tree;
    facts.start = call::flowroutes::startNode(tree);
    const std::vector<model::FlowNode *> order = tree.depthFirst();
    facts.nodes.reserve(order.size());
    for (const model::FlowNode *node : order) {
        NodeFacts n;
        n.node = node;
        n.moves = call::movesOf(tree, *node);
        n.row = rowOf(*node);
        n.values = model::NodeValues::fromRow(n.row, node->text);
        facts.m_order.insert(node, int(facts.nodes.size()));
        facts.nodes.push_back(std::move(n));
    }
    for (const model::FlowNode *node : call::flowroutes::reachableNodes(tree)) {
        if (const int i = facts.orderOf(node); i >= 0)
            facts.nodes[size_t(i)].reachable = true;
    }
    facts.silentLoops = call::flowroutes::silentLoops(tree);
    return facts;
}

const NodeFacts *FlowFacts::find(const model::FlowNode *node) const
{
    const int i = orderOf(node);
    return i < 0 ? nullptr : &nodes[size_t(i)];
}

int FlowFacts::orderOf(const model::FlowNode *node) const
{
    return m_order.value(node, -1);
}

FlowFacts gatherFacts(const model::FlowTree &tree, const FlowSources &sources)
{
    QStringList errors;
    std::optional<model::NodeRows> rows;
    QList<model::LeftOutRow> leftOut;
    if (!sources.databasePath.isEmpty()) {
        model::FlowStore store(sources.databasePath, sources.table);
        QString error;
        // The table as a load sees it, for the rows it leaves out of the flow.
        model::FlowTree loaded;
        model::SkippedRows skipped;
        if (store.isOpen() && store.beginReading()) {
            rows = store.readRows(&error);
            if (rows && store.loadInto(loaded, &error, &skipped))
                leftOut = skipped.rows;
            store.endReading();
        } else {
            error = store.errorString();
        }
        if (!error.isEmpty()) {
            errors << QStringLiteral("The flow table %1 of %2 cannot be read (%3): the node "
                                     "properties and the rows a load leaves out go unchecked.")
                          .arg(sources.table, QDir::toNativeSeparators(sources.databasePath),
                               error);
        }
    }
    FlowFacts facts = FlowFacts::of(tree, [&rows](const model::FlowNode &node) {
        return rows ? rows->find(model::NodeIdentity::of(node))
                    : std::optional<model::ColumnValues>();
    });
    facts.leftOut = leftOut;
    facts.sourceErrors = errors;
    readVoiceFiles(facts, sources.appDir);
    readMembers(facts, sources.appDir);
    return facts;
}

} // namespace checker
