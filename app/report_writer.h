// Printable reports of one record: a title, then sections of labelled
// fields and tables, saved as an OpenDocument text file that word
// processors open.
#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QWidget;

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

// Writes an OpenDocument text file (QTextDocumentWriter, "odf"). False with *error on failure.
bool WriteReport(const QString& path, const QString& title, const std::vector<ReportSection>& sections,
                 QString* error);

// Asks for a file name through msg::SaveFileName (suggested name given), writes, and tells the
// user the outcome with msg::Info; nothing on cancel.
void SaveReportInteractive(QWidget* parent, const QString& title, const std::vector<ReportSection>& sections,
                           const QString& suggestedName);
