#include "print/PreviewGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr TUnits M = mmLoMetric;
constexpr TUnits E = mmHiEnglish;

// Short names of the papers, in table order; they name the standard forms.
const char *const kPaperNames[kPaperTypeCount] = {
    "Letter", "Letter Small", "Tabloid", "Ledger", "Legal", "Statement", "Executive", "A3", "A4", "A4 Small", "A5",
    "B4 (JIS)", "B5 (JIS)", "Folio", "Quarto", "10x14", "11x17", "Note", "Envelope #9", "Envelope #10",
    "Envelope #11", "Envelope #12", "Envelope #14", "C size sheet", "D size sheet", "E size sheet", "Envelope DL",
    "Envelope C5", "Envelope C3", "Envelope C4", "Envelope C6", "Envelope C65", "Envelope B4", "Envelope B5",
    "Envelope B6", "Envelope Italy", "Envelope Monarch", "6 3/4 Envelope", "US Std Fanfold", "German Std Fanfold",
    "German Legal Fanfold", "B4 (ISO)", "Japanese Postcard", "9x11", "10x11", "15x11", "Envelope Invite",
    "Letter Extra", "Legal Extra", "Tabloid Extra", "A4 Extra", "Letter Transverse", "A4 Transverse",
    "Letter Extra Transverse", "Super A", "Super B", "Letter Plus", "A4 Plus", "A5 Transverse", "B5 (JIS) Transverse",
    "A3 Extra", "A5 Extra", "B5 (ISO) Extra", "A2", "A3 Transverse", "A3 Extra Transverse", "Custom"};

int64_t divTrunc(int64_t a, int64_t b) { return b == 0 ? 0 : a / b; }
} // namespace

const TPaperRow PaperSizeTable[kPaperTypeCount] = {
    {1, 8500, 11000, E},  {2, 8500, 11000, E},  {3, 11000, 17000, E}, {4, 17000, 11000, E}, {5, 8500, 14000, E},
    {6, 5500, 8500, E},   {7, 7250, 10500, E},  {8, 2970, 4200, M},   {9, 2100, 2970, M},   {10, 2100, 2970, M},
    {11, 1480, 2100, M},  {12, 2500, 3540, M},  {13, 1820, 2570, M},  {14, 8500, 13000, E}, {15, 2150, 2750, M},
    {16, 10000, 14000, E}, {17, 11000, 17000, E}, {18, 8500, 11000, E}, {19, 3875, 8875, E}, {20, 4125, 9500, E},
    {21, 4500, 10375, E}, {22, 4750, 11000, E}, {23, 5000, 11500, E}, {24, 17000, 22000, E}, {25, 22000, 34000, E},
    {26, 34000, 44000, E}, {27, 1100, 2200, M}, {28, 1620, 2290, M},  {29, 3240, 4580, M},  {30, 2290, 3240, M},
    {31, 1140, 1620, M},  {32, 1140, 2290, M},  {33, 2500, 3530, M},  {34, 1760, 2500, M},  {35, 1760, 1250, M},
    {36, 1100, 2300, M},  {37, 3875, 7500, E},  {38, 3625, 6500, E},  {39, 14875, 11000, E}, {40, 8500, 12000, E},
    {41, 8500, 13000, E}, {42, 2500, 3530, M},  {43, 1000, 1480, M},  {44, 9000, 11000, E}, {45, 10000, 11000, E},
    {46, 15000, 11000, E}, {47, 2200, 2200, M}, {50, 9500, 12000, E}, {51, 9500, 15000, E}, {52, 11690, 18000, E},
    {53, 2350, 3220, M},  {54, 8500, 11000, E}, {55, 2100, 2970, M},  {56, 9500, 12000, E}, {57, 2270, 3560, M},
    {58, 3050, 4870, M},  {59, 8500, 12690, E}, {60, 2100, 3300, M},  {61, 1480, 2100, M},  {62, 1820, 2570, M},
    {63, 3220, 4450, M},  {64, 1740, 2350, M},  {65, 2010, 2760, M},  {66, 4200, 5940, M},  {67, 2970, 4200, M},
    {68, 3220, 4450, M},  {256, 0, 0, mmPixel}};

