#include "diagrampanel.h"

#include "diagramexport.h"
#include "diagramscene.h"
#include "diagramview.h"

#include "call/flowroutes.h"
#include "flowgraph/flowgraph.h"
#include "model/currentflow.h"
#include "ui/userprompts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace diagram {

namespace {

constexpr qreal kZoomStep = 1.25;
// Below this a whole new flow is not fitted into the window: its boxes could not be read.
constexpr qreal kSmallestReadableFit = 0.5;

QToolButton *makeButton(const QString &name, const QString &caption, const QString &tip,
                        QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(tip);
    button->setAccessibleName(caption);
    return button;
}

} // namespace

DiagramPanel::DiagramPanel(model::FlowTree &tree, const model::CurrentFlow &current,
                           ui::UserPrompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_tree(&tree)
    , m_current(current)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("diagramPanel"));
    m_scene = new DiagramScene(this);
    m_view = new DiagramView(m_scene, this);
    m_view->setObjectName(QStringLiteral("diagramView"));
    m_view->setAccessibleName(QStringLiteral("Call flow diagram"));

    QToolButton *fit = makeButton(QStringLiteral("diagramFit"), QStringLiteral("Fit"),
                                  QStringLiteral("Show the whole flow (Ctrl+0)"), this);
    QToolButton *zoomIn = makeButton(QStringLiteral("diagramZoomIn"), QStringLiteral("Zoom In"),
                                     QStringLiteral("Ctrl+wheel or Ctrl++"), this);
    QToolButton *zoomOut = makeButton(QStringLiteral("diagramZoomOut"),
                                      QStringLiteral("Zoom Out"),
                                      QStringLiteral("Ctrl+wheel or Ctrl+-"), this);
    QToolButton *exportButton =
        makeButton(QStringLiteral("diagramExport"), QStringLiteral("Export..."),
                   QStringLiteral("Write the diagram as an SVG drawing or a PNG picture"), this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("diagramStatus"));
    m_status->setAccessibleName(QStringLiteral("Diagram status"));
    auto *legend = new QLabel(QStringLiteral("Solid: on to the next step or by the key shown; "
                                             "dashed: back up the flow"),
                              this);
    legend->setObjectName(QStringLiteral("diagramLegend"));
    // Both may be long: they wrap rather than widen the window.
    legend->setWordWrap(true);
    m_status->setWordWrap(true);

    auto *bar = new QHBoxLayout;
    bar->addWidget(fit);
    bar->addWidget(zoomIn);
    bar->addWidget(zoomOut);
    bar->addWidget(exportButton);
    bar->addWidget(m_status, 1);
    bar->addWidget(legend);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);

    connect(fit, &QToolButton::clicked, this, &DiagramPanel::fitToWindow);
    connect(zoomIn, &QToolButton::clicked, this, [this] { m_view->zoomBy(kZoomStep); });
    connect(zoomOut, &QToolButton::clicked, this, [this] { m_view->zoomBy(1 / kZoomStep); });
    connect(exportButton, &QToolButton::clicked, this, &DiagramPanel::exportDiagram);
    auto shortcut = [this](const QKeySequence &keys, auto slot) {
        auto *s = new QShortcut(keys, this, slot);
        s->setContext(Qt::WidgetWithChildrenShortcut);
    };
    shortcut(QKeySequence::ZoomIn, [this] { m_view->zoomBy(kZoomStep); });
    shortcut(QKeySequence::ZoomOut, [this] { m_view->zoomBy(1 / kZoomStep); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { fitToWindow(); });
    connect(m_scene, &DiagramScene::boxClicked, this, &DiagramPanel::nodeClicked);

    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    m_redraw->setInterval(0);
    connect(m_redraw, &QTimer::timeout, this, &DiagramPanel::redrawIfStale);
    m_tree->addObserver(this);
}

DiagramPanel::~DiagramPanel()
{
    if (m_tree)
        m_tree->removeObserver(this);
}

void DiagramPanel::refresh()
{
    scheduleRedraw();
}

void DiagramPanel::showSelectedNode(const QString &key)
{
    m_scene->setSelectedKey(key);
}

void DiagramPanel::showCallNode(const QString &key)
{
    m_scene->setCallKey(key);
    if (!key.isEmpty() && isVisible()) {
        redrawIfStale();
        m_view->ensureVisible(QRectF(m_scene->boxCentre(key), QSizeF(1, 1)), 120, 60);
    }
}

void DiagramPanel::showSeverities(const QList<NodeSeverity> &severities)
{
    m_scene->setSeverities(severities);
}

void DiagramPanel::fitToWindow()
{
    redrawIfStale();
    m_view->fit(m_scene->diagramRect());
}

void DiagramPanel::exportDiagram()
{
    redrawIfStale();
    // The dialog opens where the last diagram went, at first beside the flow database.
    if (m_exportFolder.isEmpty() && m_current.isSet())
        m_exportFolder = QFileInfo(m_current.databasePath).absolutePath();
    const QString file = m_prompts.saveFileName(
        QStringLiteral("Export Diagram"),
        QStringLiteral("SVG drawing (*.svg);;PNG picture (*.png)"), m_exportFolder);
    if (file.isEmpty())
        return;
    m_exportFolder = QFileInfo(file).absolutePath();
    QString error;
    double scale = 1.0;
    if (!diagram::exportDiagram(*m_scene, file, diagramTitle(m_current.table), &error, &scale)) {
        m_prompts.message(QStringLiteral("The diagram was not exported.\n%1").arg(error),
                          ui::UserPrompts::Icon::Warning);
        return;
    }
    QString done = QStringLiteral("Diagram exported to %1").arg(QDir::toNativeSeparators(file));
    if (scale < 1.0)
        done += QStringLiteral(" (scaled to %1% to fit a picture)").arg(qRound(scale * 100));
    m_status->setText(done);
}

void DiagramPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        m_redraw->start();
}

void DiagramPanel::treeReset()
{
    m_newFlow = true;
    scheduleRedraw();
}

void DiagramPanel::treeDestroyed()
{
    m_tree = nullptr;
    m_scene->setGraph({});
}

void DiagramPanel::scheduleRedraw()
{
    m_stale = true;
    // A hidden tab draws when it is next shown: edits on the designer tab never wait for it.
    if (isVisible())
        m_redraw->start();
}

void DiagramPanel::redrawIfStale()
{
    m_redraw->stop();
    if (!m_stale || !m_tree)
        return;
    m_stale = false;
    QString error;
    QString unread;
    if (!m_scene->drawFlow(*m_tree, m_current.databasePath, m_current.table, &error,
                           &unread)) {
        m_status->setText(error);
        return;
    }
    const int count = m_tree->count();
    QString status = count == 1 ? QStringLiteral("1 node") : QStringLiteral("%1 nodes").arg(count);
    if (m_current.isSet() && !unread.isEmpty())
        status += QStringLiteral("; node properties not read: %1").arg(unread);
    m_status->setText(status);

    if (!m_newFlow)
        return;
    m_newFlow = false;
    m_view->fit(m_scene->diagramRect());
    if (m_view->zoom() < kSmallestReadableFit) {
        m_view->setTransform(QTransform());
        if (const model::FlowNode *start = call::flowroutes::startNode(*m_tree))
            m_view->centerOn(m_scene->boxCentre(start->key));
    } else if (m_view->zoom() > 1.0) {
        m_view->setTransform(QTransform());
    }
}


} // namespace diagram
