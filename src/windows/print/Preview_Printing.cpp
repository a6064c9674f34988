// The print preview's printing: the printer and its settings, the job and
// its queue, the stored pages on paper with their progress, and the abort.
#include "print/Preview.h"

#include "print/PrintQueue.h"
#include "print/Preview_Shared.h"
#include "settings/USystem.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

using PreviewShared::screenDpi;

// ---- printing -----------------------------------------------------------------

QPrinter *TPrintPreview::Printer()
{
    const QString pdf = SudokuEnv().PrintPdf;
    // Made while there was no printer: take the one there is now.
    if (m_printer && pdf.isEmpty() && m_queue.isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty())
        m_printer.reset();
    if (!m_printer) {
        if (!pdf.isEmpty()) {
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(pdf);
        } else {
            QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull() && !QPrinterInfo::availablePrinterNames().isEmpty())
                info = QPrinterInfo::printerInfo(QPrinterInfo::availablePrinterNames().constFirst());
            m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
            m_queue = info.printerName();
        }
        m_printer->setFullPage(true); // coordinate 0 is the paper's edge
    }
    return m_printer.get();
}

bool TPrintPreview::HasPrinter()
{
    if (!SudokuEnv().PrintPdf.isEmpty())
        return true;
    // The queue already chosen counts even when it has gone since: a job for
    // it is refused, and the user hears so.
    if (!m_queue.isEmpty())
        return true;
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QStringList TPrintPreview::PrinterNames() { return QPrinterInfo::availablePrinterNames(); }

bool TPrintPreview::SelectPrinter(const QString &name)
{
    if (m_state != 0 || !SudokuEnv().PrintPdf.isEmpty())
        return false;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return false;
    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    m_printer->setFullPage(true);
    m_queue = info.printerName();
    return true;
}

QPrinter *TPrintPreview::openJob()
{
    QPrinter *pr = Printer();
    m_target = pr;
    if (m_queue.isEmpty()) {
        pr->setDocName(PrintJobTitle); // the PDF file of SUDOKU_PRINT_PDF, written as it is
        return pr;
    }
    // For a queue the run is drawn into a PDF file of its own, which goes to
    // the queue as one job when the run is complete, with the page's size
    // and orientation stated.
    m_jobFile = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/sudoku-print-XXXXXX.pdf"));
    if (!m_jobFile->open()) {
        m_jobFile.reset();
        m_target = nullptr;
        return nullptr;
    }
    m_jobFile->close();
    m_job = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_job->setOutputFormat(QPrinter::PdfFormat);
    m_job->setOutputFileName(m_jobFile->fileName());
    m_job->setFullPage(true);
    m_job->setPageLayout(pr->pageLayout());
    m_job->setDocName(PrintJobTitle);
    m_target = m_job.get();
    return m_target;
}

void TPrintPreview::closeJob(bool completed)
{
    QPrinter *pr = Printer();
    if (!m_job) {
        // A PDF file cannot be aborted: an unfinished run must leave none behind.
        if (!completed && pr->outputFormat() == QPrinter::PdfFormat && !pr->outputFileName().isEmpty())
            QFile::remove(pr->outputFileName());
        pr->setDocName(QString());
        m_target = nullptr;
        return;
    }
    if (completed) {
        const QPageLayout layout = m_job->pageLayout();
        const TPrintJobResult r =
            SubmitPdfJob(m_queue, m_jobFile->fileName(), PrintJobTitle,
                         PrintJobOptions(layout.pageSize().key(),
                                         layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait));
        if (!r.Accepted()) {
            m_aborted = true;
            const QString queue = m_queue;
            const bool gone = !QPrinterInfo::availablePrinterNames().contains(queue);
            // A queue that is gone is not tried again: the next run takes
            // the printer there is then.
            if (gone) {
                m_printer.reset();
                m_queue.clear();
            }
            fail(QStringLiteral("Der Drucker \"%1\" hat den Druckauftrag nicht angenommen.\n%2")
                     .arg(queue, gone ? QStringLiteral("Der Drucker ist nicht mehr vorhanden.") : r.Reason));
        }
    }
    m_job.reset();
    m_jobFile.reset(); // the job's file goes with it
    m_target = nullptr;
}

int TPrintPreview::TotalPages() const { return m_direct ? m_directPages : m_store.Count(); }

QString TPrintPreview::FindFormName()
{
    int w = ConvertUnits(m_extentX, screenDpi(), m_units, mmLoMetric);
    int h = ConvertUnits(m_extentY, screenDpi(), m_units, mmLoMetric);
    if (m_orientation == poLandscape)
        std::swap(w, h);
    if (!m_formName.isEmpty())
        return m_formName;
    m_formName = m_forms.Find(w, h);
    if (!m_autoFormName.isEmpty() && m_autoFormName.compare(m_formName, Qt::CaseInsensitive) == 0) {
        const QString gone = m_autoFormName;
        m_forms.Remove(gone);
        m_formName.clear();
        m_autoFormName.clear();
        emit OnAutoCustomForm(gone, 1);
    }
    if (m_formName.isEmpty()) {
        int w001 = ConvertUnits(m_extentX, screenDpi(), m_units, mmHiMetric);
        int h001 = ConvertUnits(m_extentY, screenDpi(), m_units, mmHiMetric);
        if (m_orientation == poLandscape)
            std::swap(w001, h001);
        const QString name = ::AutoFormName(w001, h001);
        if (m_forms.Add({name, w001 * 10, h001 * 10})) {
            m_formName = m_autoFormName = name;
            emit OnAutoCustomForm(name, 0);
        }
    }
    return m_formName;
}

void TPrintPreview::WritePrinterSettings()
{
    if (!HasPrinter())
        return;
    QPrinter *pr = Printer();
    const QString form = FindFormName();
    int w = ConvertUnits(m_extentX, screenDpi(), m_units, mmHiMetric);
    int h = ConvertUnits(m_extentY, screenDpi(), m_units, mmHiMetric);
    if (m_orientation == poLandscape)
        std::swap(w, h);
    QPageSize size;
    if (m_paperType != pCustom) {
        const TPaperRow &r = PaperSizeTable[m_paperType];
        if (r.Units == mmHiEnglish)
            size = QPageSize(QSizeF(r.Width / 1000.0, r.Height / 1000.0), QPageSize::Inch, form);
        else
            size = QPageSize(QSizeF(r.Width / 10.0, r.Height / 10.0), QPageSize::Millimeter, form);
    } else {
        // The form the program keeps: the printer gets its exact size and name.
        const TPaperForm *f = m_forms.ByName(form);
        const QSizeF mm = f ? QSizeF(f->Width / 1000.0, f->Height / 1000.0) : QSizeF(w / 100.0, h / 100.0);
        size = QPageSize(mm, QPageSize::Millimeter, form, QPageSize::ExactMatch);
    }
    pr->setPageSize(size);
    pr->setPageOrientation(m_orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    pr->setPageMargins(QMarginsF(0, 0, 0, 0));
}

void TPrintPreview::ReadPrinterSettings()
{
    if (!HasPrinter())
        return;
    QPrinter *pr = Printer();
    const QPageLayout layout = pr->pageLayout();
    m_orientation = layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
    const QPageSize size = layout.pageSize();
    m_paperType = size.windowsId() > 0 ? PaperTypeByCode(size.windowsId()) : pCustom;
    if (m_paperType == pCustom) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        m_extentX = ClampPaperSide(ConvertUnits(qRound(mm.width() * 100), 96, mmHiMetric, m_units));
        m_extentY = ClampPaperSide(ConvertUnits(qRound(mm.height() * 100), 96, mmHiMetric, m_units));
        if (m_orientation == poLandscape)
            std::swap(m_extentX, m_extentY);
        extentChanged();
    } else {
        setExtentFromPaper();
    }
    m_formName = size.name().left(32);
}

void TPrintPreview::DrawPage(QPainter &p, const QPicture &page, const QRectF &target) const
{
    // Pages are in page units: scale them onto the target, whatever the
    // device's resolution.
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / m_extentX, target.height() / m_extentY);
    p.setClipRect(QRectF(0, 0, m_extentX, m_extentY), Qt::IntersectClip);
    // Playing a picture scales it by the device's resolution over the
    // picture's: undo that, or a page prints many times too large.
    if (const QPaintDevice *d = p.device(); d && d->logicalDpiX() > 0 && d->logicalDpiY() > 0)
        p.scale(double(page.logicalDpiX()) / d->logicalDpiX(), double(page.logicalDpiY()) / d->logicalDpiY());
    p.drawPicture(0, 0, page);
    p.restore();
}

