#include "screens/UInfo.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "help/UInfo_Topics.h"
#include "net/UHttpPost.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>

TFormInfo *FormInfo = nullptr;

const char *const TFormInfo::kHomepageUrl = "http://www.quadrivo.de/";
const char *const TFormInfo::kForumUrl = "http://www.quadrivo.de/forum/";

namespace {
constexpr int kWidth = 500;
constexpr int kLogoHeight = 78;
constexpr int kRowHeight = 36;
constexpr int kHelpTop = kLogoHeight + 2 * kRowHeight;
constexpr int kTitleHeight = 28;
constexpr int kFooterHeight = 40;
} // namespace

TFormInfo::TFormInfo(QWidget *parent) : QWidget(parent, Qt::Window), m_http(new THttpClient(this))
{
    setWindowTitle(QStringLiteral("Info"));
    resize(kWidth, 390);

    auto button = [](QWidget *parent, const QString &text, const char *faceName, const QRect &r, TImage *&face) {
        TLabel *l = MakeFaceButton(parent, text, faceName, r, face);
        l->SetFontSize(8, true);
        MakeCaptionButton(l, 9, 8, true);
        return l;
    };

    LogoPic = new TImage(this);
    LogoPic->setGeometry(10, 4, 220, kLogoHeight - 8);
    SetSkinPicture(LogoPic, "pic_logo");
    Label1 = new TLabel(this);
    Label1->setGeometry(250, 30, 230, 20);
    Label1->SetFontSize(10, true);

    Panel1 = new TPanel(this);
    bt_regeln = button(Panel1, QStringLiteral("Sudoku Regeln"), "BIM_regeln", QRect(10, 5, 150, 26), BIM_regeln);
    bt_regeln->Tag = 2;
    bt_versionchk =
        button(Panel1, QStringLiteral("Version prüfen"), "BIM_versionchk", QRect(170, 5, 150, 26), BIM_versionchk);

    Panel_internet = new TPanel(this);
    Label_internet = new TLabel(Panel_internet, QStringLiteral("Weitere Informationen zu Quadrivo :"));
    Label_internet->setGeometry(10, 5, 230, 26);
    Label_internet->SetFontSize(8, true);
    bt_homepage =
        button(Panel_internet, QStringLiteral("Homepage"), "BIM_homepage", QRect(245, 5, 110, 26), BIM_homepage);
    bt_forum = button(Panel_internet, QStringLiteral("Forum"), "BIM_forum", QRect(365, 5, 110, 26), BIM_forum);

    Panel3 = new TPanel(this);
    Panel3->SetColor(Qt::white);
    Kopf = new TLabel(Panel3);
    Kopf->SetFontSize(10, true);
    Kopf->setTextFormat(Qt::PlainText);
    body = new TListBox(Panel3);
    body->setFrameShape(QFrame::NoFrame);
    body->setSelectionMode(QAbstractItemView::NoSelection);
    body->setFocusPolicy(Qt::NoFocus);
    QFont bodyFont = body->font();
    bodyFont.setPointSize(8);
    body->setFont(bodyFont);
    for (TImage **pic :
         {&varianten, &optionen, &sonstiges, &spielart, &suchespiele, &level, &editor, &bewertung, &challenge}) {
        *pic = new TImage(Panel3);
        (*pic)->hide();
    }
    bewertung->setObjectName(QStringLiteral("bewertung"));
    editor->setObjectName(QStringLiteral("editor"));

    fuss = new TPanel(this);
    bt_schliessen =
        button(fuss, QStringLiteral("Schliessen"), "BIM_schliessen", QRect(kWidth - 160, 7, 150, 26), BIM_schliessen);

    for (TPanel *p : {Panel1, Panel_internet, fuss}) {
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->SetColor(ColorFromBGR(0x409FFF));
        SetColourRole(p, TColourRole::Field);
    }

    connect(bt_regeln, &TLabel::Click, this, &TFormInfo::bt_regelnClick);
    connect(bt_versionchk, &TLabel::Click, this, &TFormInfo::bt_versionchkClick);
    connect(bt_homepage, &TLabel::Click, this, &TFormInfo::bt_homepageClick);
    connect(bt_forum, &TLabel::Click, this, &TFormInfo::bt_forumClick);
    connect(bt_schliessen, &TLabel::Click, this, &TFormInfo::bt_schliessenClick);
    for (TImage *face : {BIM_regeln, BIM_versionchk, BIM_homepage, BIM_forum, BIM_schliessen})
        face->lower();
    layoutParts();
}

