// The telegram's wire form: byte layouts, texts, malformed datagrams and the
// ranges a receiver accepts.
#include "net/UNETZ_Telegram.h"

#include <QtTest>

namespace {
TTelegram sample(int32_t aktion, int32_t ack, uint8_t data, const QString &text = QString())
{
    TTelegram t;
    t.Aktion = aktion;
    t.TAN = 500;
    t.Loop = 3;
    t.ACK = ack;
    t.RetryCount = 100;
    t.Gid = -1;
    t.x = 1;
    t.y = 2;
    t.a = 255;
    t.b = -2;
    t.z = 9;
    t.Data = data;
    t.SetText(text);
    return t;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// The first 48 bytes of sample(): every field little-endian.
QByteArray sampleHead(int32_t aktion, const char *ack, const char *data)
{
    QByteArray h;
    h += QByteArray(reinterpret_cast<const char *>(&aktion), 4); // the test machine is little-endian too
    h += hex("f4010000 03000000");
    h += hex(ack);
    h += hex("64000000 ffffffff 01000000 02000000 ff000000 feffffff 09000000");
    h += hex(data);
    h += hex("000000");
    return h;
}
} // namespace

class TstTelegram : public QObject {
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<int>("ack");
        QTest::addColumn<int>("data");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("asAck");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("without text") << 1 << 0 << QString() << false << sampleHead(119, "01000000", "00");
        QTest::newRow("text not sent without Data")
            << 1 << 0 << QString("Grüße") << false << sampleHead(119, "01000000", "00");
        QTest::newRow("with text") << 1 << 1 << QString("Grüße") << false
                                   << sampleHead(119, "01000000", "01") + hex("05 4772fcdf65") + QByteArray(30, '\0');
        QTest::newRow("unreliable with text")
            << -1 << 1 << QString("A") << false
            << sampleHead(119, "ffffffff", "01") + hex("01 41") + QByteArray(34, '\0');
        QTest::newRow("empty text") << 1 << 1 << QString() << false
                                    << sampleHead(119, "01000000", "01") + QByteArray(36, '\0');
        QTest::newRow("acknowledgement of a text telegram")
            << 1 << 1 << QString("Grüße") << true << sampleHead(119, "00000000", "00");
    }
    void layout()
    {
        QFETCH(int, ack);
        QFETCH(int, data);
        QFETCH(QString, text);
        QFETCH(bool, asAck);
        QFETCH(QByteArray, expected);
        const TTelegram t = sample(119, ack, uint8_t(data), text);
        const QByteArray wire = asAck ? EncodeAcknowledgement(t) : EncodeTelegram(t);
        QCOMPARE(wire.size(), expected.size());
        QCOMPARE(wire.toHex(' '), expected.toHex(' '));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("ack");
        QTest::addColumn<int>("data");
        QTest::addColumn<QString>("text");
        QTest::newRow("reliable, no text") << 1 << 0 << QString();
        QTest::newRow("reliable, text") << 1 << 1 << QString("Spieler~127.0.0.1");
        QTest::newRow("single, text") << -1 << 1 << QString("äöüß€…");
        QTest::newRow("35 characters") << 1 << 1 << QString(35, QChar('x'));
    }
    void roundTrip()
    {
        QFETCH(int, ack);
        QFETCH(int, data);
        QFETCH(QString, text);
        const TTelegram t = sample(akChat, ack, uint8_t(data), text);
        TTelegram back;
        QCOMPARE(DecodeTelegram(EncodeTelegram(t), back), TWireStatus::Ok);
        QCOMPARE(back.Aktion, t.Aktion);
        QCOMPARE(back.TAN, t.TAN);
        QCOMPARE(back.Loop, t.Loop);
        QCOMPARE(back.ACK, t.ACK);
        QCOMPARE(back.RetryCount, t.RetryCount);
        QCOMPARE(back.Gid, t.Gid);
        QCOMPARE(back.x, t.x);
        QCOMPARE(back.y, t.y);
        QCOMPARE(back.a, t.a);
        QCOMPARE(back.b, t.b);
        QCOMPARE(back.z, t.z);
        QCOMPARE(back.Data, t.Data);
        QCOMPARE(back.Text(), data ? text : QString());
    }

    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("umlauts") << QString("Grüße") << hex("4772fcdf65");
        QTest::newRow("euro and ellipsis") << QString("€…") << hex("8085");
        QTest::newRow("not in the code page") << QString("Ω") << QByteArray("?");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("cut to 35") << QString(40, QChar('a')) << QByteArray(35, 'a');
        QTest::newRow("cut after encoding")
            << QString(34, QChar('a')) + QString("€ü") << QByteArray(34, 'a') + hex("80");
    }
    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        TTelegram t;
        t.SetText(text);
        QCOMPARE(t.TextData().toHex(), bytes.toHex());
        QCOMPARE(int(t.TextLength), int(bytes.size()));
        // A shorter text replaces a longer one completely.
        t.SetText(QString("ab"));
        QCOMPARE(t.TextData(), QByteArray("ab"));
        QCOMPARE(QByteArray(t.TextBytes + 2, kTelegramTextMax - 2), QByteArray(kTelegramTextMax - 2, '\0'));
    }

    void malformed_data()
    {
        QTest::addColumn<int>("ack");
        QTest::addColumn<int>("data");
        QTest::addColumn<int>("size");   // bytes kept (or padded to)
        QTest::addColumn<int>("offset"); // a byte to overwrite, -1 none
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("status");
        const int ok = int(TWireStatus::Ok);
        QTest::newRow("empty") << 1 << 0 << 0 << -1 << 0 << int(TWireStatus::TooShort);
        QTest::newRow("47 bytes") << 1 << 0 << 47 << -1 << 0 << int(TWireStatus::TooShort);
        QTest::newRow("48 bytes") << 1 << 0 << 48 << -1 << 0 << ok;
        QTest::newRow("longer than needed") << 1 << 0 << 100 << -1 << 0 << ok;
        QTest::newRow("text telegram of 83 bytes") << 1 << 1 << 83 << -1 << 0 << int(TWireStatus::TextMissing);
        QTest::newRow("single with text of 48 bytes") << -1 << 1 << 48 << -1 << 0 << int(TWireStatus::TextMissing);
        QTest::newRow("acknowledgement with Data, 48 bytes") << 0 << 1 << 48 << -1 << 0 << ok;
        QTest::newRow("text length 35") << 1 << 1 << 84 << 48 << 35 << ok;
        QTest::newRow("text length 36") << 1 << 1 << 84 << 48 << 36 << int(TWireStatus::TextTooLong);
        QTest::newRow("text length 255") << -1 << 1 << 84 << 48 << 255 << int(TWireStatus::TextTooLong);
        QTest::newRow("ACK 2") << 1 << 0 << 48 << 12 << 2 << int(TWireStatus::BadAck);
        QTest::newRow("ACK -2") << 1 << 0 << 48 << 12 << 0xfe << int(TWireStatus::BadAck);
        QTest::newRow("Data 7 counts as set") << 1 << 1 << 84 << 44 << 7 << ok;
    }
    void malformed()
    {
        QFETCH(int, ack);
        QFETCH(int, data);
        QFETCH(int, size);
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(int, status);
        QByteArray wire = EncodeTelegram(sample(akChat, ack, uint8_t(data), QString("Grüße")));
        if (offset == 12 && value == 0xfe)
            wire.replace(12, 4, hex("feffffff"));
        else if (offset >= 0)
            wire[offset] = char(value);
        wire = wire.left(size);
        if (wire.size() < size)
            wire.append(QByteArray(size - wire.size(), '\0'));

        TTelegram tel;
        tel.Aktion = 4711; // must survive a rejected datagram
        const TWireStatus got = DecodeTelegram(wire, tel);
        QCOMPARE(int(got), status);
        if (got != TWireStatus::Ok) {
            QCOMPARE(tel.Aktion, 4711);
            QVERIFY(!WireStatusText(got).isEmpty());
        } else {
            QCOMPARE(tel.Aktion, int32_t(akChat));
            QCOMPARE(int(tel.Data), data ? 1 : 0);
            // An acknowledgement never carries a text.
            if (ack == 0)
                QCOMPARE(int(tel.TextLength), 0);
        }
    }

    void ranges_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<int>("gid");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("z");
        QTest::addColumn<int>("a");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("109 entry") << 109 << 2 << 1 << 9 << 5 << 0 << true;
        QTest::newRow("109 Gid 0") << 109 << 0 << 1 << 1 << 5 << 0 << false;
        QTest::newRow("109 Gid 9") << 109 << 9 << 1 << 1 << 5 << 0 << false;
        QTest::newRow("109 x 0") << 109 << 2 << 0 << 1 << 5 << 0 << false;
        QTest::newRow("109 y 10") << 109 << 2 << 1 << 10 << 5 << 0 << false;
        QTest::newRow("109 digit 0") << 109 << 2 << 1 << 1 << 0 << 0 << false;
        QTest::newRow("109 digit 10") << 109 << 2 << 1 << 1 << 10 << 0 << false;
        QTest::newRow("110 blink") << 110 << 3 << 4 << 4 << 4 << 0 << true;
        QTest::newRow("110 x -1") << 110 << 3 << -1 << 4 << 4 << 0 << false;
        QTest::newRow("106 every layer") << 106 << -1 << 5 << 5 << 5 << 0 << true;
        QTest::newRow("106 Gid -2") << 106 << -2 << 5 << 5 << 5 << 0 << false;
        QTest::newRow("106 Gid 0") << 106 << 0 << 5 << 5 << 5 << 0 << false;
        QTest::newRow("128 all cells") << 128 << 2 << 0 << 0 << 0 << 0 << true;
        QTest::newRow("128 y 10") << 128 << 2 << 1 << 10 << 0 << 0 << false;
        QTest::newRow("126 shared board") << 126 << 0 << 0 << 0 << 0 << 0 << true;
        QTest::newRow("126 Gid 9") << 126 << 9 << 0 << 0 << 0 << 0 << false;
        QTest::newRow("111 stats") << 111 << 8 << 0 << 0 << 0 << 0 << true;
        QTest::newRow("116 Gid -1") << 116 << -1 << -1 << 0 << 0 << 0 << false;
        QTest::newRow("120 id 1") << 120 << 1 << 0 << 0 << 0 << 0 << true;
        QTest::newRow("120 id 0") << 120 << 0 << 0 << 0 << 0 << 0 << false;
        QTest::newRow("105 slot 8") << 105 << 0 << 0 << 0 << 8 << 0 << true;
        QTest::newRow("105 slot 9") << 105 << 0 << 0 << 0 << 9 << 0 << false;
        QTest::newRow("107 phase 6") << 107 << 0 << 0 << 0 << 0 << 6 << true;
        QTest::newRow("107 phase 7") << 107 << 0 << 0 << 0 << 0 << 7 << false;
        QTest::newRow("113 limit 9") << 113 << 0 << 9 << 0 << 0 << 0 << true;
        QTest::newRow("113 limit 10") << 113 << 0 << 10 << 0 << 0 << 0 << false;
        QTest::newRow("130 marks 9") << 130 << 4 << 9 << 0 << 0 << 0 << true;
        QTest::newRow("130 marks -1") << 130 << 4 << -1 << 0 << 0 << 0 << false;
        QTest::newRow("123 part 4") << 123 << 0 << 0 << 0 << 4 << 0 << true;
        QTest::newRow("123 part 5") << 123 << 0 << 0 << 0 << 5 << 0 << false;
        QTest::newRow("119 chat from outside a game") << 119 << 0 << 0 << 0 << 0 << 0 << true;
        QTest::newRow("114 end of game") << 114 << 77 << 77 << 77 << 77 << 77 << true;
        QTest::newRow("unknown kind") << 108 << 99 << 99 << 99 << 99 << 99 << true;
    }
    void ranges()
    {
        QFETCH(int, aktion);
        QFETCH(int, gid);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, z);
        QFETCH(int, a);
        QFETCH(bool, accepted);
        TTelegram t;
        t.Aktion = aktion;
        t.Gid = gid;
        t.x = x;
        t.y = y;
        t.z = z;
        t.a = a;
        QCOMPARE(TelegramFieldsInRange(t), accepted);
    }

    // Every count of 111 and 126 lies on the board, whether the receiver
    // uses it or not; the scores of 111 stay within what a board can give.
    void countsAndScores_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("z");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("126 all counts at the edge") << 126 << 0 << 0 << 81 << 81 << 81 << true;
        QTest::newRow("126 open count 82") << 126 << 0 << 0 << 0 << 82 << 0 << false;
        QTest::newRow("126 wrong count 82") << 126 << 0 << 0 << 0 << 5 << 82 << false;
        QTest::newRow("126 wrong count -1") << 126 << 0 << 0 << 0 << 5 << -1 << false;
        QTest::newRow("126 shared-free count 500") << 126 << 0 << 0 << 500 << 5 << 0 << false;
        QTest::newRow("126 shared-free count -1") << 126 << 0 << 0 << -1 << 5 << 0 << false;
        QTest::newRow("111 a whole board, best score") << 111 << 972 << 81 << 0 << 729 << 0 << true;
        QTest::newRow("111 many errors") << 111 << 0 << 10 << 400 << 0 << 0 << true;
        QTest::newRow("111 found 2123") << 111 << 10 << 2123 << 0 << 0 << 0 << false;
        QTest::newRow("111 found 82") << 111 << 10 << 82 << 0 << 0 << 0 << false;
        QTest::newRow("111 found -1") << 111 << 10 << -1 << 0 << 0 << 0 << false;
        QTest::newRow("111 points 973") << 111 << 973 << 81 << 0 << 0 << 0 << false;
        QTest::newRow("111 points -1") << 111 << -1 << 1 << 0 << 0 << 0 << false;
        QTest::newRow("111 errors -1") << 111 << 0 << 1 << -1 << 0 << 0 << false;
        QTest::newRow("111 bonus 730") << 111 << 0 << 1 << 0 << 730 << 0 << false;
        QTest::newRow("111 bonus -1") << 111 << 0 << 1 << 0 << -1 << 0 << false;
    }
    void countsAndScores()
    {
        QFETCH(int, aktion);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, z);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(bool, accepted);
        TTelegram t;
        t.Aktion = aktion;
        t.Gid = 2;
        t.x = x;
        t.y = y;
        t.z = z;
        t.a = a;
        t.b = b;
        QCOMPARE(TelegramFieldsInRange(t), accepted);
    }

    void symbolsNeedNine()
    {
        TTelegram t;
        t.Aktion = akSymbols;
        t.SetText(QString("123456789"));
        QVERIFY(TelegramFieldsInRange(t));
        t.SetText(QString("12345678"));
        QVERIFY(!TelegramFieldsInRange(t));
    }

    void packedOptions_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("z");
        QTest::addColumn<int>("gid");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << 2 << 1 << 0 << 1 << 1 << 2 << true;
        QTest::newRow("bonus, random letters, import") << 19 << 123 << 0 << 0 << 0 << 4 << true;
        QTest::newRow("Bingo fields, random, when empty, 3") << 2 << 0 << 2123 << 1 << 1 << 1 << true;
        QTest::newRow("Bingo numbers, fixed, at once, 1") << 2 << 0 << 11 << 1 << 1 << 1 << true;
        QTest::newRow("limit 20") << 20 << 0 << 0 << 1 << 1 << 1 << false;
        QTest::newRow("level 4") << 0 << 4 << 0 << 1 << 1 << 1 << false;
        QTest::newRow("symbols +30") << 0 << 30 << 0 << 1 << 1 << 1 << false;
        QTest::newRow("y 200") << 0 << 200 << 0 << 1 << 1 << 1 << false;
        QTest::newRow("Bingo without refill mode") << 0 << 0 << 3 << 1 << 1 << 1 << false;
        QTest::newRow("Bingo 5 items") << 0 << 0 << 15 << 1 << 1 << 1 << false;
        QTest::newRow("Bingo change mode 3000") << 0 << 0 << 3013 << 1 << 1 << 1 << false;
        QTest::newRow("rating 0") << 0 << 0 << 0 << 1 << 1 << 0 << false;
        QTest::newRow("rating 5") << 0 << 0 << 0 << 1 << 1 << 5 << false;
        QTest::newRow("evaluation 2") << 0 << 0 << 0 << 2 << 1 << 1 << false;
        QTest::newRow("own boards -1") << 0 << 0 << 0 << 1 << -1 << 1 << false;
    }
    void packedOptions()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, z);
        QFETCH(int, gid);
        QFETCH(bool, accepted);
        QCOMPARE(PackedOptionsInRange(x, y, a, b, z, gid), accepted);
        TTelegram t;
        t.x = x;
        t.y = y;
        t.a = a;
        t.b = b;
        t.z = z;
        t.Gid = gid;
        for (int kind : {int(akOptions), int(akGameOffer)}) {
            t.Aktion = kind;
            QCOMPARE(TelegramFieldsInRange(t), accepted);
        }
    }

    void recordIsPlainValue()
    {
        static_assert(std::is_trivially_copyable_v<TTelegram>);
        static_assert(sizeof(TTelegram) <= 88);
    }
};

QTEST_APPLESS_MAIN(TstTelegram)
#include "tst_telegram.moc"
