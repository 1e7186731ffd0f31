#pragma once

#include <QWidget>

class QLabel;

namespace speech {
class SoundPlayer;
}

namespace properties {

class FixedHeaderTable;

// The list of the application's wave files (every file of the waves folder, numbered),
// read once at start-up. Clicking a file plays it, whatever the sound switch says.
class WaveList : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDesignedRows = 5;

    WaveList(const QString &appDir, speech::SoundPlayer &sound, QWidget *parent = nullptr);

    // Fills the list from appDir/waves; a missing or unreadable folder leaves the
    // heading and the designed blank rows.
    void populate();

    // The file names listed, in their order.
    QStringList fileNames() const;

private:
    void playRow(int row);

    QString m_appDir;
    speech::SoundPlayer &m_sound;
    QLabel *m_label = nullptr;
    FixedHeaderTable *m_grid = nullptr;
};

} // namespace properties