// Head rows at their fixed heights, the footer at the bottom, the help area
// between: its title on top, then the topic's picture, the body below.
void TFormInfo::layoutParts()
{
    const int w = width();
    const int h = height();
    Panel1->setGeometry(0, kLogoHeight, w, kRowHeight);
    Panel_internet->setGeometry(0, kLogoHeight + kRowHeight, w, kRowHeight);
    fuss->setGeometry(0, h - kFooterHeight, w, kFooterHeight);
    bt_schliessen->move(w - 160, bt_schliessen->y());
    BIM_schliessen->move(bt_schliessen->pos());
    const int helpH = std::max(0, h - kHelpTop - kFooterHeight);
    Panel3->setGeometry(0, kHelpTop, w, helpH);
    Kopf->setGeometry(0, 4, w, kTitleHeight - 4);
    int top = kTitleHeight;
    if (m_picture && !m_picture->isHidden()) {
        m_picture->setGeometry(0, top, w, m_picture->height());
        top += m_picture->height();
    }
    body->setGeometry(0, top, w, std::max(0, helpH - top));
}

void TFormInfo::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    layoutParts();
}

void TFormInfo::ShowHelp(int n)
{
    for (TImage *pic : {varianten, optionen, sonstiges, spielart, suchespiele, level, editor, bewertung, challenge})
        pic->hide();
    body->hide();
    m_picture = nullptr;
    ReturnTo = 0;

    const THelpTopic *topic = FindHelpTopic(n);
    if (!topic) {
        // An unknown number keeps the window as it is, with nothing in the body.
        body->clear();
        body->show();
        layoutParts();
        return;
    }
    Kopf->setText(FormatHelpTitle(QString::fromUtf8(topic->Title)));
    body->clear();
    body->SetItems(FormatHelpBody(QString::fromUtf8(topic->Body)));
    ReturnTo = topic->ReturnTo;
    if (topic->Picture) {
        const QString name = QString::fromLatin1(topic->Picture);
        for (TImage *pic : {editor, bewertung})
            if (pic->objectName() == name)
                m_picture = pic;
    }
    resize(kWidth, topic->WindowHeight);
    if (m_picture) {
        m_picture->resize(width(), topic->PictureHeight);
        if (m_picture == bewertung)
            m_picture->SetPicture(DrawRatingPicture(width(), topic->PictureHeight));
        else
            m_picture->SetPicture(DrawEditorPicture(width(), topic->PictureHeight));
        m_picture->show();
    }
    body->show();
    layoutParts();
    // The rules are asked for from this window, which is open already.
    if (n != 2) {
        show();
        raise();
        activateWindow();
    }
    if (topic->HidesBoard && Form1 && Form1->brett)
        Form1->brett->hide();
}

void TFormInfo::bt_regelnClick()
{
    ShowHelp(bt_regeln->Tag);
}

// Closing from the title bar leads back the same way: a topic may have hidden
// the board of a running game.
void TFormInfo::bt_schliessenClick()
{
    close();
}

// Back to where the user came from: the game options after the Bingo topic,
// else the board of a running game or the start screen.
void TFormInfo::leaveWindow()
{
    if (ReturnTo == 13) {
        if (FormGO)
            FormGO->show();
        return;
    }
    if (ReturnTo >= 1 || !Form1)
        return;
    if (Form1->GameRunning) {
        if (Form1->brett)
            Form1->brett->show();
    } else if (FormStart) {
        FormStart->show();
    }
}

void TFormInfo::closeEvent(QCloseEvent *e)
{
    QWidget::closeEvent(e);
    ++m_generation;
    m_http->AbandonAll();
    leaveWindow();
}

