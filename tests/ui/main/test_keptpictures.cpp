// The drawn art is kept between starts: what is read back is what was drawn,
// pixel for pixel, and anything damaged or foreign is drawn again.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "mainwindow_fixture.h"
#include "ui/art/art.h"
#include "ui/main/keptpictures.h"

namespace {

namespace art = quintelle::art;
using quintelle::ui::finishKeepingPictures;
using quintelle::ui::keepPicturesIn;
using quintelle::ui::keptPicture;
using quintelle::ui::keptPicturesFolder;

// A drawing that counts how often it is asked for.
struct CountedDrawing {
    std::function<QPixmap(qreal)> draw;
    int calls = 0;
    quintelle::ui::PictureDrawing function() {
        return [this](qreal dpr) {
            ++calls;
            return draw(dpr);
        };
    }
};

struct PictureRow {
    const char* name;
    std::function<QPixmap(qreal)> draw;
};

const std::vector<PictureRow>& pictureRows() {
    static const std::vector<PictureRow> rows = {
        {"board", art::board},
        {"logo", art::logo},
        {"scoringtable", art::scoringTable},
        {"clockbar", art::clockBar},
        {"offerframe", art::offerFrame},
        {"replacement", art::replacementWord},
        {"emblem", art::emblem},
        {"panel",
         [](qreal dpr) {
             return art::panelBackground({329, 161}, dpr);
         }},
        {"button", [](qreal dpr) { return art::buttonPicture(art::ButtonWord::Yes, true, dpr); }},
    };
    return rows;
}

QImage pixels(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QString storedFile(const QString& name, qreal dpr) {
    return keptPicturesFolder() + u'/' + name + u'@' + QString::number(dpr) +
           QStringLiteral(".pix");
}

class KeptPictures : public MainWindowTest {
  protected:
    void TearDown() override {
        keepPicturesIn({});
        MainWindowTest::TearDown();
    }
    QTemporaryDir root;
};

}  // namespace

TEST_F(KeptPictures, WhatIsReadBackIsWhatWasDrawnAndNothingIsDrawnTwice) {
    for (qreal dpr : {1.0, 2.0})
        for (const PictureRow& row : pictureRows()) {
            SCOPED_TRACE(::testing::Message() << row.name << " @" << dpr);
            const QString name = QString::fromLatin1(row.name);
            CountedDrawing drawing{row.draw};
            keepPicturesIn(root.path());
            const QPixmap drawn = keptPicture(name, dpr, drawing.function());
            EXPECT_EQ(keptPicture(name, dpr, drawing.function()).cacheKey(), drawn.cacheKey());
            finishKeepingPictures();  // stored in the background
            ASSERT_TRUE(QFileInfo::exists(storedFile(name, dpr)));

            keepPicturesIn(root.path());  // a later start
            const QPixmap read = keptPicture(name, dpr, drawing.function());
            EXPECT_EQ(drawing.calls, 1);
            EXPECT_EQ(read.devicePixelRatio(), dpr);
            EXPECT_EQ(read.size(), drawn.size());
            EXPECT_EQ(read.hasAlphaChannel(), drawn.hasAlphaChannel());
            EXPECT_EQ(pixels(read), pixels(row.draw(dpr)));
        }
}

TEST_F(KeptPictures, ADamagedFileIsDrawnAgainAndReplaced) {
    struct Damage {
        const char* what;
        std::function<void(QByteArray&)> apply;
    };
    const Damage damages[] = {
        {"a pixel changed", [](QByteArray& b) { b[b.size() / 2] = char(b[b.size() / 2] ^ 0x40); }},
        {"cut short", [](QByteArray& b) { b.chop(100); }},
        {"one byte too many", [](QByteArray& b) { b.append('\0'); }},
        {"only the header", [](QByteArray& b) { b.truncate(40); }},
        {"empty", [](QByteArray& b) { b.clear(); }},
        {"another kind of file", [](QByteArray& b) { b[0] = 'P'; }},
        {"its width changed", [](QByteArray& b) { b[4] = char(b[4] + 1); }},
        {"its format changed", [](QByteArray& b) { b[16] = char(99); }},
        {"a format never written", [](QByteArray& b) { b[16] = char(QImage::Format_Mono); }},
        {"a giant width",
         [](QByteArray& b) {
             b[4] = char(0xFF);
             b[5] = char(0xFF);
             b[6] = char(0xFF);
             b[7] = char(0x7F);
         }},
        {"its ratio changed", [](QByteArray& b) { b[31] = char(b[31] ^ 0x01); }},
    };
    const QString name = QStringLiteral("logo");
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        CountedDrawing drawing{art::logo};
        keepPicturesIn(root.path());
        const QPixmap drawn = keptPicture(name, 1.0, drawing.function());
        finishKeepingPictures();
        QFile file(storedFile(name, 1.0));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        damage.apply(bytes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        keepPicturesIn(root.path());
        EXPECT_EQ(pixels(keptPicture(name, 1.0, drawing.function())), pixels(drawn));
        EXPECT_EQ(drawing.calls, 2);
        keepPicturesIn(root.path());  // the file was written anew
        EXPECT_EQ(pixels(keptPicture(name, 1.0, drawing.function())), pixels(drawn));
        EXPECT_EQ(drawing.calls, 2);
        QFile::remove(storedFile(name, 1.0));
    }
}

TEST_F(KeptPictures, OnlyThisBuildsFolderStaysOtherThingsAreLeftAlone) {
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("0123456789abcdef")));
    writeFile(dir.filePath(QStringLiteral("0123456789abcdef/board@1.pix")), "old");
    ASSERT_TRUE(dir.mkpath(QStringLiteral("notes")));
    writeFile(dir.filePath(QStringLiteral("readme.txt")), "mine");
    // A link that looks like another build's folder, to a folder of the player's.
    QTemporaryDir elsewhere;
    writeFile(QDir(elsewhere.path()).filePath(QStringLiteral("keep.txt")), "precious");
    ASSERT_TRUE(QFile::link(elsewhere.path(), dir.filePath(QStringLiteral("fedcba9876543210"))));

    keepPicturesIn(root.path());
    const QString key = QFileInfo(keptPicturesFolder()).fileName();
    EXPECT_EQ(QFileInfo(keptPicturesFolder()).absolutePath(),
              QFileInfo(root.path()).absoluteFilePath());
    EXPECT_TRUE(dir.exists(QStringLiteral("0123456789abcdef")));  // untouched until a write
    keptPicture(QStringLiteral("clockbar"), 1.0, art::clockBar);
    finishKeepingPictures();
    EXPECT_EQ(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks).join(u' '),
              key + QStringLiteral(" notes"));
    EXPECT_TRUE(dir.exists(QStringLiteral("readme.txt")));
    EXPECT_EQ(readFile(QDir(elsewhere.path()).filePath(QStringLiteral("keep.txt"))),
              QByteArray("precious"));
}

