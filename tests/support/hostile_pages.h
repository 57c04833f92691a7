#pragma once
// Pages and pictures a hostile score server sends, for the tests and the
// benchmark of the high-score viewer.
#include <QBuffer>
#include <QImage>
#include <string>

namespace quintelle::testsupport {

inline std::string nestedTables(int depth) {
    std::string page = "<html><body>";
    for (int i = 0; i < depth; ++i) page += "<table><tr><td>";
    page += "deepest";
    for (int i = 0; i < depth; ++i) page += "</td></tr></table>";
    return page + "</body></html>";
}

// One table of two-cell rows, `bytes` long.
inline std::string hugeTable(std::size_t bytes) {
    std::string page = "<table>";
    while (page.size() < bytes) page += "<tr><td>cell</td><td>cell</td></tr>";
    return page + "</table>";
}

// A JPEG whose header says width × height around a 16 × 16 red picture: a
// decoder that trusts the header allocates what it says.
inline std::string bombJpeg(int width, int height) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    const qsizetype sof = bytes.indexOf("\xFF\xC0");
    bytes[sof + 5] = char(height >> 8), bytes[sof + 6] = char(height & 255);
    bytes[sof + 7] = char(width >> 8), bytes[sof + 8] = char(width & 255);
    return bytes.toStdString();
}

// A paragraph of `count` pictures named prefix0.jpg, prefix1.jpg, ...
inline std::string pictures(int count, const std::string& prefix) {
    std::string page = "<p>";
    for (int i = 0; i < count; ++i) page += "<img src=\"" + prefix + std::to_string(i) + ".jpg\">";
    return page + "</p>";
}

}  // namespace quintelle::testsupport
