// vantorel-data calendar: the agent's calendar file from the data files, as
// the program's button "导出日历" writes it, for a nightly refresh.
#include "commands.h"

#include "agent/switch_store.h"
#include "exchange/calendar_file.h"
#include "records/data_files.h"

#include <QDate>
#include <QFile>
#include <iostream>
#include <optional>

namespace vantorel::tool {

namespace fs = std::filesystem;

namespace {

// Reads the four files as they are, without LoadAll's care for a folder the
// program runs in (removing leftovers, setting damaged files aside): this
// command writes nothing there. False, with the reason printed, when a file
// cannot be read whole: a calendar missing part of the book would pass for
// a complete one.
bool LoadBook(const fs::path& dir, DataBook& book) {
    for (const CollectionId id : kCollections) {
        const fs::path file = dir / kDataFileNames[id];
        const FileLoadResult r = LoadFile(book.Collection(id), file);
        switch (r.state) {
        case LoadState::unreadable:
            std::cerr << "vantorel-data: cannot open " << file.string() << ": " << r.reason << "\n";
            return false;
        case LoadState::damaged:
            std::cerr << "vantorel-data: " << file.string() << " is damaged at byte " << r.offset << ": " << r.reason
                      << " (run 'vantorel-data check' for details); no calendar written\n";
            return false;
        case LoadState::unreadBytes:
            std::cerr << "vantorel-data: note: the last " << r.unread << " bytes of " << file.string()
                      << " belong to no record and are left out\n";
            break;
        default: break; // a missing or empty file is an empty collection
        }
    }
    return true;
}

} // namespace

int Calendar(const Args& args) {
    std::vector<std::string> positional;
    std::optional<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--out") {
            if (i + 1 >= args.size()) throw UsageError("-o needs a value");
            out = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            throw UsageError("unknown option " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.empty()) throw UsageError("missing DATADIR");
    if (positional.size() > 1) throw UsageError("unexpected argument '" + positional[1] + "'");
    if (!out) throw UsageError("missing -o FILE.ics");
    // Only a calendar's name: nothing of the program's can be written over.
    if (out->size() < 5 || out->compare(out->size() - 4, 4, ".ics") != 0)
        throw UsageError("the calendar file's name must end in .ics");
    const fs::path dir = positional[0];
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw UsageError("no such folder " + dir.string());

    DataBook book;
    if (!LoadBook(dir, book)) return 1;
    // The switches as the program keeps them, under the program's name.
    const ReminderSwitches switches = ReadSwitches(SwitchStore(QString::fromLatin1(kProgramName)));
    const auto written =
        WriteCalendarFile(QFile::decodeName(QByteArray::fromStdString(*out)), book, switches, QDate::currentDate());
    if (!written) {
        std::cerr << "vantorel-data: " << written.Reason() << "\n";
        return 1;
    }
    const agenda::CalendarCounts& n = written->counts;
    std::cout << *out << ": " << n.schedule << " schedule entries, " << n.birthdays << " birthdays, " << n.premiums
              << " renewal premiums (" << n.Total() << " events, " << written->bytes << " bytes)\n";
    return 0;
}

} // namespace vantorel::tool
