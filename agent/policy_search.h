// Finding policies for the query page: one pass over the collection that
// yields the policies to list; each row's texts (policy number and the
// matched text) are formatted only when the row is shown.
#pragma once

#include "records/policy_record.h"

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

class PinyinIndex;

namespace policy_search {

enum Mode { kAll = -1, kNumber = 0, kHolder = 1, kInsured = 2, kProduct = 3, kDate = 4, kAnyField = 5 };

struct Result {
    int mode = kAll;
    std::string needle;       // GBK bytes; empty lists every policy
    std::vector<int> records; // the policies found, in collection order
};

// With `pinyin`, a text of Latin letters also finds, by "投保人姓名" and
// "被保险人姓名", the names whose pinyin or initials hold it ("zs" finds 张三).
Result Search(const vantorel::CInsurance& book, int mode, const QString& text, PinyinIndex* pinyin = nullptr);

// A found policy's text in the list: column 0 its number, column 1 the text
// the search matched (the policyholder's name when it matched no text).
QString CellText(const vantorel::CInsurance& book, const Result& found, int record, int column);

// Caption of the list's second column for a search mode.
QString KeyCaption(int mode);

// Whether `needle` occurs in `hay`, both GBK, starting on a character
// boundary (so a trail byte never starts a match).
bool GbkContains(std::string_view hay, std::string_view needle);

// "2004-01-02", "2004-1-2" or "2004/1/2" as the stored form "2004/1-2";
// empty when the text is no such date.
QString DateAsStored(const QString& text);

} // namespace policy_search
