#include "screens/UVorgabe.h"

#include "board/UQuadrivo.h"
#include "codes/UQuadrivo_Codes.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "ui/DialogService.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLocale>

TVorgabe *Vorgabe = nullptr;

namespace {
constexpr int kWidth = 600;
constexpr int kTitleHeight = 32;
constexpr int kBodyHeight = 330;
constexpr int kFooterHeight = 38;
} // namespace

QString MakeGameCodeLine(const QDateTime &started, const QString &gameCode)
{
    // German form inside a German line, whatever the system's locale.
    return QStringLiteral("Gestartet :") + started.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
           QStringLiteral(" Spielcode >") + gameCode;
}

QStringList TVorgabe::ExplanationLines()
{
    return {QStringLiteral("Die Spielcodes von den gestarteten "),
            QStringLiteral("Spielen werden in die Liste geschrieben."),
            QStringLiteral("Durch anklicken können die Spielcodes"),
            QStringLiteral("in die Vorgabe kopiert werden."),
            QStringLiteral("Bei Programmende gehen die Spielcodes "),
            QStringLiteral("verloren.")};
}

TVorgabe::TVorgabe(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Spiele wiederholen"));
    resize(kWidth, kTitleHeight + kBodyHeight + kFooterHeight);

    TitelPanel = new TPanel(this);
    TitelPanel->setGeometry(0, 0, kWidth, kTitleHeight);
    TitelLabel = new TLabel(TitelPanel, QStringLiteral("Wiederholung :"));
    TitelLabel->setGeometry(10, 4, 300, 24);
    TitelLabel->SetFontSize(12, true);

    Panel_Body = new TPanel(this);
    Panel_Body->setGeometry(0, kTitleHeight, kWidth, kBodyHeight);
    ListLabel = new TLabel(Panel_Body, QStringLiteral("Codes gestarteter Spiele :"));
    ListLabel->setGeometry(10, 8, 300, 16);
    GespielteSpiele = new TListBox(Panel_Body);
    GespielteSpiele->setGeometry(10, 26, kWidth - 20, 150);
    GespielteSpiele->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SpielVorgabe = new TLabeledEdit(Panel_Body, QStringLiteral("Vorgabe :"));
    SpielVorgabe->setGeometry(10, 206, kWidth - 20, 22);
    SpielVorgabe->PlaceLabel();
    Erklaerung = new TLabel(Panel_Body, ExplanationLines().join(QLatin1Char('\n')));
    Erklaerung->setGeometry(10, 238, kWidth - 20, 88);
    Erklaerung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QWidget *w : {static_cast<QWidget *>(ListLabel), static_cast<QWidget *>(SpielVorgabe->EditLabel),
                       static_cast<QWidget *>(Erklaerung)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        w->setPalette(pal);
    }

    footer_panel = new TPanel(this);
    footer_panel->setGeometry(0, kTitleHeight + kBodyHeight, kWidth, kFooterHeight);
    auto button = [this](const QString &text, const char *faceName, int x, TImage *&face) {
        TLabel *l = MakeFaceButton(footer_panel, text, faceName, QRect(x, 6, 120, 26), face);
        l->SetFontSize(8, true);
        connect(l, &TLabel::MouseEnter, this, [this, l] { BTC_startMouseEnter(l); });
        connect(l, &TLabel::MouseLeave, this, [this, l] { BTC_startMouseLeave(l); });
        return l;
    };
    BTC_Zurueck = button(QStringLiteral("Zurück"), "BIM_Zurueck", 10, BIM_Zurueck);
    BTC_start = button(QStringLiteral("Starten"), "BIM_start", kWidth - 130, BIM_start);
    BTC_start->setEnabled(false);

    connect(GespielteSpiele, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { GespielteSpieleDblClick(GespielteSpiele->row(item)); });
    connect(SpielVorgabe, &QLineEdit::textChanged, this, &TVorgabe::SpielVorgabeChange);
    connect(BTC_start, &TLabel::Click, this, &TVorgabe::StartClick);
    connect(BTC_Zurueck, &TLabel::Click, this, &TVorgabe::schliessenClick);

    for (TPanel *p : {TitelPanel, footer_panel}) {
        // Raised edges set the dialog off from a main window of the same colour.
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->SetColor(ColorFromBGR(0x409FFF));
        SetColourRole(p, TColourRole::Field);
    }
    Panel_Body->SetColor(ColorFromBGR(0x005EBB));
    SetColourRole(Panel_Body, TColourRole::Menu);
    FormCreate();
}

void TVorgabe::AddGameCodeLine(const QString &line)
{
    GespielteSpiele->Insert(0, line);
}

void TVorgabe::GespielteSpieleDblClick(int row)
{
    if (row >= 0 && row < GespielteSpiele->Count())
        SpielVorgabe->setText(GespielteSpiele->Item(row));
}

void TVorgabe::SpielVorgabeChange()
{
    BTC_start->setEnabled(!SpielVorgabe->text().isEmpty());
}

void TVorgabe::StartClick()
{
    const QString typed = SpielVorgabe->text();
    if (typed.isEmpty())
        return;
    // A code that cannot be played is refused here, so the dialog stays open
    // for a corrected one.
    TGameCodeParts parts;
    QString error;
    if (!ParseGameCode(typed, parts, error)) {
        MessageDlg(error, TMsgDlgType::Error, TMsgDlgButtons::OK);
        SpielVorgabe->setFocus();
        return;
    }
    close();
    if (Form1)
        Form1->StartGame();
}

void TVorgabe::schliessenClick()
{
    close();
    if (FormStart)
        FormStart->show();
}

void TVorgabe::BTC_startMouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(10, true);
}

void TVorgabe::BTC_startMouseLeave(TLabel *label)
{
    label->SetFontSize(8, true);
}

void TVorgabe::FormCreate()
{
    FirstActivate = true;
}

void TVorgabe::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    PlaceOverMainWindow(this);
}

void TVorgabe::FormClose()
{
    FirstActivate = true;
}

void TVorgabe::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // The button that closed the dialog last time may still show its hover font.
    BTC_startMouseLeave(BTC_start);
    BTC_startMouseLeave(BTC_Zurueck);
    FormActivate();
}

void TVorgabe::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TVorgabe::closeEvent(QCloseEvent *e)
{
    FormClose();
    QWidget::closeEvent(e);
    // Closed from outside (the window manager's close) it goes back as
    // "Zurück" does, so the player is not left without a way on.
    if (e->spontaneous() && e->isAccepted() && FormStart)
        FormStart->show();
}
