// The game-search window and the known-server file.
#include "net/USucheSpiele.h"

#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>

TFormSucheSpiele *FormSucheSpiele = nullptr;

namespace {
constexpr int kWidth = 547;
constexpr int kGamesHeight = 200;
const QString kWaiting = QStringLiteral("wartet");
const QString kUnknown = QStringLiteral("unbekannt");
const QString kNew = QStringLiteral("Neu");
const QString kBroadcast = QStringLiteral("255.255.255.255");
} // namespace

// ---- the file --------------------------------------------------------------------

void SplitServerLine(const QString &line, QString &address, QString &name)
{
    const int at = line.indexOf(QLatin1Char(':'));
    if (at < 0) {
        address.clear();
        name = line;
        return;
    }
    address = line.left(at);
    name = line.mid(at + 1);
}

QByteArray ServerFileText(const QList<QPair<QString, QString>> &rows)
{
    QString text;
    for (const auto &row : rows) {
        QString name = row.second;
        name.replace(QLatin1String("\r\n"), QLatin1String(" "));
        name.replace(QLatin1Char('\r'), QLatin1Char(' '));
        name.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += row.first + QLatin1Char(':') + name + QLatin1String("\r\n");
    }
    return EncodeCp1252(text);
}

QList<QPair<QString, QString>> ParseServerFile(const QByteArray &bytes)
{
    QList<QPair<QString, QString>> rows;
    const QStringList lines = DecodeCp1252(bytes).split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        QString address;
        QString name;
        SplitServerLine(line, address, name);
        rows.append({address, name});
    }
    return rows;
}

QString TFormSucheSpiele::ServerFileName()
{
    return QDir(ProgramDir()).filePath(QStringLiteral("sudoku.server"));
}

// ---- the window --------------------------------------------------------------------

TFormSucheSpiele::TFormSucheSpiele(QWidget *parent)
    : TOptionWindow(parent, QStringLiteral("Suche Spiele"), QStringLiteral("Suche Spiele :"), kWidth)
{
    buildControls();
    FormCreate();
}

TLabel *TFormSucheSpiele::captionButton(QWidget *parent, const QString &text, const char *faceName, const QRect &r,
                                        TImage *&face)
{
    TLabel *l = MakeFaceButton(parent, text, faceName, r, face);
    connect(l, &TLabel::MouseEnter, this, [this, l] { bt_suchenMouseEnter(l); });
    connect(l, &TLabel::MouseLeave, this, [this, l] { bt_suchenMouseLeave(l); });
    return l;
}

