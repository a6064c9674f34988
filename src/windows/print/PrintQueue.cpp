#include "print/PrintQueue.h"

#include <QFile>
#include <cups/cups.h>

TPrintJobResult SubmitPdfJob(const QString &queue, const QString &pdfFile, const QString &title,
                             const std::vector<std::pair<QByteArray, QByteArray>> &options)
{
    int count = 0;
    cups_option_t *list = nullptr;
    for (const auto &[name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &list);
    const QByteArray name = queue.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    TPrintJobResult r;
    r.JobId = cupsPrintFile(name.constData(), QFile::encodeName(pdfFile).constData(), title.toUtf8().constData(), count,
                            list);
    cupsFreeOptions(count, list);
    if (r.JobId <= 0) {
        r.JobId = 0;
        r.Reason = QString::fromLocal8Bit(cupsLastErrorString());
    }
    return r;
}
