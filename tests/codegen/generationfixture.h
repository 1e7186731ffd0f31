#pragma once

// A flow in a temporary application folder, with its table in a real flow database, and
// helpers to run a generation and read the page back as the telephony server would.

#include "codegen/generator.h"
#include "codegen/narrator.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class RecordingNarrator final : public codegen::Narrator
{
public:
    void speakText(const QString &sentence) override { sentences << sentence; }
    QStringList sentences;
};

class GenerationFixture
{
public:
    GenerationFixture()
    {
        QString error;
        m_ok = m_dir.isValid()
               && model::FlowStore::createMain(databasePath(), table(), &error);
        if (!m_ok)
            qWarning("fixture: %s", qPrintable(error));
    }

    bool isValid() const { return m_ok; }
    QString appDir() const { return m_dir.path(); }
    QString databasePath() const { return m_dir.filePath(QStringLiteral("callflow.mdb")); }
    static QString table() { return QStringLiteral("nodesflow"); }
    model::FlowTree &tree() { return m_tree; }

    // Adds a node under `parent` (the root level when null) with the next free key. With
    // `withRow` it also gets its row with the default properties, as on first selection.
    model::FlowNode *add(model::FlowNode *parent, const QString &text, bool withRow = true)
    {
        model::FlowNode *node = parent
            ? m_tree.add(parent, model::FlowTree::Relation::LastChild, m_tree.nextKey(), text)
            : m_tree.addTopLevel(m_tree.nextKey(), text);
        if (node && withRow) {
            model::FlowStore store(databasePath(), table());
            QString error;
            if (!store.addRow(model::NodeIdentity::of(*node), &error))
                qWarning("fixture: %s", qPrintable(error));
        }
        return node;
    }

    // Sets property columns of the node's row; a null QVariant stores Null.
    bool set(model::FlowNode *node, const model::ColumnValues &values)
    {
        model::FlowStore store(databasePath(), table());
        QString error;
        const bool ok = store.updateRow(model::NodeIdentity::of(*node), values, &error);
        if (!ok)
            qWarning("fixture: %s", qPrintable(error));
        return ok;
    }

    // `target` by its name: "wteWave", "wteTTS", "callxml" or "TTS".
    codegen::GenerationResult run(const QString &target, codegen::Narrator *narrator = nullptr)
    {
        return codegen::generate(m_tree, request(target), narrator);
    }

    codegen::GenerationRequest request(const QString &target) const
    {
        return {*codegen::parseTarget(target), appDir(), databasePath(), table()};
    }

    QByteArray bytes(const QString &fileName) const
    {
        QFile file(m_dir.filePath(fileName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The page's lines, decoded as Latin-1 (the characters this test suite uses are the
    // same in windows-1252) or UTF-8. Fails the test when a line is not ended by CR LF.
    QStringList lines(const QString &fileName, bool utf8 = false) const
    {
        const QByteArray data = bytes(fileName);
        if (!data.endsWith("\r\n")) {
            qWarning("%s does not end with CR LF", qPrintable(fileName));
            return {};
        }
        QList<QByteArray> parts = data.split('\n');
        parts.removeLast(); // after the final line break
        QStringList result;
        for (const QByteArray &part : parts) {
            if (!part.endsWith('\r') || part.chopped(1).contains('\r')) {
                qWarning("%s has a line not ended by CR LF", qPrintable(fileName));
                return {};
            }
            const QByteArray line = part.chopped(1);
            result << (utf8 ? QString::fromUtf8(line) : QString::fromLatin1(line));
        }
        return result;
    }

private:
    QTemporaryDir m_dir;
    model::FlowTree m_tree;
    bool m_ok = false;
};
