#include "sheet_table.h"

#include "read_reasons.h"
#include "sheet_table_builder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include <unicode/ustring.h>

namespace vantorel::exchange {

namespace {

// Cells a merged range may add beyond those the file holds: a header over a
// few columns needs a handful; a range over the whole sheet is an attack.
constexpr std::size_t kMergeCells = 1'000'000;

} // namespace

QStringView TableCell::TextView() const { return kind_ == CellKind::text ? text_ : QStringView(); }

QTime TableCell::Time() const {
    return kind_ == CellKind::date && msecs_ >= 0 ? QTime::fromMSecsSinceStartOfDay(msecs_) : QTime();
}

QString TableCell::DisplayText() const {
    switch (kind_) {
    case CellKind::empty: return {};
    case CellKind::text: return text_.toString();
    case CellKind::number: {
        if (!std::isfinite(number_)) return QString::number(number_);
        // The shortest text that reads back as the same double, never in
        // exponent form for the amounts and numbers a book holds.
        char buf[64];
        const auto plain = std::to_chars(buf, buf + sizeof buf, number_, std::chars_format::fixed);
        if (plain.ec == std::errc() && plain.ptr - buf <= 20) return QString::fromLatin1(buf, plain.ptr - buf);
        const auto any = std::to_chars(buf, buf + sizeof buf, number_);
        return QString::fromLatin1(buf, any.ptr - buf);
    }
    case CellKind::boolean: return boolean_ ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellKind::date: {
        QString s = Date().toString(Qt::ISODate);
        if (msecs_ >= 0) s += u' ' + Time().toString(msecs_ % 1000 ? u"HH:mm:ss.zzz" : u"HH:mm:ss");
        return s;
    }
    }
    return {};
}

bool TableCell::IsBlank() const {
    if (kind_ == CellKind::empty) return true;
    if (kind_ != CellKind::text) return false;
    return std::all_of(text_.begin(), text_.end(), [](QChar c) { return c.isSpace(); });
}

int SheetTable::IndexOfFileRow(int fileRow) const {
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), fileRow,
                                     [](const RowSpan& r, int row) { return std::int64_t(r.fileRow) < row; });
    return it != rows_.end() && std::int64_t(it->fileRow) == fileRow ? int(it - rows_.begin()) : -1;
}

int SheetTable::RowWidth(int index) const {
    const RowSpan& r = rows_[std::size_t(index)];
    return r.count ? int(cells_[r.first + r.count - 1].column) + 1 : 0;
}

TableCell SheetTable::Make(const Entry& e) const {
    TableCell c;
    c.kind_ = e.kind;
    switch (e.kind) {
    case CellKind::empty: break;
    case CellKind::text: c.text_ = QStringView(pool_).mid(e.text.offset, e.text.length); break;
    case CellKind::number: c.number_ = e.number; break;
    case CellKind::boolean: c.boolean_ = e.raw != 0; break;
    case CellKind::date:
        c.julianDay_ = e.date.julianDay;
        c.msecs_ = e.date.msecs;
        break;
    }
    return c;
}

const SheetTable::Entry* SheetTable::Find(int index, int column) const {
    if (index < 0 || std::size_t(index) >= rows_.size() || column < 0) return nullptr;
    const RowSpan& r = rows_[std::size_t(index)];
    const Entry* first = cells_.data() + r.first;
    const Entry* last = first + r.count;
    const Entry* it = std::lower_bound(first, last, std::uint32_t(column),
                                       [](const Entry& e, std::uint32_t c) { return e.column < c; });
    return it != last && it->column == std::uint32_t(column) ? it : nullptr;
}

TableCell SheetTable::At(int index, int column) const {
    const Entry* e = Find(index, column);
    return e ? Make(*e) : TableCell();
}

std::vector<TableCell> SheetTable::Row(int index) const {
    std::vector<TableCell> cells(std::size_t(RowWidth(index)));
    const RowSpan& r = rows_[std::size_t(index)];
    for (std::uint32_t i = 0; i < r.count; ++i) {
        const Entry& e = cells_[r.first + i];
        cells[e.column] = Make(e);
    }
    return cells;
}

std::size_t SheetTable::MemoryBytes() const {
    return sizeof(*this) + std::size_t(pool_.capacity()) * sizeof(QChar) + cells_.capacity() * sizeof(Entry) +
           rows_.capacity() * sizeof(RowSpan);
}

int FirstNonEmptyRow(const SheetTable& table) {
    for (int i = 0; i < table.RowCount(); ++i)
        for (const TableCell& c : table.Row(i))
            if (!c.IsBlank()) return i;
    return -1;
}

void SheetTableBuilder::Reserve(std::size_t cells, std::size_t poolUnits) {
    table_.cells_.reserve(cells);
    table_.pool_.reserve(qsizetype(std::min<std::size_t>(poolUnits, std::numeric_limits<std::uint32_t>::max())));
}

