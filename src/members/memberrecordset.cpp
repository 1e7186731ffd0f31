#include "memberrecordset.h"

#include <utility>

namespace members {

namespace {
const QVariant &field(const model::Member &m, MemberRecordSet::Field f)
{
    switch (f) {
    case MemberRecordSet::FirstName:
        return m.fname;
    case MemberRecordSet::LastName:
        return m.lname;
    case MemberRecordSet::Mailbox:
        return m.mailbox;
    case MemberRecordSet::Password:
        return m.password;
    case MemberRecordSet::Attempts:
    case MemberRecordSet::FieldCount:
        break;
    }
    return m.attempts;
}

QVariant &field(model::Member &m, MemberRecordSet::Field f)
{
    return const_cast<QVariant &>(field(std::as_const(m), f));
}

QString noCurrentRecord()
{
    return QStringLiteral("There is no current member record.");
}
} // namespace

MemberRecordSet::MemberRecordSet(const QString &appDir)
    : m_store(appDir)
{
}

bool MemberRecordSet::requery(QString *error)
{
    if (!writePending(error))
        return false;
    QString readError;
    QList<model::Member> records = m_store.all(&readError);
    if (!readError.isEmpty()) {
        if (error)
            *error = readError;
        return false;
    }
    m_records = std::move(records);
    m_adding = false;
    m_position = m_records.isEmpty() ? -1 : 0;
    loadBuffer();
    return true;
}

qint64 MemberRecordSet::currentId() const
{
    return m_adding || m_position < 0 ? 0 : m_records.at(m_position).id;
}

int MemberRecordSet::indexOfId(qint64 id) const
{
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records.at(i).id == id)
            return i;
    }
    return -1;
}

QString MemberRecordSet::text(Field f) const
{
    if (!hasCurrent())
        return QString();
    return field(m_buffer, f).toString();
}

void MemberRecordSet::setText(Field f, const QString &text)
{
    if (!hasCurrent() || f < 0 || f >= FieldCount)
        return;
    field(m_buffer, f) = text;
    m_modified = true;
}

bool MemberRecordSet::moveTo(int position, QString *error)
{
    if (position < 0 || position >= m_records.size()) {
        if (error)
            *error = noCurrentRecord();
        return false;
    }
    if (!writePending(error))
        return false;
    m_position = position;
    loadBuffer();
    return true;
}

bool MemberRecordSet::addNew(QString *error)
{
    if (!writePending(error))
        return false;
    m_adding = true;
    m_buffer = model::Member();
    m_buffer.attempts = QStringLiteral("0");
    m_modified = false;
    return true;
}

bool MemberRecordSet::update(QString *error)
{
    return writePending(error);
}

void MemberRecordSet::cancelUpdate()
{
    if (m_adding) {
        m_adding = false;
        m_position = -1;
    }
    loadBuffer();
}

bool MemberRecordSet::deleteCurrent(QString *error)
{
    if (m_adding || m_position < 0) {
        if (error)
            *error = noCurrentRecord();
        return false;
    }
    if (!m_store.remove(m_records.at(m_position).id, error))
        return false;
    m_records.removeAt(m_position);
    if (m_position >= m_records.size())
        m_position = int(m_records.size()) - 1;
    loadBuffer();
    return true;
}

// A new record is always written (even untouched, it was asked for); a stored one only
// when something was typed.
bool MemberRecordSet::writePending(QString *error)
{
    if (!m_adding && (!m_modified || m_position < 0))
        return true;
    model::Member written = m_buffer;
    if (m_adding) {
        if (!m_store.insert(written, error))
            return false;
    } else {
        written.id = m_records.at(m_position).id;
        if (!m_store.update(written, error))
            return false;
    }
    // Show what the store made of the typed text (numbers lose leading zeros); when it
    // cannot be read back, the typed values are what was written.
    model::Member stored;
    if (m_store.fetch(written.id, &stored, nullptr))
        written = stored;
    if (m_adding) {
        m_records.append(written);
        m_position = int(m_records.size()) - 1;
        m_adding = false;
    } else {
        m_records[m_position] = written;
    }
    loadBuffer();
    return true;
}

void MemberRecordSet::loadBuffer()
{
    m_buffer = m_position >= 0 ? m_records.at(m_position) : model::Member();
    m_modified = false;
}

} // namespace members
