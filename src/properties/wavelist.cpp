#include "wavelist.h"

#include "fixedheadertable.h"

#include "speech/soundplayer.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace properties {

namespace {
// The numbers need little room; the names take the rest of the width.
constexpr int kNumberColumnWidth = 27;
} // namespace

WaveList::WaveList(const QString &appDir, speech::SoundPlayer &sound, QWidget *parent)
    : QWidget(parent)
    , m_appDir(appDir)
    , m_sound(sound)
{
    m_label = new QLabel(QStringLiteral("Application's Wave Files"), this);
    m_label->setObjectName(QStringLiteral("Label3"));

    m_grid = new FixedHeaderTable(kDesignedRows, 2, this);
    m_grid->setObjectName(QStringLiteral("fg3"));
    m_grid->setAccessibleName(m_label->text());
    m_grid->setColumnWidth(0, kNumberColumnWidth);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setCellText(0, 1, QStringLiteral("Wave File"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_grid, 1);

    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row, int) { playRow(row); });
}

void WaveList::populate()
{
    m_grid->clearCells();
    m_grid->setCellText(0, 1, QStringLiteral("Wave File"));

    const QDir folder(QDir(m_appDir).filePath(QStringLiteral("waves")));
    if (!QFileInfo(folder.path()).isDir() || !folder.isReadable())
        return;
    // Every file is listed, whatever its extension; the file system gives no order, so
    // names are sorted for a list that reads the same on every start.
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System,
                                               QDir::Name | QDir::IgnoreCase);
    m_grid->resizeRows(names.size() + 1);
    for (int i = 0; i < names.size(); ++i) {
        m_grid->setCellText(i + 1, 0, QString::number(i + 1));
        m_grid->setCellText(i + 1, 1, names.at(i));
    }
    if (!names.isEmpty())
        m_grid->setCurrentCell(1, 1);
}

QStringList WaveList::fileNames() const
{
    QStringList names;
    for (int r = 1; r < m_grid->rowCount(); ++r) {
        const QString name = m_grid->cellText(r, 1);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

void WaveList::playRow(int row)
{
    // Only a file row names something to play; the heading and blank rows do not.
    const QString name = m_grid->cellText(row, 1);
    if (row < 1 || name.isEmpty())
        return;
    m_sound.play(m_appDir + QStringLiteral("/waves/") + name);
}

} // namespace properties
