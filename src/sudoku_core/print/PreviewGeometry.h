#pragma once
// The arithmetic of the print preview that needs no window and no printer:
// page units and their conversions, the paper table, page ranges, the paper
// size of the preview for an area and its zoom, the wheel accumulator, and
// the emulated printer forms.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

enum TUnits { mmPixel, mmLoMetric, mmHiMetric, mmLoEnglish, mmHiEnglish, mmTWIPS, mmPoints };
enum TPrinterOrientation { poPortrait, poLandscape };

enum TPaperType {
    pLetter, pLetterSmall, pTabloid, pLedger, pLegal, pStatement, pExecutive, pA3, pA4, pA4Small, pA5, pB4, pB5,
    pFolio, pQuatro, p10x14, p11x17, pNote, pEnv9, pEnv10, pEnv11, pEnv12, pEnv14, pCSheet, pDSheet, pESheet,
    pEnvDL, pEnvC5, pEnvC3, pEnvC4, pEnvC6, pEnvC65, pEnvB4, pEnvB5, pEnvB6, pEnvItaly, pEnvMonarch, pEnvPersonal,
    pFanfoldUSStd, pFanfoldGermanStd, pFanfoldGermanLegal, pB4ISO, pJapanesePostcard, p9x11, p10x11, p15x11,
    pEnvInvite, pLetterExtra, pLegalExtra, TabloidExtra, pA4Extra, pLetterTransverse, pA4Transverse,
    pLetterExtraTransverse, pAPlus, pBPlus, pLetterPlus, pA4Plus, pA5Transverse, pB5Transverse, pA3Extra, pA5Extra,
    pB5Extra, pA2, pA3Transverse, pA3ExtraTransverse, pCustom
};
constexpr int kPaperTypeCount = pCustom + 1;

struct TPaperRow {
    int Code;   // the printer's paper code
    int Width;  // portrait width in Units
    int Height; // portrait height in Units
    TUnits Units;
};
extern const TPaperRow PaperSizeTable[kPaperTypeCount];

// Units per inch; mmPixel counts dpi.
int UnitsPerInch(TUnits u, int dpi);
// v from one unit into another. Pixel values are at dpi; a pixel to pixel
// conversion goes from screenDpi to dpi. A resolution of 0 or less gives 0.
int ConvertUnits(int v, int dpi, TUnits from, TUnits to, int screenDpi = 96);
// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int64_t MulDivRound(int64_t a, int64_t b, int64_t c);

// The first table row of that portrait size, else pCustom.
TPaperType FindPaperType(int w, int h, TUnits units);
// The first row with that paper code, else pCustom.
TPaperType PaperTypeByCode(int code);
// Each side clamped to 1..32767.
int ClampPaperSide(int v);

// A page range asked for, clamped to the pages that exist (1..total).
// Valid is false when nothing is left to print.
struct TPageRange {
    int First = 0;
    int Last = 0;
    bool Valid = false;
};
TPageRange ClampPageRange(int first, int last, int total);
// Progress in percent of done pages out of total, rounded (0 for no pages).
int ProgressPercent(int done, int total);

// ---- preview geometry ------------------------------------------------------
enum TZoomState { zsZoomOther, zsZoomToWidth, zsZoomToHeight, zsZoomToFit };

struct TPaperFrame {
    int Border = 1;
    int Shadow = 3;
    int Outer(int v) const { return v + 2 * Border + Shadow; }
    int Inner(int v) const { return v - 2 * Border - Shadow; }
};

struct TPaperSize {
    int Width = 0; // control size: paper plus border and shadow
    int Height = 0;
    int Zoom = 100; // effective percentage
};
// The paper control's size for an area cw x ch, page pixel size px x py.
// Never divides by zero: an empty page counts as one pixel.
TPaperSize PaperSizeForArea(TZoomState state, int zoom, int cw, int ch, int px, int py, const TPaperFrame &frame);

struct TPreviewLayout {
    TPaperSize Paper;
    bool ScrollX = false;
    bool ScrollY = false;
    int Left = 0; // paper position inside the area, margin included
    int Top = 0;
};
// The layout for an area (client size without the margins) with scroll bars
// of barW (vertical bar's width) and barH (horizontal bar's height) shown only
// when needed.
TPreviewLayout LayoutPreview(TZoomState state, int zoom, int areaW, int areaH, int px, int py,
                             const TPaperFrame &frame, int margin, int barW, int barH);
// A scroll position as a percentage of the scrollable range, and back.
int ScrollPercent(int pos, int range, int area);
int ScrollFromPercent(int percent, int range, int area);
int ClampZoom(int v, int zoomMin, int zoomMax);

// The wheel: deltas add up; every whole notch of 120 is one step.
struct TWheelAccumulator {
    int Sum = 0;
    // Adds a delta; returns the signed number of whole notches taken off.
    int Add(int delta);
};

// What a job for a queue of the print system states about its page, as
// option name and value: the paper by its name, and the orientation always,
// portrait too, so that no default of the queue turns the page.
std::vector<std::pair<QByteArray, QByteArray>> PrintJobOptions(const QString &media, TPrinterOrientation orientation);

// ---- emulated printer forms --------------------------------------------------
// A named paper form, its size in 0.001 mm. The platform cannot add forms to a
// printer, so the program keeps its own list on top of the standard sizes.
struct TPaperForm {
    QString Name;
    int Width = 0;
    int Height = 0;
};
class TPaperForms {
public:
    TPaperForms();
    const std::vector<TPaperForm> &Forms() const { return m_forms; }
    // The first form whose size in 0.1 mm (truncating) is w x h.
    QString Find(int w01mm, int h01mm) const;
    bool Add(const TPaperForm &f);
    bool Remove(const QString &name);
    const TPaperForm *ByName(const QString &name) const;

private:
    std::vector<TPaperForm> m_forms;
};
// "%umm x %umm" from the portrait size in 0.01 mm.
QString AutoFormName(int w001mm, int h001mm);
