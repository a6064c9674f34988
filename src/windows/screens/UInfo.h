#pragma once
// The information and help window: logo, version, the rules, the version
// check against the game server, links to the maker's pages, and one help
// topic at a time.

#include "ui/Controls.h"

#include <QWidget>

class THttpClient;
struct THttpResult;

class TFormInfo : public QWidget {
    Q_OBJECT
public:
    explicit TFormInfo(QWidget *parent = nullptr);

    TImage *LogoPic = nullptr;
    TLabel *Label1 = nullptr; // version text
    TPanel *Panel1 = nullptr;
    TImage *BIM_regeln = nullptr;
    TLabel *bt_regeln = nullptr; // "Sudoku Regeln", Tag 2
    TImage *BIM_versionchk = nullptr;
    TLabel *bt_versionchk = nullptr; // "Version prüfen"
    TPanel *Panel_internet = nullptr;
    TLabel *Label_internet = nullptr;
    TImage *BIM_homepage = nullptr;
    TLabel *bt_homepage = nullptr;
    TImage *BIM_forum = nullptr;
    TLabel *bt_forum = nullptr;
    TPanel *Panel3 = nullptr; // the help area
    TLabel *Kopf = nullptr;   // the topic's title
    TListBox *body = nullptr;
    TImage *varianten = nullptr, *optionen = nullptr, *sonstiges = nullptr, *spielart = nullptr, *suchespiele = nullptr,
           *level = nullptr, *editor = nullptr, *bewertung = nullptr, *challenge = nullptr;
    TPanel *fuss = nullptr;
    TImage *BIM_schliessen = nullptr;
    TLabel *bt_schliessen = nullptr; // "Schliessen"

    // Where "Schliessen" leads: 13 the game options, below 1 the board during
    // a game, else the start screen.
    int32_t ReturnTo = 0;

    void ShowHelp(int n);

    void bt_schliessenClick();
    void bt_regelnClick();
    void bt_versionchkClick();
    void bt_homepageClick();
    void bt_forumClick();
    void FormActivate();

    // Version checks still waiting for their answer.
    int PendingVersionChecks() const;

    static const char *const kHomepageUrl;
    static const char *const kForumUrl;

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    THttpClient *m_http = nullptr;
    // Bumped when the window closes: answers to older checks are dropped.
    int m_generation = 0;
    TImage *m_picture = nullptr; // the picture the topic shows, if any

    void layoutParts();
    void leaveWindow();
    void versionAnswer(const QString &address, const THttpResult &result);
};

extern TFormInfo *FormInfo;

// The two pictures of the help topics, drawn for the given width.
QPixmap DrawRatingPicture(int width, int height);
QPixmap DrawEditorPicture(int width, int height);