QImage TPrintPreview::GrayPage(const QPicture &page, const QSize &size) const
{
    // The grey page has one byte a pixel. It is drawn in colour a band at a
    // time, so the colour bitmap never needs the whole page's four bytes a pixel.
    if (size.isEmpty() || qint64(size.width()) * size.height() > GrayscaleByteLimit)
        return QImage();
    QImage grey(size, QImage::Format_Grayscale8);
    if (grey.isNull())
        return grey;
    constexpr qint64 kBandPixels = 1 << 20;
    const int bandRows = int(std::clamp<qint64>(kBandPixels / size.width(), 1, size.height()));
    QImage band(size.width(), bandRows, QImage::Format_RGB32);
    if (band.isNull())
        return QImage();
    for (int top = 0; top < size.height(); top += bandRows) {
        band.fill(Qt::white);
        {
            QPainter p(&band);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.translate(0, -top);
            DrawPage(p, page, QRectF(0, 0, size.width(), size.height()));
        }
        const int rows = std::min(bandRows, size.height() - top);
        for (int y = 0; y < rows; ++y) {
            const auto *in = reinterpret_cast<const QRgb *>(band.constScanLine(y));
            uchar *out = grey.scanLine(top + y);
            for (int x = 0; x < size.width(); ++x)
                out[x] = uchar((30 * qRed(in[x]) + 59 * qGreen(in[x]) + 11 * qBlue(in[x])) / 100);
        }
    }
    return grey;
}

