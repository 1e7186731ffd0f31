#pragma once

#include <QString>
#include <QStringList>

namespace model {

// Where the program keeps its files: --app-dir, else DIALWRIGHT_HOME, else the folder of
// the executable when that is its build folder, else the user's data folder
// (QStandardPaths::AppDataLocation, named after the application name), created if missing.
QString resolveAppDir(const QString &fromCommandLine, const QString &executableDir);

// BuildDirectory: makes the waves and mboxes folders when missing. Existing folders and
// their contents are left alone. *created lists the folders made.
bool buildDirectory(const QString &appDir, QStringList *created, QString *error);

// What the data part of start-up did, for the command line and the start-up report.
struct StartupReport
{
    QStringList created;  // file and folder names made in this run
    QStringList problems; // one clear sentence per piece that could not be made or used
    bool membersOk = false;
    bool catalogueOk = false;
    bool foldersOk = false;
    bool flowOk = false;
};

// The data part of start-up, in its order: members, catalogue, folders, demonstration
// flow. Each step runs even when an earlier one failed; nothing existing is changed.
StartupReport initialiseData(const QString &appDir);

// A clear sentence when the application folder is missing or cannot be written; empty
// when it is usable.
QString checkAppDir(const QString &appDir);

} // namespace model