void TFormSucheSpiele::buildControls()
{
    Panel_HeimNW = addTab(1, QStringLiteral("Heimnetzwerk"), IM_HeimNW, Tab_HeimNW);
    Panel_Intranet = addTab(2, QStringLiteral("Intranet"), IM_Intranet, Tab_Intranet);
    Panel_Internet = addTab(3, QStringLiteral("Internet"), IM_Internet, tab_Internet);
    Panel_HeimNW->setGeometry(0, kHeadHeight, kWidth, 40);
    Panel_Intranet->setGeometry(0, kHeadHeight, kWidth, 40);
    Panel_Internet->setGeometry(0, kHeadHeight, kWidth, 66);

    auto label = [](QWidget *parent, const QString &text, int x, int y, int w) {
        auto *l = new TLabel(parent, text);
        l->setGeometry(x, y, w, 18);
        return l;
    };

    // ---- home network ----
    label(Panel_HeimNW, QStringLiteral("Verfügbare Spiele :"), 10, 11, 200);
    bt_suchen = captionButton(Panel_HeimNW, QStringLiteral("Aktualisieren"), "BIM_suchen",
                              QRect(kWidth - 130, 7, 120, 26), BIM_suchen);
    connect(bt_suchen, &TLabel::Click, this, &TFormSucheSpiele::bt_suchenClick);

    // ---- intranet ----
    label(Panel_Intranet, QStringLiteral("Bekannte Server :"), 10, 11, 110);
    NewServerEdit = new TEdit(Panel_Intranet);
    NewServerEdit->setGeometry(120, 9, 130, 22);
    NewServerEdit->setMaxLength(15);
    NewServerEdit->setMouseTracking(true);
    NewServerEdit->installEventFilter(this);
    connect(NewServerEdit, &QLineEdit::returnPressed, this, &TFormSucheSpiele::bt_addClick);
    bt_add = captionButton(Panel_Intranet, QStringLiteral("Hinzufügen"), "BIM_add", QRect(262, 7, 120, 26), BIM_add);
    connect(bt_add, &TLabel::Click, this, &TFormSucheSpiele::bt_addClick);
    bt_server = captionButton(Panel_Intranet, QStringLiteral("Bekannte Server"), "BIM_server",
                              QRect(kWidth - 150, 7, 140, 26), BIM_server);
    connect(bt_server, &TLabel::Click, this, &TFormSucheSpiele::bt_serverClick);

    // ---- internet: not there yet ----
    label(Panel_Internet, QStringLiteral("Verfügbare Spiele :"), 10, 6, 200);
    label(Panel_Internet, QStringLiteral("Diese Funktion ist noch im Aufbau."), 10, 25, 400);
    label(Panel_Internet, QStringLiteral("Internetverbindungen über Intranet herstellen."), 10, 43, 400);

    // ---- the list ----
    Games = new TListView(this);
    Games->setColumnCount(6);
    Games->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Schwierigkeit"), QStringLiteral("Bewertung"),
                            QStringLiteral("Merker"), QStringLiteral("Status"), QStringLiteral("IP")});
    const int widths[] = {90, 157, 90, 70, 70, 70};
    for (int c = 0; c < 6; ++c)
        Games->setColumnWidth(c, widths[c]);
    Games->header()->setStretchLastSection(true);
    // The columns fill the window's width; the list font of the other
    // windows keeps "unbekannt" within its column.
    Games->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont listFont = Games->font();
    listFont.setPointSize(8);
    Games->setFont(listFont);
    Games->setSelectionBehavior(QAbstractItemView::SelectRows);
    Games->setSelectionMode(QAbstractItemView::SingleSelection);
    Games->setAllColumnsShowFocus(true);
    Games->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Games->setGeometry(0, kHeadHeight + 40, kWidth, kGamesHeight);
    Games->viewport()->setMouseTracking(true);
    Games->viewport()->installEventFilter(this);
    connect(Games, &QTreeWidget::itemDoubleClicked, this, [this] { GamesDblClick(); });
    connect(Games->model(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &parent, int first, int last) {
                if (!parent.isValid())
                    rowsLeaving(first, last);
            });
    connect(Games->model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_rowsByAddress.clear();
        m_offerRows.clear();
    });
    PopupMenu1 = new QMenu(this);
    Delete1 = PopupMenu1->addAction(QStringLiteral("Eintrag löschen"));
    connect(Delete1, &QAction::triggered, this, &TFormSucheSpiele::Delete1Click);
    Games->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Games, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(Games->viewport()->mapToGlobal(pos)); });

    // ---- footer ----
    BTC_zurueck =
        captionButton(Panel_footer, QStringLiteral("Zurück"), "BIM_zurueck", QRect(10, 7, 100, 26), BIM_zurueck);
    connect(BTC_zurueck, &TLabel::Click, this, &TFormSucheSpiele::BTC_zurueckClick);
}

bool TFormSucheSpiele::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        QWidget *control =
            watched == Games->viewport() ? static_cast<QWidget *>(Games) : qobject_cast<QWidget *>(watched);
        if (control)
            bt_suchenMouseMove(control, static_cast<QMouseEvent *>(event)->modifiers());
    }
    return TOptionWindow::eventFilter(watched, event);
}

void TFormSucheSpiele::FormShow()
{
    TOptionWindow::FormShow();
    ShowTab(ShownTab);
}

