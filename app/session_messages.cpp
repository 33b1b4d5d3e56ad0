#include "session_messages.h"

#include "records/journal.h"

#include <QDir>
#include <QStringList>

namespace messages {

namespace {

// A file kept beside a data file, as the user finds it: its name when it is in
// the data folder, its whole path when a link took it elsewhere.
QString Shown(const std::filesystem::path& p, const std::filesystem::path& folder) {
    const QString name = QString::fromStdString(p.filename().string());
    std::error_code ec;
    const std::filesystem::path in = p.parent_path().empty() ? "." : p.parent_path();
    if (std::filesystem::equivalent(in, folder.empty() ? "." : folder, ec)) return name;
    return QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdString(p.string())));
}

const QString kKeptInPlace =
    QStringLiteral("文件留在原处，关闭时不会被覆盖；这次所做的改动关闭时另存为它旁边的新文件。");

} // namespace

QString DamagedFiles(const vantorel::LoadReport& report, const std::filesystem::path& folder) {
    QStringList lines;
    for (const vantorel::FileLoadResult& r : report) {
        const QString file = QString::fromStdString(r.file);
        if (r.state == vantorel::LoadState::damaged) {
            QString line = QStringLiteral("“%1”在第 %2 字节处已损坏；损坏处之前的 %3 条记录已读入并保留。")
                               .arg(file)
                               .arg(r.offset)
                               .arg(r.records);
            if (!r.setAside.empty())
                line += QStringLiteral("原文件已另存为“%1”。").arg(Shown(r.setAside, folder));
            else
                line += QStringLiteral("原") + kKeptInPlace;
            lines << line;
        } else if (r.state == vantorel::LoadState::unreadBytes) {
            QString line =
                QStringLiteral("“%1”的最后 %2 字节（从第 %3 字节起）不属于读入的 %4 条记录，保存时不会再写入。")
                    .arg(file)
                    .arg(r.unread)
                    .arg(r.offset)
                    .arg(r.records);
            if (!r.setAside.empty())
                line += QStringLiteral("原文件已另存为“%1”。").arg(Shown(r.setAside, folder));
            else
                line +=
                    QStringLiteral("原文件没有能另存（%1）；原").arg(QString::fromStdString(r.reason)) + kKeptInPlace;
            lines << line;
        } else if (r.state == vantorel::LoadState::unreadable) {
            lines << QStringLiteral("“%1”无法打开（%2）；其中的记录本次没有读入，")
                             .arg(file, QString::fromStdString(r.reason)) +
                         kKeptInPlace;
        }
    }
    if (lines.isEmpty()) return {};
    return QStringLiteral("下列数据文件没有能完整读入：\n") + lines.join(QLatin1Char('\n'));
}

QString Recovery(const vantorel::JournalRecovery& r, const std::filesystem::path& folder) {
    const int applied = r.Applied();
    // A journal that held nothing unsaved (the last close was cut short after saving): nothing was lost.
    if (!r.found || (applied == 0 && !r.Incomplete() && r.setAsideError.empty())) return {};
    QStringList lines;
    lines << (applied > 0 ? QStringLiteral("上次程序没有正常关闭。已恢复 %1 项未保存的更改。").arg(applied)
                          : QStringLiteral("上次程序没有正常关闭。"));
    const QString journal = QString::fromLatin1(vantorel::kJournalFileName);
    if (!r.problem.empty())
        lines << QStringLiteral("恢复日志“%1”无法使用（%2），其中的更改没有恢复。")
                     .arg(journal, QString::fromStdString(r.problem));
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i) {
        const vantorel::JournalRecovery::Collection& c = r.collections[i];
        if (c.unapplied == 0) continue;
        const QString file = QString::fromLatin1(vantorel::kDataFileNames[i]);
        if (c.fileChanged)
            lines << QStringLiteral("恢复日志中对“%1”的 %2 项更改没有恢复：这个文件在上次运行之后被替换或改动过。")
                         .arg(file)
                         .arg(c.unapplied);
        else
            lines << QStringLiteral("恢复日志中对“%1”的 %2 项更改与这个文件现有的记录不符，没有恢复。")
                         .arg(file)
                         .arg(c.unapplied);
    }
    if (r.tornBytes > 0)
        lines << QStringLiteral("恢复日志最后 %1 字节不完整（程序中止时正在写入），其中的更改没有恢复。")
                     .arg(r.tornBytes);
    if (!r.setAside.empty()) lines << QStringLiteral("恢复日志已另存为“%1”。").arg(Shown(r.setAside, folder));
    if (!r.setAsideError.empty())
        lines << QStringLiteral("恢复日志没有能另存（%1），仍留在原处；这次运行不记录恢复日志，"
                                "程序意外中止时这次的改动会丢失。")
                     .arg(QString::fromStdString(r.setAsideError));
    return lines.join(QLatin1Char('\n'));
}

QString Backup(const vantorel::BackupReport& report, const std::filesystem::path& folder) {
    QStringList failed, written, partial;
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i) {
        const vantorel::FileBackupResult& r = report[i];
        const QString name = QStringLiteral("“%1”").arg(QString::fromStdString(r.file));
        if (!r.written) {
            std::error_code ec;
            const bool earlier = std::filesystem::exists(folder / r.file, ec);
            failed << QStringLiteral("%1没有能写入（%2）%3")
                          .arg(name, QString::fromStdString(r.reason),
                               earlier ? QStringLiteral("，以前的%1保持不变。").arg(name) : QStringLiteral("。"));
            continue;
        }
        written << name;
        if (r.partial) partial << QStringLiteral("“%1”").arg(QString::fromLatin1(vantorel::kDataFileNames[i]));
    }
    QStringList lines{failed.isEmpty() ? QStringLiteral("备份成功！") : QStringLiteral("备份失败！")};
    lines << failed;
    if (!failed.isEmpty() && !written.isEmpty())
        lines << written.join(QStringLiteral("、")) + QStringLiteral("已写入。");
    if (!partial.isEmpty())
        lines << QStringLiteral(
                     "%1在启动时没有能完整读入：备份中只有程序中现有的记录，文件中没有读入的部分不在备份中。")
                     .arg(partial.join(QStringLiteral("、")));
    return lines.join(QLatin1Char('\n'));
}

QString JournalFailure(const QString& reason) {
    return QStringLiteral("无法写入恢复日志“%1”（%2）。从现在起，程序意外中止时这次的改动会丢失；"
                          "正常关闭程序时仍会保存全部数据。")
        .arg(QString::fromLatin1(vantorel::kJournalFileName), reason);
}

QString SaveFailed(const std::string& file, const std::string& reason) {
    return QStringLiteral("数据文件“%1”没有能保存（%2）。原来的文件保持不变。\n要再试一次吗？")
        .arg(QString::fromStdString(file), QString::fromStdString(reason));
}

QString SavedBeside(const std::string& file, bool unreadable, const QString& path) {
    return QStringLiteral("“%1”在启动时没有能%2读入，关闭时没有覆盖它；这次的记录已保存到“%3”。")
        .arg(QString::fromStdString(file), unreadable ? QString() : QStringLiteral("完整"), path);
}

} // namespace messages
