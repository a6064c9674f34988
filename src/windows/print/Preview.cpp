// The print preview: the sheet of paper, the component's paper and units, and
// the display of the stored pages with zoom, scrolling and grab-dragging.
#include "print/Preview.h"

#include "print/Preview_Shared.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

using PreviewShared::screenDpi;

namespace {
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
