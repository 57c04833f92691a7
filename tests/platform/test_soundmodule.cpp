// The sound service with an audio module beside the program, one that is
// slow to load: cues never wait for it, and the last cue asked for while it
// loads is the one played once it is in.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/sound.h"

using quintelle::platform::SoundService;

namespace {

qsizetype samplesOf(const char* cue) {
    QFile file(SoundService::resourceFor(QString::fromLatin1(cue)));
    return file.open(QIODevice::ReadOnly) ? quintelle::platform::playbackPcm(file.readAll()).size()
                                          : -1;
}

}  // namespace

TEST(SoundModule, CuesWaitForItsLoadingWithoutHoldingUpTheWindow) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("cues.log"));
    qputenv("QUINTELLE_TEST_AUDIO_LOG", QFile::encodeName(logPath));
    qputenv("QUINTELLE_TEST_AUDIO_LOAD_MS", "400");
    const auto heard = [&] {
        QFile log(logPath);
        QList<QByteArray> lines;
        if (log.open(QIODevice::ReadOnly)) lines = log.readAll().split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
        std::vector<qsizetype> lengths;
        for (const QByteArray& line : lines) lengths.push_back(line.toLongLong());
        return lengths;
    };
    ASSERT_GT(samplesOf("invalid"), 0);
    ASSERT_NE(samplesOf("invalid"), samplesOf("entered"));

    SoundService service;
    service.prepare();
    service.play(QStringLiteral("entered"));
    service.play(QStringLiteral("invalid"));  // cuts "entered" off before it is heard
    // Both calls returned while the module was still loading.
    EXPECT_TRUE(heard().empty());
    // Once it is in, the cue that waited for it plays.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !heard().empty(); }, 10000));
    EXPECT_EQ(heard(), std::vector<qsizetype>{samplesOf("invalid")});

    // From then on every cue goes straight to the output, after a silence.
    service.play(QStringLiteral("winner"));
    EXPECT_EQ(heard(), (std::vector<qsizetype>{samplesOf("invalid"), 0, samplesOf("winner")}));
}