bool SheetTableBuilder::AddText(QStringView text, TextRef& ref) {
    const std::size_t at = std::size_t(table_.pool_.size());
    if (at + std::size_t(text.size()) > std::numeric_limits<std::uint32_t>::max()) return false;
    table_.pool_.append(text);
    ref = {std::uint32_t(at), std::uint32_t(text.size())};
    return true;
}

bool SheetTableBuilder::AddUtf8(std::string_view utf8, TextRef& ref) {
    const qsizetype at = table_.pool_.size();
    // A UTF-8 byte or more makes at most one UTF-16 unit.
    if (std::size_t(at) + utf8.size() > std::numeric_limits<std::uint32_t>::max() ||
        utf8.size() > std::size_t(std::numeric_limits<int32_t>::max()))
        return false;
    bool ascii = true;
    for (char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    table_.pool_.resize(at + qsizetype(utf8.size()));
    char16_t* out = reinterpret_cast<char16_t*>(table_.pool_.data()) + at;
    int32_t units = int32_t(utf8.size());
    if (ascii) {
        for (char c : utf8) *out++ = char16_t(c);
    } else {
        UErrorCode ec = U_ZERO_ERROR;
        u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out), units, &units, utf8.data(), int32_t(utf8.size()), 0xFFFD,
                             nullptr, &ec);
        if (U_FAILURE(ec)) units = 0;
    }
    table_.pool_.truncate(at + units);
    ref = {std::uint32_t(at), std::uint32_t(units)};
    return true;
}

void SheetTableBuilder::AdoptPool(QString text) { table_.pool_ = std::move(text); }

bool SheetTableBuilder::StartRow(std::uint32_t fileRow) {
    if (rowOpen_) CloseRow();
    if (fileRow <= row_) return false;
    if (table_.cells_.size() >= std::numeric_limits<std::uint32_t>::max()) return false;
    row_ = fileRow;
    rowOpen_ = true;
    lastColumn_ = -1;
    table_.rows_.push_back({fileRow, std::uint32_t(table_.cells_.size()), 0});
    return true;
}

void SheetTableBuilder::CloseRow() {
    // A row that got no cell takes no room.
    if (!table_.rows_.empty() && table_.rows_.back().count == 0) table_.rows_.pop_back();
    rowOpen_ = false;
}

bool SheetTableBuilder::Add(std::uint32_t column, SheetTable::Entry e) {
    if (!rowOpen_ || std::int64_t(column) <= lastColumn_) return false;
    lastColumn_ = column;
    e.column = column;
    table_.cells_.push_back(e);
    ++table_.rows_.back().count;
    table_.columns_ = std::max(table_.columns_, int(std::min<std::uint32_t>(column, 0x7FFFFFFE)) + 1);
    return true;
}

bool SheetTableBuilder::Text(std::uint32_t column, TextRef ref) {
    if (!rowOpen_ || std::int64_t(column) <= lastColumn_) return false;
    if (ref.length == 0) {
        lastColumn_ = column;
        return true;
    }
    SheetTable::Entry e;
    e.kind = CellKind::text;
    e.text.offset = ref.offset;
    e.text.length = ref.length;
    return Add(column, e);
}

bool SheetTableBuilder::Text(std::uint32_t column, QStringView text) {
    TextRef ref;
    if (text.isEmpty()) return Text(column, ref);
    if (!rowOpen_ || std::int64_t(column) <= lastColumn_) return false;
    return AddText(text, ref) && Text(column, ref);
}

bool SheetTableBuilder::Number(std::uint32_t column, double value) {
    SheetTable::Entry e;
    e.kind = CellKind::number;
    e.number = value;
    return Add(column, e);
}

bool SheetTableBuilder::Boolean(std::uint32_t column, bool value) {
    SheetTable::Entry e;
    e.kind = CellKind::boolean;
    e.raw = value ? 1 : 0;
    return Add(column, e);
}

bool SheetTableBuilder::Date(std::uint32_t column, QDate date, int msecs) {
    SheetTable::Entry e;
    e.kind = CellKind::date;
    e.date.julianDay = std::int32_t(date.toJulianDay());
    e.date.msecs = msecs;
    return Add(column, e);
}

void SheetTableBuilder::Merge(std::uint32_t firstRow, std::uint32_t firstColumn, std::uint32_t lastRow,
                              std::uint32_t lastColumn) {
    if (firstRow > lastRow || firstColumn > lastColumn) return;
    // A range of one cell changes nothing.
    if (firstRow == lastRow && firstColumn == lastColumn) return;
    merges_.push_back({firstRow, firstColumn, lastRow, lastColumn});
}

