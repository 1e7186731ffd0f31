#include "memberform.h"

#include "model/sqlconnection.h"
#include "speech/soundplayer.h"
#include "ui/userprompts.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace members {

namespace {
QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
} // namespace

MemberForm::MemberForm(const QString &appDir, ui::UserPrompts &prompts,
                       speech::SoundPlayer &sound, QWidget *parent)
    : QWidget(parent)
    , m_appDir(appDir)
    , m_prompts(prompts)
    , m_sound(sound)
    , m_records(appDir)
{
    buildControls();
    setButtons(true);
    showCurrent();
}

void MemberForm::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    auto *heading = new QLabel(QStringLiteral("Member Information"), this);
    heading->setObjectName(QStringLiteral("Label2"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *grid = new QGridLayout;
    const QString captions[MemberRecordSet::FieldCount] = {
        QStringLiteral("First name:"), QStringLiteral("Last name:"), QStringLiteral("Mailbox:"),
        QStringLiteral("Password:"), QStringLiteral("Attempts:")};
    for (int i = 0; i < MemberRecordSet::FieldCount; ++i) {
        auto *label = new QLabel(captions[i], this);
        label->setObjectName(QStringLiteral("lblLabels"));
        label->setProperty("index", i);
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtFields"));
        box->setProperty("index", i);
        label->setBuddy(box);
        grid->addWidget(label, i, 0);
        grid->addWidget(box, i, 1);
        m_fields.append(box);
        const auto field = MemberRecordSet::Field(i);
        connect(box, &QLineEdit::textEdited, this,
                [this, field](const QString &text) { m_records.setText(field, text); });
    }
    layout->addLayout(grid);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setFrameShape(QFrame::StyledPanel);

    auto *navigation = new QHBoxLayout;
    // Arrows, as narrow as their captions; tooltips and screen readers say what they do.
    const auto arrow = [this](const char *name, const char *caption, const char *purpose) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setText(QLatin1String(caption));
        button->setAccessibleName(QLatin1String(purpose));
        button->setToolTip(button->accessibleName());
        return button;
    };
    m_first = arrow("cmdFirst", "|<", "First member");
    m_previous = arrow("cmdPrevious", "<", "Previous member");
    m_next = arrow("cmdNext", ">", "Next member");
    m_last = arrow("cmdLast", ">|", "Last member");
    navigation->addWidget(m_first);
    navigation->addWidget(m_previous);
    navigation->addWidget(m_status, 1);
    navigation->addWidget(m_next);
    navigation->addWidget(m_last);
    layout->addLayout(navigation);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("picButtons"));
    // Two a row: Add and Edit, Update and Cancel (shown instead of the others while
    // editing), Delete and Refresh.
    auto *buttons = new QGridLayout(panel);
    buttons->setContentsMargins(0, 0, 0, 0);
    m_add = makeButton(QStringLiteral("cmdAdd"), QStringLiteral("&Add"), panel);
    m_edit = makeButton(QStringLiteral("cmdEdit"), QStringLiteral("&Edit"), panel);
    m_update = makeButton(QStringLiteral("cmdUpdate"), QStringLiteral("&Update"), panel);
    m_cancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), panel);
    m_delete = makeButton(QStringLiteral("cmdDelete"), QStringLiteral("&Delete"), panel);
    m_refresh = makeButton(QStringLiteral("cmdRefresh"), QStringLiteral("&Refresh"), panel);
    const QList<QPushButton *> actions{m_add, m_edit, m_update, m_cancel, m_delete, m_refresh};
    for (int i = 0; i < actions.size(); ++i)
        buttons->addWidget(actions.at(i), i / 2, i % 2);
    layout->addWidget(panel);

    auto *playRow = new QHBoxLayout;
    const QString playCaptions[2] = {QStringLiteral("Play Name"), QStringLiteral("Play Greeting")};
    for (int i = 0; i < 2; ++i) {
        QPushButton *play = makeButton(QStringLiteral("playgreetings"), playCaptions[i], this);
        play->setProperty("index", i);
        connect(play, &QPushButton::clicked, this, [this, i] { playGreeting(i); });
        playRow->addWidget(play);
    }
    layout->addLayout(playRow);
    layout->addStretch();

    connect(m_add, &QPushButton::clicked, this, &MemberForm::addMember);
    connect(m_edit, &QPushButton::clicked, this, &MemberForm::editMember);
    connect(m_update, &QPushButton::clicked, this, &MemberForm::updateMember);
    connect(m_cancel, &QPushButton::clicked, this, &MemberForm::cancelEdit);
    connect(m_delete, &QPushButton::clicked, this, &MemberForm::deleteMember);
    connect(m_refresh, &QPushButton::clicked, this, &MemberForm::refreshMembers);
    connect(m_first, &QToolButton::clicked, this, &MemberForm::moveFirst);
    connect(m_previous, &QToolButton::clicked, this, &MemberForm::movePrevious);
    connect(m_next, &QToolButton::clicked, this, &MemberForm::moveNext);
    connect(m_last, &QToolButton::clicked, this, &MemberForm::moveLast);
}

bool MemberForm::openMembers(QString *error)
{
    QString why;
    const bool ok = m_records.requery(&why);
    if (!ok && error)
        *error = why;
    showCurrent();
    showPosition();
    return ok;
}

