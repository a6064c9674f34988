#include "board/UQuadrivo.h"

#include "board/ULog.h"
#include "board/UQuadrivo_Builtin.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "net/UWebForm.h"
#include "print/UDrucken.h"
#include "screens/UDisclaimer.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHostInfo>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TForm1 *Form1 = nullptr;

namespace {
// The program's name, as the caption and the close query call it.
const QString kSplashTitle = QStringLiteral("Quadrivo");

// The splash picture, drawn here: a board-blue gradient with the title.
QPixmap makeSplashPicture()
{
    QPixmap pm(600, 220);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 600, 220);
    g.setColorAt(0, QColor(0x1B, 0x4F, 0x8C));
    g.setColorAt(1, QColor(0x0B, 0x24, 0x44));
    p.fillRect(pm.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    // A small 3 x 3 block of cells on the left.
    const int cell = 44, left = 28, top = 44;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const QRect rc(left + c * (cell + 4), top + r * (cell + 4), cell, cell);
            p.fillRect(rc, QColor(0xFF, 0x9F, 0x40));
            p.setPen(Qt::black);
            QFont f(QStringLiteral("Verdana"));
            f.setPixelSize(26);
            f.setBold(true);
            p.setFont(f);
            p.drawText(rc, Qt::AlignCenter, QString::number(((r * 3 + c) * 4) % 9 + 1));
        }
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Verdana"));
    title.setPixelSize(64);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(190, 30, 400, 90), Qt::AlignLeft | Qt::AlignVCenter, kSplashTitle);
    QFont sub(QStringLiteral("Verdana"));
    sub.setPixelSize(18);
    p.setFont(sub);
    p.drawText(QRect(194, 150, 400, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("allein oder mit bis zu acht Spielern"));
    return pm;
}
} // namespace

// ---- the window --------------------------------------------------------------

