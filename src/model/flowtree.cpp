#include "flowtree.h"

#include <algorithm>
#include <unordered_set>

namespace model {

QString FlowNode::parentKey() const
{
    return parent ? parent->key : QStringLiteral("0_");
}

bool FlowNode::isAncestorOf(const FlowNode *other) const
{
    for (const FlowNode *p = other ? other->parent : nullptr; p; p = p->parent) {
        if (p == this)
            return true;
    }
    return false;
}

FlowTree::FlowTree() = default;
FlowTree::~FlowTree()
{
    const QList<FlowTreeObserver *> observers = m_observers;
    m_observers.clear();
    for (FlowTreeObserver *o : observers)
        o->treeDestroyed();
}

FlowNode *FlowTree::node(int index) const
{
    if (index < 1 || index > count())
        return nullptr;
    return m_order[size_t(index - 1)];
}

int FlowTree::indexOf(const FlowNode *node) const
{
    const auto it = std::find(m_order.begin(), m_order.end(), node);
    return it == m_order.end() ? 0 : int(it - m_order.begin()) + 1;
}

FlowNode *FlowTree::findKey(const QString &key) const
{
    return m_byKey.value(key, nullptr);
}

const std::vector<FlowNode *> &FlowTree::siblingsOf(const FlowNode *node) const
{
    return node->parent ? node->parent->children : m_topLevel;
}

std::vector<FlowNode *> &FlowTree::siblings(FlowNode *parent)
{
    return parent ? parent->children : m_topLevel;
}

FlowNode *FlowTree::nextSibling(const FlowNode *node) const
{
    const auto &siblings = siblingsOf(node);
    const auto it = std::find(siblings.begin(), siblings.end(), node);
    if (it == siblings.end() || it + 1 == siblings.end())
        return nullptr;
    return *(it + 1);
}

FlowNode *FlowTree::addTopLevel(const QString &key, const QString &text, int image,
                                int selectedImage, QString *error)
{
    return insertAt(nullptr, int(m_topLevel.size()), count() + 1, key, text, image,
                    selectedImage, error);
}

FlowNode *FlowTree::add(FlowNode *relative, Relation relation, const QString &key,
                        const QString &text, int image, int selectedImage, QString *error)
{
    if (!relative || !indexOf(relative)) {
        if (error)
            *error = QStringLiteral("Element not found");
        return nullptr;
    }
    FlowNode *parent = relation == Relation::LastChild ? relative : relative->parent;
    return insertAt(parent, int(siblings(parent).size()), count() + 1, key, text, image,
                    selectedImage, error);
}

FlowNode *FlowTree::insertAt(FlowNode *parent, int row, int index, const QString &key,
                             const QString &text, int image, int selectedImage, QString *error)
{
    if (parent && !indexOf(parent)) {
        if (error)
            *error = QStringLiteral("Element not found");
        return nullptr;
    }
    if (m_byKey.contains(key)) {
        if (error)
            *error = QStringLiteral("Key is not unique in collection");
        return nullptr;
    }
    auto &siblings = this->siblings(parent);
    if (row < 0 || row > int(siblings.size()) || index < 1 || index > count() + 1) {
        if (error)
            *error = QStringLiteral("Invalid place");
        return nullptr;
    }
    auto owned = std::make_unique<FlowNode>();
    FlowNode *node = owned.get();
    node->key = key;
    node->text = text;
    node->image = image;
    node->selectedImage = selectedImage;
    node->parent = parent;
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->nodeAboutToBeInserted(parent, row);
    siblings.insert(siblings.begin() + row, node);
    m_storage.push_back(std::move(owned));
    m_order.insert(m_order.begin() + (index - 1), node);
    m_byKey.insert(key, node);
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->nodeInserted(node);
    return node;
}

void FlowTree::collectSubtree(FlowNode *node, std::vector<FlowNode *> &out) const
{
    out.push_back(node);
    for (FlowNode *child : node->children)
        collectSubtree(child, out);
}

void FlowTree::remove(FlowNode *node)
{
    if (!node || !indexOf(node))
        return;
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->nodeAboutToBeRemoved(node);
    auto &siblings = this->siblings(node->parent);
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));

    std::vector<FlowNode *> doomed;
    collectSubtree(node, doomed);
    const std::unordered_set<FlowNode *> gone(doomed.begin(), doomed.end());
    for (FlowNode *n : doomed)
        m_byKey.remove(n->key);
    std::erase_if(m_order, [&gone](FlowNode *n) { return gone.count(n) > 0; });
    std::erase_if(m_storage, [&gone](const std::unique_ptr<FlowNode> &n) {
        return gone.count(n.get()) > 0;
    });
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->nodeRemoved();
}

