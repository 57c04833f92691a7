#include "ui/main/keptpictures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QStandardPaths>
#include <QThreadPool>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "data/atomicfile.h"
#include "data/storedpicture.h"
#include "platform/buildid.h"

namespace quintelle::ui {

namespace {

// The formats stored: four bytes a pixel, so rows need no padding.
bool isStoredFormat(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// What the drawn pixels depend on besides the code: Qt's version and the
// fonts and font settings installed (installing or configuring fonts touches
// one of these folders).
QByteArray fontsFingerprint() {
    QByteArray text;
    const QString home = QDir::homePath();
    const QStringList places = {
        QStringLiteral("/etc/fonts"),
        QStringLiteral("/etc/fonts/conf.d"),
        QStringLiteral("/var/cache/fontconfig"),
        QStringLiteral("/usr/share/fonts"),
        QStringLiteral("/usr/share/fonts/truetype"),
        QStringLiteral("/usr/local/share/fonts"),
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
            QStringLiteral("/fontconfig"),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/fontconfig"),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/fonts"),
        home + QStringLiteral("/.fonts"),
    };
    for (const QString& place : places) {
        const QFileInfo info(place);
        text += place.toUtf8() + ':' +
                QByteArray::number(info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1) +
                '\n';
    }
    text += qgetenv("FONTCONFIG_FILE") + '\n' + qgetenv("FONTCONFIG_PATH") + '\n';
    return text;
}

QString storeKey() {
    const QByteArray build = platform::programBuildId();
    if (build.isEmpty()) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(build);
    hash.addData(QByteArray("\nQt ") + qVersion() + '\n');
    hash.addData(fontsFingerprint());
    return QString::fromLatin1(hash.result().toHex().left(16));
}

struct Keeper {
    QString root;                   // the folder named by the program
    QString folder;                 // root/key, where this build's pictures go
    bool tidied = false;            // other builds' folders removal asked for
    QHash<QString, QPixmap> drawn;  // by file name: one per picture and ratio
};

Keeper& keeper() {
    static Keeper instance;
    return instance;
}

// Stores pictures on a thread of its own, one at a time in the order they
// were drawn: the window is painted without waiting for the disk, which is
// made to sync every file.
QThreadPool& writer() {
    struct OneThread : QThreadPool {
        OneThread() { setMaxThreadCount(1); }
    };
    static OneThread pool;
    return pool;
}

QString fileName(const QString& name, qreal dpr) {
    return name + u'@' + QString::number(dpr) + QStringLiteral(".pix");
}

QPixmap readStored(const QString& path, qreal dpr) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::array<std::uint8_t, kStoredHeaderSize> start;
    if (file.read(reinterpret_cast<char*>(start.data()), qint64(start.size())) !=
        qint64(start.size()))
        return {};
    const auto header = readStoredHeader(start, std::uint64_t(file.size()), dpr);
    const auto format =
        header ? static_cast<QImage::Format>(header->format) : QImage::Format_Invalid;
    if (!header || !isStoredFormat(format)) return {};
    QImage image(header->width, header->height, format);
    if (image.isNull() || image.bytesPerLine() != header->bytesPerLine) return {};
    // The pixels go straight into the image: no second copy of a large picture.
    const qint64 size = image.sizeInBytes();
    if (file.read(reinterpret_cast<char*>(image.bits()), size) != size ||
        !storedPixelsMatch(*header, {image.constBits(), size_t(size)}))
        return {};
    image.setDevicePixelRatio(dpr);
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

// Removes the folders of other builds from `root`, all but `folder`.
void removeOtherBuilds(const QString& root, const QString& folder) {
    const QDir dir(root);
    const QString current = QFileInfo(folder).fileName();
    const auto isKey = [](const QString& entry) {
        return entry.size() == 16 && std::all_of(entry.begin(), entry.end(), [](QChar c) {
                   return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
               });
    };
    // Never through a link: what it points at is not ours to remove.
    const auto entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& entry : entries)
        if (entry != current && isKey(entry)) QDir(dir.filePath(entry)).removeRecursively();
}

void write(const QString& path, QImage image, qreal dpr) {
    if (!isStoredFormat(image.format()))
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                : QImage::Format_RGB32);
    const std::string bytes = storePicture(image.width(), image.height(), int(image.format()), dpr,
                                           {image.constBits(), size_t(image.sizeInBytes())});
    // A picture that cannot be stored is drawn again next time; nothing to report.
    writeFileAtomically(path.toStdString(), bytes);
}

void store(Keeper& k, const QString& path, const QPixmap& pixmap, qreal dpr) {
    QImage image = pixmap.toImage();  // shares the pixels, which are never changed
    if (image.isNull()) return;
    // The first picture stored clears the other builds' folders away.
    const bool tidy = !std::exchange(k.tidied, true);
    writer().start([root = k.root, folder = k.folder, tidy, path, image, dpr] {
        if (tidy) removeOtherBuilds(root, folder);
        if (QDir().mkpath(folder)) write(path, image, dpr);
    });
}

}  // namespace

bool isKeptRatio(qreal dpr) {
    return dpr > 0 && std::abs(dpr * 4 - std::round(dpr * 4)) < 1e-9;
}

QPixmap keptPicture(const QString& name, qreal dpr, const PictureDrawing& draw) {
    // A board resized to any size asks for any ratio: those pictures are
    // drawn, not kept, or every resize would add a set of files.
    if (!isKeptRatio(dpr)) return draw(dpr);
    Keeper& k = keeper();
    const QString file = fileName(name, dpr);
    if (auto it = k.drawn.constFind(file); it != k.drawn.cend()) return *it;
    QPixmap pixmap;
    const QString path = k.folder.isEmpty() ? QString() : k.folder + u'/' + file;
    if (!path.isEmpty()) pixmap = readStored(path, dpr);
    if (pixmap.isNull()) {
        pixmap = draw(dpr);
        if (!path.isEmpty()) store(k, path, pixmap, dpr);
    }
    k.drawn.insert(file, pixmap);
    return pixmap;
}

void keepPicturesIn(const QString& folder) {
    finishKeepingPictures();
    Keeper& k = keeper();
    k = Keeper{};
    k.root = folder;
    if (folder.isEmpty()) return;
    const QString key = storeKey();
    if (!key.isEmpty()) k.folder = QDir(folder).filePath(key);
}

void finishKeepingPictures() {
    writer().waitForDone();
}

QString keptPicturesFolder() {
    return keeper().folder;
}

}  // namespace quintelle::ui