TForm1::TForm1(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Sudoku"));
    buildControls();
    FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::buildControls()
{
    Blinken = new TTimer(this, 300, false);
    WartezeitTimer = new TTimer(this, 1000, false);
    MsgTimer = new TTimer(this, 100, false);
    SplashTimer = new TTimer(this, 10, true);
    connect(Blinken, &QTimer::timeout, this, &TForm1::BlinkenTimer);
    connect(WartezeitTimer, &QTimer::timeout, this, &TForm1::WartezeitTimerTimer);
    connect(MsgTimer, &QTimer::timeout, this, &TForm1::MsgTimerTimer);
    connect(SplashTimer, &QTimer::timeout, this, &TForm1::SplashTimerTimer);

    LogoPic = new TImage(this);
    LogoPic->SetPicture(makeSplashPicture());
    LogoPic->setAccessibleName(kSplashTitle);
    Label1 = new TLabel(this);
    QPalette white = Label1->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(white);

    brett = new TBoardWidget(this);
    brett->hide();

    ToolPanel = new TPanel(this);
    ToolPanel->setFixedWidth(330);
    ToolPanel->hide();

    auto caption = [this](QWidget *parent, const QString &text, int x, int y, int w) {
        auto *l = new TLabel(parent, text);
        l->setGeometry(x, y, w, 20);
        MakeCaptionButton(l);
        WireHelpCursor(l, [this](QWidget *c, Qt::KeyboardModifiers shift) { BTC31MouseMove(c, shift); });
        return l;
    };
    auto info = [](QWidget *parent, int x, int y, int w) {
        auto *l = new TLabel(parent);
        l->setGeometry(x, y, w, 16);
        return l;
    };

    Zeit = new TLabel(ToolPanel, QStringLiteral("00:00.0"));
    Zeit->setGeometry(10, 8, 310, 40);
    Zeit->setAlignment(Qt::AlignCenter);
    Zeit->SetFontSize(24, true);

    Spiel_Label = info(ToolPanel, 10, 52, 310);
    modus_label = info(ToolPanel, 10, 70, 310);
    art_label = info(ToolPanel, 10, 88, 150);
    grad_label = info(ToolPanel, 165, 88, 155);
    Regel_label = info(ToolPanel, 10, 106, 150);
    Auswertung_Label = info(ToolPanel, 165, 106, 155);
    spielfeld_Label = info(ToolPanel, 10, 124, 150);
    Merker_label = info(ToolPanel, 165, 124, 155);
    // The option summary shows its help topic under Ctrl, like every button.
    for (TLabel *l : {art_label, grad_label, Regel_label, Auswertung_Label, spielfeld_Label, Merker_label}) {
        connect(l, &TLabel::Click, this, &TForm1::Pic_einstellClick);
        WireHelpCursor(l, [this](QWidget *c, Qt::KeyboardModifiers shift) { BTC31MouseMove(c, shift); });
    }

    // The tool buttons: caption labels over button faces, in a grid of
    // three columns (left 0, 108, 216) and rows of 44 pixels.
    auto tool = [&caption](QWidget *parent, const QString &text, const char *name, int col, int row) {
        auto *face = new TImage(parent);
        face->setObjectName(QStringLiteral("BIM_") + QLatin1String(name));
        face->setGeometry(col * 108, row * 44 + 2, 104, 40);
        TLabel *l = caption(parent, text, col * 108, row * 44 + 2, 104);
        l->setObjectName(QLatin1String(name));
        l->resize(104, 40);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    auto group = [this](int rows) {
        auto *p = new TPanel(ToolPanel);
        p->resize(324, 44 * rows);
        return p;
    };

    Panel_Einzel = group(1);
    BTC_Tipp = tool(Panel_Einzel, QStringLiteral("Tipp"), "BTC_Tipp", 0, 0);
    BTC_Pause = tool(Panel_Einzel, QStringLiteral("Pause"), "BTC_Pause", 1, 0);
    BTC_Weiter = tool(Panel_Einzel, QStringLiteral("Weiter"), "BTC_Weiter", 2, 0);
    connect(BTC_Tipp, &TLabel::Click, this, [this] { BTC_TippClick(BTC_Tipp); });
    connect(BTC_Pause, &TLabel::Click, this, &TForm1::BTC_PauseClick);
    connect(BTC_Weiter, &TLabel::Click, this, &TForm1::BTC_WeiterClick);

    Panel_Edit = group(2);
    Panel_Edit->hide();
    BTC_Testen = tool(Panel_Edit, QStringLiteral("Testen"), "BTC_Testen", 0, 0);
    BTC_Edit_Ende = tool(Panel_Edit, QStringLiteral("Editor beenden"), "BTC_Edit_Ende", 1, 0);
    BTC_Neu = tool(Panel_Edit, QStringLiteral("Neu"), "BTC_Neu", 2, 0);
    BTC_Laden = tool(Panel_Edit, QStringLiteral("Laden"), "BTC_Laden", 0, 1);
    BTC_Speichern = tool(Panel_Edit, QStringLiteral("Speichern"), "BTC_Speichern", 1, 1);
    connect(BTC_Testen, &TLabel::Click, this, &TForm1::BTC_TestenClick);
    connect(BTC_Neu, &TLabel::Click, this, &TForm1::BTC_NeuClick);
    connect(BTC_Laden, &TLabel::Click, this, &TForm1::BTC_LadenClick);
    connect(BTC_Speichern, &TLabel::Click, this, &TForm1::BTC_SpeichernClick);
    connect(BTC_Edit_Ende, &TLabel::Click, this, &TForm1::BTC_Edit_EndeClick);

    Tabelle_Panel = new TPanel(ToolPanel);
    Tabelle_Panel->resize(324, 26 + 23);
    Tabelle_kopf = new TImage(Tabelle_Panel);
    Tabelle_kopf->setGeometry(0, 0, 324, 26);
    h_pic = new TImage(ToolPanel);
    h_pic->hide();

    ChatBox = new TListBox(ToolPanel);
    ChatBox->resize(324, 150);
    // Every line is one line of the same font: the list need not measure
    // them all again for each new one. It keeps the newest lines only.
    ChatBox->setUniformItemSizes(true);
    ChatBox->MaxItems = kChatLines;
    Edit1 = new TEdit(ToolPanel);
    Edit1->resize(236, 26);
    auto *sendFace = new TImage(ToolPanel);
    sendFace->setObjectName(QStringLiteral("BIM_Senden"));
    sendFace->resize(84, 28);
    Senden = caption(ToolPanel, QStringLiteral("Senden"), 0, 0, 84);
    Senden->resize(84, 28);
    Senden->setAlignment(Qt::AlignCenter);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm1::Button2Click);
    connect(Senden, &TLabel::Click, this, &TForm1::Button2Click);
    m_sendFace = sendFace;

    Panel_Menue = group(1);
    BTC_Menue = tool(Panel_Menue, QStringLiteral("Menü"), "BTC_Menue", 0, 0);
    Panel_Steuer = group(1);
    BTC_Spiel_Ende = tool(Panel_Steuer, QStringLiteral("Spiel beenden"), "BTC_Spiel_Ende", 0, 0);
    BTC_Info = tool(Panel_Steuer, QStringLiteral("Info"), "BTC_Info", 1, 0);
    BTC_Close = tool(Panel_Steuer, QStringLiteral("Beenden"), "BTC_Close", 2, 0);
    connect(BTC_Spiel_Ende, &TLabel::Click, this, &TForm1::BTC_Spiel_EndeClick);
    connect(BTC_Menue, &TLabel::Click, this, &TForm1::BTC_MenueClick);
    connect(BTC_Info, &TLabel::Click, this, &TForm1::BTC_InfoClick);
    connect(BTC_Close, &TLabel::Click, this, &TForm1::BTC_CloseClick);
    ArrangeToolPanel();

    FileBox = new TFileListBox(this);
    FileBox->hide();
    L_Spiele = new TListBox(this);
    M_Spiele = new TListBox(this);
    S_Spiele = new TListBox(this);
    P_Spiele = new TListBox(this);
    TListBox *lists[] = {L_Spiele, M_Spiele, S_Spiele, P_Spiele};
    for (int level = 0; level < 4; ++level) {
        lists[level]->hide();
        for (int i = 0; i < kBuiltinCounts[level]; ++i)
            lists[level]->addItem(QString::fromLatin1(kBuiltinPuzzles[level][i]));
    }

    LogBoxonoff1 = new QAction(QStringLiteral("LogBox on / off"), this);
    LogBoxonoff1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12));
    TippOn1 = new QAction(QStringLiteral("TippOn"), this);
    TippOn1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    Drucken1 = new QAction(QStringLiteral("Drucken"), this);
    Drucken1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    for (QAction *a : {LogBoxonoff1, TippOn1, Drucken1}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    connect(LogBoxonoff1, &QAction::triggered, this, &TForm1::LogBoxonoff1Click);
    connect(TippOn1, &QAction::triggered, this, [this] { BTC_TippClick(TippOn1); });
    connect(Drucken1, &QAction::triggered, this, &TForm1::Drucken1Click);
}

