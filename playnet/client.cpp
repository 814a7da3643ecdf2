// Client: binding to a host, opening a session, players, sending and receiving.
#include "playnet/client.h"

#include "playnet/dialer.h"
#include "playnet/system_messages.h"
#include "playnet/wire_messages.h"

namespace playnet {
namespace {

Result fromWire(WireStatus s) {
    switch (s) {
        case WireStatus::Ok:
            return Result::Ok;
        case WireStatus::NoSuchSession:
            return Result::NoSuchSession;
        case WireStatus::WrongPassword:
            return Result::WrongPassword;
        case WireStatus::SessionFull:
            return Result::SessionFull;
        case WireStatus::AlreadyOpen:
            return Result::AlreadyOpen;
        case WireStatus::NotOpen:
            return Result::NoSession;
        case WireStatus::InvalidParams:
            return Result::InvalidParams;
    }
    return Result::ProtocolError;
}

}  // namespace

Client::Client(const ClientOptions& options)
    : options_(options),
      work_(asio::make_work_guard(io_)),
      enumerator_(io_, options.link, options.enumRefreshMs, options.requestTimeoutMs),
      thread_([this] { io_.run(); }) {}

Client::~Client() {
    Close();
    enumerator_.Stop();
    work_.reset();
    // Whatever is still pending (a connect in progress, closes) is dropped with the context;
    // the sockets close when their owners go.
    asio::post(io_, [this] { io_.stop(); });
    thread_.join();
}

Result Client::InitializeConnection(const std::string& host, uint16_t port) {
    std::vector<asio::ip::tcp::endpoint> endpoints = ResolveHost(host, port);
    if (endpoints.empty()) return Result::ConnectFailed;
    {
        std::lock_guard lock(mutex_);
        endpoints_ = endpoints;
        initialized_ = true;
    }
    enumerator_.SetHost(endpoints);
    return Result::Ok;
}

Result Client::EnumSessions(const Guid& application, std::vector<SessionDesc>& sessions,
                            int waitMs) {
    {
        std::lock_guard lock(mutex_);
        if (!initialized_) return Result::NotInitialized;
    }
    sessions = enumerator_.Enumerate(application, waitMs);
    return Result::Ok;
}

Result Client::RestartEnumSessions(const Guid& application, std::function<void()> firstAnswer) {
    {
        std::lock_guard lock(mutex_);
        if (!initialized_) return Result::NotInitialized;
    }
    enumerator_.Restart(application, std::move(firstAnswer));
    return Result::Ok;
}

void Client::ForgetEnumAnswer() {
    enumerator_.ForgetFirstAnswer();
}

void Client::StopEnumSessions() {
    enumerator_.Stop();
}

Result Client::Open(const Guid& instance, const std::string& password) {
    if (password.size() > kMaxNameLength) return Result::InvalidParams;
    std::vector<asio::ip::tcp::endpoint> endpoints;
    uint64_t epoch;
    {
        std::lock_guard lock(mutex_);
        if (!initialized_) return Result::NotInitialized;
        if (conn_ || opening_) return Result::AlreadyOpen;
        opening_ = true;
        endpoints = endpoints_;
        epoch = epoch_;
    }

    // Connect, bounded by the request time-out.
    struct DialResult {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        std::optional<asio::ip::tcp::socket> socket;
    };
    auto dial = std::make_shared<DialResult>();
    Dial(io_, endpoints, options_.requestTimeoutMs,
         [dial](std::optional<asio::ip::tcp::socket> socket) {
             std::lock_guard lock(dial->m);
             dial->socket = std::move(socket);
             dial->done = true;
             dial->cv.notify_all();
         });
    std::optional<asio::ip::tcp::socket> socket;
    {
        std::unique_lock lock(dial->m);
        // The dial ends itself at the time-out; the margin covers a busy io thread.
        dial->cv.wait_for(lock, std::chrono::milliseconds(options_.requestTimeoutMs + 1000),
                          [&] { return dial->done; });
        if (dial->done) socket = std::move(dial->socket);
    }
    if (!socket) {
        std::lock_guard lock(mutex_);
        opening_ = false;
        return Result::ConnectFailed;
    }

    auto conn = std::make_shared<Connection>(std::move(*socket), options_.link);
    uint32_t token;
    {
        std::lock_guard lock(mutex_);
        opening_ = false;
        if (epoch != epoch_) return Result::NoSession;  // closed meanwhile
        conn_ = conn;
        connId_ = conn->Id();
        open_ = false;
        lost_ = false;
        token = nextToken_++;
        awaiting_[token] = {FrameType::OpenReply, nullptr};
    }
    uint64_t id = conn->Id();
    conn->Start([this, id](FrameType t, Body b) { return onFrame(id, t, b); },
                [this, id](CloseReason) { onClosed(id); });
    conn->Send(HelloFrame{}.Encode());
    conn->Send(OpenRequestFrame{token, instance, password}.Encode());

    Result failure = Result::Timeout;
    std::optional<Reply> reply = waitReply(token, failure);
    std::optional<OpenReplyFrame> open;
    if (reply) open = OpenReplyFrame::Decode(reply->body);
    Result result = !reply ? failure : !open ? Result::ProtocolError : fromWire(open->status);

    std::lock_guard lock(mutex_);
    if (result == Result::Ok && conn_ == conn && !lost_) {
        open_ = true;
        desc_ = open->session;
        return Result::Ok;
    }
    if (result == Result::Ok) result = Result::SessionLost;
    if (conn_ == conn) {
        conn_.reset();
        connId_ = 0;
    }
    conn->Close(CloseReason::Local);
    return result == Result::SessionLost ? Result::ConnectFailed : result;
}

Result Client::CreatePlayer(const std::string& name, AutoResetEvent* event, PlayerId& id) {
    if (name.size() > kMaxNameLength) return Result::InvalidParams;
    std::shared_ptr<Connection> conn;
    uint32_t token;
    {
        std::lock_guard lock(mutex_);
        if (!conn_ || !open_) return Result::NoSession;
        if (lost_) return Result::SessionLost;
        conn = conn_;
        token = nextToken_++;
        // The io thread adds the player when the answer arrives, before any message for it.
        awaiting_[token] = {FrameType::CreatePlayerReply, event};
    }
    conn->Send(CreatePlayerFrame{token, name}.Encode());
    Result failure = Result::Timeout;
    std::optional<Reply> reply = waitReply(token, failure);
    if (!reply) return failure;
    std::optional<CreatePlayerReplyFrame> r = CreatePlayerReplyFrame::Decode(reply->body);
    if (!r) return Result::ProtocolError;
    if (r->status != WireStatus::Ok) return fromWire(r->status);
    id = r->player;
    return Result::Ok;
}

Result Client::DestroyPlayer(PlayerId id) {
    std::lock_guard lock(mutex_);
    if (!queues_.Has(id)) return Result::InvalidPlayer;
    queues_.RemovePlayer(id);
    if (conn_ && !lost_ && conn_->Send(DestroyPlayerFrame{id}.Encode())) leaving_.insert(id);
    return Result::Ok;
}

Result Client::Send(PlayerId from, PlayerId to, uint32_t flags, const void* data, size_t size) {
    if (size > kMaxMessageSize || (size > 0 && !data)) return Result::InvalidParams;
    std::shared_ptr<Connection> conn;
    {
        std::lock_guard lock(mutex_);
        if (!conn_ || !open_) return Result::NoSession;
        if (lost_) return Result::SessionLost;
        if (!queues_.Has(from)) return Result::InvalidPlayer;
        conn = conn_;
    }
    if (!conn->Send(MessageFrame::EncodeFrom(FrameType::Send, from, to, flags, data, size))) {
        return Result::SessionLost;
    }
    return Result::Ok;
}

Result Client::Receive(PlayerId& from, PlayerId& to, void* buffer, size_t& size) {
    return queues_.Pop(from, to, buffer, size);
}

Result Client::GetSessionDesc(SessionDesc& desc) const {
    std::lock_guard lock(mutex_);
    if (!conn_ || !open_) return Result::NoSession;
    desc = desc_;
    return lost_ ? Result::SessionLost : Result::Ok;
}

void Client::Close() {
    std::shared_ptr<Connection> conn;
    {
        std::unique_lock lock(mutex_);
        if (conn_ && !lost_) {
            for (PlayerId id : queues_.Players())
                if (conn_->Send(DestroyPlayerFrame{id}.Encode())) leaving_.insert(id);
            cv_.wait_for(lock, std::chrono::milliseconds(kLeaveWaitMs),
                         [&] { return leaving_.empty() || lost_; });
        }
        leaving_.clear();
        conn = std::move(conn_);
        conn_.reset();
        connId_ = 0;
        open_ = false;
        lost_ = false;
        ++epoch_;
        replies_.clear();
        awaiting_.clear();
        queues_.Clear();
        desc_ = SessionDesc{};
    }
    cv_.notify_all();
    if (conn) conn->Close(CloseReason::Local);
}

std::optional<Client::Reply> Client::waitReply(uint32_t token, Result& failure) {
    std::unique_lock lock(mutex_);
    uint64_t epoch = epoch_;
    cv_.wait_for(lock, std::chrono::milliseconds(options_.requestTimeoutMs),
                 [&] { return replies_.count(token) || lost_ || epoch != epoch_; });
    awaiting_.erase(token);  // an answer later than this finds nobody waiting
    auto it = replies_.find(token);
    if (it != replies_.end()) {
        Reply r = std::move(it->second);
        replies_.erase(it);
        return r;
    }
    failure = epoch != epoch_ ? Result::NoSession : lost_ ? Result::SessionLost : Result::Timeout;
    return std::nullopt;
}

bool Client::onFrame(uint64_t connId, FrameType type, Body body) {
    std::lock_guard lock(mutex_);
    if (connId != connId_) return false;  // a link we have left
    switch (type) {
        case FrameType::Hello: {
            std::optional<HelloFrame> hello = HelloFrame::Decode(body);
            return hello && hello->version == kProtocolVersion;
        }
        case FrameType::OpenReply:
        case FrameType::CreatePlayerReply: {
            ByteReader r(body.data(), body.size());
            uint32_t token = r.u32();
            if (!r.ok()) return false;
            std::optional<CreatePlayerReplyFrame> created;
            if (type == FrameType::CreatePlayerReply) {
                created = CreatePlayerReplyFrame::Decode(body);
                // Id 0 is the system's: a player given it would take system messages for its own.
                if (!created ||
                    (created->status == WireStatus::Ok && created->player == kSystemPlayer))
                    return false;
            }
            const bool grants = created && created->status == WireStatus::Ok;
            // One answer per request, of the request's kind. Nobody waits for any other (a
            // time-out, a second answer, an answer of the wrong kind): a player it grants must
            // not linger, and nothing of it is kept.
            auto awaited = awaiting_.find(token);
            if (awaited == awaiting_.end() || awaited->second.reply != type) {
                if (grants) conn_->Send(DestroyPlayerFrame{created->player}.Encode());
                return true;
            }
            if (grants) queues_.AddPlayer(created->player, awaited->second.event);
            awaiting_.erase(awaited);
            replies_[token] = Reply{type, std::vector<uint8_t>(body.begin(), body.end())};
            cv_.notify_all();
            return true;
        }
        case FrameType::Deliver: {
            std::optional<MessageFrame> m = MessageFrame::Decode(body);
            if (!m || m->from == kSystemPlayer) return false;
            queues_.Push(m->to, m->from, std::move(m->data));
            return true;
        }
        case FrameType::PlayerNotice: {
            std::optional<PlayerNoticeFrame> n = PlayerNoticeFrame::Decode(body);
            if (!n) return false;
            desc_.currentPlayers = n->currentPlayers;
            if (n->kind == PlayerNoticeFrame::Destroyed && leaving_.erase(n->player) > 0)
                cv_.notify_all();
            SystemMessage sys;
            sys.type =
                n->kind == PlayerNoticeFrame::Created ? kSysPlayerCreated : kSysPlayerDestroyed;
            sys.player = n->player;
            sys.name = n->name;
            queues_.PushToAll(kSystemPlayer, sys.Encode(), n->player);
            return true;
        }
        default:
            return false;  // an Error frame, or a frame only a client sends
    }
}

void Client::onClosed(uint64_t connId) {
    {
        std::lock_guard lock(mutex_);
        if (connId != connId_ || lost_) return;
        lost_ = true;
        if (open_) {
            SystemMessage lost;
            lost.type = kSysSessionLost;
            queues_.PushToAll(kSystemPlayer, lost.Encode());
        }
    }
    cv_.notify_all();
}

}  // namespace playnet
