#include "qtuserprompts.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace ui {

namespace {
QMessageBox::Icon boxIcon(UserPrompts::Icon icon)
{
    switch (icon) {
    case UserPrompts::Icon::Information:
        return QMessageBox::Information;
    case UserPrompts::Icon::Warning:
    case UserPrompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case UserPrompts::Icon::Critical:
        return QMessageBox::Critical;
    case UserPrompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// File dialogs take Qt filters ("Access Database (*.mdb)"); the designer's own texts use
// the "description|pattern" form, so both are accepted.
QString qtFilter(const QString &filter)
{
    const int bar = filter.indexOf(u'|');
    if (bar < 0)
        return filter;
    const QString description = filter.left(bar).trimmed();
    const QString patterns = filter.mid(bar + 1).trimmed().replace(u';', u' ');
    return description.contains(u'(') ? QStringLiteral("%1").arg(description.section(u'(', 0, 0).trimmed())
                                              + QStringLiteral(" (%1)").arg(patterns)
                                        : QStringLiteral("%1 (%2)").arg(description, patterns);
}
} // namespace

QtUserPrompts::QtUserPrompts(QWidget *parent)
    : m_parent(parent)
{
}

void QtUserPrompts::message(const QString &text, Icon icon)
{
    QMessageBox box(boxIcon(icon), QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    m_parent);
    box.exec();
}

UserPrompts::Answer QtUserPrompts::ask(const QString &text, Buttons buttons, Icon icon)
{
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok:
        standard = QMessageBox::Ok;
        break;
    case Buttons::OkCancel:
        standard = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        standard = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case Buttons::SaveDiscardCancel:
        standard = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(boxIcon(icon), QApplication::applicationDisplayName(), text, standard, m_parent);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Save:
        return Answer::Save;
    case QMessageBox::Discard:
        return Answer::Discard;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtUserPrompts::inputText(const QString &prompt, const QString &title,
                                                const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUserPrompts::openFileName(const QString &title, const QString &filter,
                                    const QString &folder)
{
    return QFileDialog::getOpenFileName(m_parent, title, folder, qtFilter(filter));
}

QString QtUserPrompts::saveFileName(const QString &title, const QString &filter,
                                    const QString &folder)
{
    return QFileDialog::getSaveFileName(m_parent, title, folder, qtFilter(filter));
}

bool QtUserPrompts::choosePrinter(QPrinter &printer, bool selectionAvailable, bool &selectionOnly)
{
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionAvailable);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (selectionAvailable)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    selectionOnly = selectionAvailable && dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

void QtUserPrompts::beep()
{
    QApplication::beep();
}

} // namespace ui
