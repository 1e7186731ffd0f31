#pragma once

#include <QString>

// Paths of the source and build trees, for tests that run the program or read golden files.
inline QString sourceDir() { return QStringLiteral(DW_SOURCE_DIR); }
inline QString binaryDir() { return QStringLiteral(DW_BINARY_DIR); }
inline QString programPath() { return binaryDir() + QStringLiteral("/dialwright"); }
