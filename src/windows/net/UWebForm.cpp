#include "net/UWebForm.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QEvent>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

TWEBForm *WEBForm = nullptr;

const int TWEBForm::kLobbyCodes[kLobbyRows] = {0, 12, 13, 14, 22, 23, 24, 32, 33, 34, 42, 43, 44};

namespace {
constexpr int kWidth = 300;
constexpr int kLoginHeight = 250;
constexpr int kGameHeight = 146;
constexpr int kRowHeight = 18;
constexpr int kHeadHeight = 30;
constexpr int kFooterHeight = 40;
// The forum's registration page, opened in the default browser.
const char kRegisterPage[] = "https://forum.quadrivo.de/register";

const char *const kLobbyCaptions[TWEBForm::kLobbyRows] = {
    "Eingang",    "Leicht [2]", "Leicht [3]", "Leicht [4]", "Mittel [2]", "Mittel [3]", "Mittel [4]",
    "Schwer [2]", "Schwer [3]", "Schwer [4]", "Profi [2]",  "Profi [3]",  "Profi [4]"};

TLabel *captionButton(QWidget *parent, const QString &text, int x, int y, int w)
{
    auto *l = new TLabel(parent, text);
    l->setGeometry(x, y, w, 16);
    // This window's captions rest bold, as their leave handler leaves them.
    l->SetFontSize(8, true);
    MakeCaptionButton(l, 10, 8, true);
    WireHelpCursor(l);
    return l;
}

// A caption button over the program's button face, as in every window.
TLabel *faceButton(QWidget *parent, const QString &text, const char *faceName, const QRect &r)
{
    TImage *face = nullptr;
    TLabel *l = MakeFaceButton(parent, text, faceName, r, face);
    l->SetFontSize(8, true);
    MakeCaptionButton(l, 10, 8, true);
    face->lower();
    return l;
}

// Title and footer in the field colour, the body in the menu colour, as the
// program options colour every window.
TPanel *colouredPanel(QWidget *parent, const QRect &r, TColourRole role)
{
    auto *p = new TPanel(parent);
    p->setGeometry(r);
    if (role == TColourRole::Field) {
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->SetColor(ColorFromBGR(0x409FFF));
    } else {
        p->SetColor(ColorFromBGR(0x005EBB));
    }
    SetColourRole(p, role);
    return p;
}

TImage *checkPicture(QWidget *parent, int x, int y)
{
    auto *p = new TImage(parent);
    p->setGeometry(x, y, 13, 13);
    return p;
}

// Upper case of the letters a to z only, as the server compares names.
QString upperAscii(const QString &text)
{
    QString s = text;
    for (QChar &c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return s;
}

void showPicture(TImage *p, bool on)
{
    if (p && FormOpt)
        p->SetPicture((on ? FormOpt->Pic_hacken : FormOpt->pic_box)->Picture());
}

bool mayReach(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (!SudokuEnv().LoopbackOnly)
        return true;
    QHostAddress a;
    return a.setAddress(url.host()) && a.protocol() == QAbstractSocket::IPv4Protocol && a.isLoopback();
}
} // namespace

TWEBForm::TWEBForm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Internet"));

