#include "tests/richedit/rtffixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextCursor>

#include "platform/richedit/rtfreader.h"

namespace rtftest {

std::unique_ptr<QTextDocument> Read(const QByteArray& Rtf)
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    rtf::ReadRtf(Rtf, cursor);
    return document;
}

QByteArray FixtureBytes(const QString& Name)
{
    QFile file(QStringLiteral(TOTAMUND_FIXTURES "/richedit/") + Name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ArtifactPath(const QString& Name)
{
    const QString dir = QStringLiteral(TOTAMUND_ARTIFACT_DIR "/richedit");
    QDir().mkpath(dir);
    return dir + '/' + Name;
}

void WriteFile(const QString& Path, const QByteArray& Bytes)
{
    QFile file(Path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(Bytes);
}

QByteArray Run(const QString& Program, const QStringList& Args, int TimeoutMs)
{
    QProcess process;
    process.start(Program, Args);
    if (!process.waitForFinished(TimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

}  // namespace rtftest

#include <gtest/gtest.h>

#include "platform/vcl/qt/qapp.h"

namespace {

// Fonts and pictures need the application object.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureQApplication(); }
};
[[maybe_unused]] ::testing::Environment* const Qt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
