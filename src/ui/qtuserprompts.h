#pragma once

#include "userprompts.h"

class QWidget;

namespace ui {

// The real dialogs, parented to the designer window. Message boxes carry the
// application's own title, as the designer's boxes have no title of their own.
class QtUserPrompts final : public UserPrompts
{
public:
    explicit QtUserPrompts(QWidget *parent = nullptr);
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, Icon icon) override;
    Answer ask(const QString &text, Buttons buttons, Icon icon) override;
    std::optional<QString> inputText(const QString &prompt, const QString &title,
                                     const QString &initial) override;
    QString openFileName(const QString &title, const QString &filter,
                         const QString &folder) override;
    QString saveFileName(const QString &title, const QString &filter,
                         const QString &folder) override;
    bool choosePrinter(QPrinter &printer, bool selectionAvailable, bool &selectionOnly) override;
    void beep() override;

private:
    QWidget *m_parent;
};

} // namespace ui
