#pragma once

#include <QDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QString>

// Shared by the report tests: the text of a PDF file by poppler's pdftotext
// (layout kept, so a line of the report stays one line). Empty when the tool
// is missing or fails; pdftotextAvailable() tells beforehand.
inline bool pdftotextAvailable()
{
    QProcess probe;
    probe.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit;
}

inline QString pdfText(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// An answer to the print dialog that makes a PDF file the printer (for a
// scripted interaction's answerDialog).
inline int printToPdf(QDialog &dialog, const QString &pdf)
{
    auto *print = qobject_cast<QPrintDialog *>(&dialog);
    if (!print)
        return int(QDialog::Rejected);
    print->printer()->setOutputFormat(QPrinter::PdfFormat);
    print->printer()->setOutputFileName(pdf);
    return int(QDialog::Accepted);
}
