#include "print/Preview.h"

#include "print/PrintQueue.h"
#include "settings/USystem.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <new>

namespace {
int screenDpi()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    const int dpi = s ? qRound(s->logicalDotsPerInchY()) : 96;
    return dpi > 0 ? dpi : 96;
}

// An out-of-memory error that says which page could not be had.
class TPageOutOfMemory : public std::bad_alloc {
public:
    const char *what() const noexcept override { return "Not enough memory to create a new page"; }
};

// A hand drawn on a 32 x 32 cursor: four fingers and a thumb, open or closed.
QCursor drawHand(bool closed)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    const int fingerTop = closed ? 11 : 4;
    for (int i = 0; i < 4; ++i)
        path.addRoundedRect(QRectF(8 + i * 4.5, fingerTop + (i == 0 || i == 3 ? 2 : 0), 4, 14), 2, 2);
    path.addRoundedRect(QRectF(8, 13, 18, 12), 4, 4);
    path.addRoundedRect(closed ? QRectF(4, 14, 6, 5) : QRectF(2, 12, 8, 4), 2, 2);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(path.simplified());
    p.end();
    return QCursor(pm, 16, 16);
}
} // namespace

QCursor PreviewHandCursor()
{
    static const QCursor c = drawHand(false);
    return c;
}

QCursor PreviewGrabCursor()
{
    static const QCursor c = drawHand(true);
    return c;
}

// ---- page store ---------------------------------------------------------------

namespace {
// The page file, unbuffered: a write that finds the disk full fails at once,
// and a read always sees what the file holds now, never an old buffer.
class TPageFile : public QTemporaryFile {
public:
    using QTemporaryFile::QTemporaryFile;
    bool OpenUnbuffered() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};

bool writeAt(QIODevice *s, qint64 at, const char *data, qint64 length)
{
    if (!s || !s->seek(at))
        return false;
    return length == 0 || s->write(data, length) == length;
}

QByteArray readAt(QIODevice *s, qint64 at, qint64 length, bool *ok)
{
    QByteArray bytes;
    *ok = s && length >= 0 && s->seek(at);
    if (*ok && length > 0) {
        bytes = s->read(length);
        *ok = bytes.size() == length;
    }
    return bytes;
}

QString unreadable(int index)
{
    return QStringLiteral("Seite %1 kann nicht gelesen werden.").arg(index + 1);
}
QString unwritable(int index)
{
    return QStringLiteral("Seite %1 kann nicht gespeichert werden.").arg(index + 1);
}
} // namespace

TMetafileList::TMetafileList(QObject *parent) : QObject(parent) {}

TMetafileList::~TMetafileList()
{
    m_stream.reset();
    m_tempFile = nullptr;
}

std::unique_ptr<QIODevice> TMetafileList::makeStream(bool tempFile)
{
    if (tempFile) {
        auto f = std::make_unique<TPageFile>(QDir::tempPath() + QStringLiteral("/PPXXXXXX"));
        if (!f->OpenUnbuffered())
            return nullptr;
        return f;
    }
    auto b = std::make_unique<QBuffer>();
    b->open(QIODevice::ReadWrite);
    return b;
}

QIODevice *TMetafileList::stream()
{
    if (!m_stream) {
        m_stream = makeStream(m_useTempFile);
        m_tempFile = qobject_cast<QTemporaryFile *>(m_stream.get());
    }
    return m_stream.get();
}

qint64 TMetafileList::pageLength(int index) const
{
    const size_t i = size_t(index);
    const qint64 end = i + 1 < m_offsets.size() ? m_offsets[i + 1] : m_end;
    return end - m_offsets[i];
}

void TMetafileList::fail(int index, const QString &text)
{
    m_lastError = text;
    emit Failed(index, text);
}

bool TMetafileList::WriteFailed(int index) const
{
    return std::find(m_unwritten.begin(), m_unwritten.end(), index) != m_unwritten.end();
}

int TMetafileList::Add(const QPicture &page)
{
    // The page keeps its place even when it cannot be stored: the pages after
    // it stay where they belong, and reading it back fails instead of showing
    // another page or a blank one.
    const int index = Count();
    const qint64 at = m_end;
    m_offsets.push_back(at);
    m_end = at + page.size();
    if (!writeAt(stream(), at, page.data(), page.size())) {
        m_unwritten.push_back(index);
        fail(index, unwritable(index));
    }
    emit Changed();
    return index;
}

