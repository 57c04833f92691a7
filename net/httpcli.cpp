#include "net/httpcli.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <algorithm>
#include <cstring>

#include "net/wsocket.h"

namespace quintelle::net {

namespace {
bool isSchemeText(QStringView text) {
    if (text.isEmpty()) return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' ||
               c == u'.';
    });
}
}  // namespace

bool isHttp1StatusLine(const QByteArray& line) {
    const QByteArray code = line.mid(9, 3);
    return (line.startsWith("HTTP/1.0 ") || line.startsWith("HTTP/1.1 ")) && code.size() == 3 &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           (line.size() == 12 || line[12] == ' ');
}

HttpAddress parseHttpAddress(const QString& url) {
    HttpAddress address;
    QStringView rest(url);
    const qsizetype sep = url.indexOf(QStringLiteral("://"));
    if (sep >= 0 && !url.startsWith(u'/')) {
        const QStringView scheme = rest.left(sep);
        if (isSchemeText(scheme)) {
            address.scheme = scheme.toString();
            rest = rest.mid(sep + 3);
        } else if (!scheme.contains(u'/') && !scheme.contains(u'?') && !scheme.contains(u'@')) {
            // A scheme we do not recognise ("HTTP://…") leaves no usable host.
            rest = rest.mid(sep + 3);
            qsizetype end = 0;
            while (end < rest.size() && rest[end] != u'/' && rest[end] != u'?') ++end;
            address.host.clear();
            if (end < rest.size()) address.path = rest.mid(end).toString();
            return address;
        }
    }
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != u'/' && rest[end] != u'?') ++end;
    const QStringView authority = rest.left(end);
    const QStringView path = rest.mid(end);
    if (path.startsWith(u'?'))
        address.path = u'/' + path.toString();
    else if (!path.isEmpty())
        address.path = path.toString();

    QStringView hostPart = authority;
    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0) {
        const QStringView info = authority.left(at);
        const qsizetype colon = info.indexOf(u':');
        address.user = (colon < 0 ? info : info.left(colon)).toString();
        if (colon >= 0) address.password = info.mid(colon + 1).toString();
        hostPart = authority.mid(at + 1);
    }
    qsizetype colon = -1;
    if (hostPart.startsWith(u'[')) {
        // A numeric IPv6 host is bracketed; its colons are not the port's.
        const qsizetype close = hostPart.indexOf(u']');
        if (close > 0) {
            address.host = hostPart.mid(1, close - 1).toString();
            if (close + 1 < hostPart.size() && hostPart[close + 1] == u':') colon = close + 1;
        } else {
            address.host = hostPart.toString();
        }
    } else {
        colon = hostPart.indexOf(u':');
        address.host = (colon < 0 ? hostPart : hostPart.left(colon)).toString();
    }
    if (colon >= 0 && colon + 1 < hostPart.size())
        address.port = hostPart.mid(colon + 1).toString();
    return address;
}

}  // namespace quintelle::net

using quintelle::net::HttpAddress;
using quintelle::net::parseHttpAddress;

namespace {
// Bytes that would end or split the request line are sent escaped.
QByteArray requestPath(const QString& path) {
    QByteArray out;
    for (const char c : path.toUtf8()) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F || c == '#') {
            if (c == '#') break;  // a fragment is never sent
            out += '%' + QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
        } else {
            out += c;
        }
    }
    return out.isEmpty() ? QByteArray("/") : out;
}

bool startsWithNoCase(const QByteArray& line, const char* prefix) {
    return line.left(static_cast<qsizetype>(std::strlen(prefix))).toLower() == prefix;
}
}  // namespace

THttpCli::THttpCli(QObject* parent) : THttpCli(std::make_unique<TWSocket>(), parent) {}

THttpCli::THttpCli(std::unique_ptr<quintelle::net::StreamSocket> socket, QObject* parent)
    : QObject(parent), socket_(std::move(socket)) {
    socket_->setListener(this);
    stall_.setSingleShot(true);
    deadline_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this, [this] {
        fail(kFailedStatus, QStringLiteral("No answer for %1 seconds").arg(StallLimitMs / 1000));
    });
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(kFailedStatus, QStringLiteral("Not done within %1 seconds").arg(DeadlineMs / 1000));
    });
}

