// The file of known servers, as another program or a broken disk may leave
// it: read, written back and read again, the rows must come back; and the
// same file loaded into the search window's list.
#include "FuzzWindows.h"
#include "common/Fixture.h"
#include "net/USucheSpiele.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzReader in(data, size);
    const uint8_t how = in.Byte();
    const QByteArray bytes = in.Rest();
    const QList<QPair<QString, QString>> rows = ParseServerFile(bytes);
    for (const auto &row : rows) {
        QString address, name;
        SplitServerLine(row.first + QLatin1Char(':') + row.second, address, name);
    }
    const QList<QPair<QString, QString>> again = ParseServerFile(ServerFileText(rows));
    if (again.size() > rows.size())
        abort();

    if (how & 1) {
        FuzzWindows().Dialogs.Shown.clear();
        if (!WriteFuzzFile(TFormSucheSpiele::ServerFileName(), bytes))
            return 0;
        FormSucheSpiele->LoadServerList();
        FormSucheSpiele->Games->clear();
    }
    return 0;
}
