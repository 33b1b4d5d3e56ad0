// Printable reports of one record: a title, then sections of labelled
// fields and tables, saved as an OpenDocument text file that word
// processors open.
#pragma once

#include "records/result.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

struct ReportTable {
    QString caption;
    QStringList headers;
    std::vector<QStringList> rows;
};

struct ReportSection {
    QString heading;
    std::vector<std::pair<QString, QString>> fields;
    std::vector<ReportTable> tables;
};

// Writes an OpenDocument text file (QTextDocumentWriter, "odf") through a
// temporary file renamed over `path`: a failure leaves an older file whole.
// The reason of a failure is UTF-8 text for the user.
vantorel::Result<void> WriteReport(const QString& path, const QString& title,
                                   const std::vector<ReportSection>& sections);
