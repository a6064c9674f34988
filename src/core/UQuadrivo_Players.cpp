// The eight player records and the player table.
#include "core/UQuadrivo.h"

#include "solver/UBingo.h"

void TForm1::ResetPlayers()
{
    if (FormBingo && FormBingo->isVisible())
        FormBingo->close();
    for (int p = 1; p <= 8; ++p) {
        TPlayerTableRow &row = PlayerRows[p];
        for (TLabel *l : {row.NameLabel, row.FoundLabel, row.ErrorsLabel, row.FreeLabel, row.WaitLabel})
            if (l)
                l->clear();
        if (row.ColorImage)
            row.ColorImage->SetPicture(QPixmap());
        TPlayerRecord &r = Players[p];
        r.Name.clear();
        r.Address.clear();
        r.PlayerNo = -1;
        r.WaitSeconds = r.Penalty = r.Points = r.Bonus = r.FreeCells = r.Errors = 0;
        r.UsedMarks = r.SentUsedMarks = r.Found = 0;
        r.GameOver = false;
        r.Active = false;
    }
}

int TForm1::CountOnlinePlayers() const
{
    int n = 0;
    for (int p = 1; p <= 8; ++p)
        if (Players[p].Active)
            ++n;
    return n;
}
