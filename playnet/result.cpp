// Names of the result codes.
#include "playnet/result.h"

namespace playnet {

const char* ResultName(Result r) {
    switch (r) {
        case Result::Ok:
            return "Ok";
        case Result::NoMessages:
            return "NoMessages";
        case Result::BufferTooSmall:
            return "BufferTooSmall";
        case Result::NotInitialized:
            return "NotInitialized";
        case Result::ConnectFailed:
            return "ConnectFailed";
        case Result::NoSuchSession:
            return "NoSuchSession";
        case Result::WrongPassword:
            return "WrongPassword";
        case Result::SessionFull:
            return "SessionFull";
        case Result::AlreadyOpen:
            return "AlreadyOpen";
        case Result::NoSession:
            return "NoSession";
        case Result::InvalidPlayer:
            return "InvalidPlayer";
        case Result::InvalidParams:
            return "InvalidParams";
        case Result::Timeout:
            return "Timeout";
        case Result::SessionLost:
            return "SessionLost";
        case Result::ProtocolError:
            return "ProtocolError";
        case Result::UnknownApplication:
            return "UnknownApplication";
        case Result::StartFailed:
            return "StartFailed";
    }
    return "Unknown";
}

}  // namespace playnet
