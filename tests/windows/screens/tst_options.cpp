// The program options: the colour tiles at their pixels, the player colours,
// the switches, colours, gaps and fonts with their stored values, the
// nickname and port rules, the address list, the picture bank and the skin.
#include "common/Fixture.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "screens/OptionsTestSupport.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QHostInfo>
#include <QUdpSocket>
#include <QtTest>

namespace {

QRgb pixel(const TImage *im, int x, int y)
{
    return im->Picture().toImage().pixel(x, y);
}

} // namespace

class TstOptions : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    bool firstStartDone = false;

    void start(bool clearStore = true)
    {
        firstStartDone = false;
        fx->Dialogs.ColorConfirmed = false;
        StartProgram(*fx, clearStore);
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
    }
    void cleanupTestCase() { fx.reset(); }
    void cleanup()
    {
        if (Form1)
            Form1->HelpCursor = 0;
        if (NETZ && NETZ->IsListenerActive())
            NETZ->SetListenerActive(false);
        for (QWidget *w : {static_cast<QWidget *>(FormOpt), static_cast<QWidget *>(FormStart)})
            if (w)
                w->hide();
    }

    // ---- colour tiles ----

    void tilePixels_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("expected"); // 0x00RRGGBB
        // Black: light rings 92, 62, 31 from the outside in; dark edges stay black.
        QTest::newRow("black left, ring 0") << 0x000000 << 0 << 8 << 0x5C5C5C;
        QTest::newRow("black left, ring 1") << 0x000000 << 1 << 8 << 0x3E3E3E;
        QTest::newRow("black left, ring 2") << 0x000000 << 2 << 8 << 0x1F1F1F;
        QTest::newRow("black top, ring 0") << 0x000000 << 8 << 0 << 0x5C5C5C;
        QTest::newRow("black top, ring 2") << 0x000000 << 8 << 2 << 0x1F1F1F;
        QTest::newRow("black bottom") << 0x000000 << 8 << 16 << 0x000000;
        QTest::newRow("black right") << 0x000000 << 16 << 8 << 0x000000;
        QTest::newRow("black inside") << 0x000000 << 8 << 8 << 0x000000;
        // Grey 0x80: dark rings 81, 97, 112 from the outside in.
        QTest::newRow("grey bottom, ring 0") << 0x808080 << 8 << 16 << 0x515151;
        QTest::newRow("grey bottom, ring 1") << 0x808080 << 8 << 15 << 0x616161;
        QTest::newRow("grey bottom, ring 2") << 0x808080 << 8 << 14 << 0x707070;
        QTest::newRow("grey right, ring 0") << 0x808080 << 16 << 8 << 0x515151;
        QTest::newRow("grey right, ring 2") << 0x808080 << 14 << 8 << 0x707070;
        QTest::newRow("grey top, ring 0") << 0x808080 << 8 << 0 << 0xAEAEAE;
        QTest::newRow("grey left, ring 1") << 0x808080 << 1 << 8 << 0x9F9F9F;
        QTest::newRow("grey left, ring 2") << 0x808080 << 2 << 8 << 0x909090;
        QTest::newRow("grey inside") << 0x808080 << 3 << 3 << 0x808080;
        // The corners: the dark line starts where the light one started; the
        // top-right end point of each ring is not drawn.
        QTest::newRow("grey bottom-left corner") << 0x808080 << 0 << 16 << 0x515151;
        QTest::newRow("grey top-left corner") << 0x808080 << 0 << 0 << 0xAEAEAE;
        QTest::newRow("grey top-right corner") << 0x808080 << 16 << 0 << 0x808080;
        QTest::newRow("grey bottom-right corner") << 0x808080 << 16 << 16 << 0x515151;
        // 0x00BBGGRR: pure red keeps its red channel light and darkens it.
        QTest::newRow("red top") << 0x0000FF << 8 << 0 << 0xFF5C5C;
        QTest::newRow("red bottom") << 0x0000FF << 8 << 16 << 0xA30000;
        QTest::newRow("red inside") << 0x0000FF << 8 << 8 << 0xFF0000;
    }
    void tilePixels()
    {
        QFETCH(int, colour);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, expected);
        const QImage img = ColorTileImage(17, 17, colour);
        QCOMPARE(QString::number(img.pixel(x, y) & 0xFFFFFF, 16), QString::number(expected, 16));
    }

    void tileSizes()
    {
        start();
        TImage im;
        im.resize(30, 20);
        PaintColorTile(&im, 0x00FF00);
        QCOMPARE(im.Picture().size(), QSize(30, 20));
        // An existing picture keeps its size; a fresh tile takes the control's.
        im.resize(12, 12);
        PaintColorTile(&im, 0x0000FF);
        QCOMPARE(im.Picture().size(), QSize(30, 20));
        QCOMPARE(pixel(&im, 10, 10) & 0xFFFFFF, 0xFF0000u);
        PaintColorTileFresh(&im, 0xFF0000);
        QCOMPARE(im.Picture().size(), QSize(12, 12));
        QCOMPARE(pixel(&im, 6, 6) & 0xFFFFFF, 0x0000FFu);
        QVERIFY(ColorTileImage(0, 5, 0).isNull());
        QCOMPARE(ColorTileImage(2, 2, 0x808080).size(), QSize(2, 2));
    }

    void playerColourTilesAtStartup()
    {
        start();
        const int32_t defaults[9] = {0, 0x00FF00, 0x74A9DE, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xF0CAA6, 0x0000FF, 0xFF0000};
        for (int p = 1; p <= 8; ++p) {
            TImage *im = FormOpt->ColourImage(p);
            QCOMPARE(im->Tag, defaults[p]);
            QCOMPARE(im->Picture().size(), im->size());
            QCOMPARE(pixel(im, im->width() / 2, im->height() / 2) & 0xFFFFFF,
                     ColorFromBGR(defaults[p]).rgb() & 0xFFFFFF);
        }
    }

    // ---- player colours ----

    void distributePlayerColours_data()
    {
        QTest::addColumn<int>("me");
        QTest::addColumn<QList<int>>("pictures"); // per slot 1..8; 0 keeps the colour
        QTest::newRow("host") << 1 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("player 3") << 3 << QList<int>{2, 3, 1, 4, 5, 6, 7, 8};
        QTest::newRow("player 8") << 8 << QList<int>{2, 3, 4, 5, 6, 7, 8, 1};
        QTest::newRow("no own slot") << 0 << QList<int>{2, 3, 4, 5, 6, 7, 8, 0};
        QTest::newRow("a number out of range") << 12 << QList<int>{2, 3, 4, 5, 6, 7, 8, 0};
    }
    void distributePlayerColours()
    {
        QFETCH(int, me);
        QFETCH(QList<int>, pictures);
        start();
        for (int p = 1; p <= 8; ++p)
            FormOpt->ColourImage(p)->Tag = 0x100 * p;
        for (int s = 1; s <= 8; ++s)
            Form1->Players[s].Color = -1;
        NETZ->MyPlayerNo = me;
        DistributePlayerColours();
        for (int s = 1; s <= 8; ++s) {
            QCOMPARE(PlayerColourPicture(s, me), pictures[s - 1]);
            QCOMPARE(Form1->Players[s].Color, pictures[s - 1] ? 0x100 * pictures[s - 1] : -1);
        }
        QCOMPARE(PlayerColourPicture(0, me), 0);
        QCOMPARE(PlayerColourPicture(9, me), 0);
        NETZ->MyPlayerNo = 0;
    }

    void colourPictureClick()
    {
        start();
        FormOpt->show();
        fx->Dialogs.ColorConfirmed = true;
        fx->Dialogs.NextColor = QColor(0x12, 0x34, 0x56);
        FormOpt->im1Click(FormOpt->Im3);
        QCOMPARE(FormOpt->Im3->Tag, 0x563412);
        QCOMPARE(RegReadInteger("ColSp3", 0), 0x563412);
        QCOMPARE(pixel(FormOpt->Im3, 12, 12) & 0xFFFFFF, 0x123456u);
        // A cancelled dialog keeps the colour.
        fx->Dialogs.ColorConfirmed = false;
        FormOpt->im1Click(FormOpt->im1);
        QCOMPARE(FormOpt->im1->Tag, 0x00FF00);
        QCOMPARE(StoredRaw("ColSp1"), QString("dword:0000ff00"));
        start(false);
        QCOMPARE(FormOpt->Im3->Tag, 0x563412);
    }

    // ---- switches ----

    void switches_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("before");
        QTest::newRow("found cells coloured") << "BTC105"
                                              << "foundcolored" << 1;
        QTest::newRow("found cells, picture") << "Farbig_1"
                                              << "foundcolored" << 1;
        QTest::newRow("keyboard") << "BTC_Tastatur"
                                  << "alltastatur" << 0;
        QTest::newRow("sound") << "Sound_1"
                               << "Sound" << 1;
    }
    void switches()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(int, before);
        start();
        const std::pair<const char *, std::pair<QObject *, TLabel *>> controls[] = {
            {"BTC105", {FormOpt->BTC105, FormOpt->FabM}},
            {"Farbig_1", {FormOpt->Farbig_1, FormOpt->FabM}},
            {"BTC_Tastatur", {FormOpt->BTC_Tastatur, FormOpt->tastaturM}},
            {"Sound_1", {FormOpt->Sound_1, FormOpt->soundM}}};
        QObject *sender = nullptr;
        TLabel *marker = nullptr;
        for (const auto &c : controls)
            if (name == QLatin1String(c.first)) {
                sender = c.second.first;
                marker = c.second.second;
            }
        TImage *const pictures[] = {FormOpt->Farbig_1, FormOpt->Tastatur_1, FormOpt->Sound_1};
        TImage *picture = pictures[marker == FormOpt->FabM ? 0 : marker == FormOpt->tastaturM ? 1 : 2];
        QCOMPARE(marker->Tag, before);
        QCOMPARE(Ticked(picture), before == 1);

        // Hidden: nothing happens.
        FormOpt->Farbig_1Click(sender);
        QCOMPARE(marker->Tag, before);
        FormOpt->show();
        // Help-click mode: nothing happens either.
        Form1->HelpCursor = -20;
        FormOpt->Farbig_1Click(sender);
        QCOMPARE(marker->Tag, before);
        Form1->HelpCursor = 0;

        FormOpt->Farbig_1Click(sender);
        QCOMPARE(marker->Tag, 1 - before);
        QCOMPARE(Ticked(picture), before == 0);
        QCOMPARE(RegReadInteger(value, -1), 1 - before);
        FormOpt->Farbig_1Click(sender);
        QCOMPARE(marker->Tag, before);
        QCOMPARE(RegReadInteger(value, -1), before);
        QCOMPARE(FormOpt->IsSoundOn(), FormOpt->soundM->Tag == 1);
        QCOMPARE(FormOpt->IsKeyboardOn(), FormOpt->tastaturM->Tag == 1);
    }

    // ---- colours ----

    void colourPanels_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("value");
        QTest::newRow("menu") << "MenueColor"
                              << "MenueColor";
        QTest::newRow("field") << "FeldColor"
                               << "FeldColor";
        QTest::newRow("block separator") << "TrennColor1"
                                         << "TrennColor1";
        QTest::newRow("cell separator") << "TrennColor2"
                                        << "TrennColor2";
        QTest::newRow("marks 1") << "Merker1Color"
                                 << "Merker1Color";
        QTest::newRow("marks 2") << "Merker2Color"
                                 << "Merker2Color";
    }
    void colourPanels()
    {
        QFETCH(QString, panel);
        QFETCH(QString, value);
        start();
        FormOpt->show();
        TPanel *p = nullptr;
        int32_t *field = nullptr;
        auto find = [&] {
            const std::pair<const char *, std::pair<TPanel *, int32_t *>> panels[] = {
                {"MenueColor", {FormOpt->MenueColor, &FormOpt->MenueColorValue}},
                {"FeldColor", {FormOpt->FeldColor, &FormOpt->FeldColorValue}},
                {"TrennColor1", {FormOpt->TrennColor1, &FormOpt->TrennColor1Value}},
                {"TrennColor2", {FormOpt->TrennColor2, &FormOpt->TrennColor2Value}},
                {"Merker1Color", {FormOpt->Merker1Color, &FormOpt->Merker1ColorValue}},
                {"Merker2Color", {FormOpt->Merker2Color, &FormOpt->Merker2ColorValue}}};
            for (const auto &e : panels)
                if (panel == QLatin1String(e.first)) {
                    p = e.second.first;
                    field = e.second.second;
                }
        };
        find();
        const int32_t before = *field;

        // Cancelled: nothing changes, the colours are applied again.
        FormOpt->MenueColorClick(p);
        QCOMPARE(*field, before);
        QCOMPARE(RegReadInteger(value, -1), before);

        fx->Dialogs.ColorConfirmed = true;
        fx->Dialogs.NextColor = QColor(0x10, 0x20, 0x30);
        FormOpt->MenueColorClick(p);
        QCOMPARE(*field, 0x302010);
        QCOMPARE(RegReadInteger(value, -1), 0x302010);
        QCOMPARE(p->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
        const QColor menu = ColorFromBGR(FormOpt->MenueColorValue);
        const QColor feld = ColorFromBGR(FormOpt->FeldColorValue);
        // Every window's head and footer in the field colour, bodies in the menu colour.
        QCOMPARE(Form1->palette().color(QPalette::Window), feld);
        QCOMPARE(FormGO->Panel_Head->palette().color(QPalette::Window), feld);
        QCOMPARE(FormOpt->Panel_footer->palette().color(QPalette::Window), feld);
        QCOMPARE(FormGO->Panel_Spielart->palette().color(QPalette::Window), menu);
        QCOMPARE(FormGO->Panel3->palette().color(QPalette::Window), menu);
        QCOMPARE(FormOpt->Panel_Verbindung->palette().color(QPalette::Window), menu);
        QCOMPARE(FormMeld->MeldePanel->palette().color(QPalette::Window), menu);
        QCOMPARE(FormOpt->SpanBlock->palette().color(QPalette::Base), menu);
        // The tabs are painted again in the new colours.
        QCOMPARE(FormOpt->IM_Aussehen->Picture().toImage().pixelColor(50, 20), menu);
        // The two mark pictures are tiles in the mark colours.
        const QImage m1 = FormOpt->org1Merker->Picture().toImage();
        const QImage m2 = FormOpt->org2Merker->Picture().toImage();
        QCOMPARE(m1.pixelColor(m1.width() / 2, m1.height() / 2), ColorFromBGR(FormOpt->Merker1ColorValue));
        QCOMPARE(m2.pixelColor(m2.width() / 2, m2.height() / 2), ColorFromBGR(FormOpt->Merker2ColorValue));
        QCOMPARE(m1, ColorTileImage(m1.width(), m1.height(), FormOpt->Merker1ColorValue));
        // The board's separators show the separator colours at once.
        QCOMPARE(Form1->BlockPanels[2][3].Color(), ColorFromBGR(FormOpt->TrennColor1Value));
        QCOMPARE(Form1->Cells[5][7].Panel.Color(), ColorFromBGR(FormOpt->TrennColor2Value));

        // Read back at the next start.
        start(false);
        find();
        QCOMPARE(*field, 0x302010);
        QCOMPARE(Form1->BlockPanels[2][3].Color(), ColorFromBGR(FormOpt->TrennColor1Value));
        QCOMPARE(Form1->Cells[5][7].Panel.Color(), ColorFromBGR(FormOpt->TrennColor2Value));
    }

    // ---- gaps and fonts ----

    void spinEdits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("newValue");
        QTest::newRow("block gap") << "SpanBlock"
                                   << "TrennBlock" << 9;
        QTest::newRow("cell gap") << "SpanZelle"
                                  << "TrennZelle" << 1;
        QTest::newRow("mark font") << "SizeMerker"
                                   << "FontSizeMerker" << 11;
        QTest::newRow("digit font") << "SizeZahlen"
                                    << "FontSizeZahlen" << 20;
    }
    void spinEdits()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(int, newValue);
        start();
        auto find = [&name]() -> TSpinEdit * {
            const std::pair<const char *, TSpinEdit *> spins[] = {{"SpanBlock", FormOpt->SpanBlock},
                                                                  {"SpanZelle", FormOpt->SpanZelle},
                                                                  {"SizeMerker", FormOpt->SizeMerker},
                                                                  {"SizeZahlen", FormOpt->SizeZahlen}};
            for (const auto &s : spins)
                if (name == QLatin1String(s.first))
                    return s.second;
            return nullptr;
        };
        TSpinEdit *spin = find();
        spin->setValue(newValue);
        QCOMPARE(RegReadInteger(value, -1), newValue);
        if (spin == FormOpt->SizeMerker)
            QCOMPARE(FormOpt->SizeMerk->font().pointSize(), newValue);
        if (spin == FormOpt->SizeZahlen)
            QCOMPARE(FormOpt->SizeZahl->font().pointSize(), newValue);
        start(false);
        QCOMPARE(find()->value(), newValue);
    }

    void firstStartStoresDefaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("raw");
        QTest::newRow("foundcolored") << "foundcolored"
                                      << "dword:00000001";
        QTest::newRow("alltastatur") << "alltastatur"
                                     << "dword:00000000";
        QTest::newRow("Sound") << "Sound"
                               << "dword:00000001";
        QTest::newRow("MenueColor") << "MenueColor"
                                    << "dword:00005ebb";
        QTest::newRow("FeldColor") << "FeldColor"
                                   << "dword:00409fff";
        QTest::newRow("TrennColor1") << "TrennColor1"
                                     << "dword:00003366";
        QTest::newRow("TrennColor2") << "TrennColor2"
                                     << "dword:00ffffff";
        QTest::newRow("Merker1Color") << "Merker1Color"
                                      << "dword:0000ff00";
        QTest::newRow("Merker2Color") << "Merker2Color"
                                      << "dword:0000ffff";
        QTest::newRow("TrennBlock") << "TrennBlock"
                                    << "dword:00000006";
        QTest::newRow("TrennZelle") << "TrennZelle"
                                    << "dword:00000003";
        QTest::newRow("FontSizeMerker") << "FontSizeMerker"
                                        << "dword:0000000e";
        QTest::newRow("FontSizeZahlen") << "FontSizeZahlen"
                                        << "dword:00000008";
        QTest::newRow("ColSp1") << "ColSp1"
                                << "dword:0000ff00";
        QTest::newRow("ColSp2") << "ColSp2"
                                << "dword:0074a9de";
        QTest::newRow("ColSp3") << "ColSp3"
                                << "dword:00ffff00";
        QTest::newRow("ColSp4") << "ColSp4"
                                << "dword:0000ffff";
        QTest::newRow("ColSp5") << "ColSp5"
                                << "dword:00ff00ff";
        QTest::newRow("ColSp6") << "ColSp6"
                                << "dword:00f0caa6";
        QTest::newRow("ColSp7") << "ColSp7"
                                << "dword:000000ff";
        QTest::newRow("ColSp8") << "ColSp8"
                                << "dword:00ff0000";
        QTest::newRow("Port") << "Port"
                              << "sz:2401";
        QTest::newRow("Nickname") << "Nickname"
                                  << "sz:" + DefaultNickname();
    }
    void firstStartStoresDefaults()
    {
        QFETCH(QString, name);
        QFETCH(QString, raw);
        // One first start serves every row: the rows only read the store.
        if (!firstStartDone) {
            fx->DestroyWindows();
            fx->ClearSettings();
            fx->CreateWindows();
            firstStartDone = true;
        }
        fx->RunStartupTo(150);
        QCOMPARE(StoredRaw(name), raw);
        QCOMPARE(FormOpt->SizeMerk->font().pointSize(), 14);
        QCOMPARE(FormOpt->SizeZahl->font().pointSize(), 8);
        Form1->hide();
    }

    // ---- nickname ----

    void defaultNickname_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("nick");
        QTest::newRow("short") << "spielrechner"
                               << "spielrechner";
        QTest::newRow("15") << "abcdefghijklmno"
                            << "abcdefghijklmno";
        QTest::newRow("long Linux host name") << "debian-desktop-wohnzimmer"
                                              << "debian-desktop-";
    }
    void defaultNickname()
    {
        QFETCH(QString, host);
        QFETCH(QString, nick);
        QCOMPARE(DefaultNickname(host), nick);
        QCOMPARE(DefaultNickname(), QHostInfo::localHostName().left(15));
    }

    void nickname_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("storedName");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("message");
        QTest::newRow("16 characters are cut") << "Sechzehn Zeichen"
                                               << "Sechzehn Zeiche"
                                               << "Sechzehn Zeiche" << true;
        QTest::newRow("15 characters fit") << "Fuenfzehn Zeich"
                                           << "Fuenfzehn Zeich"
                                           << "Fuenfzehn Zeich" << false;
        QTest::newRow("umlauts") << "Jürgen"
                                 << "Jürgen"
                                 << "Jürgen" << false;
        QTest::newRow("empty is not stored") << ""
                                             << "Alter Name"
                                             << "" << false;
    }
    void nickname()
    {
        QFETCH(QString, typed);
        QFETCH(QString, storedName);
        QFETCH(QString, shown);
        QFETCH(bool, message);
        start();
        FormOpt->NickName->setText("Alter Name");
        fx->Dialogs.Shown.clear();
        FormOpt->NickName->setText(typed);
        QCOMPARE(FormOpt->NickName->text(), shown);
        QCOMPARE(RegReadString("Nickname", QString()), storedName);
        QCOMPARE(fx->Dialogs.Texts(), message ? QStringList{"Ein wenig kürzer tut es auch !"} : QStringList{});
        if (message)
            QVERIFY(fx->Dialogs.Shown[0].Type == TMsgDlgType::Information);
        // The next start shows the stored name.
        start(false);
        QCOMPARE(FormOpt->NickName->text(), storedName);
    }

    // ---- address ----

    void ownAddressFromTheList()
    {
        start();
        FormOpt->IPAdressen->SetItems({"127.0.0.1", "127.0.0.2"});
        FormOpt->SelfIp->setText("127.0.0.1");
        Form1->GameRunning = true;
        FormOpt->IPAdressenDblClick(1);
        QCOMPARE(FormOpt->SelfIp->text(), QString("127.0.0.1"));
        Form1->GameRunning = false;
        FormOpt->IPAdressenDblClick(1);
        QCOMPARE(FormOpt->SelfIp->text(), QString("127.0.0.2"));
        FormOpt->IPAdressenDblClick(7);
        QCOMPARE(FormOpt->SelfIp->text(), QString("127.0.0.2"));
        QVERIFY(StoredRaw("SelfIp").isEmpty());
    }

    // ---- port ----

    void port_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fromButton");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("storedPort");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("messages");
        QTest::newRow("a port") << "2500" << true << 2500 << "2500"
                                << "2500" << 0;
        QTest::newRow("the highest") << "65535" << true << 65535 << "65535"
                                     << "65535" << 0;
        QTest::newRow("with blanks") << " 2600 " << true << 2600 << "2600"
                                     << "2600" << 0;
        QTest::newRow("not a number") << "abc" << true << 2401 << "2401"
                                      << "abc" << 0;
        QTest::newRow("zero") << "0" << true << 2401 << "2401"
                              << "0" << 1;
        QTest::newRow("too large") << "70000" << true << 2401 << "2401"
                                   << "70000" << 1;
        QTest::newRow("negative") << "-5" << true << 2401 << "2401"
                                  << "-5" << 1;
        QTest::newRow("stored too large, at start-up") << "70000" << false << 2401 << "2401"
                                                       << "2401" << 0;
    }
    void port()
    {
        QFETCH(QString, text);
        QFETCH(bool, fromButton);
        QFETCH(int, port);
        QFETCH(QString, storedPort);
        QFETCH(QString, shown);
        QFETCH(int, messages);
        start();
        FormOpt->Port->setText(text);
        FormOpt->ChgPortClick(fromButton ? FormOpt->bt_chg : nullptr);
        QCOMPARE(NETZ->Port, port);
        QCOMPARE(StoredRaw("Port"), "sz:" + storedPort);
        QCOMPARE(FormOpt->Port->text(), shown);
        QCOMPARE(int(fx->Dialogs.Shown.size()), messages);
        QVERIFY(!NETZ->IsListenerActive());
    }

    void storedPortAtStartup()
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        RegWriteString("Port", "99999");
        start(false);
        QCOMPARE(NETZ->Port, 2401);
        QCOMPARE(FormOpt->Port->text(), QString("2401"));
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    void portWhileListening()
    {
        start();
        const int first = FreeLoopbackPort();
        FormOpt->Port->setText(QString::number(first));
        FormOpt->ChgPortClick(FormOpt->bt_chg);
        QVERIFY(NETZ->SetListenerActive(true));

        // A free port: the listener moves there and stays on.
        const int second = FreeLoopbackPort();
        FormOpt->Port->setText(QString::number(second));
        FormOpt->ChgPortClick(FormOpt->bt_chg);
        QVERIFY(fx->Dialogs.Shown.empty());
        QVERIFY(NETZ->IsListenerActive());
        QCOMPARE(NETZ->Port, second);
        QCOMPARE(RegReadString("Port", QString()), QString::number(second));

        // A port that another socket holds: the box, the old port stays.
        QUdpSocket blocker;
        QVERIFY(blocker.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
        const int taken = blocker.localPort();
        FormOpt->Port->setText(QString::number(taken));
        FormOpt->ChgPortClick(FormOpt->bt_chg);
        QCOMPARE(int(fx->Dialogs.Shown.size()), 1);
        QVERIFY(fx->Dialogs.Shown[0].Type == TMsgDlgType::Error);
        QVERIFY(fx->Dialogs.Shown[0].Text.startsWith(QString("Der Port %1 konnte nicht geöffnet werden.").arg(taken)));
        QCOMPARE(NETZ->IsListenerActive(), fx->Dialogs.Shown[0].Text.contains("weiter Port"));
        QCOMPARE(NETZ->Port, second);
        QCOMPARE(FormOpt->Port->text(), QString::number(second));
        QCOMPARE(RegReadString("Port", QString()), QString::number(second));

        // With the listener off a new port leaves it off.
        NETZ->SetListenerActive(false);
        FormOpt->Port->setText(QString::number(taken));
        FormOpt->ChgPortClick(FormOpt->bt_chg);
        QVERIFY(!NETZ->IsListenerActive());
        QCOMPARE(NETZ->Port, taken);
    }

    // ---- picture bank and skin ----

    void pictureBank()
    {
        start();
        const char *const names[] = {"pic_Tabelle_kopf", "pic_tabelle_body", "pic_Tabelle_kopf_statistik",
                                     "pic_logo",         "pic_offline",      "pic_spiel_on",
                                     "pic_spiel_off",    "pic_wartet",       "Pic_hacken",
                                     "pic_box",          "Pic_chk_ok",       "pic_kreuz",
                                     "pic_ist",          "pic_muss",         "pic_clear",
                                     "orgNoMerker",      "org1Merker",       "org2Merker",
                                     "orgError",         "orgFest",          "orgtipp",
                                     "pic_no_press"};
        for (const char *n : names) {
            TImage *im = FormOpt->BankPicture(n);
            QVERIFY2(im, n);
            QVERIFY2(!im->Picture().isNull(), n);
            QVERIFY(!im->isVisibleTo(FormOpt));
        }
        QVERIFY(FormOpt->BankPicture("nichts") == nullptr);
        QVERIFY(FormOpt->Pic_hacken == FormOpt->BankPicture("Pic_hacken"));
        QVERIFY(FormOpt->Pic_hacken->Picture().toImage() != FormOpt->pic_box->Picture().toImage());
        QVERIFY(FormOpt->orgFest->Picture().toImage() != FormOpt->orgNoMerker->Picture().toImage());
        // The table heads fit the places they are shown in, so they are
        // drawn unstretched and their words stand over the rows' columns.
        QCOMPARE(FormOpt->pic_Tabelle_kopf->Picture().size(), Form1->Tabelle_kopf->size());
        QCOMPARE(FormOpt->pic_Tabelle_kopf_statistik->Picture().size(), FormSpielEnde->Tabelle_kopf->size());
        QVERIFY(FormOpt->pic_Tabelle_kopf->Picture().toImage() !=
                FormOpt->pic_Tabelle_kopf_statistik->Picture().toImage());
        // Every head word stays inside its column: nothing light in the gaps
        // between the columns nor at the right edge ("Status" was cut there).
        for (TImage *head : {FormOpt->pic_Tabelle_kopf, FormOpt->pic_Tabelle_kopf_statistik}) {
            const QImage img = head->Picture().toImage();
            auto light = [&img](int x) {
                for (int y = 0; y < img.height(); ++y) {
                    const QColor c = img.pixelColor(x, y);
                    if (c.red() > 150 && c.green() > 150 && c.blue() > 150)
                        return true;
                }
                return false;
            };
            for (int x : {130, 160, 161, 162, 194, 226, 258, 290, img.width() - 1})
                QVERIFY2(!light(x), qPrintable(QString::number(x)));
            bool lastWord = false;
            for (int x = 291; x < img.width() - 1; ++x)
                lastWord = lastWord || light(x);
            QVERIFY2(lastWord, "the last column has a head word");
        }
        // The ticks and boxes of the options show the bank's pictures.
        QVERIFY(Ticked(FormOpt->Sound_1));
        QVERIFY(!Ticked(FormOpt->Tastatur_1));
        QVERIFY(Ticked(FormGO->Sud_1));
    }

    void skin()
    {
        start();
        const qint64 face = FormOpt->pic_no_press->Picture().cacheKey();
        QCOMPARE(FormGO->BIM_Starten->Picture().cacheKey(), face);
        QCOMPARE(FormGO->BIM_Zurueck->Picture().cacheKey(), face);
        QCOMPARE(FormMeld->Pic_Ja->Picture().cacheKey(), face);
        QCOMPARE(Form1->Tabelle_kopf->Picture().cacheKey(), FormOpt->pic_Tabelle_kopf->Picture().cacheKey());
        // Pictures of other windows take part by name or by their bank picture.
        auto *w = new QWidget;
        auto *caption = new TLabel(w, "Test");
        auto *button = new TImage(w);
        button->setObjectName("BIM_Test");
        auto *logo = new TImage(w);
        SetSkinPicture(logo, "pic_logo");
        button->setGeometry(0, 0, 100, 26);
        caption->setGeometry(0, 0, 100, 26);
        FormOpt->ApplySkin();
        QCOMPARE(button->Picture().cacheKey(), face);
        QCOMPARE(logo->Picture().cacheKey(), FormOpt->pic_logo->Picture().cacheKey());
        QVERIFY(!caption->autoFillBackground());
        QCOMPARE(w->children().last(), caption);
        // A panel with a colour role takes its colour.
        auto *head = new TPanel(w);
        SetColourRole(head, TColourRole::Field);
        FormOpt->ApplyColours();
        QCOMPARE(head->palette().color(QPalette::Window), ColorFromBGR(FormOpt->FeldColorValue));
        delete w;
    }

    // ---- tabs, placement, hover, close ----

    void tabs_data()
    {
        QTest::addColumn<int>("tab");
        QTest::newRow("Aussehen") << 1;
        QTest::newRow("Sonstiges") << 2;
        QTest::newRow("Verbindung") << 3;
    }
    void tabs()
    {
        QFETCH(int, tab);
        start();
        FormOpt->show();
        QCOMPARE(FormOpt->width(), 430);
        TLabel *const labels[] = {FormOpt->Tab_Aussehen, FormOpt->Tab_Sonstiges, FormOpt->tab_verbindung};
        TPanel *const panels[] = {FormOpt->Panel_Aussehen, FormOpt->Panel_Sonstiges, FormOpt->Panel_Verbindung};
        TImage *const pictures[] = {FormOpt->IM_Aussehen, FormOpt->IM_Sonstiges, FormOpt->IM_Verbindung};
        FormOpt->Tab_AussehenClick(labels[tab - 1]);
        CheckShownTab(FormOpt, labels, panels, pictures, tab);
    }

    void captionsAndTexts()
    {
        start();
        QCOMPARE(FormOpt->windowTitle(), QString("Optionen"));
        QCOMPARE(FormOpt->Titel->text(), QString("Optionen :"));
        QCOMPARE(FormOpt->BTC105->text(), QString("gefundene Felder farbig"));
        QCOMPARE(FormOpt->bt_chg->text(), QString("ändern"));
        QCOMPARE(FormOpt->NickName->EditLabel->text(), QString("Spielername :"));
        QCOMPARE(FormOpt->SizeMerk->text(), QString("1 2 3 4 5 6 7 8 9"));
        QVERIFY(FormOpt->Erklaerung->text().startsWith(
            "Die eigene IP wird benötigt um in einem grösseren Netzwerk oder \n"));
        QVERIFY(FormOpt->Erklaerung->text().endsWith("entsprechende IP doppelklicken."));
        // Caption hover: 10 pt bold, back to 8 pt bold.
        emit FormOpt->BTC108->MouseEnter();
        QCOMPARE(FormOpt->BTC108->font().pointSize(), 10);
        emit FormOpt->BTC108->MouseLeave();
        QCOMPARE(FormOpt->BTC108->font().pointSize(), 8);
        QVERIFY(FormOpt->BTC108->font().bold());
        FormOpt->BTC91MouseEnter(FormOpt->BTC105);
        QCOMPARE(FormOpt->BTC105->font().pointSize(), 10);
        FormOpt->BTC91MouseLeave(FormOpt->BTC105);
        QVERIFY(FormOpt->BTC105->font().bold());
        FormOpt->BTC91MouseMove(FormOpt->BTC105, Qt::ControlModifier);
        QCOMPARE(Form1->HelpCursor, int16_t(-20));
    }

    void placementAndClose()
    {
        start();
        CheckPlacedOnce(FormOpt, [] {
            FormOpt->schliessenClick();
            QVERIFY(FormStart->isVisible());
        });
    }
};

QTEST_MAIN(TstOptions)
#include "tst_options.moc"