TEST_F(KeptPictures, WithoutAFolderOrWhereNothingCanBeWrittenPicturesAreStillDrawnOnce) {
    const QString blocked = QDir(root.path()).filePath(QStringLiteral("a-file"));
    writeFile(blocked, "not a folder");
    for (const QString& folder : {QString(), blocked}) {
        SCOPED_TRACE(folder.toStdString());
        CountedDrawing drawing{art::clockBar};
        keepPicturesIn(folder);
        EXPECT_EQ(pixels(keptPicture(QStringLiteral("clockbar"), 2.0, drawing.function())),
                  pixels(art::clockBar(2.0)));
        keptPicture(QStringLiteral("clockbar"), 2.0, drawing.function());
        EXPECT_EQ(drawing.calls, 1);
    }
    EXPECT_TRUE(keptPicturesFolder().startsWith(blocked));
    EXPECT_EQ(readFile(blocked), QByteArray("not a folder"));
}

// A main window built from kept pictures looks exactly as one that drew them,
// and a second window draws nothing.
TEST_F(KeptPictures, AWindowFromKeptPicturesLooksAsOneThatDrewThem) {
    quintelle::platform::setExecutableFolder(folder());
    keepPicturesIn(root.path());
    QImage first;
    {
        Tmain main;
        main.show();
        first = main.grab().toImage();
    }
    finishKeepingPictures();
    QStringList stored;
    for (QDirIterator it(keptPicturesFolder(), QDir::Files); it.hasNext();)
        stored << QFileInfo(it.next()).fileName();
    for (const char* name :
         {"board", "logo", "scoringtable", "clockframe", "clockbar", "offerframe", "button-0-up"})
        EXPECT_TRUE(stored.contains(QString::fromLatin1(name) + QStringLiteral("@1.pix")))
            << name << " in " << stored.join(u' ').toStdString();

    keepPicturesIn(root.path());
    Tmain main;
    main.show();
    EXPECT_EQ(main.grab().toImage(), first);
}

// Fonts installed or configured for the player alone change what lettering
// looks like, so they lead to another folder: nothing drawn with the old
// fonts is read back.
TEST_F(KeptPictures, FontsInstalledOrConfiguredLeadToAnotherFolder) {
    QTemporaryDir home;
    const auto restore = [](const char* name, std::optional<QByteArray> value) {
        value ? qputenv(name, *value) : qunsetenv(name);
    };
    const auto saved = [](const char* name) {
        return qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    };
    const auto dataHome = saved("XDG_DATA_HOME");
    const auto configHome = saved("XDG_CONFIG_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    keepPicturesIn(root.path());
    const QString before = keptPicturesFolder();
    keepPicturesIn(root.path());
    EXPECT_EQ(keptPicturesFolder(), before) << "the same fonts, the same folder";

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"a font folder of the player's own",
         [&] { QDir().mkpath(home.filePath(QStringLiteral("data/fonts"))); }},
        {"font settings of the player's own",
         [&] { QDir().mkpath(home.filePath(QStringLiteral("config/fontconfig"))); }},
    };
    QStringList seen{before};
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        change();
        keepPicturesIn(root.path());
        EXPECT_FALSE(seen.contains(keptPicturesFolder())) << keptPicturesFolder().toStdString();
        seen << keptPicturesFolder();
    }
    restore("XDG_DATA_HOME", dataHome);
    restore("XDG_CONFIG_HOME", configHome);
}
