// The eight player records and the player table.
#include "board/UQuadrivo.h"

#include "board/UFeld.h"
#include "competitions/UDuell.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// Names and addresses were short strings of 15 characters.
constexpr int kShortStringLength = 15;
} // namespace

void TForm1::ResetPlayers()
{
    if (FormBingo && FormBingo->isVisible()) {
        ClearBingoList();
        ResetBingo();
        FormBingo->close();
    }
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

bool TForm1::IsPlayerNameTaken(const QString &name) const
{
    for (int p = 1; p <= 8; ++p)
        if (Players[p].Active && Players[p].Name == name)
            return true;
    return false;
}

bool TForm1::IsOwnPlayerGameOver() const
{
    const int me = NETZ ? NETZ->MyPlayerNo : 0;
    for (int p = 1; p <= 8; ++p)
        if (Players[p].PlayerNo == me && Players[p].GameOver)
            return true;
    return false;
}

void TForm1::SetPlayerName(int p, const QString &name)
{
    if (p >= 1 && p <= 8)
        Players[p].Name = name.left(kShortStringLength);
}

void TForm1::SetPlayerAddress(int p, const QString &address)
{
    if (p >= 1 && p <= 8)
        Players[p].Address = address.left(kShortStringLength);
}

int TForm1::ProgressSampleCount(const TPlayerRecord &r)
{
    return std::clamp(r.SampleCount, 0, kSampleCapacity);
}

bool TForm1::LastProgressSample(const TPlayerRecord &r, TProgressSample &sample)
{
    const int n = ProgressSampleCount(r);
    if (n == 0) {
        sample = TProgressSample();
        return false;
    }
    sample = r.Samples[n - 1];
    return true;
}

namespace {
// The table is filled again after every result telegram, mostly with what
// it shows already; a label or hint set anew is laid out and announced anew.
void setHint(QWidget *w, const QString &hint)
{
    if (w->toolTip() != hint)
        w->setToolTip(hint);
}

void clearRow(TPlayerTableRow &row)
{
    for (TLabel *l : {row.NameLabel, row.FoundLabel, row.ErrorsLabel, row.FreeLabel, row.WaitLabel, row.PointsLabel,
                      row.BonusLabel})
        if (l && (!l->text().isEmpty() || !l->pixmap().isNull()))
            l->clear();
    for (TImage *im : {row.ColorImage, row.StatusImage})
        if (im) {
            im->SetPicture(QPixmap());
            setHint(im, QString());
        }
}

void setText(TLabel *l, const QString &text)
{
    if (l)
        l->setText(text);
}
} // namespace

void TForm1::UpdatePlayerTable()
{
    const int me = NETZ ? NETZ->MyPlayerNo : 0;
    const bool duelWithoutMe = FormDuell && FormDuell->DuelActive && !FormDuell->IsMitSpielen();
    const bool endTable = FormSpielEnde && FormSpielEnde->isVisible() && FormSpielEnde->TablePending;
    const bool bonusOn = FormGO && FormGO->HasMarkBonus();
    // The rows shown stand one under the other in the order of the slots: a
    // free slot between two players leaves no gap, so every row shown lies
    // inside a table sized for the rows shown. The rows not shown follow,
    // empty, below the last one.
    bool show[9] = {};
    int shown = 0;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerRecord &r = Players[p];
        show[p] = !r.Address.isEmpty() && r.PlayerNo > 0 && me != 0 && !(p == 1 && duelWithoutMe);
        if (show[p])
            ++shown;
    }
    int nextShown = 1;
    int nextHidden = shown + 1;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerRecord &r = Players[p];
        TPlayerTableRow &row = PlayerRows[p];
        TPlayerTableRow &end = EndPlayerRows[p];
        const int line = show[p] ? nextShown++ : nextHidden++;
        TFormFeld::PlacePlayerRow(row, line);
        if (endTable)
            TFormFeld::PlacePlayerRow(end, line);
        if (!show[p]) {
            clearRow(row);
            if (endTable)
                clearRow(end);
            continue;
        }
        TFormFeld::ShowPlayerName(row.NameLabel, r.Name.left(kShortStringLength));
        setText(row.FoundLabel, QString::number(r.Found));
        setText(row.ErrorsLabel, QString::number(r.Errors));
        setText(row.FreeLabel, QString::number(r.FreeCells));
        setText(row.WaitLabel, QString::number(r.WaitSeconds));
        if (row.ColorImage)
            PaintColorTileFresh(row.ColorImage, r.Color);

        QString word;
        const TImage *picture = nullptr;
        if (!r.Active) {
            word = QStringLiteral("Offline");
            picture = FormOpt ? FormOpt->pic_offline : nullptr;
        } else if (!GameRunning) {
            word = QStringLiteral("wartet");
            picture = FormOpt ? FormOpt->pic_wartet : nullptr;
        } else if (r.GameOver) {
            word = QStringLiteral("Game Over");
            picture = FormOpt ? FormOpt->pic_spiel_off : nullptr;
        } else {
            word = QStringLiteral("gestartet");
            picture = FormOpt ? FormOpt->pic_spiel_on : nullptr;
        }
        if (row.StatusImage) {
            // The status word lives in the picture's hint, shown as its tool tip.
            setHint(row.StatusImage, word);
            h_pic->SetPicture(picture ? picture->Picture() : QPixmap());
            row.StatusImage->SetPicture(h_pic->Picture());
        }

        if (endTable) {
            TFormFeld::ShowPlayerName(end.NameLabel, row.NameLabel ? row.NameLabel->text() : QString());
            if (end.ColorImage && row.ColorImage)
                end.ColorImage->SetPicture(row.ColorImage->Picture());
            setText(end.FoundLabel, row.FoundLabel ? row.FoundLabel->text() : QString());
            setText(end.ErrorsLabel, row.ErrorsLabel ? row.ErrorsLabel->text() : QString());
            setText(end.FreeLabel, row.FreeLabel ? row.FreeLabel->text() : QString());
            setText(end.PointsLabel, QString::number(r.Points));
            setText(end.BonusLabel, bonusOn ? QString::number(r.Bonus) : QStringLiteral("0"));
        }
    }
    if (shown == 0)
        shown = 1;
    const int h = PlayerTableHeight(shown);
    if (FormSpielEnde && FormSpielEnde->isVisible())
        FormSpielEnde->TablePending = false;
    // The end table keeps the rows it was filled with, and their height.
    if (endTable)
        FormSpielEnde->SetTableHeight(h);
    if (shown != PlayerRowsShown) {
        PlayerRowsShown = shown;
        Tabelle_Panel->resize(Tabelle_Panel->width(), h);
        if (FormSpielEnde && !FormSpielEnde->isVisible())
            FormSpielEnde->SetTableHeight(h);
    }
}