    // ---- log-in panel: title, the two edits, the switch, the notes, the buttons ----
    Panel_login = colouredPanel(this, QRect(0, 0, kWidth, kLoginHeight), TColourRole::Menu);
    TPanel *loginHead = colouredPanel(Panel_login, QRect(0, 0, kWidth, kHeadHeight), TColourRole::Field);
    auto *forum = new TLabel(loginHead, QStringLiteral("Username / Passwort aus Forum"));
    forum->setGeometry(10, 0, kWidth - 20, kHeadHeight);
    forum->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    forum->SetFontSize(9, true);
    iNet_User = new TLabeledEdit(Panel_login, QStringLiteral("Username :"));
    iNet_Passwort = new TLabeledEdit(Panel_login, QStringLiteral("Passwort :"));
    iNet_Passwort->SetPasswordChar(QLatin1Char('#'));
    int top = kHeadHeight + 12;
    for (TLabeledEdit *e : {iNet_User, iNet_Passwort}) {
        e->LabelPosition = TLabeledEdit::TLabelPosition::Left;
        e->LabelSpacing = 6;
        e->EditLabel->SetFontSize(8, true);
        e->setGeometry(100, top, kWidth - 110, 22);
        top += 30;
    }
    login_merken_1 = checkPicture(Panel_login, 10, top + 2);
    login_merken_1->Tag = 107;
    BTC_Login_merken = captionButton(Panel_login, QStringLiteral("Benutzer / Passwort merken"), 28, top, kWidth - 38);
    BTC_Login_merken->Tag = 107;
    Login_merkenM = new TLabel(Panel_login);
    Login_merkenM->hide();
    auto *info = new TLabel(Panel_login,
                            QStringLiteral("Zum Anmelden wird ein Benutzerkonto benötigt. Ein Konto kann kostenlos im "
                                           "Forum angelegt werden; \"registrieren\" öffnet den Standard-Browser mit "
                                           "der Seite zur Registrierung."));
    info->setGeometry(10, top + 26, kWidth - 20, kLoginHeight - kFooterHeight - top - 32);
    info->setWordWrap(true);
    info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TPanel *loginFooter =
        colouredPanel(Panel_login, QRect(0, kLoginHeight - kFooterHeight, kWidth, kFooterHeight), TColourRole::Field);
    BTC_Login_anmelden = faceButton(loginFooter, QStringLiteral("anmelden"), "BIM_Login_anmelden", QRect(8, 7, 90, 26));
    BTC_Login_registrieren =
        faceButton(loginFooter, QStringLiteral("registrieren"), "BIM_Login_registrieren", QRect(105, 7, 90, 26));
    BTC_Zurueck = faceButton(loginFooter, QStringLiteral("Zurück"), "BIM_Zurueck", QRect(202, 7, 90, 26));
    BTC_Zurueck->setToolTip(QStringLiteral("Login Fenster schliessen"));

    // ---- game panel: players, level, lobby, buttons ----
    Panel_spiel = colouredPanel(this, QRect(0, 0, kWidth, kGameHeight), TColourRole::Menu);
    auto *title = new TLabel(Panel_spiel, QStringLiteral("Spiel wählen:"));
    title->setGeometry(10, 4, 200, 16);
    title->SetFontSize(9, true);
    auto *players = new TLabel(Panel_spiel, QStringLiteral("Anzahl Spieler"));
    players->setGeometry(10, 22, 200, 14);
    for (int n = 1; n <= 4; ++n) {
        PIC_Player[n] = checkPicture(Panel_spiel, 10 + (n - 1) * 50, 39);
        BTC_Player[n] = captionButton(Panel_spiel, QString::number(n), 26 + (n - 1) * 50, 38, 30);
        PIC_Player[n]->Tag = BTC_Player[n]->Tag = n;
    }
    auto *level = new TLabel(Panel_spiel, QStringLiteral("Schwierigkeit"));
    level->setGeometry(10, 56, 200, 14);
    const char *levels[5] = {nullptr, "Leicht", "Mittel", "Schwer", "Profi"};
    for (int n = 1; n <= 4; ++n) {
        PIC_Level[n] = checkPicture(Panel_spiel, 10 + (n - 1) * 70, 73);
        BTC_Level[n] = captionButton(Panel_spiel, QString::fromLatin1(levels[n]), 26 + (n - 1) * 70, 72, 50);
        PIC_Level[n]->Tag = BTC_Level[n]->Tag = 10 + n;
    }
    PlayerM = new TLabel(Panel_spiel);
    LevelM = new TLabel(Panel_spiel);
    PlayerM->hide();
    LevelM->hide();
    LobbyLabel = new TLabel(Panel_spiel, QStringLiteral("Lobby :"));
    LobbyLabel->setGeometry(10, 90, 100, 14);
    LobbyLabel->SetFontSize(8, true);
    Lobby_Panel = new TPanel(Panel_spiel);
    Lobby_Panel->setGeometry(10, LobbyLabel->geometry().bottom() + 1, kWidth - 20, 0);
    Lobby_Panel->hide();
    for (int i = 0; i < kLobbyRows; ++i) {
        LobbyRow[i] = new TPanel(Lobby_Panel);
        LobbyRow[i]->setGeometry(0, i * kRowHeight, kWidth - 20, kRowHeight);
        auto *caption = new TLabel(LobbyRow[i], QString::fromLatin1(kLobbyCaptions[i]));
        caption->SetFontSize(8, true);
        caption->setGeometry(0, 1, 80, kRowHeight - 2);
        LobbyNames[i] = new TLabel(LobbyRow[i], QStringLiteral("Spielernamen"));
        LobbyNames[i]->setGeometry(82, 1, kWidth - 104, kRowHeight - 2);
        LobbyRow[i]->hide();
    }
    // The lobby shows the game panel's own colour through it.
    Lobby_Panel->setAutoFillBackground(false);
    for (TPanel *row : LobbyRow)
        row->setAutoFillBackground(false);
    Panel_footer =
        colouredPanel(Panel_spiel, QRect(0, kGameHeight - kFooterHeight, kWidth, kFooterHeight), TColourRole::Field);
    BTC_Spiel_anmelden =
        faceButton(Panel_footer, QStringLiteral("Starten"), "BIM_Spiel_anmelden", QRect(8, 7, 100, 26));
    BTC_spiel_zurueck =
        faceButton(Panel_footer, QStringLiteral("Zurück"), "BIM_spiel_zurueck", QRect(kWidth - 108, 7, 100, 26));
    Panel_spiel->hide();

