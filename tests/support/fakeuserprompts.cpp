#include "fakeuserprompts.h"

#include <QPrinter>

void FakeUserPrompts::message(const QString &text, Icon icon)
{
    messages << text;
    messageIcons << icon;
}

ui::UserPrompts::Answer FakeUserPrompts::ask(const QString &text, Buttons buttons, Icon icon)
{
    questions.append({text, buttons, icon});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<QString> FakeUserPrompts::inputText(const QString &prompt, const QString &title,
                                                  const QString &)
{
    inputPrompts << prompt + u'|' + title;
    if (!inputs.isEmpty())
        return inputs.dequeue();
    return std::nullopt;
}

QString FakeUserPrompts::openFileName(const QString &title, const QString &filter)
{
    fileDialogs << QStringLiteral("open:%1|%2").arg(title, filter);
    return openFiles.isEmpty() ? QString() : openFiles.dequeue();
}

QString FakeUserPrompts::saveFileName(const QString &title, const QString &filter)
{
    fileDialogs << QStringLiteral("save:%1|%2").arg(title, filter);
    return saveFiles.isEmpty() ? QString() : saveFiles.dequeue();
}

bool FakeUserPrompts::choosePrinter(QPrinter &printer, bool selectionAvailable, bool &selectionOnly)
{
    ++printDialogs;
    lastSelectionAvailable = selectionAvailable;
    const bool accepted = printAnswers.isEmpty() ? false : printAnswers.dequeue();
    if (!accepted)
        return false;
    if (!printToPdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf);
    }
    selectionOnly = selectionAvailable && selectionOnlyAnswer;
    return true;
}

void FakeUserPrompts::reset()
{
    *this = FakeUserPrompts();
}
