// The board widget: paints the cell records and turns mouse positions into
// the controls the input handlers expect.
#include "board/UFeld.h"

#include "board/UQuadrivo.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {
// More distinct pictures than a board ever shows at once means sizes or
// pictures changed many times: start afresh.
constexpr int kMaxCachedPictures = 4096;

bool isHitControl(TBoardWidget::THitKind k)
{
    return k == TBoardWidget::THitKind::Background || k == TBoardWidget::THitKind::DigitLabel ||
           k == TBoardWidget::THitKind::MarkImage || k == TBoardWidget::THitKind::MarkLabel;
}
} // namespace

TBoardWidget::TBoardWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    SetColor(ColorFromBGR(0x409FFF));
    // The stand-ins are never shown: they only carry a control's class name,
    // Tag, hint and size to the handlers.
    m_imageStandIn = new TImage(this);
    m_imageStandIn->hide();
    m_labelStandIn = new TLabel(this);
    m_labelStandIn->hide();
    m_tileScratch = new TImage(this);
    m_tileScratch->hide();
}

void TBoardWidget::SetModel(TCellView (*cells)[10], TBoardPanel (*blocks)[4])
{
    m_cells = cells;
    m_blocks = blocks;
    update();
}

void TBoardWidget::SetColor(const QColor &c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal);
    update();
}

QColor TBoardWidget::Color() const
{
    return palette().color(QPalette::Window);
}

// ---- dirty cells ------------------------------------------------------------------

void TBoardWidget::InvalidateCell(int x, int y)
{
    if (!IsBoardIndex(x) || !IsBoardIndex(y))
        return;
    m_dirty[x][y] = true;
    if (m_cells) {
        const QRect r = m_cells[x][y].Panel.Bounds();
        if (!r.isEmpty())
            update(r);
    }
}

void TBoardWidget::InvalidateBlock(int bx, int by)
{
    if (bx < 1 || bx > 3 || by < 1 || by > 3)
        return;
    for (int y = 3 * by - 2; y <= 3 * by; ++y)
        for (int x = 3 * bx - 2; x <= 3 * bx; ++x)
            m_dirty[x][y] = true;
    if (m_blocks) {
        const QRect r = m_blocks[bx][by].Bounds();
        if (!r.isEmpty())
            update(r);
    }
}

void TBoardWidget::InvalidateAll()
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            m_dirty[x][y] = true;
    update();
}

int TBoardWidget::DirtyCellCount() const
{
    int n = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            n += m_dirty[x][y] ? 1 : 0;
    return n;
}

void TBoardWidget::ClearDirty()
{
    for (auto &col : m_dirty)
        for (bool &d : col)
            d = false;
}

// ---- painting ---------------------------------------------------------------------

void TBoardWidget::ClearPictureCache()
{
    m_cache.clear();
}

const QPixmap &TBoardWidget::scaledPicture(const QPixmap &pm, const QSize &size)
{
    const TPictureKey key{0, pm.cacheKey(), size.width(), size.height(), QString()};
    auto it = m_cache.find(key);
    if (it != m_cache.end())
        return *it;
    if (m_cache.size() >= kMaxCachedPictures)
        m_cache.clear();
    const QPixmap scaled = pm.size() == size ? pm : pm.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return *m_cache.insert(key, scaled);
}

const QPixmap &TBoardWidget::tilePicture(int32_t bgr, const QSize &size)
{
    const TPictureKey key{1, bgr, size.width(), size.height(), QString()};
    auto it = m_cache.find(key);
    if (it != m_cache.end())
        return *it;
    if (m_cache.size() >= kMaxCachedPictures)
        m_cache.clear();
    // The tile is the options' bevelled tile, painted at the cell's size so
    // its rings keep their width.
    m_tileScratch->resize(size);
    PaintColorTileFresh(m_tileScratch, bgr);
    return *m_cache.insert(key, m_tileScratch->Picture());
}

const QPixmap &TBoardWidget::textPicture(const TBoardLabel &lbl, const QSize &size)
{
    const qint64 fontId = (qint64(uint32_t(lbl.FontColor().rgba())) << 32) | (qint64(lbl.FontSize() & 0xFFFF) << 1) |
                          (lbl.Bold() ? 1 : 0);
    const TPictureKey key{2, fontId, size.width(), size.height(), lbl.Caption()};
    auto it = m_cache.find(key);
    if (it != m_cache.end())
        return *it;
    if (m_cache.size() >= kMaxCachedPictures)
        m_cache.clear();
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        QFont f(QStringLiteral("Verdana"));
        f.setPixelSize(std::max(1, BoardFontPixels(lbl.FontSize())));
        f.setBold(lbl.Bold());
        p.setFont(f);
        p.setPen(lbl.FontColor());
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, lbl.Caption());
    }
    return *m_cache.insert(key, pm);
}