void FlowTree::clear()
{
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->treeAboutToBeReset();
    m_topLevel.clear();
    m_order.clear();
    m_byKey.clear();
    m_storage.clear();
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->treeReset();
}

bool FlowTree::setParent(FlowNode *node, FlowNode *newParent, QString *error)
{
    if (!newParent) {
        if (error)
            *error = QStringLiteral("Element not found");
        return false;
    }
    const int end = newParent->childCount() - (node && node->parent == newParent ? 1 : 0);
    return moveTo(node, newParent, end, error);
}

bool FlowTree::moveTo(FlowNode *node, FlowNode *newParent, int row, QString *error)
{
    if (!node || !indexOf(node) || (newParent && !indexOf(newParent))) {
        if (error)
            *error = QStringLiteral("Element not found");
        return false;
    }
    if (node == newParent || node->isAncestorOf(newParent)) {
        if (error)
            *error = QStringLiteral("A node can't be made a child of its own children.");
        return false;
    }
    const int rows = int(siblings(newParent).size()) - (node->parent == newParent ? 1 : 0);
    if (row < 0 || row > rows) {
        if (error)
            *error = QStringLiteral("Invalid place");
        return false;
    }
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->nodeAboutToBeMovedTo(node, newParent, row);
    auto &oldSiblings = siblings(node->parent);
    oldSiblings.erase(std::find(oldSiblings.begin(), oldSiblings.end(), node));
    node->parent = newParent;
    auto &newSiblings = siblings(newParent);
    newSiblings.insert(newSiblings.begin() + row, node);
    for (FlowTreeObserver *o : std::as_const(m_observers))
        o->nodeMoved(node);
    return true;
}

qint64 FlowTree::keyNumber(const QString &key)
{
    qint64 value = 0;
    for (const QChar c : key) {
        if (!c.isDigit() || c.unicode() > 127)
            break;
        value = value * 10 + (c.unicode() - u'0');
        if (value > (qint64(1) << 40))
            break; // keys are at most four characters; never overflow on odd data
    }
    return value;
}

QString FlowTree::nextKey() const
{
    if (m_order.empty())
        return QStringLiteral("1_");
    qint64 largest = keyNumber(m_order.front()->key);
    for (const FlowNode *n : m_order)
        largest = std::max(largest, keyNumber(n->key));
    return QString::number(largest + 1) + u'_';
}

int FlowTree::findRootNode() const
{
    for (size_t i = 0; i < m_order.size(); ++i) {
        if (!m_order[i]->parent)
            return int(i) + 1;
    }
    return 0;
}

std::vector<FlowNode *> FlowTree::depthFirst() const
{
    std::vector<FlowNode *> out;
    out.reserve(m_order.size());
    for (FlowNode *top : m_topLevel)
        collectSubtree(top, out);
    return out;
}

void FlowTree::addObserver(FlowTreeObserver *observer)
{
    if (!m_observers.contains(observer))
        m_observers.append(observer);
}

void FlowTree::removeObserver(FlowTreeObserver *observer)
{
    m_observers.removeAll(observer);
}

} // namespace model
