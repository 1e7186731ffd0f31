#pragma once

#include "model/memberstore.h"

#include <QList>
#include <QString>

namespace members {

// The members one at a time, as the member form browses them: the rows read in last-name
// order, a current position and an edit buffer for the current record. What is typed
// stays in the buffer until update(), or until the record set moves on: a changed record
// is written before any move, so typing and then browsing keeps the change.
class MemberRecordSet
{
public:
    // The five boxes of the form, in their order.
    enum Field { FirstName, LastName, Mailbox, Password, Attempts, FieldCount };

    explicit MemberRecordSet(const QString &appDir);

    // Reads the members again in last-name order and makes the first one current. A
    // changed record is written first; on any failure nothing changes.
    bool requery(QString *error);

    int count() const { return int(m_records.size()); }
    // 0-based position of the current record; -1 when there is none. While adding, the
    // new record's position is count().
    int position() const { return m_position; }
    bool hasCurrent() const { return m_adding || m_position >= 0; }
    bool isAdding() const { return m_adding; }
    bool isModified() const { return m_modified; }
    // The stored record's id; 0 for none or the record being added.
    qint64 currentId() const;
    // Position of the stored record with that id; -1 when it is not in the set.
    int indexOfId(qint64 id) const;

    // The current record's value as shown in a box (pending changes included).
    QString text(Field field) const;
    // Changes the current record's value; ignored without a current record.
    void setText(Field field, const QString &text);

    // Makes another stored record current, writing a changed record first.
    bool moveTo(int position, QString *error);
    // Starts a new record after the stored ones (a changed record is written first).
    // A new member has made no failed attempts yet.
    bool addNew(QString *error);
    // Writes the pending record: a new one is appended to the stored ones and stays
    // current; an unchanged one is left alone. On failure the typed values stay pending.
    bool update(QString *error);
    // Drops what was typed; a record being added disappears (no record is current then).
    void cancelUpdate();
    // Deletes the current stored record (its row only) and makes the next one current,
    // or the last one when it was the last.
    bool deleteCurrent(QString *error);

private:
    bool writePending(QString *error);
    void loadBuffer();

    model::MemberStore m_store;
    QList<model::Member> m_records;
    int m_position = -1;
    model::Member m_buffer;
    bool m_modified = false;
    bool m_adding = false;
};

} // namespace members