THttpCli::~THttpCli() {
    socket_->setListener(nullptr);
    socket_->abort();
}

void THttpCli::setState(THttpState state) {
    if (state_ == state) return;
    state_ = state;
    emit OnStateChange();
}

void THttpCli::resetResponse() {
    status_ = 0;
    reason_.clear();
    version_.clear();
    bodyLength_ = -1;
    bodyReceived_ = 0;
    complete_ = false;
    lengthRefused_ = false;
    headerBytes_ = 0;
    fill_ = 0;
    headerBegun_ = false;
    anyResponseByte_ = false;
    docBegun_ = false;
    redirectDue_ = false;
    keepAliveRefused_ = false;
    skipBytes_ = 0;
}

void THttpCli::takeAddress(const HttpAddress& address) {
    scheme_ = address.scheme;
    host_ = address.host;
    targetHost_ = address.host;
    port_ = address.port;
    path_ = address.path;
    user_ = address.user;
    password_ = address.password;
}

void THttpCli::GetASync() {
    if (state_ != httpReady) throw EHttpException(QStringLiteral("HTTP component is busy"), 1);
    if (RequestVer != u"1.0" && RequestVer != u"1.1")
        throw EHttpException(QStringLiteral("Insupported HTTP version"), 5);
    resetResponse();
    newLocation_ = URL;
    redirects_ = 0;
    closing_ = Closing::None;
    takeAddress(parseHttpAddress(URL));
    stall_.start(StallLimitMs);
    deadline_.start(DeadlineMs);
    if (socket_->isConnected() && host_ == connHost_ && port_ == connPort_ &&
        scheme_ == connScheme_) {
        // Whatever the last response left unread is not this request's.
        while (socket_->receive(buffer_.data(), kBufferSize) > 0) {
        }
        reusedConnection_ = true;
        setState(httpWaitingHeader);
        sendRequest();
        return;
    }
    connectAnew();
}

void THttpCli::connectAnew() {
    socket_->abort();
    reusedConnection_ = false;
    setState(httpNotConnected);
    setState(httpDnsLookup);
    socket_->lookup(host_);
}

void THttpCli::progressed() {
    if (stall_.isActive()) stall_.start(StallLimitMs);
}

void THttpCli::socketLookupDone(int error) {
    if (state_ != httpDnsLookup || ending_) return;
    progressed();
    if (error) {
        fail(kFailedStatus, QStringLiteral("can't resolve hostname to IP address"));
        return;
    }
    setState(httpDnsLookupDone);
    connScheme_ = scheme_;
    connHost_ = host_;
    connPort_ = port_;
    bool ok = false;
    const quint16 port = port_.toUShort(&ok);
    if (!ok || port == 0) {
        fail(kFailedStatus, QStringLiteral("can't connect: invalid port \"%1\"").arg(port_));
        return;
    }
    if (!socket_->connectTo(port, LocalAddr))
        fail(kFailedStatus, QStringLiteral("can't connect: %1").arg(socket_->errorText(-1)));
}

void THttpCli::socketConnected(int error) {
    if (state_ != httpDnsLookupDone || ending_) return;
    progressed();
    if (error) {
        fail(kFailedStatus,
             QStringLiteral("%1 (Error #%2)").arg(socket_->errorText(error)).arg(error));
        return;
    }
    setState(httpConnected);
    emit OnSessionConnected();
    if (state_ != httpConnected || ending_) return;
    setState(httpWaitingHeader);
    sendRequest();
}

void THttpCli::sendRequest() {
    emit OnRequestHeaderBegin();
    QStringList lines;
    lines << QStringLiteral("GET ") + QString::fromLatin1(requestPath(path_)) +
                 QStringLiteral(" HTTP/") + RequestVer;
    if (!Accept.isEmpty()) lines << QStringLiteral("Accept: ") + Accept;
    if (!Agent.isEmpty()) lines << QStringLiteral("User-Agent: ") + Agent;
    lines << QStringLiteral("Host: ") + targetHost_;
    if (NoCache) lines << QStringLiteral("Pragma: no-cache");
    if (!user_.isEmpty())
        lines << QStringLiteral("Authorization: Basic ") +
                     QString::fromLatin1((user_ + u':' + password_).toUtf8().toBase64());
    emit OnBeforeHeaderSend(QStringLiteral("GET"), lines);
    QByteArray bytes;
    for (QString line : lines) {
        emit OnCommand(line);
        bytes += line.toUtf8() + "\r\n";
    }
    bytes += "\r\n";
    emit OnRequestHeaderEnd();
    socket_->send(bytes);
}

