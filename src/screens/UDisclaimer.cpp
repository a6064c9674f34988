#include "screens/UDisclaimer.h"

#include "core/UQuadrivo.h"
#include "core/USonstiges.h"

#include <QCloseEvent>
#include <QTextEdit>

TDisclaimer *Disclaimer = nullptr;

TDisclaimer::TDisclaimer(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Disclaimer"));
    resize(560, 430);
    Box = new QTextEdit(this);
    Box->setReadOnly(true);
    Box->setGeometry(10, 10, 540, 330);
    Box->setPlainText(TermsText());
    CheckBox1 = new TCheckBox(this, QStringLiteral("Nutzungsbedingungen zustimmen"));
    CheckBox1->setGeometry(10, 350, 300, 22);
    BitBtn1 = new TBitBtn(this, QStringLiteral("Weiter >"));
    BitBtn1->setGeometry(340, 390, 100, 28);
    BitBtn1->setEnabled(false);
    BitBtn2 = new TBitBtn(this, QStringLiteral("Abbrechen"));
    BitBtn2->setGeometry(450, 390, 100, 28);
    connect(CheckBox1, &QCheckBox::clicked, this, &TDisclaimer::CheckBox1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TDisclaimer::acceptClick);
    connect(BitBtn2, &QPushButton::clicked, this, &TDisclaimer::abbrechenClick);
}

QString TDisclaimer::TermsText()
{
    return QStringLiteral(
        "Nutzungsbedingungen\n\n"
        "Dieses Sudoku-Spiel darf kostenlos für private Zwecke genutzt und weitergegeben werden, "
        "solange es unverändert bleibt.\n\n"
        "Das Programm wird so angeboten, wie es ist. Für Schäden, die durch die Nutzung entstehen, "
        "etwa an Daten, Rechnern oder Netzwerken, wird keine Haftung übernommen.\n\n"
        "Im Netzwerkspiel tauscht das Programm Nachrichten mit anderen Rechnern aus. Im Internetspiel "
        "werden Spielername, Spielzüge und Chatzeilen an den Spielserver übertragen. Bitte gib dort "
        "keine persönlichen Daten preis.\n\n"
        "Chatnachrichten sind freundlich und respektvoll zu halten.\n\n"
        "Mit einem Haken bei \"Nutzungsbedingungen zustimmen\" und \"Weiter >\" erkennst du diese "
        "Bedingungen an. Sie werden danach nicht mehr angezeigt.");
}

void TDisclaimer::CheckBox1Click() { BitBtn1->setEnabled(CheckBox1->isChecked()); }

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

void TDisclaimer::closeEvent(QCloseEvent *e)
{
    QWidget::closeEvent(e);
    // Closing by the title bar is declining, too: the program must not stay
    // invisible while it holds the single-instance lock.
    if (!m_accepted && Form1 && !Form1->isVisible())
        Form1->QuitProgram();
}