const QPicture *TMetafileList::GetMetafile(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    if (index == m_loadedIndex)
        return &m_loaded;
    m_loaded = QPicture();
    m_loadedIndex = -1;
    bool ok = !WriteFailed(index);
    const QByteArray bytes =
        ok ? readAt(m_stream.get(), m_offsets[size_t(index)], pageLength(index), &ok) : QByteArray();
    if (ok && !bytes.isEmpty()) {
        // The picture's own header and checksum tell a damaged page.
        QBuffer in;
        in.setData(bytes);
        in.open(QIODevice::ReadOnly);
        ok = m_loaded.load(&in);
    }
    if (!ok) {
        m_loaded = QPicture();
        fail(index, unreadable(index));
        return nullptr;
    }
    m_loadedIndex = index;
    return &m_loaded;
}

bool TMetafileList::ReplaceMetafile(int index, const QPicture &page)
{
    if (index < 0 || index >= Count())
        return false;
    const qint64 at = m_offsets[size_t(index)];
    const qint64 oldLen = pageLength(index);
    const qint64 newLen = page.size();
    QByteArray tail;
    if (newLen != oldLen && index + 1 < Count()) {
        bool ok = false;
        tail = readAt(m_stream.get(), at + oldLen, m_end - at - oldLen, &ok);
        if (!ok) {
            fail(index + 1, unreadable(index + 1));
            return false; // nothing written: the pages stay as they were
        }
    }
    bool ok = writeAt(stream(), at, page.data(), newLen);
    if (newLen != oldLen) {
        ok = writeAt(m_stream.get(), at + newLen, tail.constData(), tail.size()) && ok;
        for (size_t i = size_t(index) + 1; i < m_offsets.size(); ++i)
            m_offsets[i] += newLen - oldLen;
        m_end += newLen - oldLen;
        if (newLen < oldLen) {
            if (auto *b = qobject_cast<QBuffer *>(m_stream.get()))
                b->buffer().resize(m_end);
            else if (m_tempFile)
                ok = m_tempFile->resize(m_end) && ok;
        }
    }
    m_unwritten.erase(std::remove(m_unwritten.begin(), m_unwritten.end(), index), m_unwritten.end());
    if (ok) {
        m_loaded = page;
        m_loadedIndex = index;
    } else {
        m_loaded = QPicture();
        m_loadedIndex = -1;
        m_unwritten.push_back(index);
        fail(index, unwritable(index));
    }
    emit CurrentChanged(index);
    return ok;
}

void TMetafileList::Clear()
{
    m_loaded = QPicture();
    m_loadedIndex = -1;
    m_offsets.clear();
    m_unwritten.clear();
    m_end = 0;
    m_stream.reset(); // a temporary file goes with its stream
    m_tempFile = nullptr;
    emit Changed();
}

bool TMetafileList::SetUseTempFile(bool on)
{
    if (on == m_useTempFile)
        return true;
    if (!m_stream) {
        m_useTempFile = on;
        return true;
    }
    // The pages move only when every byte got across; otherwise they stay
    // where they are, and so does the setting.
    std::unique_ptr<QIODevice> fresh = makeStream(on);
    bool ok = false;
    const QByteArray all = readAt(m_stream.get(), 0, std::min(m_end, m_stream->size()), &ok);
    ok = ok && fresh && writeAt(fresh.get(), 0, all.constData(), all.size());
    if (!ok) {
        fail(-1, on ? QStringLiteral("Die Seiten können nicht in eine temporäre Datei geschrieben werden.")
                    : QStringLiteral("Die Seiten können nicht aus der temporären Datei gelesen werden."));
        return false;
    }
    m_useTempFile = on;
    m_stream = std::move(fresh); // the old temporary file is deleted here
    m_tempFile = qobject_cast<QTemporaryFile *>(m_stream.get());
    return true;
}

// ---- paper view ---------------------------------------------------------------

