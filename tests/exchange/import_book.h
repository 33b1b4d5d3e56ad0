// A book for the import's tests: every field filled, ten beneficiaries and
// ten riders, incomplete dates, no sex or marital status chosen, and texts
// that a CSV or a spreadsheet must carry unchanged.
#pragma once

#include "records/data_book.h"

namespace importbook {

vantorel::PolicyRecord FullPolicy(int n);
vantorel::PotClientRecord FullClient(int n);
vantorel::MemberRecord FullMember(int n);
vantorel::ScheduleEntry Entry(int n);
// `count` records of each kind, the first policies full.
vantorel::DataBook Book(int count);

} // namespace importbook
