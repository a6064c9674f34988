#pragma once
// The internet game client: log-in and game panels, the requests to the game
// server and the application of its reply records to the main window.

#include "net/UWeb_Records.h"
#include "ui/Controls.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QWidget>
#include <deque>

class TWEBForm : public QWidget {
    Q_OBJECT
public:
    explicit TWEBForm(QWidget *parent = nullptr);

    // ---- state ----
    bool FirstActivate = true;
    bool LoggedIn = false;
    int32_t GameLoopId = 0;
    int32_t LastMessageId = 0;
    bool PollPending = false;
    int32_t RequestCounter = 0;
    bool LobbyActive = false;
    bool ResumedGame = false;

    // ---- log-in panel ----
    TPanel *Panel_login = nullptr;
    TLabeledEdit *iNet_User = nullptr;
    TLabeledEdit *iNet_Passwort = nullptr;
    TImage *login_merken_1 = nullptr;
    TLabel *BTC_Login_merken = nullptr;
    TLabel *Login_merkenM = nullptr;
    TLabel *BTC_Login_anmelden = nullptr;
    TLabel *BTC_Login_registrieren = nullptr;
    TLabel *BTC_Zurueck = nullptr;

    // ---- game panel ----
    TPanel *Panel_spiel = nullptr;
    TImage *PIC_Player[5] = {};
    TLabel *BTC_Player[5] = {};
    TImage *PIC_Level[5] = {}; // Leicht, Mittel, Schwer, Profi at 1..4
    TLabel *BTC_Level[5] = {};
    TLabel *PlayerM = nullptr;
    TLabel *LevelM = nullptr;
    TLabel *BTC_Spiel_anmelden = nullptr;
    TLabel *BTC_spiel_zurueck = nullptr;
    TLabel *LobbyLabel = nullptr;
    TPanel *Lobby_Panel = nullptr;
    TPanel *Panel_footer = nullptr;
    static constexpr int kLobbyRows = 13;
    TPanel *LobbyRow[kLobbyRows] = {};
    TLabel *LobbyNames[kLobbyRows] = {};
    static const int kLobbyCodes[kLobbyRows];

    // ---- timers ----
    TTimer *Timer = nullptr; // the game poll, 50 ms
    // The lobby: runs only while logged in to the lobby, its first tick
    // LobbyFirstTickMs after each log-in, then every 5 s.
    TTimer *Lobby = nullptr;
    int LobbyFirstTickMs = 1;
    // A request that gets no answer gives up after this long.
    int RequestTimeoutMs = 10000;
    // The byte-counter dummy of every ByPass request but the lobby's.
    int32_t ByPassTag = 0;

    void SetRememberLogin(int on);
    void SetWebLevel(int n);
    // Shows level n without storing it (a shared value from the other window).
    void ApplyWebLevel(int n);
    void SetWebPlayers(int n);
    void SendPress(int x, int y, int z);
    void SendChat(const QString &text);
    void SendLogout();
    void InterpretServerReply(const QString &text);
    // Waits until every queued request has been answered or given up, at most ms.
    void WaitForRequests(int ms);
    bool RequestsIdle() const { return !m_byPassReply && m_queue.empty(); }

    // ---- handlers ----
    void FormActivate();
    void BTC_Login_anmeldenClick();
    void BTC_Login_registrierenClick();
    void login_merken_1Click();
    void PIC_Player1Click(QObject *sender);
    void BTC_Spiel_anmeldenClick();
    void BTC_ZurueckClick();
    void BTC_spiel_zurueckClick();
    void TimerTimer();
    void LobbyTimer();
    // A finished poll and a finished other request, with the body they got
    // (empty when the request failed or timed out).
    void WebLoopNavigateComplete2(const QByteArray &body);
    void ByPassNavigateComplete2(const QByteArray &body);

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    TWebCredentials credentials() const;
    QString base() const;
    // Null and traced when the address may not be reached.
    QNetworkReply *get(const QByteArray &target);
    void queueByPass(const QByteArray &target);
    void sendNextByPass();
    void showLoginPanel();
    void showGamePanel();
    void showConnecting();
    // Starts the lobby timer when there is a lobby to ask for.
    void startLobby(int firstTickMs);
    void applyRecord(const TWebRecord &r, bool &stop);
    void applyLogin(const TWebRecord &r, bool &stop);
    void applyLobby(const TWebRecord &r);
    void tickPictures(TImage *const *pictures, int n);

    QNetworkAccessManager m_net;
    std::deque<QByteArray> m_queue;
    QPointer<QNetworkReply> m_byPassReply;
    QPointer<QNetworkReply> m_pollReply;
};

extern TWEBForm *WEBForm;
