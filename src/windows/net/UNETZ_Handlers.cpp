// The protocol's senders and handlers, by the part of the game they serve.
// The dispatcher (UNETZ_Transport.cpp) hands each received telegram to the
// handler its kind names in the table in UNETZ.cpp; a sender fills Tel and
// hands it to the sender pattern (SendToAll, SendToPlayer, SendToServer,
// SendDatagram), which also runs the local path while the listener is off.
#include "net/UNETZ.h"
