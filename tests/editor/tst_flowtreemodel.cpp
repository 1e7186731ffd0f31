#include "editor/flowpictures.h"
#include "editor/flowtreemodel.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using model::FlowNode;
using model::FlowTree;

namespace {
constexpr auto kReport = QAbstractItemModelTester::FailureReportingMode::QtTest;
}

class TstFlowTreeModel : public QObject
{
    Q_OBJECT

private:
    // answer call 1_ { a 2_ { b 3_, c 4_ { d 5_ } }, e 6_ }
    static void buildSample(FlowTree &tree)
    {
        FlowNode *root = tree.addTopLevel("1_", "answer call");
        FlowNode *a = tree.add(root, FlowTree::Relation::LastChild, "2_", "a");
        tree.add(a, FlowTree::Relation::LastChild, "3_", "b");
        FlowNode *c = tree.add(a, FlowTree::Relation::LastChild, "4_", "c");
        tree.add(c, FlowTree::Relation::LastChild, "5_", "d");
        tree.add(root, FlowTree::Relation::LastChild, "6_", "e");
    }

    // Checks index <-> node for every node, and the rows against the tree's children.
    static void checkMapping(const editor::FlowTreeModel &m, const FlowTree &tree)
    {
        QCOMPARE(m.rowCount(), int(tree.topLevel().size()));
        for (const FlowNode *n : tree.depthFirst()) {
            const QModelIndex index = m.indexOf(n);
            QVERIFY(index.isValid());
            QCOMPARE(m.nodeAt(index), n);
            QCOMPARE(m.rowCount(index), n->childCount());
            QCOMPARE(m.nodeAt(index.parent()), n->parent);
            QCOMPARE(index.data().toString(), n->text);
            QCOMPARE(index.data(editor::FlowTreeModel::KeyRole).toString(), n->key);
            QCOMPARE(index.data(editor::FlowTreeModel::ParentKeyRole).toString(), n->parentKey());
        }
    }

private slots:
    void testerFollowsEveryChange()
    {
        FlowTree tree;
        editor::FlowTreeModel m(tree);
        QAbstractItemModelTester tester(&m, kReport);
        QTreeView view;
        view.setModel(&m);
        view.expandAll();

        buildSample(tree);
        checkMapping(m, tree);
        QVERIFY(!QTest::currentTestFailed());

        // Moves: under a sibling, to the end of its own parent, a no-op, and up a level.
        QVERIFY(tree.setParent(tree.findKey("6_"), tree.findKey("3_")));
        QVERIFY(tree.setParent(tree.findKey("3_"), tree.findKey("2_")));
        QVERIFY(tree.setParent(tree.findKey("3_"), tree.findKey("2_")));
        QVERIFY(tree.setParent(tree.findKey("5_"), tree.findKey("1_")));
        checkMapping(m, tree);

        tree.remove(tree.findKey("2_"));
        checkMapping(m, tree);
        QCOMPARE(tree.count(), 2);

        tree.addTopLevel("9_", "second top");
        checkMapping(m, tree);
        tree.clear();
        QCOMPARE(m.rowCount(), 0);
    }

