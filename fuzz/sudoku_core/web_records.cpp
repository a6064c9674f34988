// Replies of the internet game server: a body as it arrives, its poll
// number and every record of it.
#include "FuzzKit.h"
#include "net/UWeb_Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzReader in(data, size);
    const uint8_t how = in.Byte();
    const QByteArray body = in.Rest();
    const QString text = how & 1 ? WebReplyText(body) : QString::fromLatin1(body);
    const TWebPollReply poll = DecodeWebPollReply(text);
    const TWebReply reply = DecodeWebReply(how & 2 ? poll.Records : text);
    for (const TWebRecord &r : reply.Records)
        (void)WebVersionLess(r.Text, r.Text2);
    TWebRecord one;
    QString error;
    (void)DecodeWebRecord(text, one, error);
    return 0;
}
