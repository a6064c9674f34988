#include "board/ULog.h"

#include "board/UQuadrivo.h"
#include "net/UWebForm.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QEvent>
#include <QVBoxLayout>

TTrace *Trace = nullptr;

void TraceCat(int category, const QString &text)
{
    if (Trace)
        Trace->TraceCat(category, text);
}

void TraceLine(const QString &text)
{
    if (Trace)
        Trace->TraceLine(text);
}

TTrace::TTrace(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Trace"));
    resize(854, 753);

    Panel1 = new TPanel(this);
    Panel1->setFixedHeight(209);
    Panel2 = new TPanel(Panel1);
    Panel2->setGeometry(0, 0, 144, 209);
    DebugBox = new TListBox(Panel1);
    DebugBox->setGeometry(144, 0, 854 - 144, 209);

    Button1 = new TButton(Panel2, QStringLiteral("Debug ein"));
    Button1->setGeometry(4, 2, 136, 22);
    Edit1 = new TEdit(Panel2, QStringLiteral("500"));
    Edit1->setGeometry(4, 26, 136, 20);
    auto box = [this](const QString &caption, int top) {
        auto *cb = new TCheckBox(Panel2, caption);
        cb->setGeometry(4, top, 136, 16);
        return cb;
    };
    cb_telegramm_out = box(QStringLiteral("Telegramm Out"), 48);
    cb_telegramm_in = box(QStringLiteral("Telegramm In"), 64);
    CB_Resolver = box(QStringLiteral("Solver"), 80);
    cb_Bingo = box(QStringLiteral("Bingo"), 96);
    cb_turnier = box(QStringLiteral("Turnier"), 112);
    cb_sonst = box(QStringLiteral("Sonstiges"), 128);
    DurchFelder = box(QStringLiteral("DurchFelder"), 146);
    SolverFelder = box(QStringLiteral("SolverFelder"), 162);
    CB_Ghost = box(QStringLiteral("Ghost"), 178);
    SpielerDaten = box(QStringLiteral("SpielerDaten"), 194);
    SpielerDaten->setGeometry(4, 194, 136, 14);

    LogBox = new TListBox(this);
    LogBox->setUniformItemSizes(true);
    // A program that runs for days keeps only the newest lines.
    LogBox->MaxItems = kMaxLogLines;

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(Panel1);
    lay->addWidget(LogBox, 1);

    // The list refreshes only while the window is shown (see showEvent).
    Timer1 = new TTimer(this, 500, false);
    m_refreshWhenShown = true;
    connect(Timer1, &QTimer::timeout, this, [this] {
        // Nobody sees the lists of a hidden window; they are rebuilt when it shows.
        if (!isVisible()) {
            Timer1->SetEnabled(false);
            m_refreshWhenShown = true;
            return;
        }
        Timer1Timer();
    });
    connect(Button1, &QPushButton::clicked, this, &TTrace::Button1Click);
    connect(LogBox, &QListWidget::itemDoubleClicked, this, &TTrace::LogBoxDblClick);
}

void TTrace::InitTraceClock() { TicksPerMicrosecond = PerfFrequency() / 1000000; }

QString TTrace::FormatTraceLine(int64_t deltaMicroseconds, const QString &text)
{
    return QStringLiteral("%1").arg(QString::number(deltaMicroseconds), 8) + QStringLiteral("µs ") + text;
}

void TTrace::TraceLine(const QString &text)
{
    const int64_t now = PerfCounter();
    int64_t delta = 0;
    if (LastCounter > 0 && TicksPerMicrosecond > 0)
        delta = (now - LastCounter) / TicksPerMicrosecond;
    LogBox->Add(FormatTraceLine(delta, text));
    LastCounter = now;
}

bool TTrace::IsCatOn(int category) const
{
    switch (category) {
    case 1:
        return cb_telegramm_out->isChecked();
    case 2:
        return cb_telegramm_in->isChecked();
    case 3:
        return CB_Resolver->isChecked();
    case 4:
        return cb_Bingo->isChecked();
    case 5:
        return cb_turnier->isChecked();
    case 9:
        return cb_sonst->isChecked();
    default:
        return true;
    }
}

void TTrace::TraceCat(int category, const QString &text)
{
    if (IsCatOn(category))
        TraceLine(text);
}