bool SheetTableBuilder::ApplyMerges(std::string& reason) {
    SheetTable& t = table_;
    if (merges_.empty() || t.rows_.empty()) return true;
    // Only within the rows and columns the sheet uses: a range past them fills nothing a reader sees.
    const std::uint64_t lastRow = t.rows_.back().fileRow;
    const std::uint64_t lastColumn = std::uint64_t(t.columns_ - 1);
    struct Fill {
        std::uint32_t row;
        SheetTable::Entry e;
    };
    std::vector<Fill> fills;
    std::uint64_t count = 0;
    for (const Range& m : merges_) {
        if (m.firstRow > lastRow || m.firstColumn > lastColumn) continue;
        count += (std::min<std::uint64_t>(m.lastRow, lastRow) - m.firstRow + 1) *
                 (std::min<std::uint64_t>(m.lastColumn, lastColumn) - m.firstColumn + 1);
        // Counted before anything is filled: a range over the whole sheet is an attack, not a header.
        if (count > kMergeCells + t.cells_.size()) {
            reason = reasons::kMergeTooLarge;
            return false;
        }
    }
    for (const Range& m : merges_) {
        if (m.firstRow > lastRow || m.firstColumn > lastColumn) continue;
        const int index = t.IndexOfFileRow(int(m.firstRow));
        const SheetTable::Entry* origin = index < 0 ? nullptr : t.Find(index, int(m.firstColumn));
        if (!origin) continue; // an empty range stays empty
        for (std::uint64_t r = m.firstRow; r <= std::min<std::uint64_t>(m.lastRow, lastRow); ++r)
            for (std::uint64_t c = m.firstColumn; c <= std::min<std::uint64_t>(m.lastColumn, lastColumn); ++c) {
                Fill f{std::uint32_t(r), *origin};
                f.e.column = std::uint32_t(c);
                fills.push_back(f);
            }
    }
    if (fills.empty()) return true;
    // The first range to fill a cell keeps it.
    std::stable_sort(fills.begin(), fills.end(), [](const Fill& a, const Fill& b) {
        return a.row != b.row ? a.row < b.row : a.e.column < b.e.column;
    });
    // Each row that gains cells gets a new run of cells at the end; the old run is left unused.
    std::vector<SheetTable::RowSpan> rows;
    rows.reserve(t.rows_.size() + 16);
    auto row = t.rows_.begin();
    for (std::size_t i = 0; i < fills.size();) {
        const std::uint32_t fileRow = fills[i].row;
        std::size_t j = i;
        while (j < fills.size() && fills[j].row == fileRow) ++j;
        while (row != t.rows_.end() && row->fileRow < fileRow) rows.push_back(*row++);
        const SheetTable::Entry* own = nullptr;
        std::uint32_t ownCount = 0;
        if (row != t.rows_.end() && row->fileRow == fileRow) {
            ownCount = row->count;
            own = ownCount ? &t.cells_[row->first] : nullptr;
            ++row;
        }
        // Copied out first: appending may move the cells the row had.
        const std::vector<SheetTable::Entry> old(own, own + ownCount);
        SheetTable::RowSpan span{fileRow, std::uint32_t(t.cells_.size()), 0};
        std::size_t a = 0, f = i;
        while (a < old.size() || f < j) {
            if (f < j && f > i && fills[f].e.column == fills[f - 1].e.column) {
                ++f;
                continue;
            }
            const bool takeFill = f < j && (a >= old.size() || fills[f].e.column <= old[a].column);
            if (takeFill) {
                if (a < old.size() && old[a].column == fills[f].e.column) ++a; // the range's value stands
                t.cells_.push_back(fills[f++].e);
            } else {
                t.cells_.push_back(old[a++]);
            }
            ++span.count;
        }
        rows.push_back(span);
        i = j;
    }
    while (row != t.rows_.end()) rows.push_back(*row++);
    t.rows_ = std::move(rows);
    return true;
}

bool SheetTableBuilder::Finish(SheetTable& out, std::string& reason) {
    if (rowOpen_) CloseRow();
    if (!ApplyMerges(reason)) return false;
    // Large blocks shrink in place; the pool's growth may have left a good part unused.
    if (table_.pool_.capacity() > table_.pool_.size() + table_.pool_.size() / 8) table_.pool_.squeeze();
    out = std::move(table_);
    table_ = SheetTable();
    return true;
}

bool SerialToDate(double serial, bool date1904, QDate& date, int& msecs) {
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466) return false;
    double whole = std::floor(serial);
    std::int64_t ms = std::llround((serial - whole) * 86'400'000.0);
    if (ms >= 86'400'000) {
        whole += 1;
        ms = 0;
    }
    const std::int64_t day = std::int64_t(whole);
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(day);
    } else {
        // Day 1 is 1 January 1900; day 60 is the 29 February 1900 that
        // spreadsheets count and the calendar never had.
        if (day == 0 || day == 60) return false;
        date = day < 60 ? QDate(1899, 12, 31).addDays(day) : QDate(1899, 12, 30).addDays(day);
    }
    if (!date.isValid() || date.year() > 9999) return false;
    msecs = ms == 0 ? -1 : int(ms);
    return true;
}

} // namespace vantorel::exchange
