// Arbitrary response bytes, cut at arbitrary points, through a scripted socket
// into the download client. Whatever the bytes, the request must end (the
// client back in ready), and the stream must hold exactly the body counted.
#include <QBuffer>
#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

#include "net/httpcli.h"
#include "tests/net/fakesocket.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_httpcli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    if (size < 2) return 0;

    // Byte 0 picks the connection's behaviour, byte 1 seeds the cuts; the
    // rest is what the server answers, one answer per request, split at 0x1E.
    const std::uint8_t flags = data[0];
    std::uint32_t seed = data[1] | 0x100u;
    const QByteArray script(reinterpret_cast<const char*>(data + 2),
                            static_cast<qsizetype>(size - 2));

    auto owned = std::make_unique<FakeSocket>();
    FakeSocket& socket = *owned;
    socket.responses = script.split('\x1e');
    socket.closeAfterResponse = flags & 1;
    socket.lookupFails = (flags & 0x3C) == 0x3C;
    socket.connectError = (flags & 0x3C) == 0x38 ? 7 : 0;
    socket.pieceSize = [&seed](qsizetype left) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return static_cast<qsizetype>(seed % 4 == 0 ? left : 1 + seed % 64);
    };

    THttpCli client(std::move(owned));
    client.URL = QStringLiteral("http://fuzz.test/dir/a.exe");
    client.RequestVer = flags & 2 ? QStringLiteral("1.1") : QStringLiteral("1.0");
    QBuffer body;
    body.open(QIODevice::WriteOnly);
    client.ReceiveStream = &body;
    client.GetASync();

    for (int round = 0; round < 100000 && client.HttpState() != THttpCli::httpReady; ++round) {
        QCoreApplication::processEvents();
        if (socket.idle()) socket.remoteClose();
    }
    if (client.HttpState() != THttpCli::httpReady) std::abort();
    if (body.data().size() != client.BodyReceived()) std::abort();
    if (client.BodyLength() >= 0 && client.BodyReceived() > client.BodyLength()) std::abort();
    return 0;
}
