// Result: what every public call of the session layer reports. Failures are values, never
// exceptions.
#pragma once

namespace playnet {

enum class Result {
    Ok,
    NoMessages,          // Receive: the queue is empty
    BufferTooSmall,      // Receive: the size was set to what the message needs
    NotInitialized,      // no host address given yet
    ConnectFailed,       // the host could not be reached (or the name not resolved)
    NoSuchSession,       // no session with that instance id
    WrongPassword,       // the session's password differs
    SessionFull,         // the session already holds its maximum of players
    AlreadyOpen,         // a session is open already
    NoSession,           // the call needs an open session
    InvalidPlayer,       // the player id is not one of ours (or not in the session)
    InvalidParams,       // a message too large, a name too long, ...
    Timeout,             // the host did not answer in time
    SessionLost,         // the connection to the host has gone
    ProtocolError,       // the host answered something we do not understand
    UnknownApplication,  // Launcher: no application is registered under that GUID
    StartFailed,         // Launcher: the registered program could not be started
};

// A short English name, for logs and test output.
const char* ResultName(Result r);

}  // namespace playnet
