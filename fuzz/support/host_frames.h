// What a host may send a client: the frame types of that direction, each of which must decode.
#pragma once

#include <cstdint>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "playnet/frame.h"
#include "playnet/wire_messages.h"

namespace zrtfuzz {

// Checks one frame a real Host sent; returns the Deliver frame's addressee (0 for others).
inline playnet::PlayerId CheckHostFrame(uint8_t type, const std::vector<uint8_t>& body) {
    using namespace playnet;
    const Body b(body);
    switch (static_cast<FrameType>(type)) {
        case FrameType::Hello:
            FUZZ_CHECK(HelloFrame::Decode(b));
            return 0;
        case FrameType::Heartbeat:
            FUZZ_CHECK(body.empty());
            return 0;
        case FrameType::Error:
            FUZZ_CHECK(ErrorFrame::Decode(b));
            return 0;
        case FrameType::EnumReply:
            FUZZ_CHECK(EnumReplyFrame::Decode(b));
            return 0;
        case FrameType::OpenReply:
            FUZZ_CHECK(OpenReplyFrame::Decode(b));
            return 0;
        case FrameType::CreatePlayerReply:
            FUZZ_CHECK(CreatePlayerReplyFrame::Decode(b));
            return 0;
        case FrameType::PlayerNotice:
            FUZZ_CHECK(PlayerNoticeFrame::Decode(b));
            return 0;
        case FrameType::Deliver: {
            std::optional<MessageFrame> m = MessageFrame::Decode(b);
            FUZZ_CHECK(m && m->from != kSystemPlayer && m->to != 0);
            FUZZ_CHECK(m->data.size() <= kMaxMessageSize);
            return m->to;
        }
        default:
            FUZZ_CHECK(!"a frame a host never sends");
            return 0;
    }
}

}  // namespace zrtfuzz