void THttpCli::socketDataAvailable() {
    progressed();
    while (true) {
        if (ending_ || closing_ != Closing::None ||
            (state_ != httpWaitingHeader && state_ != httpWaitingBody)) {
            // Nothing more is wanted from this connection.
            while (socket_->receive(buffer_.data(), kBufferSize) > 0) {
            }
            return;
        }
        if (state_ == httpWaitingBody) {
            const qint64 n = socket_->receive(buffer_.data(), kBufferSize);
            if (n <= 0) return;
            deliver(buffer_.data(), n);
            continue;
        }
        if (skipBytes_ > 0) {
            char scratch[kBufferSize];
            const qint64 n = socket_->receive(scratch, std::min<qint64>(skipBytes_, kBufferSize));
            if (n <= 0) return;
            skipBytes_ -= n;
            continue;
        }
        if (fill_ == kBufferSize) {
            fail(kBrokenResponseStatus, QStringLiteral("HTTP line too long"));
            return;
        }
        const qint64 n = socket_->receive(buffer_.data() + fill_, kBufferSize - fill_);
        if (n <= 0) return;
        anyResponseByte_ = true;
        fill_ += n;
        receiveHeader();
    }
}

void THttpCli::receiveHeader() {
    while (state_ == httpWaitingHeader && !ending_ && closing_ == Closing::None) {
        const auto* begin = buffer_.data();
        const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', fill_));
        if (!lf) return;
        const qsizetype used = lf - begin + 1;
        if (!headerBegun_) {
            headerBegun_ = true;
            emit OnHeaderBegin();
            if (ending_) return;
            if (startsWithNoCase(QByteArray(begin, used), "<html>")) {
                // No header at all: everything received is the page.
                setState(httpWaitingBody);
                startBody();
                return;
            }
        }
        QByteArray line(begin, used - 1);
        if (line.endsWith('\r')) line.chop(1);
        std::memmove(buffer_.data(), buffer_.data() + used, static_cast<size_t>(fill_ - used));
        fill_ -= used;
        headerLine(line);
    }
}

void THttpCli::headerLine(const QByteArray& line) {
    const bool first = headerBytes_ == 0;
    headerBytes_ += line.size() + 2;
    if (headerBytes_ > kMaxHeaderBytes) {
        fail(kBrokenResponseStatus, QStringLiteral("Header over %1 bytes").arg(kMaxHeaderBytes));
        return;
    }
    if (first) {
        if (!quintelle::net::isHttp1StatusLine(line)) {
            fail(kBrokenResponseStatus, QStringLiteral("Malformed status line"));
            return;
        }
        version_ = QString::fromLatin1(line.mid(5, 3));
        status_ = line.mid(9, 3).toInt();
        reason_ = QString::fromLatin1(line.mid(13));
    } else if (line.isEmpty()) {
        endOfHeader();
        return;
    } else if (const qsizetype colon = line.indexOf(':'); colon >= 0) {
        const QByteArray name = line.left(colon).toLower();
        qsizetype start = colon + 1;
        while (start < line.size() && line[start] == ' ') ++start;
        const QString value = QString::fromLatin1(line.mid(start));
        if (name == "location") {
            redirectDue_ = true;
            setRedirectTarget(value);
        } else if (name == "content-length") {
            bool ok = false;
            const qint64 length = value.trimmed().toLongLong(&ok);
            if (!ok || length < 0) {
                fail(kBrokenResponseStatus, QStringLiteral("Malformed Content-Length"));
                return;
            }
            bodyLength_ = length;
        } else if (name == "connection") {
            keepAliveRefused_ = value.trimmed().compare(u"close", Qt::CaseInsensitive) == 0;
        }
    }
    emit OnHeaderData();
}

