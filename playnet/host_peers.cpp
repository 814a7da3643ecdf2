// Host: accepting connections and serving their frames (hello, enumeration, open, players,
// sends), and routing messages to players.
#include "playnet/host.h"

namespace playnet {

void Host::accept() {
    acceptor_->async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
        if (ec == asio::error::operation_aborted || !acceptor_->is_open()) return;
        if (ec) {
            // Out of descriptors, most likely: the connection stays in the backlog, so trying
            // again at once would spin. Pause, and let the other work of the thread go on.
            acceptLater();
            return;
        }
        onAccepted(std::move(socket));
        accept();
    });
}

void Host::acceptLater() {
    if (!acceptRetry_) acceptRetry_ = std::make_unique<asio::steady_timer>(io_);
    acceptRetry_->expires_after(std::chrono::milliseconds(options_.acceptRetryMs));
    acceptRetry_->async_wait([this](const asio::error_code& ec) {
        if (!ec && acceptor_ && acceptor_->is_open()) accept();
    });
}

void Host::onAccepted(asio::ip::tcp::socket socket) {
    asio::error_code ec;
    asio::ip::tcp::endpoint remote = socket.remote_endpoint(ec);
    if (ec) return;  // gone already; the socket closes with this scope
    std::string address = remote.address().to_string();
    if (options_.socketSendBuffer > 0)
        socket.set_option(asio::socket_base::send_buffer_size(options_.socketSendBuffer), ec);
    std::shared_ptr<void> ticket;
    if (options_.admit) {
        ticket = options_.admit(address);
        if (!ticket) return;  // refused: closed at once, before any byte is read
    }
    std::shared_ptr<Connection> conn;
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        LinkOptions link = options_.link;
        link.sendQueueLimit = std::min(link.sendQueueLimit, options_.sessionlessQueueLimit);
        link.helloFirst = true;
        conn = std::make_shared<Connection>(std::move(socket), link);
        Peer& peer = peers_[conn->Id()];
        peer.conn = conn;
        peer.address = std::move(address);
        peer.ticket = std::move(ticket);
        peer.backlog = std::make_shared<Backlog>();
        peer.backlog->conn = conn;
    }
    uint64_t id = conn->Id();
    conn->Start([this, id](FrameType type, Body body) { return onFrame(id, type, body); },
                [this, id](CloseReason reason) { onClosed(id, reason); });
}

bool Host::onFrame(uint64_t peerId, FrameType type, Body body) {
    std::lock_guard lock(mutex_);
    auto it = peers_.find(peerId);
    if (it == peers_.end()) return false;
    Peer& peer = it->second;
    if (peer.rejected) return true;  // whatever follows is not read
    if (!peer.hello) {
        if (type != FrameType::Hello) return false;
        std::optional<HelloFrame> hello = HelloFrame::Decode(body);
        if (!hello) return false;
        if (hello->version != kProtocolVersion) {
            peer.rejected = true;
            peer.conn->SendAndClose(
                ErrorFrame{WireError::VersionMismatch, "protocol version 1 only"}.Encode(),
                CloseReason::Garbage);
            return true;
        }
        peer.hello = true;
        peer.conn->Send(HelloFrame{}.Encode());
        return true;
    }
    switch (type) {
        case FrameType::EnumRequest: {
            std::optional<EnumRequestFrame> req = EnumRequestFrame::Decode(body);
            if (!req) return false;
            EnumReplyFrame reply;
            reply.token = req->token;
            reply.sessions = table_.Enumerate(req->application);
            peer.conn->Send(reply.Encode());
            return true;
        }
        case FrameType::OpenRequest:
            return handleOpen(peer, body);
        case FrameType::CreatePlayer:
            return handleCreatePlayer(peer, peerId, body);
        case FrameType::DestroyPlayer: {
            std::optional<DestroyPlayerFrame> f = DestroyPlayerFrame::Decode(body);
            if (!f) return false;
            const TablePlayer* p = table_.Player(f->player);
            if (p && p->owner == peerId) {
                removePlayerLocked(f->player, true);
                --peer.players;
            }
            return true;
        }
        case FrameType::Send:
            return handleSend(peer, peerId, body);
        default:
            // Hello twice, host-to-client frames, unknown types: a peer we cannot trust.
            return false;
    }
}

