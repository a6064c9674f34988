#pragma once
// The trace window: every diagnostic line of the program, each stamped with
// the microseconds since the line before it.

#include "ui/Controls.h"

#include <QWidget>
#include <cstdint>
#include <functional>

class TTrace : public QWidget {
    Q_OBJECT
public:
    explicit TTrace(QWidget *parent = nullptr);

    // Lines the log keeps; the oldest go first.
    static constexpr int kMaxLogLines = 5000;

    int64_t LastCounter = 0;
    int64_t TicksPerMicrosecond = 0;

    TListBox *LogBox = nullptr;
    TPanel *Panel1 = nullptr;
    TListBox *DebugBox = nullptr;
    TPanel *Panel2 = nullptr;
    TButton *Button1 = nullptr;
    TEdit *Edit1 = nullptr;
    TCheckBox *cb_telegramm_out = nullptr;
    TCheckBox *cb_telegramm_in = nullptr;
    TCheckBox *CB_Resolver = nullptr;
    TCheckBox *cb_Bingo = nullptr;
    TCheckBox *cb_turnier = nullptr;
    TCheckBox *cb_sonst = nullptr;
    TCheckBox *DurchFelder = nullptr;
    TCheckBox *SolverFelder = nullptr;
    TCheckBox *CB_Ghost = nullptr;
    TCheckBox *SpielerDaten = nullptr;
    TTimer *Timer1 = nullptr;

    void InitTraceClock();
    void TraceLine(const QString &text);
    void TraceCat(int category, const QString &text);
    // True when lines of this category are written (callers skip formatting otherwise).
    bool IsCatOn(int category) const;
    void TraceAppend(const QString &text);
    void DumpGrids();
    void DumpPlayers();
    void DumpSolverGrids();
    void DumpGhostCells();

    void Button1Click();
    void LogBoxDblClick();
    void Timer1Timer();
    void FormActivate();

    // Values of the solver's game grid (0) and test grid (1) for the dump.
    std::function<int(int grid, int x, int y)> SolverGridValue;

    // The stamp of one line: delta in microseconds padded to eight places.
    static QString FormatTraceLine(int64_t deltaMicroseconds, const QString &text);

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    // The refresh timer waits for the window to be shown.
    bool m_refreshWhenShown = false;
};

extern TTrace *Trace;

// Safe while the trace window does not exist (early start-up, plain unit tests).
void TraceCat(int category, const QString &text);
void TraceLine(const QString &text);