TPaperPreview::TPaperPreview(QWidget *parent) : QWidget(parent)
{
    ShadowColor = palette().color(QPalette::Dark);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(105 + 2 * BorderSize + ShadowSize, 148 + 2 * BorderSize + ShadowSize);
}

QRect TPaperPreview::GetPageRect() const
{
    return QRect(QPoint(BorderSize, BorderSize), QPoint(width() - (BorderSize + ShadowSize) - 1,
                                                         height() - (BorderSize + ShadowSize) - 1));
}

void TPaperPreview::SetPaperSize(int w, int h)
{
    resize(std::max(w, 0) + 2 * BorderSize + ShadowSize, std::max(h, 0) + 2 * BorderSize + ShadowSize);
}

void TPaperPreview::InvalidatePage()
{
    m_pageDrawn = false;
    update();
}

void TPaperPreview::InvalidateFrame()
{
    m_frameDrawn = false;
    InvalidatePage();
}

void TPaperPreview::drawFrame(QPainter &p)
{
    const int w = width(), h = height(), B = BorderSize, S = ShadowSize;
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (B > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(BorderColor);
        // Inside-frame: the border lies wholly within (0, 0, w - S, h - S).
        p.drawRect(0, 0, w - S, B);
        p.drawRect(0, h - S - B, w - S, B);
        p.drawRect(0, 0, B, h - S);
        p.drawRect(w - S - B, 0, B, h - S);
    }
    if (S > 0) {
        p.fillRect(QRect(QPoint(w - S, S), QPoint(w - 1, h - 1)), ShadowColor);
        p.fillRect(QRect(QPoint(S, h - S), QPoint(w - 1, h - 1)), ShadowColor);
    }
}

void TPaperPreview::render()
{
    if (m_bitmap.size() != size()) {
        m_bitmap = QPixmap(size());
        m_frameDrawn = false;
        if (m_bitmap.isNull())
            return;
    }
    QPainter p(&m_bitmap);
    if (!m_frameDrawn) {
        drawFrame(p);
        m_frameDrawn = true;
        m_pageDrawn = false;
    }
    if (!m_pageDrawn) {
        const QRect r = GetPageRect();
        p.setClipRect(r);
        p.fillRect(r, PaperColor);
        emit PaintPage(p, r);
        p.setClipping(false);
        m_pageDrawn = true;
    }
}

const QPixmap &TPaperPreview::Bitmap()
{
    render();
    return m_bitmap;
}

void TPaperPreview::paintEvent(QPaintEvent *)
{
    render();
    if (m_bitmap.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_bitmap);
}

void TPaperPreview::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_bitmap = QPixmap(size());
    m_frameDrawn = false;
    m_pageDrawn = false;
}

void TPaperPreview::mousePressEvent(QMouseEvent *e) { emit MouseDown(e); }
void TPaperPreview::mouseMoveEvent(QMouseEvent *e) { emit MouseMove(e); }
void TPaperPreview::mouseReleaseEvent(QMouseEvent *e) { emit MouseUp(e); }

// ---- the component ------------------------------------------------------------

TPrintPreview::TPrintPreview(QWidget *parent) : QScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_host = new QWidget;
    m_paper = new TPaperPreview(m_host);
    m_paper->hide();
    setWidget(m_host);
    Cursor = QCursor(Qt::ArrowCursor);
    DragCursor = PreviewHandCursor();
    GrabCursor = PreviewGrabCursor();
    connect(m_paper, &TPaperPreview::PaintPage, this, &TPrintPreview::paintPage);
    connect(m_paper, &TPaperPreview::MouseDown, this, &TPrintPreview::paperMouseDown);
    connect(m_paper, &TPaperPreview::MouseMove, this, &TPrintPreview::paperMouseMove);
    connect(m_paper, &TPaperPreview::MouseUp, this, &TPrintPreview::paperMouseUp);
    connect(&m_store, &TMetafileList::Changed, this, &TPrintPreview::storeChanged);
    connect(&m_store, &TMetafileList::Failed, this, &TPrintPreview::storeFailed);
    connect(&m_store, &TMetafileList::CurrentChanged, this, [this](int index) {
        if (index + 1 == m_currentPage) {
            updateOverlays();
            m_paper->InvalidatePage();
        }
        emit OnChange();
    });
    setExtentFromPaper();
}

