#pragma once

#include "ui/userprompts.h"

#include <QQueue>
#include <QString>
#include <QStringList>

// Records every interaction and answers from scripted queues, so window tests never block.
// An empty queue gives the "nothing chosen" answer: Cancel (No for Yes/No questions), an
// empty file name, a cancelled input box; the print dialog is always cancelled.
class FakeUserPrompts final : public ui::UserPrompts
{
public:
    // Scripted answers, consumed in order.
    QQueue<Answer> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> openFiles;
    QQueue<QString> saveFiles;

    // What happened.
    QStringList messages;
    QStringList questions;
    QStringList fileDialogs; // "open:<title>@<folder>" / "save:<title>@<folder>"
    int beeps = 0;

    void message(const QString &text, Icon) override { messages << text; }
    Answer ask(const QString &text, Buttons buttons, Icon) override
    {
        questions << text;
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override
    {
        return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
    }
    QString openFileName(const QString &title, const QString &, const QString &folder) override
    {
        fileDialogs << QStringLiteral("open:%1@%2").arg(title, folder);
        return openFiles.isEmpty() ? QString() : openFiles.dequeue();
    }
    QString saveFileName(const QString &title, const QString &, const QString &folder) override
    {
        fileDialogs << QStringLiteral("save:%1@%2").arg(title, folder);
        return saveFiles.isEmpty() ? QString() : saveFiles.dequeue();
    }
    bool choosePrinter(QPrinter &, bool, bool &) override { return false; }
    void beep() override { ++beeps; }

    void reset() { *this = FakeUserPrompts(); }
};
