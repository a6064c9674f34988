#include "competitions/UChallenge.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
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
#include <QFileInfo>
#include <QHeaderView>
#include <QSignalBlocker>

TFormCha *FormCha = nullptr;
QString ChallengeFileName;

namespace {
constexpr int kWidth = 438;
constexpr int kHeight = 539;
constexpr int kTitleHeight = 40;
constexpr int kTopHeight = 160;
constexpr int kTreeHeight = 120;
constexpr int kFooterHeight = 40;

const QString kSpiele = QString::fromLatin1(kChallengeSection);
const QString kEtappe = QString::fromLatin1(kStageSection);
const QString kChallengeWord = QStringLiteral("Challenge");
const QString kTournamentWord = QStringLiteral("Turnier");

int playMode()
{
    return FormStart ? FormStart->PlayMode : 10;
}

QString optionsNickname()
{
    return FormOpt && FormOpt->NickName ? FormOpt->NickName->text() : QString();
}

bool isClient()
{
    return NETZ && NETZ->MyPlayerNo > 1;
}

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

// An "Etappe" value as a number; a missing or unreadable one counts as 0.
int stageNumberOf(const TIniFile &ini, const QString &nickname)
{
    return std::max(0, PlayerStageNumber(ini, nickname));
}

// A file the program can play and extend: checksum, stage keys and codes,
// and no player beyond the last stage.
bool documentIsPlayable(const TIniFile &ini)
{
    if (!VerifyChecksum(ini, kSpiele) || !StagesAreValid(ini))
        return false;
    const int stages = StageKeys(ini).size();
    for (const QString &nick : ini.ReadSection(kEtappe))
        if (PlayerStageNumber(ini, nick) > stages)
            return false;
    return true;
}

void enableAll(std::initializer_list<QWidget *> widgets, bool on)
{
    for (QWidget *w : widgets)
        if (w)
            w->setEnabled(on);
}

// The time a stage result records for a player: the last progress sample's,
// never beyond the game's elapsed time; the elapsed time without a sample.
int32_t resultTenths(const TPlayerRecord &p, int64_t elapsed)
{
    int64_t t = elapsed;
    const int n = std::min<int>(p.SampleCount, kSampleCapacity);
    if (n > 0)
        t = Min64(elapsed, p.Samples[n - 1].Time);
    return static_cast<int32_t>(t);
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

// ---- the results list ----------------------------------------------------------

void TFormCha::AddGamerRow(const QString &name, const QString &count, const QString &stageNr, int64_t points,
                           int64_t tenths, int64_t errors)
{
    auto *row = new QTreeWidgetItem(GamerView);
    row->setText(0, name);
    row->setText(1, count);
    row->setText(2, stageNr);
    row->setText(3, QString::number(points));
    row->setText(4, FormatTenths(tenths));
    row->setText(5, QString::number(errors));
    for (int c = 2; c < 6; ++c)
        row->setTextAlignment(c, Qt::AlignCenter);
    GamerViewCustomDrawItem(row);
}

void TFormCha::ClearTournamentLists()
{
    Tree->clear();
    GamerView->clear();
}

void TFormCha::GamerViewCustomDrawItem(QTreeWidgetItem *item)
{
    if (!item || item->text(0).isEmpty())
        return;
    const bool own = item->text(0) == Nickname->text();
    int32_t colour = -1;
    if (!item->text(1).isEmpty()) {
        colour = own ? kOwnTotalColour : kTotalColour;
    } else if (!item->text(2).isEmpty()) {
        if (own)
            colour = kOwnStageColour;
        else
            colour = item->text(2).toLongLong() % 2 == 1 ? kOddStageColour : kEvenStageColour;
    }
    if (colour < 0)
        return;
    for (int c = 0; c < item->columnCount(); ++c) {
        item->setBackground(c, ColorFromBGR(colour));
        item->setForeground(c, Qt::black);
    }
}

void TFormCha::FillGamerView(const TIniFile &ini, QObject *Sender)
{
    if (Sender == Passwort)
        return;
    const QStringList nicks = ini.ReadSection(kEtappe);
    if (Sender != Nickname) {
        const QSignalBlocker block(Nickname);
        Nickname->clear();
        Nickname->addItems(nicks);
        Nickname->setText(optionsNickname());
    }
    for (const QString &nick : nicks) {
        const int n = stageNumberOf(ini, nick);
        int64_t points = 0, tenths = 0, errors = 0;
        for (int s = 1; s <= n; ++s) {
            int a = 0, b = 0, c = 0;
            ParseStarTriple(ini.ReadString(StageNumberText(s), nick, QStringLiteral("0*0*0")), a, b, c);
            points += a;
            tenths += b;
            errors += c;
        }
        AddGamerRow(nick, QString::number(n), QString(), points, tenths, errors);
    }
    const int stages = StageKeys(ini).size();
    for (int s = 1; s <= stages; ++s) {
        const QString section = StageNumberText(s);
        for (const QString &nick : ini.ReadSection(section)) {
            int a = 0, b = 0, c = 0;
            ParseStarTriple(ini.ReadString(section, nick, QStringLiteral("0*0*0")), a, b, c);
            AddGamerRow(nick, QString(), section, a, b, c);
        }
    }
}

// ---- the state rule ------------------------------------------------------------

void TFormCha::applyState(const TChallengeState &s)
{
    bt_start->SetCaption(s.Caption);
    bt_start->setEnabled(s.Start);
    bt_neues->setEnabled(s.New);
    bt_clear->setEnabled(s.Clear);
}

void TFormCha::UpdateState(QObject *Sender)
{
    // A tournament client shows the host's lists; only the colours follow
    // its own nickname.
    if (!ChallengeName->isEnabled()) {
        for (int i = 0; i < GamerView->topLevelItemCount(); ++i)
            GamerViewCustomDrawItem(GamerView->topLevelItem(i));
        return;
    }
    GamerView->clear();
    const QString X = ModeWord();
    const QString name = ChallengeName->text();
    if (name.isEmpty()) {
        applyState({X + QStringLiteral("name\r\neingeben."), false, false, false});
        return;
    }
    // A name that would leave the data folder, or a mode without files, names
    // no file: nothing can be read, written or created under it.
    ChallengeFileName = CompetitionFilePath(ProgramDir(), name, playMode());
    if (ChallengeFileName.isEmpty() || !QFileInfo(ChallengeFileName).isFile()) {
        applyState({X + QStringLiteral("name\r\nunbekannt."), false, !ChallengeFileName.isEmpty(), false});
        return;
    }
    TIniFile ini(ChallengeFileName);
    if (!ini.Load() || !documentIsPlayable(ini)) {
        // Clearing would make a tampered file valid again.
        applyState({X + QStringLiteral("datei\r\nungültig."), false, true, false});
        return;
    }
    const bool owner = PasswordMatches(ini, Passwort->text());
    TraceCat(5, owner ? QStringLiteral("Challenge / Turnier Passwort richtig")
                      : QStringLiteral("Challenge / Turnier Passwort falsch"));
    TChallengeState s{QString(), false, owner, owner};
    const int stages = StageKeys(ini).size();
    const QString nick = Nickname->text();
    const int own = stageNumberOf(ini, nick);
    if (own < stages) {
        TraceCat(5, QStringLiteral("Challenge / Turnier letztes Spiel nicht erreicht"));
        s.Caption = X + QStringLiteral("spiel\r\nstarten");
        s.Start = true;
    } else {
        TraceCat(5, QStringLiteral("Challenge / Turnier letztes Spiel erreicht"));
        if (owner) {
            s.Caption = X + QStringLiteral(" erweitern\r\nSpiel starten.");
            s.Start = true;
        } else {
            s.Caption = X + QStringLiteral(" erweitern\r\nnur mit Passwort!");
            s = {s.Caption, false, false, false};
        }
    }
    // A challenge result is stored under the nickname: it must name a key.
    if (X == kChallengeWord && !TIniFile::IsWritableKey(nick)) {
        s.Caption =
            nick.isEmpty() ? QStringLiteral("Spielername\r\neingeben.") : QStringLiteral("Spielername\r\nungültig.");
        s.Start = false;
    }
    applyState(s);

    if (!bt_start->isHidden() && X == kTournamentWord) {
        const QStringList players = ini.ReadSection(kEtappe);
        const int n = players.size();
        const int online = Form1 ? Form1->CountOnlinePlayers() : 0;
        QString failure;
        if (n != 0 && n < online) {
            failure = QStringLiteral("Zuviele Spieler\r\nfür dieses Turnier.");
        } else if (n > online) {
            failure = QStringLiteral("Zuwenig Spieler\r\nfür dieses Turnier.");
        } else {
            for (const QString &p : players)
                if (!Form1 || !Form1->IsPlayerNameTaken(p)) {
                    failure = QStringLiteral("Falsche Spieler\r\nfür dieses Turnier.");
                    break;
                }
            if (failure.isEmpty() && n > 0) {
                const int first = stageNumberOf(ini, players.first());
                for (const QString &p : players)
                    if (stageNumberOf(ini, p) != first) {
                        failure = QStringLiteral("Falsche Spieleanzahl der\r\neinzelnen Spieler.");
                        break;
                    }
            }
            if (failure.isEmpty() && online < 2)
                failure = QStringLiteral("Zuwenig Spieler\r\nfür ein Turnier.");
        }
        if (!failure.isEmpty()) {
            bt_start->SetCaption(failure);
            bt_start->setEnabled(false);
        }
        // The clients show the host's results list as the host shows it,
        // also while the players online do not fit the file: the list below
        // is filled from this file either way. The sender reads the open file.
        if (Sender != Passwort && NETZ && !isClient()) {
            TIniFile *previous = NETZ->WorkIni;
            NETZ->WorkIni = &ini;
            NETZ->SendTournamentData(-1);
            NETZ->WorkIni = previous;
        }
    }
    FillGamerView(ini, Sender);
}

void TFormCha::Refresh()
{
    UpdateState(nullptr);
}

void TFormCha::ChallengeNameChange(QObject *Sender)
{
    UpdateState(Sender);
    if (const int rule = endRule())
        RegWriteInteger(QStringLiteral("TurnierEndeArt"), rule);
}

// ---- the file ------------------------------------------------------------------

bool TFormCha::loadCheckedFile(TIniFile &ini) const
{
    if (ChallengeFileName.isEmpty() || !QFileInfo(ChallengeFileName).isFile())
        return false;
    ini = TIniFile(ChallengeFileName);
    return ini.Load() && documentIsPlayable(ini);
}

bool TFormCha::saveFile(TIniFile &ini)
{
    if (!WriteChecksum(ini, kSpiele))
        return false;
    QString error;
    if (!ini.Save(&error)) {
        TraceCat(5, QStringLiteral("Challenge / Turnier: Datei nicht gespeichert: ") + error);
        ReportSaveFailure(ini.FileName(), error);
        return false;
    }
    return true;
}

QString TFormCha::NextStageNumber(const QString &nickname)
{
    TIniFile ini(ChallengeFileName);
    ini.Load();
    return ::NextStageNumber(ini, nickname);
}

bool TFormCha::CreateChallengeFile()
{
    const QString path = CompetitionFilePath(ProgramDir(), ChallengeName->text(), playMode());
    if (path.isEmpty())
        return false;
    ChallengeFileName = path;
    if (QFileInfo::exists(path)) {
        // A valid file is overwritten only by its owner.
        TIniFile old(path);
        if (old.Load() && VerifyChecksum(old, kSpiele) && !PasswordMatches(old, Passwort->text()))
            return false;
        if (MessageDlg(QStringLiteral("Datei schon vorhanden.\r\nDatei überschreiben ?"), TMsgDlgType::Confirmation,
                       TMsgDlgButtons::YesNo) != mrYes)
            return false;
    }
    // The new file replaces the old one in one step, so a failed write keeps it.
    TIniFile ini = NewCompetitionDocument(path, Passwort->text());
    QString error;
    if (!ini.Save(&error)) {
        ReportSaveFailure(path, error);
        return false;
    }
    return true;
}

bool TFormCha::SaveStageResult(const QString &stage, int32_t points, int32_t tenths, int32_t errors)
{
    TIniFile ini;
    if (!loadCheckedFile(ini))
        return false;
    const QString nick = Nickname->text();
    if (!TIniFile::IsWritableKey(nick) || !StageKeys(ini).contains(stage))
        return false;
    if (!ini.WriteString(kEtappe, nick, stage) || !ini.WriteString(stage, nick, ResultText(points, tenths, errors)))
        return false;
    return saveFile(ini);
}

bool TFormCha::writeStageOfAllPlayers(const std::function<QString(const TPlayerRecord &)> &result)
{
    // The host owns the tournament file.
    if (isClient())
        return true;
    TIniFile ini;
    if (!loadCheckedFile(ini) || !StageKeys(ini).contains(StageNr) || !Form1)
        return false;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerRecord &r = Form1->Players[p];
        if (r.Name.isEmpty())
            continue;
        if (!ini.WriteString(kEtappe, r.Name, StageNr) || !ini.WriteString(StageNr, r.Name, result(r)))
            return false;
    }
    return saveFile(ini);
}

bool TFormCha::RegisterStageAll()
{
    return writeStageOfAllPlayers([](const TPlayerRecord &) { return QStringLiteral("0*0*0"); });
}

bool TFormCha::SaveStageResultsAll()
{
    return writeStageOfAllPlayers(
        [](const TPlayerRecord &r) { return ResultText(r.Points, resultTenths(r, Form1->ElapsedTenths), r.Errors); });
}

bool TFormCha::StoreStageGameCode(const QString &code)
{
    TIniFile ini;
    if (!IsValidStageCode(code) || !IsValidStageNumber(StageNr) || !loadCheckedFile(ini))
        return false;
    // Stages are added in order: the new one follows the last.
    if (StageNr != StageNumberText(StageKeys(ini).size() + 1))
        return false;
    if (!ini.WriteString(kSpiele, StageNr, code))
        return false;
    return saveFile(ini);
}

// ---- the tree ------------------------------------------------------------------

QString TFormCha::StageLineText(const QString &key, const QString &code)
{
    auto at = [&code](int i) { return i < code.size() ? code[i] : QChar(); };
    QString line = key + QLatin1Char(':');
    const QChar type = at(81);
    if (type == QLatin1Char('S'))
        line += QStringLiteral(" Sudoku; ");
    else if (type == QLatin1Char('I'))
        line += QStringLiteral(" Mojidoku(A-I); ");
    else if (type == QLatin1Char('Z'))
        line += QStringLiteral(" Mojidoku(A-Z); ");
    line += at(82) == QLatin1Char('S') ? QStringLiteral("Auswertung sofort;") : QStringLiteral("Auswertung am Ende;");
    line += QStringLiteral(" Vorgabe: ") + TFormGO::LevelName(at(83).unicode() - '0') + QLatin1Char(';');
    line += QStringLiteral(" Bewertung: ") + TFormGO::RatingName(at(84).unicode() - '0') + QLatin1Char(';');
    line += QStringLiteral(" Merker: ") + (at(85).isNull() ? QString() : QString(at(85)));
    return line;
}

void TFormCha::FormShow()
{
    if (!ChallengeName->isEnabled())
        return;
    NeedNewGame = false;
    TraceCat(5, QStringLiteral("Challenge / Turnier anzeigen"));
    UpdateState(nullptr);
    Tree->clear();
    const QString mask = FileMask();
    FileListBox1->Mask = mask;
    FileListBox1->SetDirectory(ProgramDir());
    FileListBox1->Update();
    const QString ext = CompetitionExtension(playMode());
    for (int i = 0; i < FileListBox1->Count(); ++i) {
        const QString file = FileListBox1->Item(i);
        const QString name = file.left(file.size() - (mask.size() - 1));
        auto *node = new QTreeWidgetItem(Tree, {name});
        if (ext.isEmpty())
            continue;
        TIniFile ini(ProgramDir() + QLatin1Char('/') + name + ext);
        if (ini.Load() && documentIsPlayable(ini)) {
            for (const QString &key : StageKeys(ini))
                new QTreeWidgetItem(node, {StageLineText(key, ini.ReadString(kSpiele, key, QStringLiteral("0")))});
        } else {
            new QTreeWidgetItem(node, {QStringLiteral("Datei ungültig !")});
            node->setExpanded(true);
        }
    }
}

void TFormCha::TreeChanging(QTreeWidgetItem *node)
{
    if (!node)
        return;
    while (node->parent())
        node = node->parent();
    SelectedName = node->text(0);
}

void TFormCha::TreeDblClick()
{
    if (ChallengeName->isEnabled() && !SelectedName.isEmpty())
        ChallengeName->setText(SelectedName);
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