TPrintPreview::~TPrintPreview()
{
    if (m_state == 1 || m_direct)
        Abort();
    delete m_canvas;
    delete m_page;
    if (!m_autoFormName.isEmpty())
        m_forms.Remove(m_autoFormName);
}

void TPrintPreview::setExtentFromPaper()
{
    if (m_paperType != pCustom) {
        const TPaperRow &r = PaperSizeTable[m_paperType];
        m_extentX = ConvertUnits(r.Width, screenDpi(), r.Units, m_units);
        m_extentY = ConvertUnits(r.Height, screenDpi(), r.Units, m_units);
        if (m_orientation == poLandscape)
            std::swap(m_extentX, m_extentY);
    }
    extentChanged();
}

void TPrintPreview::extentChanged()
{
    const int dpi = screenDpi();
    m_pixelsX = std::max(1, ConvertUnits(m_extentX, dpi, m_units, mmPixel, dpi));
    m_pixelsY = std::max(1, ConvertUnits(m_extentY, dpi, m_units, mmPixel, dpi));
    UpdateLayout();
}

void TPrintPreview::SetUnits(TUnits u)
{
    if (u == m_units)
        return;
    const TUnits old = m_units;
    m_units = u;
    if (m_paperType != pCustom) {
        setExtentFromPaper();
    } else {
        m_extentX = ClampPaperSide(ConvertUnits(m_extentX, screenDpi(), old, u));
        m_extentY = ClampPaperSide(ConvertUnits(m_extentY, screenDpi(), old, u));
        extentChanged();
    }
}

void TPrintPreview::SetOrientation(TPrinterOrientation o)
{
    if (m_state != 0 || o == m_orientation)
        return;
    m_orientation = o;
    std::swap(m_extentX, m_extentY);
    extentChanged();
}

void TPrintPreview::SetPaperType(TPaperType t)
{
    if (m_state != 0 || t == m_paperType || t < 0 || t > pCustom)
        return;
    m_paperType = t;
    m_formName.clear();
    setExtentFromPaper();
}

void TPrintPreview::SetPaperSize(int w, int h)
{
    w = ClampPaperSide(w);
    h = ClampPaperSide(h);
    if (m_state != 0 || (w == m_extentX && h == m_extentY))
        return;
    m_extentX = w;
    m_extentY = h;
    m_paperType = m_orientation == poLandscape ? FindPaperType(h, w, m_units) : FindPaperType(w, h, m_units);
    m_formName.clear();
    extentChanged();
}

QFont TPrintPreview::PageFont(int points) const
{
    QFont f = Font;
    // Pixel sizes in page units keep the physical size on every device.
    f.setPixelSize(std::max(1, ConvertUnits(points, screenDpi(), mmPoints, m_units)));
    return f;
}

// ---- recording ----------------------------------------------------------------

void TPrintPreview::fail(const QString &text)
{
    m_lastError = text;
    emit OnPrintError(text);
}

void TPrintPreview::setupPrinterPainter(QPainter &p)
{
    QPrinter *pr = m_target;
    const double sx = ConvertUnits(m_extentX, pr->resolution(), m_units, mmPixel) / double(m_extentX);
    const double sy = ConvertUnits(m_extentY, pr->resolution(), m_units, mmPixel) / double(m_extentY);
    p.scale(sx, sy);
}

void TPrintPreview::openPage()
{
    m_page = new QPicture;
    m_canvas = new QPainter;
    if (!m_canvas->begin(m_page)) {
        delete m_canvas;
        m_canvas = nullptr;
        delete m_page;
        m_page = nullptr;
        throw TPageOutOfMemory();
    }
    m_canvas->setFont(PageFont(Font.pointSize()));
}

void TPrintPreview::closePage()
{
    if (!m_canvas)
        return;
    m_canvas->end();
    delete m_canvas;
    m_canvas = nullptr;
    if (m_page && !m_page->isNull())
        m_store.Add(*m_page);
    else if (m_page)
        m_store.Add(QPicture()); // an empty page still counts
    delete m_page;
    m_page = nullptr;
}

