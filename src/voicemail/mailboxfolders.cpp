#include "mailboxfolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace voicemail {

namespace {
const QString kMsg = QStringLiteral("/msg/");

bool inCategory(const QString &name, MailboxFolders::Category category)
{
    const QString ending = name.mid(9);
    return category == MailboxFolders::Category::Old ? ending == QLatin1String("i__")
                                                     : ending.startsWith(QLatin1String("in"));
}

// The stamp of a name on the calendar, as the page forms it: months and days past their
// end run on into the next (DateSerial).
QDate calendarDate(int year, int month, int day)
{
    return QDate(year, 1, 1).addMonths(month - 1).addDays(day - 1);
}

void touch(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
}
} // namespace

MailboxFolders::MailboxFolders(const QString &mboxesPath)
    : m_root(mboxesPath)
{
}

QString MailboxFolders::greeting(const QString &mailbox)
{
    return mailbox + QStringLiteral("/personal.wav");
}

QString MailboxFolders::namePrompt(const QString &mailbox)
{
    return mailbox + QStringLiteral("/prompt.wav");
}

QString MailboxFolders::recording(const QString &mailbox, const QString &message)
{
    return mailbox + kMsg + stem(message) + QStringLiteral("wav");
}

QString MailboxFolders::path(const QString &relative) const
{
    return m_root + u'/' + relative;
}

void MailboxFolders::makeFolders(const QString &mailbox) const
{
    QDir().mkpath(path(mailbox + QStringLiteral("/msg")));
}

QStringList MailboxFolders::infoNames(const QString &mailbox) const
{
    static const QRegularExpression info(QStringLiteral("^[0-9]{8}\\.i"));
    QStringList names;
    const QDir folder(path(mailbox + kMsg));
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        const QString name = entry.toLower();
        if (info.match(name).hasMatch())
            names << name;
    }
    return names;
}

QStringList MailboxFolders::list(const QString &mailbox, Category category) const
{
    QStringList names = infoNames(mailbox);
    names.removeIf([category](const QString &n) { return !inCategory(n, category); });
    return names;
}

int MailboxFolders::settleAndCountNew(const QString &mailbox) const
{
    int fresh = 0;
    const QString folder = path(mailbox + kMsg);
    for (const QString &name : infoNames(mailbox)) {
        if (!name.endsWith(u'_')) {
            ++fresh;
        } else if (!name.endsWith(QLatin1String("__"))) {
            touch(folder + stem(name) + QStringLiteral("i__"));
            QFile::remove(folder + name);
        }
    }
    return fresh;
}

int MailboxFolders::count(const QString &mailbox, Category category) const
{
    return int(list(mailbox, category).size());
}

QString MailboxFolders::newest(const QString &mailbox, Category category) const
{
    const QStringList names = list(mailbox, category);
    return names.isEmpty() ? QString() : *std::max_element(names.begin(), names.end());
}

QString MailboxFolders::olderThan(const QString &mailbox, Category category,
                                  const QString &message) const
{
    QString best;
    const QString stamp = message.left(8);
    for (const QString &name : list(mailbox, category)) {
        if (name.left(8) < stamp && (best.isEmpty() || name > best))
            best = name;
    }
    return best;
}

QString MailboxFolders::newerThan(const QString &mailbox, Category category,
                                  const QString &message) const
{
    QString best;
    const QString stamp = message.left(8);
    for (const QString &name : list(mailbox, category)) {
        // "99999999.inf" bounds the page's search from above
        if (name.left(8) > stamp && name < QLatin1String("99999999.inf")
            && (best.isEmpty() || name < best))
            best = name;
    }
    return best;
}

QString MailboxFolders::markHeard(const QString &mailbox, const QString &message) const
{
    const QString folder = path(mailbox + kMsg);
    const QString heard = stem(message) + QStringLiteral("in_");
    touch(folder + heard);
    QFile::remove(folder + message);
    return heard;
}

bool MailboxFolders::hasRecording(const QString &mailbox, const QString &message) const
{
    return QFileInfo(path(recording(mailbox, message))).isFile();
}

qint64 MailboxFolders::size(const QString &relativePath) const
{
    return QFileInfo(path(relativePath)).size();
}

bool MailboxFolders::remove(const QString &mailbox, const QString &message) const
{
    const QString wav = path(recording(mailbox, message));
    QFile::remove(wav);
    if (QFileInfo::exists(wav))
        return false;
    const QString folder = path(mailbox + kMsg);
    const QString prefix = stem(message) + u'i';
    for (const QString &name : infoNames(mailbox)) {
        if (name.startsWith(prefix))
            QFile::remove(folder + name);
    }
    return true;
}

bool MailboxFolders::stemUsed(const QString &folder, const QString &stem) const
{
    for (const char *ending : {"wav", "inf", "in_", "i__"}) {
        if (QFileInfo::exists(folder + stem + QLatin1String(ending)))
            return true;
    }
    return false;
}

void MailboxFolders::forward(const QString &mailbox, const QString &message,
                             const QString &target, const QDate &today) const
{
    makeFolders(target);
    const QString folder = path(target + kMsg);
    // Counted in UTC: a minute of a day with a clock change is still one minute on.
    QDateTime start(calendarDate(today.year(), message.left(2).toInt(), message.mid(2, 2).toInt()),
                    QTime(0, 0), Qt::UTC);
    start = start.addSecs(message.mid(4, 2).toInt() * 3600 + message.mid(6, 2).toInt() * 60);
    // A folder full of every minute of a long span must not hold the call for ever.
    QString free;
    for (int tries = 0; tries < 100000; ++tries) {
        const QString candidate = start.toString(QStringLiteral("MMddHHmm."));
        start = start.addSecs(60);
        if (!stemUsed(folder, candidate)) {
            free = candidate;
            break;
        }
    }
    const QString from = path(mailbox + kMsg);
    if (free.isEmpty() || !QFileInfo::exists(from + message))
        return;
    QFile::copy(from + message, folder + free + QStringLiteral("inf"));
    if (hasRecording(mailbox, message))
        QFile::copy(from + stem(message) + QStringLiteral("wav"),
                    folder + free + QStringLiteral("wav"));
}

qint64 MailboxFolders::ageInDays(const QString &message, const QDate &today)
{
    const int month = message.left(2).toInt();
    const int day = message.mid(2, 2).toInt();
    qint64 age = calendarDate(today.year(), month, day).daysTo(today);
    if (age < 0)
        age = calendarDate(today.year() - 1, month, day).daysTo(today);
    return age;
}

} // namespace voicemail
