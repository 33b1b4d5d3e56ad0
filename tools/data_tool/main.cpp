// vantorel-data: look into, check, rebuild and export Vantorel's data files.
#include "commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using namespace vantorel::tool;

namespace {

const char* kToolHelp = R"(usage: vantorel-data COMMAND [ARGS]

Reads and writes Vantorel's data files (data1.bcm policies, data2.bcm potential
clients, data3.bcm team members, data4.bcm schedule).

commands:
  dump FILE [--kind K]          print the records as JSON (UTF-8)
  build --kind K OUT            write a data file from JSON on standard input
  check FILE [--kind K]         say whether a file is sound; where it is damaged;
                                what the recovery journal vantorel.journal holds
  export --csv FILE [-o OUT]    one CSV row per record (UTF-8 with BOM)
  calendar DATADIR -o FILE.ics  the schedule, birthdays and renewal premiums
                                as a calendar file for phones (iCalendar)
  import --kind K FILE DATADIR  a spreadsheet or CSV file into DATADIR's data file

K is policies, clients, members or schedule; without --kind it comes from the
file name (data1 .. data4). Run 'vantorel-data COMMAND --help' for more.

example:
  vantorel-data dump data1.bcm > policies.json
)";

const std::map<std::string, const char*> kCommandHelp = {
    {"dump", R"(usage: vantorel-data dump FILE [--kind policies|clients|members|schedule]

Prints the file's records as a JSON array. Keys are the records' field names;
beneficiaries and riders are arrays; texts are converted from GBK to UTF-8.
A double that is not a number (NaN, infinity) is written as the text "0x" and
its 16 hex digits. Exits 1 if the file is damaged, its text is not GBK or
standard output cannot be written.

example:
  vantorel-data dump data4.bcm
  vantorel-data dump backup.bin --kind clients > clients.json
)"},
    {"build", R"(usage: vantorel-data build --kind policies|clients|members|schedule OUT

Reads a JSON array of records (as printed by dump) from standard input and
writes the data file OUT, replacing it only once the new file is complete.
Missing keys keep their empty value; unknown keys, text that GBK cannot hold
and lists of more than 10 entries are refused. dump then build gives back the
same bytes.

example:
  vantorel-data dump data1.bcm | vantorel-data build --kind policies copy.bcm
  echo '[{"date": 20040529, "text": "ab"}]' | vantorel-data build --kind schedule data4.bcm
)"},
    {"check", R"(usage: vantorel-data check FILE [--kind policies|clients|members|schedule]

Reads the whole file. Exits 0 if it is sound (or empty) and 1 if it cannot be
read completely, printing what is wrong and the byte offset where it starts.

FILE may also be the recovery journal vantorel.journal, or a copy the program
kept of one (vantorel.journal.unapplied-...): check then counts its entries
for each data file (added, replaced, removed, removed all, saved marks), says
what each data file was when the journal began, and names a torn tail (bytes
at the end that are no whole entry, which the program does not apply). It
exits 1 for a torn tail or a record that does not decode.

example:
  vantorel-data check data2.bcm
  vantorel-data check vantorel.journal
)"},
    {"export", R"(usage: vantorel-data export --csv FILE [--kind K] [--field-names] [-o OUT]

Writes one CSV row per record, with a header row, in UTF-8 with a byte-order
mark so that spreadsheets show Chinese text. The header holds the forms'
labels in Chinese (投保人姓名, 受益人1姓名, ...); --field-names heads the
columns with the field paths instead (holder.name, beneficiaries.1.name, ...).
Beneficiaries and riders become numbered columns. Sex and marital status are
written as their words (男, 已婚, ...), empty when none was chosen. A text
that begins with "=", "+", "-", "@", a tab or a carriage return (after any
"'" of its own) is written with a "'" before it, so that a spreadsheet shows
it and never runs it as a formula; 'import' takes that "'" off again. Writes to standard output unless -o is given; OUT is replaced only
once the new file is complete. OUT may not be FILE itself nor be named like a
data file (*.bcm, data1.BAK, ...).

example:
  vantorel-data export --csv data1.bcm -o policies.csv
)"},
    {"calendar", R"(usage: vantorel-data calendar DATADIR -o FILE.ics

Writes the calendar file that the program's button "导出日历" writes, from the
four data files in DATADIR: every schedule entry as an all-day event, one
yearly birthday per person and the renewal premiums due in the next 12 months
(from today by the system clock), each premium with an alarm 3 days before. The
reminder switches are the program's, as it saved them at its last close
(~/.config/Vantorel/vantorel.conf): a role whose birthday switch is off and,
with "续期缴费提醒" off, the premiums are left out. Reads the data files only,
as they were last saved; a damaged one writes no calendar. FILE.ics is
replaced only once the new file is complete. Prints the counts.

example, refreshed every night at 2:00 into a folder the phone syncs:
  0 2 * * * vantorel-data calendar ~/Vantorel -o ~/Sync/vantorel.ics
)"},
    {"import", R"(usage: vantorel-data import --kind policies|clients|members|schedule FILE DATADIR [--update|--skip]

Imports the first sheet of FILE (.xlsx, .xls, .csv or .txt) into the data
file of kind K in the folder DATADIR, as the program's "导入数据" does. The
first row that is not empty is the header; each column goes to the field its
header names: the Chinese labels and the field names of 'export --csv', or a
common word (姓名, 手机号码, 身份证号码, 保单号, 保费, 生效日, ...); other
columns are named and left out. Every row passes the forms' checks; a row
that fails one, or repeats a key of an earlier row, is refused and printed
with its reasons. A row whose key the data file holds already is skipped
(--skip, the default) or replaces the stored record, keeping the fields no
column names (--update). Schedule entries have no key: all are added.

Refuses to run while Vantorel works in DATADIR (its vantorel.lock), while a
recovery journal waits there, or when the data file cannot be read
completely. The data file is replaced through a temporary file only once it
is complete. Prints the counts; exits 0 when every row was imported or
skipped, 1 when any row was refused or the file could not be read.

example:
  vantorel-data export --csv ~/Vantorel/data2.bcm -o clients.csv
  vantorel-data import --kind clients clients.csv ~/Vantorel --update
)"},
};

