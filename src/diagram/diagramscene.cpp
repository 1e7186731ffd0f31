#include "diagramscene.h"

#include "arrowitem.h"
#include "boxitem.h"

#include "flowgraph/flowgraph.h"
#include "flowgraph/graphlayout.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace diagram {

namespace {
constexpr qreal kMargin = 16;
} // namespace

DiagramScene::DiagramScene(QObject *parent)
    : QGraphicsScene(parent)
{
    setBackgroundBrush(Qt::white);
}

bool DiagramScene::drawFlow(const model::FlowTree &tree, const QString &databasePath,
                            const QString &table, QString *error, QString *unread)
{
    flowgraph::FlowGraph graph = flowgraph::buildGraph(tree, databasePath, table, unread);
    for (flowgraph::Box &box : graph.boxes)
        box.size = BoxItem::size();
    if (!flowgraph::layOut(graph, error)) {
        setGraph({});
        return false;
    }
    setGraph(graph);
    return true;
}

void DiagramScene::setGraph(const flowgraph::FlowGraph &graph)
{
    clear();
    m_boxes.clear();
    for (const flowgraph::Arrow &arrow : graph.arrows)
        addItem(new ArrowItem(arrow));
    for (const flowgraph::Box &box : graph.boxes) {
        auto *item = new BoxItem(box);
        addItem(item);
        m_boxes.insert(box.key, item);
    }
    m_diagramRect = graph.boxes.empty()
                        ? QRectF()
                        : graph.bounds.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    setSceneRect(m_diagramRect);
    applyMarks(true);
}

QPointF DiagramScene::boxCentre(const QString &key) const
{
    const BoxItem *item = m_boxes.value(key);
    return item ? item->sceneBoundingRect().center() : QPointF();
}

void DiagramScene::setSelectedKey(const QString &key)
{
    m_selectedKey = key;
    applyMarks(true);
}

void DiagramScene::setCallKey(const QString &key)
{
    m_callKey = key;
    applyMarks(true);
}

void DiagramScene::setSeverities(const QList<NodeSeverity> &severities)
{
    m_severities.clear();
    for (const NodeSeverity &s : severities) {
        // A node with several problems shows the worst.
        if (s.severity > m_severities.value(s.key, Severity::None))
            m_severities.insert(s.key, s.severity);
    }
    applyMarks(true);
}

Severity DiagramScene::shownSeverity(const QString &key) const
{
    const BoxItem *box = m_boxes.value(key);
    return box ? box->severity() : Severity::None;
}

void DiagramScene::applyMarks(bool shown)
{
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        BoxItem *item = it.value();
        item->setSelectedHighlight(shown && it.key() == m_selectedKey);
        item->setCallHighlight(shown && it.key() == m_callKey);
        item->setSeverity(shown ? m_severities.value(it.key(), Severity::None) : Severity::None);
    }
}

void DiagramScene::renderFlow(QPainter *painter, const QRectF &target)
{
    applyMarks(false);
    render(painter, target, m_diagramRect);
    applyMarks(true);
}

void DiagramScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        for (QGraphicsItem *item : items(event->scenePos())) {
            if (auto *box = dynamic_cast<BoxItem *>(item)) {
                setSelectedKey(box->key());
                emit boxClicked(box->key());
                event->accept();
                return;
            }
        }
    }
    QGraphicsScene::mousePressEvent(event);
}

} // namespace diagram
