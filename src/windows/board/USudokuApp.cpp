#include "board/USudokuApp.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge.h"
#include "competitions/UDuell.h"
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
#include "solver/UBingo.h"
#include "solver/USolver.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// The first help window stays alive beside the second, as it always did.
TFormInfo *firstInfo = nullptr;
} // namespace

void CreateSudokuWindows()
{
    Form1 = new TForm1();
    NETZ = new TNETZ();
    Trace = new TTrace();
    Vorgabe = new TVorgabe();
    Disclaimer = new TDisclaimer();
    FormSucheSpiele = new TFormSucheSpiele();
    FormOpt = new TFormOpt();
    FormInfo = new TFormInfo();
    FormCha = new TFormCha();
    FormFeld = new TFormFeld();
    FormSolver = new TFormSolver();
    FormBingo = new TFormBingo();
    FormGO = new TFormGO();
    FormMeld = new TFormMeld();
    FormGhost = new TFormGhost();
    firstInfo = FormInfo;
    FormInfo = new TFormInfo();
    FormStart = new TFormStart();
    FormSpielEnde = new TFormSpielEnde();
    FormDrucken = new TFormDrucken();
    FormDuell = new TFormDuell();
    WEBForm = new TWEBForm();
}

template <typename T> static void destroy(T *&p)
{
    delete p;
    p = nullptr;
}

void DestroySudokuWindows()
{
    // The main window goes first: its destruction releases the instance lock,
    // and nothing it owns refers to the other windows.
    destroy(Form1);
    destroy(WEBForm);
    destroy(FormDuell);
    destroy(FormDrucken);
    destroy(FormSpielEnde);
    destroy(FormStart);
    destroy(FormInfo);
    destroy(firstInfo);
    destroy(FormGhost);
    destroy(FormMeld);
    destroy(FormGO);
    destroy(FormBingo);
    destroy(FormSolver);
    destroy(FormFeld);
    destroy(FormCha);
    destroy(FormOpt);
    destroy(FormSucheSpiele);
    destroy(Disclaimer);
    destroy(Vorgabe);
    destroy(Trace);
    destroy(NETZ);
}

void InstallGermanTranslation()
{
    auto *qt = new QTranslator(qApp);
    if (qt->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}
