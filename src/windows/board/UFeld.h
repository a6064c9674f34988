#pragma once
// The board view: the records of the 81 cells with their 729 pencil marks,
// the board widget that draws them, and the board queries.
//
// The board is one painted widget (brett). The block panels, cell panels,
// cell pictures, digit labels and pencil-mark pictures and labels are plain
// records that keep exactly what such a control would show (picture,
// visibility, caption, font, colour) beside its Tag and hint text. Changing a
// record marks its cell for repainting; the widget draws the marked cells and
// turns a mouse position back into the control lying there, so the input
// handlers receive a control with the right class name, Tag and hint.

#include "board/UFeld_Layout.h"
#include "ui/Controls.h"

#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>

class TBoardWidget;
class QPainter;
struct TPlayerTableRow;

// What every drawn control of the board has: Tag, hint, visibility and its
// bounds (relative to brett for panels, to the cell panel for the rest).
class TBoardControl {
public:
    int32_t Tag = 0;
    QString Hint;

    bool Visible() const { return m_visible; }
    void SetVisible(bool on);
    QRect Bounds() const { return m_bounds; }
    int Left() const { return m_bounds.left(); }
    int Top() const { return m_bounds.top(); }
    int Width() const { return m_bounds.width(); }
    int Height() const { return m_bounds.height(); }
    void SetBounds(int left, int top, int width, int height);

    // Binds the record to the board widget and its cell (1..9, 1..9); a block
    // panel passes cell 0, 0 and repaints its whole block.
    void Attach(TBoardWidget *board, int cellX, int cellY);

protected:
    // The record changed what it shows: its part of the board is repainted.
    void Changed();

private:
    TBoardWidget *m_board = nullptr;
    int8_t m_cellX = 0;
    int8_t m_cellY = 0;
    bool m_visible = false;
    QRect m_bounds;
};

// A panel of the board (block or cell): a coloured area with a caption that
// lies under the cell's pictures and is therefore never drawn.
class TBoardPanel : public TBoardControl {
public:
    QColor Color() const { return m_color; }
    void SetColor(const QColor &c);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &c) { m_caption = c; }
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &c) { m_fontColor = c; }

private:
    QColor m_color = Qt::white;
    QString m_caption;
    QColor m_fontColor = Qt::black;
};

// A picture of the board: a picture of the options' bank (kept as it was when
// assigned, like a copied picture), a bevelled colour tile, a plain colour, or
// nothing. Always stretched over its bounds.
class TBoardImage : public TBoardControl {
public:
    enum class TKind { None, Bank, Tile, Fill };

    TKind Kind() const { return m_kind; }
    // The bank picture last assigned (nullptr unless Kind is Bank).
    const TImage *Source() const { return m_kind == TKind::Bank ? m_source : nullptr; }
    const QPixmap &Picture() const { return m_picture; }
    // Tile or fill colour, 0x00BBGGRR.
    int32_t Colour() const { return m_colour; }
    // True when the picture is that bank picture as it is now.
    bool Shows(const TImage *bank) const;

    void SetPicture(const TImage *bank);
    void SetColorTile(int32_t bgr);
    void SetFill(int32_t bgr);
    void ClearPicture();

private:
    // A picture that is only a colour (or nothing, kind None with colour 0).
    void setColoured(TKind kind, int32_t bgr);
    TKind m_kind = TKind::None;
    const TImage *m_source = nullptr;
    QPixmap m_picture;
    int32_t m_colour = 0;
};

// A transparent label of the board, text centred both ways.
class TBoardLabel : public TBoardControl {
public:
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &c);
    int FontSize() const { return m_fontSize; }
    bool Bold() const { return m_bold; }
    void SetFontSize(int points, bool bold);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &c);

private:
    QString m_caption;
    int m_fontSize = 8;
    bool m_bold = false;
    QColor m_fontColor = Qt::black;
};

// One pencil mark of a cell.
struct TMarkEntry {
    int32_t State = 0;       // 0 none, 1 colour 1, 2 colour 2
    int32_t ShownState = -1; // the state RefreshMarks last drew; any other value forces a redraw
    TBoardImage Image;       // Tag 10*row + column, hint = its digit
    TBoardLabel Label;       // Tag 10*row + column, caption and hint = its digit
};

// The controls of one cell.
struct TCellView {
    TBoardPanel Panel;
    TBoardImage Background; // Tag 100 + 10*row + column, hint "-1"
    TBoardLabel DigitLabel; // Tag 100 + 10*row + column, hint "-1"
    int32_t DigitColor = 0;
    TMarkEntry Marks[4][4]; // [mini column 1..3][mini row 1..3]
    int32_t Owner = -1;     // -1 none, 0 cleared and waiting for ResetChangedCells
    uint8_t ShowMarks = 0;
    int32_t BlinkTicks = 0;
    int32_t HighlightTicks = 0;
    uint8_t BingoMark = 0;

    // The mark of digit d (1..9): mini row (d-1) div 3 + 1, mini column (d-1) mod 3 + 1.
    TMarkEntry &Mark(int d) { return Marks[(d - 1) % 3 + 1][(d - 1) / 3 + 1]; }
    const TMarkEntry &Mark(int d) const { return Marks[(d - 1) % 3 + 1][(d - 1) / 3 + 1]; }
};

