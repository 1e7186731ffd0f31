#include "flowtreemodel.h"

#include "flowpictures.h"

#include <QCoreApplication>
#include <QMimeData>

#include <algorithm>

namespace editor {

namespace {
// A drag names its node by key, and keys repeat between flows: the payload also names
// this model in this process, so that a node dragged from another window or program
// never moves a node of this tree that happens to share its key.
QByteArray dragOrigin(const FlowTreeModel *model)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
           + QByteArray::number(quintptr(model)) + ':';
}
} // namespace

FlowTreeModel::FlowTreeModel(model::FlowTree &tree, QObject *parent)
    : QAbstractItemModel(parent)
    , m_tree(&tree)
{
    m_tree->addObserver(this);
}

FlowTreeModel::~FlowTreeModel()
{
    if (m_tree)
        m_tree->removeObserver(this);
}

model::FlowNode *FlowTreeModel::nodeAt(const QModelIndex &index) const
{
    if (!m_tree || !index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<model::FlowNode *>(index.internalPointer());
}

int FlowTreeModel::rowOf(const model::FlowNode *node) const
{
    const auto &siblings = m_tree->siblingsOf(node);
    const auto it = std::find(siblings.begin(), siblings.end(), node);
    return it == siblings.end() ? -1 : int(it - siblings.begin());
}

QModelIndex FlowTreeModel::indexOf(const model::FlowNode *node) const
{
    if (!node || !m_tree)
        return {};
    const int row = rowOf(node);
    if (row < 0)
        return {};
    return createIndex(row, 0, const_cast<model::FlowNode *>(node));
}

QModelIndex FlowTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    const model::FlowNode *p = nodeAt(parent);
    const auto &siblings = p ? p->children : m_tree->topLevel();
    return createIndex(row, column, siblings[size_t(row)]);
}

QModelIndex FlowTreeModel::parent(const QModelIndex &child) const
{
    const model::FlowNode *node = nodeAt(child);
    if (!node || !node->parent)
        return {};
    return indexOf(node->parent);
}

int FlowTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0 || !m_tree)
        return 0;
    const model::FlowNode *p = nodeAt(parent);
    return p ? p->childCount() : int(m_tree->topLevel().size());
}

int FlowTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant FlowTreeModel::data(const QModelIndex &index, int role) const
{
    const model::FlowNode *node = nodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->text;
    case Qt::DecorationRole:
        return flowpictures::nodeIcon(node->image, node->selectedImage);
    case Qt::ToolTipRole:
        return node->key;
    case KeyRole:
        return node->key;
    case ParentKeyRole:
        return node->parentKey();
    case ImageRole:
        return node->image;
    case SelectedImageRole:
        return node->selectedImage;
    default:
        return {};
    }
}

Qt::ItemFlags FlowTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled
           | Qt::ItemIsDropEnabled;
}

QStringList FlowTreeModel::mimeTypes() const
{
    return {mimeType()};
}

QMimeData *FlowTreeModel::mimeData(const QModelIndexList &indexes) const
{
    // One node is dragged at a time, with its subtree.
    for (const QModelIndex &index : indexes) {
        if (const model::FlowNode *node = nodeAt(index)) {
            auto *data = new QMimeData;
            data->setData(mimeType(), dragOrigin(this) + node->key.toUtf8());
            data->setText(node->text);
            return data;
        }
    }
    return nullptr;
}

model::FlowNode *FlowTreeModel::draggedNode(const QMimeData *data) const
{
    if (!m_tree || !data || !data->hasFormat(mimeType()))
        return nullptr;
    const QByteArray payload = data->data(mimeType());
    const QByteArray origin = dragOrigin(this);
    if (!payload.startsWith(origin))
        return nullptr;
    return m_tree->findKey(QString::fromUtf8(payload.mid(origin.size())));
}

bool FlowTreeModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row,
                                    int, const QModelIndex &parent) const
{
    // Only a drop on a node means anything; between nodes there is no node to adopt it.
    return action == Qt::MoveAction && row < 0 && parent.isValid() && draggedNode(data);
}

bool FlowTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row,
                                 int column, const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    model::FlowNode *node = draggedNode(data);
    if (!node || action != Qt::MoveAction || row >= 0 || column > 0)
        return false;
    model::FlowNode *target = nodeAt(parent);
    if (m_dropHandler)
        return m_dropHandler(node, target);
    return target && m_tree->setParent(node, target);
}

Qt::DropActions FlowTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions FlowTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

void FlowTreeModel::nodeAboutToBeInserted(model::FlowNode *parent, int row)
{
    beginInsertRows(indexOf(parent), row, row);
}

void FlowTreeModel::nodeInserted(model::FlowNode *)
{
    endInsertRows();
}

void FlowTreeModel::nodeAboutToBeRemoved(model::FlowNode *node)
{
    const int row = rowOf(node);
    beginRemoveRows(indexOf(node->parent), row, row);
}

void FlowTreeModel::nodeRemoved()
{
    endRemoveRows();
}

void FlowTreeModel::nodeAboutToBeMovedTo(model::FlowNode *node, model::FlowNode *newParent,
                                         int row)
{
    const int from = rowOf(node);
    const bool sameParent = node->parent == newParent;
    // The model counts the destination among the rows before the move.
    const int destination = sameParent && row > from ? row + 1 : row;
    if (sameParent && row == from) {
        m_move = MoveKind::None; // already there: nothing moves
    } else if (beginMoveRows(indexOf(node->parent), from, from, indexOf(newParent),
                             destination)) {
        m_move = MoveKind::Move;
    } else {
        m_move = MoveKind::Reset;
        beginResetModel();
    }
}

void FlowTreeModel::nodeMoved(model::FlowNode *)
{
    if (m_move == MoveKind::Move)
        endMoveRows();
    else if (m_move == MoveKind::Reset)
        endResetModel();
    m_move = MoveKind::None;
}

void FlowTreeModel::treeAboutToBeReset()
{
    beginResetModel();
}

void FlowTreeModel::treeReset()
{
    endResetModel();
}

void FlowTreeModel::treeDestroyed()
{
    beginResetModel();
    m_tree = nullptr;
    endResetModel();
}

} // namespace editor
