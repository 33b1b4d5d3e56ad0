#include "gbk_csv.h"

#include "exchange/record_sheet.h"

#include <QFile>
#include <QStringEncoder>
#include <QStringList>

#include <vector>

namespace bench {

bool WriteGbkCsv(const vantorel::DataBook& book, const QString& path) {
    const auto all = book.clients.CopyAll();
    const ::SheetTable t = RecordSheet(all, QStringLiteral("潜力客户"));
    QStringEncoder gbk("GB18030");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    auto line = [&](const QStringList& cells) {
        QString s;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            QString c = cells[i];
            if (c.contains(u',') || c.contains(u'"') || c.contains(u'\n'))
                c = QStringLiteral("\"%1\"").arg(c.replace(QStringLiteral("\""), QStringLiteral("\"\"")));
            if (i) s += u',';
            s += c;
        }
        f.write(gbk.encode(s + QStringLiteral("\r\n")));
    };
    line(t.header);
    std::vector<SheetCell> cells;
    for (std::size_t r = 0; r < t.rows; ++r) {
        cells.clear();
        t.row(r, cells);
        QStringList texts;
        for (const SheetCell& c : cells) {
            switch (c.kind) {
            case SheetCell::Kind::empty: texts << QString(); break;
            case SheetCell::Kind::text: texts << c.text; break;
            case SheetCell::Kind::number:
            case SheetCell::Kind::amount: texts << QString::number(c.number, 'g', 15); break;
            case SheetCell::Kind::date: texts << c.date.toString(Qt::ISODate); break;
            }
        }
        line(texts);
    }
    return !gbk.hasError();
}

} // namespace bench
