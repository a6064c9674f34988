#pragma once
// What a user sees once a game is over: the set-up windows on the screen,
// and the end-of-game dialog's table with the height it takes.

#include "board/UQuadrivo.h"
#include "competitions/UChallenge.h"
#include "competitions/UDuell.h"
#include "competitions/Ughost.h"
#include "net/USucheSpiele.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"

#include <QStringList>
#include <QWidget>

// The set-up windows shown now, by their global names.
inline QStringList ShownSetUpWindows()
{
    const std::pair<const char *, QWidget *> windows[] = {
        {"FormStart", FormStart}, {"FormGO", FormGO},   {"FormOpt", FormOpt},     {"FormCha", FormCha},
        {"FormGhost", FormGhost}, {"Vorgabe", Vorgabe}, {"FormDuell", FormDuell}, {"FormSucheSpiele", FormSucheSpiele},
        {"WEBForm", WEBForm},
    };
    QStringList out;
    for (const auto &[name, w] : windows)
        if (w && w->isVisible())
            out << QString::fromLatin1(name);
    return out;
}

// The names in the end-of-game dialog's table, top to bottom.
inline QStringList EndTableNames()
{
    QStringList out;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerTableRow &row = Form1->EndPlayerRows[p];
        if (row.NameLabel && !row.NameLabel->text().isEmpty())
            out << row.NameLabel->text();
    }
    return out;
}

// The end-of-game dialog is exactly as high as its title, its chart, a
// table of that many rows and its footer.
inline bool EndDialogFits(int rows)
{
    const TFormSpielEnde *d = FormSpielEnde;
    const int table = Form1->PlayerTableHeight(rows);
    return d->Tabelle_Panel->height() == table &&
           d->height() == d->TitelPanel->height() + d->Statistik->Tag + table + d->footer_panel->height();
}