bool Host::handleOpen(Peer& peer, Body body) {
    std::optional<OpenRequestFrame> req = OpenRequestFrame::Decode(body);
    if (!req) return false;
    OpenReplyFrame reply;
    reply.token = req->token;
    if (peer.session) {
        reply.status = WireStatus::AlreadyOpen;
    } else {
        reply.status = table_.CheckOpen(req->instance, req->password);
        if (reply.status == WireStatus::Ok) {
            peer.session = req->instance;
            reply.session = *table_.Describe(req->instance);
            // Session traffic may come in bursts (a hall's state); the bound grows to its own.
            peer.conn->SetSendQueueLimit(options_.link.sendQueueLimit);
        }
    }
    peer.conn->Send(reply.Encode());
    return true;
}

bool Host::handleCreatePlayer(Peer& peer, uint64_t peerId, Body body) {
    std::optional<CreatePlayerFrame> req = CreatePlayerFrame::Decode(body);
    if (!req) return false;
    CreatePlayerReplyFrame reply;
    reply.token = req->token;
    const SessionConfig* config = peer.session ? table_.Config(*peer.session) : nullptr;
    if (!config) {
        reply.status = WireStatus::NotOpen;
    } else if (config->playersPerConnection != 0 && peer.players >= config->playersPerConnection) {
        reply.status = WireStatus::SessionFull;  // full as far as this connection goes
    } else {
        reply.status = table_.AddPlayer(*peer.session, req->name, peerId, reply.player);
    }
    peer.conn->Send(reply.Encode());
    if (reply.status != WireStatus::Ok) return true;
    ++peer.players;
    PlayerNoticeFrame notice;
    notice.kind = PlayerNoticeFrame::Created;
    notice.player = reply.player;
    notice.name = req->name;
    announceLocked(*peer.session, notice);
    HostEvent created =
        makeEvent(HostEvent::Kind::PlayerCreated, *peer.session, reply.player, 0, req->name);
    created.address = peer.address;
    raise(std::move(created));
    return true;
}

bool Host::handleSend(Peer& peer, uint64_t peerId, Body body) {
    ByteReader r(body.data(), body.size());
    PlayerId from = r.u32();
    PlayerId to = r.u32();
    uint32_t flags = r.u32();
    if (!r.ok()) return false;
    Body data = body.subspan(r.pos());
    const TablePlayer* p = table_.Player(from);
    // A player destroyed or a target gone meanwhile is a race, not garbage: drop quietly.
    if (!p || p->owner != peerId) return true;
    const TablePlayer* t = to == kAllPlayers ? nullptr : table_.Player(to);
    if (to != kAllPlayers && (!t || t->session != p->session)) return true;
    const SessionConfig* config = table_.Config(p->session);
    if (config && config->clientsReachHostOnly && (!t || t->owner != 0)) {
        refuseLocked(peer, from);
        return true;
    }
    routeLocked(p->session, from, to, flags, data.data(), data.size(), &peer);
    return true;
}

void Host::refuseLocked(Peer& peer, PlayerId from) {
    if (++peer.refused <= options_.refusedSendLimit || !peer.conn->IsOpen()) return;
    peer.conn->Close(CloseReason::Garbage);
    HostEvent e = makeEvent(HostEvent::Kind::SendsRefused, peer.session.value_or(Guid{}), 0, from);
    e.refused = peer.refused;
    raise(std::move(e));
}

void Host::onClosed(uint64_t peerId, CloseReason reason) {
    ++closedLinks_[static_cast<size_t>(reason)];
    std::lock_guard lock(mutex_);
    auto it = peers_.find(peerId);
    if (it == peers_.end()) return;
    peers_.erase(it);
    if (!running_) return;
    for (PlayerId id : table_.PlayersOwnedBy(peerId)) removePlayerLocked(id, true);
}

