// The controls of the two player tables and the rounded button face.
#include "board/UFeld.h"

#include "board/UQuadrivo.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "settings/USonstiges.h"

#include <QHash>
#include <QPainter>

namespace {
QFont tableFont()
{
    QFont f(QStringLiteral("Verdana"));
    f.setPointSize(10);
    f.setBold(true);
    return f;
}

// A name fitted into its column: narrower, then smaller. The tables show the
// names again after every result telegram, and measuring text is dear, so
// each name's fit is kept; only the two values the fitting changes are.
QFont fittedName(const QString &name, int width)
{
    struct TFit {
        bool Condensed = false;
        int PixelSize = -1;
    };
    static QHash<QPair<QString, int>, TFit> fits;
    const QPair<QString, int> key(name, width);
    auto it = fits.constFind(key);
    if (it == fits.constEnd()) {
        // Players come and go over an evening: forget them now and then.
        if (fits.size() >= 256)
            fits.clear();
        const QFont fitted = FontFittingWidth(tableFont(), name, width);
        it = fits.insert(key, TFit{fitted.stretch() == QFont::SemiCondensed, fitted.pixelSize()});
    }
    QFont f = tableFont();
    if (it->Condensed)
        f.setStretch(QFont::SemiCondensed);
    if (it->PixelSize > 0)
        f.setPixelSize(it->PixelSize);
    return f;
}

// Both tables place their rows under the main window's table head.
int rowTop(int line)
{
    const int head = Form1 && Form1->Tabelle_kopf ? Form1->Tabelle_kopf->height() : 0;
    return head - 20 + 23 * line;
}

TLabel *tableLabel(QWidget *parent, int left, int top, int width, Qt::Alignment horizontal)
{
    auto *l = new TLabel(parent);
    l->setGeometry(left, top, width, 16);
    l->setAlignment(horizontal | Qt::AlignVCenter);
    l->setFont(tableFont());
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(pal);
    l->show();
    return l;
}

TImage *tableImage(QWidget *parent, int left, int top, int w, int h)
{
    auto *im = new TImage(parent);
    im->setGeometry(left, top, w, h);
    im->Stretch = true;
    im->show();
    return im;
}

void createRow(TPlayerTableRow &row, QWidget *parent, int top, bool mainTable)
{
    row.NameLabel = tableLabel(parent, 8, top, 120, Qt::AlignLeft);
    row.ColorImage = tableImage(parent, 137, top, 17, 17);
    row.FoundLabel = tableLabel(parent, 165, top, 27, Qt::AlignHCenter);
    row.ErrorsLabel = tableLabel(parent, 197, top, 27, Qt::AlignHCenter);
    row.FreeLabel = tableLabel(parent, 229, top, 27, Qt::AlignHCenter);
    if (mainTable) {
        row.WaitLabel = tableLabel(parent, 261, top, 27, Qt::AlignHCenter);
        row.StatusImage = tableImage(parent, 300, top, 16, 16);
    } else {
        row.BonusLabel = tableLabel(parent, 261, top, 27, Qt::AlignHCenter);
        row.PointsLabel = tableLabel(parent, 295, top, 27, Qt::AlignHCenter);
    }
}
} // namespace

void TFormFeld::CreatePlayerTable()
{
    if (!Form1 || !Form1->Tabelle_Panel)
        return;
    QWidget *endPanel = FormSpielEnde ? FormSpielEnde->Tabelle_Panel : nullptr;
    for (int p = 1; p <= 8; ++p) {
        const int top = rowTop(p);
        if (!Form1->PlayerRows[p].NameLabel)
            createRow(Form1->PlayerRows[p], Form1->Tabelle_Panel, top, true);
        if (endPanel && !Form1->EndPlayerRows[p].NameLabel)
            createRow(Form1->EndPlayerRows[p], endPanel, top, false);
    }
}

void TFormFeld::PlacePlayerRow(TPlayerTableRow &row, int line)
{
    const int top = rowTop(line);
    for (QWidget *w :
         std::initializer_list<QWidget *>{row.NameLabel, row.ColorImage, row.FoundLabel, row.ErrorsLabel, row.FreeLabel,
                                          row.WaitLabel, row.StatusImage, row.BonusLabel, row.PointsLabel})
        if (w && w->y() != top)
            w->move(w->x(), top);
}

void TFormFeld::ShowPlayerName(TLabel *label, const QString &name)
{
    if (!label)
        return;
    label->setFont(fittedName(name, label->contentsRect().width()));
    label->setText(name);
}

void TFormFeld::PaintButtonFace(TImage *image, TLabel *label)
{
    if (!image || !FormOpt)
        return;
    const int w = image->width();
    const int h = image->height();
    if (w > 0 && h > 0) {
        const QColor menu = ColorFromBGR(FormOpt->MenueColorValue);
        QPixmap pm(w, h);
        QPainter p(&pm);
        p.fillRect(0, 0, w, h, menu);
        p.fillRect(0, 0, 12, 12, ColorFromBGR(FormOpt->FeldColorValue));
        p.fillRect(w - 12, 0, 12, 12, ColorFromBGR(FormOpt->FeldColorValue));
        // The corner circles are 20 pixels across, pen included, so the top
        // corners round with radius 10 against the field colour.
        p.setPen(menu);
        p.setBrush(menu);
        p.drawEllipse(QRect(0, 0, 19, 19));
        p.drawEllipse(QRect(w - 20, 0, 19, 19));
        p.end();
        image->SetPicture(pm);
    }
    if (label)
        label->setGeometry(image->geometry());
}
