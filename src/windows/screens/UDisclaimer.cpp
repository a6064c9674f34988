#include "screens/UDisclaimer.h"

#include "board/UQuadrivo.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>

TDisclaimer *Disclaimer = nullptr;

TDisclaimer::TDisclaimer(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Disclaimer"));
    setFixedSize(560, 520);
    LogoPic = new TImage(this);
    // The logo at its own size, centred above the text.
    LogoPic->setGeometry((560 - 220) / 2, 6, 220, 80);
    SetSkinPicture(LogoPic, "pic_logo");
    Box = new QTextEdit(this);
    Box->setReadOnly(true);
    Box->setGeometry(10, 94, 540, 370);
    Box->setPlainText(TermsText());
    CheckBox1 = new TCheckBox(this, QStringLiteral("Nutzungsbedingungen zustimmen"));
    CheckBox1->setGeometry(10, 482, 300, 24);
    BitBtn1 = new TBitBtn(this, QStringLiteral("Weiter >"));
    BitBtn1->setGeometry(340, 480, 100, 28);
    BitBtn1->setEnabled(false);
    BitBtn1->setDefault(true);
    BitBtn2 = new TBitBtn(this, QStringLiteral("Abbrechen"));
    BitBtn2->setGeometry(450, 480, 100, 28);
    connect(CheckBox1, &QCheckBox::clicked, this, &TDisclaimer::CheckBox1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TDisclaimer::acceptClick);
    connect(BitBtn2, &QPushButton::clicked, this, &TDisclaimer::abbrechenClick);
}

QString TDisclaimer::TermsText()
{
    return QStringLiteral(
        "Nutzungsbedingungen\n\n"
        "1. Nutzung\n"
        "Dieses Sudoku-Spiel darf kostenlos für private Zwecke genutzt und unverändert weitergegeben "
        "werden.\n\n"
        "2. Keine Gewähr\n"
        "Das Programm wird so angeboten, wie es ist. Es gibt keine Zusage, dass es fehlerfrei läuft "
        "oder sich für einen bestimmten Zweck eignet.\n\n"
        "3. Haftung\n"
        "Für Schäden, die durch die Nutzung entstehen, etwa an Daten, Rechnern oder Netzwerken, wird "
        "keine Haftung übernommen, soweit das Gesetz dies zulässt.\n\n"
        "4. Netzwerk und Internet\n"
        "Im Netzwerkspiel tauscht das Programm Nachrichten mit den anderen Rechnern des Spiels aus. "
        "Im Internetspiel werden Spielername, Spielzüge und Chatzeilen an den Spielserver übertragen; "
        "die Versionsprüfung fragt dort nach der aktuellen Version. Bitte gib im Chat keine "
        "persönlichen Daten preis.\n\n"
        "5. Einstellungen\n"
        "Die Einstellungen werden für dein Benutzerkonto auf diesem Rechner gespeichert. Auf Wunsch "
        "merkt sich das Programm auch Benutzername und Kennwort für das Internetspiel.\n\n"
        "6. Miteinander\n"
        "Chatnachrichten sind freundlich und respektvoll zu halten.\n\n"
        "Mit einem Haken bei \"Nutzungsbedingungen zustimmen\" und \"Weiter >\" erkennst du diese "
        "Bedingungen an; sie werden danach nicht mehr angezeigt. \"Abbrechen\" beendet das Programm.");
}

void TDisclaimer::CheckBox1Click()
{
    BitBtn1->setEnabled(CheckBox1->isChecked());
}

void TDisclaimer::acceptClick()
{
    RegWriteInteger(QStringLiteral("Disclaimer"), 1);
    m_accepted = true;
    if (Form1) {
        Form1->SplashTimer->SetEnabled(true);
        Form1->show();
    }
    close();
}

void TDisclaimer::abbrechenClick()
{
    // Declining ends the program; nothing is stored.
    m_accepted = false;
    hide();
    if (Form1)
        Form1->QuitProgram();
}

void TDisclaimer::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // Over the place where the main window will appear once the terms are accepted.
    if (Form1) {
        PlaceOverMainWindow(this);
    } else if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
}

void TDisclaimer::closeEvent(QCloseEvent *e)
{
    QWidget::closeEvent(e);
    // Closing by the title bar is declining, too: the program must not stay
    // invisible while it holds the single-instance lock.
    if (!m_accepted && Form1 && !Form1->isVisible())
        Form1->QuitProgram();
}
