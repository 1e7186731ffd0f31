#pragma once

#include "ui/userprompts.h"

#include <QQueue>
#include <QString>
#include <QStringList>

// Records every interaction and answers from scripted queues, so window tests never block.
// An empty queue gives the "nothing chosen" answer: Cancel (No for Yes/No questions), an
// empty file name, a cancelled input box, a cancelled print dialog.
class FakeUserPrompts final : public ui::UserPrompts
{
public:
    struct Question
    {
        QString text;
        Buttons buttons;
        Icon icon;
    };

    // Scripted answers, consumed in order.
    QQueue<Answer> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> openFiles;
    QQueue<QString> saveFiles;
    QQueue<bool> printAnswers;
    // When set, choosePrinter writes a PDF there.
    QString printToPdf;
    bool selectionOnlyAnswer = true;

    // What happened.
    QStringList messages;
    QList<Icon> messageIcons;
    QList<Question> questions;
    QStringList inputPrompts;
    QStringList fileDialogs; // "open:<title>|<filter>" / "save:<title>|<filter>"
    int printDialogs = 0;
    bool lastSelectionAvailable = false;
    int beeps = 0;

    void message(const QString &text, Icon icon) override;
    Answer ask(const QString &text, Buttons buttons, Icon icon) override;
    std::optional<QString> inputText(const QString &prompt, const QString &title,
                                     const QString &initial) override;
    QString openFileName(const QString &title, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &filter) override;
    bool choosePrinter(QPrinter &printer, bool selectionAvailable, bool &selectionOnly) override;
    void beep() override { ++beeps; }

    void reset();
};