    // Straight to the server: a proxy from the environment would carry the
    // requests somewhere else.
    m_net.setProxy(QNetworkProxy::NoProxy);

    // ---- timers ----
    Timer = new TTimer(this, 50, false);
    // Nobody is logged in yet: the lobby timer waits for the log-in.
    Lobby = new TTimer(this, 1, false);

    connect(BTC_Login_anmelden, &TLabel::Click, this, &TWEBForm::BTC_Login_anmeldenClick);
    connect(BTC_Login_registrieren, &TLabel::Click, this, &TWEBForm::BTC_Login_registrierenClick);
    connect(login_merken_1, &TImage::Click, this, &TWEBForm::login_merken_1Click);
    connect(BTC_Login_merken, &TLabel::Click, this, &TWEBForm::login_merken_1Click);
    connect(BTC_Zurueck, &TLabel::Click, this, &TWEBForm::BTC_ZurueckClick);
    for (int n = 1; n <= 4; ++n)
        for (TMouseControl *c :
             {static_cast<TMouseControl *>(PIC_Player[n]), static_cast<TMouseControl *>(BTC_Player[n]),
              static_cast<TMouseControl *>(PIC_Level[n]), static_cast<TMouseControl *>(BTC_Level[n])})
            connect(c, &TMouseControl::Click, this, [this, c] { PIC_Player1Click(c); });
    connect(BTC_Spiel_anmelden, &TLabel::Click, this, &TWEBForm::BTC_Spiel_anmeldenClick);
    connect(BTC_spiel_zurueck, &TLabel::Click, this, &TWEBForm::BTC_spiel_zurueckClick);
    connect(Timer, &QTimer::timeout, this, &TWEBForm::TimerTimer);
    connect(Lobby, &QTimer::timeout, this, &TWEBForm::LobbyTimer);

    showLoginPanel();
}

// ---- settings ---------------------------------------------------------------

void TWEBForm::SetRememberLogin(int on)
{
    RegWriteInteger(QStringLiteral("inetmerken"), on);
    Login_merkenM->Tag = on;
    showPicture(login_merken_1, on == 1);
}

void TWEBForm::SetWebLevel(int n)
{
    RegWriteInteger(QStringLiteral("level"), n);
    ApplyWebLevel(n);
}

void TWEBForm::ApplyWebLevel(int n)
{
    LevelM->Tag = n;
    for (int i = 1; i <= 4; ++i)
        showPicture(PIC_Level[i], i == n);
}

