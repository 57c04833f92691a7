#pragma once
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpSocket>

#include "net/streamsocket.h"

// The stream socket on Qt's event loop: non-blocking name lookup, connection
// attempts over every address the name has (so "localhost" works whichever
// family answers), keep-alive on, and an abort that drops unsent data.
class TWSocket : public QObject, public quintelle::net::StreamSocket {
    Q_OBJECT
  public:
    explicit TWSocket(QObject* parent = nullptr);
    ~TWSocket() override;

    void lookup(const QString& host) override;
    void cancelLookup() override;
    bool connectTo(quint16 port, const QString& localAddress) override;
    bool isConnected() const override;
    qint64 receive(char* buffer, qint64 max) override;
    void send(const QByteArray& bytes) override;
    void close() override;
    void abort() override;
    QString errorText(int error) const override;

  private:
    void lookedUp(const QList<QHostAddress>& addresses, bool failed);
    void tryNextAddress();
    void connectionFailed();
    void connected();
    void disconnected();

    QTcpSocket socket_;
    int lookupId_ = -1;
    // Reports still queued for an earlier connection are dropped.
    quint64 generation_ = 0;
    QList<QHostAddress> addresses_;
    qsizetype next_ = 0;
    quint16 port_ = 0;
    QHostAddress local_;
    bool connecting_ = false;
    bool open_ = false;
    int lastError_ = 0;
    QString lastErrorText_;
};
