// Finding policies for the query page: one pass over the collection that
// yields the rows to list (policy number and the matched text) and the
// policy number of each row as stored.
#pragma once

#include "records/policy_record.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class PinyinIndex;

namespace policy_search {

enum Mode { kAll = -1, kNumber = 0, kHolder = 1, kInsured = 2, kProduct = 3, kDate = 4, kAnyField = 5 };

struct Result {
    std::vector<QStringList> rows; // column 0 number, column 1 matched text
    std::vector<std::string> keys; // each row's policy number, GBK bytes
};

// With `pinyin`, a text of Latin letters also finds, by "投保人姓名" and
// "被保险人姓名", the names whose pinyin or initials hold it ("zs" finds 张三).
Result Search(const vantorel::CInsurance& book, int mode, const QString& text, PinyinIndex* pinyin = nullptr);

// Caption of the list's second column for a search mode.
QString KeyCaption(int mode);

// Whether `needle` occurs in `hay`, both GBK, starting on a character
// boundary (so a trail byte never starts a match).
bool GbkContains(const std::string& hay, const std::string& needle);

// "2004-01-02", "2004-1-2" or "2004/1/2" as the stored form "2004/1-2";
// empty when the text is no such date.
QString DateAsStored(const QString& text);

} // namespace policy_search
