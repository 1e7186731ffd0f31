#pragma once

#include "memberrecordset.h"

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace speech {
class SoundPlayer;
}
namespace ui {
class UserPrompts;
}

namespace members {

// The "Member Information" section: the mailbox members one at a time, in last-name
// order, with the commands to add, edit, delete and browse them and to hear a member's
// recorded name and personal greeting. The boxes always edit the current record; Edit
// and Add only switch to the state where Update and Cancel are offered.
class MemberForm : public QWidget
{
    Q_OBJECT

public:
    MemberForm(const QString &appDir, ui::UserPrompts &prompts, speech::SoundPlayer &sound,
               QWidget *parent = nullptr);

    // Reads the members and shows the first. False (with the reason) when they cannot
    // be read; the section then stays empty and start-up goes on.
    bool openMembers(QString *error = nullptr);

    // The window's record keys: End, Home, Up, Page Up, Down, Page Down, with Ctrl alone
    // jumping to either end. Ignored while editing or adding; true when the key was used.
    bool handleNavigationKey(int key, Qt::KeyboardModifiers modifiers);

    bool isEditing() const { return m_editing; }
    bool isAdding() const { return m_adding; }

    // The button commands.
    void addMember();
    void editMember();
    void updateMember();
    void cancelEdit();
    void deleteMember();
    void refreshMembers();
    // Reads the members again after something else changed them (a test call), staying on
    // the member shown. Silent when they cannot be read: Refresh says why.
    void reloadMembers();
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // 0: the recorded name (prompt.wav), 1: the personal greeting (personal.wav).
    void playGreeting(int index);

private:
    void buildControls();
    // true: browse state, false: edit state.
    void setButtons(bool show);
    void showCurrent();
    void showPosition();
    bool moveTo(int position);
    void report(const QString &error);

    QString m_appDir;
    ui::UserPrompts &m_prompts;
    speech::SoundPlayer &m_sound;
    MemberRecordSet m_records;
    bool m_editing = false;
    bool m_adding = false;
    qint64 m_savedBookmark = 0; // id of the member current at the last Add; 0: none

    QList<QLineEdit *> m_fields;
    QLabel *m_status = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_update = nullptr;
    QPushButton *m_cancel = nullptr;
    QToolButton *m_first = nullptr;
    QToolButton *m_previous = nullptr;
    QToolButton *m_next = nullptr;
    QToolButton *m_last = nullptr;
};

} // namespace members
