// The challenge and tournament window: its controls, its mode, its buttons
// and its window events.
#include "competitions/UChallenge.h"

#include "board/UQuadrivo.h"
#include "competitions/UChallenge_Shared.h"
#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QCloseEvent>
#include <QEvent>
#include <QHeaderView>

TFormCha *FormCha = nullptr;
QString ChallengeFileName;

using namespace ChallengeShared;

namespace {
constexpr int kWidth = 438;
constexpr int kHeight = 539;
constexpr int kTitleHeight = 40;
constexpr int kTopHeight = 160;
constexpr int kTreeHeight = 120;
constexpr int kFooterHeight = 40;

// A client of the host's LAN game, not a machine that is opening its own.
bool clientOfHost()
{
    return isClient() && !(Form1 && Form1->HostsNetworkGame);
}

// In help mode a caption button shows the help topic of the window's mode
// instead of acting: the single-player topic, which explains the challenge,
// or the multi-player one, which explains the tournament.
bool helpClick(const TFormCha *window)
{
    if (!Form1 || Form1->HelpCursor != -20)
        return false;
    if (FormInfo)
        FormInfo->ShowHelp(window->IsChallenge() ? 4 : 5);
    return true;
}

void enableAll(std::initializer_list<QWidget *> widgets, bool on)
{
    for (QWidget *w : widgets)
        if (w)
            w->setEnabled(on);
}
} // namespace

TNickBox::TNickBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