void TTrace::TraceAppend(const QString &text)
{
    // The text joins the log's whole text, in which every item ends with a
    // line break; its own line breaks become new items.
    QString all;
    for (const QString &item : LogBox->Items())
        all += item + QStringLiteral("\r\n");
    all += text;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = all.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    LogBox->SetItems(lines);
}

void TTrace::DumpGrids()
{
    if (!Form1)
        return;
    for (int k = 0; k <= 8; ++k) {
        if (k >= 1 && Form1->Players[k].Name.isEmpty())
            continue;
        TraceLine(QStringLiteral("Feld von ") + QString::number(k));
        for (int y = 1; y <= 9; ++y) {
            QString values, states;
            for (int x = 1; x <= 9; ++x) {
                const TGridEntry &e = Form1->Boards[k][x][y];
                values += QString::number(e.Value);
                states += e.State < 0 ? QStringLiteral("*") : QString::number(e.State);
            }
            TraceLine(values + QStringLiteral(" | ") + states);
        }
    }
}

void TTrace::DumpPlayers()
{
    LogBox->clear();
    if (!Form1)
        return;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerRecord &r = Form1->Players[p];
        TraceLine(QStringLiteral("Name(%1) IP(%2)ID(%3) Over(%4) Login(%5)")
                      .arg(r.Name, r.Address)
                      .arg(r.PlayerNo)
                      .arg(BoolToTF(r.GameOver), BoolToTF(r.Active)));
    }
}

void TTrace::DumpSolverGrids()
{
    TraceLine(QStringLiteral("Solverfelder"));
    TraceLine(QStringLiteral("FMaser | FUser"));
    for (int y = 1; y <= 9; ++y) {
        QString game, test;
        for (int x = 1; x <= 9; ++x) {
            game += QString::number(SolverGridValue ? SolverGridValue(0, x, y) : 0);
            test += QString::number(SolverGridValue ? SolverGridValue(1, x, y) : 0);
        }
        TraceLine(game + QStringLiteral(" | ") + test);
    }
}

void TTrace::DumpGhostCells()
{
    LogBox->clear();
    if (!Form1)
        return;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &e = Form1->Boards[0][x][y];
            LogBox->addItem(QStringLiteral("Feld(%1,%2) uID(%3) time(%4)")
                                .arg(x)
                                .arg(y)
                                .arg(e.FirstFinder)
                                .arg(e.FoundTime));
        }
}

void TTrace::Button1Click() { Timer1->SetEnabled(true); }

void TTrace::LogBoxDblClick() { LogBox->clear(); }

void TTrace::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (m_refreshWhenShown) {
        m_refreshWhenShown = false;
        Timer1->SetEnabled(true);
    }
}

void TTrace::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    if (Timer1->isActive()) {
        Timer1->SetEnabled(false);
        m_refreshWhenShown = true;
    }
}

void TTrace::Timer1Timer()
{
    bool ok = false;
    const int interval = Edit1->text().trimmed().toInt(&ok);
    // A text that is no number refreshes nothing this tick; trace lines go on.
    if (!ok)
        return;
    if (interval > 0)
        Timer1->setInterval(interval);

    DebugBox->clear();
    DebugBox->addItem(QStringLiteral("offene Fenster : ") +
                      QStringLiteral("%1").arg(Form1 ? Form1->VisibleFormsMask() : 0, 4, 16, QLatin1Char('0')).toUpper());
    if (WEBForm)
        DebugBox->addItem(QStringLiteral("Loop[%1] Loopid[%2] Dummy[%3]")
                              .arg(WEBForm->GameLoopId)
                              .arg(WEBForm->LastMessageId)
                              .arg(WEBForm->RequestCounter));
    if (Form1)
        for (int p = 1; p <= 4; ++p)
            DebugBox->addItem(QStringLiteral("Spieler(%1): %2 -> %3 ")
                                  .arg(p)
                                  .arg(Form1->Players[p].Name)
                                  .arg(Form1->Players[p].UsedMarks));

    if (DurchFelder->isChecked() || SolverFelder->isChecked() || CB_Ghost->isChecked())
        LogBox->clear();
    if (DurchFelder->isChecked())
        DumpGrids();
    if (SolverFelder->isChecked())
        DumpSolverGrids();
    if (CB_Ghost->isChecked())
        DumpGhostCells();
    if (SpielerDaten->isChecked())
        DumpPlayers();
}

void TTrace::FormActivate() { move(0, 0); }

bool TTrace::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(e);
}
