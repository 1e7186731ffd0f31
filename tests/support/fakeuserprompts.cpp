#include "fakeuserprompts.h"

#include <QPrinter>

ui::UserPrompts::Answer FakeUserPrompts::ask(const QString &text, Buttons buttons, Icon)
{
    questions << text;
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

bool FakeUserPrompts::choosePrinter(QPrinter &printer, bool selectionAvailable,
                                    bool &selectionOnly)
{
    if (printAnswers.isEmpty() || !printAnswers.dequeue())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printToPdf);
    selectionOnly = selectionAvailable;
    return true;
}