TFormCha::TFormCha(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(kChallengeWord);
    resize(kWidth, kHeight);
    QFont base(QStringLiteral("MS Sans Serif"));
    setFont(base);

    TitelPanel = new TPanel(this);
    TitelPanel->setGeometry(0, 0, kWidth, kTitleHeight);
    TitelLabel = new TLabel(TitelPanel, QStringLiteral("Challenge :"));
    TitelLabel->setGeometry(10, 2, 400, 36);
    QFont title = TitelLabel->font();
    title.setPixelSize(32);
    title.setBold(true);
    title.setUnderline(true);
    TitelLabel->setFont(title);

    TopPanel = new TPanel(this);
    TopPanel->setGeometry(0, kTitleHeight, kWidth, kTopHeight);
    TopPanel->SetColor(ColorFromBGR(0x008000));
    ChallengeName = new TLabeledEdit(TopPanel, QStringLiteral("Challengename :"));
    ChallengeName->setGeometry(10, 22, 180, 22);
    ChallengeName->PlaceLabel();
    Passwort = new TLabeledEdit(TopPanel, QStringLiteral("Passwort"));
    Passwort->setGeometry(10, 66, 180, 22);
    Passwort->setEchoMode(QLineEdit::Password);
    Passwort->PlaceLabel();
    SpielernameLabel = new TLabel(TopPanel, QStringLiteral("Spielername :"));
    SpielernameLabel->setGeometry(10, 94, 180, 16);
    Nickname = new TNickBox(TopPanel);
    Nickname->setGeometry(10, 110, 180, 22);
    Nickname->setText(QStringLiteral("Nickname"));
    for (QWidget *w : {static_cast<QWidget *>(ChallengeName->EditLabel), static_cast<QWidget *>(Passwort->EditLabel),
                       static_cast<QWidget *>(SpielernameLabel)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        w->setPalette(pal);
    }

    rb_panel_t = new TPanel(TopPanel);
    rb_panel_t->setGeometry(10, 94, 190, 62);
    RB3 = new TRadioButton(rb_panel_t, QStringLiteral("Punkte verfallen"));
    RB3->setGeometry(4, 2, 180, 18);
    RB3->setToolTip(QStringLiteral("Die Restlichen Punkte verfallen"));
    RB2 = new TRadioButton(rb_panel_t, QStringLiteral("Letzter erhält Rest"));
    RB2->setGeometry(4, 22, 180, 18);
    RB2->setToolTip(QStringLiteral("Der letzte Spieler erhält zusätzlich die verbleibenden Punkte"));
    RB2->setChecked(true);
    RB1 = new TRadioButton(rb_panel_t, QStringLiteral("Alle bis zum Ende"));
    RB1->setGeometry(4, 42, 180, 18);
    RB1->setToolTip(QStringLiteral("Alle Spieler müssen bis zum Ende Spielen"));
    rb_panel_t->hide();

    auto button = [this](QWidget *parent, const QString &text, const char *face, const QRect &r, TImage *&pic) {
        TLabel *l = MakeFaceButton(parent, text, face, r, pic);
        // The faces keep the names they have in the window; the skin finds them by this.
        SetSkinPicture(pic, "pic_no_press");
        l->SetFontSize(8, false);
        l->setWordWrap(true);
        connect(l, &TLabel::MouseEnter, this, [this, l] { bt_clearMouseEnter(l); });
        connect(l, &TLabel::MouseLeave, this, [this, l] { bt_clearMouseLeave(l); });
        return l;
    };
    bt_start = button(TopPanel, QStringLiteral("Start"), "pic_start", QRect(kWidth - 130, 14, 120, 54), pic_start);
    bt_neues = button(TopPanel, QStringLiteral("neues"), "pic_neue", QRect(kWidth - 230, 110, 100, 26), pic_neue);
    bt_clear =
        button(TopPanel, QStringLiteral("Spieler löschen"), "Pic_Clear", QRect(kWidth - 124, 110, 114, 26), Pic_Clear);

    Tree = new TTreeView(this);
    Tree->setGeometry(0, kTitleHeight + kTopHeight, kWidth, kTreeHeight);
    Tree->setHeaderHidden(true);
    Tree->setStyleSheet(QStringLiteral("QTreeView { background: #008000; color: white; font: 12px \"Verdana\"; }"));

    GamerView = new TListView(this);
    const int listTop = kTitleHeight + kTopHeight + kTreeHeight;
    GamerView->setGeometry(0, listTop, kWidth, kHeight - kFooterHeight - listTop);
    GamerView->setRootIsDecorated(false);
    GamerView->setSelectionBehavior(QAbstractItemView::SelectRows);
    GamerView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GamerView->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Anz."), QStringLiteral("Spielnr."),
                                QStringLiteral("Punkte"), QStringLiteral("Zeit"), QStringLiteral("Fehler")});
    const int widths[] = {120, 40, 60, 60, 70, 60};
    for (int c = 0; c < 6; ++c) {
        GamerView->header()->resizeSection(c, widths[c]);
        if (c >= 2)
            GamerView->headerItem()->setTextAlignment(c, Qt::AlignCenter);
    }
    GamerView->setStyleSheet(QStringLiteral("QTreeView { background: white; font: 12px \"Verdana\"; }"));
    GamerView->SetGridLines(true);

    FileListBox1 = new TFileListBox(this);
    FileListBox1->CaseSensitive = true;
    FileListBox1->hide();

    footer_panel = new TPanel(this);
    footer_panel->setGeometry(0, kHeight - kFooterHeight, kWidth, kFooterHeight);
    bt_ende = button(footer_panel, QStringLiteral("Beenden"), "pic_ende", QRect(10, 7, 160, 26), pic_ende);

    for (TPanel *p : {TitelPanel, footer_panel}) {
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->SetColor(ColorFromBGR(0x409FFF));
    }

    connect(ChallengeName, &QLineEdit::textChanged, this, [this] { ChallengeNameChange(ChallengeName); });
    connect(Passwort, &QLineEdit::textChanged, this, [this] { ChallengeNameChange(Passwort); });
    connect(Nickname, &QComboBox::editTextChanged, this, [this] { ChallengeNameChange(Nickname); });
    for (TRadioButton *rb : {RB1, RB2, RB3})
        connect(rb, &QRadioButton::clicked, this, [this, rb] { ChallengeNameChange(rb); });
    connect(bt_start, &TLabel::Click, this, &TFormCha::start_CClick);
    connect(bt_neues, &TLabel::Click, this, &TFormCha::neu_CClick);
    connect(bt_clear, &TLabel::Click, this, &TFormCha::ClearClick);
    connect(bt_ende, &TLabel::Click, this, &TFormCha::close_cClick);
    connect(Tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        TreeChanging(current);
        if (current)
            current->setExpanded(true);
    });
    connect(Tree, &QTreeWidget::itemDoubleClicked, this, &TFormCha::TreeDblClick);

    setMode(true);
}