void TWEBForm::SetWebPlayers(int n)
{
    // A stored count the server cannot play (a hand-edited or broken value)
    // becomes the default, as an impossible level does.
    if (n < 1 || n > 4)
        n = 2;
    RegWriteInteger(QStringLiteral("Player"), n);
    PlayerM->Tag = n;
    for (int i = 1; i <= 4; ++i)
        showPicture(PIC_Player[i], i == n);
}

// ---- requests ---------------------------------------------------------------

TWebCredentials TWEBForm::credentials() const
{
    return {iNet_User->text(), WebPasswordDigest(iNet_Passwort->text())};
}

QString TWEBForm::base() const
{
    return SudokuEnv().ServerUrl;
}

QNetworkReply *TWEBForm::get(const QByteArray &target)
{
    const QUrl url = QUrl::fromEncoded(target);
    if (base().isEmpty() || !mayReach(url)) {
        TraceLine(QStringLiteral("Internet: Ziel nicht erlaubt: ") + QString::fromLatin1(target));
        return nullptr;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(RequestTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    return m_net.get(request);
}

void TWEBForm::queueByPass(const QByteArray &target)
{
    m_queue.push_back(target);
    sendNextByPass();
}

// One request at a time, in the order asked: none cuts another short and every
// answer is interpreted.
void TWEBForm::sendNextByPass()
{
    while (!m_byPassReply && !m_queue.empty()) {
        const QByteArray target = m_queue.front();
        m_queue.pop_front();
        QNetworkReply *reply = get(target);
        if (!reply)
            continue;
        m_byPassReply = reply;
        connect(reply, &QNetworkReply::finished, this, [this, reply] {
            const QByteArray body = reply->readAll();
            reply->deleteLater();
            m_byPassReply = nullptr;
            ByPassNavigateComplete2(body);
            sendNextByPass();
        });
    }
}

void TWEBForm::WaitForRequests(int ms)
{
    if (RequestsIdle())
        return;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer check;
    connect(&check, &QTimer::timeout, &loop, [this, &loop] {
        if (RequestsIdle())
            loop.quit();
    });
    limit.start(ms);
    check.start(5);
    loop.exec();
}

void TWEBForm::BTC_Login_anmeldenClick()
{
    if (iNet_User->text().isEmpty() || iNet_Passwort->text().isEmpty()) {
        MessageDlg(QStringLiteral("Name und Passwort eingeben."), TMsgDlgType::Information, TMsgDlgButtons::OK);
        return;
    }
    queueByPass(WebLoginTarget(base(), credentials(), ByPassTag++));
}

void TWEBForm::BTC_Spiel_anmeldenClick()
{
    if (Form1)
        Form1->ResetPlayers();
    queueByPass(WebGameRequestTarget(base(), credentials(), LevelM->Tag, PlayerM->Tag, ByPassTag++));
}

void TWEBForm::SendPress(int x, int y, int z)
{
    const QByteArray target = WebPressTarget(base(), x, y, z, credentials(), ByPassTag++);
    TraceLine(QString::fromLatin1(target));
    queueByPass(target);
}

void TWEBForm::SendChat(const QString &text)
{
    const bool global = LoggedIn && !Timer->Enabled();
    queueByPass(WebChatTarget(base(), global, credentials(), text, ByPassTag++));
}

void TWEBForm::SendLogout()
{
    queueByPass(WebLogoutTarget(base(), credentials(), ByPassTag++));
    // The server forgets us now: the next request here is a new log-in.
    LoggedIn = false;
    Lobby->SetEnabled(false);
    showLoginPanel();
}

void TWEBForm::TimerTimer()
{
    if (PollPending)
        return;
    ++RequestCounter;
    QNetworkReply *reply = get(WebPollTarget(base(), GameLoopId, LastMessageId, credentials(), RequestCounter));
    if (!reply)
        return;
    PollPending = true;
    m_pollReply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        // A failed or timed-out poll reads as an empty reply; either way the
        // next tick polls again.
        const QByteArray body = reply->readAll();
        reply->deleteLater();
        m_pollReply = nullptr;
        if (Timer->Enabled())
            WebLoopNavigateComplete2(body);
        PollPending = false;
    });
}

void TWEBForm::startLobby(int firstTickMs)
{
    if (!LobbyActive || !LoggedIn)
        return;
    Lobby->setInterval(firstTickMs);
    Lobby->start();
}