    void testerFollowsLoading()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("flows.mdb");
        QString error;
        QVERIFY2(model::FlowStore::createMain(file, "t", &error), qPrintable(error));
        FlowTree source;
        buildSample(source);
        {
            model::FlowStore store(file, "t");
            QVERIFY2(store.writeTree(source, &error), qPrintable(error));
        }
        FlowTree tree;
        tree.addTopLevel("1_", "old");
        editor::FlowTreeModel m(tree);
        QAbstractItemModelTester tester(&m, kReport);
        model::FlowStore store(file, "t");
        QVERIFY2(store.loadInto(tree, &error), qPrintable(error));
        QCOMPARE(tree.count(), 6);
        checkMapping(m, tree);
    }

    void modelOutlivesTree()
    {
        auto tree = std::make_unique<FlowTree>();
        buildSample(*tree);
        editor::FlowTreeModel m(*tree);
        QAbstractItemModelTester tester(&m, kReport);
        QTreeView view;
        view.setModel(&m);
        view.expandAll();
        QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
        tree.reset();
        QCOMPARE(reset.count(), 1);
        QVERIFY(!m.tree());
        QCOMPARE(m.rowCount(), 0);
    }

    void moveKeepsPersistentIndexes()
    {
        FlowTree tree;
        buildSample(tree);
        editor::FlowTreeModel m(tree);
        QSignalSpy moved(&m, &QAbstractItemModel::rowsMoved);
        QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
        const QPersistentModelIndex c(m.indexOf(tree.findKey("4_")));
        const QPersistentModelIndex d(m.indexOf(tree.findKey("5_")));
        QVERIFY(tree.setParent(tree.findKey("4_"), tree.findKey("6_")));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(m.nodeAt(c), tree.findKey("4_"));
        QCOMPARE(m.nodeAt(c.parent()), tree.findKey("6_"));
        QCOMPARE(m.nodeAt(d.parent()), tree.findKey("4_"));

        // Already the last child: nothing moves and nothing is announced.
        QVERIFY(tree.setParent(tree.findKey("4_"), tree.findKey("6_")));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(reset.count(), 0);
    }

    void dropThroughMimeData_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("newParent");
        QTest::newRow("onto another branch") << "4_" << "6_" << -1 << true << "6_";
        QTest::newRow("onto its own parent goes last") << "3_" << "2_" << -1 << true << "2_";
        QTest::newRow("onto itself") << "4_" << "4_" << -1 << false << "2_";
        QTest::newRow("onto its grandchild") << "2_" << "5_" << -1 << false << "1_";
        QTest::newRow("between rows") << "4_" << "6_" << 0 << false << "2_";
        QTest::newRow("outside any node") << "4_" << "" << -1 << false << "2_";
    }

    void dropThroughMimeData()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(int, row);
        QFETCH(bool, accepted);
        QFETCH(QString, newParent);
        FlowTree tree;
        buildSample(tree);
        editor::FlowTreeModel m(tree);
        QAbstractItemModelTester tester(&m, kReport);
        std::unique_ptr<QMimeData> data(m.mimeData({m.indexOf(tree.findKey(dragged))}));
        QVERIFY(data);
        QCOMPARE(m.draggedNode(data.get()), tree.findKey(dragged));
        const QModelIndex parent =
            target.isEmpty() ? QModelIndex() : m.indexOf(tree.findKey(target));
        QCOMPARE(m.dropMimeData(data.get(), Qt::MoveAction, row, 0, parent), accepted);
        FlowNode *moved = tree.findKey(dragged);
        QCOMPARE(moved->parentKey(), newParent);
        if (accepted)
            QCOMPARE(moved->parent->children.back(), moved);
        QCOMPARE(tree.count(), 6);
    }

    void dropHandlerDecides()
    {
        FlowTree tree;
        buildSample(tree);
        editor::FlowTreeModel m(tree);
        FlowNode *seenNode = nullptr;
        FlowNode *seenTarget = nullptr;
        m.setDropHandler([&](FlowNode *node, FlowNode *target) {
            seenNode = node;
            seenTarget = target;
            return false;
        });
        std::unique_ptr<QMimeData> data(m.mimeData({m.indexOf(tree.findKey("3_"))}));
        QVERIFY(!m.dropMimeData(data.get(), Qt::MoveAction, -1, 0, m.indexOf(tree.findKey("6_"))));
        QCOMPARE(seenNode, tree.findKey("3_"));
        QCOMPARE(seenTarget, tree.findKey("6_"));
        QCOMPARE(tree.findKey("3_")->parentKey(), QStringLiteral("2_"));

        // A drag from elsewhere carries no node of this tree.
        QMimeData foreign;
        foreign.setText("3_");
        seenNode = nullptr;
        QVERIFY(!m.dropMimeData(&foreign, Qt::MoveAction, -1, 0, m.indexOf(tree.findKey("6_"))));
        QVERIFY(!seenNode);
        const QModelIndex six = m.indexOf(tree.findKey("6_"));
        QVERIFY(!m.canDropMimeData(&foreign, Qt::MoveAction, -1, 0, six));
        // Nor does a drag from another flow whose node shares a key with this one.
        FlowTree other;
        buildSample(other);
        editor::FlowTreeModel otherModel(other);
        std::unique_ptr<QMimeData> otherData(
            otherModel.mimeData({otherModel.indexOf(other.findKey("3_"))}));
        QVERIFY(!m.draggedNode(otherData.get()));
        QVERIFY(!m.dropMimeData(otherData.get(), Qt::MoveAction, -1, 0,
                                m.indexOf(tree.findKey("6_"))));
        QVERIFY(!seenNode);
        QVERIFY(m.canDropMimeData(data.get(), Qt::MoveAction, -1, 0, six));
    }

    void nodePicturesDifferBySelection()
    {
        const QImage plain = editor::flowpictures::nodePicture(1).toImage();
        const QImage selected = editor::flowpictures::nodePicture(2).toImage();
        QVERIFY(!plain.isNull());
        QVERIFY(plain != selected);
        const QIcon icon = editor::flowpictures::nodeIcon(1, 2);
        QCOMPARE(icon.pixmap(16, 16, QIcon::Normal).toImage().convertToFormat(plain.format()),
                 plain);
        QCOMPARE(icon.pixmap(16, 16, QIcon::Selected).toImage().convertToFormat(plain.format()),
                 selected);
    }

    void paletteIconsAreDistinct()
    {
        QList<QImage> images;
        for (int i = 0; i < editor::flowpictures::kPaletteCount; ++i) {
            const QImage image = editor::flowpictures::palettePixmap(i).toImage();
            int inked = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    inked += qAlpha(image.pixel(x, y)) > 0;
            }
            QVERIFY2(inked > 40, qPrintable(QString("icon %1 is nearly empty").arg(i)));
            for (int j = 0; j < images.size(); ++j)
                QVERIFY2(images.at(j) != image,
                         qPrintable(QString("icons %1 and %2").arg(j).arg(i)));
            images << image;
        }
    }
};

QTEST_MAIN(TstFlowTreeModel)
#include "tst_flowtreemodel.moc"