// ---- mode ----------------------------------------------------------------------

QString TFormCha::ModeWord() const
{
    return windowTitle();
}

bool TFormCha::IsChallenge() const
{
    return windowTitle() == kChallengeWord;
}

bool TFormCha::IsTournament() const
{
    return windowTitle() == kTournamentWord;
}

QString TFormCha::FileMask()
{
    return playMode() == 10 ? QStringLiteral("*.challenge") : QStringLiteral("*.turnier");
}

void TFormCha::setMode(bool challenge)
{
    setWindowTitle(challenge ? kChallengeWord : kTournamentWord);
    TitelLabel->SetCaption(challenge ? QStringLiteral("Challenge :") : QStringLiteral("Turnier :"));
    ChallengeName->EditLabel->SetCaption(challenge ? QStringLiteral("Challengename :")
                                                   : QStringLiteral("Turniername :"));
    bt_ende->SetCaption(challenge ? QStringLiteral("Challenge beenden") : QStringLiteral("Turnier beenden"));
    bt_start->SetCaption(challenge ? QStringLiteral("Challenge starten") : QStringLiteral("Turnier starten"));
    bt_neues->SetCaption(challenge ? QStringLiteral("Neue Challenge") : QStringLiteral("Neues Turnier"));
    SpielernameLabel->setVisible(challenge);
    Nickname->setVisible(challenge);
    rb_panel_t->setVisible(!challenge);
}

void TFormCha::SetTurnierEndeArt(int n)
{
    if (n == 1)
        RB1->setChecked(true);
    else if (n == 2)
        RB2->setChecked(true);
    else if (n == 3)
        RB3->setChecked(true);
}

int TFormCha::endRule() const
{
    if (RB1->isChecked())
        return 1;
    if (RB2->isChecked())
        return 2;
    if (RB3->isChecked())
        return 3;
    return 0;
}

void TFormCha::setUp(bool challenge)
{
    if (Form1 && Form1->brett)
        Form1->brett->hide();
    setMode(challenge);
    if (!challenge)
        enableAll({RB1, RB2, RB3}, true);
    Nickname->setText(optionsNickname());
    ChallengeName->setEnabled(true);
    Passwort->show();
    show();
    raise();
}

void TFormCha::SetupChallenge()
{
    setUp(true);
}

void TFormCha::SetupTournament()
{
    // A client's own set-up would open the name field and list its own
    // files in place of the host's tournament.
    if (clientOfHost())
        ShowHostTournament();
    else
        setUp(false);
}

void TFormCha::ShowHostTournament()
{
    if (Form1 && Form1->brett)
        Form1->brett->hide();
    setMode(false);
    Nickname->setText(optionsNickname());
    // Locked before it shows: a window shown with its name field disabled
    // keeps its tree and its list.
    LockForHost();
    show();
    raise();
}

void TFormCha::LockForHost()
{
    enableAll({RB1, RB2, RB3, bt_neues, bt_clear, Passwort, bt_start, ChallengeName}, false);
    bt_start->setText(QStringLiteral("Server startet Spiel"));
}

bool TFormCha::InHostTournament() const
{
    return TournamentActive && clientOfHost();
}

// ---- buttons -------------------------------------------------------------------