void TWEBForm::LobbyTimer()
{
    // Logged out or in a game: nothing to ask for until the next log-in or
    // the game's end starts the timer again.
    if (!LobbyActive || !LoggedIn || (Form1 && Form1->GameRunning)) {
        Lobby->SetEnabled(false);
        return;
    }
    if (Lobby->interval() != 5000)
        Lobby->setInterval(5000);
    ++RequestCounter;
    queueByPass(WebLobbyTarget(base(), credentials(), RequestCounter));
}

void TWEBForm::WebLoopNavigateComplete2(const QByteArray &body)
{
    const QString text = WebReplyText(body);
    const TWebPollReply poll = DecodeWebPollReply(text);
    // A web page instead of a reply is traced as what it counts for.
    TraceLine(text.indexOf(QStringLiteral("<BODY>")) > 0 ? QStringLiteral("0|") : text);
    if (poll.MessageId > 0) {
        LastMessageId = poll.MessageId;
        InterpretServerReply(poll.Records);
    }
    PollPending = false;
}

void TWEBForm::ByPassNavigateComplete2(const QByteArray &body)
{
    InterpretServerReply(WebReplyText(body));
}

// ---- panels -----------------------------------------------------------------

// Up until the game starts: the start record closes it.
void TWEBForm::showConnecting()
{
    if (!FormMeld)
        return;
    FormMeld->Dauer = 0;
    FormMeld->ShowTextSized(QStringLiteral("Verbinde..."), 14);
}

void TWEBForm::showLoginPanel()
{
    Panel_spiel->hide();
    Panel_login->show();
    resize(Panel_login->width(), Panel_login->height());
    FirstActivate = true;
}

void TWEBForm::showGamePanel()
{
    // Each log-in starts from the panel as it was built: a lobby of an earlier
    // log-in must not keep the buttons below the window's bottom edge.
    Lobby_Panel->hide();
    Lobby_Panel->resize(Lobby_Panel->width(), 0);
    Panel_spiel->resize(Panel_spiel->width(), kGameHeight);
    Panel_footer->move(0, kGameHeight - kFooterHeight);
    Panel_login->hide();
    Panel_spiel->show();
    resize(Panel_spiel->width(), Panel_spiel->height());
    FirstActivate = true;
}

void TWEBForm::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    PlaceOverMainWindow(this);
}

void TWEBForm::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormActivate();
}

void TWEBForm::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TWEBForm::BTC_Login_registrierenClick()
{
    ShellOpen(this, QString::fromLatin1(kRegisterPage));
}

void TWEBForm::login_merken_1Click()
{
    SetRememberLogin(Login_merkenM->Tag != 1 ? 1 : 0);
}

void TWEBForm::PIC_Player1Click(QObject *sender)
{
    const int tag = GetControlTag(sender);
    if (tag >= 1 && tag <= 4)
        SetWebPlayers(tag);
    else if (tag >= 11 && tag <= 14)
        SetWebLevel(tag - 10);
}

void TWEBForm::BTC_ZurueckClick()
{
    hide();
    if (FormStart)
        FormStart->show();
}

void TWEBForm::BTC_spiel_zurueckClick()
{
    LoggedIn = false;
    Lobby->SetEnabled(false);
    showLoginPanel();
    FormActivate();
}

// ---- reply records ------------------------------------------------------------

void TWEBForm::InterpretServerReply(const QString &text)
{
    const TWebReply reply = DecodeWebReply(text);
    for (const QString &e : reply.Errors)
        TraceLine(QStringLiteral("Internet: Eintrag übergangen: ") + e);
    bool players = false;
    for (const TWebRecord &r : reply.Records) {
        bool stop = false;
        applyRecord(r, stop);
        players = players || r.Letter == 'I' || r.Letter == 'X' || r.Letter == 'D' || r.Letter == 'c';
        if (stop)
            break;
    }
    if (players && Form1)
        Form1->UpdatePlayerTable();
}

