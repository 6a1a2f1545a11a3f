#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "XSessionTools.h"

namespace quillet::e2e {

extern const QString kMainTitle;

// One row of the program's database, read back by the test.
struct StoredClip {
    qint64 id = 0;
    int dataFormat = 0;
    QString title, source, timeStamp, formatList;
    int size = 0;
    QByteArray content;
    QString contentType;  // SQLite's type of the Content column: "text", "blob" or "null"
};

// Every row of `database` in ID order; empty when it cannot be read.
std::vector<StoredClip> ReadClips(const QString& database);

// The real program started in a private program folder with the main window shown (not
// transparent) and sounds off, its main window found.
class RunningQuillet : public ::testing::Test {
  protected:
    void SetUp() override;

    QString database() const { return program.file(QStringLiteral("ClipsData.db")); }
    // The stored clips once there are `count` of them, or as they are after `timeoutMs`.
    std::vector<StoredClip> ClipsSoon(size_t count, int timeoutMs = 5000) const;
    // Lets a change settle that must store nothing, then reads the clips.
    std::vector<StoredClip> ClipsAfterQuiet() const;

    QTemporaryDir elsewhere;
    ProgramFolder program;
    std::unique_ptr<QProcess> run;
    QString window;
};

}  // namespace quillet::e2e
