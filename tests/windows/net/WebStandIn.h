#pragma once
// A stand-in internet game server on 127.0.0.1 for tests and benchmarks: it
// records every request target as it arrives and answers from a script. It
// can play one whole game: log-in, lobby, game assignment, polls that hand
// out the game's records, judged entries and the end.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>
#include <deque>
#include <functional>
#include <map>

class TWebStandIn {
public:
    // Every request target (path and query, exactly as sent), in arrival order.
    QList<QByteArray> Targets;
    // Answers by script name ("anmelden.php", ...); a missing one answers empty.
    std::map<QByteArray, QByteArray> Answers;
    // Poll replies, handed out one per poll; "0|" when none is queued.
    std::deque<QByteArray> PollReplies;
    // Polls get no answer at all (a server that hangs).
    bool SilentPolls = false;
    // Called for every request before the script answers; may change the answer.
    std::function<void(const QByteArray &script, const QUrlQuery &query, QByteArray &answer)> OnRequest;

    TWebStandIn()
    {
        m_server.listen(QHostAddress(QHostAddress::LocalHost), 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { serve(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        Answers["anmelden.php"] = "A-v03.00-04~v03.00-04~0|";
        Answers["get_gameid.php"] = "s-0~4711|";
        Answers["lobby_info.php"] = "L-0~Anna#12~Bert|";
    }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    quint16 Port() const { return m_server.serverPort(); }

    QList<QByteArray> TargetsOf(const QByteArray &script) const
    {
        QList<QByteArray> out;
        for (const QByteArray &t : Targets)
            if (scriptOf(t) == script)
                out << t;
        return out;
    }

    static QByteArray scriptOf(const QByteArray &target)
    {
        QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
        return path.mid(path.lastIndexOf('/') + 1);
    }

    // ---- one whole game -----------------------------------------------------
    // The solution every game uses, row by row, and its open cells.
    static int Solution(int x, int y) { return ((y - 1) * 3 + (y - 1) / 3 + (x - 1)) % 9 + 1; }
    struct TCell {
        int X, Y;
    };
    std::vector<TCell> OpenCells;
    int Found = 0, Errors = 0, Points = 0, MessageId = 0;

    // Sets the game up: the first poll registers the player, draws the givens
    // and starts it; each right entry comes back on the next poll; the last one
    // ends the game.
    void PlayOneGame(const QString &player, std::vector<TCell> open)
    {
        OpenCells = std::move(open);
        QByteArray first = "I-1~" + player.toLatin1() + "|R|";
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (!isOpen(x, y))
                    first += "F-" + QByteArray::number(x) + QByteArray::number(y) + QByteArray::number(Solution(x, y)) +
                             "S|";
        first += "S|c-" + QByteArray::number(int(OpenCells.size())) + "|";
        queuePoll(first);
        OnRequest = [this](const QByteArray &script, const QUrlQuery &q, QByteArray &) {
            if (script != "press.php")
                return;
            const int x = q.queryItemValue(QStringLiteral("x")).toInt();
            const int y = q.queryItemValue(QStringLiteral("y")).toInt();
            const int z = q.queryItemValue(QStringLiteral("z")).toInt();
            if (!isOpen(x, y))
                return;
            QByteArray r;
            if (z == Solution(x, y)) {
                ++Found;
                Points += 10;
                r = "F-" + QByteArray::number(x) + QByteArray::number(y) + QByteArray::number(z) + "1|";
                for (auto it = OpenCells.begin(); it != OpenCells.end(); ++it)
                    if (it->X == x && it->Y == y) {
                        OpenCells.erase(it);
                        break;
                    }
            } else {
                ++Errors;
                r = "f-" + QByteArray::number(x) + QByteArray::number(y) + QByteArray::number(z) + "0|";
            }
            r += "D-1~" + QByteArray::number(Points) + "~" + QByteArray::number(Found) + "~" +
                 QByteArray::number(Errors) + "~0|c-" + QByteArray::number(int(OpenCells.size())) + "|";
            if (OpenCells.empty())
                r += "E|";
            queuePoll(r);
        };
    }

    void queuePoll(const QByteArray &records)
    {
        PollReplies.push_back(QByteArray::number(++MessageId) + "|" + records);
    }

private:
    bool isOpen(int x, int y) const
    {
        for (const TCell &c : OpenCells)
            if (c.X == x && c.Y == y)
                return true;
        return false;
    }

    void serve(QTcpSocket *s)
    {
        QByteArray &buf = m_buffers[s];
        buf += s->readAll();
        for (;;) {
            const qsizetype end = buf.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buf.left(end);
            buf.remove(0, end + 4);
            const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
            const QByteArray target = line.value(1);
            Targets << target;
            const QByteArray script = scriptOf(target);
            QByteArray answer;
            if (script == "poll.php") {
                if (SilentPolls)
                    continue;
                if (PollReplies.empty()) {
                    answer = "0|";
                } else {
                    answer = PollReplies.front();
                    PollReplies.pop_front();
                }
            } else {
                auto it = Answers.find(script);
                if (it != Answers.end())
                    answer = it->second;
            }
            if (OnRequest)
                OnRequest(script, QUrlQuery(QUrl::fromEncoded(target).query(QUrl::FullyEncoded)), answer);
            s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                     QByteArray::number(answer.size()) + "\r\n\r\n" + answer);
        }
    }

    QTcpServer m_server;
    std::map<QTcpSocket *, QByteArray> m_buffers;
};
