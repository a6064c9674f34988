// The print preview's recording: a document drawn page by page into the
// store, or straight onto the printer.
#include "print/Preview.h"

#include <QPainter>
#include <QPrinter>
#include <new>

namespace {
// An out-of-memory error that says which page could not be had.
class TPageOutOfMemory : public std::bad_alloc {
public:
    const char *what() const noexcept override { return "Not enough memory to create a new page"; }
};
} // namespace

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
