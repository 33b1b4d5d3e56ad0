// Reads back what a spreadsheet program would see in an .xlsx file: the
// first sheet's cells with their number formats. For tests only.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace xlsx {

struct Cell {
    QString type; // "n" number, "inlineStr" / "s" / "str" text, "b" boolean
    QString text; // the text of a text cell, the value as written of the others
    double value = 0;
    QString format; // the number format's code ("yyyy-mm-dd", "0.00"), empty for General
    bool bold = false;

    bool IsText() const { return type == "inlineStr" || type == "s" || type == "str"; }
    // The calendar date of a date-formatted number (1900 date system).
    QDate Date() const;
};

struct Sheet {
    bool ok = false;
    QString error;
    QString name;
    std::vector<std::vector<Cell>> rows; // row 0 is the spreadsheet's row 1; missing cells are empty
    std::map<QString, QByteArray> parts; // every part of the package by name

    const Cell& At(std::size_t row, std::size_t column) const;
    QStringList Header() const; // the texts of the first row
};

Sheet Read(const QString& path);

} // namespace xlsx
