#include "competitions/Ughost.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "files/UCompetitionFile.h"
#include "files/UGhostData.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "ui/DialogService.h"

#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>

TFormGhost *FormGhost = nullptr;
QString GhostFileName;

namespace {
constexpr int kWidth = 535;
constexpr int kHeight = 290;
constexpr int kTitleHeight = 32;
constexpr int kFooterHeight = 40;

const QString kMain = QString::fromLatin1(kGhostMainSection);

// Loads and checks a ghost file: it exists, its checksum holds and its
// contents can be played.
bool loadValidGhostFile(const QString &path, TIniFile &ini, TGhostData *data = nullptr)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    ini = TIniFile(path);
    if (!ini.Load() || !VerifyChecksum(ini, kMain))
        return false;
    const TGhostData d = ReadGhostData(ini);
    if (!GhostDataProblem(d).isEmpty())
        return false;
    if (data)
        *data = d;
    return true;
}
} // namespace

TFormGhost::TFormGhost(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Ghost"));
    const int bodyHeight = kHeight - kTitleHeight - kFooterHeight;

    TitelPanel = new TPanel(this);
    TitelPanel->setGeometry(0, 0, kWidth, kTitleHeight);
    TitelLabel = new TLabel(TitelPanel, QStringLiteral("Ghostmodus :"));
    TitelLabel->setGeometry(10, 4, 300, 24);
    TitelLabel->SetFontSize(12, true);

    Panel_Body = new TPanel(this);
    Panel_Body->setGeometry(0, kTitleHeight, kWidth, bodyHeight);
    DateiName = new TLabeledEdit(Panel_Body, QStringLiteral("Dateiname :"));
    DateiName->setGeometry(10, 24, 250, 22);
    DateiName->PlaceLabel();
    Passwort = new TLabeledEdit(Panel_Body, QStringLiteral("Passwort"));
    Passwort->setGeometry(275, 24, 250, 22);
    Passwort->setEchoMode(QLineEdit::Password);
    Passwort->PlaceLabel();
    for (QWidget *w : {static_cast<QWidget *>(DateiName->EditLabel), static_cast<QWidget *>(Passwort->EditLabel)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        w->setPalette(pal);
    }
    GhostList = new TListView(Panel_Body);
    GhostList->setGeometry(10, 54, kWidth - 20, bodyHeight - 62);
    GhostList->setRootIsDecorated(false);
    GhostList->setHeaderLabels({QStringLiteral("Dateiname"), QStringLiteral("Schwierigkeit"), QStringLiteral("Merker"),
                                QStringLiteral("Geister"), QStringLiteral("Zeit"), QStringLiteral("Status")});
    for (int c = 1; c < 6; ++c)
        GhostList->headerItem()->setTextAlignment(c, Qt::AlignCenter);
    GhostList->header()->resizeSection(0, 150);
    GhostList->SetGridLines(true);
    FileListBox1 = new TFileListBox(this);
    FileListBox1->Mask = QStringLiteral("*.Ghost");
    FileListBox1->CaseSensitive = true;
    FileListBox1->hide();

    footer_panel = new TPanel(this);
    footer_panel->setGeometry(0, kHeight - kFooterHeight, kWidth, kFooterHeight);
    auto button = [this](const QString &text, const char *face, int x, int w, TImage *&pic) {
        TLabel *l = MakeFaceButton(footer_panel, text, face, QRect(x, 7, w, 26), pic);
        l->SetFontSize(8, false);
        connect(l, &TLabel::MouseEnter, this, [this, l] { BTC_zurueckMouseEnter(l); });
        connect(l, &TLabel::MouseLeave, this, [this, l] { BTC_zurueckMouseLeave(l); });
        return l;
    };
    BTC_zurueck = button(QStringLiteral("zurück"), "BIM_Zurueck", 10, 100, PIC_zurueck);
    BTC_neu = button(QStringLiteral("neu"), "BIM_neu", 118, 100, PIC_neu);
    BTC_clear = button(QStringLiteral("Ghosts löschen"), "BIM_clear", 226, 130, PIC_clear);
    bt_start = button(QStringLiteral("Starten"), "BIM_start", kWidth - 170, 160, PIC_start);

    Timer1 = new TTimer(this, 10, false);

    connect(DateiName, &QLineEdit::textChanged, this, &TFormGhost::DateiNameChange);
    connect(Passwort, &QLineEdit::textChanged, this, &TFormGhost::DateiNameChange);
    connect(GhostList, &QTreeWidget::itemDoubleClicked, this, &TFormGhost::GhostListDblClick);
    connect(BTC_neu, &TLabel::Click, this, &TFormGhost::BTC_neuClick);
    connect(BTC_clear, &TLabel::Click, this, &TFormGhost::BTC_clearClick);
    connect(bt_start, &TLabel::Click, this, &TFormGhost::bt_startClick);
    connect(BTC_zurueck, &TLabel::Click, this, &TFormGhost::BTC_zurueckClick);
    connect(Timer1, &QTimer::timeout, this, &TFormGhost::Timer1Timer);

    for (TPanel *p : {TitelPanel, footer_panel}) {
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->SetColor(ColorFromBGR(0x409FFF));
        SetColourRole(p, TColourRole::Field);
    }
    Panel_Body->SetColor(ColorFromBGR(0x005EBB));
    SetColourRole(Panel_Body, TColourRole::Menu);
    FormCreate();
}

QString TFormGhost::GhostFilePath(const QString &name)
{
    if (!IsSafeCompetitionName(name))
        return QString();
    return ProgramDir() + QLatin1Char('/') + name + QStringLiteral(".Ghost");
}

void TFormGhost::FormCreate()
{
    resize(kWidth, kHeight);
}

void TFormGhost::FormShow()
{
    NewGhostFile = false;
    FileListBox1->SetDirectory(ProgramDir());
    FileListBox1->Update();
    GhostList->clear();
    for (int i = 0; i < FileListBox1->Count(); ++i) {
        const QString file = FileListBox1->Item(i);
        GhostFileName = QFileInfo(file).completeBaseName();
        TIniFile ini(ProgramDir() + QLatin1Char('/') + file);
        ini.Load();
        const TGhostData data = ReadGhostData(ini);
        const bool valid = VerifyChecksum(ini, kMain) && GhostDataProblem(data).isEmpty();
        const TGhostSummary s = SummarizeGhostData(data);
        GhostCount = s.Participants;
        auto *row = new QTreeWidgetItem(GhostList);
        row->setText(0, GhostFileName);
        row->setText(1, GhostLevelText(data, &TFormGO::LevelName));
        row->setText(2, data.HasMerker ? data.MerkerText : QStringLiteral("unbekannt"));
        row->setText(3, QString::number(s.Participants - 1));
        row->setText(4, FormatTenths(s.LongestTime));
        row->setText(5, valid ? QStringLiteral("gültig") : QStringLiteral("ungültig"));
        for (int c = 1; c < 6; ++c)
            row->setTextAlignment(c, Qt::AlignCenter);
    }
}

void TFormGhost::FormActivate()
{
    DateiNameChange();
    PlaceOverMainWindow(this, true);
}

void TFormGhost::DateiNameChange()
{
    const QString name = DateiName->text();
    if (name.isEmpty()) {
        bt_start->SetCaption(QStringLiteral("Dateiname eingeben"));
        bt_start->setEnabled(false);
        BTC_neu->setEnabled(false);
        BTC_clear->setEnabled(false);
        return;
    }
    GhostFileName = GhostFilePath(name);
    if (GhostFileName.isEmpty() || !QFileInfo(GhostFileName).isFile()) {
        bt_start->SetCaption(QStringLiteral("Dateiname unbekannt"));
        bt_start->setEnabled(false);
        // A name that would leave the data folder can never become a file.
        BTC_neu->setEnabled(!GhostFileName.isEmpty());
        BTC_clear->setEnabled(false);
        return;
    }
    TIniFile ini;
    if (!loadValidGhostFile(GhostFileName, ini)) {
        bt_start->SetCaption(QStringLiteral("Datei ungültig"));
        bt_start->setEnabled(false);
        BTC_neu->setEnabled(true);
        // Clearing would make a tampered file valid again.
        BTC_clear->setEnabled(false);
        return;
    }
    const bool owner = PasswordMatches(ini, Passwort->text(), kMain);
    BTC_clear->setEnabled(owner);
    BTC_neu->setEnabled(owner);
    bt_start->SetCaption(QStringLiteral("Spiel starten"));
    bt_start->setEnabled(true);
}

void TFormGhost::GhostListDblClick()
{
    QTreeWidgetItem *row = GhostList->currentItem();
    if (row)
        DateiName->setText(row->text(0));
}

void TFormGhost::BTC_neuClick()
{
    NewGhostFile = true;
    if (FormGO) {
        FormGO->show();
        FormGO->ApplyOptionRules();
    }
    hide();
}

void TFormGhost::CreateGhostFile()
{
    if (!Form1 || !FormGO || !Form1->PrepareNewGame())
        return;
    const QString path = GhostFilePath(DateiName->text());
    if (path.isEmpty())
        return;
    GhostFileName = path;
    if (QFileInfo::exists(path) &&
        MessageDlg(QStringLiteral("Datei schon vorhanden.\r\nDatei überschreiben ?"), TMsgDlgType::Confirmation,
                   TMsgDlgButtons::YesNo) != mrYes)
        return;
    const TGameOptionValues options = FormGO->Values();
    const int level = options.Level + (options.Import ? 10 : 0);
    // The new file replaces the old one in one step, so a failed write keeps it.
    TIniFile ini = NewGhostDocument(path, PasswordDigest(Passwort->text()), GhostFeld, level, options.MaxMarks);
    QString error;
    if (!ini.Save(&error))
        ReportSaveFailure(path, error);
}

void TFormGhost::BTC_clearClick()
{
    if (Form1 && Form1->HelpCursor == -20)
        return;
    TIniFile ini;
    // The file may have changed since the state rule looked at it.
    if (!loadValidGhostFile(GhostFileName, ini) || !PasswordMatches(ini, Passwort->text(), kMain)) {
        DateiNameChange();
        return;
    }
    const int32_t owner[10][10] = {};
    const int64_t time[10][10] = {};
    QString error;
    if (!WriteGhostCells(ini, owner, time) || !ini.Save(&error))
        ReportSaveFailure(GhostFileName, error);
    FormShow();
    DateiNameChange();
}

void TFormGhost::bt_startClick()
{
    if (!FormGO || !Form1 || !NETZ)
        return;
    if (!FormGO->IsEvaluationImmediate()) {
        ShowMessage(QStringLiteral(
            "Im Ghostmodus muss die Fehlerauswertung sofort sein.\n\rDie Auswertung wird umgeschaltet."));
        FormGO->SetEvaluation(1);
    }
    if (FormGO->GetRating() != 4) {
        ShowMessage(QStringLiteral("Im Ghostmodus muss die Bewertung Profi sein.\n\rDie Bewertung wird umgeschaltet."));
        FormGO->SetRating(4);
    }
    if (FormGO->HasMarkBonus()) {
        ShowMessage(QStringLiteral("Ghostmodus kann nur ohne Bonus gespielt werden.\n\rDer Bonus wird abgewählt."));
        FormGO->SetMarkBonus(0);
    }
    if (IsBingoActive()) {
        ShowMessage(QStringLiteral("Im Ghostmodus ist kein Bingo möglich.\n\rDer Bingomodus wird abgewählt."));
        FormGO->SetGameType(1);
    }
    Form1->ResetPlayers();
    NETZ->BecomeHost();
    GhostMode = true;
    hide();
    Form1->StartGame();
    Timer1->SetEnabled(true);
}

void TFormGhost::BTC_zurueckClick()
{
    if (Form1)
        Form1->ResetPlayers();
    Timer1->SetEnabled(false);
    GhostMode = false;
    hide();
    if (FormStart)
        FormStart->show();
}

bool TFormGhost::LoadGhostGame()
{
    TIniFile ini;
    TGhostData data;
    if (!Form1 || !FormGO || !loadValidGhostFile(GhostFileName, ini, &data)) {
        TraceLine(QStringLiteral("Ghostdatei ungültig: ") + GhostFileName);
        GhostMode = false;
        Timer1->SetEnabled(false);
        MessageDlg(QStringLiteral("Die Ghostdatei ist ungültig.\r\nDas Spiel wird nicht gestartet."),
                   TMsgDlgType::Error, TMsgDlgButtons::OK);
        show();
        DateiNameChange();
        return false;
    }
    GhostFeld = data.Feld;
    FormGO->SetMaxMarks(GhostMarkLimit(data.MerkerText));
    FormGO->SetLevelFromGhostFile(GhostLevel(data.LevelText));
    Form1->LoadPuzzleString(GhostFeld);
    GhostCount = 1;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TGridEntry &c = Form1->Boards[0][x][y];
            c.FirstFinder = data.Owner[x][y];
            c.FoundTime = data.Time[x][y];
            GhostCount = std::max(GhostCount, c.FirstFinder);
        }
    return true;
}

