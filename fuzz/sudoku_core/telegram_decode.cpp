// One datagram through the telegram decoder, and a decoded telegram back
// through the encoder: the encoding must decode to the same fields.
#include "net/UNETZ_Telegram.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char *>(data), qsizetype(size));
    TTelegram tel;
    const TWireStatus status = DecodeTelegram(datagram, tel);
    (void)WireStatusText(status);
    if (status != TWireStatus::Ok)
        return 0;
    (void)TelegramFieldsInRange(tel);
    (void)tel.Text();
    const QByteArray ack = EncodeAcknowledgement(tel);
    if (ack.size() != kTelegramHeadSize)
        abort();
    const QByteArray again = EncodeTelegram(tel);
    TTelegram back;
    if (DecodeTelegram(again, back) != TWireStatus::Ok)
        abort();
    if (back.Aktion != tel.Aktion || back.TAN != tel.TAN || back.Loop != tel.Loop || back.ACK != tel.ACK ||
        back.Gid != tel.Gid || back.x != tel.x || back.y != tel.y || back.a != tel.a || back.b != tel.b ||
        back.z != tel.z)
        abort();
    if (tel.ACK != 0 && tel.Data != 0 && back.TextData() != tel.TextData())
        abort();
    return 0;
}