bool MemberForm::handleNavigationKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (m_editing || m_adding)
        return false;
    // Only Shift, Ctrl and Alt make the shift state; a keypad key is the same key.
    const Qt::KeyboardModifiers shiftState =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrlAlone = shiftState == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_End:
        moveLast();
        return true;
    case Qt::Key_Home:
        moveFirst();
        return true;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        ctrlAlone ? moveFirst() : movePrevious();
        return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        ctrlAlone ? moveLast() : moveNext();
        return true;
    default:
        return false;
    }
}

void MemberForm::addMember()
{
    const qint64 current = m_records.currentId();
    QString error;
    if (!m_records.addNew(&error)) {
        report(error);
        return;
    }
    if (current > 0)
        m_savedBookmark = current;
    showCurrent();
    m_status->setText(QStringLiteral("Add record"));
    m_adding = true;
    setButtons(false);
    m_fields.constFirst()->setFocus();
}

void MemberForm::editMember()
{
    m_status->setText(QStringLiteral("Edit record"));
    m_editing = true;
    setButtons(false);
}

void MemberForm::updateMember()
{
    QString error;
    // A refused value keeps the typed record and the edit state, so it can be corrected.
    if (!m_records.update(&error)) {
        report(error);
        return;
    }
    // A new member was appended after the others: it is now the last record.
    m_editing = false;
    m_adding = false;
    setButtons(true);
    showCurrent();
    showPosition();
}

void MemberForm::cancelEdit()
{
    setButtons(true);
    m_editing = false;
    m_adding = false;
    m_records.cancelUpdate();
    int target = m_savedBookmark > 0 ? m_records.indexOfId(m_savedBookmark) : -1;
    if (target < 0 && m_records.count() > 0)
        target = 0;
    if (target >= 0)
        m_records.moveTo(target, nullptr); // nothing is pending, so nothing can fail
    showCurrent();
    showPosition();
}

void MemberForm::deleteMember()
{
    QString error;
    if (!m_records.deleteCurrent(&error)) {
        report(error);
        return;
    }
    showCurrent();
    showPosition();
}

void MemberForm::refreshMembers()
{
    QString error;
    if (!m_records.requery(&error)) {
        report(error);
        return;
    }
    showCurrent();
    showPosition();
}

void MemberForm::reloadMembers()
{
    if (m_editing || m_adding)
        return;
    const qint64 shown = m_records.currentId();
    if (!m_records.requery(nullptr))
        return;
    const int position = m_records.indexOfId(shown);
    if (position > 0)
        m_records.moveTo(position, nullptr); // else the first, where a requery leaves it
    showCurrent();
    showPosition();
}

void MemberForm::moveFirst()
{
    if (m_records.count() > 0)
        moveTo(0);
}

void MemberForm::moveLast()
{
    if (m_records.count() > 0)
        moveTo(m_records.count() - 1);
}

void MemberForm::moveNext()
{
    const int count = m_records.count();
    if (count == 0)
        return;
    const int target = m_records.position() + 1;
    if (target < count) {
        moveTo(target);
    } else if (moveTo(count - 1)) {
        m_prompts.beep();
    }
}

void MemberForm::movePrevious()
{
    const int count = m_records.count();
    if (count == 0)
        return;
    const int target = m_records.position() - 1;
    if (target >= 0) {
        moveTo(target);
    } else if (moveTo(0)) {
        m_prompts.beep();
    }
}

void MemberForm::playGreeting(int index)
{
    if (index < 0 || index > 1)
        return;
    const QString mailbox = m_fields.at(MemberRecordSet::Mailbox)->text().trimmed();
    // The box names one folder inside mboxes; anything reaching outside it plays nothing.
    if (mailbox.contains(u'/') || mailbox.contains(u'\\') || mailbox == QLatin1String("..")
        || mailbox == QLatin1String("."))
        return;
    QDir folder(QDir(m_appDir).filePath(QStringLiteral("mboxes")));
    if (!mailbox.isEmpty())
        folder.setPath(folder.filePath(mailbox));
    const QString wanted = folder.filePath(index == 0 ? QStringLiteral("prompt.wav")
                                                      : QStringLiteral("personal.wav"));
    // The telephony pages write "Personal.wav" and "Prompt.wav".
    QString actual;
    if (model::fileExistsIgnoringCase(wanted, &actual))
        m_sound.play(actual);
}

void MemberForm::setButtons(bool show)
{
    m_add->setVisible(show);
    m_edit->setVisible(show);
    m_delete->setVisible(show);
    m_refresh->setVisible(show);
    m_update->setVisible(!show);
    m_cancel->setVisible(!show);
    m_next->setEnabled(show);
    m_first->setEnabled(show);
    m_last->setEnabled(show);
    m_previous->setEnabled(show);
}

void MemberForm::showCurrent()
{
    const bool editable = m_records.hasCurrent();
    for (int i = 0; i < m_fields.size(); ++i) {
        m_fields.at(i)->setText(m_records.text(MemberRecordSet::Field(i)));
        m_fields.at(i)->setReadOnly(!editable);
    }
}

void MemberForm::showPosition()
{
    m_status->setText(QStringLiteral("Member: %1").arg(m_records.position() + 1));
}

bool MemberForm::moveTo(int position)
{
    QString error;
    if (!m_records.moveTo(position, &error)) {
        report(error);
        return false;
    }
    showCurrent();
    showPosition();
    return true;
}

void MemberForm::report(const QString &error)
{
    m_prompts.message(error);
}

} // namespace members