void Host::removePlayerLocked(PlayerId id, bool emitEvent) {
    std::optional<TablePlayer> p = table_.RemovePlayer(id);
    if (!p) return;
    PlayerNoticeFrame notice;
    notice.kind = PlayerNoticeFrame::Destroyed;
    notice.player = id;
    announceLocked(p->session, notice);
    if (emitEvent) raise(makeEvent(HostEvent::Kind::PlayerDestroyed, p->session, id, 0, p->name));
}

void Host::announceLocked(const Guid& session, PlayerNoticeFrame notice) {
    notice.currentPlayers = static_cast<uint32_t>(table_.PlayersOf(session).size());
    std::vector<uint8_t> frame = notice.Encode();
    for (auto& [id, peer] : peers_) {
        if (peer.session == session) peer.conn->Send(frame);
    }
}

void Host::routeLocked(const Guid& session, PlayerId from, PlayerId to, uint32_t flags,
                       const void* data, size_t size, Peer* sender, bool sheddable) {
    if (to != kAllPlayers) {
        deliverLocked(*table_.Player(to), from, flags, data, size, sender, sheddable);
    } else {
        for (PlayerId id : table_.PlayersOf(session)) {
            if (id != from)
                deliverLocked(*table_.Player(id), from, flags, data, size, sender, sheddable);
        }
    }
    scheduleFlushLocked();
}

void Host::deliverLocked(const TablePlayer& target, PlayerId from, uint32_t flags, const void* data,
                         size_t size, Peer* sender, bool sheddable) {
    if (target.owner == 0) {
        const auto* b = static_cast<const uint8_t*>(data);
        HostEvent e = makeEvent(HostEvent::Kind::Message, target.session, target.id, from);
        e.data.assign(b, b + size);
        if (!sender) {
            raise(std::move(e));
            return;
        }
        // A client's message waits for the host program; past the limit its connection is
        // not read until the program has caught up.
        Backlog& backlog = *sender->backlog;
        bool pause = false;
        {
            std::lock_guard lock(backlog.mutex);
            backlog.bytes += size + kEventCost;
            if (!backlog.paused && backlog.bytes > options_.pendingEventLimit) {
                backlog.paused = true;
                pause = true;
            }
        }
        if (pause) sender->conn->PauseReading();
        raise(std::move(e), sender->backlog);
        return;
    }
    auto it = peers_.find(target.owner);
    if (it == peers_.end()) return;
    Peer& peer = it->second;
    // The send header on the stack: the data is copied once, into the receiver's queue.
    uint8_t head[12];
    const uint32_t fields[3] = {from, target.id, flags};
    for (int f = 0; f < 3; ++f)
        for (int i = 0; i < 4; ++i) head[f * 4 + i] = static_cast<uint8_t>(fields[f] >> (8 * i));
    QueueResult q =
        peer.conn->Queue(static_cast<uint8_t>(FrameType::Deliver), head,
                         std::span<const uint8_t>(static_cast<const uint8_t*>(data), size),
                         sheddable ? options_.shedAbove : 0);
    if (q == QueueResult::Shed) ++shed_;
    if (q == QueueResult::Queued && !peer.flushDue) {
        peer.flushDue = true;
        flushDue_.push_back(target.owner);
    }
}

void Host::scheduleFlushLocked() {
    if (flushDue_.empty() || flushPosted_) return;
    flushPosted_ = true;
    asio::post(io_, [this] { flush(); });
}

void Host::flush() {
    {
        std::lock_guard lock(mutex_);
        flushPosted_ = false;
        for (uint64_t id : flushDue_) {
            auto it = peers_.find(id);
            if (it == peers_.end()) continue;
            it->second.flushDue = false;
            flushing_.push_back(it->second.conn);
        }
        flushDue_.clear();
    }
    for (const auto& conn : flushing_) conn->Flush();
    flushing_.clear();
}

}  // namespace playnet