void TFormCha::start_CClick()
{
    if (helpClick(this) || !bt_start->isEnabled() || !Form1 || !NETZ)
        return;
    TIniFile ini;
    // The file may have changed since the state rule looked at it.
    if (!loadCheckedFile(ini)) {
        ShowMessage(QStringLiteral("Datei ungültig.\r\nDaten werden nicht gespeichert!"));
        UpdateState(nullptr);
        return;
    }
    const bool challenge = IsChallenge();
    const QString nick = challenge ? Nickname->text() : optionsNickname();
    const QString stage = ::NextStageNumber(ini, nick);
    const QString code = ini.ReadString(kSpiele, stage, QStringLiteral("0"));
    // Extending a series takes its password.
    if (code == QLatin1String("0") && !PasswordMatches(ini, Passwort->text())) {
        UpdateState(nullptr);
        return;
    }
    if (challenge) {
        ChallengeActive = true;
        if (FormGO) {
            FormGO->SetSpecialTypesEnabled(false);
            if (FormGO->GetGameType() != 1) {
                ShowMessage(
                    QStringLiteral("Im Challengemodus ist nur Sudoku möglich.\n\rEs wird auf Sudoku umgestellt."));
                FormGO->SetGameType(1);
            }
        }
    } else if (IsTournament()) {
        TournamentActive = true;
    }
    NETZ->BecomeHost();
    if (challenge)
        Form1->Players[1].Name = nick.left(15);
    StartClosing = true;
    close();
    StageNr = stage;
    StageGameCode = code;
    if (StageGameCode == QLatin1String("0")) {
        NeedNewGame = true;
        if (FormGO)
            FormGO->show();
    } else {
        Form1->StartGame();
    }
}

void TFormCha::neu_CClick()
{
    if (helpClick(this) || !bt_neues->isEnabled())
        return;
    CreateChallengeFile();
    FormShow();
}

void TFormCha::ClearClick()
{
    if (helpClick(this) || !bt_clear->isEnabled())
        return;
    if (MessageDlg(QStringLiteral("Alle Spieler aus Datei löschen?"), TMsgDlgType::Confirmation,
                   TMsgDlgButtons::YesNo) != mrYes)
        return;
    if (ChallengeActive)
        ChallengeFileName = CompetitionFilePath(ProgramDir(), ChallengeName->text(), 10);
    else if (TournamentActive)
        ChallengeFileName = CompetitionFilePath(ProgramDir(), ChallengeName->text(), 20);
    TIniFile ini;
    // Only the owner of an intact file may clear it.
    if (!loadCheckedFile(ini) || !PasswordMatches(ini, Passwort->text())) {
        UpdateState(nullptr);
        return;
    }
    for (const QString &section : ini.ReadSections())
        if (section.compare(kSpiele, Qt::CaseInsensitive) != 0)
            ini.EraseSection(section);
    saveFile(ini);
    FormShow();
}

void TFormCha::close_cClick()
{
    if (helpClick(this))
        return;
    if (IsChallenge()) {
        if (FormGO)
            FormGO->SetSpecialTypesEnabled(true);
        close();
        ChallengeName->clear();
    } else if (IsTournament()) {
        close();
        if (isClient()) {
            if (Form1)
                Form1->LeaveGame();
        } else if (NETZ) {
            NETZ->SendTournamentData(99);
        }
        // A client's close kept its tournament; the end button leaves it.
        ChallengeActive = false;
        TournamentActive = false;
        ChallengeName->clear();
    }
    enableAll({Passwort, ChallengeName}, true);
    if (FormStart)
        FormStart->show();
}

void TFormCha::bt_clearMouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TFormCha::bt_clearMouseLeave(TLabel *label)
{
    label->SetFontSize(8, false);
}

// ---- window events -------------------------------------------------------------

void TFormCha::FormActivate()
{
    StartClosing = false;
    PlaceOverMainWindow(this);
}

void TFormCha::FormClose()
{
    if (StartClosing) {
        StartClosing = false;
    } else if (!InHostTournament()) {
        // The start of the host's next stage closes a client's window, and
        // so may the client himself: neither is leaving the tournament.
        ChallengeActive = false;
        TournamentActive = false;
    }
}

void TFormCha::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormShow();
    FormActivate();
}

void TFormCha::closeEvent(QCloseEvent *e)
{
    FormClose();
    QWidget::closeEvent(e);
    // Closed by the window manager, a client's window leaves him where the
    // host's game has him: on the board while it runs, else waiting for the
    // host's next stage, with the menu that shows this window again.
    if (e->spontaneous() && e->isAccepted() && InHostTournament() && Form1) {
        if (Form1->GameRunning)
            Form1->brett->show();
        else
            Form1->WaitForHostsNextGame();
    }
}

void TFormCha::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}
