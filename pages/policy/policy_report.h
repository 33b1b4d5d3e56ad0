// The printable report of one policy: its three groups, then its
// beneficiaries and riders as tables.
#pragma once

#include "exchange/report_writer.h"
#include "records/policy_record.h"

std::vector<ReportSection> PolicyReport(const vantorel::PolicyRecord& record);