bool WantsHelp(const Args& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

// What was printed must have reached standard output: a full disk or a closed
// pipe is a failure, not a success with nothing written.
int Finish(int code) {
    errno = 0;
    std::cout.flush();
    const int flushed = std::fflush(stdout);
    if (!std::cout || flushed != 0 || std::ferror(stdout)) {
        const int saved = errno;
        std::cerr << "vantorel-data: cannot write standard output" << (saved ? ": " : "")
                  << (saved ? std::strerror(saved) : "") << "\n";
        return code == 0 ? 1 : code;
    }
    return code;
}

int RunCommand(Args args) {
    if (args.empty()) {
        std::cerr << "vantorel-data: missing command (see vantorel-data --help)\n";
        return 2;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kToolHelp;
        return 0;
    }
    auto help = kCommandHelp.find(command);
    if (help == kCommandHelp.end()) {
        std::cerr << "vantorel-data: unknown command '" << command << "' (see vantorel-data --help)\n";
        return 2;
    }
    if (WantsHelp(args)) {
        std::cout << help->second;
        return 0;
    }
    try {
        if (command == "dump") return Dump(args);
        if (command == "build") return Build(args);
        if (command == "check") return Check(args);
        if (command == "calendar") return Calendar(args);
        if (command == "import") return Import(args);
        return Export(args);
    } catch (const UsageError& e) {
        std::cerr << "vantorel-data " << command << ": " << e.what() << " (see vantorel-data " << command
                  << " --help)\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "vantorel-data: " << e.what() << "\n";
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes as they are: text mode would turn a line break inside a CSV field
    // into CR LF, and read CR LF and Ctrl-Z in JSON as something else.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    return Finish(RunCommand(Args(argv + 1, argv + argc)));
}