void TPrintPreview::BeginDoc()
{
    if (m_state != 0)
        return;
    m_aborted = false;
    m_lastError.clear();
    if (DirectPrint) {
        if (!HasPrinter())
            return;
        m_direct = true;
        m_directPages = 0;
        if (UsePrinterOptions)
            ReadPrinterSettings();
        else
            WritePrinterSettings();
        m_state = 2;
    } else {
        m_store.Clear();
        if (UsePrinterOptions && HasPrinter())
            ReadPrinterSettings();
        m_state = 1;
        m_direct = false;
        extentChanged();
    }
    emit OnBeginDoc();
    NewPage();
}

void TPrintPreview::NewPage()
{
    if (m_state == 0 || (m_state == 2 && !m_direct))
        return;
    if (m_canvas)
        emit OnEndPage();
    if (m_direct) {
        if (m_canvas) {
            ++m_directPages;
            m_target->newPage();
        } else {
            m_canvas = new QPainter;
            if (!openJob() || !m_canvas->begin(m_target)) {
                delete m_canvas;
                m_canvas = nullptr;
                closeJob(false);
                fail(QStringLiteral("Der Drucker kann nicht geöffnet werden."));
                m_state = 0;
                m_direct = false;
                return;
            }
            setupPrinterPainter(*m_canvas);
        }
        m_canvas->setFont(PageFont(Font.pointSize()));
    } else {
        closePage();
        openPage();
    }
    emit OnNewPage();
}

