#pragma once
// Jobs for the queues of the print system (CUPS): a finished PDF file goes to
// a queue with the options the caller states, and the print system's answer
// comes back, so that a refused job does not go unnoticed.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

struct TPrintJobResult {
    int JobId = 0;  // the print system's number for the job; 0 when refused
    QString Reason; // why it was refused, in the print system's words
    bool Accepted() const { return JobId > 0; }
};

// queue may name an instance ("queue/instance"); the job goes to the queue.
TPrintJobResult SubmitPdfJob(const QString &queue, const QString &pdfFile, const QString &title,
                             const std::vector<std::pair<QByteArray, QByteArray>> &options);