int TForm1::PlayerTableHeight(int rows) const
{
    return (Tabelle_kopf ? Tabelle_kopf->height() : 0) + 3 + 23 * rows;
}

void TForm1::DrawProgressChart(TImage *image)
{
    if (!image)
        return;
    image->SetPicture(QPixmap::fromImage(
        RenderProgressChart(Players, image->width(), image->height(), Zeit ? Zeit->text() : QString())));
}

QImage TForm1::RenderProgressChart(const TPlayerRecord *players, int w, int h, const QString &clockText)
{
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    img.fill(Qt::black);
    if (w <= 0 || h <= 0)
        return img;

    int maxFound = 0;
    int64_t maxTime = 0;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerRecord &r = players[p];
        if (!r.Active)
            continue;
        const int n = TForm1::ProgressSampleCount(r);
        for (int i = 0; i < n; ++i)
            maxFound = std::max(maxFound, r.Samples[i].Found);
        TProgressSample last;
        if (TForm1::LastProgressSample(r, last))
            maxTime = std::max(maxTime, last.Time);
    }

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setPen(ColorFromBGR(0x008000));
    for (int x = 16; x < w; x += 16)
        p.drawLine(x, 0, x, h - 1);
    for (int y = 16; y < h; y += 16)
        p.drawLine(0, y, w - 1, y);

    p.setPen(Qt::white);
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(11);
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    const QFontMetrics fm(f);
    p.drawText(QPoint(5, fm.ascent()), QStringLiteral("Richtige Felder ( %1 )").arg(maxFound));
    const QString timeText = QStringLiteral("Zeit ( %1)").arg(clockText);
    p.drawText(QPoint(w - fm.horizontalAdvance(timeText) - 5, h - 15 + fm.ascent()), timeText);

    if (maxTime == 0)
        maxTime = 1;
    const double scale = double(w) / double(maxTime);
    if (maxFound < 1)
        return img;

    for (int s = 1; s <= 8; ++s) {
        const TPlayerRecord &r = players[s];
        if (r.Name.isEmpty())
            continue;
        p.setPen(ColorFromBGR(r.Color));
        QPoint from(0, h);
        const int n = TForm1::ProgressSampleCount(r);
        for (int i = 0; i < n; ++i) {
            // Round half to even, as the chart always rounded.
            int x = int(std::nearbyint(double(r.Samples[i].Time) * scale));
            if (x < 0)
                x = 0;
            if (x > w)
                x = w - 1;
            int y = h - int(int64_t(r.Samples[i].Found) * h / maxFound);
            if (y < 0)
                y = 0;
            if (y >= h)
                y = h - 1;
            const QPoint to(x, y);
            p.drawLine(from, to);
            from = to;
        }
        p.drawLine(from, QPoint(w, from.y()));
    }
    return img;
}
