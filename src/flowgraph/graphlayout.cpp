#include "graphlayout.h"

#include "flowgraph.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <dlfcn.h>

namespace flowgraph {

namespace {

constexpr double kPointsPerInch = 72.0;

// The dot layout engine, loaded once; nullptr when it is not where the build found it.
gvplugin_library_t *dotLayoutLibrary()
{
    static gvplugin_library_t *const library = []() -> gvplugin_library_t * {
        void *handle = dlopen(DW_DOT_PLUGIN, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return nullptr;
        return static_cast<gvplugin_library_t *>(
            dlsym(handle, "gvplugin_dot_layout_LTX_library"));
    }();
    return library;
}

// Graphviz reports through a global hook: keep the last error of a layout for its caller
// instead of printing it.
QString g_lastError;

int keepError(char *message)
{
    g_lastError += QString::fromUtf8(message).trimmed();
    return 0;
}

// A Graphviz context with the dot layout and nothing else, freed on every path out.
class Context
{
public:
    Context()
    {
        static const lt_symlist_t noBuiltins[] = {{nullptr, nullptr}};
        if (gvplugin_library_t *dot = dotLayoutLibrary()) {
            m_gvc = gvContextPlugins(noBuiltins, 0);
            gvAddLibrary(m_gvc, dot);
        } else {
            m_gvc = gvContext();
        }
    }
    ~Context() { gvFreeContext(m_gvc); }
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;
    GVC_t *gvc() const { return m_gvc; }

private:
    GVC_t *m_gvc;
};

// Graphviz 2.43 takes names as char *, never writing to them.
char *text(const char *s)
{
    return const_cast<char *>(s);
}

void setDefault(Agraph_t *g, int kind, const char *name, const char *value)
{
    agattr(g, kind, text(name), text(value));
}

void set(void *object, const char *name, const QByteArray &value)
{
    agsafeset(object, text(name), const_cast<char *>(value.constData()), text(""));
}

QByteArray inches(double points)
{
    return QByteArray::number(points / kPointsPerInch, 'f', 4);
}

Agedge_t *addEdge(Agraph_t *g, const std::vector<Agnode_t *> &nodes, int from, int to)
{
    return agedge(g, nodes[size_t(from)], nodes[size_t(to)], nullptr, 1);
}

} // namespace

bool layOut(FlowGraph &graph, QString *error)
{
    graph.bounds = QRectF();
    if (graph.boxes.empty())
        return true;

    Context context;
    agseterr(AGERR);
    agseterrf(keepError);
    g_lastError.clear();
    Agraph_t *g = agopen(text("flow"), Agdirected, nullptr);
    setDefault(g, AGRAPH, "rankdir", "TB");
    setDefault(g, AGRAPH, "ordering", "out");
    setDefault(g, AGRAPH, "nodesep", "0.35");
    setDefault(g, AGRAPH, "ranksep", "0.6");
    setDefault(g, AGRAPH, "forcelabels", "true");
    setDefault(g, AGNODE, "shape", "box");
    setDefault(g, AGNODE, "fixedsize", "true");
    setDefault(g, AGNODE, "label", "");
    setDefault(g, AGNODE, "width", "1");
    setDefault(g, AGNODE, "height", "1");
    setDefault(g, AGEDGE, "constraint", "true");
    setDefault(g, AGEDGE, "style", "");
    setDefault(g, AGEDGE, "xlabel", "");
    setDefault(g, AGEDGE, "fontname", "Helvetica");
    setDefault(g, AGEDGE, "fontsize", "10");

    std::vector<Agnode_t *> nodes;
    nodes.reserve(graph.boxes.size());
    std::vector<std::vector<int>> children(graph.boxes.size());
    for (size_t i = 0; i < graph.boxes.size(); ++i) {
        const Box &box = graph.boxes[i];
        Agnode_t *n = agnode(g, const_cast<char *>(QByteArray("n").append(
                                    QByteArray::number(qulonglong(i))).constData()), 1);
        set(n, "width", inches(box.size.width()));
        set(n, "height", inches(box.size.height()));
        nodes.push_back(n);
        if (box.parent >= 0)
            children[size_t(box.parent)].push_back(int(i));
    }

    // Further top-level boxes stand under the first: their arrows back to it then never run
    // within a rank, which Graphviz's dot handles by leaking what it makes for them.
    for (size_t i = 1; i < graph.boxes.size(); ++i) {
        if (graph.boxes[i].parent < 0)
            children[0].push_back(int(i));
    }
    // Out of each box in option order: its arrows down, an invisible edge to each child no
    // arrow reaches (so that it still stands under its parent), then its arrows back up.
    std::vector<std::vector<size_t>> arrowsFrom(graph.boxes.size());
    for (size_t a = 0; a < graph.arrows.size(); ++a)
        arrowsFrom[size_t(graph.arrows[a].from)].push_back(a);
    std::vector<Agedge_t *> edges(graph.arrows.size(), nullptr);
    auto addArrows = [&](size_t box, bool back) {
        for (size_t a : arrowsFrom[box]) {
            const Arrow &arrow = graph.arrows[a];
            if (arrow.back != back)
                continue;
            edges[a] = addEdge(g, nodes, arrow.from, arrow.to);
            if (back)
                set(edges[a], "constraint", "false");
            if (!arrow.labels.isEmpty())
                set(edges[a], "xlabel", arrow.label().toUtf8());
        }
    };
    for (size_t i = 0; i < graph.boxes.size(); ++i) {
        addArrows(i, false);
        for (int child : children[i]) {
            bool reached = false;
            for (size_t a : arrowsFrom[i])
                reached = reached || (graph.arrows[a].to == child && !graph.arrows[a].back);
            if (!reached)
                set(addEdge(g, nodes, int(i), child), "style", "invis");
        }
        addArrows(i, true);
    }

    if (gvLayout(context.gvc(), g, "dot") != 0) {
        if (error)
            *error = QStringLiteral("The diagram could not be laid out: %1")
                         .arg(g_lastError.isEmpty() ? QStringLiteral("Graphviz failed.")
                                                    : g_lastError);
        gvFreeLayout(context.gvc(), g);
        agclose(g);
        return false;
    }

    const boxf bb = GD_bb(g);
    auto point = [&bb](pointf p) { return QPointF(p.x, bb.UR.y - p.y); };
    graph.bounds = QRectF(QPointF(bb.LL.x, 0), QPointF(bb.UR.x, bb.UR.y - bb.LL.y));
    for (size_t i = 0; i < graph.boxes.size(); ++i)
        graph.boxes[i].centre = point(ND_coord(nodes[i]));
    for (size_t a = 0; a < graph.arrows.size(); ++a) {
        Arrow &arrow = graph.arrows[a];
        Agedge_t *e = edges[a];
        arrow.path.clear();
        const splines *spl = ED_spl(e);
        for (int s = 0; spl && s < spl->size; ++s) {
            const bezier &bz = spl->list[s];
            // A later piece goes on from the end of the one before.
            for (int p = (s == 0 ? 0 : 1); p < bz.size; ++p)
                arrow.path.push_back(point(bz.list[p]));
            if (s == spl->size - 1)
                arrow.tip = bz.eflag ? point(bz.ep) : point(bz.list[bz.size - 1]);
        }
        if (const textlabel_t *label = ED_xlabel(e); label && label->set)
            arrow.labelCentre = point(label->pos);
    }
    gvFreeLayout(context.gvc(), g);
    agclose(g);
    return true;
}

} // namespace flowgraph