void TForm1::FormCreate()
{
    qApp->installEventFilter(this);
    FirstShow = true;
}

void TForm1::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormShow();
}

void TForm1::FormShow()
{
    if (!FirstShow)
        return;
    FirstShow = false;
    RandSeed(uint64_t(PerfCounter()));
    resize(600, 220);
    if (const QScreen *s = screen()) {
        const QRect g = s->availableGeometry();
        move(g.left() + (g.width() - 600) / 2, g.top() + (g.height() - 220) / 2);
    }
    LogoPic->setGeometry(0, 0, 600, 220);
}

void TForm1::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (LogoPic->isVisible())
        LogoPic->setGeometry(0, 0, width(), height());
    ToolPanel->setGeometry(width() - ToolPanel->width(), 0, ToolPanel->width(), height());
    FormPaint();
}

void TForm1::FormPaint()
{
    if (SplashTimer->isActive())
        return;
    brett->setGeometry(0, 0, width() - (ToolPanel->isVisible() ? ToolPanel->width() : 0), height());
    if (FormFeld)
        FormFeld->LayoutBoard();
}

void TForm1::QuitProgram()
{
    // Leaves without the close query: nothing of this run is stored.
    SplashTimer->SetEnabled(false);
    m_quitWithoutQuery = true;
    QCoreApplication::exit(SecondInstance ? 1 : 0);
}

void TForm1::closeEvent(QCloseEvent *e)
{
    if (!SplashTimer->isActive() && !m_quitWithoutQuery)
        FormCloseQuery();
    e->accept();
    QCoreApplication::quit();
}

void TForm1::FormCloseQuery()
{
    if (WEBForm && WEBForm->LoggedIn) {
        WEBForm->SendLogout();
        // The program ends right after: give the log-out its chance to arrive.
        WEBForm->WaitForRequests(2000);
    }
    if (CountOnlinePlayers() > 1) {
        if (FormCha)
            FormCha->close();
        HostsNetworkGame = false;
        if (NETZ) {
            if (NETZ->MyPlayerNo > 1)
                NETZ->SendLogoff();
            else if (NETZ->MyPlayerNo == 1)
                NETZ->SendServerLogoff();
        }
        ResetPlayers();
        if (NETZ)
            NETZ->MyPlayerNo = 0;
    }
    RegWriteInteger(QStringLiteral("Window1Top"), y());
    RegWriteInteger(QStringLiteral("Window1Left"), x());
    RegWriteInteger(QStringLiteral("Window1Width"), width());
    RegWriteInteger(QStringLiteral("Window1Height"), height());
}

