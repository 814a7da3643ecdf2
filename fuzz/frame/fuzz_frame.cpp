// Cuts the input into frames with FrameDecoder, once whole and once in uneven pieces (both
// must give the same frames), and hands every frame's body to every frame decoder: what
// decodes must encode to a frame that decodes to the same encoding again. The whole input is
// also read as a system message.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "playnet/frame.h"
#include "playnet/system_messages.h"
#include "playnet/wire_messages.h"

namespace {

using namespace playnet;

struct Frame {
    uint8_t type;
    std::vector<uint8_t> body;
    bool operator==(const Frame&) const = default;
};

// The frames a decoder yields, fed `step` bytes at a time (0: all at once); `bad` tells
// whether the stream ended in garbage.
std::vector<Frame> Cut(const uint8_t* data, size_t size, size_t step, bool& bad) {
    FrameDecoder decoder;
    std::vector<Frame> frames;
    bad = false;
    size_t at = 0;
    while (at < size && !bad) {
        size_t n = step == 0 ? size : std::min(step + at % 7, size - at);
        decoder.Append(data + at, n);
        at += n;
        for (;;) {
            uint8_t type = 0;
            std::span<const uint8_t> body;
            FrameDecoder::Status st = decoder.Next(type, body);
            if (st == FrameDecoder::Status::NeedMore) break;
            if (st == FrameDecoder::Status::Bad) {
                bad = true;
                break;
            }
            FUZZ_CHECK(body.size() < kMaxFrameLength);
            frames.push_back({type, {body.begin(), body.end()}});
        }
    }
    return frames;
}

// The body of a whole encoded frame.
Body BodyOf(const std::vector<uint8_t>& frame) {
    FUZZ_CHECK(frame.size() >= kFramePrefixSize + 1);
    FUZZ_CHECK(frame.size() - kFramePrefixSize <= kMaxFrameLength);
    return Body(frame).subspan(kFramePrefixSize + 1);
}

// Decode, encode, decode, encode: both encodings must be equal.
template <class F, class Encode>
void Stable(Body body, Encode encode) {
    std::optional<F> first = F::Decode(body);
    if (!first) return;
    const std::vector<uint8_t> once = encode(*first);
    std::optional<F> second = F::Decode(BodyOf(once));
    FUZZ_CHECK(second);
    FUZZ_CHECK(encode(*second) == once);
}

void EveryDecoder(Body body) {
    auto plain = [](const auto& f) { return f.Encode(); };
    Stable<HelloFrame>(body, plain);
    Stable<ErrorFrame>(body, plain);
    Stable<EnumRequestFrame>(body, plain);
    Stable<EnumReplyFrame>(body, plain);
    Stable<OpenRequestFrame>(body, plain);
    Stable<OpenReplyFrame>(body, plain);
    Stable<CreatePlayerFrame>(body, plain);
    Stable<CreatePlayerReplyFrame>(body, plain);
    Stable<DestroyPlayerFrame>(body, plain);
    Stable<PlayerNoticeFrame>(body, plain);
    Stable<MessageFrame>(body, [](const MessageFrame& f) { return f.Encode(FrameType::Deliver); });
    if (auto m = MessageFrame::Decode(body)) FUZZ_CHECK(m->data.size() + 12 == body.size());
    if (auto e = EnumReplyFrame::Decode(body)) {
        for (const SessionDesc& d : e->sessions) FUZZ_CHECK(d.name.size() <= kMaxNameLength);
    }
}

void SystemMessages(const uint8_t* data, size_t size) {
    std::optional<SystemMessage> m = SystemMessage::Decode(data, size);
    if (!m) return;
    FUZZ_CHECK(m->name.size() <= kMaxNameLength);
    const std::vector<uint8_t> once = m->Encode();
    std::optional<SystemMessage> again = SystemMessage::Decode(once.data(), once.size());
    FUZZ_CHECK(again && again->Encode() == once);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool badWhole = false;
    bool badPieces = false;
    const std::vector<Frame> whole = Cut(data, size, 0, badWhole);
    const std::vector<Frame> pieces = Cut(data, size, 1 + size % 13, badPieces);
    FUZZ_CHECK(whole == pieces && badWhole == badPieces);
    for (const Frame& f : whole) EveryDecoder(f.body);
    SystemMessages(data, size);
    return 0;
}