void TPrintPreview::EndDoc()
{
    if (m_state == 0 || (m_state == 2 && !m_direct))
        return;
    emit OnEndPage();
    if (m_direct) {
        ++m_directPages;
        if (m_canvas) {
            m_canvas->end();
            delete m_canvas;
            m_canvas = nullptr;
        }
        closeJob(true);
        m_direct = false;
    } else {
        closePage();
    }
    emit OnEndDoc();
    m_state = 0;
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

// ---- display ------------------------------------------------------------------

std::unique_ptr<QPicture> TPrintPreview::recordOverlay(bool on, int pageNo, void (TPrintPreview::*signal)(int, QPainter *))
{
    if (!on || pageNo < 1 || !isSignalConnected(QMetaMethod::fromSignal(signal)))
        return nullptr;
    auto pic = std::make_unique<QPicture>();
    QPainter p(pic.get());
    p.setFont(PageFont(Font.pointSize()));
    emit(this->*signal)(pageNo, &p);
    p.end();
    return pic;
}

void TPrintPreview::UpdateAnnotation(int pageNo)
{
    m_annotation = recordOverlay(m_annotationOn, pageNo, &TPrintPreview::OnAnnotation);
}

void TPrintPreview::UpdateBackground(int pageNo)
{
    m_background = recordOverlay(m_backgroundOn, pageNo, &TPrintPreview::OnBackground);
}

void TPrintPreview::updateOverlays()
{
    UpdateBackground(m_currentPage);
    UpdateAnnotation(m_currentPage);
}

void TPrintPreview::SetAnnotation(bool on)
{
    if (on == m_annotationOn)
        return;
    m_annotationOn = on;
    UpdateAnnotation(m_currentPage);
    m_paper->InvalidatePage();
}

void TPrintPreview::SetBackground(bool on)
{
    if (on == m_backgroundOn)
        return;
    m_backgroundOn = on;
    UpdateBackground(m_currentPage);
    m_paper->InvalidatePage();
}

void TPrintPreview::storeFailed(int index, const QString &text)
{
    if (!m_painting) {
        fail(text);
        return;
    }
    // A page that cannot be shown is told once, and not from inside the paint
    // event; a page that could not be stored was told when it was recorded.
    if (m_store.WriteFailed(index) || index == m_badShownPage)
        return;
    m_badShownPage = index;
    QTimer::singleShot(0, this, [this, text] { fail(text); });
}

void TPrintPreview::storeChanged()
{
    m_badShownPage = -1;
    if (m_store.Count() == 0) {
        m_currentPage = 0;
        m_paper->hide();
    } else if (m_currentPage == 0) {
        UpdateLayout();
        m_currentPage = 1;
        m_paper->show();
    }
    m_currentPage = std::min(m_currentPage, m_store.Count());
    updateOverlays();
    m_paper->InvalidatePage();
    emit OnChange();
}

void TPrintPreview::SetCurrentPage(int n)
{
    if (m_store.Count() == 0)
        return;
    n = std::clamp(n, 1, m_store.Count());
    if (n == m_currentPage)
        return;
    m_currentPage = n;
    updateOverlays();
    m_paper->InvalidatePage();
    emit OnChange();
}

void TPrintPreview::paintPage(QPainter &p, const QRect &rect)
{
    if (m_currentPage < 1 || m_currentPage > m_store.Count())
        return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (m_background)
        DrawPage(p, *m_background, QRectF(rect));
    // The page is read after the overlays: it stays the loaded page.
    m_painting = true;
    const QPicture *page = m_store.GetMetafile(m_currentPage - 1);
    m_painting = false;
    if (page) {
        const QImage grey = GrayscalePreview ? GrayPage(*page, rect.size()) : QImage();
        if (!grey.isNull())
            p.drawImage(rect.topLeft(), grey);
        else
            DrawPage(p, *page, QRectF(rect));
    }
    if (m_annotation)
        DrawPage(p, *m_annotation, QRectF(rect));
}

void TPrintPreview::UpdateLayout()
{
    if (!m_paper)
        return;
    QScrollBar *hb = horizontalScrollBar(), *vb = verticalScrollBar();
    const QSize full = maximumViewportSize(); // the viewport without scroll bars
    const int areaW = full.width() - 2 * Margin, areaH = full.height() - 2 * Margin;
    int percentX = 0, percentY = 0;
    const bool keep = ZoomSavePos && m_currentPage > 0;
    if (keep) {
        percentX = ScrollPercent(hb->value(), m_host->width(), viewport()->width());
        percentY = ScrollPercent(vb->value(), m_host->height(), viewport()->height());
    }
    // A new layout starts at the top left; only a remembered position is restored.
    hb->setValue(0);
    vb->setValue(0);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const TPaperFrame frame{m_paper->BorderSize, m_paper->ShadowSize};
    const TPreviewLayout l = LayoutPreview(m_zoomState, m_zoom, areaW, areaH, m_pixelsX, m_pixelsY, frame, Margin, bar, bar);
    const int oldZoom = m_zoom;
    m_scrollX = l.ScrollX;
    m_scrollY = l.ScrollY;
    m_host->resize(std::max(l.Left + l.Paper.Width + Margin, l.ScrollX ? 0 : full.width() - (l.ScrollY ? bar : 0)),
                   std::max(l.Top + l.Paper.Height + Margin, l.ScrollY ? 0 : full.height() - (l.ScrollX ? bar : 0)));
    m_paper->setGeometry(l.Left, l.Top, l.Paper.Width, l.Paper.Height);
    if (keep) {
        hb->setValue(ScrollFromPercent(percentX, m_host->width(), viewport()->width()));
        vb->setValue(ScrollFromPercent(percentY, m_host->height(), viewport()->height()));
    }
    if (m_zoomState != zsZoomOther)
        m_zoom = l.Paper.Zoom;
    m_grabbing = false;
    m_paper->setCursor(m_scrollX || m_scrollY ? DragCursor : Cursor);
    if (m_zoom != oldZoom)
        emit OnZoomChange();
}

void TPrintPreview::SetZoomState(TZoomState s)
{
    if (s == m_zoomState)
        return;
    m_zoomState = s;
    UpdateLayout();
}

void TPrintPreview::SetZoom(int v)
{
    v = ClampZoom(v, m_zoomMin, m_zoomMax);
    if (v == m_zoom && m_zoomState == zsZoomOther)
        return;
    const int old = m_zoom;
    const TZoomState oldState = m_zoomState;
    m_zoom = v;
    m_zoomState = zsZoomOther;
    UpdateLayout();
    if (!m_paper->BitmapValid()) {
        // Too large for a bitmap: back to the zoom that worked.
        m_zoom = old;
        m_zoomState = oldState;
        UpdateLayout();
        return;
    }
    emit OnZoomChange();
}

void TPrintPreview::SetZoomMin(int v)
{
    if (v < 1 || v > m_zoomMax)
        return;
    m_zoomMin = v;
    if (m_zoomState == zsZoomOther && m_zoom < v)
        SetZoom(v);
}

void TPrintPreview::SetZoomMax(int v)
{
    if (v < m_zoomMin)
        return;
    m_zoomMax = v;
    if (m_zoomState == zsZoomOther && m_zoom > v)
        SetZoom(v);
}

void TPrintPreview::resizeEvent(QResizeEvent *e)
{
    QScrollArea::resizeEvent(e);
    UpdateLayout();
}

void TPrintPreview::keyPressEvent(QKeyEvent *e)
{
    QScrollBar *hb = horizontalScrollBar(), *vb = verticalScrollBar();
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool plain = mods == Qt::NoModifier, shift = mods == Qt::ShiftModifier, ctrl = mods == Qt::ControlModifier;
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    auto move = [](QScrollBar *b, int v) { b->setValue(v); };
    switch (e->key()) {
    case Qt::Key_Home:
        if (plain)
            return move(hb, 0);
        if (ctrl)
            return move(vb, 0);
        break;
    case Qt::Key_End:
        if (plain)
            return move(hb, hb->maximum());
        if (ctrl)
            return move(vb, vb->maximum());
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const bool horizontal = e->key() == Qt::Key_Left || e->key() == Qt::Key_Right;
        const int sign = e->key() == Qt::Key_Left || e->key() == Qt::Key_Up ? -1 : 1;
        QScrollBar *b = horizontal ? hb : vb;
        const int client = horizontal ? viewport()->width() : viewport()->height();
        if (plain)
            return move(b, b->value() + sign * b->singleStep());
        if (shift)
            return move(b, b->value() + sign);
        if (ctrl)
            return move(b, b->value() + sign * client);
        break;
    }
    case Qt::Key_PageDown:
        if (plain)
            return SetCurrentPage(m_currentPage + 1);
        if (ctrl)
            return SetCurrentPage(TotalPages());
        break;
    case Qt::Key_PageUp:
        if (plain)
            return SetCurrentPage(m_currentPage - 1);
        if (ctrl)
            return SetCurrentPage(1);
        break;
    case Qt::Key_Plus:
        if (keypad && plain)
            return SetZoom(m_zoom + ZoomStep);
        break;
    case Qt::Key_Minus:
        if (keypad && plain)
            return SetZoom(m_zoom - ZoomStep);
        break;
    default:
        break;
    }
    QScrollArea::keyPressEvent(e);
}

