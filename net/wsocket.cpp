#include "net/wsocket.h"

#include <QHostInfo>
#include <QMetaObject>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace {
// Error numbers are Qt's socket error plus one, so 0 stays "no error".
int errorNumber(QAbstractSocket::SocketError error) {
    return static_cast<int>(error) + 1;
}
}  // namespace

TWSocket::TWSocket(QObject* parent) : QObject(parent) {
    connect(&socket_, &QTcpSocket::connected, this, &TWSocket::connected);
    connect(&socket_, &QTcpSocket::disconnected, this, &TWSocket::disconnected);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        lastError_ = e == QAbstractSocket::RemoteHostClosedError ? 0 : errorNumber(e);
        lastErrorText_ = socket_.errorString();
        if (connecting_) connectionFailed();
    });
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        if (open_ && listener()) listener()->socketDataAvailable();
    });
}

TWSocket::~TWSocket() {
    cancelLookup();
    open_ = false;
    connecting_ = false;
    socket_.abort();
}

void TWSocket::lookup(const QString& host) {
    cancelLookup();
    addresses_.clear();
    QHostAddress numeric;
    if (numeric.setAddress(host) || host.isEmpty()) {
        // Nothing to look up; still reported from the event loop.
        const bool failed = host.isEmpty();
        QMetaObject::invokeMethod(
            this,
            [this, numeric, failed, generation = generation_] {
                if (generation != generation_) return;
                lookedUp(failed ? QList<QHostAddress>{} : QList<QHostAddress>{numeric}, failed);
            },
            Qt::QueuedConnection);
        return;
    }
    lookupId_ = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        lookupId_ = -1;
        lookedUp(info.addresses(), info.error() != QHostInfo::NoError);
    });
}

void TWSocket::lookedUp(const QList<QHostAddress>& addresses, bool failed) {
    addresses_ = addresses;
    if (listener()) listener()->socketLookupDone(failed || addresses_.isEmpty() ? 1 : 0);
}

void TWSocket::cancelLookup() {
    ++generation_;
    if (lookupId_ >= 0) QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
}

bool TWSocket::connectTo(quint16 port, const QString& localAddress) {
    if (addresses_.isEmpty() || port == 0) {
        lastError_ = errorNumber(QAbstractSocket::UnsupportedSocketOperationError);
        lastErrorText_ = port == 0 ? QStringLiteral("Invalid port") : QStringLiteral("No address");
        return false;
    }
    local_ = QHostAddress(QHostAddress::Any);
    if (!localAddress.isEmpty() && !local_.setAddress(localAddress)) {
        lastError_ = errorNumber(QAbstractSocket::SocketAddressNotAvailableError);
        lastErrorText_ = QStringLiteral("Invalid local address");
        return false;
    }
    port_ = port;
    next_ = 0;
    ++generation_;
    connecting_ = true;
    tryNextAddress();
    return true;
}

void TWSocket::tryNextAddress() {
    const QHostAddress address = addresses_[next_++];
    socket_.abort();
    if (local_ != QHostAddress(QHostAddress::Any) && local_ != QHostAddress(QHostAddress::AnyIPv4))
        socket_.bind(local_);
    socket_.connectToHost(address, port_);
}

void TWSocket::connectionFailed() {
    if (next_ < addresses_.size()) {
        // Qt is still inside its error report; the next attempt starts after it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (connecting_) tryNextAddress();
            },
            Qt::QueuedConnection);
        return;
    }
    connecting_ = false;
    const int error = lastError_ ? lastError_ : errorNumber(QAbstractSocket::UnknownSocketError);
    QMetaObject::invokeMethod(
        this,
        [this, error, generation = generation_] {
            if (generation == generation_ && listener()) listener()->socketConnected(error);
        },
        Qt::QueuedConnection);
}

void TWSocket::connected() {
    connecting_ = false;
    open_ = true;
    lastError_ = 0;
    socket_.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    if (listener()) listener()->socketConnected(0);
}

void TWSocket::disconnected() {
    if (!open_) return;
    open_ = false;
    const int error = lastError_;
    // Qt reports a close we asked for from inside close(); listeners hear of
    // it from the event loop like every other report.
    QMetaObject::invokeMethod(
        this,
        [this, error, generation = generation_] {
            if (generation == generation_ && listener()) listener()->socketClosed(error);
        },
        Qt::QueuedConnection);
}

bool TWSocket::isConnected() const {
    return open_ && socket_.state() == QAbstractSocket::ConnectedState;
}

qint64 TWSocket::receive(char* buffer, qint64 max) {
    if (!socket_.isOpen()) return 0;
    const qint64 n = socket_.read(buffer, max);
    return n < 0 ? 0 : n;
}

void TWSocket::send(const QByteArray& bytes) {
    socket_.write(bytes);
}

void TWSocket::close() {
    connecting_ = false;
    if (socket_.state() == QAbstractSocket::UnconnectedState) {
        if (open_) disconnected();
        return;
    }
    socket_.disconnectFromHost();
}

void TWSocket::abort() {
    cancelLookup();
    ++generation_;
    connecting_ = false;
    open_ = false;
#ifdef Q_OS_UNIX
    // A zero linger makes the close a reset: unsent data is dropped instead
    // of still trickling out after we gave up on the connection.
    if (socket_.state() == QAbstractSocket::ConnectedState) {
        const linger hard{1, 0};
        ::setsockopt(static_cast<int>(socket_.socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                     sizeof hard);
    }
#endif
    socket_.abort();
}

QString TWSocket::errorText(int error) const {
    if ((error < 0 || error == lastError_) && !lastErrorText_.isEmpty()) return lastErrorText_;
    return QStringLiteral("Socket error");
}
