// The information window: every help topic as the list shows it, the way
// back from it, the help-click mode of the other windows, the links, and the
// version check against a stand-in server on 127.0.0.1.
#include "common/Fixture.h"
#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "help/UInfo_Topics.h"
#include "net/UHttpPost.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <map>

namespace {
// A tiny HTTP server: answers every request with the status and body it is
// given, after the delay it is given, and keeps what it was asked.
class TStandInServer : public QTcpServer {
public:
    int Status = 200;
    QByteArray Body;
    int DelayMs = 0;
    QList<QByteArray> Requests;
    // Bodies for the next requests, one each, before Body applies.
    QList<QByteArray> NextBodies;

    TStandInServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                auto *buffer = new QByteArray;
                connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                    buffer->append(s->readAll());
                    const int end = buffer->indexOf("\r\n\r\n");
                    if (end < 0)
                        return;
                    const QByteArray head = buffer->left(end);
                    int length = 0;
                    for (const QByteArray &line : head.split('\n'))
                        if (line.toLower().startsWith("content-length:"))
                            length = line.mid(15).trimmed().toInt();
                    if (buffer->size() < end + 4 + length)
                        return;
                    Requests << *buffer;
                    buffer->clear();
                    const QByteArray body = NextBodies.isEmpty() ? Body : NextBodies.takeFirst();
                    QTimer::singleShot(DelayMs, s, [this, s, body] { answer(s, body); });
                });
                connect(s, &QTcpSocket::disconnected, s, [s, buffer] {
                    delete buffer;
                    s->deleteLater();
                });
            }
        });
    }

    void answer(QTcpSocket *s, const QByteArray &body)
    {
        const QByteArray reason = Status == 200 ? "OK" : "Internal Server Error";
        s->write("HTTP/1.1 " + QByteArray::number(Status) + " " + reason +
                 "\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }
};

QStringList traceLines()
{
    QStringList out;
    for (const QString &l : Trace->LogBox->Items())
        out << l;
    return out;
}

int traceCount(const QString &part)
{
    int n = 0;
    for (const QString &l : traceLines())
        if (l.contains(part))
            ++n;
    return n;
}

QStringList bodyLines()
{
    return FormInfo->body->Items();
}

const QString kOwnVersion = QStringLiteral("v03.00-04");
} // namespace

