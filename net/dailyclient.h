#pragma once
// The game's side of the Daily Deal: opens a round of today's deal for a
// name and sends its placements, one request at a time, on a background
// fetch with tight bounds (a stalled, dripping or flooding server fails the
// request within seconds, an answer is at most a few KiB). A placement whose
// answer is lost asks the server where the round stands and carries on from
// there, a bounded number of times; then it says the round was lost.
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "data/dailyprotocol.h"
#include "net/httpget.h"

namespace quintelle::net {

class DailyClient : public QObject {
    Q_OBJECT
  public:
    // What the round's owner hears; exactly one of them answers each open
    // or place, on the user-interface thread.
    struct Handlers {
        std::function<void(const daily::Deal&)> dealt;
        std::function<void(const daily::Result&)> over;
        // In words for the player: why no round could be opened, or why the
        // round cannot go on.
        std::function<void(const QString& why)> failed;
    };

    // The bounds of one request. Loopback answers in milliseconds; a server
    // that needs more than this is treated as lost.
    struct Bounds {
        std::chrono::milliseconds deadline{8000};
        std::chrono::milliseconds stall{4000};
        std::int64_t maxBody = 4 * static_cast<std::int64_t>(daily::kMaxFormBytes);
        int resumes = 3;                       // attempts to find a lost placement's round
        std::chrono::milliseconds firstPause{250};  // before the first, doubling after
    };

    explicit DailyClient(QObject* parent = nullptr);
    DailyClient(QObject* parent, Bounds bounds);
    ~DailyClient() override;

    void setHandlers(Handlers handlers) { handlers_ = std::move(handlers); }
    // A new round of today's deal for `name`.
    void open(const QString& name);
    // Lays the card on offer at `cell` as placement `move` of the open round.
    void place(int move, int cell);
    // Drops whatever is under way; nothing is reported for it.
    void abandon();
    bool busy() const { return pending_ != Pending::None; }
    const std::string& session() const { return session_; }

  private:
    enum class Pending { None, Open, Place, Resume };
    void newFetch();
    void send(const std::string& path, const std::string& form);
    void answered(const QByteArray& body);
    void refused(const THTTPGetResult& result);
    void lost(const QString& why);
    void askWhereTheRoundStands();
    void finish(const daily::Reply& reply);
    void fail(const QString& why);

    Bounds bounds_;
    Handlers handlers_;
    std::unique_ptr<THTTPGet> fetch_;  // replaced when a request is dropped
    QTimer pause_;
    Pending pending_ = Pending::None;
    std::string session_;
    int move_ = 0, cell_ = 0;  // the placement under way
    int resumes_ = 0;
};

// The server's refusal in words a player can act on.
QString dailyRefusalText(const daily::Failure& failure);

}  // namespace quintelle::net