void TPrintPreview::wheelEvent(QWheelEvent *e)
{
    const int notches = m_wheel.Add(e->angleDelta().y());
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const Qt::MouseButtons buttons = e->buttons();
    bool handled = true;
    for (int i = 0; i < std::abs(notches); ++i) {
        const bool up = notches > 0;
        if (mods == Qt::NoModifier && buttons == Qt::NoButton) {
            QScrollBar *vb = verticalScrollBar();
            vb->setValue(vb->value() + (up ? -vb->singleStep() : vb->singleStep()));
        } else if ((mods == Qt::ShiftModifier && buttons == Qt::NoButton) ||
                   (mods == Qt::NoModifier && buttons == Qt::MiddleButton)) {
            SetCurrentPage(m_currentPage + (up ? -1 : 1));
        } else if (mods == Qt::ControlModifier && buttons == Qt::NoButton) {
            SetZoom(m_zoom + (up ? ZoomStep : -ZoomStep));
        } else {
            handled = false;
        }
    }
    e->setAccepted(handled);
}

void TPrintPreview::paperMouseDown(QMouseEvent *e)
{
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    if (m_scrollX || m_scrollY) {
        m_grabbing = true;
        m_paper->setCursor(GrabCursor);
    }
    m_grabPoint = e->position().toPoint();
}

void TPrintPreview::paperMouseMove(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton) || !m_grabbing)
        return;
    const QPoint d = e->position().toPoint() - m_grabPoint;
    // The paper view moves with the scroll bar, so the grabbed point follows the mouse.
    if (m_scrollX)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
    if (m_scrollY)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
}

void TPrintPreview::paperMouseUp(QMouseEvent *)
{
    if (m_grabbing) {
        m_grabbing = false;
        m_paper->setCursor(DragCursor);
    }
}
