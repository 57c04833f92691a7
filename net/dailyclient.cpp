#include "net/dailyclient.h"

#include <algorithm>

#include "net/server.h"

namespace quintelle::net {

namespace {

// A server's own text is shown only when it is one short printable line.
QString plainLine(const std::string& text) {
    const QString line = QString::fromUtf8(text).simplified();
    const bool printable = std::all_of(line.begin(), line.end(), [](QChar c) {
        return c.isPrint() && c.category() != QChar::Other_Format;
    });
    return printable && line.size() <= 160 ? line : QString();
}

}  // namespace

QString dailyRefusalText(const daily::Failure& failure) {
    const std::string& e = failure.error;
    if (e == "too-many")
        return QStringLiteral("Too many Daily Deal rounds were opened from this address. "
                              "Please try again later.");
    if (e == "day-over")
        return QStringLiteral("The day of this Daily Deal is over; a new deal is out.");
    if (e == "unavailable")
        return QStringLiteral("The Daily Deal is not available at the moment. "
                              "Please try again later.");
    if (e == "unknown-session" || e == "finished")
        return QStringLiteral("The server no longer knows this round.");
    if (e == "out-of-turn" || e == "illegal-cell")
        return QStringLiteral("The server did not accept the placement.");
    const QString own = plainLine(failure.message);
    return own.isEmpty() ? QStringLiteral("The Daily Deal server refused the request.")
                         : QStringLiteral("The Daily Deal server refused the request: %1").arg(own);
}

DailyClient::DailyClient(QObject* parent) : DailyClient(parent, Bounds{}) {}

DailyClient::DailyClient(QObject* parent, Bounds bounds)
    : QObject(parent), bounds_(bounds) {
    newFetch();
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &DailyClient::askWhereTheRoundStands);
}

DailyClient::~DailyClient() = default;

void DailyClient::newFetch() {
    fetch_ = std::make_unique<THTTPGet>();
    fetch_->setObjectName(QStringLiteral("dailyfetch"));
    fetch_->Deadline = bounds_.deadline;
    fetch_->StallLimit = bounds_.stall;
    fetch_->MaxBodyBytes = bounds_.maxBody;
    fetch_->OnDoneString = [this](THTTPGet*, const QByteArray& body) {
        if (busy()) answered(body);
    };
    fetch_->OnError = [this](THTTPGet* sender) {
        if (busy()) refused(sender->LastResult());
    };
}

void DailyClient::open(const QString& name) {
    abandon();
    session_.clear();
    pending_ = Pending::Open;
    send(std::string(daily::kSessionPath), daily::format(daily::Open{name.toStdString(), {}}));
}

void DailyClient::place(int move, int cell) {
    move_ = move;
    cell_ = cell;
    resumes_ = 0;
    pending_ = Pending::Place;
    send(std::string(daily::kPlacePath), daily::format(daily::Place{session_, move, cell}));
}

void DailyClient::abandon() {
    pending_ = Pending::None;
    pause_.stop();
    // A fetch under way is stopped and detached: its late answer reaches no one.
    if (fetch_->busy()) newFetch();
}

void DailyClient::send(const std::string& path, const std::string& form) {
    fetch_->PostQuery = QString::fromStdString(form);
    aimAtVendor(*fetch_, QString::fromStdString(path));
    fetch_->StartFetch();
}

void DailyClient::askWhereTheRoundStands() {
    pending_ = Pending::Resume;
    send(std::string(daily::kSessionPath), daily::format(daily::Open{{}, session_}));
}

void DailyClient::answered(const QByteArray& body) {
    auto read = daily::parseReply(std::string_view(body.constData(), size_t(body.size())));
    if (std::holds_alternative<std::string>(read)) {
        fail(QStringLiteral("The Daily Deal server sent an answer this program cannot read."));
        return;
    }
    const daily::Reply& reply = std::get<daily::Reply>(read);
    if (const auto* failure = std::get_if<daily::Failure>(&reply)) {
        fail(dailyRefusalText(*failure));
        return;
    }
    if (const auto* deal = std::get_if<daily::Deal>(&reply)) {
        if (pending_ == Pending::Open) {
            session_ = deal->session;
        } else if (deal->session != session_) {
            fail(QStringLiteral("The Daily Deal server answered for another round."));
            return;
        } else if (pending_ == Pending::Resume && deal->move == move_) {
            // The lost placement never arrived: send it again.
            pending_ = Pending::Place;
            send(std::string(daily::kPlacePath), daily::format(daily::Place{session_, move_, cell_}));
            return;
        } else if (deal->move != move_ + 1) {
            fail(QStringLiteral("The Daily Deal server's round does not match this one."));
            return;
        }
    } else if (pending_ == Pending::Open || move_ != daily::kCards) {
        fail(QStringLiteral("The Daily Deal server ended the round early."));
        return;
    }
    finish(reply);
}

void DailyClient::refused(const THTTPGetResult& result) {
    const bool answered = result.Status >= 400 && result.Status < 500;
    if (pending_ != Pending::Open && !answered) {
        lost(result.Error);
        return;
    }
    if (result.Status >= 400) {
        auto read = daily::parseReply(
            std::string_view(result.Body.constData(), size_t(result.Body.size())));
        const auto* reply = std::get_if<daily::Reply>(&read);
        const auto* failure = reply ? std::get_if<daily::Failure>(reply) : nullptr;
        fail(failure ? dailyRefusalText(*failure)
                     : QStringLiteral("The Daily Deal server refused the request (%1 %2).")
                           .arg(result.Status)
                           .arg(result.Reason.left(60)));
        return;
    }
    fail(QStringLiteral("No usable answer came from the Daily Deal server (%1). "
                        "Please check the connection and try again.")
             .arg(result.Error));
}

void DailyClient::lost(const QString& why) {
    if (resumes_ >= bounds_.resumes) {
        fail(QStringLiteral("The connection to the Daily Deal server was lost (%1); "
                            "this round cannot be finished.")
                 .arg(why));
        return;
    }
    pause_.start(bounds_.firstPause * (1 << resumes_));
    ++resumes_;
}

void DailyClient::finish(const daily::Reply& reply) {
    pending_ = Pending::None;
    if (const auto* deal = std::get_if<daily::Deal>(&reply)) {
        if (handlers_.dealt) handlers_.dealt(*deal);
    } else if (const auto* result = std::get_if<daily::Result>(&reply)) {
        if (handlers_.over) handlers_.over(*result);
    }
}

void DailyClient::fail(const QString& why) {
    pending_ = Pending::None;
    if (handlers_.failed) handlers_.failed(why);
}

}  // namespace quintelle::net
