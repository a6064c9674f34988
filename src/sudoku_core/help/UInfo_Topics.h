#pragma once
// The help topics of the information window and the reading of the version
// check's reply: plain data and text rules, no window.

#include <QString>
#include <QStringList>

struct THelpTopic {
    int Number;
    const char *Title; // UTF-8, as shown after the title's indent
    const char *Body;  // UTF-8; "~" breaks a line, "#" indents
    int WindowHeight;
    const char *Picture; // name of the picture above the body, nullptr for none
    int PictureHeight;
    bool HidesBoard;
    int ReturnTo; // where "Schliessen" leads: 13 the game options, 0 board or start screen
};

// The topic with that number, nullptr for a number that has none.
const THelpTopic *FindHelpTopic(int n);
// Every topic, in number order.
const THelpTopic *HelpTopicsBegin();
const THelpTopic *HelpTopicsEnd();

// The body as the list shows it: an empty first line, every line indented by
// three blanks, "#" as four more.
QStringList FormatHelpBody(const QString &body);
// The title with its two leading blanks.
QString FormatHelpTitle(const QString &title);

// What a reply of "chkversion.php" says: the first line (after its first "=",
// if any) must be "1"; the line after it (read the same way) is the version
// on the server.
struct TVersionReply {
    bool Ok = false;
    QString Version;
};
// The reply's lines as a text list holds them: split at CR LF, LF or CR; a
// final line break adds no empty line.
QStringList SplitReplyLines(const QString &text);
TVersionReply ParseVersionReply(const QString &text);
// The one line the help body shows for that reply.
QString VersionReplyText(const TVersionReply &reply, const QString &ownVersion);

inline constexpr const char *kWrongReplyText = "Falsche Antwort auf Url";
