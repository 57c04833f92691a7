#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <memory>
#include <stdexcept>

#include "net/streamsocket.h"

// The client's error: a message and a code (1 busy, 4 line too long,
// 5 unsupported version, else the response status).
class EHttpException : public std::runtime_error {
  public:
    EHttpException(const QString& message, int code)
        : std::runtime_error(message.toStdString()), ErrorCode(code) {}
    int ErrorCode;
};

namespace quintelle::net {

// An address split into what a request needs.
struct HttpAddress {
    QString scheme = QStringLiteral("http");
    QString user;
    QString password;
    QString host;
    QString port = QStringLiteral("80");
    QString path = QStringLiteral("/");
};

HttpAddress parseHttpAddress(const QString& url);

// "HTTP/1.0 DDD" or "HTTP/1.1 DDD", alone or followed by a space and the
// reason: the only status lines our clients take ("HTTP/2 200" is not one).
bool isHttp1StatusLine(const QByteArray& line);

}  // namespace quintelle::net

// HTTP/1.0 client speaking the protocol itself over an event-driven socket;
// the body goes piece by piece into ReceiveStream. RunGet blocks the caller
// but keeps the event loop running.
//
// Every request is bounded, whatever the server does: it fails after
// StallLimit without a sign from the other side, after Deadline in all, when
// a response's header lines pass kMaxHeaderBytes, and (when the caller knows
// it) when the body is longer or shorter than ExpectedLength.
class THttpCli : public QObject, private quintelle::net::SocketListener {
    Q_OBJECT
  public:
    enum THttpState {
        httpReady,
        httpNotConnected,
        httpDnsLookup,
        httpDnsLookupDone,
        httpConnected,
        httpWaitingHeader,
        httpWaitingBody,
        httpBodyReceived,
        httpAborting
    };
    enum THttpRequest { httpGET };

    static constexpr int kBufferSize = 8192;
    static constexpr int kMaxRedirects = 20;
    static constexpr int kMaxHeaderBytes = 64 * 1024;
    // Statuses of requests that end without a usable response.
    static constexpr int kFailedStatus = 404;
    static constexpr int kBrokenResponseStatus = 400;

    // On TWSocket.
    explicit THttpCli(QObject* parent = nullptr);
    // For tests: a scripted socket in place of TWSocket.
    THttpCli(std::unique_ptr<quintelle::net::StreamSocket> socket, QObject* parent = nullptr);
    ~THttpCli() override;

    QString URL;
    QString Agent = QStringLiteral("Mozilla/3.0 (compatible)");
    QString Accept = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    bool NoCache = false;
    QString RequestVer = QStringLiteral("1.0");
    QString LocalAddr = QStringLiteral("0.0.0.0");
    QIODevice* ReceiveStream = nullptr;
    int StallLimitMs = 30 * 1000;
    int DeadlineMs = 10 * 60 * 1000;
    // The body's length when the caller knows it; -1 when not.
    qint64 ExpectedLength = -1;

    int ResponseStatus() const { return status_; }
    QString ResponseReason() const { return reason_; }
    qint64 BodyLength() const { return bodyLength_; }
    qint64 BodyReceived() const { return bodyReceived_; }
    QString NewLocation() const { return newLocation_; }
    // A 200 answer whose body arrived whole.
    bool Complete() const { return complete_; }
    // The request failed because the answer announced or sent a body of
    // another length than ExpectedLength.
    bool LengthRefused() const { return lengthRefused_; }
    THttpState HttpState() const { return state_; }

    // Blocking GET of URL. Returns only when a 200 answer arrived whole;
    // otherwise throws EHttpException, with the status for a status of 400 or
    // more (every failure to connect or to get an answer in time is 404), and
    // 400 for any other answer, and when the client is busy.
    void RunGet();
    // Starts a GET and returns; OnRequestDone follows.
    void GetASync();
    void Abort();

  signals:
    void OnStateChange();
    void OnSessionConnected();
    void OnRequestHeaderBegin();
    void OnRequestHeaderEnd();
    void OnBeforeHeaderSend(const QString& method, QStringList& headers);
    void OnCommand(QString& line);
    void OnHeaderBegin();
    void OnHeaderData();
    void OnHeaderEnd();
    void OnLocationChange();
    void OnDocBegin();
    void OnDocData(const char* buffer, int length);
    void OnDocEnd();
    void OnRequestDone(THttpCli::THttpRequest request, int error);

  private:
    void socketLookupDone(int error) override;
    void socketConnected(int error) override;
    void socketDataAvailable() override;
    void socketClosed(int error) override;

    void setState(THttpState state);
    void resetResponse();
    void takeAddress(const quintelle::net::HttpAddress& address);
    void connectAnew();
    void sendRequest();
    void receiveHeader();
    void headerLine(const QByteArray& line);
    void endOfHeader();
    void setRedirectTarget(const QString& location);
    void followRedirect();
    void startBody();
    void deliver(const char* data, qint64 length);
    void bodyComplete();
    void fail(int status, const QString& reason);
    void endRequest(int error = 0);
    bool closeWhenDone() const;
    void progressed();
    void bodyEnded();

    std::unique_ptr<quintelle::net::StreamSocket> socket_;
    THttpState state_ = httpReady;
    int status_ = 0;
    QString reason_;
    QString version_;
    qint64 bodyLength_ = -1;
    qint64 bodyReceived_ = 0;
    QString newLocation_;
    bool complete_ = false;
    bool lengthRefused_ = false;
    qsizetype headerBytes_ = 0;
    QTimer stall_;
    QTimer deadline_;

    // The request under way.
    QString scheme_, host_, targetHost_, port_, path_, user_, password_;
    // What the socket is connected to, for reuse.
    QString connScheme_, connHost_, connPort_;
    bool reusedConnection_ = false;
    bool keepAliveRefused_ = false;

    std::array<char, kBufferSize> buffer_{};
    qsizetype fill_ = 0;
    bool headerBegun_ = false;
    bool anyResponseByte_ = false;
    bool docBegun_ = false;
    bool redirectDue_ = false;
    int redirects_ = 0;
    qint64 skipBytes_ = 0;  // a reused connection's redirect body still to come
    enum class Closing { None, ForRedirect, ToEnd } closing_ = Closing::None;
    bool ending_ = false;
};
