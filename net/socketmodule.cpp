#include "net/socketmodule.h"

#include <QMetaObject>
#include <QObject>

#include "platform/module.h"

namespace quintelle::net {
namespace {

// Stands in for the module's socket until the first lookup loads it, then
// passes every call down and every report up.
class ModuleSocket : public QObject, public StreamSocket, private SocketListener {
  public:
    explicit ModuleSocket(QStringList candidates) : candidates_(std::move(candidates)) {}

    void lookup(const QString& host) override {
        if (StreamSocket* s = loaded()) {
            s->lookup(host);
            return;
        }
        // Reported all the same, from the event loop, so the caller goes on
        // to connect and tells the reason.
        ++generation_;
        QMetaObject::invokeMethod(
            this,
            [this, generation = generation_] {
                if (generation == generation_) socketLookupDone(0);
            },
            Qt::QueuedConnection);
    }
    void cancelLookup() override {
        ++generation_;
        if (socket_) socket_->cancelLookup();
    }
    bool connectTo(quint16 port, const QString& localAddress) override {
        return socket_ && socket_->connectTo(port, localAddress);
    }
    bool isConnected() const override { return socket_ && socket_->isConnected(); }
    qint64 receive(char* buffer, qint64 max) override {
        return socket_ ? socket_->receive(buffer, max) : 0;
    }
    void send(const QByteArray& bytes) override {
        if (socket_) socket_->send(bytes);
    }
    void close() override {
        if (socket_) socket_->close();
    }
    void abort() override {
        ++generation_;
        if (socket_) socket_->abort();
    }
    QString errorText(int error) const override {
        if (socket_) return socket_->errorText(error);
        return QStringLiteral("the network module did not load (%1)").arg(reason_);
    }

  private:
    StreamSocket* loaded() {
        if (!socket_ && !tried_) {
            tried_ = true;
            auto factory = reinterpret_cast<StreamSocketFactory>(
                platform::openModule(candidates_, kStreamSocketEntry, reason_));
            if (factory) {
                socket_.reset(factory());
                socket_->setListener(this);
            } else {
                qWarning("Downloads fail: the network module did not load (%s)",
                         qPrintable(reason_));
            }
        }
        return socket_.get();
    }

    void socketLookupDone(int error) override {
        if (listener()) listener()->socketLookupDone(error);
    }
    void socketConnected(int error) override {
        if (listener()) listener()->socketConnected(error);
    }
    void socketDataAvailable() override {
        if (listener()) listener()->socketDataAvailable();
    }
    void socketClosed(int error) override {
        if (listener()) listener()->socketClosed(error);
    }

    const QStringList candidates_;
    bool tried_ = false;
    QString reason_;
    quint64 generation_ = 0;  // drops a stand-in report overtaken by a later call
    std::unique_ptr<StreamSocket> socket_;
};

}  // namespace

std::unique_ptr<StreamSocket> moduleSocket(QStringList candidates) {
    return std::make_unique<ModuleSocket>(std::move(candidates));
}

std::unique_ptr<StreamSocket> moduleSocket() {
    return moduleSocket(platform::moduleCandidates(kNetworkModuleFile));
}

}  // namespace quintelle::net
