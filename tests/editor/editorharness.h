#pragma once

// A designer panel with its window state, over a temporary application folder, for the
// editor's widget tests.

#include "support/fakeuserprompts.h"

#include "editor/floweditor.h"
#include "editor/flowtreemodel.h"
#include "editor/flowtreeview.h"
#include "model/catalogue.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QAbstractButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

struct EditorHarness
{
    QTemporaryDir dir;
    model::FlowTree tree;
    model::CurrentFlow current;
    FakeUserPrompts prompts;
    std::unique_ptr<editor::FlowEditor> editor;

    EditorHarness()
    {
        bool created = false;
        QString error;
        if (!model::Catalogue(dir.path()).ensure(&created, &error))
            qFatal("catalogue: %s", qPrintable(error));
        editor = std::make_unique<editor::FlowEditor>(tree, current, dir.path(), prompts);
        editor->resize(600, 700);
        editor->loadPalette();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    QList<QAbstractButton *> palette() const
    {
        QList<QAbstractButton *> buttons =
            editor->findChildren<QAbstractButton *>(QStringLiteral("cmdChild"));
        std::sort(buttons.begin(), buttons.end(), [](QAbstractButton *a, QAbstractButton *b) {
            return a->property("index").toInt() < b->property("index").toInt();
        });
        return buttons;
    }
    void clickPalette(int index) const { palette().at(index)->click(); }
    QAbstractButton *button(const char *name) const
    {
        return editor->findChild<QAbstractButton *>(QLatin1String(name));
    }
    editor::FlowTreeView *view() const
    {
        return editor->findChild<editor::FlowTreeView *>(QStringLiteral("TreeView1"));
    }
    void select(model::FlowNode *node) const
    {
        auto *m = editor->treeModel();
        view()->selectionModel()->setCurrentIndex(
            m->indexOf(node), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    model::FlowNode *node(const char *key) const { return tree.findKey(QLatin1String(key)); }

    // Makes `path` hold an empty flow table and makes it the current flow.
    void useNewTable(const QString &file, const QString &table)
    {
        QString error;
        if (!model::FlowStore::createMain(path(file), table, &error))
            qFatal("createMain: %s", qPrintable(error));
        current = {path(file), table};
    }
};

// The tree as text, one node a line in depth-first order: "parent key text image selected".
inline QStringList treeShape(const model::FlowTree &tree)
{
    QStringList lines;
    for (const model::FlowNode *n : tree.depthFirst())
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(n->parentKey(), n->key, n->text)
                     .arg(n->image)
                     .arg(n->selectedImage);
    return lines;
}

// Every row of a table in table order, each row as its column values joined, Null as
// "<null>"; or the error text as the only line.
inline QStringList tableDump(const QString &file, const QString &table)
{
    static int counter = 0;
    const QString name = QStringLiteral("editor-test-%1").arg(++counter);
    QStringList lines;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            return {QStringLiteral("error: ") + db.lastError().text()};
        QSqlQuery q(db);
        const QString quoted = u'"' + QString(table).replace(u'"', QLatin1String("\"\"")) + u'"';
        if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(quoted))) {
            lines << QStringLiteral("error: ") + q.lastError().text();
        } else {
            while (q.next()) {
                QStringList values;
                const QSqlRecord r = q.record();
                for (int i = 1; i < r.count(); ++i) // ID left out: a save renumbers rows
                    values << (r.isNull(i) ? QStringLiteral("<null>") : r.value(i).toString());
                lines << values.join(u'|');
            }
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return lines;
}

// Runs statements on a database file outside the program's store.
inline void execSql(const QString &file, const QStringList &statements)
{
    static int counter = 0;
    const QString name = QStringLiteral("editor-exec-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            qFatal("open %s", qPrintable(file));
        for (const QString &s : statements) {
            QSqlQuery q(db);
            if (!q.exec(s))
                qFatal("%s: %s", qPrintable(s), qPrintable(q.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