void TPrintPreview::Abort()
{
    if (m_aborted || m_state == 0)
        return;
    m_aborted = true;
    if (m_state == 1) {
        if (m_canvas)
            m_canvas->end();
        delete m_canvas;
        m_canvas = nullptr;
        delete m_page;
        m_page = nullptr;
        m_store.Clear();
    } else if (m_direct) {
        if (m_canvas) {
            m_canvas->end();
            delete m_canvas;
            m_canvas = nullptr;
        }
        closeJob(false);
        m_direct = false;
    }
    emit OnAbort();
    m_state = 0;
}

bool TPrintPreview::doProgress(int pageNo, int done, int total)
{
    bool abort = false;
    if (!m_aborted)
        emit OnPrintProgress(pageNo, ProgressPercent(done, total), abort);
    if (abort)
        Abort();
    return abort;
}

void TPrintPreview::Print() { PrintPages(1, TotalPages()); }

void TPrintPreview::PrintPages(int first, int last)
{
    m_lastError.clear();
    if (m_state != 0 || !HasPrinter() || m_store.Count() == 0 || first > last)
        return;
    const TPageRange range = ClampPageRange(first, last, m_store.Count());
    if (!range.Valid)
        return;
    first = range.First;
    last = range.Last;
    bool completed = false;
    m_aborted = false;
    m_state = 2;
    emit OnBeforePrint();
    if (!UsePrinterOptions)
        WritePrinterSettings();
    QPainter painter;
    QPrinter *pr = openJob();
    if (!pr || !painter.begin(pr)) {
        closeJob(false);
        fail(QStringLiteral("Der Drucker kann nicht geöffnet werden."));
        m_aborted = true;
        m_state = 0;
        emit OnAfterPrint();
        return;
    }
    QRectF rect;
    if (UsePrinterOptions)
        rect = pr->paperRect(QPrinter::DevicePixel);
    else
        rect = QRectF(0, 0, ConvertUnits(m_extentX, pr->resolution(), m_units, mmPixel),
                      ConvertUnits(m_extentY, pr->resolution(), m_units, mmPixel));
    for (int p = first; !m_aborted && p <= last; ++p) {
        doProgress(p, p - first, last - first + 1);
        if (m_aborted)
            break;
        const QPicture *page = m_store.GetMetafile(p - 1);
        if (!page)
            break; // reported by the store; a blank page is never printed
        if (GrayscalePrint) {
            // The grey page at most at the capped resolution, stretched onto the paper.
            const int dpi = std::min(pr->resolution(), std::max(GrayscaleDpiCap, 1));
            const QSize size(ConvertUnits(m_extentX, dpi, m_units, mmPixel),
                             ConvertUnits(m_extentY, dpi, m_units, mmPixel));
            const QImage grey = GrayPage(*page, size);
            if (grey.isNull()) {
                fail(QStringLiteral("Das Graustufenbild von Seite %1 kann nicht angelegt werden.").arg(p));
                break;
            }
            painter.drawImage(rect, grey);
        } else {
            DrawPage(painter, *page, rect);
        }
        doProgress(p, p - first + 1, last - first + 1);
        if (m_aborted)
            break;
        if (p < last)
            pr->newPage();
        else
            completed = true;
    }
    m_aborted = m_aborted || !completed;
    if (!completed)
        pr->abort();
    painter.end();
    closeJob(completed);
    emit OnAfterPrint();
    m_state = 0;
}