int UnitsPerInch(TUnits u, int dpi)
{
    switch (u) {
    case mmPixel:
        return dpi;
    case mmLoMetric:
        return 254;
    case mmHiMetric:
        return 2540;
    case mmLoEnglish:
        return 100;
    case mmHiEnglish:
        return 1000;
    case mmTWIPS:
        return 1440;
    case mmPoints:
        return 72;
    }
    return 1;
}

int64_t MulDivRound(int64_t a, int64_t b, int64_t c)
{
    if (c == 0)
        return 0;
    const int64_t n = a * b;
    const bool negative = (n < 0) != (c < 0);
    const int64_t an = std::llabs(n), ac = std::llabs(c);
    const int64_t q = (an + ac / 2) / ac;
    return negative ? -q : q;
}

int ConvertUnits(int v, int dpi, TUnits from, TUnits to, int screenDpi)
{
    if (dpi <= 0)
        return 0; // no device to convert at
    if (from == to) {
        if (from == mmPixel)
            return int(MulDivRound(v, dpi, screenDpi));
        return v;
    }
    if (from == mmHiMetric && to == mmLoMetric)
        return int(divTrunc(v, 10));
    if (from == mmHiEnglish && to == mmLoEnglish)
        return int(divTrunc(v, 10));
    if (from == mmTWIPS && to == mmPoints)
        return int(divTrunc(v, 20));
    if (from == mmLoMetric && to == mmHiMetric)
        return v * 10;
    if (from == mmLoEnglish && to == mmHiEnglish)
        return v * 10;
    if (from == mmPoints && to == mmTWIPS)
        return v * 20;
    return int(MulDivRound(v, UnitsPerInch(to, dpi), UnitsPerInch(from, dpi)));
}

TPaperType FindPaperType(int w, int h, TUnits units)
{
    for (int i = 0; i < pCustom; ++i) {
        const TPaperRow &r = PaperSizeTable[i];
        if (ConvertUnits(w, 96, units, r.Units) == r.Width && ConvertUnits(h, 96, units, r.Units) == r.Height)
            return TPaperType(i);
    }
    return pCustom;
}

TPaperType PaperTypeByCode(int code)
{
    for (int i = 0; i < kPaperTypeCount; ++i)
        if (PaperSizeTable[i].Code == code)
            return TPaperType(i);
    return pCustom;
}

int ClampPaperSide(int v) { return std::clamp(v, 1, 32767); }

TPageRange ClampPageRange(int first, int last, int total)
{
    TPageRange r;
    if (total < 1)
        return r;
    r.First = std::clamp(first, 1, total);
    r.Last = std::clamp(last, 1, total);
    // A range that lies wholly outside the pages, or is reversed, prints nothing.
    r.Valid = first <= last && last >= 1 && first <= total;
    return r;
}

int ProgressPercent(int done, int total) { return total <= 0 ? 0 : int(MulDivRound(100, done, total)); }

TPaperSize PaperSizeForArea(TZoomState state, int zoom, int cw, int ch, int px, int py, const TPaperFrame &frame)
{
    px = std::max(px, 1);
    py = std::max(py, 1);
    TPaperSize s;
    auto toWidth = [&] {
        s.Width = cw;
        s.Height = frame.Outer(int(MulDivRound(std::max(frame.Inner(cw), 0), py, px)));
    };
    auto toHeight = [&] {
        s.Height = ch;
        s.Width = frame.Outer(int(MulDivRound(std::max(frame.Inner(ch), 0), px, py)));
    };
    switch (state) {
    case zsZoomOther:
        s.Width = frame.Outer(int(MulDivRound(px, zoom, 100)));
        s.Height = frame.Outer(int(MulDivRound(py, zoom, 100)));
        s.Zoom = zoom;
        return s;
    case zsZoomToWidth:
        toWidth();
        break;
    case zsZoomToHeight:
        toHeight();
        break;
    case zsZoomToFit:
        // ch / cw <= py / px, without dividing.
        if (int64_t(ch) * px <= int64_t(py) * cw)
            toHeight();
        else
            toWidth();
        break;
    }
    // The effective percentage, halves to even.
    const double z = double(std::max(frame.Inner(s.Height), 0)) * 100.0 / py;
    double fl = 0;
    const double frac = std::modf(z, &fl);
    if (frac > 0.5 || (frac == 0.5 && std::fmod(fl, 2.0) != 0.0))
        fl += 1;
    s.Zoom = int(fl);
    return s;
}

