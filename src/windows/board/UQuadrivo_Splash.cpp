// The start of the program behind the splash picture: the steps of the
// splash timer, which build the windows' state and read the settings.
#include "board/UQuadrivo.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UWindowFit.h"
#include "competitions/UChallenge.h"
#include "competitions/UDuell.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UDisclaimer.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "ui/DialogService.h"

#include <QDir>

void TForm1::SplashTimerTimer()
{
    if (Trace && Trace->TicksPerMicrosecond == 0)
        Trace->InitTraceClock();
    SplashTimer->Tag += 1;
    switch (SplashTimer->Tag) {
    case 20: {
        static const int32_t colourDefaults[9] = {0,        0x00FF00, 0x74A9DE, 0xFFFF00, 0x00FFFF,
                                                  0xFF00FF, 0xF0CAA6, 0x0000FF, 0xFF0000};
        for (int p = 1; p <= 8; ++p)
            FormOpt->ColourImage(p)->Tag =
                RegReadInteger(QStringLiteral("ColSp%1").arg(p), colourDefaults[p]);
        FormDuell->SetPlayerColour(FormDuell->Spieler1, RegReadInteger(QStringLiteral("DuellSpieler1"), 0x0000FF));
        FormDuell->SetPlayerColour(FormDuell->Spieler2, RegReadInteger(QStringLiteral("DuellSpieler2"), 0x00FF00));
        FormDuell->SetMitSpielen(true);
        FormOpt->im1Click(nullptr);
        FormOpt->ApplySkin();
        FormFeld->CreatePlayerTable();
        FormStart->ShowStartTab(1);
        break;
    }
    case 42:
        FormOpt->IPAdressen->SetItems(GetLocalIPList());
        FormOpt->SelfIp->setText(NETZ->LocalAddress());
        GameRunning = false;
        HostsNetworkGame = false;
        Paused = false;
        EditorMode = false;
        StopRequested = false;
        CountsPerTenth = PerfFrequency() / 10;
        break;
    case 43:
        FormOpt->Port->setText(RegReadString(QStringLiteral("Port"), QStringLiteral("2401")));
        FormOpt->ChgPortClick();
        FormInfo->Label1->setText(QString::fromLatin1(kVersionText));
        Label1->setText(QString::fromLatin1(kVersionText));
        Label1->adjustSize();
        Label1->move(490, 115);
        Label1->raise();
        break;
    case 44:
        FormFeld->CreateBoardControls();
        break;
    case 45:
        SplashTimer->SetEnabled(false);
        m_lock = std::make_unique<QLockFile>(InstanceLockPath());
        // Only a lock whose process is gone counts as stale, never an old one.
        m_lock->setStaleLockTime(0);
        if (!m_lock->tryLock(0)) {
            m_lock.reset();
            SecondInstance = true;
            ShowMessage(QStringLiteral("Das Programm wurde schon gestartet!"));
            QuitProgram();
            return;
        }
        SplashTimer->SetEnabled(true);
        break;
    case 46:
        MsgTimer->SetEnabled(true);
        WartezeitTimer->SetEnabled(true);
        Blinken->SetEnabled(true);
        NETZ->SendTimer->SetEnabled(true);
        break;
    case 150:
        readSettingsStep150();
        break;
    case 153:
        ResetPlayers();
        FormGO->ApplyOptionRules();
        FormStart->Tab_EinzelspielerClick(nullptr);
        SplashTimer->SetEnabled(false);
        FormStart->show();
        break;
    default:
        break;
    }
    if (SplashTimer->Tag > 155)
        SplashTimer->SetEnabled(false);
}

