// Writes small seed inputs for the fuzz targets, made with the system's own encoders, into
// <fuzz folder>/<target>/corpus/. Usage: fuzz_seeds FUZZ_FOLDER
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lobby/data/profile_file.h"
#include "lobby/data/url_shortcut.h"
#include "lobby/net/account_messages.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/version_messages.h"
#include "lobby/session/lobby_messages.h"
#include "playnet/bytes.h"
#include "playnet/frame.h"
#include "playnet/launch_settings.h"
#include "playnet/system_messages.h"
#include "playnet/wire_messages.h"
#include "server/server_config.h"

namespace {

namespace fs = std::filesystem;
using namespace playnet;
using Bytes = std::vector<uint8_t>;

fs::path g_root;

void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path dir = g_root / target / "corpus";
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}
void Put(const std::string& target, const std::string& name, const std::string& text) {
    Put(target, name, Bytes(text.begin(), text.end()));
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes Le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
Bytes Le16(uint16_t v) {
    return {uint8_t(v), uint8_t(v >> 8)};
}
// The fuzz targets' placeholders: number n, GUID n.
constexpr uint32_t Ph(uint8_t n) {
    return 0xFFFFFF00u + n;
}
Guid PhGuid(uint8_t n) {
    Guid g;
    g.bytes.fill(uint8_t(0xA0 + n));
    return g;
}
Bytes Body(const Bytes& frame) {
    return Bytes(frame.begin() + 5, frame.end());
}

SessionDesc Desc(const std::string& name, uint32_t current, uint32_t max, uint32_t kind) {
    SessionDesc d;
    d.name = name;
    d.instance = PhGuid(0);
    d.application = PhGuid(1);
    d.currentPlayers = current;
    d.maxPlayers = max;
    d.user = {kind, 0, 0, 0};
    d.passwordRequired = true;
    return d;
}

void FrameSeeds() {
    const Bytes hello = HelloFrame{}.Encode();
    const Bytes enumReply =
        EnumReplyFrame{7, {Desc("Amateur Hall", 3, 50, 0), Desc("Gems", 1, 8, 10)}}.Encode();
    const Bytes deliver =
        MessageFrame{5, 6, 1, {1, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 'h', 'i', 0, 0}}.Encode(
            FrameType::Deliver);
    Put("frame", "hello", hello);
    Put("frame", "stream",
        Cat({hello, EncodeFrame(uint8_t(FrameType::Heartbeat), Bytes{}), enumReply, deliver,
             PlayerNoticeFrame{PlayerNoticeFrame::Created, 9, 4, "Boris"}.Encode(),
             ErrorFrame{WireError::ProtocolViolation, "no"}.Encode()}));
    Put("frame", "requests",
        Cat({EnumRequestFrame{1, PhGuid(1)}.Encode(),
             OpenRequestFrame{2, PhGuid(0), "VOLKEN"}.Encode(),
             OpenReplyFrame{2, WireStatus::Ok, Desc("Hall", 2, 0, 5)}.Encode(),
             CreatePlayerFrame{3, "Alice"}.Encode(),
             CreatePlayerReplyFrame{3, WireStatus::Ok, 12}.Encode(),
             DestroyPlayerFrame{12}.Encode()}));
    Put("frame", "bad_length", Cat({hello, Le32(0x20000), Bytes{1}}));
    Put("frame", "system_created", SystemMessage{kSysPlayerCreated, 12, "Clara"}.Encode());
    Put("frame", "system_lost", SystemMessage{kSysSessionLost, 0, ""}.Encode());
}

void HostSeeds() {
    auto send = [](uint32_t from, uint32_t to, const Bytes& data) {
        return MessageFrame{from, to, kSendGuaranteed, data}.Encode(FrameType::Send);
    };
    const Bytes chat = zrt::encodeChat({Ph(0), 0, "hello"});
    Put("host", "player_sends",
        Cat({Bytes{3}, send(Ph(0), Ph(1), chat), send(Ph(0), Ph(3), chat), send(Ph(0), Ph(2), chat),
             send(Ph(1), Ph(0), chat), CreatePlayerFrame{9, "Second"}.Encode(),
             DestroyPlayerFrame{Ph(0)}.Encode()}));
    Put("host", "enumerate",
        Cat({Bytes{1}, EnumRequestFrame{4, PhGuid(2)}.Encode(),
             EnumRequestFrame{5, PhGuid(0)}.Encode()}));
    Put("host", "open_both",
        Cat({Bytes{1}, OpenRequestFrame{6, PhGuid(1), ""}.Encode(),
             OpenRequestFrame{7, PhGuid(0), "pw"}.Encode(),
             CreatePlayerFrame{8, "Late"}.Encode()}));
    Put("host", "wrong_password",
        Cat({Bytes{1}, OpenRequestFrame{6, PhGuid(0), "PW"}.Encode(),
             CreatePlayerFrame{8, "X"}.Encode()}));
    Put("host", "old_version",
        Cat({Bytes{0}, HelloFrame{2}.Encode(), EnumRequestFrame{4, PhGuid(2)}.Encode()}));
    Put("host", "deliver_to_host",
        Cat({Bytes{2}, MessageFrame{1, 2, 0, {}}.Encode(FrameType::Deliver)}));
}

void ClientSeeds() {
    auto deliver = [](uint32_t from, const Bytes& data) {
        return MessageFrame{from, Ph(0), 0, data}.Encode(FrameType::Deliver);
    };
    Put("client", "honest_hall",
        Cat({Bytes{0}, deliver(77, zrt::encodeWelcome(77)),
             PlayerNoticeFrame{PlayerNoticeFrame::Created, 78, 3, "Boris"}.Encode(),
             deliver(78, zrt::encodeChat({78, 0, "hi"})),
             PlayerNoticeFrame{PlayerNoticeFrame::Destroyed, 78, 2, ""}.Encode(),
             EncodeFrame(uint8_t(FrameType::Heartbeat), Bytes{})}));
    Put("client", "stray_replies",
        Cat({Bytes{0}, CreatePlayerReplyFrame{99, WireStatus::Ok, 5}.Encode(),
             OpenReplyFrame{Ph(1), WireStatus::Ok, Desc("Again", 1, 2, 0)}.Encode(),
             deliver(0, {0x31, 0, 0, 0})}));
    Put("client", "raw_open",
        Cat({Bytes{1}, HelloFrame{}.Encode(),
             OpenReplyFrame{Ph(1), WireStatus::Ok, Desc("Hall", 1, 0, 5)}.Encode(),
             CreatePlayerReplyFrame{Ph(2), WireStatus::Ok, Ph(0)}.Encode(),
             deliver(77, zrt::encodeWelcome(77))}));
    Put("client", "raw_full",
        Cat({Bytes{1}, HelloFrame{}.Encode(),
             OpenReplyFrame{Ph(1), WireStatus::SessionFull, {}}.Encode()}));
    Put("client", "enumerate",
        Cat({Bytes{2}, HelloFrame{}.Encode(),
             EnumReplyFrame{Ph(3), {Desc("Amateur Hall", 3, 50, 0), Desc("Gems", 1, 8, 10)}}
                 .Encode(),
             EnumReplyFrame{1, {}}.Encode()}));
    Put("client", "error_frame",
        Cat({Bytes{2}, ErrorFrame{WireError::VersionMismatch, "version 1 only"}.Encode()}));
}

Bytes Message(const Bytes& m) {
    return Cat({Le16(uint16_t(m.size())), m});
}

void ReceiverSeeds() {
    zrt::PlayerEntry boris;
    boris.id = 501;
    boris.name = "Boris";
    boris.address = "10.0.0.2";
    boris.score = 1200;
    zrt::GroupCreatedMessage group{9, 501, false, false, 4, "Welcome", false};
    Put("receiver", "hall",
        Cat({Message(zrt::encodePlayerInfo(boris)), Message(zrt::encodeStateEnd()),
             Message(zrt::encodeGroupCreated(group)),
             Message(zrt::encodeChat({501, 0, "hello all"})),
             Message(zrt::encodeNews(std::string(600, 'n'))), Message(zrt::encodeGroupRemoved(9)),
             Message(zrt::encodePlayerLeft(501))}));
    Bytes big = zrt::encodeChat({501, 0, "big"});
    Put("receiver", "growing",
        Cat({Le16(2000), big, Le16(60000), Bytes{111, 0, 0, 0, 'x'}, Le16(3), Bytes{1, 2, 3}}));
    Put("receiver", "others",
        Cat({Le16(0xFFFF), Bytes{1}, Le16(0xFFFF), Bytes{0},
             Message(zrt::encodePlayerInfo(boris))}));
    Put("receiver", "lost", Cat({Message(zrt::encodePlayerInfo(boris)), Le16(0xFFFE)}));
}

void HallSeeds() {
    // Steps: 0x0s arrive, 0x1s leave, 0x2s retire, 0x3. time, 0x4s.. messages from slot s:
    // kind, pick, text width, text (see fuzz_hall.cpp).
    auto msg = [](uint8_t slot, uint8_t kind, uint8_t pick, const std::string& text) {
        Bytes b = {uint8_t(0x40 | slot), kind, pick, uint8_t(text.size() - 1)};
        b.insert(b.end(), text.begin(), text.end());
        return b;
    };
    Put("hall", "group_life",
        Cat({Bytes{0x00, 0x01, 0x02}, msg(0, 1, 0, "x"), msg(0, 2, 0x40, "Our group"),
             msg(1, 3, 0, "x"), msg(2, 6, 0, "x"), msg(1, 0, 0, "hi all"), msg(0, 5, 0, "10.0.0.1"),
             msg(2, 3, 0, "x"), Bytes{0x03, 0x10}, msg(1, 4, 0, "x"), Bytes{0x00}, Bytes{0x20},
             Bytes{0x11}}));
    Put("hall", "spoofing",
        Cat({Bytes{0x00, 0x01}, msg(0, 0x80 | 0, 1, "fake"), msg(1, 0x80 | 2, 0, "x"),
             msg(0, 8, 0, "Mallory"), msg(1, 9, 0, "x"), msg(1, 10, 3, "raw bytes")}));
    Put("hall", "capacity",
        Cat({Bytes{0x00, 0x01, 0x02, 0x03, 0x04}, msg(0, 1, 0, "x"), msg(0, 2, 2 << 2, "Two"),
             msg(1, 3, 0, "x"), msg(2, 3, 0, "x"), msg(3, 7, 0, "x"), msg(0, 2, 0, "again")}));
}

void SessionSeeds() {
    auto chunk = [](uint8_t selector, const Bytes& payload) {
        return Cat({Bytes{selector, uint8_t(payload.size())}, payload});
    };
    auto body = [](const Bytes& m) { return Bytes(m.begin() + 4, m.end()); };
    zrt::PlayerEntry boris;
    boris.id = 501;
    boris.name = "Boris";
    Put("session", "snapshot",
        Cat({chunk(0, body(zrt::encodeWelcome(7))), chunk(3, body(zrt::encodePlayerInfo(boris))),
             chunk(10, {}),
             chunk(5, body(zrt::encodeGroupCreated({9, 501, false, false, 255, "G", false}))),
             chunk(7, body(zrt::encodeGroupJoin({1000, 9}))), chunk(0xF3, {}),
             chunk(1, body(zrt::encodeChat({501, 1000, "psst"}))), chunk(0xF1, {}),
             chunk(0xF0, Le32(0x31))}));
}

void RequestSeeds() {
    zrt::NewAccountRequest account{"Alice", {}, "alice@example.org"};
    Put("requests", "new_then_login",
        Cat({Bytes{0x02}, Bytes{6}, Bytes{'A', 'l', 'i', 'c', 'e', 0}, Bytes(20, 0),
             Bytes{0x04, 0x00}, Bytes(20, 0), Bytes{1, 0}, Bytes{0x00, 0x04}, Bytes{0x00, 0x05}}));
    Put("requests", "raw_new_account", Cat({Bytes{0x00}, zrt::encodeNewAccountRequest(account)}));
    Put("requests", "raw_login",
        Cat({Bytes{0x00}, zrt::encodeLoginRequest({"Alice", {}, 3, 0, "secret"})}));
    Put("requests", "versions",
        Cat({Bytes{0x01}, zrt::encodeVersionRequest("ZR01"), Bytes{0x00},
             zrt::encodeDatabaseVersionRequest("ZR01"), Bytes{0x01},
             zrt::encodeVersionRequest("XX99")}));
}

void NetlinkSeeds() {
    Put("netlink", "version_reply", zrt::encodeVersionReply({1, "http://127.0.0.1/", "127.0.0.1"}));
    Put("netlink", "db_version_reply",
        zrt::encodeDatabaseVersionReply({1, "http://127.0.0.1/", "Welcome back"}));
    Put("netlink", "login_request", zrt::encodeLoginRequest({"Alice", {}, 3, 0, "secret"}));
    Put("netlink", "login_reply", zrt::encodeLoginReply(0, 2, {}));
    Put("netlink", "banner_record",
        zrt::encodeBannerRecord({"http://127.0.0.1/b.gif", 0, "http://127.0.0.1/", 0}));
    Put("netlink", "ladder_reply", zrt::encodeLadderReply({{"Alice", {}}, {"Boris", {}}}));
    Put("netlink", "new_account", zrt::encodeNewAccountRequest({"Clara", {}, "clara@example.org"}));
}

void FileSeeds() {
    Put("config", "default.toml", zrtserver::defaultConfigText());
    Put("config", "halls.toml",
        std::string("[server]\nlisten_address = \"10.0.0.1\"\nnews = \"Hi\"\n[halls]\nentry_news = "
                    "\"Be nice\"\n"
                    "message_rate = 5\n[[hall]]\nname = \"One\"\nkind = 10\nmax_players = 3\n"
                    "[[banner]]\npicture_url = \"http://h/b.gif\"\nclick_url = \"http://h/\"\n"));
    Put("server_txt", "crlf", "10.0.0.5\r\n");
    Put("server_txt", "name", "lobby.example.org\rrest");
    Put("server_txt", "no_line_end", "127.0.0.1");
    Put("registration", "written",
        "[Application]\nPath=/usr/games/"
        "zerathon\nFile=zrtgame\nGuid={5D1C0B9A-8E7F-4A6B-9C5D-3E2F1A0B9C8D}\n");
    Put("registration", "spaced",
        "[Application]\r\n Path = /opt/z \r\nFile=z\r\nGuid = "
        "{00112233-4455-6677-8899-aabbccddeeff}\r\n");
    Put("shortcut", "banner", zrt::UrlShortcutText("http://127.0.0.1/click"));
    Put("shortcut", "other_lines",
        "[InternetShortcut]\nIconIndex=0\nURL=https://example.org/a b\n");
    Put("ping", "probe", Bytes{0, 1, 0, 0, 0});
    Put("ping", "answer_long", Bytes{1, 0xFF, 0xFF, 0xFF, 0x7F, 9, 9});
    Put("banner_headers", "redirect",
        "HTTP/1.1 302 Found\r\nContent-Length: 0\r\nLocation: http://127.0.0.1/b.gif\r\n\r\n");
    Put("banner_headers", "spaced",
        "HTTP/1.1 301 Moved\r\nLocation:  http://h/x \t\r\nLocation: \r\n");
    Put("hall_list", "halls",
        Body(EnumReplyFrame{7,
                            {Desc("Amateur Hall", 3, 50, 0), Desc("Gemstone Hall", 1, 8, 10),
                             Desc(std::string(250, 'L'), 0, 0xFFFFFFFF, 2)}}
                 .Encode()));
    zrt::ProfileRecord profile;
    profile.setText(zrt::profile_offset::kPlayerName, zrt::profile_width::kPlayerName, "Alice");
    profile.setText(zrt::profile_offset::kStem, zrt::profile_width::kStem, "ALICE");
    profile.setText(zrt::profile_offset::kLoginName, zrt::profile_width::kLoginName, "alice");
    profile.setU16(zrt::profile_offset::kScore, 1000);
    const auto stored = zrt::ScrambleProfile(profile, 0x57);
    Put("profile", "alice", Bytes(stored.begin(), stored.end()));
    zrt::ProfileRecord plain;
    plain.setText(zrt::profile_offset::kStem, zrt::profile_width::kStem, "BORIS");
    const auto stored2 = zrt::ScrambleProfile(plain, 0xDF);
    Put("profile", "no_account", Bytes(stored2.begin(), stored2.end()));
}

ConnectionSettings LaunchSettings(bool host) {
    ConnectionSettings s;
    s.flags = host ? kConnectCreateSession : kConnectJoinSession;
    s.session.instance = PhGuid(0);
    s.session.application = PhGuid(1);
    s.session.maxPlayers = host ? 3 : 0;
    if (host) s.session.name = "Zerathon";
    s.playerShortName = "Alice";
    s.playerLongName = "Alice";
    s.serviceProvider = TcpServiceProvider();
    const Guid& sp = TcpServiceProvider();
    s.address.push_back({AddressKindServiceProvider(), Bytes(sp.bytes.begin(), sp.bytes.end())});
    const std::string inet = host ? std::string() : std::string("10.0.0.7");
    Bytes text(inet.begin(), inet.end());
    text.push_back(0);
    s.address.push_back({AddressKindInet(), text});
    return s;
}

void LaunchSeeds() {
    auto settings = [](bool host) {
        return EncodeFrame(uint8_t(LaunchFrame::Settings), LaunchSettings(host).Encode());
    };
    Put("launch_settings", "host", settings(true));
    Put("launch_settings", "member_and_more",
        Cat({settings(false), EncodeFrame(uint8_t(LaunchFrame::Settings), Bytes{1, 0})}));
    Put("launch_settings", "settings_body", LaunchSettings(false).Encode());
    Put("launch_settings", "lobby_message_body",
        LobbyMessage::System(kLobbySysAppTerminated).Encode());

    auto message = [](const LobbyMessage& m) {
        return EncodeFrame(uint8_t(LaunchFrame::LobbyMessage), m.Encode());
    };
    const Bytes read = message(LobbyMessage::System(kLobbySysConnectionSettingsRead));
    const Bytes succeeded = message(LobbyMessage::System(kLobbySysConnectSucceeded));
    const Bytes own = message({0, Bytes{'s', 'c', 'o', 'r', 'e', 0}});
    const Bytes terminated = message(LobbyMessage::System(kLobbySysAppTerminated));
    for (uint8_t lobbyWaits : {0, 1}) {
        const std::string suffix = lobbyWaits ? "_lobby_waits" : "";
        Put("launcher", "played" + suffix,
            Cat({Bytes{lobbyWaits}, read, succeeded, own, terminated, own}));
        Put("launcher", "failed" + suffix,
            Cat({Bytes{lobbyWaits}, read, message(LobbyMessage::System(kLobbySysConnectFailed)),
                 message(LobbyMessage::System(kLobbySysNewConnectionSettings)),
                 message(LobbyMessage::System(99))}));
        Put("launcher", "broken" + suffix,
            Cat({Bytes{lobbyWaits}, read, EncodeFrame(uint8_t(LaunchFrame::Settings), Bytes{}),
                 succeeded}));
    }
}

void BannerFetchSeeds() {
    Put("banner_fetch", "ok", "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nGIF89a-data");
    Put("banner_fetch", "redirect",
        "HTTP/1.1 302 Found\r\nLocation: http://@@/b.gif\r\nContent-Length: 0\r\n\r\n\n--\n"
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nGIF89\r\n0\r\n\r\n");
    Put("banner_fetch", "twice",
        "HTTP/1.1 301 Moved\r\nLocation:  http://@@/a \r\n\r\n\n--\n"
        "HTTP/1.1 303 See Other\r\nLocation: http://@@/b\r\n\r\n\n--\n"
        "HTTP/1.0 200 OK\r\n\r\nGIF");
    Put("banner_fetch", "not_found", "HTTP/1.0 404 Not Found\r\n\r\nnot here");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FUZZ_FOLDER\n");
        return 2;
    }
    g_root = argv[1];
    FrameSeeds();
    HostSeeds();
    ClientSeeds();
    ReceiverSeeds();
    HallSeeds();
    SessionSeeds();
    RequestSeeds();
    NetlinkSeeds();
    FileSeeds();
    LaunchSeeds();
    BannerFetchSeeds();
    return 0;
}
