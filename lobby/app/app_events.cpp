// Application-defined window events (constants only; see app_events.h).
#include "lobby/app/app_events.h"
