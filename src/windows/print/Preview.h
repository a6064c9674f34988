#pragma once
// A print preview of the program's own that knows nothing of the game: a
// caller records a document page by page in page units (0.01 mm by default),
// the preview shows the stored pages on a sheet of paper with zoom, scrolling
// and grab-dragging, and prints them with a progress event that may abort.
// Pages are kept serialized, in memory or in a temporary file.

#include "print/PreviewGeometry.h"

#include <QByteArray>
#include <QCursor>
#include <QFont>
#include <QIODevice>
#include <QPicture>
#include <QPixmap>
#include <QScrollArea>
#include <QTemporaryFile>
#include <QWidget>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

// The page store: every page a serialized picture, back to back in one
// stream. Only one page at a time is a live picture object.
class TMetafileList : public QObject {
    Q_OBJECT
public:
    explicit TMetafileList(QObject *parent = nullptr);
    ~TMetafileList() override;

    // A page that cannot be stored still takes its index (and reports the
    // failure): reading it back fails.
    int Add(const QPicture &page);
    int Count() const { return int(m_offsets.size()); }
    // The page, valid until another page is read; nullptr for a page that does
    // not exist, or that cannot be read back whole and undamaged (reported).
    const QPicture *GetMetafile(int index);
    // Rewrites a stored page in place; later pages move by the length change.
    bool ReplaceMetafile(int index, const QPicture &page);
    void Clear();

    bool UseTempFile() const { return m_useTempFile; }
    // False (reported) when the pages could not be moved; they stay then.
    bool SetUseTempFile(bool on);
    QString TempFileName() const { return m_tempFile ? m_tempFile->fileName() : QString(); }
    qint64 Offset(int index) const { return m_offsets.at(size_t(index)); }
    qint64 StreamSize() const { return m_end; }
    // True for a page whose bytes could not be stored.
    bool WriteFailed(int index) const;
    QString LastError() const { return m_lastError; }

signals:
    void Changed();
    void CurrentChanged(int index);
    // Every write or read that failed: the page's index (-1 for all pages)
    // and the German text for the user.
    void Failed(int index, const QString &text);

private:
    QIODevice *stream();
    std::unique_ptr<QIODevice> makeStream(bool tempFile);
    qint64 pageLength(int index) const;
    void fail(int index, const QString &text);

    std::vector<qint64> m_offsets;
    qint64 m_end = 0; // where the next page goes, whatever the stream holds
    std::vector<int> m_unwritten;
    std::unique_ptr<QIODevice> m_stream;
    QTemporaryFile *m_tempFile = nullptr; // the stream when it is a file
    int m_loadedIndex = -1;
    QPicture m_loaded;
    bool m_useTempFile = false;
    QString m_lastError;
};

// The sheet: paper with a border and a drop shadow, drawn into an off-screen
// pixmap once per change.
class TPaperPreview : public QWidget {
    Q_OBJECT
public:
    explicit TPaperPreview(QWidget *parent = nullptr);

    QColor PaperColor = Qt::white;
    QColor BorderColor = Qt::black;
    QColor ShadowColor;
    int BorderSize = 1;
    int ShadowSize = 3;

    QRect GetPageRect() const;
    void SetPaperSize(int w, int h);
    int PaperWidth() const { return width() - 2 * BorderSize - ShadowSize; }
    int PaperHeight() const { return height() - 2 * BorderSize - ShadowSize; }
    void InvalidatePage();
    void InvalidateFrame();
    bool BitmapValid() const { return !m_bitmap.isNull(); }
    // The paper as shown, for tests and the benchmark.
    const QPixmap &Bitmap();

signals:
    void PaintPage(QPainter &p, const QRect &pageRect);
    void MouseDown(QMouseEvent *e);
    void MouseMove(QMouseEvent *e);
    void MouseUp(QMouseEvent *e);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void render();
    void drawFrame(QPainter &p);
    QPixmap m_bitmap;
    bool m_frameDrawn = false;
    bool m_pageDrawn = false;
};

// The hand and the grabbing hand over the paper.
QCursor PreviewHandCursor();
QCursor PreviewGrabCursor();

class TPrintPreview : public QScrollArea {
    Q_OBJECT
public:
    explicit TPrintPreview(QWidget *parent = nullptr);
    ~TPrintPreview() override;

