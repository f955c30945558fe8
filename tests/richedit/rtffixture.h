#pragma once
// Reading and writing RTF in the tests: documents from bytes, files of the fixtures,
// outside programs run on files.

#include <QByteArray>
#include <QString>
#include <QTextDocument>
#include <memory>

namespace rtftest {

// A document read from Rtf.
std::unique_ptr<QTextDocument> Read(const QByteArray& Rtf);
QByteArray FixtureBytes(const QString& Name);
// Where a test keeps what it wrote: build/artifacts/richedit/.
QString ArtifactPath(const QString& Name);
void WriteFile(const QString& Path, const QByteArray& Bytes);
// Runs Program with Args and returns what it wrote to its standard output; "" when it
// could not run or failed.
QByteArray Run(const QString& Program, const QStringList& Args, int TimeoutMs = 60000);

}  // namespace rtftest