void THttpCli::setRedirectTarget(const QString& location) {
    const QString portSuffix = port_ == u"80" ? QString() : u':' + port_;
    if (location.startsWith(u'/')) {
        path_ = location;
        newLocation_ = QStringLiteral("http://") + host_ + portSuffix + path_;
    } else if (!location.startsWith(QStringLiteral("http://"))) {
        QString base = path_;
        if (const qsizetype q = base.indexOf(u'?'); q >= 0) base.truncate(q);
        const qsizetype cut = std::max(base.lastIndexOf(u'/'), base.lastIndexOf(u':'));
        path_ = base.left(cut + 1) + location;
        newLocation_ = QStringLiteral("http://") + host_ + portSuffix + path_;
    } else {
        takeAddress(parseHttpAddress(location));
        newLocation_ = location;
    }
}

void THttpCli::endOfHeader() {
    if (version_ == u"1.1" && status_ == 100) {
        // An interim answer; the real one follows, perhaps already buffered.
        const qsizetype buffered = fill_;
        resetResponse();
        fill_ = buffered;
        anyResponseByte_ = true;
        return;
    }
    if (redirectDue_) {
        followRedirect();
        return;
    }
    emit OnHeaderEnd();
    if (ending_) return;
    if (status_ == 200 && ExpectedLength >= 0 && bodyLength_ >= 0 &&
        bodyLength_ != ExpectedLength) {
        lengthRefused_ = true;
        fail(kBrokenResponseStatus, QStringLiteral("The answer has %1 bytes, not the %2 expected")
                                        .arg(bodyLength_)
                                        .arg(ExpectedLength));
        return;
    }
    if (bodyLength_ == 0) {
        bodyEnded();
        if (closeWhenDone()) {
            closing_ = Closing::ToEnd;
            socket_->close();
        } else {
            endRequest();
        }
        return;
    }
    setState(httpWaitingBody);
    startBody();
    if (status_ >= 400 && state_ == httpWaitingBody && !ending_) {
        // An error page is kept only as far as it came with the header.
        closing_ = Closing::ToEnd;
        socket_->close();
    }
}

void THttpCli::followRedirect() {
    emit OnHeaderEnd();
    if (ending_) return;
    const qint64 bodyBuffered = fill_;
    fill_ = 0;
    if (++redirects_ > kMaxRedirects) {
        fail(kBrokenResponseStatus, QStringLiteral("Too many redirects"));
        return;
    }
    // The connection can carry the next request only when the server keeps it
    // and we know where the redirect's own body ends.
    const bool reuse = version_ == u"1.1" && !keepAliveRefused_ && bodyLength_ >= 0 &&
                       socket_->isConnected() && host_ == connHost_ && port_ == connPort_ &&
                       scheme_ == connScheme_;
    if (reuse) {
        const qint64 toSkip = std::max<qint64>(0, bodyLength_ - bodyBuffered);
        emit OnLocationChange();
        if (ending_) return;
        resetResponse();
        skipBytes_ = toSkip;
        reusedConnection_ = true;
        sendRequest();
        return;
    }
    closing_ = Closing::ForRedirect;
    socket_->close();
}

void THttpCli::startBody() {
    docBegun_ = false;
    const qsizetype n = fill_;
    fill_ = 0;
    if (n > 0) deliver(buffer_.data(), n);
}

void THttpCli::deliver(const char* data, qint64 length) {
    if (bodyLength_ >= 0) length = std::min(length, bodyLength_ - bodyReceived_);
    if (status_ == 200 && ExpectedLength >= 0 && bodyReceived_ + length > ExpectedLength) {
        lengthRefused_ = true;
        fail(kBrokenResponseStatus,
             QStringLiteral("The body runs past the %1 bytes expected").arg(ExpectedLength));
        return;
    }
    if (length > 0) {
        if (!docBegun_) {
            docBegun_ = true;
            emit OnDocBegin();
            if (ending_) return;
        }
        bodyReceived_ += length;
        if (ReceiveStream && ReceiveStream->write(data, length) != length) {
            fail(kFailedStatus,
                 QStringLiteral("can't write the body: %1").arg(ReceiveStream->errorString()));
            return;
        }
        emit OnDocData(data, static_cast<int>(length));
        if (ending_) return;
    }
    if (bodyLength_ >= 0 && bodyReceived_ == bodyLength_ && state_ == httpWaitingBody)
        bodyComplete();
}

