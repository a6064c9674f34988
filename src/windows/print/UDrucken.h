#pragma once
// The print window: the running game's board, as the own player sees it, on
// one page of the print preview, with three options for what goes on it.

#include "ui/Controls.h"

#include <QWidget>

class TPrintPreview;
struct TBoards;
struct TCellView;
struct TPlayerRecord;

// What the board page shows; the digits and colours come from the caller.
struct TBoardPrintInput {
    const TBoards *Boards = nullptr;
    const TCellView (*Cells)[10] = nullptr;
    const TPlayerRecord *Players = nullptr; // slots 0..8
    int PlayerNo = 0;                        // the own layer
    bool Found = false;                      // found fields
    bool Marks = false;                      // pencil marks
    bool Colour = false;
    int32_t Mark1Colour = 0x00FF00;
    int32_t Mark2Colour = 0x00FFFF;
};
// Records the board on one page of the preview; nothing without an own layer.
void RenderBoardPage(TPrintPreview *preview, const TBoardPrintInput &in);

class TFormDrucken : public QWidget {
    Q_OBJECT
public:
    explicit TFormDrucken(QWidget *parent = nullptr);

    TPanel *Panel_Title = nullptr;
    TLabel *TitleLabel = nullptr;
    TPrintPreview *PrintPreview1 = nullptr;
    TPanel *Panel_Opt = nullptr;
    TPanel *Panel_Footer = nullptr;
    TImage *PIC_Felder = nullptr, *PIC_Merker = nullptr, *pic_farbig = nullptr;
    TLabel *BTC_Felder = nullptr, *BTC_Merker = nullptr, *BTC_farbig = nullptr;
    TLabel *felderM = nullptr, *MerkerM = nullptr, *farbigM = nullptr;
    TLabel *BTC_Abbruch = nullptr, *BTC_Drucken = nullptr;
    TImage *BIM_Abbruch = nullptr, *BIM_Drucken = nullptr;
    bool FirstActivate = true;

    // Toggles the option whose control has that Tag (0: none), applies the
    // dependencies and records the page anew.
    void FormShow(int tag);
    void BTC_DruckenClick();
    void BTC_closeClick();
    void FormActivate();
    void FormCreate() { FirstActivate = true; }
    void FormClose() { FirstActivate = true; }
    void RenderPrintPage();

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void tick(TImage *picture, bool on);
};

extern TFormDrucken *FormDrucken;