void TFormInfo::bt_homepageClick()
{
    ShellOpen(this, QString::fromLatin1(kHomepageUrl));
}

void TFormInfo::bt_forumClick()
{
    ShellOpen(this, QString::fromLatin1(kForumUrl));
}

int TFormInfo::PendingVersionChecks() const
{
    return m_http->Pending();
}

void TFormInfo::bt_versionchkClick()
{
    QString address;
    SpacesToPercent20(ServerScriptAddress(SudokuEnv().ServerUrl, QStringLiteral("chkversion.php")), address);
    const int generation = m_generation;
    // Each click runs its own request; the window stays usable while it waits.
    m_http->Post(address, {}, [this, generation, address](const THttpResult &result) {
        if (generation == m_generation)
            versionAnswer(address, result);
    });
}

// The address and the reply go to the trace as they are, without a time: the
// reply's own line breaks make lines of the log.
static void traceAppend(const QString &text)
{
    if (Trace)
        Trace->TraceAppend(text);
}

void TFormInfo::versionAnswer(const QString &address, const THttpResult &result)
{
    if (result.Refused) {
        traceAppend(QStringLiteral("URL=") + address);
        TraceLine(QStringLiteral("ERROR: Senden an (%1) verweigert: %2").arg(QUrl(address).host(), result.Error));
        return;
    }
    // No answer, a network error or an error status end the check silently.
    if (!result.Ok)
        return;
    const QString text = DecodeCp1252(result.Body);
    traceAppend(QStringLiteral("URL=") + address);
    traceAppend(QStringLiteral("Antwort=") + text);
    const TVersionReply reply = ParseVersionReply(text);
    if (!reply.Ok)
        TraceLine(QString::fromLatin1(kWrongReplyText));
    body->clear();
    body->Add(VersionReplyText(reply, QString::fromLatin1(kVersionText)));
}

// The right edge meets the tool panel's left edge; vertically as every
// set-up window.
void TFormInfo::FormActivate()
{
    if (!Form1)
        return;
    PlaceOverMainWindow(this);
    const int toolLeft = Form1->ToolPanel ? Form1->ToolPanel->x() : Form1->width();
    int left = Form1->x() + toolLeft - width();
    if (left < 0)
        left = 1;
    move(left, y());
}

void TFormInfo::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormActivate();
}

void TFormInfo::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

// ---- pictures -------------------------------------------------------------------

namespace {
void drawCell(QPainter &p, const QRect &r, const QColor &fill, const QString &digit, bool marbled)
{
    p.fillRect(r, fill);
    if (marbled) {
        // A few soft veins make the given cell look like stone.
        p.setPen(QPen(QColor(150, 150, 150, 120), 1));
        for (int i = 0; i < 4; ++i) {
            QPainterPath vein;
            vein.moveTo(r.left(), r.top() + r.height() * (i + 1) / 5);
            vein.cubicTo(r.left() + r.width() / 3, r.top() + r.height() * i / 5, r.left() + 2 * r.width() / 3,
                         r.top() + r.height() * (i + 2) / 5, r.right(), r.top() + r.height() * (i + 1) / 5);
            p.drawPath(vein);
        }
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (!digit.isEmpty()) {
        QFont f = p.font();
        f.setPointSize(16);
        f.setBold(true);
        p.setFont(f);
        p.drawText(r, Qt::AlignCenter, digit);
    }
}

void drawMouse(QPainter &p, const QRect &r, bool left)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(235, 235, 235));
    p.drawRoundedRect(r, r.width() / 2.0, r.width() / 2.0);
    const int split = r.top() + r.height() * 2 / 5;
    const QRect button = left ? QRect(r.left() + 2, r.top() + 2, r.width() / 2 - 2, split - r.top() - 2)
                              : QRect(r.center().x() + 1, r.top() + 2, r.width() / 2 - 3, split - r.top() - 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 40, 40));
    p.drawRoundedRect(button, 4, 4);
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(r.left(), split, r.right(), split);
    p.drawLine(r.center().x(), r.top(), r.center().x(), split);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}
} // namespace