void TForm1::FormDestroy()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

void TForm1::ArrangeToolPanel()
{
    // The groups stack below the option labels; a collapsed or hidden group
    // takes no room, so the table and the chat move up.
    int y = 146;
    auto place = [&y](QWidget *w, int left = 3) {
        w->move(left, y);
        if (w->isVisibleTo(w->parentWidget()) && w->height() > 0)
            y += w->height() + 4;
    };
    place(Panel_Einzel);
    place(Panel_Edit);
    place(Tabelle_Panel);
    place(ChatBox);
    Edit1->move(3, y);
    m_sendFace->move(243, y - 1);
    Senden->move(243, y - 1);
    y += 32;
    place(Panel_Menue);
    place(Panel_Steuer);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
        (watched == Panel_Einzel || watched == Panel_Edit || watched == Tabelle_Panel || watched == Panel_Menue ||
         watched == Panel_Steuer)) {
        ArrangeToolPanel();
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->key() == Qt::Key_NumLock) {
        m_numLockHeld = event->type() == QEvent::KeyPress;
        return false;
    }
    const int key = TranslateKeypadKey(ke->key(), ke->modifiers() & Qt::KeypadModifier, m_numLockHeld);
    if (key == ke->key())
        return false;
    // Deliver the same message with the keypad digit instead.
    QString text;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        text = QChar('0' + (key - Qt::Key_0));
    else if (key == Qt::Key_Period)
        text = QStringLiteral(",");
    QKeyEvent translated(event->type(), key, ke->modifiers(), text, ke->isAutoRepeat(), ke->count());
    QCoreApplication::sendEvent(watched, &translated);
    return true;
}

void TForm1::BTC31MouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TForm1::BTC31MouseLeave(TLabel *label) { label->SetFontSize(8, false); }

void TForm1::BTC31MouseMove(QWidget *control, Qt::KeyboardModifiers shift) { SetHelpCursor(control, shift); }

void TForm1::FormMouseMove(QObject *control, QPoint globalPos) { TrackHoveredControlAt(control, globalPos); }

void TForm1::Edit1Change()
{
    if (Edit1->text().size() > 35)
        MessageDlg(QStringLiteral("Nicht mehr als 35 Zeichen!"), TMsgDlgType::Information, TMsgDlgButtons::OK);
}

void TForm1::Button2Click()
{
    const QString text = Edit1->text();
    if (text.isEmpty())
        return;
    if (NETZ && NETZ->IsListenerActive() && Players[1].Active)
        NETZ->SendChat(text, QStringLiteral("all"));
    if (WEBForm && (WEBForm->LoggedIn || WEBForm->isVisible()))
        WEBForm->SendChat(text);
    Edit1->clear();
}

void TForm1::LogBoxonoff1Click()
{
    if (!Trace)
        return;
    if (Trace->isVisible() && !Trace->isMinimized()) {
        Trace->hide();
    } else {
        Trace->showNormal();
        Trace->show();
        Trace->raise();
    }
}

void TForm1::Drucken1Click()
{
    if (!brett->isVisible())
        return;
    brett->hide();
    if (FormDrucken)
        FormDrucken->show();
}

void TForm1::BTC_InfoClick()
{
    for (QWidget *w : {static_cast<QWidget *>(FormStart), static_cast<QWidget *>(FormGO),
                       static_cast<QWidget *>(FormOpt)})
        if (w && w->isVisible())
            w->close();
    if (FormInfo)
        FormInfo->ShowHelp(1);
}

void TForm1::BTC_CloseClick()
{
    if (HelpCursor == -20) {
        if (FormInfo)
            FormInfo->ShowHelp(11);
        return;
    }
    if (MessageDlg(QStringLiteral("Quadrivo beenden?"), TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo) == mrYes)
        close();
}

void TForm1::Pic_einstellClick()
{
    if (HelpCursor == -20 && FormInfo)
        FormInfo->ShowHelp(7);
}

int TForm1::VisibleFormsMask() const
{
    int mask = 0;
    auto vis = [](const QWidget *w) { return w && w->isVisible(); };
    if (vis(Vorgabe))
        mask |= 1;
    if (vis(FormGhost))
        mask |= 2;
    if (vis(Disclaimer))
        mask |= 4;
    if (vis(FormInfo))
        mask |= 8;
    if (vis(FormOpt))
        mask |= 16;
    if (vis(FormSucheSpiele))
        mask |= 32;
    if (vis(FormGO))
        mask |= 64;
    if (vis(FormCha))
        mask |= 512;
    return mask;
}
