#pragma once
// Fetches one address in the background and hands the response body back to
// the user-interface thread through OnDoneString or OnError. Only a 2xx answer
// whose body arrived whole (as long as its Content-Length says, when it says)
// counts as done; everything else, an error page included, is an error, and
// LastResult() tells the status, the server's reason and our own.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
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
    // A transfer with no progress for StallLimit fails, so does one not done
    // within Deadline, one whose header passes kMaxHeaderBytes and one whose
    // body passes MaxBodyBytes: a hung, dripping or hostile server can keep
    // the component busy for a bounded time only, and cannot exhaust memory.
    std::chrono::milliseconds StallLimit{20000};
    std::chrono::milliseconds Deadline{40000};
    std::int64_t MaxBodyBytes = 8 * 1024 * 1024;
    static constexpr std::int64_t kMaxHeaderBytes = 64 * 1024;

    bool operator==(const THTTPGetRequest&) const = default;
};

// How a transfer ended.
struct THTTPGetResult {
    QString URL;           // of the request it answers
    bool Success = false;  // a 2xx answer with a whole, non-empty body
    int Status = 0;        // the server's status; 0 when no answer came
    QString Reason;        // the reason of the server's status line ("Too Many Requests")
    QByteArray Body;       // as much as arrived, within MaxBodyBytes
    QString Error;         // why it failed, in words; empty on success
};

// One transfer on a worker thread of its own. It works on a private copy of
// the request, so later changes to the component do not touch it.
class THTTPGetThread {
  public:
    using Request = THTTPGetRequest;

    // Read by the component once the worker has finished.
    THTTPGetResult Result;

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
    // The error text, empty when the transfer succeeded.
    QString transfer();

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

    // Starts a transfer of the current properties. While one runs, the same
    // request joins it (one request, one answer: a double click posts once),
    // and a different one waits its turn: nothing is dropped.
    void StartFetch();
    // Stops the running transfer, which then ends as failed, and drops the
    // requests waiting their turn.
    void AbortFetch();
    bool busy() const { return worker_ != nullptr; }
    // How the last transfer ended; its events read it from here.
    const THTTPGetResult& LastResult() const { return result_; }

  private:
    friend class THTTPGetThread;
    void launch(const THTTPGetRequest& request);
    void FetchDone(THTTPGetThread* worker);

    std::shared_ptr<THTTPGetThread> worker_;
    std::deque<THTTPGetRequest> waiting_;
    THTTPGetResult result_;
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
