#pragma once
#include <QByteArray>
#include <QString>

namespace quintelle::net {

// What a stream socket reports back. Every report arrives from the event
// loop, never from inside a call on the socket, so a listener may call the
// socket again from any report.
class SocketListener {
  public:
    virtual ~SocketListener() = default;
    virtual void socketLookupDone(int error) = 0;
    virtual void socketConnected(int error) = 0;
    virtual void socketDataAvailable() = 0;
    virtual void socketClosed(int error) = 0;
};

// The event-driven TCP operations the HTTP client stands on. The real one is
// TWSocket; tests and the fuzz target script the other side with a fake.
class StreamSocket {
  public:
    virtual ~StreamSocket() = default;
    void setListener(SocketListener* listener) { listener_ = listener; }

    // Resolves a name (a numeric address is taken as it is) and reports
    // socketLookupDone.
    virtual void lookup(const QString& host) = 0;
    virtual void cancelLookup() = 0;
    // Connects to the looked-up addresses in turn, from `localAddress` when
    // it names one, and reports socketConnected. False when no attempt could
    // even start (nothing is reported then).
    virtual bool connectTo(quint16 port, const QString& localAddress) = 0;
    virtual bool isConnected() const = 0;
    // Up to `max` received bytes; 0 when none are waiting.
    virtual qint64 receive(char* buffer, qint64 max) = 0;
    virtual void send(const QByteArray& bytes) = 0;
    // Shuts down sending once everything queued is sent, then closes.
    virtual void close() = 0;
    // Closes at once, discarding what was not yet sent; reports nothing.
    virtual void abort() = 0;
    // The description of a reported error; -1 for the last failed call.
    virtual QString errorText(int error) const = 0;

  protected:
    SocketListener* listener() const { return listener_; }

  private:
    SocketListener* listener_ = nullptr;
};

}  // namespace quintelle::net
