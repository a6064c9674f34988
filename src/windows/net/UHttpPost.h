#pragma once
// HTTP requests to the game server without blocking the window that asks:
// the answer comes back through a callback on the main thread.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

// The address of one of the game server's scripts: the base address ends with
// "/" so that the script name follows it directly; one is added when missing.
QString ServerScriptAddress(const QString &base, const QString &script);

struct THttpResult {
    bool Ok = false;      // a complete answer with a 2xx status
    int Status = 0;       // the HTTP status, 0 when none came
    QByteArray Body;      // the answer's bytes (only when Ok)
    QString Error;        // why it failed, for the trace
    bool Refused = false; // never sent: the destination is not allowed
};

class THttpClient : public QObject {
    Q_OBJECT
public:
    explicit THttpClient(QObject *parent = nullptr);
    ~THttpClient() override;

    using TFields = std::vector<std::pair<QString, QString>>;
    using TDone = std::function<void(const THttpResult &)>;

    // Posts the form (URL-encoded) to the address; done runs once, later,
    // unless the request is abandoned first.
    void Post(const QString &url, const TFields &fields, TDone done);
    // Drops every request still running; their callbacks never run.
    void AbandonAll();
    int Pending() const { return int(m_pending.size()); }

    // Answers longer than this are cut off and count as failed: a server
    // cannot make the program hold an endless reply.
    qint64 MaxReplyBytes = 256 * 1024;
    // No answer within this time ends the request as failed.
    int TimeoutMs = 15000;

    // False (with the reason) for an address the program must not reach:
    // not http(s), or outside 127.0.0.0/8 while only loopback is allowed.
    static bool DestinationAllowed(const QUrl &url, QString &why);

private:
    struct TPending {
        QNetworkReply *Reply;
        TDone Done;
    };
    QNetworkAccessManager *m_manager = nullptr;
    std::vector<TPending> m_pending;
    void finish(QNetworkReply *reply, THttpResult result);
};
