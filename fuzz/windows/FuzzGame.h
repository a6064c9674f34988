#pragma once
// The game states forged telegrams are sent into, rebuilt before every
// input, and the sequence player: datagrams from chosen loopback peers mixed
// with steps of the program's clocks. The listener stays off, so nothing
// leaves the process.

#include "FuzzWindows.h"

enum class TFuzzRole {
    Idle,       // no game, nobody in the table
    Client,     // player 2 of a game hosted by 127.0.0.1, waiting for the start
    HostLobby,  // hosting three players, not started
    HostGame,   // hosting three players, the game running
};

// Windows, state and role; false when the role could not be reached.
bool FuzzEnterRole(TFuzzRole role);
// Plays the rest of the input as a sequence of datagrams and clock steps.
void FuzzPlaySequence(TFuzzReader &in);
