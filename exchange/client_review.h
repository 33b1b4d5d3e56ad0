// The review of a client file, "保单检视报告": the date, the person and the
// people linked to them, the policies, the totals, the cover grid with its
// gaps, and what falls due in the next 90 days. One document, written as an
// A4 PDF with the page's Chinese font embedded, or printed.
#pragma once

#include "agent/client_file.h"
#include "records/result.h"

#include <QString>
#include <memory>

class QTextDocument;

// The review as a document, for the PDF and for a printer alike.
std::unique_ptr<QTextDocument> ReviewDocument(const clients::ClientFile& file);

// Writes the review as a PDF through a temporary file renamed over `path`: a
// failure leaves an older file whole. The reason of a failure names the path.
vantorel::Result<void> WriteReviewPdf(const QString& path, const clients::ClientFile& file);

// The name the save dialog suggests: "保单检视报告-王芳-20260318.pdf".
QString ReviewFileName(const clients::ClientFile& file);