class TstInfo : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    QStringList opened;

    // The windows are built once; every test starts from the board with no
    // other window open.
    void startedProgram()
    {
        fx->ClearSettings();
        fx->StartProgram();
        QVERIFY(FormStart->isVisible());
        Form1->show();
    }

    void resetWindows()
    {
        for (QWidget *w :
             {static_cast<QWidget *>(FormInfo), static_cast<QWidget *>(FormStart), static_cast<QWidget *>(FormGO)})
            w->hide();
        Form1->GameRunning = false;
        Form1->Paused = false;
        Form1->HelpCursor = 0;
        Form1->brett->show();
        fx->Dialogs.Shown.clear();
        Trace->LogBox->clear();
    }

    void useServer(const QString &url)
    {
        qputenv("SUDOKU_SERVER_URL", url.toUtf8());
        ReloadSudokuEnv();
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        startedProgram();
        SetShellOpenHandler([this](const QString &target) { opened << target; });
    }
    void cleanupTestCase()
    {
        SetShellOpenHandler({});
        fx.reset();
    }
    void init()
    {
        resetWindows();
        QVERIFY(Form1->brett->isVisible());
    }

    // ---- topics ----------------------------------------------------------------

    void topics_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("hidesBoard");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("toOptions");
        QTest::newRow("1") << 1 << "Hilfesystem :" << 5 << "   kann durch anklicken eine Hilfe abgerufen werden." << 390
                           << false << "" << false;
        QTest::newRow("2") << 2 << "Anleitung zum Zahlenspiel Sudoku :" << 13
                           << "   dürfen die Zahlen von 1 - 9 nur einmal vorkommen." << 500 << false << "" << false;
        QTest::newRow("4") << 4 << "Einzelspieler :" << 16 << "   " << 550 << false << "" << false;
        QTest::newRow("5") << 5 << "Mehrspieler :" << 13 << "   \"1. gefundenen Spiel beitreten\" abzuwählen." << 520
                           << false << "" << false;
        QTest::newRow("6") << 6 << "Sonstiges :" << 6 << "   werden, um diese zu spielen." << 420 << false << ""
                           << false;
        QTest::newRow("7") << 7 << "Übersichtstabelle :" << 5 << "   " << 420 << false << "" << false;
        QTest::newRow("8") << 8 << "Tipp anzeigen :" << 3
                           << "   mit einer Erklärung warum und mit welcher Methode diese gefunden wird." << 390 << true
                           << "" << false;
        QTest::newRow("9") << 9 << "Pause / Weiterspielen :" << 2
                           << "   Ein gestartetes Spiel kann unterbrochen und weitergeführt werden." << 380 << true
                           << "" << false;
        QTest::newRow("10") << 10 << "Spiel beenden :" << 2 << "   Ein gestartetes Spiel kann abgebrochen werden."
                            << 380 << true << "" << false;
        QTest::newRow("11") << 11 << "Programm beenden :" << 2 << "   Quadrivo wird beendet." << 380 << true << ""
                            << false;
        QTest::newRow("12") << 12 << "Sudoku :" << 2 << "   Sudoku Spiel mit Zahlen von 1 - 9." << 380 << true << ""
                            << false;
        QTest::newRow("13") << 13 << "Bingo :" << 6 << "   leer gespielt ist." << 400 << true << "" << true;
        QTest::newRow("14") << 14 << "Bewertung :" << 8 << "   Bonus = Punkte * nicht verwendeter Merker " << 760
                            << false << "bewertung" << false;
        QTest::newRow("15") << 15 << "Editor :" << 18 << "   eine Datei zufällig ausgewählt." << 740 << false
                            << "editor" << false;
    }
    void topics()
    {
        QFETCH(int, n);
        QFETCH(QString, title);
        QFETCH(int, lines);
        QFETCH(QString, lastLine);
        QFETCH(int, height);
        QFETCH(bool, hidesBoard);
        QFETCH(QString, picture);
        QFETCH(bool, toOptions);

        // The rules are asked for from the open window.
        if (n == 2)
            FormInfo->show();
        FormInfo->ShowHelp(n);
        QVERIFY(FormInfo->isVisible());
        QCOMPARE(FormInfo->Kopf->text(), "  " + title);
        const QStringList body = bodyLines();
        QCOMPARE(body.size(), lines);
        QCOMPARE(body.first(), QString());
        QCOMPARE(body.last(), lastLine);
        for (int i = 1; i < body.size(); ++i)
            QVERIFY2(body[i].startsWith("   "), qPrintable(body[i]));
        QCOMPARE(FormInfo->height(), height);
        QCOMPARE(Form1->brett->isVisible(), !hidesBoard);
        QCOMPARE(FormInfo->ReturnTo, toOptions ? 13 : 0);
        const QList<TImage *> pictures = {FormInfo->varianten, FormInfo->optionen,    FormInfo->sonstiges,
                                          FormInfo->spielart,  FormInfo->suchespiele, FormInfo->level,
                                          FormInfo->editor,    FormInfo->bewertung,   FormInfo->challenge};
        for (TImage *pic : pictures) {
            const bool shown = !picture.isEmpty() && pic->objectName() == picture;
            QCOMPARE(pic->isVisible(), shown);
            if (shown) {
                QVERIFY(!pic->Picture().isNull());
                QCOMPARE(pic->height(), picture == "bewertung" ? 330 : 135);
                QCOMPARE(pic->y(), FormInfo->Kopf->geometry().bottom() + 1);
                QCOMPARE(FormInfo->body->y(), pic->geometry().bottom() + 1);
            }
        }

        // "Schliessen" outside a game leads to the start screen, after the
        // Bingo topic to the game options.
        FormInfo->bt_schliessenClick();
        QVERIFY(!FormInfo->isVisible());
        QCOMPARE(FormGO->isVisible(), toOptions);
        QCOMPARE(FormStart->isVisible(), !toOptions);
        FormGO->hide();
        FormStart->hide();

        // During a game it shows the board again, unless it leads to the options.
        Form1->GameRunning = true;
        FormInfo->ShowHelp(n);
        FormInfo->bt_schliessenClick();
        QCOMPARE(Form1->brett->isVisible(), !(hidesBoard && toOptions));
        QCOMPARE(FormGO->isVisible(), toOptions);
        QVERIFY(!FormStart->isVisible());
        Form1->GameRunning = false;
        FormGO->hide();
        Form1->brett->show();
    }

    void rulesButtonUsesItsTag()
    {
        FormInfo->ShowHelp(1);
        QCOMPARE(FormInfo->bt_regeln->Tag, 2);
        FormInfo->bt_regelnClick();
        QCOMPARE(FormInfo->Kopf->text(), QString("  Anleitung zum Zahlenspiel Sudoku :"));
        QCOMPARE(FormInfo->height(), 500);
        // Without the window open, the rules are filled in but not shown.
        FormInfo->hide();
        FormInfo->ShowHelp(2);
        QVERIFY(!FormInfo->isVisible());
    }

    void unknownTopicLeavesEmptyBody()
    {
        FormInfo->ShowHelp(1);
        FormInfo->ShowHelp(3);
        QVERIFY(bodyLines().isEmpty());
        QCOMPARE(FormInfo->ReturnTo, 0);
    }

    void topicFromGameOptionsDuringGame()
    {
        FormGO->show();
        Form1->GameRunning = true;
        Form1->HelpCursor = -20;
        FormGO->ButtonClick(FormGO->Sud_1);
        Form1->HelpCursor = 0;
        QCOMPARE(FormInfo->Kopf->text(), QString("  Sudoku :"));
        QVERIFY(!Form1->brett->isVisible());
        FormInfo->bt_schliessenClick();
        QVERIFY(Form1->brett->isVisible());
        QVERIFY(FormGO->isVisible());
        Form1->GameRunning = false;
        FormGO->hide();
    }

    void titleBarCloseBringsBoardBack()
    {
        Form1->GameRunning = true;
        FormInfo->ShowHelp(9);
        QVERIFY(!Form1->brett->isVisible());
        QCloseEvent e;
        QCoreApplication::sendEvent(FormInfo, &e);
        QVERIFY(Form1->brett->isVisible());
        Form1->GameRunning = false;
        FormInfo->hide();
    }

    // The editor picture shows the green cell to find and the stone-grey given
    // cell, each a solid square, not painted over by the mouse's button colour.
    void editorPictureCells()
    {
        const QImage im = DrawEditorPicture(500, 135).toImage();
        QCOMPARE(im.size(), QSize(500, 135));
        auto hasSquareOf = [&im](QRgb colour) {
            for (int y = 0; y + 20 < im.height(); ++y)
                for (int x = 0; x + 20 < im.width(); ++x)
                    if (im.pixel(x, y) == colour && im.pixel(x + 20, y) == colour && im.pixel(x, y + 20) == colour &&
                        im.pixel(x + 20, y + 20) == colour)
                        return true;
            return false;
        };
        QVERIFY(hasSquareOf(qRgb(120, 200, 120)));
        QVERIFY(hasSquareOf(qRgb(222, 218, 210)));
    }

    void placedLeftOfToolPanel()
    {
        Form1->move(120, 40);
        FormInfo->ShowHelp(1);
        FormInfo->FormActivate();
        QCOMPARE(FormInfo->x() + FormInfo->width(), Form1->x() + Form1->ToolPanel->x());
        // A main window too far left: the window starts at 1.
        Form1->move(0, 40);
        FormInfo->resize(Form1->ToolPanel->x() + 50, FormInfo->height());
        FormInfo->FormActivate();
        QCOMPARE(FormInfo->x(), 1);
        FormInfo->ShowHelp(1);
    }

    void versionLabel() { QCOMPARE(FormInfo->Label1->text(), kOwnVersion); }

    void bodyFormatting_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("break and indent") << "a~#b" << QStringList{"", "   a", "       b"};
        QTest::newRow("empty line") << "a~~b" << QStringList{"", "   a", "   ", "   b"};
        QTest::newRow("trailing break") << "a~" << QStringList{"", "   a", "   "};
        QTest::newRow("empty") << "" << QStringList{"", "   "};
    }
    void bodyFormatting()
    {
        QFETCH(QString, body);
        QFETCH(QStringList, lines);
        QCOMPARE(FormatHelpBody(body), lines);
        QCOMPARE(FormatHelpTitle("Editor :"), QString("  Editor :"));
    }

    // ---- help-click mode of the other windows ------------------------------------

    void helpClicks_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("topic");
        QTest::newRow("options overview") << "overview" << 7;
        QTest::newRow("hint") << "hint" << 8;
        QTest::newRow("pause") << "pause" << 9;
        QTest::newRow("end game") << "end" << 10;
        QTest::newRow("close") << "close" << 11;
        QTest::newRow("game options: Sudoku") << "sudoku" << 12;
        QTest::newRow("game options: Bingo") << "bingo" << 13;
        QTest::newRow("game options: rating") << "rating" << 14;
        QTest::newRow("start: single tab") << "single tab" << 4;
        QTest::newRow("start: single choice") << "single choice" << 4;
        QTest::newRow("start: multi tab") << "multi tab" << 5;
        QTest::newRow("start: multi choice") << "multi choice" << 5;
        QTest::newRow("start: other tab") << "other tab" << 6;
        QTest::newRow("start: editor") << "editor" << 15;
        QTest::newRow("editor: test") << "editor test" << 15;
    }
    void helpClicks()
    {
        QFETCH(QString, control);
        QFETCH(int, topic);
        Form1->GameRunning = true;
        Form1->BTC_Tipp->setEnabled(true);
        FormStart->show();
        FormGO->show();
        Form1->HelpCursor = -20;
        if (control == "overview")
            Form1->Pic_einstellClick();
        else if (control == "hint")
            Form1->BTC_TippClick(Form1->BTC_Tipp);
        else if (control == "pause")
            Form1->BTC_PauseClick();
        else if (control == "end")
            Form1->BTC_Spiel_EndeClick();
        else if (control == "close")
            Form1->BTC_CloseClick();
        else if (control == "sudoku")
            FormGO->ButtonClick(FormGO->BTC35);
        else if (control == "bingo")
            FormGO->ButtonClick(FormGO->Sud_4);
        else if (control == "rating")
            FormGO->ButtonClick(FormGO->Reg_1);
        else if (control == "single tab")
            FormStart->Tab_EinzelspielerClick(FormStart->Tab_Einzelspieler);
        else if (control == "single choice")
            FormStart->Pic_normalClick(FormStart->Pic_Ghost);
        else if (control == "multi tab")
            FormStart->Tab_EinzelspielerClick(FormStart->Tab_Mehrspieler);
        else if (control == "multi choice")
            FormStart->BTC_suchenClick(FormStart->BTC_suchen);
        else if (control == "other tab")
            FormStart->Tab_EinzelspielerClick(FormStart->Tab_Sonstiges);
        else if (control == "editor")
            FormStart->BTC_EditorClick();
        else if (control == "editor test")
            Form1->BTC_TestenClick();
        Form1->HelpCursor = 0;
        QVERIFY(FormInfo->isVisible());
        QCOMPARE(FormInfo->Kopf->text(), FormatHelpTitle(QString::fromUtf8(FindHelpTopic(topic)->Title)));
        QVERIFY(fx->Dialogs.Shown.empty());
        QVERIFY(!Form1->Paused);
        QVERIFY(!Form1->EditorMode);
        Form1->GameRunning = false;
        FormInfo->hide();
        Form1->brett->show();
    }

    // Ctrl alone over a control with a topic turns help mode on, and a click
    // then shows the topic; a plain press turns it off again, whatever a move
    // over another control left behind.
    void helpModeUnderCtrlOnly_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("topic");
        QTest::newRow("art_label") << "art" << 7;
        QTest::newRow("grad_label") << "grad" << 7;
        QTest::newRow("Regel_label") << "regel" << 7;
        QTest::newRow("Auswertung_Label") << "auswertung" << 7;
        QTest::newRow("spielfeld_Label") << "spielfeld" << 7;
        QTest::newRow("Merker_label") << "merker" << 7;
        QTest::newRow("neue Zahl / Feld") << "label5" << 13;
        QTest::newRow("Bingo panel") << "panel3" << 13;
    }
    void helpModeUnderCtrlOnly()
    {
        QFETCH(QString, control);
        QFETCH(int, topic);
        const std::map<QString, TMouseControl *> controls = {{"art", Form1->art_label},
                                                             {"grad", Form1->grad_label},
                                                             {"regel", Form1->Regel_label},
                                                             {"auswertung", Form1->Auswertung_Label},
                                                             {"spielfeld", Form1->spielfeld_Label},
                                                             {"merker", Form1->Merker_label},
                                                             {"label5", FormGO->Label5},
                                                             {"panel3", FormGO->Panel3}};
        TMouseControl *c = controls.at(control);
        FormGO->show();
        FormGO->SetGameType(4); // "neue Zahl / Feld" is enabled with Bingo only
        auto send = [c](QEvent::Type type, Qt::KeyboardModifiers shift) {
            const QPointF p(2, 2);
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent e(type, p, c->mapToGlobal(p), button, buttons, shift);
            QCoreApplication::sendEvent(c, &e);
        };
        auto click = [&send](Qt::KeyboardModifiers shift) {
            send(QEvent::MouseButtonPress, shift);
            send(QEvent::MouseButtonRelease, shift);
        };

        send(QEvent::MouseMove, Qt::ControlModifier);
        QCOMPARE(int(Form1->HelpCursor), -20);
        QCOMPARE(c->cursor().shape(), Qt::WhatsThisCursor);
        click(Qt::ControlModifier);
        QVERIFY(FormInfo->isVisible());
        QCOMPARE(FormInfo->Kopf->text(), FormatHelpTitle(QString::fromUtf8(FindHelpTopic(topic)->Title)));
        FormInfo->hide();

        send(QEvent::MouseMove, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(int(Form1->HelpCursor), 0);
        QCOMPARE(c->cursor().shape(), Qt::ArrowCursor);

        // Help mode left on by a move elsewhere; a plain click here acts plainly.
        Form1->HelpCursor = -20;
        click(Qt::NoModifier);
        QCOMPARE(int(Form1->HelpCursor), 0);
        QVERIFY(!FormInfo->isVisible());
        FormGO->SetGameType(1);
        FormGO->hide();
    }

    // A caption button whose click hides its own window gets no leave event;
    // the window must come back with the button in its resting font.
    void captionButtonRestsWhenItsWindowHides_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("help: Schliessen") << "info close";
        QTest::newRow("game options: Zurück") << "options back";
        QTest::newRow("start: Optionen") << "start options";
        QTest::newRow("internet: Zurück") << "internet back";
        QTest::newRow("overlay: Nein") << "overlay no";
    }
    void captionButtonRestsWhenItsWindowHides()
    {
        QFETCH(QString, button);
        TLabel *label = nullptr;
        QWidget *window = nullptr;
        std::function<void()> click, reopen;
        if (button == "info close") {
            label = FormInfo->bt_schliessen;
            window = FormInfo;
            click = [] { FormInfo->bt_schliessenClick(); };
            reopen = [] { FormInfo->ShowHelp(1); };
        } else if (button == "options back") {
            label = FormGO->BTC_Zurueck;
            window = FormGO;
            click = [] { FormGO->BTC_ZurueckClick(); };
            reopen = [] { FormGO->show(); };
        } else if (button == "start options") {
            label = FormStart->BTC_Optionen;
            window = FormStart;
            click = [] { FormStart->BTC_OptionenClick(); };
            reopen = [] { FormStart->show(); };
        } else if (button == "internet back") {
            label = WEBForm->BTC_Zurueck;
            window = WEBForm;
            click = [] { WEBForm->BTC_ZurueckClick(); };
            reopen = [] { WEBForm->show(); };
        } else {
            label = FormMeld->bt_Nein;
            window = FormMeld;
            click = [] { FormMeld->bt_NeinClick(); };
            reopen = [] { FormMeld->AskClearWrongSolution(); };
        }
        reopen();
        QVERIFY(window->isVisible());
        const QFont resting = label->font();
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(label, &enter);
        QVERIFY(label->font().bold());
        QVERIFY(label->font() != resting);
        click();
        QVERIFY(!window->isVisible());
        reopen();
        QCOMPARE(label->font(), resting);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != Form1)
                w->hide();
    }

    void infoButtonShowsHelpSystem()
    {
        FormStart->show();
        Form1->BTC_InfoClick();
        QVERIFY(!FormStart->isVisible());
        QCOMPARE(FormInfo->Kopf->text(), QString("  Hilfesystem :"));
        FormInfo->bt_schliessenClick();
        QVERIFY(FormStart->isVisible());
    }

    // ---- links ----------------------------------------------------------------------

    void links()
    {
        opened.clear();
        FormInfo->bt_homepageClick();
        FormInfo->bt_forumClick();
        QCOMPARE(opened, (QStringList{TFormInfo::kHomepageUrl, TFormInfo::kForumUrl}));
    }

    // ---- version check ------------------------------------------------------------

    void versionReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("version");
        QTest::newRow("two lines") << "1\n3.1" << true << "3.1";
        QTest::newRow("keyed") << "ok=1\nver=3.1" << true << "3.1";
        QTest::newRow("CR LF and final break") << "1\r\n3.1\r\n" << true << "3.1";
        QTest::newRow("only the first =") << "a=1\nv=3=1" << true << "3=1";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("lone 1") << "1" << false << "";
        QTest::newRow("1 and a break") << "1\n" << false << "";
        QTest::newRow("0") << "0" << false << "";
        QTest::newRow("0 with version") << "0\n3.1" << false << "";
        QTest::newRow("1 with blank") << "1 \n3.1" << false << "";
    }
    void versionReplies()
    {
        QFETCH(QString, reply);
        QFETCH(bool, ok);
        QFETCH(QString, version);
        const TVersionReply r = ParseVersionReply(reply);
        QCOMPARE(r.Ok, ok);
        QCOMPARE(r.Version, version);
        QCOMPARE(VersionReplyText(r, kOwnVersion),
                 ok ? "Internet Version :" + version + " Version auf diesen Rechner :" + kOwnVersion
                    : QString("Fehler: Falsche Antwort auf Url"));
    }

    void scriptAddress_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("address");
        QTest::newRow("with slash") << "http://127.0.0.1:8080/sudoku/"
                                    << "http://127.0.0.1:8080/sudoku/chkversion.php";
        QTest::newRow("without slash") << "http://127.0.0.1:8080/sudoku"
                                       << "http://127.0.0.1:8080/sudoku/chkversion.php";
    }
    void scriptAddress()
    {
        QFETCH(QString, base);
        QFETCH(QString, address);
        QCOMPARE(ServerScriptAddress(base, "chkversion.php"), address);
    }

    void versionCheck_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown"); // empty: the body stays as it was
        const QString wrong = "Fehler: Falsche Antwort auf Url";
        QTest::newRow("two lines") << 200 << QByteArray("1\n3.1")
                                   << "Internet Version :3.1 Version auf diesen Rechner :" + kOwnVersion;
        QTest::newRow("keyed") << 200 << QByteArray("ok=1\r\nver=3.1\r\n")
                               << "Internet Version :3.1 Version auf diesen Rechner :" + kOwnVersion;
        QTest::newRow("rich text stays plain")
            << 200 << QByteArray("1\n<b>3.1</b>")
            << "Internet Version :<b>3.1</b> Version auf diesen Rechner :" + kOwnVersion;
        QTest::newRow("empty") << 200 << QByteArray() << wrong;
        QTest::newRow("lone 1") << 200 << QByteArray("1") << wrong;
        QTest::newRow("0") << 200 << QByteArray("0") << wrong;
        QTest::newRow("HTTP 500") << 500 << QByteArray("1\n3.1") << QString();
        QTest::newRow("HTTP 404") << 404 << QByteArray("1\n3.1") << QString();
        QTest::newRow("redirect not followed") << 302 << QByteArray("1\n3.1") << QString();
        QTest::newRow("endless reply") << 200 << QByteArray("1\n") + QByteArray(400 * 1024, 'x') << QString();
    }
    void versionCheck()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        TStandInServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.Status = status;
        server.Body = reply;
        useServer(server.Url());
        FormInfo->ShowHelp(1);
        const QStringList before = bodyLines();

        FormInfo->bt_versionchkClick();
        QTRY_COMPARE(server.Requests.size(), 1);
        QTRY_COMPARE(FormInfo->PendingVersionChecks(), 0);
        QCoreApplication::processEvents();

        const QByteArray request = server.Requests.first();
        QVERIFY(request.startsWith("POST /chkversion.php HTTP/1.1\r\n"));
        QVERIFY(request.toLower().contains("content-length: 0\r\n"));
        QCOMPARE(bodyLines(), shown.isEmpty() ? before : QStringList{shown});
        const bool answered = status == 200 && reply.size() < 1024;
        QCOMPARE(traceCount("URL=" + server.Url() + "chkversion.php"), answered ? 1 : 0);
        QCOMPARE(traceCount("Antwort="), answered ? 1 : 0);
        QCOMPARE(traceCount("Falsche Antwort auf Url"), shown.startsWith("Fehler") ? 1 : 0);
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    // Address and reply join the log without a time, the reply's lines as
    // lines of the log.
    void versionCheckTraceIsAppended()
    {
        TStandInServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.Body = "ok=1\r\nver=3.1\r\n";
        useServer(server.Url());
        Trace->TraceLine("davor");
        FormInfo->bt_versionchkClick();
        QTRY_COMPARE(FormInfo->PendingVersionChecks(), 0);
        QStringList log = Trace->LogBox->Items();
        QVERIFY(log.size() >= 3);
        log = log.mid(log.indexOf("URL=" + server.Url() + "chkversion.php"));
        QCOMPARE(log, (QStringList{"URL=" + server.Url() + "chkversion.php", "Antwort=ok=1", "ver=3.1"}));
        QVERIFY(Trace->LogBox->Item(0).endsWith("µs davor"));
    }

    void closedPortEndsSilently()
    {
        quint16 port;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        useServer(QStringLiteral("http://127.0.0.1:%1/").arg(port));
        FormInfo->ShowHelp(1);
        const QStringList before = bodyLines();
        FormInfo->bt_versionchkClick();
        QTRY_COMPARE(FormInfo->PendingVersionChecks(), 0);
        QCOMPARE(bodyLines(), before);
        QCOMPARE(traceCount("Antwort="), 0);
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    void destinationOutsideLoopbackIsRefused()
    {
        QVERIFY(SudokuEnv().LoopbackOnly);
        useServer(QStringLiteral("http://192.0.2.1/"));
        FormInfo->ShowHelp(1);
        const QStringList before = bodyLines();
        FormInfo->bt_versionchkClick();
        QCOMPARE(FormInfo->PendingVersionChecks(), 0);
        QTRY_COMPARE(traceCount("verweigert"), 1);
        QCOMPARE(bodyLines(), before);
    }

    void delayedReplyKeepsWindowResponsive()
    {
        TStandInServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.Body = "1\n3.2";
        server.DelayMs = 1000;
        useServer(server.Url());
        FormInfo->ShowHelp(1);
        QElapsedTimer clock;
        clock.start();
        FormInfo->bt_versionchkClick();
        // The click returns at once; timers keep running and the window answers.
        QVERIFY(clock.elapsed() < 500);
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(50);
        QTRY_VERIFY(server.Requests.size() == 1);
        FormInfo->ShowHelp(6);
        QCOMPARE(FormInfo->Kopf->text(), QString("  Sonstiges :"));
        QTRY_COMPARE_WITH_TIMEOUT(
            bodyLines(), QStringList{"Internet Version :3.2 Version auf diesen Rechner :" + kOwnVersion}, 5000);
        QVERIFY(ticks >= 10);
    }

    void twoQuickClicksBothComplete()
    {
        TStandInServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.DelayMs = 200;
        server.NextBodies = {"1\n3.3", "1\n3.4"};
        useServer(server.Url());
        FormInfo->ShowHelp(1);
        FormInfo->bt_versionchkClick();
        FormInfo->bt_versionchkClick();
        QCOMPARE(FormInfo->PendingVersionChecks(), 2);
        QTRY_COMPARE(FormInfo->PendingVersionChecks(), 0);
        QCOMPARE(server.Requests.size(), 2);
        QCOMPARE(traceCount("Antwort="), 2);
        QCOMPARE(bodyLines().size(), 1);
        QVERIFY(bodyLines().first().startsWith("Internet Version :3."));
    }

    void replyAfterCloseChangesNothing()
    {
        TStandInServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.Body = "1\n3.5";
        server.DelayMs = 300;
        useServer(server.Url());
        FormInfo->ShowHelp(1);
        const QStringList before = bodyLines();
        FormInfo->bt_versionchkClick();
        QTRY_COMPARE(server.Requests.size(), 1);
        FormInfo->bt_schliessenClick();
        QCOMPARE(FormInfo->PendingVersionChecks(), 0);
        QTest::qWait(600);
        QCOMPARE(bodyLines(), before);
        QCOMPARE(traceCount("Antwort="), 0);
    }
};

QTEST_MAIN(TstInfo)
#include "tst_info.moc"
