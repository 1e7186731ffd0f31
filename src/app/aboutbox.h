#pragma once

#include <QDialog>

namespace app {

// The About box: version, what the program needs to run, and what this system offers.
// Modeless: the designer stays usable while it is open.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(const QString &appDir, QWidget *parent = nullptr);

    // The text shown, also for tests and bug reports.
    static QString versionText();
    static QString requirementsText();
    static QString systemInformation(const QString &appDir);
};

} // namespace app
