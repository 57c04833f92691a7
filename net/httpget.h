#pragma once
// Fetches one address in the background and hands the response body back to
// the user-interface thread through OnDoneString or OnError.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class THTTPGet;

// What a transfer asks for: the component's published properties, with
// their defaults. A worker takes a copy when its transfer starts.
struct THTTPGetRequest {
    QString URL;
    // The server's port; an address text never carries one.
    int Port = 80;
    QString AcceptTypes = QStringLiteral("*/*");
    QString Agent = QStringLiteral("Quintelle HTTPGet");
    bool UseCache = false;
    bool BinaryData = false;
    QString UserName;
    QString Password;
    QString PostQuery;
    QString Referer;
    // A transfer with no progress for this long fails, and so does a body
    // larger than MaxBodyBytes: a hung or hostile server cannot keep the
    // component busy for good or exhaust memory.
    std::chrono::milliseconds StallLimit{60000};
    std::int64_t MaxBodyBytes = 8 * 1024 * 1024;
};

// One transfer on a worker thread of its own. It works on a private copy of
// the request, so later changes to the component do not touch it.
class THTTPGetThread {
  public:
    using Request = THTTPGetRequest;

    // The results, read by the component once the worker has finished.
    QByteArray Body;
    bool Success = false;
    std::int64_t BytesReceived = 0;
    std::int64_t ContentLength = 0;  // 0 when the answer had none

    explicit THTTPGetThread(Request request) : request_(std::move(request)) {}
    ~THTTPGetThread();
    THTTPGetThread(const THTTPGetThread&) = delete;
    THTTPGetThread& operator=(const THTTPGetThread&) = delete;

    // Starts the thread; when it is done it posts `done` to `owner`'s thread,
    // unless the owner has been detached by then.
    static void start(const std::shared_ptr<THTTPGetThread>& self, THTTPGet* owner);
    void stop() { stopRequested_.store(true); }
    bool stopRequested() const { return stopRequested_.load(); }
    // No event may reach the owner after this returns.
    void detach();
    void join();

    const Request& request() const { return request_; }

  private:
    void run();
    bool transfer();

    Request request_;
    std::atomic<bool> stopRequested_{false};
    std::mutex ownerMutex_;  // guards owner_ against the owner's destruction
    THTTPGet* owner_ = nullptr;
    std::thread thread_;
};

class THTTPGet : public QObject, public THTTPGetRequest {
    Q_OBJECT
  public:
    explicit THTTPGet(QObject* parent = nullptr);
    ~THTTPGet() override;

    bool WaitThread = false;

    std::function<void(THTTPGet* sender, const QByteArray& body)> OnDoneString;
    std::function<void(THTTPGet* sender)> OnError;

    // Ignored while a transfer runs: no second request, nothing queued.
    void StartFetch();
    // Asks the running transfer to stop; it then ends as failed.
    void AbortFetch();
    bool busy() const { return worker_ != nullptr; }

  private:
    friend class THTTPGetThread;
    void FetchDone(THTTPGetThread* worker);

    std::shared_ptr<THTTPGetThread> worker_;
};

namespace quintelle::net {

// How an address text is split: the scheme "http://" dropped in any letter
// case, the host up to the first "/", the object from there on. No "/" at
// all leaves the host empty and the whole text as the object.
struct SplitURL {
    QString host;
    QString object;
};
SplitURL splitURL(const QString& url);

// The object as it goes into the request line: bytes that cannot stand raw
// there (space, control characters, bytes above 127, "#") percent-encoded,
// everything else exactly as written.
QByteArray requestTarget(const QString& object);

}  // namespace quintelle::net
