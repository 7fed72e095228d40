#pragma once
// Shared helpers for the tests: a temporary working folder, fixture files
// written from code, and the error sink that collects error boxes.

#include <QString>
#include <QStringList>
#include <QByteArray>

namespace testsupport {

// Writes bytes to a file, creating folders as needed; returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);

// Encodes UTF-8 source text as code page 932 bytes.
QByteArray cp932(const QString& text);

} // namespace testsupport
