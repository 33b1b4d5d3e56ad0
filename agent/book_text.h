// Single fields of stored records as the user reads them, without decoding
// the rest of the record: what lists show row by row.
#pragma once

#include "record_values.h"
#include "records/collection.h"

template <class Record>
QString TextOf(const vantorel::RecordView<Record>& record, const vantorel::Field<Record>& field) {
    return TextOf(record.Text(field));
}

template <class Record>
QString TextOf(const vantorel::CCollection<Record>& records, int index, const vantorel::Field<Record>& field) {
    return TextOf(records.Text(index, field));
}
