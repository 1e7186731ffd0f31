#pragma once

#include <QString>

#include <optional>

class QPrinter;

namespace ui {

// Every modal interaction of the designer goes through this interface, so that window
// tests script the answers instead of hunting for dialogs (a real modal box would block
// them). QtUserPrompts shows real dialogs; tests use FakeUserPrompts (tests/support).
class UserPrompts
{
public:
    enum class Icon { None, Information, Warning, Critical, Exclamation };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, SaveDiscardCancel };
    enum class Answer { Ok, Cancel, Yes, No, Save, Discard };

    virtual ~UserPrompts() = default;

    // A message box with OK only.
    virtual void message(const QString &text, Icon icon = Icon::None) = 0;
    // A question; returns the button pressed (closing the box counts as Cancel or No).
    virtual Answer ask(const QString &text, Buttons buttons, Icon icon = Icon::None) = 0;
    // The input box; std::nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString &prompt, const QString &title,
                                             const QString &initial = QString()) = 0;
    // File dialogs opening in `folder` (empty: the working folder); an empty result means
    // the user chose nothing.
    virtual QString openFileName(const QString &title, const QString &filter,
                                 const QString &folder) = 0;
    virtual QString saveFileName(const QString &title, const QString &filter,
                                 const QString &folder) = 0;
    // The print dialog: false when cancelled. selectionOnly is in/out: offered when a
    // selection exists, and tells whether the user asked to print only the selection.
    virtual bool choosePrinter(QPrinter &printer, bool selectionAvailable,
                               bool &selectionOnly) = 0;
    // The system beep (record navigation past either end).
    virtual void beep() = 0;
};

} // namespace ui