void TFormGhost::SetupGhostPlayers()
{
    if (!Form1)
        return;
    for (int k = 2; k <= std::min(GhostCount, 8); ++k) {
        TPlayerRecord &p = Form1->Players[k];
        p.Name = QStringLiteral("Ghost(%1)").arg(k - 1).left(15);
        p.Address = QStringLiteral("Ghost%1").arg(k);
        p.Active = true;
        p.PlayerNo = k;
    }
    Form1->UpdatePlayerTable();
}

void TFormGhost::Timer1Timer()
{
    if (!Form1 || !NETZ || !GhostMode || !Form1->GameRunning || Form1->Paused)
        return;
    const int64_t t = Form1->GameTimeTenths();
    const int ghosts = std::min(GhostCount, 8);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            // An entry may end the game: nothing more is replayed after it.
            if (!Form1->GameRunning)
                return;
            const TGridEntry &c = Form1->Boards[0][x][y];
            if (c.FoundTime == 0 || c.FoundTime >= t || c.FirstFinder < 2 || c.FirstFinder > ghosts)
                continue;
            if (!IsCellFreeOnAllLayers(Form1->Boards, x, y))
                continue;
            NETZ->EnterGhostNumber(x, y, c.FirstFinder, c.Value);
        }
}

void TFormGhost::SaveGhostResult()
{
    if (!Form1)
        return;
    TIniFile ini;
    // A file deleted or replaced during the game is never recreated or made valid.
    if (!loadValidGhostFile(GhostFileName, ini)) {
        TraceLine(QStringLiteral("Ghostdatei ungültig, Ergebnis wird nicht gespeichert: ") + GhostFileName);
        return;
    }
    const TGhostMerge m = MergeGhostResult(Form1->Boards[0], GhostCount);
    switch (m.Outcome) {
    case TGhostMergeOutcome::NoPoints:
        ShowMessage(QStringLiteral("Es wurden keine Punkte erzielt,\r\nErgebnis wird nicht gespeichert."));
        return;
    case TGhostMergeOutcome::TooManyGhosts:
        ShowMessage(QStringLiteral("Mehr als 7 Geister sind nicht möglich,\r\nErgebnis wird nicht gespeichert."));
        return;
    case TGhostMergeOutcome::SavedDroppedGhost:
        ShowMessage(QStringLiteral("Mindestens ein Geist erhält keine Punkte,\r\nGeist wird gelöscht."));
        break;
    case TGhostMergeOutcome::Saved:
        break;
    }
    QString error;
    if (!WriteGhostCells(ini, m.Owner, m.Time, m.Feld) || !ini.Save(&error))
        ReportSaveFailure(GhostFileName, error);
}

void TFormGhost::BTC_zurueckMouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TFormGhost::BTC_zurueckMouseLeave(TLabel *label)
{
    label->SetFontSize(8, false);
}

void TFormGhost::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormShow();
    FormActivate();
}

void TFormGhost::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}
