#pragma once
// A scripted stand-in for the network: every request the client sends is
// answered with the next scripted response, cut into the scripted pieces, each
// piece reported from the event loop as the real socket would.
#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <deque>
#include <functional>

#include "net/streamsocket.h"

class FakeSocket : public QObject, public quintelle::net::StreamSocket {
  public:
    QList<QByteArray> responses;  // one per request; the last repeats
    std::function<qsizetype(qsizetype left)> pieceSize = [](qsizetype left) { return left; };
    bool closeAfterResponse = true;
    bool lookupFails = false;
    int connectError = 0;

    QByteArray sent;  // every request byte, in order
    int connections = 0;
    int requests = 0;

    void lookup(const QString&) override {
        later([this] { listener()->socketLookupDone(lookupFails ? 1 : 0); });
    }
    void cancelLookup() override { ++generation_; }
    bool connectTo(quint16, const QString&) override {
        ++connections;
        later([this] {
            open_ = connectError == 0;
            listener()->socketConnected(connectError);
        });
        return true;
    }
    bool isConnected() const override { return open_; }
    qint64 receive(char* buffer, qint64 max) override {
        const qint64 n = std::min<qint64>(max, received_.size());
        std::copy_n(received_.constData(), n, buffer);
        received_.remove(0, n);
        return n;
    }
    void send(const QByteArray& bytes) override {
        sent += bytes;
        if (responses.isEmpty()) return;
        const QByteArray& answer = responses[std::min<qsizetype>(requests, responses.size() - 1)];
        ++requests;
        pending_.push_back(answer);
        if (!delivering_) deliverNext();
    }
    void close() override {
        if (!open_) return;
        open_ = false;
        later([this] { listener()->socketClosed(0); });
    }
    void abort() override {
        ++generation_;
        open_ = false;
        received_.clear();
        pending_.clear();
        delivering_ = false;
    }
    QString errorText(int) const override { return QStringLiteral("Connection refused"); }

    // The server gives up: whatever it still had to say is dropped.
    void remoteClose() {
        pending_.clear();
        if (!open_) return;
        open_ = false;
        later([this] { listener()->socketClosed(0); });
    }
    bool idle() const { return !delivering_; }

  private:
    void later(std::function<void()> f) {
        QMetaObject::invokeMethod(
            this,
            [this, f = std::move(f), generation = generation_] {
                if (generation == generation_ && listener()) f();
            },
            Qt::QueuedConnection);
    }
    void deliverNext() {
        delivering_ = true;
        later([this] {
            if (!open_) {
                delivering_ = false;
                return;
            }
            while (!pending_.empty() && pending_.front().isEmpty()) pending_.pop_front();
            if (pending_.empty()) {
                delivering_ = false;
                if (closeAfterResponse) remoteClose();
                return;
            }
            QByteArray& answer = pending_.front();
            const qsizetype n = std::clamp<qsizetype>(pieceSize(answer.size()), 1, answer.size());
            received_ += answer.left(n);
            answer.remove(0, n);
            if (answer.isEmpty()) pending_.pop_front();
            listener()->socketDataAvailable();
            deliverNext();
        });
    }

    bool open_ = false;
    bool delivering_ = false;
    quint64 generation_ = 0;
    QByteArray received_;
    std::deque<QByteArray> pending_;
};