void TBoardWidget::paintImage(QPainter &p, const TBoardImage &img, const QRect &r)
{
    if (r.isEmpty())
        return;
    switch (img.Kind()) {
    case TBoardImage::TKind::Bank:
        if (!img.Picture().isNull())
            p.drawPixmap(r.topLeft(), scaledPicture(img.Picture(), r.size()));
        break;
    case TBoardImage::TKind::Tile:
        p.drawPixmap(r.topLeft(), tilePicture(img.Colour(), r.size()));
        break;
    case TBoardImage::TKind::Fill:
        p.fillRect(r, ColorFromBGR(img.Colour()));
        break;
    case TBoardImage::TKind::None:
        break;
    }
}

void TBoardWidget::paintLabel(QPainter &p, const TBoardLabel &lbl, const QRect &r)
{
    if (r.isEmpty() || lbl.Caption().isEmpty())
        return;
    p.drawPixmap(r.topLeft(), textPicture(lbl, r.size()));
}

void TBoardWidget::paintCell(QPainter &p, const TCellView &cv)
{
    const QRect pr = cv.Panel.Bounds();
    if (!cv.Panel.Visible() || pr.isEmpty())
        return;
    // The cell stacks its controls in the order they were made: the panel,
    // the picture, the digit, then per mark its picture and its label.
    p.fillRect(pr, cv.Panel.Color());
    const QPoint o = pr.topLeft();
    if (cv.Background.Visible())
        paintImage(p, cv.Background, cv.Background.Bounds().translated(o));
    if (cv.DigitLabel.Visible())
        paintLabel(p, cv.DigitLabel, cv.DigitLabel.Bounds().translated(o));
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            const TMarkEntry &m = cv.Marks[c][r];
            if (m.Image.Visible())
                paintImage(p, m.Image, m.Image.Bounds().translated(o));
            if (m.Label.Visible())
                paintLabel(p, m.Label, m.Label.Bounds().translated(o));
        }
}

void TBoardWidget::PaintBoard(QPainter &p, const QRect &area)
{
    p.fillRect(area, Color());
    if (!m_cells || !m_blocks)
        return;
    for (int by = 1; by <= 3; ++by)
        for (int bx = 1; bx <= 3; ++bx) {
            const TBoardPanel &bp = m_blocks[bx][by];
            if (bp.Visible() && bp.Bounds().intersects(area))
                p.fillRect(bp.Bounds(), bp.Color());
        }
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TCellView &cv = m_cells[x][y];
            if (!cv.Panel.Bounds().intersects(area))
                continue;
            paintCell(p, cv);
            m_dirty[x][y] = false;
        }
}

void TBoardWidget::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    PaintBoard(p, e->rect());
}

// ---- hit testing --------------------------------------------------------------------

TBoardWidget::THit TBoardWidget::HitTest(const QPoint &p) const
{
    THit hit;
    if (!m_cells)
        return hit;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TCellView &cv = m_cells[x][y];
            if (!cv.Panel.Visible() || !cv.Panel.Bounds().contains(p))
                continue;
            hit.X = x;
            hit.Y = y;
            const QPoint local = p - cv.Panel.Bounds().topLeft();
            // Topmost first: the marks were made last, each label after its picture.
            for (int d = 9; d >= 1; --d) {
                const TMarkEntry &m = cv.Mark(d);
                if (m.Label.Visible() && m.Label.Bounds().contains(local)) {
                    hit.Kind = THitKind::MarkLabel;
                    hit.Digit = d;
                    return hit;
                }
                if (m.Image.Visible() && m.Image.Bounds().contains(local)) {
                    hit.Kind = THitKind::MarkImage;
                    hit.Digit = d;
                    return hit;
                }
            }
            if (cv.DigitLabel.Visible() && cv.DigitLabel.Bounds().contains(local))
                hit.Kind = THitKind::DigitLabel;
            else if (cv.Background.Visible() && cv.Background.Bounds().contains(local))
                hit.Kind = THitKind::Background;
            else
                hit.Kind = THitKind::Panel;
            return hit;
        }
    return hit;
}

QPoint TBoardWidget::controlOrigin(const THit &hit) const
{
    return ControlRect(hit).topLeft();
}

QRect TBoardWidget::ControlRect(const THit &hit) const
{
    if (!m_cells || !IsBoardIndex(hit.X) || !IsBoardIndex(hit.Y))
        return QRect();
    const TCellView &cv = m_cells[hit.X][hit.Y];
    const QPoint o = cv.Panel.Bounds().topLeft();
    const bool mark = hit.Kind == THitKind::MarkImage || hit.Kind == THitKind::MarkLabel;
    if (mark && (hit.Digit < 1 || hit.Digit > 9))
        return QRect();
    switch (hit.Kind) {
    case THitKind::Panel:
        return cv.Panel.Bounds();
    case THitKind::Background:
        return cv.Background.Bounds().translated(o);
    case THitKind::DigitLabel:
        return cv.DigitLabel.Bounds().translated(o);
    case THitKind::MarkImage:
        return cv.Mark(hit.Digit).Image.Bounds().translated(o);
    case THitKind::MarkLabel:
        return cv.Mark(hit.Digit).Label.Bounds().translated(o);
    case THitKind::None:
        break;
    }
    return QRect();
}