void TForm1::readSettingsStep150()
{
    // A name stored too long is cut without a word: the options window's
    // warning is for typing, not for the splash.
    FormOpt->NickName->setText(RegReadString(QStringLiteral("Nickname"), DefaultNickname()).left(kMaxNickLength));
    FormGO->SetImportDir(RegReadString(QStringLiteral("ImportPath"), QDir::toNativeSeparators(ProgramDir())));
    SetBingoChange(RegReadInteger(QStringLiteral("BingoFest"), 0));
    FormGO->SetBingoMaxValue(RegReadInteger(QStringLiteral("AnzBingo"), 4));
    SetBingoKind(RegReadInteger(QStringLiteral("BingoModus"), 0));
    FormOpt->SetFoundColored(RegReadInteger(QStringLiteral("foundcolored"), 1));
    FormGO->SetImport(RegReadInteger(QStringLiteral("Import"), 0));
    FormGO->SetGameType(RegReadInteger(QStringLiteral("Spielart"), 1));
    // "level" is shared with the internet client, whose range is 1..4: a
    // value outside the game options' own range counts as their default.
    int level = RegReadInteger(QStringLiteral("level"), 0);
    if (level < 0 || level > 3)
        level = 0;
    FormGO->SetLevel(level);
    FormGO->SetRating(RegReadInteger(QStringLiteral("bewertung"), 1));
    FormGO->SetMaxMarks(RegReadInteger(QStringLiteral("AnzMerker"), 2));
    FormGO->SetMarkBonus(RegReadInteger(QStringLiteral("BonusMerker"), 0));
    FormGO->SetRotation(RegReadInteger(QStringLiteral("Rotation"), 0));
    FormGO->SetMix(RegReadInteger(QStringLiteral("Mixen"), 0));
    FormGO->SetEvaluation(RegReadInteger(QStringLiteral("Durchspielen"), 1));
    FormOpt->SetSound(RegReadInteger(QStringLiteral("Sound"), 1));
    FormOpt->SetKeyboard(RegReadInteger(QStringLiteral("alltastatur"), 0));
    FormGO->SetOwnBoard(RegReadInteger(QStringLiteral("eigenesfeld"), 0));
    FormOpt->SizeMerker->setValue(RegReadInteger(QStringLiteral("FontSizeMerker"), FormOpt->SizeMerker->value()));
    FormOpt->SizeZahlen->setValue(RegReadInteger(QStringLiteral("FontSizeZahlen"), FormOpt->SizeZahlen->value()));

    LogoPic->hide();
    Label1->hide();
    ToolPanel->show();
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, false);
    if (wasVisible)
        show();

    const int top = RegReadInteger(QStringLiteral("Window1Top"), 10);
    const int left = RegReadInteger(QStringLiteral("Window1Left"), 10);
    const int h = RegReadInteger(QStringLiteral("Window1Height"), 725);
    const int w = RegReadInteger(QStringLiteral("Window1Width"), 1020);
    // The stored place may be from a monitor that is gone or simply broken:
    // the window goes where it can be seen, at a size the screen can hold.
    const QRect place = FitWindowToScreens(left, top, w, h, QSize(1020, 725));
    move(place.topLeft());
    resize(place.size());
    brett->show();
    FormPaint();

    FormOpt->SpanBlock->setValue(RegReadInteger(QStringLiteral("TrennBlock"), 6));
    FormOpt->SpanZelle->setValue(RegReadInteger(QStringLiteral("TrennZelle"), 3));
    FormOpt->MenueColorValue = RegReadInteger(QStringLiteral("MenueColor"), 0x005EBB);
    FormOpt->FeldColorValue = RegReadInteger(QStringLiteral("FeldColor"), 0x409FFF);
    FormOpt->TrennColor1Value = RegReadInteger(QStringLiteral("TrennColor1"), 0x003366);
    FormOpt->TrennColor2Value = RegReadInteger(QStringLiteral("TrennColor2"), 0xFFFFFF);
    FormOpt->Merker1ColorValue = RegReadInteger(QStringLiteral("Merker1Color"), 0x00FF00);
    FormOpt->Merker2ColorValue = RegReadInteger(QStringLiteral("Merker2Color"), 0x00FFFF);
    WEBForm->SetRememberLogin(RegReadInteger(QStringLiteral("inetmerken"), 0));
    // The same shared value: outside 1..4 the internet client shows its
    // default and leaves the stored level of the game options alone.
    const int webLevel = RegReadInteger(QStringLiteral("level"), 1);
    if (webLevel >= 1 && webLevel <= 4)
        WEBForm->SetWebLevel(webLevel);
    else
        WEBForm->ApplyWebLevel(1);
    WEBForm->SetWebPlayers(RegReadInteger(QStringLiteral("player"), 2));
    WEBForm->iNet_User->setText(RegReadString(QStringLiteral("iNetUser"), QString()));
    WEBForm->iNet_Passwort->setText(RegReadString(QStringLiteral("iNetPW"), QString()));
    FormCha->SetTurnierEndeArt(RegReadInteger(QStringLiteral("TurnierEndeArt"), 2));
    SetBingoFill(RegReadInteger(QStringLiteral("BingoArt"), 1));
    // The game type's text was made before the refill kind was known.
    FormGO->UpdateArtLabel();
    FormOpt->ApplyColours();
    if (FormMeld)
        FormMeld->SetPanelColour(FormOpt->MenueColorValue);

    if (RegReadInteger(QStringLiteral("Disclaimer"), 0) == 0) {
        SplashTimer->SetEnabled(false);
        Disclaimer->show();
        hide();
    }
}