void TWEBForm::applyLogin(const TWebRecord &r, bool &stop)
{
    if (Login_merkenM->Tag == 1) {
        RegWriteString(QStringLiteral("iNetUser"), iNet_User->text());
        RegWriteString(QStringLiteral("iNetPW"), iNet_Passwort->text());
    }
    const QString version = QString::fromLatin1(kWebClientVersion);
    if (WebVersionLess(version, r.Text)) {
        MessageDlg(QStringLiteral("Es ist eine aktuellere Version verfügbar.\r\nDiese Version läuft nicht "
                                  "mehr.\r\nVersion bitte updaten."),
                   TMsgDlgType::Information, TMsgDlgButtons::OK);
        stop = true;
        return;
    }
    if (WebVersionLess(version, r.Text2))
        MessageDlg(QStringLiteral("Es ist eine aktuellere Version mit kleinen Änderungen verfügbar.\r\nEin "
                                  "Update ist noch nicht notwendig."),
                   TMsgDlgType::Information, TMsgDlgButtons::OK);
    if (r.Number > 0) {
        if (MessageDlg(QStringLiteral("Das letzte Spiel wurde noch nicht beendet.\r\nSpiel weiterspielen?"),
                       TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo) == mrYes) {
            GameLoopId = r.Number;
            LastMessageId = 0;
            RequestCounter = 0;
            hide();
            Timer->SetEnabled(true);
            showConnecting();
            if (Form1)
                Form1->BTC_Spiel_Ende->setEnabled(true);
            LoggedIn = true;
            ResumedGame = true;
            showGamePanel();
            stop = true;
            return;
        }
        SendLogout();
    }
    ResumedGame = false;
    LoggedIn = true;
    LobbyActive = true;
    showGamePanel();
    resize(Panel_spiel->width(), kGameHeight);
    if (isVisible())
        FormActivate();
    if (NETZ)
        NETZ->ResetPlayerStats();
    // The lobby fills at once after every log-in, not at a tick left over
    // from an earlier one.
    startLobby(LobbyFirstTickMs);
}

void TWEBForm::applyLobby(const TWebRecord &r)
{
    for (TLabel *l : LobbyNames)
        l->clear();
    for (const TWebLobbyItem &item : r.Lobby)
        for (int i = 0; i < kLobbyRows; ++i)
            if (kLobbyCodes[i] == item.Code)
                LobbyNames[i]->setText(item.Names);
    const int lobbyHeight = kRowHeight * int(r.Lobby.size());
    const int panelHeight = LobbyLabel->geometry().bottom() + 1 + kFooterHeight + lobbyHeight + kRowHeight;
    Lobby_Panel->resize(Lobby_Panel->width(), lobbyHeight);
    Panel_spiel->resize(Panel_spiel->width(), panelHeight);
    Panel_footer->move(0, panelHeight - kFooterHeight);
    resize(width(), panelHeight);
    Lobby_Panel->show();
    // The rows that hold names, one under the other.
    int y = 0;
    for (int i = 0; i < kLobbyRows; ++i) {
        const bool used = !LobbyNames[i]->text().isEmpty();
        LobbyRow[i]->setVisible(used);
        if (used) {
            LobbyRow[i]->move(0, y);
            y += kRowHeight;
        }
    }
}

