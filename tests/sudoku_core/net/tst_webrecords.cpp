// The internet game's wire texts: request targets byte for byte, the password
// digest, poll replies and every reply record, malformed ones included.
#include "net/UWeb_Records.h"

#include <QtTest>

namespace {
const TWebCredentials kWho{QStringLiteral("Max Mü"), QStringLiteral("0cc175b9c0f1b6a831c399e269772661")};
const QString kBase = QStringLiteral("http://127.0.0.1:8080/sudoku/");

// A short text of what a record carries, so the table can name it exactly.
QString describe(const TWebRecord &r)
{
    QString s = QString(QLatin1Char(r.Letter));
    switch (r.Letter) {
    case 'A':
        return s + QStringLiteral(" min=%1 cur=%2 game=%3").arg(r.Text, r.Text2).arg(r.Number);
    case 's':
    case 'c':
        return s + QStringLiteral(" %1").arg(r.Number);
    case 'I':
        return s + QStringLiteral(" %1 '%2'").arg(r.Slot).arg(r.Text);
    case 'X':
        return s + QStringLiteral(" %1").arg(r.Slot);
    case 'F':
    case 'f':
        return s + QStringLiteral(" %1 %2 %3 %4").arg(r.X).arg(r.Y).arg(r.Z).arg(r.Owner);
    case 'D':
        return s + QStringLiteral(" %1 %2 %3 %4 %5")
                       .arg(r.Slot)
                       .arg(r.Points)
                       .arg(r.Found)
                       .arg(r.Errors)
                       .arg(r.WaitSeconds);
    case 'L': {
        QStringList items;
        for (const TWebLobbyItem &i : r.Lobby)
            items << QStringLiteral("%1=%2").arg(i.Code).arg(i.Names);
        return s + QLatin1Char(' ') + items.join(QLatin1Char(','));
    }
    case 'C':
    case 'm':
    case 'M':
    case 'x':
        return s + QStringLiteral(" '%1'").arg(r.Text);
    default:
        return s;
    }
}
} // namespace