    // ---- page and units ----
    TUnits Units() const { return m_units; }
    void SetUnits(TUnits u);
    TPrinterOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TPrinterOrientation o);
    TPaperType PaperType() const { return m_paperType; }
    void SetPaperType(TPaperType t);
    void SetPaperSize(int w, int h);
    int PaperWidth() const { return m_extentX; }
    int PaperHeight() const { return m_extentY; }
    QRect PageBounds() const { return QRect(0, 0, m_extentX, m_extentY); }
    QSize PagePixels() const { return QSize(m_pixelsX, m_pixelsY); }
    QString PrintJobTitle;
    bool UsePrinterOptions = false;
    bool DirectPrint = false;
    bool GrayscalePreview = false;
    bool GrayscalePrint = false;
    QFont Font{QStringLiteral("Arial"), 8};
    // The dots per inch of a grey page at most: a grey A4 page at printer
    // resolution would need hundreds of megabytes.
    int GrayscaleDpiCap = 300;
    // The largest grey page tried, in bytes (one a pixel).
    qint64 GrayscaleByteLimit = 64ll << 20;
    void SetUseTempFile(bool on) { m_store.SetUseTempFile(on); } // a failure reaches OnPrintError
    // Overlays drawn by the caller over (annotation) or under (background)
    // the shown page, recorded anew for every page shown.
    bool Annotation() const { return m_annotationOn; }
    void SetAnnotation(bool on);
    bool Background() const { return m_backgroundOn; }
    void SetBackground(bool on);
    void UpdateAnnotation(int pageNo);
    void UpdateBackground(int pageNo);
    TMetafileList &Store() { return m_store; }

    // ---- recording ----
    int State() const { return m_state; }
    bool Aborted() const { return m_aborted; }
    void BeginDoc();
    QPainter *Canvas() const { return m_canvas; }
    void NewPage();
    void EndDoc();
    void Abort();
    // A font of the component's family at that point size, in page units.
    QFont PageFont(int points) const;

    // ---- printing ----
    // The printer printing goes to: the PDF file of SUDOKU_PRINT_PDF when set,
    // else a queue of the print system, the default one (or the first) at the
    // first call, kept from then on; its settings are the page settings.
    QPrinter *Printer();
    // False only when there is no printer at all: nothing is printed then.
    bool HasPrinter();
    // The queue jobs go to; empty when printing goes to a PDF file or when
    // there is no printer.
    QString Queue() const { return m_queue; }
    // The system's printers, and choosing one of them by name (not while
    // printing goes to a PDF file).
    static QStringList PrinterNames();
    bool SelectPrinter(const QString &name);
    void Print();
    void PrintPages(int first, int last);
    int TotalPages() const;
    QString LastError() const { return m_lastError; }
    // The named forms the printer knows, with the ones this program added.
    TPaperForms &Forms() { return m_forms; }
    QString FormName() const { return m_formName; }
    QString AutoFormName() const { return m_autoFormName; }
    // The form matching the page size, added as an automatic form when none fits.
    QString FindFormName();
    // Writes page size, orientation and form to the printer.
    void WritePrinterSettings();
    void ReadPrinterSettings();
    // Plays a stored page into a rectangle of any device.
    void DrawPage(QPainter &p, const QPicture &page, const QRectF &target) const;
    // The page as an 8-bit grey image of that size; a null image when it
    // cannot be made.
    QImage GrayPage(const QPicture &page, const QSize &size) const;

    // ---- display ----
    TPaperPreview *Paper() const { return m_paper; }
    TZoomState ZoomState() const { return m_zoomState; }
    void SetZoomState(TZoomState s);
    int Zoom() const { return m_zoom; }
    void SetZoom(int v);
    int ZoomMin() const { return m_zoomMin; }
    void SetZoomMin(int v);
    int ZoomMax() const { return m_zoomMax; }
    void SetZoomMax(int v);
    int ZoomStep = 10;
    bool ZoomSavePos = true;
    int Margin = 8;
    int CurrentPage() const { return m_currentPage; }
    void SetCurrentPage(int n);
    bool CanScrollX() const { return m_scrollX; }
    bool CanScrollY() const { return m_scrollY; }
    bool Grabbing() const { return m_grabbing; }
    void UpdateLayout();
    QCursor Cursor;
    QCursor DragCursor;
    QCursor GrabCursor;

signals:
    void OnBeginDoc();
    void OnEndDoc();
    void OnNewPage();
    void OnEndPage();
    void OnAbort();
    void OnChange();
    void OnZoomChange();
    void OnBeforePrint();
    void OnAfterPrint();
    // May set abort to stop the run after the current page.
    void OnPrintProgress(int pageNo, int progress, bool &abort);
    void OnAutoCustomForm(const QString &name, int operation);
    // A print run or a page store write or read that failed, in German.
    void OnPrintError(const QString &text);
    void OnAnnotation(int pageNo, QPainter *canvas);
    void OnBackground(int pageNo, QPainter *canvas);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    void extentChanged();
    void setExtentFromPaper();
    void openPage();
    void closePage();
    bool doProgress(int pageNo, int done, int total);
    void paintPage(QPainter &p, const QRect &rect);
    void storeChanged();
    void storeFailed(int index, const QString &text);
    void paperMouseDown(QMouseEvent *e);
    void paperMouseMove(QMouseEvent *e);
    void paperMouseUp(QMouseEvent *e);
    void fail(const QString &text);
    std::unique_ptr<QPicture> recordOverlay(bool on, int pageNo, void (TPrintPreview::*signal)(int, QPainter *));
    void updateOverlays();
    void setupPrinterPainter(QPainter &p);
    QPrinter *openJob();
    void closeJob(bool completed);

    TMetafileList m_store;
    TPaperForms m_forms;
    QString m_formName, m_autoFormName;
    TUnits m_units = mmHiMetric;
    TPrinterOrientation m_orientation = poPortrait;
    TPaperType m_paperType = pA4;
    int m_extentX = 21000, m_extentY = 29700;
    int m_pixelsX = 1, m_pixelsY = 1;
    int m_state = 0;
    bool m_aborted = false;
    bool m_direct = false;
    int m_directPages = 0;
    QPainter *m_canvas = nullptr;
    QPicture *m_page = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    QString m_queue;
    std::unique_ptr<QPrinter> m_job; // a run for a queue draws here
    std::unique_ptr<QTemporaryFile> m_jobFile;
    QPrinter *m_target = nullptr; // the device of the run under way
    QString m_lastError;
    bool m_annotationOn = false, m_backgroundOn = false;
    std::unique_ptr<QPicture> m_annotation, m_background;
    bool m_painting = false;
    int m_badShownPage = -1; // the page whose failed read the display told

    QWidget *m_host = nullptr;
    TPaperPreview *m_paper = nullptr;
    TZoomState m_zoomState = zsZoomToFit;
    int m_zoom = 100, m_zoomMin = 10, m_zoomMax = 500;
    int m_currentPage = 0;
    bool m_scrollX = false, m_scrollY = false;
    bool m_grabbing = false;
    QPoint m_grabPoint;
    TWheelAccumulator m_wheel;
};
