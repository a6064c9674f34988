#include "ui/Controls.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyledItemDelegate>

// Captions never interpret markup: names, chat and server notices show as sent.
TMouseControl::TMouseControl(QWidget *parent) : QLabel(parent)
{
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

void TMouseControl::mousePressEvent(QMouseEvent *e)
{
    m_pressed = e->button() == Qt::LeftButton;
    const QPoint p = e->position().toPoint();
    emit MouseDown(e->button(), e->modifiers(), p.x(), p.y());
}

void TMouseControl::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    const bool wasPressed = m_pressed;
    m_pressed = false;
    emit MouseUp(e->button(), e->modifiers(), p.x(), p.y());
    if (wasPressed && e->button() == Qt::LeftButton && rect().contains(p) && isEnabled())
        emit Click();
}

void TMouseControl::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit DblClick();
}

void TMouseControl::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    emit MouseMove(e->modifiers(), p.x(), p.y());
}

void TMouseControl::enterEvent(QEnterEvent *)
{
    m_hovered = true;
    emit MouseEnter();
}

void TMouseControl::leaveEvent(QEvent *)
{
    m_hovered = false;
    emit MouseLeave();
}

// A window that hides under the mouse (a button that closes its own window)
// sends no leave: the control leaves here, so a caption button does not come
// back in its hover font.
void TMouseControl::hideEvent(QHideEvent *e)
{
    QLabel::hideEvent(e);
    m_pressed = false;
    if (m_hovered) {
        m_hovered = false;
        emit MouseLeave();
    }
}

TLabel::TLabel(QWidget *parent, const QString &caption) : TMouseControl(parent)
{
    setText(caption);
    SetFontSize(8, false);
}

void TLabel::SetFontSize(int points, bool bold)
{
    QFont f = font();
    f.setPointSize(points);
    f.setBold(bold);
    setFont(f);
}

void MakeCaptionButton(TLabel *label, int hoverSize, int normalSize, bool normalBold)
{
    label->setCursor(Qt::PointingHandCursor);
    QObject::connect(label, &TLabel::MouseEnter, label, [label, hoverSize] {
        if (label->isEnabled())
            label->SetFontSize(hoverSize, true);
    });
    QObject::connect(label, &TLabel::MouseLeave, label,
                     [label, normalSize, normalBold] { label->SetFontSize(normalSize, normalBold); });
}

TImage::TImage(QWidget *parent) : TMouseControl(parent) {}

void TImage::SetPicture(const QPixmap &pm)
{
    // The same picture again (the player tables set theirs after every
    // result telegram): nothing to paint.
    if (pm.cacheKey() == m_picture.cacheKey())
        return;
    m_picture = pm;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    if (Stretch)
        p.drawPixmap(rect(), m_picture);
    else
        p.drawPixmap(0, 0, m_picture);
}

TPanel::TPanel(QWidget *parent) : TMouseControl(parent) { setAutoFillBackground(true); }

void TPanel::SetColor(const QColor &c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal);
}

TSpinEdit::TSpinEdit(QWidget *parent, int minValue, int maxValue, int value) : QSpinBox(parent)
{
    setRange(minValue, maxValue);
    setValue(value);
}

TRadioButton::TRadioButton(QWidget *parent, const QString &caption) : QRadioButton(caption, parent) {}

TCheckBox::TCheckBox(QWidget *parent, const QString &caption) : QCheckBox(caption, parent) {}

TButton::TButton(QWidget *parent, const QString &caption) : QPushButton(caption, parent) {}

TBitBtn::TBitBtn(QWidget *parent, const QString &caption) : QPushButton(caption, parent) {}

TEdit::TEdit(QWidget *parent, const QString &text) : QLineEdit(text, parent) {}

TLabeledEdit::TLabeledEdit(QWidget *parent, const QString &caption) : QLineEdit(parent)
{
    EditLabel = new TLabel(parent, caption);
}

void TLabeledEdit::PlaceLabel()
{
    if (!EditLabel)
        return;
    const QSize hint = EditLabel->sizeHint();
    if (LabelPosition == TLabelPosition::Left) {
        EditLabel->resize(hint);
        EditLabel->move(x() - hint.width() - LabelSpacing, y() + (height() - hint.height()) / 2);
    } else {
        EditLabel->move(x(), y() - hint.height() - LabelSpacing);
    }
}

void TLabeledEdit::moveEvent(QMoveEvent *e)
{
    QLineEdit::moveEvent(e);
    PlaceLabel();
}

void TLabeledEdit::resizeEvent(QResizeEvent *e)
{
    QLineEdit::resizeEvent(e);
    PlaceLabel();
}

namespace {
// The style's password character is the only way to choose it in Qt.
class TPasswordCharStyle : public QProxyStyle {
public:
    explicit TPasswordCharStyle(QChar c) : m_char(c) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_char.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar m_char;
};
} // namespace

void TLabeledEdit::SetPasswordChar(QChar c)
{
    auto *style = new TPasswordCharStyle(c);
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
}

TListBox::TListBox(QWidget *parent) : QListWidget(parent) {}

QStringList TListBox::Items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

void TListBox::SetItems(const QStringList &items)
{
    clear();
    addItems(MaxItems > 0 && items.size() > MaxItems ? items.mid(items.size() - MaxItems) : items);
}

void TListBox::Add(const QString &s)
{
    // The oldest goes first, so an item costs the same however many came before.
    if (MaxItems > 0)
        while (count() >= MaxItems)
            delete takeItem(0);
    addItem(s);
}

QString TListBox::Item(int i) const
{
    const QListWidgetItem *it = item(i);
    return it ? it->text() : QString();
}

TFileListBox::TFileListBox(QWidget *parent) : QListWidget(parent) {}

bool TFileListBox::SetDirectory(const QString &dir)
{
    if (!QDir(dir).exists())
        return false;
    m_directory = QDir::cleanPath(dir);
    Update();
    return true;
}

void TFileListBox::Update()
{
    clear();
    if (m_directory.isEmpty())
        return;
    QDir d(m_directory);
    d.setNameFilters({Mask});
    d.setFilter(CaseSensitive ? QDir::Files | QDir::Readable | QDir::CaseSensitive : QDir::Files | QDir::Readable);
    d.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(d.entryList());
}

QString TFileListBox::Item(int i) const
{
    const QListWidgetItem *it = item(i);
    return it ? it->text() : QString();
}

namespace {
class TGridLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(0xD0, 0xD0, 0xD0));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};
} // namespace

TListView::TListView(QWidget *parent) : QTreeWidget(parent) { setRootIsDecorated(false); }

void TListView::SetGridLines(bool on)
{
    QAbstractItemDelegate *old = itemDelegate();
    setItemDelegate(on ? new TGridLineDelegate(this) : new QStyledItemDelegate(this));
    if (old && old->parent() == this)
        old->deleteLater();
}

TTreeView::TTreeView(QWidget *parent) : QTreeWidget(parent) {}

TTimer::TTimer(QObject *parent, int intervalMs, bool enabled) : QTimer(parent)
{
    // Coarse timers may fire up to 5 % early; a time-out such as the game
    // search's must not cut off answers that arrive in its last moments.
    setTimerType(Qt::PreciseTimer);
    setInterval(intervalMs);
    if (enabled)
        start();
}

void TTimer::SetEnabled(bool on)
{
    if (on && !isActive())
        start();
    else if (!on)
        stop();
}
