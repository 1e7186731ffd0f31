#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

namespace model {

// One node of a call flow: a call function with its key, text and image indices.
// Nodes are owned by their FlowTree; pointers stay valid until the node is removed.
struct FlowNode
{
    QString key;
    QString text;
    int image = 1;
    int selectedImage = 2;
    FlowNode *parent = nullptr;
    std::vector<FlowNode *> children;

    // The parent's key, "0_" for a top-level node (as stored in a flow table).
    QString parentKey() const;
    int childCount() const { return int(children.size()); }
    FlowNode *firstChild() const { return children.empty() ? nullptr : children.front(); }
    bool isAncestorOf(const FlowNode *other) const;
};

// Told about every change of a FlowTree, so that an item model can bracket it.
class FlowTreeObserver
{
public:
    virtual ~FlowTreeObserver() = default;
    // parent == nullptr means the top level.
    virtual void nodeAboutToBeInserted(FlowNode *parent, int row) = 0;
    virtual void nodeInserted(FlowNode *node) = 0;
    virtual void nodeAboutToBeRemoved(FlowNode *node) = 0;
    virtual void nodeRemoved() = 0;
    virtual void nodeAboutToBeMoved(FlowNode *, FlowNode *) {}
    // The same with the place the node takes: `row` among the children of `newParent`
    // (nullptr: the top level) once it has left its old place. By default it reports the
    // move above, for observers to whom the place does not matter.
    virtual void nodeAboutToBeMovedTo(FlowNode *node, FlowNode *newParent, int /*row*/)
    {
        nodeAboutToBeMoved(node, newParent);
    }
    virtual void nodeMoved(FlowNode *node) = 0;
    virtual void treeAboutToBeReset() = 0;
    virtual void treeReset() = 0;
    // The tree is being destroyed: an observer that outlives it (an item model owned by a
    // widget that dies after the window's members) must forget it.
    virtual void treeDestroyed() {}
};

// The call flow as a tree: the single truth that the tree view shows, the editor
// changes, the save writes and the generator walks.
//
// Besides parent and children, nodes have an index: their 1-based position in order of
// addition. Removing a node renumbers the later ones. The first node (index 1) is the
// one the editor protects, and the root is the first node by index without a parent.
class FlowTree
{
public:
    enum class Relation { LastSibling = 1, LastChild = 4 };

    FlowTree();
    ~FlowTree();
    FlowTree(const FlowTree &) = delete;
    FlowTree &operator=(const FlowTree &) = delete;

    int count() const { return int(m_order.size()); }
    bool isEmpty() const { return m_order.empty(); }
    // 1-based; nullptr when out of range.
    FlowNode *node(int index) const;
    // 1-based index of a node of this tree, 0 when it is not in the tree.
    int indexOf(const FlowNode *node) const;
    FlowNode *findKey(const QString &key) const;
    const std::vector<FlowNode *> &topLevel() const { return m_topLevel; }
    // Siblings of a node (the top level for a top-level node).
    const std::vector<FlowNode *> &siblingsOf(const FlowNode *node) const;
    FlowNode *nextSibling(const FlowNode *node) const;

    // Adds a node at the end of the top level. Fails (nullptr) when the key is taken.
    FlowNode *addTopLevel(const QString &key, const QString &text, int image = 1,
                          int selectedImage = 2, QString *error = nullptr);
    // Adds a node relative to `relative`. Fails when relative is null or the key is taken.
    FlowNode *add(FlowNode *relative, Relation relation, const QString &key,
                  const QString &text, int image = 1, int selectedImage = 2,
                  QString *error = nullptr);
    // Adds a node as child `row` of `parent` (nullptr: the top level) with the 1-based
    // `index` among all nodes, so that a node taken out can come back exactly where it
    // was. Fails when the parent is not in the tree, the key is taken or the row or the
    // index is out of range.
    FlowNode *insertAt(FlowNode *parent, int row, int index, const QString &key,
                       const QString &text, int image, int selectedImage,
                       QString *error = nullptr);
    // Removes the node with its whole subtree.
    void remove(FlowNode *node);
    void clear();
    // Makes `node` the last child of `newParent`, with its subtree. Fails when the new
    // parent is the node itself or one of its descendants.
    bool setParent(FlowNode *node, FlowNode *newParent, QString *error = nullptr);
    // Moves `node` with its subtree to child `row` of `newParent` (nullptr: the top level),
    // the row counted once the node has left its old place. Fails as setParent does, and
    // when the row is out of range.
    bool moveTo(FlowNode *node, FlowNode *newParent, int row, QString *error = nullptr);

    // One more than the largest number part among all keys, followed by "_"; "1_" when
    // the tree is empty.
    QString nextKey() const;
    // 1-based index of the first node (by index) without a parent; 0 when none.
    int findRootNode() const;
    // The digits before the first non-digit of a key, as a number (0 when none).
    static qint64 keyNumber(const QString &key);

    // Depth-first, parents before children, top level and children in sibling order:
    // the order in which the save writes rows and the generator visits nodes.
    std::vector<FlowNode *> depthFirst() const;

    void addObserver(FlowTreeObserver *observer);
    void removeObserver(FlowTreeObserver *observer);

private:
    void collectSubtree(FlowNode *node, std::vector<FlowNode *> &out) const;
    // The children of `parent`, the top level for nullptr.
    std::vector<FlowNode *> &siblings(FlowNode *parent);

    std::vector<std::unique_ptr<FlowNode>> m_storage;
    std::vector<FlowNode *> m_order;
    std::vector<FlowNode *> m_topLevel;
    QHash<QString, FlowNode *> m_byKey;
    QList<FlowTreeObserver *> m_observers;
};

} // namespace model
