#pragma once
// The telegram record every network message travels in. Its wire form
// (48 bytes, or 84 with text) is written and read field by field by the
// transport; this is only the in-memory record.

#include <QByteArray>
#include <cstdint>

struct TTelegram {
    int32_t Aktion = 0;     // telegram kind 101..130
    int32_t TAN = 0;        // queue slot index at the sender, echoed in the acknowledgement
    int32_t Loop = 0;       // destination slot 1..8 (acknowledgement: the queue to advance)
    int32_t ACK = 0;        // 1 acknowledgement wanted, 0 this is one, -1 unreliable
    int32_t RetryCount = 0; // sender's resend countdown
    int32_t Gid = 0;        // player number the telegram concerns (-1 none or all)
    int32_t x = 0;
    int32_t y = 0;
    int32_t a = 0;
    int32_t b = 0;
    int32_t z = 0;
    uint8_t Data = 0;       // 0 no text, 1 a text follows
    QByteArray Text;        // Windows-1252 bytes, at most 35
};