QObject *TBoardWidget::ControlFor(const THit &hit)
{
    if (!m_cells || !isHitControl(hit.Kind) || !IsBoardIndex(hit.X) || !IsBoardIndex(hit.Y))
        return nullptr;
    const bool mark = hit.Kind == THitKind::MarkImage || hit.Kind == THitKind::MarkLabel;
    if (mark && (hit.Digit < 1 || hit.Digit > 9))
        return nullptr;
    TCellView &cv = m_cells[hit.X][hit.Y];
    if (hit.Kind == THitKind::Background || hit.Kind == THitKind::MarkImage) {
        const TBoardImage &rec = hit.Kind == THitKind::Background ? cv.Background : cv.Mark(hit.Digit).Image;
        m_imageStandIn->Tag = rec.Tag;
        m_imageStandIn->setToolTip(rec.Hint);
        m_imageStandIn->resize(rec.Width(), rec.Height());
        m_imageHit = hit;
        return m_imageStandIn;
    }
    const TBoardLabel &rec = hit.Kind == THitKind::DigitLabel ? cv.DigitLabel : cv.Mark(hit.Digit).Label;
    m_labelStandIn->Tag = rec.Tag;
    m_labelStandIn->setToolTip(rec.Hint);
    m_labelStandIn->resize(rec.Width(), rec.Height());
    m_labelStandIn->setText(rec.Caption());
    m_labelHit = hit;
    return m_labelStandIn;
}

TBoardWidget::THit TBoardWidget::HitOf(const QObject *control) const
{
    if (control && control == m_imageStandIn)
        return m_imageHit;
    if (control && control == m_labelStandIn)
        return m_labelHit;
    return THit();
}

QObject *TBoardWidget::ControlUnderMouse()
{
    return m_mouseInside ? ControlFor(HitTest(m_lastPos)) : nullptr;
}

// ---- mouse ------------------------------------------------------------------------------

void TBoardWidget::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    m_lastPos = pos;
    m_mouseInside = true;
    // The control pressed first keeps the mouse until every button is up, so
    // its release arrives there even when the pointer has left it.
    if (!m_hasCapture || e->buttons() == e->button()) {
        m_captured = HitTest(pos);
        m_hasCapture = true;
    }
    const THit target = m_captured;
    if (!isHitControl(target.Kind) || !Form1)
        return;
    const QPoint local = pos - controlOrigin(target);
    LastDispatch = {TEventKind::Down, target, local, e->button()};
    Form1->MouseDown(ControlFor(target), e->button(), e->modifiers(), local.x(), local.y());
}

void TBoardWidget::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    m_lastPos = pos;
    if (!m_hasCapture)
        return;
    const THit target = m_captured;
    if (e->buttons() == Qt::NoButton)
        m_hasCapture = false;
    // Only the pencil-mark controls listen to releases.
    if ((target.Kind != THitKind::MarkImage && target.Kind != THitKind::MarkLabel) || !Form1)
        return;
    const QPoint local = pos - controlOrigin(target);
    LastDispatch = {TEventKind::Up, target, local, e->button()};
    Form1->MouseUp(ControlFor(target), e->button(), e->modifiers(), local.x(), local.y());
}

void TBoardWidget::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    m_lastPos = pos;
    m_mouseInside = true;
    const QPoint globalPos = e->globalPosition().toPoint();
    const THit target = m_hasCapture && e->buttons() != Qt::NoButton ? m_captured : HitTest(pos);
    // The cell's picture has no move handler; its digit and the marks have.
    if (target.Kind != THitKind::DigitLabel && target.Kind != THitKind::MarkImage && target.Kind != THitKind::MarkLabel) {
        // Still the hovered cell follows the pointer.
        TrackHoveredControlAt(ControlFor(HitTest(pos)), globalPos);
        return;
    }
    if (!Form1)
        return;
    LastDispatch = {TEventKind::Move, target, pos - controlOrigin(target), Qt::NoButton};
    Form1->FormMouseMove(ControlFor(target), globalPos);
}

void TBoardWidget::enterEvent(QEnterEvent *e)
{
    m_mouseInside = true;
    m_lastPos = e->position().toPoint();
    TrackHoveredControlAt(ControlFor(HitTest(m_lastPos)), e->globalPosition().toPoint());
}

void TBoardWidget::leaveEvent(QEvent *)
{
    m_mouseInside = false;
    // Off the board nothing is hovered; the next move over it counts again.
    if (Form1) {
        Form1->LastMouseX = -1;
        Form1->LastMouseY = -1;
        Form1->HoverTag = GetControlTag(nullptr);
    }
}