void TFormSucheSpiele::ShowTab(int k)
{
    if (k < 1 || k > 3)
        return;
    // The frame sizes the window to head, panel, list and footer.
    TOptionWindow::ShowTab(k);
    ShownTab = k;
    TPanel *shown = k == 1 ? Panel_HeimNW : k == 2 ? Panel_Intranet : Panel_Internet;
    Games->setGeometry(0, Panel_Head->height() + shown->Tag, width(), kGamesHeight);
}

int TFormSucheSpiele::heightBelowPanel() const
{
    return kGamesHeight;
}

// ---- the list ------------------------------------------------------------------------

TFormSucheSpiele::~TFormSucheSpiele()
{
    // The list goes with the window's children, after the look-up tables:
    // its removals must not reach them any more.
    if (Games)
        Games->model()->disconnect(this);
}

int TFormSucheSpiele::RowCount() const
{
    return Games->topLevelItemCount();
}

QStringList TFormSucheSpiele::RowTexts(int row) const
{
    QStringList out;
    const QTreeWidgetItem *it = Games->topLevelItem(row);
    if (!it)
        return out;
    for (int c = 0; c < 6; ++c)
        out << it->text(c);
    return out;
}

void TFormSucheSpiele::clearList()
{
    Games->clear();
    m_holdsFile = false;
}

void TFormSucheSpiele::rowsLeaving(int first, int last)
{
    for (int i = first; i <= last; ++i) {
        QTreeWidgetItem *it = Games->topLevelItem(i);
        if (!it)
            continue;
        const auto at = m_rowsByAddress.constFind(it->text(scAddress));
        if (at != m_rowsByAddress.constEnd() && at.value() == it)
            m_rowsByAddress.erase(at);
        m_offerRows.removeOne(it);
    }
}

QTreeWidgetItem *TFormSucheSpiele::findRow(const QString &address) const
{
    if (!IsValidIPv4(address))
        return nullptr;
    const auto at = m_rowsByAddress.constFind(address);
    return at == m_rowsByAddress.constEnd() ? nullptr : at.value();
}

QTreeWidgetItem *TFormSucheSpiele::appendRow(const QString &address)
{
    auto *it = new QTreeWidgetItem(Games);
    it->setText(scAddress, address);
    if (IsValidIPv4(address) && !m_rowsByAddress.contains(address))
        m_rowsByAddress.insert(address, it);
    return it;
}

int TFormSucheSpiele::FindServerItem(const QString &address) const
{
    QTreeWidgetItem *it = findRow(address);
    return it ? Games->indexOfTopLevelItem(it) : -1;
}

void TFormSucheSpiele::AddOrUpdateServerItem(const QString &caption, const QString &difficulty, const QString &rating,
                                             const QString &marks, const QString &status, const QString &address)
{
    QString shown = status;
    bool save = false;
    if (shown == kNew) {
        shown = kUnknown;
        save = true;
    }
    if (QTreeWidgetItem *found = findRow(address); !found) {
        QTreeWidgetItem *it = appendRow(address);
        it->setText(scName, caption);
        it->setText(scDifficulty, difficulty);
        it->setText(scRating, rating);
        it->setText(scMarks, marks);
        it->setText(scStatus, shown);
        // What an offer brings and no file holds is kept only so long.
        if (shown == kWaiting && !m_loading) {
            m_offerRows.append(it);
            if (m_offerRows.size() > kMaxOfferRows)
                delete m_offerRows.first();
        }
    } else {
        QTreeWidgetItem *it = found;
        // A host that answers again counts as new.
        if (m_offerRows.removeOne(it))
            m_offerRows.append(it);
        // A known host that answers gives the file its nickname.
        if (it->text(scStatus) == kUnknown)
            save = true;
        it->setText(scName, caption);
        it->setText(scDifficulty, difficulty);
        it->setText(scRating, rating);
        it->setText(scMarks, marks);
        it->setText(scStatus, shown);
    }
    if (save)
        SaveServerList();
}

void TFormSucheSpiele::mergeFileRows()
{
    QFile f(ServerFileName());
    if (f.open(QIODevice::ReadOnly)) {
        for (const auto &row : ParseServerFile(f.readAll())) {
            if (findRow(row.first))
                continue;
            QTreeWidgetItem *it = appendRow(row.first);
            it->setText(scName, row.second);
            it->setText(scStatus, kUnknown);
        }
    }
    m_holdsFile = true;
}