void TWEBForm::applyRecord(const TWebRecord &r, bool &stop)
{
    TForm1 *f = Form1;
    switch (r.Letter) {
    case 'A':
        applyLogin(r, stop);
        return;
    case 'a':
        MessageDlg(QStringLiteral("Anmeldung nicht erfolgreich."), TMsgDlgType::Information, TMsgDlgButtons::OK);
        LoggedIn = false;
        Lobby->SetEnabled(false);
        return;
    case 's':
        GameLoopId = r.Number;
        LastMessageId = 0;
        RequestCounter = 0;
        // A new game of the session is no resumed one: its penalty waits count.
        ResumedGame = false;
        hide();
        Timer->SetEnabled(true);
        showConnecting();
        if (f)
            f->BTC_Spiel_Ende->setEnabled(true);
        return;
    case 'V':
        MessageDlg(QStringLiteral("Spiel mittlerweile voll.\r\nBitte nochmal versuchen!"), TMsgDlgType::Information,
                   TMsgDlgButtons::OK);
        return;
    case 'L':
        applyLobby(r);
        return;
    default:
        break;
    }
    if (!f)
        return;
    switch (r.Letter) {
    case 'I': {
        TPlayerRecord &p = f->Players[r.Slot];
        p.Name = r.Text;
        p.Address = QStringLiteral("WEB");
        p.Active = true;
        p.PlayerNo = r.Slot;
        if (upperAscii(r.Text) == upperAscii(iNet_User->text())) {
            if (NETZ)
                NETZ->MyPlayerNo = r.Slot;
            DistributePlayerColours();
        }
        break;
    }
    case 'X':
        if (r.Slot > 0)
            f->Players[r.Slot].Active = false;
        break;
    case 'R':
        if (NETZ)
            NETZ->ResetBoardCells();
        DistributePlayerColours();
        break;
    case 'S':
        if (FormFeld)
            FormFeld->ClearAllMarkStates();
        f->SymbolSet = QStringLiteral("123456789");
        f->ChatBox->clear();
        if (FormMeld)
            FormMeld->hide();
        f->brett->show();
        f->GameRunning = true;
        f->GameStartCount = PerfCounter();
        break;
    case 'F': {
        TGridEntry &e = f->Boards[1][r.X][r.Y];
        e.Value = r.Z;
        e.State = r.Owner;
        DrawCell(r.X, r.Y, false);
        TCellView &cv = f->Cells[r.X][r.Y];
        cv.ShowMarks = 0;
        cv.DigitLabel.SetCaption(QString::number(r.Z));
        cv.DigitColor = 0;
        cv.DigitLabel.SetFontColor(ColorFromBGR(0));
        cv.Owner = r.Owner;
        cv.HighlightTicks = 7;
        break;
    }
    case 'f': {
        TCellView &cv = f->Cells[r.X][r.Y];
        cv.BlinkTicks = 6;
        cv.DigitLabel.SetCaption(QString::number(r.Z));
        break;
    }
    case 'D': {
        const int64_t now = PerfCounter();
        TPlayerRecord &p = f->Players[r.Slot];
        p.Points = r.Points;
        p.Found = r.Found;
        p.Errors = r.Errors;
        if (r.WaitSeconds > 0 && PlayerM->Tag > 1 && !ResumedGame)
            p.WaitSeconds = r.WaitSeconds;
        // A full record keeps its samples: the curve ends at its last point.
        if (p.SampleCount >= 0 && p.SampleCount < kSampleCapacity) {
            TProgressSample &s = p.Samples[p.SampleCount];
            s.Time = f->CountsPerTenth > 0 ? (now - f->GameStartCount) / f->CountsPerTenth : 0;
            s.Found = p.Found;
            ++p.SampleCount;
        }
        if (p.WaitSeconds > 0 && PlayerM->Tag > 1 && NETZ && r.Slot == NETZ->MyPlayerNo)
            f->brett->hide();
        break;
    }
    case 'c':
        for (int k = 1; k <= 8; ++k)
            f->Players[k].FreeCells = r.Number;
        break;
    case 'C':
        f->ChatBox->Add(r.Text);
        f->ChatBox->setCurrentRow(f->ChatBox->Count() - 1);
        break;
    case 'r':
        f->ChatBox->clear();
        break;
    case 'm':
    case 'M':
        // The server gives its notices no time: they go after the usual two
        // seconds instead of staying over the board for the whole game.
        if (FormMeld) {
            FormMeld->Dauer = TFormMeld::kNoticeTicks;
            FormMeld->ShowTextSized(r.Text, r.Letter == 'm' ? 14 : 35);
        }
        break;
    case 'x':
        MessageDlg(r.Text, TMsgDlgType::Information, TMsgDlgButtons::OK);
        break;
    case 'E':
        Timer->SetEnabled(false);
        f->GameRunning = false;
        // Back in the lobby, which is asked again at its usual pace.
        startLobby(5000);
        if (FormSpielEnde) {
            FormSpielEnde->TablePending = true;
            FormSpielEnde->ShowGameEnd();
        }
        break;
    default:
        break;
    }
}