class TstWebRecords : public QObject {
    Q_OBJECT

private slots:
    void targets_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray who = "user=Max%20M%FC&pw=0cc175b9c0f1b6a831c399e269772661";
        const QByteArray b = "http://127.0.0.1:8080/sudoku/";
        QTest::newRow("log-in") << WebLoginTarget(kBase, kWho, 0) << b + "anmelden.php?" + who + "&dummy=0";
        QTest::newRow("game request") << WebGameRequestTarget(kBase, kWho, 3, 2, 7)
                                      << b + "get_gameid.php?" + who + "&level=3&cnt=2&dummy=7";
        QTest::newRow("poll") << WebPollTarget(kBase, 4711, 12, kWho, 5)
                              << b + "poll.php?mt=4711&id=12&" + who + "&dummy=5";
        QTest::newRow("entry") << WebPressTarget(kBase, 3, 4, 5, kWho, 2)
                               << b + "press.php?x=3&y=4&z=5&" + who + "&dummy=2";
        QTest::newRow("game chat") << WebChatTarget(kBase, false, kWho, QStringLiteral("a & b #1 100% c+d"), 1)
                                   << b + "chat.php?" + who + "&txt=a%20%26%20b%20%231%20100%25%20c%2Bd&dummy=1";
        QTest::newRow("lobby chat") << WebChatTarget(kBase, true, kWho, QStringLiteral("Grüße?=€"), 1)
                                    << b + "global_chat.php?" + who + "&txt=Gr%FC%DFe%3F%3D%80&dummy=1";
        QTest::newRow("log-out") << WebLogoutTarget(kBase, kWho, 9) << b + "abmelden.php?" + who + "&dummy=9";
        QTest::newRow("lobby") << WebLobbyTarget(kBase, kWho, 3) << b + "lobby_info.php?id=-1&" + who + "&dummy=3";
        QTest::newRow("base without slash") << WebLogoutTarget(QStringLiteral("http://127.0.0.1:1"), kWho, 0)
                                            << "http://127.0.0.1:1/abmelden.php?" + who + "&dummy=0";
    }
    void targets()
    {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, expected);
        QCOMPARE(target, expected);
        // Nothing of a value may turn into a fragment or a second key.
        const QUrl url = QUrl::fromEncoded(target, QUrl::StrictMode);
        QVERIFY(url.isValid());
        QVERIFY(!url.hasFragment());
        QCOMPARE(url.toEncoded(), target);
    }

    void encoding_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("unreserved") << QStringLiteral("AZaz09-._~") << QByteArray("AZaz09-._~");
        QTest::newRow("blank") << QStringLiteral("a b") << QByteArray("a%20b");
        QTest::newRow("reserved") << QStringLiteral("&#%+?=/") << QByteArray("%26%23%25%2B%3F%3D%2F");
        QTest::newRow("umlauts as Windows-1252") << QStringLiteral("äöüÄÖÜß") << QByteArray("%E4%F6%FC%C4%D6%DC%DF");
        QTest::newRow("euro sign") << QStringLiteral("€") << QByteArray("%80");
        QTest::newRow("control bytes") << QStringLiteral("\r\n") << QByteArray("%0D%0A");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void encoding()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(WebQueryEncode(value), expected);
    }

    void digest_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QStringLiteral("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("a") << QStringLiteral("a") << QStringLiteral("0cc175b9c0f1b6a831c399e269772661");
        // The Windows-1252 byte 0xFC, not the two UTF-8 bytes of the letter.
        QTest::newRow("umlaut as one byte")
            << QStringLiteral("ü")
            << QString::fromLatin1(QCryptographicHash::hash(QByteArray("\xFC"), QCryptographicHash::Md5).toHex());
    }
    void digest()
    {
        QFETCH(QString, password);
        QFETCH(QString, expected);
        QCOMPARE(WebPasswordDigest(password), expected);
    }

    void pollReply_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("records");
        QTest::newRow("records") << QStringLiteral("5|S|c-41|\r\n") << 5 << QStringLiteral("S|c-41|\r\n");
        QTest::newRow("nothing new") << QStringLiteral("0|\r\n") << 0 << QString();
        QTest::newRow("negative") << QStringLiteral("-3|S|\r\n") << 0 << QString();
        QTest::newRow("web page") << QStringLiteral("<html><BODY>5|S|</BODY>\r\n") << 0 << QString();
        QTest::newRow("page tag first is no page") << QStringLiteral("<BODY>|S|\r\n") << 0 << QString();
        QTest::newRow("lower-case body is no page")
            << QStringLiteral("7|<body>|\r\n") << 7 << QStringLiteral("<body>|\r\n");
        QTest::newRow("no bar") << QStringLiteral("12\r\n") << 0 << QString();
        QTest::newRow("not a number") << QStringLiteral("x1|S|\r\n") << 0 << QString();
        QTest::newRow("empty (failed request)") << QStringLiteral("\r\n") << 0 << QString();
    }
    void pollReply()
    {
        QFETCH(QString, text);
        QFETCH(int, id);
        QFETCH(QString, records);
        const TWebPollReply r = DecodeWebPollReply(text);
        QCOMPARE(r.MessageId, id);
        QCOMPARE(r.Records, records);
    }

    void versions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("less");
        QTest::newRow("equal") << "v03.00-04"
                               << "v03.00-04" << false;
        QTest::newRow("last digit higher") << "v03.00-04"
                                           << "v03.00-05" << true;
        QTest::newRow("lower") << "v03.00-04"
                               << "v02.99-99" << false;
        QTest::newRow("prefix first") << "v03.00-04"
                                      << "v03.00-04a" << true;
        QTest::newRow("empty minimum") << "v03.00-04"
                                       << "" << false;
    }
    void versions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, less);
        QCOMPARE(WebVersionLess(a, b), less);
    }

    void records_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("decoded");
        QTest::addColumn<int>("malformed");
        QTest::newRow("player and start, CR LF piece skipped")
            << QStringLiteral("I-1~Max|S|\r\n") << QStringList{"I 1 'Max'", "S"} << 0;
        QTest::newRow("log-in") << QStringLiteral("A-v03.00-04~v03.00-05~0|\r\n")
                                << QStringList{"A min=v03.00-04 cur=v03.00-05 game=0"} << 0;
        QTest::newRow("log-in, unfinished game")
            << QStringLiteral("A-v01~v01~123|") << QStringList{"A min=v01 cur=v01 game=123"} << 0;
        QTest::newRow("log-in, empty game")
            << QStringLiteral("A-v01~v01~|") << QStringList{"A min=v01 cur=v01 game=0"} << 0;
        QTest::newRow("letters without payload")
            << QStringLiteral("a|V|R|S|r|E|") << QStringList{"a", "V", "R", "S", "r", "E"} << 0;
        QTest::newRow("game assigned") << QStringLiteral("s-0~4711|") << QStringList{"s 4711"} << 0;
        QTest::newRow("game number missing") << QStringLiteral("s-4711|S|") << QStringList{"S"} << 1;
        QTest::newRow("game number not a number") << QStringLiteral("s-1~abc|") << QStringList{} << 1;
        QTest::newRow("lobby") << QStringLiteral("L-0~Anna, Bert#12~Carl#99~Zoe#x~y|")
                               << QStringList{"L 0=Anna, Bert,12=Carl,99=Zoe,-1=y"} << 0;
        QTest::newRow("name cut to 15") << QStringLiteral("I-2~ABCDEFGHIJKLMNOPQRST|")
                                        << QStringList{"I 2 'ABCDEFGHIJKLMNO'"} << 0;
        QTest::newRow("name with tilde") << QStringLiteral("I-3~a~b|") << QStringList{"I 3 'a~b'"} << 0;
        QTest::newRow("player slot 9") << QStringLiteral("I-9~Max|S|") << QStringList{"S"} << 1;
        QTest::newRow("player slot 0") << QStringLiteral("I-0~Max|") << QStringList{} << 1;
        QTest::newRow("player without tilde") << QStringLiteral("I-1Max|") << QStringList{} << 1;
        QTest::newRow("gone") << QStringLiteral("X-4|X-0|") << QStringList{"X 4", "X 0"} << 0;
        QTest::newRow("gone slot 9") << QStringLiteral("X-9|") << QStringList{} << 1;
        QTest::newRow("gone without slot") << QStringLiteral("X|") << QStringList{} << 1;
        QTest::newRow("given cell") << QStringLiteral("F-345S|") << QStringList{"F 3 4 5 -1"} << 0;
        QTest::newRow("player's cell") << QStringLiteral("F-9982|") << QStringList{"F 9 9 8 2"} << 0;
        QTest::newRow("cell column 0") << QStringLiteral("F-045S|F-1111|") << QStringList{"F 1 1 1 1"} << 1;
        QTest::newRow("digit 0") << QStringLiteral("F-340S|") << QStringList{} << 1;
        QTest::newRow("owner 9") << QStringLiteral("F-3459|") << QStringList{} << 1;
        QTest::newRow("owner letter") << QStringLiteral("F-345T|") << QStringList{} << 1;
        QTest::newRow("short cell") << QStringLiteral("F-34|") << QStringList{} << 1;
        QTest::newRow("blink") << QStringLiteral("f-1290|") << QStringList{"f 1 2 9 0"} << 0;
        QTest::newRow("blink row 0") << QStringLiteral("f-1090|") << QStringList{} << 1;
        QTest::newRow("blink without fourth") << QStringLiteral("f-129|") << QStringList{} << 1;
        QTest::newRow("player data") << QStringLiteral("D-2~120~14~3~0|D-1~80~9~1~15|")
                                     << QStringList{"D 2 120 14 3 0", "D 1 80 9 1 15"} << 0;
        QTest::newRow("player data at the end") << QStringLiteral("D-2~1~2~3~4\r\n") << QStringList{"D 2 1 2 3 4"} << 0;
        QTest::newRow("player data short") << QStringLiteral("D-2~120~14|") << QStringList{} << 1;
        QTest::newRow("player data text") << QStringLiteral("D-2~a~14~3~0|") << QStringList{} << 1;
        QTest::newRow("player data slot 9") << QStringLiteral("D-9~1~1~1~0|") << QStringList{} << 1;
        QTest::newRow("free cells") << QStringLiteral("c-41|") << QStringList{"c 41"} << 0;
        QTest::newRow("free cells before CR LF") << QStringLiteral("S|c-41\r\n") << QStringList{"S", "c 41"} << 0;
        QTest::newRow("free cells text") << QStringLiteral("c-vier|") << QStringList{} << 1;
        QTest::newRow("texts") << QStringLiteral("C-Hallo - du|m-<b>x</b>|M-Los!|x-Hinweis|")
                               << QStringList{"C 'Hallo - du'", "m '<b>x</b>'", "M 'Los!'", "x 'Hinweis'"} << 0;
        // The reply's closing CR LF is no part of a last record without its "|".
        QTest::newRow("chat line at the end")
            << QStringLiteral("S|C-ohne Strich\r\n") << QStringList{"S", "C 'ohne Strich'"} << 0;
        QTest::newRow("notice at the end") << QStringLiteral("M-Los geht's\r\n") << QStringList{"M 'Los geht's'"} << 0;
        QTest::newRow("lobby at the end")
            << QStringLiteral("L-0~Anna#12~Bert\r\n") << QStringList{"L 0=Anna,12=Bert"} << 0;
        QTest::newRow("name at the end") << QStringLiteral("I-2~Bob\r\n") << QStringList{"I 2 'Bob'"} << 0;
        QTest::newRow("only the reply's own CR LF goes")
            << QStringLiteral("C-zwei\r\n\r\n") << QStringList{"C 'zwei\r\n'"} << 0;
        QTest::newRow("unknown letters and empty pieces")
            << QStringLiteral("e-1||Z|ä|\r\n|S|") << QStringList{"S"} << 0;
    }
    void records()
    {
        QFETCH(QString, reply);
        QFETCH(QStringList, decoded);
        QFETCH(int, malformed);
        const TWebReply r = DecodeWebReply(reply);
        QStringList got;
        for (const TWebRecord &rec : r.Records)
            got << describe(rec);
        QCOMPARE(got, decoded);
        QCOMPARE(int(r.Errors.size()), malformed);
    }
};

QTEST_GUILESS_MAIN(TstWebRecords)
#include "tst_webrecords.moc"
