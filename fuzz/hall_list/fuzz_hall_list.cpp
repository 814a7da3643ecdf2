// Reads the input as the body of an enumeration reply, as a hostile host could send it, and
// lists its halls as the hall screen does: at most ten, each shown as "name  ( n / m )" within
// its 255 characters, with counts that are never negative, ordered by kind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "lobby/session/hall_list.h"
#include "playnet/wire_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<playnet::EnumReplyFrame> reply =
        playnet::EnumReplyFrame::Decode(playnet::Body(data, size));
    if (!reply) return 0;
    zrt::HallList halls;
    for (const playnet::SessionDesc& s : reply->sessions) {
        const zrt::HallEntry hall = zrt::MakeHallEntry(s);
        FUZZ_CHECK(hall.text.size() <= zrt::kHallTextMax);
        FUZZ_CHECK(hall.kind == s.user[0] && hall.instance == s.instance);
        FUZZ_CHECK(zrt::HallKindText(hall.kind) != nullptr);
        const std::string name = s.name.c_str();  // the text shows the name up to a NUL
        FUZZ_CHECK(hall.text.compare(0, name.size(), name, 0, hall.text.size()) == 0);
        const size_t counts = hall.text.rfind("  ( ");
        if (counts != std::string::npos && counts >= name.size()) {
            long players = -1;
            long maximum = -1;
            if (std::sscanf(hall.text.c_str() + counts, "  ( %ld / %ld )", &players, &maximum) == 2)
                FUZZ_CHECK(players >= 0 && maximum >= 0);
        }
        if (!halls.add(hall)) break;
    }
    FUZZ_CHECK(halls.count() <= zrt::HallList::kMaxHalls);
    const std::vector<zrt::HallEntry> ordered = zrt::OrderHallsByKind(halls.entries());
    FUZZ_CHECK(zrt::SameHalls(halls.entries(), ordered));
    for (size_t i = 1; i < ordered.size(); ++i) FUZZ_CHECK(ordered[i - 1].kind >= ordered[i].kind);
    return 0;
}