QPixmap DrawEditorPicture(int width, int height)
{
    QPixmap pm(width, height);
    pm.fill(Qt::white);
    QPainter p(&pm);
    const int cell = std::min(60, height - 40);
    const int top = 12;
    QFont f = p.font();
    auto half = [&](int x0, bool left) {
        drawMouse(p, QRect(x0, top, 36, 56), left);
        const QRect c(x0 + 50, top, cell, cell);
        if (left)
            drawCell(p, c, QColor(222, 218, 210), QStringLiteral("7"), true);
        else
            drawCell(p, c, QColor(120, 200, 120), QString(), false);
        f.setPointSize(8);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(QRect(x0 - 10, top + cell + 8, 180, 40), Qt::AlignLeft | Qt::TextWordWrap,
                   left ? QStringLiteral("linke Maustaste:\nvorgegebenes Feld")
                        : QStringLiteral("rechte Maustaste:\nzu suchendes Feld"));
    };
    half(width / 4 - 50, true);
    half(3 * width / 4 - 80, false);
    return pm;
}

QPixmap DrawRatingPicture(int width, int height)
{
    QPixmap pm(width, height);
    pm.fill(Qt::white);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPointSize(9);
    const QStringList head = {QStringLiteral("Bewertung"), QStringLiteral("1. Fehler"),
                              QStringLiteral("weitere Fehler")};
    const QStringList rows[] = {
        {QStringLiteral("Leicht"), QStringLiteral("5 Sek."), QStringLiteral("5 Sek.")},
        {QStringLiteral("Mittel"), QStringLiteral("5 Sek."), QStringLiteral("+ 5 Sek.")},
        {QStringLiteral("Schwer"), QStringLiteral("10 Sek."), QStringLiteral("Spielende")},
        {QStringLiteral("Profi"), QStringLiteral("Spielende"), QStringLiteral("Spielende")},
    };
    const QColor shades[] = {QColor(190, 230, 190), QColor(240, 230, 160), QColor(245, 190, 140),
                             QColor(235, 150, 150)};
    const int left = 30;
    const int colW = (width - 2 * left) / 3;
    const int rowH = 34;
    int y = 14;
    f.setBold(true);
    p.setFont(f);
    p.fillRect(QRect(left, y, 3 * colW, rowH), QColor(0x40, 0x60, 0xA0));
    p.setPen(Qt::white);
    for (int c = 0; c < 3; ++c)
        p.drawText(QRect(left + c * colW, y, colW, rowH), Qt::AlignCenter, head[c]);
    y += rowH;
    for (int r = 0; r < 4; ++r) {
        p.fillRect(QRect(left, y, 3 * colW, rowH), shades[r]);
        p.setPen(Qt::black);
        for (int c = 0; c < 3; ++c) {
            f.setBold(c == 0);
            p.setFont(f);
            p.drawText(QRect(left + c * colW, y, colW, rowH), Qt::AlignCenter, rows[r][c]);
        }
        y += rowH;
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(left, 14, 3 * colW, y - 14));
    for (int c = 1; c < 3; ++c)
        p.drawLine(left + c * colW, 14, left + c * colW, y);
    for (int yy = 14 + rowH; yy < y; yy += rowH)
        p.drawLine(left, yy, left + 3 * colW, yy);

    // The bonus in Profi: every pencil mark left unused pays the points again.
    y += 24;
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(left, y, 3 * colW, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Bonus (nur Profi):"));
    y += 26;
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(left, y, 3 * colW, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Bonus = Punkte * nicht verwendeter Merker"));
    y += 30;
    const int box = 18;
    for (int i = 0; i < 10; ++i) {
        const QRect m(left + i * (box + 6), y, box, box);
        p.fillRect(m, i < 7 ? QColor(120, 200, 120) : QColor(210, 210, 210));
        p.drawRect(m.adjusted(0, 0, -1, -1));
    }
    p.drawText(QRect(left + 10 * (box + 6) + 8, y - 2, 220, box + 4), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("7 von 10 Merkern nicht verwendet"));
    (void)height;
    return pm;
}