void THttpCli::bodyEnded() {
    complete_ = status_ == 200 && (ExpectedLength < 0 || bodyReceived_ == ExpectedLength);
}

void THttpCli::bodyComplete() {
    bodyEnded();
    setState(httpBodyReceived);
    emit OnDocEnd();
    if (ending_) return;
    if (closeWhenDone()) {
        closing_ = Closing::ToEnd;
        socket_->close();
    } else {
        endRequest();
    }
}

bool THttpCli::closeWhenDone() const {
    return RequestVer == u"1.0" || version_ != u"1.1" || keepAliveRefused_ || status_ >= 400;
}

void THttpCli::socketClosed(int /*error*/) {
    if (ending_ || state_ == httpReady) return;
    progressed();
    if (closing_ == Closing::None) socketDataAvailable();  // the last bytes before the close
    if (ending_) return;
    const Closing closing = closing_;
    closing_ = Closing::None;
    if (closing == Closing::ForRedirect) {
        if (const qsizetype hash = newLocation_.indexOf(u'#'); hash >= 0)
            newLocation_.truncate(hash);
        resetResponse();
        emit OnLocationChange();
        if (ending_) return;
        connectAnew();
        return;
    }
    if (closing == Closing::ToEnd) {
        endRequest();
        return;
    }
    switch (state_) {
        case httpWaitingBody:
            if ((bodyLength_ >= 0 && bodyReceived_ < bodyLength_) ||
                (status_ == 200 && ExpectedLength >= 0 && bodyReceived_ < ExpectedLength)) {
                fail(kBrokenResponseStatus,
                     QStringLiteral("Connection closed before the whole body arrived"));
                return;
            }
            bodyEnded();
            if (docBegun_) emit OnDocEnd();
            endRequest();
            return;
        case httpWaitingHeader:
            if (anyResponseByte_) {
                fail(kBrokenResponseStatus, QStringLiteral("Connection closed inside the header"));
            } else if (reusedConnection_) {
                // The server dropped the connection we kept; ask again on a new one.
                connectAnew();
            } else {
                endRequest();  // nothing at all: status stays 0
            }
            return;
        case httpDnsLookup:
        case httpNotConnected:
            return;  // a report about a connection we already left
        default:
            endRequest();
    }
}

void THttpCli::fail(int status, const QString& reason) {
    if (state_ == httpReady || ending_) return;
    status_ = status;
    complete_ = false;
    reason_ = reason;
    socket_->abort();
    endRequest(status);
}

void THttpCli::endRequest(int error) {
    stall_.stop();
    deadline_.stop();
    ending_ = true;
    closing_ = Closing::None;
    // Ready comes from the event loop, after the handler that ended the request.
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            ending_ = false;
            setState(httpReady);
            emit OnRequestDone(httpGET, error);
        },
        Qt::QueuedConnection);
}

void THttpCli::Abort() {
    if (state_ == httpReady) {
        if (socket_->isConnected()) socket_->close();
        status_ = 200;
        reason_ = QStringLiteral("OK");
        return;
    }
    if (ending_) return;
    setState(httpAborting);
    socket_->cancelLookup();
    status_ = kFailedStatus;
    complete_ = false;
    reason_ = QStringLiteral("Connection aborted on request");
    socket_->abort();
    endRequest(3);
}

void THttpCli::RunGet() {
    GetASync();
    if (state_ != httpReady) {
        QEventLoop loop;
        connect(this, &THttpCli::OnRequestDone, &loop, &QEventLoop::quit);
        loop.exec();
        if (state_ != httpReady) {
            // The application was told to quit: it will not wait for us.
            Abort();
            QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        }
    }
    if (status_ >= 400) throw EHttpException(reason_, status_);
    if (status_ != 200 || !complete_)
        throw EHttpException(status_ == 0 ? QStringLiteral("No status line in the answer")
                                          : QStringLiteral("Not a whole 200 answer: %1 %2")
                                                .arg(status_)
                                                .arg(reason_)
                                                .trimmed(),
                             kBrokenResponseStatus);
}