TPreviewLayout LayoutPreview(TZoomState state, int zoom, int areaW, int areaH, int px, int py,
                             const TPaperFrame &frame, int margin, int barW, int barH)
{
    TPreviewLayout l;
    int w = std::max(areaW, 0), h = std::max(areaH, 0);
    l.Paper = PaperSizeForArea(state, zoom, w, h, px, py, frame);
    l.ScrollX = l.Paper.Width > w;
    l.ScrollY = l.Paper.Height > h;
    if (l.ScrollX) {
        h = std::max(h - barH, 0);
        l.ScrollY = l.Paper.Height > h;
        if (l.ScrollY)
            w = std::max(w - barW, 0);
        l.Paper = PaperSizeForArea(state, zoom, w, h, px, py, frame);
    } else if (l.ScrollY) {
        w = std::max(w - barW, 0);
        l.ScrollX = l.Paper.Width > w;
        if (l.ScrollX)
            h = std::max(h - barH, 0);
        l.Paper = PaperSizeForArea(state, zoom, w, h, px, py, frame);
    }
    l.Left = margin + (l.ScrollX ? 0 : (w - l.Paper.Width) / 2);
    l.Top = margin + (l.ScrollY ? 0 : (h - l.Paper.Height) / 2);
    return l;
}

int ScrollPercent(int pos, int range, int area)
{
    const int span = range - area;
    if (span <= 0)
        return 0;
    return std::max(0, int(int64_t(pos) * 100 / span));
}

int ScrollFromPercent(int percent, int range, int area)
{
    const int span = range - area;
    if (span <= 0)
        return 0;
    return int(MulDivRound(percent, span, 100));
}

int ClampZoom(int v, int zoomMin, int zoomMax) { return std::clamp(v, zoomMin, std::max(zoomMin, zoomMax)); }

int TWheelAccumulator::Add(int delta)
{
    Sum += delta;
    int notches = 0;
    while (Sum >= 120) {
        Sum -= 120;
        ++notches;
    }
    while (Sum <= -120) {
        Sum += 120;
        --notches;
    }
    return notches;
}

std::vector<std::pair<QByteArray, QByteArray>> PrintJobOptions(const QString &media, TPrinterOrientation orientation)
{
    std::vector<std::pair<QByteArray, QByteArray>> options;
    if (!media.isEmpty())
        options.emplace_back("media", media.toUtf8());
    // The print system's orientation values: 3 portrait, 4 landscape.
    options.emplace_back("orientation-requested", orientation == poLandscape ? "4" : "3");
    return options;
}

TPaperForms::TPaperForms()
{
    for (int i = 0; i < pCustom; ++i) {
        const TPaperRow &r = PaperSizeTable[i];
        m_forms.push_back({QString::fromLatin1(kPaperNames[i]), int(MulDivRound(r.Width, 25400, UnitsPerInch(r.Units, 96))),
                           int(MulDivRound(r.Height, 25400, UnitsPerInch(r.Units, 96)))});
    }
}

QString TPaperForms::Find(int w01mm, int h01mm) const
{
    for (const TPaperForm &f : m_forms)
        if (f.Width / 100 == w01mm && f.Height / 100 == h01mm)
            return f.Name;
    return QString();
}

bool TPaperForms::Add(const TPaperForm &f)
{
    if (f.Name.isEmpty() || f.Width <= 0 || f.Height <= 0 || ByName(f.Name))
        return false;
    m_forms.push_back(f);
    return true;
}

bool TPaperForms::Remove(const QString &name)
{
    const auto it = std::find_if(m_forms.begin(), m_forms.end(),
                                 [&](const TPaperForm &f) { return f.Name.compare(name, Qt::CaseInsensitive) == 0; });
    if (it == m_forms.end())
        return false;
    m_forms.erase(it);
    return true;
}

const TPaperForm *TPaperForms::ByName(const QString &name) const
{
    for (const TPaperForm &f : m_forms)
        if (f.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QString AutoFormName(int w001mm, int h001mm)
{
    return QString::asprintf("%umm x %umm", unsigned(std::max(w001mm, 0) / 100), unsigned(std::max(h001mm, 0) / 100));
}