void TFormSucheSpiele::SaveServerList()
{
    // Only the intranet tab lists the known hosts, and a load in progress
    // holds only part of them: any other list would overwrite the file with
    // what it lacks.
    if (m_loading || ShownTab != 2)
        return;
    if (!m_holdsFile)
        mergeFileRows();
    QList<QPair<QString, QString>> rows;
    for (int i = 0; i < RowCount(); ++i) {
        const QTreeWidgetItem *it = Games->topLevelItem(i);
        rows.append({it->text(scAddress), it->text(scName)});
    }
    // A full disk or a size limit leaves the old file as it was.
    QString why;
    if (!SaveFileWhole(ServerFileName(), ServerFileText(rows), &why)) {
        MessageDlg(QStringLiteral("Die Serverliste konnte nicht gespeichert werden.\n") + why, TMsgDlgType::Error,
                   TMsgDlgButtons::OK);
        return;
    }
    // Every row is in the file now: none is dropped for later offers.
    m_offerRows.clear();
}

void TFormSucheSpiele::LoadServerList()
{
    QFile f(ServerFileName());
    if (!f.open(QIODevice::ReadOnly)) {
        // No file: the list holds all there is.
        m_holdsFile = !f.exists();
        return;
    }
    m_loading = true;
    for (const auto &row : ParseServerFile(f.readAll()))
        AddOrUpdateServerItem(row.second, QString(), QString(), QString(), kUnknown, row.first);
    m_loading = false;
    m_holdsFile = true;
}

// ---- event handlers --------------------------------------------------------------------

void TFormSucheSpiele::Tab_HeimNWClick(QObject *sender)
{
    const int tag = GetControlTagOr(sender, 1);
    clearList();
    ShowTab(tag);
}

void TFormSucheSpiele::bt_suchenClick()
{
    clearList();
    if (NETZ)
        NETZ->SendSearch(kBroadcast);
}

void TFormSucheSpiele::bt_serverClick()
{
    clearList();
    LoadServerList();
}

void TFormSucheSpiele::bt_addClick()
{
    const QString address = NewServerEdit->text().trimmed();
    if (!IsValidIPv4(address)) {
        MessageDlg(QStringLiteral("<") + NewServerEdit->text() + QStringLiteral("> ist keine gültige IP Adresse !"),
                   TMsgDlgType::Error, TMsgDlgButtons::OK);
        return;
    }
    AddOrUpdateServerItem(kUnknown, QString(), QString(), QString(), kNew, address);
    // The host there answers with an offer that fills the row.
    if (NETZ)
        NETZ->SendSearch(address);
}

void TFormSucheSpiele::GamesDblClick()
{
    if (!FormOpt || FormOpt->NickName->text().isEmpty()) {
        MessageDlg(QStringLiteral("Bitte einen Namen eingeben."), TMsgDlgType::Information, TMsgDlgButtons::OK);
        return;
    }
    const QList<QTreeWidgetItem *> selected = Games->selectedItems();
    if (selected.isEmpty() || !NETZ)
        return;
    const QString status = selected.first()->text(scStatus);
    const QString address = selected.first()->text(scAddress);
    if (status == kUnknown)
        NETZ->SendSearch(address);
    else if (status == kWaiting)
        NETZ->SendLogin(address);
}

void TFormSucheSpiele::Delete1Click()
{
    const QList<QTreeWidgetItem *> selected = Games->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
    SaveServerList();
}

void TFormSucheSpiele::BTC_zurueckClick()
{
    close();
    if (FormStart)
        FormStart->show();
}

void TFormSucheSpiele::bt_suchenMouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TFormSucheSpiele::bt_suchenMouseLeave(TLabel *label)
{
    label->SetFontSize(8, false);
}

void TFormSucheSpiele::bt_suchenMouseMove(QWidget *control, Qt::KeyboardModifiers shift)
{
    SetHelpCursor(control, shift);
}
