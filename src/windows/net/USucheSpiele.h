#pragma once
// The game-search window: finds LAN games by broadcast, keeps the known hosts
// of the file "sudoku.server" next to the program, and joins a waiting game
// by double-click. The list is filled by the game offers that arrive.

#include "screens/UOptionen.h"
#include "ui/Controls.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>

class QAction;
class QMenu;
class QTreeWidgetItem;

// Columns of the list.
enum TServerColumn {
    scName = 0,
    scDifficulty = 1,
    scRating = 2,
    scMarks = 3,
    scStatus = 4,
    scAddress = 5,
};

// One line of the known-server file: "address:name", split at the first ":"
// (a name may hold further colons). A line without ":" is all name.
void SplitServerLine(const QString &line, QString &address, QString &name);
// The file's text (Windows-1252, CR LF after every line) of (address, name)
// rows; line breaks inside a name become blanks, so a row stays one line.
QByteArray ServerFileText(const QList<QPair<QString, QString>> &rows);
// The rows of the file's text, blank lines left out.
QList<QPair<QString, QString>> ParseServerFile(const QByteArray &bytes);

class TFormSucheSpiele : public TOptionWindow {
    Q_OBJECT
public:
    explicit TFormSucheSpiele(QWidget *parent = nullptr);
    ~TFormSucheSpiele() override;

    // ---- tabs ----
    TLabel *Tab_HeimNW = nullptr;   // "Heimnetzwerk", Tag 1
    TLabel *Tab_Intranet = nullptr; // "Intranet", Tag 2
    TLabel *tab_Internet = nullptr; // "Internet", Tag 3
    TImage *IM_HeimNW = nullptr;
    TImage *IM_Intranet = nullptr;
    TImage *IM_Internet = nullptr;
    TPanel *Panel_HeimNW = nullptr;
    TPanel *Panel_Intranet = nullptr;
    TPanel *Panel_Internet = nullptr;

    // ---- home network ----
    TImage *BIM_suchen = nullptr;
    TLabel *bt_suchen = nullptr; // "Aktualisieren"
    // ---- intranet ----
    TEdit *NewServerEdit = nullptr;
    TImage *BIM_add = nullptr;
    TLabel *bt_add = nullptr; // "Hinzufügen"
    TImage *BIM_server = nullptr;
    TLabel *bt_server = nullptr; // "Bekannte Server"

    // ---- the list and its pop-up ----
    TListView *Games = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *Delete1 = nullptr; // "Eintrag löschen"

    // ---- footer ----
    TImage *BIM_zurueck = nullptr;
    TLabel *BTC_zurueck = nullptr; // "Zurück"

    // The tab shown (1 home network, 2 intranet, 3 internet).
    int ShownTab = 1;
    // Rows that offers added and that are in no file, kept at most; beyond
    // it the oldest goes. Offers from forged sources cannot fill the list.
    static constexpr int kMaxOfferRows = 256;

    // ---- routines ----
    void ShowTab(int k);
    // The first row whose address is this one; -1 also for a text that is
    // no dotted IPv4 address.
    int FindServerItem(const QString &address) const;
    void AddOrUpdateServerItem(const QString &caption, const QString &difficulty, const QString &rating,
                               const QString &marks, const QString &status, const QString &address);
    void SaveServerList();
    void LoadServerList();
    // "sudoku.server" in the folder next to the program.
    static QString ServerFileName();
    // The rows as they stand, for tests and the trace: one string per column.
    QStringList RowTexts(int row) const;
    int RowCount() const;

    // ---- event handlers ----
    void FormShow() override;
    void Tab_HeimNWClick(QObject *sender);
    void bt_suchenClick();
    void bt_serverClick();
    void bt_addClick();
    void GamesDblClick();
    void Delete1Click();
    void BTC_zurueckClick();
    void bt_suchenMouseEnter(TLabel *label);
    void bt_suchenMouseLeave(TLabel *label);
    void bt_suchenMouseMove(QWidget *control, Qt::KeyboardModifiers shift);

protected:
    void tabClicked(QObject *label) override { Tab_HeimNWClick(label); }
    int heightBelowPanel() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    TLabel *captionButton(QWidget *parent, const QString &text, const char *faceName, const QRect &r, TImage *&face);
    void clearList();
    // Adds the file's hosts that the list lacks, so a save keeps them.
    void mergeFileRows();
    // The first row of each valid address, so that a look-up costs the
    // same however long the list is; kept up to date by the list's removals.
    QHash<QString, QTreeWidgetItem *> m_rowsByAddress;
    // Rows added by offers since the last save, oldest first.
    QList<QTreeWidgetItem *> m_offerRows;
    QTreeWidgetItem *findRow(const QString &address) const;
    QTreeWidgetItem *appendRow(const QString &address);
    void rowsLeaving(int first, int last);
    // The list holds every host of the file (it was loaded, or there was none).
    bool m_holdsFile = false;
    bool m_loading = false;
};

extern TFormSucheSpiele *FormSucheSpiele;
