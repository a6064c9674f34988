#pragma once
// The thin widget layer: small classes over Qt widgets, named as the game's
// windows name their controls. Each carries an integer Tag and keeps its own
// class name, which GetControlTag and SetHelpCursor test.

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

// Mouse and click signals shared by labels, pictures and panels. Qt gives them
// only through event overrides, so the three controls share this base; each
// keeps its own class name.
class TMouseControl : public QLabel {
    Q_OBJECT
public:
    explicit TMouseControl(QWidget *parent = nullptr);
    int Tag = 0;

signals:
    void Click();
    void DblClick();
    void MouseEnter();
    void MouseLeave();
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    bool m_pressed = false;
    bool m_hovered = false;
};

class TLabel : public TMouseControl {
    Q_OBJECT
public:
    explicit TLabel(QWidget *parent = nullptr, const QString &caption = QString());
    QString Caption() const { return text(); }
    void SetCaption(const QString &c) { setText(c); }
    void SetFontSize(int points, bool bold);
};

// A caption label that acts as a button: hovering an enabled one makes it bold
// and larger. The sizes default to the usual 9 pt bold / 8 pt.
void MakeCaptionButton(TLabel *label, int hoverSize = 9, int normalSize = 8, bool normalBold = false);

class TImage : public TMouseControl {
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);
    void SetPicture(const QPixmap &pm);
    const QPixmap &Picture() const { return m_picture; }
    bool Stretch = true;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPixmap m_picture;
};

class TPanel : public TMouseControl {
    Q_OBJECT
public:
    explicit TPanel(QWidget *parent = nullptr);
    void SetColor(const QColor &c);
};

class TBevel : public QFrame {
    Q_OBJECT
public:
    explicit TBevel(QWidget *parent = nullptr) : QFrame(parent) { setFrameShape(QFrame::HLine); }
    int Tag = 0;
};

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget *parent = nullptr, int minValue = 0, int maxValue = 100, int value = 0);
    int Tag = 0;
    int Value() const { return value(); }
};

class TRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TRadioButton(QWidget *parent = nullptr, const QString &caption = QString());
    int Tag = 0;
};

class TCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget *parent = nullptr, const QString &caption = QString());
    int Tag = 0;
};

class TButton : public QPushButton {
    Q_OBJECT
public:
    explicit TButton(QWidget *parent = nullptr, const QString &caption = QString());
    int Tag = 0;
};

class TBitBtn : public QPushButton {
    Q_OBJECT
public:
    explicit TBitBtn(QWidget *parent = nullptr, const QString &caption = QString());
    int Tag = 0;
};

class TEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TEdit(QWidget *parent = nullptr, const QString &text = QString());
    int Tag = 0;
};

// An edit with a caption label above it, or left of it.
class TLabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TLabeledEdit(QWidget *parent = nullptr, const QString &caption = QString());
    int Tag = 0;
    TLabel *EditLabel = nullptr;
    enum class TLabelPosition { Above, Left };
    TLabelPosition LabelPosition = TLabelPosition::Above;
    // Pixels between the label and the edit.
    int LabelSpacing = 2;
    void PlaceLabel();
    // Hides what is typed behind this character.
    void SetPasswordChar(QChar c);

protected:
    void moveEvent(QMoveEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
};

class TListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TListBox(QWidget *parent = nullptr);
    int Tag = 0;
    // Most items kept (0: no limit); adding beyond it drops the oldest.
    int MaxItems = 0;
    QStringList Items() const;
    void SetItems(const QStringList &items);
    void Add(const QString &s);
    void Insert(int index, const QString &s) { insertItem(index, s); }
    int Count() const { return count(); }
    QString Item(int i) const;
};

// A list of the files of one folder that match a mask ("l*.sudoku"); the
// mask matches without regard to case.
class TFileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget *parent = nullptr);
    int Tag = 0;
    QString Mask = QStringLiteral("*.*");
    // The mask matches letter case exactly (the competition lists, which can
    // only open the spelling their mask names); off, any case matches.
    bool CaseSensitive = false;
    // Sets the folder and re-reads it; false (folder kept) when it does not exist.
    bool SetDirectory(const QString &dir);
    QString Directory() const { return m_directory; }
    void Update();
    int Count() const { return count(); }
    QString Item(int i) const;

private:
    QString m_directory;
};

class TListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TListView(QWidget *parent = nullptr);
    int Tag = 0;
    // Lines around every cell, drawn over the item so that the items' own
    // backgrounds still show (a style sheet rule for items would paint them over).
    void SetGridLines(bool on);
};

class TTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TTreeView(QWidget *parent = nullptr);
    int Tag = 0;
};

// A timer with the Enabled switch and Tag of the desktop toolkit's timer.
class TTimer : public QTimer {
    Q_OBJECT
public:
    explicit TTimer(QObject *parent = nullptr, int intervalMs = 1000, bool enabled = false);
    int Tag = 0;
    bool Enabled() const { return isActive(); }
    void SetEnabled(bool on);
};