// The board panel brett.
class TBoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit TBoardWidget(QWidget *parent = nullptr);

    // The records it draws: the main window's cells [x][y] and block panels [bx][by].
    void SetModel(TCellView (*cells)[10], TBoardPanel (*blocks)[4]);

    // The panel colour (the field colour of the program options).
    void SetColor(const QColor &c);
    QColor Color() const;

    // The control at a point of brett, topmost first as the cell stacks them.
    enum class THitKind { None, Panel, Background, DigitLabel, MarkImage, MarkLabel };
    struct THit {
        THitKind Kind = THitKind::None;
        int X = 0;     // cell column 1..9
        int Y = 0;     // cell row 1..9
        int Digit = 0; // mark digit 1..9 for mark controls
    };
    THit HitTest(const QPoint &p) const;
    // The bounds of a hit's control in brett coordinates.
    QRect ControlRect(const THit &hit) const;
    // The control object the handlers receive for a hit: a stand-in of class
    // TImage or TLabel that carries the control's Tag, hint (tool tip) and size.
    // nullptr for a panel or nothing.
    QObject *ControlFor(const THit &hit);
    // What the stand-in last handed out stands for.
    THit HitOf(const QObject *control) const;
    // The last mouse event handed to a handler, with the control it went to.
    enum class TEventKind { None, Down, Up, Move };
    struct TDispatch {
        TEventKind Event = TEventKind::None;
        THit Hit;
        QPoint Local; // relative to the control
        Qt::MouseButton Button = Qt::NoButton;
    };
    TDispatch LastDispatch;
    // The control under the mouse as the last mouse event over brett left it
    // (nullptr when the mouse is elsewhere).
    QObject *ControlUnderMouse();

    // Dirty cells: changed since they were last painted.
    void InvalidateCell(int x, int y);
    void InvalidateBlock(int bx, int by);
    void InvalidateAll();
    bool IsCellDirty(int x, int y) const { return m_dirty[x][y]; }
    int DirtyCellCount() const;
    void ClearDirty();

    // Draws the part of the board inside area; paintEvent and the benchmark use it.
    void PaintBoard(QPainter &p, const QRect &area);
    // Drops the cached pictures (the bank or the sizes changed).
    void ClearPictureCache();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;

private:
    void paintCell(QPainter &p, const TCellView &cv);
    void paintImage(QPainter &p, const TBoardImage &img, const QRect &r);
    void paintLabel(QPainter &p, const TBoardLabel &lbl, const QRect &r);
    const QPixmap &scaledPicture(const QPixmap &pm, const QSize &size);
    const QPixmap &tilePicture(int32_t bgr, const QSize &size);
    const QPixmap &textPicture(const TBoardLabel &lbl, const QSize &size);
    QPoint controlOrigin(const THit &hit) const;

    TCellView (*m_cells)[10] = nullptr;
    TBoardPanel (*m_blocks)[4] = nullptr;
    TImage *m_imageStandIn = nullptr;
    TLabel *m_labelStandIn = nullptr;
    TImage *m_tileScratch = nullptr;
    THit m_imageHit;
    THit m_labelHit;
    THit m_captured;
    bool m_hasCapture = false;
    bool m_mouseInside = false;
    QPoint m_lastPos;
    bool m_dirty[10][10] = {};
    // Pictures ready to draw: bank pictures scaled to a size, colour tiles
    // per colour and size, and label texts per font, colour and size.
    struct TPictureKey {
        int Kind = 0;  // 0 scaled picture, 1 colour tile, 2 label text
        qint64 Id = 0; // picture key, tile colour, or font colour, size and weight
        int W = 0;
        int H = 0;
        QString Text;
        bool operator==(const TPictureKey &o) const = default;
        friend size_t qHash(const TPictureKey &k, size_t seed = 0)
        {
            return qHashMulti(seed, k.Kind, k.Id, k.W, k.H, k.Text);
        }
    };
    QHash<TPictureKey, QPixmap> m_cache;
};

class TFormFeld : public QWidget {
    Q_OBJECT
public:
    explicit TFormFeld(QWidget *parent = nullptr);

    // ---- board view ----
    void CreatePlayerTable();
    // Puts a player-table row on the given line (1 = under the head).
    static void PlacePlayerRow(TPlayerTableRow &row, int line);
    // Shows a name whole in a name label: the table's font, made smaller
    // where the name would not fit the label.
    static void ShowPlayerName(TLabel *label, const QString &name);
    void CreateBoardControls();
    void LayoutBoard();
    void RefreshMarks();
    void ClearAllMarkStates();
    void PaintButtonFace(TImage *image, TLabel *label);
    bool BoardControlsCreated() const { return m_boardCreated; }

    // ---- board queries ----
    bool IsCellFreeOnAllLayers(int x, int y) const;
    int MaxStateOverLayers(int x, int y) const;
    void CountLayer(int k, int &Free, int &FreeAll, int &Differing) const;

private:
    bool m_boardCreated = false;
    bool m_inLayout = false;
};

extern TFormFeld *FormFeld;

void DrawCell(int x, int y, bool showMarks);
void ShowMarkImage(int x, int y, int d);
void ResetChangedCells();

// The shown symbol of digit d (1..9): its character of the symbol set, the
// decimal digit while no symbol set is chosen.
QString SymbolOfDigit(int d);
// The hint text of a control (its tool tip).
QString ControlHint(const QObject *control);
// Font pixel size of a point size on the board (96 dots per inch).
int BoardFontPixels(int points);
